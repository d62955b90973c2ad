#include "UMAC/UMAC_FileUtils.h"

#include "UMAC/UMAC_Exception.h"

#include "support/UMAC_ExpectThrows.h"
#include "support/UMAC_LiveCounts.h"
#include "support/UMAC_TempFolder.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreServices/Aliases.h>
#include <HIServices/Processes.h>
#include <CoreServices/UnicodeUtilities.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr OSType kCreator = 0x4E6C7432;       // 'Nlt2'
constexpr OSType kOtherCreator = 0x4F746872;  // 'Othr'
constexpr OSType kApplication = 0x4150504C;   // 'APPL'

class UMAC_FolderUtilsTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    StandIn_AEClearSent();
    UMAC_LiveCountsTest::SetUp();
  }
  void TearDown() override {
    UMAC_LiveCountsTest::TearDown();
    StandIn_FilesReset();
    StandIn_AEClearSent();
  }

  static std::string NameOf(FSRef const& ref) {
    HFSUniStr255 name;
    EXPECT_EQ(noErr, FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, &name, nullptr, nullptr));
    return std::string(name.unicode, name.unicode + name.length);
  }

  UMAC_TempFolder m_Temp;
};

TEST_F(UMAC_FolderUtilsTest, DeletesNestedFoldersInnermostFirst) {
  m_Temp.File("job/top.KRX");
  m_Temp.File("job/sheets/front/Sheet1_Black.KRX");
  m_Temp.File("job/sheets/front/Sheet1_Cyan.KRX");
  m_Temp.Folder("job/sheets/empty");
  UMAC_DeleteFolder(m_Temp.Ref("job"));
  EXPECT_FALSE(m_Temp.Exists("job"));
  EXPECT_TRUE(m_Temp.Exists(""));
}

// Iterators that follow the live folder by index skip an item for each one deleted under them,
// and the last batch may come with errFSNoMoreItems: every item must still go.
TEST_F(UMAC_FolderUtilsTest, DeletesEveryItemUnderLiveIteratorsAndALastBatchThatEndsTheWalk) {
  for (int k = 0; k < 200; ++k)
    m_Temp.File("many/file" + std::to_string(1000 + k));
  m_Temp.File("many/inner/a");
  StandIn_FilesLiveIterators(true);
  StandIn_FilesLastBatchSaysNoMoreItems(true);
  UMAC_DeleteFolder(m_Temp.Ref("many"));
  EXPECT_FALSE(m_Temp.Exists("many"));
}

