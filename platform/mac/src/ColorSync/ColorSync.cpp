#include <ColorSync/ColorSync.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"

#include <lcms2.h>

#include <atomic>
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

CMRGBColor Match(cmsHTRANSFORM transform, OSType from, CMColor const& colour) {
  cmsUInt16Number out[3] = {0, 0, 0};
  if (from == cmCMYKData) {
    cmsUInt16Number const in[4] = {colour.cmyk.cyan, colour.cmyk.magenta, colour.cmyk.yellow,
                                   colour.cmyk.black};
    cmsDoTransform(transform, in, out, 1);
  } else {
    cmsCIELab const in = ToLab(colour.Lab);
    cmsDoTransform(transform, &in, out, 1);
  }
  return CMRGBColor{out[0], out[1], out[2]};
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
  if (cw->to != cmRGBData || (cw->from != cmCMYKData && cw->from != cmLabData))
    return cmMethodError;
  for (UInt32 i = 0; i < count; ++i) {
    myColors[i].rgb = Match(cw->transform, cw->from, myColors[i]);
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
