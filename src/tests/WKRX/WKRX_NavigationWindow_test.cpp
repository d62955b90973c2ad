#include "WKRX/WKRX_NavigationWindow.h"

#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "support/WKRX_ViewFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr DWORD kPaletteStyle = 0x86CF0000;
// The palette's client: odd, so that the centring halves are rounded.
constexpr long kClientWidth = 171;
constexpr long kClientHeight = 133;

// A sheet of 800 x 480 pixels with a 100 x 60 thumbnail: a large block at the top left and a small
// one at the bottom left, so that every turn and mirror shows; one page over most of it.
struct NavigationLayout {
  int frontPlates = 1;
  int backPlates = 0;
  std::uint16_t thumbnailScale = 8;
  bool thumbnail = true;
};

std::string WriteSeparation(const NavigationLayout& layout, bool front, int index) {
  static int sm_Serial = 0;
  PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(800, 480, 8);
  file.job.surface = front ? 0 : 1;
  file.job.inkName = index == 0 ? "Black" : "Cyan";
  file.job.color = index == 0 ? 4 : 1;
  PreviewFixture::Page page;
  page.number = 7;
  page.position = PreviewFixture::Edges{40, 40, 439, 759};
  file.job.pages.push_back(page);
  file.image.bits = [](std::uint32_t x, std::uint32_t y) {
    return (x < 200 && y < 120) || (x < 80 && y >= 400);
  };
  file.thumbnail.grey = [](std::uint32_t x, std::uint32_t y) -> std::uint8_t {
    return (x < 25 && y < 15) || (x < 10 && y >= 50) ? 255 : 0;
  };
  file.thumbnail.scale = layout.thumbnailScale;
  if (!layout.thumbnail)
    file.thumbnailAt = PreviewFixture::ThumbnailAt::Nowhere;
  const std::string path = PreviewFixture::TempFilePath("wkrx_nav" + std::to_string(++sm_Serial) +
                                                        (front ? "_front.tif" : "_back.tif"));
  PreviewFixture::Write(path, file);
  return path;
}

IMPN_Sheet* MakeSheet(const NavigationLayout& layout) {
  GFIL_FileSpecVector front;
  GFIL_FileSpecVector back;
  for (int i = 0; i < layout.frontPlates; ++i)
    front.push_back(PreviewFixture::SpecFromPath(WriteSeparation(layout, true, i)));
  for (int i = 0; i < layout.backPlates; ++i)
    back.push_back(PreviewFixture::SpecFromPath(WriteSeparation(layout, false, i)));
  return new IMPN_Sheet(front, back);
}

COLORREF Blend(COLORREF over, COLORREF under, int alpha) {
  const auto channel = [alpha](int o, int u) { return (o * alpha + u * (255 - alpha)) / 255; };
  return RGB(channel(GetRValue(over), GetRValue(under)), channel(GetGValue(over), GetGValue(under)),
             channel(GetBValue(over), GetBValue(under)));
}

COLORREF Colour(const IMPN_RGBAColor8& c) {
  return RGB(c.red, c.green, c.blue);
}

// The upright thumbnail pixel that a turned-thumbnail position shows.
POINT UprightOf(POINT turned, long width, long length, long rotation) {
  switch (rotation) {
    case 90:
      return POINT{turned.y, length - 1 - turned.x};
    case 180:
      return POINT{width - 1 - turned.x, length - 1 - turned.y};
    case 270:
      return POINT{width - 1 - turned.y, turned.x};
    default:
      return turned;
  }
}

