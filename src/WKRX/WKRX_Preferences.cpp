#include "WKRX/WKRX_Preferences.h"

#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

const wchar_t* const WKRX_Preferences::kRegistryKeyPath = L"Software\\Nolt\\Orvendal System";

GLIB_WString WKRX_Preferences::sm_PreviousFolderPath;
bool WKRX_Preferences::sm_ShowTileBoundaries = false;
GLIB_WString WKRX_Preferences::sm_KeyPathOverride;

namespace {

constexpr const wchar_t* kFolderPathName = L"PreviousFolderPath";

// The preferences key, opened (or made) for reading and writing; closed with the holder.
class PreferenceKey {
public:
  explicit PreferenceKey(const GLIB_WString& path) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                        KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &m_Key,
                        nullptr) != ERROR_SUCCESS)
      m_Key = nullptr;
  }
  PreferenceKey(const PreferenceKey&) = delete;
  PreferenceKey& operator=(const PreferenceKey&) = delete;
  ~PreferenceKey() {
    if (m_Key != nullptr)
      RegCloseKey(m_Key);
  }

  bool IsOpen() const { return m_Key != nullptr; }
  HKEY Get() const { return m_Key; }

private:
  HKEY m_Key = nullptr;
};

GLIB_WString ValueName(const wchar_t* name) {
  return GLIB_WString(L"WKRX_") + name;
}

// One binary value of the table: its size, where it lives in memory and what values it may take.
struct BinaryValue {
  enum class Kind {
    Color,
    ColorWithAlpha,
    Flag,
    Number
  };

  const wchar_t* name;
  Kind kind;
  void* target;
  // Numbers: the largest value taken (the smallest is 0).
  std::int32_t maximum;

  DWORD Size() const {
    switch (kind) {
      case Kind::Color:
        return sizeof(IMPN_RGBColor8);
      case Kind::ColorWithAlpha:
        return sizeof(IMPN_RGBAColor8);
      case Kind::Flag:
        return 1;
      case Kind::Number:
      default:
        return sizeof(std::int32_t);
    }
  }

  // Whether bytes of the right size hold a value this preference can take.
  bool Accepts(const BYTE* bytes) const {
    switch (kind) {
      case Kind::ColorWithAlpha: {
        IMPN_RGBAColor8 color;
        std::memcpy(&color, bytes, sizeof(color));
        return color.alpha <= 100;  // a percentage
      }
      case Kind::Number: {
        std::int32_t number = 0;
        std::memcpy(&number, bytes, sizeof(number));
        return number >= 0 && number <= maximum;
      }
      default:
        return true;
    }
  }

  void Store(const BYTE* bytes) const {
    if (kind == Kind::Flag)
      *static_cast<bool*>(target) = bytes[0] != 0;
    else
      std::memcpy(target, bytes, Size());
  }

  // The bytes written: a flag is one byte, 0 or 1.
  void Fetch(BYTE* bytes) const {
    if (kind == Kind::Flag)
      bytes[0] = *static_cast<const bool*>(target) ? 1 : 0;
    else
      std::memcpy(bytes, target, Size());
  }
};

constexpr std::int32_t kLargestUnit = 4;       // 0 pt, 1 picas, 2 inches, 3 mm, 4 cm
constexpr std::int32_t kLargestPrecision = 6;  // decimal places

// The stored values before the folder path, in the order they are read and written.
std::vector<BinaryValue> BinaryValues() {
  using Kind = BinaryValue::Kind;
  using P = IMPN_Preferences;
  return {
      {L"PageEdgeColor", Kind::Color, &P::sm_PageEdgeColor, 0},
      {L"BleedEdgeColor", Kind::Color, &P::sm_BleedEdgeColor, 0},
      {L"PressSheetEdgeColor", Kind::Color, &P::sm_PressSheetEdgeColor, 0},
      {L"TypeSafetyEdgeColor", Kind::Color, &P::sm_TypeSafetyEdgeColor, 0},
      {L"ShowImpositionOnOpen", Kind::Flag, &P::sm_ShowImpositionOnOpen, 0},
      {L"DefaultSpotColor", Kind::Color, &P::sm_DefaultSpotColor, 0},
      {L"DefaultSurfaceColor", Kind::Color, &P::sm_DefaultSurfaceColor, 0},
      {L"GuideLineColor", Kind::Color, &P::sm_GuideLineColor, 0},
      {L"NavigationFrame", Kind::ColorWithAlpha, &P::sm_NavigationFrame, 0},
      {L"NavigationScreen", Kind::ColorWithAlpha, &P::sm_NavigationScreen, 0},
      {L"ZoomToFitWindowOnOpen", Kind::Flag, &P::sm_ZoomToFitWindowOnOpen, 0},
      {L"RotateUprightOnOpen", Kind::Flag, &P::sm_RotateUprightOnOpen, 0},
      {L"PreferredLinearUnits", Kind::Number, &P::sm_PreferredLinearUnits, kLargestUnit},
      {L"LinearUnitPrecision", Kind::Number, &P::sm_LinearUnitPrecision, kLargestPrecision},
      {L"AngularUnitPrecision", Kind::Number, &P::sm_AngularUnitPrecision, kLargestPrecision},
  };
}

