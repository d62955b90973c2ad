#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>
#include <vector>

#include "WTLA/win/DockingFrame.h"
#include "WTLA/win/DockingWindow.h"
#include "win/DibCanvas.h"
#include "win/WTLA_FrameTest.h"

namespace {

using dockwins::DFDOCKRECT;

// A palette with a stored minimum, as the measurement palette keeps one.
class TestPalette : public dockwins::CTitleDockingWindowImpl<TestPalette> {
public:
  using CBase = dockwins::CTitleDockingWindowImpl<TestPalette>;
  SIZE m_Minimum{60, 60};

  BEGIN_MSG_MAP(TestPalette)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  void GetMinMaxInfo(MINMAXINFO* info) { info->ptMinTrackSize = POINT{m_Minimum.cx, m_Minimum.cy}; }
};

class DockingWindowTest : public docktest::FrameTest<docktest::ClientFrame> {
protected:
  DockingWindowTest() : FrameTest(L"DockingWindowTest") {}

  void SetUp() override {
    FrameTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    RECT prc{300, 100, 450, 300};
    ASSERT_NE(m_Palette.Create(m_Frame, prc, L"Navigation"), nullptr);
  }
  void TearDown() override {
    m_Palette.DestroyWindow();
    FrameTest::TearDown();
  }

  // Docks the palette at the frame's left edge.
  void DockLeft() {
    RECT drag{2, 100, 122, 300};
    MapWindowPoints(m_Frame, nullptr, reinterpret_cast<POINT*>(&drag), 2);
    DFDOCKRECT record{{m_Palette, m_Frame, dockwins::DC_ACCEPT}, drag, 0};
    ASSERT_TRUE(m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record)));
    ASSERT_TRUE(m_Palette.NotifyHost(&record));
    ASSERT_TRUE(m_Palette.IsDocking());
  }

  TestPalette m_Palette;
};

TEST_F(DockingWindowTest, TheDockedCaptionHasATitleAndACloseButton) {
  DockLeft();
  const RECT caption = m_Palette.m_caption.rect();
  const RECT button = m_Palette.m_caption.button().rect();
  EXPECT_EQ(caption.bottom - caption.top, dockwins::COutlookLikeCaption::Thickness());
  EXPECT_EQ(button.top, caption.top + 3);
  EXPECT_EQ(button.right, caption.right - 3);
  EXPECT_EQ(button.right - button.left, button.bottom - button.top);
  struct Case {
    POINT m_Point;
    LRESULT m_Hit;
  };
  const Case cases[] = {
      {{button.left + 2, button.top + 2}, HTCLOSE},
      {{caption.left + 20, caption.top + 5}, HTCAPTION},
      {{button.left - 2, button.top + 2}, HTCAPTION},
      {{caption.left + 20, caption.bottom + 5}, HTCLIENT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(m_Palette.m_caption.HitTest(c.m_Point), c.m_Hit) << c.m_Point.x << "," << c.m_Point.y;
  }
  // The client area lies below the caption.
  RECT client;
  m_Palette.GetClientRect(&client);
  RECT window;
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(client.bottom, (window.bottom - window.top) - caption.bottom);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, ALongTitleEndsInDotsAndAnEmptyOneDrawsNothing) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring title = L"Separations and inks of the front side";
  SIZE whole{};
  GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &whole);
  EXPECT_EQ(dockwins::FitEllipsis(dc, title.c_str(), static_cast<int>(title.size()), whole.cx),
            title);
  const std::wstring cut =
      dockwins::FitEllipsis(dc, title.c_str(), static_cast<int>(title.size()), whole.cx / 2);
  ASSERT_GT(cut.size(), 3u);
  EXPECT_EQ(cut.substr(cut.size() - 3), L"...");
  EXPECT_EQ(title.compare(0, cut.size() - 3, cut, 0, cut.size() - 3), 0);
  SIZE shown{};
  GetTextExtentPoint32W(dc, cut.c_str(), static_cast<int>(cut.size()), &shown);
  EXPECT_LE(shown.cx, whole.cx / 2);
  // Too narrow for anything: one character and the dots.
  EXPECT_EQ(dockwins::FitEllipsis(dc, title.c_str(), static_cast<int>(title.size()), 1), L"S...");
  dockwins::DrawEllipsisText(dc, L"", 0, RECT{0, 0, 100, 20}, true);
  DeleteDC(dc);
  // A docked palette with no title paints its caption without a complaint.
  DockLeft();
  m_Palette.SetWindowText(L"");
  RedrawWindow(m_Palette, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, SettingTheTextWhileDockedKeepsTheOwnCaption) {
  DockLeft();
  const LONG_PTR style = GetWindowLongPtrW(m_Palette, GWL_STYLE);
  m_Palette.SetWindowText(L"Measurement");
  EXPECT_EQ(GetWindowLongPtrW(m_Palette, GWL_STYLE), style);
  wchar_t text[32] = {};
  GetWindowTextW(m_Palette, text, 32);
  EXPECT_EQ(std::wstring(text), L"Measurement");
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, HidingADockedPaletteAndShowingItPutsItBack) {
  DockLeft();
  const RECT before = InFrame(m_Palette);
  HWND bar = GetParent(m_Palette);
  EXPECT_TRUE(m_Palette.Hide());
  EXPECT_FALSE(m_Palette.IsDocking());
  EXPECT_FALSE(m_Palette.IsWindowVisible());
  EXPECT_NE(m_Palette.m_pos.hdr.hBar, nullptr);
  EXPECT_TRUE(m_Palette.Show());
  EXPECT_TRUE(m_Palette.IsDocking());
  EXPECT_TRUE(m_Palette.IsWindowVisible());
  const RECT after = InFrame(m_Palette);
  EXPECT_TRUE(EqualRect(&before, &after));
  (void)bar;
  // Hidden while floating, it forgets the stored place.
  m_Palette.Float(m_Palette.m_rcUndock, SWP_SHOWWINDOW, nullptr);
  m_Palette.Hide();
  EXPECT_EQ(m_Palette.m_pos.hdr.hBar, nullptr);
  EXPECT_TRUE(m_Palette.Show());
  EXPECT_FALSE(m_Palette.IsDocking());
  EXPECT_TRUE(sm_Asserts.empty());
}

