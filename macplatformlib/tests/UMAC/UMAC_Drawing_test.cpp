// The CoreGraphics holders and the QuickDraw context and rectangles: geometry by the cases that
// matter, drawing by pixels probed at points.
#include "UMAC/UMAC_CGContext.h"
#include "UMAC/UMAC_CGImage.h"
#include "UMAC/UMAC_QDContext.h"
#include "UMAC/UMAC_QDRect.h"

#include "support/UMAC_LiveCounts.h"

#include <HIToolbox/HIView.h>

#include <cmath>
#include <vector>

namespace {

class UMAC_DrawingTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    m_Contexts = StandIn_CGContextLiveCount();
    UMAC_LiveCountsTest::SetUp();
  }
  void TearDown() override {
    SetPort(nullptr);
    UMAC_LiveCountsTest::TearDown();
    EXPECT_EQ(m_Contexts, StandIn_CGContextLiveCount());
    StandIn_FilesReset();
  }

  static WindowRef NewWindow() {
    Rect bounds{100, 50, 200, 250};  // 200 x 100 content
    WindowRef window = nullptr;
    EXPECT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &bounds, &window));
    return window;
  }

private:
  long m_Contexts = 0;
};

// An RGBA bitmap context (premultiplied, bytes R, G, B, A) over a vector.
struct Pixels {
  explicit Pixels(int w, int h) : width(w), bytes(std::size_t(w) * std::size_t(h) * 4, 0) {}
  CGContextRef Make(UMAC_CGBitmapContext& holder) {
    CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
    CGContextRef made = holder.Create(bytes.data(), std::size_t(width), bytes.size() / 4 / width, 8,
                                      std::size_t(width) * 4, rgb, kCGImageAlphaPremultipliedLast);
    CGColorSpaceRelease(rgb);
    return made;
  }
  // Memory row `row` (0 is the top).
  const UInt8* At(int x, int row) const {
    return &bytes[(std::size_t(row) * std::size_t(width) + std::size_t(x)) * 4];
  }
  int width;
  std::vector<UInt8> bytes;
};

bool Same(const Rect& r, short top, short left, short bottom, short right) {
  return r.top == top && r.left == left && r.bottom == bottom && r.right == right;
}

TEST_F(UMAC_DrawingTest, QDRectanglesNormaliseIntersectAndTruncate) {
  UMAC_QDRect spanned;
  spanned.Set(Point{30, 10}, Point{5, 40});  // (v, h)
  EXPECT_TRUE(Same(spanned, 5, 10, 30, 40));
  UMAC_QDRect a(0, 0, 10, 10);  // left, top, right, bottom
  a.Intersect(Rect{20, 20, 30, 30});
  EXPECT_TRUE(Same(a, 0, 0, 0, 0));
  EXPECT_TRUE(a.IsEmpty());
  UMAC_QDRect b(0, 0, 10, 10);
  b.Intersect(Rect{5, -5, 20, 8});
  EXPECT_TRUE(Same(b, 5, 0, 10, 8));
  EXPECT_TRUE(UMAC_QDRect().IsEmpty());
  EXPECT_TRUE(Same(UMAC_HIRect(1.9f, -1.9f, 3.2f, 2.0f).AsQDRect(), -1, 1, 0, 5));
  EXPECT_TRUE(Same(UMAC_QDRect(CGRectMake(1.9f, -1.9f, 3.2f, 2.0f)), -1, 1, 0, 5));
}

TEST_F(UMAC_DrawingTest, CoordinatesBeyondSixteenBitsAreClampedAndNaNIsZero) {
  struct Case {
    float value;
    short expected;
  };
  const Case cases[] = {{40000, 32767}, {-40000, -32768}, {32767.9f, 32767}, {-32768.5f, -32768},
                        {-0.9f, 0},     {NAN, 0},         {INFINITY, 32767}, {-INFINITY, -32768}};
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, UMAC_ToQDCoordinate(c.value)) << c.value;
  const Rect wide = UMAC_HIRect(-40000, 0, 80000, NAN).AsQDRect();
  EXPECT_TRUE(Same(wide, 0, -32768, 0, 32767));
}

