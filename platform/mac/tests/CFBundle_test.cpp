#include <CoreFoundation/CFBundle.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

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

}  // namespace
