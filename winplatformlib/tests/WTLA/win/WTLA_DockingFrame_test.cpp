#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WTLA/win/DockingFrame.h"
#include "win/WTLA_FrameTest.h"

namespace {

using dockwins::DFDOCKHDR;
using dockwins::DFDOCKPOS;
using dockwins::DFDOCKRECT;

// A palette with a minimum size that records the library's notices.
class TestPalette
    : public CWindowImpl<TestPalette, CWindow,
                         CWinTraits<WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW>> {
public:
  SIZE m_Minimum{40, 40};
  std::vector<WPARAM> m_Notices;

  BEGIN_MSG_MAP(TestPalette)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(dockwins::WMDF_NDOCKSTATECHANGED, OnNotice)
  END_MSG_MAP()

  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = POINT{m_Minimum.cx, m_Minimum.cy};
    return 0;
  }
  LRESULT OnNotice(UINT, WPARAM wParam, LPARAM, BOOL&) {
    m_Notices.push_back(wParam);
    return 0;
  }
};

class DockingFrameTest : public docktest::FrameTest<docktest::ClientFrame> {
protected:
  DockingFrameTest() : FrameTest(L"DockingFrameTest") {}

  void SetUp() override {
    FrameTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    RECT prc{900, 100, 1000, 300};
    ASSERT_NE(m_Palette.Create(m_Frame, prc, L"Palette"), nullptr);
    m_Palette.ShowWindow(SW_SHOWNA);
  }
  void TearDown() override {
    m_Palette.DestroyWindow();
    FrameTest::TearDown();
  }

  RECT FrameClient() {
    RECT rc;
    m_Frame.GetClientRect(&rc);
    return rc;
  }

  // Code 1 at a drag rectangle given in the frame's client coordinates.
  bool Accept(DFDOCKRECT& record, RECT client) {
    MapWindowPoints(m_Frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    record = DFDOCKRECT{{m_Palette, nullptr, dockwins::DC_ACCEPT}, client, 0};
    return m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record)) != 0;
  }
  bool Dock(DFDOCKRECT& record) {
    record.hdr.code = dockwins::DC_DOCK;
    return SendMessageW(record.hdr.hBar, dockwins::WMDF_DOCK, 0,
                        reinterpret_cast<LPARAM>(&record)) != 0;
  }
  bool Undock(HWND palette) {
    DFDOCKHDR hdr{palette, GetParent(palette), dockwins::DC_UNDOCK};
    return SendMessageW(hdr.hBar, dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&hdr)) != 0;
  }

  TestPalette m_Palette;
};

