// The project's own stand-in for ATL's window classes: CWindow, window traits, class
// registration, CWindowImpl, CDialogImpl and the message maps. Written from ATL's documented
// behaviour.
//
// An object finds its window without executable thunks: a window property holds the object, and
// a thread-local "being created" pointer binds the object at its window's first message, so that
// WM_GETMINMAXINFO and WM_NCCREATE already reach the map. Only the start procedure binds; it then
// hands the window to a procedure that only looks its object up. A second property keeps the
// procedure the window had before, so a window whose object is gone still reaches it.
//
// Every map runs under the project's guard (GLIB_WinGuard.h): no exception leaves the window
// procedure; a message whose handler threw counts as handled and returns 0 (WM_CREATE -1, so the
// creation fails). A fatal exception ends the system's loops under way (CSystemLoopScope).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "GLIB/win/GLIB_WinGuard.h"
#include "atlbase.h"

namespace ATL {

// Reflected messages: the parent sends a child's notification back to the child as
// OCM__BASE + the message.
constexpr UINT OCM__BASE = WM_USER + 0x1C00;
constexpr UINT OCM_COMMAND = OCM__BASE + WM_COMMAND;
constexpr UINT OCM_CTLCOLORBTN = OCM__BASE + WM_CTLCOLORBTN;
constexpr UINT OCM_CTLCOLOREDIT = OCM__BASE + WM_CTLCOLOREDIT;
constexpr UINT OCM_CTLCOLORDLG = OCM__BASE + WM_CTLCOLORDLG;
constexpr UINT OCM_CTLCOLORLISTBOX = OCM__BASE + WM_CTLCOLORLISTBOX;
constexpr UINT OCM_CTLCOLORMSGBOX = OCM__BASE + WM_CTLCOLORMSGBOX;
constexpr UINT OCM_CTLCOLORSCROLLBAR = OCM__BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT OCM_CTLCOLORSTATIC = OCM__BASE + WM_CTLCOLORSTATIC;
constexpr UINT OCM_DRAWITEM = OCM__BASE + WM_DRAWITEM;
constexpr UINT OCM_MEASUREITEM = OCM__BASE + WM_MEASUREITEM;
constexpr UINT OCM_DELETEITEM = OCM__BASE + WM_DELETEITEM;
constexpr UINT OCM_VKEYTOITEM = OCM__BASE + WM_VKEYTOITEM;
constexpr UINT OCM_CHARTOITEM = OCM__BASE + WM_CHARTOITEM;
constexpr UINT OCM_COMPAREITEM = OCM__BASE + WM_COMPAREITEM;
constexpr UINT OCM_HSCROLL = OCM__BASE + WM_HSCROLL;
constexpr UINT OCM_VSCROLL = OCM__BASE + WM_VSCROLL;
constexpr UINT OCM_PARENTNOTIFY = OCM__BASE + WM_PARENTNOTIFY;
constexpr UINT OCM_NOTIFY = OCM__BASE + WM_NOTIFY;

// A rectangle argument given as a pointer or a reference; null means the default size.
class _U_RECT {
public:
  _U_RECT(LPRECT rect = nullptr) : m_lpRect(rect) {}
  _U_RECT(RECT& rect) : m_lpRect(&rect) {}

  LPRECT m_lpRect;
};

// A menu handle or a child window id.
class _U_MENUorID {
public:
  _U_MENUorID(HMENU menu) : m_hMenu(menu) {}
  _U_MENUorID(UINT id) : m_hMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) {}

  HMENU m_hMenu;
};

// A text or the string-table id of one.
class _U_STRINGorID {
public:
  _U_STRINGorID(LPCWSTR text) : m_lpstr(text) {}
  _U_STRINGorID(UINT id) : m_lpstr(MAKEINTRESOURCEW(id)) {}

  LPCWSTR m_lpstr;
};

// Replaceable system calls, so tests can make registration or creation fail.
struct CWindowSystemHooks {
  using RegisterClassFn = ATOM(WINAPI*)(const WNDCLASSEXW*);
  using CreateWindowFn = HWND(WINAPI*)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND,
                                       HMENU, HINSTANCE, LPVOID);

  static inline RegisterClassFn sm_RegisterClassEx = ::RegisterClassExW;
  static inline CreateWindowFn sm_CreateWindowEx = ::CreateWindowExW;
};

class CWindow {
public:
  HWND m_hWnd = nullptr;

  CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
  CWindow& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }

  static LPCWSTR GetWndClassName() { return nullptr; }

  void Attach(HWND hWndNew) { m_hWnd = hWndNew; }
  HWND Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
  }

  HWND Create(LPCWSTR className, HWND hWndParent, _U_RECT rect = nullptr,
              LPCWSTR windowName = nullptr, DWORD style = 0, DWORD exStyle = 0,
              _U_MENUorID menuOrId = 0U, LPVOID createParam = nullptr) {
    m_hWnd = CreateHandle(className, hWndParent, rect, windowName, style, exStyle, menuOrId,
                          createParam);
    return m_hWnd;
  }

  // Creates a window and touches no object: the window's own object may be gone by the time the
  // system returns (a failed creation ends in its final message).
  static HWND CreateHandle(LPCWSTR className, HWND hWndParent, _U_RECT rect, LPCWSTR windowName,
                           DWORD style, DWORD exStyle, _U_MENUorID menuOrId, LPVOID createParam) {
    RECT none = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    const RECT& r = rect.m_lpRect ? *rect.m_lpRect : none;
    const bool defaultSize = rect.m_lpRect == nullptr;
    return CWindowSystemHooks::sm_CreateWindowEx(
        exStyle, className, windowName, style, r.left, r.top,
        defaultSize ? CW_USEDEFAULT : r.right - r.left,
        defaultSize ? CW_USEDEFAULT : r.bottom - r.top, hWndParent, menuOrId.m_hMenu,
        GetModuleHandleW(nullptr), createParam);
  }

  BOOL DestroyWindow() {
    if (!::DestroyWindow(m_hWnd)) {
      return FALSE;
    }
    m_hWnd = nullptr;
    return TRUE;
  }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }

  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0) {
    return ModifyLong(GWL_STYLE, remove, add, flags);
  }
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0) {
    return ModifyLong(GWL_EXSTYLE, remove, add, flags);
  }
  LONG_PTR GetWindowLongPtr(int index) const { return ::GetWindowLongPtrW(m_hWnd, index); }
  LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) {
    return ::SetWindowLongPtrW(m_hWnd, index, value);
  }

  BOOL SetWindowText(LPCWSTR text) { return ::SetWindowTextW(m_hWnd, text); }
  int GetWindowText(LPWSTR buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
  }
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }
  HWND SetParent(HWND hWndNewParent) { return ::SetParent(m_hWnd, hWndNewParent); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  HWND GetTopLevelParent() const { return ::GetAncestor(m_hWnd, GA_ROOT); }

  BOOL GetClientRect(LPRECT rect) const { return ::GetClientRect(m_hWnd, rect); }
  BOOL GetWindowRect(LPRECT rect) const { return ::GetWindowRect(m_hWnd, rect); }
  BOOL ScreenToClient(LPPOINT point) const { return ::ScreenToClient(m_hWnd, point); }
  BOOL ClientToScreen(LPPOINT point) const { return ::ClientToScreen(m_hWnd, point); }
  void ScreenToClient(LPRECT rect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
  }
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL MoveWindow(LPCRECT rect, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                        rect->bottom - rect->top, repaint);
  }
  BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, flags);
  }
  BOOL SetWindowPos(HWND hWndInsertAfter, LPCRECT rect, UINT flags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, rect->left, rect->top, rect->right - rect->left,
                          rect->bottom - rect->top, flags);
  }

  // Centres over hWndCenter; by default a child over its parent, another window over its owner.
  // A window without one, or whose one is hidden or minimised, centres in its monitor's work
  // area; a top-level window is kept inside that work area.
  BOOL CenterWindow(HWND hWndCenter = nullptr) {
    const bool child = (GetStyle() & WS_CHILD) != 0;
    if (hWndCenter == nullptr) {
      hWndCenter = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    }
    if (hWndCenter != nullptr && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter))) {
      hWndCenter = nullptr;
    }
    RECT self = {};
    ::GetWindowRect(m_hWnd, &self);
    MONITORINFO monitor = {sizeof(monitor), {}, {}, 0};
    ::GetMonitorInfoW(
        ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT area = monitor.rcWork;
    RECT over = area;
    if (child) {
      const HWND parent = ::GetParent(m_hWnd);
      ::GetClientRect(parent, &area);
      over = area;
      if (hWndCenter != nullptr && hWndCenter != parent) {
        ::GetWindowRect(hWndCenter, &over);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&over), 2);
      }
    } else if (hWndCenter != nullptr) {
      ::GetWindowRect(hWndCenter, &over);
    }
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int left = (over.left + over.right - width) / 2;
    int top = (over.top + over.bottom - height) / 2;
    if (!child) {
      left = std::max<int>(area.left, std::min<int>(left, area.right - width));
      top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
    }
    return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  BOOL ShowWindow(int showCommand) { return ::ShowWindow(m_hWnd, showCommand); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(LPCRECT rect, BOOL erase = TRUE) {
    return ::InvalidateRect(m_hWnd, rect, erase);
  }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw); }

  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  HWND SetCapture() { return ::SetCapture(m_hWnd); }

  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc = nullptr) {
    return ::SetTimer(m_hWnd, id, elapse, timerProc);
  }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

  void SetFont(HFONT font, BOOL redraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

  HDC GetDC() { return ::GetDC(m_hWnd); }
  int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }

private:
  BOOL ModifyLong(int index, DWORD remove, DWORD add, UINT flags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (old == updated) {
      return FALSE;
    }
    ::SetWindowLongPtrW(m_hWnd, index, static_cast<LONG_PTR>(updated));
    if (flags != 0) {
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return TRUE;
  }
};

// Styles a window class gets when Create is given none.
template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0>
class CWinTraits {
public:
  static DWORD GetWndStyle(DWORD style) { return style == 0 ? t_dwStyle : style; }
  static DWORD GetWndExStyle(DWORD exStyle) { return exStyle == 0 ? t_dwExStyle : exStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
using CNullTraits = CWinTraits<0, 0>;

// A window class registered once per process, on first use. A superclass (m_lpszOrigName set)
// takes the original class's attributes and keeps its procedure as the one to pass messages on
// to. A failed registration is tried again the next time.
struct CWndClassInfo {
  WNDCLASSEXW m_wc;
  LPCWSTR m_lpszOrigName;
  WNDPROC pWndProc;
  ATOM m_atom;
  WCHAR m_szAutoName[32];

  ATOM Register(WNDPROC* superWindowProc) {
    if (m_atom == 0) {
      WNDCLASSEXW wc = m_wc;
      wc.cbSize = sizeof(wc);
      wc.hInstance = GetModuleHandleW(nullptr);
      pWndProc = ::DefWindowProcW;
      if (m_lpszOrigName) {
        WNDCLASSEXW original = {};
        original.cbSize = sizeof(original);
        if (!::GetClassInfoExW(nullptr, m_lpszOrigName, &original) &&
            !::GetClassInfoExW(wc.hInstance, m_lpszOrigName, &original)) {
          return 0;
        }
        pWndProc = original.lpfnWndProc;
        const LPCWSTR name = wc.lpszClassName;
        const WNDPROC proc = wc.lpfnWndProc;
        wc = original;
        wc.cbSize = sizeof(wc);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        wc.lpfnWndProc = proc;
        wc.style &= ~CS_GLOBALCLASS;
      }
      if (wc.lpszClassName == nullptr) {
        // Unnamed classes are named after this record, unique in the process.
        std::swprintf(m_szAutoName, sizeof(m_szAutoName) / sizeof(m_szAutoName[0]), L"ATL:%p",
                      static_cast<void*>(this));
        wc.lpszClassName = m_szAutoName;
      }
      if (wc.hCursor == nullptr && m_lpszOrigName == nullptr) {
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      }
      m_atom = CWindowSystemHooks::sm_RegisterClassEx(&wc);
    }
    *superWindowProc = pWndProc;
    return m_atom;
  }
};

#define DECLARE_WND_CLASS_EX(WndClassName, style, bkgnd)                                           \
  static ::ATL::CWndClassInfo& GetWndClassInfo() {                                                 \
    static ::ATL::CWndClassInfo wc = {                                                             \
        {sizeof(WNDCLASSEXW), static_cast<UINT>(style), StartWindowProc, 0, 0, nullptr, nullptr,   \
         nullptr, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((bkgnd) + 1)), nullptr,            \
         WndClassName, nullptr},                                                                   \
        nullptr,                                                                                   \
        nullptr,                                                                                   \
        0,                                                                                         \
        L""};                                                                                      \
    return wc;                                                                                     \
  }

// Double clicks reach every class by default.
#define DECLARE_WND_CLASS(WndClassName)                                                            \
  DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

#define DECLARE_WND_SUPERCLASS(WndClassName, OrigWndClassName)                                     \
  static ::ATL::CWndClassInfo& GetWndClassInfo() {                                                 \
    static ::ATL::CWndClassInfo wc = {{sizeof(WNDCLASSEXW), 0, StartWindowProc, 0, 0, nullptr,     \
                                       nullptr, nullptr, nullptr, nullptr, WndClassName, nullptr}, \
                                      OrigWndClassName,                                            \
                                      nullptr,                                                     \
                                      0,                                                           \
                                      L""};                                                        \
    return wc;                                                                                     \
  }

class CMessageMap {
public:
  virtual ~CMessageMap() = default;
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID) = 0;
  // The names the guard logs; BEGIN_MSG_MAP gives each class its own.
  virtual const char* GetGuardClassName() const { return "ATL::CMessageMap"; }
  virtual const char* GetGuardHeaderName() const { return "atlwin.h"; }
};