TEST_F(UMAC_DrawingTest, HIRectanglesFromPointsAndQDRectanglesMoveInsetAndRoundOut) {
  const UMAC_HIRect spanned(CGPointMake(5, 8), CGPointMake(2, 10));
  EXPECT_EQ(2.0f, spanned.origin.x);
  EXPECT_EQ(8.0f, spanned.origin.y);
  EXPECT_EQ(3.0f, spanned.size.width);
  EXPECT_EQ(2.0f, spanned.size.height);
  const UMAC_HIRect same(CGPointMake(4, 4), CGPointMake(4, 4));
  EXPECT_EQ(4.0f, same.origin.x);
  EXPECT_EQ(0.0f, same.size.width);
  UMAC_HIRect fromQD(Rect{10, 20, 30, 60});
  EXPECT_EQ(20.0f, fromQD.origin.x);
  EXPECT_EQ(40.0f, fromQD.size.width);
  fromQD.MoveBy(-5, 5);
  EXPECT_EQ(15.0f, fromQD.origin.x);
  EXPECT_EQ(15.0f, fromQD.origin.y);
  fromQD.Inset(2, 3);
  EXPECT_EQ(36.0f, fromQD.size.width);
  EXPECT_EQ(14.0f, fromQD.size.height);
  EXPECT_TRUE(fromQD.Contains(CGPointMake(17, 18)));
  EXPECT_FALSE(fromQD.Contains(CGPointMake(53, 18)));  // the right edge is outside
  UMAC_HIRect fraction(0.5f, -0.5f, 1.0f, 1.2f);
  fraction.Integral();
  EXPECT_EQ(0.0f, fraction.origin.x);
  EXPECT_EQ(-1.0f, fraction.origin.y);
  EXPECT_EQ(2.0f, fraction.size.width);
  EXPECT_EQ(2.0f, fraction.size.height);
}

TEST_F(UMAC_DrawingTest, HoldersReleaseOnlyWhatTheyOwnAndASecondCreateReleasesTheFirst) {
  Pixels pixels(4, 4);
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGContextRef outside =
      CGBitmapContextCreate(pixels.bytes.data(), 4, 4, 8, 16, rgb, kCGImageAlphaPremultipliedLast);
  CGColorSpaceRelease(rgb);
  { UMAC_CGContext borrowed(outside, false); }
  EXPECT_EQ(1, CFGetRetainCount(outside));
  CGContextRelease(outside);

  const long before = StandIn_CGContextLiveCount();
  {
    UMAC_CGBitmapContext bitmap;
    EXPECT_EQ(nullptr, bitmap.Get());
    EXPECT_FALSE(bitmap.IsOwned());
    ASSERT_NE(nullptr, pixels.Make(bitmap));
    ASSERT_NE(nullptr, pixels.Make(bitmap));
    EXPECT_EQ(before + 1, StandIn_CGContextLiveCount());
    StandIn_FilesFailNext("CGBitmapContextCreate", -108);
    EXPECT_EQ(nullptr, pixels.Make(bitmap));
    EXPECT_FALSE(bitmap.IsOwned());
    EXPECT_EQ(before, StandIn_CGContextLiveCount());
  }
  EXPECT_EQ(before, StandIn_CGContextLiveCount());
}

TEST_F(UMAC_DrawingTest, ColoursFromQuickDrawAndRoundRectangles) {
  Pixels pixels(40, 40);
  UMAC_CGBitmapContext bitmap;
  pixels.Make(bitmap);
  bitmap.SetRGBFillColor(RGBColor{65535, 0, 0}, 65535);
  bitmap.FillRoundRect(CGRectMake(0, 0, 40, 40), 10);
  for (auto corner : {std::pair<int, int>{0, 0}, {39, 0}, {0, 39}, {39, 39}, {2, 1}})
    EXPECT_EQ(0, pixels.At(corner.first, corner.second)[3]);
  EXPECT_EQ(255, pixels.At(20, 20)[0]);
  EXPECT_EQ(255, pixels.At(0, 20)[3]);
  EXPECT_EQ(255, pixels.At(20, 39)[3]);
  bitmap.SetRGBFillColor(RGBColor{0, 0, 65535}, 32768);
  CGContextFillRect(bitmap, CGRectMake(19, 19, 2, 2));
  EXPECT_NEAR(128, pixels.At(20, 20)[2], 1);  // half blue over red
  EXPECT_NEAR(127, pixels.At(20, 20)[0], 1);

  // Mirrored about the x axis, y -40 to -39 is the top row.
  bitmap.MirrorAboutXAxis();
  bitmap.SetRGBFillColor(RGBColor{0, 65535, 0}, 65535);
  CGContextFillRect(bitmap, CGRectMake(0, -40, 1, 1));  // now the top left pixel
  EXPECT_EQ(255, pixels.At(0, 0)[1]);
}

