// File Manager, CFURL, alias, folder and memory calls of the stand-in, against a temporary folder.
#include <CoreFoundation/CFURL.h>
#include <CoreServices/Aliases.h>
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/OSUtils.h>
#include <HIToolbox/Events.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::u16string U16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string Utf8(CFStringRef text) {
  std::vector<char> buffer(4 * CFStringGetLength(text) + 1);
  EXPECT_TRUE(CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()),
                                 kCFStringEncodingUTF8));
  return buffer.data();
}

CFStringRef NewCFString(const std::string& utf8) {
  return CFStringCreateWithCString(kCFAllocatorDefault, utf8.c_str(), kCFStringEncodingUTF8);
}

class StandInFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    char pattern[] = "/tmp/standin-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_Root = fs::canonical(pattern).string();
    ASSERT_EQ(noErr,
              FSPathMakeRef(reinterpret_cast<const UInt8*>(m_Root.c_str()), &m_RootRef, nullptr));
  }
  void TearDown() override {
    StandIn_FilesReset();
    fs::remove_all(m_Root);
  }

  std::string Path(const std::string& name) const { return m_Root + "/" + name; }

  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  FSRef Ref(const std::string& name) const {
    FSRef ref;
    EXPECT_EQ(noErr,
              FSPathMakeRef(reinterpret_cast<const UInt8*>(Path(name).c_str()), &ref, nullptr));
    return ref;
  }

  OSErr CreateFile(const std::string& name, FSRef* ref = nullptr) const {
    std::u16string units = U16(name);
    return FSCreateFileUnicode(&m_RootRef, units.size(),
                               reinterpret_cast<const UniChar*>(units.data()), kFSCatInfoNone,
                               nullptr, ref, nullptr);
  }

  std::string m_Root;
  FSRef m_RootRef;
};

TEST_F(StandInFilesTest, ReferencesCompareByItemNotByPath) {
  fs::create_directory(Path("real"));
  WriteFile("real/f", "x");
  WriteFile("other", "y");
  fs::create_directory_symlink(Path("real"), Path("link"));
  FSRef direct = Ref("real/f");
  FSRef viaLink = Ref("link/f");
  FSRef other = Ref("other");
  EXPECT_EQ(noErr, FSCompareFSRefs(&direct, &viaLink));
  EXPECT_EQ(errFSRefsDifferent, FSCompareFSRefs(&direct, &other));

  fs::remove(Path("other"));
  EXPECT_EQ(fnfErr, FSGetCatalogInfo(&other, kFSCatInfoNone, nullptr, nullptr, nullptr, nullptr));
  FSRef missing;
  EXPECT_EQ(fnfErr,
            FSPathMakeRef(reinterpret_cast<const UInt8*>(Path("nope").c_str()), &missing, nullptr));
  FSRef garbage{};
  EXPECT_EQ(nsvErr, FSGetCatalogInfo(&garbage, kFSCatInfoNone, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(StandInFilesTest, CatalogInfoOfFilesFoldersAndTheRoot) {
  WriteFile("data", "12345");
  fs::create_directory(Path("folder"));
  WriteFile("folder/.hidden", "");
  WriteFile("folder/b", "");

  FSCatalogInfo info{};
  FSRef file = Ref("data");
  ASSERT_EQ(noErr, FSGetCatalogInfo(&file, kFSCatInfoNodeFlags | kFSCatInfoDataSizes, &info,
                                    nullptr, nullptr, nullptr));
  EXPECT_EQ(0, info.nodeFlags & kFSNodeIsDirectoryMask);
  EXPECT_EQ(5u, info.dataLogicalSize);

  FSRef folder = Ref("folder");
  HFSUniStr255 name;
  FSRef parent;
  ASSERT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoNodeFlags | kFSCatInfoValence, &info, &name,
                                    nullptr, &parent));
  EXPECT_NE(0, info.nodeFlags & kFSNodeIsDirectoryMask);
  EXPECT_EQ(2u, info.valence);
  EXPECT_EQ(U16("folder"), std::u16string(reinterpret_cast<char16_t*>(name.unicode), name.length));
  EXPECT_EQ(noErr, FSCompareFSRefs(&parent, &m_RootRef));

  FSRef root;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>("/"), &root, nullptr));
  ASSERT_EQ(noErr, FSGetCatalogInfo(&root, kFSCatInfoNodeID | kFSCatInfoParentDirID, &info, nullptr,
                                    nullptr, nullptr));
  EXPECT_EQ(2u, info.nodeID);
  EXPECT_EQ(1u, info.parentDirID);
  ASSERT_EQ(noErr, FSGetCatalogInfo(&folder, kFSCatInfoNodeID | kFSCatInfoParentDirID, &info,
                                    nullptr, nullptr, nullptr));
  EXPECT_NE(2u, info.nodeID);
}

