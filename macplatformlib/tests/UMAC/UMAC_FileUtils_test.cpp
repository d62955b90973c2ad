#include "UMAC/UMAC_FileUtils.h"

#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

class UMAC_PathToFSRefTest : public ::testing::Test {
protected:
  void SetUp() override {
    char folder[] = "/tmp/umac_fileutils_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Folder = folder;
    m_File = m_Folder + "/Custom.colordb";
    std::ofstream(m_File) << "BDCC";
    m_LiveObjects = StandIn_CFLiveObjectCount();
  }

  void TearDown() override {
    StandIn_CFStringFailNextCreations(0);
    StandIn_CFURLFailNextCreations(0);
    // Temporary CF objects are released on every path.
    EXPECT_EQ(m_LiveObjects, StandIn_CFLiveObjectCount());
    std::string const remove = "rm -rf '" + m_Folder + "'";
    EXPECT_EQ(0, std::system(remove.c_str()));
  }

  static FSRef Marked() {
    FSRef ref;
    std::memset(&ref, 0xA5, sizeof ref);
    return ref;
  }

  static bool Unchanged(FSRef const& ref) {
    FSRef const marked = Marked();
    return std::memcmp(&ref, &marked, sizeof ref) == 0;
  }

  std::string m_Folder;
  std::string m_File;
  long m_LiveObjects = 0;
};

TEST_F(UMAC_PathToFSRefTest, ExistingItemsResolve) {
  for (std::string const& path : {m_File, m_Folder}) {
    FSRef ref = Marked();
    ASSERT_EQ(noErr, UMAC_PathToFSRef(path, ref)) << path;
    FSRef expected;
    ASSERT_EQ(noErr,
              FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &expected, nullptr));
    EXPECT_EQ(noErr, FSCompareFSRefs(&expected, &ref)) << path;
  }
}

TEST_F(UMAC_PathToFSRefTest, FailuresGiveFileNotFoundAndLeaveTheReference) {
  FSRef ref = Marked();
  EXPECT_EQ(fnfErr, UMAC_PathToFSRef(m_Folder + "/missing.colordb", ref));
  EXPECT_TRUE(Unchanged(ref));

  EXPECT_EQ(fnfErr, UMAC_PathToFSRef("", ref));  // no URL of an empty path
  EXPECT_TRUE(Unchanged(ref));

  StandIn_CFStringFailNextCreations(1);
  EXPECT_EQ(fnfErr, UMAC_PathToFSRef(m_File, ref));
  EXPECT_TRUE(Unchanged(ref));

  StandIn_CFURLFailNextCreations(1);
  EXPECT_EQ(fnfErr, UMAC_PathToFSRef(m_File, ref));
  EXPECT_TRUE(Unchanged(ref));

  EXPECT_EQ(noErr, UMAC_PathToFSRef(m_File, ref));
}

}  // namespace
