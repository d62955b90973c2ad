#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AtlTestResources.h"
#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

[[noreturn]] void ThrowFatal() {
  throw GLIB_Exception(3, static_cast<const char*>(nullptr), nullptr, 0);
}

// Throws a fatal exception from one message; notes WM_APP + 5. With m_MakeFailingChild, its
// WM_CREATE makes a child whose own WM_CREATE throws.
class FailingWindow : public CWindowImpl<FailingWindow, CWindow, CFrameWinTraits> {
public:
  UINT m_ThrowAt = 0;
  bool m_MakeFailingChild = false;
  HWND m_Seen = nullptr;
  int m_Noted = 0;
  int m_FinalMessages = 0;
  std::unique_ptr<FailingWindow> m_Child;

  BEGIN_MSG_MAP(FailingWindow)
  m_Seen = hWnd;
  if (uMsg == m_ThrowAt) {
    ThrowFatal();
  }
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_APP + 5, OnNote)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_MakeFailingChild) {
      m_Child = std::make_unique<FailingWindow>();
      m_Child->m_ThrowAt = WM_CREATE;
      RECT rc{0, 0, 20, 20};
      m_Child->Create(m_hWnd, rc, nullptr, WS_CHILD);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnNote(UINT, WPARAM, LPARAM, BOOL&) {
    ++m_Noted;
    return 0;
  }
  void OnFinalMessage(HWND) override { ++m_FinalMessages; }
};

class CreationFailureTest : public GuardCapturingTest {};

TEST_F(CreationFailureTest, AFatalExceptionWhileBuildingFailsTheCreation) {
  struct Case {
    const char* m_Name;
    UINT m_ThrowAt;
    bool m_FailingChild;
  };
  const Case cases[] = {
      {"WM_NCCREATE", WM_NCCREATE, false},
      {"WM_CREATE", WM_CREATE, false},
      {"a child's WM_CREATE", 0, true},
  };
  for (const Case& c : cases) {
    FailingWindow window;
    window.m_ThrowAt = c.m_ThrowAt;
    window.m_MakeFailingChild = c.m_FailingChild;
    EXPECT_EQ(window.Create(nullptr, nullptr, ProcessUniqueName(L"failing").c_str()), nullptr)
        << c.m_Name;
    EXPECT_EQ(window.m_hWnd, nullptr) << c.m_Name;
    ASSERT_NE(window.m_Seen, nullptr) << c.m_Name;
    EXPECT_FALSE(IsWindow(window.m_Seen)) << c.m_Name << ": no half-built window lives on";
    EXPECT_EQ(window.m_FinalMessages, 1) << c.m_Name;
    EXPECT_NE(GLIB_TakePendingFatal(), nullptr) << c.m_Name << ": the loop still rethrows it";
  }
}

TEST_F(CreationFailureTest, ACreationWithoutFailureIsUntouched) {
  FailingWindow window;
  window.m_ThrowAt = WM_APP;
  ASSERT_NE(window.Create(nullptr), nullptr);
  EXPECT_FALSE(GLIB_IsFatalPending());
  window.SendMessage(WM_APP);
  EXPECT_TRUE(IsWindow(window)) << "after creation a failed message leaves the window";
  EXPECT_TRUE(GLIB_IsFatalPending());
  GLIB_TakePendingFatal();
  window.DestroyWindow();
}

// A modeless dialog that notes WM_APP + 5.
class NotingDialog : public CDialogImpl<NotingDialog> {
public:
  enum {
    IDD = IDD_ATL_TEST
  };
  int m_Noted = 0;

  BEGIN_MSG_MAP(NotingDialog)
  MESSAGE_HANDLER(WM_APP + 5, OnNote)
  END_MSG_MAP()

  LRESULT OnNote(UINT, WPARAM, LPARAM, BOOL&) {
    ++m_Noted;
    return 0;
  }
};

// While the next window is created, the orphan (a window whose object is gone) gets a message
// before the new window's first one.
HWND sm_Orphan = nullptr;
LRESULT CALLBACK MessageTheOrphan(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && sm_Orphan != nullptr) {
    const HWND orphan = sm_Orphan;
    sm_Orphan = nullptr;
    SendMessageW(orphan, WM_APP + 5, 0, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LONG_PTR sm_UnderPassOn = 0;
LRESULT CALLBACK PassOn(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(reinterpret_cast<WNDPROC>(sm_UnderPassOn), hWnd, message, wParam, lParam);
}

TEST_F(CreationFailureTest, AWindowWhoseObjectIsGoneTakesNoObjectBeingCreated) {
  enum class Orphan {
    kCreatedWindow,
    kSubclassedUnderAnother,
    kDialog
  };
  for (Orphan kind : {Orphan::kCreatedWindow, Orphan::kSubclassedUnderAnother, Orphan::kDialog}) {
    HWND orphan = nullptr;
    if (kind == Orphan::kCreatedWindow) {
      FailingWindow first;
      orphan = first.Create(nullptr);
      ASSERT_NE(orphan, nullptr);
    } else if (kind == Orphan::kSubclassedUnderAnother) {
      orphan = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
      ASSERT_NE(orphan, nullptr);
      FailingWindow first;
      ASSERT_TRUE(first.SubclassWindow(orphan));
      sm_UnderPassOn = SetWindowLongPtrW(orphan, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PassOn));
    } else {
      NotingDialog first;
      orphan = first.Create(nullptr);
      ASSERT_NE(orphan, nullptr);
    }
    sm_Orphan = orphan;
    HHOOK hook = SetWindowsHookExW(WH_CBT, MessageTheOrphan, nullptr, GetCurrentThreadId());
    FailingWindow second;
    const HWND created = second.Create(nullptr);
    UnhookWindowsHookEx(hook);
    const int kindNumber = static_cast<int>(kind);
    EXPECT_EQ(sm_Orphan, nullptr) << kindNumber << ": the orphan got its message";
    ASSERT_NE(created, nullptr) << kindNumber;
    EXPECT_EQ(second.m_hWnd, created) << kindNumber;
    EXPECT_EQ(second.m_Noted, 0) << kindNumber << ": the orphan did not take the new object";
    SendMessageW(created, WM_APP + 5, 0, 0);
    SendMessageW(orphan, WM_APP + 5, 0, 0);
    EXPECT_EQ(second.m_Noted, 1) << kindNumber << ": the new window has its object";
    second.DestroyWindow();
    DestroyWindow(orphan);
  }
}

}  // namespace
