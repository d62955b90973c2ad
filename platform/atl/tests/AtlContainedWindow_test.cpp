#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AtlTestSupport.h"
#include "GLIB/GLIB_Exception.h"

namespace {

// A window class with a procedure of its own, the contained windows' original class.
std::vector<UINT> sm_OriginalSaw;
LRESULT CALLBACK OriginalProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  sm_OriginalSaw.push_back(message);
  if (message == WM_USER + 1) {
    return 7;
  }
  return DefWindowProcW(hWnd, message, wParam, lParam);
}

const wchar_t* OriginalClass() {
  static const std::wstring sm_Name = ProcessUniqueName(L"AtlContainedOriginal");
  static const ATOM sm_Atom = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OriginalProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = sm_Name.c_str();
    return RegisterClassW(&windowClass);
  }();
  return sm_Atom ? sm_Name.c_str() : L"";
}

// The owner handles its contained windows in alternate sections 1 and 2; section 1 passes
// WM_USER + 1 on after noting it.
class Owner : public CWindowImpl<Owner, CWindow, CFrameWinTraits> {
public:
  std::vector<std::string> m_Trace;
  bool m_Throw = false;

  CContainedWindow m_First{OriginalClass(), this, 1};
  CContainedWindow m_Second{OriginalClass(), this, 2};

  BEGIN_MSG_MAP(Owner)
  MESSAGE_HANDLER(WM_USER + 3, OnOwn)
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(WM_CREATE, OnContainedCreate)
  MESSAGE_HANDLER(WM_USER + 1, OnPassOn)
  MESSAGE_HANDLER(WM_USER + 3, OnFirst)
  ALT_MSG_MAP(2)
  MESSAGE_HANDLER(WM_USER + 3, OnSecond)
  END_MSG_MAP()

  LRESULT OnOwn(UINT, WPARAM, LPARAM, BOOL&) { return Note("owner", 1); }
  LRESULT OnContainedCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return Note("first created", 0);
  }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return Note("first passes on", 0);
  }
  LRESULT OnFirst(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_Throw) {
      throw GLIB_Exception(3, static_cast<const char*>(nullptr), nullptr, 0);
    }
    return Note("first", 31);
  }
  LRESULT OnSecond(UINT, WPARAM, LPARAM, BOOL&) { return Note("second", 32); }

private:
  LRESULT Note(const char* what, LRESULT result) {
    m_Trace.push_back(what);
    return result;
  }
};

class ContainedWindowTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    ASSERT_NE(m_Owner.Create(nullptr), nullptr);
  }
  void TearDown() override {
    if (m_Owner.IsWindow()) {
      m_Owner.DestroyWindow();
    }
    GuardCapturingTest::TearDown();
  }

  Owner m_Owner;
};

TEST_F(ContainedWindowTest, CreatedWindowsReachTheOwnersSectionsThenTheirOwnProcedure) {
  RECT r = {0, 0, 20, 20};
  ASSERT_NE(m_Owner.m_First.Create(m_Owner, r), nullptr);
  ASSERT_NE(m_Owner.m_Second.Create(m_Owner, r), nullptr);
  // The map sees the window's creation.
  EXPECT_EQ(m_Owner.m_Trace, (std::vector<std::string>{"first created"}));
  m_Owner.m_Trace.clear();
  sm_OriginalSaw.clear();

  EXPECT_EQ(m_Owner.m_First.SendMessage(WM_USER + 3), 31);
  EXPECT_EQ(m_Owner.m_Second.SendMessage(WM_USER + 3), 32);
  EXPECT_EQ(m_Owner.SendMessage(WM_USER + 3), 1);
  EXPECT_EQ(m_Owner.m_First.SendMessage(WM_USER + 1), 7) << "passed on to the original";
  EXPECT_EQ(m_Owner.m_Trace,
            (std::vector<std::string>{"first", "second", "owner", "first passes on"}));
  EXPECT_EQ(sm_OriginalSaw, (std::vector<UINT>{WM_USER + 1}));
  // The superclass keeps the original class's procedure for what the map leaves.
  EXPECT_EQ(m_Owner.m_First.DefWindowProc(WM_USER + 1, 0, 0), 7);

  m_Owner.m_First.SwitchMessageMap(2);
  EXPECT_EQ(m_Owner.m_First.SendMessage(WM_USER + 3), 32);

  // Contained windows of another type share the superclass.
  CContainedWindowT<CWindow, CWinTraits<WS_CHILD>> other(OriginalClass(), &m_Owner, 2);
  ASSERT_NE(other.Create(m_Owner, r), nullptr);
  EXPECT_EQ(other.GetStyle() & WS_VISIBLE, 0u);
  EXPECT_EQ(other.SendMessage(WM_USER + 3), 32);
  EXPECT_EQ(other.SendMessage(WM_USER + 1), 7);
}

TEST_F(ContainedWindowTest, SubclassedWindowsAndTheGuardInTheOwnersName) {
  HWND plain = CreateWindowExW(0, OriginalClass(), L"", WS_CHILD, 0, 0, 10, 10, m_Owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  ASSERT_TRUE(m_Owner.m_First.SubclassWindow(plain));
  EXPECT_EQ(SendMessageW(plain, WM_USER + 3, 0, 0), 31);

  m_Owner.m_Throw = true;
  EXPECT_EQ(SendMessageW(plain, WM_USER + 3, 0, 0), 0);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Text.rfind(L"Class Owner caught unhandled GLIB_Exception: ", 0), 0u);
  EXPECT_EQ(sm_Logged[0].m_File, "AtlContainedWindow_test.cpp");
  EXPECT_TRUE(GLIB_IsFatalPending());
  GLIB_TakePendingFatal();

  // A section the owner lacks is a fatal fault in the owner's name.
  sm_Logged.clear();
  m_Owner.m_First.SwitchMessageMap(9);
  SendMessageW(plain, WM_USER + 3, 0, 0);
  ASSERT_EQ(sm_Logged.size(), 1u);
  EXPECT_EQ(sm_Logged[0].m_Text, L"Class Owner received unhandled message map ID 9");
  EXPECT_EQ(sm_Logged[0].m_Severity, GLIB_SEVERITY_FATAL);
}

TEST_F(ContainedWindowTest, AContainedObjectGoneFirstLeavesTheOriginalBehaviour) {
  RECT r = {0, 0, 20, 20};
  HWND created = nullptr;
  {
    CContainedWindow contained(OriginalClass(), &m_Owner, 1);
    created = contained.Create(m_Owner, r);
    ASSERT_NE(created, nullptr);
  }
  m_Owner.m_Trace.clear();
  sm_OriginalSaw.clear();
  EXPECT_EQ(SendMessageW(created, WM_USER + 1, 0, 0), 7);
  EXPECT_EQ(SendMessageW(created, WM_USER + 3, 0, 0), 0);
  EXPECT_TRUE(m_Owner.m_Trace.empty());
  EXPECT_EQ(sm_OriginalSaw, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
  EXPECT_TRUE(DestroyWindow(created));
}

TEST(ContainedWindow, AWindowWithoutAClassNameIsNotCreated) {
  CContainedWindow contained;
  EXPECT_EQ(contained.Create(nullptr, nullptr), nullptr);
}

}  // namespace
