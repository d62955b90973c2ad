// The client window of a sheet window: the sheet view with a ruler above it, one to its left and
// the corner box where they meet. It passes the pointer position on to the rulers, starts guide
// and origin drags from the rulers and the corner box, and shows or hides the rulers.
#pragma once

#include "WKRX/WKRX_RulerView.h"
#include "WKRX/WKRX_SheetView.h"
#include "WKRX/WKRX_ViewMessages.h"

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <memory>

class WKRX_SheetViewer : public ATL::CWindowImpl<WKRX_SheetViewer> {
public:
  DECLARE_WND_CLASS_EX(L"WKRX_SheetViewer", CS_DBLCLKS, -1)

  static constexpr long kRulerThickness = 20;

  // Tests hand in a view of their own class.
  explicit WKRX_SheetViewer(
      std::unique_ptr<WKRX_SheetView> view = std::make_unique<WKRX_SheetView>());
  ~WKRX_SheetViewer() override;

  WKRX_SheetView& View() { return *m_View; }
  WKRX_RulerView& TopRuler() { return m_TopRuler; }
  WKRX_RulerView& LeftRuler() { return m_LeftRuler; }

  // The sheet window that the view tells about frames, zooms and measurements; before Create.
  void SetFrameWindow(HWND frame) { m_View->SetFrameWindow(frame); }
  // Binds the sheet to the view and, when the preference asks for it, fits it to the window as
  // soon as the view has a size.
  void SetSheet(IMPN_Sheet* sheet);

  void ShowRulers();
  void HideRulers();
  bool RulersShown() const { return m_RulersShown; }
  bool DragPending() const { return m_DragPending; }
  long PendingToolMode() const { return m_PendingMode; }

  // The rulers' areas as the viewer lays them out.
  RECT CornerBox() const { return RECT{0, 0, kRulerThickness, kRulerThickness}; }
  RECT TopRulerBand() const;
  RECT LeftRulerBand() const;
  // Draws the corner box and both rulers, each through an off-screen buffer.
  void PaintRulers(HDC dc);

  BEGIN_MSG_MAP(WKRX_SheetViewer)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnButtonDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnDoubleClick)
  MESSAGE_HANDLER(WKRX_WM_CURSORPOSITION, OnCursorPosition)
  END_MSG_MAP()

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDoubleClick(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCursorPosition(UINT, WPARAM wParam, LPARAM, BOOL&);

  // From the viewer's window size, edges included, as a move or resize reports it.
  void Layout(long width, long height);
  void LayoutToWindow();
  void FitWhenSized();
  void InvalidateRulers();
  void PaintCorner(HDC dc, const RECT& rect);

  std::unique_ptr<WKRX_SheetView> m_View;
  WKRX_RulerView m_TopRuler;
  WKRX_RulerView m_LeftRuler;
  // The corner box's only knowledge: the view whose origin it resets.
  WKRX_SheetView* m_CornerView = nullptr;
  bool m_RulersShown = true;
  bool m_DragPending = false;
  long m_PendingMode = kWKRX_ToolNone;
  bool m_FitPending = false;
};