TEST_F(StandInFilesTest, FinderInfoIsKeptButDataSizesAreNotSettableThroughTheCatalog) {
  WriteFile("doc", "abc");
  FSRef ref = Ref("doc");
  FSCatalogInfo info{};
  auto* finder = reinterpret_cast<FileInfo*>(info.finderInfo);
  finder->fileType = 0x61647270;  // 'adrp'
  finder->fileCreator = 0x4B525821;
  info.dataLogicalSize = 100;
  ASSERT_EQ(noErr, FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo | kFSCatInfoDataSizes, &info));

  FSCatalogInfo read{};
  ASSERT_EQ(noErr, FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo | kFSCatInfoDataSizes, &read,
                                    nullptr, nullptr, nullptr));
  EXPECT_EQ(0x61647270u, reinterpret_cast<FileInfo*>(read.finderInfo)->fileType);
  EXPECT_EQ(0x4B525821u, reinterpret_cast<FileInfo*>(read.finderInfo)->fileCreator);
  EXPECT_EQ(3u, read.dataLogicalSize);
}

TEST_F(StandInFilesTest, CreatingFilesAndFoldersAndTheirNameRules) {
  FSRef made;
  ASSERT_EQ(noErr, CreateFile("new", &made));
  EXPECT_TRUE(fs::is_regular_file(Path("new")));
  EXPECT_EQ(dupFNErr, CreateFile("new"));
  EXPECT_EQ(bdNamErr, CreateFile("a:b"));
  EXPECT_EQ(bdNamErr, CreateFile(""));
  // A Mac name's slash is a colon on disk.
  ASSERT_EQ(noErr, CreateFile("x/y"));
  EXPECT_TRUE(fs::exists(Path("x:y")));

  std::u16string dir = U16("sub");
  UInt32 dirID = 0;
  FSRef dirRef;
  ASSERT_EQ(noErr, FSCreateDirectoryUnicode(&m_RootRef, dir.size(),
                                            reinterpret_cast<const UniChar*>(dir.data()),
                                            kFSCatInfoNone, nullptr, &dirRef, nullptr, &dirID));
  EXPECT_TRUE(fs::is_directory(Path("sub")));
  std::u16string child = U16("c");
  EXPECT_EQ(dirNFErr,
            FSCreateFileUnicode(&made, child.size(), reinterpret_cast<const UniChar*>(child.data()),
                                kFSCatInfoNone, nullptr, nullptr, nullptr));
  FSRef found;
  EXPECT_EQ(fnfErr, FSMakeFSRefUnicode(&dirRef, child.size(),
                                       reinterpret_cast<const UniChar*>(child.data()),
                                       kTextEncodingUnknown, &found));
}

