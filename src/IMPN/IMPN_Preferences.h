#pragma once
#include "IMPN/IMPN_Color.h"

#include <cstdint>

// Preference values shared by both programs. Each program's own store loads and saves them;
// the view code reads them directly when drawing.
class IMPN_Preferences {
public:
  static void SetToDefaultValues();

  static IMPN_RGBColor8 sm_PressSheetEdgeColor;
  static IMPN_RGBColor8 sm_BleedEdgeColor;
  static IMPN_RGBColor8 sm_PageEdgeColor;
  static IMPN_RGBColor8 sm_TypeSafetyEdgeColor;
  static bool sm_ShowImpositionOnOpen;
  static IMPN_RGBColor8 sm_DefaultSpotColor;
  static IMPN_RGBColor8 sm_DefaultSurfaceColor;
  static IMPN_RGBColor8 sm_PlateEdgeColor;
  static IMPN_RGBAColor8 sm_NavigationFrame;
  static IMPN_RGBAColor8 sm_NavigationScreen;
  static bool sm_ZoomToFitWindowOnOpen;
  static bool sm_RotateUprightOnOpen;
  static std::int32_t sm_PreferredLinearUnits;
  static std::int32_t sm_LinearUnitPrecision;
  static std::int32_t sm_AngularUnitPrecision;
  static IMPN_RGBColor8 sm_GuideLineColor;
  static IMPN_RGBAColor8 sm_ToolTrackingColor;

  static IMPN_RGBColor8 const kPressSheetEdgeColorDefault;
  static IMPN_RGBColor8 const kBleedEdgeColorDefault;
  static IMPN_RGBColor8 const kPageEdgeColorDefault;
  static IMPN_RGBColor8 const kTypeSafetyEdgeColorDefault;
  static IMPN_RGBColor8 const kDefaultSpotColorDefault;
  static IMPN_RGBColor8 const kDefaultSurfaceColorDefault;
  static IMPN_RGBColor8 const kPlateEdgeColorDefault;
  static IMPN_RGBAColor8 const kNavigationFrameDefault;
  static IMPN_RGBAColor8 const kNavigationScreenDefault;
  static IMPN_RGBColor8 const kGuideLineColorDefault;
  static IMPN_RGBAColor8 const kToolTrackingColorDefault;
};