class WKRXNavigationWindow : public WKRX_ViewTest {
protected:
  void SetUp() override {
    WKRX_ViewTest::SetUp();
    RECT rect = {0, 0, 100, 100};
    ASSERT_NE(m_Palette.Create(*m_Frame, rect, L"Navigation", kPaletteStyle), nullptr);
    RECT window = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&window, kPaletteStyle, FALSE, WS_EX_TOOLWINDOW);
    m_Palette.SetWindowPos(nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  void TearDown() override {
    if (m_Palette.IsWindow())
      m_Palette.DestroyWindow();
    WKRX_ViewTest::TearDown();
  }

  IMPN_Sheet* ShowSheet(const NavigationLayout& layout = NavigationLayout()) {
    IMPN_Sheet* sheet = MakeSheet(layout);
    m_Viewer->SetSheet(sheet);
    m_Palette.SetView(View());
    WKRX_RecordingFrame::sm_Messages.clear();
    return sheet;
  }
  SIZE Client() {
    RECT client;
    m_Palette.GetClientRect(&client);
    return SIZE{client.right, client.bottom};
  }
  POINT Offset() {
    const SIZE extent = m_Palette.Extent();
    const SIZE turned = m_Palette.Rotation() % 180 == 0 ? extent : SIZE{extent.cy, extent.cx};
    const SIZE client = Client();
    return POINT{(client.cx - turned.cx) / 2, (client.cy - turned.cy) / 2};
  }
  // Sets the frame from fractions as the sheet window hands them on.
  void SetFrame(IMPN_RectT<double> fractions) {
    m_Palette.SendMessage(WKRX_WM_ZOOMLEVELCHANGED, 0, reinterpret_cast<LPARAM>(&fractions));
  }
  void SetRotation(long degrees) { m_Palette.SendMessage(WKRX_WM_ROTATIONCHANGED, degrees, 0); }
  // Mouse messages at turned-thumbnail points.
  void Press(POINT p) { Mouse(WM_LBUTTONDOWN, p); }
  void Move(POINT p) { Mouse(WM_MOUSEMOVE, p); }
  void Release(POINT p) { Mouse(WM_LBUTTONUP, p); }
  void Mouse(UINT message, POINT p) {
    const POINT offset = Offset();
    m_Palette.SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                          MAKELPARAM(p.x + offset.x, p.y + offset.y));
  }
  void PaintPalette(WKRX_DibCanvas& canvas) {
    m_Palette.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
  }
  // The thumbnail pixel of the side shown at an upright position.
  COLORREF ThumbnailPixel(IMPN_Surface& surface, POINT upright) {
    const IMPN_BitMap& map = surface.GetThumbnailImage()->GetBitMap();
    const std::uint8_t* p = map.pixels + static_cast<std::size_t>(upright.y) * map.rowBytes +
                            static_cast<std::size_t>(upright.x) * 4;
    return RGB(p[2], p[1], p[0]);
  }
  std::vector<WKRX_FrameMessage> Sent(UINT message) { return WKRX_RecordingFrame::Of(message); }

  WKRX_NavigationWindow m_Palette;
};

// ---------------------------------------------------------------------------------------------
// Arithmetic

TEST(WKRXNavigationArithmetic, TheFrameMapsOntoTheUprightThumbnailAtEachRotation) {
  const RECT frame = {10, 20, 40, 35};  // left, top, right, bottom on the turned thumbnail
  const long w = 100, l = 60;
  struct Case {
    long rotation;
    RECT upright;
  } const cases[] = {{0, {10, 20, 40, 35}},
                     {90, {20, l - 40, 35, l - 10}},
                     {180, {w - 40, l - 35, w - 10, l - 20}},
                     {270, {w - 35, 10, w - 20, 40}}};
  for (const Case& c : cases) {
    const RECT r = WKRX_Navigation::UprightFrame(frame, w, l, c.rotation);
    EXPECT_TRUE(EqualRect(&r, &c.upright))
        << c.rotation << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    // The upright frame is the turned one seen through the thumbnail's own turn.
    const WKRX_ViewTransform turn =
        WKRX_Navigation::ThumbnailTransform(w, l, c.rotation, POINT{0, 0});
    const RECT back =
        turn.MapRect(IMPN_RectT<long>(r.top, r.left, r.right - r.left, r.bottom - r.top));
    EXPECT_TRUE(EqualRect(&back, &frame)) << c.rotation;
  }
}

TEST(WKRXNavigationArithmetic, TheTurnedThumbnailIsCentredWithHalvesTowardZero) {
  struct Case {
    SIZE client, turned;
    POINT offset;
  } const cases[] = {{{171, 133}, {100, 60}, {35, 36}},
                     {{171, 133}, {60, 100}, {55, 16}},
                     {{100, 57}, {100, 60}, {0, -1}},
                     {{60, 60}, {100, 60}, {-20, 0}}};
  for (const Case& c : cases) {
    const POINT offset = WKRX_Navigation::CentringOffset(c.client, c.turned);
    EXPECT_EQ(offset.x, c.offset.x);
    EXPECT_EQ(offset.y, c.offset.y);
  }
}