// A loop the system runs for the program (a message box, a popup menu, a common dialog, a drag
// detection, a dialog box) would run on with a fatal exception pending: only the program's own
// loops rethrow it. So each such call stands inside one of these scopes: when a fatal exception
// becomes pending, the guard ends every loop under way on the thread the way its user would, and
// Returned rethrows the exception once the system call has come back. A fatal exception already
// pending is rethrown at once, before the system's loop is entered.
//
//   CSystemLoopScope loop(CSystemLoopScope::kMenu);
//   return loop.Returned(::TrackPopupMenu(...));
class CSystemLoopScope {
public:
  enum Kind {
    kMenu,       // a popup menu or the menu bar's tracking: EndMenu
    kDialog,     // dialog boxes the call opens (message boxes, common dialogs): EndDialog
    kDragDetect  // DragDetect's wait for the pointer: a button release
  };

  explicit CSystemLoopScope(Kind kind) : m_Kind(kind), m_Outer(sm_Innermost) {
    GLIB_RethrowPendingFatal();
    if (kind == kDialog) {
      // Counted first: the callback, called by the system, must not allocate (and so throw).
      ::EnumThreadWindows(::GetCurrentThreadId(), &CSystemLoopScope::CountDialog,
                          reinterpret_cast<LPARAM>(this));
      m_DialogsBefore.reserve(m_DialogCount);
      ::EnumThreadWindows(::GetCurrentThreadId(), &CSystemLoopScope::RememberDialog,
                          reinterpret_cast<LPARAM>(this));
    }
    sm_Innermost = this;
  }
  CSystemLoopScope(const CSystemLoopScope&) = delete;
  CSystemLoopScope& operator=(const CSystemLoopScope&) = delete;
  ~CSystemLoopScope() { sm_Innermost = m_Outer; }

  // The system call's result, once no fatal exception is pending.
  template <class Result>
  Result Returned(Result result) {
    GLIB_RethrowPendingFatal();
    return result;
  }

  // Ends the system's loops under way on this thread, innermost first. The menu bar's tracking
  // is entered by the system itself, so a menu is ended in any case.
  static void EndAll() noexcept {
    ::EndMenu();
    for (CSystemLoopScope* scope = sm_Innermost; scope != nullptr; scope = scope->m_Outer) {
      scope->End();
    }
  }

private:
  static bool IsDialogBox(HWND hWnd) {
    WCHAR name[16] = {};
    return ::GetClassNameW(hWnd, name, 16) > 0 && std::wcscmp(name, L"#32770") == 0;
  }
  static BOOL CALLBACK CountDialog(HWND hWnd, LPARAM self) {
    if (IsDialogBox(hWnd)) {
      ++reinterpret_cast<CSystemLoopScope*>(self)->m_DialogCount;
    }
    return TRUE;
  }
  static BOOL CALLBACK RememberDialog(HWND hWnd, LPARAM self) {
    auto& before = reinterpret_cast<CSystemLoopScope*>(self)->m_DialogsBefore;
    if (IsDialogBox(hWnd) && before.size() < before.capacity()) {
      before.push_back(hWnd);
    }
    return TRUE;
  }
  // A dialog box the call opened: new since the scope began, and modal (its owner disabled).
  static BOOL CALLBACK EndOpenedDialog(HWND hWnd, LPARAM self) {
    const auto& before = reinterpret_cast<CSystemLoopScope*>(self)->m_DialogsBefore;
    const HWND owner = ::GetWindow(hWnd, GW_OWNER);
    if (IsDialogBox(hWnd) && std::find(before.begin(), before.end(), hWnd) == before.end() &&
        (owner == nullptr || !::IsWindowEnabled(owner))) {
      ::EndDialog(hWnd, IDCANCEL);
    }
    return TRUE;
  }

  void End() noexcept {
    switch (m_Kind) {
      case kMenu:
        break;
      case kDialog:
        ::EnumThreadWindows(::GetCurrentThreadId(), &CSystemLoopScope::EndOpenedDialog,
                            reinterpret_cast<LPARAM>(this));
        break;
      case kDragDetect:
        // The drag detection holds the capture and ends at the first button release.
        if (const HWND capture = ::GetCapture()) {
          ::PostMessageW(capture, WM_LBUTTONUP, 0, 0);
        }
        break;
    }
  }

  static inline thread_local CSystemLoopScope* sm_Innermost = nullptr;

  Kind m_Kind;
  CSystemLoopScope* m_Outer;
  std::size_t m_DialogCount = 0;
  std::vector<HWND> m_DialogsBefore;
};

// Runs body under the guard, which logs whatever escapes it in the map's names. The names are
// taken first: body may delete the map. Returns whether body ended without an exception. A fatal
// exception that became pending ends the system's loops under way.
template <class Body>
bool AtlGuarded(const CMessageMap& map, Body&& body) noexcept {
  const char* className = map.GetGuardClassName();
  const char* headerName = map.GetGuardHeaderName();
  try {
    body();
    return true;
  } catch (const CAtlException&) {
    GLIB_ReportEscapedAssert(className, headerName, L" caught unhandled ATL::CAtlException");
  } catch (...) {
    GLIB_HandleEscapedException(className, headerName);
  }
  if (GLIB_IsFatalPending()) {
    CSystemLoopScope::EndAll();
  }
  return false;
}

