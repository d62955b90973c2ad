#include <ColorSync/ColorSync.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"

#include <lcms2.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

struct OpaqueCMProfileRef {
  OSType space;
};

struct OpaqueCMWorldRef {
  OSType from;
  OSType to;
  cmsHTRANSFORM transform;  // shared by every world of the same pair; see Matcher
};

namespace {

std::atomic<int> g_OpenObjects{0};
std::atomic<int> g_MatchedColors{0};
// The calls' names in the shared failure injection.
const char* const kCallNames[] = {"CMGetDefaultProfileBySpace", "NCWNewColorWorld",
                                  "CWMatchColors"};

// Takes a pending failure of that call, if any.
CMError TakeFailure(StandIn_ColorSyncCall call) {
  return static_cast<CMError>(standin_calls::Enter(kCallNames[call]));
}

bool IsKnownSpace(OSType space) {
  return space == cmRGBData || space == cmCMYKData || space == cmLabData;
}

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

// The default profile of each space (sRGB, the CMYK printer profile, CIE L*a*b* D50) and one
// transform per pair of spaces, made on first use and kept for the process. The transforms have
// no cache of their last colour, so any thread may run them at once.
class Matcher {
public:
  static Matcher& Instance() {
    static Matcher matcher;
    return matcher;
  }

  // Null when the space's profile cannot be had.
  cmsHPROFILE ProfileOf(OSType space) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return LockedProfileOf(space);
  }

  // Null when either profile is missing or LittleCMS cannot join them.
  cmsHTRANSFORM TransformOf(OSType from, OSType to) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    Transform& slot = m_Transforms[{from, to}];
    if (!slot) {
      cmsHPROFILE const source = LockedProfileOf(from);
      cmsHPROFILE const destination = LockedProfileOf(to);
      if (source && destination)
        // As a colour world does, render with the source profile's own intent.
        slot.reset(cmsCreateTransform(source, FormatOf(from), destination, FormatOf(to),
                                      cmsGetHeaderRenderingIntent(source), cmsFLAGS_NOCACHE));
    }
    return slot.get();
  }

private:
  Matcher() = default;

  static cmsUInt32Number FormatOf(OSType space) {
    switch (space) {
      case cmCMYKData:
        return TYPE_CMYK_16;
      case cmLabData:
        return TYPE_Lab_DBL;
      default:
        return TYPE_RGB_16;
    }
  }

  cmsHPROFILE LockedProfileOf(OSType space) {
    Profile& slot = m_Profiles[space];
    if (!slot) {
      switch (space) {
        case cmRGBData:
          slot.reset(cmsCreate_sRGBProfile());
          break;
        case cmCMYKData:
          slot.reset(cmsOpenProfileFromFile(STANDIN_CMYK_PROFILE, "r"));
          break;
        case cmLabData:
          slot.reset(cmsCreateLab4Profile(nullptr));
          break;
        default:
          break;
      }
    }
    return slot.get();
  }

  std::mutex m_Mutex;
  std::map<OSType, Profile> m_Profiles;
  std::map<std::pair<OSType, OSType>, Transform> m_Transforms;
};

// CMLabColor holds L 0..65535 for 0..100 and a, b 0..65535 for -128..127.996.
cmsCIELab ToLab(CMLabColor const& c) {
  cmsCIELab lab;
  lab.L = c.L / 655.35;
  lab.a = c.a / 256.0 - 128.0;
  lab.b = c.b / 256.0 - 128.0;
  return lab;
}

UInt16 ToWord(double value) {
  return static_cast<UInt16>(std::lround(std::clamp(value, 0.0, 65535.0)));
}

CMLabColor FromLab(cmsCIELab const& lab) {
  return CMLabColor{ToWord(lab.L * 655.35), ToWord((lab.a + 128.0) * 256.0),
                    ToWord((lab.b + 128.0) * 256.0)};
}

// One colour in the layout LittleCMS takes for its space: words for RGB and CMYK, doubles for Lab.
struct Pixel {
  cmsUInt16Number words[4] = {0, 0, 0, 0};
  cmsCIELab lab{};
};

