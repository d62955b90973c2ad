// The top-level frame that shows one sheet, owned by the application window. This is the frame
// the application shell needs so far: it is made from the frame resources (menu, accelerators
// and title 128) with the sheet viewer as its client, which keeps the sheet shown, repaints the
// viewer's rulers when the view's frame or zoom changes, tells the application before it closes,
// passes its window and file commands on to the application, and keeps its palettes in touch
// with the view: with its first sheet it opens the navigation, measurement and separations
// palettes, floating at its right edge. The bars and the other commands come with the sheet
// window itself.
#pragma once

#include "GLIB/GLIB_String.h"
#include "IMPN/IMPN_SheetReference.h"
#include "WKRX/WKRX_CommandIds.h"
#include "WKRX/WKRX_MeasurementWindow.h"
#include "WKRX/WKRX_NavigationWindow.h"
#include "WKRX/WKRX_PaletteMessages.h"
#include "WKRX/WKRX_SheetViewer.h"
#include "WKRX/WKRX_ViewMessages.h"

#include <windows.h>

#include <atlbase.h>
#include <atlframe.h>
#include <atlwin.h>

#include <memory>
#include <vector>

class WKRX_SeparationWindow;

class WKRX_SheetWindow : public WTL::CFrameWindowImpl<WKRX_SheetWindow> {
public:
  DECLARE_FRAME_WND_CLASS_EX(L"WKRX_SheetWindow", 128, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                             COLOR_APPWORKSPACE)

  // serial: this window's number, also its command in every Window menu.
  explicit WKRX_SheetWindow(UINT serial);
  ~WKRX_SheetWindow() override;

  UINT Serial() const { return m_Serial; }
  // The shown sheet, which the viewer holds; null in an empty frame.
  IMPN_Sheet* Sheet() { return m_Viewer.View().Sheet(); }

  // Shows the sheet in a frame that shows none yet: keeps a reference to it and titles the frame
  // "Halvoren KRX - " and the sheet's title.
  void ShowSheet(const IMPN_SheetReference& sheet);

  // Recorded: the Window menu and the default inks belong to the sheet window proper.
  void BuildWindowMenu(const std::vector<WKRX_SheetWindow*>& windows);
  void RefreshDefaultInks();
  int BuildWindowMenuCount() const { return m_BuildWindowMenuCount; }
  int RefreshDefaultInksCount() const { return m_RefreshDefaultInksCount; }

  WKRX_SheetViewer& Viewer() { return m_Viewer; }
  WKRX_NavigationWindow& NavigationPalette() { return m_Navigation; }
  WKRX_MeasurementWindow& MeasurementPalette() { return m_Measurement; }
  // Densitometer moves reach the separations palette; counted for the tests.
  int DensitometerMovedCount() const { return m_DensitometerMovedCount; }
  WKRX_SeparationWindow& SeparationPalette() { return *m_SeparationPalette; }

  // From now on the object deletes itself after its window is gone.
  void DeleteWithWindow() { m_DeletesItself = true; }

  // The title the frame shows for a sheet (without the product prefix), front side up.
  static GLIB_WString SheetTitle(const IMPN_Sheet& sheet);

  BEGIN_MSG_MAP(WKRX_SheetWindow)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
  MESSAGE_HANDLER(WKRX_WM_OPENSHEETWINDOW, OnOpenSheetWindow)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  MESSAGE_HANDLER(WKRX_WM_VIEWFRAMECHANGED, OnViewChanged)
  MESSAGE_HANDLER(WKRX_WM_ZOOMLEVELCHANGED, OnViewChanged)
  MESSAGE_HANDLER(WKRX_WM_SCROLLVIEWTO, OnToView)
  MESSAGE_HANDLER(WKRX_WM_ZOOMVIEWTORECT, OnToView)
  MESSAGE_HANDLER(WKRX_WM_SHOWPALETTE, OnShowPalette)
  MESSAGE_HANDLER(WKRX_WM_MEASUREMENTCHANGED, OnMeasurementChanged)
  MESSAGE_HANDLER(WKRX_WM_DENSITOMETERMOVED, OnDensitometerMoved)
  MESSAGE_HANDLER(WKRX_WM_FILESDROPPED, OnFilesDropped)
  MESSAGE_HANDLER(WKRX_WM_INKCHANGED, OnSeparationsChanged)
  MESSAGE_HANDLER(WKRX_WM_SEPARATIONVISIBILITYCHANGED, OnSeparationsChanged)
  MESSAGE_HANDLER(WKRX_WM_OPACITYCHANGED, OnSeparationsChanged)
  MESSAGE_HANDLER(WKRX_WM_VERSIONSELECTED, OnSeparationsChanged)
  MESSAGE_HANDLER(WKRX_WM_SEPARATIONSREORDERED, OnSeparationsReordered)
  CHAIN_MSG_MAP(WTL::CFrameWindowImpl<WKRX_SheetWindow>)
  END_MSG_MAP()

private:
  void OnFinalMessage(HWND) override;

  LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnOpenSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnViewChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnToView(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnShowPalette(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnMeasurementChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnDensitometerMoved(UINT, WPARAM, LPARAM lParam, BOOL&);
  void CreatePalettes();
  LRESULT OnFilesDropped(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnSeparationsChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSeparationsReordered(UINT, WPARAM, LPARAM lParam, BOOL&);

  void CreateSeparationPalette();
  void ShowPendingPalette();

  HWND m_Application = nullptr;
  UINT m_Serial;
  WKRX_SheetViewer m_Viewer;
  WKRX_NavigationWindow m_Navigation;
  WKRX_MeasurementWindow m_Measurement;
  int m_DensitometerMovedCount = 0;
  // Its window is owned by the frame's, and goes before it.
  std::unique_ptr<WKRX_SeparationWindow> m_SeparationPalette;
  // Set while the palette waits for the frame to show: shown after it, it stays above it.
  bool m_PaletteShowPending = false;
  bool m_DeletesItself = false;
  int m_BuildWindowMenuCount = 0;
  int m_RefreshDefaultInksCount = 0;
};
