#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AtlTestSupport.h"

namespace {

// Records the messages its map sees; a few it answers itself.
class RecordingWindow : public CWindowImpl<RecordingWindow, CWindow, CFrameWinTraits> {
public:
  std::vector<UINT> m_Seen;
  bool m_BoundAtCreate = false;
  int m_FinalMessages = 0;
  bool m_InsideUserMessage = false;
  bool m_FinalInsideUserMessage = false;
  bool m_DestroyInUserMessage = false;
  bool m_DeleteAtFinal = false;
  bool* m_Deleted = nullptr;

  ~RecordingWindow() override {
    if (m_Deleted) {
      *m_Deleted = true;
    }
  }

  BEGIN_MSG_MAP(RecordingWindow)
  m_Seen.push_back(uMsg);
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_USER, OnUser)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_BoundAtCreate = m_hWnd != nullptr && GetCurrentMessage() != nullptr;
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnUser(UINT, WPARAM, LPARAM, BOOL&) {
    m_InsideUserMessage = true;
    if (m_DestroyInUserMessage) {
      DestroyWindow();
    }
    m_InsideUserMessage = false;
    return 42;
  }

  void OnFinalMessage(HWND) override {
    ++m_FinalMessages;
    m_FinalInsideUserMessage = m_InsideUserMessage;
    if (m_DeleteAtFinal) {
      delete this;
    }
  }
};

bool Saw(const std::vector<UINT>& seen, UINT message) {
  for (UINT m : seen) {
    if (m == message) {
      return true;
    }
  }
  return false;
}

TEST(WindowBinding, TheMapSeesTheWindowsFirstMessages) {
  RecordingWindow window;
  ASSERT_NE(window.Create(nullptr, nullptr, ProcessUniqueName(L"binding").c_str()), nullptr);
  ASSERT_FALSE(window.m_Seen.empty());
  // A top-level window's first message is WM_GETMINMAXINFO, then WM_NCCREATE.
  EXPECT_EQ(window.m_Seen[0], static_cast<UINT>(WM_GETMINMAXINFO));
  EXPECT_TRUE(Saw(window.m_Seen, WM_NCCREATE));
  EXPECT_TRUE(window.m_BoundAtCreate);
  EXPECT_EQ(window.GetStyle() & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
  EXPECT_NE(GetClassLongPtrW(window, GCL_STYLE) & CS_DBLCLKS, 0);
  // Unhandled messages reach the default procedure.
  EXPECT_EQ(window.SendMessage(WM_USER), 42);
  wchar_t text[64] = {};
  window.GetWindowText(text, 64);
  EXPECT_EQ(std::wstring(text), ProcessUniqueName(L"binding"));
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_EQ(window.m_FinalMessages, 1);
  EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowBinding, ChildWindowsBindAtNcCreate) {
  RecordingWindow parent;
  ASSERT_NE(parent.Create(nullptr), nullptr);
  class Child : public CWindowImpl<Child> {
  public:
    std::vector<UINT> m_Seen;
    BEGIN_MSG_MAP(Child)
    m_Seen.push_back(uMsg);
    END_MSG_MAP()
  } child;
  RECT r = {0, 0, 20, 10};
  ASSERT_NE(child.Create(parent, r), nullptr);
  ASSERT_FALSE(child.m_Seen.empty());
  EXPECT_EQ(child.m_Seen[0], static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(child.GetStyle() & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
  parent.DestroyWindow();
}

TEST(WindowBinding, FailedRegistrationOrCreationLeavesNothingBound) {
  using Hooks = CWindowSystemHooks;
  class Plain : public CWindowImpl<Plain, CWindow, CFrameWinTraits> {
  public:
    BEGIN_MSG_MAP(Plain)
    END_MSG_MAP()
  };
  {
    Hooks::sm_RegisterClassEx = [](const WNDCLASSEXW*) -> ATOM { return 0; };
    Plain window;
    EXPECT_EQ(window.Create(nullptr), nullptr);
    Hooks::sm_RegisterClassEx = ::RegisterClassExW;
    // Registration is tried again.
    EXPECT_NE(window.Create(nullptr), nullptr);
    window.DestroyWindow();
  }
  {
    Hooks::sm_CreateWindowEx = [](DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                                  HINSTANCE, LPVOID) -> HWND { return nullptr; };
    Plain failed;
    EXPECT_EQ(failed.Create(nullptr), nullptr);
    Hooks::sm_CreateWindowEx = ::CreateWindowExW;
    EXPECT_EQ(failed.m_hWnd, nullptr);
    // The next window binds its own object, not the one whose creation failed.
    RecordingWindow next;
    ASSERT_NE(next.Create(nullptr), nullptr);
    EXPECT_FALSE(next.m_Seen.empty());
    next.DestroyWindow();
  }
}

TEST(FinalMessage, RunsOnceAfterTheOutermostMessageReturns) {
  auto* window = new RecordingWindow;
  bool deleted = false;
  window->m_Deleted = &deleted;
  window->m_DestroyInUserMessage = true;
  window->m_DeleteAtFinal = true;
  HWND hWnd = window->Create(nullptr);
  ASSERT_NE(hWnd, nullptr);
  // The handler destroys the window; the object deletes itself at its final message, which
  // must come after the handler has returned.
  EXPECT_EQ(SendMessageW(hWnd, WM_USER, 0, 0), 42);
  EXPECT_TRUE(deleted);
  EXPECT_FALSE(IsWindow(hWnd));
}

TEST(FinalMessage, NestedDestructionWaitsForTheOuterHandler) {
  RecordingWindow window;
  window.m_DestroyInUserMessage = true;
  ASSERT_NE(window.Create(nullptr), nullptr);
  window.SendMessage(WM_USER);
  EXPECT_EQ(window.m_FinalMessages, 1);
  EXPECT_FALSE(window.m_FinalInsideUserMessage);
  EXPECT_EQ(window.m_hWnd, nullptr);
}

// A window class with a procedure of its own, to subclass.
std::vector<UINT> sm_OriginalSaw;
LRESULT CALLBACK OriginalProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  sm_OriginalSaw.push_back(message);
  if (message == WM_USER + 1) {
    return 7;
  }
  return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreatePlainWindow() {
  static const std::wstring sm_Name = ProcessUniqueName(L"AtlPlain");
  static const ATOM sm_Atom = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OriginalProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = sm_Name.c_str();
    return RegisterClassW(&windowClass);
  }();
  return sm_Atom ? CreateWindowExW(0, sm_Name.c_str(), L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr)
                 : nullptr;
}

class Subclasser : public CWindowImpl<Subclasser> {
public:
  std::vector<UINT> m_Seen;
  std::vector<std::vector<UINT>> m_OriginalAtNcDestroy;
  int m_FinalMessages = 0;

  BEGIN_MSG_MAP(Subclasser)
  m_Seen.push_back(uMsg);
  MESSAGE_HANDLER(WM_USER + 2, OnPassOn)
  MESSAGE_HANDLER(WM_USER + 3, OnOwn)
  MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
  END_MSG_MAP()

  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL&) { return DefWindowProc() + 100; }
  LRESULT OnOwn(UINT, WPARAM, LPARAM, BOOL&) { return 3; }
  LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    m_OriginalAtNcDestroy.push_back(sm_OriginalSaw);
    return 0;
  }
  void OnFinalMessage(HWND) override { ++m_FinalMessages; }
};

