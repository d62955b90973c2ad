#include "MKRX/MKRX_Preferences.h"

#include "IMPN/IMPN_Preferences.h"
#include "PPXA/PPXA_Window.h"
#include "UMAC/UMAC_CFDictionary.h"
#include "UMAC/UMAC_CFType.h"

#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPreferences.h>
#include <HIToolbox/Appearance.h>
#include <HIToolbox/MacWindows.h>
#include <PPx/PPxExceptions.h>
#include <QD/QuickDraw.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

// Until the defaults or the stored values are applied, the rectangles are empty and the flags off.
IMPN_RectT<long> MKRX_Preferences::sm_NavigationWindowBounds;
bool MKRX_Preferences::sm_NavigationWindowVisible = false;
IMPN_RectT<long> MKRX_Preferences::sm_SeparationWindowBounds;
bool MKRX_Preferences::sm_SeparationWindowVisible = false;
IMPN_RectT<long> MKRX_Preferences::sm_MeasurementWindowBounds;
bool MKRX_Preferences::sm_ShowImageTileBoundaries = false;
bool MKRX_Preferences::sm_ShowSplashScreen = false;
bool MKRX_Preferences::sm_UnifiedTitleAndToolbar = false;

namespace {

constexpr OSType kNumberNotCreated = 0x43464e6d;  // 'CFNm'

// The stored value of the key, owned; an empty holder when there is none.
UMAC_CFType CopyValue(CFStringRef key) {
  return UMAC_CFType(CFPreferencesCopyAppValue(key, kCFPreferencesCurrentApplication),
                     kUMAC_CFOwned);
}

// Copies the first bytes of a CFData value (at most size) over the record; the record's other
// bytes stay. False when the value is no CFData or holds no byte.
bool CopyRawBytes(UMAC_CFType const& value, void* record, std::size_t size) {
  if (value.IsNull() || CFGetTypeID(value.Get()) != CFDataGetTypeID())
    return false;
  auto data = static_cast<CFDataRef>(value.Get());
  const std::size_t length =
      std::min(size, static_cast<std::size_t>(std::max<CFIndex>(CFDataGetLength(data), 0)));
  if (length == 0)
    return false;
  std::memcpy(record, CFDataGetBytePtr(data), length);
  return true;
}

// The components of a dictionary value in the order of names; false, out untouched, when the
// value is no dictionary or any component is missing or no integer that fits 32 bits.
template <std::size_t N>
bool ReadComponents(UMAC_CFType const& value, std::array<CFStringRef, N> const& names,
                    std::array<std::int32_t, N>& out) {
  if (!value.IsDictionary())
    return false;
  std::array<std::int32_t, N> components{};
  for (std::size_t i = 0; i < N; ++i) {
    const UMAC_CFType component(
        static_cast<CFTypeRef>(CFDictionaryGetValue(value.AsDictionary(), names[i])),
        kUMAC_CFNotOwned);
    if (!component.IsInteger())
      return false;
    components[i] = component.AsInteger();
  }
  out = components;
  return true;
}

std::int32_t ByteReversed(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return static_cast<std::int32_t>((bits >> 24) | ((bits >> 8) & 0xFF00u) |
                                   ((bits << 8) & 0xFF0000u) | (bits << 24));
}

// A number for a key or a dictionary, owned by the holder.
UMAC_CFType NewNumber(CFNumberType type, const void* value) {
  CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, type, value);
  if (number == nullptr)
    throw PPx::RuntimeError(kNumberNotCreated, "CFNumberCreate failed");
  return UMAC_CFType(number, kUMAC_CFOwned);
}

void Store(CFStringRef key, CFTypeRef value) {
  CFPreferencesSetAppValue(key, value, kCFPreferencesCurrentApplication);
}

// A dictionary of numbers of one type under the names, in that order.
template <typename Number, std::size_t N>
void StoreDictionary(CFStringRef key, CFNumberType type, std::array<CFStringRef, N> const& names,
                     std::array<Number, N> const& values) {
  UMAC_CFDictionary dictionary;
  for (std::size_t i = 0; i < N; ++i) {
    const UMAC_CFType number = NewNumber(type, &values[i]);
    dictionary.SetValue(names[i], number.Get());
  }
  if (dictionary.Size() > 0)
    Store(key, dictionary.Get());
}

