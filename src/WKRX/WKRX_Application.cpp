#include "WKRX/WKRX_Application.h"

#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Registry.h"
#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_MessageDialog.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_SheetHandOver.h"
#include "WKRX/WKRX_SheetWindow.h"
#include "WKRX/WKRX_System.h"
#include "WKRX/WKRX_Utils.h"

#include <atlgdi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kSheetWindowInset = 5;
// The longest command line Windows passes, its terminating zero included.
constexpr std::size_t kMaxCommandLineUnits = 32768;

// The text of id with the count put in for its "%i"; the text is never used as a format.
GLIB_WString WithCount(UINT id, std::size_t count) {
  GLIB_WString text = iUSTR_GetLocalizedWString(id);
  const std::size_t at = text.find(L"%i");
  if (at != GLIB_WString::npos)
    text.replace(at, 2, std::to_wstring(count));
  return text;
}

void ReportRejectedFiles(std::size_t rejected) {
  if (rejected == 1) {
    WKRX_MessageDialog::ShowInformationById(
        WKRX_Ids::kTextInvalidFiles, WKRX_Ids::kTextOneFileIgnored, WKRX_Ids::kTextOneFileDetail);
  } else if (rejected > 1) {
    WKRX_MessageDialog::ShowInformation(iUSTR_GetLocalizedWString(WKRX_Ids::kTextInvalidFiles),
                                        WithCount(WKRX_Ids::kTextFilesIgnored, rejected),
                                        iUSTR_GetLocalizedWString(WKRX_Ids::kTextFilesDetail));
  }
}

}  // namespace

ATL::CWndClassInfo& WKRX_Application::GetWndClassInfo() {
  static GLIB_WString name;
  static ATL::CWndClassInfo info = {
      {sizeof(WNDCLASSEXW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
       StartWindowProc, 0, 0, nullptr, nullptr, nullptr,
       reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, nullptr, nullptr},
      nullptr,
      nullptr,
      0,
      L""};
  if (info.m_atom == 0) {
    name = WKRX_InstanceNames::WindowClass();
    info.m_wc.lpszClassName = name.c_str();
  }
  return info;
}

WKRX_Application::WKRX_Application(UINT splashId) {
  int width = kBlankSplashWidth;
  int height = kBlankSplashHeight;
  if (LoadSplash(splashId)) {
    width = static_cast<int>(m_Splash.GetWidth());
    height = static_cast<int>(m_Splash.GetHeight());
  }
  RECT rect = {-1, -1, width + 1, height + 1};
  if (Create(nullptr, rect, WKRX_InstanceNames::WindowTitle().c_str()) != nullptr)
    UpdateWindow();
}

WKRX_Application::~WKRX_Application() {
  // The sheet windows go with their owner, each deleting itself; none is reached through the
  // list any more.
  m_Windows.clear();
  m_CloseJobWindow = nullptr;
  if (IsWindow())
    DestroyWindow();
}

bool WKRX_Application::LoadSplash(UINT splashId) {
  // A module whose image cannot be read leaves the search to the next one: the program's own
  // image stands behind a language library's.
  HINSTANCE module = nullptr;
  for (int i = 0; (module = ATL::_AtlBaseModule.GetHInstanceAt(i)) != nullptr; ++i) {
    if (FindResourceW(module, MAKEINTRESOURCEW(splashId), L"PNG") != nullptr &&
        m_Splash.LoadFromResource(splashId, L"PNG", module))
      return true;
  }
  return false;
}

LRESULT WKRX_Application::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT window = {};
  GetWindowRect(&window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = ((work.right - work.left) - width) / 2;
  const int y = ((work.bottom - work.top) - height) / 4;
  MoveWindow(x, y, width, height);
  SetTimer(kSplashTimer, kSplashMilliseconds);
  return 0;
}

LRESULT WKRX_Application::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  WTL::CPaintDC paint(m_hWnd);
  if (m_Splash.IsNull()) {
    FillRect(paint, &paint.m_ps.rcPaint, GetSysColorBrush(COLOR_WINDOW));
    return 0;
  }
  Gdiplus::Graphics graphics(paint);
  graphics.DrawImage(m_Splash.GetBitmap(), 0, 0, static_cast<INT>(m_Splash.GetWidth()),
                     static_cast<INT>(m_Splash.GetHeight()));
  return 0;
}

