#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/DibCanvas.h"
#include "win/WTLA_DockingDoubles.h"
#include "win/WTLA_FrameTest.h"

namespace {

using docktest::Frame;
using docktest::MeasurementPalette;
using docktest::NavigationPalette;
using docktest::SeparationsPalette;
using dockwins::DFDOCKRECT;

// Painted pixels stand out from a white canvas.
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PalettesTest : public docktest::FrameTest<Frame> {
protected:
  PalettesTest() : FrameTest(L"PalettesTest") {}

  void SetUp() override {
    FrameTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    RECT measurement{300, 100, 450, 300};
    ASSERT_NE(m_Measurement.Create(m_Frame, measurement, L"Measurement"), nullptr);
    RECT navigation{500, 100, 650, 300};
    ASSERT_NE(m_Navigation.Create(m_Frame, navigation, L"Navigation"), nullptr);
    RECT separations{300, 320, 500, 560};
    ASSERT_NE(m_Separations.Create(m_Frame, separations, L"Separations"), nullptr);
    m_Frame.m_Received.clear();
  }
  void TearDown() override {
    m_Measurement.DestroyWindow();
    m_Navigation.DestroyWindow();
    m_Separations.DestroyWindow();
    FrameTest::TearDown();
    dockwins::CDockingSettings::Get().m_Flags = 0;
    dockwins::CDockingSettings::Get().Refresh();
  }

  // Code 1 for palette at a drag rectangle in the frame's client coordinates.
  bool Accept(HWND palette, RECT drag, DFDOCKRECT& record) {
    MapWindowPoints(m_Frame, nullptr, reinterpret_cast<POINT*>(&drag), 2);
    record = DFDOCKRECT{{palette, m_Frame, dockwins::DC_ACCEPT}, drag, 0};
    return m_Frame.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record)) != 0;
  }
  // Docks palette where a drag to rc (frame client coordinates) would.
  template <class TPalette>
  void DockAt(TPalette& palette, RECT drag) {
    DFDOCKRECT record;
    ASSERT_TRUE(Accept(palette, drag, record));
    ASSERT_TRUE(palette.NotifyHost(&record));
    ASSERT_TRUE(palette.IsDocking());
  }
  template <class TPalette>
  void DockLeft(TPalette& palette) {
    DockAt(palette, RECT{2, 100, 122, 300});
  }
  static MINMAXINFO MinMaxOf(HWND hWnd) {
    MINMAXINFO info{};
    SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }

  MeasurementPalette m_Measurement;
  NavigationPalette m_Navigation;
  SeparationsPalette m_Separations;
};

