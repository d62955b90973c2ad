#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Tools.h"

// The panels' headers first: the docking library brings windowsx.h, whose macros would rename
// members of theirs.
#include "WKRX/WKRX_SeparationPanel.h"
#include "WKRX/WKRX_SeparationPanelView.h"
#include "WKRX/WKRX_SeparationRows.h"
#include "WKRX/WKRX_SurfacePanel.h"
#include "WKRX/WKRX_VersionPanel.h"

#include "WKRX/WKRX_SeparationWindow.h"

#include <algorithm>

namespace {

constexpr long kVersionTop = 4;
constexpr long kPairsTopWithVersions = 36;
constexpr long kPairsTop = 4;

RECT SystemWorkArea(HWND palette) {
  RECT area{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
    return area;
  ::GetWindowRect(::GetParent(palette), &area);
  return area;
}

long HeightOf(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

long PanelCount(const WKRX_SeparationPanelView* view) {
  return view == nullptr ? 0 : static_cast<long>(view->Panels().size());
}

}  // namespace

RECT (*WKRX_SeparationWindow::sm_WorkArea)(HWND) = SystemWorkArea;

WKRX_SeparationWindow::WKRX_SeparationWindow() = default;

WKRX_SeparationWindow::~WKRX_SeparationWindow() = default;

void WKRX_SeparationWindow::SetSheet(const IMPN_SheetReference& sheet, bool frontFirst) {
  if (!IsWindow()) {
    m_Sheet = sheet;
    return;
  }
  // The panels point into the old sheet: they go while it is still held.
  DestroyPanels();
  m_Sheet = sheet;
  if (!m_Sheet)
    return;
  CreatePanels(frontFirst);
  if (IsDocking()) {
    RECT client;
    GetClientRect(&client);
    RelayoutAll(client.right);
    return;
  }
  SetWindowPos(nullptr, 0, 0, m_FloatingWidth, m_FloatingHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT WKRX_SeparationWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (m_Sheet)
    CreatePanels(true);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  DestroyPanels();
  handled = FALSE;
  return 0;
}

void WKRX_SeparationWindow::CreateSurfacePair(IMPN_Surface& surface, bool front) {
  if (!surface.HasSeparations())
    return;
  auto* panel = new WKRX_SurfacePanel;
  panel->SetSurface(&surface, front);
  panel->SetFrame(m_OwnerFrame);
  const RECT panelRect{0, 0, kContentWidth, WKRX_SurfacePanel::kHeight};
  if (panel->Create(m_hWnd, panelRect) == nullptr) {
    delete panel;
    return;
  }
  (front ? m_FrontSurfacePanel : m_BackSurfacePanel) = panel;

  auto view = std::make_unique<WKRX_SeparationPanelView>();
  const long count = static_cast<long>(surface.GetSeparations().size());
  const RECT viewRect{0, 0, kContentWidth, WKRX_SeparationPanelView::kLine * count};
  if (view->Create(m_hWnd, viewRect) == nullptr)
    return;
  view->ShowWindow(SW_SHOWNA);
  view->AddPanels(surface.GetSeparations(), front, m_OwnerFrame);
  (front ? m_FrontView : m_BackView) = std::move(view);
}

void WKRX_SeparationWindow::CreatePanels(bool frontFirst) {
  IMPN_Sheet& sheet = *m_Sheet;
  CreateSurfacePair(sheet.GetFrontSurface(), true);
  CreateSurfacePair(sheet.GetBackSurface(), false);

  if (!sheet.GetVersionNames().empty()) {
    auto* panel = new WKRX_VersionPanel;
    const RECT rect{0, 0, kContentWidth, WKRX_VersionPanel::kHeight};
    if (panel->Create(m_hWnd, rect) != nullptr) {
      m_VersionPanel = panel;
      panel->SetVersions(sheet.GetVersionNames());
      panel->ShowWindow(SW_SHOWNA);
      panel->SetFrame(m_OwnerFrame);
    } else {
      delete panel;
    }
  }

  ComputeSizes();

  const RECT area = sm_WorkArea(m_hWnd);
  const long room =
      (static_cast<long>(area.bottom - area.top) * 8) / 10 - m_FixedHeight - CaptionHeight() - 8;
  const long frontCount = PanelCount(m_FrontView.get());
  const long backCount = PanelCount(m_BackView.get());
  const long frontHeight = m_FrontView ? m_FrontView->GetNaturalSize().cy : 0;
  const long backHeight = m_BackView ? m_BackView->GetNaturalSize().cy : 0;
  const WKRX_SeparationRows rows = WKRX_SeparationRows::ForOpening(
      frontCount, backCount, frontHeight + backHeight - room, m_RowHeight);
  if (m_FrontView)
    m_FrontView->SetViewSize(m_FrontView->GetNaturalSize().cx, rows.m_First * m_RowHeight);
  if (m_BackView)
    m_BackView->SetViewSize(m_BackView->GetNaturalSize().cx, rows.m_Second * m_RowHeight);

  ComputeFloatingSize();
  ArrangePanels(frontFirst);
  Relayout(kContentWidth);

  if (m_VersionPanel != nullptr) {
    for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
      if (view != nullptr)
        view->SetTextIndex(1);
    m_VersionPanel->SelectFirstVersion();
  }
}

void WKRX_SeparationWindow::DestroyPanels() {
  // The surface and version panels delete themselves with their windows: they go through their
  // handles, since CWindow::DestroyWindow would still write to the object.
  if (m_FrontSurfacePanel != nullptr)
    ::DestroyWindow(m_FrontSurfacePanel->m_hWnd);
  m_FrontSurfacePanel = nullptr;
  if (m_FrontView && m_FrontView->IsWindow())
    m_FrontView->DestroyWindow();
  m_FrontView.reset();
  if (m_BackSurfacePanel != nullptr)
    ::DestroyWindow(m_BackSurfacePanel->m_hWnd);
  m_BackSurfacePanel = nullptr;
  if (m_BackView && m_BackView->IsWindow())
    m_BackView->DestroyWindow();
  m_BackView.reset();
  if (m_VersionPanel != nullptr)
    ::DestroyWindow(m_VersionPanel->m_hWnd);
  m_VersionPanel = nullptr;
}

long WKRX_SeparationWindow::CaptionHeight() const {
  return dockwins::COutlookLikeCaption::Thickness();
}

long WKRX_SeparationWindow::WindowBorders(bool vertical) const {
  WINDOWINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetWindowInfo(m_hWnd, &info))
    return 0;
  return static_cast<long>(vertical ? info.cyWindowBorders : info.cxWindowBorders);
}

void WKRX_SeparationWindow::ComputeSizes() {
  m_MinimumTrackWidth = kMinimumTrackWidth;
  m_MaximumTrackWidth = kMaximumTrackWidth;
  m_FixedHeight = 0;
  if (m_VersionPanel != nullptr)
    m_FixedHeight += HeightOf(*m_VersionPanel) + kGap;
  if (m_FrontSurfacePanel != nullptr)
    m_FixedHeight += HeightOf(*m_FrontSurfacePanel);
  if (m_BackSurfacePanel != nullptr)
    m_FixedHeight += HeightOf(*m_BackSurfacePanel);
  if (m_FrontSurfacePanel != nullptr && m_BackSurfacePanel != nullptr)
    m_FixedHeight += kGap;

  m_RowHeight = 24;
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()}) {
    if (view != nullptr && !view->Panels().empty()) {
      m_RowHeight = view->PanelHeight();
      break;
    }
  }
  const long frontCount = PanelCount(m_FrontView.get());
  const long backCount = PanelCount(m_BackView.get());
  const long fixed = CaptionHeight() + 2 * WindowBorders(true) + m_FixedHeight + kGap;
  m_MinimumTrackHeight = fixed + m_RowHeight * WKRX_SeparationRows::Minimum(frontCount) +
                         m_RowHeight * WKRX_SeparationRows::Minimum(backCount);
  m_MaximumTrackHeight = fixed + m_RowHeight * (frontCount + backCount);
}