std::array<CFStringRef, 3> ColorNames() {
  return {CFSTR("Red"), CFSTR("Green"), CFSTR("Blue")};
}
std::array<CFStringRef, 4> ColorWithAlphaNames() {
  return {CFSTR("Red"), CFSTR("Green"), CFSTR("Blue"), CFSTR("Alpha")};
}
std::array<CFStringRef, 4> RectangleNames() {
  return {CFSTR("Top"), CFSTR("Left"), CFSTR("Width"), CFSTR("Height")};
}

// One stored value: its key, the older key read when the new one yields nothing (null: none),
// its kind and where it lives.
struct Entry {
  enum class Kind {
    Color,
    ColorWithAlpha,
    Flag,
    Number,
    Rectangle
  };

  CFStringRef key;
  CFStringRef fallback;
  Kind kind;
  void* target;
  // Numbers: the largest value taken (the smallest is 0); what lies outside is unusable.
  std::int32_t largest;

  // Reads the value from one key; numbers from the older key are of the other byte order.
  bool Read(CFStringRef from, bool byteReversed) const {
    switch (kind) {
      case Kind::Color:
        return MKRX_Preferences::LoadData(from, *static_cast<IMPN_RGBColor8*>(target));
      case Kind::ColorWithAlpha:
        return MKRX_Preferences::LoadData(from, *static_cast<IMPN_RGBAColor8*>(target));
      case Kind::Flag:
        return MKRX_Preferences::LoadData(from, *static_cast<bool*>(target));
      case Kind::Number: {
        auto* number = static_cast<std::int32_t*>(target);
        std::int32_t read = *number;
        if (!MKRX_Preferences::LoadData(from, read, byteReversed) || read < 0 || read > largest)
          return false;
        *number = read;
        return true;
      }
      case Kind::Rectangle:
      default:
        return MKRX_Preferences::LoadData(from, *static_cast<IMPN_RectT<long>*>(target), false);
    }
  }

  void Load() const {
    if (!Read(key, false) && fallback != nullptr)
      Read(fallback, kind == Kind::Number);
  }

  void Save() const {
    switch (kind) {
      case Kind::Color:
        MKRX_Preferences::SaveData(key, *static_cast<const IMPN_RGBColor8*>(target));
        break;
      case Kind::ColorWithAlpha:
        MKRX_Preferences::SaveData(key, *static_cast<const IMPN_RGBAColor8*>(target));
        break;
      case Kind::Flag:
        MKRX_Preferences::SaveData(key, *static_cast<const bool*>(target));
        break;
      case Kind::Number:
        MKRX_Preferences::SaveData(key, *static_cast<const std::int32_t*>(target));
        break;
      case Kind::Rectangle:
      default:
        MKRX_Preferences::SaveData(key, *static_cast<const IMPN_RectT<long>*>(target));
        break;
    }
  }
};

