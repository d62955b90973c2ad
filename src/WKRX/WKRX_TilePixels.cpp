#include "WKRX/WKRX_TilePixels.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
// A colour table never holds more entries than an 8-bit index reaches.
constexpr long kMaxPaletteEntries = 256;

std::uint32_t Pixel(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  return static_cast<std::uint32_t>(blue) | static_cast<std::uint32_t>(green) << 8 |
         static_cast<std::uint32_t>(red) << 16;
}

std::uint32_t PaletteEntry(const IMPN_ColorTable& palette, long index) {
  const IMPN_RGBColor8& c = palette.entries[index];
  return Pixel(c.blue, c.green, c.red);
}

long PaletteCount(const IMPN_ColorTable* palette) {
  if (palette == nullptr || palette->entries == nullptr)
    return 0;
  return std::clamp(palette->count, 0L, kMaxPaletteEntries);
}

// Owns a memory context and a DIB section selected into it, released in the right order.
class DibSection {
public:
  DibSection(HDC reference, long width, long height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_DC = CreateCompatibleDC(reference);
    if (m_DC == nullptr)
      return;
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &m_Bits, nullptr, 0);
    if (m_Bitmap != nullptr)
      m_Previous = SelectObject(m_DC, m_Bitmap);
  }
  ~DibSection() {
    if (m_Previous != nullptr)
      SelectObject(m_DC, m_Previous);
    if (m_Bitmap != nullptr)
      DeleteObject(m_Bitmap);
    if (m_DC != nullptr)
      DeleteDC(m_DC);
  }
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;

  bool IsValid() const { return m_Bits != nullptr && m_Previous != nullptr; }
  void* Bits() const { return m_Bits; }
  HDC DC() const { return m_DC; }

private:
  HDC m_DC = nullptr;
  HBITMAP m_Bitmap = nullptr;
  HGDIOBJ m_Previous = nullptr;
  void* m_Bits = nullptr;
};

}  // namespace

std::vector<std::uint32_t> WKRX_TilePixels::Decode(const IMPN_BitMap& tile) {
  const long width = tile.rect.width;
  const long height = tile.rect.height;
  std::vector<std::uint32_t> out;
  if (width <= 0 || height <= 0 || tile.pixels == nullptr)
    return out;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const std::size_t rowBytes = tile.rowBytes;
  switch (tile.kind) {
    case kIMPN_BitMapIndexed: {
      if (rowBytes < static_cast<std::size_t>(width))
        return out;
      const long entries = PaletteCount(tile.palette);
      out.resize(count);
      for (long y = 0; y < height; ++y) {
        const std::uint8_t* row = tile.pixels + static_cast<std::size_t>(y) * rowBytes;
        std::uint32_t* target = out.data() + static_cast<std::size_t>(y) * width;
        for (long x = 0; x < width; ++x)
          target[x] = row[x] < entries ? PaletteEntry(*tile.palette, row[x]) : kWhite;
      }
      return out;
    }
    case kIMPN_BitMapUniformIndex: {
      const long index = tile.pixels[0];
      if (index >= PaletteCount(tile.palette))
        return out;
      out.assign(count, PaletteEntry(*tile.palette, index));
      return out;
    }
    case kIMPN_BitMapRGB: {
      if (rowBytes < static_cast<std::size_t>(width) * 3)
        return out;
      out.resize(count);
      for (long y = 0; y < height; ++y) {
        const std::uint8_t* row = tile.pixels + static_cast<std::size_t>(y) * rowBytes;
        std::uint32_t* target = out.data() + static_cast<std::size_t>(y) * width;
        for (long x = 0; x < width; ++x)
          target[x] = Pixel(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
      }
      return out;
    }
    case kIMPN_BitMap32: {
      if (rowBytes < static_cast<std::size_t>(width) * 4)
        return out;
      out.resize(count);
      for (long y = 0; y < height; ++y) {
        const std::uint8_t* row = tile.pixels + static_cast<std::size_t>(y) * rowBytes;
        std::uint32_t* target = out.data() + static_cast<std::size_t>(y) * width;
        for (long x = 0; x < width; ++x)
          target[x] = Pixel(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
      }
      return out;
    }
    case kIMPN_BitMapUniformRGB:
      out.assign(count, Pixel(tile.pixels[0], tile.pixels[1], tile.pixels[2]));
      return out;
    default:
      return out;
  }
}

WKRX_TilePixels::WKRX_TilePixels(const IMPN_BitMap& tile, const WKRX_ViewTransform& transform) {
  const std::vector<std::uint32_t> source = Decode(tile);
  if (source.empty())
    return;
  const RECT area = transform.MapRect(tile.rect);
  const long areaWidth = area.right - area.left;
  const long areaHeight = area.bottom - area.top;
  const long width = tile.rect.width;
  const long height = tile.rect.height;
  // A turn by a quarter swaps the sides; anything else would not cover the area one to one.
  if (static_cast<long long>(areaWidth) * areaHeight != static_cast<long long>(width) * height)
    return;
  m_Pixels.assign(source.size(), 0);
  for (long y = 0; y < height; ++y) {
    for (long x = 0; x < width; ++x) {
      const POINT p = transform.MapPixel(tile.rect.left + x, tile.rect.top + y);
      const long tx = p.x - area.left;
      const long ty = p.y - area.top;
      if (tx < 0 || ty < 0 || tx >= areaWidth || ty >= areaHeight)
        continue;
      m_Pixels[static_cast<std::size_t>(ty) * areaWidth + tx] =
          source[static_cast<std::size_t>(y) * width + x];
    }
  }
  m_Area = area;
}

bool WKRX_TilePixels::BlendOnto(HDC dc, const BLENDFUNCTION& blend) const {
  if (IsEmpty())
    return false;
  const long width = m_Area.right - m_Area.left;
  const long height = m_Area.bottom - m_Area.top;
  DibSection dib(dc, width, height);
  if (!dib.IsValid())
    return false;
  std::memcpy(dib.Bits(), m_Pixels.data(), m_Pixels.size() * sizeof(std::uint32_t));
  GdiFlush();
  return AlphaBlend(dc, m_Area.left, m_Area.top, width, height, dib.DC(), 0, 0, width, height,
                    blend) != FALSE;
}
