// The Windows file system: path rules, roots, URLs and Win32 errors.
#include "GFIL/win/GFIL_FileSpecWin32.h"
#include "GFIL/win/GFIL_FileSystemWin32.h"
#include "GFIL/GFIL_Utils.h"
#include "GLIB/GLIB_LogMessage.h"
#include "support/GFIL_TestFolder.h"
#include "support/GFIL_Thrown.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

using FS = GFIL_FileSystem;

GLIB_WString PathOf(const wchar_t* path) {
  return GFIL_PlatformPathFromSpec(GFIL_FileSpecWin32(path));
}

TEST(GFIL_Win32Paths, AreStoredAbsoluteWithBackslashesAndWithoutTrailingOnes) {
  EXPECT_EQ(GLIB_WString(L"C:\\a\\b"), PathOf(L"C:/a/b"));
  EXPECT_EQ(GLIB_WString(L"C:\\a"), PathOf(L"C:\\a\\"));
  EXPECT_EQ(GLIB_WString(L"C:\\"), PathOf(L"C:\\"));
  EXPECT_EQ(GLIB_WString(L"\\\\srv\\sh\\x"), PathOf(L"\\\\srv\\sh\\x\\"));
  EXPECT_EQ(GLIB_WString(L"C:\\a\\b"), GFIL_PlatformPathFromSpec(GFIL_FileSpecWin32("C:\\a\\b")));
}

TEST(GFIL_Win32Paths, BadPathsAreRefusedWithTheReason) {
  struct Case {
    const wchar_t* path;
    const char* message;
  } cases[] = {
      {L"C:\\a<b", "The path \"C:\\a<b\" contains the invalid character \"<\""},
      {L"C:\\a|b", "The path \"C:\\a|b\" contains the invalid character \"|\""},
      {L"C:\\a\x01"
       L"b",
       "The path \"C:\\a\x01"
       "b\" contains the invalid character 0x1"},
      {L"C:\\a:b", "The path \"C:\\a:b\" cannot contain \":\""},
      {L"C:\\con\\x", "The path \"C:\\con\\x\" contains an invalid name component \"con\""},
      {L"C:\\dir\\LPT1.txt\\x",
       "The path \"C:\\dir\\LPT1.txt\\x\" contains an invalid name component \"LPT1.txt\""},
  };
  for (const auto& c : cases) {
    GFIL_Thrown thrown = GFIL_ThrownBy([&] { GFIL_FileSpecWin32{c.path}; });
    EXPECT_EQ(GFIL_ERR_BAD_SPEC, thrown.code) << c.message;
    EXPECT_EQ(c.message, thrown.message);
  }
  GFIL_Thrown empty = GFIL_ThrownBy([] { GFIL_FileSpecWin32{L"C:\\a\\\\b"}; });
  if (empty.code != 0) {  // (the system may already have joined the two backslashes)
    EXPECT_EQ("The path \"C:\\a\\\\b\" contains an empty name component at pos 5", empty.message);
  }
}

TEST(GFIL_Win32Paths, DeviceNamesAreRefusedInAnyCaseWithOrWithoutExtension) {
  GFIL_FileSpecWin32 folder(L"C:\\dir");
  auto* fs = static_cast<GFIL_FileSystemWin32*>(folder.FileSystemImplPtr());
  for (const wchar_t* name :
       {L"con", L"CON", L"Aux", L"prn", L"nul", L"NUL", L"nul.txt", L"Con.tif", L"lpt1", L"LPT9",
        L"com1", L"COM3.log", L"a<b", L"a:b", L"a/b", L"a\\b", L"a\"b"})
    EXPECT_FALSE(fs->IsPlatformNameValid(name)) << GLIB_WString(name).AsString();
  for (const wchar_t* name :
       {L"", L"lpt", L"com10", L"console", L"nullable.tif", L"a?b", L"CONtract"})
    EXPECT_TRUE(fs->IsPlatformNameValid(name)) << GLIB_WString(name).AsString();
  GFIL_Thrown thrown = GFIL_ThrownBy([&] { folder.Concat(L"Nul"); });
  EXPECT_EQ("The name \"Nul\" is invalid for the Win32 platform.", thrown.message);
}

TEST(GFIL_Win32Paths, RootsHaveNoParentAndNameThemselves) {
  GFIL_FileSpecWin32 drive(L"C:\\");
  EXPECT_TRUE(drive.IsTheRoot());
  EXPECT_EQ(GLIB_WString(L"C:\\"), drive.Name());
  GFIL_Thrown thrown = GFIL_ThrownBy([&] { drive.Parent(); });
  EXPECT_EQ(GFIL_ERR_BAD_SPEC, thrown.code);
  EXPECT_EQ("The spec \"C:\\\" is the root object; cannot retrieve a parent.", thrown.message);
  EXPECT_TRUE(drive.Exists());
  EXPECT_TRUE(drive.IsAFolder());
  EXPECT_EQ(GLIB_WString(L"C:\\"),
            GFIL_PlatformPathFromSpec(GFIL_FileSpecWin32(L"C:\\dir").Parent()));
  EXPECT_EQ(GLIB_WString(L"C:\\x"), GFIL_PlatformPathFromSpec(drive.Concat(L"x")));

  EXPECT_TRUE(GFIL_FileSpecWin32(L"\\\\srv\\sh").IsTheRoot());
  EXPECT_FALSE(GFIL_FileSpecWin32(L"\\\\srv\\sh\\x").IsTheRoot());
  EXPECT_EQ(GLIB_WString(L"\\\\srv\\sh"),
            GFIL_PlatformPathFromSpec(GFIL_FileSpecWin32(L"\\\\srv\\sh\\x").Parent()));
}

