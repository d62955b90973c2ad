#include "UWIN/UWIN_SingleInstance.h"

#include <cwchar>

namespace {

// A failure whose error code reads 0 must still read as a failure.
DWORD LastErrorOr(DWORD fallback) noexcept {
  DWORD const error = GetLastError();
  return error != 0 ? error : fallback;
}

}  // namespace

UWIN_SingleInstance::UWIN_SingleInstance(wchar_t const* mutexName) noexcept
    : m_CreateError(0),
      m_Mutex(CreateMutexW(nullptr, FALSE, mutexName)) {
  m_CreateError = GetLastError();
}

UWIN_SingleInstance::~UWIN_SingleInstance() {
  Close();
}

bool UWIN_SingleInstance::Close() noexcept {
  if (!m_Mutex)
    return false;
  CloseHandle(m_Mutex);
  m_Mutex = nullptr;
  return true;
}

DWORD UWIN_SingleInstance::ForwardCommandLine(wchar_t const* windowClass,
                                              wchar_t const* windowTitle, ULONG_PTR dwData,
                                              DWORD pause, int tries, DWORD replyTimeout) noexcept {
  HWND window = nullptr;
  for (int attempt = 0; attempt < tries; ++attempt) {
    window = FindWindowW(windowClass, windowTitle);
    if (window)
      break;
    Sleep(pause);
  }
  if (!window)
    return LastErrorOr(ERROR_NOT_FOUND);

  wchar_t* const commandLine = GetCommandLineW();
  COPYDATASTRUCT data{};
  data.dwData = dwData;
  data.cbData = static_cast<DWORD>((std::wcslen(commandLine) + 1) * sizeof(wchar_t));
  data.lpData = commandLine;
  DWORD_PTR reply = 0;
  // A hung running instance must not hold the second one forever.
  if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_ABORTIFHUNG, replyTimeout, &reply))
    return LastErrorOr(ERROR_TIMEOUT);
  return 0;
}
