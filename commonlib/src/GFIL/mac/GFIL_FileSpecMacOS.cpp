#include "GFIL/mac/GFIL_FileSpecMacOS.h"

#include "GFIL/GFIL_Exception.h"
#include "GFIL/mac/GFIL_FileSystemMacOS.h"
#include "GLIB/GLIB_New.h"

#include <sstream>
#include <string>

namespace {

GLIB_String WithErrorCode(const GLIB_String& message, OSErr err) {
  return message + "; MacOS error code: " + GLIB_String(std::to_string(err));
}

// Exactly the same units: a missing file's name may differ from another only in case, and on a
// case-sensitive volume those are two files.
bool SameText(CFStringRef a, CFStringRef b) {
  if (a == nullptr || b == nullptr)
    return a == b;
  CFIndex length = CFStringGetLength(a);
  if (length != CFStringGetLength(b))
    return false;
  for (CFIndex i = 0; i < length; ++i) {
    if (CFStringGetCharacterAtIndex(a, i) != CFStringGetCharacterAtIndex(b, i))
      return false;
  }
  return true;
}

}  // namespace

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS() = default;

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const GFIL_FileSpec& spec) : GFIL_FileSpec(spec) {}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const GFIL_FileSpecMacOS& spec) : GFIL_FileSpec(spec) {}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const CFURLRef& url) {
  SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemMacOS(url));
}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const FSRef& ref) {
  SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemMacOS(ref));
}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const FSSpec& spec) {
  SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemMacOS(spec));
}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(FSSpec* spec) {
  if (spec)
    SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemMacOS(*spec));
}

GFIL_FileSpecMacOS::GFIL_FileSpecMacOS(const GFIL_AutoAliasHandle& alias) {
  GFIL_AutoAliasHandle clone(alias);  // disposed of on every path
  FSRef ref{};
  Boolean changed = false;
  OSErr err = FSResolveAlias(nullptr, clone.GetHandle(), &ref, &changed);
  if (err != noErr && err != fnfErr) {
    std::ostringstream printed;
    printed << alias;
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                        WithErrorCode("Failed to resolve the alias \"" +
                                          GLIB_String(printed.str()) + "\" to an FSRef",
                                      err),
                        err);
  }
  SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemMacOS(ref));
}

CFURLRef GFIL_FileSpecMacOS::AsURLRef() const {
  return *static_cast<const CFURLRef*>(FileSystemImplPtr()->PlatformSpecPtr());
}

FSRef GFIL_FileSpecMacOS::AsFSRef() const {
  FSRef ref;
  if (!CFURLGetFSRef(AsURLRef(), &ref))
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Unexpected error converting CFURLRef to FSRef");
  return ref;
}

FSSpec GFIL_FileSpecMacOS::AsFSSpec() const {
  FSSpec spec{};
  if (Exists()) {
    FSRef ref = AsFSRef();
    OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
    if (err != noErr)
      GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                          WithErrorCode("Failed to resolve the FSRef ot an FSSpec", err), err);
    return spec;
  }
  const GLIB_String name = Name().AsString();
  GFIL_FileSpecMacOS parent(Parent());
  if (!parent.Exists())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Unexpected to create the FSSpec for \"" + name + "\"");
  FSRef parentRef = parent.AsFSRef();
  FSCatalogInfo info;
  FSRefParam pb{};
  pb.ref = &parentRef;
  pb.whichInfo = kFSCatInfoVolume | kFSCatInfoNodeID;
  pb.catInfo = &info;
  OSErr err = PBGetCatalogInfoSync(&pb);
  if (err != noErr)
    GFIL_THROW_PLATFORM(
        GFIL_ERR_BAD_SPEC,
        WithErrorCode("Unexpected error getting catalog info for \"" + name + "\"", err), err);
  Str255 pascalName;
  GLIB_CStringToPascal(name.c_str(), pascalName, sizeof pascalName);
  err = FSMakeFSSpec(info.volume, static_cast<SInt32>(info.nodeID), pascalName, &spec);
  if (err != noErr && err != fnfErr)
    GFIL_THROW_PLATFORM(
        GFIL_ERR_BAD_SPEC,
        WithErrorCode("Unexpected error creating the FSSpec for \"" + name + "\"", err), err);
  return spec;
}

bool GFIL_FileSpecMacOS::operator==(const GFIL_FileSpecMacOS& other) const {
  try {
    FSRef mine = AsFSRef();
    FSRef theirs = other.AsFSRef();
    return FSCompareFSRefs(&mine, &theirs) == noErr;
  } catch (const GFIL_Exception&) {
    // Items that do not exist have no FSRef: compare their URLs.
    return SameText(CFURLGetString(AsURLRef()), CFURLGetString(other.AsURLRef()));
  }
}
