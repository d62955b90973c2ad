// Volumes, classic catalog calls, live iterators, the Time Manager, resource forks, the collator
// and Apple-event sending of the stand-in.
#include <AE/AEDataModel.h>
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/Resources.h>
#include <CoreServices/Timer.h>
#include <CoreServices/UnicodeUtilities.h>
#include <HIToolbox/CarbonEvents.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class StandInCatalogTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    char folder[] = "/tmp/standin_catalog_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Folder = folder;
    StandIn_FilesMountTestVolume("Work", m_Folder.c_str());
  }
  void TearDown() override {
    StandIn_FilesReset();
    StandIn_ResourcesReset();
    std::error_code ignored;
    fs::remove_all(m_Folder, ignored);
  }
  void Make(const std::string& relative) {
    fs::create_directories(fs::path(m_Folder + "/" + relative).parent_path());
    std::ofstream(m_Folder + "/" + relative) << "x";
  }
  static std::string Text(const unsigned char* text) {
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
  }

  std::string m_Folder;
};

TEST_F(StandInCatalogTest, VolumesByIndexNameAndNumber) {
  FSVolumeRefNum volume = 0;
  ASSERT_EQ(noErr, FSGetVolumeInfo(0, 1, &volume, kFSVolInfoNone, nullptr, nullptr, nullptr));
  EXPECT_EQ(-100, volume);
  HFSUniStr255 name;
  ASSERT_EQ(noErr, FSGetVolumeInfo(0, 2, &volume, kFSVolInfoNone, nullptr, &name, nullptr));
  EXPECT_EQ(-101, volume);
  EXPECT_EQ(4, name.length);
  EXPECT_EQ(nsvErr, FSGetVolumeInfo(0, 3, &volume, kFSVolInfoNone, nullptr, nullptr, nullptr));

  ASSERT_TRUE(StandIn_FilesSetVolumeParams(
      -101, StandIn_VolumeParams{1 << bHasCatSearch, 123, 50, 512, 7}));
  HParamBlockRec pb{};
  Str255 volumeName;
  std::memcpy(volumeName, "\x04Work", 5);
  pb.volumeParam.ioNamePtr = volumeName;
  pb.volumeParam.ioVolIndex = -1;
  ASSERT_EQ(noErr, PBHGetVInfoSync(&pb));
  EXPECT_EQ(-101, pb.volumeParam.ioVRefNum);
  EXPECT_EQ(123u, pb.volumeParam.ioVCrDate);
  EXPECT_EQ(50, pb.volumeParam.ioVNmAlBlks);
  EXPECT_EQ(512u, pb.volumeParam.ioVAlBlkSiz);
  EXPECT_EQ(7, pb.volumeParam.ioVFSID);

  GetVolParmsInfoBuffer parameters{};
  HParamBlockRec io{};
  io.ioParam.ioVRefNum = -101;
  io.ioParam.ioBuffer = reinterpret_cast<Ptr>(&parameters);
  io.ioParam.ioReqCount = sizeof parameters;
  ASSERT_EQ(noErr, PBHGetVolParmsSync(&io));
  EXPECT_EQ(1 << bHasCatSearch, parameters.vMAttrib);
  EXPECT_FALSE(StandIn_FilesSetVolumeParams(-120, StandIn_VolumeParams{}));
}

TEST_F(StandInCatalogTest, IndexedCatalogCallsFromTheVolumesRootAndModificationDates) {
  Make("b");
  Make("a/inner");
  CInfoPBRec pb{};
  Str63 name;
  pb.dirInfo.ioNamePtr = name;
  pb.dirInfo.ioVRefNum = -101;
  pb.dirInfo.ioFDirIndex = -1;
  pb.dirInfo.ioDrDirID = 2;
  ASSERT_EQ(noErr, PBGetCatInfoSync(&pb));
  EXPECT_EQ(2, pb.dirInfo.ioDrDirID);
  EXPECT_EQ(2, pb.dirInfo.ioDrNmFls);

  std::vector<std::string> names;
  for (SInt16 index = 1;; ++index) {
    pb.dirInfo.ioFDirIndex = index;
    pb.dirInfo.ioDrDirID = 2;
    if (PBGetCatInfoSync(&pb) != noErr)
      break;
    names.push_back(Text(name));
    if (index == 1) {
      EXPECT_TRUE(pb.dirInfo.ioFlAttrib & kioFlAttribDirMask);
      UInt32 const before = pb.dirInfo.ioDrMdDat;
      StandIn_FilesTouch((m_Folder + "/a").c_str());
      SInt32 const folder = pb.dirInfo.ioDrDirID;
      pb.dirInfo.ioFDirIndex = -1;
      ASSERT_EQ(noErr, PBGetCatInfoSync(&pb));
      EXPECT_EQ(folder, pb.dirInfo.ioDrDirID);
      EXPECT_EQ(before + 1, pb.dirInfo.ioDrMdDat);
    }
  }
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), names);
  EXPECT_EQ(fnfErr, pb.dirInfo.ioResult);
}

