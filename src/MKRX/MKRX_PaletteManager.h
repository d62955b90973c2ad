// The one set of palettes (navigation, separations, measurement) that follows the front sheet
// window: made once at start-up, hidden while a dialog or the job browser is in front and shown
// again when a sheet window becomes active, arranged along the screen's right edge, and kept in
// the preferences at quit. Main thread only.
#pragma once

#include "CKRX/CKRX_Units.h"
#include "IMPN/IMPN_Geometry.h"

#include <HIToolbox/MacWindows.h>

class MKRX_NavigationWindow;
class MKRX_SeparationWindow;
class MKRX_MeasurementWindow;
class MKRX_SheetPanel;
class MKRX_SheetView;

class MKRX_PaletteManager {
public:
  // Once per process; the palettes start concealed, to be revealed by the first active sheet
  // window as they were at the last quit. Throws PPx::OSError when a palette cannot be made.
  static void CreatePalettes();
  // Hides the palettes and remembers which were shown; a second conceal changes nothing.
  static void ConcealPalettes();
  // Shows again the palettes the conceal hid.
  static void RevealPalettes();
  static bool PalettesConcealed() { return sm_PalettesConcealed; }
  // Keeps the palettes' places and visibility in the preferences and writes all preferences.
  static void SavePaletteStates();
  // Stacks the visible palettes flush right from the top of the screen boundary.
  static void ArrangePalettes();

  static void ToggleNavigationPalette();
  static void ToggleSeparationPalette();
  static void ToggleMeasurementPalette();
  static void ShowNavigationPalette();
  static void ShowSeparationPalette();
  static void ShowMeasurementPalette();
  static bool NavigationPaletteVisible();
  static bool SeparationPaletteVisible();
  static bool MeasurementPaletteVisible();
  // Structure bounds, global; empty before the palettes exist.
  static Rect GetNavigationPaletteBounds();
  static Rect GetSeparationPaletteBounds();
  static Rect GetMeasurementPaletteBounds();

  // Forwarded to the palette concerned.
  static void SetView(MKRX_SheetView* view);
  static void RemoveView(MKRX_SheetView* view);
  static void SetPanel(MKRX_SheetPanel* panel);
  static void RemovePanel(MKRX_SheetPanel* panel);
  static void ArrangePanels(bool animate);
  static void RefreshDefaultInks();
  static void SetInfoModeEnabled(bool enabled);
  static void RefreshInkDensities(IMPN_RectT<long> const& frame);
  static void SetDeltaText(double x, double y, IMPN_Units units);
  static void SetPositionText(double x, double y, IMPN_Units units);

  static MKRX_NavigationWindow* GetNavigationWindow() { return sm_NavigationWindow; }
  static MKRX_SeparationWindow* GetSeparationWindow() { return sm_SeparationWindow; }
  static MKRX_MeasurementWindow* GetMeasurementWindow() { return sm_MeasurementWindow; }

  MKRX_PaletteManager() = delete;

private:
  static bool sm_Inited;
  // Owned for the whole run.
  static MKRX_NavigationWindow* sm_NavigationWindow;
  static MKRX_SeparationWindow* sm_SeparationWindow;
  static MKRX_MeasurementWindow* sm_MeasurementWindow;
  static bool sm_PalettesConcealed;
  // Which palettes the reveal shows again; they count only while the palettes are concealed.
  static bool sm_NavigationWindowConcealed;
  static bool sm_SeparationWindowConcealed;
  static bool sm_MeasurementWindowConcealed;
};
