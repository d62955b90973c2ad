#include "MKRX/MKRX_ColorDatabaseFiles.h"

#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "PPXA/iPPXA_CFHolder.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFURL.h>
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using URLHolder = PPXA::iPPXA_CFHolder<CFURLRef>;
using StringHolder = PPXA::iPPXA_CFHolder<CFStringRef>;

// The URL's POSIX path as UTF-8, the encoding the file calls take, of whatever length CF gives.
std::string PosixPath(CFURLRef url) {
  StringHolder const path(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
  if (!path.Get())
    return std::string();
  CFRange const whole = CFRangeMake(0, CFStringGetLength(path.Get()));
  CFIndex size = 0;
  CFStringGetBytes(path.Get(), whole, kCFStringEncodingUTF8, 0, false, nullptr, 0, &size);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  CFIndex used = 0;
  if (size > 0)
    CFStringGetBytes(path.Get(), whole, kCFStringEncodingUTF8, 0, false,
                     reinterpret_cast<UInt8*>(&bytes[0]), size, &used);
  bytes.resize(static_cast<std::size_t>(used));
  return bytes;
}

bool FileExists(std::string const& path) {
  FSRef ref;
  return FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr) != fnfErr;
}

}  // namespace

bool MKRX_ColorDatabaseFiles::IsLittleEndian() {
  std::uint32_t const probe = 0x02000001;
  unsigned char first = 0;
  std::memcpy(&first, &probe, 1);
  return first == 1;
}

const char* MKRX_ColorDatabaseFiles::PantoneResourceName() {
  return IsLittleEndian() ? "PantoneLE.colordb" : "Pantone.colordb";
}

std::string MKRX_ColorDatabaseFiles::PantonePath() {
  StringHolder const name(
      CFStringCreateWithCString(nullptr, PantoneResourceName(), kCFStringEncodingUTF8));
  URLHolder const url(
      CFBundleCopyResourceURL(CFBundleGetMainBundle(), name.Get(), nullptr, nullptr));
  return url.Get() ? PosixPath(url.Get()) : std::string();
}

std::string MKRX_ColorDatabaseFiles::UserDatabasePath() {
  FSRef folder;
  if (FSFindFolder(kUserDomain, kPreferencesFolderType, false, &folder) != noErr)
    return std::string();
  URLHolder const url(CFURLCreateFromFSRef(nullptr, &folder));
  std::string const path = url.Get() ? PosixPath(url.Get()) : std::string();
  return path.empty() ? path : path + "/" + kUserDatabaseFilename;
}

MKRX_ColorDatabaseFiles::UserDatabaseOutcome
MKRX_ColorDatabaseFiles::OpenUserDatabase(std::string const& path) {
  IMPN_ColorDBFile const file(path);
  UserDatabaseOutcome outcome = kUserDatabaseLoaded;
  if (!FileExists(path)) {
    file.CreateEmptyFile();
    outcome = kUserDatabaseCreated;
  } else {
    IMPN_ColorMap probe;
    if (!file.LoadColors(probe)) {
      std::string const aside = path + kSetAsideSuffix;
      std::remove(aside.c_str());
      if (std::rename(path.c_str(), aside.c_str()) != 0)
        // The file stays where it is, so nothing may be saved over it in this run.
        return kUserDatabaseSetAside;
      file.CreateEmptyFile();
      outcome = kUserDatabaseSetAside;
    }
  }
  IMPN_ColorDatabase::LoadCustomColors(path);
  return outcome;
}
