// The navigation palette: the thumbnail of the front sheet with the visible frame.
// (Placeholder until it is built: its window from the nib, hidden when closed; it records the
// views it is given and keeps the one it shows.)
#pragma once

#include "MKRX/iMKRX_PlaceholderLog.h"
#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_SheetView;

class MKRX_NavigationWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_NavigationWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Resources"), CFSTR("Navigation Palette")) {}
  const char* ClassName() const override { return "MKRX_NavigationWindow"; }

  void SetView(MKRX_SheetView* view) {
    iMKRX_PlaceholderLog::Record("MKRX_NavigationWindow::SetView");
    m_View = view;
  }
  // Forgets the view only when it is the one shown.
  void RemoveView(MKRX_SheetView* view) {
    iMKRX_PlaceholderLog::Record("MKRX_NavigationWindow::RemoveView");
    if (m_View == view)
      m_View = nullptr;
  }
  MKRX_SheetView* GetView() const { return m_View; }

private:
  MKRX_SheetView* m_View = nullptr;
};
