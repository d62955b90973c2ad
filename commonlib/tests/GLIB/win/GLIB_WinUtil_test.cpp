#include "GLIB/win/GLIB_WinUtil.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB_LogCapture.h"

namespace {

bool EndsWith(const GLIB_WString& text, const GLIB_WString& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const GLIB_WString& text, const GLIB_WString& start) {
  return text.compare(0, start.size(), start) == 0;
}

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
  explicit TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_Path = GLIB_WString(temp) + name;
    CreateDirectoryW(m_Path.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const GLIB_WString& file : m_Files)
      DeleteFileW(file.c_str());
    RemoveDirectoryW(m_Path.c_str());
  }
  const GLIB_WString& Path() const { return m_Path; }

  GLIB_WString AddFile(const wchar_t* name, const char* content) {
    const GLIB_WString file = m_Path + L"\\" + name;
    const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
    CloseHandle(h);
    m_Files.push_back(file);
    return file;
  }

private:
  GLIB_WString m_Path;
  std::vector<GLIB_WString> m_Files;
};

std::string ReadNarrowPath(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr)
    return "<cannot open>";
  char buffer[64] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
  std::fclose(f);
  return std::string(buffer, n);
}

// ---------------------------------------------------------------------------------------------
// Error texts and short paths

TEST(GLIB_GetWinErrorStringTest, SystemTextFollowedByTheCode) {
  const GLIB_WString text = GLIB_GetWinErrorWString(ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(EndsWith(text, L" (code: 2)")) << GLIB_WToNString(text);
  EXPECT_GT(text.size(), std::wcslen(L" (code: 2)"));
  EXPECT_EQ(GLIB_WToNString(text), GLIB_GetWinErrorString(ERROR_FILE_NOT_FOUND));
}

TEST(GLIB_GetWinErrorStringTest, UnknownCodeSaysSo) {
  EXPECT_EQ(GLIB_WString(L"The error string could not be translated (code: 4294967280)"),
            GLIB_GetWinErrorWString(0xFFFFFFF0u));
}

TEST(GLIB_GetShortPathNameTest, ExistingPathHasAShortForm) {
  TempFolder folder(L"glib short path folder with a long name");
  GLIB_WString shortWide = L"stale";
  ASSERT_TRUE(GLIB_GetShortPathName(folder.Path(), &shortWide));
  EXPECT_FALSE(shortWide.empty());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES == GetFileAttributesW(shortWide.c_str()), false);
  GLIB_String shortNarrow;
  ASSERT_TRUE(GLIB_GetShortPathName(folder.Path(), &shortNarrow));
  EXPECT_EQ(GLIB_WToNString(shortWide), shortNarrow);
}

TEST(GLIB_GetShortPathNameTest, MissingPathIsLoggedAndEmpty) {
  GLIB_LogCapture log;
  const GLIB_WString missing = L"C:\\no such folder\\anywhere";
  GLIB_WString shortWide = L"stale";
  EXPECT_FALSE(GLIB_GetShortPathName(missing, &shortWide));
  EXPECT_TRUE(shortWide.empty());
  GLIB_String shortNarrow = "stale";
  EXPECT_FALSE(GLIB_GetShortPathName(missing, &shortNarrow));
  EXPECT_TRUE(shortNarrow.empty());
  ASSERT_EQ(2u, GLIB_LogCapture::Lines().size());
  EXPECT_TRUE(StartsWith(GLIB_LogCapture::Lines()[0],
                         L"Failed to convert C:\\no such folder\\anywhere to an equivalent full "
                         L"path: "));
  EXPECT_TRUE(StartsWith(GLIB_LogCapture::Lines()[1],
                         L"Failed to convert C:\\no such folder\\anywhere to an equivalent DOS "
                         L"8.3 path: "));
  EXPECT_TRUE(EndsWith(GLIB_LogCapture::Lines()[0], L")"));
}

// ---------------------------------------------------------------------------------------------
// Narrow path from a wide path