TEST_F(StandInFilesTest, DeletingRefusesOpenFilesAndFullFolders) {
  WriteFile("f", "1");
  fs::create_directory(Path("d"));
  WriteFile("d/x", "");
  FSRef file = Ref("f");
  FSRef folder = Ref("d");
  FSIORefNum fork;
  ASSERT_EQ(noErr, FSOpenFork(&file, 0, nullptr, fsRdPerm, &fork));
  EXPECT_EQ(fBsyErr, FSDeleteObject(&file));
  ASSERT_EQ(noErr, FSCloseFork(fork));
  EXPECT_EQ(noErr, FSDeleteObject(&file));
  EXPECT_FALSE(fs::exists(Path("f")));
  EXPECT_EQ(fnfErr, FSDeleteObject(&file));
  EXPECT_EQ(fBsyErr, FSDeleteObject(&folder));
}

TEST_F(StandInFilesTest, ForkReadWriteSizeAndPosition) {
  FSRef ref;
  ASSERT_EQ(noErr, CreateFile("fork", &ref));
  FSIORefNum fork;
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdWrPerm, &fork));
  ByteCount count = 0;
  ASSERT_EQ(noErr, FSWriteFork(fork, fsFromStart, 0, 6, "abcdef", &count));
  EXPECT_EQ(6u, count);
  SInt64 size = 0;
  ASSERT_EQ(noErr, FSGetForkSize(fork, &size));
  EXPECT_EQ(6, size);

  char buffer[8] = {};
  EXPECT_EQ(noErr, FSReadFork(fork, fsFromStart, 1, 2, buffer, &count));
  EXPECT_EQ(std::string("bc"), std::string(buffer, count));
  EXPECT_EQ(noErr, FSReadFork(fork, fsAtMark, 0, 2, buffer, &count));
  EXPECT_EQ(std::string("de"), std::string(buffer, count));
  EXPECT_EQ(eofErr, FSReadFork(fork, fsAtMark, 0, 8, buffer, &count));
  EXPECT_EQ(1u, count);
  EXPECT_EQ(eofErr, FSReadFork(fork, fsFromStart, 100, 8, buffer, &count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(posErr, FSReadFork(fork, fsFromStart, -1, 1, buffer, &count));

  ASSERT_EQ(noErr, FSSetForkSize(fork, fsFromStart, 20));
  ASSERT_EQ(noErr, FSGetForkSize(fork, &size));
  EXPECT_EQ(20, size);
  EXPECT_EQ(eofErr, FSSetForkPosition(fork, fsFromStart, 21));
  ASSERT_EQ(noErr, FSSetForkPosition(fork, fsFromLEOF, -5));
  SInt64 position = 0;
  ASSERT_EQ(noErr, FSGetForkPosition(fork, &position));
  EXPECT_EQ(15, position);
  ASSERT_EQ(noErr, FSSetForkSize(fork, fsFromStart, 3));
  EXPECT_EQ(3u, fs::file_size(Path("fork")));
  EXPECT_EQ(noErr, FSFlushFork(fork));
  EXPECT_EQ(noErr, FSCloseFork(fork));
  EXPECT_EQ(rfNumErr, FSCloseFork(fork));
  EXPECT_EQ(0, StandIn_FilesOpenForkCount());
}

TEST_F(StandInFilesTest, ASeekSeesTheSizeOtherForksAndOtherWritersGaveTheFile) {
  WriteFile("grow", "0123456789");
  FSRef ref = Ref("grow");
  FSIORefNum reader, writer;
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm | fsRdWrShPerm, &reader));
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdWrShPerm, &writer));
  ASSERT_EQ(noErr, FSSetForkSize(writer, fsFromStart, 4));
  EXPECT_EQ(eofErr, FSSetForkPosition(reader, fsFromStart, 8));
  {
    std::ofstream out(Path("grow"), std::ios::binary | std::ios::app);
    out << "45678901";
  }
  EXPECT_EQ(noErr, FSSetForkPosition(reader, fsFromStart, 12));
  EXPECT_EQ(eofErr, FSSetForkPosition(reader, fsFromStart, 13));
  FSCloseFork(writer);
  FSCloseFork(reader);
}

