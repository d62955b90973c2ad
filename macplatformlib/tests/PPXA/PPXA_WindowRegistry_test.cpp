// Counting, arranging and closing the registered windows.
#include "PPXA/PPXA_WindowRegistry.h"

#include "support/PPXA_Fixture.h"

#include <vector>

namespace {

class PPXA_WindowRegistryTest : public PPXA_FixtureTest {
protected:
  void TearDown() override {
    for (WindowRef window : m_Made)
      DisposeWindow(window);
    PPXA_FixtureTest::TearDown();
  }

  // A visible document window (the newest in front).
  WindowRef Make(bool registered = true) {
    Rect bounds = {300, 300, 400, 400};
    WindowRef window = nullptr;
    CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds, &window);
    const HISize minimum = {10, 10};
    const HISize maximum = {2000, 2000};
    SetWindowResizeLimits(window, &minimum, &maximum);
    ShowWindow(window);
    m_Made.push_back(window);
    if (registered)
      m_Registry.InsertWindow(window);
    return window;
  }

  static Rect Structure(WindowRef window) {
    Rect r;
    GetWindowBounds(window, kWindowStructureRgn, &r);
    return r;
  }
  static std::vector<short> Corner(WindowRef window) {
    Rect r = Structure(window);
    return {r.left, r.top};
  }
  // The registered windows in set order.
  std::vector<WindowRef> InSetOrder() const {
    return std::vector<WindowRef>(m_Registry.Begin(), m_Registry.End());
  }

  PPXA::WindowRegistry m_Registry;
  std::vector<WindowRef> m_Made;
  const Rect m_Area = {0, 0, 800, 1000};
};

TEST_F(PPXA_WindowRegistryTest, CascadeGivesTheWorkedFigures) {
  Make();
  Make();
  WindowRef front = Make();
  m_Registry.Cascade(m_Area);
  EXPECT_EQ((std::vector<short>{1, 1}), Corner(front));
  Rect r = Structure(front);
  EXPECT_EQ(952, r.right - r.left);
  EXPECT_EQ(752, r.bottom - r.top);
  std::vector<WindowRef> others;
  for (WindowRef window : InSetOrder())
    if (window != front)
      others.push_back(window);
  EXPECT_EQ((std::vector<short>{24, 24}), Corner(others[0]));
  EXPECT_EQ((std::vector<short>{47, 47}), Corner(others[1]));
  EXPECT_EQ(999, Structure(others[1]).right);
  // Stacked behind the front window in set order.
  EXPECT_EQ(front, FrontWindow());
  EXPECT_EQ(others[0], GetNextWindow(front));
  EXPECT_EQ(others[1], GetNextWindow(others[0]));
}

TEST_F(PPXA_WindowRegistryTest, TilingGivesTheWorkedFiguresAndFitsTheArea) {
  Make();
  Make();
  WindowRef front = Make();
  m_Registry.TileHorizontally(m_Area);
  std::vector<short> tops{Structure(front).top};
  for (WindowRef window : InSetOrder())
    if (window != front)
      tops.push_back(Structure(window).top);
  EXPECT_EQ((std::vector<short>{1, 267, 533}), tops);
  EXPECT_EQ(998, Structure(front).right - Structure(front).left);
  m_Registry.TileVertically(m_Area);
  for (WindowRef window : InSetOrder()) {
    EXPECT_LE(Structure(window).right, 1000);
  }
}

TEST_F(PPXA_WindowRegistryTest, AnUnregisteredFrontWindowStaysAndTheRegisteredFillTheSlots) {
  for (bool frontRegistered : {false, true}) {
    SCOPED_TRACE(frontRegistered);
    for (WindowRef window : m_Made)
      DisposeWindow(window);
    m_Made.clear();
    m_Registry = PPXA::WindowRegistry();
    Make();
    Make();
    Make();
    WindowRef front = Make(frontRegistered);
    const Rect before = Structure(front);
    m_Registry.TileVertically(m_Area);
    const long n = m_Registry.GetWindowCount(true);
    const short w = static_cast<short>((1000 - n - 1) / n);
    std::vector<WindowRef> order;
    if (frontRegistered)
      order.push_back(front);
    for (WindowRef window : InSetOrder())
      if (window != front)
        order.push_back(window);
    for (std::size_t i = 0; i < order.size(); ++i) {
      EXPECT_EQ(1 + static_cast<short>(i) * (w + 1), Structure(order[i]).left) << i;
    }
    EXPECT_LE(Structure(order.back()).right, 1000);
    if (!frontRegistered) {
      EXPECT_EQ(before.left, Structure(front).left);
    }
  }
}

