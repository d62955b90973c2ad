#include "UMAC/UMAC_CatalogSearch.h"

#include "support/UMAC_LiveCounts.h"
#include "support/UMAC_TempFolder.h"

#include <CoreServices/MacMemory.h>
#include <CoreServices/Resources.h>
#include <HIToolbox/CarbonEvents.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr OSType kCreator = 0x4E6C7432;       // 'Nlt2'
constexpr OSType kOtherCreator = 0x4F746872;  // 'Othr'
constexpr OSType kTIFF = 0x54494646;          // 'TIFF'
constexpr OSType kText = 0x54455854;          // 'TEXT'
constexpr OSType kApplication = 0x4150504C;   // 'APPL'
constexpr FSVolumeRefNum kVolume = -101;      // the first test volume

std::string Text(ConstStr255Param text) {
  return std::string(reinterpret_cast<char const*>(text + 1), text[0]);
}

void SetPascal(std::string const& text, unsigned char* out) {
  out[0] = static_cast<unsigned char>(text.size());
  std::memcpy(out + 1, text.data(), text.size());
}

// A volume of its own over a temporary folder, searched by walking (no catalog search, no
// desktop manager).
class UMAC_CatalogSearchTest : public UMAC_LiveCountsTest {
protected:
  // Criteria for files of a creator (any type), in a parameter block over the matches below.
  struct Search {
    CInfoPBRec values{};
    CInfoPBRec masks{};
    CSParam pb{};
    std::vector<FSSpec> matches = std::vector<FSSpec>(300);
    Str255 name = {0};

    explicit Search(OSType creator, SInt32 requested = 300, SInt32 time = 0) {
      values.hFileInfo.ioFlFndrInfo.fdCreator = creator;
      masks.hFileInfo.ioFlFndrInfo.fdCreator = 0xFFFFFFFFu;
      masks.hFileInfo.ioFlAttrib = kioFlAttribDirMask;
      pb.ioVRefNum = kVolume;
      pb.ioMatchPtr = matches.data();
      pb.ioReqMatchCount = requested;
      pb.ioSearchBits = fsSBFlAttrib | fsSBFlFndrInfo;
      pb.ioSearchInfo1 = &values;
      pb.ioSearchInfo2 = &masks;
      pb.ioSearchTime = time;
    }
    OSErr Run() { return UMAC_IndexedSearch(&pb, 2); }
    std::vector<std::string> Names() const {
      std::vector<std::string> names;
      for (SInt32 k = 0; k < pb.ioActMatchCount; ++k)
        names.push_back(Text(matches[static_cast<std::size_t>(k)].name));
      return names;
    }
  };

  void SetUp() override {
    StandIn_FilesReset();
    StandIn_ResourcesReset();
    StandIn_FilesMountTestVolume("Search", m_Temp.Path().c_str());
    // The walk's stack lives as long as the process: made here, before the counts are taken.
    Search warmUp(kCreator);
    EXPECT_EQ(eofErr, warmUp.Run());
    UMAC_LiveCountsTest::SetUp();
  }
  void TearDown() override {
    UMAC_LiveCountsTest::TearDown();
    EXPECT_EQ(0, StandIn_TimeManagerTaskCount());
    EXPECT_EQ(0, StandIn_ResourcesOpenCount());
    StandIn_MemorySetFree(-1, -1);
    StandIn_FilesReset();
    StandIn_ResourcesReset();
  }

  void SetVolume(SInt32 attributes, UInt16 blocks = 1000) {
    ASSERT_TRUE(StandIn_FilesSetVolumeParams(
        kVolume, StandIn_VolumeParams{attributes, 3000000000u, blocks, 4096, 0}));
  }

  // Files of the creator spread over nested folders; their names in walk order.
  std::vector<std::string> FillTree() {
    std::vector<std::string> expected;
    for (char const* folder : {"a", "a/b", "c"}) {
      for (int k = 0; k < 4; ++k) {
        std::string const name = std::string("f") + std::to_string(k) + "_" + folder[0] +
                                 std::to_string(std::strlen(folder));
        m_Temp.File(std::string(folder) + "/" + name, kTIFF, kCreator);
      }
      m_Temp.File(std::string(folder) + "/other", kTIFF, kOtherCreator);
    }
    // Walk order: a's items by name, a/b's files as soon as "b" is reached, then c.
    return {"b",     "f0_a3", "f1_a3", "f2_a3", "f3_a3", "f0_a1", "f1_a1",
            "f2_a1", "f3_a1", "f0_c1", "f1_c1", "f2_c1", "f3_c1"};
  }

