// A 32-bit top-down DIB section selected into a memory DC, standing in for a window's or the
// screen's device context so that a test can probe what was drawn: filled with one colour first,
// so that what a drawing left untouched shows; read a pixel at a time, or all of them at once to
// compare before and after.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

class DibCanvas {
public:
  DibCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0))
      : m_Width(width),
        m_Height(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    m_DC = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_Bits),
                                nullptr, 0);
    m_Old = SelectObject(m_DC, m_Bitmap);
    const DWORD stored = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    std::fill(m_Bits, m_Bits + count(), stored);
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
  // Every pixel as stored.
  std::vector<DWORD> snapshot() const {
    GdiFlush();
    return std::vector<DWORD>(m_Bits, m_Bits + count());
  }

private:
  std::size_t count() const { return static_cast<std::size_t>(m_Width) * m_Height; }

  int m_Width;
  int m_Height;
  HDC m_DC;
  HBITMAP m_Bitmap;
  HGDIOBJ m_Old;
  DWORD* m_Bits = nullptr;
};
