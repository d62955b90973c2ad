#include <ColorSync/ColorSync.h>

#include <algorithm>
#include <cmath>

struct OpaqueCMProfileRef {
  OSType space;
};

struct OpaqueCMWorldRef {
  OSType from;
  OSType to;
};

namespace {
int gOpenObjects = 0;
int gMatchedColors = 0;
CMError gPendingFailure[3] = {0, 0, 0};

// Takes a pending failure of that call, if any.
CMError TakeFailure(StandIn_ColorSyncCall call) {
  const CMError status = gPendingFailure[call];
  gPendingFailure[call] = 0;
  return status;
}

UInt16 ToChannel(double fraction) {
  const double clamped = std::min(1.0, std::max(0.0, fraction));
  return static_cast<UInt16>(std::lround(clamped * 65535.0));
}

CMRGBColor NaiveCMYKToRGB(const CMCMYKColor& c) {
  const double k = 1.0 - c.black / 65535.0;
  CMRGBColor out;
  out.red = ToChannel((1.0 - c.cyan / 65535.0) * k);
  out.green = ToChannel((1.0 - c.magenta / 65535.0) * k);
  out.blue = ToChannel((1.0 - c.yellow / 65535.0) * k);
  return out;
}

double LabInverse(double f) {
  return f > 6.0 / 29.0 ? f * f * f : 3.0 * (6.0 / 29.0) * (6.0 / 29.0) * (f - 4.0 / 29.0);
}

double SRGBTransfer(double v) {
  return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

// CIE L*a*b* (D50) to sRGB through XYZ with the D50-adapted sRGB matrix.
CMRGBColor LabToSRGB(const CMLabColor& c) {
  const double L = c.L / 655.35;
  const double a = c.a / 256.0 - 128.0;
  const double b = c.b / 256.0 - 128.0;
  const double fy = (L + 16.0) / 116.0;
  const double X = 0.9642 * LabInverse(fy + a / 500.0);
  const double Y = 1.0000 * LabInverse(fy);
  const double Z = 0.8249 * LabInverse(fy - b / 200.0);
  CMRGBColor out;
  out.red = ToChannel(SRGBTransfer(3.1338561 * X - 1.6168667 * Y - 0.4906146 * Z));
  out.green = ToChannel(SRGBTransfer(-0.9787684 * X + 1.9161415 * Y + 0.0334540 * Z));
  out.blue = ToChannel(SRGBTransfer(0.0719453 * X - 0.2289914 * Y + 1.4052427 * Z));
  return out;
}
}  // namespace

CMError CMGetDefaultProfileBySpace(OSType dataColorSpace, CMProfileRef* prof) {
  if (const CMError failure = TakeFailure(StandIn_CMGetDefaultProfileBySpace))
    return failure;
  if (!prof)
    return cmParameterError;
  if (dataColorSpace != cmRGBData && dataColorSpace != cmCMYKData && dataColorSpace != cmLabData)
    return cmProfileNotFound;
  *prof = new OpaqueCMProfileRef{dataColorSpace};
  ++gOpenObjects;
  return 0;
}

CMError CMCloseProfile(CMProfileRef prof) {
  if (!prof)
    return cmParameterError;
  delete prof;
  --gOpenObjects;
  return 0;
}

CMError NCWNewColorWorld(CMWorldRef* cw, CMProfileRef src, CMProfileRef dst) {
  if (const CMError failure = TakeFailure(StandIn_NCWNewColorWorld))
    return failure;
  if (!cw || !src || !dst)
    return cmParameterError;
  *cw = new OpaqueCMWorldRef{src->space, dst->space};
  ++gOpenObjects;
  return 0;
}

void CWDisposeColorWorld(CMWorldRef cw) {
  if (!cw)
    return;
  delete cw;
  --gOpenObjects;
}

CMError CWMatchColors(CMWorldRef cw, CMColor* myColors, UInt32 count) {
  if (const CMError failure = TakeFailure(StandIn_CWMatchColors))
    return failure;
  if (!cw || (!myColors && count > 0))
    return cmParameterError;
  if (cw->to != cmRGBData || (cw->from != cmCMYKData && cw->from != cmLabData))
    return cmMethodError;
  for (UInt32 i = 0; i < count; ++i) {
    myColors[i].rgb =
        cw->from == cmCMYKData ? NaiveCMYKToRGB(myColors[i].cmyk) : LabToSRGB(myColors[i].Lab);
    ++gMatchedColors;
  }
  return 0;
}

void StandIn_ColorSyncFailNext(StandIn_ColorSyncCall call, CMError status) {
  gPendingFailure[call] = status;
}

int StandIn_ColorSyncOpenObjects() {
  return gOpenObjects;
}

int StandIn_ColorSyncMatchedColors() {
  return gMatchedColors;
}

void StandIn_ColorSyncReset() {
  for (CMError& f : gPendingFailure)
    f = 0;
  gMatchedColors = 0;
}
