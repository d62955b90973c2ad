#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFPreferences.h>
#include <CoreServices/Folders.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

std::u16string Units(CFStringRef text) {
  std::u16string units(static_cast<std::size_t>(CFStringGetLength(text)), u'\0');
  if (!units.empty())
    CFStringGetCharacters(text, CFRangeMake(0, static_cast<CFIndex>(units.size())),
                          reinterpret_cast<UniChar*>(&units[0]));
  return units;
}

// A bundle folder in a fresh temporary directory; the main bundle points at it while the
// fixture lives.
class CFBundleStandIn : public ::testing::Test {
protected:
  void SetUp() override {
    char folder[] = "/tmp/cfbundle_test_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Root = folder;
    m_Bundle = m_Root + "/Viewer.app";
    MakeFolder(m_Bundle);
    MakeFolder(m_Bundle + "/Contents");
    MakeFolder(m_Bundle + "/Contents/Resources");
    m_LiveObjects = StandIn_CFLiveObjectCount();
  }

  void TearDown() override {
    StandIn_SetMainBundlePath(nullptr);
    StandIn_SetPreferredLanguage(nullptr);
    std::string const remove = "rm -rf '" + m_Root + "'";
    EXPECT_EQ(0, std::system(remove.c_str()));
    EXPECT_EQ(m_LiveObjects, StandIn_CFLiveObjectCount()) << "CF objects leaked";
  }

  static void MakeFolder(const std::string& path) { ASSERT_EQ(0, ::mkdir(path.c_str(), 0755)); }

  // Writes <bundle>/Contents/Resources/[<language>.lproj/]<table>.strings.
  void WriteTable(const std::string& language, const std::string& bytes,
                  const std::string& table = "Localizable") {
    std::string folder = m_Bundle + "/Contents/Resources";
    if (!language.empty()) {
      folder += "/" + language + ".lproj";
      struct stat info;
      if (::stat(folder.c_str(), &info) != 0)
        MakeFolder(folder);
    }
    std::ofstream out(folder + "/" + table + ".strings", std::ios::binary);
    out << bytes;
  }

  void UseBundle() { StandIn_SetMainBundlePath(m_Bundle.c_str()); }

  // The main bundle's text for key (value null), as UTF-16.
  static std::u16string Lookup(const char* key, CFStringRef table = nullptr) {
    CFStringRef const text =
        CFBundleCopyLocalizedString(CFBundleGetMainBundle(), CFSTR(key), nullptr, table);
    std::u16string const units = Units(text);
    CFRelease(text);
    return units;
  }

  std::string m_Root;
  std::string m_Bundle;
  long m_LiveObjects = 0;
};

TEST_F(CFBundleStandIn, ReadsUtf8EntriesWithCommentsAndEscapes) {
  WriteTable("en", "/* Sheet window */\n"
                   "\"CKRX_SurfaceShortNameBack\" = \"Back\";\n"
                   "// a line comment\n"
                   "\"Quoted\" = \"say \\\"hi\\\"\\n\\tnow\\\\\";\n"
                   "\"Unicode\" = \"\\U00e9\\u2022\";\n"
                   "\"Raw\" = \"caf\xC3\xA9 \xF0\x9F\x98\x80\";\n"
                   "Unquoted_key = value.1;\n"
                   "\"KeyOnly\";\n");
  UseBundle();
  EXPECT_EQ(u"Back", Lookup("CKRX_SurfaceShortNameBack"));
  EXPECT_EQ(u"say \"hi\"\n\tnow\\", Lookup("Quoted"));
  EXPECT_EQ(u"\u00e9\u2022", Lookup("Unicode"));
  EXPECT_EQ(u"caf\u00e9 \U0001F600", Lookup("Raw"));
  EXPECT_EQ(u"value.1", Lookup("Unquoted_key"));
  EXPECT_EQ(u"KeyOnly", Lookup("KeyOnly"));
}