TEST_F(PalettesTest, TheFrameSetsUpOnceAndTheClientTakesWhatTheStatusBarLeaves) {
  RECT all;
  m_Frame.GetClientRect(&all);
  const RECT client = InFrame(m_Frame.m_hWndClient);
  const RECT expected{0, 0, all.right, all.bottom - Frame::kStatusHeight};
  EXPECT_TRUE(EqualRect(&client, &expected))
      << client.left << "," << client.top << "," << client.right << "," << client.bottom;
  EXPECT_EQ(m_Frame.OuterPackage().container().size(), 1u);
  EXPECT_EQ(m_Frame.InnerPackage().container().size(), 1u);
  // A resize goes to the client view.
  m_Frame.SetWindowPos(nullptr, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
  m_Frame.GetClientRect(&all);
  const RECT resized = InFrame(m_Frame.m_hWndClient);
  EXPECT_EQ(resized.right, all.right);
  EXPECT_EQ(resized.bottom, all.bottom - Frame::kStatusHeight);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheMeasurementPaletteBuildsItsRowsAndReportsItsActivation) {
  ASSERT_EQ(m_Measurement.m_Rows.size(), 3u);
  for (HWND row : m_Measurement.m_Rows) {
    EXPECT_EQ(GetParent(row), m_Measurement.m_hWnd);
  }
  m_Measurement.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(m_Frame.m_hWnd));
  ASSERT_EQ(m_Frame.PaletteMessages().size(), 1u);
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_Message, docktest::kPaletteDeactivated);
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_wParam, docktest::kMeasurementCommand);
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_lParam, reinterpret_cast<LPARAM>(m_Frame.m_hWnd));
  for (WPARAM state : {WA_ACTIVE, WA_CLICKACTIVE}) {
    m_Frame.m_Received.clear();
    m_Measurement.SendMessage(WM_ACTIVATE, state, 0);
    ASSERT_FALSE(m_Frame.PaletteMessages().empty()) << state;
    EXPECT_EQ(m_Frame.PaletteMessages()[0].m_Message, docktest::kPaletteActivated);
    EXPECT_EQ(m_Frame.PaletteMessages()[0].m_wParam, docktest::kMeasurementCommand);
    EXPECT_EQ(m_Frame.PaletteMessages()[0].m_lParam, 0);
  }
  // The activation went on to the default processing, which gives the palette the focus.
  EXPECT_EQ(GetFocus(), m_Measurement.m_hWnd);
  EXPECT_EQ(m_Measurement.SendMessage(WM_NCACTIVATE, FALSE, 0), 1);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheMeasurementPaletteErasesInTheFaceColourAndKeepsTheDC) {
  DibCanvas canvas(300, 300, kWhite);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(canvas.dc(), brush);
  EXPECT_EQ(m_Measurement.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc())), 1);
  RECT client;
  m_Measurement.GetClientRect(&client);
  EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(client.right - 1, client.bottom - 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(client.right + 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brush);
  SelectObject(canvas.dc(), old);
  DeleteObject(brush);
}

