#include "UMAC/UMAC_BundleUtils.h"

#include "UMAC/UMAC_Exception.h"

#include "support/UMAC_ExpectThrows.h"
#include "support/UMAC_LiveCounts.h"

#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPreferences.h>
#include <CoreServices/Folders.h>
#include <HIServices/Processes.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr OSType kSignature = 0x4E6C7432;        // 'Nlt2'
constexpr OSType kApplicationIcon = 0x41707049;  // 'AppI'
constexpr OSType kAliasType = 0x61647270;        // 'adrp'

// Bundles in a fresh folder, preferences beside them; every test ends with the live counts it
// began with.
class UMAC_BundleUtilsTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    StandIn_CFReset();
    char folder[] = "/tmp/umac_bundle_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Root = folder;
    m_Bundle = MakeBundle("Viewer.app");
    StandIn_SetFolder(kPreferencesFolderType, (m_Root + "/Preferences").c_str());
    StandIn_CFPreferencesForget();
    UMAC_LiveCountsTest::SetUp();
  }

  void TearDown() override {
    // The main bundle keeps its Info.plist as CF objects until it is pointed elsewhere.
    StandIn_SetMainBundlePath(nullptr);
    StandIn_CFPreferencesForget();
    UMAC_LiveCountsTest::TearDown();
    StandIn_SetFolder(kPreferencesFolderType, nullptr);
    StandIn_SetCurrentProcess(kSignature, "/");
    StandIn_ResetIcons();
    StandIn_FilesReset();
    StandIn_CFReset();
    std::filesystem::remove_all(m_Root);
  }

  std::string MakeBundle(std::string const& name) const {
    std::string const bundle = m_Root + "/" + name;
    std::filesystem::create_directories(bundle + "/Contents/Resources");
    return bundle;
  }

  static void WriteFile(std::string const& path, std::string const& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Info.plist holding the XML of one dictionary's entries.
  static void WriteInfo(std::string const& bundle, std::string const& entries) {
    WriteFile(bundle + "/Contents/Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                  entries + "</dict></plist>");
  }

  static FSRef Ref(std::string const& path) {
    FSRef ref;
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &ref, nullptr));
    return ref;
  }

  static void SetFileType(std::string const& path, OSType type) {
    FSRef const ref = Ref(path);
    FSCatalogInfo info = {};
    FileInfo finder = {};
    finder.fileType = type;
    std::memcpy(info.finderInfo, &finder, sizeof finder);
    ASSERT_EQ(noErr, FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info));
  }

  static CFArrayRef Strings(std::vector<CFStringRef> const& texts) {
    std::vector<void const*> values(texts.begin(), texts.end());
    return CFArrayCreate(kCFAllocatorDefault, values.data(), static_cast<CFIndex>(values.size()),
                         &kCFTypeArrayCallBacks);
  }

  // Stores the value (released here) as the global "AppleLanguages"; null removes it.
  static void SetAppleLanguages(CFTypeRef value) {
    CFPreferencesSetAppValue(CFSTR("AppleLanguages"), value, kCFPreferencesAnyApplication);
    if (value)
      CFRelease(value);
  }

  // A bundle made from a folder, released with the holder.
  struct MadeBundle {
    explicit MadeBundle(std::string const& path) {
      CFStringRef const text =
          CFStringCreateWithCString(kCFAllocatorDefault, path.c_str(), kCFStringEncodingUTF8);
      CFURLRef const url =
          CFURLCreateWithFileSystemPath(kCFAllocatorDefault, text, kCFURLPOSIXPathStyle, true);
      bundle = CFBundleCreate(kCFAllocatorDefault, url);
      CFRelease(url);
      CFRelease(text);
    }
    ~MadeBundle() {
      if (bundle)
        CFRelease(bundle);
    }
    MadeBundle(MadeBundle const&) = delete;
    MadeBundle& operator=(MadeBundle const&) = delete;
    CFBundleRef bundle = nullptr;
  };

  std::string m_Root;
  std::string m_Bundle;
};

