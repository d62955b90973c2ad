#include "WKRX/WKRX_Preferences.h"

#include "IMPN/IMPN_Preferences.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

// A key of the test's own, removed before and after each test.
class PreferencesStore : public ::testing::Test {
protected:
  void SetUp() override {
    m_Path = GLIB_WString(WKRX_Preferences::kRegistryKeyPath) + L" Test " +
             std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_Path.c_str());
    WKRX_Preferences::SetRegistryKeyPath(m_Path);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, m_Path.c_str());
    WKRX_Preferences::SetRegistryKeyPath(GLIB_WString());
    WKRX_Preferences::SetToDefaultValues();
  }

  bool KeyExists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_Path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }
  DWORD ValueCount() const {
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, m_Path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                       nullptr, nullptr, nullptr);
      RegCloseKey(key);
    }
    return count;
  }
  // The stored bytes of "WKRX_" + name, and their type.
  Bytes Stored(const wchar_t* name, DWORD* type = nullptr) const {
    Bytes bytes(4096);
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD storedType = REG_NONE;
    if (RegGetValueW(HKEY_CURRENT_USER, m_Path.c_str(), (L"WKRX_" + std::wstring(name)).c_str(),
                     RRF_RT_ANY | RRF_NOEXPAND, &storedType, bytes.data(), &size) != ERROR_SUCCESS)
      return {};
    bytes.resize(size);
    if (type != nullptr)
      *type = storedType;
    return bytes;
  }
  void Store(const wchar_t* name, DWORD type, const Bytes& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_Path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, (L"WKRX_" + std::wstring(name)).c_str(), 0, type, bytes.data(),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
  }
  void DeleteValue(const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, m_Path.c_str(), (L"WKRX_" + std::wstring(name)).c_str());
  }

  // Every preference away from its default.
  static void SetEveryValue() {
    using P = IMPN_Preferences;
    P::sm_PageEdgeColor = IMPN_RGBColor8(1, 2, 3);
    P::sm_BleedEdgeColor = IMPN_RGBColor8(4, 5, 6);
    P::sm_PressSheetEdgeColor = IMPN_RGBColor8(7, 8, 9);
    P::sm_TypeSafetyEdgeColor = IMPN_RGBColor8(10, 11, 12);
    P::sm_ShowImpositionOnOpen = true;
    P::sm_DefaultSpotColor = IMPN_RGBColor8(13, 14, 15);
    P::sm_DefaultSurfaceColor = IMPN_RGBColor8(16, 17, 18);
    P::sm_GuideLineColor = IMPN_RGBColor8(19, 20, 21);
    P::sm_NavigationFrame = IMPN_RGBAColor8(22, 23, 24, 25);
    P::sm_NavigationScreen = IMPN_RGBAColor8(26, 27, 28, 100);
    P::sm_ZoomToFitWindowOnOpen = true;
    P::sm_RotateUprightOnOpen = true;
    P::sm_PreferredLinearUnits = 4;
    P::sm_LinearUnitPrecision = 6;
    P::sm_AngularUnitPrecision = 0;
    WKRX_Preferences::sm_PreviousFolderPath = L"C:\\Jobs\\Spring";
    WKRX_Preferences::sm_ShowTileBoundaries = true;
  }
  static void ExpectEveryValue() {
    using P = IMPN_Preferences;
    EXPECT_EQ(P::sm_PageEdgeColor, IMPN_RGBColor8(1, 2, 3));
    EXPECT_EQ(P::sm_BleedEdgeColor, IMPN_RGBColor8(4, 5, 6));
    EXPECT_EQ(P::sm_PressSheetEdgeColor, IMPN_RGBColor8(7, 8, 9));
    EXPECT_EQ(P::sm_TypeSafetyEdgeColor, IMPN_RGBColor8(10, 11, 12));
    EXPECT_TRUE(P::sm_ShowImpositionOnOpen);
    EXPECT_EQ(P::sm_DefaultSpotColor, IMPN_RGBColor8(13, 14, 15));
    EXPECT_EQ(P::sm_DefaultSurfaceColor, IMPN_RGBColor8(16, 17, 18));
    EXPECT_EQ(P::sm_GuideLineColor, IMPN_RGBColor8(19, 20, 21));
    EXPECT_EQ(P::sm_NavigationFrame, IMPN_RGBAColor8(22, 23, 24, 25));
    EXPECT_EQ(P::sm_NavigationScreen, IMPN_RGBAColor8(26, 27, 28, 100));
    EXPECT_TRUE(P::sm_ZoomToFitWindowOnOpen);
    EXPECT_TRUE(P::sm_RotateUprightOnOpen);
    EXPECT_EQ(P::sm_PreferredLinearUnits, 4);
    EXPECT_EQ(P::sm_LinearUnitPrecision, 6);
    EXPECT_EQ(P::sm_AngularUnitPrecision, 0);
    EXPECT_EQ(WKRX_Preferences::sm_PreviousFolderPath, GLIB_WString(L"C:\\Jobs\\Spring"));
    EXPECT_TRUE(WKRX_Preferences::sm_ShowTileBoundaries);
  }

  GLIB_WString m_Path;
};