LRESULT WKRX_Application::OnCopyDataMessage(UINT, WPARAM, LPARAM lParam, BOOL&) {
  return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
}

LRESULT WKRX_Application::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == VK_ESCAPE)
    FinishSplash(true);
  else
    handled = FALSE;
  return 0;
}

LRESULT WKRX_Application::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == kSplashTimer)
    FinishSplash(true);
  else if (wParam == kBatchTimer)
    OpenBatchWhenPaused();
  else
    handled = FALSE;
  return 0;
}

LRESULT WKRX_Application::OnButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
  FinishSplash(false);
  return 0;
}

void WKRX_Application::FinishSplash(bool offerReset) {
  KillTimer(kSplashTimer);
  if (m_SplashEnded)
    return;
  m_SplashEnded = true;
  ShowWindow(SW_HIDE);
  if (offerReset)
    CheckForFactoryReset();
  EndSplash();
}

void WKRX_Application::CheckForFactoryReset() {
  const WKRX_System& system = WKRX_System::Current();
  const bool control = system.asyncKeyState(VK_CONTROL) < 0;
  const bool shift = (system.asyncKeyState(VK_SHIFT) & 0x8000) != 0;
  if (!control || !shift)
    return;
  if (WKRX_MessageDialog::ShowWarningById(WKRX_Ids::kTextReset, WKRX_Ids::kTextResetQuestion,
                                          WKRX_Ids::kTextResetDetail, m_hWnd, MB_YESNO) == IDYES)
    WKRX_Preferences::ResetToFactoryDefaults();
}

void WKRX_Application::EndSplash() {
  ShowWindow(SW_HIDE);
  if (WKRX_SplitCommandLine(WKRX_System::Current().commandLine()).size() < 2)
    OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
}

LRESULT WKRX_Application::OnCopyData(const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != WKRX_Ids::kCopyDataCommandLine)
    return 0;
  // The sender's byte count is all there is to trust: the text need not end in a zero. No
  // command line is longer than the system allows one to be.
  const std::size_t units = data->cbData / sizeof(wchar_t);
  if (data->lpData == nullptr || units == 0 || units > kMaxCommandLineUnits)
    return 0;
  GLIB_WString text(units, L'\0');
  std::memcpy(&text[0], data->lpData, units * sizeof(wchar_t));
  text.resize(std::min(text.find(L'\0'), units));
  if (text.empty())
    return 0;

  const std::vector<GLIB_WString> arguments = WKRX_SplitCommandLine(text);
  if (arguments.size() < 2)
    return 1;
  if (arguments.size() == 2) {
    AddSingleFile(arguments[1]);
    return 1;
  }
  // Files of a batch still waiting open now, together with these, and only once.
  if (m_BatchActive) {
    KillTimer(kBatchTimer);
    m_BatchActive = false;
  } else {
    m_PendingFiles.clear();
  }
  m_PendingFiles.insert(m_PendingFiles.end(), arguments.begin() + 1, arguments.end());
  OpenFiles();
  return 1;
}

void WKRX_Application::AddSingleFile(const GLIB_WString& path) {
  const std::uint32_t now = WKRX_System::Current().tickCount();
  if (!m_BatchActive) {
    m_PendingFiles.clear();
    m_PendingFiles.push_back(path);
    m_BatchActive = true;
    m_TotalGap = 0;
    m_MeanGap = 0;
  } else {
    m_PendingFiles.push_back(path);
    // Unsigned arithmetic: the gap stays true when the counter wraps in between.
    m_TotalGap += now - m_LastArrival;
    m_MeanGap = m_TotalGap / static_cast<std::uint32_t>(m_PendingFiles.size() - 1);
  }
  m_LastArrival = now;
  SetTimer(kBatchTimer, kBatchMilliseconds);
}

