#include "WTLU/WTLU_ScrollView.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/WTLU_TestSupport.h"

namespace {

constexpr int kClientWidth = 200;
constexpr int kClientHeight = 100;

// Records, in order, each offset it is given (as it stands after the base took it), each bar
// update and each paint with the context's origin.
class RecordingView : public WTLU_ScrollView<RecordingView> {
public:
  std::vector<std::string> m_Events;

  BEGIN_MSG_MAP(RecordingView)
  CHAIN_MSG_MAP(WTLU_ScrollView<RecordingView>)
  END_MSG_MAP()

  void SetScrollOffset(int x, int y, BOOL bRedraw = TRUE) override {
    WTLU_ScrollView<RecordingView>::SetScrollOffset(x, y, bRedraw);
    m_Events.push_back("offset " + std::to_string(m_ptOffset.x) + "," +
                       std::to_string(m_ptOffset.y));
  }
  int SetScrollInfo(int bar, LPSCROLLINFO info, BOOL bRedraw = TRUE) override {
    m_Events.push_back(bar == SB_HORZ ? "bar h" : "bar v");
    return WTLU_ScrollView<RecordingView>::SetScrollInfo(bar, info, bRedraw);
  }
  void DoPaint(WTL::CDCHandle dc) override {
    POINT origin = {};
    dc.GetViewportOrg(&origin);
    m_Events.push_back("paint " + std::to_string(origin.x) + "," + std::to_string(origin.y));
  }
};

class ScrollViewTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    ASSERT_NE(
        m_View.Create(nullptr, frame, L"View", WS_POPUP | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL),
        nullptr);
    m_View.SetScrollSize(100000, 1000);
    RECT client = {};
    m_View.GetClientRect(&client);
    m_View.SetWindowPos(nullptr, 0, 0, 2 * kClientWidth - client.right,
                        2 * kClientHeight - client.bottom,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_View.SetScrollLine(20, 20);
    m_View.m_nWheelLines = 3;
    m_View.SetScrollOffset(100, 100);
    m_View.UpdateWindow();
    m_View.m_Events.clear();
  }
  void TearDown() override {
    m_View.DestroyWindow();
    WTL::CScrollSystemHooks::sm_GetScrollInfo = ::GetScrollInfo;
    GuardCapturingTest::TearDown();
  }

  RecordingView m_View;
};

// Whatever moves the view, the derived view hears of it once: one offset, then one update per
// bar, then the paint at minus the new offset.
TEST_F(ScrollViewTest, EveryChangeOfOffsetPassesTheVirtualCallsOnce) {
  struct Case {
    const char* m_Name;
    std::function<void(RecordingView&)> m_Action;
    const char* m_Offset;
    const char* m_Paint;
  };
  const Case cases[] = {
      {"bar line", [](RecordingView& v) { v.SendMessage(WM_VSCROLL, SB_LINEDOWN); },
       "offset 100,120", "paint -100,-120"},
      {"bar page", [](RecordingView& v) { v.SendMessage(WM_HSCROLL, SB_PAGEUP); }, "offset 0,120",
       "paint 0,-120"},
      {"wheel",
       [](RecordingView& v) {
         v.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
       },
       "offset 0,180", "paint 0,-180"},
      {"thumb",
       [](RecordingView& v) {
         WTL::CScrollSystemHooks::sm_GetScrollInfo = [](HWND, int, LPSCROLLINFO info) -> BOOL {
           info->nTrackPos = 99000;
           return TRUE;
         };
         v.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 99000 & 0xFFFF));
       },
       "offset 99000,180", "paint -99000,-180"},
      {"clamped by a smaller extent",
       [](RecordingView& v) { v.SetScrollSize(50000, 250, TRUE, false); }, "offset 49800,150",
       "paint -49800,-150"},
      {"clamped by a larger window",
       [](RecordingView& v) {
         RECT r = {};
         v.GetWindowRect(&r);
         v.SetWindowPos(nullptr, 0, 0, r.right - r.left + 100, r.bottom - r.top + 50,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
       },
       "offset 49700,100", "paint -49700,-100"},
      {"the program", [](RecordingView& v) { v.SetScrollOffset(7, 8); }, "offset 7,8",
       "paint -7,-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_Name);
    m_View.m_Events.clear();
    c.m_Action(m_View);
    m_View.Invalidate();
    m_View.UpdateWindow();
    const std::vector<std::string> expected = {"bar h", "bar v", c.m_Offset, c.m_Paint};
    EXPECT_EQ(m_View.m_Events, expected);
  }
  EXPECT_TRUE(sm_Logged.empty());
}

}  // namespace