TEST(WKRXNavigationArithmetic, AMovedFrameStopsAtTheEdgesWithItsSize) {
  const SIZE extent = {100, 60};
  struct Case {
    RECT frame;
    long dx, dy;
    RECT moved;
  } const cases[] = {
      {{10, 10, 30, 20}, 5, -3, {15, 7, 35, 17}},
      {{10, 10, 30, 20}, 500, 500, {80, 50, 100, 60}},
      {{10, 10, 30, 20}, -500, -500, {0, 0, 20, 10}},
      // Wider than the thumbnail: it keeps its place across and still moves down.
      {{-10, 10, 130, 20}, 7, 5, {-10, 15, 130, 25}},
      // Taller than the thumbnail: the other way round.
      {{10, -5, 30, 70}, 5, 9, {15, -5, 35, 70}},
  };
  for (const Case& c : cases) {
    const RECT r = WKRX_Navigation::MoveInside(c.frame, c.dx, c.dy, extent);
    EXPECT_TRUE(EqualRect(&r, &c.moved))
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(WKRXNavigationArithmetic, VeilsTakeTheirShareOfTheAlpha) {
  EXPECT_EQ(WKRX_Navigation::VeilAlpha(60), 102);
  EXPECT_EQ(WKRX_Navigation::VeilAlpha(100), 0);
  EXPECT_EQ(WKRX_Navigation::VeilAlpha(0), 255);
  EXPECT_EQ(WKRX_Navigation::VeilAlpha(33), 170);
  EXPECT_EQ(WKRX_Navigation::VeilAlpha(250), 0);
}

// ---------------------------------------------------------------------------------------------
// The palette

TEST_F(WKRXNavigationWindow, AtEachRotationTheFrameCoversWhatTheViewShows) {
  IMPN_Sheet* sheet = ShowSheet();
  ASSERT_EQ(m_Palette.Extent().cx, 100);
  ASSERT_EQ(m_Palette.Extent().cy, 60);
  View().SetZoomLevel(kIMPN_ZoomLevel1to1, false);
  const IMPN_RGBAColor8 screen = IMPN_Preferences::sm_NavigationScreen;
  const IMPN_RGBAColor8 border = IMPN_Preferences::sm_NavigationFrame;
  for (long rotation : {0L, 90L, 180L, 270L}) {
    SCOPED_TRACE(rotation);
    if (rotation != 0)
      View().Rotate(90);
    ASSERT_EQ(View().Rotation(), rotation);
    View().ScrollViewTo(120, 40, false);
    SetRotation(rotation);
    IMPN_RectT<double> fractions = View().GetNormalizedViewFrame();
    SetFrame(fractions);
    // The view shows 800 x 480 pixels at 1:1, turned; the thumbnail is 1 : 8 of that.
    const POINT scroll = View().ScrollPosition();
    const SIZE client = ViewClient();
    const RECT frame = m_Palette.ViewFrame();
    EXPECT_NEAR(frame.left, scroll.x / 8.0, 1.0);
    EXPECT_NEAR(frame.top, scroll.y / 8.0, 1.0);
    EXPECT_NEAR(frame.right, (scroll.x + client.cx) / 8.0, 1.0);
    EXPECT_NEAR(frame.bottom, (scroll.y + client.cy) / 8.0, 1.0);

    WKRX_DibCanvas canvas(kClientWidth, kClientHeight, RGB(1, 2, 3));
    PaintPalette(canvas);
    const POINT o = Offset();
    const auto thumb = [&](POINT turned) {
      return ThumbnailPixel(sheet->GetFrontSurface(), UprightOf(turned, 100, 60, rotation));
    };
    // Inside the frame the thumbnail shows as it is, the block at its turned place among it.
    for (POINT p : {POINT{frame.left + 1, frame.top + 1}, POINT{frame.right - 2, frame.bottom - 2},
                    POINT{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2}})
      EXPECT_EQ(canvas.Pixel(o.x + p.x, o.y + p.y), thumb(p)) << p.x << "," << p.y;
    // Its border is the frame colour at its share; outside, the veil.
    const POINT edge = {frame.left, (frame.top + frame.bottom) / 2};
    EXPECT_TRUE(
        WKRX_Near(canvas.Pixel(o.x + edge.x, o.y + edge.y),
                  Blend(thumb(edge), Colour(border), WKRX_Navigation::VeilAlpha(border.alpha))));
    const SIZE turned = rotation % 180 == 0 ? SIZE{100, 60} : SIZE{60, 100};
    for (POINT p : {POINT{0, 0}, POINT{turned.cx - 1, turned.cy - 1}, POINT{turned.cx - 1, 0}}) {
      if (PtInRect(&frame, p))
        continue;
      EXPECT_TRUE(
          WKRX_Near(canvas.Pixel(o.x + p.x, o.y + p.y), Blend(thumb(p), Colour(screen), 102)))
          << p.x << "," << p.y;
    }
    // The workspace around the thumbnail.
    EXPECT_EQ(canvas.Pixel(0, 0), GetSysColor(COLOR_APPWORKSPACE));
    EXPECT_EQ(canvas.Pixel(Client().cx - 1, Client().cy - 1), GetSysColor(COLOR_APPWORKSPACE));
  }
  // The inked block is dark, the paper light: the comparison saw the picture, not a plain fill.
  EXPECT_NE(ThumbnailPixel(sheet->GetFrontSurface(), POINT{2, 2}),
            ThumbnailPixel(sheet->GetFrontSurface(), POINT{50, 30}));
}

TEST_F(WKRXNavigationWindow, ASideWithoutSeparationsShowsTheOtherMirrored) {
  NavigationLayout layout;
  layout.frontPlates = 0;
  layout.backPlates = 1;
  IMPN_Sheet* sheet = ShowSheet(layout);
  // The view shows the back of such a sheet; the front is chosen.
  m_Palette.SendMessage(WKRX_WM_FRONTSIDESHOWN, 1, 0);
  ASSERT_TRUE(m_Palette.FrontShown());
  ASSERT_TRUE(m_Palette.SideEmpty());
  SetFrame(IMPN_RectT<double>(0, 0, 0, 0));
  IMPN_Preferences::sm_NavigationScreen.alpha = 0;
  WKRX_DibCanvas canvas(kClientWidth, kClientHeight);
  PaintPalette(canvas);
  const POINT o = Offset();
  for (POINT p : {POINT{2, 2}, POINT{97, 2}, POINT{3, 55}, POINT{96, 56}, POINT{50, 30}})
    EXPECT_EQ(canvas.Pixel(o.x + p.x, o.y + p.y),
              ThumbnailPixel(sheet->GetBackSurface(), POINT{99 - p.x, p.y}))
        << p.x << "," << p.y;
  // The back itself is shown as it is.
  m_Palette.SendMessage(WKRX_WM_BACKSIDESHOWN, 0, 0);
  EXPECT_FALSE(m_Palette.SideEmpty());
  PaintPalette(canvas);
  EXPECT_EQ(canvas.Pixel(o.x + 2, o.y + 2), ThumbnailPixel(sheet->GetBackSurface(), POINT{2, 2}));
}

TEST_F(WKRXNavigationWindow, AClickWithinThreePixelsCentresTheFrameAndScrolls) {
  ShowSheet();
  SetFrame(IMPN_RectT<double>(0, 0, 0.2, 0.25));  // 20 x 15 at the top left
  Press(POINT{60, 40});
  EXPECT_EQ(m_Palette.MouseMode(), WKRX_NavigationWindow::kMousePressed);
  Move(POINT{62, 37});
  EXPECT_EQ(m_Palette.MouseMode(), WKRX_NavigationWindow::kMousePressed);
  Release(POINT{62, 37});
  const RECT frame = m_Palette.ViewFrame();
  EXPECT_EQ(frame.left, 52);
  EXPECT_EQ(frame.top, 30);
  EXPECT_EQ(frame.right - frame.left, 20);
  EXPECT_EQ(frame.bottom - frame.top, 15);
  const auto sent = Sent(WKRX_WM_SCROLLVIEWTO);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_DOUBLE_EQ(sent[0].values[0], 30.0 / 60);
  EXPECT_DOUBLE_EQ(sent[0].values[1], 52.0 / 100);
  EXPECT_TRUE(Sent(WKRX_WM_ZOOMVIEWTORECT).empty());
  EXPECT_EQ(m_Palette.MouseMode(), WKRX_NavigationWindow::kMouseNone);

  // Near an edge the centred frame stops there; a click beside the thumbnail does nothing.
  WKRX_RecordingFrame::sm_Messages.clear();
  Press(POINT{99, 0});
  Release(POINT{99, 0});
  EXPECT_EQ(m_Palette.ViewFrame().right, 100);
  EXPECT_EQ(m_Palette.ViewFrame().top, 0);
  Press(POINT{-5, 10});
  Release(POINT{-5, 10});
  EXPECT_EQ(Sent(WKRX_WM_SCROLLVIEWTO).size(), 1u);
}

TEST_F(WKRXNavigationWindow, DraggingTheFrameKeepsItInsideAndScrollsOnRelease) {
  ShowSheet();
  SetFrame(IMPN_RectT<double>(0.2, 0.1, 0.3, 0.5));  // (10, 12) to (40, 42)
  Press(POINT{20, 20});
  EXPECT_EQ(m_Palette.MouseMode(), WKRX_NavigationWindow::kMouseMovingFrame);
  Move(POINT{30, 25});
  RECT frame = m_Palette.ViewFrame();
  EXPECT_EQ(frame.left, 20);
  EXPECT_EQ(frame.top, 17);
  Move(POINT{300, 300});
  frame = m_Palette.ViewFrame();
  EXPECT_EQ(frame.right, 100);
  EXPECT_EQ(frame.bottom, 60);
  EXPECT_EQ(frame.right - frame.left, 30);
  EXPECT_EQ(frame.bottom - frame.top, 30);
  EXPECT_TRUE(Sent(WKRX_WM_SCROLLVIEWTO).empty());
  Release(POINT{300, 300});
  const auto sent = Sent(WKRX_WM_SCROLLVIEWTO);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_DOUBLE_EQ(sent[0].values[0], 30.0 / 60);
  EXPECT_DOUBLE_EQ(sent[0].values[1], 70.0 / 100);
}

TEST_F(WKRXNavigationWindow, AFrameWiderThanTheThumbnailMovesOnlyUpAndDown) {
  ShowSheet();
  SetFrame(IMPN_RectT<double>(0.1, -0.1, 1.3, 0.5));  // (-10, 6) to (120, 36)
  Press(POINT{50, 20});
  Move(POINT{70, 30});
  const RECT frame = m_Palette.ViewFrame();
  EXPECT_EQ(frame.left, -10);
  EXPECT_EQ(frame.right, 120);
  EXPECT_EQ(frame.top, 16);
  Release(POINT{70, 30});
  const auto sent = Sent(WKRX_WM_SCROLLVIEWTO);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_DOUBLE_EQ(sent[0].values[1], -0.1);
}

TEST_F(WKRXNavigationWindow, ABandDrawnOnTheThumbnailZoomsToIt) {
  ShowSheet();
  SetFrame(IMPN_RectT<double>(0, 0, 0.1, 0.1));
  Press(POINT{80, 50});
  Move(POINT{84, 50});
  EXPECT_EQ(m_Palette.MouseMode(), WKRX_NavigationWindow::kMouseBand);
  // Level with the press the frame stays as it was.
  EXPECT_EQ(m_Palette.ViewFrame().right, 10);
  Move(POINT{40, 20});
  const RECT frame = m_Palette.ViewFrame();
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 20);
  EXPECT_EQ(frame.right, 80);
  EXPECT_EQ(frame.bottom, 50);
  Release(POINT{40, 20});
  EXPECT_TRUE(Sent(WKRX_WM_SCROLLVIEWTO).empty());
  const auto sent = Sent(WKRX_WM_ZOOMVIEWTORECT);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_DOUBLE_EQ(sent[0].values[0], 20.0 / 60);
  EXPECT_DOUBLE_EQ(sent[0].values[1], 40.0 / 100);
  EXPECT_DOUBLE_EQ(sent[0].values[2], 40.0 / 100);
  EXPECT_DOUBLE_EQ(sent[0].values[3], 30.0 / 60);
}

TEST_F(WKRXNavigationWindow, PreferredSizesFollowTheTurnFloatingAndTheLongerSideDocked) {
  ShowSheet();
  const long caption = dockwins::COutlookLikeCaption::Thickness();
  const long cx = GetSystemMetrics(SM_CXFRAME);
  const long cy = GetSystemMetrics(SM_CYFRAME);
  SIZE size = m_Palette.PreferredSize();
  EXPECT_EQ(size.cx, 100 + 2 * cx);
  EXPECT_EQ(size.cy, 60 + cy + caption);
  // A floating palette takes the turned size at once, its top left kept.
  m_Palette.SetWindowPos(nullptr, 33, 44, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  SetRotation(90);
  size = m_Palette.PreferredSize();
  EXPECT_EQ(size.cx, 60 + 2 * cx);
  EXPECT_EQ(size.cy, 100 + cy + caption);
  RECT window;
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(window.left, 33);
  EXPECT_EQ(window.top, 44);
  EXPECT_EQ(window.right - window.left, size.cx);
  EXPECT_EQ(window.bottom - window.top, size.cy);
  MINMAXINFO info = {};
  m_Palette.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, size.cx);
  EXPECT_EQ(info.ptMinTrackSize.y, size.cy);
  // Docked, at either turn: the longer side both ways, the caption below it.
  m_Palette.m_hBar = *m_Frame;
  for (long rotation : {0L, 90L}) {
    SetRotation(rotation);
    size = m_Palette.PreferredSize();
    EXPECT_EQ(size.cx, 100);
    EXPECT_EQ(size.cy, 100 + caption);
  }
  m_Palette.m_hBar = nullptr;
}

TEST_F(WKRXNavigationWindow, WithoutASheetTheMinimumIsTheCaptionAndNothingIsSent) {
  MINMAXINFO info = {};
  m_Palette.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_GE(info.ptMinTrackSize.x, dockwins::COutlookLikeCaption::Thickness());
  EXPECT_GE(info.ptMinTrackSize.y, dockwins::COutlookLikeCaption::Thickness());
  Press(POINT{1, 1});
  Release(POINT{1, 1});
  EXPECT_TRUE(WKRX_RecordingFrame::sm_Messages.empty());
  WKRX_DibCanvas canvas(kClientWidth, kClientHeight);
  PaintPalette(canvas);
  EXPECT_EQ(canvas.Pixel(kClientWidth / 2, kClientHeight / 2), GetSysColor(COLOR_APPWORKSPACE));
}

TEST_F(WKRXNavigationWindow, ActivationAndClosingTellTheFrameWithTheNavigationCommand) {
  m_Palette.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(HWND(*m_Frame)));
  m_Palette.SendMessage(WM_ACTIVATE, WA_CLICKACTIVE, 0);
  m_Palette.SendMessage(WM_CLOSE, 0, 0);
  const auto deactivated = Sent(WKRX_WM_PALETTEDEACTIVATED);
  const auto activated = Sent(WKRX_WM_PALETTEACTIVATED);
  const auto hidden = Sent(WKRX_WM_PALETTEHIDDEN);
  ASSERT_FALSE(deactivated.empty());
  ASSERT_FALSE(activated.empty());
  ASSERT_EQ(hidden.size(), 1u);
  EXPECT_EQ(deactivated[0].wParam, 10145u);
  EXPECT_EQ(deactivated[0].lParam, reinterpret_cast<LPARAM>(HWND(*m_Frame)));
  EXPECT_EQ(activated[0].wParam, 10145u);
  EXPECT_EQ(hidden[0].wParam, 10145u);
  EXPECT_EQ(hidden[0].lParam, reinterpret_cast<LPARAM>(m_Palette.m_hWnd));
  EXPECT_FALSE(m_Palette.IsWindowVisible());
  EXPECT_TRUE(m_Palette.IsWindow());
  EXPECT_EQ(m_Palette.SendMessage(WM_ERASEBKGND, 0, 0), 1);
  EXPECT_EQ(m_Palette.SendMessage(WM_NCACTIVATE, FALSE, 0), 1);
}