TEST_F(PreferencesStore, AFirstStartMakesAnEmptyKeyAndTheFirstSaveFillsIt) {
  SetEveryValue();
  WKRX_Preferences::LoadPreferences();
  EXPECT_TRUE(KeyExists());
  EXPECT_EQ(ValueCount(), 0u);
  EXPECT_EQ(IMPN_Preferences::sm_GuideLineColor, IMPN_Preferences::kGuideLineColorDefault);
  EXPECT_EQ(IMPN_Preferences::sm_LinearUnitPrecision, 2);
  EXPECT_EQ(IMPN_Preferences::sm_AngularUnitPrecision, 1);
  EXPECT_FALSE(WKRX_Preferences::sm_ShowTileBoundaries);
  EXPECT_TRUE(WKRX_Preferences::sm_PreviousFolderPath.empty());

  WKRX_Preferences::SavePreferences();
  EXPECT_EQ(ValueCount(), 17u);
  DWORD type = REG_NONE;
  EXPECT_EQ(Stored(L"PageEdgeColor", &type), (Bytes{0xFF, 0x00, 0x00}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(Stored(L"NavigationFrame"), (Bytes{0x00, 0xFF, 0xFF, 0x64}));
  EXPECT_EQ(Stored(L"ShowImpositionOnOpen"), (Bytes{0}));
  EXPECT_EQ(Stored(L"LinearUnitPrecision"), (Bytes{2, 0, 0, 0}));
  EXPECT_EQ(Stored(L"PreviousFolderPath", &type), (Bytes{0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(PreferencesStore, SavedValuesComeBack) {
  SetEveryValue();
  WKRX_Preferences::SavePreferences();
  EXPECT_EQ(Stored(L"ShowTileBoundaries"), (Bytes{1}));
  WKRX_Preferences::SetToDefaultValues();
  WKRX_Preferences::LoadPreferences();
  ExpectEveryValue();
  // Neither stored nor changed by loading.
  EXPECT_EQ(IMPN_Preferences::sm_PlateEdgeColor, IMPN_Preferences::kPlateEdgeColorDefault);
  EXPECT_EQ(IMPN_Preferences::sm_ToolTrackingColor, IMPN_Preferences::kToolTrackingColorDefault);
}

TEST_F(PreferencesStore, AMissingValueKeepsItsDefault) {
  SetEveryValue();
  WKRX_Preferences::SavePreferences();
  DeleteValue(L"GuideLineColor");
  WKRX_Preferences::LoadPreferences();
  EXPECT_EQ(IMPN_Preferences::sm_GuideLineColor, IMPN_Preferences::kGuideLineColorDefault);
  EXPECT_EQ(IMPN_Preferences::sm_DefaultSurfaceColor, IMPN_RGBColor8(16, 17, 18));
}

TEST_F(PreferencesStore, AFactoryResetWritesEveryDefault) {
  SetEveryValue();
  WKRX_Preferences::SavePreferences();
  WKRX_Preferences::ResetToFactoryDefaults();
  EXPECT_EQ(ValueCount(), 17u);
  EXPECT_EQ(Stored(L"PreviousFolderPath"), (Bytes{0, 0}));
  EXPECT_EQ(Stored(L"ShowTileBoundaries"), (Bytes{0}));
  EXPECT_EQ(Stored(L"PreferredLinearUnits"), (Bytes{0, 0, 0, 0}));
  SetEveryValue();
  WKRX_Preferences::LoadPreferences();
  EXPECT_EQ(IMPN_Preferences::sm_PageEdgeColor, IMPN_Preferences::kPageEdgeColorDefault);
  EXPECT_TRUE(WKRX_Preferences::sm_PreviousFolderPath.empty());
}

TEST_F(PreferencesStore, AKeyThatCannotBeOpenedLeavesTheDefaultsAndWritesNothing) {
  // No key name may be longer than 255 characters.
  WKRX_Preferences::SetRegistryKeyPath(m_Path + L"\\" + std::wstring(300, L'k'));
  SetEveryValue();
  WKRX_Preferences::SavePreferences();
  WKRX_Preferences::LoadPreferences();
  EXPECT_EQ(IMPN_Preferences::sm_PageEdgeColor, IMPN_Preferences::kPageEdgeColorDefault);
  EXPECT_EQ(ValueCount(), 0u);
}

Bytes Text(const std::wstring& text, bool terminated) {
  Bytes bytes(reinterpret_cast<const BYTE*>(text.c_str()),
              reinterpret_cast<const BYTE*>(text.c_str() + text.size() + (terminated ? 1 : 0)));
  return bytes;
}

// A stored value: only the table's type and size, in range, is taken; anything else leaves the
// default while the other values still load.
struct HostileValue {
  const char* what;
  const wchar_t* name;
  DWORD type;
  Bytes bytes;
  bool taken;
};

class HostileValues : public PreferencesStore,
                      public ::testing::WithParamInterface<HostileValue> {};

TEST_P(HostileValues, OnlyWellFormedValuesAreTaken) {
  const HostileValue& value = GetParam();
  SetEveryValue();
  WKRX_Preferences::SavePreferences();
  Store(value.name, value.type, value.bytes);
  WKRX_Preferences::SetToDefaultValues();
  WKRX_Preferences::LoadPreferences();

  using P = IMPN_Preferences;
  const std::wstring name = value.name;
  if (name == L"PageEdgeColor") {
    EXPECT_EQ(P::sm_PageEdgeColor != P::kPageEdgeColorDefault, value.taken);
  } else if (name == L"NavigationFrame") {
    EXPECT_EQ(P::sm_NavigationFrame != P::kNavigationFrameDefault, value.taken);
  } else if (name == L"ShowImpositionOnOpen") {
    EXPECT_EQ(P::sm_ShowImpositionOnOpen, value.taken);
    // The flag's byte is kept as a true bool, whatever was stored.
    const unsigned char raw = *reinterpret_cast<const unsigned char*>(&P::sm_ShowImpositionOnOpen);
    EXPECT_LE(raw, 1);
  } else if (name == L"PreferredLinearUnits") {
    EXPECT_EQ(P::sm_PreferredLinearUnits != 0, value.taken);
  } else if (name == L"LinearUnitPrecision") {
    EXPECT_EQ(P::sm_LinearUnitPrecision != 2, value.taken);
  } else if (name == L"AngularUnitPrecision") {
    EXPECT_EQ(P::sm_AngularUnitPrecision != 1, value.taken);
  } else if (name == L"PreviousFolderPath") {
    EXPECT_EQ(!WKRX_Preferences::sm_PreviousFolderPath.empty(), value.taken);
  }
  // The neighbours still load.
  EXPECT_EQ(P::sm_BleedEdgeColor, IMPN_RGBColor8(4, 5, 6));
  EXPECT_TRUE(WKRX_Preferences::sm_ShowTileBoundaries);
}

const std::wstring kLongPath(1024, L'p');

INSTANTIATE_TEST_SUITE_P(
    Registry, HostileValues,
    ::testing::Values(
        HostileValue{"colour", L"PageEdgeColor", REG_BINARY, {1, 2, 3}, true},
        HostileValue{"short colour", L"PageEdgeColor", REG_BINARY, {1, 2}, false},
        HostileValue{"long colour", L"PageEdgeColor", REG_BINARY, {1, 2, 3, 4}, false},
        HostileValue{"colour as text", L"PageEdgeColor", REG_SZ, {1, 2, 3}, false},
        HostileValue{"colour as number", L"PageEdgeColor", REG_DWORD, {1, 2, 3}, false},
        HostileValue{"percent 100", L"NavigationFrame", REG_BINARY, {1, 2, 3, 100}, true},
        HostileValue{"percent 101", L"NavigationFrame", REG_BINARY, {1, 2, 3, 101}, false},
        HostileValue{"percent 255", L"NavigationFrame", REG_BINARY, {1, 2, 3, 255}, false},
        HostileValue{"flag 1", L"ShowImpositionOnOpen", REG_BINARY, {1}, true},
        HostileValue{"flag 2", L"ShowImpositionOnOpen", REG_BINARY, {2}, true},
        HostileValue{"flag 0", L"ShowImpositionOnOpen", REG_BINARY, {0}, false},
        HostileValue{"flag of 2 bytes", L"ShowImpositionOnOpen", REG_BINARY, {1, 0}, false},
        HostileValue{"flag as dword", L"ShowImpositionOnOpen", REG_DWORD, {1, 0, 0, 0}, false},
        HostileValue{"unit 4", L"PreferredLinearUnits", REG_BINARY, {4, 0, 0, 0}, true},
        HostileValue{"unit 5", L"PreferredLinearUnits", REG_BINARY, {5, 0, 0, 0}, false},
        HostileValue{"unit -1", L"PreferredLinearUnits", REG_BINARY, {255, 255, 255, 255}, false},
        HostileValue{"unit of 3 bytes", L"PreferredLinearUnits", REG_BINARY, {3, 0, 0}, false},
        HostileValue{"unit of 8 bytes",
                     L"PreferredLinearUnits",
                     REG_BINARY,
                     {3, 0, 0, 0, 0, 0, 0, 0},
                     false},
        HostileValue{"unit as dword", L"PreferredLinearUnits", REG_DWORD, {3, 0, 0, 0}, false},
        HostileValue{"precision 6", L"LinearUnitPrecision", REG_BINARY, {6, 0, 0, 0}, true},
        HostileValue{"precision 7", L"LinearUnitPrecision", REG_BINARY, {7, 0, 0, 0}, false},
        HostileValue{"precision 2^24", L"LinearUnitPrecision", REG_BINARY, {0, 0, 0, 1}, false},
        HostileValue{"angular 6", L"AngularUnitPrecision", REG_BINARY, {6, 0, 0, 0}, true},
        HostileValue{"angular 7", L"AngularUnitPrecision", REG_BINARY, {7, 0, 0, 0}, false},
        HostileValue{"path", L"PreviousFolderPath", REG_SZ, Text(L"C:\\a", true), true},
        HostileValue{"longest path", L"PreviousFolderPath", REG_SZ, Text(kLongPath, true), true},
        HostileValue{"path too long", L"PreviousFolderPath", REG_SZ, Text(kLongPath + L"q", true),
                     false},
        HostileValue{"unterminated path", L"PreviousFolderPath", REG_SZ, Text(L"C:\\a", false),
                     false},
        HostileValue{"odd path", L"PreviousFolderPath", REG_SZ, {'C', 0, ':', 0, 0}, false},
        HostileValue{"path as binary", L"PreviousFolderPath", REG_BINARY, Text(L"C:\\a", true),
                     false},
        HostileValue{"expandable path", L"PreviousFolderPath", REG_EXPAND_SZ, Text(L"%TEMP%", true),
                     false}),
    [](const ::testing::TestParamInfo<HostileValue>& info) {
      std::string name;
      for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

}  // namespace
