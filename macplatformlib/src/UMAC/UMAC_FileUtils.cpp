#include "UMAC/UMAC_FileUtils.h"

#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

OSStatus UMAC_PathToFSRef(std::string const& path, FSRef& ref) {
  CFStringRef const text =
      CFStringCreateWithCString(kCFAllocatorDefault, path.c_str(), CFStringGetSystemEncoding());
  if (!text)
    return fnfErr;
  CFURLRef const url =
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, text, kCFURLPOSIXPathStyle, false);
  CFRelease(text);
  if (!url)
    return fnfErr;
  // Resolve into a copy so that a failed lookup leaves the caller's reference untouched.
  FSRef found;
  Boolean const resolved = CFURLGetFSRef(url, &found);
  CFRelease(url);
  if (!resolved)
    return fnfErr;
  ref = found;
  return noErr;
}
