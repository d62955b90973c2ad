#pragma once
#include <cstdint>

// Plain three-byte colour, always red, green, blue; fits one 32-bit value with red in the low byte.
struct impn_RGBColor8 {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

// Four 16-bit CMYK channels, 65535 = 100 %.
struct impn_CMYKColor16 {
  std::uint16_t cyan;
  std::uint16_t magenta;
  std::uint16_t yellow;
  std::uint16_t black;
};

// Screen colour in the display system's byte order: GDI bitmaps and colour values on Windows
// want blue, green, red in memory; CoreGraphics on the Mac wants red, green, blue. Tiles are
// filled with these bytes as they stand, so the order must match the drawing code.
class IMPN_RGBColor8 {
public:
  constexpr IMPN_RGBColor8() : IMPN_RGBColor8(0, 0, 0) {}
  constexpr IMPN_RGBColor8(std::uint8_t r, std::uint8_t g, std::uint8_t b)
#if defined(_WIN32)
      : blue(b),
        green(g),
        red(r)
#else
      : red(r),
        green(g),
        blue(b)
#endif
  {
  }
  constexpr IMPN_RGBColor8(impn_RGBColor8 const& c) : IMPN_RGBColor8(c.red, c.green, c.blue) {}

  bool operator==(IMPN_RGBColor8 const& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
  bool operator!=(IMPN_RGBColor8 const& o) const {
    return !(*this == o);
  }

#if defined(_WIN32)
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
#else
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
#endif
};

// Colour with a drawing opacity; alpha is a percentage (0..100) wherever it is drawn.
class IMPN_RGBAColor8 {
public:
  constexpr IMPN_RGBAColor8() : IMPN_RGBAColor8(0, 0, 0, 255) {}
  constexpr IMPN_RGBAColor8(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
#if defined(_WIN32)
      : blue(b),
        green(g),
        red(r),
        alpha(a)
#else
      : red(r),
        green(g),
        blue(b),
        alpha(a)
#endif
  {
  }

  bool operator==(IMPN_RGBAColor8 const& o) const {
    return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
  }
  bool operator!=(IMPN_RGBAColor8 const& o) const {
    return !(*this == o);
  }

#if defined(_WIN32)
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
#else
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
#endif
  std::uint8_t alpha;
};

class IMPN_CMYKColor16 : public impn_CMYKColor16 {
public:
  constexpr IMPN_CMYKColor16() : IMPN_CMYKColor16(0, 0, 0, 0) {}
  constexpr IMPN_CMYKColor16(std::uint16_t c, std::uint16_t m, std::uint16_t y, std::uint16_t k)
      : impn_CMYKColor16{c, m, y, k} {}
};

static_assert(sizeof(impn_RGBColor8) == 3, "three bytes");
static_assert(sizeof(IMPN_RGBColor8) == 3, "tiles are packed three bytes per pixel");
static_assert(sizeof(IMPN_RGBAColor8) == 4, "four bytes");