TEST_F(CFBundleStandIn, ReadsUtf16WithByteOrderMark) {
  auto utf16 = [](const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
      char const high = static_cast<char>(unit >> 8);
      char const low = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  for (bool bigEndian : {false, true}) {
    WriteTable("en", utf16(u"\"Front\" = \"Vorderseite \u2022\";", bigEndian));
    UseBundle();  // forgets the table read before
    EXPECT_EQ(u"Vorderseite \u2022", Lookup("Front")) << bigEndian;
  }
}

TEST_F(CFBundleStandIn, MissingKeyGivesValueOrKey) {
  WriteTable("en", "\"Known\" = \"Text\";");
  UseBundle();
  CFStringRef const key = CFSTR("Unknown");
  struct Case {
    CFStringRef value;
    const char16_t* expected;
  };
  const Case cases[] = {
      {nullptr, u"Unknown"}, {CFSTR(""), u"Unknown"}, {CFSTR("Fallback"), u"Fallback"}};
  for (const Case& c : cases) {
    CFStringRef const text =
        CFBundleCopyLocalizedString(CFBundleGetMainBundle(), key, c.value, nullptr);
    EXPECT_EQ(std::u16string(c.expected), Units(text));
    CFRelease(text);
  }
  EXPECT_EQ(u"Text", Lookup("Known"));
}

TEST_F(CFBundleStandIn, MalformedOrMissingTableGivesKeys) {
  const char* const broken[] = {
      "\"A\" = \"a\"; \"B\" = \"b\"",  // last entry without its semicolon
      "\"A\" = \"a;",                  // string never closed
      "/* \"A\" = \"a\";",             // comment never closed
      "\"A\" \"a\";",                  // no equals sign
      "\"A\" = \"\xC3\";",             // broken UTF-8
  };
  for (const char* bytes : broken) {
    WriteTable("en", bytes);
    UseBundle();
    EXPECT_EQ(u"A", Lookup("A")) << bytes;
  }
  StandIn_SetMainBundlePath((m_Root + "/nowhere").c_str());
  EXPECT_EQ(u"A", Lookup("A"));
  StandIn_SetMainBundlePath(nullptr);
  EXPECT_EQ(u"A", Lookup("A"));
}

TEST_F(CFBundleStandIn, PreferredLanguageThenEnglishThenResources) {
  WriteTable("de", "\"Back\" = \"R\xC3\xBC"
                   "ckseite\";");
  WriteTable("English", "\"Back\" = \"Back (English)\";");
  WriteTable("", "\"Back\" = \"Back (plain)\"; \"Other\" = \"x\";");
  UseBundle();
  EXPECT_EQ(u"Back (English)", Lookup("Back"));  // default language "en" has no folder
  StandIn_SetPreferredLanguage("de");
  UseBundle();
  EXPECT_EQ(u"R\u00fcckseite", Lookup("Back"));
  // One localisation is chosen; its table lacking a key does not fall back to another.
  EXPECT_EQ(u"Other", Lookup("Other"));
  StandIn_SetPreferredLanguage("fr");
  EXPECT_EQ(u"Back (English)", Lookup("Back"));
}

TEST_F(CFBundleStandIn, NamedTablesAreReadOnce) {
  WriteTable("en", "\"K\" = \"default\";");
  WriteTable("en", "\"K\" = \"errors\";", "Errors");
  UseBundle();
  EXPECT_EQ(0, StandIn_CFBundleTablesRead());
  EXPECT_EQ(u"default", Lookup("K"));
  EXPECT_EQ(u"default", Lookup("K", CFSTR("Localizable")));
  EXPECT_EQ(u"errors", Lookup("K", CFSTR("Errors")));
  EXPECT_EQ(u"errors", Lookup("K", CFSTR("Errors")));
  EXPECT_EQ(2, StandIn_CFBundleTablesRead());
}

TEST_F(CFBundleStandIn, MainBundleIsOneObjectThatIsNotOwned) {
  CFBundleRef const bundle = CFBundleGetMainBundle();
  ASSERT_NE(nullptr, bundle);
  EXPECT_EQ(bundle, CFBundleGetMainBundle());
  EXPECT_EQ(CFBundleGetTypeID(), CFGetTypeID(bundle));
  EXPECT_NE(CFStringGetTypeID(), CFBundleGetTypeID());
}

// A bundle with Info.plist, localisations and resources; preferences live in the fixture's
// folder.
class CFBundleInfo : public CFBundleStandIn {
protected:
  void SetUp() override {
    CFBundleStandIn::SetUp();
    StandIn_SetFolder(kPreferencesFolderType, (m_Root + "/Preferences").c_str());
    StandIn_CFPreferencesForget();
    StandIn_CFReset();
  }

  void TearDown() override {
    StandIn_CFPreferencesForget();
    StandIn_SetFolder(kPreferencesFolderType, nullptr);
    StandIn_CFReset();
    CFBundleStandIn::TearDown();
  }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // An Info.plist of string entries.
  void WriteInfo(const std::string& bundle,
                 std::initializer_list<std::pair<const char*, const char*>> entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (const auto& entry : entries)
      xml += std::string("<key>") + entry.first + "</key><string>" + entry.second + "</string>";
    WriteFile(bundle + "/Contents/Info.plist", xml + "</dict></plist>");
  }

  static std::string PathOf(CFURLRef url) {
    CFStringRef const text = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    std::u16string const units = Units(text);
    CFRelease(text);
    return std::string(units.begin(), units.end());
  }

  // The path of the URL, which the call made for the caller; "" for null.
  static std::string TakePath(CFURLRef url) {
    if (!url)
      return std::string();
    std::string const path = PathOf(url);
    CFRelease(url);
    return path;
  }

  static CFArrayRef Strings(const std::vector<CFStringRef>& texts) {
    std::vector<const void*> values(texts.begin(), texts.end());
    return CFArrayCreate(kCFAllocatorDefault, values.data(), static_cast<CFIndex>(values.size()),
                         &kCFTypeArrayCallBacks);
  }

  // The entries of an array the call made for the caller, joined by spaces; "null" for null.
  static std::string TakeJoined(CFArrayRef array) {
    if (!array)
      return "null";
    std::string joined;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
      std::u16string const units =
          Units(static_cast<CFStringRef>(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, i))));
      joined += (i ? " " : "") + std::string(units.begin(), units.end());
    }
    CFRelease(array);
    return joined;
  }

  static void SetAppleLanguages(CFArrayRef languages) {
    CFPreferencesSetAppValue(CFSTR("AppleLanguages"), languages, kCFPreferencesAnyApplication);
  }
};

