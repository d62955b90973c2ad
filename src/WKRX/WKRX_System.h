// What start-up, the application window and the sheet view ask of the system that a test must be
// able to answer instead: the state of the modifier keys, the millisecond counter, the user's
// locale, whether the system is recent enough, the process's command line, pauses, the window's
// drawing context, and the names a running instance is found by. The program keeps the system's own
// answers.
#pragma once

#include "GLIB/GLIB_String.h"

#include <windows.h>

#include <functional>
#include <vector>

struct WKRX_System {
  std::function<SHORT(int key)> asyncKeyState;
  std::function<DWORD()> tickCount;
  // The user's default locale's value of type (LOCALE_SISO639LANGNAME, ...); false when the
  // system gives none.
  std::function<bool(LCTYPE type, GLIB_WString& value)> localeInfo;
  std::function<bool()> windowsVersionQualifies;
  std::function<GLIB_WString()> commandLine;
  // Cascades (MDITILE_ZORDER) or tiles (MDITILE_HORIZONTAL, MDITILE_VERTICAL) the windows, in
  // their order, over area.
  std::function<void(UINT how, bool cascade, const RECT& area, std::vector<HWND>& windows)>
      arrangeWindows;
  // The pause after each tile the sheet view draws at once.
  std::function<void(DWORD milliseconds)> sleep;
  // A window's device context for drawing outside a paint (the tile timer, tracking lines), and
  // its release; a test hands out a context it can read back instead.
  std::function<HDC(HWND window)> windowDC;
  std::function<void(HWND window, HDC dc)> releaseWindowDC;

  // The system's own answers.
  static WKRX_System Native();
  // The answers in force.
  static WKRX_System& Current();
};

// Puts other answers in force while it lives (tests); the previous ones come back after.
class WKRX_SystemScope {
public:
  explicit WKRX_SystemScope(const WKRX_System& system) : m_Previous(WKRX_System::Current()) {
    WKRX_System::Current() = system;
  }
  ~WKRX_SystemScope() { WKRX_System::Current() = m_Previous; }
  WKRX_SystemScope(const WKRX_SystemScope&) = delete;
  WKRX_SystemScope& operator=(const WKRX_SystemScope&) = delete;

private:
  WKRX_System m_Previous;
};

// The names a second start looks for: the single-instance mutex, and the application window's
// class and title. Tests running in one wine session add a suffix of their own, so that their
// instances never meet the program's or each other's.
class WKRX_InstanceNames {
public:
  static GLIB_WString MutexName();
  static GLIB_WString WindowClass();
  static GLIB_WString WindowTitle();
  // Takes effect for the window class only before the first application window is made.
  static void SetSuffix(const GLIB_WString& suffix);

private:
  static GLIB_WString& Suffix();
};

// The folder of the program's own file, with its closing backslash. Not taken from the command
// line, which names the program as it was started (perhaps through PATH, perhaps relative).
GLIB_WString WKRX_ProgramFolder();

// A command line split as the shell splits it; an empty text gives no arguments at all.
std::vector<GLIB_WString> WKRX_SplitCommandLine(const GLIB_WString& commandLine);