// The answer of a message whose handler threw: creation fails (WM_NCCREATE's 0 does already),
// and a paint leaves nothing invalid, else the system would ask for it again at once, for ever.
inline LRESULT AtlFailedMessageResult(HWND hWnd, UINT uMsg) noexcept {
  if (uMsg == WM_PAINT) {
    ::ValidateRect(hWnd, nullptr);
  }
  return uMsg == WM_CREATE ? -1 : 0;
}

// Runs a map under the guard. Returns whether the message counts as handled: a message whose
// handler threw does, with the answer above.
inline BOOL AtlGuardedProcess(CMessageMap& map, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult, DWORD dwMsgMapID) noexcept {
  BOOL handled = TRUE;
  if (AtlGuarded(map, [&] {
        handled = map.ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID);
      }))
    return handled;
  lResult = AtlFailedMessageResult(hWnd, uMsg);
  return TRUE;
}

// Binding of objects to windows, shared by every window implementation: a window property
// holds the object, a second one the procedure to pass messages on to.
class CBoundWindowObject {
public:
  virtual ~CBoundWindowObject() = default;

protected:
  static constexpr LPCWSTR sm_ObjectProperty = L"AtlStandIn.Object";
  static constexpr LPCWSTR sm_PreviousProcProperty = L"AtlStandIn.PreviousProc";

  // The object whose Create is under way on this thread, bound at its window's first message.
  static inline thread_local CBoundWindowObject* sm_BeingCreated = nullptr;

  virtual bool BindCreated(HWND hWnd) = 0;
  virtual LRESULT DispatchBound(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;

  static CBoundWindowObject* BoundObject(HWND hWnd) {
    return static_cast<CBoundWindowObject*>(::GetPropW(hWnd, sm_ObjectProperty));
  }
  static WNDPROC PreviousProc(HWND hWnd) {
    const HANDLE stored = ::GetPropW(hWnd, sm_PreviousProcProperty);
    return stored ? reinterpret_cast<WNDPROC>(stored) : ::DefWindowProcW;
  }

  // Hands a window just bound from its start procedure to the procedure that only finds its
  // object.
  virtual void LeaveStartProcedure(HWND hWnd) = 0;

  // For start procedures only: the object bound to the window; a window's first message binds
  // the object being created and leaves the start procedure. Any other procedure only looks the
  // object up: a window whose object is gone must not take the next object being created.
  static CBoundWindowObject* BindBeingCreated(HWND hWnd) {
    CBoundWindowObject* self = BoundObject(hWnd);
    if (self == nullptr && sm_BeingCreated != nullptr) {
      self = sm_BeingCreated;
      sm_BeingCreated = nullptr;
      if (!self->BindCreated(hWnd)) {
        return nullptr;
      }
      self->LeaveStartProcedure(hWnd);
    }
    return self;
  }

  // Binds an object to a window the system made for it (a common dialog's hook dialog), which
  // names its object by other means than the being-created pointer.
  static bool BindObject(CBoundWindowObject* object, HWND hWnd) {
    return object->BindCreated(hWnd);
  }

  // The superclass a contained window of the original class is made of: one per original class,
  // whatever the contained object's type, registered on first use and kept for the process.
  static CWndClassInfo& ContainedSuperclassOf(LPCWSTR original) {
    struct Entry {
      std::wstring m_Name;
      std::wstring m_Original;
      CWndClassInfo m_Info;
    };
    static std::mutex sm_Lock;
    static std::map<std::wstring, std::unique_ptr<Entry>> sm_Classes;
    // A class atom stands for itself as "#" and its number.
    const std::wstring key = IS_INTRESOURCE(original)
                                 ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(original))
                                 : std::wstring(original);
    std::lock_guard<std::mutex> lock(sm_Lock);
    std::unique_ptr<Entry>& entry = sm_Classes[key];
    if (!entry) {
      auto made = std::make_unique<Entry>();
      made->m_Original = key;
      made->m_Name = L"ATL:" + key;
      made->m_Info = {{sizeof(WNDCLASSEXW), 0, StartBoundWindowProc, 0, 0, nullptr, nullptr,
                       nullptr, nullptr, nullptr, made->m_Name.c_str(), nullptr},
                      IS_INTRESOURCE(original) ? original : made->m_Original.c_str(),
                      nullptr,
                      0,
                      L""};
      entry = std::move(made);
    }
    return entry->m_Info;
  }

  static LRESULT Dispatch(CBoundWindowObject* self, HWND hWnd, UINT uMsg, WPARAM wParam,
                          LPARAM lParam) {
    return self->DispatchBound(hWnd, uMsg, wParam, lParam);
  }

  // The start procedure of every window class of ours: binds the object being created.
  static LRESULT CALLBACK StartBoundWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Route(BindBeingCreated(hWnd), hWnd, uMsg, wParam, lParam);
  }
  // The procedure of every bound window: the bound object's map, else (a window whose object is
  // gone) the previous procedure.
  static LRESULT CALLBACK BoundWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Route(BoundObject(hWnd), hWnd, uMsg, wParam, lParam);
  }

private:
  static LRESULT Route(CBoundWindowObject* self, HWND hWnd, UINT uMsg, WPARAM wParam,
                       LPARAM lParam) {
    if (self == nullptr) {
      const LRESULT result = ::CallWindowProcW(PreviousProc(hWnd), hWnd, uMsg, wParam, lParam);
      if (uMsg == WM_NCDESTROY) {
        ::RemovePropW(hWnd, sm_PreviousProcProperty);
      }
      return result;
    }
    return self->DispatchBound(hWnd, uMsg, wParam, lParam);
  }
};

