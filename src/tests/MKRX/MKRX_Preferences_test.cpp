// The preferences store: defaults (with the palettes placed from their nib windows), every kind of
// stored value in its written and its raw form, the older keys, and what a save leaves.
#include "MKRX/MKRX_Preferences.h"

#include "IMPN/IMPN_Preferences.h"

#include "TempFolder.h"
#include "TestBundle.h"
#include "support/MKRX_PaletteNibs.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CGDirectDisplay.h>
#include <CoreServices/Folders.h>
#include <HIToolbox/IBCarbonRuntime.h>
#include <PPx/PPxExceptions.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using P = IMPN_Preferences;
using M = MKRX_Preferences;

// A CF value made for a test, released with the holder.
class Value {
public:
  explicit Value(CFTypeRef object) : m_Object(object) {}
  Value(Value&& other) noexcept : m_Object(std::exchange(other.m_Object, nullptr)) {}
  Value(Value const&) = delete;
  Value& operator=(Value const&) = delete;
  ~Value() {
    if (m_Object)
      CFRelease(m_Object);
  }
  CFTypeRef Get() const { return m_Object; }

private:
  CFTypeRef m_Object;
};

Value Number(std::int64_t value) {
  return Value(CFNumberCreate(nullptr, kCFNumberSInt64Type, &value));
}
Value Number32(std::int32_t value) {
  return Value(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
}
Value Real(double value) {
  return Value(CFNumberCreate(nullptr, kCFNumberDoubleType, &value));
}
Value Data(std::vector<std::uint8_t> const& bytes) {
  return Value(CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size())));
}
// The bytes of 32-bit numbers as this machine keeps them.
Value HostData(std::vector<std::int32_t> const& numbers) {
  std::vector<std::uint8_t> bytes(numbers.size() * sizeof(std::int32_t));
  std::memcpy(bytes.data(), numbers.data(), bytes.size());
  return Data(bytes);
}
Value Text(const char* text) {
  return Value(CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
}
Value Dictionary(std::vector<std::pair<const char*, std::int64_t>> const& entries) {
  CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (auto const& [name, number] : entries)
    CFDictionarySetValue(dictionary, Text(name).Get(), Number(number).Get());
  return Value(dictionary);
}

CFStringRef Key(std::string const& name) {
  return CFSTR(name.c_str());
}

void Put(std::string const& key, Value const& value) {
  CFPreferencesSetAppValue(Key(key), value.Get(), kCFPreferencesCurrentApplication);
}

Value Stored(std::string const& key) {
  return Value(CFPreferencesCopyAppValue(Key(key), kCFPreferencesCurrentApplication));
}

// The 25 keys in the order of loading and saving.
const char* const kKeys[] = {
    "PageEdgeColor",           "BleedEdgeColor",          "PressSheetEdgeColor",
    "TypeSafetyEdgeColor",     "ShowImpositionOnOpen",    "DefaultSpotColor",
    "DefaultSurfaceColor",     "PlateEdgeColor",          "NavigationFrame",
    "NavigationScreen",        "ZoomToFitWindowOnOpen",   "RotateUprightOnOpen",
    "PreferredLinearUnits",    "LinearUnitPrecision",     "AngularUnitPrecision",
    "GuideLineColor",          "ToolTrackingColor",       "NavigationWindowBounds",
    "NavigationWindowVisible", "SeparationWindowBounds",  "SeparationWindowVisible",
    "MeasurementWindowBounds", "ShowImageTileBoundaries", "ShowSplashScreen",
    "UnifiedTitleAndToolbar"};

class MKRX_PreferencesTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_Bundle = std::make_unique<TestBundle>("");
    AddPaletteNibs(*m_Bundle);
    m_Screen = StandIn_MainScreen();
    StandIn_Screen screen;
    screen.width = 1280;
    screen.height = 800;
    screen.menuBarHeight = 22;
    StandIn_SetMainScreen(screen);
    StandIn_SetFolder(kPreferencesFolderType, m_Preferences.Path().c_str());
    StandIn_CFPreferencesSetCurrentApplication("com.nolt.krx.tests");
    StandIn_CFPreferencesForget();
  }

  void TearDown() override {
    StandIn_CFPreferencesForget();
    StandIn_CFPreferencesSetCurrentApplication(nullptr);
    StandIn_SetFolder(kPreferencesFolderType, nullptr);
    StandIn_SetMainScreen(m_Screen);
  }

