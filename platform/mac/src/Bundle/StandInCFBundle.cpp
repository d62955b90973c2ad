#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFPreferences.h>

#include "../CoreFoundation/iStandInCFCalls.h"
#include "../CoreFoundation/iStandInCFText.h"
#include "../CoreFoundation/iStandInPropertyList.h"
#include "iStandInStringsTable.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

CFTypeID BundleTypeID() {
  static const CFTypeID id = StandIn_CFRegisterType();
  return id;
}

std::u16string UnitsOf(CFStringRef text) {
  std::u16string units(static_cast<std::size_t>(CFStringGetLength(text)), u'\0');
  if (!units.empty())
    CFStringGetCharacters(text, CFRangeMake(0, static_cast<CFIndex>(units.size())),
                          reinterpret_cast<UniChar*>(&units[0]));
  return units;
}

CFStringRef StringOf(const std::u16string& units) {
  return CFStringCreateWithCharacters(kCFAllocatorDefault,
                                      reinterpret_cast<const UniChar*>(units.data()),
                                      static_cast<CFIndex>(units.size()));
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

using standin_cf::NewStringFromUtf8;
using standin_cf::Utf8Of;

CFURLRef URLOfPath(const std::string& path, bool isDirectory) {
  CFStringRef const text = NewStringFromUtf8(path);
  if (!text)
    return nullptr;
  CFURLRef const url =
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, text, kCFURLPOSIXPathStyle, isDirectory);
  CFRelease(text);
  return url;
}

// The bytes of a small file; "" when it is missing, unreadable or too big to be what it claims.
std::string SmallFileBytes(const std::string& path) {
  constexpr std::streamoff kMaxSize = 16 * 1024 * 1024;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file)
    return std::string();
  std::streamoff const size = file.tellg();
  if (size <= 0 || size > kMaxSize)
    return std::string();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  file.seekg(0);
  if (!file.read(&bytes[0], static_cast<std::streamsize>(bytes.size())))
    return std::string();
  return bytes;
}

// The Info.plist as a CF dictionary the caller owns; null when there is none or it is no
// dictionary.
CFDictionaryRef ReadInfoDictionary(const std::string& bundlePath) {
  if (bundlePath.empty())
    return nullptr;
  std::unique_ptr<standin_cf::PlistValue> const info =
      standin_cf::ParseXmlPlist(SmallFileBytes(bundlePath + "/Contents/Info.plist"));
  if (!info || info->kind != standin_cf::PlistValue::Kind::Dictionary)
    return nullptr;
  return static_cast<CFDictionaryRef>(standin_cf::PlistToCF(*info, false));
}

// Four characters as an OSType; false for any other text.
bool TypeCodeOfText(CFTypeRef value, UInt32* code) {
  if (!value || CFGetTypeID(value) != CFStringGetTypeID())
    return false;
  const std::u16string& units = static_cast<CFStringRef>(value)->Units();
  if (units.size() != 4)
    return false;
  UInt32 result = 0;
  for (char16_t unit : units) {
    if (unit > 0xFF)
      return false;
    result = (result << 8) | unit;
  }
  *code = result;
  return true;
}

UInt32 FourBytes(const std::string& bytes, std::size_t at) {
  UInt32 result = 0;
  for (std::size_t i = at; i < at + 4; ++i)
    result = (result << 8) | static_cast<unsigned char>(bytes[i]);
  return result;
}

std::string Narrow(const std::u16string& units) {
  std::string text;
  for (char16_t unit : units)
    text.push_back(unit < 0x80 ? static_cast<char>(unit) : '_');
  return text;
}

}  // namespace

class StandIn_CFBundle::Resources {
public:
  ~Resources() { ForgetInfo(); }

  void SetPath(const char* path) {
    m_Path = path ? path : "";
    Forget();
    // Read before the old one goes, so that a failed read leaves nothing half made.
    CFDictionaryRef const info = ReadInfoDictionary(m_Path);
    std::string pkgInfo =
        m_Path.empty() ? std::string() : SmallFileBytes(m_Path + "/Contents/PkgInfo");
    ForgetInfo();
    m_Info = info;
    m_PkgInfo.swap(pkgInfo);
  }

