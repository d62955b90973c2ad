// The file-system layer against a temporary folder of the host (both flavours).
#include "GFIL/GFIL_FileSystem.h"
#include "GFIL/GFIL_Utils.h"
#include "support/GFIL_TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using FS = GFIL_FileSystem;

// The code of the GFIL exception that call throws (0 for none).
template <class Call>
std::uint32_t CodeOf(Call call) {
  try {
    call();
  } catch (const GFIL_Exception& e) {
    return e.code();
  }
  return 0;
}

std::string DataOf(const GFIL_DataBuffer& buffer) {
  return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.DataSize());
}

void WriteText(GFIL_FileHandle& handle, const std::string& text) {
  GFIL_DataBuffer buffer = handle.FileSystem()->AcquireWriteBuffer();
  ASSERT_GE(buffer.Capacity(), text.size());
  std::memcpy(buffer.Data(), text.data(), text.size());
  buffer.SetDataSize(static_cast<unsigned long>(text.size()));
  handle.WriteBuffer(buffer);
}

class GFIL_FileSystemTest : public ::testing::Test {
protected:
  GFIL_TestFolder m_Folder;
};

TEST_F(GFIL_FileSystemTest, CreateWriteReadAndResize) {
  GFIL_FileSpec spec = m_Folder.Spec("data.bin");
  EXPECT_FALSE(spec.Exists());
  {
    GFIL_FileHandle handle(spec);
    handle.Create(FS::OPEN_READABLE | FS::OPEN_WRITABLE);
    WriteText(handle, "hello ");
    WriteText(handle, "world");
    EXPECT_EQ(11, handle.Position());
    handle.FileSystem()->FlushToDisk();
    EXPECT_EQ(11, handle.FileSystem()->FileSize());

    handle.FileSystem()->SetFileSize(5);
    EXPECT_EQ(5, handle.FileSystem()->FileSize());
    handle.FileSystem()->SetFileSize(8);
    EXPECT_EQ(8, handle.FileSystem()->FileSize());
  }
  EXPECT_TRUE(spec.Exists());
  EXPECT_FALSE(spec.IsAFolder());
  EXPECT_EQ(std::string("hello\0\0\0", 8), m_Folder.ReadFile("data.bin"));
}

TEST_F(GFIL_FileSystemTest, ReadingInBuffersSetsTheEndOfFileFlagAtTheEnd) {
  m_Folder.WriteFile("ten", "0123456789");
  GFIL_FileSpec spec = m_Folder.Spec("ten");
  spec.FileSystemImplPtr()->SetDataBufferSize(4);
  GFIL_FileHandle handle(spec);
  handle.Open(FS::OPEN_READABLE);
  std::string all;
  GFIL_DataBuffer buffer;
  do {
    buffer = handle.ReadBuffer();
    all += DataOf(buffer);
  } while (!buffer.IsEndOfFile());
  EXPECT_EQ("0123456789", all);
  EXPECT_EQ(2u, buffer.DataSize());  // the short read at the end

  buffer = handle.FileSystem()->ReadBuffer(100);
  EXPECT_EQ(0u, buffer.DataSize());
  EXPECT_TRUE(buffer.IsEndOfFile());
  buffer = handle.FileSystem()->ReadBuffer(6);
  EXPECT_EQ("6789", DataOf(buffer));
}

TEST_F(GFIL_FileSystemTest, DefaultBufferSizeIsUsedUnlessTheItemHasItsOwn) {
  EXPECT_EQ(32768u, FS::DefaultDataBufferSize());
  GFIL_FileSpec spec = m_Folder.Spec("x");
  GFIL_DataBuffer buffer = spec.FileSystemImplPtr()->AcquireWriteBuffer();
  EXPECT_EQ(32768u, buffer.Capacity());
  FS::SetDefaultDataBufferSize(100);
  EXPECT_EQ(100u, spec.FileSystemImplPtr()->AcquireWriteBuffer().Capacity());
  FS::SetDefaultDataBufferSize(32768);
}

TEST_F(GFIL_FileSystemTest, CreateOnAnExistingFileNeedsOverwrite) {
  m_Folder.WriteFile("old", "old contents");
  GFIL_FileSpec spec = m_Folder.Spec("old");
  EXPECT_EQ(GFIL_ERR_ALREADY_EXISTS,
            CodeOf([&] { spec.FileSystemImplPtr()->Create(FS::OPEN_WRITABLE); }));
  EXPECT_FALSE(spec.FileSystemImplPtr()->IsOpen());
  EXPECT_EQ("old contents", m_Folder.ReadFile("old"));
  {
    GFIL_FileHandle handle(spec);
    handle.Create(FS::CREATE_OVERWRITE | FS::OPEN_WRITABLE);
    EXPECT_EQ(0, handle.FileSystem()->FileSize());
  }
  EXPECT_EQ("", m_Folder.ReadFile("old"));
}