  UMAC_TempFolder m_Temp;
};

std::vector<std::string> WithoutFolders(std::vector<std::string> names) {
  names.erase(std::remove(names.begin(), names.end(), "b"), names.end());
  return names;
}

TEST_F(UMAC_CatalogSearchTest, WithoutTimeNoTaskIsInstalledAndTheWalkRunsToTheEnd) {
  std::vector<std::string> expected = WithoutFolders(FillTree());
  std::sort(expected.begin(), expected.end());
  Search search(kCreator);
  EXPECT_EQ(eofErr, search.Run());
  EXPECT_EQ(0, StandIn_FilesCallCount("InsTime"));
  std::vector<std::string> found = search.Names();
  std::sort(found.begin(), found.end());
  EXPECT_EQ(expected, found);
  for (SInt32 k = 0; k < search.pb.ioActMatchCount; ++k)
    EXPECT_EQ(kVolume, search.matches[static_cast<std::size_t>(k)].vRefNum);
}

// Each catalog call takes 10 ms of the virtual clock, so a 25 ms search stops after a few items;
// calls with the same position go on where the last stopped.
TEST_F(UMAC_CatalogSearchTest, TimedOutSearchResumesWithoutRepeatsOrGaps) {
  std::vector<std::string> const expected = WithoutFolders(FillTree());
  StandIn_FilesSetCatalogCallStep(0.010);
  Search search(kCreator, 300, 25);
  std::vector<std::string> found;
  OSErr err = noErr;
  int calls = 0;
  do {
    err = search.Run();
    ASSERT_TRUE(err == noErr || err == eofErr) << err;
    EXPECT_LT(search.pb.ioActMatchCount, static_cast<SInt32>(expected.size()));
    for (std::string const& name : search.Names())
      found.push_back(name);
  } while (err == noErr && ++calls < 100);
  EXPECT_GT(calls, 3);
  EXPECT_EQ(expected, found);
  EXPECT_GE(StandIn_FilesCallCount("InsTime"), calls);
}

TEST_F(UMAC_CatalogSearchTest, ResumedSearchOnAChangedCatalogGivesCatChanged) {
  FillTree();
  {
    Search search(kCreator, 2);
    ASSERT_EQ(noErr, search.Run());
    SetVolume(0, 999);  // the allocation block count changed
    EXPECT_EQ(catChangedErr, search.Run());
  }
  SetVolume(0);
  {
    Search search(kCreator, 2);
    ASSERT_EQ(noErr, search.Run());
    StandIn_FilesTouch(m_Temp.At("a/b").c_str());  // the folder being walked changed
    EXPECT_EQ(catChangedErr, search.Run());
  }
}

TEST_F(UMAC_CatalogSearchTest, ForgedDepthIsRefusedAndAnotherSearchInBetweenTakesTheStack) {
  FillTree();
  Search first(kCreator, 2);  // stops inside a/b, two levels deep
  ASSERT_EQ(noErr, first.Run());
  for (SInt16 forged : {SInt16{0}, SInt16{50}, SInt16{-1}}) {
    Search copy = first;
    copy.pb.ioMatchPtr = copy.matches.data();
    copy.pb.ioSearchInfo1 = &copy.values;
    copy.pb.ioSearchInfo2 = &copy.masks;
    copy.pb.ioCatPosition.priv[0] = forged;
    EXPECT_EQ(paramErr, copy.Run()) << forged;
  }
  Search second(kCreator, 1);
  ASSERT_EQ(noErr, second.Run());
  EXPECT_EQ(catChangedErr, first.Run());
  EXPECT_EQ(noErr, second.Run());
  EXPECT_EQ((std::vector<std::string>{"f1_a3"}), second.Names());
}

TEST_F(UMAC_CatalogSearchTest, StackGrowsForDeepFolders) {
  std::string path;
  for (int level = 0; level < 45; ++level)
    path += "d" + std::to_string(level) + "/";
  m_Temp.File(path + "deep", kTIFF, kCreator);
  m_Temp.File("top", kTIFF, kCreator);
  Search search(kCreator);
  EXPECT_EQ(eofErr, search.Run());
  EXPECT_EQ((std::vector<std::string>{"deep", "top"}), search.Names());

  // Resumed from deep inside, one match at a time.
  Search stepwise(kCreator, 1);
  ASSERT_EQ(noErr, stepwise.Run());
  EXPECT_EQ((std::vector<std::string>{"deep"}), stepwise.Names());
  EXPECT_EQ(noErr, stepwise.Run());
  EXPECT_EQ((std::vector<std::string>{"top"}), stepwise.Names());
  EXPECT_EQ(eofErr, stepwise.Run());
}