  // The bytes of Contents/PkgInfo ("" without).
  const std::string& PkgInfo() const { return m_PkgInfo; }

  const std::string& Path() const { return m_Path; }
  CFDictionaryRef Info() const { return m_Info; }

  CFTypeRef InfoValue(CFStringRef key) const {
    return m_Info && key ? static_cast<CFTypeRef>(CFDictionaryGetValue(m_Info, key)) : nullptr;
  }

  void SetPreferredLanguage(const char* language) {
    m_Language = language ? language : "en";
    Forget();
  }

  long TablesRead() const { return m_TablesRead; }

  // The table of that name, read once from the chosen localisation.
  const iStandIn_StringsTable& Table(const std::u16string& name) {
    auto found = m_Tables.find(name);
    if (found != m_Tables.end())
      return found->second;
    iStandIn_StringsTable table;
    std::string const file = TablePath(Narrow(name) + ".strings");
    if (!file.empty()) {
      table = iStandIn_StringsTable::FromFile(file);
      ++m_TablesRead;
    }
    return m_Tables.emplace(name, std::move(table)).first->second;
  }

  const std::string& PreferredLanguage() const { return m_Language; }

  std::string ResourcesFolder() const {
    return m_Path.empty() ? std::string() : m_Path + "/Contents/Resources";
  }

  // Like the system, one localisation is chosen: the first of the search order the bundle has.
  // Without any, the resources folder itself ("" without a bundle folder).
  std::string LocalizationFolder() const {
    if (m_Path.empty())
      return std::string();
    std::string const resources = ResourcesFolder();
    for (const std::string& language :
         {m_Language, std::string("en"), std::string("English"), std::string("Base")}) {
      std::string const folder = resources + "/" + language + ".lproj";
      if (IsDirectory(folder))
        return folder;
    }
    return resources;
  }

  // The localisations: the names of the .lproj folders, sorted.
  std::vector<std::string> Localizations() const {
    std::vector<std::string> names;
    if (m_Path.empty())
      return names;
    std::string const resources = ResourcesFolder();
    if (DIR* dir = ::opendir(resources.c_str())) {
      std::string const suffix = ".lproj";
      while (dirent* entry = ::readdir(dir)) {
        std::string const name = entry->d_name;
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            IsDirectory(resources + "/" + name))
          names.push_back(name.substr(0, name.size() - suffix.size()));
      }
      ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  void Forget() {
    m_Tables.clear();
    m_TablesRead = 0;
  }

  void ForgetInfo() {
    if (m_Info)
      CFRelease(m_Info);
    m_Info = nullptr;
  }

  std::string TablePath(const std::string& fileName) const {
    std::string const folder = LocalizationFolder();
    return folder.empty() ? folder : folder + "/" + fileName;
  }

  std::string m_Path;
  CFDictionaryRef m_Info = nullptr;
  std::string m_PkgInfo;
  std::string m_Language = "en";
  std::map<std::u16string, iStandIn_StringsTable> m_Tables;
  long m_TablesRead = 0;
};

StandIn_CFBundle::StandIn_CFBundle()
    : StandIn_CFObject(BundleTypeID()),
      m_Resources(new Resources) {}

StandIn_CFBundle::~StandIn_CFBundle() {
  delete m_Resources;
}

namespace {

// The bundle folder of an executable at <bundle>/Contents/MacOS/<name>; "" for any other path.
std::string BundleOfExecutable(const std::string& executable) {
  auto parentOf = [](const std::string& path) {
    std::size_t const slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
  };
  auto nameOf = [](const std::string& path) { return path.substr(path.find_last_of('/') + 1); };
  std::string const macOS = parentOf(executable);
  std::string const contents = parentOf(macOS);
  std::string const bundle = parentOf(contents);
  if (macOS.empty() || contents.empty() || bundle.empty() || nameOf(macOS) != "MacOS" ||
      nameOf(contents) != "Contents" || nameOf(executable).empty() || !IsDirectory(bundle))
    return std::string();
  return bundle;
}

// The program's own executable ("" when it cannot be told).
std::string OwnExecutable() {
  std::vector<char> buffer(4096);
  ssize_t const size = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return size > 0 ? std::string(buffer.data(), static_cast<std::size_t>(size)) : std::string();
}

// Lives for the whole process, as the system's main bundle does.
StandIn_CFBundle* MainBundleObject() {
  static StandIn_CFBundle* const bundle = [] {
    StandIn_CFBundle* made = new StandIn_CFBundle;
    made->MakeImmortal();
    std::string const folder = BundleOfExecutable(OwnExecutable());
    if (!folder.empty())
      made->GetResources().SetPath(folder.c_str());
    return made;
  }();
  return bundle;
}

StandIn_CFBundle::Resources& MainBundle() {
  return MainBundleObject()->GetResources();
}

}  // namespace

CFTypeID CFBundleGetTypeID() {
  return BundleTypeID();
}

CFBundleRef CFBundleGetMainBundle() {
  return MainBundleObject();
}

CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName) {
  if (!key)
    return value ? static_cast<CFStringRef>(CFRetain(value)) : nullptr;
  std::u16string const table = tableName ? UnitsOf(tableName) : u"Localizable";
  if (bundle) {
    if (const std::u16string* text = bundle->GetResources().Table(table).Find(UnitsOf(key)))
      return StringOf(*text);
  }
  if (value && CFStringGetLength(value) > 0)
    return static_cast<CFStringRef>(CFRetain(value));
  return static_cast<CFStringRef>(CFRetain(key));
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  if (!bundle || standin_cf::CallFails("CFBundleCopyBundleURL"))
    return nullptr;
  const std::string& path = bundle->GetResources().Path();
  return path.empty() ? nullptr : URLOfPath(path, true);
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
  if (standin_cf::CallFails("CFBundleCreate") || !bundleURL || !IsDirectory(bundleURL->Path()))
    return nullptr;
  auto bundle = std::make_unique<StandIn_CFBundle>();
  bundle->GetResources().SetPath(bundleURL->Path().c_str());
  return bundle.release();
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
  return bundle ? bundle->GetResources().InfoValue(key) : nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  CFTypeRef const value = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleIdentifier"));
  return value && CFGetTypeID(value) == CFStringGetTypeID() ? static_cast<CFStringRef>(value)
                                                            : nullptr;
}