// What every window implementation shares: the message in progress and reflection.
template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap, protected CBoundWindowObject {
public:
  const MSG* m_pCurrentMsg = nullptr;
  DWORD m_dwState = 0;

  enum : DWORD {
    WINSTATE_DESTROYED = 0x00000001
  };

  const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

  // Sends a child's notification back to the child as OCM__BASE + message. Without a child to
  // send to, the message is not handled.
  LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    HWND child = nullptr;
    switch (uMsg) {
      case WM_COMMAND:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_HSCROLL:
      case WM_VSCROLL:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
      case WM_NOTIFY:
        child = reinterpret_cast<LPNMHDR>(lParam)->hwndFrom;
        break;
      case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY) {
          child = reinterpret_cast<HWND>(lParam);
        } else {
          child = ::GetDlgItem(this->m_hWnd, HIWORD(wParam));
        }
        break;
      case WM_DRAWITEM:
        if (wParam) {
          child = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
        }
        break;
      case WM_MEASUREITEM:
        if (wParam) {
          child = ::GetDlgItem(
              this->m_hWnd, static_cast<int>(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID));
        }
        break;
      case WM_COMPAREITEM:
        if (wParam) {
          child = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
        }
        break;
      case WM_DELETEITEM:
        if (wParam) {
          child = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
        }
        break;
      default:
        break;
    }
    if (child == nullptr) {
      bHandled = FALSE;
      return 1;
    }
    return ::SendMessageW(child, OCM__BASE + uMsg, wParam, lParam);
  }

  // A reflected message nobody handled gets the system's default for the original message.
  static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                       LRESULT& lResult) {
    switch (uMsg) {
      case OCM_COMMAND:
      case OCM_NOTIFY:
      case OCM_PARENTNOTIFY:
      case OCM_DRAWITEM:
      case OCM_MEASUREITEM:
      case OCM_COMPAREITEM:
      case OCM_DELETEITEM:
      case OCM_VKEYTOITEM:
      case OCM_CHARTOITEM:
      case OCM_HSCROLL:
      case OCM_VSCROLL:
      case OCM_CTLCOLORBTN:
      case OCM_CTLCOLORDLG:
      case OCM_CTLCOLOREDIT:
      case OCM_CTLCOLORLISTBOX:
      case OCM_CTLCOLORMSGBOX:
      case OCM_CTLCOLORSCROLLBAR:
      case OCM_CTLCOLORSTATIC:
        lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam);
        return TRUE;
      default:
        return FALSE;
    }
  }
};

template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
public:
  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;

  CWindowImplBaseT() = default;
  CWindowImplBaseT(const CWindowImplBaseT&) = delete;
  CWindowImplBaseT& operator=(const CWindowImplBaseT&) = delete;

  // An object that dies before its window lets go of it: the window gets its previous procedure
  // back, or, when a later subclass sits on top or the window was made with our procedure, that
  // procedure finds no object and passes every message on to the previous one.
  ~CWindowImplBaseT() override {
    HWND hWnd = this->m_hWnd;
    if (hWnd != nullptr && ::IsWindow(hWnd) && this->BoundObject(hWnd) == this) {
      if (!m_Subclassed || !Unbind(false)) {
        ::RemovePropW(hWnd, this->sm_ObjectProperty);
      }
    }
  }

  static DWORD GetWndStyle(DWORD style) { return TWinTraits::GetWndStyle(style); }
  static DWORD GetWndExStyle(DWORD exStyle) { return TWinTraits::GetWndExStyle(exStyle); }

  virtual WNDPROC GetWindowProc() { return WindowProc; }
  virtual void OnFinalMessage(HWND /*hWnd*/) {}

  LRESULT DefWindowProc() {
    const MSG* msg = this->m_pCurrentMsg;
    return msg ? DefWindowProc(msg->message, msg->wParam, msg->lParam) : 0;
  }
  LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_pfnSuperWindowProc, this->m_hWnd, uMsg, wParam, lParam);
  }

  // Routes an existing window's messages through this object's map; the window's procedure
  // until now gets what the map leaves. Fails on a window an object holds or held.
  BOOL SubclassWindow(HWND hWnd) {
    if (this->m_hWnd != nullptr || !::IsWindow(hWnd) || this->BoundObject(hWnd) != nullptr ||
        ::GetPropW(hWnd, this->sm_PreviousProcProperty) != nullptr) {
      return FALSE;
    }
    const WNDPROC previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (!Bind(hWnd, previous)) {
      return FALSE;
    }
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc()));
    m_Subclassed = true;
    return TRUE;
  }

  // Gives the window its previous procedure back. Unless forced, fails when another procedure
  // has been put on top of ours since.
  HWND UnsubclassWindow(BOOL force = FALSE) {
    HWND hWnd = this->m_hWnd;
    if (hWnd == nullptr || !m_Subclassed || !Unbind(force != FALSE)) {
      return nullptr;
    }
    this->m_hWnd = nullptr;
    return hWnd;
  }

  static LRESULT CALLBACK StartWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return CBoundWindowObject::StartBoundWindowProc(hWnd, uMsg, wParam, lParam);
  }
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return CBoundWindowObject::BoundWindowProc(hWnd, uMsg, wParam, lParam);
  }

protected:
  HWND Create(HWND hWndParent, _U_RECT rect, LPCWSTR windowName, DWORD style, DWORD exStyle,
              _U_MENUorID menuOrId, ATOM atom, LPVOID createParam) {
    if (atom == 0 || this->m_hWnd != nullptr) {
      return nullptr;
    }
    // A failed creation may end in the final message, where the object may delete itself: from
    // the system call on, the object is not touched again.
    CBoundWindowObject* const self = this;
    const bool fatalBefore = GLIB_IsFatalPending();
    CBoundWindowObject::sm_BeingCreated = self;
    const HWND hWnd = CWindow::CreateHandle(MAKEINTATOM(atom), hWndParent, rect, windowName, style,
                                            exStyle, menuOrId, createParam);
    if (CBoundWindowObject::sm_BeingCreated == self) {
      CBoundWindowObject::sm_BeingCreated = nullptr;
    }
    // A fatal exception raised while the window was built (a child's creation, a size message)
    // leaves it half built: it goes, and the creation fails.
    if (hWnd != nullptr && !fatalBefore && GLIB_IsFatalPending()) {
      ::DestroyWindow(hWnd);
      return nullptr;
    }
    return hWnd;
  }

