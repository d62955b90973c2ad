// The mouse cursors of the sheet view's tools, the rulers, the navigation palette and the
// separation panels. Each is loaded once and kept for the process; later calls only set it.
// Resource cursors come through the module's resource search: the language library's when it
// has one, else the program's own.
#pragma once

#include <windows.h>

class WKRX_CursorManager {
public:
  // Each sets its cursor and answers true, or answers false and sets nothing when the cursor
  // cannot be loaded (a later call tries again).
  static bool SetArrowCursor();
  static bool SetOpenHandCursor();
  static bool SetClosedHandCursor();
  static bool SetCrossCursor();
  static bool SetZoomInCursor();
  static bool SetZoomOutCursor();
  static bool SetZoomLimitCursor();
  static bool SetEyedropperCursor();
  static bool SetResizeLeftRightCursor();
  static bool SetResizeUpDownCursor();
  static bool SetMoveCursor();
  static bool SetPlaceGuideHorzCursor();
  static bool SetPlaceGuideVertCursor();
  static bool SetShiftGuideHorzCursor();
  static bool SetShiftGuideVertCursor();
  static bool SetSetOriginCursor();
  static bool SetResizeDiagonalDownCursor();
  static bool SetResizeDiagonalUpCursor();
  static bool SetMoveAllCursor();

  // The generic forms: a system cursor by its id, a resource cursor by number, each cached in
  // slot.
  static bool SetSystemCursor(LPCWSTR id, HCURSOR& slot);
  static bool SetResourceCursor(UINT id, HCURSOR& slot);

  // Drops what was loaded, so that the next calls load again; for tests that change the resource
  // modules. The cursors themselves are shared ones and are never destroyed.
  static void ForgetLoadedCursors();
};
