#include "IMPN/IMPN_Separation.h"

#include "WKRX/WKRX_SeparationPanelView.h"

#include "WKRX/WKRX_SeparationPanel.h"

#include <algorithm>

HWND WKRX_SeparationPanelView::Create(HWND parent, const RECT& rect) {
  RECT bounds = rect;
  return ATL::CWindowImpl<WKRX_SeparationPanelView>::Create(
      parent, bounds, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_NOPARENTNOTIFY);
}

void WKRX_SeparationPanelView::AddPanels(const std::vector<IMPN_Separation*>& separations,
                                         bool front, HWND frame) {
  m_Front = front;
  m_Frame = frame;
  long y = 0;
  for (IMPN_Separation* separation : separations) {
    auto* panel = new WKRX_SeparationPanel;
    panel->SetSeparation(separation);
    panel->SetFrame(frame);
    const RECT rect{0, y, kPanelWidth, y + kLine};
    if (panel->Create(m_hWnd, rect) == nullptr) {
      delete panel;
      continue;
    }
    m_Panels.push_back(panel);
    y += kLine;
  }
  if (m_Panels.empty())
    return;
  m_ContentHeight = PanelHeight() * static_cast<long>(m_Panels.size());
  m_Position = 0;
  m_Line = kLine;
  m_Page = kLine;
  LayoutPanels();
}

long WKRX_SeparationPanelView::PanelHeight() const {
  if (m_Panels.empty())
    return kLine;
  RECT rect;
  m_Panels.front()->GetWindowRect(&rect);
  return rect.bottom - rect.top;
}

long WKRX_SeparationPanelView::MaxPosition() const {
  // A page taller than the content leaves nothing to scroll.
  return std::max(m_ContentHeight - m_Page, 0L);
}

void WKRX_SeparationPanelView::SetViewSize(long width, long height) {
  SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_Page = height;
  m_Position = std::min(m_Position, MaxPosition());
  if (height < m_ContentHeight) {
    ::ShowScrollBar(m_hWnd, SB_VERT, TRUE);
    SCROLLINFO info{sizeof(info),
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    static_cast<int>(m_ContentHeight),
                    static_cast<UINT>(height),
                    static_cast<int>(m_Position),
                    0};
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
  } else {
    ::ShowScrollBar(m_hWnd, SB_VERT, FALSE);
  }
  LayoutPanels();
}

SIZE WKRX_SeparationPanelView::GetNaturalSize() const {
  RECT client;
  GetClientRect(&client);
  return SIZE{client.right, m_ContentHeight};
}

void WKRX_SeparationPanelView::SetWidth(long width) {
  RECT window;
  GetWindowRect(&window);
  SetWindowPos(nullptr, 0, 0, width, window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const bool scrollBar = (GetStyle() & WS_VSCROLL) != 0;
  const long panelWidth = width - (scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  for (WKRX_SeparationPanel* panel : m_Panels)
    panel->SetPanelWidth(panelWidth);
}

void WKRX_SeparationPanelView::LayoutPanels() {
  long i = 0;
  for (WKRX_SeparationPanel* panel : m_Panels) {
    RECT rect;
    panel->GetWindowRect(&rect);
    panel->SetWindowPos(nullptr, 0, kLine * i - m_Position, rect.right - rect.left, kLine,
                        SWP_NOZORDER | SWP_NOACTIVATE);
    ++i;
  }
  InvalidateRect(nullptr, TRUE);
}

void WKRX_SeparationPanelView::ScrollTo(long position) {
  position = std::max(0L, std::min(position, MaxPosition()));
  if (position == m_Position)
    return;
  const long old = m_Position;
  m_Position = position;
  ::ScrollWindowEx(m_hWnd, 0, old - position, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE);
  UpdateWindow();
  SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, static_cast<int>(position), 0};
  ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

LRESULT WKRX_SeparationPanelView::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  long position = m_Position;
  const long thumb = static_cast<long>(HIWORD(wParam));
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      position -= m_Line;
      break;
    case SB_LINEDOWN:
      position += m_Line;
      break;
    case SB_PAGEUP:
      position -= m_Page;
      break;
    case SB_PAGEDOWN:
      position += m_Page;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      // Whole rows only, to the nearer row.
      position = m_Line * (thumb / m_Line) + (thumb % m_Line > m_Line / 2 ? m_Line : 0);
      break;
    default:
      break;
  }
  ScrollTo(position);
  return 0;
}

