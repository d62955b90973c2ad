// The Mac file system over the stand-in File Manager, with injected platform errors.
#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "GFIL/mac/GFIL_FileSystemMacOS.h"
#include "GFIL/GFIL_Utils.h"
#include "GLIB/GLIB_LogMessage.h"
#include "support/GFIL_TestFolder.h"
#include "support/GFIL_Thrown.h"

#include <CoreServices/Folders.h>
#include <CoreServices/MacMemory.h>
#include <HIToolbox/Events.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using FS = GFIL_FileSystem;

std::vector<std::string> g_errors;
void RecordErrors(GLIB_SEVERITY severity, const wchar_t* message, const char*, int) {
  if (severity == GLIB_SEVERITY_ERROR)
    g_errors.push_back(GLIB_WToNString(message));
}

class GFIL_MacTest : public ::testing::Test {
protected:
  void SetUp() override { StandIn_FilesReset(); }
  void TearDown() override { StandIn_FilesReset(); }

  GFIL_FileSystemMacOS* MacFS(const GFIL_FileSpec& spec) {
    return static_cast<GFIL_FileSystemMacOS*>(spec.FileSystemImplPtr());
  }
  std::string URLText(const std::string& relative) {
    return MacFS(m_Folder.Spec(relative))->AsString().AsString();
  }

  GFIL_TestFolder m_Folder;
};

// One injected File Manager error and the GFIL code it must become.
struct ErrorCase {
  const char* function;
  OSErr error;
  std::uint32_t code;
};

