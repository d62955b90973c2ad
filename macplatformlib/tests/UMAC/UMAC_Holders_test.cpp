// The scoped holders of Carbon resources, against the stand-in's counts of live objects.
#include "UMAC/UMAC_AutoAEDescriptor.h"
#include "UMAC/UMAC_AutoCollection.h"
#include "UMAC/UMAC_AutoNavDialogRef.h"
#include "UMAC/UMAC_AutoNavReplyRecord.h"
#include "UMAC/UMAC_AutoRgnHandle.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_IconRef.h"

#include "support/UMAC_LiveCounts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <type_traits>

namespace fs = std::filesystem;

namespace {

constexpr DescType kText = 0x54455854;  // 'TEXT'

class UMAC_HoldersTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    UMAC_LiveCountsTest::SetUp();
  }
  void TearDown() override {
    UMAC_LiveCountsTest::TearDown();
    StandIn_FilesReset();
  }
};

std::string Text(AEDesc const& list, long index) {
  char buffer[16] = {};
  Size size = 0;
  EXPECT_EQ(noErr,
            AEGetNthPtr(&list, index, kText, nullptr, nullptr, buffer, sizeof buffer - 1, &size));
  return std::string(buffer, static_cast<std::size_t>(size));
}

void ExpectToolboxError(UMAC_Exception const& e, long error) {
  EXPECT_EQ(1436015u, e.code());
  EXPECT_EQ(L"Macintosh Toolbox Error", e.WMessage());
  EXPECT_EQ(GLIB_WString(std::to_wstring(error)), e.getDetailParameter(0));
}

static_assert(!std::is_copy_constructible_v<UMAC_IconRef>, "icons are held once");
static_assert(!std::is_copy_assignable_v<UMAC_IconRef>, "icons are held once");
static_assert(!std::is_copy_constructible_v<UMAC_AutoCollection>, "held once");
static_assert(!std::is_copy_constructible_v<UMAC_AutoRgnHandle>, "held once");
static_assert(!std::is_copy_constructible_v<UMAC_AutoNavDialogRef>, "held once");
static_assert(!std::is_copy_constructible_v<UMAC_AutoNavReplyRecord>, "held once");
static_assert(!std::is_copy_assignable_v<UMAC_AutoNavReplyRecord>, "held once");

class UMAC_IconRefTest : public UMAC_HoldersTest {
protected:
  void SetUp() override {
    UMAC_HoldersTest::SetUp();
    StandIn_ResetIcons();
    char pattern[] = "/tmp/umac_icons_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern));
    m_Folder = pattern;
  }
  void TearDown() override {
    UMAC_HoldersTest::TearDown();
    StandIn_ResetIcons();
    fs::remove_all(m_Folder);
  }

  // A new icon of a file of the test's folder, with one reference held.
  IconRef NewIcon(std::string const& name) const {
    std::string const path = m_Folder + "/" + name;
    std::ofstream(path) << name;
    FSRef ref;
    FSSpec spec;
    IconRef icon = nullptr;
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &ref, nullptr));
    EXPECT_EQ(noErr, FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr));
    EXPECT_EQ(noErr, GetIconRefFromFile(&spec, &icon, nullptr));
    return icon;
  }

  std::string m_Folder;
};

TEST_F(UMAC_IconRefTest, ReleasesWhatItHoldsOnceAndNeverRetains) {
  IconRef const first = NewIcon("a");
  IconRef const second = NewIcon("b");
  {
    UMAC_IconRef holder(first);
    EXPECT_EQ(first, holder.Get());
    EXPECT_EQ(1, StandIn_IconReferenceCount(first));  // taken over, not retained

    holder.Reset(first);  // its own reference: kept as it is
    EXPECT_EQ(1, StandIn_IconReferenceCount(first));
    EXPECT_EQ(0, StandIn_IconReleaseCount());

    holder.Reset(second);
    EXPECT_EQ(1, StandIn_IconReleaseCount());
    EXPECT_EQ(second, holder.Get());

    holder.Reset(nullptr);
    EXPECT_EQ(2, StandIn_IconReleaseCount());
    EXPECT_EQ(nullptr, holder.Get());
    holder.Reset(NewIcon("c"));
  }
  EXPECT_EQ(3, StandIn_IconReleaseCount());  // the destructor released the last one
}

