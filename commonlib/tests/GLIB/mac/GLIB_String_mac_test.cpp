#include "GLIB/GLIB_String.h"

#include <Carbon/TextCommon.h>
#include <CoreFoundation/CFString.h>

#include <gtest/gtest.h>

namespace {

// Runs a test in another application text encoding and puts the previous one back.
class ScopedApplicationEncoding {
public:
  explicit ScopedApplicationEncoding(TextEncoding encoding)
      : m_Previous(StandIn_SetApplicationTextEncoding(encoding)) {}
  ~ScopedApplicationEncoding() { StandIn_SetApplicationTextEncoding(m_Previous); }

private:
  TextEncoding m_Previous;
};

TEST(MacRomanText, ConvertsBothWays) {
  ASSERT_EQ(static_cast<TextEncoding>(kTextEncodingMacRoman), GetApplicationTextEncoding());
  struct Case {
    const char* narrow;
    const wchar_t* wide;
  };
  const Case cases[] = {
      {"\x8E", L"\u00e9"}, {"\xBD", L"\u03a9"}, {"\xDB", L"\u20ac"},
      {"\xF0", L"\uf8ff"}, {"\xCA", L"\u00a0"}, {"A\xA5Z", L"A\u2022Z"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GLIB_WString(c.wide), GLIB_NToWString(c.narrow)) << c.narrow;
    EXPECT_EQ(GLIB_String(c.narrow), GLIB_WToNString(c.wide)) << c.narrow;
  }
}

TEST(MacRomanText, WideCharactersAreCutToSixteenBits) {
  const wchar_t above[] = {static_cast<wchar_t>(0x10041), static_cast<wchar_t>(0x1F600), 0};
  char out[8];
  GLIB_StrMaxCpy(out, above, sizeof out);
  EXPECT_STREQ("A?", out);  // U+0041 survives, U+F600 has no Mac Roman form
}

TEST(MacRomanText, BoundedCopyStopsAtSize) {
  wchar_t wide[3];
  GLIB_StrMaxCpy(wide, "\x8E\x8E\x8E", 3);
  EXPECT_EQ(GLIB_WString(L"\u00e9\u00e9"), GLIB_WString(wide));
  char narrow[3];
  GLIB_StrMaxCpy(narrow, L"\u00e9\u00e9\u00e9", 3);
  EXPECT_STREQ("\x8E\x8E", narrow);
}

TEST(UTF8ApplicationText, MultiByteCharactersStayWhole) {
  ScopedApplicationEncoding utf8(kCFStringEncodingUTF8);
  EXPECT_EQ(GLIB_WString(L"caf\u00e9"), GLIB_NToWString("caf\xC3\xA9"));
  EXPECT_EQ(GLIB_String("\xE2\x82\xAC"), GLIB_WToNString(L"\u20ac"));

  char out[4];
  GLIB_StrMaxCpy(out, L"\u00e9\u00e9", sizeof out);  // the second one needs bytes 3 and 4
  EXPECT_STREQ("\xC3\xA9", out);
}

TEST(UTF8ApplicationText, InvalidBytesGiveEmptyText) {
  ScopedApplicationEncoding utf8(kCFStringEncodingUTF8);
  EXPECT_TRUE(GLIB_NToWString("ok\xFF").empty());
}

TEST(NarrowConversion, FailedStringCreationGivesEmptyTextAndLeaksNothing) {
  const long alive = StandIn_CFLiveObjectCount();
  StandIn_CFStringFailNextCreations(1);
  EXPECT_TRUE(GLIB_NToWString("abc").empty());
  StandIn_CFStringFailNextCreations(1);
  EXPECT_TRUE(GLIB_WToNString(L"abc").empty());
  EXPECT_EQ(GLIB_WString(L"abc"), GLIB_NToWString("abc"));
  EXPECT_EQ(alive, StandIn_CFLiveObjectCount());
}

}  // namespace
