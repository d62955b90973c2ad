#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB_LogCapture.h"
#include "GLIB/GLIB_StringUtils.h"
#include "GLIB/win/GLIB_WinUtil.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Bounded copy and concatenation

TEST(GLIB_StrMaxCpyWin, CopiesAtMostSizeMinusOneAndTerminates) {
  char narrow[8] = "#######";
  EXPECT_EQ(narrow, GLIB_StrMaxCpy(narrow, "abcdef", 4));
  EXPECT_STREQ("abc", narrow);
  EXPECT_EQ(narrow, GLIB_StrMaxCpy(narrow, "abcdef", 1));
  EXPECT_STREQ("", narrow);

  wchar_t wide[8] = L"#######";
  EXPECT_EQ(wide, GLIB_StrMaxCpy(wide, L"abcdef", 4));
  EXPECT_EQ(GLIB_WString(L"abc"), wide);
  EXPECT_EQ(wide, GLIB_StrMaxCpy(wide, L"ab", 8));
  EXPECT_EQ(GLIB_WString(L"ab"), wide);
}

TEST(GLIB_StrMaxCpyWin, SizeZeroLeavesTheBufferAlone) {
  char narrow[2] = "#";
  const char* result = GLIB_StrMaxCpy(narrow, "abc", 0);
  EXPECT_NE(narrow, result);
  EXPECT_STREQ("", result);
  EXPECT_STREQ("#", narrow);

  wchar_t wide[2] = L"#";
  const wchar_t* wideResult = GLIB_StrMaxCpy(wide, L"abc", 0);
  EXPECT_NE(wide, wideResult);
  EXPECT_EQ(0, wideResult[0]);
  EXPECT_EQ(L'#', wide[0]);
}

TEST(GLIB_StrMaxCatWin, AppendsWithinTheRoomLeft) {
  char narrow[8] = "ab";
  EXPECT_EQ(narrow, GLIB_StrMaxCat(narrow, "cdef", 5));
  EXPECT_STREQ("abcd", narrow);
  GLIB_StrMaxCat(narrow, "xyz", 5);  // already full: unchanged
  EXPECT_STREQ("abcd", narrow);
  char shortRoom[8] = "abcdef";
  GLIB_StrMaxCat(shortRoom, "x", 3);  // longer than size: unchanged
  EXPECT_STREQ("abcdef", shortRoom);

  wchar_t wide[8] = L"ab";
  GLIB_StrMaxCat(wide, L"cdef", 5);
  EXPECT_EQ(GLIB_WString(L"abcd"), wide);

  wchar_t wideFromNarrow[8] = L"ab";
  GLIB_StrMaxCat(wideFromNarrow, "cdef", 5);
  EXPECT_EQ(GLIB_WString(L"abcd"), wideFromNarrow);

  char narrowFromWide[8] = "ab";
  GLIB_StrMaxCat(narrowFromWide, L"cdef", 5);
  EXPECT_STREQ("abcd", narrowFromWide);
}

// ---------------------------------------------------------------------------------------------
// In-place changes, duplication, emptiness

TEST(GLIB_InPlaceWin, ChangesCaseAndReverses) {
  char text[] = "Mixed 12 Case!";
  EXPECT_STREQ("MIXED 12 CASE!", GLIB_StrUpr(text));
  EXPECT_STREQ("mixed 12 case!", GLIB_StrLwr(text));
  wchar_t wide[] = L"Mixed 12 Case!";
  EXPECT_EQ(GLIB_WString(L"MIXED 12 CASE!"), GLIB_StrUpr(wide));
  EXPECT_EQ(GLIB_WString(L"mixed 12 case!"), GLIB_StrLwr(wide));

  for (const auto& c : {std::pair<std::string, std::string>{"", ""},
                        {"a", "a"},
                        {"ab", "ba"},
                        {"abc", "cba"},
                        {"abcd", "dcba"}}) {
    std::vector<char> buffer(c.first.begin(), c.first.end());
    buffer.push_back(0);
    EXPECT_STREQ(c.second.c_str(), GLIB_StrRev(buffer.data()));
  }
}

TEST(GLIB_StrdupWin, MakesAnIndependentCopy) {
  const char text[] = "copy me";
  char* copy = GLIB_strdup(text);
  ASSERT_NE(nullptr, copy);
  EXPECT_NE(text, copy);
  EXPECT_STREQ(text, copy);
  std::free(copy);
  EXPECT_EQ(nullptr, GLIB_strdup(nullptr));
}

