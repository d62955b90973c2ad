#include "UMAC/UMAC_TextUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(UMAC_CFStringToWString, OneWideCharacterPerUnit) {
  struct Case {
    std::u16string units;
    GLIB_WString expected;
  };
  Case const cases[] = {
      {u"", GLIB_WString()},
      {u"Front", GLIB_WString(L"Front")},
      {u"\u00e9\u2022\uffff", GLIB_WString(L"\u00e9\u2022\uffff")},
      // A surrogate pair stays two characters.
      {u"\U0001F600",
       GLIB_WString(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)})},
  };
  long const live = StandIn_CFLiveObjectCount();
  for (Case const& c : cases) {
    CFStringRef const text = CFStringCreateWithCharacters(
        kCFAllocatorDefault, reinterpret_cast<UniChar const*>(c.units.data()),
        static_cast<CFIndex>(c.units.size()));
    ASSERT_NE(nullptr, text);
    GLIB_WString result(L"old content");
    UMAC_CFStringToWString(result, text);
    EXPECT_EQ(c.expected, result);
    // The text stays the caller's.
    EXPECT_EQ(1, CFGetRetainCount(text));
    CFRelease(text);
  }
  EXPECT_EQ(live, StandIn_CFLiveObjectCount());
}

}  // namespace