TEST_F(CFBundleInfo, InfoValuesPackageInfoAndExecutable) {
  MakeFolder(m_Bundle + "/Contents/MacOS");
  WriteFile(m_Bundle + "/Contents/MacOS/Viewer", "binary");
  WriteInfo(m_Bundle, {{"CFBundleIdentifier", "com.nolt.viewer"},
                       {"CFBundlePackageType", "APPL"},
                       {"CFBundleSignature", "Nlt2"},
                       {"CFBundleExecutable", "Viewer"},
                       {"CFBundleIconFile", "Viewer.icns"}});
  UseBundle();
  CFBundleRef const bundle = CFBundleGetMainBundle();
  EXPECT_EQ(u"com.nolt.viewer", Units(CFBundleGetIdentifier(bundle)));
  EXPECT_EQ(u"Viewer.icns", Units(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(
                                bundle, CFSTR("CFBundleIconFile")))));
  EXPECT_EQ(nullptr, CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("Missing")));
  UInt32 type = 0;
  UInt32 creator = 0;
  CFBundleGetPackageInfo(bundle, &type, &creator);
  EXPECT_EQ(0x4150504Cu, type);     // 'APPL'
  EXPECT_EQ(0x4E6C7432u, creator);  // 'Nlt2'
  EXPECT_EQ(m_Bundle + "/Contents/MacOS/Viewer", TakePath(CFBundleCopyExecutableURL(bundle)));

  // Keys of the wrong length or kind fall back to PkgInfo, then to '????'; a named executable
  // that is missing gives no URL.
  WriteInfo(m_Bundle, {{"CFBundlePackageType", "APP"}, {"CFBundleExecutable", "Gone"}});
  WriteFile(m_Bundle + "/Contents/PkgInfo", "APPLKrx1");
  UseBundle();
  CFBundleGetPackageInfo(bundle, &type, &creator);
  EXPECT_EQ(0x4150504Cu, type);
  EXPECT_EQ(0x4B727831u, creator);  // 'Krx1'
  EXPECT_EQ(nullptr, CFBundleGetIdentifier(bundle));
  EXPECT_EQ("", TakePath(CFBundleCopyExecutableURL(bundle)));
  ::unlink((m_Bundle + "/Contents/PkgInfo").c_str());
  UseBundle();
  CFBundleGetPackageInfo(bundle, &type, nullptr);
  EXPECT_EQ(0x3F3F3F3Fu, type);

  // A malformed Info.plist counts as none.
  WriteFile(m_Bundle + "/Contents/Info.plist", "<plist><dict><key>CFBundleIdentifier</key>");
  UseBundle();
  EXPECT_EQ(nullptr, CFBundleGetIdentifier(bundle));
}

