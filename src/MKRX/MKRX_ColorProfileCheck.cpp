#include "MKRX/MKRX_ColorProfileCheck.h"

#include "UMAC/UMAC_ColorPicker.h"

MKRX_ColorProfileCheck::MatchFunction MKRX_ColorProfileCheck::sm_Match =
    &UMAC_ColorPicker::MatchColor;

std::vector<CFStringRef> MKRX_ColorProfileCheck::FailedConversions() {
  struct Conversion {
    OSType from;
    OSType to;
    const char* key;
  };
  static const Conversion kConversions[] = {{cmLabData, cmRGBData, "MKRX_LabToRGB"},
                                            {cmRGBData, cmLabData, "MKRX_RGBToLab"},
                                            {cmCMYKData, cmRGBData, "MKRX_CMYKToRGB"},
                                            {cmRGBData, cmCMYKData, "MKRX_RGBToCMYK"}};
  std::vector<CFStringRef> failed;
  for (Conversion const& conversion : kConversions) {
    // Each test starts from the same colour; the four 16-bit components read in every space.
    CMColor colour;
    colour.cmyk = {32767, 20479, 8191, 0};
    if (sm_Match(colour, conversion.from, conversion.to) != 0)
      failed.push_back(CFSTR(conversion.key));
  }
  return failed;
}

void MKRX_ColorProfileCheck::SetMatchFunction(MatchFunction match) {
  sm_Match = match ? match : &UMAC_ColorPicker::MatchColor;
}
