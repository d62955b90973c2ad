#include "IMPN/IMPN_InkRamp.h"

#include <cstring>

IMPN_InkRamp::IMPN_InkRamp()
    : m_Steps(),
      m_InkOverPaperBytes(),
      m_InkTimesOpacityBytes(),
      m_Transparent(true),
      m_ZeroIsIdentity(false) {}

void IMPN_InkRamp::Prepare(IMPN_Ink const& ink, bool transparent) {
  m_Transparent = transparent;
  IMPN_Ink scaled(ink);
  IMPN_RGBColor8 const& colour = ink.GetInkColor();
  for (long coverage = 0; coverage < 256; ++coverage) {
    long const opacity = ink.GetOpacity() * coverage / 255;
    scaled.SetOpacity(opacity);
    Step& s = m_Steps[coverage];
    scaled.GetColor(s.inkOverPaper);
    // The alpha blend clamps the opacity the same way GetColor does.
    long const clamped = opacity < 0 ? 0 : (opacity > 100 ? 100 : opacity);
    s.inkTimesOpacity[0] = static_cast<std::uint16_t>(colour.red * clamped);
    s.inkTimesOpacity[1] = static_cast<std::uint16_t>(colour.green * clamped);
    s.inkTimesOpacity[2] = static_cast<std::uint16_t>(colour.blue * clamped);
    s.remainingOpacity = static_cast<std::uint8_t>(100 - clamped);

    std::memcpy(m_InkOverPaperBytes[coverage], &s.inkOverPaper, 3);
    IMPN_RGBColor8 const order(0, 1, 2);  // which channel lies at each byte of a pixel
    std::uint8_t positions[3];
    std::memcpy(positions, &order, 3);
    for (int k = 0; k < 3; ++k)
      m_InkTimesOpacityBytes[coverage][k] = s.inkTimesOpacity[positions[k]];
  }
  IMPN_RGBColor8 const& zero = m_Steps[0].inkOverPaper;
  m_ZeroIsIdentity = zero.red == 255 && zero.green == 255 && zero.blue == 255;
}

template <bool transparent, bool full, bool testZero>
void IMPN_InkRamp::ApplyToRowAs(std::uint8_t const* coverage, std::uint8_t* pixels,
                                long count) const {
  for (long i = 0; i < count; ++i, pixels += 3) {
    unsigned const c = full ? 255 : coverage[i];
    if (!full && testZero && c == 0)
      continue;
    std::uint8_t const* g = m_InkOverPaperBytes[c];
    if (transparent) {
      for (int k = 0; k < 3; ++k)
        pixels[k] = Multiply(g[k], pixels[k]);
      continue;
    }
    std::uint16_t const* io = m_InkTimesOpacityBytes[c];
    unsigned const remaining = m_Steps[c].remainingOpacity;
    for (int k = 0; k < 3; ++k) {
      unsigned const below = pixels[k];
      unsigned const multiplied = Multiply(g[k], below);
      unsigned const mixed = (io[k] + below * remaining) / 100;
      pixels[k] = static_cast<std::uint8_t>((multiplied * (255 - c) + mixed * c) / 255);
    }
  }
}

void IMPN_InkRamp::ApplyToRow(std::uint8_t const* coverage, std::uint8_t* pixels,
                              long count) const {
  // The test for coverage 0 is decided once per row, not per pixel.
  if (!coverage)
    m_Transparent ? ApplyToRowAs<true, true, false>(coverage, pixels, count)
                  : ApplyToRowAs<false, true, false>(coverage, pixels, count);
  else if (m_ZeroIsIdentity)
    m_Transparent ? ApplyToRowAs<true, false, false>(coverage, pixels, count)
                  : ApplyToRowAs<false, false, false>(coverage, pixels, count);
  else
    m_Transparent ? ApplyToRowAs<true, false, true>(coverage, pixels, count)
                  : ApplyToRowAs<false, false, true>(coverage, pixels, count);
}
