// Test volumes (HFS paths of a mounted folder) and the last bulk batch that says no more items.
#include <CoreFoundation/CFURL.h>
#include <CoreServices/Files.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Utf8(CFStringRef text) {
  std::vector<char> buffer(4 * CFStringGetLength(text) + 1);
  EXPECT_TRUE(CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()),
                                 kCFStringEncodingUTF8));
  return buffer.data();
}

class StandInTestVolumesTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    char pattern[] = "/tmp/standin-volumes-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_Root = fs::canonical(pattern).string();
    m_LiveObjects = StandIn_CFLiveObjectCount();
  }
  void TearDown() override {
    EXPECT_EQ(m_LiveObjects, StandIn_CFLiveObjectCount());
    StandIn_FilesReset();
    fs::remove_all(m_Root);
  }

  std::string HFSPath(const std::string& posix) const {
    return ConvertedPath(posix, kCFURLPOSIXPathStyle, kCFURLHFSPathStyle);
  }

  std::string PosixPath(const std::string& hfsPath) const {
    return ConvertedPath(hfsPath, kCFURLHFSPathStyle, kCFURLPOSIXPathStyle);
  }

  // The path of the item named by path in one style, written in the other.
  static std::string ConvertedPath(const std::string& path, CFURLPathStyle from,
                                   CFURLPathStyle to) {
    CFStringRef text = CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
    CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, text, from, false);
    CFRelease(text);
    CFStringRef converted = CFURLCopyFileSystemPath(url, to);
    CFRelease(url);
    std::string result = Utf8(converted);
    CFRelease(converted);
    return result;
  }

  std::string m_Root;
  long m_LiveObjects = 0;
};

TEST_F(StandInTestVolumesTest, AMountedFolderNamesTheVolumeOfHFSPaths) {
  fs::create_directories(m_Root + "/work/inner");
  StandIn_FilesMountTestVolume("Work", (m_Root + "/work").c_str());
  StandIn_FilesMountTestVolume("Inner", (m_Root + "/work/inner").c_str());
  EXPECT_EQ("Work", HFSPath(m_Root + "/work"));
  EXPECT_EQ("Work:a/b:c", HFSPath(m_Root + "/work/a:b/c"));  // ':' in a name reads '/'
  EXPECT_EQ("Work:a:b/c", HFSPath(m_Root + "/work/a/b:c"));
  EXPECT_EQ("Inner:x", HFSPath(m_Root + "/work/inner/x"));  // the innermost volume
  EXPECT_EQ("Work:innerx", HFSPath(m_Root + "/work/innerx"));
  EXPECT_EQ("Macintosh HD:tmp", HFSPath("/tmp"));

  EXPECT_EQ(m_Root + "/work/a:b/c", PosixPath("Work:a/b:c"));
  EXPECT_EQ(m_Root + "/work", PosixPath("Work"));

  StandIn_FilesReset();  // unmounts
  EXPECT_EQ("Macintosh HD", HFSPath(m_Root).substr(0, 12));
}

TEST_F(StandInTestVolumesTest, TheLastPartialBatchMayComeWithNoMoreItems) {
  for (const char* name : {"a", "b", "c", "d", "e"})
    std::ofstream(m_Root + "/" + name) << name;
  FSRef folder;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(m_Root.c_str()), &folder, nullptr));
  for (bool switched : {false, true}) {
    StandIn_FilesLastBatchSaysNoMoreItems(switched);
    FSIterator iterator = nullptr;
    ASSERT_EQ(noErr, FSOpenIterator(&folder, kFSIterateFlat, &iterator));
    FSRef refs[3];
    ItemCount got = 0;
    EXPECT_EQ(noErr, FSGetCatalogInfoBulk(iterator, 3, &got, nullptr, kFSCatInfoNone, nullptr, refs,
                                          nullptr, nullptr));
    EXPECT_EQ(3u, got);
    OSErr last = FSGetCatalogInfoBulk(iterator, 3, &got, nullptr, kFSCatInfoNone, nullptr, refs,
                                      nullptr, nullptr);
    EXPECT_EQ(switched ? errFSNoMoreItems : OSErr{noErr}, last) << switched;
    EXPECT_EQ(2u, got) << switched;
    EXPECT_EQ(errFSNoMoreItems, FSGetCatalogInfoBulk(iterator, 3, &got, nullptr, kFSCatInfoNone,
                                                     nullptr, refs, nullptr, nullptr));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(noErr, FSCloseIterator(iterator));
  }

  // A batch that ends the folder exactly is full, not partial.
  FSIterator iterator = nullptr;
  ASSERT_EQ(noErr, FSOpenIterator(&folder, kFSIterateFlat, &iterator));
  FSRef refs[5];
  ItemCount got = 0;
  EXPECT_EQ(noErr, FSGetCatalogInfoBulk(iterator, 5, &got, nullptr, kFSCatInfoNone, nullptr, refs,
                                        nullptr, nullptr));
  EXPECT_EQ(5u, got);
  EXPECT_EQ(noErr, FSCloseIterator(iterator));
}

}  // namespace
