// Icon Services of the Mac stand-in (see HIServices/Icons.h).
#include <HIServices/Icons.h>

#include "../Files/iStandInFiles.h"

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

struct OpaqueIconRef {
  std::string path;
  long references = 0;
  bool registered = false;
};

namespace {

struct IconState {
  std::mutex mutex;
  std::map<OpaqueIconRef*, std::unique_ptr<OpaqueIconRef>> icons;
  std::map<std::pair<OSType, OSType>, OpaqueIconRef*> registry;
  long releases = 0;
};

IconState& TheState() {
  static IconState* state = new IconState;
  return *state;
}

using Lock = std::lock_guard<std::mutex>;

bool IsIconData(const std::string& path) {
  static const unsigned char kPNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  char head[8] = {};
  std::ifstream file(path, std::ios::binary);
  file.read(head, sizeof head);
  auto got = static_cast<std::size_t>(file.gcount());
  return (got >= 4 && std::memcmp(head, "icns", 4) == 0) ||
         (got == 8 && std::memcmp(head, kPNG, 8) == 0);
}

OpaqueIconRef* NewIcon(IconState& s, std::string path) {
  auto icon = std::make_unique<OpaqueIconRef>();
  icon->path = std::move(path);
  OpaqueIconRef* made = icon.get();
  s.icons.emplace(made, std::move(icon));
  return made;
}

OpaqueIconRef* Referenced(OpaqueIconRef* icon) {
  ++icon->references;
  return icon;
}

}  // namespace

OSErr GetIconRef(SInt16, OSType creator, OSType iconType, IconRef* theIconRef) {
  if (OSErr err = standin_files::EnterCall("GetIconRef"))
    return err;
  if (theIconRef == nullptr)
    return paramErr;
  IconState& s = TheState();
  Lock lock(s.mutex);
  auto found = s.registry.find({creator, iconType});
  if (found == s.registry.end())
    return noSuchIconErr;
  *theIconRef = Referenced(found->second);
  return noErr;
}

namespace {

// Registers the icon file at a POSIX path for the creator and type.
OSErr RegisterIconAt(OSType creator, OSType iconType, const std::string& path,
                     IconRef* theIconRef) {
  if (theIconRef == nullptr)
    return paramErr;
  if (!IsIconData(path))
    return noIconDataAvailableErr;
  IconState& s = TheState();
  Lock lock(s.mutex);
  OpaqueIconRef*& slot = s.registry[{creator, iconType}];
  if (slot == nullptr || slot->path != path) {
    OpaqueIconRef* icon = NewIcon(s, path);
    if (slot) {
      slot->registered = false;
      if (slot->references == 0)
        s.icons.erase(slot);
    }
    icon->registered = true;
    slot = icon;
  }
  *theIconRef = Referenced(slot);
  return noErr;
}

}  // namespace

OSErr RegisterIconRefFromIconFile(OSType creator, OSType iconType, const FSSpec* iconFile,
                                  IconRef* theIconRef) {
  if (OSErr err = standin_files::EnterCall("RegisterIconRefFromIconFile"))
    return err;
  if (theIconRef == nullptr)
    return paramErr;
  std::string path;
  if (OSErr err = standin_files::PathOfSpec(iconFile, &path))
    return err;
  return RegisterIconAt(creator, iconType, path, theIconRef);
}

OSErr RegisterIconRefFromFSRef(OSType creator, OSType iconType, const FSRef* iconFile,
                               IconRef* theIconRef) {
  if (OSErr err = standin_files::EnterCall("RegisterIconRefFromFSRef"))
    return err;
  if (theIconRef == nullptr || iconFile == nullptr)
    return paramErr;
  std::string path;
  if (OSErr err = standin_files::PathOfRef(iconFile, &path))
    return err;
  return RegisterIconAt(creator, iconType, path, theIconRef);
}

OSErr GetIconRefFromFile(const FSSpec* theFile, IconRef* theIconRef, SInt16* theLabel) {
  if (OSErr err = standin_files::EnterCall("GetIconRefFromFile"))
    return err;
  if (theIconRef == nullptr)
    return paramErr;
  std::string path;
  if (OSErr err = standin_files::PathOfSpec(theFile, &path))
    return err;
  IconState& s = TheState();
  Lock lock(s.mutex);
  *theIconRef = Referenced(NewIcon(s, path));
  if (theLabel)
    *theLabel = 0;
  return noErr;
}

OSErr ReleaseIconRef(IconRef theIconRef) {
  if (OSErr err = standin_files::EnterCall("ReleaseIconRef"))
    return err;
  IconState& s = TheState();
  Lock lock(s.mutex);
  auto found = s.icons.find(theIconRef);
  if (found == s.icons.end() || theIconRef->references == 0)
    return invalidIconRefErr;
  ++s.releases;
  if (--theIconRef->references == 0 && !theIconRef->registered)
    s.icons.erase(found);
  return noErr;
}

long StandIn_IconReferenceCount(IconRef icon) {
  Lock lock(TheState().mutex);
  auto found = TheState().icons.find(icon);
  return found == TheState().icons.end() ? 0 : icon->references;
}

long StandIn_IconLiveReferenceCount() {
  Lock lock(TheState().mutex);
  long total = 0;
  for (const auto& entry : TheState().icons)
    total += entry.second->references;
  return total;
}

long StandIn_IconReleaseCount() {
  Lock lock(TheState().mutex);
  return TheState().releases;
}

void StandIn_ResetIcons() {
  IconState& s = TheState();
  Lock lock(s.mutex);
  for (auto& entry : s.registry)
    entry.second->registered = false;
  s.registry.clear();
  for (auto it = s.icons.begin(); it != s.icons.end();) {
    if (it->second->references == 0)
      it = s.icons.erase(it);
    else
      ++it;
  }
  s.releases = 0;
}

std::string StandIn_IconPath(IconRef icon) {
  Lock lock(TheState().mutex);
  return icon ? icon->path : std::string();
}
