// The one set of palettes (navigation, separations, measurement) that follows the front sheet
// window. (Placeholder until it is built: it makes the palettes and records the other calls.)
#pragma once

class MKRX_NavigationWindow;
class MKRX_SeparationWindow;
class MKRX_MeasurementWindow;

class MKRX_PaletteManager {
public:
  // Once per process; the palettes start hidden.
  static void CreatePalettes();
  static void ConcealPalettes();
  static void RevealPalettes();
  // Keeps the palettes' places in the preferences and writes all preferences.
  static void SavePaletteStates();

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
};