TEST_F(GFIL_MacTest, CreateMapsPlatformErrors) {
  const ErrorCase cases[] = {
      {"FSCreateFileUnicode", nsvErr, GFIL_ERR_BAD_SPEC},
      {"FSCreateFileUnicode", bdNamErr, GFIL_ERR_BAD_SPEC},
      {"FSCreateFileUnicode", fnfErr, GFIL_ERR_BAD_SPEC},
      {"FSCreateFileUnicode", dirNFErr, GFIL_ERR_BAD_SPEC},
      {"FSCreateFileUnicode", afpObjectTypeErr, GFIL_ERR_BAD_SPEC},
      {"FSCreateFileUnicode", dskFulErr, GFIL_ERR_DISK_FULL},
      {"FSCreateFileUnicode", dirFulErr, GFIL_ERR_DISK_FULL},
      {"FSCreateFileUnicode", wPrErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSCreateFileUnicode", vLckdErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSCreateFileUnicode", afpAccessDenied, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSCreateFileUnicode", ioErr, GFIL_ERR_PLATFORM},
  };
  GFIL_FileSpec spec = m_Folder.Spec("new");
  for (const ErrorCase& c : cases) {
    StandIn_FilesFailNext(c.function, c.error);
    GFIL_Thrown thrown =
        GFIL_ThrownBy([&] { spec.FileSystemImplPtr()->Create(FS::OPEN_WRITABLE); });
    EXPECT_EQ(c.code, thrown.code) << c.error;
    EXPECT_EQ(std::to_wstring(c.error), thrown.detail);
    EXPECT_NE(std::string::npos, thrown.message.find(URLText("new"))) << thrown.message;
    EXPECT_FALSE(spec.Exists());
  }
  // dupFNErr: the file exists (1158005) or could not be deleted first (1158003).
  m_Folder.WriteFile("new", "");
  EXPECT_EQ(GFIL_ERR_ALREADY_EXISTS,
            GFIL_ThrownBy([&] { spec.FileSystemImplPtr()->Create(FS::OPEN_WRITABLE); }).code);
  StandIn_FilesFailNext("FSDeleteObject", fLckdErr);
  GFIL_Thrown locked = GFIL_ThrownBy(
      [&] { spec.FileSystemImplPtr()->Create(FS::CREATE_OVERWRITE | FS::OPEN_WRITABLE); });
  EXPECT_EQ(GFIL_ERR_BUSY_OR_LOCKED, locked.code);
  EXPECT_EQ("The file \"" + URLText("new") + "\" or its disk is busy or locked.", locked.message);
}

TEST_F(GFIL_MacTest, OpenRemoveReadWriteAndResizeMapPlatformErrors) {
  m_Folder.WriteFile("f", "abc");
  GFIL_FileSpec spec = m_Folder.Spec("f");
  FS* fs = spec.FileSystemImplPtr();
  const ErrorCase openCases[] = {
      {"FSOpenFork", fnfErr, GFIL_ERR_NOT_FOUND},
      {"FSOpenFork", nsvErr, GFIL_ERR_BAD_SPEC},
      {"FSOpenFork", bdNamErr, GFIL_ERR_BAD_SPEC},
      {"FSOpenFork", dirNFErr, GFIL_ERR_BAD_SPEC},
      {"FSOpenFork", opWrErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSOpenFork", permErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSOpenFork", afpAccessDenied, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSOpenFork", ioErr, GFIL_ERR_PLATFORM},
      {"FSDeleteObject", fnfErr, GFIL_ERR_NOT_FOUND},
      {"FSDeleteObject", bdNamErr, GFIL_ERR_BAD_SPEC},
      {"FSDeleteObject", wrPermErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSDeleteObject", fLckdErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSDeleteObject", vLckdErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSDeleteObject", fBsyErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSDeleteObject", afpAccessDenied, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSDeleteObject", ioErr, GFIL_ERR_PLATFORM},
  };
  for (const ErrorCase& c : openCases) {
    StandIn_FilesFailNext(c.function, c.error);
    std::function<void()> call = std::string(c.function) == "FSOpenFork"
                                     ? std::function<void()>([&] { fs->Open(FS::OPEN_READABLE); })
                                     : std::function<void()>([&] { fs->RemoveFile(); });
    EXPECT_EQ(c.code, GFIL_ThrownBy(call).code) << c.function << " " << c.error;
  }
  EXPECT_FALSE(fs->IsOpen());
  EXPECT_TRUE(spec.Exists());

  fs->Open(FS::OPEN_READABLE | FS::OPEN_WRITABLE);
  const ErrorCase dataCases[] = {
      {"FSWriteFork", dskFulErr, GFIL_ERR_DISK_FULL},
      {"FSWriteFork", wrPermErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSWriteFork", ioErr, GFIL_ERR_PLATFORM},
      {"FSSetForkSize", dirFulErr, GFIL_ERR_DISK_FULL},
      {"FSSetForkSize", fBsyErr, GFIL_ERR_BUSY_OR_LOCKED},
      {"FSSetForkSize", ioErr, GFIL_ERR_PLATFORM},
      {"FSReadFork", ioErr, GFIL_ERR_PLATFORM},
  };
  for (const ErrorCase& c : dataCases) {
    StandIn_FilesFailNext(c.function, c.error);
    std::string function = c.function;
    GFIL_Thrown thrown = GFIL_ThrownBy([&] {
      if (function == "FSWriteFork") {
        GFIL_DataBuffer buffer = fs->AcquireWriteBuffer();
        buffer.SetDataSize(1);
        fs->WriteBuffer(buffer, 0);
      } else if (function == "FSSetForkSize") {
        fs->SetFileSize(1);
      } else {
        fs->ReadBuffer(0);
      }
    });
    EXPECT_EQ(c.code, thrown.code) << c.function << " " << c.error;
    EXPECT_EQ(std::to_wstring(c.error), thrown.detail);
  }
  EXPECT_EQ(3, fs->FileSize());
  fs->Close();
}

TEST_F(GFIL_MacTest, FileSizeIsSetThroughTheForkOpenOrNot) {
  m_Folder.WriteFile("f", "abcdef");
  GFIL_FileSpec spec = m_Folder.Spec("f");
  // Other tests may leave forks open on purpose (a close that failed).
  const int openBefore = StandIn_FilesOpenForkCount();
  spec.FileSystemImplPtr()->SetFileSize(2);  // not open: a fork is opened for it
  EXPECT_EQ("ab", m_Folder.ReadFile("f"));
  EXPECT_EQ(openBefore, StandIn_FilesOpenForkCount());
  EXPECT_EQ(1, StandIn_FilesCallCount("FSSetForkSize"));
  GFIL_FileHandle handle(spec);
  handle.Open(FS::OPEN_READABLE);
  // A fork open for reading only cannot be resized.
  EXPECT_EQ(GFIL_ERR_BUSY_OR_LOCKED,
            GFIL_ThrownBy([&] { handle.FileSystem()->SetFileSize(9); }).code);
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] {
                                 m_Folder.Spec("missing").FileSystemImplPtr()->SetFileSize(1);
                               }).code);
}

TEST_F(GFIL_MacTest, CloseAndFlushFailuresAreLoggedNotThrown) {
  g_errors.clear();
  GLIB_LogHandlerPtr previous = GLIB_LogMessage::SetHandler(RecordErrors);
  m_Folder.WriteFile("f", "");
  GFIL_FileSpec spec = m_Folder.Spec("f");
  spec.FileSystemImplPtr()->Open(FS::OPEN_READABLE);
  StandIn_FilesFailNext("FSFlushFork", ioErr);
  spec.FileSystemImplPtr()->FlushToDisk();
  StandIn_FilesFailNext("FSCloseFork", ioErr);
  spec.FileSystemImplPtr()->Close();
  EXPECT_FALSE(spec.FileSystemImplPtr()->IsOpen());
  GLIB_LogMessage::SetHandler(previous);
  EXPECT_EQ((std::vector<std::string>{
                "An unknown error occured during PBFlushFileSync(); MacOS error code = -36",
                "FSClose() caused an internal error; MacOS error code: -36"}),
            g_errors);
  // The fork the failed close left behind is the stand-in's to forget.
  StandIn_FilesReset();
}

TEST_F(GFIL_MacTest, FoldersRootAndMissingItems) {
  const std::string base = m_Folder.Path().string();
  GFIL_FileSpec dirURL = GFIL_FileSpecMacOS(CFURLCreateWithFileSystemPath(
      kCFAllocatorDefault, CFSTR("/no/such/dir"), kCFURLPOSIXPathStyle, true));
  GFIL_FileSpec fileURL = GFIL_FileSpecMacOS(CFURLCreateWithFileSystemPath(
      kCFAllocatorDefault, CFSTR("/no/such/dir"), kCFURLPOSIXPathStyle, false));
  EXPECT_TRUE(dirURL.FileSystemImplPtr()->FileSpecIsAFolder());
  EXPECT_FALSE(fileURL.FileSystemImplPtr()->FileSpecIsAFolder());
  EXPECT_FALSE(fileURL.Exists());

  GFIL_FileSpec root = GFIL_SpecFromPlatformPath(L"/");
  EXPECT_TRUE(root.IsTheRoot());
  EXPECT_EQ(GLIB_WString(), root.Name());
  GFIL_Thrown noParent = GFIL_ThrownBy([&] { root.Parent(); });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, noParent.code);
  EXPECT_EQ("The existing spec \"file:///\" is the root object; cannot retrieve a parent.",
            noParent.message);
  EXPECT_FALSE(m_Folder.Spec().IsTheRoot());

  m_Folder.WriteFile("file", "");
  GFIL_Thrown notAFolder = GFIL_ThrownBy([&] { m_Folder.Spec("file").Concat(L"x"); });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, notAFolder.code);
  EXPECT_EQ("The specification \"" + URLText("file") + "\" is not a folder.", notAFolder.message);
  EXPECT_FALSE(m_Folder.Spec().Concat(L"missing").Exists());

  // An empty folder is answered without an iterator.
  EXPECT_TRUE(m_Folder.Spec().Concat(L"file").Parent().FolderContents().size() == 1);
  m_Folder.MakeFolder("empty");
  EXPECT_TRUE(m_Folder.Spec("empty").FolderContents().empty());
  EXPECT_EQ(1, StandIn_FilesCallCount("FSOpenIterator"));
  EXPECT_EQ(1, StandIn_FilesCallCount("FSCloseIterator"));
}