TEST_F(StandInFilesTest, ForkPermissions) {
  WriteFile("p", "data");
  FSRef ref = Ref("p");
  FSIORefNum reader, writer, second;
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &reader));
  ByteCount count;
  EXPECT_EQ(wrPermErr, FSWriteFork(reader, fsFromStart, 0, 1, "x", &count));
  EXPECT_EQ(wrPermErr, FSSetForkSize(reader, fsFromStart, 0));

  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdWrPerm, &writer));
  EXPECT_EQ(opWrErr, FSOpenFork(&ref, 0, nullptr, fsRdWrPerm, &second));
  EXPECT_EQ(opWrErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm | fsRdWrShPerm, &second));
  FSCloseFork(writer);
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm | fsRdWrShPerm, &writer));
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm | fsRdWrShPerm, &second));
  FSCloseFork(second);
  FSCloseFork(writer);
  FSCloseFork(reader);

  fs::create_directory(Path("dir"));
  FSRef dir = Ref("dir");
  EXPECT_EQ(notAFileErr, FSOpenFork(&dir, 0, nullptr, fsRdPerm, &reader));
  const UniChar resourceFork[] = {'R'};
  EXPECT_EQ(errFSForkNotFound, FSOpenFork(&ref, 1, resourceFork, fsRdPerm, &reader));
}

TEST_F(StandInFilesTest, BulkIterationReturnsEveryItemInBatches) {
  for (const char* name : {"a", "b", ".c", "d"})
    WriteFile(name, "");
  FSIterator iterator;
  ASSERT_EQ(noErr, FSOpenIterator(&m_RootRef, kFSIterateFlat, &iterator));
  std::vector<std::string> names;
  FSRef refs[3];
  HFSUniStr255 unicodeNames[3];
  ItemCount count = 0;
  OSErr err;
  while ((err = FSGetCatalogInfoBulk(iterator, 3, &count, nullptr, kFSCatInfoNone, nullptr, refs,
                                     nullptr, unicodeNames)) == noErr) {
    for (ItemCount i = 0; i < count; ++i) {
      std::u16string name(reinterpret_cast<char16_t*>(unicodeNames[i].unicode),
                          unicodeNames[i].length);
      names.emplace_back(name.begin(), name.end());
    }
  }
  EXPECT_EQ(errFSNoMoreItems, err);
  EXPECT_EQ(0u, count);
  EXPECT_EQ((std::vector<std::string>{".c", "a", "b", "d"}), names);
  EXPECT_EQ(noErr, FSCloseIterator(iterator));
}

TEST_F(StandInFilesTest, FSSpecsNameMissingFilesInExistingFolders) {
  fs::create_directory(Path("dir"));
  WriteFile("dir/there", "");
  FSRef dir = Ref("dir");
  FSCatalogInfo info{};
  ASSERT_EQ(noErr, FSGetCatalogInfo(&dir, kFSCatInfoNodeID | kFSCatInfoParentDirID, &info, nullptr,
                                    nullptr, nullptr));
  FSSpec spec;
  const unsigned char missing[] = "\x07missing";
  EXPECT_EQ(fnfErr,
            FSMakeFSSpec(kFSInvalidVolumeRefNum, static_cast<SInt32>(info.nodeID), missing, &spec));
  EXPECT_EQ(static_cast<SInt32>(info.nodeID), spec.parID);
  FSRef ref;
  EXPECT_EQ(fnfErr, FSpMakeFSRef(&spec, &ref));
  const unsigned char there[] = "\x05there";
  ASSERT_EQ(noErr, FSMakeFSSpec(0, static_cast<SInt32>(info.nodeID), there, &spec));
  ASSERT_EQ(noErr, FSpMakeFSRef(&spec, &ref));
  FSRef expected = Ref("dir/there");
  EXPECT_EQ(noErr, FSCompareFSRefs(&ref, &expected));

  // The folder itself: by ID with no name, and through the catalog call on its ID.
  ASSERT_EQ(noErr, FSMakeFSSpec(0, static_cast<SInt32>(info.nodeID), nullptr, &spec));
  EXPECT_EQ(static_cast<SInt32>(info.parentDirID), spec.parID);
  EXPECT_EQ(std::string("dir"), std::string(reinterpret_cast<char*>(spec.name + 1), spec.name[0]));
  CInfoPBRec pb{};
  Str255 name;
  pb.dirInfo.ioNamePtr = name;
  pb.dirInfo.ioFDirIndex = -1;
  pb.dirInfo.ioDrDirID = static_cast<SInt32>(info.nodeID);
  ASSERT_EQ(noErr, PBGetCatInfoSync(&pb));
  EXPECT_EQ(static_cast<SInt32>(info.parentDirID), pb.dirInfo.ioDrParID);
  EXPECT_EQ(1, pb.dirInfo.ioDrNmFls);
  pb.dirInfo.ioDrDirID = 99999;
  EXPECT_EQ(dirNFErr, PBGetCatInfoSync(&pb));
  EXPECT_EQ(dirNFErr, FSMakeFSSpec(0, 99999, missing, &spec));
}

