#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFPreferences.h>
#include <CoreServices/Folders.h>

#include "../Files/iStandInFiles.h"
#include "iStandInCFCalls.h"
#include "iStandInCFText.h"
#include "iStandInPropertyList.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace standin_cf;

const CFStringRef kCFPreferencesCurrentApplication = CFSTR("kCFPreferencesCurrentApplication");
const CFStringRef kCFPreferencesAnyApplication = CFSTR("kCFPreferencesAnyApplication");

namespace {

constexpr char kGlobalDomain[] = ".GlobalPreferences";
// A preferences file larger than this is not read (no real one comes near it).
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

struct Domain {
  bool loaded = false;
  PlistValue stored;
  // Changes not yet written: a value, or none for a removal.
  std::map<std::u16string, std::optional<PlistValue>> pending;
};

struct Store {
  std::mutex mutex;
  // Set by the test hook; empty: the main bundle's identifier.
  std::string currentApplication;
  std::map<std::string, Domain> domains;
};

Store& TheStore() {
  static Store* store = new Store;  // never destroyed: preferences may be saved at exit
  return *store;
}

std::string Utf8(CFStringRef text) {
  if (text == nullptr)
    Crash("CFPreferences called with a NULL string");
  return Utf8Of(text);
}

// The test hook's identifier, else the main bundle's, else a fixed one.
std::string CurrentApplication(const Store& store) {
  if (!store.currentApplication.empty())
    return store.currentApplication;
  CFStringRef const identifier = CFBundleGetIdentifier(CFBundleGetMainBundle());
  std::string const name = identifier ? Utf8(identifier) : std::string();
  return name.empty() ? "com.standin.application" : name;
}

std::string DomainName(Store& store, CFStringRef applicationID) {
  if (CFEqual(applicationID, kCFPreferencesCurrentApplication))
    return CurrentApplication(store);
  if (CFEqual(applicationID, kCFPreferencesAnyApplication))
    return kGlobalDomain;
  return Utf8(applicationID);
}

bool PreferencesFolder(Boolean create, std::string& folder) {
  FSRef ref;
  if (FSFindFolder(kUserDomain, kPreferencesFolderType, create, &ref) != noErr)
    return false;
  std::vector<UInt8> path(4096);
  if (FSRefMakePath(&ref, path.data(), static_cast<UInt32>(path.size())) != noErr)
    return false;
  folder = reinterpret_cast<const char*>(path.data());
  return true;
}

bool IsUsableName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

PlistValue EmptyDictionary() {
  PlistValue dict;
  dict.kind = PlistValue::Kind::Dictionary;
  return dict;
}

PlistValue ReadDomainFile(const std::string& name) {
  std::string folder;
  if (!IsUsableName(name) || !PreferencesFolder(kDontCreateFolder, folder))
    return EmptyDictionary();
  std::string xml;
  if (!standin_files::ReadRegularFile(folder + "/" + name + ".plist", kMaxFileSize, &xml))
    return EmptyDictionary();
  std::unique_ptr<PlistValue> value = ParseXmlPlist(xml);
  if (!value || value->kind != PlistValue::Kind::Dictionary)
    return EmptyDictionary();
  return std::move(*value);
}

// Written beside the file and renamed over it, so a failed write leaves the old file whole.
bool WriteDomainFile(const std::string& name, const PlistValue& dict) {
  std::string folder;
  if (!IsUsableName(name) || !PreferencesFolder(kCreateFolder, folder))
    return false;
  const std::string path = folder + "/" + name + ".plist";
  const std::string temporary = path + ".new";
  const std::string xml = WriteXmlPlist(dict);
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.write(xml.data(), static_cast<std::streamsize>(xml.size())) || !file.flush()) {
      file.close();
      ::unlink(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

Domain& LoadedDomain(Store& store, const std::string& name) {
  Domain& domain = store.domains[name];
  if (!domain.loaded) {
    domain.stored = ReadDomainFile(name);
    domain.loaded = true;
  }
  return domain;
}

// The domain's value for the key, waiting changes first; null when it has none.
const PlistValue* Lookup(Domain& domain, const std::u16string& key) {
  auto waiting = domain.pending.find(key);
  if (waiting != domain.pending.end())
    return waiting->second ? &*waiting->second : nullptr;
  return domain.stored.Find(key);
}

}  // namespace

CFPropertyListRef CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID) {
  if (key == nullptr || applicationID == nullptr)
    Crash("CFPreferencesCopyAppValue with NULL");
  if (CallFails("CFPreferencesCopyAppValue"))
    return nullptr;
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  const std::string name = DomainName(store, applicationID);
  const PlistValue* value = Lookup(LoadedDomain(store, name), key->Units());
  if (value == nullptr && name != kGlobalDomain)
    value = Lookup(LoadedDomain(store, kGlobalDomain), key->Units());
  return value ? PlistToCF(*value, false) : nullptr;
}

void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID) {
  if (key == nullptr || applicationID == nullptr)
    Crash("CFPreferencesSetAppValue with NULL");
  std::optional<PlistValue> change;
  if (value != nullptr) {
    std::unique_ptr<PlistValue> copy = PlistFromCF(value);
    if (!copy)
      return;
    change = std::move(*copy);
  }
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  Domain& domain = store.domains[DomainName(store, applicationID)];
  domain.pending[key->Units()] = std::move(change);
}

Boolean CFPreferencesAppSynchronize(CFStringRef applicationID) {
  if (applicationID == nullptr)
    Crash("CFPreferencesAppSynchronize(NULL)");
  if (CallFails("CFPreferencesAppSynchronize"))
    return false;
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  const std::string name = DomainName(store, applicationID);
  Domain& domain = store.domains[name];
  PlistValue fresh = ReadDomainFile(name);
  if (!domain.pending.empty()) {
    for (auto& change : domain.pending) {
      if (change.second)
        fresh.Put(change.first, *change.second);
      else
        fresh.Remove(change.first);
    }
    if (!WriteDomainFile(name, fresh))
      return false;
    domain.pending.clear();
  }
  domain.stored = std::move(fresh);
  domain.loaded = true;
  return true;
}

void StandIn_CFPreferencesSetCurrentApplication(const char* identifier) {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  store.currentApplication = identifier ? identifier : "";
}

void StandIn_CFPreferencesForget() {
  Store& store = TheStore();
  std::lock_guard<std::mutex> lock(store.mutex);
  store.domains.clear();
}
