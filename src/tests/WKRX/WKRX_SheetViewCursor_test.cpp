#include "support/WKRX_ViewFixture.h"

#include "WKRX/WKRX_CommandIds.h"
#include "WKRX/WKRX_CursorManager.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>

namespace {

// Where the pointer rests: somewhere plain, on one of the two guides, or on or beside the
// densitometer frame.
enum class Spot {
  kPlain,
  kHorizontalGuide,
  kVerticalGuide,
  kFrameTop,
  kFrameBottom,
  kFrameLeft,
  kFrameRight,
  kFrameInside,
  kBesideFrame
};

struct CursorCase {
  const char* name;
  IMPN_ToolMode tool;  // the tool chosen in the tool bar
  std::set<int> keys;
  IMPN_ZoomLevel level;
  long rotation;
  Spot spot;
  long mode;      // the tool the view picks there
  UINT resource;  // the program's cursor expected, or 0 for the system's
  LPCWSTR system;
};

std::ostream& operator<<(std::ostream& out, const CursorCase& c) {
  return out << c.name;
}

constexpr IMPN_ZoomLevel k1to1 = kIMPN_ZoomLevel1to1;
constexpr long kHorizontalGuideAt = 40;  // 1:1 image rows and columns
constexpr long kVerticalGuideAt = 60;
const IMPN_RectT<long> kFrame(50, 60, 100, 80);

class WKRXSheetViewCursor : public WKRX_ViewTest, public testing::WithParamInterface<CursorCase> {
protected:
  void SetUp() override {
    WKRX_ViewTest::SetUp();
    WKRX_CursorManager::ForgetLoadedCursors();
  }
  void TearDown() override {
    WKRX_CursorManager::ForgetLoadedCursors();
    SetCursor(nullptr);
    WKRX_ViewTest::TearDown();
  }

  // The client point of a spot; the sheet is small enough to be seen whole at 1:1 at any turn.
  POINT ClientPoint(Spot spot) {
    const POINT scroll = View().ScrollPosition();
    const IMPN_RectT<long> h =
        View().ImageRectToViewFrameRect(IMPN_RectT<long>(kHorizontalGuideAt, 0, 0, 0));
    const IMPN_RectT<long> v =
        View().ImageRectToViewFrameRect(IMPN_RectT<long>(0, kVerticalGuideAt, 0, 0));
    const IMPN_RectT<long> f = View().ImageRectToViewFrameRect(kFrame);
    const bool sideways = View().Rotation() == 90 || View().Rotation() == 270;
    const long midX = f.left + f.width / 2;
    const long midY = f.top + f.height / 2;
    POINT at = {0, 0};
    switch (spot) {
      case Spot::kPlain:
        // In the window whatever the zoom level scrolled to.
        return POINT{25, 100};
      case Spot::kHorizontalGuide:
        at = sideways ? POINT{h.left, 170} : POINT{170, h.top};
        break;
      case Spot::kVerticalGuide:
        at = sideways ? POINT{170, v.top} : POINT{v.left, 170};
        break;
      // The frame's outline lies one pixel outside it.
      case Spot::kFrameTop:
        at = POINT{midX, f.top - 1};
        break;
      case Spot::kFrameBottom:
        at = POINT{midX, f.top + f.height + 1};
        break;
      case Spot::kFrameLeft:
        at = POINT{f.left - 1, midY};
        break;
      case Spot::kFrameRight:
        at = POINT{f.left + f.width + 1, midY};
        break;
      case Spot::kFrameInside:
        at = POINT{midX, midY};
        break;
      case Spot::kBesideFrame:
        at = POINT{f.left + f.width + 20, midY};
        break;
    }
    return POINT{at.x - scroll.x, at.y - scroll.y};
  }

  // As the system does when the pointer comes to rest over the view.
  void Hover(POINT client) {
    POINT screen = client;
    ClientToScreen(View(), &screen);
    // The pointer is shared by every program on the desktop, and tests run side by side: the
    // messages are sent again until the pointer stayed put while the view read it.
    for (int attempt = 0; attempt < 20; ++attempt) {
      ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
      Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(View().m_hWnd),
           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      Send(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
      POINT now = {};
      GetCursorPos(&now);
      if (now.x == screen.x && now.y == screen.y)
        return;
    }
    FAIL() << "the pointer did not stay where it was put";
  }
};

TEST_P(WKRXSheetViewCursor, ThePointerShowsTheToolItWouldUse) {
  const CursorCase& c = GetParam();
  WKRX_ViewSheets::Layout layout;
  layout.width = 300;
  layout.length = 200;
  Show(layout);
  View().SetZoomLevel(c.level, false);
  for (long r = 0; r < c.rotation; r += 90)
    View().RotateRight();
  ASSERT_EQ(View().Rotation(), c.rotation);
  View().m_ActiveTool = c.tool;
  if (c.spot == Spot::kHorizontalGuide)
    View().m_FrontGuideLines.horizontal.insert(kHorizontalGuideAt);
  if (c.spot == Spot::kVerticalGuide)
    View().m_FrontGuideLines.vertical.insert(kVerticalGuideAt);
  if (c.spot >= Spot::kFrameTop)
    View().m_DensitometerFrame = kFrame;
  m_Keys = c.keys;
  SetCursor(nullptr);

  Hover(ClientPoint(c.spot));

  EXPECT_EQ(View().ToolMode(), c.mode);
  const HCURSOR expected =
      c.resource != 0 ? LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.resource))
                      : LoadCursorW(nullptr, c.system);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(GetCursor(), expected);
}

