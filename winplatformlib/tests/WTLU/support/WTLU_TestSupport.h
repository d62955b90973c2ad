// What the WTLU window tests share: names unique to this process, a parent window that reflects
// its children's notifications, and a fixture that captures log lines and guard exits.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/win/GLIB_WinGuard.h"

// Several test processes share one wineserver: names carry the process id.
inline std::wstring ProcessUniqueName(const wchar_t* base) {
  return base + std::to_wstring(GetCurrentProcessId());
}

class ReflectingParent
    : public ATL::CWindowImpl<ReflectingParent, ATL::CWindow, ATL::CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(ReflectingParent)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

struct WTLU_LoggedLine {
  GLIB_SEVERITY m_Severity;
  std::wstring m_Text;
  std::string m_File;
};

class WTLU_CapturingTest : public testing::Test {
protected:
  static inline std::vector<WTLU_LoggedLine> sm_Logged;
  static inline std::vector<int> sm_ExitCodes;

  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    sm_Logged.clear();
    sm_ExitCodes.clear();
    m_PreviousLog = GLIB_LogMessage::SetHandler(
        +[](GLIB_SEVERITY severity, const wchar_t* message, const char* file, int) {
          sm_Logged.push_back({severity, message, file});
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