TEST(Subclassing, MapFirstThenThePreviousProcedure) {
  HWND hWnd = CreatePlainWindow();
  ASSERT_NE(hWnd, nullptr);
  Subclasser object;
  ASSERT_TRUE(object.SubclassWindow(hWnd));
  Subclasser second;
  EXPECT_FALSE(second.SubclassWindow(hWnd)) << "a window has one object";
  sm_OriginalSaw.clear();
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 1, 0, 0), 7) << "unhandled: previous procedure";
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 2, 0, 0), 100) << "DefWindowProc() reaches it too";
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 3, 0, 0), 3);
  EXPECT_EQ(sm_OriginalSaw, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));

  // The previous procedure sees WM_NCDESTROY before the map does.
  sm_OriginalSaw.clear();
  DestroyWindow(hWnd);
  ASSERT_EQ(object.m_OriginalAtNcDestroy.size(), 1u);
  EXPECT_TRUE(Saw(object.m_OriginalAtNcDestroy[0], WM_NCDESTROY));
  EXPECT_EQ(object.m_FinalMessages, 1);
  EXPECT_EQ(object.m_hWnd, nullptr);
}

TEST(Subclassing, UnsubclassGivesTheProcedureBack) {
  HWND hWnd = CreatePlainWindow();
  ASSERT_NE(hWnd, nullptr);
  const LONG_PTR original = GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
  Subclasser object;
  ASSERT_TRUE(object.SubclassWindow(hWnd));
  EXPECT_EQ(object.UnsubclassWindow(), hWnd);
  EXPECT_EQ(GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);
  object.m_Seen.clear();
  SendMessageW(hWnd, WM_USER + 3, 0, 0);
  EXPECT_TRUE(object.m_Seen.empty());
  // Another object may take the window now.
  Subclasser next;
  EXPECT_TRUE(next.SubclassWindow(hWnd));
  DestroyWindow(hWnd);
  EXPECT_EQ(object.m_FinalMessages, 0);
  EXPECT_EQ(next.m_FinalMessages, 1);
}

TEST(Subclassing, AnObjectGoneFirstLeavesAWorkingWindow) {
  HWND hWnd = CreatePlainWindow();
  ASSERT_NE(hWnd, nullptr);
  const LONG_PTR original = GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
  {
    Subclasser object;
    ASSERT_TRUE(object.SubclassWindow(hWnd));
  }
  EXPECT_EQ(GetWindowLongPtrW(hWnd, GWLP_WNDPROC), original);
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 1, 0, 0), 7);
  EXPECT_TRUE(DestroyWindow(hWnd));
}

LONG_PTR sm_UnderTop = 0;
LRESULT CALLBACK TopProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(reinterpret_cast<WNDPROC>(sm_UnderTop), hWnd, message, wParam, lParam);
}

TEST(Subclassing, AnObjectGoneUnderAnotherSubclassPassesMessagesOn) {
  HWND hWnd = CreatePlainWindow();
  ASSERT_NE(hWnd, nullptr);
  auto object = std::make_unique<Subclasser>();
  ASSERT_TRUE(object->SubclassWindow(hWnd));
  sm_UnderTop = SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TopProc));
  EXPECT_EQ(object->UnsubclassWindow(), nullptr) << "another procedure sits on top";
  object.reset();
  sm_OriginalSaw.clear();
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 1, 0, 0), 7);
  EXPECT_EQ(SendMessageW(hWnd, WM_USER + 3, 0, 0), 0) << "no map answers any more";
  EXPECT_EQ(sm_OriginalSaw, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
  // A window an object once held is not taken again.
  Subclasser later;
  EXPECT_FALSE(later.SubclassWindow(hWnd));
  EXPECT_TRUE(DestroyWindow(hWnd));
}

}  // namespace