TEST_F(StandInCatalogTest, LiveIteratorsShiftWhenItemsGo) {
  for (char c = 'a'; c <= 'f'; ++c)
    Make(std::string(1, c));
  FSRef folder;
  ASSERT_EQ(noErr,
            FSPathMakeRef(reinterpret_cast<const UInt8*>(m_Folder.c_str()), &folder, nullptr));
  StandIn_FilesLiveIterators(true);
  FSIterator iterator = nullptr;
  ASSERT_EQ(noErr, FSOpenIterator(&folder, kFSIterateFlat, &iterator));
  ItemCount count = 0;
  HFSUniStr255 names[2];
  ASSERT_EQ(noErr, FSGetCatalogInfoBulk(iterator, 2, &count, nullptr, kFSCatInfoNone, nullptr,
                                        nullptr, nullptr, names));
  fs::remove(m_Folder + "/a");
  fs::remove(m_Folder + "/b");
  ASSERT_EQ(noErr, FSGetCatalogInfoBulk(iterator, 2, &count, nullptr, kFSCatInfoNone, nullptr,
                                        nullptr, nullptr, names));
  EXPECT_EQ(u'e', names[0].unicode[0]);  // c and d moved to where a and b were
  EXPECT_EQ(noErr, FSCloseIterator(iterator));
}

TEST_F(StandInCatalogTest, CatalogSearchAndDesktopDatabase) {
  Make("x/one");
  Make("two");
  FSRef ref;
  std::string const one = m_Folder + "/x/one";
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(one.c_str()), &ref, nullptr));
  FSCatalogInfo info{};
  FileInfo finder{0x4150504C, 0x4E6C7432, 0, 0, 0, 0};
  std::memcpy(info.finderInfo, &finder, sizeof finder);
  ASSERT_EQ(noErr, FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info));

  CInfoPBRec values{}, masks{};
  values.hFileInfo.ioFlFndrInfo.fdCreator = 0x4E6C7432;
  masks.hFileInfo.ioFlFndrInfo.fdCreator = 0xFFFFFFFF;
  masks.hFileInfo.ioFlAttrib = kioFlAttribDirMask;
  FSSpec matches[4];
  CSParam pb{};
  pb.ioVRefNum = -101;
  pb.ioMatchPtr = matches;
  pb.ioReqMatchCount = 4;
  pb.ioSearchBits = fsSBFlAttrib | fsSBFlFndrInfo;
  pb.ioSearchInfo1 = &values;
  pb.ioSearchInfo2 = &masks;
  EXPECT_EQ(eofErr, PBCatSearchSync(&pb));
  ASSERT_EQ(1, pb.ioActMatchCount);
  EXPECT_EQ("one", Text(matches[0].name));
  pb.ioSearchBits = fsSBFullName;
  EXPECT_EQ(paramErr, PBCatSearchSync(&pb));

  DTPBRec dt{};
  dt.ioVRefNum = -101;
  EXPECT_EQ(paramErr, PBDTOpenInform(&dt));
  StandIn_FilesSetDesktopDatabase(-101, true, false);
  StandIn_FilesAddDesktopApplication(-101, 0x4E6C7432, matches[0].parID, "old");
  StandIn_FilesAddDesktopApplication(-101, 0x4E6C7432, matches[0].parID, "one");
  ASSERT_EQ(noErr, PBDTOpenInform(&dt));
  EXPECT_EQ(1u, dt.ioTagInfo & 1);
  Str63 name;
  dt.ioNamePtr = name;
  dt.ioFileCreator = 0x4E6C7432;
  for (SInt16 index = 0; index < 2; ++index) {
    dt.ioIndex = index;
    ASSERT_EQ(noErr, PBDTGetAPPLSync(&dt));
    EXPECT_EQ(index == 0 ? "one" : "old", Text(name));
  }
  dt.ioIndex = 2;
  EXPECT_EQ(afpItemNotFound, PBDTGetAPPLSync(&dt));

  HParamBlockRec file{};
  file.fileParam.ioVRefNum = -101;
  file.fileParam.ioDirID = matches[0].parID;
  file.fileParam.ioNamePtr = matches[0].name;
  ASSERT_EQ(noErr, PBHGetFInfoSync(&file));
  EXPECT_EQ(0x4150504Cu, file.fileParam.ioFlFndrInfo.fdType);
}

int g_fired = 0;
void CountFiring(TMTaskPtr) {
  ++g_fired;
}

TEST_F(StandInCatalogTest, TimeManagerTasksRunOnTheVirtualClockAndCatalogCallsTakeTime) {
  g_fired = 0;
  TMTask task{};
  task.tmAddr = NewTimerUPP(CountFiring);
  ASSERT_EQ(noErr, InsTime(reinterpret_cast<QElemPtr>(&task)));
  ASSERT_EQ(noErr, PrimeTime(reinterpret_cast<QElemPtr>(&task), 30));
  StandIn_AdvanceClock(0.020);
  EXPECT_EQ(0, g_fired);
  StandIn_FilesSetCatalogCallStep(0.015);
  CInfoPBRec pb{};
  pb.dirInfo.ioVRefNum = -101;
  pb.dirInfo.ioFDirIndex = -1;
  pb.dirInfo.ioDrDirID = 2;
  PBGetCatInfoSync(&pb);
  EXPECT_EQ(1, g_fired);
  ASSERT_EQ(noErr, PrimeTime(reinterpret_cast<QElemPtr>(&task), -5000));  // microseconds
  StandIn_AdvanceClock(0.006);
  EXPECT_EQ(2, g_fired);
  EXPECT_EQ(1, StandIn_TimeManagerTaskCount());
  EXPECT_EQ(noErr, RmvTime(reinterpret_cast<QElemPtr>(&task)));
  EXPECT_EQ(0, StandIn_TimeManagerTaskCount());
  EXPECT_EQ(paramErr, RmvTime(reinterpret_cast<QElemPtr>(&task)));
}