HWND WINAPI FailingCreate(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                          HINSTANCE, LPVOID) {
  return nullptr;
}

TEST_F(DockingWindowTest, AFailedDockShowsThePaletteFloating) {
  DockLeft();
  ASSERT_TRUE(m_Palette.Hide());
  // The bar the stored position needs cannot be made.
  const auto previous = ATL::CWindowSystemHooks::sm_CreateWindowEx;
  ATL::CWindowSystemHooks::sm_CreateWindowEx = FailingCreate;
  EXPECT_FALSE(m_Palette.Show());
  ATL::CWindowSystemHooks::sm_CreateWindowEx = previous;
  EXPECT_FALSE(m_Palette.IsDocking());
  EXPECT_TRUE(m_Palette.IsWindowVisible());
  EXPECT_EQ(sm_Asserts, (std::vector<std::wstring>{L"ptr", L"bRes"}));
}

TEST_F(DockingWindowTest, DoubleClickFloatsAndASecondDocksAgain) {
  DockLeft();
  const RECT docked = InFrame(m_Palette);
  m_Palette.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_FALSE(m_Palette.IsDocking());
  EXPECT_TRUE(m_Palette.IsWindowVisible());
  m_Palette.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_TRUE(m_Palette.IsDocking());
  const RECT again = InFrame(m_Palette);
  EXPECT_TRUE(EqualRect(&docked, &again));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, CloseHidesAndAFloatRefusedReportsFalse) {
  m_Palette.ShowWindow(SW_SHOW);
  m_Palette.SendMessage(WM_CLOSE);
  EXPECT_TRUE(IsWindow(m_Palette));
  EXPECT_FALSE(m_Palette.IsWindowVisible());
  // Floating already: nothing to float.
  EXPECT_FALSE(m_Palette.Float(RECT{0, 0, 100, 100}, SWP_SHOWWINDOW, nullptr));
}

