#include "UMAC/UMAC_FileUtils.h"

#include "UMAC/UMAC_Exception.h"

#include "support/UMAC_ExpectThrows.h"
#include "support/UMAC_LiveCounts.h"

#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

class UMAC_PathToFSRefTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    char folder[] = "/tmp/umac_fileutils_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Folder = folder;
    m_File = m_Folder + "/Custom.colordb";
    std::ofstream(m_File) << "BDCC";
    UMAC_LiveCountsTest::SetUp();
  }

  void TearDown() override {
    StandIn_CFStringFailNextCreations(0);
    StandIn_CFURLFailNextCreations(0);
    // Temporary CF objects are released on every path.
    UMAC_LiveCountsTest::TearDown();
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

namespace {

constexpr FlavorType kFlavorFileURL = 0x6675726c;  // 'furl'
constexpr FlavorType kFlavorText = 0x54455854;     // 'TEXT'

// A folder mounted as the volume "Work"; every test ends with the live objects it began with.
class UMAC_FileUtilsTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    char folder[] = "/tmp/umac_files_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Folder = folder;
    StandIn_FilesMountTestVolume("Work", m_Folder.c_str());
    UMAC_LiveCountsTest::SetUp();
  }

  void TearDown() override {
    UMAC_LiveCountsTest::TearDown();
    StandIn_FilesReset();
    std::filesystem::remove_all(m_Folder);
  }

  std::string Create(std::string const& name) const {
    std::string const path = m_Folder + "/" + name;
    std::ofstream(path) << name;
    return path;
  }

  static FSRef Ref(std::string const& path) {
    FSRef ref;
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &ref, nullptr));
    return ref;
  }

  static std::string ClassicPath(FSRef const& ref) {
    std::string path = "left over";
    UMAC_FSRefToClassicPath(ref, path);
    return path;
  }

  std::string m_Folder;
};

TEST_F(UMAC_FileUtilsTest, NamesExtensionsAndClassicPaths) {
  struct {
    char const* diskName;
    char const* name;  // in the system encoding (Mac Roman)
    char const* extension;
    char const* classicName;
  } const cases[] = {
      {"Sheet1_Black.KRX", "Sheet1_Black.KRX", "KRX", "Sheet1_Black.KRX"},
      {"Sheet1_Black.krx", "Sheet1_Black.krx", "krx", "Sheet1_Black.krx"},
      {"NoDot", "NoDot", "", "NoDot"},
      {"Plate a:b.PRV", "Plate a:b.PRV", "PRV", "Plate a/b.PRV"},  // POSIX ':' is the Mac's '/'
      {"Caf\xC3\xA9.TIF", "Caf\x8E.TIF", "TIF", "Caf\x8E.TIF"},
      // A character the system encoding lacks: no text rather than a cut one.
      {"\xE6\x97\xA5\xE6\x9C\xAC.KRX", "", "KRX", nullptr},
  };
  for (auto const& c : cases) {
    FSRef const ref = Ref(Create(c.diskName));
    EXPECT_EQ(c.name, UMAC_GetFileName(ref)) << c.diskName;
    EXPECT_EQ(c.extension, UMAC_GetFileExtension(ref)) << c.diskName;
    std::string const classic = c.classicName ? std::string("Work:") + c.classicName : "";
    EXPECT_EQ(classic, ClassicPath(ref)) << c.diskName;
  }
  EXPECT_EQ("Work", ClassicPath(Ref(m_Folder)));
}

TEST_F(UMAC_FileUtilsTest, LongPathsComeWholeAndVanishedItemsGiveNothing) {
  std::string const part(200, 'p');
  std::string path = m_Folder;
  std::string classic = "Work";
  for (int level = 0; level < 10; ++level) {
    path += "/" + part;
    classic += ":" + part;
    ASSERT_TRUE(std::filesystem::create_directory(path));
  }
  path += "/" + std::string(250, 'n') + ".KRX";
  classic += ":" + std::string(250, 'n') + ".KRX";
  std::ofstream(path) << "x";
  FSRef const deep = Ref(path);
  EXPECT_GT(ClassicPath(deep).size(), 2000u);
  EXPECT_EQ(classic, ClassicPath(deep));
  EXPECT_EQ(std::string(250, 'n') + ".KRX", UMAC_GetFileName(deep));

  FSRef const gone = Ref(Create("gone.KRX"));
  std::filesystem::remove(m_Folder + "/gone.KRX");
  EXPECT_EQ("", UMAC_GetFileName(gone));
  EXPECT_EQ("", UMAC_GetFileExtension(gone));
  EXPECT_EQ("", ClassicPath(gone));

  StandIn_CFURLFailNextCreations(1);
  EXPECT_EQ("", UMAC_GetFileName(deep));
  StandIn_CFStringFailNextCreations(1);
  EXPECT_EQ("", ClassicPath(deep));
}

// A drag whose items carry the given flavours, disposed with the test.
class TestDrag {
public:
  TestDrag() { EXPECT_EQ(noErr, NewDrag(&m_Drag)); }
  ~TestDrag() { DisposeDrag(m_Drag); }
  TestDrag(TestDrag const&) = delete;
  TestDrag& operator=(TestDrag const&) = delete;