private:
  bool m_Subclassed = false;

  bool BindCreated(HWND hWnd) override { return Bind(hWnd, m_pfnSuperWindowProc); }
  void LeaveStartProcedure(HWND hWnd) override {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc()));
  }

  bool Bind(HWND hWnd, WNDPROC previous) {
    if (!::SetPropW(hWnd, this->sm_PreviousProcProperty, reinterpret_cast<HANDLE>(previous))) {
      return false;
    }
    if (!::SetPropW(hWnd, this->sm_ObjectProperty, static_cast<CBoundWindowObject*>(this))) {
      ::RemovePropW(hWnd, this->sm_PreviousProcProperty);
      return false;
    }
    this->m_hWnd = hWnd;
    m_pfnSuperWindowProc = previous;
    return true;
  }

  // Removes both properties and, for a subclassed window, restores the previous procedure;
  // false when a later procedure sits on top of ours and force is off.
  bool Unbind(bool force) {
    HWND hWnd = this->m_hWnd;
    if (m_Subclassed) {
      const WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
      if (current != GetWindowProc() && !force) {
        return false;
      }
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
      m_Subclassed = false;
    }
    ::RemovePropW(hWnd, this->sm_ObjectProperty);
    ::RemovePropW(hWnd, this->sm_PreviousProcProperty);
    return true;
  }

  LRESULT DispatchBound(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    MSG msg = {hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* outer = this->m_pCurrentMsg;
    this->m_pCurrentMsg = &msg;
    LRESULT lResult = 0;
    if (uMsg == WM_NCDESTROY) {
      // The previous procedure cleans up first, whatever the map does with the message.
      lResult = DefWindowProc(uMsg, wParam, lParam);
      LRESULT ignored = 0;
      AtlGuardedProcess(*this, hWnd, uMsg, wParam, lParam, ignored, 0);
      if (!Unbind(false)) {
        ::RemovePropW(hWnd, this->sm_ObjectProperty);
      }
      this->m_dwState |= this->WINSTATE_DESTROYED;
    } else if (!AtlGuardedProcess(*this, hWnd, uMsg, wParam, lParam, lResult, 0)) {
      lResult = DefWindowProc(uMsg, wParam, lParam);
    }
    this->m_pCurrentMsg = outer;
    // The final message comes once the window's outermost message has returned: the object may
    // delete itself there.
    if (outer == nullptr && (this->m_dwState & this->WINSTATE_DESTROYED)) {
      this->m_dwState &= ~static_cast<DWORD>(this->WINSTATE_DESTROYED);
      this->m_hWnd = nullptr;
      FinalMessageGuarded(hWnd);
    }
    return lResult;
  }

  void FinalMessageGuarded(HWND hWnd) noexcept {
    AtlGuarded(*this, [&] { OnFinalMessage(hWnd); });
  }
};

using CWindowImplBase = CWindowImplBaseT<CWindow>;

// A window class of the program. Its window class is T::GetWndClassInfo(): by default an unnamed
// class, or a superclass of TBase's class when TBase names one.
template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits> {
public:
  static ::ATL::CWndClassInfo& GetWndClassInfo() {
    const bool superclass = TBase::GetWndClassName() != nullptr;
    static ::ATL::CWndClassInfo wc = {
        {sizeof(WNDCLASSEXW),
         superclass ? 0u : static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
         CWindowImplBaseT<TBase, TWinTraits>::StartWindowProc, 0, 0, nullptr, nullptr, nullptr,
         superclass ? nullptr : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)),
         nullptr, nullptr, nullptr},
        TBase::GetWndClassName(),
        nullptr,
        0,
        L""};
    return wc;
  }

  HWND Create(HWND hWndParent, _U_RECT rect = nullptr, LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, _U_MENUorID menuOrId = 0U,
              LPVOID createParam = nullptr) {
    const ATOM atom = T::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
    return CWindowImplBaseT<TBase, TWinTraits>::Create(
        hWndParent, rect, windowName, T::GetWndStyle(style), T::GetWndExStyle(exStyle), menuOrId,
        atom, createParam);
  }
};

// A dialog of the program, from the template T::IDD. Its map runs under the guard like a
// window's; results the dialog manager expects in DWLP_MSGRESULT (WM_NOTIFY and most others) go
// there, the few it takes as the procedure's return value are returned.
template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase> {
public:
  CDialogImplBaseT() = default;
  CDialogImplBaseT(const CDialogImplBaseT&) = delete;
  CDialogImplBaseT& operator=(const CDialogImplBaseT&) = delete;

  // A dialog object that dies first leaves its window without a map.
  ~CDialogImplBaseT() override {
    HWND hWnd = this->m_hWnd;
    if (hWnd != nullptr && ::IsWindow(hWnd) && this->BoundObject(hWnd) == this) {
      ::RemovePropW(hWnd, this->sm_ObjectProperty);
    }
  }

  virtual DLGPROC GetDialogProc() { return DialogProc; }
  virtual void OnFinalMessage(HWND /*hWnd*/) {}

  static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Route(CBoundWindowObject::BindBeingCreated(hWnd), hWnd, uMsg, wParam, lParam);
  }

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return Route(CBoundWindowObject::BoundObject(hWnd), hWnd, uMsg, wParam, lParam);
  }

protected:
  // True while DoModal runs the dialog: a pending fatal exception then ends it.
  bool m_Modal = false;

private:
  static INT_PTR Route(CBoundWindowObject* self, HWND hWnd, UINT uMsg, WPARAM wParam,
                       LPARAM lParam) {
    if (self == nullptr) {
      return FALSE;
    }
    return static_cast<INT_PTR>(CBoundWindowObject::Dispatch(self, hWnd, uMsg, wParam, lParam));
  }

  bool BindCreated(HWND hWnd) override {
    if (!::SetPropW(hWnd, this->sm_ObjectProperty, static_cast<CBoundWindowObject*>(this))) {
      return false;
    }
    this->m_hWnd = hWnd;
    return true;
  }
  void LeaveStartProcedure(HWND hWnd) override {
    ::SetWindowLongPtrW(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(GetDialogProc()));
  }

  static bool ReturnsResultDirectly(UINT uMsg) {
    switch (uMsg) {
      case WM_COMPAREITEM:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_INITDIALOG:
      case WM_QUERYDRAGICON:
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        return true;
      default:
        return false;
    }
  }

  LRESULT DispatchBound(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    MSG msg = {hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* outer = this->m_pCurrentMsg;
    this->m_pCurrentMsg = &msg;
    LRESULT lResult = 0;
    const BOOL handled = AtlGuardedProcess(*this, hWnd, uMsg, wParam, lParam, lResult, 0);
    INT_PTR result = FALSE;
    if (uMsg == WM_NCDESTROY) {
      ::RemovePropW(hWnd, this->sm_ObjectProperty);
      this->m_dwState |= this->WINSTATE_DESTROYED;
    } else if (handled) {
      if (ReturnsResultDirectly(uMsg)) {
        result = static_cast<INT_PTR>(lResult);
      } else {
        ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, lResult);
        result = TRUE;
      }
    }
    // The system runs a modal dialog's loop: a fatal exception ends the dialog so that DoModal
    // can rethrow it.
    if (m_Modal && GLIB_IsFatalPending() && uMsg != WM_NCDESTROY) {
      ::EndDialog(hWnd, IDABORT);
    }
    this->m_pCurrentMsg = outer;
    if (outer == nullptr && (this->m_dwState & this->WINSTATE_DESTROYED)) {
      this->m_dwState &= ~static_cast<DWORD>(this->WINSTATE_DESTROYED);
      this->m_hWnd = nullptr;
      FinalMessageGuarded(hWnd);
    }
    return static_cast<LRESULT>(result);
  }

  void FinalMessageGuarded(HWND hWnd) noexcept {
    AtlGuarded(*this, [&] { OnFinalMessage(hWnd); });
  }
};

