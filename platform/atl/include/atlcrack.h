#pragma once
// WTL's message crackers: map entries that unpack a message's parameters into typed arguments.
// They need a map opened with BEGIN_MSG_MAP_EX, whose handled flag a handler clears with
// SetMsgHandled(FALSE) to pass the message on. Written from WTL's documented behaviour.
#include <windows.h>

#include "atltypes.h"
#include "atlwin.h"

namespace ATL {

// A cracked handler starts as handled; the flag of any message it sends meanwhile (to the same
// window, nested) does not leak into its own, and the outer message's flag comes back after it,
// also when the handler throws.
class CMsgHandledScope {
public:
  explicit CMsgHandledScope(BOOL& flag) : m_Flag(flag), m_Outer(flag) { m_Flag = TRUE; }
  ~CMsgHandledScope() { m_Flag = m_Outer; }
  CMsgHandledScope(const CMsgHandledScope&) = delete;
  CMsgHandledScope& operator=(const CMsgHandledScope&) = delete;

  BOOL Handled() const { return m_Flag; }

private:
  BOOL& m_Flag;
  BOOL m_Outer;
};

inline CPoint AtlPointFromLParam(LPARAM lParam) {
  return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

}  // namespace ATL

#define BEGIN_MSG_MAP_EX(theClass)                                                                 \
public:                                                                                            \
  BOOL m_bMsgHandled = TRUE;                                                                       \
  BOOL IsMsgHandled() const {                                                                      \
    return m_bMsgHandled;                                                                          \
  }                                                                                                \
  void SetMsgHandled(BOOL handled) {                                                               \
    m_bMsgHandled = handled;                                                                       \
  }                                                                                                \
  BEGIN_MSG_MAP(theClass)

// One cracked entry: call sets lResult.
#define ATL_CRACKED_ENTRY(msg, call)                                                               \
  if (uMsg == (msg)) {                                                                             \
    ::ATL::CMsgHandledScope handledScope(m_bMsgHandled);                                           \
    call;                                                                                          \
    if (handledScope.Handled())                                                                    \
      return TRUE;                                                                                 \
  }

// Handlers returning nothing answer 0.
#define ATL_CRACKED_VOID(msg, call) ATL_CRACKED_ENTRY(msg, (call, lResult = 0))

#define MSG_WM_CREATE(func)                                                                        \
  ATL_CRACKED_ENTRY(                                                                               \
      WM_CREATE, lResult = static_cast<LRESULT>(func(reinterpret_cast<LPCREATESTRUCTW>(lParam))))
#define MSG_WM_DESTROY(func) ATL_CRACKED_VOID(WM_DESTROY, func())
#define MSG_WM_CLOSE(func) ATL_CRACKED_VOID(WM_CLOSE, func())
#define MSG_WM_PASTE(func) ATL_CRACKED_VOID(WM_PASTE, func())
#define MSG_WM_SIZE(func)                                                                          \
  ATL_CRACKED_VOID(WM_SIZE,                                                                        \
                   func(static_cast<UINT>(wParam), ::ATL::CSize(LOWORD(lParam), HIWORD(lParam))))
#define MSG_WM_PAINT(func) ATL_CRACKED_VOID(WM_PAINT, func(reinterpret_cast<HDC>(wParam)))
#define MSG_WM_ERASEBKGND(func)                                                                    \
  ATL_CRACKED_ENTRY(WM_ERASEBKGND,                                                                 \
                    lResult = static_cast<LRESULT>(func(reinterpret_cast<HDC>(wParam))))
#define MSG_WM_SETFOCUS(func)                                                                      \
  ATL_CRACKED_VOID(WM_SETFOCUS, func(::ATL::CWindow(reinterpret_cast<HWND>(wParam))))
#define MSG_WM_KILLFOCUS(func)                                                                     \
  ATL_CRACKED_VOID(WM_KILLFOCUS, func(::ATL::CWindow(reinterpret_cast<HWND>(wParam))))
#define MSG_WM_TIMER(func) ATL_CRACKED_VOID(WM_TIMER, func(static_cast<UINT_PTR>(wParam)))
#define MSG_WM_SETCURSOR(func)                                                                     \
  ATL_CRACKED_ENTRY(WM_SETCURSOR,                                                                  \
                    lResult = static_cast<LRESULT>(func(                                           \
                        ::ATL::CWindow(reinterpret_cast<HWND>(wParam)),                            \
                        static_cast<UINT>(LOWORD(lParam)), static_cast<UINT>(HIWORD(lParam)))))
#define MSG_WM_GETMINMAXINFO(func)                                                                 \
  ATL_CRACKED_VOID(WM_GETMINMAXINFO, func(reinterpret_cast<LPMINMAXINFO>(lParam)))
#define MSG_WM_SETTINGCHANGE(func)                                                                 \
  ATL_CRACKED_VOID(WM_SETTINGCHANGE,                                                               \
                   func(static_cast<UINT>(wParam), reinterpret_cast<LPCWSTR>(lParam)))
#define MSG_WM_ACTIVATE(func)                                                                      \
  ATL_CRACKED_VOID(WM_ACTIVATE,                                                                    \
                   func(static_cast<UINT>(LOWORD(wParam)), static_cast<BOOL>(HIWORD(wParam)),      \
                        ::ATL::CWindow(reinterpret_cast<HWND>(lParam))))
#define MSG_WM_WINDOWPOSCHANGING(func)                                                             \
  ATL_CRACKED_VOID(WM_WINDOWPOSCHANGING, func(reinterpret_cast<LPWINDOWPOS>(lParam)))
#define MSG_WM_WINDOWPOSCHANGED(func)                                                              \
  ATL_CRACKED_VOID(WM_WINDOWPOSCHANGED, func(reinterpret_cast<LPWINDOWPOS>(lParam)))
#define MSG_WM_CONTEXTMENU(func)                                                                   \
  ATL_CRACKED_VOID(WM_CONTEXTMENU, func(::ATL::CWindow(reinterpret_cast<HWND>(wParam)),            \
                                        ::ATL::AtlPointFromLParam(lParam)))

// Mouse messages: the key flags and the point in client coordinates (screen for the non-client
// ones).
#define ATL_CRACKED_MOUSE(msg, func)                                                               \
  ATL_CRACKED_VOID(msg, func(static_cast<UINT>(wParam), ::ATL::AtlPointFromLParam(lParam)))
#define MSG_WM_MOUSEMOVE(func) ATL_CRACKED_MOUSE(WM_MOUSEMOVE, func)
#define MSG_WM_LBUTTONDOWN(func) ATL_CRACKED_MOUSE(WM_LBUTTONDOWN, func)
#define MSG_WM_LBUTTONUP(func) ATL_CRACKED_MOUSE(WM_LBUTTONUP, func)
#define MSG_WM_LBUTTONDBLCLK(func) ATL_CRACKED_MOUSE(WM_LBUTTONDBLCLK, func)
#define MSG_WM_RBUTTONDOWN(func) ATL_CRACKED_MOUSE(WM_RBUTTONDOWN, func)
#define MSG_WM_RBUTTONUP(func) ATL_CRACKED_MOUSE(WM_RBUTTONUP, func)
#define MSG_WM_NCLBUTTONDOWN(func) ATL_CRACKED_MOUSE(WM_NCLBUTTONDOWN, func)
#define MSG_WM_NCLBUTTONUP(func) ATL_CRACKED_MOUSE(WM_NCLBUTTONUP, func)
#define MSG_WM_NCLBUTTONDBLCLK(func) ATL_CRACKED_MOUSE(WM_NCLBUTTONDBLCLK, func)
#define MSG_WM_NCHITTEST(func)                                                                     \
  ATL_CRACKED_ENTRY(WM_NCHITTEST,                                                                  \
                    lResult = static_cast<LRESULT>(func(::ATL::AtlPointFromLParam(lParam))))

#define MSG_WM_NCACTIVATE(func)                                                                    \
  ATL_CRACKED_ENTRY(WM_NCACTIVATE, lResult = static_cast<LRESULT>(func(static_cast<BOOL>(wParam))))
#define MSG_WM_NCCALCSIZE(func)                                                                    \
  ATL_CRACKED_ENTRY(WM_NCCALCSIZE, lResult = func(static_cast<BOOL>(wParam), lParam))
#define MSG_WM_NCPAINT(func) ATL_CRACKED_VOID(WM_NCPAINT, func(reinterpret_cast<HRGN>(wParam)))

// Scroll messages: the scroll code, the thumb position and the scroll bar control (null for a
// window's own bar).
#define ATL_CRACKED_SCROLL(msg, func)                                                              \
  ATL_CRACKED_VOID(msg, func(static_cast<int>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)), \
                             reinterpret_cast<HWND>(lParam)))
