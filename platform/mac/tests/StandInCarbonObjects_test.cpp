// Apple-event descriptors, collections, regions, Navigation disposal and drags of the stand-in.
#include <AE/AEDataModel.h>
#include <CoreServices/Collections.h>
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/Navigation.h>
#include <QD/QuickDraw.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr DescType kFlavorURL = 0x6675726c;   // 'furl'
constexpr DescType kFlavorText = 0x54455854;  // 'TEXT'

// Every test ends with as many objects of each kind alive as it began with.
class StandInCarbonObjectsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    m_Descriptors = StandIn_AELiveDescriptorCount();
    m_Collections = StandIn_CollectionLiveCount();
    m_Regions = StandIn_RegionLiveCount();
    m_Dialogs = StandIn_NavLiveDialogCount();
    m_Drags = StandIn_DragLiveCount();
  }
  void TearDown() override {
    EXPECT_EQ(m_Descriptors, StandIn_AELiveDescriptorCount());
    EXPECT_EQ(m_Collections, StandIn_CollectionLiveCount());
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
    EXPECT_EQ(m_Dialogs, StandIn_NavLiveDialogCount());
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    StandIn_FilesReset();
  }

  long m_Descriptors = 0;
  long m_Collections = 0;
  long m_Regions = 0;
  long m_Dialogs = 0;
  long m_Drags = 0;
};

std::string Text(const AEDescList& list, long index) {
  char buffer[16] = {};
  Size size = 0;
  DescType type = 0;
  EXPECT_EQ(noErr, AEGetNthPtr(&list, index, typeWildCard, nullptr, &type, buffer,
                               sizeof buffer - 1, &size));
  return std::string(buffer, static_cast<std::size_t>(size));
}

TEST_F(StandInCarbonObjectsTest, DescriptorsAreDuplicatedDeeplyAndDisposedOnce) {
  AEDesc desc;
  ASSERT_EQ(noErr, AECreateDesc(kFlavorText, "abc", 3, &desc));
  EXPECT_EQ(m_Descriptors + 1, StandIn_AELiveDescriptorCount());
  AEDesc copy;
  ASSERT_EQ(noErr, AEDuplicateDesc(&desc, &copy));
  EXPECT_EQ(kFlavorText, copy.descriptorType);
  EXPECT_NE(desc.dataHandle, copy.dataHandle);
  EXPECT_EQ(noErr, AEDisposeDesc(&desc));
  EXPECT_EQ(typeNull, desc.descriptorType);
  EXPECT_EQ(nullptr, desc.dataHandle);
  EXPECT_EQ(noErr, AEDisposeDesc(&desc));  // a 'null' descriptor is left alone
  EXPECT_EQ(noErr, AEDisposeDesc(&copy));

  AEDesc null{typeNull, nullptr};
  ASSERT_EQ(noErr, AEDuplicateDesc(&null, &copy));
  EXPECT_EQ(nullptr, copy.dataHandle);

  StandIn_FilesFailNext("AECreateDesc", -108);
  EXPECT_EQ(-108, AECreateDesc(kFlavorText, "abc", 3, &desc));
  EXPECT_EQ(nullptr, desc.dataHandle);
}

TEST_F(StandInCarbonObjectsTest, ListsHoldItemsInOrderAndRecordsAreTold) {
  AEDescList list;
  AERecord record;
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &list));
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, true, &record));
  EXPECT_EQ(typeAEList, list.descriptorType);
  EXPECT_EQ(typeAERecord, record.descriptorType);

  EXPECT_EQ(noErr, AEPutPtr(&list, 0, kFlavorText, "one", 3));
  EXPECT_EQ(noErr, AEPutPtr(&list, 2, kFlavorText, "two", 3));
  EXPECT_EQ(noErr, AEPutPtr(&list, 0, kFlavorText, "three", 5));
  EXPECT_EQ(noErr, AEPutPtr(&list, 1, kFlavorText, "uno", 3));  // replaces
  EXPECT_EQ(errAEIllegalIndex, AEPutPtr(&list, 5, kFlavorText, "x", 1));
  EXPECT_EQ(errAEWrongDataType, AEPutPtr(&record, 0, kFlavorText, "x", 1));
  long count = 0;
  ASSERT_EQ(noErr, AECountItems(&list, &count));
  EXPECT_EQ(3, count);
  EXPECT_EQ("uno", Text(list, 1));
  EXPECT_EQ("two", Text(list, 2));
  EXPECT_EQ("three", Text(list, 3));
  ASSERT_EQ(noErr, AECountItems(&record, &count));
  EXPECT_EQ(0, count);

  AEDescList copy;
  ASSERT_EQ(noErr, AEDuplicateDesc(&list, &copy));
  EXPECT_EQ(noErr, AEDisposeDesc(&list));
  EXPECT_EQ("three", Text(copy, 3));

  AEDesc plain;
  ASSERT_EQ(noErr, AECreateDesc(kFlavorText, "abc", 3, &plain));
  EXPECT_EQ(errAEWrongDataType, AECountItems(&plain, &count));
  for (AEDesc* desc : {&copy, &record, &plain})
    EXPECT_EQ(noErr, AEDisposeDesc(desc));
}

