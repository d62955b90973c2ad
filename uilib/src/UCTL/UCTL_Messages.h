// The messages the controls broadcast through their dispatchers.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "USTR/USTR_String.h"

#include <cstdint>

// Modifier-key bits of UCTL_ControlClickedMessage, the same on both platforms.
enum : std::uint32_t {
  kUCTL_ShiftKey = 1,
  kUCTL_ControlKey = 2,
  kUCTL_CommandKey = 4,
  kUCTL_OptionKey = 8
};

class UCTL_ControlClickedMessage : public GLIB_Message {
public:
  UCTL_ControlClickedMessage(std::uint32_t controlID, std::uint32_t modifiers)
      : m_ControlID(controlID),
        m_Modifiers(modifiers) {}
  GLIB_String AsString() const override;

  std::uint32_t ControlID() const { return m_ControlID; }
  std::uint32_t Modifiers() const { return m_Modifiers; }

private:
  std::uint32_t m_ControlID;
  std::uint32_t m_Modifiers;
};

class UCTL_ControlValueChangedMessage : public GLIB_Message {
public:
  UCTL_ControlValueChangedMessage(std::uint32_t controlID, std::int32_t value)
      : m_ControlID(controlID),
        m_Value(value) {}
  GLIB_String AsString() const override;

  std::uint32_t ControlID() const { return m_ControlID; }
  std::int32_t Value() const { return m_Value; }

private:
  std::uint32_t m_ControlID;
  std::int32_t m_Value;
};

class UCTL_RowItemSelectionChangedMessage : public GLIB_Message {
public:
  explicit UCTL_RowItemSelectionChangedMessage(bool selected) : m_Selected(selected) {}
  GLIB_String AsString() const override;

  bool Selected() const { return m_Selected; }

private:
  bool m_Selected;
};

class UCTL_RowItemOrderChangedMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override;
};

// An edit text's contents changed.
class UCTL_ControlTextChangedMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override;
};

// A validator refused a value: the message text tells why and the replacement is the value the
// validator proposes instead. Instantiated for USTR_String, long and double.
template <class Value>
class UCTL_ValidatorFailedMessage : public GLIB_Message {
public:
  UCTL_ValidatorFailedMessage(Value const& rejected, USTR_String const& text,
                              Value const& replacement)
      : m_RejectedValue(rejected),
        m_MessageText(text),
        m_ReplacementValue(replacement) {}
  GLIB_String AsString() const override { return "UCTL_ValidatorFailedMessage"; }

  Value const& RejectedValue() const { return m_RejectedValue; }
  USTR_String const& MessageText() const { return m_MessageText; }
  Value const& ReplacementValue() const { return m_ReplacementValue; }

private:
  Value m_RejectedValue;
  USTR_String m_MessageText;
  Value m_ReplacementValue;
};