// The last value, after the folder path.
BinaryValue TileBoundariesValue() {
  return {L"ShowTileBoundaries", BinaryValue::Kind::Flag, &WKRX_Preferences::sm_ShowTileBoundaries,
          0};
}

void ReadBinary(HKEY key, const BinaryValue& value) {
  BYTE bytes[sizeof(std::int32_t)] = {};
  DWORD type = REG_NONE;
  DWORD size = value.Size();
  // A longer value does not fit (ERROR_MORE_DATA); a shorter one shows in the size.
  if (RegQueryValueExW(key, ValueName(value.name).c_str(), nullptr, &type, bytes, &size) !=
      ERROR_SUCCESS)
    return;
  if (type == REG_BINARY && size == value.Size() && value.Accepts(bytes))
    value.Store(bytes);
}

void ReadFolderPath(HKEY key) {
  std::vector<wchar_t> text(WKRX_Preferences::kMaxFolderPathLength + 1, L'\0');
  DWORD type = REG_NONE;
  DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key, ValueName(kFolderPathName).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
    return;
  // Only a whole text that ends in its zero.
  const std::size_t units = size / sizeof(wchar_t);
  if (type != REG_SZ || size % sizeof(wchar_t) != 0 || units == 0 || text[units - 1] != L'\0')
    return;
  WKRX_Preferences::sm_PreviousFolderPath = GLIB_WString(text.data());
}

void WriteBinary(HKEY key, const BinaryValue& value) {
  BYTE bytes[sizeof(std::int32_t)] = {};
  value.Fetch(bytes);
  RegSetValueExW(key, ValueName(value.name).c_str(), 0, REG_BINARY, bytes, value.Size());
}

void WriteFolderPath(HKEY key) {
  const GLIB_WString& path = WKRX_Preferences::sm_PreviousFolderPath;
  RegSetValueExW(key, ValueName(kFolderPathName).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

void WKRX_Preferences::SetToDefaultValues() {
  IMPN_Preferences::SetToDefaultValues();
  sm_PreviousFolderPath.clear();
  sm_ShowTileBoundaries = false;
}

void WKRX_Preferences::LoadPreferences() {
  SetToDefaultValues();
  const PreferenceKey key(RegistryKeyPath());
  if (!key.IsOpen())
    return;
  for (const BinaryValue& value : BinaryValues())
    ReadBinary(key.Get(), value);
  ReadFolderPath(key.Get());
  ReadBinary(key.Get(), TileBoundariesValue());
}

void WKRX_Preferences::SavePreferences() {
  const PreferenceKey key(RegistryKeyPath());
  if (!key.IsOpen())
    return;
  for (const BinaryValue& value : BinaryValues())
    WriteBinary(key.Get(), value);
  WriteFolderPath(key.Get());
  WriteBinary(key.Get(), TileBoundariesValue());
}

void WKRX_Preferences::ResetToFactoryDefaults() {
  SetToDefaultValues();
  SavePreferences();
  ApplyDefaultSpotColor();
}

void WKRX_Preferences::ApplyDefaultSpotColor() {
  IMPN_Ink::sm_DefaultColor = IMPN_Preferences::sm_DefaultSpotColor;
}

void WKRX_Preferences::SetRegistryKeyPath(const GLIB_WString& path) {
  sm_KeyPathOverride = path;
}

GLIB_WString WKRX_Preferences::RegistryKeyPath() {
  return sm_KeyPathOverride.empty() ? GLIB_WString(kRegistryKeyPath) : sm_KeyPathOverride;
}
