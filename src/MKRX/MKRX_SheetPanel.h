// A sheet window's panel of separations, which the separations palette shows while that window
// is in front. (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderLog.h"

class MKRX_SheetView;

class MKRX_SheetPanel {
public:
  void Initialize() { iMKRX_PlaceholderLog::Record("MKRX_SheetPanel::Initialize"); }
  void SetView(MKRX_SheetView* view) {
    iMKRX_PlaceholderLog::Record("MKRX_SheetPanel::SetView");
    m_View = view;
  }
  void RefreshDefaultInks() { iMKRX_PlaceholderLog::Record("MKRX_SheetPanel::RefreshDefaultInks"); }
  MKRX_SheetView* GetView() const { return m_View; }

private:
  MKRX_SheetView* m_View = nullptr;
};
