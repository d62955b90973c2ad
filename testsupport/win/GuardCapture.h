// What the Windows tests of several modules share: window names unique to this process, and a
// fixture that captures the log lines and guard exits of each test and drops a fatal error it
// left pending.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/win/GLIB_WinGuard.h"

// Several test processes share one wineserver: names carry the process id.
inline std::wstring ProcessUniqueName(const wchar_t* base) {
  return base + std::to_wstring(GetCurrentProcessId());
}

struct LoggedLine {
  GLIB_SEVERITY m_Severity;
  std::wstring m_Text;
  std::string m_File;
  int m_Line;
};

class GuardCapturingTest : public testing::Test {
protected:
  static inline std::vector<LoggedLine> sm_Logged;
  static inline std::vector<int> sm_ExitCodes;

  void SetUp() override {
    sm_Logged.clear();
    sm_ExitCodes.clear();
    m_PreviousLog = GLIB_LogMessage::SetHandler(
        +[](GLIB_SEVERITY severity, const wchar_t* message, const char* file, int line) {
          sm_Logged.push_back({severity, message, file, line});
        });
    m_PreviousExit = GLIB_SetGuardExitHook(+[](int exitCode) { sm_ExitCodes.push_back(exitCode); });
  }

  void TearDown() override {
    GLIB_SetGuardExitHook(m_PreviousExit);
    GLIB_LogMessage::SetHandler(m_PreviousLog);
    GLIB_TakePendingFatal();
  }

private:
  GLIB_LogHandlerPtr m_PreviousLog = nullptr;
  GLIB_GuardExitHook m_PreviousExit = nullptr;
};

// The same with the list and tree controls registered first.
class ListControlsCapturingTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    GuardCapturingTest::SetUp();
  }
};
