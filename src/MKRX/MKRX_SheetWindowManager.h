// Makes the sheet windows, one per sheet, and keeps the set of open ones: counted for the menus,
// arranged on the screen, closed all at once, and told when the default ink colour changed.
#pragma once

#include "PPXA/PPXA_WindowRegistry.h"

#include <vector>

class IMPN_Sheet;
class MKRX_SheetWindow;

class MKRX_SheetWindowManager {
public:
  // A new shown window for the sheet; the window owns itself (and takes its reference to the
  // sheet).
  static MKRX_SheetWindow* CreateSheetWindow(IMPN_Sheet* sheet);
  // One window per sheet, in order. The sheets are the caller's new ones: a sheet whose window
  // could not be made is deleted, not lost.
  static void CreateSheetWindows(std::vector<IMPN_Sheet*>& sheets);
  // Called by a closing window; the palettes hide once the last one went.
  static void RemoveWindow(MKRX_SheetWindow* window);

  static long GetWindowCountTotal();
  static long GetWindowCountUncollapsed();
  static void CloseAll();

  // Where windows may go on the main screen: without the menu bar and the Dock.
  static void GetScreenBoundary(Rect& bounds);
  static void Cascade();
  static void TileHorizontally();
  static void TileVertically();

  static void RefreshDefaultInks();

  MKRX_SheetWindowManager() = delete;

private:
  static PPXA::WindowRegistry sm_Registry;
};
