#ifndef IMPN_INKRAMP_H
#define IMPN_INKRAMP_H

#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Ink.h"

#include <cstdint>

// An ink laid over a pixel at each of the 256 coverages, prepared once per ink so that the
// per-pixel work is a few multiplications: the ink's opacity scales with the coverage, the
// transparent rule multiplies, the opaque rule mixes the multiplied and the alpha-blended
// colours by the coverage. Gives exactly what IMPN_Ink's blends give for a scaled copy of the ink.
class IMPN_InkRamp
{
public:
    IMPN_InkRamp();

    void Prepare(IMPN_Ink const& ink, bool transparent);

    // Coverage 0 leaves the pixel as it is.
    void Apply(std::uint8_t coverage, IMPN_RGBColor8& pixel) const
    {
        if (coverage == 0)
            return;
        Step const& s = m_Steps[coverage];
        if (m_Transparent)
        {
            pixel.red = Multiply(s.inkOverPaper.red, pixel.red);
            pixel.green = Multiply(s.inkOverPaper.green, pixel.green);
            pixel.blue = Multiply(s.inkOverPaper.blue, pixel.blue);
            return;
        }
        pixel.red = Opaque(s, s.inkOverPaper.red, s.inkTimesOpacity[0], pixel.red, coverage);
        pixel.green = Opaque(s, s.inkOverPaper.green, s.inkTimesOpacity[1], pixel.green, coverage);
        pixel.blue = Opaque(s, s.inkOverPaper.blue, s.inkTimesOpacity[2], pixel.blue, coverage);
    }

    bool IsTransparent() const { return m_Transparent; }

private:
    struct Step
    {
        IMPN_RGBColor8 inkOverPaper;        // the scaled ink's GetColor
        std::uint16_t inkTimesOpacity[3];   // ink colour x scaled opacity: red, green, blue
        std::uint8_t remainingOpacity;      // 100 - scaled opacity
    };

    static std::uint8_t Multiply(unsigned inkOverPaper, unsigned below)
    {
        return static_cast<std::uint8_t>((inkOverPaper * (below + 1)) >> 8);
    }

    static std::uint8_t Opaque(Step const& s, unsigned inkOverPaper, unsigned inkTimesOpacity,
                               unsigned below, unsigned coverage)
    {
        unsigned const multiplied = Multiply(inkOverPaper, below);
        unsigned const mixed = (inkTimesOpacity + below * s.remainingOpacity) / 100;
        return static_cast<std::uint8_t>((multiplied * (255 - coverage) + mixed * coverage) / 255);
    }

    Step m_Steps[256];
    bool m_Transparent;
};

#endif
