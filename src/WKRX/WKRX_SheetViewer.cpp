#include "WKRX/WKRX_SheetViewer.h"

#include "IMPN/IMPN_Preferences.h"
#include "WKRX/WKRX_CursorManager.h"

#include <atlgdi.h>

#include <utility>

namespace {

bool Contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

WKRX_SheetViewer::WKRX_SheetViewer(std::unique_ptr<WKRX_SheetView> view)
    : m_View(std::move(view)) {}

WKRX_SheetViewer::~WKRX_SheetViewer() {
  if (m_View->m_hWnd != nullptr && ::IsWindow(m_View->m_hWnd))
    m_View->DestroyWindow();
}

RECT WKRX_SheetViewer::TopRulerBand() const {
  RECT client = {0, 0, 0, 0};
  if (m_hWnd != nullptr)
    ::GetClientRect(m_hWnd, &client);
  return RECT{kRulerThickness, 0, client.right, kRulerThickness};
}

RECT WKRX_SheetViewer::LeftRulerBand() const {
  RECT client = {0, 0, 0, 0};
  if (m_hWnd != nullptr)
    ::GetClientRect(m_hWnd, &client);
  return RECT{0, kRulerThickness, kRulerThickness, client.bottom};
}

void WKRX_SheetViewer::SetSheet(IMPN_Sheet* sheet) {
  m_View->BindSheet(sheet);
  m_FitPending = IMPN_Preferences::sm_ZoomToFitWindowOnOpen && m_View->Sheet() != nullptr;
  FitWhenSized();
  InvalidateRulers();
}

void WKRX_SheetViewer::FitWhenSized() {
  if (!m_FitPending || m_View->m_hWnd == nullptr)
    return;
  const IMPN_RectT<long> frame = m_View->GetViewFrame();
  if (frame.width <= 0 || frame.height <= 0)
    return;
  m_FitPending = false;
  m_View->ZoomToFit(true);
}

void WKRX_SheetViewer::Layout(long width, long height) {
  if (m_View->m_hWnd == nullptr)
    return;
  const long d = m_RulersShown ? kRulerThickness : 0;
  m_View->SetWindowPos(nullptr, d, d, std::max(width - d - 3, 0L), std::max(height - d - 4, 0L),
                       SWP_NOZORDER | SWP_NOACTIVATE);
  m_View->UpdatePageSize();
  FitWhenSized();
}

void WKRX_SheetViewer::LayoutToWindow() {
  if (m_hWnd == nullptr)
    return;
  RECT window;
  GetWindowRect(&window);
  Layout(window.right - window.left, window.bottom - window.top);
}

void WKRX_SheetViewer::ShowRulers() {
  if (m_RulersShown)
    return;
  m_RulersShown = true;
  LayoutToWindow();
  Invalidate();
}

void WKRX_SheetViewer::HideRulers() {
  if (!m_RulersShown)
    return;
  m_RulersShown = false;
  LayoutToWindow();
  Invalidate();
}

void WKRX_SheetViewer::InvalidateRulers() {
  if (m_hWnd == nullptr)
    return;
  const RECT top = TopRulerBand();
  const RECT left = LeftRulerBand();
  InvalidateRect(&top, FALSE);
  InvalidateRect(&left, FALSE);
}

LRESULT WKRX_SheetViewer::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client;
  GetClientRect(&client);
  RECT area = {kRulerThickness, kRulerThickness, client.right, client.bottom};
  m_View->Create(m_hWnd, area, nullptr, 0x56000000, WS_EX_WINDOWEDGE);
  m_TopRuler.SetView(m_View.get());
  m_LeftRuler.SetView(m_View.get());
  m_CornerView = m_View.get();
  LayoutToWindow();
  return 0;
}

LRESULT WKRX_SheetViewer::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  handled = FALSE;
  const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (position != nullptr && (position->flags & SWP_NOSIZE) == 0)
    Layout(position->cx, position->cy);
  return 0;
}

LRESULT WKRX_SheetViewer::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (m_View->Sheet() == nullptr && m_RulersShown) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    const HBRUSH workspace = GetSysColorBrush(COLOR_APPWORKSPACE);
    const RECT corner = CornerBox();
    const RECT top = TopRulerBand();
    const RECT left = LeftRulerBand();
    FillRect(dc, &corner, workspace);
    FillRect(dc, &top, workspace);
    FillRect(dc, &left, workspace);
  }
  return 1;
}