TEST_F(StandInCarbonObjectsTest, NthItemCoercesOnlyAnFSRefToAnFSRef) {
  FSRef root;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>("/"), &root, nullptr));
  AEDescList list;
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &list));
  ASSERT_EQ(noErr, AEPutPtr(&list, 0, typeFSRef, &root, sizeof root));
  ASSERT_EQ(noErr, AEPutPtr(&list, 0, kFlavorText, "/tmp", 4));
  ASSERT_EQ(noErr, AEPutPtr(&list, 0, kFlavorURL, "file:///tmp/", 12));

  FSRef ref{};
  DescType type = 0;
  Size size = 0;
  AEKeyword keyword = 0;
  ASSERT_EQ(noErr, AEGetNthPtr(&list, 1, typeFSRef, &keyword, &type, &ref, sizeof ref, &size));
  EXPECT_EQ(typeFSRef, type);
  EXPECT_EQ(static_cast<Size>(sizeof ref), size);
  EXPECT_EQ(typeWildCard, keyword);
  EXPECT_EQ(noErr, FSCompareFSRefs(&root, &ref));
  EXPECT_EQ(errAECoercionFail,
            AEGetNthPtr(&list, 2, typeFSRef, nullptr, &type, &ref, sizeof ref, &size));
  EXPECT_EQ(errAECoercionFail,
            AEGetNthPtr(&list, 3, typeFSRef, nullptr, &type, &ref, sizeof ref, &size));
  EXPECT_EQ(errAEIllegalIndex,
            AEGetNthPtr(&list, 0, typeFSRef, nullptr, &type, &ref, sizeof ref, &size));
  EXPECT_EQ(errAEIllegalIndex,
            AEGetNthPtr(&list, 4, typeFSRef, nullptr, &type, &ref, sizeof ref, &size));
  char small[2] = {};
  ASSERT_EQ(noErr, AEGetNthPtr(&list, 2, typeWildCard, nullptr, &type, small, sizeof small, &size));
  EXPECT_EQ(4, size);  // the full size, of which two bytes were copied
  EXPECT_EQ("/t", std::string(small, 2));
  StandIn_FilesFailNext("AEGetNthPtr", -1701);
  EXPECT_EQ(-1701, AEGetNthPtr(&list, 1, typeFSRef, nullptr, &type, &ref, sizeof ref, &size));
  EXPECT_EQ(noErr, AEDisposeDesc(&list));
}

TEST_F(StandInCarbonObjectsTest, AppleEventsKeepACopyOfTheirTarget) {
  AEDesc target;
  UInt32 psn[2] = {0, 2};
  ASSERT_EQ(noErr, AECreateDesc(typeProcessSerialNumber, psn, sizeof psn, &target));
  AppleEvent event;
  ASSERT_EQ(noErr, AECreateAppleEvent(0x61657674, 0x6f646f63, &target, kAutoGenerateReturnID,
                                      kAnyTransactionID, &event));
  EXPECT_EQ(typeAppleEvent, event.descriptorType);
  EXPECT_EQ(noErr, AEDisposeDesc(&target));
  AppleEvent copy;
  ASSERT_EQ(noErr, AEDuplicateDesc(&event, &copy));
  EXPECT_EQ(noErr, AEDisposeDesc(&event));
  EXPECT_EQ(noErr, AEDisposeDesc(&copy));
}