TEST_F(GFIL_MacTest, FolderContentsErrorsAndTheWalkThatSurvivesThem) {
  m_Folder.MakeFolder("a/b");
  m_Folder.MakeFolder("c");
  m_Folder.WriteFile("a/f", "");
  StandIn_FilesFailNext("FSOpenIterator", ioErr);
  GFIL_Thrown thrown = GFIL_ThrownBy([&] { m_Folder.Spec("a").FolderContents(); });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, thrown.code);
  EXPECT_EQ("Unexpected error getting an FSIterator for \"" + URLText("a") + "\"", thrown.message);
  StandIn_FilesFailNext("FSGetCatalogInfoBulk", ioErr);
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] { m_Folder.Spec("a").FolderContents(); }).code);
  // The iterator that did open was closed again.
  EXPECT_EQ(1, StandIn_FilesCallCount("FSCloseIterator"));

  // The root folder's contents fail: only it is listed. Its first subfolder failing ends
  // that subfolder's walk only.
  GLIB_WStringVector paths;
  StandIn_FilesFailNext("FSOpenIterator", ioErr);
  GFIL_GetListOfPathsInDir(m_Folder.PlatformPath(), paths);
  EXPECT_EQ(GLIB_WStringVector{m_Folder.PlatformPath()}, paths);
  paths.clear();
  StandIn_FilesReset();
  GFIL_GetListOfPathsInDir(m_Folder.PlatformPath(), paths);
  EXPECT_EQ(4u, paths.size());
}