using CDialogImplBase = CDialogImplBaseT<CWindow>;

template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase> {
public:
  // Runs the dialog modally; a fatal exception kept pending while it ran is rethrown once the
  // system's loop has returned.
  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM initParam = 0) {
    if (this->m_hWnd != nullptr) {
      return -1;
    }
    this->m_Modal = true;
    this->sm_BeingCreated = this;
    const INT_PTR result = ::DialogBoxParamW(TemplateModule(), MAKEINTRESOURCEW(T::IDD), hWndParent,
                                             T::StartDialogProc, initParam);
    if (this->sm_BeingCreated == this) {
      this->sm_BeingCreated = nullptr;
    }
    this->m_Modal = false;
    GLIB_RethrowPendingFatal();
    return result;
  }

  BOOL EndDialog(int result) {
    ATLASSERT(this->m_Modal);
    return ::EndDialog(this->m_hWnd, result);
  }

  // A modeless dialog, ended with DestroyWindow.
  HWND Create(HWND hWndParent, LPARAM initParam = 0) {
    if (this->m_hWnd != nullptr) {
      return nullptr;
    }
    this->m_Modal = false;
    this->sm_BeingCreated = this;
    HWND hWnd = ::CreateDialogParamW(TemplateModule(), MAKEINTRESOURCEW(T::IDD), hWndParent,
                                     T::StartDialogProc, initParam);
    if (this->sm_BeingCreated == this) {
      this->sm_BeingCreated = nullptr;
    }
    if (hWnd == nullptr) {
      this->m_hWnd = nullptr;
    }
    return hWnd;
  }

private:
  // The template comes through the module object's resource search, like every other resource.
  static HINSTANCE TemplateModule() {
    const HINSTANCE module = AtlFindResourceInstance(MAKEINTRESOURCEW(T::IDD), RT_DIALOG);
    return module ? module : _AtlBaseModule.GetModuleInstance();
  }
};

// A window whose messages go to another object's map, to the section m_dwMsgMapID: a control
// inside a window class, handled by that class's alternate sections. Messages the map leaves go
// to the window's own procedure. Created as a superclass of m_lpszClassName, or attached to an
// existing window with SubclassWindow.
template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CContainedWindowT : public CWindowImplBaseT<TBase, TWinTraits> {
public:
  LPCWSTR m_lpszClassName;
  CMessageMap* m_pObject;
  DWORD m_dwMsgMapID;

  explicit CContainedWindowT(CMessageMap* object = nullptr, DWORD msgMapID = 0)
      : CContainedWindowT(TBase::GetWndClassName(), object, msgMapID) {}
  CContainedWindowT(LPCWSTR className, CMessageMap* object, DWORD msgMapID = 0)
      : m_lpszClassName(className),
        m_pObject(object),
        m_dwMsgMapID(msgMapID) {}

  void SwitchMessageMap(DWORD msgMapID) { m_dwMsgMapID = msgMapID; }

  HWND Create(HWND hWndParent, _U_RECT rect, LPCWSTR windowName = nullptr, DWORD style = 0,
              DWORD exStyle = 0, _U_MENUorID menuOrId = 0U, LPVOID createParam = nullptr) {
    if (m_lpszClassName == nullptr) {
      return nullptr;
    }
    const ATOM atom =
        this->ContainedSuperclassOf(m_lpszClassName).Register(&this->m_pfnSuperWindowProc);
    return CWindowImplBaseT<TBase, TWinTraits>::Create(
        hWndParent, rect, windowName, TWinTraits::GetWndStyle(style),
        TWinTraits::GetWndExStyle(exStyle), menuOrId, atom, createParam);
  }
  HWND Create(CMessageMap* object, DWORD msgMapID, HWND hWndParent, _U_RECT rect,
              LPCWSTR windowName = nullptr, DWORD style = 0, DWORD exStyle = 0,
              _U_MENUorID menuOrId = 0U, LPVOID createParam = nullptr) {
    m_pObject = object;
    m_dwMsgMapID = msgMapID;
    return Create(hWndParent, rect, windowName, style, exStyle, menuOrId, createParam);
  }

  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                            DWORD /*dwMsgMapID*/ = 0) override {
    return m_pObject != nullptr &&
           m_pObject->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, m_dwMsgMapID);
  }

  // The guard logs in the owner's names: the owner's map is what runs.
  const char* GetGuardClassName() const override {
    return m_pObject ? m_pObject->GetGuardClassName() : "ATL::CContainedWindow";
  }
  const char* GetGuardHeaderName() const override {
    return m_pObject ? m_pObject->GetGuardHeaderName() : "atlwin.h";
  }
};

using CContainedWindow = CContainedWindowT<CWindow>;

// Every message loop the project owns dispatches through this: a fatal exception a map kept
// pending while the system ran it is rethrown once DispatchMessage has returned.
inline LRESULT AtlDispatchMessage(const MSG& msg) {
  const LRESULT result = ::DispatchMessageW(&msg);
  GLIB_RethrowPendingFatal();
  return result;
}

// Dispatches what waits in this thread's queue and returns. A WM_QUIT is put back for the loop
// that owns the thread and ends the pumping.
inline void AtlPumpWaitingMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    AtlDispatchMessage(msg);
  }
}