TEST_F(GFIL_FileSystemTest, MissingFilesCannotBeOpenedOrRemoved) {
  GFIL_FileSpec spec = m_Folder.Spec("missing");
  EXPECT_EQ(GFIL_ERR_NOT_FOUND, CodeOf([&] { spec.FileSystemImplPtr()->Open(FS::OPEN_READABLE); }));
  EXPECT_EQ(GFIL_ERR_NOT_FOUND, CodeOf([&] { spec.FileSystemImplPtr()->RemoveFile(); }));
  m_Folder.WriteFile("present", "");
  GFIL_FileSpec present = m_Folder.Spec("present");
  present.FileSystemImplPtr()->RemoveFile();
  EXPECT_FALSE(present.Exists());
}

TEST_F(GFIL_FileSystemTest, TemporaryFilesGoWithTheirLastHandle) {
  GLIB_WString path;
  {
    GFIL_FileHandle first = GFIL_CreateTempFile(m_Folder.Spec(), FS::OPEN_WRITABLE);
    GFIL_FileSpec spec(first.FileSystem());
    path = GFIL_PlatformPathFromSpec(spec);
    EXPECT_EQ(m_Folder.PlatformPath(), GFIL_PlatformPathFromSpec(spec.Parent()));
    {
      GFIL_FileHandle second(first);
      WriteText(second, "temp");
    }
    EXPECT_TRUE(GFIL_SpecFromPlatformPath(path).Exists());
  }
  EXPECT_FALSE(GFIL_SpecFromPlatformPath(path).Exists());
}

TEST_F(GFIL_FileSystemTest, TemporarySpecsAreNewEmptyFilesWithDistinctNames) {
  GFIL_FileSpec a = GFIL_CreateTempSpec(m_Folder.Spec());
  GFIL_FileSpec b = GFIL_CreateTempSpec(m_Folder.Spec());
  EXPECT_TRUE(a.Exists());
  EXPECT_TRUE(b.Exists());
  EXPECT_FALSE(GFIL_FileSpecsEqual(a, b));
  EXPECT_EQ(0u, fs::file_size(fs::path(GFIL_PlatformPathFromSpec(a))));
  m_Folder.WriteFile("file", "");
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, CodeOf([&] { GFIL_CreateTempSpec(m_Folder.Spec("file")); }));

  GFIL_FileSpec systemTemp = GFIL_CreateTempSpec();
  EXPECT_TRUE(systemTemp.Exists());
  systemTemp.FileSystemImplPtr()->RemoveFile();
}

TEST_F(GFIL_FileSystemTest, NamesParentsChildrenAndFolders) {
  m_Folder.MakeFolder("dir/sub");
  m_Folder.WriteFile("dir/f.tif", "x");
  GFIL_FileSpec dir = m_Folder.Spec("dir");
  EXPECT_TRUE(dir.IsAFolder());
  EXPECT_EQ(GLIB_WString(L"dir"), dir.Name());
  EXPECT_EQ(m_Folder.PlatformPath(), GFIL_PlatformPathFromSpec(dir.Parent()));
  EXPECT_TRUE(dir.FileSystemImplPtr()->FileSpecContains(L"f.tif"));
  EXPECT_FALSE(dir.FileSystemImplPtr()->FileSpecContains(L"g.tif"));
  GFIL_FileSpec child = dir.Concat(L"new.tif");
  EXPECT_FALSE(child.Exists());
  EXPECT_EQ(m_Folder.PlatformPath("dir/new.tif"), GFIL_PlatformPathFromSpec(child));

  GFIL_FileSpecVector contents = dir.FolderContents();
  std::vector<GLIB_WString> names;
  for (const GFIL_FileSpec& item : contents)
    names.push_back(item.Name());
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<GLIB_WString>{L"f.tif", L"sub"}), names);
  EXPECT_TRUE(m_Folder.Spec("dir/sub").FolderContents().empty());
}

TEST_F(GFIL_FileSystemTest, CreatingFolders) {
  GFIL_FileSpec made = m_Folder.Spec("made");
  GFIL_CreateDir(made);
  EXPECT_TRUE(made.IsAFolder());
  EXPECT_EQ(GFIL_ERR_CREATE_DIR, CodeOf([&] { GFIL_CreateDir(made); }));
  std::uint32_t code = CodeOf([&] { GFIL_CreateDir(m_Folder.Spec("no/such/parent")); });
  EXPECT_TRUE(code == GFIL_ERR_CREATE_DIR || code == GFIL_ERR_BAD_SPEC) << code;
}