TEST_F(StandInFilesTest, InjectedErrorsAreReturnedOnceAndCallsCounted) {
  WriteFile("f", "");
  FSRef ref = Ref("f");
  FSIORefNum fork;
  StandIn_FilesFailNext("FSOpenFork", opWrErr);
  StandIn_FilesFailNext("FSOpenFork", -5000);
  EXPECT_EQ(opWrErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &fork));
  EXPECT_EQ(-5000, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &fork));
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &fork));
  EXPECT_EQ(3, StandIn_FilesCallCount("FSOpenFork"));
  EXPECT_EQ(noErr, FSCloseFork(fork));
  StandIn_FilesFailNext("FSDeleteObject", fLckdErr);
  StandIn_FilesReset();
  EXPECT_EQ(noErr, FSDeleteObject(&ref));
  EXPECT_EQ(0, StandIn_FilesCallCount("FSOpenFork"));
}

TEST_F(StandInFilesTest, ForkUseIsCountedPerFile) {
  WriteFile("used", "abcd");
  WriteFile("other", "abcd");
  FSRef ref = Ref("used");
  StandIn_FilesReset();
  FSIORefNum first;
  FSIORefNum second;
  StandIn_FilesFailNext("FSOpenFork", -5000);
  EXPECT_EQ(-5000, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &first));
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &first));
  ASSERT_EQ(noErr, FSOpenFork(&ref, 0, nullptr, fsRdPerm, &second));
  char bytes[2];
  ByteCount done = 0;
  EXPECT_EQ(noErr, FSReadFork(first, fsFromStart, 0, 2, bytes, &done));
  EXPECT_EQ(noErr, FSReadFork(second, fsFromStart, 2, 2, bytes, &done));
  EXPECT_EQ(eofErr, FSReadFork(second, fsAtMark, 0, 1, bytes, &done));
  EXPECT_EQ(noErr, FSCloseFork(first));
  EXPECT_EQ(noErr, FSCloseFork(second));
  int opens = -1;
  int reads = -1;
  StandIn_FilesForkUse(Path("used").c_str(), &opens, &reads);
  EXPECT_EQ(2, opens);  // the refused open does not count
  EXPECT_EQ(3, reads);
  StandIn_FilesForkUse(Path("other").c_str(), &opens, &reads);
  EXPECT_EQ(0, opens);
  EXPECT_EQ(0, reads);
  StandIn_FilesForkUse(Path("missing").c_str(), &opens, &reads);
  EXPECT_EQ(0, opens);
  StandIn_FilesReset();
  StandIn_FilesForkUse(Path("used").c_str(), &opens, &reads);
  EXPECT_EQ(0, opens);
  EXPECT_EQ(0, reads);
}

