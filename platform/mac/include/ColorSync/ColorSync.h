// ColorSync of the Mac stand-in: default profiles by colour space, colour worlds and the
// matching of single colours, over LittleCMS 2. The default profiles are sRGB for RGB, CIE
// L*a*b* D50 for Lab and a real printer profile for CMYK (Ghostscript's default CMYK profile,
// found when the build is configured), so CMYK and Lab inks show as a Mac's generic profiles
// would show them. A world renders with its source profile's intent and matches between any two
// of the three spaces (the program's profile check goes both ways). The StandIn_
// hooks let tests make a call fail and see what is open; the calls may be made from any thread.
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

// cmProfileNotFound for a space without a default profile (or when the CMYK profile cannot be
// read).
CMError CMGetDefaultProfileBySpace(OSType dataColorSpace, CMProfileRef* prof);
CMError CMCloseProfile(CMProfileRef prof);
// cmProfileError when the two profiles cannot be joined.
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