TEST_F(DockingWindowTest, ARefusedUndockLeavesThePaletteWhereItWas) {
  // A "bar" that answers no dock request.
  m_Palette.ShowWindow(SW_SHOWNA);
  m_Palette.SendMessage(dockwins::WMDF_NDOCKSTATECHANGED, 1,
                        reinterpret_cast<LPARAM>(m_Frame.m_hWndClient));
  ASSERT_TRUE(m_Palette.IsDocking());
  RECT before;
  m_Palette.GetWindowRect(&before);
  EXPECT_FALSE(m_Palette.Float(RECT{10, 10, 200, 200}, SWP_SHOWWINDOW, nullptr));
  RECT after;
  m_Palette.GetWindowRect(&after);
  EXPECT_TRUE(EqualRect(&before, &after));
  // Hiding it must not leave a hole: it stays as it is.
  EXPECT_FALSE(m_Palette.Hide());
  EXPECT_TRUE(m_Palette.IsWindowVisible());
  EXPECT_TRUE(m_Palette.IsDocking());
  EXPECT_EQ(sm_Asserts, (std::vector<std::wstring>{L"bRes", L"bRes"}));
  m_Palette.m_hBar = nullptr;
}

// The screen a drag draws its outline on.
struct ScreenCanvas : DibCanvas {
  ScreenCanvas() : DibCanvas(2000, 1500) {}
};

