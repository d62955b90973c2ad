// Alias Manager, Folder Manager and Delay of the Mac stand-in.
#include <CoreServices/Aliases.h>
#include <CoreServices/Folders.h>
#include <CoreServices/OSUtils.h>
#include <HIToolbox/Events.h>

#include "iStandInFiles.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>

using namespace standin_files;

namespace {

constexpr std::size_t kAliasHeaderSize = sizeof(AliasRecord);

AliasHandle NewAliasRecord(const std::string& path) {
  Size size = static_cast<Size>(kAliasHeaderSize + path.size());
  if (size > 0xFFFF)
    return nullptr;
  Handle handle = NewHandleClear(size);
  if (handle == nullptr)
    return nullptr;
  auto* record = reinterpret_cast<AliasRecord*>(*handle);
  record->userType = 0;
  record->aliasSize = static_cast<UInt16>(size);
  std::memcpy(*handle + kAliasHeaderSize, path.data(), path.size());
  return reinterpret_cast<AliasHandle>(handle);
}

bool PathOfAlias(AliasHandle alias, std::string* path) {
  if (alias == nullptr || *alias == nullptr)
    return false;
  Size size = GetHandleSize(reinterpret_cast<Handle>(alias));
  if (size < static_cast<Size>(kAliasHeaderSize) || (*alias)->aliasSize != size)
    return false;
  const char* bytes = reinterpret_cast<const char*>(*alias) + kAliasHeaderSize;
  path->assign(bytes, static_cast<std::size_t>(size) - kAliasHeaderSize);
  return !path->empty();
}

void CopyName(const std::string& utf8, HFSUniStr255* out) {
  std::string name = utf8;
  for (char& c : name)
    c = c == ':' ? '/' : c;
  std::u16string units = Utf8ToUtf16(name);
  out->length = static_cast<UInt16>(units.size() > 255 ? 255 : units.size());
  std::memcpy(out->unicode, units.data(), out->length * sizeof(UniChar));
}

std::mutex g_folderMutex;
std::map<OSType, std::string>& FolderOverrides() {
  static std::map<OSType, std::string> overrides;
  return overrides;
}

bool DefaultFolder(OSType folderType, std::string* path) {
  if (folderType == kTemporaryFolderType) {
    const char* tmp = std::getenv("TMPDIR");
    *path = tmp && *tmp ? tmp : "/tmp";
    return true;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0')
    return false;
  if (folderType == kPreferencesFolderType) {
    *path = std::string(home) + "/Library/Preferences";
    return true;
  }
  if (folderType == kApplicationSupportFolderType) {
    *path = std::string(home) + "/Library/Application Support";
    return true;
  }
  return false;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    struct stat st;
    if (::stat(part.c_str(), &st) != 0 && ::mkdir(part.c_str(), 0777) != 0)
      return false;
    if (slash == std::string::npos)
      return true;
  }
}

}  // namespace

OSErr FSNewAlias(const FSRef*, const FSRef* target, AliasHandle* inAlias) {
  return FSNewAliasMinimal(target, inAlias);
}

OSErr FSNewAliasMinimal(const FSRef* target, AliasHandle* inAlias) {
  if (inAlias)
    *inAlias = nullptr;
  if (OSErr err = EnterCall("FSNewAlias"))
    return err;
  if (inAlias == nullptr)
    return paramErr;
  std::string path;
  if (OSErr err = PathOfRef(target, &path))
    return err;
  *inAlias = NewAliasRecord(path);
  return *inAlias ? kOK : memFullErr;
}

OSErr NewAlias(const FSSpec*, const FSSpec* target, AliasHandle* alias) {
  if (alias)
    *alias = nullptr;
  if (OSErr err = EnterCall("NewAlias"))
    return err;
  if (alias == nullptr)
    return paramErr;
  std::string path;
  if (OSErr err = PathOfSpec(target, &path))
    return err;
  *alias = NewAliasRecord(path);
  return *alias ? kOK : memFullErr;
}

