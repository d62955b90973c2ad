#include "IMPN/IMPN_Preferences.h"

// Until a store loads them or the defaults are applied, colours are black and the rest zero.
IMPN_RGBColor8 IMPN_Preferences::sm_PressSheetEdgeColor;
IMPN_RGBColor8 IMPN_Preferences::sm_BleedEdgeColor;
IMPN_RGBColor8 IMPN_Preferences::sm_PageEdgeColor;
IMPN_RGBColor8 IMPN_Preferences::sm_TypeSafetyEdgeColor;
bool IMPN_Preferences::sm_ShowImpositionOnOpen = false;
IMPN_RGBColor8 IMPN_Preferences::sm_DefaultSpotColor;
IMPN_RGBColor8 IMPN_Preferences::sm_DefaultSurfaceColor;
IMPN_RGBColor8 IMPN_Preferences::sm_PlateEdgeColor;
IMPN_RGBAColor8 IMPN_Preferences::sm_NavigationFrame;
IMPN_RGBAColor8 IMPN_Preferences::sm_NavigationScreen;
bool IMPN_Preferences::sm_ZoomToFitWindowOnOpen = false;
bool IMPN_Preferences::sm_RotateUprightOnOpen = false;
std::int32_t IMPN_Preferences::sm_PreferredLinearUnits = 0;
std::int32_t IMPN_Preferences::sm_LinearUnitPrecision = 0;
std::int32_t IMPN_Preferences::sm_AngularUnitPrecision = 0;
IMPN_RGBColor8 IMPN_Preferences::sm_GuideLineColor;
IMPN_RGBAColor8 IMPN_Preferences::sm_ToolTrackingColor;

IMPN_RGBColor8 const IMPN_Preferences::kPressSheetEdgeColorDefault(0, 255, 0);
IMPN_RGBColor8 const IMPN_Preferences::kBleedEdgeColorDefault(255, 0, 0);
IMPN_RGBColor8 const IMPN_Preferences::kPageEdgeColorDefault(0, 0, 255);
IMPN_RGBColor8 const IMPN_Preferences::kTypeSafetyEdgeColorDefault(255, 255, 0);
IMPN_RGBColor8 const IMPN_Preferences::kDefaultSpotColorDefault(153, 153, 153);
IMPN_RGBColor8 const IMPN_Preferences::kDefaultSurfaceColorDefault(255, 255, 255);
IMPN_RGBColor8 const IMPN_Preferences::kPlateEdgeColorDefault(153, 153, 153);
IMPN_RGBAColor8 const IMPN_Preferences::kNavigationFrameDefault(255, 255, 0, 100);
IMPN_RGBAColor8 const IMPN_Preferences::kNavigationScreenDefault(255, 255, 255, 60);
IMPN_RGBColor8 const IMPN_Preferences::kGuideLineColorDefault(0, 255, 255);
IMPN_RGBAColor8 const IMPN_Preferences::kToolTrackingColorDefault(255, 115, 67, 40);

void IMPN_Preferences::SetToDefaultValues() {
  sm_PressSheetEdgeColor = kPressSheetEdgeColorDefault;
  sm_BleedEdgeColor = kBleedEdgeColorDefault;
  sm_PageEdgeColor = kPageEdgeColorDefault;
  sm_TypeSafetyEdgeColor = kTypeSafetyEdgeColorDefault;
  sm_ShowImpositionOnOpen = false;
  sm_DefaultSpotColor = kDefaultSpotColorDefault;
  sm_DefaultSurfaceColor = kDefaultSurfaceColorDefault;
  sm_PlateEdgeColor = kPlateEdgeColorDefault;
  sm_NavigationFrame = kNavigationFrameDefault;
  sm_NavigationScreen = kNavigationScreenDefault;
  sm_ZoomToFitWindowOnOpen = false;
  sm_RotateUprightOnOpen = false;
  sm_PreferredLinearUnits = 0;
  sm_LinearUnitPrecision = 2;
  sm_AngularUnitPrecision = 1;
  sm_GuideLineColor = kGuideLineColorDefault;
  sm_ToolTrackingColor = kToolTrackingColorDefault;
}
