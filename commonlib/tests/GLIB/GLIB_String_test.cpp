#include "GLIB/GLIB_String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace {

struct FormatCase {
  std::size_t size;
  int expected;
  const char* content;
};

class BoundedFormatting : public ::testing::TestWithParam<FormatCase> {};

TEST_P(BoundedFormatting, NarrowKeepsBufferTerminatedAndReportsOverflow) {
  const FormatCase& c = GetParam();
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(c.expected, GLIB_snprintf(buf, c.size, "%s", "abc"));
  if (c.content != nullptr) {
    EXPECT_STREQ(c.content, buf);
  } else {
    EXPECT_EQ('x', buf[0]);  // size 0: not written
  }
}

TEST_P(BoundedFormatting, WideKeepsBufferTerminatedAndReportsOverflow) {
  const FormatCase& c = GetParam();
  wchar_t buf[8];
  std::fill(buf, buf + 8, L'x');
  EXPECT_EQ(c.expected, GLIB_snprintf(buf, c.size, L"%d", 123));
  if (c.content != nullptr) {
    // Only the terminator is promised for truncated text; the prefix is what both flavours'
    // formatters leave.
    EXPECT_EQ(std::strlen(c.content), std::wcslen(buf));
    if (c.expected >= 0) {
      EXPECT_EQ(GLIB_WString(L"123"), GLIB_WString(buf));
    }
  } else {
    EXPECT_EQ(L'x', buf[0]);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BoundedFormatting,
                         ::testing::Values(FormatCase{8, 3, "abc"}, FormatCase{4, 3, "abc"},
                                           FormatCase{3, -1, "ab"}, FormatCase{1, -1, ""},
                                           FormatCase{0, -1, nullptr}));

TEST(BoundedFormattingNull, NullBufferGivesMinusOne) {
  EXPECT_EQ(-1, GLIB_snprintf(static_cast<char*>(nullptr), 10, "%d", 1));
  EXPECT_EQ(-1, GLIB_snprintf(static_cast<wchar_t*>(nullptr), 10, L"%d", 1));
}

struct UTF8Case {
  const char* name;
  std::vector<unsigned char> input;
  std::size_t size;
  std::vector<std::uint32_t> expected;  // units written, before the terminator
};

class UTF8ToWide : public ::testing::TestWithParam<UTF8Case> {};

TEST_P(UTF8ToWide, DecodesIntoBoundedBuffer) {
  const UTF8Case& c = GetParam();
  std::vector<char> input(c.input.begin(), c.input.end());
  input.push_back('\0');
  std::vector<wchar_t> out(c.size + 2, L'x');
  const std::size_t count = GLIB_StrUTF8ToWide(input.data(), out.data(), c.size);
  ASSERT_EQ(c.expected.size(), count);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(c.expected[i], static_cast<std::uint32_t>(out[i])) << "unit " << i;
  }
  EXPECT_EQ(L'\0', out[count]);
  EXPECT_EQ(L'x', out[c.size]) << "wrote past the buffer";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UTF8ToWide,
    ::testing::Values(
        UTF8Case{"AsciiAndTwoByte", {0x41, 0xC3, 0xA9}, 10, {0x41, 0xE9}},
        UTF8Case{"FourByteGivesSurrogatePair", {0xF0, 0x9F, 0x98, 0x80}, 10, {0xD83D, 0xDE00}},
        UTF8Case{"ThreeByte", {0xE2, 0x82, 0xAC}, 10, {0x20AC}},
        UTF8Case{"LeadByteThenEnd", {0xC3}, 10, {}},
        UTF8Case{"BadContinuationResetsOutput", {0x61, 0xC3, 0x41}, 10, {}},
        UTF8Case{"PairDoesNotFitInSizeTwo", {0xF0, 0x9F, 0x98, 0x80}, 2, {}},
        UTF8Case{"PairDoesNotFitAfterOneChar", {0x61, 0xF0, 0x9F, 0x98, 0x80}, 3, {0x61}},
        UTF8Case{"TruncatedAtRoom", {0x61, 0x62, 0x63}, 3, {0x61, 0x62}},
        UTF8Case{"LoneContinuationByteStandsForItself", {0x80, 0xBF}, 10, {0x80, 0xBF}},
        UTF8Case{"OverLongFormAccepted", {0xC1, 0x81}, 10, {0x41}},
        UTF8Case{"AboveLastCodePointRejected", {0x61, 0xF4, 0x90, 0x80, 0x80}, 10, {}},
        UTF8Case{"SixByteFormRejected", {0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}, 10, {}},
        UTF8Case{"SizeOneIsEmpty", {0x61}, 1, {}}),
    [](const ::testing::TestParamInfo<UTF8Case>& info) { return std::string(info.param.name); });