void WKRX_SeparationPanelView::ScrollByWheel(int delta) {
  ScrollTo(m_Position - (delta / WHEEL_DELTA) * m_Line);
}

LRESULT WKRX_SeparationPanelView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  // The panels delete themselves with their windows.
  std::vector<WKRX_SeparationPanel*> panels;
  panels.swap(m_Panels);
  m_Dragged = m_Upper = m_Lower = nullptr;
  m_Dragging = false;
  // Through the handle: the object is gone once its window is, and CWindow::DestroyWindow would
  // still write to it.
  for (WKRX_SeparationPanel* panel : panels)
    ::DestroyWindow(panel->m_hWnd);
  handled = FALSE;
  return 0;
}

WKRX_SeparationPanel* WKRX_SeparationPanelView::PanelOf(HWND window) const {
  for (WKRX_SeparationPanel* panel : m_Panels)
    if (panel->m_hWnd == window)
      return panel;
  return nullptr;
}

void WKRX_SeparationPanelView::UpdateVersionChoice() {
  ::SendMessageW(GetParent(), WKRX_WM_UPDATEVERSIONCHOICE, 0, 0);
}

LRESULT WKRX_SeparationPanelView::OnVisibilityChanged(UINT, WPARAM, LPARAM, BOOL&) {
  UpdateVersionChoice();
  return 0;
}

LRESULT WKRX_SeparationPanelView::OnSetOthers(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  const bool senderOn = wParam == BST_CHECKED;
  const bool show = message == WKRX_WM_SETOTHERSSAME ? senderOn : !senderOn;
  for (WKRX_SeparationPanel* panel : m_Panels) {
    if (panel->m_hWnd == reinterpret_cast<HWND>(lParam))
      continue;
    if (show)
      panel->ShowSeparation();
    else
      panel->HideSeparation();
  }
  UpdateVersionChoice();
  return 0;
}

LRESULT WKRX_SeparationPanelView::OnSetTextIndex(UINT message, WPARAM wParam, LPARAM lParam,
                                                 BOOL&) {
  return ::SendMessageW(GetParent(), message, wParam, lParam);
}

void WKRX_SeparationPanelView::SetTextIndex(size_t index) {
  for (WKRX_SeparationPanel* panel : m_Panels)
    panel->SetTextIndex(index);
}

void WKRX_SeparationPanelView::SetInfoModeEnabled(bool enabled) {
  for (WKRX_SeparationPanel* panel : m_Panels)
    panel->SetInfoModeEnabled(enabled);
}

void WKRX_SeparationPanelView::RefreshDefaultInks() {
  for (WKRX_SeparationPanel* panel : m_Panels)
    panel->RefreshDefaultInk();
}

void WKRX_SeparationPanelView::RefreshInkDensities(const IMPN_RectT<long>& rect) {
  for (WKRX_SeparationPanel* panel : m_Panels)
    panel->RefreshInkDensity(rect);
}

float WKRX_SeparationPanelView::GetDensitySum() const {
  float sum = 0;
  for (const WKRX_SeparationPanel* panel : m_Panels)
    sum += panel->GetInkDensity();
  return sum;
}

void WKRX_SeparationPanelView::ApplyVersionSet(const WKRX_VersionSet& versions) {
  for (WKRX_SeparationPanel* panel : m_Panels) {
    if ((versions & panel->Separation()->GetVersionMask()).any())
      panel->ShowSeparation();
    else
      panel->HideSeparation();
  }
}