TEST_F(CFBundleInfo, BundleURLAndBundlesMadeFromFolders) {
  EXPECT_EQ("", TakePath(CFBundleCopyBundleURL(CFBundleGetMainBundle())));  // no folder set
  UseBundle();
  EXPECT_EQ(m_Bundle, TakePath(CFBundleCopyBundleURL(CFBundleGetMainBundle())));
  StandIn_CFFailNext("CFBundleCopyBundleURL");
  EXPECT_EQ("", TakePath(CFBundleCopyBundleURL(CFBundleGetMainBundle())));

  std::string const other = m_Root + "/Other.app";
  MakeFolder(other);
  MakeFolder(other + "/Contents");
  WriteInfo(other, {{"CFBundleIdentifier", "com.nolt.other"}});
  CFURLRef const url = CFURLCreateWithFileSystemPath(kCFAllocatorDefault, CFSTR("/dev/null"),
                                                     kCFURLPOSIXPathStyle, false);
  EXPECT_EQ(nullptr, CFBundleCreate(kCFAllocatorDefault, url));  // no folder
  CFRelease(url);
  CFStringRef const path =
      CFStringCreateWithCString(kCFAllocatorDefault, other.c_str(), kCFStringEncodingUTF8);
  CFURLRef const folder =
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path, kCFURLPOSIXPathStyle, true);
  CFRelease(path);
  CFBundleRef const bundle = CFBundleCreate(kCFAllocatorDefault, folder);
  ASSERT_NE(nullptr, bundle);
  EXPECT_EQ(CFBundleGetTypeID(), CFGetTypeID(bundle));
  EXPECT_EQ(u"com.nolt.other", Units(CFBundleGetIdentifier(bundle)));
  EXPECT_EQ(other, TakePath(CFBundleCopyBundleURL(bundle)));
  CFRelease(bundle);
  StandIn_CFFailNext("CFBundleCreate");
  EXPECT_EQ(nullptr, CFBundleCreate(kCFAllocatorDefault, folder));
  CFRelease(folder);
}

TEST_F(CFBundleInfo, LocalizationsAndTheUsersChoice) {
  UseBundle();
  CFBundleRef const bundle = CFBundleGetMainBundle();
  EXPECT_EQ("", TakeJoined(CFBundleCopyBundleLocalizations(bundle)));
  std::string const resources = m_Bundle + "/Contents/Resources/";
  for (const char* name : {"fr.lproj", "de.lproj", "English.lproj"})
    MakeFolder(resources + name);
  WriteFile(resources + "notes.lproj", "a file, no localisation");
  EXPECT_EQ("English de fr", TakeJoined(CFBundleCopyBundleLocalizations(bundle)));

  CFArrayRef const offered = Strings({CFSTR("de"), CFSTR("fr")});
  struct Case {
    std::vector<CFStringRef> appleLanguages;  // empty: not set
    const char* hookLanguage;
    const char* expected;
  };
  const Case cases[] = {
      {{CFSTR("fr"), CFSTR("de")}, "de", "fr"},  // the preference wins over the hook
      {{CFSTR("it"), CFSTR("de")}, "fr", "de"},  // the first language offered
      {{CFSTR("it")}, "fr", "de"},               // none offered: the first entry
      {{}, "fr", "fr"},                          // no preference: the hook's language
  };
  for (const Case& c : cases) {
    StandIn_SetPreferredLanguage(c.hookLanguage);
    CFArrayRef const languages = c.appleLanguages.empty() ? nullptr : Strings(c.appleLanguages);
    SetAppleLanguages(languages);
    if (languages)
      CFRelease(languages);
    EXPECT_EQ(c.expected, TakeJoined(CFBundleCopyPreferredLocalizationsFromArray(offered)))
        << c.hookLanguage;
  }
  CFArrayRef const none = Strings({});
  EXPECT_EQ("", TakeJoined(CFBundleCopyPreferredLocalizationsFromArray(none)));
  EXPECT_EQ("null", TakeJoined(CFBundleCopyPreferredLocalizationsFromArray(nullptr)));
  StandIn_CFFailNext("CFBundleCopyPreferredLocalizationsFromArray");
  EXPECT_EQ("null", TakeJoined(CFBundleCopyPreferredLocalizationsFromArray(offered)));
  StandIn_CFFailNext("CFBundleCopyBundleLocalizations");
  EXPECT_EQ("null", TakeJoined(CFBundleCopyBundleLocalizations(bundle)));
  CFRelease(none);
  CFRelease(offered);
}