TEST_F(UMAC_IconRefTest, EmptyHoldersReleaseNothing) {
  {
    UMAC_IconRef empty;
    UMAC_IconRef null(nullptr);
    empty.Reset(nullptr);
  }
  EXPECT_EQ(0, StandIn_FilesCallCount("ReleaseIconRef"));
}

using UMAC_AutoAEDescriptorTest = UMAC_HoldersTest;

TEST_F(UMAC_AutoAEDescriptorTest, EachMadeKindAndTheDefault) {
  {
    UMAC_AutoAEDescriptor empty;
    EXPECT_EQ(typeNull, empty.Get().descriptorType);
    EXPECT_EQ(nullptr, empty.Get().dataHandle);

    UMAC_AutoAEDescriptor text(kText, "abc", 3);
    EXPECT_EQ(kText, text.Get().descriptorType);

    UMAC_AutoAEDescriptor list(nullptr, 0, false);
    UMAC_AutoAEDescriptor record(nullptr, 0, true);
    EXPECT_EQ(typeAEList, list.Get().descriptorType);
    EXPECT_EQ(typeAERecord, record.Get().descriptorType);
    EXPECT_EQ(m_Start.descriptors + 3, StandIn_AELiveDescriptorCount());

    UMAC_AutoAEDescriptor event(0x61657674, 0x71756974, &text.Get(), kAutoGenerateReturnID,
                                kAnyTransactionID);
    EXPECT_EQ(typeAppleEvent, event.Get().descriptorType);
  }
  EXPECT_EQ(4, StandIn_FilesCallCount("AEDisposeDesc"));  // not for the empty one
}

TEST_F(UMAC_AutoAEDescriptorTest, CopiesDuplicateSoEachDisposesItsOwn) {
  UMAC_AutoAEDescriptor list(nullptr, 0, false);
  ASSERT_EQ(noErr, AEPutPtr(&list.Get(), 0, kText, "one", 3));
  {
    UMAC_AutoAEDescriptor copy(list);
    EXPECT_NE(list.Get().dataHandle, copy.Get().dataHandle);
    EXPECT_EQ(typeAEList, copy.Get().descriptorType);
    ASSERT_EQ(noErr, AEPutPtr(&copy.Get(), 0, kText, "two", 3));

    UMAC_AutoAEDescriptor assigned(kText, "x", 1);
    assigned = copy;
    EXPECT_EQ("two", Text(assigned.Get(), 2));
    auto const& self = assigned;
    assigned = self;  // keeps it
    EXPECT_EQ("one", Text(assigned.Get(), 1));
    EXPECT_EQ("two", Text(assigned.Get(), 2));

    UMAC_AutoAEDescriptor empty;
    assigned = empty;
    EXPECT_EQ(nullptr, assigned.Get().dataHandle);
    EXPECT_EQ(typeNull, assigned.Get().descriptorType);
  }
  long count = 0;
  ASSERT_EQ(noErr, AECountItems(&list.Get(), &count));
  EXPECT_EQ(1, count);  // the copies did not share the original's items
}

