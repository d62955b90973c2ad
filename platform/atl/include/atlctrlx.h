#pragma once
// The multi-pane status bar: panes named by ids, a default pane (ID_DEFAULT_PANE) that takes the
// width the fixed panes leave, widths kept across resizes. Written from WTL's documented
// behaviour.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "atlframe.h"
#include "atlwin.h"

namespace WTL {

constexpr int ID_DEFAULT_PANE = 0;

template <class T, class TBase = CStatusBarCtrl>
class CMultiPaneStatusBarCtrlImpl : public ::ATL::CWindowImpl<T, TBase> {
public:
  HWND Create(HWND hWndParent, LPCWSTR text, DWORD style = ATL_SIMPLE_STATUSBAR_STYLE,
              UINT id = ATL_IDW_STATUS_BAR) {
    RECT none = {0, 0, 0, 0};
    return ::ATL::CWindowImpl<T, TBase>::Create(hWndParent, none, text, style, 0, id);
  }
  HWND Create(HWND hWndParent, UINT textId = ATL_IDS_IDLEMESSAGE,
              DWORD style = ATL_SIMPLE_STATUSBAR_STYLE, UINT id = ATL_IDW_STATUS_BAR) {
    wchar_t text[128] = {};
    ::ATL::AtlLoadString(textId, text, 128);
    return Create(hWndParent, text, style, id);
  }

  // The panes, left to right, by id. A fixed pane is as wide as its id's string (plus the gap
  // between parts); with setText each pane shows that string at first.
  BOOL SetPanes(const int* paneIds, int count, bool setText = true) {
    if (paneIds == nullptr || count <= 0) {
      return FALSE;
    }
    std::vector<int> widths(static_cast<std::size_t>(count), 0);
    std::vector<std::wstring> texts(static_cast<std::size_t>(count));
    const HDC dc = ::GetDC(this->m_hWnd);
    const auto font = reinterpret_cast<HFONT>(this->SendMessage(WM_GETFONT));
    const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    for (int i = 0; i < count; ++i) {
      wchar_t text[128] = {};
      const int length =
          paneIds[i] == ID_DEFAULT_PANE ? 0 : ::ATL::AtlLoadString(paneIds[i], text, 128);
      texts[static_cast<std::size_t>(i)] = text;
      SIZE extent = {};
      if (length > 0 && ::GetTextExtentPoint32W(dc, text, length, &extent)) {
        widths[static_cast<std::size_t>(i)] = extent.cx + Gap();
      }
    }
    if (oldFont != nullptr) {
      ::SelectObject(dc, oldFont);
    }
    ::ReleaseDC(this->m_hWnd, dc);
    m_Panes.assign(paneIds, paneIds + count);
    m_Widths.swap(widths);
    UpdatePanesLayout();
    if (setText) {
      for (int i = 0; i < count; ++i) {
        if (paneIds[i] != ID_DEFAULT_PANE) {
          this->SetText(i, texts[static_cast<std::size_t>(i)].c_str());
        }
      }
    }
    return TRUE;
  }

  // -1 for an id that names no pane.
  int GetPaneIndexFromID(int paneId) const {
    for (std::size_t i = 0; i < m_Panes.size(); ++i) {
      if (m_Panes[i] == paneId) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  // The pane's width becomes cxWidth plus the gap between parts.
  BOOL SetPaneWidth(int paneId, int cxWidth) {
    const int index = GetPaneIndexFromID(paneId);
    if (index < 0 || paneId == ID_DEFAULT_PANE || cxWidth < 0) {
      return FALSE;
    }
    m_Widths[static_cast<std::size_t>(index)] = cxWidth + Gap();
    UpdatePanesLayout();
    return TRUE;
  }
  BOOL SetPaneText(int paneId, LPCWSTR text, int type = 0) {
    const int index = GetPaneIndexFromID(paneId);
    return index >= 0 && this->SetText(index, text, type);
  }
  BOOL GetPaneText(int paneId, wchar_t* text, int size) const {
    const int index = GetPaneIndexFromID(paneId);
    if (index < 0 || text == nullptr || size <= 0) {
      return FALSE;
    }
    text[0] = L'\0';
    return this->GetText(index, text, size) < size;
  }
  BOOL SetPaneIcon(int paneId, HICON icon) {
    const int index = GetPaneIndexFromID(paneId);
    return index >= 0 && this->SetIcon(index, icon);
  }
  HICON GetPaneIcon(int paneId) const {
    const int index = GetPaneIndexFromID(paneId);
    return index >= 0 ? this->GetIcon(index) : nullptr;
  }

  // The default pane takes what the fixed panes and the size grip leave.
  void UpdatePanesLayout() {
    if (m_Panes.empty()) {
      return;
    }
    RECT client = {};
    this->GetClientRect(&client);
    int available = client.right - client.left;
    if ((this->GetStyle() & SBARS_SIZEGRIP) != 0) {
      available -= ::GetSystemMetrics(SM_CXVSCROLL);
    }
    int fixed = 0;
    for (std::size_t i = 0; i < m_Panes.size(); ++i) {
      fixed += m_Panes[i] == ID_DEFAULT_PANE ? 0 : m_Widths[i];
    }
    std::vector<int> edges(m_Panes.size());
    int right = 0;
    for (std::size_t i = 0; i < m_Panes.size(); ++i) {
      right += m_Panes[i] == ID_DEFAULT_PANE ? std::max(0, available - fixed) : m_Widths[i];
      edges[i] = right;
    }
    this->SetParts(static_cast<int>(edges.size()), edges.data());
  }

  BEGIN_MSG_MAP(CMultiPaneStatusBarCtrlImpl)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(CUpdateUIBase::PaneIndexMessage(), OnPaneIndex)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    const LRESULT result = this->DefWindowProc();
    UpdatePanesLayout();
    return result;
  }

  // Lets the command-state updater find a pane by its id.
  LRESULT OnPaneIndex(UINT, WPARAM wParam, LPARAM, BOOL&) {
    return GetPaneIndexFromID(static_cast<int>(wParam)) + 1;
  }

private:
  int Gap() const {
    int borders[3] = {};
    return this->GetBorders(borders) ? borders[2] : 0;
  }

  std::vector<int> m_Panes;
  std::vector<int> m_Widths;
};

class CMultiPaneStatusBarCtrl : public CMultiPaneStatusBarCtrlImpl<CMultiPaneStatusBarCtrl> {};

}  // namespace WTL
