#include "MKRX/iMKRX_Alert.h"

#include "PPXA/PPXA_MessageDialog.h"
#include "USTR/USTR_LocalizedString.h"

iMKRX_LocalizedText::iMKRX_LocalizedText(CFStringRef key)
    : m_Text(iUSTR_GetLocalizedCFString(key)) {}

void iMKRX_ShowWarning(CFStringRef messageKey, CFStringRef explanation) {
  iMKRX_LocalizedText const message(messageKey);
  PPXA::MessageDialog::ShowWarning(message.Get(), explanation, nullptr, nullptr, nullptr);
}

void iMKRX_ShowWarningByKeys(CFStringRef messageKey, CFStringRef explanationKey) {
  iMKRX_ShowWarning(messageKey, iMKRX_LocalizedText(explanationKey).Get());
}
