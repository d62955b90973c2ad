#include "PPXA/PPXA_MessageDialog.h"

namespace PPXA {

namespace {

const CFStringRef kStandardText = reinterpret_cast<CFStringRef>(kAlertDefaultOKText);

CFStringRef TextOfNumber(long number) {
  return number == -1 ? kStandardText : nullptr;
}

}  // namespace

MessageDialog::MessageDialog(AlertStdCFStringAlertParamRec const& param, CFStringRef message,
                             CFStringRef explanation, SInt16 alertType)
    : m_Param(param),
      m_Message(iPPXA_CFHolder<CFStringRef>::Retaining(message)),
      m_Explanation(iPPXA_CFHolder<CFStringRef>::Retaining(explanation)),
      m_AlertType(alertType) {}

SInt16 MessageDialog::Show() const {
  DialogRef alert = nullptr;
  if (CreateStandardAlert(m_AlertType, m_Message.Get(), m_Explanation.Get(), &m_Param, &alert) !=
      noErr)
    return 0;
  DialogItemIndex hit = 0;
  if (RunStandardAlert(alert, nullptr, &hit) != noErr)
    return 0;
  return hit;
}

AlertStdCFStringAlertParamRec
MessageDialog::MakeParam(CFStringRef defaultText, CFStringRef cancelText, CFStringRef otherText) {
  return AlertStdCFStringAlertParamRec{kStdCFStringAlertVersionOne,
                                       true,
                                       false,
                                       defaultText ? defaultText : kStandardText,
                                       cancelText,
                                       otherText,
                                       kAlertStdAlertOKButton,
                                       kAlertStdAlertCancelButton,
                                       kWindowAlertPositionParentWindowScreen,
                                       0};
}

SInt16 MessageDialog::Show(CFStringRef message, CFStringRef explanation, SInt16 alertType,
                           CFStringRef defaultText, CFStringRef cancelText, CFStringRef otherText) {
  return MessageDialog(MakeParam(defaultText, cancelText, otherText), message, explanation,
                       alertType)
      .Show();
}

SInt16 MessageDialog::Show(CFStringRef message, CFStringRef explanation, SInt16 alertType,
                           long defaultText, long cancelText, long otherText) {
  return Show(message, explanation, alertType, TextOfNumber(defaultText), TextOfNumber(cancelText),
              TextOfNumber(otherText));
}

SInt16 MessageDialog::ShowError(CFStringRef message, CFStringRef explanation,
                                CFStringRef defaultText, CFStringRef cancelText,
                                CFStringRef otherText) {
  return Show(message, explanation, kAlertStopAlert, defaultText, cancelText, otherText);
}

SInt16 MessageDialog::ShowError(CFStringRef message, CFStringRef explanation, long defaultText,
                                long cancelText, long otherText) {
  return Show(message, explanation, kAlertStopAlert, defaultText, cancelText, otherText);
}

SInt16 MessageDialog::ShowWarning(CFStringRef message, CFStringRef explanation,
                                  CFStringRef defaultText, CFStringRef cancelText,
                                  CFStringRef otherText) {
  return Show(message, explanation, kAlertCautionAlert, defaultText, cancelText, otherText);
}

SInt16 MessageDialog::ShowWarning(CFStringRef message, CFStringRef explanation, long defaultText,
                                  long cancelText, long otherText) {
  return Show(message, explanation, kAlertCautionAlert, defaultText, cancelText, otherText);
}

}  // namespace PPXA