TEST_F(UMAC_DrawingTest, MeasuringTextDrawsNothingAndGivesTheAdvance) {
  Pixels measured(60, 20), shown(60, 20);
  UMAC_CGBitmapContext a, b;
  measured.Make(a);
  shown.Make(b);
  CGContextSelectFont(a, "Lucida Grande", 14, kCGEncodingMacRoman);
  CGContextSelectFont(b, "Lucida Grande", 14, kCGEncodingMacRoman);
  CGContextSetTextPosition(a, 3, 4);
  const float width = a.MeasureTextWidth("Proof");
  CGContextShowTextAtPoint(b, 0, 4, "Proof", 5);
  EXPECT_GT(width, 20);
  EXPECT_FLOAT_EQ(CGContextGetTextPosition(b).x, width);
  for (UInt8 byte : measured.bytes)
    ASSERT_EQ(0, byte);
  CGContextShowText(a, "Proof", 5);  // the drawing mode came back
  bool inked = false;
  for (std::size_t i = 3; i < measured.bytes.size(); i += 4)
    inked = inked || measured.bytes[i] != 0;
  EXPECT_TRUE(inked);
}

TEST_F(UMAC_DrawingTest, ImageHoldersRetainResetAndRelease) {
  static const UInt8 bytes[4 * 6] = {};
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, bytes, sizeof bytes, nullptr);
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGImageRef image = CGImageCreate(3, 2, 8, 32, 12, rgb, kCGImageAlphaPremultipliedLast, provider,
                                   nullptr, false, kCGRenderingIntentDefault);
  CGColorSpaceRelease(rgb);
  CGDataProviderRelease(provider);
  {
    UMAC_CGImage held;
    EXPECT_TRUE(held.IsNull());
    EXPECT_EQ(0u, held.GetWidth());
    held.Retain(image);
    EXPECT_EQ(2, CFGetRetainCount(image));
    held.Retain(image);  // the same image again
    EXPECT_EQ(2, CFGetRetainCount(image));
    EXPECT_EQ(3u, held.GetWidth());
    EXPECT_EQ(2u, held.GetHeight());
    held.Release();
    EXPECT_TRUE(held.IsNull());
    EXPECT_EQ(1, CFGetRetainCount(image));
    held.Reset(image);  // takes over our reference
  }
  const CFStringRef missing = CFSTR("Missing.png");
  UMAC_CGImage loaded;
  loaded.LoadPNGFromBundle(missing);
  EXPECT_TRUE(loaded.IsNull());
  EXPECT_EQ(0u, loaded.GetHeight());
}

TEST_F(UMAC_DrawingTest, QDContextsDrawOnTheirPortAndUndoOnlyWhatTheyDid) {
  WindowRef window = NewWindow();
  CGrafPtr port = GetWindowPort(window);
  {
    UMAC_QDContext context(port);
    ASSERT_NE(nullptr, context.Get());
    EXPECT_FALSE(context.IsOwned());
    context.AlignOriginWithPortTopLeft();
    EXPECT_EQ(99.0f, CGContextGetCTM(context).ty);  // height - 1
    context.MirrorAboutXAxis();
    SetPort(port);
    const Rect clip{0, 0, 50, 50};
    ClipRect(&clip);
    context.SyncClipRegions(Rect{10, 10, 100, 100});
    CGContextSetRGBFillColor(context, 1, 0, 0, 1);
    CGContextFillRect(context, CGRectMake(-10, -10, 300, 300));
  }
  EXPECT_EQ(0xFFFF0000u, StandIn_WindowPixel(window, 20, 22 + 20));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 5, 22 + 20));   // outside the rectangle
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 60, 22 + 20));  // outside the port's clip

  const long restores = StandIn_CGContextUnbalancedRestores(nullptr);
  StandIn_FilesFailNext("QDBeginCGContext", -50);
  const int ends = StandIn_FilesCallCount("QDEndCGContext");
  { UMAC_QDContext failed(port); }
  EXPECT_EQ(ends, StandIn_FilesCallCount("QDEndCGContext"));
  StandIn_FilesFailNext("SyncCGContextOriginWithPort", -50);
  { UMAC_QDContext unsynced(port); }
  EXPECT_EQ(ends + 1, StandIn_FilesCallCount("QDEndCGContext"));      // begun, so ended
  EXPECT_EQ(restores, StandIn_CGContextUnbalancedRestores(nullptr));  // never saved, never restored
  DisposeWindow(window);
}

}  // namespace
