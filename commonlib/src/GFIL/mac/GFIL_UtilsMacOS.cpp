// Mac bodies of the platform free functions of the file-system layer.
#include "GFIL/GFIL_Utils.h"

#include "GFIL/GFIL_Exception.h"
#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "GFIL/GFIL_FileSystem.h"
#include "GFIL/mac/iGFIL_CFText.h"

#include <CoreServices/Folders.h>
#include <CoreServices/OSUtils.h>
#include <HIToolbox/Events.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

GLIB_String WithErrorCode(const GLIB_String& message, OSErr err) {
  return message + "; MacOS error code: " + GLIB_String(std::to_string(err));
}

GLIB_String Quoted(const GLIB_WString& text) {
  return "\"" + text.AsString() + "\"";
}

std::vector<UniChar> Units(const GLIB_WString& text) {
  return std::vector<UniChar>(text.begin(), text.end());
}

// An absolute POSIX path starts with '/' (and may hold ':' in its names); otherwise a ':' marks
// an HFS path ("Volume:folder:file").
CFURLPathStyle PathStyleOf(const GLIB_WString& path) {
  if (!path.empty() && path[0] == L'/')
    return kCFURLPOSIXPathStyle;
  return path.find(L':') != GLIB_WString::npos ? kCFURLHFSPathStyle : kCFURLPOSIXPathStyle;
}

}  // namespace

GLIB_WString GFIL_PlatformPathFromSpec(const GFIL_FileSpec& spec) {
  iGFIL_CFOwner<CFStringRef> path(
      CFURLCopyFileSystemPath(GFIL_FileSpecMacOS(spec).AsURLRef(), kCFURLPOSIXPathStyle));
  return iGFIL_WStringFromCFString(path.Get());
}

GFIL_FileSpec GFIL_SpecFromPlatformPath(const GLIB_WString& path) {
  iGFIL_CFOwner<CFStringRef> text(iGFIL_CreateCFString(path));
  CFURLRef url = text.Get() ? CFURLCreateWithFileSystemPath(kCFAllocatorDefault, text.Get(),
                                                            PathStyleOf(path), false)
                            : nullptr;
  if (url == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert platform path to a CFURLRef");
  return GFIL_FileSpecMacOS(url);
}

GFIL_FileSpec GFIL_CreateTempSpec(const GFIL_FileSpec& folder) {
  if (!folder.Exists())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The specified temporary folder " +
                                      Quoted(GFIL_PlatformPathFromSpec(folder)) +
                                      " doesn't exist.");
  if (!folder.IsAFolder())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The specified temporary folder " +
                                      Quoted(GFIL_PlatformPathFromSpec(folder)) +
                                      " is not really a folder.");
  FSRef folderRef = GFIL_FileSpecMacOS(folder).AsFSRef();
  FSRef fileRef;
  while (true) {
    char name[32];
    std::snprintf(name, sizeof name, "GFIL-%lx", static_cast<unsigned long>(TickCount()));
    std::vector<UniChar> units = Units(GLIB_NToWString(name));
    OSErr err = FSCreateFileUnicode(&folderRef, units.size(), units.data(), kFSCatInfoNone, nullptr,
                                    &fileRef, nullptr);
    if (err == noErr)
      break;
    if (err != dupFNErr)
      GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                          WithErrorCode("Failed to create the temporary file as requested", err),
                          err);
    unsigned long finalTicks;
    Delay(10, &finalTicks);  // the name of this tick is taken: wait for another
  }
  return GFIL_FileSpecMacOS(fileRef);
}

GFIL_FileSpec GFIL_CreateTempSpec() {
  FSRef folderRef;
  OSErr err = FSFindFolder(kOnSystemDisk, kTemporaryFolderType, kCreateFolder, &folderRef);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                        WithErrorCode("Failed to locate a temporary folder", err), err);
  return GFIL_CreateTempSpec(GFIL_FileSpecMacOS(folderRef));
}

void GFIL_CreateDir(const GFIL_FileSpec& spec) {
  GFIL_FileSpecMacOS macSpec(spec);
  const GLIB_WString path = GFIL_PlatformPathFromSpec(spec);
  iGFIL_CFOwner<CFURLRef> parentURL(
      CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, macSpec.AsURLRef()));
  FSRef parentRef;
  if (parentURL.Get() == nullptr || !CFURLGetFSRef(parentURL.Get(), &parentRef))
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not locate parent directory for: " + path.AsString());
  iGFIL_CFOwner<CFStringRef> name(CFURLCopyLastPathComponent(macSpec.AsURLRef()));
  std::vector<UniChar> units = Units(iGFIL_WStringFromCFString(name.Get()));
  OSErr err = FSCreateDirectoryUnicode(&parentRef, units.size(), units.data(), kFSCatInfoNone,
                                       nullptr, nullptr, nullptr, nullptr);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_CREATE_DIR,
                        WithErrorCode("Failed to create the directory " + path.AsString(), err),
                        err);
}

GLIB_String GFIL_URLFromFileSpec(const GFIL_FileSpec& spec, GFIL_URLType type) {
  GLIB_String (*encode)(const GLIB_String&) =
      type == GFIL_URL_PLAIN ? GFIL_DummyEncode : GFIL_URLEncodeString;
  GLIB_String text = encode(spec.Name().AsString());
  // The root's name is empty, so a path below it starts with a slash.
  for (GFIL_FileSpec current = spec; !current.IsTheRoot();) {
    current = current.Parent();
    text = encode(current.Name().AsString()) + "/" + text;
  }
  return "file:///" + text;
}
