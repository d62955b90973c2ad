// The main bundle found from the program's executable: through the start-up's own path, and by
// running a copy of this test program inside a bundle.
#include <CoreFoundation/CFBundle.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr char kIdentifier[] = "com.example.probe";
constexpr char kProbeVariable[] = "STANDIN_MAIN_BUNDLE_PROBE";

std::string Narrow(CFStringRef text) {
  char buffer[256] = "";
  if (text)
    CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8);
  return buffer;
}

// Probe.app with an Info.plist (identifier and executable, no package type or signature) and a
// PkgInfo, in a temporary folder.
class MainBundleTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "mainbundle_XXXXXX").string();
    ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
    m_Root = folder;
    m_Bundle = m_Root / "Probe.app";
    fs::create_directories(m_Bundle / "Contents" / "MacOS");
    std::ofstream(m_Bundle / "Contents" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        << "<key>CFBundleIdentifier</key><string>" << kIdentifier << "</string>"
        << "<key>CFBundleExecutable</key><string>probe</string></dict></plist>\n";
    std::ofstream(m_Bundle / "Contents" / "PkgInfo") << "APPLPrb1";
  }
  void TearDown() override {
    StandIn_SetMainBundlePath(nullptr);
    fs::remove_all(m_Root);
  }

  fs::path Executable() const { return m_Bundle / "Contents" / "MacOS" / "probe"; }

  fs::path m_Root;
  fs::path m_Bundle;
};

TEST_F(MainBundleTest, AnExecutableInContentsMacOSNamesItsBundle) {
  struct Case {
    const char* name;
    std::string path;
    bool found;
  };
  const Case cases[] = {
      {"in the bundle", Executable().string(), true},
      {"outside Contents", (m_Bundle / "MacOS" / "probe").string(), false},
      {"no executable name", (m_Bundle / "Contents" / "MacOS" / "").string(), false},
      {"a bare name", "probe", false},
      {"a bundle that does not exist", "/nonexistent/X.app/Contents/MacOS/x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.found, StandIn_FindMainBundleFrom(c.path.c_str()));
    CFBundleRef bundle = CFBundleGetMainBundle();
    EXPECT_EQ(c.found ? kIdentifier : "", Narrow(CFBundleGetIdentifier(bundle)));
    UInt32 type = 0;
    UInt32 creator = 0;
    CFBundleGetPackageInfo(bundle, &type, &creator);
    EXPECT_EQ(c.found ? 0x4150504cu : 0x3f3f3f3fu, type);     // 'APPL' from PkgInfo, else '????'
    EXPECT_EQ(c.found ? 0x50726231u : 0x3f3f3f3fu, creator);  // 'Prb1'
    CFURLRef url = CFBundleCopyBundleURL(bundle);
    EXPECT_EQ(c.found, url != nullptr);
    if (url)
      CFRelease(url);
  }
}

TEST_F(MainBundleTest, AProgramInsideABundleFindsItAtStartUp) {
  fs::copy_file("/proc/self/exe", Executable());
  fs::permissions(Executable(), fs::perms::owner_exec, fs::perm_options::add);
  const std::string command = std::string(kProbeVariable) + "=1 '" + Executable().string() +
                              "' --gtest_filter=MainBundleProbe.* 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  std::string output;
  std::array<char, 512> chunk;
  while (std::fgets(chunk.data(), chunk.size(), pipe))
    output += chunk.data();
  EXPECT_EQ(0, ::pclose(pipe)) << output;
  EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 1 test")) << output;
  EXPECT_EQ(std::string::npos, output.find("SKIPPED")) << output;
}

// Runs only in the copy that the test above starts inside the bundle.
TEST(MainBundleProbe, TheMainBundleIsTheOneTheExecutableLiesIn) {
  if (std::getenv(kProbeVariable) == nullptr)
    GTEST_SKIP() << "runs inside a bundle only";
  CFBundleRef bundle = CFBundleGetMainBundle();
  EXPECT_EQ(kIdentifier, Narrow(CFBundleGetIdentifier(bundle)));
  UInt32 creator = 0;
  CFBundleGetPackageInfo(bundle, nullptr, &creator);
  EXPECT_EQ(0x50726231u, creator);
}

}  // namespace
