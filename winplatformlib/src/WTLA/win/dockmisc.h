// What the docking frame, its bars and its palettes share: the dock notification and its
// records, the item interface of a frame package and the docking settings.
#pragma once

#include <windows.h>

#include <cstdint>

#include "WTLA/DockSettingsColors.h"
#include "WTLA/WTLA_Assert.h"

namespace dockwins {

// The dock notification to a frame or bar (lParam: a record starting with DFDOCKHDR), and the
// notice to a palette that it was docked (wParam 1 + horizontal << 16) or undocked (wParam 0).
constexpr UINT WMDF_DOCK = WM_USER + 1;
constexpr UINT WMDF_NDOCKSTATECHANGED = WM_USER;

enum DockCode : int {
  DC_ACCEPT = 1,
  DC_DOCK = 2,
  DC_UNDOCK = 3,
  DC_GETDOCKPOSITION = 4,
  DC_SETDOCKPOSITION = 5,
  DC_GETMINDIST = 13,
  DC_ADJUSTDRAGRECT = 7,
  DC_REPLACE = 8,
};

struct DFDOCKHDR {
  HWND hWnd;
  HWND hBar;
  int code;
};

// Codes 1, 2 and 7; the rectangle is in screen coordinates.
struct DFDOCKRECT {
  DFDOCKHDR hdr;
  RECT rect;
  std::uint32_t flag;
};
constexpr std::uint32_t kDockInner = 0x80000000u;
constexpr std::uint32_t kDockAfterCentral = 0x1u;

// Codes 4 and 5.
struct DFDOCKPOS {
  DFDOCKHDR hdr;
  std::uint32_t dwDockSide;
  int nBar;
  float fPctPos;
  int nHeight;
  int nWidth;

  bool IsValid() const { return (dwDockSide & 0x8u) == 0; }
};
constexpr std::uint32_t kPosInner = 0x1u;
constexpr std::uint32_t kPosFromStart = 0x2u;
constexpr std::uint32_t kPosAlone = 0x4u;

// Code 8: the window that takes hdr.hWnd's place.
struct DFDOCKREPLACE {
  DFDOCKHDR hdr;
  HWND hWnd;
};

// An item of a frame package.
class IFrame {
public:
  virtual ~IFrame() = default;
  virtual HWND hwnd() const = 0;
  virtual bool AcceptDock(DFDOCKRECT* pHdr) = 0;
  // The item's minimum extent along the package's axis.
  virtual int MinDistance() const = 0;
  virtual void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const = 0;
  virtual HDWP DeferFramePos(HDWP hdwp, long x, long y, long x1, long y1) const {
    return ::DeferWindowPos(hdwp, hwnd(), nullptr, x, y, x1 - x, y1 - y,
                            SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

// The frame's client view: its handle read anew each time.
class CWindowPtrWrapper : public IFrame {
public:
  explicit CWindowPtrWrapper(const HWND* phWnd) : m_phWnd(phWnd) {}

  HWND hwnd() const override { return *m_phWnd; }
  bool AcceptDock(DFDOCKRECT*) override { return false; }
  int MinDistance() const override {
    MINMAXINFO info{};
    GetMinMaxInfo(&info);
    return static_cast<int>(info.ptMinTrackSize.x);
  }
  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override {
    if (hwnd() != nullptr) {
      ::SendMessageW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(pMinMaxInfo));
    }
  }
  HDWP DeferFramePos(HDWP hdwp, long x, long y, long x1, long y1) const override {
    return hwnd() != nullptr ? IFrame::DeferFramePos(hdwp, x, y, x1, y1) : hdwp;
  }

private:
  const HWND* m_phWnd;
};

}  // namespace dockwins