TEST_F(UMAC_CatalogSearchTest, CheckStackGrowsWheneverAPushWouldNotFit) {
  Handle const stack = NewHandle(240);
  Size size = 240;
  auto* levels = reinterpret_cast<UMAC_LevelRecHandle>(stack);
  EXPECT_EQ(noErr, UMAC_CheckStack(19, levels, &size));
  EXPECT_EQ(240, size);
  EXPECT_EQ(noErr, UMAC_CheckStack(20, levels, &size));
  EXPECT_EQ(480, size);
  EXPECT_EQ(noErr, UMAC_CheckStack(70, levels, &size));  // more than one step short
  EXPECT_EQ(960, size);
  EXPECT_EQ(960, GetHandleSize(stack));
  StandIn_MemoryFailNextAllocations(1);
  EXPECT_EQ(memFullErr, UMAC_CheckStack(80, levels, &size));
  EXPECT_EQ(960, size);
  DisposeHandle(stack);
}

TEST_F(UMAC_CatalogSearchTest, NegateReportsWhatDoesNotMatch) {
  m_Temp.File("mine", kTIFF, kCreator);
  m_Temp.File("theirs", kTIFF, kOtherCreator);
  Search search(kCreator);
  search.pb.ioSearchBits |= fsSBNegate;
  EXPECT_EQ(eofErr, search.Run());
  std::vector<std::string> const names = search.Names();
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "theirs"));
  EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), "mine"));
}

TEST_F(UMAC_CatalogSearchTest, CreatorTypeSearchWithTypeZeroTakesAnyType) {
  m_Temp.File("image", kTIFF, kCreator);
  m_Temp.File("notes", kText, kCreator);
  m_Temp.File("theirs", kTIFF, kOtherCreator);
  std::vector<FSSpec> matches(10);
  SInt32 count = 0;
  EXPECT_EQ(eofErr, UMAC_CreatorTypeFileSearch(nullptr, kVolume, kCreator, 0, matches.data(), 10,
                                               &count, true));
  ASSERT_EQ(2, count);
  EXPECT_EQ("image", Text(matches[0].name));
  EXPECT_EQ("notes", Text(matches[1].name));
  EXPECT_EQ(eofErr, UMAC_CreatorTypeFileSearch(nullptr, kVolume, kCreator, kText, matches.data(),
                                               10, &count, true));
  ASSERT_EQ(1, count);
  EXPECT_EQ("notes", Text(matches[0].name));

  // One at a time, continued until the volume is done.
  std::vector<std::string> found;
  OSErr err = noErr;
  for (Boolean fresh = true; err == noErr; fresh = false) {
    err =
        UMAC_CreatorTypeFileSearch(nullptr, kVolume, kCreator, 0, matches.data(), 1, &count, fresh);
    if (count == 1)
      found.push_back(Text(matches[0].name));
  }
  EXPECT_EQ(eofErr, err);
  EXPECT_EQ((std::vector<std::string>{"image", "notes"}), found);
}

TEST_F(UMAC_CatalogSearchTest, VolumesWithCatalogSearchUseIt) {
  m_Temp.File("image", kTIFF, kCreator);
  SetVolume(1 << bHasCatSearch);
  int const walkedBefore = StandIn_FilesCallCount("PBGetCatInfoSync");
  std::vector<FSSpec> matches(10);
  SInt32 count = 0;
  EXPECT_EQ(eofErr, UMAC_CreatorTypeFileSearch(nullptr, kVolume, kCreator, kTIFF, matches.data(),
                                               10, &count, true));
  EXPECT_EQ(1, count);
  EXPECT_EQ(1, StandIn_FilesCallCount("PBCatSearchSync"));
  EXPECT_EQ(walkedBefore, StandIn_FilesCallCount("PBGetCatInfoSync"));
}