// Every stored value, in the order they are loaded and saved.
std::vector<Entry> Entries() {
  using Kind = Entry::Kind;
  using P = IMPN_Preferences;
  using M = MKRX_Preferences;
  constexpr std::int32_t kNoLimit = 0;
  return {
      {CFSTR("MKRX_PageEdgeColor"), CFSTR("CKRX_PageEdgeColor"), Kind::Color, &P::sm_PageEdgeColor,
       kNoLimit},
      {CFSTR("MKRX_BleedEdgeColor"), CFSTR("CKRX_BleedEdgeColor"), Kind::Color,
       &P::sm_BleedEdgeColor, kNoLimit},
      {CFSTR("MKRX_PressSheetEdgeColor"), CFSTR("CKRX_PressSheetEdgeColor"), Kind::Color,
       &P::sm_PressSheetEdgeColor, kNoLimit},
      {CFSTR("MKRX_TypeSafetyEdgeColor"), nullptr, Kind::Color, &P::sm_TypeSafetyEdgeColor,
       kNoLimit},
      {CFSTR("MKRX_ShowImpositionOnOpen"), CFSTR("CKRX_ShowImpositionOnOpen"), Kind::Flag,
       &P::sm_ShowImpositionOnOpen, kNoLimit},
      {CFSTR("MKRX_DefaultSpotColor"), CFSTR("CKRX_DefaultSpotColor"), Kind::Color,
       &P::sm_DefaultSpotColor, kNoLimit},
      {CFSTR("MKRX_DefaultSurfaceColor"), CFSTR("CKRX_DefaultSurfaceColor"), Kind::Color,
       &P::sm_DefaultSurfaceColor, kNoLimit},
      {CFSTR("MKRX_PlateEdgeColor"), CFSTR("CKRX_PlateEdgeColor"), Kind::Color,
       &P::sm_PlateEdgeColor, kNoLimit},
      {CFSTR("MKRX_NavigationFrame"), CFSTR("CKRX_NavigationFrame"), Kind::ColorWithAlpha,
       &P::sm_NavigationFrame, kNoLimit},
      {CFSTR("MKRX_NavigationScreen"), CFSTR("CKRX_NavigationScreen"), Kind::ColorWithAlpha,
       &P::sm_NavigationScreen, kNoLimit},
      {CFSTR("MKRX_ZoomToFitWindowOnOpen"), CFSTR("CKRX_ZoomToFitWindowOnOpen"), Kind::Flag,
       &P::sm_ZoomToFitWindowOnOpen, kNoLimit},
      {CFSTR("MKRX_RotateUprightOnOpen"), nullptr, Kind::Flag, &P::sm_RotateUprightOnOpen,
       kNoLimit},
      {CFSTR("MKRX_PreferredLinearUnits"), CFSTR("CKRX_PreferredLinearUnits"), Kind::Number,
       &P::sm_PreferredLinearUnits, M::kLargestUnit},
      {CFSTR("MKRX_LinearUnitPrecision"), CFSTR("CKRX_LinearUnitPrecision"), Kind::Number,
       &P::sm_LinearUnitPrecision, M::kLargestPrecision},
      {CFSTR("MKRX_AngularUnitPrecision"), CFSTR("CKRX_AngularUnitPrecision"), Kind::Number,
       &P::sm_AngularUnitPrecision, M::kLargestPrecision},
      {CFSTR("MKRX_GuideLineColor"), CFSTR("CKRX_GuideLineColor"), Kind::Color,
       &P::sm_GuideLineColor, kNoLimit},
      {CFSTR("MKRX_ToolTrackingColor"), CFSTR("CKRX_ToolTrackingColor"), Kind::ColorWithAlpha,
       &P::sm_ToolTrackingColor, kNoLimit},
      {CFSTR("MKRX_NavigationWindowBounds"), nullptr, Kind::Rectangle,
       &M::sm_NavigationWindowBounds, kNoLimit},
      {CFSTR("MKRX_NavigationWindowVisible"), CFSTR("CKRX_NavigationWindowVisible"), Kind::Flag,
       &M::sm_NavigationWindowVisible, kNoLimit},
      {CFSTR("MKRX_SeparationWindowBounds"), nullptr, Kind::Rectangle,
       &M::sm_SeparationWindowBounds, kNoLimit},
      {CFSTR("MKRX_SeparationWindowVisible"), CFSTR("CKRX_SeparationWindowVisible"), Kind::Flag,
       &M::sm_SeparationWindowVisible, kNoLimit},
      {CFSTR("MKRX_MeasurementWindowBounds"), nullptr, Kind::Rectangle,
       &M::sm_MeasurementWindowBounds, kNoLimit},
      {CFSTR("MKRX_ShowImageTileBoundaries"), CFSTR("CKRX_ShowImageTileBoundaries"), Kind::Flag,
       &M::sm_ShowImageTileBoundaries, kNoLimit},
      {CFSTR("MKRX_ShowSplashScreen"), nullptr, Kind::Flag, &M::sm_ShowSplashScreen, kNoLimit},
      {CFSTR("MKRX_UnifiedTitleAndToolbar"), nullptr, Kind::Flag, &M::sm_UnifiedTitleAndToolbar,
       kNoLimit},
  };
}