TEST_F(WKRXNavigationWindow, PagesAreDrawnAtTheReductionAndNotAtAll) {
  ShowSheet();
  SetFrame(IMPN_RectT<double>(0, 0, 1, 1));
  IMPN_Preferences::sm_NavigationFrame.alpha = 0;
  const COLORREF page =
      RGB(IMPN_Preferences::sm_PageEdgeColor.red, IMPN_Preferences::sm_PageEdgeColor.green,
          IMPN_Preferences::sm_PageEdgeColor.blue);
  WKRX_DibCanvas canvas(kClientWidth, kClientHeight);
  PaintPalette(canvas);
  const POINT o = Offset();
  // The page (40, 40) to (760, 440) at 1 : 8: its left edge at x 5, its bottom at y 55.
  EXPECT_NE(canvas.Pixel(o.x + 5, o.y + 30), page);
  m_Palette.SendMessage(WKRX_WM_PAGEEDGESSHOWN, 0, 0);
  PaintPalette(canvas);
  EXPECT_EQ(canvas.Pixel(o.x + 5, o.y + 30), page);
  EXPECT_EQ(canvas.Pixel(o.x + 50, o.y + 55), page);
  m_Palette.SendMessage(WKRX_WM_PAGEEDGESHIDDEN, 0, 0);
  PaintPalette(canvas);
  EXPECT_NE(canvas.Pixel(o.x + 5, o.y + 30), page);
}