TEST_F(GFIL_MacTest, PlatformPathsPOSIXAndHFS) {
  // A POSIX path may hold ':' in its names.
  m_Folder.WriteFile("a:b", "x");
  GFIL_FileSpec colon = GFIL_SpecFromPlatformPath(m_Folder.PlatformPath("a:b"));
  EXPECT_TRUE(colon.Exists());
  EXPECT_EQ(m_Folder.PlatformPath("a:b"), GFIL_PlatformPathFromSpec(colon));

  GLIB_WString base = m_Folder.PlatformPath();
  GLIB_WString hfs = L"Macintosh HD" + base;
  std::replace(hfs.begin(), hfs.end(), L'/', L':');
  GFIL_FileSpec fromHFS = GFIL_SpecFromPlatformPath(hfs);
  EXPECT_EQ(base, GFIL_PlatformPathFromSpec(fromHFS));
  EXPECT_TRUE(fromHFS.IsAFolder());
}

TEST_F(GFIL_MacTest, URLsStartAtTheRootWithFourSlashes) {
  m_Folder.MakeFolder("a b");
  GFIL_FileSpec spec = m_Folder.Spec("a b/c%.tif");
  const std::string base = m_Folder.Path().string();
  EXPECT_EQ("file:///" + base + "/a b/c%.tif", GFIL_URLFromFileSpec(spec, GFIL_URL_PLAIN));
  std::string encodedBase;
  for (char c : base)
    encodedBase += c == '/' ? std::string("/") : GFIL_URLEncodeString(std::string(1, c));
  EXPECT_EQ("file:///" + encodedBase + "/a%20b/c%25.tif",
            GFIL_URLFromFileSpec(spec, GFIL_URL_ENCODED));
  EXPECT_EQ(0u, GFIL_URLFromFileSpec(spec, GFIL_URL_PLAIN).find("file:////"));
}

TEST_F(GFIL_MacTest, SpecsCompareByItemOrByExactURL) {
  m_Folder.MakeFolder("real");
  m_Folder.WriteFile("real/f", "");
  fs::create_directory_symlink(m_Folder.Path("real"), m_Folder.Path("link"));
  GFIL_FileSpecMacOS direct(m_Folder.Spec("real/f"));
  GFIL_FileSpecMacOS viaLink(m_Folder.Spec("link/f"));
  EXPECT_TRUE(direct == viaLink);
  EXPECT_FALSE(GFIL_FileSpecsEqual(direct, viaLink));  // the paths differ

  // Missing items compare by URL text, letter case included (volumes may be case-sensitive).
  GFIL_FileSpecMacOS missingA(m_Folder.Spec("Missing.tif"));
  EXPECT_TRUE(missingA == GFIL_FileSpecMacOS(m_Folder.Spec("Missing.tif")));
  EXPECT_FALSE(missingA == GFIL_FileSpecMacOS(m_Folder.Spec("missing.tif")));
  EXPECT_FALSE(missingA == direct);

  GFIL_FileSpecVector specs{m_Folder.Spec("real"), direct};
  EXPECT_NE(specs.end(), std::find_if(specs.begin(), specs.end(), GFIL_HasFileSpecMacOS(viaLink)));
  EXPECT_EQ(specs.end(), std::find_if(specs.begin(), specs.end(), GFIL_HasFileSpecMacOS(missingA)));
}

