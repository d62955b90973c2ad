// CFURL of the Mac stand-in (see CoreFoundation/CFURL.h).
#include <CoreFoundation/CFURL.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"
#include "../CoreFoundation/iStandInCFText.h"
#include "iStandInFiles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace standin_files;

namespace {

CFTypeID URLTypeID() {
  static const CFTypeID id = StandIn_CFRegisterType();
  return id;
}

// One name in the shared failure injection stands for every creation of the kind.
bool CreationFails() {
  return standin_calls::Enter("CFURL creations") != noErr;
}

// Collapses repeated slashes and drops a trailing one (the root stays "/").
std::string NormalisedPath(const std::string& absolute) {
  std::string out;
  for (char c : absolute) {
    if (c == '/' && !out.empty() && out.back() == '/')
      continue;
    out += c;
  }
  if (out.size() > 1 && out.back() == '/')
    out.pop_back();
  return out.empty() ? "/" : out;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (buffer.size() > (1u << 20))
      return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool IsKeptInURL(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr("-._~!$&'()*+,;=:@/", c) != nullptr;
}

std::string PercentEncoded(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (c != '\0' && IsKeptInURL(byte)) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

bool PercentDecoded(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    if (i + 2 >= text.size())
      return false;
    int high = HexValue(text[i + 1]);
    int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0)
      return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

using standin_cf::Utf8Of;

CFStringRef NewString(const std::string& utf8) {
  return standin_cf::NewStringFromUtf8(utf8);
}

// HFS names hold '/' where POSIX names hold ':'.
std::string SwapColonsAndSlashes(std::string name) {
  for (char& c : name)
    c = c == '/' ? ':' : c == ':' ? '/' : c;
  return name;
}

// "Volume:a:b" -> "/a/b" on the stand-in's volume, "/Volumes/Volume/a/b" otherwise; a path
// starting with ':' is relative to the current directory.
std::string PosixPathFromHFS(const std::string& hfs, bool* isDirectory) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t colon = hfs.find(':', start);
    parts.push_back(
        hfs.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos)
      break;
    start = colon + 1;
  }
  if (parts.size() > 1 && parts.back().empty()) {
    *isDirectory = true;
    parts.pop_back();
  }
  std::string path;
  if (parts.front().empty()) {
    path = CurrentDirectory();
  } else if (!FolderOfTestVolume(parts.front(), &path)) {
    if (parts.front() != kVolumeName)
      path = "/Volumes/" + SwapColonsAndSlashes(parts.front());
    else if (parts.size() == 1)
      return "/";
  }
  for (std::size_t i = 1; i < parts.size(); ++i)
    path += "/" + SwapColonsAndSlashes(parts[i]);
  return path.empty() ? "/" : path;
}

std::string HFSPathFromPosix(const std::string& posix) {
  std::string hfs = kVolumeName;
  std::string path = posix;
  std::string rest;
  if (TestVolumeOfPath(posix, &hfs, &rest))
    path = rest.empty() ? "/" : rest;
  if (path == "/")
    return hfs;
  std::size_t start = 1;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    std::string part =
        path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    hfs += ":" + SwapColonsAndSlashes(part);
    if (slash == std::string::npos)
      break;
    start = slash + 1;
  }
  return hfs;
}

}  // namespace

StandIn_CFURL::StandIn_CFURL(std::string path, bool isDirectory)
    : StandIn_CFObject(URLTypeID()),
      m_Path(std::move(path)),
      m_IsDirectory(isDirectory || m_Path == "/"),
      m_String(nullptr) {}

StandIn_CFURL::~StandIn_CFURL() {
  if (m_String)
    CFRelease(m_String);
}

CFStringRef StandIn_CFURL::String() const {
  if (m_String == nullptr) {
    std::string text = "file://" + PercentEncoded(m_Path);
    if (m_IsDirectory && m_Path != "/")
      text += '/';
    m_String = NewString(text);
  }
  return m_String;
}