TEST_F(WKRXNavigationWindow, AThumbnailWithoutReductionDrawsNoPages) {
  NavigationLayout layout;
  layout.thumbnailScale = 0;
  ShowSheet(layout);
  m_Palette.SendMessage(WKRX_WM_PAGEEDGESSHOWN, 0, 0);
  m_Palette.SendMessage(WKRX_WM_PAGENUMBERSSHOWN, 0, 0);
  SetFrame(IMPN_RectT<double>(0, 0, 1, 1));
  const COLORREF page =
      RGB(IMPN_Preferences::sm_PageEdgeColor.red, IMPN_Preferences::sm_PageEdgeColor.green,
          IMPN_Preferences::sm_PageEdgeColor.blue);
  WKRX_DibCanvas canvas(kClientWidth, kClientHeight);
  PaintPalette(canvas);
  for (int y = 0; y < kClientHeight; ++y)
    for (int x = 0; x < kClientWidth; ++x)
      ASSERT_NE(canvas.Pixel(x, y), page) << x << "," << y;
}

TEST_F(WKRXNavigationWindow, AThumbnailWithoutSizeSendsNothingAndDrawsNoPicture) {
  NavigationLayout layout;
  layout.thumbnail = false;
  IMPN_Sheet* sheet = ShowSheet(layout);
  ASSERT_EQ(m_Palette.Sheet(), sheet);
  ASSERT_EQ(m_Palette.Extent().cx * m_Palette.Extent().cy, 0);
  m_Palette.SendMessage(WKRX_WM_PAGEEDGESSHOWN, 0, 0);
  SetFrame(IMPN_RectT<double>(0.1, 0.1, 0.5, 0.5));
  Press(POINT{0, 0});
  Move(POINT{10, 10});
  Release(POINT{10, 10});
  Press(POINT{0, 0});
  Release(POINT{0, 0});
  EXPECT_TRUE(Sent(WKRX_WM_SCROLLVIEWTO).empty());
  EXPECT_TRUE(Sent(WKRX_WM_ZOOMVIEWTORECT).empty());
  WKRX_DibCanvas canvas(kClientWidth, kClientHeight);
  PaintPalette(canvas);
  const SIZE client = Client();
  for (int y = 0; y < client.cy; ++y)
    for (int x = 0; x < client.cx; ++x)
      ASSERT_EQ(canvas.Pixel(x, y), GetSysColor(COLOR_APPWORKSPACE)) << x << "," << y;
}

}  // namespace
