// CFURL of the Mac stand-in: file URLs only ("file:///" and a percent-encoded absolute path; a
// folder's URL may end in a slash). Conversions to and from FSRef go through the stand-in's
// File Manager, so an FSRef exists only for an item that exists.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>

#include <string>

// The stand-in's URL object: an absolute, normalised, decoded POSIX path and whether the URL
// names a folder (its string then ends in a slash).
class StandIn_CFURL : public StandIn_CFObject {
public:
  StandIn_CFURL(std::string path, bool isDirectory);
  ~StandIn_CFURL() override;

  const std::string& Path() const { return m_Path; }
  bool IsDirectory() const { return m_IsDirectory; }
  // "file://" and the percent-encoded path; made on first use and owned by the URL.
  CFStringRef String() const;

private:
  std::string m_Path;
  bool m_IsDirectory;
  mutable CFStringRef m_String;
};

typedef const StandIn_CFURL* CFURLRef;

typedef CFIndex CFURLPathStyle;
enum {
  kCFURLPOSIXPathStyle = 0,
  // "Volume:folder:file"; the stand-in's one volume is "Macintosh HD", besides the test
  // volumes of StandIn_FilesMountTestVolume (CoreServices/Files.h).
  kCFURLHFSPathStyle = 1,
  kCFURLWindowsPathStyle = 2
};

CFTypeID CFURLGetTypeID();

// A relative POSIX path is taken against the current directory. Null for an empty path or an
// unsupported style.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory);
// A "file:" URL in the given encoding; null for anything else.
CFURLRef CFURLCreateWithBytes(CFAllocatorRef allocator, const UInt8* urlBytes, CFIndex length,
                              CFStringEncoding encoding, CFURLRef baseURL);
// The URL of an existing item; null when the reference names nothing.
CFURLRef CFURLCreateFromFSRef(CFAllocatorRef allocator, const FSRef* fsRef);
CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef allocator, CFURLRef url);
CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef allocator, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory);

// Owned by the URL (not retained for the caller).
CFStringRef CFURLGetString(CFURLRef anURL);
// The path without a trailing slash ("/" for the root).
CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle);
CFStringRef CFURLCopyLastPathComponent(CFURLRef url);
// Null when the last component has no extension.
CFStringRef CFURLCopyPathExtension(CFURLRef url);
Boolean CFURLHasDirectoryPath(CFURLRef anURL);
// False when the item does not exist.
Boolean CFURLGetFSRef(CFURLRef url, FSRef* fsRef);
// The POSIX path in UTF-8; false when it does not fit.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer,
                                         CFIndex maxBufLen);

// Test hook: the next count URL creations (of any kind above) return null.
void StandIn_CFURLFailNextCreations(int count);