void SetControl(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

TEST_F(DockingWindowTest, CtrlKeepsTheOutlineFloatingOverADockTarget) {
  m_Palette.ShowWindow(SW_SHOWNA);
  ScreenCanvas canvas;
  const std::vector<DWORD> before = canvas.snapshot();
  RECT window;
  m_Palette.GetWindowRect(&window);
  const POINT press{window.left + 10, window.top + 5};
  dockwins::CDockingDragTracker<TestPalette> tracker(m_Palette, press, canvas.dc());
  tracker.BeginDrag();
  POINT edge{3, 200};
  ClientToScreen(m_Frame, &edge);
  tracker.MoveTo(edge);
  EXPECT_EQ(tracker.target(), m_Frame.m_hWnd);
  SetControl(true);
  MSG ctrl{};
  ctrl.message = WM_KEYDOWN;
  ctrl.wParam = VK_CONTROL;
  EXPECT_TRUE(tracker.ProcessWindowMessage(&ctrl));
  EXPECT_EQ(tracker.target(), nullptr);
  EXPECT_EQ(tracker.outline().left, edge.x - 10);
  SetControl(false);
  ctrl.message = WM_KEYUP;
  EXPECT_TRUE(tracker.ProcessWindowMessage(&ctrl));
  EXPECT_EQ(tracker.target(), m_Frame.m_hWnd);
  tracker.EndDrag(false);
  EXPECT_EQ(canvas.snapshot(), before);
  EXPECT_TRUE(m_Palette.FinishMoving(tracker, true));
  EXPECT_TRUE(m_Palette.IsDocking());
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, ADragEndingWhereItStartedChangesNothing) {
  m_Palette.ShowWindow(SW_SHOWNA);
  RECT before;
  m_Palette.GetWindowRect(&before);
  ScreenCanvas canvas;
  const POINT press{before.left + 10, before.top + 5};
  dockwins::CDockingDragTracker<TestPalette> tracker(m_Palette, press, canvas.dc());
  tracker.BeginDrag();
  tracker.MoveTo(POINT{press.x + 50, press.y + 50});
  tracker.MoveTo(press);
  tracker.EndDrag(false);
  EXPECT_FALSE(m_Palette.FinishMoving(tracker, true));
  RECT after;
  m_Palette.GetWindowRect(&after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, TheDragLoopFloatsAtTheOutlineOrDocksAtTheTarget) {
  m_Palette.ShowWindow(SW_SHOWNA);
  RECT before;
  m_Palette.GetWindowRect(&before);
  ScreenCanvas canvas;
  const POINT press{before.left + 10, before.top + 5};
  const auto clientOf = [&](POINT screen) {
    ScreenToClient(m_Palette, &screen);
    return MAKELPARAM(screen.x, screen.y);
  };
  // A move into empty space and a release: floated there.
  const POINT away{press.x + 40, press.y + 30};
  PostMessageW(m_Palette, WM_MOUSEMOVE, 0, clientOf(away));
  PostMessageW(m_Palette, WM_LBUTTONUP, 0, clientOf(away));
  EXPECT_TRUE(m_Palette.BeginMoving(press, canvas.dc()));
  RECT after;
  m_Palette.GetWindowRect(&after);
  EXPECT_EQ(after.left, before.left + 40);
  EXPECT_EQ(after.top, before.top + 30);
  EXPECT_FALSE(m_Palette.IsDocking());
  // Escape after a move over the frame's edge: nothing changes.
  POINT edge{3, 200};
  ClientToScreen(m_Frame, &edge);
  PostMessageW(m_Palette, WM_MOUSEMOVE, 0, clientOf(edge));
  PostMessageW(m_Palette, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(m_Palette.BeginMoving(POINT{after.left + 10, after.top + 5}, canvas.dc()));
  EXPECT_FALSE(m_Palette.IsDocking());
  // The same move released docks it.
  PostMessageW(m_Palette, WM_MOUSEMOVE, 0, clientOf(edge));
  PostMessageW(m_Palette, WM_LBUTTONUP, 0, clientOf(edge));
  EXPECT_TRUE(m_Palette.BeginMoving(POINT{after.left + 10, after.top + 5}, canvas.dc()));
  EXPECT_TRUE(m_Palette.IsDocking());
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, ACaptionPressThatDragsFloatsThePalette) {
  m_Palette.ShowWindow(SW_SHOWNA);
  RECT before;
  m_Palette.GetWindowRect(&before);
  const POINT press{before.left + 10, before.top + 5};
  POINT moved{press.x + 3 * GetSystemMetrics(SM_CXDRAG) + 20, press.y + 25};
  ScreenToClient(m_Palette, &moved);
  // DragDetect takes the first move; the drag loop the rest.
  for (UINT message : {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP}) {
    PostMessageW(m_Palette, message, 0, MAKELPARAM(moved.x, moved.y));
  }
  // The system's drag detection asks whether the left button is down.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  m_Palette.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
  keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  RECT after;
  m_Palette.GetWindowRect(&after);
  EXPECT_NE(after.left, before.left) << m_Palette.IsDocking();
  EXPECT_NE(GetCapture(), m_Palette.m_hWnd);
  EXPECT_TRUE(sm_Asserts.empty());
}

// Points of the docked palette's close button: in the palette's client coordinates (as the
// drag loop reads its messages) or on the screen (as hit tests come).
class CloseButtonTest : public DockingWindowTest {
protected:
  void SetUp() override {
    DockingWindowTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    DockLeft();
    m_Button = m_Palette.m_caption.button().rect();
    m_Palette.GetWindowRect(&m_Window);
  }
  POINT Screen(long x, long y) const { return POINT{m_Window.left + x, m_Window.top + y}; }
  LPARAM ScreenParam(long x, long y) const {
    const POINT pt = Screen(x, y);
    return MAKELPARAM(pt.x, pt.y);
  }
  LPARAM ClientParam(long x, long y) const {
    POINT pt = Screen(x, y);
    ScreenToClient(m_Palette, &pt);
    return MAKELPARAM(pt.x, pt.y);
  }
  LPARAM OnButton() const { return ClientParam(m_Button.left + 3, m_Button.top + 3); }
  LPARAM OffButton() const { return ClientParam(m_Button.left - 20, m_Button.top + 3); }

  RECT m_Button{};
  RECT m_Window{};
};

TEST_F(CloseButtonTest, APressClosesOnlyWhenReleasedOnTheButton) {
  struct Case {
    const char* m_Name;
    std::vector<LPARAM> m_Moves;
    LPARAM m_Release;
    bool m_Closes;
  };
  const Case cases[] = {
      {"released on it", {}, OnButton(), true},
      {"released off it", {}, OffButton(), false},
      {"off and back on", {OffButton(), OnButton()}, OnButton(), true},
      {"on and then off", {OnButton(), OffButton()}, OffButton(), false},
  };
  for (const Case& c : cases) {
    for (LPARAM move : c.m_Moves) {
      PostMessageW(m_Palette, WM_MOUSEMOVE, MK_LBUTTON, move);
    }
    PostMessageW(m_Palette, WM_LBUTTONUP, 0, c.m_Release);
    m_Palette.SendMessage(WM_NCLBUTTONDOWN, HTCLOSE,
                          ScreenParam(m_Button.left + 3, m_Button.top + 3));
    MSG msg;
    EXPECT_EQ(PeekMessageW(&msg, m_Palette, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.m_Closes)
        << c.m_Name;
    EXPECT_NE(GetCapture(), m_Palette.m_hWnd) << c.m_Name;
    EXPECT_FALSE(PeekMessageW(&msg, m_Palette, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))
        << c.m_Name << ": the press took its moves";
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(CloseButtonTest, AHitTestOnTheButtonOnlyAnswers) {
  // A move waiting in the queue: a hit test that tracked the button would take it.
  PostMessageW(m_Palette, WM_MOUSEMOVE, 0, OffButton());
  EXPECT_EQ(
      m_Palette.SendMessage(WM_NCHITTEST, 0, ScreenParam(m_Button.left + 3, m_Button.top + 3)),
      HTCLOSE);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(m_Palette.IsCloseButtonHot());
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, m_Palette, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
}

TEST_F(CloseButtonTest, TheButtonIsHotWhileThePointerIsOverIt) {
  const LPARAM on = ScreenParam(m_Button.left + 3, m_Button.top + 3);
  const LPARAM caption = ScreenParam(m_Button.left - 20, m_Button.top + 3);
  // The leave is the system's: hot tracking asks for it.
  SetCursorPos(m_Window.left + m_Button.left + 3, m_Window.top + m_Button.top + 3);
  m_Palette.SendMessage(WM_NCMOUSEMOVE, HTCLOSE, on);
  EXPECT_TRUE(m_Palette.IsCloseButtonHot());
  EXPECT_EQ(GetCapture(), nullptr);
  TRACKMOUSEEVENT query{sizeof(query), TME_QUERY, nullptr, 0};
  ASSERT_TRUE(TrackMouseEvent(&query));
  EXPECT_EQ(query.hwndTrack, m_Palette.m_hWnd);
  EXPECT_EQ(query.dwFlags & (TME_LEAVE | TME_NONCLIENT),
            static_cast<DWORD>(TME_LEAVE | TME_NONCLIENT));
  m_Palette.SendMessage(WM_NCMOUSEMOVE, HTCAPTION, caption);
  EXPECT_FALSE(m_Palette.IsCloseButtonHot()) << "moving on along the caption";
  m_Palette.SendMessage(WM_NCMOUSEMOVE, HTCLOSE, on);
  EXPECT_TRUE(m_Palette.IsCloseButtonHot());
  m_Palette.SendMessage(WM_NCMOUSELEAVE);
  EXPECT_FALSE(m_Palette.IsCloseButtonHot()) << "leaving the window";
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingWindowTest, AFloatedPaletteIsOwnedByItsFrameAgain) {
  EXPECT_EQ(GetWindow(m_Palette, GW_OWNER), m_Frame.m_hWnd);
  // A window made a child and then top-level again may have lost its owner; wine keeps it, so
  // the palette loses it here first.
  SetWindowLongPtrW(m_Palette, GWLP_HWNDPARENT, 0);
  ASSERT_EQ(GetWindow(m_Palette, GW_OWNER), nullptr);
  DockLeft();
  m_Palette.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  ASSERT_FALSE(m_Palette.IsDocking());
  EXPECT_EQ(GetWindow(m_Palette, GW_OWNER), m_Frame.m_hWnd) << "floated by a double click";
  SetWindowLongPtrW(m_Palette, GWLP_HWNDPARENT, 0);
  DockLeft();
  ASSERT_TRUE(m_Palette.Hide());
  EXPECT_EQ(GetWindow(m_Palette, GW_OWNER), m_Frame.m_hWnd) << "hidden from its bar";
  EXPECT_TRUE(sm_Asserts.empty());
}

}  // namespace
