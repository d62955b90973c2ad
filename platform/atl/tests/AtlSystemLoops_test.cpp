#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

[[noreturn]] void ThrowFatal() {
  throw GLIB_Exception(7, static_cast<const char*>(nullptr), nullptr, 0);
}

// Throws a fatal exception from WM_APP, and from WM_PAINT (before painting) when asked. WM_APP + 1
// stands for the user: it notes that the loop under test still ran after the fatal exception and
// ends that loop itself, so that a loop nobody ended does not hang the test.
class Failing : public CWindowImpl<Failing, CWindow, CFrameWinTraits> {
public:
  bool m_ThrowInPaint = false;
  int m_RanOn = 0;
  std::function<void()> m_EndAsTheUserWould;

  BEGIN_MSG_MAP(Failing)
  MESSAGE_HANDLER(WM_APP, OnFail)
  MESSAGE_HANDLER(WM_APP + 1, OnUser)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()

  LRESULT OnFail(UINT, WPARAM, LPARAM, BOOL&) { ThrowFatal(); }
  LRESULT OnUser(UINT, WPARAM, LPARAM, BOOL&) {
    ++m_RanOn;
    if (m_EndAsTheUserWould) {
      m_EndAsTheUserWould();
    }
    return 0;
  }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!m_ThrowInPaint) {
      bHandled = FALSE;
      return 0;
    }
    ThrowFatal();
  }
};

BOOL CALLBACK EndDialogBox(HWND hWnd, LPARAM) {
  WCHAR name[16] = {};
  GetClassNameW(hWnd, name, 16);
  if (std::wstring(name) == L"#32770") {
    EndDialog(hWnd, IDCANCEL);
  }
  return TRUE;
}

class SystemLoopTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    RECT rc{50, 50, 350, 250};
    ASSERT_NE(m_Window.Create(nullptr, rc, ProcessUniqueName(L"SystemLoopTest").c_str()), nullptr);
    m_Window.ShowWindow(SW_SHOWNA);
    m_Window.UpdateWindow();
  }
  void TearDown() override {
    m_Window.m_EndAsTheUserWould = nullptr;
    m_Window.DestroyWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    GuardCapturingTest::TearDown();
  }

  // The failing message, then the user's.
  void PostFailureThenUser() {
    m_Window.PostMessage(WM_APP);
    m_Window.PostMessage(WM_APP + 1);
  }

  Failing m_Window;
};

TEST_F(SystemLoopTest, AFatalExceptionEndsAMessageBoxAndIsRethrownAfterIt) {
  m_Window.m_EndAsTheUserWould = [] { EnumThreadWindows(GetCurrentThreadId(), EndDialogBox, 0); };
  PostFailureThenUser();
  CSystemLoopScope loop(CSystemLoopScope::kDialog);
  EXPECT_THROW(loop.Returned(MessageBoxW(m_Window, L"Text", L"Caption", MB_OK)),
               GLIB_FatalException);
  EXPECT_EQ(m_Window.m_RanOn, 0);
  EXPECT_TRUE(m_Window.IsWindowEnabled()) << "the owner is given back";
}

TEST_F(SystemLoopTest, AFatalExceptionEndsAPopupMenuAndIsRethrownAfterIt) {
  m_Window.m_EndAsTheUserWould = [] { EndMenu(); };
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Item");
  PostFailureThenUser();
  CSystemLoopScope loop(CSystemLoopScope::kMenu);
  EXPECT_THROW(loop.Returned(TrackPopupMenu(menu, TPM_RETURNCMD, 60, 60, 0, m_Window, nullptr)),
               GLIB_FatalException);
  EXPECT_EQ(m_Window.m_RanOn, 0);
  DestroyMenu(menu);
}

// A message hook of the stand-in's kind that fails at the first mouse move it sees.
LRESULT CALLBACK FailAtAMouseMove(int code, WPARAM wParam, LPARAM lParam) {
  AtlGuardedHook("CFailingHook", "AtlSystemLoops_test.cpp", [&] {
    if (code == HC_ACTION && reinterpret_cast<const MSG*>(lParam)->message == WM_MOUSEMOVE &&
        !GLIB_IsFatalPending()) {
      ThrowFatal();
    }
  });
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SystemLoopTest, AFatalExceptionEndsADragDetectionAndIsRethrownAfterIt) {
  // A move that stays inside the drag rectangle leaves the detection waiting for more.
  m_Window.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, FailAtAMouseMove, nullptr, GetCurrentThreadId());
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  // The detection compares the moves' points with the press point as they are.
  const POINT press{20, 20};
  {
    CSystemLoopScope detection(CSystemLoopScope::kDragDetect);
    EXPECT_THROW(detection.Returned(DragDetect(m_Window, press)), GLIB_FatalException);
  }
  keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  UnhookWindowsHookEx(hook);
  EXPECT_NE(GetCapture(), m_Window.m_hWnd);
}

TEST_F(SystemLoopTest, AScopeEnteredWithAFatalPendingRethrowsAtOnce) {
  m_Window.SendMessage(WM_APP);
  ASSERT_TRUE(GLIB_IsFatalPending());
  EXPECT_THROW(CSystemLoopScope(CSystemLoopScope::kMenu), GLIB_FatalException);
  EXPECT_FALSE(GLIB_IsFatalPending());
  // Without a fatal exception the result comes back as it was.
  CSystemLoopScope loop(CSystemLoopScope::kDialog);
  EXPECT_EQ(loop.Returned(42), 42);
}

TEST_F(SystemLoopTest, APaintHandlerThatThrowsLeavesNothingToRepaint) {
  m_Window.m_ThrowInPaint = true;
  m_Window.Invalidate();
  m_Window.UpdateWindow();
  EXPECT_TRUE(GLIB_IsFatalPending());
  EXPECT_FALSE(GetUpdateRect(m_Window, nullptr, FALSE));
  m_Window.m_ThrowInPaint = false;
}

}  // namespace
