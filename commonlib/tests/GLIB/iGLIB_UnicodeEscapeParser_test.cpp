#include "GLIB/iGLIB_UnicodeEscapeParser.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_StringUtils.h"

namespace {

GLIB_WString Decode(const char* text) {
  wchar_t out[64];
  const std::size_t n = GLIB_StrUnicodeEscapedAsciiToWide(text, out, 64);
  EXPECT_EQ(n, std::wcslen(out));
  return GLIB_WString(out, n);
}

struct DecodeCase {
  const char* text;
  const wchar_t* expected;
};

class iGLIB_UnicodeEscapeParserDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(iGLIB_UnicodeEscapeParserDecode, DecodesEscapesAfterAnOddNumberOfBackslashes) {
  EXPECT_EQ(GLIB_WString(GetParam().expected), Decode(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, iGLIB_UnicodeEscapeParserDecode,
    ::testing::Values(DecodeCase{"", L""}, DecodeCase{"plain text", L"plain text"},
                      DecodeCase{"A\\u00e9B", L"A\u00e9B"}, DecodeCase{"x\\u00E9", L"x\u00e9"},
                      DecodeCase{"\\u4E2d\\u03a9", L"\u4e2d\u03a9"}, DecodeCase{"\\uuu0041", L"A"},
                      DecodeCase{"\\\\u0041", L"\\\\u0041"},  // even: kept as it is
                      // Odd: the escape is decoded; the backslashes before it go with the sequence.
                      DecodeCase{"\\\\\\u0041", L"A"}, DecodeCase{"a\\tb", L"a\\tb"},
                      DecodeCase{"ab\nc", L"ab"}, DecodeCase{"ab\r\nc", L"ab"},
                      DecodeCase{"ab\\", L"ab"}, DecodeCase{"ab\\\\", L"ab"}));

void ExpectIllegal(const char* text, const wchar_t* message) {
  wchar_t out[8] = {L'k', L'e', L'e', L'p', 0};
  try {
    GLIB_StrUnicodeEscapedAsciiToWide(text, out, 8);
    ADD_FAILURE() << "no exception for " << text;
  } catch (const GLIB_Exception& e) {
    EXPECT_EQ(1125010u, e.code()) << text;
    EXPECT_EQ(GLIB_WString(message), e.message()) << text;
  }
  EXPECT_EQ(GLIB_WString(L"keep"), out) << "output touched for " << text;
}

TEST(iGLIB_UnicodeEscapeParserErrors, IllegalEscapeNamesTheSequenceSoFar) {
  ExpectIllegal("\\u12x4", L"Illegal Unicode escape sequence \"\\u12\"");
  ExpectIllegal("ok \\ug", L"Illegal Unicode escape sequence \"\\u\"");
  ExpectIllegal("\\\\\\uu0", L"Illegal Unicode escape sequence \"\\\\\\uu0\"");
  ExpectIllegal("\\u123", L"Illegal Unicode escape sequence \"\\u123\"");  // ends too early
}

TEST(iGLIB_UnicodeEscapeParserBuffer, NullOutputGivesTheLength) {
  EXPECT_EQ(3u, GLIB_StrUnicodeEscapedAsciiToWide("a\\u00e9b", nullptr, 0));
  EXPECT_EQ(0u, GLIB_StrUnicodeEscapedAsciiToWide(nullptr, nullptr, 0));
}

TEST(iGLIB_UnicodeEscapeParserBuffer, ShortBufferIsCutAndStillTerminated) {
  const struct {
    std::size_t size;
    std::size_t count;
    const wchar_t* text;
  } cases[] = {{5, 3, L"a\u00e9b"}, {4, 3, L"a\u00e9b"}, {3, 2, L"a\u00e9"}, {1, 0, L""}};
  for (const auto& c : cases) {
    wchar_t out[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(c.count, GLIB_StrUnicodeEscapedAsciiToWide("a\\u00e9b", out, c.size)) << c.size;
    EXPECT_EQ(GLIB_WString(c.text), out) << c.size;
    EXPECT_EQ(L'#', out[c.size]) << "wrote past the buffer of " << c.size;
  }
}

TEST(iGLIB_UnicodeEscapeParserBuffer, SizeZeroTouchesNothing) {
  wchar_t out[1] = {L'#'};
  EXPECT_EQ(0u, GLIB_StrUnicodeEscapedAsciiToWide("abc", out, 0));
  EXPECT_EQ(L'#', out[0]);
}

TEST(iGLIB_UnicodeEscapeParserBytes, HighBytesAreWidenedWithTheirSign) {
  const wchar_t expected = static_cast<wchar_t>(static_cast<char>('\xE9'));
  EXPECT_EQ(GLIB_WString(1, expected), Decode("\xE9"));
}

}  // namespace