TEST(GLIB_IsStrEmptyWin, NullAndEmptyAreEmpty) {
  EXPECT_TRUE(GLIB_IsStrEmpty(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(GLIB_IsStrEmpty(""));
  EXPECT_FALSE(GLIB_IsStrEmpty(" "));
  EXPECT_TRUE(GLIB_IsStrEmpty(static_cast<const wchar_t*>(nullptr)));
  EXPECT_TRUE(GLIB_IsStrEmpty(L""));
  EXPECT_FALSE(GLIB_IsStrEmpty(L"x"));
}

TEST(GLIB_TrimWhitespaceWin, NarrowFormRemovesSpacesAndControls) {
  EXPECT_EQ(GLIB_String(""), GLIB_TrimWhitespace(GLIB_String(" \t\r\n ")));
  EXPECT_EQ(GLIB_String("a b"), GLIB_TrimWhitespace(GLIB_String(" a b ")));
  EXPECT_EQ(GLIB_String("x"), GLIB_TrimWhitespace(GLIB_String("\x01x\x7f")));
}

// ---------------------------------------------------------------------------------------------
// UTF-16 to UTF-8

struct UTF8Case {
  std::vector<wchar_t> in;  // without terminator
  std::size_t size;
  std::string expected;
};

TEST(GLIB_StrWideToUTF8Win, EncodesAndKeepsWhatFits) {
  const UTF8Case cases[] = {
      {{L'A', 0xE9}, 16, "A\xC3\xA9"},
      {{0x20AC}, 16, "\xE2\x82\xAC"},
      {{0xD83D, 0xDE00, L'!'}, 16, "\xF0\x9F\x98\x80!"},
      {{L'A', 0xE9}, 3, "A"},  // no room for both bytes of the second character
      {{0xD83D, 0xDE00}, 4, ""},
      {{L'a', L'b'}, 1, ""},
      // An unpaired surrogate becomes U+FFFD; the unit after it is its own character.
      {{0xD83D, L'A'},
       16,
       "\xEF\xBF\xBD"
       "A"},
      {{L'x', 0xD83D}, 16, "x\xEF\xBF\xBD"},
      {{0xDE00, L'B'},
       16,
       "\xEF\xBF\xBD"
       "B"},
      {{0xD83D, 0xD83D, 0xDE00}, 16, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const UTF8Case& c : cases) {
    std::vector<wchar_t> in = c.in;
    in.push_back(0);
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(c.expected.size(), GLIB_StrWideToUTF8(in.data(), out, c.size)) << c.expected;
    EXPECT_STREQ(c.expected.c_str(), out);
  }
}

TEST(GLIB_StrWideToUTF8Win, NullOrEmptyBuffers) {
  char out[4] = "##";
  EXPECT_EQ(0u, GLIB_StrWideToUTF8(L"abc", out, 0));
  EXPECT_STREQ("##", out);
  EXPECT_EQ(0u, GLIB_StrWideToUTF8(nullptr, out, 4));
  EXPECT_STREQ("", out);
  EXPECT_EQ(0u, GLIB_StrWideToUTF8(L"abc", nullptr, 4));
}

// ---------------------------------------------------------------------------------------------
// Numbering in letters and Roman numerals

TEST(GLIB_FormatAlphabeticNumeralWin, RepeatsTheLetterPerRound) {
  const struct {
    unsigned int n;
    const char* expected;
  } cases[] = {{0, ""}, {1, "A"}, {26, "Z"}, {27, "AA"}, {28, "BB"}, {52, "ZZ"}, {53, "AAA"}};
  for (const auto& c : cases) {
    char buf[8];
    EXPECT_STREQ(c.expected, GLIB_FormatAlphabeticNumeral(c.n, buf, sizeof buf)) << c.n;
  }
  char small[3] = {'#', '#', '#'};
  EXPECT_STREQ("A", GLIB_FormatAlphabeticNumeral(53, small, 2));
  EXPECT_EQ('#', small[2]);
}

TEST(GLIB_FormatRomanNumeralWin, WritesSubtractivePairs) {
  const struct {
    unsigned int n;
    const char* expected;
  } cases[] = {{0, ""},
               {1, "I"},
               {4, "IV"},
               {9, "IX"},
               {14, "XIV"},
               {40, "XL"},
               {49, "XLIX"},
               {90, "XC"},
               {400, "CD"},
               {900, "CM"},
               {1994, "MCMXCIV"},
               {2024, "MMXXIV"},
               {4000, "MMMM"},
               {3888, "MMMDCCCLXXXVIII"},
               {4999, "MMMMCMXCIX"},
               {5000, ""}};
  for (const auto& c : cases) {
    char buf[17];
    const char* end = GLIB_FormatRomanNumeral(c.n, buf, sizeof buf);
    EXPECT_STREQ(c.expected, buf) << c.n;
    EXPECT_EQ(buf + std::strlen(c.expected), end) << c.n;
  }
}

TEST(GLIB_FormatRomanNumeralWin, ShortBufferIsCutAndTerminated) {
  char buf[6];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(buf + 4, GLIB_FormatRomanNumeral(3888, buf, 5));
  EXPECT_STREQ("MMMD", buf);
  EXPECT_EQ('#', buf[5]);
}

TEST(GLIB_FormatColumnLettersWin, CountsInBijectiveBase26) {
  const struct {
    unsigned int n;
    const char* expected;
  } cases[] = {{0, ""},
               {1, "A"},
               {26, "Z"},
               {27, "AA"},
               {52, "AZ"},
               {53, "BA"},
               {702, "ZZ"},
               {703, "AAA"},
               {18278, "ZZZ"},
               {18279, "AAAA"},
               {321272406, "ZZZZZZ"},
               {321272407, "AAAAAAA"}};
  for (const auto& c : cases) {
    char buf[8];
    const char* end = GLIB_FormatColumnLetters(c.n, buf, sizeof buf);
    EXPECT_STREQ(c.expected, buf) << c.n;
    EXPECT_EQ(buf + std::strlen(c.expected), end) << c.n;
  }
}

TEST(GLIB_FormatDecimalWin, DropsTrailingZeros) {
  const struct {
    double x;
    int decimals;
    const char* expected;
  } cases[] = {{3.14159, 2, "3.14"}, {2.5, 3, "2.5"},    {2.0, 2, "2"},     {100.0, 0, "100"},
               {1200.0, 2, "1200"},  {-1.26, 1, "-1.3"}, {0.0, 2, "0"},     {-0.001, 2, "0"},
               {0.05, 2, ".05"},     {-0.5, 1, "-.5"},   {12.0001, 3, "12"}};
  for (const auto& c : cases) {
    char buf[32];
    EXPECT_STREQ(c.expected, GLIB_FormatDecimal(c.x, c.decimals, buf, sizeof buf)) << c.x;
  }
  char small[4];
  EXPECT_STREQ("123", GLIB_FormatDecimal(123.456, 2, small, sizeof small));
}

// ---------------------------------------------------------------------------------------------
// Hexadecimal parsing and escaping

TEST(GLIB_AsciiToHexWin, ReadsDigitPairs) {
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(2u, GLIB_AsciiToHex(GLIB_String("1a2"), out, sizeof out));
  EXPECT_EQ('\x1A', out[0]);
  EXPECT_EQ('\x20', out[1]);
  EXPECT_EQ(3u, GLIB_AsciiToHex(GLIB_String("FFff0A"), out, 3));
  EXPECT_EQ(std::string("\xFF\xFF\x0A"), std::string(out, 3));

  EXPECT_EQ(0u, GLIB_AsciiToHex(GLIB_String("1g"), out, sizeof out));
  EXPECT_EQ(0u, GLIB_AsciiToHex(GLIB_String("12 4"), out, sizeof out));
  EXPECT_EQ(0u, GLIB_AsciiToHex(GLIB_String("123456"), out, 2));  // needs 3 bytes
  EXPECT_EQ(0u, GLIB_AsciiToHex(GLIB_String(""), out, sizeof out));
}

TEST(GLIB_HasNonAsciiCharsWin, LooksForUnitsFrom128) {
  EXPECT_FALSE(GLIB_HasNonAsciiChars(GLIB_WString(L"plain \x7f")));
  EXPECT_TRUE(GLIB_HasNonAsciiChars(GLIB_WString(L"caf\u00e9")));
  EXPECT_TRUE(GLIB_HasNonAsciiChars(GLIB_WString(L"\x80")));
  EXPECT_FALSE(GLIB_HasNonAsciiChars(GLIB_WString()));
}

TEST(GLIB_StrWideToUnicodeEscapedAsciiWin, EscapesUnitsFrom128) {
  char out[32];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(7u, GLIB_StrWideToUnicodeEscapedAscii(L"a\u00e9", out, sizeof out));
  EXPECT_EQ(std::string("a\\u00e9#"), std::string(out, 8));  // no terminator
  EXPECT_EQ(13u, GLIB_StrWideToUnicodeEscapedAscii(L"\uffff\u4e2dz", nullptr, 0));
  EXPECT_EQ(0u, GLIB_StrWideToUnicodeEscapedAscii(nullptr, out, sizeof out));

  // Only whole items are written.
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(1u, GLIB_StrWideToUnicodeEscapedAscii(L"a\u00e9", out, 6));
  EXPECT_EQ(std::string("a#"), std::string(out, 2));

  // The escaped text decodes back to the original.
  const wchar_t original[] = L"x\u00e9\u4e2d\uffff";
  const std::size_t n = GLIB_StrWideToUnicodeEscapedAscii(original, out, sizeof out - 1);
  out[n] = 0;
  wchar_t back[8];
  GLIB_StrUnicodeEscapedAsciiToWide(out, back, 8);
  EXPECT_EQ(GLIB_WString(original), back);
}

// ---------------------------------------------------------------------------------------------
// Code pages

TEST(GLIB_CodePagesWin, MacRomanOmegaTravelsBothWays) {
  wchar_t wide[4];
  EXPECT_EQ(3u, GLIB_StrNarrowToUTF16("\xBD"
                                      "a",
                                      wide, 4, GLIB_CodePageMacRoman));
  EXPECT_EQ(GLIB_WString(L"\u03A9a"), wide);
  char narrow[4];
  EXPECT_EQ(3u, GLIB_StrUTF16ToNarrow(L"\u03A9a", narrow, 4, GLIB_CodePageMacRoman));
  EXPECT_STREQ("\xBD"
               "a",
               narrow);
  // Mac Roman's e acute.
  EXPECT_EQ(2u, GLIB_StrNarrowToUTF16("\x8E", wide, 4, WinMacRoman));
  EXPECT_EQ(GLIB_WString(L"\u00e9"), wide);
}

TEST(GLIB_CodePagesWin, ShortBuffersKeepATerminatedBeginning) {
  wchar_t wide[8];
  std::fill(wide, wide + 8, L'#');
  EXPECT_EQ(4u, GLIB_StrNarrowToUTF16("abcdef", wide, 4, GLIB_CodePageWindowsLatin));
  EXPECT_EQ(GLIB_WString(L"abc"), wide);
  EXPECT_EQ(L'#', wide[4]);
  EXPECT_EQ(7u, GLIB_StrNarrowToUTF16("abcdef", wide, 8, WinWinLatin));
  EXPECT_EQ(GLIB_WString(L"abcdef"), wide);

  char narrow[8];
  std::fill(narrow, narrow + 8, '#');
  EXPECT_EQ(3u, GLIB_StrUTF16ToNarrow(L"abcdef", narrow, 3, GLIB_CodePageMacRoman));
  EXPECT_STREQ("ab", narrow);
  EXPECT_EQ('#', narrow[3]);
}

TEST(GLIB_CodePagesWin, EmptyAndNullArguments) {
  wchar_t wide[2] = {L'#', L'#'};
  EXPECT_EQ(0u, GLIB_StrNarrowToUTF16("abc", wide, 0, WinWinLatin));
  EXPECT_EQ(L'#', wide[0]);
  EXPECT_EQ(0u, GLIB_StrNarrowToUTF16("abc", wide, 1, WinWinLatin));
  EXPECT_EQ(0, wide[0]);
  EXPECT_EQ(0u, GLIB_StrNarrowToUTF16(nullptr, wide, 2, WinWinLatin));
  EXPECT_EQ(0u, GLIB_StrNarrowToUTF16("abc", nullptr, 2, WinWinLatin));
  char narrow[2] = {'#', '#'};
  EXPECT_EQ(0u, GLIB_StrUTF16ToNarrow(nullptr, narrow, 2, WinMacRoman));
  EXPECT_EQ(0, narrow[0]);
}

TEST(GLIB_CodePagesWin, UnknownCodePagesAreLoggedAndConvertNothing) {
  GLIB_LogCapture log;
  wchar_t wide[4] = L"##";
  EXPECT_EQ(0u, GLIB_StrNarrowToUTF16("abc", wide, 4, 7));
  EXPECT_EQ(0, wide[0]);
  char narrow[4] = "##";
  EXPECT_EQ(0u, GLIB_StrUTF16ToNarrow(L"abc", narrow, 4, static_cast<GLIB_WinCodePage>(5)));
  EXPECT_EQ(0, narrow[0]);
  EXPECT_EQ((std::vector<GLIB_WString>{
                L"Encountered unknown codePage value = 7",
                L"Text conversion error: GLIB_StrUTF16ToNarrow() does not recognize the code "
                L"page 5. WinWinLatin and WinMacRoman are allowed."}),
            GLIB_LogCapture::Lines());
}

TEST(GLIB_AnsiBuffersWin, ReturnTheSystemCount) {
  char narrow[8];
  EXPECT_EQ(4, GLIB_WToNBuffer(L"abc", narrow, 8));
  EXPECT_STREQ("abc", narrow);
  wchar_t wide[8];
  EXPECT_EQ(4, GLIB_NToWBuffer(wide, "abc", 8));
  EXPECT_EQ(GLIB_WString(L"abc"), wide);
}

}  // namespace
