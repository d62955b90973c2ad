// Validators check a finished value. A refused value is broadcast as a
// UCTL_ValidatorFailedMessage carrying the reason and a replacement; the concrete check belongs to
// the dialog that uses the validator.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "UCTL/UCTL_Messages.h"
#include "USTR/USTR_String.h"

template <class Value>
class UCTL_Validator : public GLIB_MessageDispatcher {
public:
  UCTL_Validator() = default;
  virtual ~UCTL_Validator() = default;
  // A copy would share the listeners of the original.
  UCTL_Validator(UCTL_Validator const&) = delete;
  UCTL_Validator& operator=(UCTL_Validator const&) = delete;

  // Runs the check and broadcasts the refusal. Touches nothing after the broadcast: a listener
  // may destroy this validator.
  bool Validate(Value const& value) {
    USTR_String text;
    Value replacement{};
    if (Check(value, text, replacement)) {
      DidAccept(value);
      return true;
    }
    BroadcastMessage(UCTL_ValidatorFailedMessage<Value>(value, text, replacement));
    return false;
  }

  void SetLastValidValue(Value const& value) {
    m_LastValidValue = value;
    m_HasLastValidValue = true;
  }
  Value const& LastValidValue() const { return m_LastValidValue; }
  bool HasLastValidValue() const { return m_HasLastValidValue; }

protected:
  // True when value is acceptable; otherwise fills the reason and a replacement value.
  virtual bool Check(Value const& value, USTR_String& messageText, Value& replacement) const = 0;
  virtual void DidAccept(Value const&) {}

private:
  Value m_LastValidValue{};
  bool m_HasLastValidValue = false;
};

// Remembers every accepted text, so an edit text can put the last one back.
class UCTL_StringValidator : public UCTL_Validator<USTR_String> {
protected:
  void DidAccept(USTR_String const& value) override { SetLastValidValue(value); }
};

class UCTL_IntegerValidator : public UCTL_Validator<long> {};

class UCTL_DoubleValidator : public UCTL_Validator<double> {};
