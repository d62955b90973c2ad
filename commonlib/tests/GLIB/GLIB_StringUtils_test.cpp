#include "GLIB/GLIB_StringUtils.h"

#include <gtest/gtest.h>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_Math.h"

#include <cmath>
#include <limits>

namespace {

// ---------------------------------------------------------------------------------------------
// Caseless comparison

TEST(GLIB_stricmpWide, ComparesFullyFoldedTexts) {
  EXPECT_EQ(0, GLIB_stricmp(GLIB_WString(L"STRASSE"), GLIB_WString(L"stra\u00DFe")));
  EXPECT_EQ(0, GLIB_stricmp(L"\u0130", L"i\u0307"));
  EXPECT_LT(GLIB_stricmp(L"apple", L"BANANA"), 0);
  EXPECT_GT(GLIB_stricmp(L"Zebra", L"apple"), 0);
  EXPECT_LT(GLIB_stricmp(L"ab", L"ABC"), 0);
  EXPECT_EQ(0, GLIB_stricmp(static_cast<const wchar_t*>(nullptr), L""));
}

struct NarrowCompareCase {
  const char* a;
  const char* b;
  int expected;
};

TEST(GLIB_stricmpNarrow, FoldsOnlyAsciiLettersAndGivesTheDifference) {
  const NarrowCompareCase cases[] = {
      {"Abc", "abd", 'c' - 'd'},
      {"HELLO", "hello", 0},
      {"abc", "ab", 'c'},
      {"ab", "abc", -'c'},
      {"[", "a", '[' - 'a'},  // '[' follows 'Z' but is not folded
      {"\xC9", "a", static_cast<signed char>('\xC9') - 'a'},
      {"", "", 0},
  };
  for (const NarrowCompareCase& c : cases) {
    EXPECT_EQ(c.expected, GLIB_stricmp(GLIB_String(c.a), GLIB_String(c.b))) << c.a << " " << c.b;
    EXPECT_EQ(c.expected, GLIB_stricmp(c.a, c.b)) << c.a << " " << c.b;
  }
  // Bytes of 0x80 and above sort below every ASCII character.
  EXPECT_LT(GLIB_stricmp("\x80", "\x01"), 0);
}

// ---------------------------------------------------------------------------------------------
// Natural order

struct LogicalCase {
  const wchar_t* a;
  const wchar_t* b;
  bool ignoreCase;
  int expected;
};

class GLIB_StringCompareLogicalTest : public ::testing::TestWithParam<LogicalCase> {};

TEST_P(GLIB_StringCompareLogicalTest, OrdersNumbersByValue) {
  const LogicalCase& c = GetParam();
  EXPECT_EQ(c.expected,
            GLIB_StringCompareLogical(GLIB_WString(c.a), GLIB_WString(c.b), c.ignoreCase));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, GLIB_StringCompareLogicalTest,
    ::testing::Values(LogicalCase{L"a007b", L"a7b", false, 0},
                      LogicalCase{L"a2", L"a10", false, -1}, LogicalCase{L"a10", L"a2", false, 1},
                      LogicalCase{L"a", L"a1", false, -1}, LogicalCase{L"a1", L"a", false, 1},
                      LogicalCase{L"1", L"x", false, -1}, LogicalCase{L"x", L"1", false, 1},
                      LogicalCase{L"", L"", false, 0}, LogicalCase{L"", L"a", false, -1},
                      LogicalCase{L"a", L"", false, 1}, LogicalCase{L"abc", L"abd", false, -1},
                      LogicalCase{L"ab", L"abc", false, -1},
                      LogicalCase{L"sheet9", L"sheet10", false, -1},
                      LogicalCase{L"page 2 of 10", L"page 2 of 9", false, 1},
                      LogicalCase{L"a7", L"a7b", false, -1}, LogicalCase{L"a7b", L"a7", false, 1},
                      LogicalCase{L"A", L"a", false, -1}, LogicalCase{L"A10", L"a9", true, 1},
                      LogicalCase{L"STRASSE 2", L"stra\u00DFe 2", true, 0},
                      // Digit runs beyond the integer range saturate and then count as equal.
                      LogicalCase{L"n99999999999a", L"n88888888888b", false, -1}));

// ---------------------------------------------------------------------------------------------
// Case mapping, truncation, trimming

TEST(GLIB_CaseMapping, MapsEachCharacterThroughTheGlobalLocale) {
  EXPECT_EQ(GLIB_String("ABC-123 XYZ"), GLIB_ToUpperCase(GLIB_String("abC-123 xyz")));
  EXPECT_EQ(GLIB_String("abc-123 xyz"), GLIB_ToLowerCase(GLIB_String("ABc-123 XYZ")));
  EXPECT_EQ(GLIB_WString(L"ABC-123"), GLIB_ToUpperCase(GLIB_WString(L"abC-123")));
  EXPECT_EQ(GLIB_WString(L"abc-123"), GLIB_ToLowerCase(GLIB_WString(L"ABc-123")));
  // One character for one: the sharp s keeps its place and the length stays.
  EXPECT_EQ(4u, GLIB_ToUpperCase(GLIB_WString(L"ma\u00DFe")).size());
  EXPECT_EQ(GLIB_String(), GLIB_ToUpperCase(GLIB_String()));
}

TEST(GLIB_TruncateStringTest, KeepsTheFirstOrLastCharacters) {
  const struct {
    int n;
    const wchar_t* expected;
  } cases[] = {{3, L"abc"},     {6, L"abcdef"},   {10, L"abcdef"}, {-2, L"ef"},
               {-6, L"abcdef"}, {-10, L"abcdef"}, {0, L"abcdef"}};
  for (const auto& c : cases)
    EXPECT_EQ(GLIB_WString(c.expected), GLIB_TruncateString(GLIB_WString(L"abcdef"), c.n)) << c.n;
  EXPECT_EQ(GLIB_WString(), GLIB_TruncateString(GLIB_WString(), -3));
}

TEST(GLIB_TrimWhitespaceTest, RemovesSpacesAndControlsAtBothEnds) {
  const struct {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {{L" \t\r\n  ", L""},
               {L"", L""},
               {L" a b ", L"a b"},
               {L"\x01\x7F"
                L"x\ty\x1F",
                L"x\ty"},
               {L"plain", L"plain"}};
  for (const auto& c : cases)
    EXPECT_EQ(GLIB_WString(c.expected), GLIB_TrimWhitespace(GLIB_WString(c.text)));
}

// ---------------------------------------------------------------------------------------------
// Splitting

TEST(GLIB_SplitStringTest, KeepsEmptySegments) {
  const struct {
    const char* text;
    std::vector<std::string> segments;
  } cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"a,b,c", {"a", "b", "c"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {",", {"", ""}},
      {",,", {"", "", ""}},
  };
  for (const auto& c : cases) {
    const GLIB_StringVector narrow = GLIB_SplitString(GLIB_String(c.text), ',');
    EXPECT_EQ(c.segments, std::vector<std::string>(narrow.begin(), narrow.end())) << c.text;

    const GLIB_WStringVector wide = GLIB_SplitString(GLIB_NToWString(c.text), L',');
    ASSERT_EQ(c.segments.size(), wide.size()) << c.text;
    for (std::size_t i = 0; i < wide.size(); ++i)
      EXPECT_EQ(GLIB_NToWString(c.segments[i].c_str()), wide[i]) << c.text;
  }
}

// ---------------------------------------------------------------------------------------------
// Hexadecimal text

TEST(GLIB_HexToAsciiTest, WritesTwoUpperCaseDigitsPerByte) {
  const char bytes[] = {'\x00', '\x05', '\x7f', '\xab', '\xff'};
  EXPECT_EQ(GLIB_String("00057FABFF"), GLIB_HexToAscii(bytes, sizeof bytes));
  EXPECT_EQ(GLIB_String(), GLIB_HexToAscii(bytes, 0));
}

TEST(iGLIB_NibbleToHexTest, GivesLowerCaseDigits) {
  const char expected[] = "0123456789abcdef";
  for (char n = 0; n < 16; ++n)
    EXPECT_EQ(expected[static_cast<int>(n)], iGLIB_NibbleToHex(n));
}

void SilentLog(GLIB_SEVERITY, const wchar_t*, const char*, int) {}

TEST(iGLIB_NibbleToHexTest, ValueOutsideANibbleIsFatal) {
  const GLIB_LogHandlerPtr previous = GLIB_LogMessage::SetHandler(&SilentLog);
  for (const char bad : {char(16), char(-1), char(100)}) {
    try {
      iGLIB_NibbleToHex(bad);
      ADD_FAILURE() << "no fatal error for " << int(bad);
    } catch (const GLIB_FatalException& e) {
      EXPECT_EQ(GLIB_WString(L"Reached end of switch statement in error."), e.message());
    }
  }
  GLIB_LogMessage::SetHandler(previous);
}

// ---------------------------------------------------------------------------------------------
// Rounding and clamping

TEST(MATH_RoundTest, RoundsHalvesToEven) {
  const struct {
    double x;
    long expected;
  } cases[] = {{2.5, 2},    {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {-0.3, 0},
               {-0.7, -1},  {0.5, 0}, {1.5, 2},   {0.49, 0},  {2.51, 3},
               {-2.51, -3}, {0.0, 0}, {7.0, 7},   {-7.0, -7}, {1e9 + 0.5, 1000000000}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, MATH_Round(c.x)) << c.x;
    if (c.x > -1e6 && c.x < 1e6) {
      EXPECT_EQ(c.expected, MATH_Round(static_cast<float>(c.x))) << c.x;
    }
  }
}

TEST(MATH_RoundTest, RoundingAndTruncationSaturateBeyondLongAndGiveZeroForNaN) {
  const long kMax = std::numeric_limits<long>::max();
  const long kMin = std::numeric_limits<long>::min();
  const double two31 = 2147483648.0;
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    long expected;
  } cases[] = {{inf, kMax},
               {-inf, kMin},
               {std::nan(""), 0},
               {1e300, kMax},
               {-1e300, kMin},
               {-static_cast<double>(kMin), kMax},  // 2^31 or 2^63: just beyond
               {static_cast<double>(kMin), kMin},
               // A sheet 2^28 pixels wide at 8:1, and its double: in range only with 64 bits.
               {268435455.0 * 8, 2147483640},
               {two31 * 2, sizeof(long) > 4 ? 4294967296 : kMax}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, MATH_Round(c.x)) << c.x;
    if (!(c.x > -1e30 && c.x < 1e30)) {
      EXPECT_EQ(c.expected, MATH_Round(static_cast<float>(c.x))) << c.x;
    }
  }
  if (sizeof(long) == 4) {
    EXPECT_EQ(kMax, MATH_Round(two31 - 0.25));  // rounds up past the end
    EXPECT_EQ(kMin, MATH_Round(-two31 - 0.25));
  }
  // Truncation saturates alike and goes toward zero inside the range.
  for (const auto& c : cases) {
    if (!(c.x > -1e15 && c.x < 1e15)) {
      EXPECT_EQ(c.expected, MATH_Truncate(c.x)) << c.x;
    }
  }
  EXPECT_EQ(0, MATH_Truncate(std::nan("")));
  EXPECT_EQ(-2, MATH_Truncate(-2.9));
  EXPECT_EQ(2, MATH_Truncate(2.9f));
  EXPECT_EQ(sizeof(long) > 4 ? 3000000000.0 : kMax, MATH_Truncate(3000000000.5));
}

TEST(MATH_ClampTest, LimitsToTheRangeAndLetsTheUpperLimitWin) {
  EXPECT_EQ(3.0f, MATH_Clamp(5.0f, 0.0f, 3.0f));
  EXPECT_EQ(0.0f, MATH_Clamp(-1.0f, 0.0f, 3.0f));
  EXPECT_EQ(2.5f, MATH_Clamp(2.5f, 0.0f, 3.0f));
  EXPECT_EQ(short(3), MATH_Clamp<short>(5, 0, 3));
  EXPECT_EQ(short(0), MATH_Clamp<short>(-1, 0, 3));
  EXPECT_EQ(short(-4), MATH_Clamp<short>(-4, -10, -2));
  EXPECT_EQ(short(1), MATH_Clamp<short>(7, 5, 1));   // lo above hi: hi
  EXPECT_EQ(short(1), MATH_Clamp<short>(-7, 5, 1));  // lo above hi: hi
}

}  // namespace
