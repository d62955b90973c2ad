// One display tile as the view blends it: its pixels read from whatever layout the tile has,
// turned and mirrored as the view shows them, in a 32-bit top-down bitmap.
#pragma once

#include "IMPN/IMPN_BitMap.h"
#include "WKRX/WKRX_ViewTransform.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class WKRX_TilePixels {
public:
  // The tile's pixels as blue, green, red and a zero byte, row after row; empty for a tile that
  // draws nothing (an unknown kind, missing pixels, rows shorter than the width, a single index
  // that the palette does not hold). Indices of an indexed tile beyond its palette are white.
  static std::vector<std::uint32_t> Decode(const IMPN_BitMap& tile);

  // The decoded pixels of the tile put where the transform takes them; Area() is where they go.
  WKRX_TilePixels(const IMPN_BitMap& tile, const WKRX_ViewTransform& transform);

  bool IsEmpty() const { return m_Pixels.empty(); }
  const RECT& Area() const { return m_Area; }
  const std::vector<std::uint32_t>& Pixels() const { return m_Pixels; }

  // Blends the pixels onto dc at Area() with the constant alpha; false when GDI refuses.
  bool BlendOnto(HDC dc, const BLENDFUNCTION& blend) const;

private:
  RECT m_Area = {0, 0, 0, 0};
  std::vector<std::uint32_t> m_Pixels;
};
