// ColorSync of the Mac stand-in: default profiles by colour space, colour worlds and the
// matching of single colours. The stand-in has one built-in profile per space and converts
// with textbook formulas (naive CMYK, CIE L*a*b* D50 to sRGB), so results are exact and
// predictable for tests. The StandIn_ hooks let tests make a call fail and see what is open.
#pragma once
#include <MacTypes.h>

typedef OSStatus CMError;
typedef struct OpaqueCMProfileRef* CMProfileRef;
typedef struct OpaqueCMWorldRef* CMWorldRef;

// Colour-space signatures.
enum : OSType {
  cmRGBData = 0x52474220,   // 'RGB '
  cmCMYKData = 0x434D594B,  // 'CMYK'
  cmLabData = 0x4C616220    // 'Lab '
};

enum : CMError {
  cmProfileError = -170,
  cmMethodError = -171,
  cmProfileNotFound = -176,
  cmParameterError = -4183
};

struct CMRGBColor {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

struct CMCMYKColor {
  UInt16 cyan;
  UInt16 magenta;
  UInt16 yellow;
  UInt16 black;
};

// L 0..65535 for 0..100; a and b 0..65535 for -128..127.996.
struct CMLabColor {
  UInt16 L;
  UInt16 a;
  UInt16 b;
};

union CMColor {
  CMRGBColor rgb;
  CMCMYKColor cmyk;
  CMLabColor Lab;
};

CMError CMGetDefaultProfileBySpace(OSType dataColorSpace, CMProfileRef* prof);
CMError CMCloseProfile(CMProfileRef prof);
CMError NCWNewColorWorld(CMWorldRef* cw, CMProfileRef src, CMProfileRef dst);
void CWDisposeColorWorld(CMWorldRef cw);
// Converts the colours in place from the world's source space to its destination space.
CMError CWMatchColors(CMWorldRef cw, CMColor* myColors, UInt32 count);

// Test hooks.
enum StandIn_ColorSyncCall {
  StandIn_CMGetDefaultProfileBySpace,
  StandIn_NCWNewColorWorld,
  StandIn_CWMatchColors
};
// The next call of that function returns status (non-zero) and does nothing else.
void StandIn_ColorSyncFailNext(StandIn_ColorSyncCall call, CMError status);
// Profiles and colour worlds not yet closed or disposed.
int StandIn_ColorSyncOpenObjects();
// Colours converted by CWMatchColors since the last reset.
int StandIn_ColorSyncMatchedColors();
// Clears pending failures and the match counter.
void StandIn_ColorSyncReset();