TEST_F(UMAC_BundleUtilsTest, LanguageCodeFromLocalizationsOrAppleLanguages) {
  struct Case {
    char const* name;
    std::vector<char const*> localizations;
    std::vector<CFStringRef> appleLanguages;
    bool setAppleLanguages;
    char const* expected;
  };
  std::vector<Case> const cases = {
      {"fr preferred over de", {"de", "fr"}, {CFSTR("fr"), CFSTR("de")}, true, "fr"},
      {"de preferred over fr", {"de", "fr"}, {CFSTR("de"), CFSTR("fr")}, true, "de"},
      {"no localisations", {}, {CFSTR("fr")}, true, "fr"},
      {"empty list", {}, {}, true, "en"},
      {"no preference", {}, {}, false, "en"},
      {"15 bytes fit", {}, {CFSTR("abcdefghijklmno")}, true, "abcdefghijklmno"},
      {"20 bytes do not", {}, {CFSTR("abcdefghijklmnopqrst")}, true, "en"},
      {"not in Mac Roman", {}, {CFSTR("\u4E2D\u6587")}, true, "en"},
  };
  int index = 0;
  for (Case const& c : cases) {
    std::string const bundle = MakeBundle("Case" + std::to_string(index++) + ".app");
    for (char const* name : c.localizations)
      std::filesystem::create_directory(bundle + "/Contents/Resources/" + name + ".lproj");
    StandIn_SetMainBundlePath(bundle.c_str());
    SetAppleLanguages(c.setAppleLanguages ? Strings(c.appleLanguages) : nullptr);
    EXPECT_EQ(c.expected, UMAC_ClientLanguageCode()) << c.name;
  }
}

TEST_F(UMAC_BundleUtilsTest, LanguageCodeFallsBackOnOddPreferencesAndFailures) {
  StandIn_SetMainBundlePath(m_Bundle.c_str());
  SetAppleLanguages(CFSTR("fr"));  // a string, no list
  EXPECT_EQ("en", UMAC_ClientLanguageCode());
  int const number = 7;
  CFNumberRef const seven = CFNumberCreate(kCFAllocatorDefault, kCFNumberIntType, &number);
  SetAppleLanguages(Strings({reinterpret_cast<CFStringRef>(seven), CFSTR("fr")}));
  CFRelease(seven);
  EXPECT_EQ("en", UMAC_ClientLanguageCode());  // its first entry is no string

  SetAppleLanguages(Strings({CFSTR("fr")}));
  StandIn_CFFailNext("CFPreferencesCopyAppValue");
  EXPECT_EQ("en", UMAC_ClientLanguageCode());
  // Without the bundle's localisations the preference decides.
  std::filesystem::create_directory(m_Bundle + "/Contents/Resources/de.lproj");
  StandIn_CFFailNext("CFBundleCopyBundleLocalizations");
  EXPECT_EQ("fr", UMAC_ClientLanguageCode());
  StandIn_CFFailNext("CFBundleCopyPreferredLocalizationsFromArray");
  EXPECT_EQ("en", UMAC_ClientLanguageCode());
  EXPECT_EQ("de", UMAC_ClientLanguageCode());  // fr is not offered: the bundle's first
}

TEST_F(UMAC_BundleUtilsTest, ApplicationAliasIsAFileOfTypeAdrp) {
  WriteFile(m_Bundle + "/Read Me", "text");
  SetFileType(m_Bundle + "/Read Me", 0x54455854);  // 'TEXT'
  WriteFile(m_Bundle + "/Viewer alias", "alias");
  SetFileType(m_Bundle + "/Viewer alias", kAliasType);
  MadeBundle const made(m_Bundle);
  ASSERT_NE(nullptr, made.bundle);
  FSRef alias;
  ASSERT_TRUE(UMAC_GetClassicAliasForBundle(made.bundle, alias));
  FSRef const expected = Ref(m_Bundle + "/Viewer alias");
  EXPECT_EQ(noErr, FSCompareFSRefs(&expected, &alias));

  // A folder of that name, even one whose Finder bytes read 'adrp', is no alias.
  std::filesystem::remove(m_Bundle + "/Viewer alias");
  std::filesystem::create_directory(m_Bundle + "/Viewer alias");
  SetFileType(m_Bundle + "/Viewer alias", kAliasType);
  FSRef untouched;
  std::memset(&untouched, 0xA5, sizeof untouched);
  FSRef const marked = untouched;
  EXPECT_FALSE(UMAC_GetClassicAliasForBundle(made.bundle, untouched));
  EXPECT_EQ(0, std::memcmp(&marked, &untouched, sizeof marked));
}

