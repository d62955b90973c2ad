// The Mac program's preference store: the portable preferences and the Mac-only values kept in
// the application's CoreFoundation preferences. (Interim interface: only the values and
// operations the start-up and quit need so far.)
#pragma once

#include "IMPN/IMPN_Geometry.h"

class MKRX_Preferences {
public:
  static void LoadPreferences();
  static void SavePreferences();
  static void SetToDefaultValues();

  static IMPN_RectT<long> sm_NavigationWindowBounds;
  static bool sm_NavigationWindowVisible;
  static IMPN_RectT<long> sm_SeparationWindowBounds;
  static bool sm_SeparationWindowVisible;
  static IMPN_RectT<long> sm_MeasurementWindowBounds;
  static bool sm_ShowImageTileBoundaries;
  static bool sm_ShowSplashScreen;
  static bool sm_UnifiedTitleAndToolbar;
};