TEST_F(UMAC_CatalogSearchTest, NameCriteria) {
  m_Temp.File("Sheet1_Black.KRX");
  m_Temp.File("Sheet1_Cyan.KRX");
  m_Temp.Folder("sheets");
  struct Case {
    SInt32 bits;
    char const* name;
    std::vector<std::string> found;
  };
  Case const cases[] = {
      {fsSBPartialName, "black", {"Sheet1_Black.KRX"}},
      {fsSBPartialName, "SHEET", {"Sheet1_Black.KRX", "Sheet1_Cyan.KRX", "sheets"}},
      {fsSBFullName, "sheet1_cyan.krx", {"Sheet1_Cyan.KRX"}},
      {fsSBFullName, "Sheet1", {}},
  };
  for (Case const& c : cases) {
    Search search(0);
    search.pb.ioSearchBits = c.bits;
    SetPascal(c.name, search.name);
    search.values.hFileInfo.ioNamePtr = search.name;
    EXPECT_EQ(eofErr, search.Run()) << c.name;
    EXPECT_EQ(c.found, search.Names()) << c.name;
  }
}

TEST_F(UMAC_CatalogSearchTest, CriteriaThatCannotHoldAreRefused) {
  struct Case {
    char const* what;
    void (*spoil)(Search&);
  };
  Case const cases[] = {
      {"no match array", [](Search& s) { s.pb.ioMatchPtr = nullptr; }},
      {"no first criteria", [](Search& s) { s.pb.ioSearchInfo1 = nullptr; }},
      {"no second criteria", [](Search& s) { s.pb.ioSearchInfo2 = nullptr; }},
      {"empty name",
       [](Search& s) {
         s.pb.ioSearchBits = fsSBPartialName;
         s.values.hFileInfo.ioNamePtr = s.name;
       }},
      {"64-character name",
       [](Search& s) {
         s.pb.ioSearchBits = fsSBFullName;
         SetPascal(std::string(64, 'x'), s.name);
         s.values.hFileInfo.ioNamePtr = s.name;
       }},
      {"attribute beyond folder and lock", [](Search& s) { s.masks.hFileInfo.ioFlAttrib = 0x12; }},
      {"lock with folders",
       [](Search& s) {
         s.masks.hFileInfo.ioFlAttrib = 0x11;
         s.values.hFileInfo.ioFlAttrib = 0x10;
       }},
      {"lock with both kinds", [](Search& s) { s.masks.hFileInfo.ioFlAttrib = 0x01; }},
      {"valence with files", [](Search& s) { s.pb.ioSearchBits |= fsSBDrNmFls; }},
      {"fork length with folders",
       [](Search& s) {
         s.values.hFileInfo.ioFlAttrib = 0x10;
         s.pb.ioSearchBits |= fsSBFlLgLen;
       }},
  };
  for (Case const& c : cases) {
    Search search(kCreator);
    c.spoil(search);
    EXPECT_EQ(paramErr, search.Run()) << c.what;
  }
  Search locked(kCreator);  // the lock with files alone is fine
  locked.masks.hFileInfo.ioFlAttrib = 0x11;
  EXPECT_EQ(eofErr, locked.Run());
}

TEST_F(UMAC_CatalogSearchTest, NamesLongerThanTheRecordHoldsAreLeftOut) {
  std::string const fits(63, 'n');
  m_Temp.File(fits, kTIFF, kCreator);
  m_Temp.File(std::string(70, 'm'), kTIFF, kCreator);
  Search search(kCreator);
  EXPECT_EQ(eofErr, search.Run());
  EXPECT_EQ((std::vector<std::string>{fits}), search.Names());
}

TEST_F(UMAC_CatalogSearchTest, TempBufferFallsBackToTheMemoryLeft) {
  long size = -1;
  Ptr buffer = UMAC_GetTempBuffer(5000, &size);
  ASSERT_NE(nullptr, buffer);
  EXPECT_EQ(4096, size);
  DisposePtr(buffer);
  buffer = UMAC_GetTempBuffer(100, &size);
  EXPECT_EQ(1024, size);
  DisposePtr(buffer);

  StandIn_MemorySetFree(36000, 5000);  // 16 KB fails; 3232 left above the reserve
  buffer = UMAC_GetTempBuffer(16384, &size);
  ASSERT_NE(nullptr, buffer);
  EXPECT_EQ(3072, size);
  DisposePtr(buffer);
  StandIn_MemorySetFree(20000, 5000);  // nothing above the reserve: 1 KB
  buffer = UMAC_GetTempBuffer(16384, &size);
  EXPECT_EQ(1024, size);
  DisposePtr(buffer);
  StandIn_MemorySetFree(20000, 100);
  EXPECT_EQ(nullptr, UMAC_GetTempBuffer(16384, &size));
  EXPECT_EQ(0, size);
}

