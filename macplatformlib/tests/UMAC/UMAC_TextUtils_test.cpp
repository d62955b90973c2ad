#include "support/UMAC_LiveCounts.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_TextUtils.h"

#include <Carbon/TextCommon.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every test ends with as many CF objects alive as it began with.
class TextUtilsTest : public UMAC_LiveCountsTest {};

GLIB_WString Wide(std::initializer_list<std::uint32_t> codes) {
  GLIB_WString text;
  for (std::uint32_t const code : codes)
    text.push_back(static_cast<wchar_t>(code));
  return text;
}

CFStringRef StringOfUnits(std::u16string const& units) {
  return CFStringCreateWithCharacters(kCFAllocatorDefault,
                                      reinterpret_cast<UniChar const*>(units.data()),
                                      static_cast<CFIndex>(units.size()));
}

std::u16string UnitsOf(CFStringRef text) {
  std::vector<UniChar> units(static_cast<std::size_t>(CFStringGetLength(text)));
  CFStringGetCharacters(text, CFRangeMake(0, CFStringGetLength(text)), units.data());
  return std::u16string(units.begin(), units.end());
}

std::u16string UnitsOf(HFSUniStr255 const& name) {
  return std::u16string(name.unicode, name.unicode + name.length);
}

TEST_F(TextUtilsTest, CFStringToWideJoinsPairsAndPassesUnpairedSurrogates) {
  struct Case {
    std::u16string units;
    GLIB_WString expected;
  };
  Case const cases[] = {
      {u"", GLIB_WString()},
      {u"Front", GLIB_WString(L"Front")},
      {u"\u00e9\u2022\uffff", GLIB_WString(L"\u00e9\u2022\uffff")},
      {u"\U0001F600", Wide({0x1F600})},
      {u"a\U0001F600b\U0010FFFF", Wide({'a', 0x1F600, 'b', 0x10FFFF})},
      {u"x\xD83D", Wide({'x', 0xD83D})},                 // high surrogate at the end
      {u"\xDE00y", Wide({0xDE00, 'y'})},                 // low surrogate alone
      {u"\xD83D\xD83D\xDE00", Wide({0xD83D, 0x1F600})},  // high before a pair
      {u"\xDE00\xD83D", Wide({0xDE00, 0xD83D})},         // the halves in the wrong order
  };
  for (Case const& c : cases) {
    CFStringRef const text = StringOfUnits(c.units);
    ASSERT_NE(nullptr, text);
    GLIB_WString result(L"old content");
    UMAC_CFStringToWString(result, text);
    EXPECT_EQ(c.expected, result);
    EXPECT_EQ(c.expected, UMAC_CFStringToWString(text));
    // The text stays the caller's.
    EXPECT_EQ(1, CFGetRetainCount(text));
    CFRelease(text);
  }
}

TEST_F(TextUtilsTest, WideToCFStringWritesPairsAndComesBackWhole) {
  struct Case {
    GLIB_WString wide;
    std::u16string units;
  };
  Case const cases[] = {
      {GLIB_WString(), u""},
      {GLIB_WString(L"Cyan \u00e9\u2022"), u"Cyan \u00e9\u2022"},
      {Wide({0x1F600}), u"\U0001F600"},
      {Wide({'K', 0x10000, 0x10FFFF}), u"K\U00010000\U0010FFFF"},
      {Wide({0xD83D, 'z'}), u"\xD83D"
                            u"z"},  // an unpaired surrogate passes
  };
  for (Case const& c : cases) {
    CFStringRef const text = UMAC_WStringToCFString(c.wide);
    ASSERT_NE(nullptr, text);  // empty, not null, for ""
    EXPECT_EQ(c.units, UnitsOf(text));
    EXPECT_EQ(c.wide, UMAC_CFStringToWString(text));
    CFRelease(text);
  }
}

TEST_F(TextUtilsTest, WideValuesThatAreNoCharacterBecomeTheReplacement) {
  CFStringRef const text = UMAC_WStringToCFString(Wide({0x110000, 'a', 0xFFFFFFFFu}));
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(u"\uFFFDa\uFFFD", UnitsOf(text));
  CFRelease(text);
}