#define MSG_WM_HSCROLL(func) ATL_CRACKED_SCROLL(WM_HSCROLL, func)
#define MSG_WM_VSCROLL(func) ATL_CRACKED_SCROLL(WM_VSCROLL, func)

// Key messages: the key, the repeat count and the remaining flags.
#define ATL_CRACKED_KEY(msg, func)                                                                 \
  ATL_CRACKED_VOID(msg, func(static_cast<UINT>(wParam), static_cast<UINT>(lParam & 0xFFFF),        \
                             static_cast<UINT>((lParam >> 16) & 0xFFFF)))
#define MSG_WM_KEYDOWN(func) ATL_CRACKED_KEY(WM_KEYDOWN, func)
#define MSG_WM_KEYUP(func) ATL_CRACKED_KEY(WM_KEYUP, func)
#define MSG_WM_CHAR(func) ATL_CRACKED_KEY(WM_CHAR, func)

#define MSG_WM_COMMAND(func)                                                                       \
  ATL_CRACKED_VOID(WM_COMMAND,                                                                     \
                   func(static_cast<UINT>(HIWORD(wParam)), static_cast<int>(LOWORD(wParam)),       \
                        ::ATL::CWindow(reinterpret_cast<HWND>(lParam))))
#define MSG_WM_NOTIFY(func)                                                                        \
  ATL_CRACKED_ENTRY(WM_NOTIFY,                                                                     \
                    lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam)))