TEST_F(UMAC_AutoAEDescriptorTest, FailedCallsThrowOrLeaveTheHolderEmpty) {
  for (char const* call : {"AECreateDesc", "AECreateList", "AECreateAppleEvent"}) {
    StandIn_FilesFailNext(call, -108);
    try {
      if (std::string(call) == "AECreateDesc")
        UMAC_AutoAEDescriptor(kText, "abc", 3);
      else if (std::string(call) == "AECreateList")
        UMAC_AutoAEDescriptor(nullptr, 0, true);
      else
        UMAC_AutoAEDescriptor(0x61657674, 0x71756974, nullptr, 0, 0);
      ADD_FAILURE() << call;
    } catch (UMAC_Exception const& e) {
      ExpectToolboxError(e, -108);
    }
  }
  UMAC_AutoAEDescriptor text(kText, "abc", 3);
  StandIn_FilesFailNext("AEDuplicateDesc", -108);
  UMAC_AutoAEDescriptor copy(text);
  EXPECT_EQ(nullptr, copy.Get().dataHandle);
  UMAC_AutoAEDescriptor assigned(kText, "x", 1);
  StandIn_FilesFailNext("AEDuplicateDesc", -108);
  assigned = text;
  EXPECT_EQ(nullptr, assigned.Get().dataHandle);
  EXPECT_EQ(typeNull, assigned.Get().descriptorType);
}

using UMAC_AutoObjectsTest = UMAC_HoldersTest;

TEST_F(UMAC_AutoObjectsTest, CollectionsAndRegionsAreDisposedOrReportedWhenNotMade) {
  {
    UMAC_AutoCollection collection;
    UMAC_AutoRgnHandle region;
    EXPECT_EQ(1, CountCollectionOwners(collection.Get()));
    EXPECT_NE(nullptr, region.Get());
    EXPECT_EQ(m_Start.collections + 1, StandIn_CollectionLiveCount());
    EXPECT_EQ(m_Start.regions + 1, StandIn_RegionLiveCount());
  }
  StandIn_FilesFailNext("NewCollection", memFullErr);
  try {
    UMAC_AutoCollection collection;
    ADD_FAILURE();
  } catch (UMAC_Exception const& e) {
    EXPECT_EQ(1436011u, e.code());
    EXPECT_EQ(L"::NewCollection() returned NULL", e.WMessage());
  }
  StandIn_FilesFailNext("NewRgn", memFullErr);
  try {
    UMAC_AutoRgnHandle region;
    ADD_FAILURE();
  } catch (UMAC_Exception const& e) {
    EXPECT_EQ(1436009u, e.code());
    EXPECT_EQ(L"Unable to create RgnHandle.", e.WMessage());
  }
  EXPECT_EQ(1, StandIn_FilesCallCount("DisposeCollection"));
  EXPECT_EQ(1, StandIn_FilesCallCount("DisposeRgn"));
}

TEST_F(UMAC_AutoObjectsTest, NavigationHoldersDisposeOnlyWhatTheyWereGiven) {
  {
    UMAC_AutoNavDialogRef dialog;
    UMAC_AutoNavReplyRecord reply;
    EXPECT_FALSE(reply.IsValid());
    EXPECT_EQ(nullptr, reply.Get().selection.dataHandle);
  }
  EXPECT_EQ(0, StandIn_FilesCallCount("NavDialogDispose"));
  EXPECT_EQ(0, StandIn_FilesCallCount("NavDisposeReply"));

  {
    UMAC_AutoNavDialogRef dialog;
    dialog.Adopt(StandIn_NavNewDialog());
    dialog.Adopt(StandIn_NavNewDialog());  // the first goes now
    EXPECT_EQ(m_Start.navDialogs + 1, StandIn_NavLiveDialogCount());

    UMAC_AutoNavReplyRecord reply;
    NavReplyRecord filled{};
    filled.validRecord = true;
    ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &filled.selection));
    filled.saveFileName = CFStringCreateWithCString(nullptr, "Sheet", kCFStringEncodingASCII);
    reply.Adopt(filled);
    EXPECT_TRUE(reply.IsValid());
    EXPECT_EQ(filled.selection.dataHandle, reply.Get().selection.dataHandle);
  }
  EXPECT_EQ(2, StandIn_FilesCallCount("NavDialogDispose"));
  EXPECT_EQ(1, StandIn_FilesCallCount("NavDisposeReply"));
}

}  // namespace
