// What the docking frame, its bars and its palettes share: the dock notification and its
// records, the item interface of a frame package and the docking settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

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

// The docking settings: made with the first frame (not before: GDI and the log must be ready),
// freed at exit.
class CDockingSettings {
public:
  static CDockingSettings& Get() {
    static CDockingSettings settings;
    return settings;
  }
  CDockingSettings(const CDockingSettings&) = delete;
  CDockingSettings& operator=(const CDockingSettings&) = delete;
  ~CDockingSettings() {
    if (m_vfont != nullptr) {
      ::DeleteObject(m_vfont);
    }
  }

  // Bit 0: the application decides; bit 1 ghost drag; bit 2 full-window drag.
  std::uint32_t m_Flags = 0;

  void Refresh() {
    if ((m_Flags & 1u) == 0) {
      BOOL full = FALSE;
      ::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
      m_Flags = (m_Flags & ~6u) | (full ? 4u : 2u);
    }
    HFONT stock = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (stock != m_hfont || m_vfont == nullptr) {
      LOGFONTW font{};
      ::GetObjectW(stock, sizeof(font), &font);
      font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
      font.lfEscapement = 2700;
      font.lfOrientation = 2700;
      HFONT vertical = ::CreateFontIndirectW(&font);
      DOCK_ASSERT(vertical);
      if (vertical != nullptr) {
        if (m_vfont != nullptr) {
          ::DeleteObject(m_vfont);
        }
        m_vfont = vertical;
      }
      m_hfont = stock;
    }
  }
  bool GhostDrag() const { return (m_Flags & 2u) != 0; }
  COLORREF LightFace() const { return LightFaceColor(::GetSysColor(COLOR_BTNFACE)); }
  COLORREF CaptionText() const {
    return CaptionTextColor(::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_GRAYTEXT));
  }
  HFONT HorizontalFont() const { return m_hfont; }
  HFONT VerticalFont() const { return m_vfont; }
  UINT Message() const { return m_message; }

private:
  CDockingSettings() {
    const std::wstring name = L"DockingBoxMessage-" + std::to_wstring(::GetCurrentProcessId());
    m_message = ::RegisterWindowMessageW(name.c_str());
    DOCK_ASSERT(m_message);
    Refresh();
  }

  HFONT m_hfont = nullptr;
  HFONT m_vfont = nullptr;
  UINT m_message = 0;
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
