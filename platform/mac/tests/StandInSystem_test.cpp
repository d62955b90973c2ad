// Gestalt, the current process and Icon Services of the stand-in.
#include <CoreServices/Files.h>
#include <CoreServices/Gestalt.h>
#include <HIServices/Icons.h>
#include <HIServices/Processes.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Gestalt asked while this source's statics are made: the stand-in must already answer.
SInt32 g_versionAtStart = 0;
const OSErr g_errorAtStart = Gestalt(gestaltSystemVersion, &g_versionAtStart);

TEST(StandInGestaltTest, AnswersDuringStaticInitialisation) {
  EXPECT_EQ(noErr, g_errorAtStart);
  EXPECT_EQ(0x1049, g_versionAtStart);
}

TEST(StandInGestaltTest, ValuesErrorsAndCountsSetByTests) {
  StandIn_ResetGestalt();
  StandIn_FilesReset();
  SInt32 value = 77;
  EXPECT_EQ(noErr, Gestalt(gestaltMacOSCompatibilityBoxAttr, &value));
  EXPECT_EQ(0, value);

  StandIn_SetGestaltValue(gestaltSystemVersion, 0x1039);
  EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &value));
  EXPECT_EQ(0x1039, value);

  StandIn_SetGestaltError(gestaltSystemVersion, -5550);
  value = 77;
  EXPECT_EQ(-5550, Gestalt(gestaltSystemVersion, &value));
  EXPECT_EQ(77, value);  // untouched on an error
  EXPECT_EQ(gestaltUndefSelectorErr, Gestalt(0x71717171, &value));

  StandIn_FilesFailNext("Gestalt", -1);
  EXPECT_EQ(-1, Gestalt(gestaltMacOSCompatibilityBoxAttr, &value));

  EXPECT_EQ(2, StandIn_GestaltCallCount(gestaltSystemVersion));
  EXPECT_EQ(2, StandIn_GestaltCallCount(gestaltMacOSCompatibilityBoxAttr));
  StandIn_ResetGestalt();
  EXPECT_EQ(0, StandIn_GestaltCallCount(gestaltSystemVersion));
  EXPECT_EQ(noErr, Gestalt(gestaltSystemVersion, &value));
  EXPECT_EQ(0x1049, value);
  StandIn_FilesReset();
}

class StandInWithFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    StandIn_ResetIcons();
    char pattern[] = "/tmp/standin-system-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_Root = fs::canonical(pattern).string();
    m_LiveIcons = StandIn_IconLiveReferenceCount();
  }
  void TearDown() override {
    EXPECT_EQ(m_LiveIcons, StandIn_IconLiveReferenceCount());
    StandIn_ResetIcons();
    StandIn_FilesReset();
    StandIn_SetCurrentProcess(0x4e6c7432, "/");
    fs::remove_all(m_Root);
  }

  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string path = m_Root + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static FSSpec Spec(const std::string& path) {
    FSRef ref;
    FSSpec spec{};
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
    EXPECT_EQ(noErr, FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr));
    return spec;
  }

  std::string m_Root;
  long m_LiveIcons = 0;
};

using StandInProcessTest = StandInWithFolderTest;

TEST_F(StandInProcessTest, TheCurrentProcessHasTheSignatureAndApplicationSetByTests) {
  fs::create_directory(m_Root + "/Viewer.app");
  StandIn_SetCurrentProcess(0x41424344, (m_Root + "/Viewer.app").c_str());
  ProcessSerialNumber psn;
  ASSERT_EQ(noErr, GetCurrentProcess(&psn));
  FSSpec spec{};
  ProcessInfoRec info{};
  info.processInfoLength = sizeof info;
  info.processAppSpec = &spec;
  ASSERT_EQ(noErr, GetProcessInformation(&psn, &info));
  EXPECT_EQ(0x41424344u, info.processSignature);
  FSSpec expected = Spec(m_Root + "/Viewer.app");
  EXPECT_EQ(expected.parID, spec.parID);
  EXPECT_EQ("Viewer.app", std::string(reinterpret_cast<char*>(spec.name + 1), spec.name[0]));

  ProcessSerialNumber current{0, kCurrentProcess};
  EXPECT_EQ(noErr, GetProcessInformation(&current, &info));
  ProcessSerialNumber other{0, 99};
  EXPECT_EQ(procNotFound, GetProcessInformation(&other, &info));
  info.processInfoLength = 4;
  EXPECT_EQ(paramErr, GetProcessInformation(&psn, &info));
  info.processInfoLength = sizeof info;

  StandIn_FilesFailNext("GetCurrentProcess", -600);
  EXPECT_EQ(-600, GetCurrentProcess(&psn));
  StandIn_FilesFailNext("GetProcessInformation", -50);
  EXPECT_EQ(-50, GetProcessInformation(&psn, &info));

  fs::remove(m_Root + "/Viewer.app");
  EXPECT_EQ(fnfErr, GetProcessInformation(&psn, &info));
}

