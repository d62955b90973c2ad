#include "MKRX/MKRX_PaletteManager.h"

#include "MKRX/MKRX_MeasurementWindow.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_SeparationWindow.h"
#include "MKRX/iMKRX_PalettePlacement.h"

#include <QD/QuickDraw.h>

#include <memory>

bool MKRX_PaletteManager::sm_Inited = false;
MKRX_NavigationWindow* MKRX_PaletteManager::sm_NavigationWindow = nullptr;
MKRX_SeparationWindow* MKRX_PaletteManager::sm_SeparationWindow = nullptr;
MKRX_MeasurementWindow* MKRX_PaletteManager::sm_MeasurementWindow = nullptr;
bool MKRX_PaletteManager::sm_PalettesConcealed = false;
bool MKRX_PaletteManager::sm_NavigationWindowConcealed = false;
bool MKRX_PaletteManager::sm_SeparationWindowConcealed = false;
bool MKRX_PaletteManager::sm_MeasurementWindowConcealed = false;

namespace {

IMPN_RectT<long> ContentBounds(PPXA::Window* palette) {
  Rect content{0, 0, 0, 0};
  GetWindowBounds(palette->GetSysWindow(), kWindowContentRgn, &content);
  return IMPN_RectT<long>(content.top, content.left, content.right - content.left,
                          content.bottom - content.top);
}

Rect StructureBounds(PPXA::Window* palette) {
  Rect bounds{0, 0, 0, 0};
  if (palette)
    GetWindowBounds(palette->GetSysWindow(), kWindowStructureRgn, &bounds);
  return bounds;
}

bool IsShown(PPXA::Window* palette) {
  return palette && palette->IsVisible();
}

void ShowInFront(PPXA::Window* palette) {
  if (palette == nullptr)
    return;
  palette->Show();
  palette->Select();
}

void Toggle(PPXA::Window* palette) {
  if (palette == nullptr)
    return;
  if (palette->IsVisible())
    palette->Hide();
  else
    ShowInFront(palette);
}

}  // namespace

void MKRX_PaletteManager::CreatePalettes() {
  if (sm_Inited)
    return;
  // All three are made before any is kept, so a palette that fails leaves none half-made.
  auto navigation = std::make_unique<MKRX_NavigationWindow>();
  auto separations = std::make_unique<MKRX_SeparationWindow>();
  auto measurement = std::make_unique<MKRX_MeasurementWindow>();
  iMKRX_PalettePlacement::Place(navigation->GetSysWindow(),
                                MKRX_Preferences::sm_NavigationWindowBounds);
  iMKRX_PalettePlacement::Place(separations->GetSysWindow(),
                                MKRX_Preferences::sm_SeparationWindowBounds);
  iMKRX_PalettePlacement::Place(measurement->GetSysWindow(),
                                MKRX_Preferences::sm_MeasurementWindowBounds);
  sm_NavigationWindow = navigation.release();
  sm_SeparationWindow = separations.release();
  sm_MeasurementWindow = measurement.release();
  sm_NavigationWindowConcealed = MKRX_Preferences::sm_NavigationWindowVisible;
  sm_SeparationWindowConcealed = MKRX_Preferences::sm_SeparationWindowVisible;
  sm_MeasurementWindowConcealed = false;
  sm_PalettesConcealed = true;
  sm_Inited = true;
}

void MKRX_PaletteManager::ConcealPalettes() {
  if (!sm_Inited || sm_PalettesConcealed)
    return;
  sm_NavigationWindowConcealed = sm_NavigationWindow->IsVisible();
  sm_NavigationWindow->Hide();
  sm_SeparationWindowConcealed = sm_SeparationWindow->IsVisible();
  sm_SeparationWindow->Hide();
  sm_MeasurementWindowConcealed = sm_MeasurementWindow->IsVisible();
  sm_MeasurementWindow->Hide();
  sm_PalettesConcealed = true;
}

void MKRX_PaletteManager::RevealPalettes() {
  if (!sm_Inited || !sm_PalettesConcealed)
    return;
  if (sm_NavigationWindowConcealed)
    sm_NavigationWindow->Show();
  if (sm_SeparationWindowConcealed)
    sm_SeparationWindow->Show();
  if (sm_MeasurementWindowConcealed)
    sm_MeasurementWindow->Show();
  // Once shown, the palettes' own visibility is what counts.
  sm_NavigationWindowConcealed = false;
  sm_SeparationWindowConcealed = false;
  sm_MeasurementWindowConcealed = false;
  sm_PalettesConcealed = false;
}