TEST_F(StandInFilesTest, URLsFromPathsAndBack) {
  CFStringRef path = NewCFString(Path("a b/\xC3\xA9.tif"));
  CFURLRef url =
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, path, kCFURLPOSIXPathStyle, false);
  CFRelease(path);
  ASSERT_NE(nullptr, url);
  EXPECT_EQ("file://" + m_Root + "/a%20b/%C3%A9.tif", Utf8(CFURLGetString(url)));
  EXPECT_FALSE(CFURLHasDirectoryPath(url));
  CFStringRef back = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  EXPECT_EQ(Path("a b/\xC3\xA9.tif"), Utf8(back));
  CFRelease(back);
  CFStringRef last = CFURLCopyLastPathComponent(url);
  EXPECT_EQ("\xC3\xA9.tif", Utf8(last));
  CFRelease(last);
  CFStringRef extension = CFURLCopyPathExtension(url);
  EXPECT_EQ("tif", Utf8(extension));
  CFRelease(extension);

  CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, url);
  EXPECT_TRUE(CFURLHasDirectoryPath(parent));
  EXPECT_EQ("file://" + m_Root + "/a%20b/", Utf8(CFURLGetString(parent)));
  CFStringRef child = NewCFString("x");
  CFURLRef appended =
      CFURLCreateCopyAppendingPathComponent(kCFAllocatorDefault, parent, child, false);
  EXPECT_EQ("file://" + m_Root + "/a%20b/x", Utf8(CFURLGetString(appended)));
  FSRef ref;
  EXPECT_FALSE(CFURLGetFSRef(appended, &ref));  // nothing exists there

  const std::string text = "file://" + m_Root + "/a%20b/x";
  CFURLRef parsed =
      CFURLCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                           static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8, nullptr);
  ASSERT_NE(nullptr, parsed);
  CFStringRef parsedPath = CFURLCopyFileSystemPath(parsed, kCFURLPOSIXPathStyle);
  EXPECT_EQ(Path("a b/x"), Utf8(parsedPath));
  for (CFTypeRef object : {CFTypeRef(parsedPath), CFTypeRef(parsed), CFTypeRef(appended),
                           CFTypeRef(child), CFTypeRef(parent), CFTypeRef(url)})
    CFRelease(object);
}

TEST_F(StandInFilesTest, URLsAndFSRefsOfExistingItems) {
  fs::create_directory(Path("dir"));
  FSRef dir = Ref("dir");
  CFURLRef url = CFURLCreateFromFSRef(kCFAllocatorDefault, &dir);
  ASSERT_NE(nullptr, url);
  EXPECT_TRUE(CFURLHasDirectoryPath(url));
  EXPECT_EQ("file://" + m_Root + "/dir/", Utf8(CFURLGetString(url)));
  FSRef back;
  ASSERT_TRUE(CFURLGetFSRef(url, &back));
  EXPECT_EQ(noErr, FSCompareFSRefs(&dir, &back));
  CFRelease(url);

  StandIn_CFURLFailNextCreations(1);
  EXPECT_EQ(nullptr, CFURLCreateFromFSRef(kCFAllocatorDefault, &dir));
  url = CFURLCreateFromFSRef(kCFAllocatorDefault, &dir);
  EXPECT_NE(nullptr, url);
  CFRelease(url);
  FSRef invalid{};
  EXPECT_EQ(nullptr, CFURLCreateFromFSRef(kCFAllocatorDefault, &invalid));
}

TEST_F(StandInFilesTest, HFSPathsNameTheVolumeAndUseColons) {
  struct Case {
    const char* hfs;
    const char* posix;
    bool directory;
  } cases[] = {
      {"Macintosh HD:Users:a:b", "/Users/a/b", false},
      {"Macintosh HD:Users:", "/Users", true},
      {"Macintosh HD:", "/", true},
      {"Other:x/y", "/Volumes/Other/x:y", false},
  };
  for (const Case& c : cases) {
    CFStringRef hfs = NewCFString(c.hfs);
    CFURLRef url =
        CFURLCreateWithFileSystemPath(kCFAllocatorDefault, hfs, kCFURLHFSPathStyle, false);
    ASSERT_NE(nullptr, url) << c.hfs;
    CFStringRef posix = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    EXPECT_EQ(c.posix, Utf8(posix)) << c.hfs;
    EXPECT_EQ(c.directory, CFURLHasDirectoryPath(url) != 0) << c.hfs;
    CFRelease(posix);
    CFRelease(url);
    CFRelease(hfs);
  }
}

