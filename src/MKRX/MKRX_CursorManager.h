// The mouse cursors of the tools and drag operations: the system's theme cursors, and the
// program's own cursors from the bundle's resources, each loaded on first use and kept for the
// whole run. A cursor the bundle lacks leaves the cursor shown as it was (and is looked for again
// the next time). Main thread only.
#pragma once

#include <HIToolbox/Appearance.h>

class MKRX_CursorManager {
public:
  MKRX_CursorManager() = delete;

  static void SetArrowCursor();
  static void SetOpenHandCursor();
  static void SetClosedHandCursor();
  static void SetCrossCursor();
  static void SetZoomInCursor();
  static void SetZoomOutCursor();
  static void SetZoomLimitCursor();
  static void SetEyedropperCursor();
  static void SetResizeLeftRightCursor();
  static void SetResizeUpDownCursor();
  static void SetMoveCursor();
  static void SetPlaceGuideHorzCursor();
  static void SetPlaceGuideVertCursor();
  static void SetShiftGuideHorzCursor();
  static void SetShiftGuideVertCursor();
  static void SetSetOriginCursor();

private:
  // Colour cursors.
  static CCrsrHandle sm_MagnifyingGlassPlus;
  static CCrsrHandle sm_MagnifyingGlassMinus;
  static CCrsrHandle sm_MagnifyingGlassLimit;
  static CCrsrHandle sm_Eyedropper;
  // Black-and-white cursors.
  static CursHandle sm_ShiftLeftRight;
  static CursHandle sm_ShiftUpDown;
  static CursHandle sm_MoveOrthogonal;
  static CursHandle sm_ResizeLeftRight;
  static CursHandle sm_ResizeUpDown;
  static CursHandle sm_BrokenCross;
};
