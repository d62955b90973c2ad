#pragma once
// Single-instance guard: a named mutex tells a second instance that one is running, and the
// second hands its command line over to the running one's main window by WM_COPYDATA
// (wParam 0; dwData as given; the command line as UTF-16 with its terminating 0).

#include <windows.h>

class UWIN_SingleInstance {
public:
  // How long the hand-over waits for the running instance to handle the text.
  static constexpr DWORD sm_DefaultReplyTimeout = 30000;

  explicit UWIN_SingleInstance(wchar_t const* mutexName) noexcept;
  UWIN_SingleInstance(UWIN_SingleInstance const&) = delete;
  UWIN_SingleInstance& operator=(UWIN_SingleInstance const&) = delete;
  ~UWIN_SingleInstance();

  // True when the mutex existed before this guard opened it.
  bool IsAlreadyRunning() const noexcept { return m_CreateError == ERROR_ALREADY_EXISTS; }

  // Closes the mutex handle once; false when nothing was open.
  bool Close() noexcept;

  // Looks for the running instance's window up to tries times, pausing after each miss, and
  // sends it this process's command line. 0 when the window handled it; otherwise a non-zero
  // Win32 error code, and nothing was sent (no window) or the window did not answer within
  // replyTimeout milliseconds (it may be hung).
  static DWORD ForwardCommandLine(wchar_t const* windowClass, wchar_t const* windowTitle,
                                  ULONG_PTR dwData, DWORD pause, int tries,
                                  DWORD replyTimeout = sm_DefaultReplyTimeout) noexcept;

private:
  DWORD m_CreateError;
  HANDLE m_Mutex;
};