#define MSG_WM_SETTEXT(func)                                                                       \
  ATL_CRACKED_ENTRY(WM_SETTEXT,                                                                    \
                    lResult = static_cast<LRESULT>(func(reinterpret_cast<LPCWSTR>(lParam))))
#define MSG_WM_SETICON(func)                                                                       \
  ATL_CRACKED_ENTRY(WM_SETICON, lResult = reinterpret_cast<LRESULT>(func(                          \
                                    static_cast<UINT>(wParam), reinterpret_cast<HICON>(lParam))))
#define MSG_WM_MOUSELEAVE(func) ATL_CRACKED_VOID(WM_MOUSELEAVE, func())
#define MSG_WM_SYSKEYDOWN(func) ATL_CRACKED_KEY(WM_SYSKEYDOWN, func)
#define MSG_WM_CAPTURECHANGED(func)                                                                \
  ATL_CRACKED_VOID(WM_CAPTURECHANGED, func(::ATL::CWindow(reinterpret_cast<HWND>(lParam))))
#define MSG_WM_QUERYNEWPALETTE(func)                                                               \
  ATL_CRACKED_ENTRY(WM_QUERYNEWPALETTE, lResult = static_cast<LRESULT>(func()))
#define MSG_WM_PALETTECHANGED(func)                                                                \
  ATL_CRACKED_VOID(WM_PALETTECHANGED, func(::ATL::CWindow(reinterpret_cast<HWND>(wParam))))

// Owner drawing, sent to the parent or reflected to the control (OCM_).
#define MSG_WM_DRAWITEM(func)                                                                      \
  ATL_CRACKED_VOID(WM_DRAWITEM,                                                                    \
                   func(static_cast<UINT>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define MSG_OCM_DRAWITEM(func)                                                                     \
  ATL_CRACKED_VOID(::ATL::OCM_DRAWITEM,                                                            \
                   func(static_cast<UINT>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define MSG_OCM_COMMAND(func)                                                                      \
  ATL_CRACKED_VOID(::ATL::OCM_COMMAND,                                                             \
                   func(static_cast<UINT>(HIWORD(wParam)), static_cast<int>(LOWORD(wParam)),       \
                        ::ATL::CWindow(reinterpret_cast<HWND>(lParam))))