void CFBundleGetPackageInfo(CFBundleRef bundle, UInt32* packageType, UInt32* packageCreator) {
  constexpr UInt32 kUnknown = 0x3F3F3F3F;  // '????'
  UInt32 type = kUnknown;
  UInt32 creator = kUnknown;
  if (bundle) {
    const StandIn_CFBundle::Resources& resources = bundle->GetResources();
    bool const typeKnown = TypeCodeOfText(resources.InfoValue(CFSTR("CFBundlePackageType")), &type);
    bool const creatorKnown =
        TypeCodeOfText(resources.InfoValue(CFSTR("CFBundleSignature")), &creator);
    if (!typeKnown || !creatorKnown) {
      const std::string& pkgInfo = resources.PkgInfo();
      if (pkgInfo.size() >= 8) {
        if (!typeKnown)
          type = FourBytes(pkgInfo, 0);
        if (!creatorKnown)
          creator = FourBytes(pkgInfo, 4);
      }
    }
  }
  if (packageType)
    *packageType = type;
  if (packageCreator)
    *packageCreator = creator;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle) {
  if (!bundle || standin_cf::CallFails("CFBundleCopyExecutableURL"))
    return nullptr;
  const StandIn_CFBundle::Resources& resources = bundle->GetResources();
  CFTypeRef const name = resources.InfoValue(CFSTR("CFBundleExecutable"));
  if (!name || CFGetTypeID(name) != CFStringGetTypeID())
    return nullptr;
  std::string const file = Utf8Of(static_cast<CFStringRef>(name));
  if (file.empty() || file.find('/') != std::string::npos)
    return nullptr;
  std::string const path = resources.Path() + "/Contents/MacOS/" + file;
  return Exists(path) && !IsDirectory(path) ? URLOfPath(path, false) : nullptr;
}

