#include <CoreFoundation/CFBundle.h>

#include "iStandInStringsTable.h"

#include <sys/stat.h>

#include <map>
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

std::string Narrow(const std::u16string& units) {
  std::string text;
  for (char16_t unit : units)
    text.push_back(unit < 0x80 ? static_cast<char>(unit) : '_');
  return text;
}

}  // namespace

class StandIn_CFBundle::Resources {
public:
  void SetPath(const char* path) {
    m_Path = path ? path : "";
    Forget();
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

private:
  void Forget() {
    m_Tables.clear();
    m_TablesRead = 0;
  }

  // Like the system, one localisation is chosen: the first of the search order the bundle has.
  // Without any, the table stands in the resources folder itself.
  std::string TablePath(const std::string& fileName) const {
    if (m_Path.empty())
      return std::string();
    std::string const resources = m_Path + "/Contents/Resources/";
    for (const std::string& language :
         {m_Language, std::string("en"), std::string("English"), std::string("Base")}) {
      std::string const folder = resources + language + ".lproj";
      if (IsDirectory(folder))
        return folder + "/" + fileName;
    }
    return resources + fileName;
  }

  std::string m_Path;
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

// Lives for the whole process, as the system's main bundle does.
StandIn_CFBundle* MainBundleObject() {
  static StandIn_CFBundle* const bundle = [] {
    StandIn_CFBundle* made = new StandIn_CFBundle;
    made->MakeImmortal();
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

void StandIn_SetMainBundlePath(const char* path) {
  MainBundle().SetPath(path);
}

void StandIn_SetPreferredLanguage(const char* language) {
  MainBundle().SetPreferredLanguage(language);
}

long StandIn_CFBundleTablesRead() {
  return MainBundle().TablesRead();
}