Pixel PixelOf(OSType space, CMColor const& colour) {
  Pixel pixel;
  switch (space) {
    case cmCMYKData:
      pixel.words[0] = colour.cmyk.cyan;
      pixel.words[1] = colour.cmyk.magenta;
      pixel.words[2] = colour.cmyk.yellow;
      pixel.words[3] = colour.cmyk.black;
      break;
    case cmLabData:
      pixel.lab = ToLab(colour.Lab);
      break;
    default:
      pixel.words[0] = colour.rgb.red;
      pixel.words[1] = colour.rgb.green;
      pixel.words[2] = colour.rgb.blue;
      break;
  }
  return pixel;
}

void Store(OSType space, Pixel const& pixel, CMColor& colour) {
  switch (space) {
    case cmCMYKData:
      colour.cmyk = CMCMYKColor{pixel.words[0], pixel.words[1], pixel.words[2], pixel.words[3]};
      break;
    case cmLabData:
      colour.Lab = FromLab(pixel.lab);
      break;
    default:
      colour.rgb = CMRGBColor{pixel.words[0], pixel.words[1], pixel.words[2]};
      break;
  }
}

void Match(OpaqueCMWorldRef const& world, CMColor& colour) {
  Pixel const in = PixelOf(world.from, colour);
  Pixel out;
  void* const target = world.to == cmLabData ? static_cast<void*>(&out.lab) : out.words;
  void const* const source = world.from == cmLabData ? static_cast<void const*>(&in.lab) : in.words;
  cmsDoTransform(world.transform, source, target, 1);
  Store(world.to, out, colour);
}

}  // namespace

CMError CMGetDefaultProfileBySpace(OSType dataColorSpace, CMProfileRef* prof) {
  if (CMError const failure = TakeFailure(StandIn_CMGetDefaultProfileBySpace))
    return failure;
  if (!prof)
    return cmParameterError;
  if (!IsKnownSpace(dataColorSpace) || !Matcher::Instance().ProfileOf(dataColorSpace))
    return cmProfileNotFound;
  *prof = new OpaqueCMProfileRef{dataColorSpace};
  ++g_OpenObjects;
  return 0;
}

CMError CMCloseProfile(CMProfileRef prof) {
  if (!prof)
    return cmParameterError;
  delete prof;
  --g_OpenObjects;
  return 0;
}

CMError NCWNewColorWorld(CMWorldRef* cw, CMProfileRef src, CMProfileRef dst) {
  if (CMError const failure = TakeFailure(StandIn_NCWNewColorWorld))
    return failure;
  if (!cw || !src || !dst)
    return cmParameterError;
  cmsHTRANSFORM const transform = Matcher::Instance().TransformOf(src->space, dst->space);
  if (!transform)
    return cmProfileError;
  *cw = new OpaqueCMWorldRef{src->space, dst->space, transform};
  ++g_OpenObjects;
  return 0;
}

void CWDisposeColorWorld(CMWorldRef cw) {
  if (!cw)
    return;
  delete cw;
  --g_OpenObjects;
}

CMError CWMatchColors(CMWorldRef cw, CMColor* myColors, UInt32 count) {
  if (CMError const failure = TakeFailure(StandIn_CWMatchColors))
    return failure;
  if (!cw || (!myColors && count > 0))
    return cmParameterError;
  for (UInt32 i = 0; i < count; ++i) {
    Match(*cw, myColors[i]);
    ++g_MatchedColors;
  }
  return 0;
}

void StandIn_ColorSyncFailNext(StandIn_ColorSyncCall call, CMError status) {
  StandIn_SetFailures(kCallNames[call], status, 1);
}

int StandIn_ColorSyncOpenObjects() {
  return g_OpenObjects;
}

int StandIn_ColorSyncMatchedColors() {
  return g_MatchedColors;
}

void StandIn_ColorSyncReset() {
  for (const char* name : kCallNames)
    StandIn_SetFailures(name, noErr, 0);
  g_MatchedColors = 0;
}
