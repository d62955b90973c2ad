// The Windows program's preferences in the current user's registry: the shared preference values
// plus the two of this program alone. Loaded at start, saved at exit and after the preferences
// dialog's OK, written afresh by a factory reset.
#pragma once

#include "GLIB/GLIB_String.h"

class WKRX_Preferences {
public:
  // Under HKEY_CURRENT_USER.
  static const wchar_t* const kRegistryKeyPath;
  // The longest folder path taken from the registry, in characters.
  static constexpr unsigned kMaxFolderPathLength = 0x400;

  // The folder the file dialogs last used.
  static GLIB_WString sm_PreviousFolderPath;
  static bool sm_ShowTileBoundaries;

  static void SetToDefaultValues();
  // The defaults, then every stored value that has the right type and size and lies in range;
  // anything else keeps its default. Registry failures are silent.
  static void LoadPreferences();
  // Writes every value; nothing when the key cannot be opened or created.
  static void SavePreferences();
  // The defaults, saved, and the default spot colour applied.
  static void ResetToFactoryDefaults();
  // Inks without a colour of their own take the default spot colour of the preferences: at
  // start, after a factory reset and after the preferences dialog's OK.
  static void ApplyDefaultSpotColor();

  // The key under HKEY_CURRENT_USER; tests give it a name of their own. Empty: the program's.
  static void SetRegistryKeyPath(const GLIB_WString& path);
  static GLIB_WString RegistryKeyPath();

private:
  static GLIB_WString sm_KeyPathOverride;
};
