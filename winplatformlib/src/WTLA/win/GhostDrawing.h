// Inverted drawing that a second call takes back: the splitter's ghost bar and the palette drag's
// outline, both through a 50 % checkerboard.
#pragma once

#include <windows.h>

namespace dockwins {

// Inverts rc on dc through the checkerboard.
inline void DrawGhostBar(HDC dc, const RECT& rc) {
  static const WORD kPattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, kPattern);
  HBRUSH brush = ::CreatePatternBrush(bitmap);
  HGDIOBJ old = ::SelectObject(dc, brush);
  ::PatBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, PATINVERT);
  ::SelectObject(dc, old);
  ::DeleteObject(brush);
  ::DeleteObject(bitmap);
}

// A frame of the given thickness around rc, inverted.
inline void DrawGhostFrame(HDC dc, const RECT& rc, int thickness = 3) {
  const RECT strips[4] = {
      {rc.left, rc.top, rc.right, rc.top + thickness},
      {rc.left, rc.bottom - thickness, rc.right, rc.bottom},
      {rc.left, rc.top + thickness, rc.left + thickness, rc.bottom - thickness},
      {rc.right - thickness, rc.top + thickness, rc.right, rc.bottom - thickness},
  };
  for (const RECT& strip : strips) {
    DrawGhostBar(dc, strip);
  }
}

}  // namespace dockwins
