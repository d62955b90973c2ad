#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <gtest/gtest.h>

WORD iGLIB_LogLineAttributes(GLIB_SEVERITY severity, WORD current);

namespace {

TEST(AnsiCodePageText, ConvertsWindowsLatinCharacters) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "ANSI code page is " << GetACP();
  }
  EXPECT_EQ(GLIB_WString(L"\u20ac\u00e9"), GLIB_NToWString("\x80\xE9"));
  EXPECT_EQ(GLIB_String("\x80\xE9"), GLIB_WToNString(L"\u20ac\u00e9"));
  EXPECT_EQ(GLIB_String("?"), GLIB_WToNString(L"\u4e2d"));
}

TEST(AnsiCodePageText, TooSmallBufferKeepsTerminator) {
  wchar_t wide[4] = {L'x', L'x', L'x', L'x'};
  GLIB_StrMaxCpy(wide, "abcdef", 3);
  EXPECT_EQ(L'\0', wide[2]);
  EXPECT_EQ(L'x', wide[3]);
  char narrow[4] = {'x', 'x', 'x', 'x'};
  GLIB_StrMaxCpy(narrow, L"abcdef", 3);
  EXPECT_EQ('\0', narrow[2]);
  EXPECT_EQ('x', narrow[3]);
}

TEST(AnsiCodePageText, SurrogatePairIsNotTwoCharacters) {
  // Each unit of a pair has no ANSI form; the narrow text gets a '?' in place of the pair's
  // units, never a stray byte.
  const GLIB_String narrow = GLIB_WToNString(L"a\xD83D\xDE00z");
  EXPECT_EQ('a', narrow.front());
  EXPECT_EQ('z', narrow.back());
  EXPECT_EQ(std::string::npos, narrow.find_first_not_of("a?z"));
}

TEST(ConsoleLogColours, ForegroundReplacedBackgroundKept) {
  const WORD background = BACKGROUND_BLUE | BACKGROUND_INTENSITY;
  const WORD current = background | FOREGROUND_BLUE;
  struct Case {
    int severity;
    WORD foreground;
  };
  const Case cases[] = {{0, 12}, {1, 12}, {2, 12}, {3, 14}, {6, 10}, {9, 10}};
  for (const Case& c : cases) {
    EXPECT_EQ(background | c.foreground,
              iGLIB_LogLineAttributes(static_cast<GLIB_SEVERITY>(c.severity), current))
        << c.severity;
  }
}

}  // namespace