using StandInIconsTest = StandInWithFolderTest;

constexpr OSType kCreator = 0x4e6c7432;    // 'Nlt2'
constexpr OSType kAppIcon = 0x41707049;    // 'AppI'
constexpr OSType kOtherType = 0x546f6f6c;  // 'Tool'
const char kPNGHead[] = "\x89PNG\r\n\x1A\n....";

TEST_F(StandInIconsTest, RegisteredIconsAreFoundByCreatorAndTypeAndCountReferences) {
  FSSpec png = Spec(Write("App.icns", std::string(kPNGHead, sizeof kPNGHead - 1)));
  FSSpec family = Spec(Write("Other.icns", "icns\0\0\0\x10"));
  IconRef registered = nullptr;
  ASSERT_EQ(noErr, RegisterIconRefFromIconFile(kCreator, kAppIcon, &png, &registered));
  IconRef found = nullptr;
  ASSERT_EQ(noErr, GetIconRef(kOnSystemDisk, kCreator, kAppIcon, &found));
  EXPECT_EQ(registered, found);
  EXPECT_EQ(2, StandIn_IconReferenceCount(found));
  IconRef none = nullptr;
  EXPECT_EQ(noSuchIconErr, GetIconRef(0, kCreator, kOtherType, &none));

  IconRef other = nullptr;
  ASSERT_EQ(noErr, RegisterIconRefFromIconFile(kCreator, kOtherType, &family, &other));
  EXPECT_NE(registered, other);

  EXPECT_EQ(noErr, ReleaseIconRef(registered));
  EXPECT_EQ(noErr, ReleaseIconRef(found));
  EXPECT_EQ(noErr, ReleaseIconRef(other));
  EXPECT_EQ(3, StandIn_IconReleaseCount());
  // A registered icon stays known after its last reference, but cannot be released again.
  EXPECT_EQ(invalidIconRefErr, ReleaseIconRef(registered));
  EXPECT_EQ(noErr, GetIconRef(0, kCreator, kAppIcon, &found));
  EXPECT_EQ(registered, found);
  EXPECT_EQ(noErr, ReleaseIconRef(found));
  EXPECT_EQ(invalidIconRefErr, ReleaseIconRef(nullptr));
}

TEST_F(StandInIconsTest, OnlyExistingIconFilesRegister) {
  FSSpec text = Spec(Write("Readme.icns", "plain text"));
  FSSpec empty = Spec(Write("Empty.icns", ""));
  IconRef icon = nullptr;
  EXPECT_EQ(noIconDataAvailableErr, RegisterIconRefFromIconFile(kCreator, kAppIcon, &text, &icon));
  EXPECT_EQ(noIconDataAvailableErr, RegisterIconRefFromIconFile(kCreator, kAppIcon, &empty, &icon));
  fs::remove(m_Root + "/Readme.icns");
  EXPECT_EQ(fnfErr, RegisterIconRefFromIconFile(kCreator, kAppIcon, &text, &icon));
  EXPECT_EQ(noSuchIconErr, GetIconRef(0, kCreator, kAppIcon, &icon));
  StandIn_FilesFailNext("RegisterIconRefFromIconFile", -2580);
  FSSpec png = Spec(Write("App.icns", std::string(kPNGHead, sizeof kPNGHead - 1)));
  EXPECT_EQ(-2580, RegisterIconRefFromIconFile(kCreator, kAppIcon, &png, &icon));
  EXPECT_EQ(noSuchIconErr, GetIconRef(0, kCreator, kAppIcon, &icon));
}

TEST_F(StandInIconsTest, IconsOfFilesGoWithTheirLastReference) {
  fs::create_directory(m_Root + "/Bundle.app");
  FSSpec bundle = Spec(m_Root + "/Bundle.app");
  IconRef first = nullptr;
  IconRef second = nullptr;
  SInt16 label = 5;
  ASSERT_EQ(noErr, GetIconRefFromFile(&bundle, &first, &label));
  EXPECT_EQ(0, label);
  ASSERT_EQ(noErr, GetIconRefFromFile(&bundle, &second, nullptr));
  EXPECT_EQ(m_LiveIcons + 2, StandIn_IconLiveReferenceCount());
  EXPECT_EQ(noErr, ReleaseIconRef(first));
  EXPECT_EQ(invalidIconRefErr, ReleaseIconRef(first));  // gone with its last reference
  EXPECT_EQ(noErr, ReleaseIconRef(second));

  fs::remove(m_Root + "/Bundle.app");
  EXPECT_EQ(fnfErr, GetIconRefFromFile(&bundle, &first, nullptr));
}

}  // namespace
