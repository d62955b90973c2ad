// The standard stop and caution alerts of the Mac program. Show returns the button hit (1
// default, 2 cancel, 3 other) or 0 when the alert cannot be made or run.
//
// The default button is always there: the given text, else the system's standard text. A null
// cancel or other text (in the long overloads: any value but -1) leaves that button out; -1 asks
// for the system's standard text.
#pragma once

#include "PPXA/iPPXA_CFHolder.h"

#include <HIToolbox/Dialogs.h>

namespace PPXA {

class MessageDialog {
public:
  MessageDialog(AlertStdCFStringAlertParamRec const& param, CFStringRef message,
                CFStringRef explanation, SInt16 alertType);

  SInt16 Show() const;

  static SInt16 Show(CFStringRef message, CFStringRef explanation, SInt16 alertType,
                     CFStringRef defaultText, CFStringRef cancelText, CFStringRef otherText);
  static SInt16 Show(CFStringRef message, CFStringRef explanation, SInt16 alertType,
                     long defaultText, long cancelText, long otherText);
  static SInt16 ShowError(CFStringRef message, CFStringRef explanation, CFStringRef defaultText,
                          CFStringRef cancelText, CFStringRef otherText);
  static SInt16 ShowError(CFStringRef message, CFStringRef explanation, long defaultText,
                          long cancelText, long otherText);
  static SInt16 ShowWarning(CFStringRef message, CFStringRef explanation, CFStringRef defaultText,
                            CFStringRef cancelText, CFStringRef otherText);
  static SInt16 ShowWarning(CFStringRef message, CFStringRef explanation, long defaultText,
                            long cancelText, long otherText);

  // The record the Show operations use: version 1, movable, no help button, the three texts,
  // default button 1, cancel button 2, alert position on the parent window's screen, no flags.
  static AlertStdCFStringAlertParamRec MakeParam(CFStringRef defaultText, CFStringRef cancelText,
                                                 CFStringRef otherText);

private:
  AlertStdCFStringAlertParamRec m_Param;
  iPPXA_CFHolder<CFStringRef> m_Message;
  iPPXA_CFHolder<CFStringRef> m_Explanation;
  SInt16 m_AlertType;
};

}  // namespace PPXA