TEST(UTF8ToWideArguments, NullOrEmptyBuffers) {
  wchar_t out[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(0u, GLIB_StrUTF8ToWide("abc", nullptr, 4));
  EXPECT_EQ(0u, GLIB_StrUTF8ToWide("abc", out, 0));
  EXPECT_EQ(L'x', out[0]);
  EXPECT_EQ(0u, GLIB_StrUTF8ToWide(nullptr, out, 4));
  EXPECT_EQ(L'\0', out[0]);
}

TEST(ShortUnits, CopyBothWaysAndStopAtZero) {
  const std::uint16_t units[] = {0x41, 0xFFFF, 0xD83D, 0, 0x42};
  wchar_t wide[5] = {};
  GLIB_CopyShortToWchar(wide, units, 5);
  EXPECT_EQ(0xFFFFu, static_cast<std::uint32_t>(wide[1]));
  EXPECT_EQ(0x42u, static_cast<std::uint32_t>(wide[4]));

  std::uint16_t back[5] = {};
  GLIB_CopyWcharToShort(back, wide, 5);
  EXPECT_EQ(0, std::memcmp(units, back, sizeof units));

  std::uint16_t untouched[2] = {7, 7};
  GLIB_CopyWcharToShort(untouched, wide, 0);
  GLIB_CopyWcharToShort(untouched, wide, -3);
  EXPECT_EQ(7, untouched[0]);

  const GLIB_WString text = GLIB_WStringFromShort(units, 5);
  ASSERT_EQ(3u, text.length());
  EXPECT_EQ(0xD83Du, static_cast<std::uint32_t>(text[2]));
  EXPECT_TRUE(GLIB_WStringFromShort(units, 0).empty());
}

TEST(PascalStrings, CountIsCutToBufferAnd255) {
  const std::string longText(300, 'q');
  std::vector<unsigned char> big(1000, 0xEE);
  GLIB_CStringToPascal(longText.c_str(), big.data(), 1000);
  EXPECT_EQ(255, big[0]);
  EXPECT_EQ('q', big[255]);
  EXPECT_EQ(0xEE, big[256]) << "no terminator, nothing beyond the count";

  unsigned char one[1] = {0xEE};
  GLIB_CStringToPascal("abc", one, 1);
  EXPECT_EQ(0, one[0]);

  unsigned char three[3] = {0xEE, 0xEE, 0xEE};
  GLIB_CStringToPascal("abc", three, 3);
  EXPECT_EQ(2, three[0]);
  EXPECT_EQ('b', three[2]);

  unsigned char none[1] = {0xEE};
  GLIB_CStringToPascal("abc", none, 0);
  GLIB_CStringToPascal("abc", none, -1);
  EXPECT_EQ(0xEE, none[0]);
}

TEST(NarrowWide, NullGivesEmptyAndAsciiRoundTrips) {
  EXPECT_TRUE(GLIB_NToWString(static_cast<const char*>(nullptr)).empty());
  EXPECT_TRUE(GLIB_WToNString(static_cast<const wchar_t*>(nullptr)).empty());
  EXPECT_EQ(GLIB_WString(L"Hello, 42!"), GLIB_NToWString("Hello, 42!"));
  EXPECT_EQ(GLIB_String("Hello, 42!"), GLIB_WToNString(L"Hello, 42!"));
  EXPECT_EQ(GLIB_WString(L"abc"), GLIB_String("abc").AsWString());
  EXPECT_EQ(GLIB_String("abc"), GLIB_WString(L"abc").AsString());
  const GLIB_WString viaOperator = GLIB_String("xy");
  EXPECT_EQ(GLIB_WString(L"xy"), viaOperator);
}

TEST(NarrowWide, CharacterBothEncodingsHaveRoundTrips) {
  // e-acute exists in Mac Roman and in the Windows Latin code page.
  const GLIB_WString text(L"caf\u00e9");
  EXPECT_EQ(4u, GLIB_WToNString(text).length());
  EXPECT_EQ(text, GLIB_NToWString(GLIB_WToNString(text)));
}

TEST(NarrowWide, UnconvertibleCharacterBecomesQuestionMark) {
  EXPECT_EQ(GLIB_String("a?b"), GLIB_WToNString(L"a\u4e2db"));
}

TEST(BoundedCopy, SizeZeroTouchesNothingAndTruncationTerminates) {
  wchar_t wide[8] = {L'x', L'x'};
  char narrow[8] = {'x', 'x'};
  EXPECT_NE(wide, GLIB_StrMaxCpy(wide, "abc", 0));
  EXPECT_EQ(L'\0', *GLIB_StrMaxCpy(wide, "abc", 0));
  EXPECT_EQ(L'x', wide[0]);
  EXPECT_NE(narrow, GLIB_StrMaxCpy(narrow, L"abc", 0));
  EXPECT_EQ('x', narrow[0]);

  EXPECT_EQ(wide, GLIB_StrMaxCpy(wide, "abcdef", 4));
  EXPECT_EQ(GLIB_WString(L"abc"), GLIB_WString(wide));
  EXPECT_EQ(narrow, GLIB_StrMaxCpy(narrow, L"abcdef", 4));
  EXPECT_STREQ("abc", narrow);

  GLIB_StrMaxCpy(wide, "", 8);
  EXPECT_EQ(L'\0', wide[0]);
}

TEST(StringOperators, EqualityAndConcatenation) {
  const GLIB_WString a(L"abc");
  EXPECT_TRUE(a == GLIB_WString(L"abc"));
  EXPECT_FALSE(a == GLIB_WString(L"abcd"));
  EXPECT_TRUE(a != GLIB_WString(L"ab"));
  EXPECT_TRUE(a == L"abc");
  EXPECT_TRUE(std::wstring(L"abc") == a);
  // Equal lengths with an embedded zero still compare every character.
  EXPECT_FALSE(GLIB_WString(L"a\0b", 3) == GLIB_WString(L"a\0c", 3));

  const GLIB_String s("mid");
  const GLIB_String joined = "pre-" + s;
  EXPECT_EQ("pre-mid", joined);
  EXPECT_EQ("midmid", s + s);
  EXPECT_EQ("mid-post", s + "-post");
  EXPECT_EQ(GLIB_WString(3, L'z'), GLIB_WString(L"zzz"));
}

TEST(StringStreams, WriteNothingForEmptyOrNull) {
  GLIB_OStringStream narrow;
  narrow << GLIB_String() << GLIB_WString();
  narrow << static_cast<const wchar_t*>(nullptr);
  EXPECT_EQ("", narrow.str());
  narrow << L"wide";
  static_cast<std::ostream&>(narrow) << GLIB_String("+") << GLIB_WString(L"w");
  EXPECT_EQ("wide+w", narrow.str());

  GLIB_WOStringStream wide;
  wide << GLIB_WString();
  wide << static_cast<const char*>(nullptr);
  EXPECT_EQ(L"", wide.str());
  wide << "narrow";
  static_cast<std::wostream&>(wide) << GLIB_WString(L"+");
  EXPECT_EQ(L"narrow+", wide.str());
}

TEST(Containers, ConstructorsOfTheSpecifiedShapes) {
  const GLIB_StringVector vector(3, GLIB_String("v"));
  EXPECT_EQ(3u, vector.size());
  EXPECT_EQ("v", vector[2]);
  const GLIB_WStringList list(2);
  EXPECT_EQ(2u, list.size());
  EXPECT_TRUE(list.front().empty());
}

}  // namespace