TEST_F(UMAC_FolderUtilsTest, DeleteFailuresThrowAndKeepWhatIsLeft) {
  m_Temp.File("job/a");
  m_Temp.File("job/b");
  StandIn_FilesFailNext("FSGetCatalogInfoBulk", ioErr);
  UMAC_ExpectThrows([&] { UMAC_DeleteFolder(m_Temp.Ref("job")); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-36");
  EXPECT_TRUE(m_Temp.Exists("job/a"));

  StandIn_FilesFailNext("FSDeleteObject", noErr);
  StandIn_FilesFailNext("FSDeleteObject", fBsyErr);
  UMAC_ExpectThrows([&] { UMAC_DeleteFolder(m_Temp.Ref("job")); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-47");
  EXPECT_TRUE(m_Temp.Exists("job/b"));

  StandIn_FilesFailNext("FSCloseIterator", ioErr);
  UMAC_ExpectThrows([&] { UMAC_DeleteFolder(m_Temp.Ref("job")); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-36");
}

TEST_F(UMAC_FolderUtilsTest, FindFolderComparesNamesExactlyAndReadsEveryBatch) {
  m_Temp.Folder("images");
  for (int k = 0; k < 70; ++k)
    m_Temp.File("file" + std::to_string(100 + k));
  m_Temp.Folder("zLast");
  StandIn_FilesLastBatchSaysNoMoreItems(true);
  FSRef found;
  EXPECT_FALSE(UMAC_FindFolder(m_Temp.Ref(), L"Images", &found));
  ASSERT_TRUE(UMAC_FindFolder(m_Temp.Ref(), L"images", &found));
  EXPECT_EQ("images", NameOf(found));
  ASSERT_TRUE(UMAC_FindFolder(m_Temp.Ref(), L"zLast", &found));
  EXPECT_EQ("zLast", NameOf(found));

  StandIn_FilesFailNext("FSGetCatalogInfoBulk", ioErr);
  UMAC_ExpectThrows([&] { UMAC_FindFolder(m_Temp.Ref(), L"zLast", &found); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-36");
}

TEST_F(UMAC_FolderUtilsTest, FindOrCreateFolderMakesOneFolderAndRefusesFilesAndLongNames) {
  FSRef const first = UMAC_FindOrCreateFolder(m_Temp.Ref(), L"Jobs");
  FSRef const second = UMAC_FindOrCreateFolder(m_Temp.Ref(), L"Jobs");
  EXPECT_EQ(noErr, FSCompareFSRefs(&first, &second));
  EXPECT_EQ(1, StandIn_FilesCallCount("FSCreateDirectoryUnicode"));
  EXPECT_TRUE(std::filesystem::is_directory(m_Temp.At("Jobs")));

  m_Temp.File("Notes");
  UMAC_ExpectThrows([&] { UMAC_FindOrCreateFolder(m_Temp.Ref(), L"Notes"); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-48");
  UMAC_ExpectThrows([&] { UMAC_FindOrCreateFolder(m_Temp.Ref(), std::wstring(256, L'x')); },
                    UMAC_ERR_TOOLBOX, L"Macintosh Toolbox Error", L"-37");
}

TEST_F(UMAC_FolderUtilsTest, OrderingsByName) {
  struct Case {
    char const* a;
    char const* b;
    bool literal;   // UMAC_FSRefSortPred(a, b)
    bool collated;  // UMAC_FileRef_StrictWeakComp(a, b)
  };
  Case const cases[] = {
      {"Sheet 10", "Sheet 2", true, false}, {"Sheet 2", "Sheet 10", false, true},
      {"File 9", "File 10", false, true},   {"ABC", "abc", true, false},
      {"abc", "ABC", false, false},         {"Black", "Cyan", true, true},
  };
  for (Case const& c : cases) {
    m_Temp.Folder(std::string("cases/") + c.a + "/x");
    m_Temp.Folder(std::string("cases/") + c.b + "/x");
    // Two items of names that differ only in case cannot share a host folder on every file
    // system, so each name lives in a folder of its own.
    FSRef const a = m_Temp.Ref(std::string("cases/") + c.a);
    FSRef const b = m_Temp.Ref(std::string("cases/") + c.b);
    EXPECT_EQ(c.literal, UMAC_FSRefSortPred()(a, b)) << c.a << " / " << c.b;
    EXPECT_EQ(c.collated, UMAC_FileRef_StrictWeakComp()(a, b)) << c.a << " / " << c.b;
    FSSpec specA, specB;
    ASSERT_EQ(noErr, FSGetCatalogInfo(&a, kFSCatInfoNone, nullptr, nullptr, &specA, nullptr));
    ASSERT_EQ(noErr, FSGetCatalogInfo(&b, kFSCatInfoNone, nullptr, nullptr, &specB, nullptr));
    EXPECT_EQ(c.literal, UMAC_FSSpecSortPred()(specA, specB)) << c.a << " / " << c.b;
  }
  FSRef const a = m_Temp.Ref("cases/Black");
  StandIn_FilesFailNext("FSGetCatalogInfo", fnfErr);
  UMAC_ExpectThrows([&] { UMAC_FileRef_StrictWeakComp()(a, a); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-43");
}

class UMAC_LocateAppBundleTest : public UMAC_FolderUtilsTest {
protected:
  bool Locate(FSRef* out) {
    return UMAC_LocateAppBundle(out, kCreator, CFSTR("Client"), CFSTR("Find the application"),
                                CFSTR("Choose it"));
  }
};

TEST_F(UMAC_LocateAppBundleTest, ChosenBundleComesBackAndTheFilterShowsOnlyWhatFits) {
  m_Temp.Bundle("Mine.app", kApplication, kCreator);
  m_Temp.Bundle("Theirs.app", kApplication, kOtherCreator);
  m_Temp.Folder("Plain");
  m_Temp.File("Plain.txt");
  std::vector<FSRef> const browsed = {m_Temp.Ref("Mine.app"), m_Temp.Ref("Theirs.app"),
                                      m_Temp.Ref("Plain"), m_Temp.Ref("Plain.txt")};
  FSRef const chosen = m_Temp.Ref("Mine.app");
  StandIn_NavScriptChoice(browsed, &chosen);
  FSRef out{};
  ASSERT_TRUE(Locate(&out));
  EXPECT_EQ(noErr, FSCompareFSRefs(&chosen, &out));
  EXPECT_EQ((std::vector<bool>{true, false, true, false}), StandIn_NavFilterAnswers());
  StandIn_NavDialogTexts const texts = StandIn_NavLastDialogTexts();
  EXPECT_EQ(0x1002u, texts.flags);
  EXPECT_EQ("Client", texts.clientName);
  EXPECT_EQ("Find the application", texts.windowTitle);
  EXPECT_EQ("Choose it", texts.message);
}

TEST_F(UMAC_LocateAppBundleTest, CancelGivesFalseAndLeavesTheReference) {
  StandIn_NavScriptChoice({}, nullptr);
  FSRef out;
  std::memset(&out, 0xA5, sizeof out);
  FSRef const before = out;
  EXPECT_FALSE(Locate(&out));
  EXPECT_EQ(0, std::memcmp(&before, &out, sizeof out));

  StandIn_FilesFailNext("NavDialogRun", paramErr);
  UMAC_ExpectThrows([&] { Locate(&out); }, UMAC_ERR_TOOLBOX, L"Macintosh Toolbox Error", L"-50");
  EXPECT_EQ(0, std::memcmp(&before, &out, sizeof out));
}

TEST_F(UMAC_FolderUtilsTest, NavigationFilterTable) {
  m_Temp.File("plain.txt");
  FSRef const file = m_Temp.Ref("plain.txt");
  AEDesc item = {typeNull, nullptr};
  ASSERT_EQ(noErr, AECreateDesc(typeFSRef, &file, sizeof file, &item));
  AEDesc text = {typeNull, nullptr};
  ASSERT_EQ(noErr, AECreateDesc(typeChar, "x", 1, &text));
  auto folder = [](OSType type, OSType creator) {
    NavFileOrFolderInfo info{};
    info.isFolder = true;
    info.fileAndFolder.folderInfo.folderType = type;
    info.fileAndFolder.folderInfo.folderCreator = creator;
    return info;
  };
  NavFileOrFolderInfo plainFile{};
  NavFileOrFolderInfo const appMine = folder(kApplication, kCreator);
  NavFileOrFolderInfo const appOther = folder(kApplication, kOtherCreator);
  NavFileOrFolderInfo const plainFolder = folder(0, 0);
  OSType creator = kCreator;
  struct Case {
    char const* what;
    AEDesc* item;
    NavFileOrFolderInfo const* info;
    void* creator;
    NavFilterModes mode;
    bool shown;
  };
  Case const cases[] = {
      {"another list than the browser's", &item, &plainFile, &creator, kNavFilteringFavorites,
       true},
      {"no creator", &item, &plainFile, nullptr, kNavFilteringBrowserList, true},
      {"an item that is no file", &text, &plainFile, &creator, kNavFilteringBrowserList, true},
      {"a plain file", &item, &plainFile, &creator, kNavFilteringBrowserList, false},
      {"an application of another creator", &item, &appOther, &creator, kNavFilteringBrowserList,
       false},
      {"an application of the creator", &item, &appMine, &creator, kNavFilteringBrowserList, true},
      {"a folder", &item, &plainFolder, &creator, kNavFilteringBrowserList, true},
  };
  for (Case const& c : cases) {
    NavFileOrFolderInfo info = *c.info;
    EXPECT_EQ(c.shown, UMAC_ApplBndlNavObjectFilterProc(c.item, &info, c.creator, c.mode) != 0)
        << c.what;
  }
  AEDisposeDesc(&item);
  AEDisposeDesc(&text);
}

// The path an alias descriptor's data names.
std::string AliasPath(std::vector<UInt8> const& data) {
  if (data.size() < sizeof(AliasRecord))
    return std::string();
  return std::string(data.begin() + sizeof(AliasRecord), data.end());
}

TEST_F(UMAC_FolderUtilsTest, FinderOpensTheParentThenSelectsTheItem) {
  std::string const item = m_Temp.File("job/Sheet1_Black.KRX");
  UMAC_SelectItemInFinder(m_Temp.Ref("job/Sheet1_Black.KRX"));
  ASSERT_EQ(2, StandIn_AESentCount());
  struct Expected {
    AEEventClass eventClass;
    AEEventID eventID;
    std::string path;
  };
  Expected const expected[] = {{0x61657674, 0x6F646F63, m_Temp.At("job")},
                               {0x6D697363, 0x736C6374, item}};
  for (long k = 0; k < 2; ++k) {
    StandIn_SentAppleEvent const sent = StandIn_AESentAt(k);
    EXPECT_EQ(expected[k].eventClass, sent.eventClass);
    EXPECT_EQ(expected[k].eventID, sent.eventID);
    EXPECT_EQ(typeApplSignature, sent.targetType);
    OSType signature = 0;
    ASSERT_EQ(sizeof signature, sent.target.size());
    std::memcpy(&signature, sent.target.data(), sizeof signature);
    EXPECT_EQ(0x4D414353u, signature);  // 'MACS'
    EXPECT_EQ(kAENoReply, sent.sendMode);
    EXPECT_EQ(typeAEList, sent.directObjectType);
    ASSERT_EQ(1u, sent.directObjectItems.size());
    EXPECT_EQ(typeAlias, sent.directObjectItems[0].first);
    EXPECT_EQ(expected[k].path, AliasPath(sent.directObjectItems[0].second));
  }
}

TEST_F(UMAC_FolderUtilsTest, FinderFailuresThrowAndReleaseEverything) {
  m_Temp.File("job/a");
  for (char const* call : {"NewAlias", "AESend", "UpdateAlias", "AEPutParamDesc"}) {
    StandIn_FilesFailNext(call, paramErr);
    UMAC_ExpectThrows([&] { UMAC_SelectItemInFinder(m_Temp.Ref("job/a")); }, UMAC_ERR_TOOLBOX,
                      L"Macintosh Toolbox Error", L"-50");
  }
}

// The running application is the bundle Apps/Viewer.app of 'Nlt2'; others of 'Othr' are looked
// for.
class UMAC_FindApplicationTest : public UMAC_FolderUtilsTest {
protected:
  void SetUp() override {
    m_Temp.Bundle("Apps/Viewer.app", kApplication, kCreator);
    StandIn_SetCurrentProcess(kCreator, m_Temp.At("Apps/Viewer.app").c_str());
    StandIn_SetMainBundlePath(m_Temp.At("Apps/Viewer.app").c_str());
    UMAC_FolderUtilsTest::SetUp();
    std::memset(&m_Out, 0xA5, sizeof m_Out);
  }
  void TearDown() override {
    UMAC_FolderUtilsTest::TearDown();
    StandIn_SetMainBundlePath(nullptr);
    StandIn_SetCurrentProcess(kCreator, "/");
  }

  SInt32 FolderID(std::string const& relative) const {
    FSRef const folder = m_Temp.Ref(relative);
    FSCatalogInfo info;
    EXPECT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoNodeID, &info, nullptr, nullptr, nullptr));
    return static_cast<SInt32>(info.nodeID);
  }
  static std::string Name(FSSpec const& spec) {
    return std::string(reinterpret_cast<char const*>(spec.name + 1), spec.name[0]);
  }

  FSSpec m_Out;
};

TEST_F(UMAC_FindApplicationTest, BundleBesideTheApplicationGivesItsExecutable) {
  for (int k = 0; k < 70; ++k)
    m_Temp.File("Apps/doc" + std::to_string(100 + k));
  m_Temp.Bundle("Apps/zOther.app", kApplication, kOtherCreator);
  StandIn_FilesLastBatchSaysNoMoreItems(true);
  ASSERT_EQ(noErr, UMAC_FindApplicationWithSig(kOtherCreator, &m_Out));
  EXPECT_EQ(FolderID("Apps/zOther.app/Contents/MacOS"), m_Out.parID);
  EXPECT_EQ("app", Name(m_Out));
}

TEST_F(UMAC_FindApplicationTest, ApplicationFileBesideTheApplication) {
  m_Temp.File("Apps/Tool", kApplication, kOtherCreator);
  m_Temp.File("Apps/Notes", 0x54455854, kOtherCreator);
  ASSERT_EQ(noErr, UMAC_FindApplicationWithSig(kOtherCreator, &m_Out));
  EXPECT_EQ(FolderID("Apps"), m_Out.parID);
  EXPECT_EQ("Tool", Name(m_Out));
}

TEST_F(UMAC_FindApplicationTest, DesktopDatabasesOfTheOwnVolumeThenOfTheOthers) {
  m_Temp.File("Elsewhere/Tool", kApplication, kOtherCreator);
  SInt32 const elsewhere = FolderID("Elsewhere");
  EXPECT_EQ(afpItemNotFound, UMAC_FindApplicationWithSig(kOtherCreator, &m_Out));

  // Another volume's database.
  StandIn_FilesMountTestVolume("Second", m_Temp.Path().c_str());
  ASSERT_TRUE(StandIn_FilesSetVolumeParams(
      -101, StandIn_VolumeParams{1 << bHasDesktopMgr, 3000000000u, 1000, 4096, 0}));
  StandIn_FilesSetDesktopDatabase(-101, true, false);
  StandIn_FilesAddDesktopApplication(-101, kOtherCreator, elsewhere, "Tool");
  ASSERT_EQ(noErr, UMAC_FindApplicationWithSig(kOtherCreator, &m_Out));
  EXPECT_EQ(-101, m_Out.vRefNum);
  EXPECT_EQ(elsewhere, m_Out.parID);
  EXPECT_EQ("Tool", Name(m_Out));

  // The application's own volume is asked first.
  ASSERT_TRUE(StandIn_FilesSetVolumeParams(
      -100, StandIn_VolumeParams{1 << bHasDesktopMgr, 3000000000u, 1000, 4096, 0}));
  StandIn_FilesSetDesktopDatabase(-100, true, false);
  StandIn_FilesAddDesktopApplication(-100, kOtherCreator, elsewhere, "Tool");
  ASSERT_EQ(noErr, UMAC_FindApplicationWithSig(kOtherCreator, &m_Out));
  EXPECT_EQ(-100, m_Out.vRefNum);
  EXPECT_EQ("Tool", Name(m_Out));
}

TEST_F(UMAC_FindApplicationTest, FailuresOfTheWalkThrow) {
  StandIn_FilesFailNext("GetProcessInformation", procNotFound);
  UMAC_ExpectThrows([&] { UMAC_FindApplicationWithSig(kOtherCreator, &m_Out); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-600");
  StandIn_FilesFailNext("FSGetCatalogInfoBulk", ioErr);
  UMAC_ExpectThrows([&] { UMAC_FindApplicationWithSig(kOtherCreator, &m_Out); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-36");
  StandIn_FilesFailNext("FSGetVolumeInfo", ioErr);
  UMAC_ExpectThrows([&] { UMAC_FindApplicationWithSig(kOtherCreator, &m_Out); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-36");
}

}  // namespace
