// The start-up check that the default colour profiles can convert: one test colour through
// Lab to RGB, RGB to Lab, CMYK to RGB and RGB to CMYK.
#pragma once

#include <ColorSync/ColorSync.h>
#include <CoreFoundation/CFString.h>

#include <vector>

class MKRX_ColorProfileCheck {
public:
  using MatchFunction = CMError (*)(CMColor& colour, OSType sourceSpace, OSType destinationSpace);

  // The keys of the texts that name the failed conversions, in test order; empty when all pass.
  static std::vector<CFStringRef> FailedConversions();
  // Replaces the colour matching (null: the system's), so that single conversions can be made to
  // fail.
  static void SetMatchFunction(MatchFunction match);

  MKRX_ColorProfileCheck() = delete;

private:
  static MatchFunction sm_Match;
};