OSErr UpdateAlias(const FSSpec*, const FSSpec* target, AliasHandle alias, Boolean* wasChanged) {
  if (wasChanged)
    *wasChanged = false;
  if (OSErr err = EnterCall("UpdateAlias"))
    return err;
  std::string oldPath;
  if (!PathOfAlias(alias, &oldPath))
    return paramErr;
  std::string path;
  if (OSErr err = PathOfSpec(target, &path))
    return err;
  AliasHandle fresh = NewAliasRecord(path);
  if (fresh == nullptr)
    return memFullErr;
  // The caller's handle stays the same: its block takes the new record.
  Handle const held = reinterpret_cast<Handle>(alias);
  Size const size = GetHandleSize(reinterpret_cast<Handle>(fresh));
  SetHandleSize(held, size);
  OSErr const err = MemError();
  if (err == noErr)
    std::memcpy(*held, *fresh, static_cast<std::size_t>(size));
  DisposeHandle(reinterpret_cast<Handle>(fresh));
  if (err == noErr && wasChanged)
    *wasChanged = path != oldPath;
  return err;
}

OSErr FSResolveAlias(const FSRef*, AliasHandle alias, FSRef* target, Boolean* wasChanged) {
  if (wasChanged)
    *wasChanged = false;
  if (OSErr err = EnterCall("FSResolveAlias"))
    return err;
  std::string path;
  if (!PathOfAlias(alias, &path) || target == nullptr)
    return paramErr;
  return MakeRefFromPath(path, target);
}

OSStatus FSCopyAliasInfo(AliasHandle inAlias, HFSUniStr255* targetName, HFSUniStr255* volumeName,
                         CFStringRef* pathString, FSAliasInfoBitmap* whichInfo, FSAliasInfo* info) {
  if (pathString)
    *pathString = nullptr;
  if (OSErr err = EnterCall("FSCopyAliasInfo"))
    return err;
  std::string path;
  if (!PathOfAlias(inAlias, &path))
    return paramErr;
  if (targetName)
    CopyName(path == "/" ? std::string(kVolumeName) : path.substr(path.rfind('/') + 1), targetName);
  if (volumeName)
    CopyName(kVolumeName, volumeName);
  if (pathString) {
    std::u16string units = Utf8ToUtf16(path);
    *pathString = CFStringCreateWithCharacters(kCFAllocatorDefault,
                                               reinterpret_cast<const UniChar*>(units.data()),
                                               static_cast<CFIndex>(units.size()));
  }
  if (whichInfo)
    *whichInfo = kFSAliasInfoNone;
  if (info)
    info->reserved = 0;
  return noErr;
}

AliasHandle StandIn_NewAliasForPath(const char* path) {
  return path ? NewAliasRecord(path) : nullptr;
}

OSErr FSFindFolder(SInt16, OSType folderType, Boolean createFolder, FSRef* foundRef) {
  if (OSErr err = EnterCall("FSFindFolder"))
    return err;
  std::string path;
  {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    auto found = FolderOverrides().find(folderType);
    if (found != FolderOverrides().end()) {
      path = found->second;
    } else if (!DefaultFolder(folderType, &path)) {
      return fnfErr;
    }
  }
  if (createFolder && !MakeFolders(path))
    return dirNFErr;
  return MakeRefFromPath(path, foundRef);
}

void StandIn_SetFolder(OSType folderType, const char* posixPath) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  if (posixPath)
    FolderOverrides()[folderType] = posixPath;
  else
    FolderOverrides().erase(folderType);
}

void Delay(unsigned long numTicks, unsigned long* finalTicks) {
  UInt32 start = TickCount();
  // Slightly more than the ticks asked for, so that a running counter surely moves on.
  std::this_thread::sleep_for(std::chrono::milliseconds((numTicks * 1000 + 59) / 60 + 1));
  // A frozen counter did not move while we slept: move it on by the ticks waited.
  if (numTicks > 0 && TickCount() == start)
    StandIn_SetTickCount(start + static_cast<UInt32>(numTicks));
  if (finalTicks)
    *finalTicks = TickCount();
}