TEST_F(PalettesTest, ClosingADockedPaletteTellsTheFrameAndShowingPutsItBack) {
  DockLeft(m_Measurement);
  const RECT before = InFrame(m_Measurement);
  const int bars = dockwins::CPackageWindow::sm_Alive;
  m_Frame.m_Received.clear();
  m_Measurement.SendMessage(WM_CLOSE);
  // First the notice; activation changes of the re-parenting may follow.
  ASSERT_FALSE(m_Frame.PaletteMessages().empty());
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_Message, docktest::kPaletteHidden);
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_wParam, docktest::kMeasurementCommand);
  EXPECT_EQ(m_Frame.PaletteMessages()[0].m_lParam, reinterpret_cast<LPARAM>(m_Measurement.m_hWnd));
  // The position is asked for the record and for the undock; the empty bar leaves.
  EXPECT_EQ(m_Frame.DockCodes(), (std::vector<int>{4, 4, 3}));
  EXPECT_TRUE(IsWindow(m_Measurement));
  EXPECT_FALSE(m_Measurement.IsWindowVisible());
  EXPECT_FALSE(m_Measurement.IsDocking());
  Pump();
  EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, bars - 1);

  m_Frame.m_Received.clear();
  EXPECT_TRUE(m_Measurement.Show());
  EXPECT_EQ(m_Frame.DockCodes(), (std::vector<int>{5}));
  EXPECT_TRUE(m_Measurement.IsDocking());
  EXPECT_TRUE(m_Measurement.IsWindowVisible());
  const RECT after = InFrame(m_Measurement);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, CaptionDragsFloatAndDockAsTheFrameSees) {
  DibCanvas canvas(2000, 1200, kWhite);
  const auto clientOf = [&](POINT screen) {
    ScreenToClient(m_Measurement, &screen);
    return MAKELPARAM(screen.x, screen.y);
  };
  // Floating onto the frame's left edge: asked, then docked.
  RECT window;
  m_Measurement.GetWindowRect(&window);
  POINT edge{3, 200};
  ClientToScreen(m_Frame, &edge);
  PostMessageW(m_Measurement, WM_MOUSEMOVE, 0, clientOf(edge));
  PostMessageW(m_Measurement, WM_LBUTTONUP, 0, clientOf(edge));
  EXPECT_TRUE(m_Measurement.BeginMoving(POINT{window.left + 10, window.top + 5}, canvas.dc()));
  EXPECT_TRUE(m_Measurement.IsDocking());
  EXPECT_EQ(m_Frame.DockCodes(), (std::vector<int>{7, 1, 2}));

  // Docked, dragged away from the frame: asked, then undocked and floated.
  m_Frame.m_Received.clear();
  m_Measurement.GetWindowRect(&window);
  const POINT away{1200, 300};
  PostMessageW(m_Measurement, WM_MOUSEMOVE, 0, clientOf(away));
  PostMessageW(m_Measurement, WM_LBUTTONUP, 0, clientOf(away));
  EXPECT_TRUE(m_Measurement.BeginMoving(POINT{window.left + 10, window.top + 5}, canvas.dc()));
  EXPECT_FALSE(m_Measurement.IsDocking());
  EXPECT_TRUE(m_Measurement.IsWindowVisible());
  EXPECT_EQ(m_Frame.DockCodes(), (std::vector<int>{7, 1, 4, 3}));
  m_Measurement.GetWindowRect(&window);
  EXPECT_GT(window.left, 800);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheStoredMinimumDecidesWhetherTheFrameTakesThePalette) {
  struct Case {
    SIZE m_Minimum;
    bool m_Accepted;
  };
  const Case cases[] = {
      {{120, 80}, true},
      {{2000, 80}, false},   // wider than the frame
      {{120, 2000}, false},  // taller than the frame
  };
  for (const Case& c : cases) {
    m_Measurement.m_Minimum = c.m_Minimum;
    DFDOCKRECT record;
    EXPECT_EQ(Accept(m_Measurement, RECT{2, 100, 122, 300}, record), c.m_Accepted)
        << c.m_Minimum.cx << "x" << c.m_Minimum.cy;
    EXPECT_EQ(record.hdr.hBar, c.m_Accepted ? m_Frame.m_hWnd : nullptr);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, ABarTakesANavigationPaletteOnlyWhenItsPreferredSizeFits) {
  DockLeft(m_Measurement);
  HWND bar = GetParent(m_Measurement);
  struct Case {
    SIZE m_Preferred;
    bool m_Accepted;
  };
  const Case cases[] = {
      {{100, 100}, true},
      {{300, 100}, false},   // wider than the bar
      {{100, 2000}, false},  // longer than the bar
  };
  for (const Case& c : cases) {
    m_Navigation.m_HasSheet = true;
    m_Navigation.m_Preferred = c.m_Preferred;
    DFDOCKRECT record;
    EXPECT_EQ(Accept(m_Navigation, RECT{40, 400, 140, 500}, record), c.m_Accepted)
        << c.m_Preferred.cx << "x" << c.m_Preferred.cy;
    EXPECT_EQ(record.hdr.hBar, c.m_Accepted ? bar : nullptr);
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheNavigationMinimumIsThePreferredSizeOrTheCaption) {
  const long thickness = dockwins::COutlookLikeCaption::Thickness();
  MINMAXINFO none = MinMaxOf(m_Navigation);
  EXPECT_GE(none.ptMinTrackSize.x, thickness);
  EXPECT_GE(none.ptMinTrackSize.y, thickness);
  // With a sheet, exactly the thumbnail's size, even below the caption.
  m_Navigation.m_HasSheet = true;
  m_Navigation.m_Preferred = SIZE{30, 10};
  MINMAXINFO small = MinMaxOf(m_Navigation);
  EXPECT_EQ(small.ptMinTrackSize.x, 30);
  EXPECT_EQ(small.ptMinTrackSize.y, 10);
  // Docked, the bar reports it as its own minimum and no maximum.
  m_Navigation.m_Preferred = SIZE{110, 150};
  DockLeft(m_Navigation);
  const MINMAXINFO bar = MinMaxOf(GetParent(m_Navigation));
  EXPECT_EQ(bar.ptMinTrackSize.x, 110);
  EXPECT_EQ(bar.ptMinTrackSize.y, 150);
  EXPECT_EQ(bar.ptMaxTrackSize.x, 0);
  EXPECT_EQ(bar.ptMaxTrackSize.y, 0);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheSeparationsPaletteTakesItsUndockNotice) {
  m_Separations.m_HasSheet = true;
  const MINMAXINFO floating = MinMaxOf(m_Separations);
  EXPECT_EQ(floating.ptMinTrackSize.x, 150);
  EXPECT_EQ(floating.ptMinTrackSize.y, 120);
  EXPECT_EQ(floating.ptMaxTrackSize.x, 400);
  EXPECT_EQ(floating.ptMaxTrackSize.y, 900);
  const RECT undocked = m_Separations.m_rcUndock;
  ASSERT_FALSE(IsRectEmpty(&undocked));
  MINMAXINFO empty = MinMaxOf(m_Frame);

  DockAt(m_Separations, RECT{2, 100, 202, 300});
  const RECT docked = InFrame(m_Separations);
  // The frame cannot shrink below the docked panels.
  EXPECT_GE(MinMaxOf(m_Frame).ptMinTrackSize.x, empty.ptMinTrackSize.x + 150);
  // A double click floats it: the palette lays itself out for its floating width and the library
  // sees it as floating.
  m_Separations.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_FALSE(m_Separations.IsDocking());
  EXPECT_TRUE(m_Separations.IsWindowVisible());
  EXPECT_EQ(m_Separations.m_LaidOutWidths, (std::vector<long>{undocked.right - undocked.left}));
  // The second double click docks it where it was.
  m_Separations.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_TRUE(m_Separations.IsDocking());
  const RECT again = InFrame(m_Separations);
  EXPECT_TRUE(EqualRect(&docked, &again));
  // Closing and showing take the same road.
  m_Separations.SendMessage(WM_CLOSE);
  EXPECT_FALSE(m_Separations.IsWindowVisible());
  EXPECT_EQ(m_Separations.m_LaidOutWidths.size(), 2u);
  EXPECT_TRUE(m_Separations.Show());
  EXPECT_TRUE(m_Separations.IsDocking());
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, ReplacingADockedPaletteKeepsItsPlace) {
  DockLeft(m_Measurement);
  HWND bar = GetParent(m_Measurement);
  const RECT before = InFrame(m_Measurement);
  dockwins::DFDOCKREPLACE replace{{m_Measurement, bar, dockwins::DC_REPLACE}, m_Navigation};
  ASSERT_TRUE(SendMessageW(bar, dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&replace)));
  EXPECT_EQ(GetParent(m_Navigation), bar);
  EXPECT_EQ(m_Navigation.m_hBar, bar);
  EXPECT_TRUE(m_Navigation.IsWindowVisible());
  const RECT in = InFrame(m_Navigation);
  EXPECT_TRUE(EqualRect(&before, &in));
  EXPECT_FALSE(m_Measurement.IsDocking());
  EXPECT_EQ(GetAncestor(m_Measurement, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindowLongPtrW(m_Measurement, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_POPUP);
  // The new palette leaves as the old one would have: the bar goes with it.
  const int bars = dockwins::CPackageWindow::sm_Alive;
  EXPECT_TRUE(m_Navigation.Hide());
  Pump();
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, bars - 1);
  // Replacing a window the bar does not hold is refused.
  DockLeft(m_Measurement);
  bar = GetParent(m_Measurement);
  dockwins::DFDOCKREPLACE stranger{{m_Separations, bar, dockwins::DC_REPLACE}, m_Navigation};
  EXPECT_FALSE(SendMessageW(bar, dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&stranger)));
  EXPECT_EQ(GetParent(m_Measurement), bar);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, TheFrameShowsTheSeparatorCursorAndPaintsBothPackages) {
  DockLeft(m_Measurement);
  DockAt(m_Navigation, RECT{300, 2, 400, 102});
  const RECT left = InFrame(GetParent(m_Measurement));
  const RECT top = InFrame(GetParent(m_Navigation));
  struct Case {
    POINT m_Point;
    LPCWSTR m_Cursor;
  };
  // The separator after the left bar stands upright, the one below the top bar lies flat.
  const Case cases[] = {
      {{left.right + 2, 300}, IDC_SIZEWE},
      {{400, top.bottom + 2}, IDC_SIZENS},
      {{400, 300}, nullptr},
  };
  for (const Case& c : cases) {
    POINT screen = c.m_Point;
    ClientToScreen(m_Frame, &screen);
    SetCursorPos(screen.x, screen.y);
    SetCursor(nullptr);
    const LRESULT handled = m_Frame.SendMessage(
        WM_SETCURSOR, reinterpret_cast<WPARAM>(m_Frame.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(handled != 0, c.m_Cursor != nullptr) << c.m_Point.x << "," << c.m_Point.y;
    if (c.m_Cursor != nullptr) {
      EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.m_Cursor));
    }
    // Only the frame's own client area.
    m_Frame.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_Frame.m_hWnd),
                        MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
  }
  // What the frame paints: the separators of both packages in the face colour.
  DibCanvas canvas(800, 600, kWhite);
  m_Frame.OuterPackage().Draw(canvas.dc());
  m_Frame.InnerPackage().Draw(canvas.dc());
  EXPECT_EQ(canvas.at(left.right + 2, 300), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(400, top.bottom + 2), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(400, 300), RGB(255, 255, 255));
  m_Frame.Invalidate();
  m_Frame.UpdateWindow();
  EXPECT_FALSE(GetUpdateRect(m_Frame, nullptr, FALSE));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, SplitterDragsInTheFrameAndInABarFollowTheDragSetting) {
  DockLeft(m_Measurement);
  HWND bar = GetParent(m_Measurement);
  DFDOCKRECT into;
  ASSERT_TRUE(Accept(m_Navigation, RECT{40, 400, 140, 500}, into));
  ASSERT_TRUE(m_Navigation.NotifyHost(&into));
  ASSERT_EQ(GetParent(m_Navigation), bar);
  // The frame's separator after the left bar moves the bar's right edge; the bar's separator
  // between its palettes moves the upper palette's bottom edge.
  const auto barRight = [&] { return InFrame(bar).right; };
  const auto upperBottom = [&] { return InFrame(m_Measurement).bottom; };
  struct Case {
    const char* m_Name;
    bool m_InBar;
    bool m_Ghost;
    bool m_Escape;
  };
  const Case cases[] = {
      {"frame, ghost, dropped", false, true, false}, {"frame, ghost, escaped", false, true, true},
      {"frame, full, dropped", false, false, false}, {"frame, full, escaped", false, false, true},
      {"bar, ghost, dropped", true, true, false},    {"bar, ghost, escaped", true, true, true},
      {"bar, full, dropped", true, false, false},    {"bar, full, escaped", true, false, true},
  };
  for (const Case& c : cases) {
    dockwins::CDockingSettings::Get().m_Flags = 1u | (c.m_Ghost ? 2u : 4u);
    const auto edge = c.m_InBar ? std::function<long()>(upperBottom) : barRight;
    const long before = edge();
    HWND row = c.m_InBar ? bar : m_Frame.m_hWnd;
    POINT press{before + 2, 300};
    if (c.m_InBar) {
      press = POINT{50, before + 2};
      MapWindowPoints(m_Frame, bar, &press, 1);
    }
    const LPARAM moved =
        c.m_InBar ? MAKELPARAM(press.x, press.y + 30) : MAKELPARAM(press.x + 30, press.y);
    long during = 0;
    m_Frame.m_Probe = [&] { during = edge(); };
    PostMessageW(row, WM_MOUSEMOVE, MK_LBUTTON, moved);
    m_Frame.PostMessage(docktest::kRunProbe);
    if (c.m_Escape) {
      PostMessageW(row, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
      PostMessageW(row, WM_LBUTTONUP, 0, moved);
    }
    SendMessageW(row, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    // The ghost bar leaves the layout alone until the drop; the full drag follows at once.
    EXPECT_EQ(during, c.m_Ghost ? before : before + 30) << c.m_Name;
    EXPECT_EQ(edge(), c.m_Escape ? before : before + 30) << c.m_Name;
    EXPECT_NE(GetCapture(), row) << c.m_Name;
  }
  m_Frame.m_Probe = nullptr;
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, DestroyingTheFrameWithDockedPalettesDeletesEachBarOnce) {
  const int bars = dockwins::CPackageWindow::sm_Alive;
  DockLeft(m_Measurement);
  DockAt(m_Navigation, RECT{300, 2, 400, 102});
  EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, bars + 2);
  m_Frame.DestroyWindow();
  Pump();
  EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, bars);
  // The docked palettes went with their bars; the floating one lives on.
  EXPECT_FALSE(IsWindow(m_Measurement.m_hWnd));
  EXPECT_FALSE(IsWindow(m_Navigation.m_hWnd));
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PalettesTest, DockWindowMovesAPaletteToTheSideItNames) {
  const int bars = dockwins::CPackageWindow::sm_Alive;
  RECT all;
  m_Frame.GetClientRect(&all);
  all.bottom -= Frame::kStatusHeight;
  enum Side {
    kLeft,
    kRight,
    kTop,
    kBottom
  };
  struct Case {
    std::uint32_t m_Flags;
    Side m_Side;
  };
  const Case cases[] = {
      {0, kRight},
      {dockwins::kPosFromStart, kLeft},
      {dockwins::kPosInner | dockwins::kPosFromStart, kTop},
      {dockwins::kPosInner, kBottom},
  };
  for (const Case& c : cases) {
    // Docked or floating, the palette goes to the named side into a bar of its own.
    ASSERT_TRUE(m_Frame.DockWindow(m_Measurement, c.m_Flags, 0, 0.0f, 130, 100)) << c.m_Side;
    EXPECT_TRUE(m_Measurement.IsDocking());
    Pump();
    EXPECT_EQ(dockwins::CPackageWindow::sm_Alive, bars + 1) << c.m_Side;
    const RECT bar = InFrame(GetParent(m_Measurement));
    switch (c.m_Side) {
      case kLeft:
        EXPECT_EQ(bar.left, all.left);
        EXPECT_EQ(bar.right - bar.left, 130);
        break;
      case kRight:
        EXPECT_EQ(bar.right, all.right);
        EXPECT_EQ(bar.right - bar.left, 130);
        break;
      case kTop:
        EXPECT_EQ(bar.top, all.top);
        EXPECT_EQ(bar.bottom - bar.top, 130);
        break;
      case kBottom:
        EXPECT_EQ(bar.bottom, all.bottom);
        EXPECT_EQ(bar.bottom - bar.top, 130);
        break;
    }
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

HWND WINAPI FailingCreate(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                          HINSTANCE, LPVOID) {
  return nullptr;
}

TEST_F(PalettesTest, ADragToAnEdgeWhoseBarCannotBeMadeLeavesThePaletteFloatingInSight) {
  DockLeft(m_Measurement);
  DibCanvas canvas(2000, 1200, kWhite);
  RECT all;
  m_Frame.GetClientRect(&all);
  POINT edge{all.right - 3, 200};
  ClientToScreen(m_Frame, &edge);
  ScreenToClient(m_Measurement, &edge);
  RECT window;
  m_Measurement.GetWindowRect(&window);
  PostMessageW(m_Measurement, WM_MOUSEMOVE, 0, MAKELPARAM(edge.x, edge.y));
  PostMessageW(m_Measurement, WM_LBUTTONUP, 0, MAKELPARAM(edge.x, edge.y));
  const auto previous = ATL::CWindowSystemHooks::sm_CreateWindowEx;
  ATL::CWindowSystemHooks::sm_CreateWindowEx = FailingCreate;
  EXPECT_FALSE(m_Measurement.BeginMoving(POINT{window.left + 10, window.top + 5}, canvas.dc()));
  ATL::CWindowSystemHooks::sm_CreateWindowEx = previous;
  EXPECT_FALSE(m_Measurement.IsDocking());
  EXPECT_TRUE(m_Measurement.IsWindowVisible());
  EXPECT_EQ(sm_Asserts, (std::vector<std::wstring>{L"ptr"}));
}

}  // namespace
