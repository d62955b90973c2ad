#include "MKRX/MKRX_SplashWindow.h"

#include "MKRX/MKRX_Application.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/iMKRX_Alert.h"
#include "PPXA/PPXA_MessageDialog.h"

#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/Events.h>

void MKRX_SplashWindow::CheckForFactoryReset() {
  UInt32 const keys = GetCurrentKeyModifiers();
  if ((keys & cmdKey) == 0 || (keys & optionKey) == 0)
    return;
  iMKRX_LocalizedText const message(CFSTR("CKRX_AskResetPreferencesMsg"));
  iMKRX_LocalizedText const explanation(CFSTR("MKRX_AskResetPreferencesExp"));
  iMKRX_LocalizedText const reset(CFSTR("CKRX_Reset"));
  iMKRX_LocalizedText const cancel(CFSTR("CKRX_Cancel"));
  if (PPXA::MessageDialog::ShowWarning(message.Get(), explanation.Get(), reset.Get(), cancel.Get(),
                                       nullptr) != 1)
    return;
  MKRX_Preferences::SetToDefaultValues();
  MKRX_Preferences::SavePreferences();
  MKRX_Application::ApplyDefaultSpotColor();
}
