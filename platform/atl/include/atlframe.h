#pragma once
// The project's own stand-in for WTL's frame window and command-state updater: a frame made from
// its common resources (title, menu, accelerators, icon), its tool bar, rebar and status bar, the
// layout that gives the client view what the bars leave, and CUpdateUI, which carries command
// states to menus, tool bars, status panes and child windows. Written from WTL's documented
// behaviour.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "atlbase.h"
#include "atlctrls_bars.h"
#include "atlwin.h"

namespace WTL {

constexpr UINT ATL_IDW_TOOLBAR = 0xE800;
constexpr UINT ATL_IDW_STATUS_BAR = 0xE801;
constexpr UINT ATL_IDW_COMMAND_BAR = 0xE802;
constexpr UINT ATL_IDW_BAND_FIRST = 0xEB00;
constexpr UINT ATL_IDS_IDLEMESSAGE = 0xE001;
// The resource type of a tool bar's button list.
constexpr WORD ATL_RT_TOOLBAR = 241;
// A frame's title from its string resource holds at most this many characters.
constexpr int ATL_FRAME_TITLE_MAX = 256;

constexpr DWORD ATL_SIMPLE_TOOLBAR_STYLE =
    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS;
constexpr DWORD ATL_SIMPLE_TOOLBAR_PANE_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                                WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE |
                                                CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
constexpr DWORD ATL_SIMPLE_REBAR_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                         RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE;
constexpr DWORD ATL_SIMPLE_REBAR_NOBORDER_STYLE = ATL_SIMPLE_REBAR_STYLE | CCS_NODIVIDER;
constexpr DWORD ATL_SIMPLE_STATUSBAR_STYLE =
    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP;

// A frame's window class also names its common resources: the icon here, and the title, menu
// and accelerators that CreateEx takes. The icons come through the module object's resource
// search when the class is first registered, so a language library may bring its own.
struct CFrameWndClassInfo : ::ATL::CWndClassInfo {
  UINT m_uCommonResourceID;