TEST_F(UMAC_BundleUtilsTest, AliasHandedOverWithTheLastBatchIsFound) {
  WriteFile(m_Bundle + "/Read Me", "text");
  WriteFile(m_Bundle + "/Viewer alias", "alias");
  SetFileType(m_Bundle + "/Viewer alias", kAliasType);
  // Counted in the folder's valence but never handed over: the batch that asks for all items
  // comes back short, and so with errFSNoMoreItems.
  ASSERT_EQ(0, ::symlink((m_Root + "/nowhere").c_str(), (m_Bundle + "/zz dangling").c_str()));
  StandIn_FilesLastBatchSaysNoMoreItems(true);
  FSRef const folder = Ref(m_Bundle);
  FSCatalogInfo info;
  ASSERT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoValence, &info, nullptr, nullptr, nullptr));
  ASSERT_EQ(4u, info.valence);
  {
    FSIterator iterator = nullptr;
    ASSERT_EQ(noErr, FSOpenIterator(&folder, kFSIterateFlat, &iterator));
    std::vector<FSRef> refs(info.valence);
    ItemCount actual = 0;
    EXPECT_EQ(errFSNoMoreItems,
              FSGetCatalogInfoBulk(iterator, info.valence, &actual, nullptr, kFSCatInfoNone,
                                   nullptr, refs.data(), nullptr, nullptr));
    EXPECT_EQ(3u, actual);  // Contents, Read Me, Viewer alias
    FSCloseIterator(iterator);
  }
  MadeBundle const made(m_Bundle);
  FSRef alias;
  ASSERT_TRUE(UMAC_GetClassicAliasForBundle(made.bundle, alias));
  FSRef const expected = Ref(m_Bundle + "/Viewer alias");
  EXPECT_EQ(noErr, FSCompareFSRefs(&expected, &alias));
}

TEST_F(UMAC_BundleUtilsTest, AliasBeyondTheFirstBatchesIsFound) {
  for (int i = 0; i < 600; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/item %03d", i);
    WriteFile(m_Bundle + name, "");
  }
  WriteFile(m_Bundle + "/zz alias", "alias");
  SetFileType(m_Bundle + "/zz alias", kAliasType);
  MadeBundle const made(m_Bundle);
  for (bool lastBatchSaysNoMoreItems : {false, true}) {
    StandIn_FilesLastBatchSaysNoMoreItems(lastBatchSaysNoMoreItems);
    FSRef alias;
    ASSERT_TRUE(UMAC_GetClassicAliasForBundle(made.bundle, alias)) << lastBatchSaysNoMoreItems;
    FSRef const expected = Ref(m_Bundle + "/zz alias");
    EXPECT_EQ(noErr, FSCompareFSRefs(&expected, &alias));
  }
  EXPECT_GE(StandIn_FilesCallCount("FSGetCatalogInfoBulk"), 2 * 3);
}

TEST_F(UMAC_BundleUtilsTest, AliasSearchFailuresGiveFalseAndCloseTheIterator) {
  WriteFile(m_Bundle + "/Viewer alias", "alias");
  SetFileType(m_Bundle + "/Viewer alias", kAliasType);
  MadeBundle const made(m_Bundle);
  struct Failure {
    char const* function;
    OSErr err;
  };
  for (Failure const& f : {Failure{"FSGetCatalogInfo", ioErr}, Failure{"FSOpenIterator", ioErr},
                           Failure{"FSGetCatalogInfoBulk", ioErr}}) {
    StandIn_FilesFailNext(f.function, f.err);
    FSRef alias;
    EXPECT_FALSE(UMAC_GetClassicAliasForBundle(made.bundle, alias)) << f.function;
    EXPECT_EQ(0, StandIn_FilesOpenIteratorCount()) << f.function;
  }
  StandIn_CFFailNext("CFBundleCopyBundleURL");
  FSRef alias;
  EXPECT_FALSE(UMAC_GetClassicAliasForBundle(made.bundle, alias));
  EXPECT_FALSE(UMAC_GetClassicAliasForBundle(CFBundleGetMainBundle(), alias));  // no folder
  EXPECT_TRUE(UMAC_GetClassicAliasForBundle(made.bundle, alias));
  EXPECT_EQ(StandIn_FilesCallCount("FSOpenIterator") - 1,
            StandIn_FilesCallCount("FSCloseIterator"));  // all but the failed opening
}