TEST_F(StandInCatalogTest, ResourceForksFilledByTests) {
  Make("Desktop");
  StandIn_ResourcesSet((m_Folder + "/Desktop").c_str(), 0x4150504C, 0, {1, 2, 3});
  ResFileRefNum const before = CurResFile();
  ResFileRefNum const file = HOpenResFile(-101, 2,
                                          reinterpret_cast<const UInt8*>("\x07"
                                                                         "Desktop"),
                                          fsRdPerm);
  ASSERT_NE(-1, file);
  EXPECT_EQ(file, CurResFile());
  Handle const resource = Get1Resource(0x4150504C, 0);
  ASSERT_NE(nullptr, resource);
  EXPECT_EQ(3, GetHandleSize(resource));
  EXPECT_EQ(nullptr, Get1Resource(0x4150504C, 1));
  EXPECT_EQ(resNotFound, ResError());
  CloseResFile(file);
  UseResFile(before);
  EXPECT_EQ(0, StandIn_ResourcesOpenCount());
  Make("Plain");
  EXPECT_EQ(-1, HOpenResFile(-101, 2, reinterpret_cast<const UInt8*>("\x05Plain"), fsRdPerm));
}

TEST_F(StandInCatalogTest, CollatorIgnoresCaseAndComparesNumbers) {
  CollatorRef collator = nullptr;
  ASSERT_EQ(noErr, UCCreateCollator(nullptr, 0,
                                    kUCCollateCaseInsensitiveMask | kUCCollateDigitsAsNumberMask,
                                    &collator));
  auto order = [&](const std::u16string& a, const std::u16string& b) {
    Boolean equivalent = false;
    SInt32 result = 99;
    EXPECT_EQ(noErr, UCCompareText(collator, reinterpret_cast<const UniChar*>(a.data()), a.size(),
                                   reinterpret_cast<const UniChar*>(b.data()), b.size(),
                                   &equivalent, &result));
    EXPECT_EQ(result == 0, equivalent != 0);
    return result;
  };
  EXPECT_EQ(-1, order(u"Sheet 2", u"Sheet 10"));
  EXPECT_EQ(0, order(u"SHEET 02", u"sheet 2"));
  EXPECT_EQ(1, order(u"b", u"A"));
  EXPECT_EQ(-1, order(u"ab", u"abc"));
  EXPECT_EQ(noErr, UCDisposeCollator(&collator));
  EXPECT_EQ(0, StandIn_CollatorLiveCount());
}

TEST_F(StandInCatalogTest, SentAppleEventsAreRecordedAndHandlesGrow) {
  StandIn_AEClearSent();
  OSType const signature = 0x4D414353;
  AEDesc target, event, list, item;
  ASSERT_EQ(noErr, AECreateDesc(typeApplSignature, &signature, 4, &target));
  ASSERT_EQ(noErr, AECreateAppleEvent(0x61657674, 0x6F646F63, &target, -1, 0, &event));
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &list));
  ASSERT_EQ(noErr, AECreateDesc(typeAlias, "ab", 2, &item));
  ASSERT_EQ(noErr, AEPutDesc(&list, 1, &item));
  ASSERT_EQ(noErr, AEPutParamDesc(&event, keyDirectObject, &list));
  ASSERT_EQ(noErr, AESend(&event, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout,
                          nullptr, nullptr));
  ASSERT_EQ(1, StandIn_AESentCount());
  StandIn_SentAppleEvent const sent = StandIn_AESentAt(0);
  EXPECT_EQ(0x6F646F63u, sent.eventID);
  EXPECT_EQ(4u, sent.target.size());
  ASSERT_EQ(1u, sent.directObjectItems.size());
  EXPECT_EQ(typeAlias, sent.directObjectItems[0].first);
  for (AEDesc* desc : {&target, &event, &list, &item})
    AEDisposeDesc(desc);
  StandIn_AEClearSent();

  Handle h = NewHandle(4);
  std::memcpy(*h, "abcd", 4);
  SetHandleSize(h, 100);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(0, std::memcmp(*h, "abcd", 4));
  StandIn_MemorySetFree(1000, 50);
  EXPECT_EQ(50, MaxBlock());
  SetHandleSize(h, 200);
  EXPECT_EQ(memFullErr, MemError());
  EXPECT_EQ(100, GetHandleSize(h));
  StandIn_MemorySetFree(-1, -1);
  DisposeHandle(h);
}

}  // namespace