  ATOM Register(WNDPROC* superWindowProc) {
    if (m_atom == 0 && m_uCommonResourceID != 0 && m_wc.hIcon == nullptr) {
      const LPCWSTR name = MAKEINTRESOURCEW(m_uCommonResourceID);
      m_wc.hIcon =
          static_cast<HICON>(::ATL::AtlLoadImage(name, IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                 ::GetSystemMetrics(SM_CYICON), LR_SHARED));
      m_wc.hIconSm =
          static_cast<HICON>(::ATL::AtlLoadImage(name, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    return ::ATL::CWndClassInfo::Register(superWindowProc);
  }
};

#define DECLARE_FRAME_WND_CLASS_EX(WndClassName, uCommonResourceID, style, bkgnd)                  \
  static ::WTL::CFrameWndClassInfo& GetWndClassInfo() {                                            \
    static ::WTL::CFrameWndClassInfo wc = {                                                        \
        {{sizeof(WNDCLASSEXW), static_cast<UINT>(style), StartWindowProc, 0, 0, nullptr, nullptr,  \
          nullptr, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((bkgnd) + 1)), nullptr,           \
          WndClassName, nullptr},                                                                  \
         nullptr,                                                                                  \
         nullptr,                                                                                  \
         0,                                                                                        \
         L""},                                                                                     \
        static_cast<UINT>(uCommonResourceID)};                                                     \
    return wc;                                                                                     \
  }

#define DECLARE_FRAME_WND_CLASS(WndClassName, uCommonResourceID)                                   \
  DECLARE_FRAME_WND_CLASS_EX(WndClassName, uCommonResourceID,                                      \
                             CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

// The button list of a tool bar resource (type 241): words version 1, button width and height,
// count, then the command ids, where 0 stands for a separator. Empty when the resource is
// missing, of another version, or shorter than its count says.
struct CToolBarResource {
  HINSTANCE m_Module = nullptr;
  WORD m_Width = 0;
  WORD m_Height = 0;
  std::vector<WORD> m_Items;

  bool Load(UINT resourceId) {
    const LPCWSTR name = MAKEINTRESOURCEW(resourceId);
    const LPCWSTR type = MAKEINTRESOURCEW(ATL_RT_TOOLBAR);
    const HINSTANCE module = ::ATL::AtlFindResourceInstance(name, type);
    const HRSRC found = module ? ::FindResourceW(module, name, type) : nullptr;
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    const DWORD bytes = found ? ::SizeofResource(module, found) : 0;
    constexpr DWORD kHeaderBytes = 4 * sizeof(WORD);
    if (words == nullptr || bytes < kHeaderBytes || words[0] != 1 ||
        static_cast<DWORD>(words[3]) > (bytes - kHeaderBytes) / sizeof(WORD)) {
      return false;
    }
    m_Module = module;
    m_Width = words[1];
    m_Height = words[2];
    m_Items.assign(words + 4, words + 4 + words[3]);
    return true;
  }
};

template <class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CFrameWinTraits>
class CFrameWindowImplBase : public ::ATL::CWindowImplBaseT<TBase, TWinTraits> {
public:
  HWND m_hWndToolBar = nullptr;
  HWND m_hWndStatusBar = nullptr;
  HWND m_hWndClient = nullptr;
  // The frame's accelerators (table uCommonResourceID), loaded by CreateEx; shared, never freed.
  HACCEL m_hAccel = nullptr;

  // A tool bar from the tool bar resource resourceId, its images from bitmap bitmapId (the same
  // id when 0) found through the resource search. Null when the resource cannot be read.
  static HWND CreateSimpleToolBarCtrl(HWND hWndParent, UINT resourceId,
                                      BOOL bInitialSeparator = FALSE,
                                      DWORD style = ATL_SIMPLE_TOOLBAR_STYLE,
                                      UINT id = ATL_IDW_TOOLBAR, UINT bitmapId = 0) {
    CToolBarResource resource;
    if (!resource.Load(resourceId)) {
      return nullptr;
    }
    std::vector<TBBUTTON> buttons;
    if (bInitialSeparator) {
      buttons.push_back(Separator());
    }
    int image = 0;
    for (const WORD command : resource.m_Items) {
      if (command == 0) {
        buttons.push_back(Separator());
      } else {
        TBBUTTON button = {};
        button.iBitmap = image++;
        button.idCommand = command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        buttons.push_back(button);
      }
    }
    const HWND toolBar =
        ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, hWndParent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          ::ATL::_AtlBaseModule.GetModuleInstance(), nullptr);
    if (toolBar == nullptr) {
      return nullptr;
    }
    ::SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(resource.m_Width, resource.m_Height));
    const LPCWSTR bitmapName = MAKEINTRESOURCEW(bitmapId != 0 ? bitmapId : resourceId);
    // The tool bar loads the bitmap itself from the module that holds it, and owns it.
    TBADDBITMAP bitmap = {::ATL::AtlFindResourceInstance(bitmapName, RT_BITMAP),
                          reinterpret_cast<UINT_PTR>(bitmapName)};
    if (bitmap.hInst != nullptr && image > 0) {
      ::SendMessageW(toolBar, TB_ADDBITMAP, static_cast<WPARAM>(image),
                     reinterpret_cast<LPARAM>(&bitmap));
    }
    if (!buttons.empty()) {
      ::SendMessageW(toolBar, TB_ADDBUTTONSW, buttons.size(),
                     reinterpret_cast<LPARAM>(buttons.data()));
    }
    ::SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
    return toolBar;
  }

  // A rebar; one that does not accept its bar info is destroyed and null is returned.
  static HWND CreateSimpleReBarCtrl(HWND hWndParent, DWORD style = ATL_SIMPLE_REBAR_STYLE,
                                    UINT id = ATL_IDW_TOOLBAR) {
    const HWND reBar =
        ::CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100,
                          hWndParent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          ::ATL::_AtlBaseModule.GetModuleInstance(), nullptr);
    if (reBar == nullptr) {
      return nullptr;
    }
    REBARINFO info = {sizeof(REBARINFO), 0, nullptr};
    if (!::SendMessageW(reBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
      ::DestroyWindow(reBar);
      return nullptr;
    }
    return reBar;
  }

  // The rebar becomes the frame's tool bar, so the layout leaves it its height.
  BOOL CreateSimpleReBar(DWORD style = ATL_SIMPLE_REBAR_STYLE, UINT id = ATL_IDW_TOOLBAR) {
    m_hWndToolBar = CreateSimpleReBarCtrl(this->m_hWnd, style, id);
    return m_hWndToolBar != nullptr;
  }

  // Adds hWndBand as a band of the rebar. Band id 0 takes ATL_IDW_BAND_FIRST + the band count.
  static BOOL AddSimpleReBarBandCtrl(HWND hWndReBar, HWND hWndBand, int bandId = 0,
                                     LPCWSTR title = nullptr, BOOL bNewRow = FALSE, int cxWidth = 0,
                                     BOOL bFullWidthAlways = FALSE) {
    CReBarCtrl reBar(hWndReBar);
    SIZE child = ChildSize(hWndBand);
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle =
        RBBS_CHILDEDGE | (bNewRow ? RBBS_BREAK : 0) | (bFullWidthAlways ? RBBS_FIXEDSIZE : 0);
    if (title != nullptr) {
      band.fMask |= RBBIM_TEXT;
      band.lpText = const_cast<LPWSTR>(title);
    }
    band.hwndChild = hWndBand;
    band.wID = bandId != 0 ? static_cast<UINT>(bandId) : ATL_IDW_BAND_FIRST + reBar.GetBandCount();
    band.cxMinChild = bFullWidthAlways ? child.cx : 0;
    band.cyMinChild = child.cy;
    band.cx = cxWidth != 0 ? cxWidth : child.cx;
    return reBar.InsertBand(-1, &band);
  }
  BOOL AddSimpleReBarBand(HWND hWndBand, LPCWSTR title = nullptr, BOOL bNewRow = FALSE,
                          int cxWidth = 0, BOOL bFullWidthAlways = FALSE) {
    return AddSimpleReBarBandCtrl(m_hWndToolBar, hWndBand, 0, title, bNewRow, cxWidth,
                                  bFullWidthAlways);
  }

  // A one-part status bar showing text.
  BOOL CreateSimpleStatusBar(LPCWSTR text, DWORD style = ATL_SIMPLE_STATUSBAR_STYLE,
                             UINT id = ATL_IDW_STATUS_BAR) {
    m_hWndStatusBar = ::CreateStatusWindowW(static_cast<LONG>(style), text, this->m_hWnd, id);
    return m_hWndStatusBar != nullptr;
  }
  BOOL CreateSimpleStatusBar(UINT textId = ATL_IDS_IDLEMESSAGE,
                             DWORD style = ATL_SIMPLE_STATUSBAR_STYLE,
                             UINT id = ATL_IDW_STATUS_BAR) {
    wchar_t text[128] = {};
    ::ATL::AtlLoadString(textId, text, 128);
    return CreateSimpleStatusBar(text, style, id);
  }

  // Takes the visible bars' heights off rect: the tool bar's from the top, the status bar's from
  // the bottom. With bResizeBars they are first told to fit the frame again (WM_SIZE).
  void UpdateBarsPosition(RECT& rect, BOOL bResizeBars = TRUE) {
    if (IsVisibleWindow(m_hWndToolBar)) {
      if (bResizeBars) {
        ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
        ::InvalidateRect(m_hWndToolBar, nullptr, TRUE);
      }
      RECT bar;
      ::GetWindowRect(m_hWndToolBar, &bar);
      rect.top += bar.bottom - bar.top;
    }
    if (IsVisibleWindow(m_hWndStatusBar)) {
      if (bResizeBars) {
        ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
      }
      RECT bar;
      ::GetWindowRect(m_hWndStatusBar, &bar);
      rect.bottom -= bar.bottom - bar.top;
    }
  }

protected:
  static bool IsVisibleWindow(HWND hWnd) {
    return hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  }

private:
  static TBBUTTON Separator() {
    TBBUTTON button = {};
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_SEP;
    return button;
  }

  // A tool bar's band is as wide as its buttons reach and as high as a button; another window's
  // is its own size.
  static SIZE ChildSize(HWND hWnd) {
    wchar_t className[32] = {};
    ::GetClassNameW(hWnd, className, 32);
    RECT r = {};
    if (std::wstring(className) == TOOLBARCLASSNAMEW) {
      const int count = static_cast<int>(::SendMessageW(hWnd, TB_BUTTONCOUNT, 0, 0));
      if (count > 0 && ::SendMessageW(hWnd, TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
                                      reinterpret_cast<LPARAM>(&r))) {
        return {r.right, r.bottom - r.top};
      }
    }
    ::GetWindowRect(hWnd, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
};

// T may replace UpdateLayout; the map calls T's. A derived map that handles WM_SETFOCUS before
// chaining here bypasses the focus hand-over to the client view.
template <class T, class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CFrameWinTraits>
class CFrameWindowImpl : public CFrameWindowImplBase<TBase, TWinTraits> {
public:
  static CFrameWndClassInfo& GetWndClassInfo() {
    static CFrameWndClassInfo wc = {
        {{sizeof(WNDCLASSEXW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
          CFrameWindowImpl::StartWindowProc, 0, 0, nullptr, nullptr, nullptr,
          reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, nullptr,
          nullptr},
         nullptr,
         nullptr,
         0,
         L""},
        0};
    return wc;
  }

  HWND Create(HWND hWndParent = nullptr, ::ATL::_U_RECT rect = nullptr,
              LPCWSTR windowName = nullptr, DWORD style = 0, DWORD exStyle = 0,
              HMENU hMenu = nullptr, LPVOID createParam = nullptr) {
    const ATOM atom = T::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
    return ::ATL::CWindowImplBaseT<TBase, TWinTraits>::Create(
        hWndParent, rect, windowName, T::GetWndStyle(style), T::GetWndExStyle(exStyle), hMenu, atom,
        createParam);
  }

  // A frame made from the class's common resources: the title from its string (at most
  // ATL_FRAME_TITLE_MAX characters), its menu and its accelerators (m_hAccel), each from the
  // first module of the resource search that holds it.
  HWND CreateEx(HWND hWndParent = nullptr, ::ATL::_U_RECT rect = nullptr, DWORD style = 0,
                DWORD exStyle = 0, LPVOID createParam = nullptr) {
    const UINT resourceId = T::GetWndClassInfo().m_uCommonResourceID;
    wchar_t title[ATL_FRAME_TITLE_MAX + 1] = {};
    ::ATL::AtlLoadString(resourceId, title, ATL_FRAME_TITLE_MAX + 1);
    this->m_hAccel = ::ATL::AtlLoadAccelerators(MAKEINTRESOURCEW(resourceId));
    const HMENU menu = ::ATL::AtlLoadMenu(MAKEINTRESOURCEW(resourceId));
    const HWND hWnd = Create(hWndParent, rect, title, style, exStyle, menu, createParam);
    // The window owns its menu; a window that was not made leaves it to us.
    if (hWnd == nullptr && menu != nullptr) {
      ::DestroyMenu(menu);
    }
    return hWnd;
  }

  // The client view takes the client area the bars leave.
  void UpdateLayout(BOOL bResizeBars = TRUE) {
    RECT rect;
    this->GetClientRect(&rect);
    this->UpdateBarsPosition(rect, bResizeBars);
    if (this->m_hWndClient != nullptr) {
      ::SetWindowPos(this->m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  BEGIN_MSG_MAP(CFrameWindowImpl)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) {
      static_cast<T*>(this)->UpdateLayout();
    }
    bHandled = FALSE;
    return 1;
  }

  // The client view covers the whole background.
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (this->m_hWndClient == nullptr) {
      bHandled = FALSE;
    }
    return 1;
  }

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (this->m_hWndClient != nullptr && ::IsWindowVisible(this->m_hWndClient)) {
      ::SetFocus(this->m_hWndClient);
    }
    bHandled = FALSE;
    return 1;
  }
};

// Command states. A class lists its commands with where each shows (UPDATE_ELEMENT) and sets
// their states at any time; menus take them when their popup opens (WM_INITMENUPOPUP, nested
// popups too), tool bars, status panes and child windows when the owner's idle handler calls
// the UIUpdate functions, which touch only what changed since.
enum : WORD {
  UPDUI_MENUPOPUP = 0x0001,
  UPDUI_MENUBAR = 0x0002,
  UPDUI_CHILDWINDOW = 0x0004,
  UPDUI_TOOLBAR = 0x0008,
  UPDUI_STATUSBAR = 0x0010
};

struct _AtlUpdateUIMap {
  WORD m_nID;
  WORD m_wType;
};

#define BEGIN_UPDATE_UI_MAP(thisClass)                                                             \
  static const ::WTL::_AtlUpdateUIMap* GetUpdateUIMap() {                                          \
    static const ::WTL::_AtlUpdateUIMap theMap[] = {
#define UPDATE_ELEMENT(nID, wType) {static_cast<WORD>(nID), static_cast<WORD>(wType)},
#define END_UPDATE_UI_MAP()                                                                        \
  { 0, 0 }                                                                                         \
  }                                                                                                \
  ;                                                                                                \
  return theMap;                                                                                   \
  }

class CUpdateUIBase {
public:
  // UIGetState's answer.
  static constexpr DWORD UPDUI_ENABLED = 0x0000;
  static constexpr DWORD UPDUI_DISABLED = 0x0100;
  static constexpr DWORD UPDUI_CHECKED = 0x0200;
  static constexpr DWORD UPDUI_CHECKED2 = 0x0400;
  static constexpr DWORD UPDUI_RADIO = 0x0800;
  static constexpr DWORD UPDUI_TEXT = 0x2000;
  static constexpr DWORD UPDUI_ICON = 0x4000;

  explicit CUpdateUIBase(const _AtlUpdateUIMap* map) {
    for (; map != nullptr && map->m_nID != 0; ++map) {
      m_Elements[map->m_nID].m_Types = map->m_wType;
    }
  }

  BOOL UIAddToolBar(HWND hWnd) { return AddContainer(m_ToolBars, hWnd); }
  BOOL UIAddStatusBar(HWND hWnd) { return AddContainer(m_StatusBars, hWnd); }
  BOOL UIAddChildWindowContainer(HWND hWnd) { return AddContainer(m_ChildContainers, hWnd); }

  BOOL UIEnable(int id, BOOL enable, BOOL force = FALSE) {
    return Change(id, force, [enable](Element& e) { e.m_Disabled = !enable; });
  }
  // 0 unchecked, 1 checked, 2 indeterminate.
  BOOL UISetCheck(int id, int check, BOOL force = FALSE) {
    return Change(id, force, [check](Element& e) { e.m_Check = check; });
  }
  BOOL UISetCheck(int id, bool check, BOOL force = FALSE) {
    return UISetCheck(id, check ? 1 : 0, force);
  }
  // A radio check: a menu item shows a bullet.
  BOOL UISetRadio(int id, BOOL radio, BOOL force = FALSE) {
    return Change(id, force, [radio](Element& e) {
      e.m_Radio = radio != FALSE;
      e.m_Check = radio ? 1 : 0;
    });
  }
  // A menu item's text, or a status pane's.
  BOOL UISetText(int id, LPCWSTR text, BOOL force = FALSE) {
    return Change(id, force, [text](Element& e) {
      e.m_HasText = true;
      e.m_Text = text ? text : L"";
    });
  }
  // A status pane's icon; the caller keeps it alive while it shows.
  BOOL UISetIcon(int id, HICON icon, BOOL force = FALSE) {
    return Change(id, force, [icon](Element& e) {
      e.m_HasIcon = true;
      e.m_Icon = icon;
    });
  }

  DWORD UIGetState(int id) const {
    const auto found = m_Elements.find(static_cast<UINT>(id));
    if (found == m_Elements.end()) {
      return UPDUI_ENABLED;
    }
    const Element& e = found->second;
    return (e.m_Disabled ? UPDUI_DISABLED : 0) | (e.m_Check == 1 ? UPDUI_CHECKED : 0) |
           (e.m_Check == 2 ? UPDUI_CHECKED2 : 0) | (e.m_Radio ? UPDUI_RADIO : 0) |
           (e.m_HasText ? UPDUI_TEXT : 0) | (e.m_HasIcon ? UPDUI_ICON : 0);
  }

  // The states of every command in popup and the popups inside it.
  void UIUpdateMenuPopup(HMENU popup) {
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
      const HMENU nested = ::GetSubMenu(popup, i);
      if (nested != nullptr) {
        UIUpdateMenuPopup(nested);
        continue;
      }
      const auto found = m_Elements.find(::GetMenuItemID(popup, i));
      if (found != m_Elements.end() && (found->second.m_Types & UPDUI_MENUPOPUP) != 0) {
        ApplyToMenuItem(popup, i, found->second);
      }
    }
  }

  BOOL UIUpdateToolBar(BOOL force = FALSE) {
    return Apply(UPDUI_TOOLBAR, force, m_ToolBars, [](HWND bar, UINT id, const Element& e) {
      CToolBarCtrl toolBar(bar);
      toolBar.EnableButton(static_cast<int>(id), !e.m_Disabled);
      toolBar.CheckButton(static_cast<int>(id), e.m_Check != 0);
    });
  }

  // Status elements name their pane by its id; a status bar that does not map ids to panes
  // takes the id as the pane's index.
  BOOL UIUpdateStatusBar(BOOL force = FALSE) {
    return Apply(UPDUI_STATUSBAR, force, m_StatusBars, [](HWND bar, UINT id, const Element& e) {
      const LRESULT mapped = ::SendMessageW(bar, PaneIndexMessage(), id, 0);
      const int pane = mapped > 0 ? static_cast<int>(mapped - 1) : static_cast<int>(id);
      CStatusBarCtrl statusBar(bar);
      if (e.m_HasText) {
        statusBar.SetText(pane, e.m_Text.c_str());
      }
      if (e.m_HasIcon) {
        statusBar.SetIcon(pane, e.m_Icon);
      }
    });
  }

  BOOL UIUpdateChildWindows(BOOL force = FALSE) {
    return Apply(UPDUI_CHILDWINDOW, force, m_ChildContainers,
                 [](HWND container, UINT id, const Element& e) {
                   const HWND child = ::GetDlgItem(container, static_cast<int>(id));
                   if (child == nullptr) {
                     return;
                   }
                   ::EnableWindow(child, !e.m_Disabled);
                   const LRESULT code = ::SendMessageW(child, WM_GETDLGCODE, 0, 0);
                   if ((code & DLGC_BUTTON) != 0) {
                     ::SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(e.m_Check), 0);
                   }
                   if (e.m_HasText) {
                     ::SetWindowTextW(child, e.m_Text.c_str());
                   }
                 });
  }

  // A status bar that maps pane ids to panes answers this message with the pane's index + 1,
  // 0 for an id it does not know.
  static UINT PaneIndexMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"WTL_StatusBarPaneIndexFromID");
    return message;
  }

