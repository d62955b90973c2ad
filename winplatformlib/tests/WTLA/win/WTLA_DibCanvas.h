// A 32-bit top-down DIB section that stands in for a window's or the screen's device context, so
// that a test can probe what was drawn: a pixel as stored (0x00RRGGBB), as a COLORREF, or all of
// them at once to compare before and after.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace docktest {

class DibCanvas {
public:
  DibCanvas(int width, int height, DWORD fill = 0) : m_Width(width), m_Height(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    m_DC = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &m_Bits, nullptr, 0);
    m_Old = SelectObject(m_DC, m_Bitmap);
    std::fill(pixels(), pixels() + count(), fill);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  ~DibCanvas() {
    SelectObject(m_DC, m_Old);
    DeleteObject(m_Bitmap);
    DeleteDC(m_DC);
  }

  HDC dc() const { return m_DC; }
  DWORD at(int x, int y) const {
    GdiFlush();
    return pixels()[static_cast<std::size_t>(y) * m_Width + x];
  }
  COLORREF colour(int x, int y) const {
    const DWORD p = at(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  std::vector<DWORD> snapshot() const {
    GdiFlush();
    return std::vector<DWORD>(pixels(), pixels() + count());
  }

private:
  DWORD* pixels() const { return static_cast<DWORD*>(m_Bits); }
  std::size_t count() const { return static_cast<std::size_t>(m_Width) * m_Height; }

  int m_Width;
  int m_Height;
  HDC m_DC;
  HBITMAP m_Bitmap;
  HGDIOBJ m_Old;
  void* m_Bits = nullptr;
};

}  // namespace docktest