TEST_F(DockingFrameTest, AnEmptyFrameGivesTheClientEverything) {
  const RECT client = InFrame(m_Frame.m_hWndClient);
  const RECT all = FrameClient();
  EXPECT_TRUE(EqualRect(&client, &all));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, DockingAtEachSideMakesABarThatTheLastUndockRemoves) {
  const RECT all = FrameClient();
  struct Case {
    const char* m_Name;
    RECT m_Drag;
  };
  const Case cases[] = {
      {"left", {2, 200, 102, 300}},
      {"right", {all.right - 10, 200, all.right + 90, 300}},
      {"top", {300, 2, 400, 102}},
      {"bottom", {300, all.bottom - 10, 400, all.bottom + 90}},
  };
  for (const Case& c : cases) {
    DFDOCKRECT record;
    ASSERT_TRUE(Accept(record, c.m_Drag)) << c.m_Name;
    EXPECT_EQ(record.hdr.hBar, m_Frame.m_hWnd);
    const int alive = dockwins::CPackageWindow::sm_Alive;
    ASSERT_TRUE(Dock(record)) << c.m_Name;
    EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, alive + 1);
    HWND bar = GetParent(m_Palette);
    ASSERT_NE(bar, m_Frame.m_hWnd);
    EXPECT_EQ(GetParent(bar), m_Frame.m_hWnd);
    EXPECT_TRUE(IsWindowVisible(m_Palette));
    const RECT barRect = InFrame(bar);
    const RECT client = InFrame(m_Frame.m_hWndClient);
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &barRect, &client)) << c.m_Name;
    EXPECT_EQ(m_Palette.m_Notices.back() & 0xFFFF, 1u);

    ASSERT_TRUE(Undock(m_Palette)) << c.m_Name;
    EXPECT_EQ(m_Palette.m_Notices.back(), 0u);
    EXPECT_EQ(GetWindowLongPtrW(m_Palette, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_EQ(GetAncestor(m_Palette, GA_PARENT), GetDesktopWindow());
    Pump();
    EXPECT_FALSE(IsWindow(bar)) << c.m_Name;
    EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, alive);
    const RECT after = InFrame(m_Frame.m_hWndClient);
    EXPECT_TRUE(EqualRect(&after, &all)) << c.m_Name;
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, ADragUpToTwentyPixelsOutsideDocksAtThatEdge) {
  for (int outside : {1, 10, 20, 21}) {
    DFDOCKRECT record;
    const bool accepted = Accept(record, RECT{-outside, 200, 100 - outside, 300});
    EXPECT_EQ(accepted, outside <= 20) << outside;
    if (accepted) {
      EXPECT_EQ(record.hdr.hBar, m_Frame.m_hWnd);
    } else {
      EXPECT_EQ(record.hdr.hBar, nullptr);
    }
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, APaletteTooLargeForTheFrameIsRefused) {
  m_Palette.m_Minimum = SIZE{2000, 40};
  DFDOCKRECT record;
  EXPECT_FALSE(Accept(record, RECT{2, 200, 102, 300}));
  EXPECT_EQ(record.hdr.hBar, nullptr);
}

TEST_F(DockingFrameTest, ASecondPaletteSplitsTheBar) {
  TestPalette second;
  RECT prc{900, 400, 1000, 500};
  ASSERT_NE(second.Create(m_Frame, prc, L"Second"), nullptr);
  DFDOCKRECT record;
  ASSERT_TRUE(Accept(record, RECT{2, 100, 102, 200}));
  ASSERT_TRUE(Dock(record));
  HWND bar = GetParent(m_Palette);
  // Into the middle of the bar: the frame forwards to it.
  RECT drag{40, 400, 140, 500};
  MapWindowPoints(m_Frame, nullptr, reinterpret_cast<POINT*>(&drag), 2);
  DFDOCKRECT into{{second, nullptr, dockwins::DC_ACCEPT}, drag, 0};
  ASSERT_TRUE(m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&into)));
  EXPECT_EQ(into.hdr.hBar, bar);
  ASSERT_TRUE(Dock(into));
  EXPECT_EQ(GetParent(second), bar);
  const RECT first = InFrame(m_Palette);
  const RECT lower = InFrame(second);
  EXPECT_LE(first.bottom + 5, lower.top);
  EXPECT_EQ(first.left, lower.left);
  // The first window's position survives an undock and a re-dock.
  DFDOCKPOS pos{{second, m_Frame, dockwins::DC_GETDOCKPOSITION}, 0, 0, 0.0f, 0, 0};
  ASSERT_TRUE(m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&pos)));
  EXPECT_TRUE(pos.IsValid());
  EXPECT_EQ(pos.dwDockSide & dockwins::kPosAlone, 0u);
  ASSERT_TRUE(Undock(second));
  pos.hdr = DFDOCKHDR{second, m_Frame, dockwins::DC_SETDOCKPOSITION};
  ASSERT_TRUE(m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&pos)));
  EXPECT_EQ(GetParent(second), bar);
  const RECT again = InFrame(second);
  EXPECT_EQ(again.top, lower.top);
  Undock(second);
  Undock(m_Palette);
  second.DestroyWindow();
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, AStoredPositionBeyondTheBarsMakesABarBesideTheCentre) {
  DFDOCKPOS pos{{m_Palette, m_Frame, dockwins::DC_SETDOCKPOSITION},
                dockwins::kPosFromStart,
                5,
                0.0f,
                120,
                100};
  ASSERT_TRUE(m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&pos)));
  HWND bar = GetParent(m_Palette);
  ASSERT_NE(bar, nullptr);
  const RECT barRect = InFrame(bar);
  EXPECT_EQ(barRect.left, 0);
  EXPECT_EQ(barRect.right - barRect.left, 120);
  Undock(m_Palette);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, TheFrameMinimumCoversTheDockedPalettes) {
  MINMAXINFO empty{};
  m_Frame.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&empty));
  m_Palette.m_Minimum = SIZE{150, 40};
  DFDOCKRECT record;
  ASSERT_TRUE(Accept(record, RECT{2, 200, 202, 300}));
  ASSERT_TRUE(Dock(record));
  MINMAXINFO docked{};
  m_Frame.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&docked));
  EXPECT_GE(docked.ptMinTrackSize.x, empty.ptMinTrackSize.x + 150);
  Undock(m_Palette);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(DockingFrameTest, TheSettingsFollowTheSystem) {
  dockwins::CDockingSettings& settings = dockwins::CDockingSettings::Get();
  BOOL full = FALSE;
  SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  EXPECT_EQ(settings.m_Flags & 6u, full ? 4u : 2u);
  EXPECT_NE(settings.VerticalFont(), nullptr);
  LOGFONTW font{};
  GetObjectW(settings.VerticalFont(), sizeof(font), &font);
  EXPECT_EQ(font.lfEscapement, 2700);
  EXPECT_EQ(settings.HorizontalFont(), GetStockObject(DEFAULT_GUI_FONT));
  const std::wstring name = L"DockingBoxMessage-" + std::to_wstring(GetCurrentProcessId());
  EXPECT_EQ(settings.Message(), RegisterWindowMessageW(name.c_str()));
  // The application's own choice is kept.
  settings.m_Flags = 1u | 4u;
  settings.Refresh();
  EXPECT_EQ(settings.m_Flags, 5u);
  settings.m_Flags = 0;
  settings.Refresh();
}

TEST_F(DockingFrameTest, TheFloatingSizeIsLimitedToAThirdOfTheFrame) {
  const RECT all = FrameClient();
  struct Case {
    RECT m_Rect;
    long m_Width;
    long m_Height;
  };
  const Case cases[] = {
      {{10, 10, 1000, 1000}, all.right / 3, all.bottom / 3},
      // The system minimum wins over the caller's size.
      {{10, 10, 60, 60},
       std::max(50, GetSystemMetrics(SM_CXMIN)),
       std::max(50, GetSystemMetrics(SM_CYMIN))},
      {{10, 10, 11, 11}, GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)},
  };
  for (const Case& c : cases) {
    DFDOCKRECT record{{m_Palette, m_Frame, dockwins::DC_ADJUSTDRAGRECT}, c.m_Rect, 0};
    m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(record.rect.left, 10);
    EXPECT_EQ(record.rect.right - record.rect.left, c.m_Width);
    EXPECT_EQ(record.rect.bottom - record.rect.top, c.m_Height);
  }
}

}  // namespace
