#include "IMPN/IMPN_Ink.h"

#include <mutex>

std::uint8_t IMPN_Ink::sm_OpacityTable[256][101];
bool IMPN_Ink::sm_TableInitialized = false;
IMPN_RGBColor8 IMPN_Ink::sm_DefaultColor(0, 0, 0);

namespace {
IMPN_RGBColor8 const kPaperWhite(255, 255, 255);

// Visits the three channels of two inputs and an output in step; the byte order does not
// matter because every channel is treated alike.
template <typename F>
void ForEachChannel(IMPN_RGBColor8 const& a, IMPN_RGBColor8 const& b, IMPN_RGBColor8& out, F f) {
  std::uint8_t const r = f(a.red, b.red);
  std::uint8_t const g = f(a.green, b.green);
  std::uint8_t const bl = f(a.blue, b.blue);
  out.red = r;
  out.green = g;
  out.blue = bl;
}
}  // namespace

IMPN_Ink::IMPN_Ink()
    : m_Color(sm_DefaultColor),
      m_Opacity(100),
      m_PaperColor(kPaperWhite),
      m_Unknown(true) {
  InitOpacityTable();
}

IMPN_Ink::IMPN_Ink(IMPN_RGBColor8 const& colour, long opacity)
    : m_Color(colour),
      m_Opacity(opacity),
      m_PaperColor(kPaperWhite),
      m_Unknown(false) {
  InitOpacityTable();
}

// Inks are made on the tile workers too: the table is filled once, whichever thread asks first.
void IMPN_Ink::InitOpacityTable() {
  static std::once_flag filled;
  std::call_once(filled, [] {
    for (int v = 0; v < 256; ++v)
      for (int p = 0; p <= 100; ++p)
        sm_OpacityTable[v][p] = static_cast<std::uint8_t>(OpacityProduct(v, p));
    sm_TableInitialized = true;
  });
}

void IMPN_Ink::SetColor(char const* name, IMPN_RGBColor8 const& colour, long opacity) {
  m_Name = name ? name : "";
  m_Color = colour;
  m_Opacity = opacity;
  m_Unknown = false;
}

long IMPN_Ink::ClampedOpacity() const {
  return m_Opacity < 0 ? 0 : (m_Opacity > 100 ? 100 : m_Opacity);
}

void IMPN_Ink::GetColor(IMPN_RGBColor8& out) const {
  long const p = ClampedOpacity();
  ForEachChannel(m_Color, m_PaperColor, out, [p](std::uint8_t ink, std::uint8_t paper) {
    return static_cast<std::uint8_t>(sm_OpacityTable[ink][p] + sm_OpacityTable[paper][100 - p]);
  });
}

void IMPN_Ink::Blend(IMPN_Ink const& ink, IMPN_RGBColor8 const& below, IMPN_RGBColor8& out) {
  IMPN_RGBColor8 inkOverPaper;
  ink.GetColor(inkOverPaper);
  // Multiplying by below + 1 and shifting by 8 stands in for the division by 255.
  ForEachChannel(inkOverPaper, below, out, [](std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint8_t>((unsigned(g) * (unsigned(b) + 1)) >> 8);
  });
}

void IMPN_Ink::OpaqueAlphaBlend(IMPN_Ink const& ink, IMPN_RGBColor8 const& below,
                                IMPN_RGBColor8& out) {
  long const p = ink.ClampedOpacity();
  ForEachChannel(ink.m_Color, below, out, [p](std::uint8_t c, std::uint8_t b) {
    return static_cast<std::uint8_t>((long(c) * p + long(b) * (100 - p)) / 100);
  });
}
