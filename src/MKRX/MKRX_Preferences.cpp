#include "MKRX/MKRX_Preferences.h"

#include "IMPN/IMPN_Preferences.h"

#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPreferences.h>

IMPN_RectT<long> MKRX_Preferences::sm_NavigationWindowBounds;
bool MKRX_Preferences::sm_NavigationWindowVisible = false;
IMPN_RectT<long> MKRX_Preferences::sm_SeparationWindowBounds;
bool MKRX_Preferences::sm_SeparationWindowVisible = false;
IMPN_RectT<long> MKRX_Preferences::sm_MeasurementWindowBounds;
bool MKRX_Preferences::sm_ShowImageTileBoundaries = false;
bool MKRX_Preferences::sm_ShowSplashScreen = false;
bool MKRX_Preferences::sm_UnifiedTitleAndToolbar = false;

namespace {

// The stored flag, when the key holds one.
void LoadFlag(CFStringRef key, bool& flag) {
  CFPropertyListRef const value = CFPreferencesCopyAppValue(key, kCFPreferencesCurrentApplication);
  if (value == nullptr)
    return;
  if (CFGetTypeID(value) == CFBooleanGetTypeID())
    flag = CFBooleanGetValue(static_cast<CFBooleanRef>(value));
  CFRelease(value);
}

void SaveFlag(CFStringRef key, bool flag) {
  CFPreferencesSetAppValue(key, flag ? kCFBooleanTrue : kCFBooleanFalse,
                           kCFPreferencesCurrentApplication);
}

}  // namespace

void MKRX_Preferences::SetToDefaultValues() {
  IMPN_Preferences::SetToDefaultValues();
  sm_NavigationWindowVisible = true;
  sm_SeparationWindowVisible = true;
  sm_ShowImageTileBoundaries = false;
  sm_ShowSplashScreen = true;
  sm_UnifiedTitleAndToolbar = true;
}

void MKRX_Preferences::LoadPreferences() {
  SetToDefaultValues();
  LoadFlag(CFSTR("MKRX_NavigationWindowVisible"), sm_NavigationWindowVisible);
  LoadFlag(CFSTR("MKRX_SeparationWindowVisible"), sm_SeparationWindowVisible);
  LoadFlag(CFSTR("MKRX_ShowSplashScreen"), sm_ShowSplashScreen);
  LoadFlag(CFSTR("MKRX_UnifiedTitleAndToolbar"), sm_UnifiedTitleAndToolbar);
}

void MKRX_Preferences::SavePreferences() {
  SaveFlag(CFSTR("MKRX_NavigationWindowVisible"), sm_NavigationWindowVisible);
  SaveFlag(CFSTR("MKRX_SeparationWindowVisible"), sm_SeparationWindowVisible);
  SaveFlag(CFSTR("MKRX_ShowSplashScreen"), sm_ShowSplashScreen);
  SaveFlag(CFSTR("MKRX_UnifiedTitleAndToolbar"), sm_UnifiedTitleAndToolbar);
  CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication);
}
