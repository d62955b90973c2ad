#include <gtest/gtest.h>

#include <atlscrl.h>

#include <utility>
#include <vector>

#include "AtlTestSupport.h"
#include "win/DibCanvas.h"

namespace {

constexpr int kClientWidth = 200;
constexpr int kClientHeight = 100;

class ScrollView : public CScrollWindowImpl<ScrollView> {
public:
  std::vector<std::pair<int, int>> m_Moves;
  std::vector<POINT> m_PaintOrigins;

  BEGIN_MSG_MAP(ScrollView)
  CHAIN_MSG_MAP(CScrollWindowImpl<ScrollView>)
  END_MSG_MAP()

  void ScrollContents(int dx, int dy) {
    m_Moves.emplace_back(dx, dy);
    CScrollWindowImpl<ScrollView>::ScrollContents(dx, dy);
  }
  // Marks the content point at the offset, the client area's top left.
  void DoPaint(CDCHandle dc) {
    POINT origin = {};
    dc.GetViewportOrg(&origin);
    m_PaintOrigins.push_back(origin);
    const RECT mark = {m_ptOffset.x, m_ptOffset.y, m_ptOffset.x + 4, m_ptOffset.y + 4};
    dc.FillSolidRect(&mark, RGB(255, 0, 0));
  }