void WKRX_Application::OpenBatchWhenPaused() {
  // A tick already queued when the batch was opened another way finds nothing to do.
  if (!m_BatchActive) {
    KillTimer(kBatchTimer);
    return;
  }
  const std::uint32_t elapsed = WKRX_System::Current().tickCount() - m_LastArrival;
  if (static_cast<std::uint64_t>(elapsed) <= kBatchPauseFactor * m_MeanGap)
    return;
  KillTimer(kBatchTimer);
  m_BatchActive = false;
  OpenFiles();
}

void WKRX_Application::OpenFiles() {
  GFIL_FileSpecVector collected;
  std::size_t rejected = 0;
  for (const GLIB_WString& path : m_PendingFiles) {
    GFIL_FileSpec spec = GFIL_SpecFromPlatformPath(path);
    if (WKRX_Utils::IsPreviewFileName(spec))
      collected.push_back(spec);
    else
      ++rejected;
  }
  auto registry = std::make_unique<IMPN_Registry>();
  if (!collected.empty())
    registry->RegisterFiles(collected, false);
  rejected += static_cast<std::size_t>(registry->GetRejectedFileCount());
  ReportRejectedFiles(rejected);

  std::vector<IMPN_Sheet*> found;
  registry->GetAllSheets(found);
  std::vector<IMPN_SheetReference> sheets(found.begin(), found.end());
  registry.reset();

  std::size_t next = 0;
  const std::vector<WKRX_SheetWindow*> windows = m_Windows;
  for (WKRX_SheetWindow* window : windows) {
    if (next == sheets.size())
      break;
    if (window->Sheet() == nullptr && window->IsWindow())
      ::SendMessageW(window->m_hWnd, WKRX_WM_OPENSHEETWINDOW, 0,
                     WKRX_SheetHandOver::Give(sheets[next++]));
  }
  for (; next < sheets.size(); ++next)
    OpenSheetWindow(sheets[next], nullptr, true);
  if (sheets.empty() && m_Windows.empty())
    OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
}

UINT WKRX_Application::FreeSerial() const {
  UINT serial = WKRX_Ids::kFirstWindowSerial;
  while (std::any_of(m_Windows.begin(), m_Windows.end(), [serial](const WKRX_SheetWindow* window) {
    return window->Serial() == serial;
  }))
    ++serial;
  return serial;
}

RECT WKRX_Application::SheetWindowArea() {
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  InflateRect(&area, -kSheetWindowInset, -kSheetWindowInset);
  return area;
}

WKRX_SheetWindow* WKRX_Application::OpenSheetWindow(const IMPN_SheetReference& sheet,
                                                    const RECT* rect, bool rebuildMenus) {
  // Room in the list first: a window once made is never left out of it.
  m_Windows.reserve(m_Windows.size() + 1);
  auto frame = std::make_unique<WKRX_SheetWindow>(FreeSerial());
  RECT requested = rect != nullptr ? *rect : SheetWindowArea();
  if (frame->CreateEx(m_hWnd, requested) == nullptr)
    return nullptr;
  WKRX_SheetWindow* window = frame.release();
  window->DeleteWithWindow();
  RECT created = {};
  window->GetWindowRect(&created);
  if (!EqualRect(&created, &requested))
    window->SetWindowPos(nullptr, &requested, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  m_Windows.push_back(window);
  if (sheet)
    window->ShowSheet(sheet);
  window->ShowWindow(SW_SHOW);
  if (rebuildMenus)
    RebuildWindowMenus();
  return window;
}

void WKRX_Application::RebuildWindowMenus() {
  for (WKRX_SheetWindow* window : m_Windows)
    window->BuildWindowMenu(m_Windows);
}

WKRX_SheetWindow* WKRX_Application::Find(LPARAM lParam) const {
  const auto found =
      std::find(m_Windows.begin(), m_Windows.end(), reinterpret_cast<WKRX_SheetWindow*>(lParam));
  return found != m_Windows.end() ? *found : nullptr;
}

void WKRX_Application::Forget(WKRX_SheetWindow* window) {
  m_Windows.erase(std::remove(m_Windows.begin(), m_Windows.end(), window), m_Windows.end());
  if (m_CloseJobWindow == window)
    m_CloseJobWindow = nullptr;
}

LRESULT WKRX_Application::OnOpenSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&) {
  OpenSheetWindow(WKRX_SheetHandOver::Adopt(lParam), nullptr, true);
  return 0;
}

