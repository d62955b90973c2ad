// The messages the controls broadcast through their dispatchers.
#pragma once

#include "GLIB/GLIB_Message.h"

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
