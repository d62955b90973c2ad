#include "WKRX/WKRX_System.h"

#include <shellapi.h>

namespace {

constexpr int kLocaleBufferLength = 32;

bool UserLocaleInfo(LCTYPE type, GLIB_WString& value) {
  wchar_t buffer[kLocaleBufferLength] = {};
  const int length = GetLocaleInfoW(GetUserDefaultLCID(), type, buffer, kLocaleBufferLength);
  if (length <= 0)
    return false;
  value.assign(buffer);
  return true;
}

// Windows 2000 with its first service pack, or anything later.
bool SystemIsRecentEnough() {
  OSVERSIONINFOEXW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  version.dwMajorVersion = 5;
  version.dwMinorVersion = 0;
  version.wServicePackMajor = 1;
  DWORDLONG condition = 0;
  condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            condition) != FALSE;
}

}  // namespace

WKRX_System WKRX_System::Native() {
  WKRX_System system;
  system.asyncKeyState = [](int key) { return GetAsyncKeyState(key); };
  system.tickCount = [] { return GetTickCount(); };
  system.localeInfo = UserLocaleInfo;
  system.windowsVersionQualifies = SystemIsRecentEnough;
  system.commandLine = [] { return GLIB_WString(GetCommandLineW()); };
  system.arrangeWindows = [](UINT how, bool cascade, const RECT& area, std::vector<HWND>& windows) {
    const UINT count = static_cast<UINT>(windows.size());
    if (cascade)
      CascadeWindows(nullptr, how, &area, count, windows.data());
    else
      TileWindows(nullptr, how, &area, count, windows.data());
  };
  system.sleep = [](DWORD milliseconds) { Sleep(milliseconds); };
  system.windowDC = [](HWND window) { return GetDC(window); };
  system.releaseWindowDC = [](HWND window, HDC dc) { ReleaseDC(window, dc); };
  return system;
}

WKRX_System& WKRX_System::Current() {
  static WKRX_System current = Native();
  return current;
}

GLIB_WString WKRX_InstanceNames::MutexName() {
  return L"com.nolt.krx.instance" + Suffix();
}

GLIB_WString WKRX_InstanceNames::WindowClass() {
  return L"WKRX_Application" + Suffix();
}

GLIB_WString WKRX_InstanceNames::WindowTitle() {
  return L"com.nolt.krx.instance" + Suffix();
}

void WKRX_InstanceNames::SetSuffix(const GLIB_WString& suffix) {
  Suffix() = suffix;
}

GLIB_WString& WKRX_InstanceNames::Suffix() {
  static GLIB_WString suffix;
  return suffix;
}

GLIB_WString WKRX_ProgramFolder() {
  // Long paths are allowed up to the system's limit of 32767 characters.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0)
      return GLIB_WString();
    if (length < size) {
      GLIB_WString path(buffer.data(), length);
      return path.substr(0, path.find_last_of(L"\\/") + 1);
    }
  }
  return GLIB_WString();
}

std::vector<GLIB_WString> WKRX_SplitCommandLine(const GLIB_WString& commandLine) {
  std::vector<GLIB_WString> arguments;
  if (commandLine.empty())
    return arguments;
  int count = 0;
  LPWSTR* const split = CommandLineToArgvW(commandLine.c_str(), &count);
  if (split == nullptr)
    return arguments;
  struct Release {
    LPWSTR* m_Split;
    ~Release() { LocalFree(m_Split); }
  } release{split};
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    arguments.emplace_back(split[i]);
  return arguments;
}
