#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <deque>
#include <string>
#include <vector>

#include "support/WTLA_AssertCapture.h"
#include "WTLA/win/SplitterTracker.h"
#include "win/DibCanvas.h"

namespace {

struct TestItem {
  int m_Minimum;
};
struct TestMinimum {
  int operator()(const TestItem& item) const { return item.m_Minimum; }
};

class TestWindow : public CWindowImpl<TestWindow, CWindow, CFrameWinTraits> {
public:
  std::vector<UINT> m_SysKeys;

  BEGIN_MSG_MAP(TestWindow)
  MESSAGE_HANDLER(WM_SYSKEYDOWN, OnSysKey)
  END_MSG_MAP()

  LRESULT OnSysKey(UINT msg, WPARAM, LPARAM, BOOL&) {
    m_SysKeys.push_back(msg);
    return 0;
  }
};

// A horizontal row of three items over x in [-5, 295], laid out by counting.
class TestRow {
public:
  using CContainer = dockwins::CSeparatorContainer<TestItem, TestMinimum>;

  explicit TestRow(HWND window) : m_Window(window) {
    m_Container.set_bounds({-5, 295});
    for (int pos : {-5, 100, 200}) {
      int p = pos;
      m_Container.insert(m_Container.size(), p, TestItem{20}, 0);
    }
    m_Container.restore_positions({-5, 100, 200});
  }

  CContainer& container() { return m_Container; }
  bool horizontal() const { return true; }
  RECT rect() const { return {0, 0, 295, 50}; }
  HWND window() const { return m_Window; }
  void Arrange() { ++m_Arranged; }

  std::deque<int> positions() const { return m_Container.positions(); }

  int m_Arranged = 0;

private:
  HWND m_Window;
  CContainer m_Container;
};

// What the ghost bar is drawn over.
constexpr COLORREF kBackground = RGB(0x33, 0x66, 0x99);

LPARAM Point(int x, int y) {
  return MAKELPARAM(x, y);
}

class TrackerTest : public AssertCapturingTest {
protected:
  void SetUp() override {
    AssertCapturingTest::SetUp();
    const std::wstring title = L"TrackerTest" + std::to_wstring(GetCurrentProcessId());
    RECT rc{0, 0, 400, 200};
    ASSERT_NE(m_Window.Create(nullptr, rc, title.c_str()), nullptr);
    m_Window.ShowWindow(SW_SHOWNA);
  }
  void TearDown() override {
    m_Window.DestroyWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    AssertCapturingTest::TearDown();
  }

  void Post(UINT msg, WPARAM wParam, LPARAM lParam) {
    ASSERT_TRUE(PostMessageW(m_Window.m_hWnd, msg, wParam, lParam));
  }