  void Add(DragItemRef item, FlavorType flavor, std::string const& bytes) {
    EXPECT_EQ(noErr, AddDragItemFlavor(m_Drag, item, flavor, bytes.data(),
                                       static_cast<Size>(bytes.size()), 0));
  }
  DragRef Get() const { return m_Drag; }

private:
  DragRef m_Drag = nullptr;
};

TEST_F(UMAC_FileUtilsTest, DraggedFilesComeInItemOrder) {
  std::string const first = Create("b.KRX");
  std::string const second = Create("a.KRX");
  TestDrag drag;
  drag.Add(7, kFlavorFileURL, "file://" + first);
  drag.Add(7, kFlavorText, "b");
  drag.Add(3, kFlavorFileURL, "file://" + m_Folder + "/");  // a folder too
  drag.Add(9, kFlavorFileURL, "file://localhost" + second);
  std::vector<FSRef> const refs = UMAC_FilesFoldersFromDrag(drag.Get());
  ASSERT_EQ(3u, refs.size());
  FSRef const expected[] = {Ref(first), Ref(m_Folder), Ref(second)};
  for (std::size_t i = 0; i < refs.size(); ++i)
    EXPECT_EQ(noErr, FSCompareFSRefs(&expected[i], &refs[i])) << i;

  TestDrag empty;
  EXPECT_TRUE(UMAC_FilesFoldersFromDrag(empty.Get()).empty());
}

TEST_F(UMAC_FileUtilsTest, AnyItemThatIsNoFileFailsTheWholeDrag) {
  std::string const file = Create("a.KRX");
  std::string const missing = m_Folder + "/deleted.KRX";
  struct {
    FlavorType flavor;
    std::string bytes;
    std::uint32_t code;
    std::wstring text;
    std::wstring param;
  } const cases[] = {
      {kFlavorText, "a clipping", 1436015, L"Macintosh Toolbox Error", L"-1852"},
      {kFlavorFileURL, "not a url", 1436021,
       L"Could not resolve bytes \"not a url\" into a CFURLRef", L""},
      {kFlavorFileURL, "file://" + missing, 1436021,
       L"Could not resolve URL \"file://" + GLIB_WString(missing.begin(), missing.end()) +
           L"\" into an FSRef",
       L""},
  };
  for (auto const& c : cases) {
    TestDrag drag;
    drag.Add(1, kFlavorFileURL, "file://" + file);
    drag.Add(2, c.flavor, c.bytes);
    UMAC_ExpectThrows([&] { UMAC_FilesFoldersFromDrag(drag.Get()); }, c.code, c.text, c.param);
  }

  TestDrag drag;
  drag.Add(1, kFlavorFileURL, "file://" + file);
  StandIn_FilesFailNext("GetFlavorData", -1850);
  UMAC_ExpectThrows([&] { UMAC_FilesFoldersFromDrag(drag.Get()); }, 1436015,
                    L"Macintosh Toolbox Error", L"-1850");
}

// A Navigation reply whose selection holds the given items.
class TestReply {
public:
  TestReply() { EXPECT_EQ(noErr, AECreateList(nullptr, 0, false, &m_Reply.selection)); }
  ~TestReply() { NavDisposeReply(&m_Reply); }
  TestReply(TestReply const&) = delete;
  TestReply& operator=(TestReply const&) = delete;

  void Add(DescType type, void const* data, Size size) {
    EXPECT_EQ(noErr, AEPutPtr(&m_Reply.selection, 0, type, data, size));
  }
  void Add(FSRef const& ref) { Add(typeFSRef, &ref, sizeof ref); }
  NavReplyRecord const& Get() const { return m_Reply; }

private:
  NavReplyRecord m_Reply{};
};

TEST_F(UMAC_FileUtilsTest, NavigationRepliesGiveTheirFilesInSelectionOrder) {
  FSRef const chosen[] = {Ref(Create("z.KRX")), Ref(Create("a.KRX")), Ref(m_Folder)};
  TestReply reply;
  for (FSRef const& ref : chosen)
    reply.Add(ref);
  std::vector<FSRef> const refs = UMAC_FilesFromNavReply(reply.Get());
  ASSERT_EQ(3u, refs.size());
  for (std::size_t i = 0; i < refs.size(); ++i)
    EXPECT_EQ(noErr, FSCompareFSRefs(&chosen[i], &refs[i])) << i;

  TestReply none;
  EXPECT_TRUE(UMAC_FilesFromNavReply(none.Get()).empty());
}

TEST_F(UMAC_FileUtilsTest, AReplyItemThatIsNoFileIsAToolboxError) {
  TestReply reply;
  reply.Add(Ref(Create("a.KRX")));
  reply.Add(kFlavorText, "a.KRX", 5);
  // The coercion to a file reference fails before the item's type could be looked at.
  UMAC_ExpectThrows([&] { UMAC_FilesFromNavReply(reply.Get()); }, 1436015,
                    L"Macintosh Toolbox Error", L"-1700");

  NavReplyRecord const empty{};  // no selection list at all
  UMAC_ExpectThrows([&] { UMAC_FilesFromNavReply(empty); }, 1436015, L"Macintosh Toolbox Error",
                    L"-1703");
  TestReply one;
  one.Add(Ref(m_Folder));
  StandIn_FilesFailNext("AECountItems", -1701);
  UMAC_ExpectThrows([&] { UMAC_FilesFromNavReply(one.Get()); }, 1436015, L"Macintosh Toolbox Error",
                    L"-1701");
}

}  // namespace