LRESULT WKRX_Application::OnArrangeWindows(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  std::vector<HWND> list;
  list.reserve(m_Windows.size());
  const HWND first = reinterpret_cast<HWND>(lParam);
  for (const WKRX_SheetWindow* window : m_Windows) {
    if (window->m_hWnd == first)
      list.insert(list.begin(), window->m_hWnd);
    else
      list.push_back(window->m_hWnd);
  }
  const RECT area = SheetWindowArea();
  const WKRX_System& system = WKRX_System::Current();
  switch (wParam) {
    case WKRX_Ids::kCommandCascade:
      system.arrangeWindows(MDITILE_ZORDER, true, area, list);
      break;
    case WKRX_Ids::kCommandTileHorizontally:
      system.arrangeWindows(MDITILE_HORIZONTAL, false, area, list);
      break;
    case WKRX_Ids::kCommandTileVertically:
      system.arrangeWindows(MDITILE_VERTICAL, false, area, list);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT WKRX_Application::OnBringWindowToTop(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (lParam != 0) {
    ::BringWindowToTop(reinterpret_cast<HWND>(lParam));
    return 0;
  }
  for (WKRX_SheetWindow* window : m_Windows) {
    if (window->Serial() == wParam) {
      ::BringWindowToTop(window->m_hWnd);
      break;
    }
  }
  return 0;
}

LRESULT WKRX_Application::OnSheetWindowClosed(UINT, WPARAM, LPARAM lParam, BOOL&) {
  WKRX_SheetWindow* const closing = Find(lParam);
  if (closing == nullptr)
    return 0;
  if (m_Windows.size() == 1) {
    if (closing == m_CloseJobWindow || m_CloseAll) {
      m_CloseJobWindow = nullptr;
      m_CloseAll = false;
      OpenSheetWindow(IMPN_SheetReference(), &m_RememberedRect, false);
    } else {
      SendMessageW(WKRX_WM_QUIT, 0, 0);
    }
  }
  Forget(closing);
  RebuildWindowMenus();
  return 0;
}

LRESULT WKRX_Application::OnCloseSheetWindow(UINT, WPARAM, LPARAM lParam, BOOL&) {
  WKRX_SheetWindow* const window = Find(lParam);
  if (window == nullptr)
    return 0;
  m_CloseJobWindow = window;
  window->GetWindowRect(&m_RememberedRect);
  window->PostMessageW(WM_CLOSE);
  return 0;
}

LRESULT WKRX_Application::OnCloseAllSheetWindows(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_CloseAll = true;
  if (WKRX_SheetWindow* const requesting = Find(lParam))
    requesting->GetWindowRect(&m_RememberedRect);
  for (WKRX_SheetWindow* window : m_Windows)
    window->PostMessageW(WM_CLOSE);
  return 0;
}

LRESULT WKRX_Application::OnQuit(UINT, WPARAM, LPARAM, BOOL&) {
  WKRX_Preferences::SavePreferences();
  PostQuitMessage(0);
  return 0;
}

LRESULT WKRX_Application::OnRefreshDefaultInks(UINT, WPARAM, LPARAM, BOOL&) {
  for (WKRX_SheetWindow* window : m_Windows)
    window->RefreshDefaultInks();
  return 0;
}