LRESULT WKRX_SheetViewer::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL& handled) {
  if (m_View->Sheet() == nullptr || !m_RulersShown) {
    handled = FALSE;
    return 0;
  }
  if (message == WM_PRINTCLIENT) {
    PaintRulers(reinterpret_cast<HDC>(wParam));
    return 0;
  }
  WTL::CPaintDC dc(m_hWnd);
  PaintRulers(dc);
  return 0;
}

void WKRX_SheetViewer::PaintRulers(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  const RECT corner = CornerBox();
  {
    WTL::CMemoryDC buffer(dc, corner);
    PaintCorner(buffer, corner);
  }
  const RECT top = TopRulerBand();
  if (top.right > top.left) {
    WTL::CMemoryDC buffer(dc, top);
    m_TopRuler.Draw(buffer, top);
  }
  const RECT left = LeftRulerBand();
  if (left.bottom > left.top) {
    WTL::CMemoryDC buffer(dc, left);
    m_LeftRuler.Draw(buffer, left);
  }
}

void WKRX_SheetViewer::PaintCorner(HDC dc, const RECT& rect) {
  WKRX_FillRulerBox(dc, rect);
  LOGBRUSH black = {BS_SOLID, RGB(0, 0, 0), 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_DOT, 1, &black, 0, nullptr);
  const int saved = SaveDC(dc);
  if (pen != nullptr)
    SelectObject(dc, pen);
  const long width = rect.right - rect.left;
  const long height = rect.bottom - rect.top;
  MoveToEx(dc, rect.left + width / 3, rect.top, nullptr);
  LineTo(dc, rect.left + width / 3, rect.bottom);
  MoveToEx(dc, rect.left, rect.top + height / 3, nullptr);
  LineTo(dc, rect.right, rect.top + height / 3);
  RestoreDC(dc, saved);
  if (pen != nullptr)
    DeleteObject(pen);
}

LRESULT WKRX_SheetViewer::OnButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  // A press outside the rulers, or in a ruler while guides are hidden, starts nothing, whatever
  // an earlier press chose.
  m_DragPending = false;
  m_PendingMode = kWKRX_ToolNone;
  if ((wParam & MK_LBUTTON) == 0) {
    handled = FALSE;
    return 0;
  }
  const POINT point = PointOf(lParam);
  if (Contains(CornerBox(), point)) {
    WKRX_CursorManager::SetSetOriginCursor();
    m_PendingMode = kWKRX_ToolMoveOrigin;
  } else if (Contains(TopRulerBand(), point) && m_View->GuidesShown()) {
    WKRX_CursorManager::SetPlaceGuideHorzCursor();
    m_PendingMode = kWKRX_ToolPlaceHorizontalGuide;
  } else if (Contains(LeftRulerBand(), point) && m_View->GuidesShown()) {
    WKRX_CursorManager::SetPlaceGuideVertCursor();
    m_PendingMode = kWKRX_ToolPlaceVerticalGuide;
  }
  m_DragPending = m_PendingMode != kWKRX_ToolNone;
  return 0;
}

LRESULT WKRX_SheetViewer::OnMouseMove(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if ((wParam & MK_LBUTTON) == 0 || !m_DragPending) {
    handled = FALSE;
    return 0;
  }
  m_DragPending = false;
  switch (m_PendingMode) {
    case kWKRX_ToolPlaceHorizontalGuide:
      m_View->SendMessageW(WKRX_WM_BEGINHORZGUIDEDRAG, 1, 0);
      break;
    case kWKRX_ToolPlaceVerticalGuide:
      m_View->SendMessageW(WKRX_WM_BEGINVERTGUIDEDRAG, 0, 0);
      break;
    case kWKRX_ToolMoveOrigin:
      m_View->SendMessageW(WKRX_WM_BEGINORIGINDRAG, 0, 0);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT WKRX_SheetViewer::OnButtonUp(UINT, WPARAM, LPARAM, BOOL&) {
  m_DragPending = false;
  WKRX_CursorManager::SetArrowCursor();
  return 0;
}

LRESULT WKRX_SheetViewer::OnDoubleClick(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if ((wParam & MK_LBUTTON) != 0 && Contains(CornerBox(), PointOf(lParam)) &&
      m_CornerView != nullptr) {
    m_CornerView->ResetUnitOrigin();
    InvalidateRulers();
  }
  return 0;
}

LRESULT WKRX_SheetViewer::OnCursorPosition(UINT, WPARAM wParam, LPARAM, BOOL&) {
  const IMPN_PointT<double>* position = reinterpret_cast<const IMPN_PointT<double>*>(wParam);
  if (position == nullptr)
    return 0;
  m_TopRuler.SetCursorPosition(*position);
  m_LeftRuler.SetCursorPosition(*position);
  InvalidateRulers();
  return 0;
}