TEST_F(GFIL_FileSystemTest, SpecsAreEqualByTheirPlatformPaths) {
  GFIL_FileSpec none;
  EXPECT_TRUE(GFIL_FileSpecsEqual(none, GFIL_FileSpec()));
  EXPECT_FALSE(GFIL_FileSpecsEqual(none, m_Folder.Spec("a")));
  EXPECT_FALSE(GFIL_FileSpecsEqual(m_Folder.Spec("a"), none));
  EXPECT_TRUE(GFIL_FileSpecsEqual(m_Folder.Spec("a"), m_Folder.Spec("a")));
  EXPECT_FALSE(GFIL_FileSpecsEqual(m_Folder.Spec("a"), m_Folder.Spec("b")));

  std::ostringstream printed;
  printed << m_Folder.Spec("a") << none;
  EXPECT_EQ(m_Folder.PlatformPath("a").AsString(), printed.str());
}

TEST_F(GFIL_FileSystemTest, JobAndPageFoldersAreRecognisedByTheirAssignmentFile) {
  m_Folder.MakeFolder("Job1.job");
  m_Folder.WriteFile("Job1.job/.Job1.assg", "");
  m_Folder.MakeFolder("Bare.job");
  m_Folder.MakeFolder("Upper.JOB");
  m_Folder.WriteFile("Upper.JOB/.Upper.assg", "");
  m_Folder.MakeFolder("a.b.p");
  m_Folder.WriteFile("a.b.p/.a.b.assg", "");
  m_Folder.WriteFile("File.job", "");

  GFIL_FileSpec found;
  EXPECT_TRUE(GFIL_FolderIsOvrelleJob(m_Folder.Spec("Job1.job"), &found));
  EXPECT_EQ(m_Folder.PlatformPath("Job1.job/.Job1.assg"), GFIL_PlatformPathFromSpec(found));
  EXPECT_TRUE(GFIL_FolderIsOvrelleJob(m_Folder.Spec("Job1.job"), nullptr));
  EXPECT_FALSE(GFIL_FolderIsOvrelleJob(m_Folder.Spec("Bare.job"), nullptr));
  EXPECT_FALSE(GFIL_FolderIsOvrelleJob(m_Folder.Spec("Upper.JOB"), nullptr));
  EXPECT_FALSE(GFIL_FolderIsOvrelleJob(m_Folder.Spec("File.job"), nullptr));
  EXPECT_FALSE(GFIL_FolderIsOvrellePage(m_Folder.Spec("Job1.job"), nullptr));
  EXPECT_TRUE(GFIL_FolderIsOvrellePage(m_Folder.Spec("a.b.p"), nullptr));
  EXPECT_FALSE(GFIL_FolderIsOvrelleJob(m_Folder.Spec(), nullptr));
}

TEST_F(GFIL_FileSystemTest, ListOfPathsHoldsTheFolderAndEveryFolderBelowIt) {
  m_Folder.MakeFolder("a/b/c");
  m_Folder.MakeFolder("d");
  m_Folder.WriteFile("a/file", "");
  GLIB_WStringVector paths;
  GFIL_GetListOfPathsInDir(m_Folder.PlatformPath(), paths);
  ASSERT_EQ(5u, paths.size());
  EXPECT_EQ(m_Folder.PlatformPath(), paths[0]);
  // Depth first: every folder comes after its parent.
  auto indexOf = [&](const std::string& relative) {
    return std::find(paths.begin(), paths.end(), m_Folder.PlatformPath(relative)) - paths.begin();
  };
  EXPECT_LT(indexOf("a"), indexOf("a/b"));
  EXPECT_LT(indexOf("a/b"), indexOf("a/b/c"));
  EXPECT_LT(indexOf("d"), 5);

  GLIB_WStringVector none;
  GFIL_GetListOfPathsInDir(m_Folder.PlatformPath("a/file"), none);
  GFIL_GetListOfPathsInDir(m_Folder.PlatformPath("missing"), none);
  EXPECT_TRUE(none.empty());
}

TEST(GFIL_URLEncode, KeepsTheURLSetAndEncodesEveryOtherByte) {
  EXPECT_EQ("a%20b%2Fc", GFIL_URLEncodeString("a b/c"));
  EXPECT_EQ("Job(1).tif", GFIL_URLEncodeString("Job(1).tif"));
  EXPECT_EQ("%E9%0A%25", GFIL_URLEncodeString("\xE9\n%"));
  EXPECT_EQ("$-_.+!*'(),:", GFIL_URLEncodeString("$-_.+!*'(),:"));
  EXPECT_EQ("a b/c", GFIL_DummyEncode("a b/c"));
}

}  // namespace