  // A view whose client area is kClientWidth x kClientHeight while both bars show.
  void Make() {
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    Create(nullptr, frame, L"Scroll", style);
    SetScrollSize(10 * kClientWidth, 10 * kClientHeight);
    RECT client = {};
    GetClientRect(&client);
    SetWindowPos(nullptr, 0, 0, 2 * kClientWidth - client.right, 2 * kClientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

POINT Offset(const ScrollView& view) {
  POINT p = {};
  view.GetScrollOffset(p);
  return p;
}

class ScrollTest : public GuardCapturingTest {
protected:
  void SetUp() override {
    GuardCapturingTest::SetUp();
    m_View.Make();
    ASSERT_NE(m_View.m_hWnd, nullptr);
    RECT client = {};
    m_View.GetClientRect(&client);
    ASSERT_EQ(client.right, kClientWidth);
    ASSERT_EQ(client.bottom, kClientHeight);
    m_View.SetScrollLine(10, 20);
  }
  void TearDown() override {
    m_View.DestroyWindow();
    CScrollSystemHooks::sm_GetScrollInfo = ::GetScrollInfo;
    GuardCapturingTest::TearDown();
  }

  void Bar(UINT message, int code, int word = 0) {
    m_View.SendMessage(message, MAKEWPARAM(code, word), 0);
  }

  ScrollView m_View;
};

TEST_F(ScrollTest, BarsShowTheExtentAndRequestsClampAtBothEnds) {
  m_View.SetScrollSize(1000, 500);
  SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(m_View, SB_HORZ, &info);
  EXPECT_EQ(info.nMax, 999);
  EXPECT_EQ(info.nPage, static_cast<UINT>(kClientWidth));
  struct Case {
    UINT m_Message;
    int m_Code;
    POINT m_Expected;
  };
  // From the top left, in order.
  const Case cases[] = {
      {WM_VSCROLL, SB_LINEUP, {0, 0}},      {WM_HSCROLL, SB_LINEUP, {0, 0}},
      {WM_VSCROLL, SB_LINEDOWN, {0, 20}},   {WM_HSCROLL, SB_LINEDOWN, {10, 20}},
      {WM_VSCROLL, SB_PAGEDOWN, {10, 120}}, {WM_HSCROLL, SB_PAGEDOWN, {210, 120}},
      {WM_VSCROLL, SB_BOTTOM, {210, 400}},  {WM_VSCROLL, SB_LINEDOWN, {210, 400}},
      {WM_HSCROLL, SB_BOTTOM, {800, 400}},  {WM_HSCROLL, SB_PAGEDOWN, {800, 400}},
      {WM_VSCROLL, SB_PAGEUP, {800, 300}},  {WM_HSCROLL, SB_TOP, {0, 300}},
  };
  for (const Case& c : cases) {
    Bar(c.m_Message, c.m_Code);
    const POINT p = Offset(m_View);
    EXPECT_EQ(p.x, c.m_Expected.x) << c.m_Code;
    EXPECT_EQ(p.y, c.m_Expected.y) << c.m_Code;
  }
  ::GetScrollInfo(m_View, SB_VERT, &info);
  EXPECT_EQ(info.nPos, 300);
  // The program's requests clamp too.
  m_View.SetScrollOffset(5000, -7);
  EXPECT_EQ(Offset(m_View).x, 800);
  EXPECT_EQ(Offset(m_View).y, 0);
  // The contents moved by every change, and only then.
  EXPECT_EQ(m_View.m_Moves.front(), std::make_pair(0, -20));
  EXPECT_EQ(m_View.m_Moves.back(), std::make_pair(-800, 300));
}

TEST_F(ScrollTest, AnExtentSmallerThanTheViewNeverScrolls) {
  m_View.SetScrollSize(50, 40);
  for (const int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM}) {
    Bar(WM_HSCROLL, code);
    Bar(WM_VSCROLL, code);
  }
  m_View.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  m_View.SetScrollOffset(30, 30);
  EXPECT_EQ(Offset(m_View).x, 0);
  EXPECT_EQ(Offset(m_View).y, 0);
  EXPECT_TRUE(m_View.m_Moves.empty());
}

// The thumb's position comes from the bar's 32-bit tracking position, not the message's word.
TEST_F(ScrollTest, AThumbDragAcrossAHundredThousandPixels) {
  m_View.SetScrollSize(100000, 500);
  static int sTrackPos = 0;
  CScrollSystemHooks::sm_GetScrollInfo = [](HWND, int, LPSCROLLINFO info) -> BOOL {
    info->nTrackPos = sTrackPos;
    return TRUE;
  };
  sTrackPos = 90000;
  Bar(WM_HSCROLL, SB_THUMBTRACK, 90000 & 0xFFFF);
  EXPECT_EQ(Offset(m_View).x, 90000);
  sTrackPos = 99990;
  Bar(WM_HSCROLL, SB_THUMBPOSITION, 99990 & 0xFFFF);
  EXPECT_EQ(Offset(m_View).x, 100000 - kClientWidth);

  // Without thumb tracking only the release moves the view.
  m_View.SetScrollExtendedStyle(SCRL_NOTHUMBTRACKING);
  sTrackPos = 70000;
  Bar(WM_HSCROLL, SB_THUMBTRACK, 70000 & 0xFFFF);
  EXPECT_EQ(Offset(m_View).x, 100000 - kClientWidth);
  Bar(WM_HSCROLL, SB_THUMBPOSITION, 70000 & 0xFFFF);
  EXPECT_EQ(Offset(m_View).x, 70000);
}

TEST_F(ScrollTest, TheWheelScrollsWholeNotchesByItsLines) {
  m_View.m_nWheelLines = 3;
  m_View.SetScrollSize(1000, 500);
  const auto wheel = [&](int delta) {
    m_View.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
  };
  wheel(WHEEL_DELTA);
  EXPECT_EQ(Offset(m_View).y, 0);
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(Offset(m_View).y, 60);
  wheel(-WHEEL_DELTA / 2);
  EXPECT_EQ(Offset(m_View).y, 60);
  wheel(-WHEEL_DELTA / 2);
  EXPECT_EQ(Offset(m_View).y, 120);
  wheel(-10 * WHEEL_DELTA);
  EXPECT_EQ(Offset(m_View).y, 400);
  // With nothing to scroll vertically the wheel moves the view sideways.
  m_View.SetScrollSize(1000, 50);
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(Offset(m_View).x, 30);
  EXPECT_EQ(Offset(m_View).y, 0);
}

// The paint hook draws in content coordinates: the context's origin stands at minus the offset.
TEST_F(ScrollTest, ThePaintHookDrawsAtMinusTheOffset) {
  m_View.SetScrollSize(1000, 500);
  m_View.SetScrollOffset(130, 70);
  DibCanvas canvas(kClientWidth, kClientHeight, RGB(0, 0, 0));
  m_View.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  ASSERT_EQ(m_View.m_PaintOrigins.size(), 1u);
  EXPECT_EQ(m_View.m_PaintOrigins[0].x, -130);
  EXPECT_EQ(m_View.m_PaintOrigins[0].y, -70);
  EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(4, 4), RGB(0, 0, 0));
  // The caller's context keeps its own origin.
  POINT origin = {1, 1};
  GetViewportOrgEx(canvas.dc(), &origin);
  EXPECT_EQ(origin.x, 0);

  m_View.Invalidate();
  m_View.UpdateWindow();
  ASSERT_EQ(m_View.m_PaintOrigins.size(), 2u);
  EXPECT_EQ(m_View.m_PaintOrigins[1].x, -130);
  RECT update = {};
  EXPECT_FALSE(GetUpdateRect(m_View, &update, FALSE));
}

// A smaller extent or a larger client area pulls the offset back into range.
TEST_F(ScrollTest, ResizingClampsTheOffset) {
  m_View.SetScrollSize(1000, 500);
  m_View.SetScrollOffset(800, 400);
  m_View.SetScrollSize(900, 450, TRUE, false);
  EXPECT_EQ(Offset(m_View).x, 700);
  EXPECT_EQ(Offset(m_View).y, 350);
  RECT frame = {};
  m_View.GetWindowRect(&frame);
  m_View.SetWindowPos(nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 50,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Offset(m_View).x, 600);
  EXPECT_EQ(Offset(m_View).y, 300);
}

}  // namespace