void WKRX_SeparationWindow::ComputeFloatingSize() {
  m_FloatingWidth = kContentWidth;
  // Floating, the palette wears the system's caption, which need not be as high as the docked
  // caption: the window's own frame counts, so that every row computed fits the client area.
  RECT window;
  RECT client;
  GetWindowRect(&window);
  GetClientRect(&client);
  const long frame = IsDocking() ? CaptionHeight() + 2 * WindowBorders(true)
                                 : (window.bottom - window.top) - client.bottom;
  long height = frame + kGap;
  if (m_VersionPanel != nullptr)
    height += HeightOf(*m_VersionPanel) + kGap;
  if (m_FrontSurfacePanel != nullptr && m_FrontView)
    height += HeightOf(*m_FrontSurfacePanel) + HeightOf(*m_FrontView);
  if (m_BackSurfacePanel != nullptr && m_BackView)
    height += HeightOf(*m_BackSurfacePanel) + HeightOf(*m_BackView);
  if (m_FrontSurfacePanel != nullptr && m_BackSurfacePanel != nullptr)
    height += kGap;
  m_FloatingHeight = height;
}

WKRX_SeparationPanelView* WKRX_SeparationWindow::FirstView() const {
  return m_FrontFirst ? m_FrontView.get() : m_BackView.get();
}