TEST_F(GFIL_MacTest, TemporarySpecsWaitForANewTickWhenTheNameIsTaken) {
  StandIn_SetTickCount(0x1234);
  GFIL_FileSpec first = GFIL_CreateTempSpec(m_Folder.Spec());
  GFIL_FileSpec second = GFIL_CreateTempSpec(m_Folder.Spec());
  StandIn_ReleaseTickCount();
  EXPECT_EQ(GLIB_WString(L"GFIL-1234"), first.Name());
  EXPECT_EQ(GLIB_WString(L"GFIL-123e"), second.Name());

  GFIL_Thrown missing = GFIL_ThrownBy([&] { GFIL_CreateTempSpec(m_Folder.Spec("nope")); });
  EXPECT_EQ("The specified temporary folder \"" + m_Folder.Path("nope").string() +
                "\" doesn't exist.",
            missing.message);
  StandIn_FilesFailNext("FSCreateFileUnicode", permErr);
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] { GFIL_CreateTempSpec(m_Folder.Spec()); }).code);
  StandIn_FilesFailNext("FSFindFolder", fnfErr);
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] { GFIL_CreateTempSpec(); }).code);

  StandIn_SetFolder(kTemporaryFolderType, m_Folder.Path("tmp").string().c_str());
  GFIL_FileSpec inSystemTemp = GFIL_CreateTempSpec();
  StandIn_SetFolder(kTemporaryFolderType, nullptr);
  EXPECT_EQ(m_Folder.PlatformPath("tmp"), GFIL_PlatformPathFromSpec(inSystemTemp.Parent()));
}

TEST_F(GFIL_MacTest, FSSpecsOfExistingAndMissingFiles) {
  m_Folder.WriteFile("there", "");
  GFIL_FileSpecMacOS there(m_Folder.Spec("there"));
  FSSpec spec = there.AsFSSpec();
  EXPECT_EQ(std::string("there"),
            std::string(reinterpret_cast<char*>(spec.name + 1), spec.name[0]));
  EXPECT_TRUE(GFIL_FileSpecMacOS(spec) == there);

  GFIL_FileSpecMacOS missing(m_Folder.Spec("later"));
  FSSpec missingSpec = missing.AsFSSpec();
  GFIL_FileSpecMacOS back(missingSpec);
  EXPECT_FALSE(back.Exists());
  EXPECT_EQ(m_Folder.PlatformPath("later"), GFIL_PlatformPathFromSpec(back));
  GFIL_FileSpecMacOS none(static_cast<FSSpec*>(nullptr));
  EXPECT_FALSE(none.HasSpec());

  EXPECT_EQ(GFIL_ERR_BAD_SPEC,
            GFIL_ThrownBy([&] { GFIL_FileSpecMacOS(m_Folder.Spec("no/dir")).AsFSSpec(); }).code);
  FSSpec badName = missingSpec;
  std::memcpy(badName.name,
              "\x03"
              "a:b",
              4);
  GFIL_Thrown invalid = GFIL_ThrownBy([&] { GFIL_FileSpecMacOS{badName}; });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, invalid.code);
  EXPECT_EQ("The file name \"a:b\" is invalid.", invalid.message);
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] { GFIL_FileSpecMacOS(FSRef{}); }).code);
}

TEST_F(GFIL_MacTest, AliasesPrintResolveAndFailToClone) {
  GFIL_AutoAliasHandle none;
  std::ostringstream printed;
  printed << none;
  EXPECT_EQ("alias:<null>", printed.str());

  m_Folder.WriteFile("target", "");
  FSRef target = GFIL_FileSpecMacOS(m_Folder.Spec("target")).AsFSRef();
  AliasHandle handle = nullptr;
  ASSERT_EQ(noErr, FSNewAlias(nullptr, &target, &handle));
  GFIL_AutoAliasHandle alias;
  alias.StoreHandle(handle);
  printed.str("");
  printed << alias;
  EXPECT_EQ("alias:target", printed.str());
  EXPECT_TRUE(GFIL_FileSpecMacOS(alias) == GFIL_FileSpecMacOS(m_Folder.Spec("target")));

  GFIL_AutoAliasHandle copy(alias);
  EXPECT_NE(alias.GetHandle(), copy.GetHandle());
  StandIn_FilesFailNext("FSResolveAlias", nsvErr);
  GFIL_Thrown thrown = GFIL_ThrownBy([&] { GFIL_FileSpecMacOS{alias}; });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, thrown.code);
  EXPECT_EQ("Failed to resolve the alias \"alias:target\" to an FSRef; MacOS error code: -35",
            thrown.message);

  fs::remove(m_Folder.Path("target"));
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, GFIL_ThrownBy([&] { GFIL_FileSpecMacOS{alias}; }).code);

  StandIn_MemoryFailNextAllocations(1);
  EXPECT_THROW(GFIL_AutoAliasHandle{alias}, GLIB_BadAllocException);
  StandIn_FilesFailNext("FSCopyAliasInfo", paramErr);
  printed.str("");
  printed << alias;
  EXPECT_EQ("alias:<unknown>", printed.str());
}

}  // namespace
