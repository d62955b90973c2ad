#include "UCTL/UCTL_EditText.h"

UCTL_EditText::UCTL_EditText() : m_KeyFilter(new UCTL_KeyFilter) {}

UCTL_EditText::~UCTL_EditText() {
  // The validator's dispatcher must not outlive it holding a callback into this field.
  if (m_Validator) {
    m_Validator->Unregister(this);
  }
}

void UCTL_EditText::NotifyTextChanged() {
  BroadcastMessage(UCTL_ControlTextChangedMessage());
}

void UCTL_EditText::SetKeyFilter(UCTL_KeyFilter* filter) {
  if (filter == nullptr || filter == m_KeyFilter.get()) {
    return;
  }
  m_KeyFilter.reset(filter);
}

void UCTL_EditText::SetValidator(UCTL_StringValidator* validator) {
  if (validator == m_Validator.get()) {
    return;
  }
  std::unique_ptr<UCTL_StringValidator> incoming(validator);
  if (incoming) {
    using Forwarder = GLIB_Callback<UCTL_EditText, UCTL_ValidatorFailedMessage<USTR_String>>;
    std::unique_ptr<Forwarder> forwarder(
        new Forwarder(this, &UCTL_EditText::ForwardValidatorFailed));
    incoming->Register(forwarder.get());
    forwarder.release();
  }
  if (m_Validator) {
    m_Validator->Unregister(this);
  }
  m_Validator = std::move(incoming);
}

bool UCTL_EditText::Validate(bool restore) {
  if (!m_Validator) {
    return true;
  }
  bool const valid = m_Validator->Validate(ControlText());
  // A listener of the refusal may have replaced the validator.
  if (!valid && restore && m_Validator) {
    SetControlText(m_Validator->LastValidValue());
  }
  return valid;
}

void UCTL_EditText::ForwardValidatorFailed(
    UCTL_ValidatorFailedMessage<USTR_String> const& message) {
  BroadcastMessage(message);
}