// What the default placement needs of a palette's window: its title bar's height, and its
// structure's width and content height. All zero when the window cannot be made.
struct PaletteFrame {
  SInt16 titleBarHeight = 0;
  SInt16 width = 0;
  SInt16 contentHeight = 0;
};

PaletteFrame MeasurePalette(CFStringRef nib, CFStringRef windowName) {
  PaletteFrame frame;
  PPXA::Window palette;  // never shown; its window goes with it
  if (palette.Initialize(nib, windowName) != noErr)
    return frame;
  Rect titleBar = {0, 0, 0, 0};
  Rect structure = {0, 0, 0, 0};
  GetWindowBounds(palette.GetSysWindow(), kWindowTitleBarRgn, &titleBar);
  GetWindowBounds(palette.GetSysWindow(), kWindowStructureRgn, &structure);
  frame.titleBarHeight = static_cast<SInt16>(titleBar.bottom - titleBar.top);
  frame.width = static_cast<SInt16>(structure.right - structure.left);
  frame.contentHeight =
      static_cast<SInt16>(structure.bottom - structure.top - frame.titleBarHeight);
  return frame;
}

// A palette whose content starts at top and whose right edge meets the screen's.
IMPN_RectT<long> PaletteBounds(SInt16 top, SInt16 screenRight, PaletteFrame const& frame) {
  return IMPN_RectT<long>(top, static_cast<SInt16>(screenRight - frame.width), frame.width,
                          frame.contentHeight);
}

}  // namespace

void MKRX_Preferences::SetToDefaultValues() {
  IMPN_Preferences::SetToDefaultValues();

  const Rect screen = (*GetMainDevice())->gdRect;
  SInt16 menuBarHeight = 0;
  GetThemeMenuBarHeight(&menuBarHeight);
  const auto belowMenuBar = static_cast<SInt16>(screen.top + menuBarHeight);

  // The separations palette sits right under the navigation palette, the measurement palette
  // over it; all three flush with the screen's right edge.
  const PaletteFrame navigation =
      MeasurePalette(CFSTR("MKRX_Resources"), CFSTR("Navigation Palette"));
  const auto navigationTop = static_cast<SInt16>(belowMenuBar + navigation.titleBarHeight);
  sm_NavigationWindowBounds = PaletteBounds(navigationTop, screen.right, navigation);
  sm_NavigationWindowVisible = true;
  const auto belowNavigation = static_cast<SInt16>(navigationTop + navigation.contentHeight + 1);

  const PaletteFrame separations =
      MeasurePalette(CFSTR("MKRX_Resources"), CFSTR("Separation Palette"));
  sm_SeparationWindowBounds = PaletteBounds(
      static_cast<SInt16>(belowNavigation + separations.titleBarHeight), screen.right, separations);
  sm_SeparationWindowVisible = true;

  const PaletteFrame measurement =
      MeasurePalette(CFSTR("MKRX_Localized"), CFSTR("Measurement Palette"));
  sm_MeasurementWindowBounds = PaletteBounds(
      static_cast<SInt16>(belowMenuBar + measurement.titleBarHeight), screen.right, measurement);

  sm_ShowImageTileBoundaries = false;
  sm_ShowSplashScreen = true;
  sm_UnifiedTitleAndToolbar = true;
}

void MKRX_Preferences::LoadPreferences() {
  SetToDefaultValues();
  for (Entry const& entry : Entries())
    entry.Load();
}

void MKRX_Preferences::SavePreferences() {
  for (Entry const& entry : Entries())
    entry.Save();
  CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication);
}

void MKRX_Preferences::SaveData(CFStringRef key, std::int32_t value) {
  const SInt32 number = value;
  Store(key, NewNumber(kCFNumberSInt32Type, &number).Get());
}

void MKRX_Preferences::SaveData(CFStringRef key, IMPN_RGBAColor8 const& value) {
  StoreDictionary<SInt16, 4>(key, kCFNumberSInt16Type, ColorWithAlphaNames(),
                             {value.red, value.green, value.blue, value.alpha});
}