WKRX_SeparationPanelView* WKRX_SeparationWindow::SecondView() const {
  return m_FrontFirst ? m_BackView.get() : m_FrontView.get();
}

void WKRX_SeparationWindow::DistributeRows() {
  if (m_RowHeight <= 0)
    return;
  RECT client;
  GetClientRect(&client);
  const long available = (client.bottom - m_FixedHeight) / m_RowHeight;
  WKRX_SeparationPanelView* first = FirstView();
  WKRX_SeparationPanelView* second = SecondView();
  const WKRX_SeparationRows rows =
      WKRX_SeparationRows::ForRoom(PanelCount(first), PanelCount(second), available);
  for (const auto& [view, count] :
       {std::make_pair(first, rows.m_First), std::make_pair(second, rows.m_Second)}) {
    if (view == nullptr)
      continue;
    RECT rect;
    view->GetWindowRect(&rect);
    view->SetViewSize(rect.right - rect.left, count * m_RowHeight);
  }
}

void WKRX_SeparationWindow::ArrangePanels(bool frontFirst) {
  m_FrontFirst = frontFirst;
  const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  long y = kPairsTop;
  if (m_VersionPanel != nullptr) {
    RECT rect;
    m_VersionPanel->GetWindowRect(&rect);
    m_VersionPanel->SetWindowPos(nullptr, 0, kVersionTop, rect.right - rect.left,
                                 WKRX_VersionPanel::kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    y = kPairsTopWithVersions;
  }
  const struct {
    WKRX_SurfacePanel* panel;
    WKRX_SeparationPanelView* view;
  } pairs[2] = {{m_FrontSurfacePanel, m_FrontView.get()}, {m_BackSurfacePanel, m_BackView.get()}};
  bool placed = false;
  for (int i = 0; i < 2; ++i) {
    const auto& pair = pairs[frontFirst ? i : 1 - i];
    if (pair.panel == nullptr)
      continue;
    if (placed)
      y += kGap;
    pair.panel->SetWindowPos(nullptr, 0, y, 0, 0, flags);
    y += HeightOf(*pair.panel);
    if (pair.view != nullptr) {
      pair.view->SetWindowPos(nullptr, 0, y, 0, 0, flags);
      y += HeightOf(*pair.view);
    }
    placed = true;
  }
}

void WKRX_SeparationWindow::Relayout(long width) {
  if (!IsDocking())
    width -= 2 * WindowBorders(false);
  if (m_VersionPanel != nullptr)
    m_VersionPanel->SetPanelWidth(width);
  for (WKRX_SurfacePanel* panel : {m_FrontSurfacePanel, m_BackSurfacePanel})
    if (panel != nullptr)
      panel->SetWidth(width);
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->SetWidth(width);
}

void WKRX_SeparationWindow::RelayoutAll(long width) {
  Relayout(width);
  DistributeRows();
  ArrangePanels(m_FrontFirst);
}

void WKRX_SeparationWindow::GetMinMaxInfo(MINMAXINFO* info) {
  if (m_Sheet) {
    info->ptMinTrackSize = POINT{m_MinimumTrackWidth, m_MinimumTrackHeight};
    info->ptMaxTrackSize = POINT{m_MaximumTrackWidth, m_MaximumTrackHeight};
    info->ptMaxSize = POINT{m_MaximumTrackWidth, m_MaximumTrackHeight};
    return;
  }
  const long caption = CaptionHeight();
  info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, caption);
  info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, caption);
}

void WKRX_SeparationWindow::Notify(UINT message, LPARAM lParam) const {
  if (m_OwnerFrame != nullptr)
    ::SendMessageW(m_OwnerFrame, message, WKRX_Ids::kCommandSeparationsPalette, lParam);
}

