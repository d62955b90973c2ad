#include <gtest/gtest.h>

#include <vector>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

// Throws a fatal exception from WM_APP; notes every WM_APP + 1.
class Failing : public CWindowImpl<Failing, CWindow, CFrameWinTraits> {
public:
  int m_Noted = 0;

  BEGIN_MSG_MAP(Failing)
  MESSAGE_HANDLER(WM_APP, OnFail)
  MESSAGE_HANDLER(WM_APP + 1, OnNote)
  END_MSG_MAP()

  LRESULT OnFail(UINT, WPARAM, LPARAM, BOOL&) {
    throw GLIB_Exception(9, static_cast<const char*>(nullptr), nullptr, 0);
  }
  LRESULT OnNote(UINT, WPARAM, LPARAM, BOOL&) {
    ++m_Noted;
    return 0;
  }
};

class LoopTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    ASSERT_NE(m_Window.Create(nullptr), nullptr);
    m_Window.ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    m_Window.DestroyWindow();
    AtlPumpWaitingMessages();
    GuardCapturingTest::TearDown();
  }

  Failing m_Window;
};

TEST_F(LoopTest, ThePumpRethrowsAPendingFatalAfterDispatching) {
  m_Window.PostMessage(WM_APP + 1);
  m_Window.PostMessage(WM_APP);
  m_Window.PostMessage(WM_APP + 1);
  EXPECT_THROW(AtlPumpWaitingMessages(), GLIB_FatalException);
  EXPECT_EQ(m_Window.m_Noted, 1) << "the pump stops at the failed message";
  EXPECT_FALSE(GLIB_IsFatalPending());
  EXPECT_NO_THROW(AtlPumpWaitingMessages());
  EXPECT_EQ(m_Window.m_Noted, 2);
}

TEST_F(LoopTest, ThePumpLeavesAQuitForTheThreadsLoop) {
  PostQuitMessage(4);
  m_Window.PostMessage(WM_APP + 1);
  AtlPumpWaitingMessages();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 4u);
  AtlPumpWaitingMessages();
  EXPECT_EQ(m_Window.m_Noted, 1);
}

TEST_F(LoopTest, TheCaptureLoopFiltersDispatchesAndEndsWithTheCapture) {
  m_Window.SetCapture();
  ASSERT_EQ(GetCapture(), m_Window.m_hWnd);
  m_Window.PostMessage(WM_APP + 1);
  m_Window.PostMessage(WM_APP + 2);
  m_Window.PostMessage(WM_APP + 1);
  std::vector<UINT> filtered;
  const bool ended = AtlRunCaptureLoop(m_Window, [&](MSG& msg) {
    filtered.push_back(msg.message);
    if (msg.message == WM_APP + 2) {
      ReleaseCapture();
      return true;
    }
    return false;
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(filtered, (std::vector<UINT>{WM_APP + 1, WM_APP + 2}));
  EXPECT_EQ(m_Window.m_Noted, 1) << "consumed messages are not dispatched";
}

TEST_F(LoopTest, AFatalExceptionLeavesTheCaptureLoopWithoutTheCapture) {
  m_Window.SetCapture();
  m_Window.PostMessage(WM_APP);
  EXPECT_THROW(AtlRunCaptureLoop(m_Window, [](MSG&) { return false; }), GLIB_FatalException);
  EXPECT_NE(GetCapture(), m_Window.m_hWnd);
}

TEST_F(LoopTest, AQuitEndsTheCaptureLoopAndStaysForTheThreadsLoop) {
  m_Window.SetCapture();
  PostQuitMessage(6);
  EXPECT_FALSE(AtlRunCaptureLoop(m_Window, [](MSG&) { return false; }));
  EXPECT_NE(GetCapture(), m_Window.m_hWnd);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 6u);
}

// A hook procedure of the stand-in's kind: its body runs under the guard.
bool sm_HookThrows = false;
LRESULT CALLBACK GuardedCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  AtlGuardedHook("CTestHook", "AtlLoops_test.cpp", [&] {
    if (code == HCBT_CREATEWND && sm_HookThrows) {
      throw GLIB_Exception(5, static_cast<const char*>(nullptr), nullptr, 0);
    }
  });
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(LoopTest, HookProceduresRunUnderTheGuard) {
  HHOOK hook = SetWindowsHookExW(WH_CBT, GuardedCbtHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  sm_HookThrows = true;
  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(other, nullptr) << "the system's call goes on";
  sm_HookThrows = false;
  UnhookWindowsHookEx(hook);
  ASSERT_FALSE(sm_Logged.empty());
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(L"Class CTestHook caught unhandled GLIB_Exception: ", 0), 0u);
  EXPECT_EQ(sm_Logged[0].m_File, "AtlLoops_test.cpp");
  EXPECT_THROW(GLIB_RethrowPendingFatal(), GLIB_FatalException);
  DestroyWindow(other);
}

}  // namespace
