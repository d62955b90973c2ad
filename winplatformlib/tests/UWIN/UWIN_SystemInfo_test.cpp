#include "UWIN/UWIN_SystemInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(UWIN_SystemInfoTest, VersionCodesKnowOnlyWindows2000ToVista) {
  struct Case {
    DWORD major, minor;
    int code;
  };
  for (Case const& c : {Case{5, 0, 0x500}, Case{5, 1, 0x501}, Case{5, 2, 0x502}, Case{6, 0, 0x600},
                        Case{4, 0, 0}, Case{4, 10, 0}, Case{5, 3, 0}, Case{6, 1, 0}, Case{6, 2, 0},
                        Case{6, 3, 0}, Case{10, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
    EXPECT_EQ(UWIN_OSVersionCode(c.major, c.minor), c.code);
  }
}

TEST(UWIN_SystemInfoTest, VersionIsTheSystemsUnlessOverridden) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExW(&info));
  int const system = UWIN_OSVersionCode(info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_EQ(UWIN_GetOSVersion(), system);
  {
    UWIN_OSVersionOverride windows2000(0x500);
    EXPECT_EQ(UWIN_GetOSVersion(), 0x500);
    {
      UWIN_OSVersionOverride unknown(0);
      EXPECT_EQ(UWIN_GetOSVersion(), 0);
    }
    EXPECT_EQ(UWIN_GetOSVersion(), 0x500);
  }
  EXPECT_EQ(UWIN_GetOSVersion(), system);
}

TEST(UWIN_SystemInfoTest, LanguageCodes) {
  struct Case {
    LCID locale;
    char const* code;
  };
  for (Case const& c : {
           Case{0, "en"}, Case{0x0404, "zh_tw"},  // Chinese, Taiwan
           Case{0x0804, "zh_cn"},                 // Chinese, PRC
           Case{0x0C04, "zh_cn"},                 // Chinese, Hong Kong: outside 1024 to 2047
           Case{0x1004, "zh_cn"},                 // Chinese, Singapore
           Case{0x0409, "en"},                    // English, United States
           Case{0x0809, "en"},                    // English, United Kingdom
           Case{0x0407, "de"}, Case{0x040C, "fr"}, Case{0x0410, "it"}, Case{0x0411, "ja"},
           Case{0x0C0A, "es"}, Case{0x0000FFFF, "en"},  // no such locale
       }) {
    SCOPED_TRACE(testing::Message() << std::hex << c.locale);
    EXPECT_EQ(UWIN_UILanguageCode(c.locale), c.code);
  }
}

TEST(UWIN_SystemInfoTest, LanguageCodeIsTheUsersDefaultLocales) {
  EXPECT_EQ(UWIN_GetUILanguageCode(), UWIN_UILanguageCode(GetUserDefaultLCID()));
}

}  // namespace