void WKRX_SeparationPanelView::IntersectVersionSets(WKRX_VersionSet& versions) const {
  for (const WKRX_SeparationPanel* panel : m_Panels) {
    const IMPN_Separation& separation = *panel->Separation();
    if (separation.IsVisible())
      versions &= separation.GetVersionMask();
    else
      versions &= ~separation.GetVersionMask();
  }
}

// --- dragging a panel to a new place

LRESULT WKRX_SeparationPanelView::OnBeginPanelDrag(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_Dragged = PanelOf(reinterpret_cast<HWND>(lParam));
  if (m_Dragged == nullptr)
    return 0;
  m_Dragging = true;
  m_Upper = m_Lower = nullptr;
  SetCapture();
  return 0;
}

void WKRX_SeparationPanelView::DrawMark(bool on) {
  if (m_Upper != nullptr)
    m_Upper->DrawBottomMark(on);
  if (m_Lower != nullptr)
    m_Lower->DrawTopMark(on);
}

LRESULT WKRX_SeparationPanelView::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (!m_Dragging) {
    handled = FALSE;
    return 0;
  }
  if ((wParam & MK_LBUTTON) == 0)
    return 0;
  DrawMark(false);
  m_Upper = m_Lower = nullptr;
  const long y = static_cast<short>(HIWORD(lParam));
  for (size_t i = 0; i < m_Panels.size(); ++i) {
    RECT rect;
    m_Panels[i]->GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    const long half = (rect.bottom - rect.top) / 2;
    if (y >= rect.bottom - half && y < rect.bottom) {
      m_Upper = m_Panels[i];
      m_Lower = i + 1 < m_Panels.size() ? m_Panels[i + 1] : nullptr;
      break;
    }
    if (y >= rect.top && y < rect.top + half) {
      m_Lower = m_Panels[i];
      m_Upper = i > 0 ? m_Panels[i - 1] : nullptr;
      break;
    }
  }
  DrawMark(true);
  return 0;
}

void WKRX_SeparationPanelView::EndDrag() {
  m_Dragging = false;
  DrawMark(false);
}

LRESULT WKRX_SeparationPanelView::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) {
  // Capture taken away (another window, a dialog): the drag ends where it is, with no reorder.
  if (m_Dragging) {
    EndDrag();
    m_Dragged = m_Upper = m_Lower = nullptr;
  }
  return 0;
}

LRESULT WKRX_SeparationPanelView::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (!m_Dragging) {
    handled = FALSE;
    return 0;
  }
  WKRX_SeparationPanel* const dragged = m_Dragged;
  WKRX_SeparationPanel* const upper = m_Upper;
  WKRX_SeparationPanel* const lower = m_Lower;
  // Ending the drag first, so that the capture's end finds nothing left to cancel.
  EndDrag();
  m_Dragged = m_Upper = m_Lower = nullptr;
  ReleaseCapture();
  const bool marked = upper != nullptr || lower != nullptr;
  if (!marked || dragged == nullptr || dragged == upper || dragged == lower)
    return 0;
  const auto from = std::find(m_Panels.begin(), m_Panels.end(), dragged) - m_Panels.begin();
  auto to = lower != nullptr ? std::find(m_Panels.begin(), m_Panels.end(), lower) - m_Panels.begin()
                             : static_cast<std::ptrdiff_t>(m_Panels.size());
  if (from < to)
    --to;
  if (to == from)
    return 0;
  m_Panels.erase(m_Panels.begin() + from);
  m_Panels.insert(m_Panels.begin() + to, dragged);
  LayoutPanels();
  WKRX_ReorderedSeparations order{m_Front, {}};
  for (WKRX_SeparationPanel* panel : m_Panels)
    order.m_Order.push_back(panel->Separation());
  if (m_Frame != nullptr)
    ::SendMessageW(m_Frame, WKRX_WM_SEPARATIONSREORDERED, 0, reinterpret_cast<LPARAM>(&order));
  return 0;
}
