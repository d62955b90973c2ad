#include "USTR/USTR_LocalizedString.h"

#include "TestBundle.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A bundle whose English strings table holds a few of the program's keys.
class USTR_MacLookup : public ::testing::Test {
protected:
  void SetUp() override {
    m_Bundle =
        std::make_unique<TestBundle>("\"CKRX_SurfaceShortNameBack\" = \"Back\";\n"
                                     "\"CKRX_SheetWindowTitleInfo\" = \"{0} \xE2\x80\xA2 Signature "
                                     "{1} \xE2\x80\xA2 Web {2} \xE2\x80\xA2 {3}\";\n"
                                     "\"CKRX_Smile\" = \"\xF0\x9F\x98\x80\";\n");
    m_LiveObjects = StandIn_CFLiveObjectCount();
  }

  void TearDown() override {
    // Every lookup releases the CFString it made.
    EXPECT_EQ(m_LiveObjects, StandIn_CFLiveObjectCount());
    m_Bundle.reset();
  }

  std::unique_ptr<TestBundle> m_Bundle;
  long m_LiveObjects = 0;
};

TEST_F(USTR_MacLookup, KnownKeysGiveTheirTexts) {
  EXPECT_EQ(USTR_String(L"Back"), iUSTR_GetLocalizedString(CFSTR("CKRX_SurfaceShortNameBack")));
  EXPECT_EQ(GLIB_WString(L"Back"), iUSTR_GetLocalizedWString(CFSTR("CKRX_SurfaceShortNameBack")));
  EXPECT_EQ(USTR_String(L"{0} \u2022 Signature {1} \u2022 Web {2} \u2022 {3}"),
            iUSTR_GetLocalizedString(USTR_LOCALIZED_KEY("CKRX_SheetWindowTitleInfo", 10107)));

  CFStringRef const text = iUSTR_GetLocalizedCFString(CFSTR("CKRX_SurfaceShortNameBack"));
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(USTR_String(L"Back"), USTR_CFStringToUString(text));
  CFRelease(text);
}

TEST_F(USTR_MacLookup, MissingKeyGivesTheKey) {
  EXPECT_EQ(USTR_String(L"CKRX_Unknown"), iUSTR_GetLocalizedString(CFSTR("CKRX_Unknown")));
  EXPECT_EQ(GLIB_WString(L"CKRX_Unknown"), iUSTR_GetLocalizedWString(CFSTR("CKRX_Unknown")));
  StandIn_SetMainBundlePath(nullptr);
  EXPECT_EQ(USTR_String(L"CKRX_SurfaceShortNameBack"),
            iUSTR_GetLocalizedString(CFSTR("CKRX_SurfaceShortNameBack")));
}

TEST_F(USTR_MacLookup, UnitsPassThroughUnchanged) {
  // A character beyond U+FFFF arrives as its two UTF-16 units in the 16-bit text, and whole as
  // one character in the wide text.
  USTR_String const units = iUSTR_GetLocalizedString(CFSTR("CKRX_Smile"));
  ASSERT_EQ(2u, units.size());
  EXPECT_EQ(0xD83D, units[0]);
  EXPECT_EQ(0xDE00, units[1]);
  GLIB_WString const wide = iUSTR_GetLocalizedWString(CFSTR("CKRX_Smile"));
  ASSERT_EQ(1u, wide.size());
  EXPECT_EQ(static_cast<wchar_t>(0x1F600), wide[0]);
}

TEST(USTR_CFString, RoundTripKeepsEveryUnit) {
  long const live = StandIn_CFLiveObjectCount();
  USTR_String original;
  for (unsigned short unit : {0x41, 0x00, 0xE9, 0xD800, 0xFFFF})
    original.push_back(unit);
  for (USTR_String const& text : {USTR_String(), original}) {
    CFStringRef const made = USTR_UStringToCFString(text);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(static_cast<CFIndex>(text.size()), CFStringGetLength(made));
    EXPECT_EQ(text, USTR_CFStringToUString(made));
    CFRelease(made);
  }
  EXPECT_EQ(live, StandIn_CFLiveObjectCount());
}

}  // namespace
