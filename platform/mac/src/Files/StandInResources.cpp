// Resource Manager of the Mac stand-in (see CoreServices/Resources.h).
#include <CoreServices/MacMemory.h>
#include <CoreServices/Resources.h>

#include "iStandInFiles.h"

#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

using namespace standin_files;

namespace {

using ResourceKey = std::pair<ResType, ResID>;
using Fork = std::map<ResourceKey, std::vector<UInt8>>;

struct OpenResFile {
  Fork resources;
  std::vector<Handle> handles;
};

struct ResourceState {
  std::map<std::string, Fork> forks;  // by canonical path
  std::map<ResFileRefNum, OpenResFile> open;
  ResFileRefNum current = 0;
  OSErr lastError = noErr;
};

ResourceState& Resources() {
  static auto* state = new ResourceState;
  return *state;
}

std::string Canonical(const char* path) {
  char resolved[4096];
  return ::realpath(path, resolved) ? std::string(resolved) : std::string(path);
}

}  // namespace

ResFileRefNum HOpenResFile(FSVolumeRefNum vRefNum, SInt32 dirID, ConstStr255Param fileName, SInt8) {
  auto lock = LockFiles();
  ResourceState& s = Resources();
  if (OSErr err = EnterCall("HOpenResFile")) {
    s.lastError = err;
    return -1;
  }
  std::string folder;
  if (!VolumeExists(vRefNum) || !DirectoryPath(vRefNum, dirID, &folder)) {
    s.lastError = dirNFErr;
    return -1;
  }
  std::string const path = Canonical(Child(folder, PascalText(fileName)).c_str());
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    s.lastError = fnfErr;
    return -1;
  }
  auto fork = s.forks.find(path);
  if (fork == s.forks.end()) {
    s.lastError = resFNotFound;
    return -1;
  }
  ResFileRefNum refNum = 100;
  while (s.open.count(refNum))
    ++refNum;
  s.open[refNum].resources = fork->second;
  s.current = refNum;
  s.lastError = noErr;
  return refNum;
}

void CloseResFile(ResFileRefNum refNum) {
  auto lock = LockFiles();
  ResourceState& s = Resources();
  auto found = s.open.find(refNum);
  if (found == s.open.end()) {
    s.lastError = resFNotFound;
    return;
  }
  for (Handle h : found->second.handles)
    DisposeHandle(h);
  s.open.erase(found);
  if (s.current == refNum)
    s.current = s.open.empty() ? 0 : s.open.rbegin()->first;
  s.lastError = noErr;
}

ResFileRefNum CurResFile(void) {
  auto lock = LockFiles();
  return Resources().current;
}

void UseResFile(ResFileRefNum refNum) {
  auto lock = LockFiles();
  ResourceState& s = Resources();
  if (refNum != 0 && s.open.count(refNum) == 0) {
    s.lastError = resFNotFound;
    return;
  }
  s.current = refNum;
  s.lastError = noErr;
}

void SetResLoad(Boolean) {}

Handle Get1Resource(ResType theType, ResID theID) {
  auto lock = LockFiles();
  ResourceState& s = Resources();
  auto file = s.open.find(s.current);
  if (file == s.open.end()) {
    s.lastError = resNotFound;
    return nullptr;
  }
  auto found = file->second.resources.find({theType, theID});
  if (found == file->second.resources.end()) {
    s.lastError = resNotFound;
    return nullptr;
  }
  Handle h = NewHandle(static_cast<Size>(found->second.size()));
  if (h == nullptr) {
    s.lastError = memFullErr;
    return nullptr;
  }
  if (!found->second.empty())
    std::memcpy(*h, found->second.data(), found->second.size());
  file->second.handles.push_back(h);
  s.lastError = noErr;
  return h;
}

void ReleaseResource(Handle theResource) {
  auto lock = LockFiles();
  for (auto& file : Resources().open) {
    auto& handles = file.second.handles;
    for (auto it = handles.begin(); it != handles.end(); ++it) {
      if (*it == theResource) {
        DisposeHandle(theResource);
        handles.erase(it);
        return;
      }
    }
  }
}

OSErr ResError(void) {
  auto lock = LockFiles();
  return Resources().lastError;
}

void StandIn_ResourcesSet(const char* path, ResType type, ResID id,
                          const std::vector<UInt8>& bytes) {
  auto lock = LockFiles();
  Resources().forks[Canonical(path)][{type, id}] = bytes;
}

void StandIn_ResourcesReset() {
  auto lock = LockFiles();
  Resources().forks.clear();
}

long StandIn_ResourcesOpenCount() {
  auto lock = LockFiles();
  return static_cast<long>(Resources().open.size());
}
