#include "WKRX/WKRX_SheetWindow.h"

#include "IMPN/IMPN_Preferences.h"
#include "USTR/USTR_LocalizedString.h"
#include "USTR/USTR_String.h"
#include "WKRX/WKRX_SeparationWindow.h"
#include "WKRX/WKRX_SheetHandOver.h"

#include <string>

namespace {

// A floating palette: a captioned, sizeable popup owned by its frame.
constexpr DWORD kFloatingPaletteStyle =
    WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;

}  // namespace

WKRX_SheetWindow::WKRX_SheetWindow(UINT serial)
    : m_Serial(serial),
      m_SeparationPalette(std::make_unique<WKRX_SeparationWindow>()) {}

WKRX_SheetWindow::~WKRX_SheetWindow() = default;

GLIB_WString WKRX_SheetWindow::SheetTitle(const IMPN_Sheet& sheet) {
  USTR_StringVector parameters;
  parameters.push_back(USTR_NStringToUString(sheet.GetTitle()));
  parameters.push_back(USTR_NStringToUString(std::to_string(sheet.GetSignature())));
  parameters.push_back(USTR_NStringToUString(std::to_string(sheet.GetWeb())));
  parameters.push_back(iUSTR_GetLocalizedString(WKRX_Ids::kTextSurfaceFront));
  return USTR_UStringToWString(
      USTR_InstantiateParameters(iUSTR_GetLocalizedString(WKRX_Ids::kTextSheetTitle), parameters));
}

void WKRX_SheetWindow::ShowSheet(const IMPN_SheetReference& sheet) {
  if (Sheet() != nullptr || !sheet)
    return;
  m_Viewer.SetSheet(sheet.Get());
  const GLIB_WString title =
      iUSTR_GetLocalizedWString(WKRX_Ids::kTextCaptionPrefix) + SheetTitle(*sheet);
  SetWindowTextW(title.c_str());
  CreatePalettes();
  CreateSeparationPalette();
}