// A modal tracking loop (a drag while hWnd holds the mouse capture): runs until the capture
// leaves hWnd. Each message goes to filter first, which answers whether it consumed it; the
// others are dispatched. Returns false when WM_QUIT ended the loop (the quit is put back for the
// thread's loop). When a fatal exception comes out of a dispatched message, the capture is
// released before it goes on.
template <class Filter>
bool AtlRunCaptureLoop(HWND hWnd, Filter&& filter) {
  struct CaptureRelease {
    HWND m_hWnd;
    ~CaptureRelease() {
      if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
      }
    }
  };
  MSG msg;
  while (::GetCapture() == hWnd) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      if (got == 0) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
      }
      ::ReleaseCapture();
      return false;
    }
    if (!filter(msg)) {
      CaptureRelease release{hWnd};
      AtlDispatchMessage(msg);
      release.m_hWnd = nullptr;
    }
  }
  return true;
}

// The names the guard logs for a procedure that is no window's map: hook procedures and other
// callbacks the system calls.
class CGuardNames : public CMessageMap {
public:
  CGuardNames(const char* className, const char* headerName)
      : m_ClassName(className),
        m_HeaderName(headerName) {}
  BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return FALSE; }
  const char* GetGuardClassName() const override { return m_ClassName; }
  const char* GetGuardHeaderName() const override { return m_HeaderName; }

private:
  const char* m_ClassName;
  const char* m_HeaderName;
};

// Runs a hook procedure's body under the guard; returns whether it ended without an exception.
template <class Body>
bool AtlGuardedHook(const char* className, const char* headerName, Body&& body) noexcept {
  const CGuardNames names(className, headerName);
  return AtlGuarded(names, std::forward<Body>(body));
}

}  // namespace ATL

// Message maps. A map answers whether it handled the message; a handler that clears bHandled
// passes the message on to the next entry and, at the end, to the previous procedure. The
// class name and the header the map stands in become the guard's log names.
#define BEGIN_MSG_MAP(theClass)                                                                    \
public:                                                                                            \
  const char* GetGuardClassName() const {                                                          \
    return #theClass;                                                                              \
  }                                                                                                \
  const char* GetGuardHeaderName() const {                                                         \
    return ::ATL::AtlFileName(__FILE__);                                                           \
  }                                                                                                \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,  \
                            DWORD dwMsgMapID = 0) {                                                \
    BOOL bHandled = TRUE;                                                                          \
    (void)hWnd;                                                                                    \
    (void)uMsg;                                                                                    \
    (void)wParam;                                                                                  \
    (void)lParam;                                                                                  \
    (void)lResult;                                                                                 \
    (void)bHandled;                                                                                \
    switch (dwMsgMapID) {                                                                          \
      case 0:

#define ALT_MSG_MAP(msgMapID)                                                                      \
  break;                                                                                           \
  case msgMapID:

// A map asked for a section it does not have is a fault the guard reports as fatal.
#define END_MSG_MAP()                                                                              \
  break;                                                                                           \
  default:                                                                                         \
    throw ::GLIB_UnknownMessageMapId(dwMsgMapID);                                                  \
    }                                                                                              \
    return FALSE;                                                                                  \
    }

#define MESSAGE_HANDLER(msg, func)                                                                 \
  if (uMsg == (msg)) {                                                                             \
    bHandled = TRUE;                                                                               \
    lResult = func(uMsg, wParam, lParam, bHandled);                                                \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                             \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                                   \
    bHandled = TRUE;                                                                               \
    lResult = func(uMsg, wParam, lParam, bHandled);                                                \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }

#define ATL_COMMAND_ENTRY(cond, func)                                                              \
  if (uMsg == WM_COMMAND && (cond)) {                                                              \
    bHandled = TRUE;                                                                               \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);      \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }

#define COMMAND_HANDLER(id, code, func)                                                            \
  ATL_COMMAND_ENTRY(LOWORD(wParam) == (id) && HIWORD(wParam) == (code), func)
#define COMMAND_ID_HANDLER(id, func) ATL_COMMAND_ENTRY(LOWORD(wParam) == (id), func)
#define COMMAND_CODE_HANDLER(code, func) ATL_COMMAND_ENTRY(HIWORD(wParam) == (code), func)
#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                               \
  ATL_COMMAND_ENTRY(LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast), func)

#define ATL_NOTIFY_ENTRY(message, cond, func)                                                      \
  if (uMsg == (message) && (cond)) {                                                               \
    bHandled = TRUE;                                                                               \
    lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled);         \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }

#define NOTIFY_HANDLER(id, cd, func)                                                               \
  ATL_NOTIFY_ENTRY(WM_NOTIFY,                                                                      \
                   reinterpret_cast<LPNMHDR>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&       \
                       reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd),           \
                   func)
#define NOTIFY_ID_HANDLER(id, func)                                                                \
  ATL_NOTIFY_ENTRY(WM_NOTIFY,                                                                      \
                   reinterpret_cast<LPNMHDR>(lParam)->idFrom == static_cast<UINT_PTR>(id), func)
#define NOTIFY_CODE_HANDLER(cd, func)                                                              \
  ATL_NOTIFY_ENTRY(WM_NOTIFY, reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd),    \
                   func)

#define REFLECTED_COMMAND_CODE_HANDLER(code, func)                                                 \
  if (uMsg == ::ATL::OCM_COMMAND && HIWORD(wParam) == (code)) {                                    \
    bHandled = TRUE;                                                                               \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);      \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }
#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                                                    \
  ATL_NOTIFY_ENTRY(::ATL::OCM_NOTIFY,                                                              \
                   reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd), func)

#define CHAIN_MSG_MAP(theChainClass)                                                               \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                    \
    return TRUE;
#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                                 \
  if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID))          \
    return TRUE;
#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                       \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                  \
    return TRUE;

#define REFLECT_NOTIFICATIONS()                                                                    \
  {                                                                                                \
    bHandled = TRUE;                                                                               \
    lResult = ReflectNotifications(uMsg, wParam, lParam, bHandled);                                \
    if (bHandled)                                                                                  \
      return TRUE;                                                                                 \
  }

#define DEFAULT_REFLECTION_HANDLER()                                                               \
  if (DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult))                               \
    return TRUE;