using namespace WKRX_Ids;

// Ctrl is the zoom key, Alt the measure key, the space bar the pan key.
INSTANTIATE_TEST_SUITE_P(
    Tools, WKRXSheetViewCursor,
    testing::Values(
        CursorCase{"Pan",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolPan,
                   kCursorOpenHand,
                   nullptr},
        CursorCase{"Measure",
                   kIMPN_ToolMeasure,
                   {},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolMeasure,
                   kCursorCross,
                   nullptr},
        CursorCase{"MeasureKey",
                   kIMPN_ToolPan,
                   {VK_MENU},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolMeasure,
                   kCursorCross,
                   nullptr},
        CursorCase{"ZoomIn",
                   kIMPN_ToolZoom,
                   {},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomIn,
                   nullptr},
        CursorCase{"ZoomOut",
                   kIMPN_ToolZoom,
                   {VK_SHIFT},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomOut,
                   nullptr},
        CursorCase{"ZoomKeyInAtTheFarthest",
                   kIMPN_ToolPan,
                   {VK_CONTROL},
                   kIMPN_ZoomLevel1to512,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomIn,
                   nullptr},
        CursorCase{"ZoomInAtTheClosest",
                   kIMPN_ToolZoom,
                   {},
                   kIMPN_ZoomLevel8to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomLimit,
                   nullptr},
        CursorCase{"ZoomOutAtTheClosest",
                   kIMPN_ToolZoom,
                   {VK_SHIFT},
                   kIMPN_ZoomLevel8to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomOut,
                   nullptr},
        CursorCase{"ZoomKeyOutAtTheFarthest",
                   kIMPN_ToolPan,
                   {VK_CONTROL, VK_SHIFT},
                   kIMPN_ZoomLevel1to512,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolZoom,
                   kCursorZoomLimit,
                   nullptr},
        CursorCase{"DensitometerWithoutFrame",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kPlain,
                   kIMPN_ToolDensitometerNoFrame,
                   kCursorEyedropper,
                   nullptr},
        CursorCase{"DensitometerBesideFrame",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kBesideFrame,
                   kIMPN_ToolDensitometer,
                   kCursorEyedropper,
                   nullptr},
        CursorCase{"FrameTop",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kFrameTop,
                   kIMPN_ToolFrameTop,
                   0,
                   IDC_SIZENS},
        CursorCase{"FrameBottom",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kFrameBottom,
                   kIMPN_ToolFrameBottom,
                   0,
                   IDC_SIZENS},
        CursorCase{"FrameLeft",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kFrameLeft,
                   kIMPN_ToolFrameLeft,
                   0,
                   IDC_SIZEWE},
        CursorCase{"FrameRight",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kFrameRight,
                   kIMPN_ToolFrameRight,
                   0,
                   IDC_SIZEWE},
        CursorCase{"FrameInside",
                   kIMPN_ToolDensitometer,
                   {},
                   k1to1,
                   0,
                   Spot::kFrameInside,
                   kIMPN_ToolFrameInside,
                   0,
                   IDC_SIZEALL},
        CursorCase{"PanKeyOverFrame",
                   kIMPN_ToolDensitometer,
                   {VK_SPACE},
                   k1to1,
                   0,
                   Spot::kFrameInside,
                   kIMPN_ToolPan,
                   kCursorOpenHand,
                   nullptr},
        // A guide turned sideways runs the other way on the screen, and so does its cursor.
        CursorCase{"HorizontalGuideUpright",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   0,
                   Spot::kHorizontalGuide,
                   kIMPN_ToolHorizontalGuide,
                   kCursorShiftGuideHorz,
                   nullptr},
        CursorCase{"HorizontalGuideAt90",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   90,
                   Spot::kHorizontalGuide,
                   kIMPN_ToolHorizontalGuide,
                   kCursorShiftGuideVert,
                   nullptr},
        CursorCase{"HorizontalGuideAt180",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   180,
                   Spot::kHorizontalGuide,
                   kIMPN_ToolHorizontalGuide,
                   kCursorShiftGuideHorz,
                   nullptr},
        CursorCase{"HorizontalGuideAt270",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   270,
                   Spot::kHorizontalGuide,
                   kIMPN_ToolHorizontalGuide,
                   kCursorShiftGuideVert,
                   nullptr},
        CursorCase{"VerticalGuideUpright",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   0,
                   Spot::kVerticalGuide,
                   kIMPN_ToolVerticalGuide,
                   kCursorShiftGuideVert,
                   nullptr},
        CursorCase{"VerticalGuideAt90",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   90,
                   Spot::kVerticalGuide,
                   kIMPN_ToolVerticalGuide,
                   kCursorShiftGuideHorz,
                   nullptr},
        CursorCase{"VerticalGuideAt270",
                   kIMPN_ToolPan,
                   {},
                   k1to1,
                   270,
                   Spot::kVerticalGuide,
                   kIMPN_ToolVerticalGuide,
                   kCursorShiftGuideHorz,
                   nullptr}),
    [](const testing::TestParamInfo<CursorCase>& info) { return std::string(info.param.name); });

}  // namespace