TEST_F(PPXA_WindowRegistryTest, WithoutAVisibleDocumentWindowTheFirstTakesSlotZero) {
  WindowRef a = Make();
  WindowRef b = Make();
  HideWindow(a);
  HideWindow(b);
  m_Registry.Cascade(m_Area);
  std::vector<WindowRef> order = InSetOrder();
  EXPECT_EQ((std::vector<short>{1, 1}), Corner(order[0]));
  EXPECT_EQ((std::vector<short>{24, 24}), Corner(order[1]));
}

TEST_F(PPXA_WindowRegistryTest, NothingMovesWithoutWindowsInOtherModesOrBeyondTheLimits) {
  m_Registry.Cascade(m_Area);  // empty: nothing to do
  WindowRef a = Make();
  WindowRef b = Make();
  const std::vector<short> start = Corner(a);
  CollapseWindow(a, true);
  CollapseWindow(b, true);
  EXPECT_EQ(0, m_Registry.GetWindowCount(true));
  EXPECT_EQ(2, m_Registry.GetWindowCount(false));
  m_Registry.Cascade(m_Area);
  EXPECT_EQ(start, Corner(a));
  CollapseWindow(a, false);
  CollapseWindow(b, false);
  m_Registry.ArrangeWindows(static_cast<PPXA::WindowRegistry::WindowArrangement>(3), m_Area);
  EXPECT_EQ(start, Corner(a));

  // Two tiles of 998 x 398 (content 376): the limits themselves are allowed.
  WindowRef first = InSetOrder().front();
  struct Case {
    HISize minimum;
    HISize maximum;
    bool moves;
  };
  const Case cases[] = {{{998, 376}, {998, 376}, true},
                        {{999, 10}, {2000, 2000}, false},
                        {{10, 377}, {2000, 2000}, false},
                        {{10, 10}, {997, 2000}, false},
                        {{10, 10}, {2000, 375}, false}};
  for (Case const& c : cases) {
    MoveWindowStructure(a, 300, 300);
    MoveWindowStructure(b, 300, 300);
    SetWindowResizeLimits(first, &c.minimum, &c.maximum);
    m_Registry.TileHorizontally(m_Area);
    EXPECT_EQ(c.moves, Corner(first) != (std::vector<short>{300, 300}))
        << c.minimum.width << " " << c.maximum.height;
  }
}

TEST_F(PPXA_WindowRegistryTest, ACollapsedFirstWindowStillGivesTitleBarAndLimits) {
  Make();
  Make();
  Make();
  std::vector<WindowRef> order = InSetOrder();
  CollapseWindow(order[0], true);
  const std::vector<short> collapsedCorner = Corner(order[0]);
  const HISize minimum = {10, 10};
  const HISize tooSmall = {100, 2000};  // no tile of 998 fits
  SetWindowResizeLimits(order[0], &minimum, &tooSmall);
  const std::vector<short> before = Corner(order[1]);
  m_Registry.TileHorizontally(m_Area);
  EXPECT_EQ(before, Corner(order[1]));
  const HISize large = {2000, 2000};
  SetWindowResizeLimits(order[0], &minimum, &large);
  m_Registry.Cascade(m_Area);
  // Two windows arranged, the step from the collapsed window's title bar (22).
  Rect r = Structure(order[1]);
  EXPECT_EQ(1000 - 2 - 1 - 22, r.right - r.left);
  EXPECT_EQ(collapsedCorner, Corner(order[0]));  // collapsed windows stay where they are
}

}  // namespace
