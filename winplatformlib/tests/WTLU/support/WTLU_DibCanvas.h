// A 32-bit top-down DIB section selected into a memory DC, for tests that draw and then probe
// pixels: filled with one colour first, so that what a drawing left untouched shows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>

class DibCanvas {
public:
  DibCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0)) : m_Width(width) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    m_DC = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_Bits),
                                nullptr, 0);
    m_Old = SelectObject(m_DC, m_Bitmap);
    const DWORD stored = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    std::fill(m_Bits, m_Bits + static_cast<std::size_t>(width) * height, stored);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  ~DibCanvas() {
    SelectObject(m_DC, m_Old);
    DeleteObject(m_Bitmap);
    DeleteDC(m_DC);
  }

  HDC dc() const { return m_DC; }
  // As a COLORREF.
  COLORREF at(int x, int y) const {
    GdiFlush();
    const DWORD p = m_Bits[static_cast<std::size_t>(y) * m_Width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

private:
  int m_Width;
  HDC m_DC;
  HBITMAP m_Bitmap;
  HGDIOBJ m_Old;
  DWORD* m_Bits = nullptr;
};
