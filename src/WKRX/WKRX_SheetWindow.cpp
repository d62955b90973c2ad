#include "WKRX/WKRX_SheetWindow.h"

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
  CreateSeparationPalette();
  const GLIB_WString title =
      iUSTR_GetLocalizedWString(WKRX_Ids::kTextCaptionPrefix) + SheetTitle(*sheet);
  SetWindowTextW(title.c_str());
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

LRESULT WKRX_SheetWindow::OnViewChanged(UINT, WPARAM, LPARAM, BOOL&) {
  // The rulers follow the view's scroll position and zoom.
  if (m_Viewer.m_hWnd != nullptr)
    m_Viewer.Invalidate(FALSE);
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
  const auto* rect = reinterpret_cast<const IMPN_RectT<long>*>(lParam);
  if (rect != nullptr && m_SeparationPalette->IsWindow())
    m_SeparationPalette->RefreshInkDensities(*rect);
  return 0;
}
