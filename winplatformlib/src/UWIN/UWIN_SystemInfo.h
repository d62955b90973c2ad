#pragma once
// The Windows version code that the library chooses behaviours by, and the user-interface
// language code.

#include <windows.h>

#include <string>

// 0x500, 0x501, 0x502 or 0x600 for Windows 5.0, 5.1, 5.2 and 6.0; 0 for any other version or
// when the system does not answer.
int UWIN_GetOSVersion();

// The code of the version major.minor.
int UWIN_OSVersionCode(DWORD major, DWORD minor);

// Makes UWIN_GetOSVersion answer code until the override ends, so that tests reach each
// version's behaviour on whatever system runs them. Overrides nest.
class UWIN_OSVersionOverride {
public:
  explicit UWIN_OSVersionOverride(int code) noexcept;
  UWIN_OSVersionOverride(UWIN_OSVersionOverride const&) = delete;
  UWIN_OSVersionOverride& operator=(UWIN_OSVersionOverride const&) = delete;
  ~UWIN_OSVersionOverride();

private:
  bool m_PreviousActive;
  int m_PreviousCode;
};

// The language code of the user's default locale: "en", "zh_tw", "zh_cn" or the two-letter
// ISO 639 name in lower case.
std::string UWIN_GetUILanguageCode();

// The language code for locale.
std::string UWIN_UILanguageCode(LCID locale);