namespace {

CFURLRef NewURL(const std::string& absolutePath, bool isDirectory) {
  if (CreationFails())
    return nullptr;
  return new StandIn_CFURL(NormalisedPath(absolutePath), isDirectory);
}

}  // namespace

CFTypeID CFURLGetTypeID() {
  return URLTypeID();
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory) {
  if (filePath == nullptr)
    return nullptr;
  std::string path = Utf8Of(filePath);
  if (path.empty())
    return nullptr;
  bool directory = isDirectory != 0;
  if (pathStyle == kCFURLHFSPathStyle) {
    path = PosixPathFromHFS(path, &directory);
  } else if (pathStyle != kCFURLPOSIXPathStyle) {
    return nullptr;
  } else if (path[0] != '/') {
    path = CurrentDirectory() + "/" + path;
  }
  return NewURL(path, directory);
}

CFURLRef CFURLCreateWithBytes(CFAllocatorRef, const UInt8* urlBytes, CFIndex length,
                              CFStringEncoding encoding, CFURLRef baseURL) {
  if (urlBytes == nullptr || length < 0 || baseURL != nullptr)
    return nullptr;
  if (encoding != kCFStringEncodingUTF8 && encoding != kCFStringEncodingASCII)
    return nullptr;
  std::string text(reinterpret_cast<const char*>(urlBytes), static_cast<std::size_t>(length));
  const std::string scheme = "file://";
  if (text.compare(0, scheme.size(), scheme) != 0)
    return nullptr;
  text.erase(0, scheme.size());
  if (text.compare(0, 9, "localhost") == 0)
    text.erase(0, 9);
  std::string path;
  if (text.empty() || text[0] != '/' || !PercentDecoded(text, &path))
    return nullptr;
  return NewURL(path, path.size() > 1 && path.back() == '/');
}

CFURLRef CFURLCreateFromFSRef(CFAllocatorRef, const FSRef* fsRef) {
  std::string path;
  if (PathOfRef(fsRef, &path) != noErr)
    return nullptr;
  struct stat st;
  bool directory = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return NewURL(path, directory);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef url) {
  if (url == nullptr)
    return nullptr;
  const std::string& path = url->Path();
  if (path == "/")
    return NewURL("/", true);
  std::size_t slash = path.rfind('/');
  return NewURL(slash == 0 ? "/" : path.substr(0, slash), true);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory) {
  if (url == nullptr || pathComponent == nullptr)
    return nullptr;
  return NewURL(url->Path() + "/" + Utf8Of(pathComponent), isDirectory != 0);
}

CFStringRef CFURLGetString(CFURLRef anURL) {
  return anURL ? anURL->String() : nullptr;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
  if (anURL == nullptr)
    return nullptr;
  if (pathStyle == kCFURLPOSIXPathStyle)
    return NewString(anURL->Path());
  if (pathStyle == kCFURLHFSPathStyle)
    return NewString(HFSPathFromPosix(anURL->Path()));
  return nullptr;
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url) {
  if (url == nullptr)
    return nullptr;
  const std::string& path = url->Path();
  return NewString(path == "/" ? path : path.substr(path.rfind('/') + 1));
}

CFStringRef CFURLCopyPathExtension(CFURLRef url) {
  if (url == nullptr)
    return nullptr;
  const std::string& path = url->Path();
  std::string last = path.substr(path.rfind('/') + 1);
  std::size_t dot = last.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == last.size())
    return nullptr;
  return NewString(last.substr(dot + 1));
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) {
  return anURL && anURL->IsDirectory();
}

Boolean CFURLGetFSRef(CFURLRef url, FSRef* fsRef) {
  if (url == nullptr || fsRef == nullptr)
    return false;
  return MakeRefFromPath(url->Path(), fsRef) == noErr;
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
  if (url == nullptr || buffer == nullptr)
    return false;
  const std::string& path = url->Path();
  if (static_cast<CFIndex>(path.size()) + 1 > maxBufLen)
    return false;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

void StandIn_CFURLFailNextCreations(int count) {
  StandIn_SetFailures("CFURL creations", -1, count);
}