private:
  std::unique_ptr<TestBundle> m_Bundle;
  TempFolder m_Preferences{"prefs"};
  StandIn_Screen m_Screen;
};

void ExpectSharedDefaults() {
  EXPECT_EQ(IMPN_RGBColor8(0, 0, 255), P::sm_PageEdgeColor);
  EXPECT_EQ(IMPN_RGBColor8(255, 0, 0), P::sm_BleedEdgeColor);
  EXPECT_EQ(IMPN_RGBColor8(0, 255, 0), P::sm_PressSheetEdgeColor);
  EXPECT_EQ(IMPN_RGBColor8(255, 255, 0), P::sm_TypeSafetyEdgeColor);
  EXPECT_FALSE(P::sm_ShowImpositionOnOpen);
  EXPECT_EQ(IMPN_RGBColor8(153, 153, 153), P::sm_DefaultSpotColor);
  EXPECT_EQ(IMPN_RGBColor8(255, 255, 255), P::sm_DefaultSurfaceColor);
  EXPECT_EQ(IMPN_RGBColor8(153, 153, 153), P::sm_PlateEdgeColor);
  EXPECT_EQ(IMPN_RGBAColor8(255, 255, 0, 100), P::sm_NavigationFrame);
  EXPECT_EQ(IMPN_RGBAColor8(255, 255, 255, 60), P::sm_NavigationScreen);
  EXPECT_FALSE(P::sm_ZoomToFitWindowOnOpen);
  EXPECT_FALSE(P::sm_RotateUprightOnOpen);
  EXPECT_EQ(0, P::sm_PreferredLinearUnits);
  EXPECT_EQ(2, P::sm_LinearUnitPrecision);
  EXPECT_EQ(1, P::sm_AngularUnitPrecision);
  EXPECT_EQ(IMPN_RGBColor8(0, 255, 255), P::sm_GuideLineColor);
  EXPECT_EQ(IMPN_RGBAColor8(255, 115, 67, 40), P::sm_ToolTrackingColor);
}

TEST_F(MKRX_PreferencesTest, AFreshUserGetsEveryDefaultAndThePalettesAtTheTopRight) {
  // Something else first, so that the load visibly puts every value back.
  P::sm_PageEdgeColor = IMPN_RGBColor8(1, 2, 3);
  P::sm_LinearUnitPrecision = 5;
  M::sm_ShowSplashScreen = false;
  M::sm_ShowImageTileBoundaries = true;
  M::LoadPreferences();

  ExpectSharedDefaults();
  // 1280 x 800 under a menu bar of 22; every palette has a title bar of 22 above its content.
  // Navigation: 200 x 150; separations 220 x 300 right under it; measurement 240 x 100 over it.
  EXPECT_EQ(IMPN_RectT<long>(44, 1080, 200, 150), M::sm_NavigationWindowBounds);
  EXPECT_EQ(IMPN_RectT<long>(44 + 150 + 1 + 22, 1060, 220, 300), M::sm_SeparationWindowBounds);
  EXPECT_EQ(IMPN_RectT<long>(44, 1040, 240, 100), M::sm_MeasurementWindowBounds);
  EXPECT_TRUE(M::sm_NavigationWindowVisible);
  EXPECT_TRUE(M::sm_SeparationWindowVisible);
  EXPECT_FALSE(M::sm_ShowImageTileBoundaries);
  EXPECT_TRUE(M::sm_ShowSplashScreen);
  EXPECT_TRUE(M::sm_UnifiedTitleAndToolbar);
}

TEST_F(MKRX_PreferencesTest, PalettesWhoseWindowsCannotBeMadeSitAtTheCornerWithNoSize) {
  TestBundle empty("");  // no nib at all
  M::SetToDefaultValues();
  EXPECT_EQ(IMPN_RectT<long>(22, 1280, 0, 0), M::sm_NavigationWindowBounds);
  EXPECT_EQ(IMPN_RectT<long>(23, 1280, 0, 0), M::sm_SeparationWindowBounds);
  EXPECT_EQ(IMPN_RectT<long>(22, 1280, 0, 0), M::sm_MeasurementWindowBounds);
}

