// The platform-free model of an editable text field: a key filter decides which typed characters
// get in, an optional validator checks the finished text. A platform edit control implements the
// pure operations and asks the filter about every key.
#pragma once

#include "GLIB/GLIB_Message.h"
#include "UCTL/UCTL_Control.h"
#include "UCTL/UCTL_KeyFilter.h"
#include "UCTL/UCTL_Messages.h"
#include "UCTL/UCTL_Validator.h"
#include "USTR/USTR_String.h"

#include <memory>

// Broadcasts UCTL_ControlTextChangedMessage, and re-broadcasts its validator's
// UCTL_ValidatorFailedMessage<USTR_String>.
class UCTL_EditText : public virtual UCTL_Control,
                      public GLIB_MessageDispatcher,
                      public GLIB_MessageTarget {
public:
  UCTL_EditText();
  ~UCTL_EditText() override;
  UCTL_EditText(UCTL_EditText const&) = delete;
  UCTL_EditText& operator=(UCTL_EditText const&) = delete;

  virtual void SetControlValue(double value) = 0;
  virtual void SetControlValue(long value) = 0;
  virtual long ControlValueAsLong() const = 0;
  virtual double ControlValueAsDouble() const = 0;
  virtual void SetControlText(USTR_String const& text) = 0;
  virtual USTR_String ControlText() const = 0;
  virtual void SelectAllText() = 0;
  // Refuses the key just typed.
  virtual void RejectKey() = 0;
  virtual void NotifyTextChanged();

  // Takes ownership of filter. Null keeps the current filter.
  void SetKeyFilter(UCTL_KeyFilter* filter);
  UCTL_KeyFilter& KeyFilter() const { return *m_KeyFilter; }

  // Takes ownership of validator; null removes the current one.
  void SetValidator(UCTL_StringValidator* validator);
  UCTL_StringValidator* Validator() const { return m_Validator.get(); }
  // Checks ControlText(); true without a validator. When the text fails and restore is set, the
  // last text that passed (empty when none did) is put back.
  bool Validate(bool restore);

  void SetBeepOnReject(bool beep) { m_BeepOnReject = beep; }
  bool BeepOnReject() const { return m_BeepOnReject; }

private:
  void ForwardValidatorFailed(UCTL_ValidatorFailedMessage<USTR_String> const& message);

  std::unique_ptr<UCTL_KeyFilter> m_KeyFilter;
  std::unique_ptr<UCTL_StringValidator> m_Validator;
  bool m_BeepOnReject = true;
};