void MKRX_PaletteManager::SavePaletteStates() {
  if (sm_Inited) {
    MKRX_Preferences::sm_NavigationWindowBounds = ContentBounds(sm_NavigationWindow);
    MKRX_Preferences::sm_SeparationWindowBounds = ContentBounds(sm_SeparationWindow);
    MKRX_Preferences::sm_MeasurementWindowBounds = ContentBounds(sm_MeasurementWindow);
    // While concealed every palette is hidden: the remembered flags say which were shown.
    MKRX_Preferences::sm_NavigationWindowVisible =
        sm_PalettesConcealed ? sm_NavigationWindowConcealed : sm_NavigationWindow->IsVisible();
    MKRX_Preferences::sm_SeparationWindowVisible =
        sm_PalettesConcealed ? sm_SeparationWindowConcealed : sm_SeparationWindow->IsVisible();
  }
  MKRX_Preferences::SavePreferences();
}

void MKRX_PaletteManager::ArrangePalettes() {
  if (!sm_Inited)
    return;
  Rect screen{0, 0, 0, 0};
  GetAvailableWindowPositioningBounds(GetMainDevice(), &screen);
  long top = screen.top;
  PPXA::Window* const palettes[] = {sm_NavigationWindow, sm_SeparationWindow, sm_MeasurementWindow};
  for (PPXA::Window* palette : palettes) {
    if (!palette->IsVisible())
      continue;
    Rect const structure = StructureBounds(palette);
    long const width = structure.right - structure.left;
    long const height = structure.bottom - structure.top;
    MoveWindowStructure(palette->GetSysWindow(), static_cast<short>(screen.right - width),
                        static_cast<short>(top));
    top += height + 1;
  }
}

void MKRX_PaletteManager::ToggleNavigationPalette() {
  Toggle(sm_NavigationWindow);
}

void MKRX_PaletteManager::ToggleSeparationPalette() {
  Toggle(sm_SeparationWindow);
}

void MKRX_PaletteManager::ToggleMeasurementPalette() {
  Toggle(sm_MeasurementWindow);
}

void MKRX_PaletteManager::ShowNavigationPalette() {
  ShowInFront(sm_NavigationWindow);
}

void MKRX_PaletteManager::ShowSeparationPalette() {
  ShowInFront(sm_SeparationWindow);
}

void MKRX_PaletteManager::ShowMeasurementPalette() {
  ShowInFront(sm_MeasurementWindow);
}

bool MKRX_PaletteManager::NavigationPaletteVisible() {
  return IsShown(sm_NavigationWindow);
}

bool MKRX_PaletteManager::SeparationPaletteVisible() {
  return IsShown(sm_SeparationWindow);
}

bool MKRX_PaletteManager::MeasurementPaletteVisible() {
  return IsShown(sm_MeasurementWindow);
}

Rect MKRX_PaletteManager::GetNavigationPaletteBounds() {
  return StructureBounds(sm_NavigationWindow);
}

Rect MKRX_PaletteManager::GetSeparationPaletteBounds() {
  return StructureBounds(sm_SeparationWindow);
}

Rect MKRX_PaletteManager::GetMeasurementPaletteBounds() {
  return StructureBounds(sm_MeasurementWindow);
}

void MKRX_PaletteManager::SetView(MKRX_SheetView* view) {
  if (sm_NavigationWindow)
    sm_NavigationWindow->SetView(view);
}

void MKRX_PaletteManager::RemoveView(MKRX_SheetView* view) {
  if (sm_NavigationWindow)
    sm_NavigationWindow->RemoveView(view);
}

void MKRX_PaletteManager::SetPanel(MKRX_SheetPanel* panel) {
  if (sm_SeparationWindow)
    sm_SeparationWindow->SwitchToPanel(panel);
}

void MKRX_PaletteManager::RemovePanel(MKRX_SheetPanel* panel) {
  if (sm_SeparationWindow)
    sm_SeparationWindow->RemovePanel(panel);
}

void MKRX_PaletteManager::ArrangePanels(bool animate) {
  if (sm_SeparationWindow)
    sm_SeparationWindow->ArrangePanels(animate);
}

void MKRX_PaletteManager::RefreshDefaultInks() {
  if (sm_SeparationWindow)
    sm_SeparationWindow->RefreshDefaultInks();
}

void MKRX_PaletteManager::SetInfoModeEnabled(bool enabled) {
  if (sm_SeparationWindow)
    sm_SeparationWindow->SetInfoModeEnabled(enabled);
}

void MKRX_PaletteManager::RefreshInkDensities(IMPN_RectT<long> const& frame) {
  if (sm_SeparationWindow)
    sm_SeparationWindow->RefreshInkDensities(frame);
}

void MKRX_PaletteManager::SetDeltaText(double x, double y, IMPN_Units units) {
  if (sm_MeasurementWindow)
    sm_MeasurementWindow->SetDeltaText(x, y, units);
}

void MKRX_PaletteManager::SetPositionText(double x, double y, IMPN_Units units) {
  if (sm_MeasurementWindow)
    sm_MeasurementWindow->SetPositionText(x, y, units);
}
