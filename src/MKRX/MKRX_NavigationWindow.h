// The navigation palette: one floating window for the whole program with the navigation view,
// bound to the front sheet window's view and sized to its thumbnail as it stands on screen.
// Made once by the palette manager; closing it only hides it. Main thread only.
#pragma once

#include "MKRX/MKRX_NavigationView.h"
#include "PPXA/PPXA_Window.h"

class MKRX_SheetView;

class MKRX_NavigationWindow : public PPXA::Window {
public:
  // Throws PPx::OSError when the nib holds no navigation view.
  MKRX_NavigationWindow();
  ~MKRX_NavigationWindow() override;
  const char* ClassName() const override { return "MKRX_NavigationWindow"; }

  // Binds the view (again, after a turn): the palette takes the size of its thumbnail.
  void SetView(MKRX_SheetView* view);
  // Forgets the view only when it is the one shown.
  void RemoveView(MKRX_SheetView* view);
  MKRX_SheetView* GetView() const { return m_View; }
  MKRX_NavigationView& GetNavigationView() { return m_NavigationView; }

protected:
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;

private:
  void InitWindow();
  void InstallHandlersOnWindow();
  // The bounds moved onto the display that holds most of them.
  static Rect KeptOnScreen(Rect bounds);

  MKRX_NavigationView m_NavigationView;
  MKRX_SheetView* m_View = nullptr;
};
