#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>
#include <vector>

#include "support/WTLA_AssertCapture.h"
#include "WTLA/win/WndFrmPkg.h"
#include "win/DibCanvas.h"

namespace {

// Items are child windows whose minimum size is a window property.
struct ChildTraits {
  static int Minimum(HWND item) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(item, L"min")));
  }
  static void MinMax(HWND item, MINMAXINFO* info) {
    info->ptMinTrackSize.x = Minimum(item);
    info->ptMinTrackSize.y = 2 * Minimum(item);
  }
  static HDWP Place(HWND item, HDWP hdwp, RECT rc) {
    return DeferWindowPos(hdwp, item, nullptr, rc.left, rc.top, rc.right - rc.left,
                          rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

using Package = dockwins::CWndFramesPackageBase<HWND, ChildTraits>;

class Frame : public CWindowImpl<Frame, CWindow, CFrameWinTraits> {
public:
  BEGIN_MSG_MAP(Frame)
  END_MSG_MAP()
};

class PackageTest : public AssertCapturingTest {
protected:
  void SetUp() override {
    AssertCapturingTest::SetUp();
    const std::wstring title = L"PackageTest" + std::to_wstring(GetCurrentProcessId());
    RECT rc{0, 0, 600, 400};
    ASSERT_NE(m_Frame.Create(nullptr, rc, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
              nullptr);
    m_Frame.ShowWindow(SW_SHOWNA);
  }
  void TearDown() override {
    m_Frame.DestroyWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    AssertCapturingTest::TearDown();
  }

  HWND Child(int minimum) {
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_Frame,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(child, L"min", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(minimum)));
    return child;
  }

  // A horizontal package over {0, 0, 300, 100} with items at the given separators.
  void Fill(Package& package, const std::vector<int>& minimums, const std::vector<int>& seps) {
    package.SetRect(RECT{0, 0, 300, 100});
    for (std::size_t i = 0; i < minimums.size(); ++i) {
      int pos = seps[i];
      package.container().insert(i, pos, Child(minimums[i]), 0);
    }
    package.container().restore_positions(std::deque<int>(seps.begin(), seps.end()));
  }

  RECT WindowRectIn(HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, m_Frame, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }

  Frame m_Frame;
};

bool Same(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != 0;
}

TEST_F(PackageTest, AnEmptyPackageLaysOutNothingAndAsksForNothing) {
  Package package(true, m_Frame);
  package.SetRect(RECT{0, 0, 300, 100});
  EXPECT_TRUE(package.Arrange());
  MINMAXINFO info{};
  info.ptMinTrackSize = {7, 9};
  package.GetMinMaxInfo(&info);
  EXPECT_EQ(info.ptMinTrackSize.x, 7);
  EXPECT_EQ(info.ptMinTrackSize.y, 9);
  EXPECT_EQ(package.HitTest(POINT{100, 50}), Package::npos);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PackageTest, ItemsSpanFromTheirSeparatorToTheNextAndAcrossTheRow) {
  for (bool horizontal : {true, false}) {
    Package package(horizontal, m_Frame);
    package.SetRect(RECT{0, 0, 300, 300});
    std::vector<HWND> items;
    for (int pos : {-5, 100, 200}) {
      int p = pos;
      items.push_back(Child(10));
      package.container().insert(package.container().size(), p, items.back(), 0);
    }
    package.container().restore_positions({-5, 100, 200});
    ASSERT_TRUE(package.Arrange());
    const RECT expected[3] = {{0, 0, 100, 300}, {105, 0, 200, 300}, {205, 0, 300, 300}};
    for (int i = 0; i < 3; ++i) {
      RECT want = expected[i];
      if (!horizontal) {
        want = RECT{expected[i].top, expected[i].left, expected[i].bottom, expected[i].right};
      }
      EXPECT_TRUE(Same(WindowRectIn(items[i]), want)) << i << " horizontal " << horizontal;
    }
  }
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PackageTest, ANewRectangleGoesToTheCentralItemFirst) {
  Package package(true, m_Frame);
  Fill(package, {20, 50, 20}, {-5, 95, 195});
  package.SetRect(RECT{0, 0, 500, 100}, 1);
  EXPECT_EQ(package.container().positions(), (std::deque<int>{-5, 95, 395}));
  // Too small for the items: the bounds keep the room they need.
  package.SetRect(RECT{0, 0, 50, 100}, 1);
  EXPECT_EQ(package.container().bounds().hi, -5 + 25 + 55 + 25);
  EXPECT_TRUE(sm_Asserts.empty());
}

TEST_F(PackageTest, TheAggregateMinimumAddsSeparatorsBetweenItems) {
  Package row(true, m_Frame);
  Fill(row, {20, 30, 40}, {-5, 95, 195});
  MINMAXINFO info{};
  row.GetMinMaxInfo(&info);
  EXPECT_EQ(info.ptMinTrackSize.x, 20 + 30 + 40 + 10);
  EXPECT_EQ(info.ptMinTrackSize.y, 80);
  Package column(false, m_Frame);
  Fill(column, {20, 30}, {-5, 95});
  info = MINMAXINFO{};
  column.GetMinMaxInfo(&info);
  EXPECT_EQ(info.ptMinTrackSize.y, 40 + 60 + 5);
  EXPECT_EQ(info.ptMinTrackSize.x, 30);
}

TEST_F(PackageTest, SeparatorsAreHitAndPaintedButNeverTheFirst) {
  Package package(true, m_Frame);
  Fill(package, {10, 10}, {-5, 100});
  EXPECT_EQ(package.HitTest(POINT{102, 50}), 1u);
  EXPECT_EQ(package.HitTest(POINT{105, 50}), Package::npos);
  EXPECT_EQ(package.HitTest(POINT{-3, 50}), Package::npos);
  EXPECT_EQ(package.HitTest(POINT{102, 150}), Package::npos);

  DibCanvas canvas(300, 100);
  package.Draw(canvas.dc());
  EXPECT_EQ(canvas.at(102, 50), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.at(99, 50), 0u);
  EXPECT_EQ(canvas.at(0, 50), 0u);
}

TEST_F(PackageTest, APressOnASeparatorDragsItAndTheItemsFollow) {
  Package package(true, m_Frame);
  Fill(package, {10, 10}, {-5, 100});
  HWND second = package.container().item(1);
  PostMessageW(m_Frame, WM_MOUSEMOVE, 0, MAKELPARAM(152, 50));
  PostMessageW(m_Frame, WM_LBUTTONUP, 0, MAKELPARAM(152, 50));
  EXPECT_TRUE(package.StartSliding(POINT{102, 50}, false));
  EXPECT_EQ(package.container().positions(), (std::deque<int>{-5, 150}));
  EXPECT_TRUE(Same(WindowRectIn(second), RECT{155, 0, 300, 100}));
  EXPECT_FALSE(package.StartSliding(POINT{50, 50}, false));
  EXPECT_TRUE(sm_Asserts.empty());
}

}  // namespace