TEST_F(UMAC_BundleUtilsTest, BundleIconIsTheFoldersIconOrNull) {
  StandIn_SetMainBundlePath(m_Bundle.c_str());
  IconRef const icon = UMAC_GetBundleIcon(CFBundleGetMainBundle());
  ASSERT_NE(nullptr, icon);
  EXPECT_EQ(1, StandIn_IconReferenceCount(icon));
  EXPECT_EQ(noErr, ReleaseIconRef(icon));

  for (char const* function : {"FSGetCatalogInfo", "GetIconRefFromFile"}) {
    StandIn_FilesFailNext(function, ioErr);
    EXPECT_EQ(nullptr, UMAC_GetBundleIcon(CFBundleGetMainBundle())) << function;
  }
  StandIn_CFFailNext("CFBundleCopyBundleURL");
  EXPECT_EQ(nullptr, UMAC_GetBundleIcon(CFBundleGetMainBundle()));
  StandIn_SetMainBundlePath(nullptr);
  EXPECT_EQ(nullptr, UMAC_GetBundleIcon(CFBundleGetMainBundle()));
}

class UMAC_AppBundleIconTest : public UMAC_BundleUtilsTest {
protected:
  void SetUp() override {
    UMAC_BundleUtilsTest::SetUp();
    StandIn_SetCurrentProcess(kSignature, m_Bundle.c_str());
    WriteFile(m_Bundle + "/Contents/Resources/Viewer.icns", "icns and its images");
  }

  void UseInfo(std::string const& entries) {
    WriteInfo(m_Bundle, entries);
    StandIn_SetMainBundlePath(m_Bundle.c_str());
  }
};

TEST_F(UMAC_AppBundleIconTest, RegisteredUnderTheSignatureAsApplicationIcon) {
  UseInfo("<key>CFBundleIconFile</key><string>Viewer.icns</string>");
  IconRef const icon = UMAC_GetAppBundleIcon();
  ASSERT_NE(nullptr, icon);
  IconRef registered = nullptr;
  ASSERT_EQ(noErr, GetIconRef(kOnSystemDisk, kSignature, kApplicationIcon, &registered));
  EXPECT_EQ(icon, registered);
  EXPECT_EQ(noErr, ReleaseIconRef(registered));
  EXPECT_EQ(noErr, ReleaseIconRef(icon));
}

TEST_F(UMAC_AppBundleIconTest, MissingIconFileThrows1436016) {
  std::wstring const noKey = L"Could not locate CFBundleIconFile key in Info.plist.";
  std::wstring const noFile = L"The application icon for the bundled app could not be found.";
  struct Case {
    char const* info;
    std::wstring const& text;
  };
  Case const cases[] = {
      {"", noKey},
      {"<key>CFBundleIconFile</key><integer>7</integer>", noKey},
      {"<key>CFBundleIconFile</key><string>Missing.icns</string>", noFile},
  };
  for (Case const& c : cases) {
    UseInfo(c.info);
    UMAC_ExpectThrows([] { UMAC_GetAppBundleIcon(); }, 1436016, c.text);
  }
  StandIn_SetMainBundlePath(nullptr);  // no Info.plist at all
  UMAC_ExpectThrows([] { UMAC_GetAppBundleIcon(); }, 1436016, noKey);
  UseInfo("<key>CFBundleIconFile</key><string>Viewer.icns</string>");
  StandIn_CFFailNext("CFBundleCopyResourceURL");
  UMAC_ExpectThrows([] { UMAC_GetAppBundleIcon(); }, 1436016, noFile);
}

TEST_F(UMAC_AppBundleIconTest, ToolboxFailuresThrow1436015WithTheirNumber) {
  UseInfo("<key>CFBundleIconFile</key><string>Viewer.icns</string>");
  struct Case {
    char const* function;
    OSErr err;
  };
  Case const cases[] = {{"GetCurrentProcess", procNotFound},
                        {"GetProcessInformation", procNotFound},
                        {"FSGetCatalogInfo", ioErr},
                        {"RegisterIconRefFromIconFile", noIconDataAvailableErr}};
  for (Case const& c : cases) {
    StandIn_FilesFailNext(c.function, c.err);
    UMAC_ExpectThrows([] { UMAC_GetAppBundleIcon(); }, 1436015, L"Macintosh Toolbox Error",
                      std::to_wstring(c.err));
  }
  // A file that is no icon is refused by Icon Services itself.
  WriteFile(m_Bundle + "/Contents/Resources/Viewer.icns", "not an icon");
  UMAC_ExpectThrows([] { UMAC_GetAppBundleIcon(); }, 1436015, L"Macintosh Toolbox Error",
                    std::to_wstring(noIconDataAvailableErr));
}

}  // namespace