// One stored situation: the keys present, and what the load must make of them.
struct StoredCase {
  const char* what;
  std::function<void()> store;
  std::function<void()> check;
};

std::vector<StoredCase> StoredCases() {
  return {
      {"colour dictionary",
       [] {
         Put("MKRX_PageEdgeColor", Dictionary({{"Red", 10}, {"Green", 20}, {"Blue", 30}}));
       },
       [] { EXPECT_EQ(IMPN_RGBColor8(10, 20, 30), P::sm_PageEdgeColor); }},
      {"colour data",
       [] {
         Put("MKRX_GuideLineColor", Data({1, 2, 3, 4}));
       },
       [] { EXPECT_EQ(IMPN_RGBColor8(1, 2, 3), P::sm_GuideLineColor); }},
      {"short colour data keeps the other bytes", [] { Put("MKRX_GuideLineColor", Data({1})); },
       [] { EXPECT_EQ(IMPN_RGBColor8(1, 255, 255), P::sm_GuideLineColor); }},
      {"empty data is nothing", [] { Put("MKRX_GuideLineColor", Data({})); },
       [] { EXPECT_EQ(IMPN_RGBColor8(0, 255, 255), P::sm_GuideLineColor); }},
      {"colour with alpha dictionary",
       [] {
         Put("MKRX_NavigationFrame",
             Dictionary({{"Red", 1}, {"Green", 2}, {"Blue", 3}, {"Alpha", 50}}));
       },
       [] { EXPECT_EQ(IMPN_RGBAColor8(1, 2, 3, 50), P::sm_NavigationFrame); }},
      {"colour with alpha data",
       [] {
         Put("MKRX_ToolTrackingColor", Data({9, 8, 7, 6, 5}));
       },
       [] { EXPECT_EQ(IMPN_RGBAColor8(9, 8, 7, 6), P::sm_ToolTrackingColor); }},
      {"colour without alpha is no colour with alpha",
       [] {
         Put("MKRX_NavigationScreen", Dictionary({{"Red", 1}, {"Green", 2}, {"Blue", 3}}));
       },
       [] { EXPECT_EQ(IMPN_RGBAColor8(255, 255, 255, 60), P::sm_NavigationScreen); }},
      {"numbers",
       [] {
         Put("MKRX_PreferredLinearUnits", Number32(3));
         Put("MKRX_LinearUnitPrecision", Number(5));
         Put("MKRX_AngularUnitPrecision", HostData({4}));
       },
       [] {
         EXPECT_EQ(3, P::sm_PreferredLinearUnits);
         EXPECT_EQ(5, P::sm_LinearUnitPrecision);
         EXPECT_EQ(4, P::sm_AngularUnitPrecision);
       }},
      {"flags",
       [] {
         Put("MKRX_ShowImpositionOnOpen", Value(kCFBooleanTrue));
         Put("MKRX_ZoomToFitWindowOnOpen", Data({1}));
         Put("MKRX_ShowSplashScreen", Data({0}));
         Put("MKRX_UnifiedTitleAndToolbar", Value(kCFBooleanFalse));
       },
       [] {
         EXPECT_TRUE(P::sm_ShowImpositionOnOpen);
         EXPECT_TRUE(P::sm_ZoomToFitWindowOnOpen);
         EXPECT_FALSE(M::sm_ShowSplashScreen);
         EXPECT_FALSE(M::sm_UnifiedTitleAndToolbar);
       }},
      {"rectangles",
       [] {
         Put("MKRX_NavigationWindowBounds",
             Dictionary({{"Top", 10}, {"Left", -20}, {"Width", 30}, {"Height", 40}}));
         Put("MKRX_SeparationWindowBounds", HostData({1, 2, 3, 4}));
         Put("MKRX_MeasurementWindowBounds", HostData({5, 6}));
       },
       [] {
         EXPECT_EQ(IMPN_RectT<long>(10, -20, 30, 40), M::sm_NavigationWindowBounds);
         EXPECT_EQ(IMPN_RectT<long>(1, 2, 3, 4), M::sm_SeparationWindowBounds);
         EXPECT_EQ(IMPN_RectT<long>(5, 6, 240, 100), M::sm_MeasurementWindowBounds);
       }},
      {"older keys",
       [] {
         Put("CKRX_PageEdgeColor", Dictionary({{"Red", 7}, {"Green", 8}, {"Blue", 9}}));
         Put("CKRX_NavigationScreen", Data({1, 2, 3, 4}));
         Put("CKRX_SeparationWindowVisible", Value(kCFBooleanFalse));
         Put("CKRX_ShowImageTileBoundaries", Data({1}));
       },
       [] {
         EXPECT_EQ(IMPN_RGBColor8(7, 8, 9), P::sm_PageEdgeColor);
         EXPECT_EQ(IMPN_RGBAColor8(1, 2, 3, 4), P::sm_NavigationScreen);
         EXPECT_FALSE(M::sm_SeparationWindowVisible);
         EXPECT_TRUE(M::sm_ShowImageTileBoundaries);
       }},
      {"older numbers are byte-reversed",
       [] {
         Put("CKRX_LinearUnitPrecision", Data({0, 0, 0, 3}));
         Put("CKRX_PreferredLinearUnits", Number32(0x02000000));
         Put("CKRX_AngularUnitPrecision", HostData({0x04000000}));
       },
       [] {
         EXPECT_EQ(3, P::sm_LinearUnitPrecision);
         EXPECT_EQ(2, P::sm_PreferredLinearUnits);
         EXPECT_EQ(4, P::sm_AngularUnitPrecision);
       }},
      {"the new key wins over the older one",
       [] {
         Put("MKRX_PageEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}, {"Blue", 1}}));
         Put("CKRX_PageEdgeColor", Dictionary({{"Red", 2}, {"Green", 2}, {"Blue", 2}}));
         Put("MKRX_LinearUnitPrecision", Number(4));
         Put("CKRX_LinearUnitPrecision", Number32(0x05000000));
       },
       [] {
         EXPECT_EQ(IMPN_RGBColor8(1, 1, 1), P::sm_PageEdgeColor);
         EXPECT_EQ(4, P::sm_LinearUnitPrecision);
       }},
      {"an incomplete dictionary is ignored",
       [] {
         Put("MKRX_PageEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}}));
         Put("MKRX_BleedEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}}));
         Put("CKRX_BleedEdgeColor", Dictionary({{"Red", 6}, {"Green", 6}, {"Blue", 6}}));
         Put("MKRX_NavigationWindowBounds", Dictionary({{"Top", 1}, {"Left", 1}, {"Width", 1}}));
       },
       [] {
         EXPECT_EQ(IMPN_RGBColor8(0, 0, 255), P::sm_PageEdgeColor);
         EXPECT_EQ(IMPN_RGBColor8(6, 6, 6), P::sm_BleedEdgeColor);
         EXPECT_EQ(IMPN_RectT<long>(44, 1080, 200, 150), M::sm_NavigationWindowBounds);
       }},
      {"a component keeps its low 8 bits",
       [] {
         Put("MKRX_BleedEdgeColor", Dictionary({{"Red", 300}, {"Green", -1}, {"Blue", 256}}));
       },
       [] { EXPECT_EQ(IMPN_RGBColor8(44, 255, 0), P::sm_BleedEdgeColor); }},
      {"keys without an older form",
       [] {
         Put("CKRX_TypeSafetyEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}, {"Blue", 1}}));
         Put("CKRX_RotateUprightOnOpen", Value(kCFBooleanTrue));
         Put("CKRX_NavigationWindowBounds", HostData({1, 2, 3, 4}));
         Put("CKRX_SeparationWindowBounds", HostData({1, 2, 3, 4}));
         Put("CKRX_MeasurementWindowBounds", HostData({1, 2, 3, 4}));
         Put("CKRX_ShowSplashScreen", Value(kCFBooleanFalse));
         Put("CKRX_UnifiedTitleAndToolbar", Value(kCFBooleanFalse));
       },
       [] {
         EXPECT_EQ(IMPN_RGBColor8(255, 255, 0), P::sm_TypeSafetyEdgeColor);
         EXPECT_FALSE(P::sm_RotateUprightOnOpen);
         EXPECT_EQ(IMPN_RectT<long>(44, 1080, 200, 150), M::sm_NavigationWindowBounds);
         EXPECT_EQ(1060, M::sm_SeparationWindowBounds.left);
         EXPECT_EQ(1040, M::sm_MeasurementWindowBounds.left);
         EXPECT_TRUE(M::sm_ShowSplashScreen);
         EXPECT_TRUE(M::sm_UnifiedTitleAndToolbar);
       }},
      {"values of other types",
       [] {
         Put("MKRX_PageEdgeColor", Text("blue"));
         Put("MKRX_ShowSplashScreen", Number(0));
         Put("MKRX_LinearUnitPrecision", Real(3.0));
         Put("MKRX_BleedEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}}));
         CFMutableDictionaryRef colour = CFDictionaryCreateMutable(
             nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
         CFDictionarySetValue(colour, CFSTR("Red"), Number(1).Get());
         CFDictionarySetValue(colour, CFSTR("Green"), Number(1).Get());
         CFDictionarySetValue(colour, CFSTR("Blue"), Real(1.0).Get());
         Put("MKRX_GuideLineColor", Value(colour));
       },
       [] { ExpectSharedDefaults(); }},
  };
}

TEST_F(MKRX_PreferencesTest, EachKindIsReadFromItsDictionaryItsDataOrItsOlderKey) {
  for (StoredCase const& c : StoredCases()) {
    SCOPED_TRACE(c.what);
    StandIn_CFPreferencesForget();
    c.store();
    M::LoadPreferences();
    c.check();
  }
}

// Values that would reach their users unchecked keep their defaults (or the older key's value).
TEST_F(MKRX_PreferencesTest, ValuesItsUsersCannotTakeKeepTheirDefaults) {
  const std::int64_t kAllOnes32 = 0xFFFFFFFFll;
  const std::vector<StoredCase> cases = {
      {"unit 7", [] { Put("MKRX_PreferredLinearUnits", Number(7)); },
       [] { EXPECT_EQ(0, P::sm_PreferredLinearUnits); }},
      {"negative unit", [] { Put("MKRX_PreferredLinearUnits", HostData({-1})); },
       [] { EXPECT_EQ(0, P::sm_PreferredLinearUnits); }},
      {"precision 99", [] { Put("MKRX_LinearUnitPrecision", Number(99)); },
       [] { EXPECT_EQ(2, P::sm_LinearUnitPrecision); }},
      {"precision 7 and 6",
       [] {
         Put("MKRX_LinearUnitPrecision", Number(7));
         Put("MKRX_AngularUnitPrecision", Number(6));
       },
       [] {
         EXPECT_EQ(2, P::sm_LinearUnitPrecision);
         EXPECT_EQ(6, P::sm_AngularUnitPrecision);
       }},
      {"an older precision out of range", [] { Put("CKRX_AngularUnitPrecision", Number(9)); },
       [] { EXPECT_EQ(1, P::sm_AngularUnitPrecision); }},
      {"an unusable new number gives way to the older key",
       [] {
         Put("MKRX_PreferredLinearUnits", Number(7));
         Put("CKRX_PreferredLinearUnits", Data({0, 0, 0, 4}));
       },
       [] { EXPECT_EQ(4, P::sm_PreferredLinearUnits); }},
      {"flag byte 2", [] { Put("MKRX_RotateUprightOnOpen", Data({2})); },
       [] {
         bool const flag = P::sm_RotateUprightOnOpen;
         unsigned char byte = 0;
         std::memcpy(&byte, &flag, 1);
         EXPECT_EQ(1, byte);
       }},
      {"2^32 - 1 in 64 bits is no -1",
       [=] {
         Put("MKRX_PreferredLinearUnits", Number(kAllOnes32));
         Put("MKRX_NavigationWindowBounds",
             Dictionary({{"Top", kAllOnes32}, {"Left", 1}, {"Width", 1}, {"Height", 1}}));
         Put("MKRX_PageEdgeColor", Dictionary({{"Red", kAllOnes32}, {"Green", 0}, {"Blue", 0}}));
       },
       [] {
         EXPECT_EQ(0, P::sm_PreferredLinearUnits);
         EXPECT_EQ(IMPN_RectT<long>(44, 1080, 200, 150), M::sm_NavigationWindowBounds);
         EXPECT_EQ(IMPN_RGBColor8(0, 0, 255), P::sm_PageEdgeColor);
       }},
      {"64-bit numbers that fit 32 bits",
       [] {
         Put("MKRX_NavigationWindowBounds",
             Dictionary(
                 {{"Top", -2147483648ll}, {"Left", 2147483647ll}, {"Width", 1}, {"Height", 1}}));
       },
       [] {
         EXPECT_EQ(IMPN_RectT<long>(-2147483648l, 2147483647l, 1, 1), M::sm_NavigationWindowBounds);
       }},
  };
  for (StoredCase const& c : cases) {
    SCOPED_TRACE(c.what);
    StandIn_CFPreferencesForget();
    c.store();
    M::LoadPreferences();
    c.check();
  }
}

TEST_F(MKRX_PreferencesTest, ASaveWritesAll25KeysAndReadsBackTheSame) {
  Put("CKRX_PageEdgeColor", Dictionary({{"Red", 7}, {"Green", 8}, {"Blue", 9}}));
  Put("MKRX_RotateUprightOnOpen", Data({2}));
  M::LoadPreferences();
  P::sm_ToolTrackingColor = IMPN_RGBAColor8(1, 2, 3, 4);
  P::sm_AngularUnitPrecision = 5;
  M::sm_SeparationWindowBounds = IMPN_RectT<long>(-5, 6, 7, 8);
  M::sm_NavigationWindowVisible = false;
  M::SavePreferences();

  for (const char* name : kKeys) {
    EXPECT_NE(nullptr, Stored(std::string("MKRX_") + name).Get()) << name;
  }
  // The older key is only read.
  EXPECT_NE(nullptr, Stored("CKRX_PageEdgeColor").Get());
  EXPECT_EQ(kCFBooleanTrue, Stored("MKRX_RotateUprightOnOpen").Get());

  // From the file, as the next run reads it.
  StandIn_CFPreferencesForget();
  P::SetToDefaultValues();
  M::LoadPreferences();
  EXPECT_EQ(IMPN_RGBColor8(7, 8, 9), P::sm_PageEdgeColor);
  EXPECT_TRUE(P::sm_RotateUprightOnOpen);
  EXPECT_EQ(IMPN_RGBAColor8(1, 2, 3, 4), P::sm_ToolTrackingColor);
  EXPECT_EQ(5, P::sm_AngularUnitPrecision);
  EXPECT_EQ(IMPN_RectT<long>(-5, 6, 7, 8), M::sm_SeparationWindowBounds);
  EXPECT_FALSE(M::sm_NavigationWindowVisible);
  EXPECT_EQ(IMPN_RectT<long>(44, 1080, 200, 150), M::sm_NavigationWindowBounds);
}

TEST_F(MKRX_PreferencesTest, EachKindIsWrittenInItsOwnEncoding) {
  M::SaveData(CFSTR("MKRX_A"), IMPN_RGBColor8(1, 2, 255));
  M::SaveData(CFSTR("MKRX_B"), IMPN_RGBAColor8(4, 5, 6, 100));
  M::SaveData(CFSTR("MKRX_C"), IMPN_RectT<long>(-1, 2, 3, 4));
  M::SaveData(CFSTR("MKRX_D"), std::int32_t(-7));
  M::SaveData(CFSTR("MKRX_E"), true);

  // (The preferences keep numbers as plain integers, so the type a number was made with does not
  // come back.)
  struct Expected {
    const char* key;
    std::vector<std::pair<const char*, std::int32_t>> entries;
  };
  const Expected dictionaries[] = {
      {"MKRX_A", {{"Red", 1}, {"Green", 2}, {"Blue", 255}}},
      {"MKRX_B", {{"Red", 4}, {"Green", 5}, {"Blue", 6}, {"Alpha", 100}}},
      {"MKRX_C", {{"Top", -1}, {"Left", 2}, {"Width", 3}, {"Height", 4}}}};
  for (Expected const& e : dictionaries) {
    SCOPED_TRACE(e.key);
    Value stored = Stored(e.key);
    ASSERT_NE(nullptr, stored.Get());
    ASSERT_EQ(CFDictionaryGetTypeID(), CFGetTypeID(stored.Get()));
    auto dictionary = static_cast<CFDictionaryRef>(stored.Get());
    EXPECT_EQ(static_cast<CFIndex>(e.entries.size()), CFDictionaryGetCount(dictionary));
    for (auto const& [name, expected] : e.entries) {
      auto number = static_cast<CFNumberRef>(CFDictionaryGetValue(dictionary, Key(name)));
      ASSERT_NE(nullptr, number) << name;
      std::int32_t value = 0;
      EXPECT_TRUE(CFNumberGetValue(number, kCFNumberSInt32Type, &value)) << name;
      EXPECT_EQ(expected, value) << name;
    }
  }
  Value number = Stored("MKRX_D");
  ASSERT_EQ(CFNumberGetTypeID(), CFGetTypeID(number.Get()));
  std::int32_t value = 0;
  EXPECT_TRUE(
      CFNumberGetValue(static_cast<CFNumberRef>(number.Get()), kCFNumberSInt32Type, &value));
  EXPECT_EQ(-7, value);
  EXPECT_EQ(kCFBooleanTrue, Stored("MKRX_E").Get());
}

TEST_F(MKRX_PreferencesTest, LoadDataLeavesItsTargetWhenNothingUsableIsStored) {
  Put("MKRX_Text", Text("x"));
  bool flag = true;
  IMPN_RGBColor8 colour(1, 2, 3);
  IMPN_RGBAColor8 colourWithAlpha(1, 2, 3, 4);
  std::int32_t number = 9;
  IMPN_RectT<long> rectangle(1, 2, 3, 4);
  for (const char* key : {"MKRX_Missing", "MKRX_Text"}) {
    SCOPED_TRACE(key);
    EXPECT_FALSE(M::LoadData(Key(key), flag));
    EXPECT_FALSE(M::LoadData(Key(key), colour));
    EXPECT_FALSE(M::LoadData(Key(key), colourWithAlpha));
    EXPECT_FALSE(M::LoadData(Key(key), number, true));
    EXPECT_FALSE(M::LoadData(Key(key), rectangle, false));
  }
  EXPECT_TRUE(flag);
  EXPECT_EQ(IMPN_RGBColor8(1, 2, 3), colour);
  EXPECT_EQ(IMPN_RGBAColor8(1, 2, 3, 4), colourWithAlpha);
  EXPECT_EQ(9, number);
  EXPECT_EQ(IMPN_RectT<long>(1, 2, 3, 4), rectangle);

  // Asked for, a rectangle comes back byte-reversed too.
  Put("MKRX_Rect", HostData({0x01000000, 0x02000000, 0x03000000, 0x04000000}));
  EXPECT_TRUE(M::LoadData(CFSTR("MKRX_Rect"), rectangle, true));
  EXPECT_EQ(IMPN_RectT<long>(1, 2, 3, 4), rectangle);
}

TEST_F(MKRX_PreferencesTest, ASaveStopsAtANumberThatCannotBeMade) {
  M::SetToDefaultValues();
  StandIn_CFFailNext("CFNumberCreate");
  try {
    M::SavePreferences();
    ADD_FAILURE() << "no exception";
  } catch (PPx::RuntimeError const& e) {
    EXPECT_STREQ("CFNumberCreate failed", e.what());
  }
  EXPECT_EQ(nullptr, Stored("MKRX_PageEdgeColor").Get());
  EXPECT_EQ(nullptr, Stored("MKRX_UnifiedTitleAndToolbar").Get());
  // The next save goes through.
  M::SavePreferences();
  EXPECT_NE(nullptr, Stored("MKRX_UnifiedTitleAndToolbar").Get());
}

TEST_F(MKRX_PreferencesTest, LoadingAndSavingLeaveNoObjectBehind) {
  Put("MKRX_PageEdgeColor", Dictionary({{"Red", 1}, {"Green", 1}, {"Blue", 1}}));
  Put("CKRX_LinearUnitPrecision", Data({0, 0, 0, 3}));
  M::LoadPreferences();  // makes the keys' constant strings once
  M::SavePreferences();
  const long objects = StandIn_CFLiveObjectCount();
  const long windows = StandIn_WindowLiveCount();
  const long nibs = StandIn_NibLiveCount();
  M::LoadPreferences();
  M::SavePreferences();
  EXPECT_EQ(objects, StandIn_CFLiveObjectCount());
  EXPECT_EQ(windows, StandIn_WindowLiveCount());
  EXPECT_EQ(nibs, StandIn_NibLiveCount());
}

}  // namespace
