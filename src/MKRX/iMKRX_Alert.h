// The program's localised alerts: texts named by their keys in the bundle's strings.
#pragma once

#include "PPXA/iPPXA_CFHolder.h"

#include <CoreFoundation/CFString.h>

// The localised text of a key (the key itself when the bundle has none), released when it goes.
class iMKRX_LocalizedText {
public:
  explicit iMKRX_LocalizedText(CFStringRef key);
  CFStringRef Get() const { return m_Text.Get(); }

private:
  PPXA::iPPXA_CFHolder<CFStringRef> m_Text;
};

// A caution alert with the standard button; the explanation is already localised.
void iMKRX_ShowWarning(CFStringRef messageKey, CFStringRef explanation);
void iMKRX_ShowWarningByKeys(CFStringRef messageKey, CFStringRef explanationKey);
