#include "IMPN/IMPN_ColorDatabase.h"

#include <ColorSync/ColorSync.h>

namespace {
// Matches one colour from the default profile of a space to the default RGB profile. Every
// profile and world opened is closed again, also when a later step fails.
long MatchToDefaultRGB(OSType space, CMColor& colour) {
  CMProfileRef source = nullptr;
  CMError status = CMGetDefaultProfileBySpace(space, &source);
  if (status != 0)
    return status;
  CMProfileRef destination = nullptr;
  status = CMGetDefaultProfileBySpace(cmRGBData, &destination);
  if (status == 0) {
    CMWorldRef world = nullptr;
    status = NCWNewColorWorld(&world, source, destination);
    if (status == 0) {
      status = CWMatchColors(world, &colour, 1);
      CWDisposeColorWorld(world);
    }
    CMCloseProfile(destination);
  }
  CMCloseProfile(source);
  return status;
}

IMPN_RGBColor8 To8Bit(CMRGBColor const& c) {
  return IMPN_RGBColor8(static_cast<std::uint8_t>(c.red / 257),
                        static_cast<std::uint8_t>(c.green / 257),
                        static_cast<std::uint8_t>(c.blue / 257));
}
}  // namespace

long IMPN_ColorDatabase::ColorSyncCMYKToRGB(impn_CMYKColor16& cmyk, IMPN_RGBColor8& out) {
  CMColor colour;
  colour.cmyk.cyan = cmyk.cyan;
  colour.cmyk.magenta = cmyk.magenta;
  colour.cmyk.yellow = cmyk.yellow;
  colour.cmyk.black = cmyk.black;
  long const status = MatchToDefaultRGB(cmCMYKData, colour);
  if (status == 0)
    out = To8Bit(colour.rgb);
  return status;
}

long IMPN_ColorDatabase::ColorSyncLabToRGB(impn_LabColor16& lab, IMPN_RGBColor8& out) {
  CMColor colour;
  colour.Lab.L = lab.L;
  colour.Lab.a = lab.a;
  colour.Lab.b = lab.b;
  long const status = MatchToDefaultRGB(cmLabData, colour);
  if (status == 0)
    out = To8Bit(colour.rgb);
  return status;
}

long IMPN_ColorDatabase::SystemCMYKToRGB(impn_CMYKColor16& cmyk, IMPN_RGBColor8& out) {
  return ColorSyncCMYKToRGB(cmyk, out);
}

long IMPN_ColorDatabase::SystemLabToRGB(impn_LabColor16& lab, IMPN_RGBColor8& out) {
  return ColorSyncLabToRGB(lab, out);
}