TEST(GFIL_Win32Paths, URLsWalkUpToTheDriveOrShareInUTF8) {
  EXPECT_EQ("file:///K:/a/b.tif",
            GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"K:\\a\\b.tif"), GFIL_URL_PLAIN));
  EXPECT_EQ("file:///K:/a%20b/b.tif",
            GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"K:\\a b\\b.tif"), GFIL_URL_ENCODED));
  EXPECT_EQ("file://///srv/sh/x.tif",
            GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"\\\\srv\\sh\\x.tif"), GFIL_URL_PLAIN));
  EXPECT_EQ("file:///K:/%C3%A9%E2%82%AC.tif",
            GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"K:\\\u00e9\u20ac.tif"), GFIL_URL_ENCODED));
  EXPECT_EQ("file:///K:/", GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"K:\\"), GFIL_URL_PLAIN));
  EXPECT_EQ("file://///srv/sh/",
            GFIL_URLFromFileSpec(GFIL_FileSpecWin32(L"\\\\srv\\sh"), GFIL_URL_PLAIN));
}

TEST(GFIL_Win32Writes, ShortOrFailedWritesThrow) {
  const GLIB_WString path = L"C:\\f";
  EXPECT_NO_THROW(GFIL_FileSystemWin32::CheckWriteResult(true, 8, 8, 0, path));
  struct Case {
    bool succeeded;
    DWORD written;
    DWORD error;
    std::uint32_t code;
  } cases[] = {
      {true, 5, ERROR_DISK_FULL, GFIL_ERR_DISK_FULL},
      {false, 5, ERROR_HANDLE_DISK_FULL, GFIL_ERR_DISK_FULL},
      {true, 5, NO_ERROR, GFIL_ERR_PLATFORM},
      {false, 0, ERROR_ACCESS_DENIED, GFIL_ERR_PLATFORM},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.code, GFIL_ThrownBy([&] {
                        GFIL_FileSystemWin32::CheckWriteResult(c.succeeded, c.written, 8, c.error,
                                                               path);
                      }).code);
  }
}

class GFIL_Win32Files : public ::testing::Test {
protected:
  GFIL_TestFolder m_Folder;
};

TEST_F(GFIL_Win32Files, AWriteToAFileOpenForReadingFailsAndGivesTheBufferBack) {
  m_Folder.WriteFile("f", "abc");
  GFIL_FileSpec spec = m_Folder.Spec("f");
  FS* fs = spec.FileSystemImplPtr();
  fs->Open(FS::OPEN_READABLE);
  GFIL_DataBuffer buffer = fs->AcquireWriteBuffer();
  buffer.SetDataSize(2);
  EXPECT_EQ(GFIL_ERR_PLATFORM, GFIL_ThrownBy([&] { fs->WriteBuffer(buffer, 0); }).code);
  EXPECT_EQ(nullptr, buffer.Memory());
  EXPECT_EQ(1u, fs->ReferenceCount());
  fs->Close();
  EXPECT_EQ("abc", m_Folder.ReadFile("f"));
}

TEST_F(GFIL_Win32Files, OffsetsBeyondTwoToThe63AreFatal) {
  m_Folder.WriteFile("f", "abc");
  GFIL_FileSpec spec = m_Folder.Spec("f");
  FS* fs = spec.FileSystemImplPtr();
  fs->Open(FS::OPEN_READABLE);
  GLIB_LogHandlerPtr previous =
      GLIB_LogMessage::SetHandler(+[](GLIB_SEVERITY, const wchar_t*, const char*, int) {});
  EXPECT_THROW(fs->ReadBuffer(LLONG_MIN + 1), GLIB_FatalException);
  EXPECT_THROW(fs->ReadBuffer(-1), GLIB_FatalException);
  GLIB_LogMessage::SetHandler(previous);
  EXPECT_EQ(GFIL_ERR_PLATFORM, GFIL_ThrownBy([&] { fs->ReadBuffer(LLONG_MIN); }).code);
  fs->Close();
}

TEST_F(GFIL_Win32Files, AFileOpenWithoutSharingIsBusy) {
  m_Folder.WriteFile("f", "abc");
  GFIL_FileSpec first = m_Folder.Spec("f");
  GFIL_FileSpec second = m_Folder.Spec("f");
  first.FileSystemImplPtr()->Open(FS::OPEN_READABLE | FS::OPEN_WRITABLE);
  GFIL_Thrown thrown = GFIL_ThrownBy([&] { second.FileSystemImplPtr()->Open(FS::OPEN_READABLE); });
  EXPECT_EQ(GFIL_ERR_BUSY_OR_LOCKED, thrown.code);
  EXPECT_EQ(GFIL_ERR_BUSY_OR_LOCKED,
            GFIL_ThrownBy([&] { second.FileSystemImplPtr()->RemoveFile(); }).code);
  first.FileSystemImplPtr()->Close();
}

}  // namespace
