#include "support/MKRX_ViewPixels.h"

#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"

#include <cmath>
#include <cstdlib>

namespace {

long Channel(std::uint32_t pixel, int shift) {
  return static_cast<long>((pixel >> shift) & 0xFF);
}

std::uint32_t Opaque(long rgb) {
  return 0xFF000000u | static_cast<std::uint32_t>(rgb);
}

// alpha of the colour over (1 - alpha) of the one beneath.
long Mix(long colour, long beneath, double alpha) {
  long mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    double const f = static_cast<double>((colour >> shift) & 0xFF);
    double const b = static_cast<double>((beneath >> shift) & 0xFF);
    mixed |= std::lround(alpha * f + (1 - alpha) * b) << shift;
  }
  return mixed;
}

}  // namespace

bool MKRX_SameColor(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 24; shift += 8)
    if (std::labs(Channel(a, shift) - Channel(b, shift)) > tolerance)
      return false;
  return true;
}

long MKRX_TileColor(IMPN_Surface& surface, IMPN_ZoomLevel level, long x, long y) {
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (image == nullptr || x < 0 || y < 0 || x >= image->GetScaledWidth(level) ||
      y >= image->GetScaledLength(level))
    return -1;
  long const tw = image->GetTileWidth(level);
  long const th = image->GetTileLength(level);
  IMPN_BitMap const* tile = image->GetTile((y / th) * th, (x / tw) * tw, level,
                                           static_cast<long>(surface.GetTimeStamp()));
  if (tile == nullptr || tile->pixels == nullptr)
    return -1;
  long const dx = x - tile->rect.left;
  long const dy = y - tile->rect.top;
  auto rgb = [](std::uint8_t const* p) { return (long(p[0]) << 16) | (long(p[1]) << 8) | p[2]; };
  auto entry = [&](std::uint8_t index) {
    IMPN_RGBColor8 const& c = tile->palette->entries[index];
    return (long(c.red) << 16) | (long(c.green) << 8) | c.blue;
  };
  switch (tile->kind) {
    case kIMPN_BitMapIndexed:
      return entry(tile->pixels[dy * tile->rowBytes + dx]);
    case kIMPN_BitMapUniformIndex:
      return entry(tile->pixels[0]);
    case kIMPN_BitMapRGB:
      return rgb(tile->pixels + dy * tile->rowBytes + dx * 3);
    case kIMPN_BitMapUniformRGB:
      return rgb(tile->pixels);
    default:
      return -1;
  }
}

std::uint32_t MKRX_ExpectedViewPixel(MKRX_SheetView& view, long x, long y) {
  IMPN_Sheet* sheet = view.GetSheet();
  IMPN_ZoomLevel const level = view.GetZoomLevel();
  long const width = sheet->GetImageWidth(level);
  long const length = sheet->GetImageLength(level);
  // Outside the image there is no front; the surface behind, moved to register, may reach there.
  IMPN_RectT<long> const base = view.ViewFrameRectToImageRect(IMPN_RectT<long>(y, x, 1, 1));
  float const zoom = kIMPN_ZoomFactor[level];
  long const lx = static_cast<long>(std::floor(base.left * zoom));
  long const ly = static_cast<long>(std::floor(base.top * zoom));

  bool const flipped = view.IsPageFlipped();
  IMPN_Surface& viewed = flipped ? sheet->GetBackSurface() : sheet->GetFrontSurface();
  IMPN_Surface& other = flipped ? sheet->GetFrontSurface() : sheet->GetBackSurface();
  long const front = MKRX_TileColor(viewed, level, lx, ly);
  double const alpha = viewed.GetOpacity() / 100.0;
  long behind = (long(viewed.GetColor().red) << 16) | (long(viewed.GetColor().green) << 8) |
                viewed.GetColor().blue;
  bool const backShown =
      view.GetMirroring() != 0 && other.HasSeparations() && viewed.GetOpacity() <= 99;
  if (backShown) {
    long const ox = sheet->GetBackupOffsetX(view.GetBackupAlignment(), level);
    long const oy = sheet->GetBackupOffsetY(view.GetBackupAlignment(), level);
    long const bx = view.GetMirroring() == 1 ? width - ox - 1 - lx : lx + ox;
    long const by = view.GetMirroring() == 1 ? ly + oy : length - oy - 1 - ly;
    long const back = MKRX_TileColor(other, level, bx, by);
    // A translucent back tile lies over its surface's colour.
    double const a = other.GetOpacity() / 100.0;
    IMPN_RGBColor8 const& paper = other.GetColor();
    long const under = (long(paper.red) << 16) | (long(paper.green) << 8) | paper.blue;
    behind = back < 0 ? 0xFFFFFF : Mix(back, under, a);
  }
  if (front < 0)
    return Opaque(backShown ? behind : 0xFFFFFF);
  return Opaque(Mix(front, behind, alpha));
}