void WKRX_SheetWindow::CreatePalettes() {
  if (m_hWnd == nullptr || m_Navigation.m_hWnd != nullptr)
    return;
  constexpr DWORD kPaletteStyle = 0x86CF0000;
  RECT rect = {0, 0, 100, 100};
  const GLIB_WString navigation = iUSTR_GetLocalizedWString(10074);
  const GLIB_WString measurement = iUSTR_GetLocalizedWString(10073);
  if (m_Navigation.Create(m_hWnd, rect, navigation.c_str(), kPaletteStyle & ~WS_VISIBLE) == nullptr)
    return;
  m_Navigation.SetView(m_Viewer.View());
  m_Measurement.Create(m_hWnd, rect, measurement.c_str(), kPaletteStyle & ~WS_VISIBLE);
  // Floated in a column at the frame's right client edge, each at its preferred size; the
  // measurement palette waits for the measure tool.
  RECT client;
  GetClientRect(&client);
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const SIZE size = m_Navigation.PreferredSize();
  m_Navigation.SetWindowPos(nullptr, client.right - size.cx, client.top, size.cx, size.cy,
                            SWP_NOZORDER | SWP_NOACTIVATE);
  // Shown once the frame itself shows (the application shows it after this), so that it comes
  // up above its frame on every system.
  PostMessageW(WKRX_WM_SHOWPALETTE, kWKRX_NavigationPaletteCommand, 0);
  if (m_Measurement.m_hWnd != nullptr) {
    MINMAXINFO minimum = {};
    m_Measurement.GetMinMaxInfo(&minimum);
    m_Measurement.SetWindowPos(nullptr, client.right - minimum.ptMinTrackSize.x,
                               client.top + size.cy, minimum.ptMinTrackSize.x,
                               minimum.ptMinTrackSize.y, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// An empty frame has no palettes: they come with its first sheet, floating at the right edge of
// its client area, sized to what they show.
void WKRX_SheetWindow::CreateSeparationPalette() {
  if (m_SeparationPalette->IsWindow() || m_hWnd == nullptr)
    return;
  m_SeparationPalette->SetOwnerFrame(m_hWnd);
  RECT rect = {0, 0, 1, 1};
  const GLIB_WString title = iUSTR_GetLocalizedWString(WKRX_Ids::kTextSeparationsPalette);
  if (m_SeparationPalette->Create(m_hWnd, rect, title.c_str(), kFloatingPaletteStyle) == nullptr)
    return;
  m_SeparationPalette->SetSheet(IMPN_SheetReference(Sheet()), m_Viewer.View().FrontShown());
  RECT client = {0, 0, 0, 0};
  GetClientRect(&client);
  POINT topRight = {client.right, client.top};
  ClientToScreen(&topRight);
  // Below the navigation palette, which heads the column.
  if (m_Navigation.m_hWnd != nullptr) {
    RECT navigation;
    m_Navigation.GetWindowRect(&navigation);
    topRight.y += navigation.bottom - navigation.top;
  }
  const SIZE size = m_SeparationPalette->FloatingSize();
  m_SeparationPalette->SetWindowPos(nullptr, topRight.x - size.cx, topRight.y, size.cx, size.cy,
                                    SWP_NOZORDER | SWP_NOACTIVATE);
  m_PaletteShowPending = true;
  if (IsWindowVisible())
    ShowPendingPalette();
}

void WKRX_SheetWindow::ShowPendingPalette() {
  if (!m_PaletteShowPending || !m_SeparationPalette->IsWindow())
    return;
  m_PaletteShowPending = false;
  m_SeparationPalette->SetWindowPos(HWND_TOP, 0, 0, 0, 0,
                                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void WKRX_SheetWindow::BuildWindowMenu(const std::vector<WKRX_SheetWindow*>&) {
  ++m_BuildWindowMenuCount;
}

void WKRX_SheetWindow::RefreshDefaultInks() {
  ++m_RefreshDefaultInksCount;
  if (m_SeparationPalette->IsWindow()) {
    m_SeparationPalette->RefreshDefaultInks();
    m_Viewer.View().RefreshView();
  }
}

void WKRX_SheetWindow::OnFinalMessage(HWND) {
  if (m_DeletesItself)
    delete this;
}

LRESULT WKRX_SheetWindow::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  m_Application = reinterpret_cast<const CREATESTRUCTW*>(lParam)->hwndParent;
  m_Viewer.SetFrameWindow(m_hWnd);
  RECT client = {0, 0, 0, 0};
  GetClientRect(&client);
  m_hWndClient =
      m_Viewer.Create(m_hWnd, client, nullptr,
                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SheetWindow::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  // The application may open a replacement or end the program before this window goes.
  if (m_Application != nullptr)
    ::SendMessageW(m_Application, WKRX_WM_SHEETWINDOWCLOSED, 0, reinterpret_cast<LPARAM>(this));
  handled = FALSE;
  return 0;
}

// A frame is given its sheet before it is first shown: its palette follows it onto the screen.
LRESULT WKRX_SheetWindow::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0)
    ShowPendingPalette();
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SheetWindow::OnOpenSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (Sheet() != nullptr) {
    // The reference travels on with the message: a new frame opens for the sheet.
    if (m_Application == nullptr ||
        !::PostMessageW(m_Application, WKRX_WM_OPENSHEETWINDOW, 0, lParam))
      WKRX_SheetHandOver::Adopt(lParam);
    return 0;
  }
  const IMPN_SheetReference sheet = WKRX_SheetHandOver::Adopt(lParam);
  if (::IsIconic(m_hWnd))
    ShowWindow(SW_RESTORE);
  ShowSheet(sheet);
  return 0;
}

LRESULT WKRX_SheetWindow::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  const UINT command = LOWORD(wParam);
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  switch (command) {
    case WKRX_Ids::kCommandCloseJob:
      ::PostMessageW(m_Application, WKRX_WM_CLOSESHEETWINDOW, 0, self);
      return 0;
    case WKRX_Ids::kCommandExit:
      ::PostMessageW(m_Application, WKRX_WM_QUIT, 0, 0);
      return 0;
    case WKRX_Ids::kCommandCascade:
    case WKRX_Ids::kCommandTileHorizontally:
    case WKRX_Ids::kCommandTileVertically:
      ::PostMessageW(m_Application, WKRX_WM_ARRANGEWINDOWS, command,
                     reinterpret_cast<LPARAM>(m_hWnd));
      return 0;
    case WKRX_Ids::kCommandCloseAll:
      ::PostMessageW(m_Application, WKRX_WM_CLOSEALLSHEETWINDOWS, 0, self);
      return 0;
    default:
      break;
  }
  if (command >= WKRX_Ids::kFirstWindowSerial && command <= WKRX_Ids::kLastWindowSerial) {
    ::PostMessageW(m_Application, WKRX_WM_BRINGWINDOWTOTOP, command, 0);
    return 0;
  }
  handled = FALSE;
  return 0;
}

LRESULT WKRX_SheetWindow::OnViewChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  // The rulers follow the view's scroll position and zoom, the navigation palette its frame.
  if (m_Viewer.m_hWnd != nullptr)
    m_Viewer.Invalidate(FALSE);
  if (m_Navigation.m_hWnd != nullptr)
    m_Navigation.SendMessage(WKRX_WM_ZOOMLEVELCHANGED,
                             message == WKRX_WM_ZOOMLEVELCHANGED ? wParam : 0, lParam);
  return 0;
}

LRESULT WKRX_SheetWindow::OnToView(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
  WKRX_SheetView& view = m_Viewer.View();
  if (view.m_hWnd != nullptr)
    view.SendMessage(message, wParam, lParam);
  return 0;
}

namespace {

// A palette put back where it was docked, or shown floating; either way the frame stays active,
// so that its menus, keys and the tool under way keep working.
template <class TPalette>
void ShowPaletteWindow(TPalette& palette) {
  if (palette.m_hWnd == nullptr)
    return;
  if (palette.m_pos.hdr.hBar != nullptr)
    palette.Show();
  else
    palette.SetWindowPos(HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

LRESULT WKRX_SheetWindow::OnShowPalette(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (wParam == kWKRX_MeasurementPaletteCommand)
    ShowPaletteWindow(m_Measurement);
  else if (wParam == kWKRX_NavigationPaletteCommand)
    ShowPaletteWindow(m_Navigation);
  return 0;
}

LRESULT WKRX_SheetWindow::OnMeasurementChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const IMPN_Units units = static_cast<IMPN_Units>(IMPN_Preferences::sm_PreferredLinearUnits);
  if (const double* position = reinterpret_cast<const double*>(wParam))
    m_Measurement.SetCurrentPosition(position[0], position[1], units);
  if (const double* distances = reinterpret_cast<const double*>(lParam))
    m_Measurement.SetDistance(distances[0], distances[1], units);
  return 0;
}

LRESULT WKRX_SheetWindow::OnFilesDropped(UINT, WPARAM, LPARAM lParam, BOOL&) {
  // The view built the sheet from the shown files and the dropped ones; it replaces the shown one.
  if (lParam == 0)
    return 0;
  // The palette's panels point into the old sheet: it is held until the palette has the new one.
  const IMPN_SheetReference old(Sheet());
  IMPN_Sheet* sheet = reinterpret_cast<IMPN_Sheet*>(lParam);
  m_Viewer.SetSheet(sheet);
  if (m_Navigation.m_hWnd != nullptr)
    m_Navigation.SetView(m_Viewer.View());
  if (m_SeparationPalette->IsWindow())
    m_SeparationPalette->SetSheet(IMPN_SheetReference(sheet), m_Viewer.View().FrontShown());
  return 0;
}

// The palette changed an ink, a visibility, an opacity or the chosen versions: the tiles and
// colour tables are stamped anew, so a redraw shows the change.
LRESULT WKRX_SheetWindow::OnSeparationsChanged(UINT, WPARAM, LPARAM, BOOL&) {
  m_Viewer.View().RefreshView();
  return 0;
}

LRESULT WKRX_SheetWindow::OnSeparationsReordered(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* record = reinterpret_cast<WKRX_ReorderedSeparations*>(lParam);
  if (record != nullptr)
    m_Viewer.View().SetLayDownOrder(record->m_Front, record->m_Order);
  return 0;
}

LRESULT WKRX_SheetWindow::OnDensitometerMoved(UINT, WPARAM, LPARAM lParam, BOOL&) {
  ++m_DensitometerMovedCount;
  const auto* rect = reinterpret_cast<const IMPN_RectT<long>*>(lParam);
  if (rect != nullptr && m_SeparationPalette->IsWindow())
    m_SeparationPalette->RefreshInkDensities(*rect);
  return 0;
}
