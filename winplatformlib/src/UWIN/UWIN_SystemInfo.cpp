#include "UWIN/UWIN_SystemInfo.h"

namespace {

bool sm_OverrideActive = false;
int sm_OverrideCode = 0;

bool QueryVersion(DWORD& major, DWORD& minor) {
  OSVERSIONINFOEXW extended{};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    major = extended.dwMajorVersion;
    minor = extended.dwMinorVersion;
    return true;
  }
  // Systems that know only the short record refuse the extended one.
  OSVERSIONINFOW basic{};
  basic.dwOSVersionInfoSize = sizeof(basic);
  if (!GetVersionExW(&basic))
    return false;
  major = basic.dwMajorVersion;
  minor = basic.dwMinorVersion;
  return true;
}

char AsciiLower(wchar_t c) {
  if (c >= L'A' && c <= L'Z')
    return static_cast<char>(c - L'A' + 'a');
  return static_cast<char>(c);
}

}  // namespace

int UWIN_OSVersionCode(DWORD major, DWORD minor) {
  if (major == 5 && minor <= 2)
    return static_cast<int>(0x500 + minor);
  if (major == 6 && minor == 0)
    return 0x600;
  return 0;
}

int UWIN_GetOSVersion() {
  if (sm_OverrideActive)
    return sm_OverrideCode;
  DWORD major = 0;
  DWORD minor = 0;
  return QueryVersion(major, minor) ? UWIN_OSVersionCode(major, minor) : 0;
}

UWIN_OSVersionOverride::UWIN_OSVersionOverride(int code) noexcept
    : m_PreviousActive(sm_OverrideActive),
      m_PreviousCode(sm_OverrideCode) {
  sm_OverrideActive = true;
  sm_OverrideCode = code;
}

UWIN_OSVersionOverride::~UWIN_OSVersionOverride() {
  sm_OverrideActive = m_PreviousActive;
  sm_OverrideCode = m_PreviousCode;
}

std::string UWIN_UILanguageCode(LCID locale) {
  if (locale == 0)
    return "en";
  if (PRIMARYLANGID(LANGIDFROMLCID(locale)) == LANG_CHINESE)
    return locale >= 1024 && locale <= 2047 ? "zh_tw" : "zh_cn";
  wchar_t name[64] = {};
  int const length = GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, name, 64);
  // The count includes the terminating 0.
  if (length - 1 <= 1)
    return "en";
  return std::string{AsciiLower(name[0]), AsciiLower(name[1])};
}

std::string UWIN_GetUILanguageCode() {
  return UWIN_UILanguageCode(GetUserDefaultLCID());
}
