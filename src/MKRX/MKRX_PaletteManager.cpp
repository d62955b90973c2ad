#include "MKRX/MKRX_PaletteManager.h"

#include "MKRX/MKRX_MeasurementWindow.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_SeparationWindow.h"
#include "MKRX/iMKRX_PlaceholderLog.h"

#include <memory>

bool MKRX_PaletteManager::sm_Inited = false;
MKRX_NavigationWindow* MKRX_PaletteManager::sm_NavigationWindow = nullptr;
MKRX_SeparationWindow* MKRX_PaletteManager::sm_SeparationWindow = nullptr;
MKRX_MeasurementWindow* MKRX_PaletteManager::sm_MeasurementWindow = nullptr;

void MKRX_PaletteManager::CreatePalettes() {
  iMKRX_PlaceholderLog::Record("MKRX_PaletteManager::CreatePalettes");
  if (sm_Inited)
    return;
  // All three are made before any is kept, so a palette that fails leaves none half-made.
  auto navigation = std::make_unique<MKRX_NavigationWindow>();
  auto separations = std::make_unique<MKRX_SeparationWindow>();
  auto measurement = std::make_unique<MKRX_MeasurementWindow>();
  sm_NavigationWindow = navigation.release();
  sm_SeparationWindow = separations.release();
  sm_MeasurementWindow = measurement.release();
  sm_Inited = true;
}

void MKRX_PaletteManager::ConcealPalettes() {
  iMKRX_PlaceholderLog::Record("MKRX_PaletteManager::ConcealPalettes");
}

void MKRX_PaletteManager::RevealPalettes() {
  iMKRX_PlaceholderLog::Record("MKRX_PaletteManager::RevealPalettes");
}

void MKRX_PaletteManager::SavePaletteStates() {
  iMKRX_PlaceholderLog::Record("MKRX_PaletteManager::SavePaletteStates");
  MKRX_Preferences::SavePreferences();
}
