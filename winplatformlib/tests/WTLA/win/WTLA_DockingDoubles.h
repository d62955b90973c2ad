// The application's side of the docking library, as the tests need it: a sheet-like frame with a
// client view and a status bar that records what reaches it, and three palettes that fill the
// library's hooks the way the application's measurement, navigation and separations palettes do.
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

#include "WTLA/win/DockingFrame.h"
#include "WTLA/win/DockingWindow.h"

namespace docktest {

// What the palettes tell their frame, with the palette's command in wParam.
constexpr UINT kPaletteHidden = WM_APP + 46;
constexpr UINT kPaletteActivated = WM_APP + 47;
constexpr UINT kPaletteDeactivated = WM_APP + 48;
constexpr WPARAM kMeasurementCommand = 10144;
// Posted to the frame to run its probe inside a modal loop.
constexpr UINT kRunProbe = WM_APP + 1;

// A message as the frame received it; m_Code is the dock code of a dock notification.
struct Received {
  UINT m_Message;
  WPARAM m_wParam;
  LPARAM m_lParam;
  int m_Code;
};

// A frame whose WM_CREATE makes its client view and status bar, then passes the message on so
// that the docking frame sets itself up once.
class Frame : public dockwins::CDockingFrameImpl<Frame> {
public:
  using CBase = dockwins::CDockingFrameImpl<Frame>;
  static constexpr int kStatusHeight = 20;

  std::vector<Received> m_Received;
  std::function<void()> m_Probe;

  BEGIN_MSG_MAP(Frame)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(kRunProbe, OnRunProbe)
  MESSAGE_RANGE_HANDLER(kPaletteHidden, kPaletteDeactivated, OnPaletteMessage)
  MESSAGE_HANDLER(dockwins::WMDF_DOCK, OnDockNotice)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  // The dock codes received so far, in order.
  std::vector<int> DockCodes() const {
    std::vector<int> codes;
    for (const Received& r : m_Received) {
      if (r.m_Message == dockwins::WMDF_DOCK) {
        codes.push_back(r.m_Code);
      }
    }
    return codes;
  }
  std::vector<Received> PaletteMessages() const {
    std::vector<Received> messages;
    std::copy_if(m_Received.begin(), m_Received.end(), std::back_inserter(messages),
                 [](const Received& r) { return r.m_Message != dockwins::WMDF_DOCK; });
    return messages;
  }

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_hWndClient = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                                     nullptr, instance, nullptr);
    m_hWndStatusBar = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100,
                                        kStatusHeight, m_hWnd, nullptr, instance, nullptr);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnRunProbe(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_Probe) {
      m_Probe();
    }
    return 0;
  }
  LRESULT OnPaletteMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    m_Received.push_back({uMsg, wParam, lParam, 0});
    return 0;
  }
  // Recorded, then handled by the docking frame.
  LRESULT OnDockNotice(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    m_Received.push_back(
        {uMsg, wParam, lParam, reinterpret_cast<const dockwins::DFDOCKHDR*>(lParam)->code});
    bHandled = FALSE;
    return 0;
  }
};

// The measurement palette: builds its rows on WM_CREATE, tells the frame of its activation and of
// its closing, erases in the face colour and keeps a stored minimum size.
class MeasurementPalette : public dockwins::CTitleDockingWindowImpl<MeasurementPalette> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<MeasurementPalette>;

  SIZE m_Minimum{120, 80};
  std::vector<HWND> m_Rows;

  BEGIN_MSG_MAP(MeasurementPalette)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  void GetMinMaxInfo(MINMAXINFO* info) { info->ptMinTrackSize = POINT{m_Minimum.cx, m_Minimum.cy}; }

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    for (int row = 0; row < 3; ++row) {
      m_Rows.push_back(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 4, 4 + 18 * row,
                                         100, 16, m_hWnd, nullptr, ::GetModuleHandleW(nullptr),
                                         nullptr));
    }
    return 0;
  }
  LRESULT OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    const UINT message = LOWORD(wParam) == WA_INACTIVE ? kPaletteDeactivated : kPaletteActivated;
    ::SendMessageW(m_hDockHost, message, kMeasurementCommand, lParam);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    const int saved = ::SaveDC(dc);
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    ::RestoreDC(dc, saved);
    return 1;
  }
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ::SendMessageW(m_hDockHost, kPaletteHidden, kMeasurementCommand,
                   reinterpret_cast<LPARAM>(m_hWnd));
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
};

// The navigation palette: its minimum is the thumbnail's preferred size while it shows a sheet,
// else at least the caption's thickness both ways.
class NavigationPalette : public dockwins::CTitleDockingWindowImpl<NavigationPalette> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<NavigationPalette>;

  bool m_HasSheet = false;
  SIZE m_Preferred{0, 0};

  BEGIN_MSG_MAP(NavigationPalette)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  void GetMinMaxInfo(MINMAXINFO* info) {
    if (m_HasSheet) {
      info->ptMinTrackSize = POINT{m_Preferred.cx, m_Preferred.cy};
      return;
    }
    const long thickness = dockwins::COutlookLikeCaption::Thickness();
    info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, thickness);
    info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, thickness);
  }
};

// The separations palette: its limits come from its panels while it shows a sheet; it takes the
// undock notice itself, lays its panels out for the floating width and clears its bar.
class SeparationsPalette : public dockwins::CTitleDockingWindowImpl<SeparationsPalette> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<SeparationsPalette>;

  bool m_HasSheet = false;
  SIZE m_PanelMinimum{150, 120};
  SIZE m_PanelMaximum{400, 900};
  std::vector<long> m_LaidOutWidths;

  BEGIN_MSG_MAP(SeparationsPalette)
  MESSAGE_HANDLER(dockwins::WMDF_NDOCKSTATECHANGED, OnDockStateNotice)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  void GetMinMaxInfo(MINMAXINFO* info) {
    if (m_HasSheet) {
      info->ptMinTrackSize = POINT{m_PanelMinimum.cx, m_PanelMinimum.cy};
      info->ptMaxTrackSize = POINT{m_PanelMaximum.cx, m_PanelMaximum.cy};
      return;
    }
    const long thickness = dockwins::COutlookLikeCaption::Thickness();
    info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, thickness);
  }

private:
  LRESULT OnDockStateNotice(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != 0) {
      bHandled = FALSE;
      return 0;
    }
    m_LaidOutWidths.push_back(m_rcUndock.right - m_rcUndock.left);
    m_hBar = nullptr;
    return 0;
  }
};

}  // namespace docktest