LRESULT WKRX_SeparationWindow::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  Notify(LOWORD(wParam) == WA_INACTIVE ? WKRX_WM_PALETTEDEACTIVATED : WKRX_WM_PALETTEACTIVATED,
         lParam);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  Notify(WKRX_WM_PALETTEHIDDEN, reinterpret_cast<LPARAM>(m_hWnd));
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  RECT client;
  GetClientRect(&client);
  if (IsDocking())
    Relayout(client.right);
  FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

LRESULT WKRX_SeparationWindow::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (IsDocking()) {
    handled = FALSE;
    return 0;
  }
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if ((pos->flags & SWP_NOSIZE) == 0) {
    // Narrower than the smallest useful palette: it keeps the last width instead.
    if (pos->cx <= kMinimumTrackWidth - 1)
      pos->cx = m_FloatingWidth;
    else
      m_FloatingWidth = pos->cx;
  }
  return 0;
}

LRESULT WKRX_SeparationWindow::OnWindowPosChanged(UINT, WPARAM, LPARAM, BOOL& handled) {
  RelayoutAll(m_FloatingWidth);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()}) {
    if (view == nullptr)
      continue;
    RECT rect;
    view->GetWindowRect(&rect);
    if (PtInRect(&rect, at)) {
      view->ScrollByWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    }
  }
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnDockStateChanged(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != 0) {
    handled = FALSE;
    return 0;
  }
  // Floated: the panels take the floating rectangle's width.
  RelayoutAll(m_rcUndock.right - m_rcUndock.left);
  m_hBar = nullptr;
  return 0;
}

LRESULT WKRX_SeparationWindow::OnSideChanged(UINT, WPARAM wParam, LPARAM, BOOL&) {
  ArrangePanels(wParam != 0);
  return 0;
}

LRESULT WKRX_SeparationWindow::OnUpdateVersionChoice(UINT, WPARAM, LPARAM, BOOL&) {
  UpdateVersionChoice();
  return 0;
}

LRESULT WKRX_SeparationWindow::OnSetTextIndex(UINT, WPARAM wParam, LPARAM, BOOL&) {
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->SetTextIndex(static_cast<size_t>(wParam));
  return 0;
}

LRESULT WKRX_SeparationWindow::OnVersionSelected(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const auto* versions = reinterpret_cast<const WKRX_VersionSet*>(lParam);
  if (versions != nullptr)
    ApplyVersionSet(*versions);
  return 0;
}

void WKRX_SeparationWindow::ApplyVersionSet(const WKRX_VersionSet& versions) {
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->ApplyVersionSet(versions);
}

void WKRX_SeparationWindow::UpdateVersionChoice() {
  if (m_VersionPanel == nullptr || !m_Sheet)
    return;
  WKRX_VersionSet versions;
  IMPN_Tools::SetProfileRange(versions, 0,
                              static_cast<unsigned long>(m_Sheet->GetVersionNames().size()));
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->IntersectVersionSets(versions);
  m_VersionPanel->SelectVersionSet(versions);
}

void WKRX_SeparationWindow::RefreshDefaultInks() {
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->RefreshDefaultInks();
}

void WKRX_SeparationWindow::SetInfoModeEnabled(bool enabled) {
  if (!m_Sheet)
    return;
  for (WKRX_SurfacePanel* panel : {m_FrontSurfacePanel, m_BackSurfacePanel})
    if (panel != nullptr)
      panel->SetInfoModeEnabled(enabled);
  for (WKRX_SeparationPanelView* view : {m_FrontView.get(), m_BackView.get()})
    if (view != nullptr)
      view->SetInfoModeEnabled(enabled);
}

void WKRX_SeparationWindow::RefreshInkDensities(const IMPN_RectT<long>& rect) {
  WKRX_SeparationPanelView* shown = m_FrontFirst ? m_FrontView.get() : m_BackView.get();
  if (shown == nullptr)
    return;
  shown->RefreshInkDensities(rect);
  UpdateSurfaceDensity();
}

void WKRX_SeparationWindow::UpdateSurfaceDensity() {
  WKRX_SeparationPanelView* shown = m_FrontFirst ? m_FrontView.get() : m_BackView.get();
  WKRX_SurfacePanel* panel = m_FrontFirst ? m_FrontSurfacePanel : m_BackSurfacePanel;
  if (shown != nullptr && panel != nullptr)
    panel->SetDensity(shown->GetDensitySum());
}