// The 'APPL' resource of a desktop file: entries of creator, folder and name.
std::vector<UInt8> DesktopEntry(OSType creator, UInt32 parID, std::string const& name,
                                std::size_t claimedLength = 0) {
  std::vector<UInt8> bytes;
  for (UInt32 word : {static_cast<UInt32>(creator), parID})
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes.push_back(static_cast<UInt8>(word >> shift));
  bytes.push_back(static_cast<UInt8>(claimedLength ? claimedLength : name.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  if (bytes.size() % 2)
    bytes.push_back(0);
  return bytes;
}

class UMAC_DesktopTest : public UMAC_CatalogSearchTest {
protected:
  // The application "Viewer" of the creator in folder apps; its folder's ID.
  SInt32 MakeApplication() {
    m_Temp.File("apps/Viewer", kApplication, kCreator);
    FSRef const folder = m_Temp.Ref("apps");
    FSCatalogInfo info;
    EXPECT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoNodeID, &info, nullptr, nullptr, nullptr));
    return static_cast<SInt32>(info.nodeID);
  }
  OSErr Get(Boolean searchCatalog, FSSpec* spec) {
    return UMAC_FSpDTXGetAPPL(nullptr, kVolume, kCreator, searchCatalog, spec);
  }
};

TEST_F(UMAC_DesktopTest, DatabaseAnswersAreCheckedInTheirFolders) {
  SInt32 const apps = MakeApplication();
  SetVolume(1 << bHasDesktopMgr);
  StandIn_FilesSetDesktopDatabase(kVolume, true, false);
  StandIn_FilesAddDesktopApplication(kVolume, kCreator, apps, "Viewer");
  StandIn_FilesAddDesktopApplication(kVolume, kCreator, apps, "Gone");  // answered first
  FSSpec spec{};
  ASSERT_EQ(noErr, Get(false, &spec));
  EXPECT_EQ(kVolume, spec.vRefNum);
  EXPECT_EQ(apps, spec.parID);
  EXPECT_EQ("Viewer", Text(spec.name));

  // A new database is not asked; only the catalog can answer then.
  StandIn_FilesSetDesktopDatabase(kVolume, true, true);
  FSSpec untouched{};
  EXPECT_EQ(afpItemNotFound, Get(false, &untouched));
  EXPECT_EQ(0, untouched.parID);
  ASSERT_EQ(noErr, Get(true, &spec));
  EXPECT_EQ("Viewer", Text(spec.name));
}

TEST_F(UMAC_DesktopTest, DesktopFileEntriesAreBoundedByTheResource) {
  SInt32 const apps = MakeApplication();
  std::string const desktop = m_Temp.File("Desktop", 0x464E4452, 0x4552494B);  // 'FNDR' 'ERIK'
  std::vector<UInt8> resource = DesktopEntry(kOtherCreator, 7, "Other");
  std::vector<UInt8> const good = DesktopEntry(kCreator, static_cast<UInt32>(apps), "Viewer");
  std::vector<UInt8> complete = resource;
  complete.insert(complete.end(), good.begin(), good.end());
  StandIn_ResourcesSet(desktop.c_str(), kApplication, 0, complete);
  FSSpec spec{};
  ASSERT_EQ(noErr, Get(false, &spec));
  EXPECT_EQ("Viewer", Text(spec.name));

  // The entry claims a name longer than the resource holds.
  std::vector<UInt8> cut = DesktopEntry(kCreator, static_cast<UInt32>(apps), "Viewer", 200);
  resource.insert(resource.end(), cut.begin(), cut.end());
  StandIn_ResourcesSet(desktop.c_str(), kApplication, 0, resource);
  EXPECT_EQ(afpItemNotFound, Get(false, &spec));
}

TEST_F(UMAC_DesktopTest, WithoutAnyDesktopOnlyTheCatalogAnswers) {
  MakeApplication();
  FSSpec spec{};
  EXPECT_EQ(afpItemNotFound, Get(false, &spec));
  ASSERT_EQ(noErr, Get(true, &spec));
  EXPECT_EQ("Viewer", Text(spec.name));
  EXPECT_EQ(nsvErr, UMAC_FSpDTXGetAPPL(nullptr, -120, kCreator, true, &spec));
}

}  // namespace
