// The docking palette that lists the separations of the sheet its sheet window shows: the version
// panel (for a sheet with versions), then for each surface with separations its surface panel
// above a scrolling list of separation panels. The surface shown in the sheet window is listed
// first. It floats or docks at its frame's edges; closing it only hides it.
#pragma once

#include "IMPN/IMPN_Geometry.h"
#include "IMPN/IMPN_SheetReference.h"
#include "WKRX/WKRX_PaletteMessages.h"

#include <windows.h>

// The ATL headers come before the docking library's, whose windowsx.h macros would rename their
// members.
#include <atlbase.h>
#include <atlgdi.h>
#include <atlwin.h>

#include "WTLA/win/DockingWindow.h"

#include <memory>

class IMPN_Surface;
class WKRX_SeparationPanelView;
class WKRX_SurfacePanel;
class WKRX_VersionPanel;

class WKRX_SeparationWindow : public dockwins::CTitleDockingWindowImpl<WKRX_SeparationWindow> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<WKRX_SeparationWindow>;

  static constexpr long kContentWidth = 270;
  static constexpr long kGap = 4;
  static constexpr long kMinimumTrackWidth = 52;
  static constexpr long kMaximumTrackWidth = 0x7FFF;

  DECLARE_WND_CLASS_EX(L"WKRX_SeparationWindow", CS_DBLCLKS, COLOR_BTNFACE)

  BEGIN_MSG_MAP(WKRX_SeparationWindow)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
  MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
  MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
  MESSAGE_HANDLER(dockwins::WMDF_NDOCKSTATECHANGED, OnDockStateChanged)
  MESSAGE_HANDLER(WKRX_WM_SIDECHANGED, OnSideChanged)
  MESSAGE_HANDLER(WKRX_WM_SEPARATIONVISIBILITYCHANGED, OnUpdateVersionChoice)
  MESSAGE_HANDLER(WKRX_WM_UPDATEVERSIONCHOICE, OnUpdateVersionChoice)
  MESSAGE_HANDLER(WKRX_WM_SETTEXTINDEX, OnSetTextIndex)
  MESSAGE_HANDLER(WKRX_WM_VERSIONSELECTED, OnVersionSelected)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  WKRX_SeparationWindow();
  ~WKRX_SeparationWindow() override;

  void SetOwnerFrame(HWND frame) { m_OwnerFrame = frame; }
  // Shows sheet, its front listed first when frontFirst. The panels are built as soon as both
  // the window and a sheet exist. The palette keeps its own reference to the sheet.
  void SetSheet(const IMPN_SheetReference& sheet, bool frontFirst = true);
  IMPN_Sheet* Sheet() const { return m_Sheet.Get(); }

  void RefreshDefaultInks();
  void SetInfoModeEnabled(bool enabled);
  void RefreshInkDensities(const IMPN_RectT<long>& rect);
  void ApplyVersionSet(const WKRX_VersionSet& versions);
  void UpdateVersionChoice();
  // Lays the panels out for width, then shares out the rows and stacks them.
  void RelayoutAll(long width);

  // The docking library's minimum-size hook.
  void GetMinMaxInfo(MINMAXINFO* info);

  // The parts, for tests; null when absent.
  WKRX_VersionPanel* VersionPanel() const { return m_VersionPanel; }
  WKRX_SurfacePanel* SurfacePanel(bool front) const {
    return front ? m_FrontSurfacePanel : m_BackSurfacePanel;
  }
  WKRX_SeparationPanelView* PanelView(bool front) const {
    return front ? m_FrontView.get() : m_BackView.get();
  }
  bool FrontFirst() const { return m_FrontFirst; }
  long FixedHeight() const { return m_FixedHeight; }
  long RowHeight() const { return m_RowHeight; }
  SIZE FloatingSize() const { return SIZE{m_FloatingWidth, m_FloatingHeight}; }
  POINT MinimumTrackSize() const { return POINT{m_MinimumTrackWidth, m_MinimumTrackHeight}; }
  POINT MaximumTrackSize() const { return POINT{m_MaximumTrackWidth, m_MaximumTrackHeight}; }

  // The work area the palette sizes itself for; tests put a small one in its place.
  static RECT (*sm_WorkArea)(HWND palette);

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
  LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnDockStateChanged(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnSideChanged(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnUpdateVersionChoice(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetTextIndex(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnVersionSelected(UINT, WPARAM, LPARAM lParam, BOOL&);

  void CreatePanels(bool frontFirst);
  void CreateSurfacePair(IMPN_Surface& surface, bool front);
  void DestroyPanels();
  void ComputeSizes();
  void ComputeFloatingSize();
  void DistributeRows();
  void ArrangePanels(bool frontFirst);
  void Relayout(long width);
  void UpdateSurfaceDensity();
  long CaptionHeight() const;
  long WindowBorders(bool vertical) const;
  void Notify(UINT message, LPARAM lParam) const;
  WKRX_SeparationPanelView* FirstView() const;
  WKRX_SeparationPanelView* SecondView() const;

  IMPN_SheetReference m_Sheet;
  HWND m_OwnerFrame = nullptr;
  WKRX_VersionPanel* m_VersionPanel = nullptr;
  WKRX_SurfacePanel* m_FrontSurfacePanel = nullptr;
  WKRX_SurfacePanel* m_BackSurfacePanel = nullptr;
  std::unique_ptr<WKRX_SeparationPanelView> m_FrontView;
  std::unique_ptr<WKRX_SeparationPanelView> m_BackView;
  long m_FloatingWidth = 1;
  long m_FloatingHeight = 1;
  bool m_FrontFirst = true;
  long m_MinimumTrackWidth = kMinimumTrackWidth;
  long m_MaximumTrackWidth = kMaximumTrackWidth;
  long m_MinimumTrackHeight = 0;
  long m_MaximumTrackHeight = 0;
  long m_FixedHeight = 0;
  long m_RowHeight = 24;
};
