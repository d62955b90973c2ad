// The Mac program's preferences in the application's CFPreferences: the shared preference values
// plus the palettes' bounds and visibility and three flags of this program alone, one "MKRX_" key
// each. Most values are also read from the older "CKRX_" key of the same name when the new one
// yields nothing; the older keys are never written. Loaded once at start-up, saved after the
// preferences dialog's OK, at quit and after a factory reset. Main thread only.
#pragma once

#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"

#include <CoreFoundation/CFString.h>

#include <cstdint>

class MKRX_Preferences {
public:
  MKRX_Preferences() = delete;

  // Port rectangles (content areas) in global coordinates.
  static IMPN_RectT<long> sm_NavigationWindowBounds;
  static bool sm_NavigationWindowVisible;
  static IMPN_RectT<long> sm_SeparationWindowBounds;
  static bool sm_SeparationWindowVisible;
  static IMPN_RectT<long> sm_MeasurementWindowBounds;
  static bool sm_ShowImageTileBoundaries;
  static bool sm_ShowSplashScreen;
  static bool sm_UnifiedTitleAndToolbar;

  // Values the code that uses them can take; anything stored outside keeps the default.
  static constexpr std::int32_t kLargestUnit = 4;       // 0 pt, 1 picas, 2 in, 3 mm, 4 cm
  static constexpr std::int32_t kLargestPrecision = 6;  // decimal places

  // The defaults, then every stored value of an accepted form (see LoadData).
  static void LoadPreferences();
  // Writes all 25 keys, then has them written to disk at once. A number that cannot be made
  // throws PPx::RuntimeError "CFNumberCreate failed"; the keys before it are written.
  static void SavePreferences();
  // The shared defaults, the palettes at the top right of the main screen below the menu bar
  // (their sizes from their nib windows) and the flags. Writes no key.
  static void SetToDefaultValues();

  // One key each, in the encoding of its kind: a CFNumber of 32 bits, a dictionary of
  // "Red", "Green", "Blue"[, "Alpha"] or "Top", "Left", "Width", "Height", a CFBoolean.
  static void SaveData(CFStringRef key, std::int32_t value);
  static void SaveData(CFStringRef key, IMPN_RGBAColor8 const& value);
  static void SaveData(CFStringRef key, IMPN_RGBColor8 const& value);
  static void SaveData(CFStringRef key, IMPN_RectT<long> const& value);
  static void SaveData(CFStringRef key, bool value);

  // True when the key held a value of an accepted form and it was stored; otherwise the target
  // is unchanged. Accepted: the written form (numbers and components: an integer CFNumber that
  // fits 32 signed bits; colour components keep their low 8 bits), or CFData whose first bytes
  // are copied over the record (a flag: its first byte is not 0). byteReversed: the 32-bit
  // result is read from a store of the other byte order.
  static bool LoadData(CFStringRef key, bool& value);
  static bool LoadData(CFStringRef key, IMPN_RGBColor8& value);
  static bool LoadData(CFStringRef key, IMPN_RGBAColor8& value);
  static bool LoadData(CFStringRef key, std::int32_t& value, bool byteReversed);
  static bool LoadData(CFStringRef key, IMPN_RectT<long>& value, bool byteReversed);
};