TEST_F(StandInFilesTest, AliasesResolveWhileTheTargetExists) {
  WriteFile("target", "");
  FSRef target = Ref("target");
  AliasHandle alias = nullptr;
  ASSERT_EQ(noErr, FSNewAlias(nullptr, &target, &alias));
  FSRef resolved;
  Boolean changed = true;
  ASSERT_EQ(noErr, FSResolveAlias(nullptr, alias, &resolved, &changed));
  EXPECT_EQ(noErr, FSCompareFSRefs(&target, &resolved));
  HFSUniStr255 name;
  ASSERT_EQ(noErr, FSCopyAliasInfo(alias, &name, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(U16("target"), std::u16string(reinterpret_cast<char16_t*>(name.unicode), name.length));

  Handle copy = reinterpret_cast<Handle>(alias);
  ASSERT_EQ(noErr, HandToHand(&copy));
  EXPECT_NE(copy, reinterpret_cast<Handle>(alias));
  fs::remove(Path("target"));
  EXPECT_EQ(fnfErr,
            FSResolveAlias(nullptr, reinterpret_cast<AliasHandle>(copy), &resolved, nullptr));
  DisposeHandle(copy);
  DisposeHandle(reinterpret_cast<Handle>(alias));
}

TEST_F(StandInFilesTest, FoldersCanBeRedirectedAndCreated) {
  const std::string temp = Path("t/emp");
  StandIn_SetFolder(kTemporaryFolderType, temp.c_str());
  FSRef ref;
  EXPECT_EQ(fnfErr, FSFindFolder(kOnSystemDisk, kTemporaryFolderType, kDontCreateFolder, &ref));
  ASSERT_EQ(noErr, FSFindFolder(kOnSystemDisk, kTemporaryFolderType, kCreateFolder, &ref));
  EXPECT_TRUE(fs::is_directory(temp));
  StandIn_SetFolder(kTemporaryFolderType, nullptr);
  EXPECT_EQ(noErr, FSFindFolder(kOnSystemDisk, kTemporaryFolderType, kDontCreateFolder, &ref));
}

TEST(StandInMemoryTest, BlocksHandlesAndInjectedFailures) {
  long live = StandIn_MemoryLiveBlockCount();
  Ptr p = NewPtr(10);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(10, GetPtrSize(p));
  SetPtrSize(p, 4);
  EXPECT_EQ(noErr, MemError());
  SetPtrSize(p, 11);  // the block cannot move
  EXPECT_EQ(memFullErr, MemError());
  DisposePtr(p);

  Handle h = NewHandleClear(3);
  ASSERT_NE(nullptr, h);
  std::memcpy(*h, "abc", 3);
  Handle copy = h;
  ASSERT_EQ(noErr, HandToHand(&copy));
  EXPECT_EQ(0, std::memcmp(*copy, "abc", 3));
  StandIn_MemoryFailNextAllocations(1);
  Handle failed = h;
  EXPECT_EQ(memFullErr, HandToHand(&failed));
  EXPECT_EQ(h, failed);
  DisposeHandle(copy);
  DisposeHandle(h);
  EXPECT_EQ(live, StandIn_MemoryLiveBlockCount());
}

TEST(StandInDelayTest, AFrozenTickCountMovesOnByTheTicksWaited) {
  StandIn_SetTickCount(1000);
  unsigned long final = 0;
  Delay(2, &final);
  EXPECT_EQ(1002u, final);
  EXPECT_EQ(1002u, TickCount());
  StandIn_ReleaseTickCount();
}

}  // namespace