TEST_F(CFBundleInfo, ResourcesOutsideThenInsideTheLocalization) {
  std::string const resources = m_Bundle + "/Contents/Resources/";
  MakeFolder(resources + "de.lproj");
  MakeFolder(resources + "Icons");
  WriteFile(resources + "Viewer.icns", "icns");
  WriteFile(resources + "Help.html", "plain");
  WriteFile(resources + "de.lproj/Help.html", "German");
  WriteFile(resources + "de.lproj/Only.html", "German");
  WriteFile(resources + "Icons/Sheet.png", "png");
  StandIn_SetPreferredLanguage("de");
  UseBundle();
  CFBundleRef const bundle = CFBundleGetMainBundle();
  struct Case {
    CFStringRef name;
    CFStringRef type;
    CFStringRef folder;
    std::string expected;
  };
  const Case cases[] = {
      {CFSTR("Viewer.icns"), nullptr, nullptr, resources + "Viewer.icns"},
      {CFSTR("Viewer"), CFSTR("icns"), nullptr, resources + "Viewer.icns"},
      {CFSTR("Help"), CFSTR("html"), nullptr, resources + "Help.html"},
      {CFSTR("Only.html"), nullptr, nullptr, resources + "de.lproj/Only.html"},
      {CFSTR("Sheet.png"), nullptr, CFSTR("Icons"), resources + "Icons/Sheet.png"},
      {CFSTR("Sheet.png"), nullptr, nullptr, ""},
      {CFSTR("Missing.icns"), nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, TakePath(CFBundleCopyResourceURL(bundle, c.name, c.type, c.folder)))
        << std::string(Units(c.name).begin(), Units(c.name).end());
  }
  StandIn_CFFailNext("CFBundleCopyResourceURL");
  EXPECT_EQ("", TakePath(CFBundleCopyResourceURL(bundle, CFSTR("Viewer.icns"), nullptr, nullptr)));
  StandIn_SetMainBundlePath(nullptr);
  EXPECT_EQ("", TakePath(CFBundleCopyResourceURL(bundle, CFSTR("Viewer.icns"), nullptr, nullptr)));
}

TEST_F(CFBundleInfo, CurrentApplicationFollowsTheBundleIdentifier) {
  WriteInfo(m_Bundle, {{"CFBundleIdentifier", "com.nolt.viewer"}});
  UseBundle();
  CFPreferencesSetAppValue(CFSTR("Key"), CFSTR("bundle"), kCFPreferencesCurrentApplication);
  ASSERT_TRUE(CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication));
  std::ifstream written(m_Root + "/Preferences/com.nolt.viewer.plist");
  EXPECT_TRUE(written.good());

  // The test hook still decides when set.
  StandIn_CFPreferencesSetCurrentApplication("com.example.hook");
  CFPropertyListRef const value =
      CFPreferencesCopyAppValue(CFSTR("Key"), kCFPreferencesCurrentApplication);
  EXPECT_EQ(nullptr, value);
  if (value)
    CFRelease(value);
  StandIn_CFPreferencesSetCurrentApplication(nullptr);
  CFPropertyListRef const again =
      CFPreferencesCopyAppValue(CFSTR("Key"), kCFPreferencesCurrentApplication);
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(u"bundle", Units(static_cast<CFStringRef>(again)));
  CFRelease(again);
}

}  // namespace
