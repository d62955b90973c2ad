#include "IMPN/IMPN_InkRamp.h"

IMPN_InkRamp::IMPN_InkRamp() : m_Steps(), m_Transparent(true)
{
}

void IMPN_InkRamp::Prepare(IMPN_Ink const& ink, bool transparent)
{
    m_Transparent = transparent;
    IMPN_Ink scaled(ink);
    IMPN_RGBColor8 const& colour = ink.GetInkColor();
    for (long coverage = 0; coverage < 256; ++coverage)
    {
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
    }
}