  // Chained from the owner's map: popups take the states as they open, then the system goes on.
  BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult, DWORD = 0) {
    if (uMsg == WM_INITMENUPOPUP) {
      UIUpdateMenuPopup(reinterpret_cast<HMENU>(wParam));
      lResult = 0;
    }
    return FALSE;
  }

private:
  struct Element {
    WORD m_Types = 0;
    bool m_Disabled = false;
    int m_Check = 0;
    bool m_Radio = false;
    bool m_HasText = false;
    std::wstring m_Text;
    bool m_HasIcon = false;
    HICON m_Icon = nullptr;
    // The kinds of container that have not yet shown the latest state.
    WORD m_Pending = 0;
  };

  static BOOL AddContainer(std::vector<HWND>& containers, HWND hWnd) {
    if (hWnd == nullptr) {
      return FALSE;
    }
    containers.push_back(hWnd);
    return TRUE;
  }

  template <class Edit>
  BOOL Change(int id, BOOL force, Edit&& edit) {
    const auto found = m_Elements.find(static_cast<UINT>(id));
    if (found == m_Elements.end()) {
      return FALSE;
    }
    Element& e = found->second;
    const DWORD before = UIGetState(id);
    const std::wstring textBefore = e.m_Text;
    const HICON iconBefore = e.m_Icon;
    edit(e);
    if (force || before != UIGetState(id) || textBefore != e.m_Text || iconBefore != e.m_Icon) {
      e.m_Pending = e.m_Types;
    }
    return TRUE;
  }

  template <class Show>
  BOOL Apply(WORD type, BOOL force, const std::vector<HWND>& containers, Show&& show) {
    for (auto& [id, e] : m_Elements) {
      if ((e.m_Types & type) == 0 || (!force && (e.m_Pending & type) == 0)) {
        continue;
      }
      for (const HWND container : containers) {
        if (::IsWindow(container)) {
          show(container, id, e);
        }
      }
      e.m_Pending = static_cast<WORD>(e.m_Pending & ~type);
    }
    return TRUE;
  }

  static void ApplyToMenuItem(HMENU popup, int position, const Element& e) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_FTYPE;
    ::GetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &item);
    item.fState = (e.m_Disabled ? MFS_DISABLED : MFS_ENABLED) |
                  (e.m_Check != 0 ? MFS_CHECKED : MFS_UNCHECKED) | (item.fState & MFS_DEFAULT);
    item.fType = e.m_Radio ? (item.fType | MFT_RADIOCHECK) : (item.fType & ~MFT_RADIOCHECK);
    std::wstring text = e.m_Text;
    if (e.m_HasText) {
      item.fMask |= MIIM_STRING;
      item.dwTypeData = text.data();
    }
    ::SetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &item);
  }

  std::map<UINT, Element> m_Elements;
  std::vector<HWND> m_ToolBars;
  std::vector<HWND> m_StatusBars;
  std::vector<HWND> m_ChildContainers;
};

// T lists its commands with BEGIN_UPDATE_UI_MAP and chains CUpdateUI<T> in its message map.
template <class T>
class CUpdateUI : public CUpdateUIBase {
public:
  CUpdateUI() : CUpdateUIBase(T::GetUpdateUIMap()) {}
};

}  // namespace WTL

#include "atlframe_dlgresize.h"
#include "atlframe_ownerdraw.h"

using namespace WTL;