  TestWindow m_Window;
};

TEST_F(TrackerTest, FullDragPushesAndKeepsTheDrop) {
  TestRow row(m_Window);
  dockwins::CSplitterMoveTrackerFull<TestRow> tracker(row, 1, POINT{102, 10});
  Post(WM_MOUSEMOVE, 0, Point(150, 10));
  Post(WM_MOUSEMOVE, 0, Point(282, 10));  // clamped; pushes the last separator to its limit
  Post(WM_LBUTTONUP, 0, Point(282, 10));
  EXPECT_TRUE(dockwins::TrackDragAndDrop(tracker, m_Window));
  EXPECT_EQ(row.positions(), (std::deque<int>{-5, 245, 270}));
  EXPECT_EQ(row.m_Arranged, 2);
  EXPECT_NE(GetCapture(), m_Window.m_hWnd);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(TrackerTest, TheTrackerClampsToTheRoomOfTheItems) {
  TestRow row(m_Window);
  dockwins::CSplitterMoveTrackerFull<TestRow> tracker(row, 2, POINT{200, 10});
  tracker.OnMove(-3000, 10);
  EXPECT_EQ(tracker.position(), -5 + 25 + 25);
  tracker.OnMove(3000, 10);
  EXPECT_EQ(tracker.position(), 295 - 25);
  // The separator pushed on the way stays where it was pushed.
  EXPECT_EQ(row.positions(), (std::deque<int>{-5, 20, 270}));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(TrackerTest, AFullDragCancelledPutsTheSeparatorsBack) {
  struct Case {
    UINT m_Message;
    WPARAM m_WParam;
    bool m_Dispatched;
  };
  const Case cases[] = {
      {WM_KEYDOWN, VK_ESCAPE, false},
      {WM_RBUTTONDOWN, 0, false},
      {WM_LBUTTONDOWN, 0, false},
      {WM_SYSKEYDOWN, VK_MENU, true},
  };
  for (const Case& c : cases) {
    m_Window.m_SysKeys.clear();
    TestRow row(m_Window);
    dockwins::CSplitterMoveTrackerFull<TestRow> tracker(row, 1, POINT{100, 10});
    Post(WM_MOUSEMOVE, 0, Point(250, 10));
    Post(WM_KEYDOWN, 'A', 0);  // other keys are dropped
    Post(c.m_Message, c.m_WParam, Point(250, 10));
    Post(WM_LBUTTONUP, 0, Point(250, 10));  // after the loop: not seen by the drag
    EXPECT_FALSE(dockwins::TrackDragAndDrop(tracker, m_Window)) << c.m_Message;
    EXPECT_EQ(row.positions(), (std::deque<int>{-5, 100, 200})) << c.m_Message;
    EXPECT_EQ(m_Window.m_SysKeys.size(), c.m_Dispatched ? 1u : 0u);
    EXPECT_NE(GetCapture(), m_Window.m_hWnd);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, m_Window, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(TrackerTest, AQuitCancelsTheDragAndStaysForTheThreadsLoop) {
  TestRow row(m_Window);
  dockwins::CSplitterMoveTrackerFull<TestRow> tracker(row, 1, POINT{100, 10});
  Post(WM_MOUSEMOVE, 0, Point(180, 10));
  PostQuitMessage(7);
  EXPECT_FALSE(dockwins::TrackDragAndDrop(tracker, m_Window));
  EXPECT_EQ(row.positions(), (std::deque<int>{-5, 100, 200}));
  EXPECT_NE(GetCapture(), m_Window.m_hWnd);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(TrackerTest, TheGhostBarMovesAloneAndTheRowFollowsAtTheDrop) {
  for (bool cancel : {false, true}) {
    TestRow row(m_Window);
    DibCanvas canvas(1600, 1200, kBackground);
    const std::vector<DWORD> before = canvas.snapshot();
    POINT origin{0, 0};
    ClientToScreen(m_Window, &origin);
    dockwins::CSplitterMoveTrackerGhost<TestRow> tracker(row, 1, POINT{100, 10}, canvas.dc());
    tracker.BeginDrag();
    EXPECT_NE(canvas.at(origin.x + 100, origin.y + 10), kBackground);
    tracker.OnMove(150, 10);
    EXPECT_EQ(canvas.at(origin.x + 100, origin.y + 10), kBackground);
    EXPECT_NE(canvas.snapshot(), before);
    EXPECT_EQ(tracker.ghost().left, origin.x + 150);
    EXPECT_EQ(tracker.ghost().right, origin.x + 155);
    EXPECT_EQ(row.m_Arranged, 0);
    EXPECT_EQ(row.positions(), (std::deque<int>{-5, 100, 200}));
    if (cancel) {
      tracker.OnCancelDrag(150, 10);
    }
    tracker.EndDrag(cancel);
    EXPECT_EQ(canvas.snapshot(), before) << "drawing twice restores the pixels";
    EXPECT_EQ(row.positions(),
              cancel ? (std::deque<int>{-5, 100, 200}) : (std::deque<int>{-5, 150, 200}));
    EXPECT_EQ(row.m_Arranged, cancel ? 0 : 1);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

}  // namespace
