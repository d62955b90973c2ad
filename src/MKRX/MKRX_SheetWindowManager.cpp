#include "MKRX/MKRX_SheetWindowManager.h"

#include "IMPN/IMPN_SheetReference.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_SheetWindow.h"

#include <HIToolbox/MacWindows.h>
#include <QD/QuickDraw.h>

#include <memory>

PPXA::WindowRegistry MKRX_SheetWindowManager::sm_Registry;

MKRX_SheetWindow* MKRX_SheetWindowManager::CreateSheetWindow(IMPN_Sheet* sheet) {
  auto window = std::make_unique<MKRX_SheetWindow>();
  window->Initialize(sheet);
  sm_Registry.InsertWindow(window->GetSysWindow());
  return window.release();
}

void MKRX_SheetWindowManager::CreateSheetWindows(std::vector<IMPN_Sheet*>& sheets) {
  // Each sheet is held until its window holds it, so an exception on the way frees the rest.
  std::vector<IMPN_SheetReference> held(sheets.begin(), sheets.end());
  for (IMPN_SheetReference& sheet : held) {
    CreateSheetWindow(sheet.Get());
    sheet.Reset();
  }
}

void MKRX_SheetWindowManager::RemoveWindow(MKRX_SheetWindow* window) {
  sm_Registry.RemoveWindow(window->GetSysWindow());
  if (GetWindowCountTotal() == 0)
    MKRX_PaletteManager::ConcealPalettes();
}

long MKRX_SheetWindowManager::GetWindowCountTotal() {
  return sm_Registry.GetWindowCount(false);
}

long MKRX_SheetWindowManager::GetWindowCountUncollapsed() {
  return sm_Registry.GetWindowCount(true);
}

void MKRX_SheetWindowManager::CloseAll() {
  sm_Registry.CloseAll();
}

void MKRX_SheetWindowManager::GetScreenBoundary(Rect& bounds) {
  GetAvailableWindowPositioningBounds(GetMainDevice(), &bounds);
}

void MKRX_SheetWindowManager::Cascade() {
  Rect bounds;
  GetScreenBoundary(bounds);
  sm_Registry.Cascade(bounds);
}

void MKRX_SheetWindowManager::TileHorizontally() {
  Rect bounds;
  GetScreenBoundary(bounds);
  sm_Registry.TileHorizontally(bounds);
}

void MKRX_SheetWindowManager::TileVertically() {
  Rect bounds;
  GetScreenBoundary(bounds);
  sm_Registry.TileVertically(bounds);
}

void MKRX_SheetWindowManager::RefreshDefaultInks() {
  for (auto it = sm_Registry.Begin(); it != sm_Registry.End(); ++it)
    if (MKRX_SheetWindow* window = MKRX_SheetWindow::GetObject(*it))
      window->RefreshDefaultInks();
}