TEST_F(StandInCarbonObjectsTest, CollectionsAndRegionsMayFailToBeMade) {
  Collection collection = NewCollection();
  ASSERT_NE(nullptr, collection);
  EXPECT_EQ(1, CountCollectionOwners(collection));
  EXPECT_EQ(m_Collections + 1, StandIn_CollectionLiveCount());
  DisposeCollection(collection);
  EXPECT_EQ(0, CountCollectionOwners(nullptr));

  RgnHandle region = NewRgn();
  ASSERT_NE(nullptr, region);
  EXPECT_EQ(m_Regions + 1, StandIn_RegionLiveCount());
  DisposeRgn(region);

  StandIn_FilesFailNext("NewCollection", memFullErr);
  StandIn_FilesFailNext("NewRgn", memFullErr);
  EXPECT_EQ(nullptr, NewCollection());
  EXPECT_EQ(nullptr, NewRgn());
  EXPECT_EQ(2, StandIn_FilesCallCount("NewRgn"));
}

TEST_F(StandInCarbonObjectsTest, NavigationDisposesDialogsAndReplies) {
  NavDialogRef dialog = StandIn_NavNewDialog();
  EXPECT_EQ(m_Dialogs + 1, StandIn_NavLiveDialogCount());
  NavDialogDispose(dialog);

  NavReplyRecord reply{};
  reply.validRecord = true;
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &reply.selection));
  ASSERT_EQ(noErr, AEPutPtr(&reply.selection, 0, kFlavorText, "a", 1));
  long strings = StandIn_CFLiveObjectCount();
  reply.saveFileName = CFStringCreateWithCString(nullptr, "Name", kCFStringEncodingASCII);
  EXPECT_EQ(noErr, NavDisposeReply(&reply));
  EXPECT_EQ(strings, StandIn_CFLiveObjectCount());
  EXPECT_EQ(nullptr, reply.selection.dataHandle);
  EXPECT_FALSE(reply.validRecord);
}

TEST_F(StandInCarbonObjectsTest, DragsCarryFlavoursOfItemsInOrder) {
  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 20, kFlavorURL, "file:///b", 9, 0));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 10, kFlavorText, "clip", 4, 0));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 20, kFlavorText, "b", 1, 0));
  EXPECT_EQ(duplicateFlavorErr, AddDragItemFlavor(drag, 20, kFlavorText, "c", 1, 0));
  UInt16 count = 0;
  ASSERT_EQ(noErr, CountDragItems(drag, &count));
  EXPECT_EQ(2, count);
  DragItemRef item = 0;
  ASSERT_EQ(noErr, GetDragItemReferenceNumber(drag, 1, &item));
  EXPECT_EQ(20u, item);
  ASSERT_EQ(noErr, GetDragItemReferenceNumber(drag, 2, &item));
  EXPECT_EQ(10u, item);
  EXPECT_EQ(badDragItemErr, GetDragItemReferenceNumber(drag, 3, &item));
  EXPECT_EQ(badDragItemErr, GetDragItemReferenceNumber(drag, 0, &item));

  Size size = 0;
  ASSERT_EQ(noErr, GetFlavorDataSize(drag, 20, kFlavorURL, &size));
  EXPECT_EQ(9, size);
  EXPECT_EQ(badDragFlavorErr, GetFlavorDataSize(drag, 10, kFlavorURL, &size));
  EXPECT_EQ(badDragItemErr, GetFlavorDataSize(drag, 30, kFlavorURL, &size));
  char buffer[16] = {};
  size = 4;
  ASSERT_EQ(noErr, GetFlavorData(drag, 20, kFlavorURL, buffer, &size, 5));
  EXPECT_EQ(4, size);
  EXPECT_EQ("///b", std::string(buffer, 4));
  size = sizeof buffer;
  EXPECT_EQ(badDragFlavorErr, GetFlavorData(drag, 10, kFlavorURL, buffer, &size, 0));
  StandIn_FilesFailNext("GetFlavorData", -1853);
  EXPECT_EQ(-1853, GetFlavorData(drag, 20, kFlavorURL, buffer, &size, 0));

  EXPECT_EQ(m_Drags + 1, StandIn_DragLiveCount());
  EXPECT_EQ(noErr, DisposeDrag(drag));
  EXPECT_EQ(badDragRefErr, CountDragItems(drag, &count));
}

}  // namespace
