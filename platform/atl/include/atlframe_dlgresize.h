#pragma once
// WTL's resizable dialogs: a table of controls with how each follows the dialog's size (grows,
// moves or stays centred on an axis), an optional size gripper and a minimum tracking size.
// Written from WTL's documented behaviour.
#include <windows.h>

#include <vector>

#include "atlwin.h"

namespace WTL {

constexpr DWORD DLSZ_SIZE_X = 0x00000001;
constexpr DWORD DLSZ_SIZE_Y = 0x00000002;
constexpr DWORD DLSZ_MOVE_X = 0x00000004;
constexpr DWORD DLSZ_MOVE_Y = 0x00000008;
constexpr DWORD DLSZ_REPAINT = 0x00000010;
constexpr DWORD DLSZ_CENTER_X = 0x00000020;
constexpr DWORD DLSZ_CENTER_Y = 0x00000040;

// The gripper's control id.
constexpr int ATL_IDW_DLGRESIZE_GRIPPER = 0x7FF0;

struct _AtlDlgResizeMap {
  int m_nCtlID;
  DWORD m_dwResizeFlags;
};

// T's resize table; it ends at id -1.
#define BEGIN_DLGRESIZE_MAP(thisClass)                                                             \
  static const ::WTL::_AtlDlgResizeMap* GetDlgResizeMap() {                                        \
    static const ::WTL::_AtlDlgResizeMap theMap[] = {
#define DLGRESIZE_CONTROL(id, flags) {(id), (flags)},
#define END_DLGRESIZE_MAP()                                                                        \
  { -1, 0 }                                                                                        \
  }                                                                                                \
  ;                                                                                                \
  return theMap;                                                                                   \
  }

// T chains this map for WM_SIZE and WM_GETMINMAXINFO, and calls DlgResize_Init from its
// WM_INITDIALOG, once its controls stand where the template put them.
template <class T>
class CDialogResize {
public:
  struct _AtlDlgResizeData {
    int m_nCtlID;
    DWORD m_dwResizeFlags;
    RECT m_rect;
  };

  std::vector<_AtlDlgResizeData> m_arrData;
  // The client size the controls' rectangles belong to.
  SIZE m_sizeDialog = {0, 0};
  // The smallest window size the user can drag to; -1 for none.
  POINT m_ptMinTrackSize = {-1, -1};
  bool m_bGripper = false;

  virtual ~CDialogResize() = default;

  BEGIN_MSG_MAP(CDialogResize)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  END_MSG_MAP()

  // Notes every control of the table where it stands now. With bUseMinTrackSize the window's
  // present size becomes its minimum; dwForceStyle is added to the dialog's style.
  void DlgResize_Init(bool bAddGripper = true, bool bUseMinTrackSize = true,
                      DWORD dwForceStyle = WS_CLIPCHILDREN) {
    T* self = static_cast<T*>(this);
    if (dwForceStyle != 0) {
      self->ModifyStyle(0, dwForceStyle);
    }
    RECT client = {};
    self->GetClientRect(&client);
    m_sizeDialog = {client.right - client.left, client.bottom - client.top};
    m_ptMinTrackSize = {-1, -1};
    if (bUseMinTrackSize) {
      RECT window = {};
      self->GetWindowRect(&window);
      m_ptMinTrackSize = {window.right - window.left, window.bottom - window.top};
    }
    m_arrData.clear();
    m_bGripper = false;
    if (bAddGripper && CreateGripper(client)) {
      m_bGripper = true;
      AddControl(ATL_IDW_DLGRESIZE_GRIPPER, DLSZ_MOVE_X | DLSZ_MOVE_Y);
    }
    for (const _AtlDlgResizeMap* entry = T::GetDlgResizeMap(); entry->m_nCtlID != -1; ++entry) {
      ATLASSERT(self->GetDlgItem(entry->m_nCtlID) != nullptr);
      AddControl(entry->m_nCtlID, entry->m_dwResizeFlags);
    }
  }

  // Places every control of the table for a client area of cx x cy.
  void DlgResize_UpdateLayout(int cx, int cy) {
    T* self = static_cast<T*>(this);
    const int dx = cx - m_sizeDialog.cx;
    const int dy = cy - m_sizeDialog.cy;
    for (const _AtlDlgResizeData& data : m_arrData) {
      const HWND control = self->GetDlgItem(data.m_nCtlID);
      if (control == nullptr) {
        continue;
      }
      const RECT r = Follow(data.m_rect, data.m_dwResizeFlags, dx, dy);
      ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      if (data.m_dwResizeFlags & DLSZ_REPAINT) {
        ::InvalidateRect(control, nullptr, TRUE);
      }
    }
  }

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    if (wParam == SIZE_MINIMIZED) {
      return 0;
    }
    T* self = static_cast<T*>(this);
    if (m_bGripper) {
      // A maximised window has no corner to drag.
      ::ShowWindow(self->GetDlgItem(ATL_IDW_DLGRESIZE_GRIPPER),
                   wParam == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    }
    DlgResize_UpdateLayout(LOWORD(lParam), HIWORD(lParam));
    return 0;
  }

  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    if (m_ptMinTrackSize.x == -1 && m_ptMinTrackSize.y == -1) {
      bHandled = FALSE;
      return 0;
    }
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = m_ptMinTrackSize;
    return 0;
  }

private:
  // One axis of a control: grows by the change, moves by it, or keeps its centre (half the
  // change). It never gets narrower than nothing.
  static void FollowAxis(LONG& low, LONG& high, bool size, bool move, bool center, int change) {
    if (move) {
      low += change;
      high += change;
    } else if (center) {
      low += change / 2;
      high += change / 2;
    }
    if (size) {
      high += change;
    }
    if (high < low) {
      high = low;
    }
  }

  static RECT Follow(RECT r, DWORD flags, int dx, int dy) {
    FollowAxis(r.left, r.right, flags & DLSZ_SIZE_X, flags & DLSZ_MOVE_X, flags & DLSZ_CENTER_X,
               dx);
    FollowAxis(r.top, r.bottom, flags & DLSZ_SIZE_Y, flags & DLSZ_MOVE_Y, flags & DLSZ_CENTER_Y,
               dy);
    return r;
  }

  void AddControl(int id, DWORD flags) {
    T* self = static_cast<T*>(this);
    const HWND control = self->GetDlgItem(id);
    if (control == nullptr) {
      return;
    }
    RECT r = {};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, self->m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
    m_arrData.push_back({id, flags, r});
  }

  // A size box in the bottom right corner, sized by the system.
  bool CreateGripper(const RECT& client) {
    T* self = static_cast<T*>(this);
    if (self->GetDlgItem(ATL_IDW_DLGRESIZE_GRIPPER) != nullptr) {
      return true;
    }
    const HWND gripper = ::CreateWindowExW(
        0, L"SCROLLBAR", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX | SBS_SIZEGRIP |
            SBS_SIZEBOXBOTTOMRIGHTALIGN,
        client.left, client.top, client.right - client.left, client.bottom - client.top,
        self->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ATL_IDW_DLGRESIZE_GRIPPER)),
        ::GetModuleHandleW(nullptr), nullptr);
    return gripper != nullptr;
  }
};

}  // namespace WTL

using namespace WTL;