TEST_F(TextUtilsTest, AFailedCreationGivesNull) {
  StandIn_CFStringFailNextCreations(1);
  EXPECT_EQ(nullptr, UMAC_WStringToCFString(GLIB_WString(L"Black")));
}

TEST_F(TextUtilsTest, HFSNamesRoundTripWithPairs) {
  GLIB_WString const cases[] = {
      GLIB_WString(),
      GLIB_WString(L"Sheet1_Black.KRX"),
      Wide({'F', 0x1F600, '.', 'k', 'r', 'x'}),
      Wide({0xDE00, 'q'}),
  };
  for (GLIB_WString const& wide : cases) {
    HFSUniStr255 const name = UMAC_WStringToHFSUniStr(wide);
    EXPECT_EQ(wide, UMAC_HFSUniStrToWString(name));
  }
  HFSUniStr255 const smiley = UMAC_WStringToHFSUniStr(Wide({0x1F600}));
  EXPECT_EQ(u"\U0001F600", UnitsOf(smiley));
}

TEST_F(TextUtilsTest, HFSNamesTakeAtMost255UnitsAndAreNeverCut) {
  // A pair counts as two units.
  GLIB_WString const fitting[] = {GLIB_WString(255, L'n'),
                                  GLIB_WString(253, L'n') + Wide({0x1F600})};
  for (GLIB_WString const& wide : fitting) {
    HFSUniStr255 const name = UMAC_WStringToHFSUniStr(wide);
    EXPECT_EQ(255, name.length);
    EXPECT_EQ(wide, UMAC_HFSUniStrToWString(name));
  }

  GLIB_WString const tooLong[] = {GLIB_WString(256, L'n'),
                                  GLIB_WString(254, L'n') + Wide({0x1F600})};
  for (GLIB_WString const& wide : tooLong) {
    try {
      UMAC_WStringToHFSUniStr(wide);
      ADD_FAILURE() << "a name of 256 units was taken";
    } catch (UMAC_Exception const& e) {
      EXPECT_EQ(1436015u, e.code());
      EXPECT_EQ(GLIB_WString(L"Macintosh Toolbox Error"), GLIB_WString(e.message()));
      EXPECT_EQ(GLIB_WString(L"-37"), e.getDetailParameter(0));
      EXPECT_EQ(1u, e.getDetailParameters().size());
    }
  }
}

TEST_F(TextUtilsTest, ARecordClaimingMoreThan255UnitsIsReadAs255) {
  // The record sits inside a larger buffer so that a read past it would find 'X's.
  struct Padded {
    HFSUniStr255 name;
    UniChar beyond[64];
  } padded;
  padded.name.length = 300;
  std::fill(std::begin(padded.name.unicode), std::end(padded.name.unicode), UniChar('n'));
  std::fill(std::begin(padded.beyond), std::end(padded.beyond), UniChar('X'));
  EXPECT_EQ(GLIB_WString(255, L'n'), UMAC_HFSUniStrToWString(padded.name));
}

TEST_F(TextUtilsTest, NarrowTextIsInTheApplicationEncoding) {
  CFStringRef const latin = StringOfUnits(u"Caf\u00e9 \u2022 \u0416");
  EXPECT_EQ(GLIB_String("Caf\x8E \xA5 ?"), UMAC_CFStringToString(latin));  // Mac Roman
  CFStringRef const smiley = StringOfUnits(u"a\U0001F600");
  CFStringRef const empty = StringOfUnits(u"");
  TextEncoding const previous = StandIn_SetApplicationTextEncoding(kCFStringEncodingUTF8);
  EXPECT_EQ(GLIB_String("Caf\xC3\xA9 \xE2\x80\xA2 \xD0\x96"), UMAC_CFStringToString(latin));
  EXPECT_EQ(GLIB_String("a\xF0\x9F\x98\x80"), UMAC_CFStringToString(smiley));
  EXPECT_EQ(GLIB_String(), UMAC_CFStringToString(empty));
  StandIn_SetApplicationTextEncoding(previous);
  CFRelease(empty);
  CFRelease(smiley);
  CFRelease(latin);
}

}  // namespace