CFArrayRef CFBundleCopyBundleLocalizations(CFBundleRef bundle) {
  if (!bundle || standin_cf::CallFails("CFBundleCopyBundleLocalizations"))
    return nullptr;
  CFMutableArrayRef const names =
      CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
  if (!names)
    return nullptr;
  for (const std::string& name : bundle->GetResources().Localizations()) {
    CFStringRef const text = NewStringFromUtf8(name);
    if (!text) {
      CFRelease(names);
      return nullptr;
    }
    CFArrayAppendValue(names, text);
    CFRelease(text);
  }
  return names;
}

namespace {

// The user's languages in order of preference: "AppleLanguages", else the test hook's language.
std::vector<std::u16string> UserLanguages() {
  std::vector<std::u16string> languages;
  if (CFPropertyListRef const list =
          CFPreferencesCopyAppValue(CFSTR("AppleLanguages"), kCFPreferencesCurrentApplication)) {
    if (CFGetTypeID(list) == CFArrayGetTypeID()) {
      auto const array = static_cast<CFArrayRef>(list);
      for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto const entry = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, i));
        if (entry && CFGetTypeID(entry) == CFStringGetTypeID())
          languages.push_back(static_cast<CFStringRef>(entry)->Units());
      }
    }
    CFRelease(list);
  }
  if (languages.empty()) {
    const std::string& hook = MainBundle().PreferredLanguage();
    languages.emplace_back(hook.begin(), hook.end());
  }
  return languages;
}

CFIndex IndexOfLanguage(CFArrayRef localizations, const std::u16string& language) {
  for (CFIndex i = 0; i < CFArrayGetCount(localizations); ++i) {
    auto const entry = static_cast<CFTypeRef>(CFArrayGetValueAtIndex(localizations, i));
    if (entry && CFGetTypeID(entry) == CFStringGetTypeID() &&
        static_cast<CFStringRef>(entry)->Units() == language)
      return i;
  }
  return kCFNotFound;
}

}  // namespace

CFArrayRef CFBundleCopyPreferredLocalizationsFromArray(CFArrayRef locArray) {
  if (!locArray || standin_cf::CallFails("CFBundleCopyPreferredLocalizationsFromArray"))
    return nullptr;
  CFIndex chosen = kCFNotFound;
  if (CFArrayGetCount(locArray) > 0) {
    for (const std::u16string& language : UserLanguages()) {
      chosen = IndexOfLanguage(locArray, language);
      if (chosen != kCFNotFound)
        break;
    }
    if (chosen == kCFNotFound)
      chosen = 0;
  }
  const void* values[1] = {chosen == kCFNotFound ? nullptr
                                                 : CFArrayGetValueAtIndex(locArray, chosen)};
  return CFArrayCreate(kCFAllocatorDefault, values, chosen == kCFNotFound ? 0 : 1,
                       &kCFTypeArrayCallBacks);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName) {
  if (!bundle || !resourceName || standin_cf::CallFails("CFBundleCopyResourceURL"))
    return nullptr;
  std::string file = Utf8Of(resourceName);
  std::string const type = resourceType ? Utf8Of(resourceType) : std::string();
  if (!type.empty())
    file += "." + type;
  std::string const subFolder = subDirName ? Utf8Of(subDirName) : std::string();
  if (file.empty())
    return nullptr;
  const StandIn_CFBundle::Resources& resources = bundle->GetResources();
  for (const std::string& folder : {resources.ResourcesFolder(), resources.LocalizationFolder()}) {
    if (folder.empty())
      continue;
    std::string const path = folder + (subFolder.empty() ? "" : "/" + subFolder) + "/" + file;
    if (Exists(path))
      return URLOfPath(path, IsDirectory(path));
  }
  return nullptr;
}

void StandIn_SetMainBundlePath(const char* path) {
  MainBundle().SetPath(path);
}

bool StandIn_FindMainBundleFrom(const char* executablePath) {
  std::string const folder = BundleOfExecutable(executablePath ? executablePath : "");
  MainBundle().SetPath(folder.empty() ? nullptr : folder.c_str());
  return !folder.empty();
}

void StandIn_SetPreferredLanguage(const char* language) {
  MainBundle().SetPreferredLanguage(language);
}

long StandIn_CFBundleTablesRead() {
  return MainBundle().TablesRead();
}
