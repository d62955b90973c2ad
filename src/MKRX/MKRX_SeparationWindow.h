// The separations palette: the front sheet window's panel of separations.
// (Placeholder until it is built: its window from the nib, hidden when closed; it records the
// calls made on it and keeps the panel it shows.)
#pragma once

#include "IMPN/IMPN_Geometry.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_SheetPanel;

class MKRX_SeparationWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_SeparationWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Resources"), CFSTR("Separation Palette")) {}
  const char* ClassName() const override { return "MKRX_SeparationWindow"; }

  void SwitchToPanel(MKRX_SheetPanel* panel) {
    Record("SwitchToPanel");
    m_Panel = panel;
  }
  // Forgets the panel only when it is the one shown.
  void RemovePanel(MKRX_SheetPanel* panel) {
    Record("RemovePanel");
    if (m_Panel == panel)
      m_Panel = nullptr;
  }
  MKRX_SheetPanel* GetPanel() const { return m_Panel; }
  void ArrangePanels(bool animate) { Record(animate ? "ArrangePanels on" : "ArrangePanels off"); }
  void RefreshDefaultInks() { Record("RefreshDefaultInks"); }
  void SetInfoModeEnabled(bool enabled) {
    Record(enabled ? "SetInfoModeEnabled on" : "SetInfoModeEnabled off");
  }
  void RefreshInkDensities(IMPN_RectT<long> const&) { Record("RefreshInkDensities"); }

private:
  static void Record(const char* call) {
    iMKRX_PlaceholderLog::Record(std::string("MKRX_SeparationWindow::") + call);
  }

  MKRX_SheetPanel* m_Panel = nullptr;
};
