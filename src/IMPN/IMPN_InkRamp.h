#pragma once
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Ink.h"

#include <cstdint>

// An ink laid over a pixel at each of the 256 coverages, prepared once per ink so that the
// per-pixel work is a few multiplications: the ink's opacity scales with the coverage, the
// transparent rule multiplies, the opaque rule mixes the multiplied and the alpha-blended
// colours by the coverage. Gives exactly what IMPN_Ink's blends give for a scaled copy of the ink.
class IMPN_InkRamp {
public:
  IMPN_InkRamp();

  void Prepare(IMPN_Ink const& ink, bool transparent);

  // Coverage 0 leaves the pixel as it is.
  void Apply(std::uint8_t coverage, IMPN_RGBColor8& pixel) const {
    if (coverage == 0)
      return;
    Step const& s = m_Steps[coverage];
    if (m_Transparent) {
      pixel.red = Multiply(s.inkOverPaper.red, pixel.red);
      pixel.green = Multiply(s.inkOverPaper.green, pixel.green);
      pixel.blue = Multiply(s.inkOverPaper.blue, pixel.blue);
      return;
    }
    pixel.red = Opaque(s, s.inkOverPaper.red, s.inkTimesOpacity[0], pixel.red, coverage);
    pixel.green = Opaque(s, s.inkOverPaper.green, s.inkTimesOpacity[1], pixel.green, coverage);
    pixel.blue = Opaque(s, s.inkOverPaper.blue, s.inkTimesOpacity[2], pixel.blue, coverage);
  }

  // Lays the ink over count pixels of three bytes with one coverage byte each (null: 255).
  // Pixels do not depend on each other here, unlike the layers over one pixel, so a row at a
  // time keeps the processor busy.
  void ApplyToRow(std::uint8_t const* coverage, std::uint8_t* pixels, long count) const;

  bool IsTransparent() const { return m_Transparent; }

private:
  struct Step {
    IMPN_RGBColor8 inkOverPaper;       // the scaled ink's GetColor
    std::uint16_t inkTimesOpacity[3];  // ink colour x scaled opacity: red, green, blue
    std::uint8_t remainingOpacity;     // 100 - scaled opacity
  };

  static std::uint8_t Multiply(unsigned inkOverPaper, unsigned below) {
    return static_cast<std::uint8_t>((inkOverPaper * (below + 1)) >> 8);
  }

  static std::uint8_t Opaque(Step const& s, unsigned inkOverPaper, unsigned inkTimesOpacity,
                             unsigned below, unsigned coverage) {
    unsigned const multiplied = Multiply(inkOverPaper, below);
    unsigned const mixed = (inkTimesOpacity + below * s.remainingOpacity) / 100;
    return static_cast<std::uint8_t>((multiplied * (255 - coverage) + mixed * coverage) / 255);
  }

  template <bool transparent, bool full, bool testZero>
  void ApplyToRowAs(std::uint8_t const* coverage, std::uint8_t* pixels, long count) const;

  Step m_Steps[256];
  // Per coverage the scaled ink over paper and ink x opacity in the pixels' byte order.
  std::uint8_t m_InkOverPaperBytes[256][3];
  std::uint16_t m_InkTimesOpacityBytes[256][3];
  bool m_Transparent;
  // Coverage 0 changes nothing through the arithmetic too (the paper is white), so rows
  // need no test for it.
  bool m_ZeroIsIdentity;
};