void MKRX_Preferences::SaveData(CFStringRef key, IMPN_RGBColor8 const& value) {
  StoreDictionary<SInt16, 3>(key, kCFNumberSInt16Type, ColorNames(),
                             {value.red, value.green, value.blue});
}

void MKRX_Preferences::SaveData(CFStringRef key, IMPN_RectT<long> const& value) {
  StoreDictionary<SInt32, 4>(key, kCFNumberSInt32Type, RectangleNames(),
                             {static_cast<SInt32>(value.top), static_cast<SInt32>(value.left),
                              static_cast<SInt32>(value.width), static_cast<SInt32>(value.height)});
}

void MKRX_Preferences::SaveData(CFStringRef key, bool value) {
  Store(key, value ? kCFBooleanTrue : kCFBooleanFalse);
}

bool MKRX_Preferences::LoadData(CFStringRef key, bool& value) {
  const UMAC_CFType stored = CopyValue(key);
  if (stored.IsBoolean()) {
    value = stored.AsBoolean();
    return true;
  }
  // Any byte but 0 is set: a bool holds nothing else.
  std::uint8_t byte = 0;
  if (!CopyRawBytes(stored, &byte, sizeof byte))
    return false;
  value = byte != 0;
  return true;
}

bool MKRX_Preferences::LoadData(CFStringRef key, IMPN_RGBColor8& value) {
  const UMAC_CFType stored = CopyValue(key);
  std::array<std::int32_t, 3> components{};
  if (ReadComponents(stored, ColorNames(), components)) {
    value = IMPN_RGBColor8(static_cast<std::uint8_t>(components[0]),
                           static_cast<std::uint8_t>(components[1]),
                           static_cast<std::uint8_t>(components[2]));
    return true;
  }
  std::uint8_t bytes[3] = {value.red, value.green, value.blue};
  if (!CopyRawBytes(stored, bytes, sizeof bytes))
    return false;
  value = IMPN_RGBColor8(bytes[0], bytes[1], bytes[2]);
  return true;
}

bool MKRX_Preferences::LoadData(CFStringRef key, IMPN_RGBAColor8& value) {
  const UMAC_CFType stored = CopyValue(key);
  std::array<std::int32_t, 4> components{};
  if (ReadComponents(stored, ColorWithAlphaNames(), components)) {
    value = IMPN_RGBAColor8(
        static_cast<std::uint8_t>(components[0]), static_cast<std::uint8_t>(components[1]),
        static_cast<std::uint8_t>(components[2]), static_cast<std::uint8_t>(components[3]));
    return true;
  }
  std::uint8_t bytes[4] = {value.red, value.green, value.blue, value.alpha};
  if (!CopyRawBytes(stored, bytes, sizeof bytes))
    return false;
  value = IMPN_RGBAColor8(bytes[0], bytes[1], bytes[2], bytes[3]);
  return true;
}

bool MKRX_Preferences::LoadData(CFStringRef key, std::int32_t& value, bool byteReversed) {
  const UMAC_CFType stored = CopyValue(key);
  std::int32_t number = value;
  if (stored.IsInteger())
    number = stored.AsInteger();
  else if (!CopyRawBytes(stored, &number, sizeof number))
    return false;
  value = byteReversed ? ByteReversed(number) : number;
  return true;
}

bool MKRX_Preferences::LoadData(CFStringRef key, IMPN_RectT<long>& value, bool byteReversed) {
  const UMAC_CFType stored = CopyValue(key);
  // The stored record is four 32-bit fields, whatever the width of long.
  std::array<std::int32_t, 4> fields = {
      static_cast<std::int32_t>(value.top), static_cast<std::int32_t>(value.left),
      static_cast<std::int32_t>(value.width), static_cast<std::int32_t>(value.height)};
  if (!ReadComponents(stored, RectangleNames(), fields) &&
      !CopyRawBytes(stored, fields.data(), sizeof fields))
    return false;
  if (byteReversed)
    for (std::int32_t& field : fields)
      field = ByteReversed(field);
  value = IMPN_RectT<long>(fields[0], fields[1], fields[2], fields[3]);
  return true;
}