TEST(GLIB_NarrowPathFromWidePathTest, AnsiPathsKeepTheirFormWithBackslashes) {
  const struct {
    const wchar_t* path;
    const char* expected;
  } cases[] = {
      {L"K:/dir/file", "K:\\dir\\file"},
      {L"K:", "K:"},
      {L"K:/", "K:\\"},
      {L"K:file.txt", "K:file.txt"},
      {L"relative/dir\\file", "relative\\dir\\file"},
      {L"/rooted", "\\rooted"},
      {L"//server/share", "\\\\server\\share"},
      {L"\\\\server\\share/dir/file", "\\\\server\\share\\dir\\file"},
      {L"\\\\server\\share\\", "\\\\server\\share\\"},
      {L"dir//file", "dir\\\\file"},
      {L"", ""},
  };
  for (const auto& c : cases) {
    char out[MAX_PATH];
    EXPECT_STREQ(c.expected, GLIB_NarrowPathFromWidePath(out, c.path, MAX_PATH))
        << GLIB_WToNString(c.path);
  }
}

TEST(GLIB_NarrowPathFromWidePathTest, UncPathWithoutShareIsIncomplete) {
  char out[MAX_PATH];
  try {
    GLIB_NarrowPathFromWidePath(out, L"\\\\server", MAX_PATH);
    ADD_FAILURE() << "no exception";
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(1125005u, e.code());
    EXPECT_EQ(GLIB_WString(L"Incomplete UNC PathName"), e.message());
  }
}

TEST(GLIB_NarrowPathFromWidePathTest, ComponentWithoutAnsiFormBecomesItsShortName) {
  // Devanagari has no form in any ANSI code page.
  TempFolder folder(L"glib \u0915\u0916 folder");
  folder.AddFile(L"file \u0917.txt", "content");
  const GLIB_WString wide = folder.Path() + L"/file \u0917.txt";
  char out[MAX_PATH];
  GLIB_NarrowPathFromWidePath(out, wide.c_str(), MAX_PATH);
  EXPECT_EQ(nullptr, std::strchr(out, '?')) << out;
  EXPECT_EQ(nullptr, std::strchr(out, '/')) << out;
  EXPECT_EQ("content", ReadNarrowPath(out)) << out;
}

TEST(GLIB_NarrowPathFromWidePathTest, MissingComponentWithoutAnsiFormFails) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const GLIB_WString wide = GLIB_WString(temp) + L"no such \u0915";
  char out[MAX_PATH];
  try {
    GLIB_NarrowPathFromWidePath(out, wide.c_str(), MAX_PATH);
    ADD_FAILURE() << "no exception";
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(1125006u, e.code());
    EXPECT_EQ(GLIB_WString(L"FindFirstFileW() failed"), e.message());
    EXPECT_EQ(wide, e.getDetailParameter(0));
    EXPECT_EQ(wide, e.getDetailParameter(1));
    EXPECT_TRUE(EndsWith(e.getDetailParameter(2), L")"));
  }
}

TEST(GLIB_NarrowPathFromWidePathTest, OverlongPathIsRefused) {
  const GLIB_WString longest = L"C:\\" + GLIB_WString(MAX_PATH - 3, L'a');
  std::vector<char> out(2 * MAX_PATH);
  EXPECT_EQ(std::string(GLIB_WToNString(longest)),
            GLIB_NarrowPathFromWidePath(out.data(), longest.c_str(), 2 * MAX_PATH));
  const GLIB_WString overlong = longest + L"a";
  try {
    GLIB_NarrowPathFromWidePath(out.data(), overlong.c_str(), 2 * MAX_PATH);
    ADD_FAILURE() << "no exception";
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(1125006u, e.code());
    EXPECT_EQ(overlong, e.getDetailParameter(0));
  }
}

TEST(GLIB_NarrowPathFromWidePathTest, OutputIsBoundedByTheRoomLeft) {
  const struct {
    int size;
    const char* expected;
  } cases[] = {{1, ""}, {3, "K:"}, {4, "K:\\"}, {8, "K:\\dir\\"}, {10, "K:\\dir\\fi"}};
  for (const auto& c : cases) {
    char out[16];
    std::memset(out, '#', sizeof out);
    GLIB_NarrowPathFromWidePath(out, L"K:/dir/file", c.size);
    EXPECT_STREQ(c.expected, out) << c.size;
    EXPECT_EQ('#', out[c.size]) << "wrote past a buffer of " << c.size;
  }
}

}  // namespace
