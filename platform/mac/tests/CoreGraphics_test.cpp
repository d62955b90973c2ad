// CoreGraphics of the stand-in: bitmap formats, the graphics state, paths, clips, images, text,
// and the windows' render pass. Pixels are probed at points.
#include "StandInToolboxTest.h"

#include <cairo.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>
#include <vector>

namespace {

class CoreGraphicsTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Contexts = StandIn_CGContextLiveCount();
  }
  void TearDown() override {
    EXPECT_EQ(m_Contexts, StandIn_CGContextLiveCount());
    StandInToolboxTest::TearDown();
  }

private:
  long m_Contexts = 0;
};

// A premultiplied RGBA bitmap context (bytes R, G, B, A) over its own vector.
class RGBABitmap {
public:
  RGBABitmap(int width, int height, UInt8 fill = 0)
      : m_Width(width),
        m_Pixels(std::size_t(width) * std::size_t(height) * 4, fill) {
    CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
    m_Context = CGBitmapContextCreate(m_Pixels.data(), std::size_t(width), std::size_t(height), 8,
                                      std::size_t(width) * 4, rgb, kCGImageAlphaPremultipliedLast);
    CGColorSpaceRelease(rgb);
  }
  ~RGBABitmap() { CGContextRelease(m_Context); }
  RGBABitmap(const RGBABitmap&) = delete;
  RGBABitmap& operator=(const RGBABitmap&) = delete;

  CGContextRef Get() const { return m_Context; }
  // The pixel at column x of memory row `row` (row 0 is the top: the largest y) as 0xRRGGBBAA.
  UInt32 At(int x, int row) const {
    const UInt8* p = &m_Pixels[(std::size_t(row) * std::size_t(m_Width) + std::size_t(x)) * 4];
    return UInt32(p[0]) << 24 | UInt32(p[1]) << 16 | UInt32(p[2]) << 8 | p[3];
  }
  UInt8 Alpha(int x, int row) const { return static_cast<UInt8>(At(x, row)); }

private:
  int m_Width;
  std::vector<UInt8> m_Pixels;
  CGContextRef m_Context = nullptr;
};

constexpr UInt32 kRed = 0xFF0000FF;
constexpr UInt32 kBlack = 0x000000FF;
constexpr UInt32 kClear = 0;

TEST_F(CoreGraphicsTest, BitmapFormatsStoreTheirChannelsWhereTheFormatSays) {
  struct Case {
    const char* name;
    bool grey;
    CGBitmapInfo info;
    std::size_t bytesPerPixel;
    std::array<UInt8, 4> redPixel;  // a half-transparent red, as stored
  };
  const Case cases[] = {
      {"premultiplied last", false, kCGImageAlphaPremultipliedLast, 4, {128, 0, 0, 128}},
      {"premultiplied first", false, kCGImageAlphaPremultipliedFirst, 4, {128, 128, 0, 0}},
      {"first, little-endian words",
       false,
       kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little,
       4,
       {0, 0, 128, 128}},
      {"none, skip last", false, kCGImageAlphaNoneSkipLast, 4, {128, 0, 0, 0}},
      {"none, skip first", false, kCGImageAlphaNoneSkipFirst, 4, {0, 128, 0, 0}},
      {"grey", true, kCGImageAlphaNone, 1, {38, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<UInt8> pixels(2 * 2 * c.bytesPerPixel, 0);
    CGColorSpaceRef space = c.grey ? CGColorSpaceCreateDeviceGray() : CGColorSpaceCreateDeviceRGB();
    CGContextRef context =
        CGBitmapContextCreate(pixels.data(), 2, 2, 8, 2 * c.bytesPerPixel, space, c.info);
    CGColorSpaceRelease(space);
    ASSERT_NE(nullptr, context);
    CGContextSetRGBFillColor(context, 1, 0, 0, 0.5);
    CGContextFillRect(context, CGRectMake(0, 0, 1, 1));  // the bottom left pixel
    const UInt8* stored = &pixels[2 * c.bytesPerPixel];  // row 1, column 0
    for (std::size_t i = 0; i < c.bytesPerPixel; ++i)
      EXPECT_NEAR(c.redPixel[i], stored[i], 1) << "byte " << i;
    EXPECT_EQ(0, pixels[0]);  // the top row is untouched
    CGContextRelease(context);
  }
}

TEST_F(CoreGraphicsTest, BitmapsThatCannotBeMadeAreNull) {
  std::vector<UInt8> pixels(64, 0);
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGColorSpaceRef grey = CGColorSpaceCreateDeviceGray();
  EXPECT_EQ(nullptr, CGBitmapContextCreate(pixels.data(), 4, 4, 8, 12, rgb,
                                           kCGImageAlphaPremultipliedLast));  // short rows
  EXPECT_EQ(nullptr, CGBitmapContextCreate(pixels.data(), 2, 2, 16, 16, rgb,
                                           kCGImageAlphaPremultipliedLast));
  EXPECT_EQ(nullptr, CGBitmapContextCreate(pixels.data(), 2, 2, 8, 8, rgb, kCGImageAlphaLast));
  EXPECT_EQ(nullptr,
            CGBitmapContextCreate(pixels.data(), 2, 2, 8, 2, grey, kCGImageAlphaPremultipliedLast));
  EXPECT_EQ(nullptr, CGBitmapContextCreate(pixels.data(), 2, 2, 8, 8, nullptr,
                                           kCGImageAlphaPremultipliedLast));
  StandIn_FilesFailNext("CGBitmapContextCreate", -108);
  EXPECT_EQ(nullptr,
            CGBitmapContextCreate(pixels.data(), 2, 2, 8, 8, rgb, kCGImageAlphaPremultipliedLast));
  CGContextRef own = CGBitmapContextCreate(nullptr, 3, 2, 8, 0, rgb, kCGImageAlphaNoneSkipLast);
  ASSERT_NE(nullptr, own);
  EXPECT_EQ(12u, CGBitmapContextGetBytesPerRow(own));
  EXPECT_NE(nullptr, CGBitmapContextGetData(own));
  CGContextRelease(own);
  CGContextRelease(nullptr);  // allowed
  CGColorSpaceRelease(rgb);
  CGColorSpaceRelease(grey);
}

TEST_F(CoreGraphicsTest, DrawingKeepsWhatTheMemoryHeld) {
  RGBABitmap bitmap(2, 1, 0x80);
  CGContextSetRGBFillColor(bitmap.Get(), 0, 0, 1, 1);
  CGContextFillRect(bitmap.Get(), CGRectMake(1, 0, 1, 1));
  EXPECT_EQ(0x80808080u, bitmap.At(0, 0));
  EXPECT_EQ(0x0000FFFFu, bitmap.At(1, 0));
}

TEST_F(CoreGraphicsTest, SavedStatesComeBackAndUnbalancedRestoresAreIgnored) {
  RGBABitmap bitmap(4, 4);
  CGContextRef c = bitmap.Get();
  CGContextSaveGState(c);
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextTranslateCTM(c, 2, 2);
  CGContextClipToRect(c, CGRectMake(0, 0, 1, 1));
  CGContextSetAlpha(c, 0.5);
  CGContextRestoreGState(c);
  CGContextFillRect(c, CGRectMake(0, 0, 4, 4));  // black, opaque, everywhere
  EXPECT_EQ(kBlack, bitmap.At(0, 0));
  EXPECT_EQ(kBlack, bitmap.At(3, 3));
  const CGAffineTransform identity = CGContextGetCTM(c);
  EXPECT_EQ(0.0f, identity.tx);
  EXPECT_EQ(1.0f, identity.d);
  CGContextRestoreGState(c);
  EXPECT_EQ(1, StandIn_CGContextUnbalancedRestores(c));
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextFillRect(c, CGRectMake(0, 0, 1, 1));  // the state still works
  EXPECT_EQ(kRed, bitmap.At(0, 3));
}

TEST_F(CoreGraphicsTest, AlphaMultipliesFillsAndStrokesUseTheirOwnColour) {
  RGBABitmap bitmap(8, 8);
  CGContextRef c = bitmap.Get();
  CGContextSetShouldAntialias(c, false);
  CGContextSetRGBFillColor(c, 1, 1, 1, 1);
  CGContextSetRGBStrokeColor(c, 1, 0, 0, 1);
  CGContextSetAlpha(c, 0.5);
  CGContextFillRect(c, CGRectMake(0, 0, 2, 2));
  EXPECT_NEAR(128, bitmap.Alpha(0, 7), 1);
  CGContextSetAlpha(c, 1);
  CGContextSetLineWidth(c, 2);
  CGContextStrokeRect(c, CGRectMake(3, 3, 4, 4));
  EXPECT_EQ(kRed, bitmap.At(3, 1));    // on the left edge at y 6
  EXPECT_EQ(kClear, bitmap.At(5, 2));  // inside
}

TEST_F(CoreGraphicsTest, EvenOddFillAndClipLeaveTheHoleAndWindingFillsIt) {
  auto nested = [](CGContextRef c) {
    CGContextBeginPath(c);
    CGContextAddRect(c, CGRectMake(0, 0, 10, 10));
    CGContextAddRect(c, CGRectMake(3, 3, 4, 4));
  };
  RGBABitmap eo(10, 10), winding(10, 10), clipped(10, 10);
  nested(eo.Get());
  CGContextEOFillPath(eo.Get());
  nested(winding.Get());
  CGContextFillPath(winding.Get());
  nested(clipped.Get());
  CGContextEOClip(clipped.Get());
  CGContextFillRect(clipped.Get(), CGRectMake(0, 0, 10, 10));
  EXPECT_EQ(kClear, eo.At(5, 5));
  EXPECT_EQ(kBlack, eo.At(1, 1));
  EXPECT_EQ(kBlack, winding.At(5, 5));
  EXPECT_EQ(kClear, clipped.At(5, 5));
  EXPECT_EQ(kBlack, clipped.At(1, 1));
  EXPECT_TRUE(CGContextIsPathEmpty(eo.Get()));  // painting consumed the path
}

TEST_F(CoreGraphicsTest, RectangleCallsKeepThePathAndClearMakesTransparent) {
  RGBABitmap bitmap(4, 4);
  CGContextRef c = bitmap.Get();
  CGContextBeginPath(c);
  CGContextMoveToPoint(c, 0, 0);
  CGContextAddLineToPoint(c, 4, 0);
  CGContextFillRect(c, CGRectMake(0, 0, 4, 4));
  EXPECT_FALSE(CGContextIsPathEmpty(c));
  CGContextClipToRect(c, CGRectMake(0, 0, 2, 4));
  CGContextClearRect(c, CGRectMake(0, 0, 4, 4));
  EXPECT_EQ(kClear, bitmap.At(0, 0));
  EXPECT_EQ(kBlack, bitmap.At(3, 0));  // outside the clip
  EXPECT_EQ(4.0f, CGContextGetPathCurrentPoint(c).x);
}

TEST_F(CoreGraphicsTest, DashesAlternateAlongAStroke) {
  RGBABitmap bitmap(8, 1);
  CGContextRef c = bitmap.Get();
  CGContextSetShouldAntialias(c, false);
  const CGFloat dash[] = {2, 2};
  CGContextSetLineDash(c, 0, dash, 2);
  CGContextMoveToPoint(c, 0, 0.5f);
  CGContextAddLineToPoint(c, 8, 0.5f);
  CGContextStrokePath(c);
  const UInt32 expected[] = {kBlack, kBlack, kClear, kClear, kBlack, kBlack, kClear, kClear};
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(expected[x], bitmap.At(x, 0)) << x;
}

TEST_F(CoreGraphicsTest, AliasedHairlinesStillCoverOnePixel) {
  // A line of 0.9 on a pixel boundary misses every pixel centre; Quartz draws it one pixel wide.
  for (CGFloat scale : {1.0f, 4.0f}) {
    SCOPED_TRACE(scale);
    RGBABitmap bitmap(8, 8);
    CGContextRef c = bitmap.Get();
    CGContextScaleCTM(c, scale, scale);
    CGContextSetShouldAntialias(c, false);
    CGContextSetLineWidth(c, 0.9f / scale);
    CGContextMoveToPoint(c, 4 / scale, 0);
    CGContextAddLineToPoint(c, 4 / scale, 8 / scale);
    CGContextStrokePath(c);
    int covered = 0;
    for (int x = 0; x < 8; ++x)
      covered += bitmap.At(x, 4) == kBlack;
    EXPECT_EQ(1, covered);
    // The width set is the context's again afterwards: a wider line is drawn as set.
    CGContextSetLineWidth(c, 3 / scale);
    CGContextMoveToPoint(c, 0, 1.5f / scale);
    CGContextAddLineToPoint(c, 8 / scale, 1.5f / scale);
    CGContextStrokePath(c);
    EXPECT_EQ(kBlack, bitmap.At(0, 7));
    EXPECT_EQ(kBlack, bitmap.At(0, 5));
    EXPECT_EQ(kClear, bitmap.At(0, 4));
  }
}

TEST_F(CoreGraphicsTest, TangentArcsRoundCorners) {
  RGBABitmap bitmap(40, 40);
  CGContextRef c = bitmap.Get();
  const float r = 10;
  CGContextBeginPath(c);
  CGContextMoveToPoint(c, 0, r);
  CGContextAddArcToPoint(c, 0, 40, r, 40, r);
  CGContextAddArcToPoint(c, 40, 40, 40, 40 - r, r);
  CGContextAddArcToPoint(c, 40, 0, 40 - r, 0, r);
  CGContextAddArcToPoint(c, 0, 0, 0, r, r);
  CGContextClosePath(c);
  CGContextFillPath(c);
  for (auto corner : {std::pair<int, int>{0, 0}, {39, 0}, {0, 39}, {39, 39}, {1, 1}})
    EXPECT_EQ(0, bitmap.Alpha(corner.first, corner.second)) << corner.first << "," << corner.second;
  EXPECT_EQ(255, bitmap.Alpha(20, 20));
  EXPECT_EQ(255, bitmap.Alpha(0, 20));  // the straight edges reach the sides
  EXPECT_EQ(255, bitmap.Alpha(20, 0));
  EXPECT_EQ(255, bitmap.Alpha(5, 5));  // inside the arc: 5 from each side is within r of (10, 10)

  // Points in a line, or radius 0: a line to the corner.
  CGContextBeginPath(c);
  CGContextMoveToPoint(c, 0, 0);
  CGContextAddArcToPoint(c, 5, 0, 10, 0, 3);
  EXPECT_EQ(5.0f, CGContextGetPathCurrentPoint(c).x);
  CGContextAddArcToPoint(c, 5, 5, 0, 5, 0);
  EXPECT_EQ(5.0f, CGContextGetPathCurrentPoint(c).y);
  // Without a current point nothing is added.
  CGContextBeginPath(c);
  CGContextAddArcToPoint(c, 5, 5, 0, 5, 2);
  EXPECT_TRUE(CGContextIsPathEmpty(c));
}

// A 2 x 2 image: top row red, blue; bottom row green, white.
CGImageRef NewTestImage() {
  static const UInt8 pixels[] = {255, 0,   0, 255, 0,   0,   255, 255,
                                 0,   255, 0, 255, 255, 255, 255, 255};
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, pixels, sizeof pixels, nullptr);
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGImageRef image = CGImageCreate(2, 2, 8, 32, 8, rgb, kCGImageAlphaPremultipliedLast, provider,
                                   nullptr, false, kCGRenderingIntentDefault);
  CGColorSpaceRelease(rgb);
  CGDataProviderRelease(provider);
  return image;
}

TEST_F(CoreGraphicsTest, ImagesPutTheirFirstRowAtTheRectanglesMaximumY) {
  CGImageRef image = NewTestImage();
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(2u, CGImageGetWidth(image));
  EXPECT_EQ(0xFFFF0000u, StandIn_CGImagePixel(image, 0, 0));
  RGBABitmap bitmap(4, 4);
  CGContextDrawImage(bitmap.Get(), CGRectMake(0, 0, 4, 4), image);  // scaled up twice
  EXPECT_EQ(kRed, bitmap.At(0, 0));  // y-up: the maximum y is the top row
  EXPECT_EQ(0x0000FFFFu, bitmap.At(3, 0));
  EXPECT_EQ(0x00FF00FFu, bitmap.At(0, 3));
  EXPECT_EQ(0xFFFFFFFFu, bitmap.At(3, 3));
  CGImageRelease(image);
  CGImageRelease(nullptr);
}

TEST_F(CoreGraphicsTest, ProvidersHandTheirBytesBackAndBadImagesAreNull) {
  static int released = 0;
  static const UInt8 bytes[12] = {};
  CGDataProviderRef provider = CGDataProviderCreateWithData(
      nullptr, bytes, sizeof bytes, [](void*, const void*, std::size_t) { ++released; });
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  EXPECT_EQ(nullptr, CGImageCreate(2, 2, 8, 32, 8, rgb, kCGImageAlphaPremultipliedLast, provider,
                                   nullptr, false, kCGRenderingIntentDefault));  // too few bytes
  EXPECT_EQ(nullptr,
            CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault));
  StandIn_FilesFailNext("CGImageCreate", -108);
  EXPECT_EQ(nullptr, CGImageCreate(1, 1, 8, 32, 4, rgb, kCGImageAlphaPremultipliedLast, provider,
                                   nullptr, false, kCGRenderingIntentDefault));
  CGImageRef one = CGImageCreate(1, 1, 8, 32, 4, rgb, kCGImageAlphaPremultipliedLast, provider,
                                 nullptr, false, kCGRenderingIntentDefault);
  EXPECT_NE(nullptr, one);
  CGImageRelease(one);
  CGColorSpaceRelease(rgb);
  released = 0;
  CGDataProviderRelease(provider);
  EXPECT_EQ(1, released);
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<UInt8>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

TEST_F(CoreGraphicsTest, PNGImagesKeepTheirRowOrderAndTransparency) {
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
  cairo_t* cr = cairo_create(source);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_rectangle(cr, 0, 0, 3, 1);  // the top row red, the bottom row transparent
  cairo_fill(cr);
  cairo_destroy(cr);
  std::vector<UInt8> png;
  cairo_surface_write_to_png_stream(source, AppendBytes, &png);
  cairo_surface_destroy(source);
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, png.data(), png.size(), nullptr);
  CGImageRef image =
      CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
  CGDataProviderRelease(provider);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(3u, CGImageGetWidth(image));
  EXPECT_EQ(2u, CGImageGetHeight(image));
  EXPECT_EQ(0xFFFF0000u, StandIn_CGImagePixel(image, 1, 0));
  EXPECT_EQ(0u, StandIn_CGImagePixel(image, 1, 1));
  CGImageRelease(image);
}

TEST_F(CoreGraphicsTest, TextAdvancesTheTextPositionAndInvisibleTextOnlyAdvances) {
  RGBABitmap shown(60, 30), invisible(60, 30);
  CGContextSelectFont(shown.Get(), "Lucida Grande", 20, kCGEncodingMacRoman);
  CGContextShowTextAtPoint(shown.Get(), 5, 5, "LL", 2);
  const CGFloat advance = CGContextGetTextPosition(shown.Get()).x - 5;
  EXPECT_GT(advance, 10);
  EXPECT_EQ(5.0f, CGContextGetTextPosition(shown.Get()).y);
  CGContextSelectFont(invisible.Get(), "Lucida Grande", 20, kCGEncodingMacRoman);
  CGContextSetTextDrawingMode(invisible.Get(), kCGTextInvisible);
  CGContextShowTextAtPoint(invisible.Get(), 5, 5, "LL", 2);
  EXPECT_FLOAT_EQ(advance, CGContextGetTextPosition(invisible.Get()).x - 5);
  int inked = 0, inkedInvisible = 0;
  for (int row = 0; row < 30; ++row)
    for (int x = 0; x < 60; ++x)
      inked += shown.Alpha(x, row) != 0, inkedInvisible += invisible.Alpha(x, row) != 0;
  EXPECT_GT(inked, 20);
  EXPECT_EQ(0, inkedInvisible);
  // Upright in y-up space: an L's foot is on the baseline (y 5, memory row 24), its top above.
  auto rowInk = [&](int row) {
    int n = 0;
    for (int x = 0; x < 20; ++x)
      n += shown.Alpha(x, row) > 128;
    return n;
  };
  EXPECT_GT(rowInk(23), rowInk(14) + 3);
  for (int row = 26; row < 30; ++row)
    EXPECT_EQ(0, rowInk(row)) << row;  // nothing below the baseline
}

TEST_F(CoreGraphicsTest, FontNamesAreExactAndTextWithoutAFontDoesNothing) {
  RGBABitmap bitmap(10, 10);
  CGContextRef c = bitmap.Get();
  CGContextSelectFont(c, "lucida grande", 12, kCGEncodingMacRoman);
  CGContextShowTextAtPoint(c, 1, 1, "x", 1);
  EXPECT_EQ(1.0f, CGContextGetTextPosition(c).x);
  CGContextSelectFont(c, "DejaVu Sans", 12, kCGEncodingMacRoman);
  CGContextShowText(c, "x", 1);
  const CGFloat at12 = CGContextGetTextPosition(c).x - 1;
  EXPECT_GT(at12, 0);
  CGContextSetFontSize(c, 24);
  CGContextSetTextPosition(c, 0, 0);
  CGContextShowText(c, "x", 1);
  EXPECT_NEAR(2 * at12, CGContextGetTextPosition(c).x, 0.5);
  EXPECT_FALSE(StandIn_AddFontFamily("Nothing", "/nonexistent.ttf"));
  // The PostScript name of a family selects it as well.
  CGContextSelectFont(c, "DejaVuSans", 12, kCGEncodingMacRoman);
  CGContextSetTextPosition(c, 0, 0);
  CGContextShowText(c, "x", 1);
  EXPECT_NEAR(at12, CGContextGetTextPosition(c).x, 0.01);
}

// Fills the drawing view: its bounds red, then its top left 2 x 2 blue; far outside green.
OSStatus PaintView(EventHandlerCallRef, EventRef event, void*) {
  CGContextRef c = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof c, nullptr,
                    &c);
  ControlRef view = nullptr;
  GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof view, nullptr,
                    &view);
  HIRect bounds;
  HIViewGetBounds(view, &bounds);
  CGContextSetRGBFillColor(c, 0, 1, 0, 1);
  CGContextFillRect(c, CGRectMake(-1000, -1000, 3000, 3000));  // clipped to the view
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextFillRect(c, bounds);
  CGContextSetRGBFillColor(c, 0, 0, 1, 1);
  CGContextFillRect(c, CGRectMake(0, 0, 2, 2));
  return noErr;
}

HIViewRef NewPaintedView(CGRect frame) {
  HIViewRef view = StandIn_NewView("userpane", frame);
  const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
  InstallControlEventHandler(view, PaintView, 1, &draw, nullptr, nullptr);
  return view;
}

TEST_F(CoreGraphicsTest, TheRenderPassDrawsViewsFlippedAndClippedIntoTheBackingStore) {
  WindowRef window = NewWindow(Rect{100, 50, 200, 250});  // 200 x 100 content
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIViewRef outer = NewPaintedView(CGRectMake(10, 20, 50, 30));
  HIViewRef inner = NewPaintedView(CGRectMake(40, 25, 30, 30));  // sticks out of outer
  HIViewAddSubview(content, outer);
  HIViewAddSubview(outer, inner);
  EXPECT_EQ(0.0f, StandIn_WindowBackingSize(window).width);
  ASSERT_EQ(noErr, StandIn_WindowRender(window));
  EXPECT_EQ(200.0f, StandIn_WindowBackingSize(window).width);
  EXPECT_EQ(122.0f, StandIn_WindowBackingSize(window).height);
  const int top = 22 + 20;  // title bar and the outer view's frame
  EXPECT_EQ(0xFF0000FFu, StandIn_WindowPixel(window, 10, top));       // flipped: top left blue
  EXPECT_EQ(0xFFFF0000u, StandIn_WindowPixel(window, 30, top + 10));  // red
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 9, top));        // white background
  EXPECT_EQ(0xFF0000FFu, StandIn_WindowPixel(window, 50, top + 25));  // the inner view's corner
  EXPECT_EQ(0xFFFF0000u, StandIn_WindowPixel(window, 55, top + 28));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 65, top + 28));  // clipped to outer
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 55, top + 31));
  EXPECT_EQ(0u, StandIn_WindowPixel(window, 200, 0));

  HIViewSetVisible(inner, false);
  StandIn_WindowRender(window);
  EXPECT_EQ(0xFFFF0000u, StandIn_WindowPixel(window, 50, top + 25));

  HIRect frame;
  CGImageRef image = nullptr;
  ASSERT_EQ(noErr, HIViewCreateOffscreenImage(outer, 0, &frame, &image));
  EXPECT_EQ(10.0f, frame.origin.x);
  EXPECT_EQ(50u, CGImageGetWidth(image));
  EXPECT_EQ(30u, CGImageGetHeight(image));
  EXPECT_EQ(0xFF0000FFu, StandIn_CGImagePixel(image, 0, 0));
  EXPECT_EQ(0xFFFF0000u, StandIn_CGImagePixel(image, 49, 29));
  CGImageRelease(image);
  CFRelease(outer);
  CFRelease(inner);
  DisposeWindow(window);
}

}  // namespace

namespace {

// A PNG icon file of 8 x 8: red, its bottom row transparent; registered for ('test', type).
IconRef RegisterTestIcon(const std::string& path, OSType type) {
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_t* cr = cairo_create(source);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_rectangle(cr, 0, 0, 8, 7);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_write_to_png(source, path.c_str());
  cairo_surface_destroy(source);
  FSRef ref;
  FSSpec spec{};
  FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr);
  FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
  IconRef icon = nullptr;
  EXPECT_EQ(noErr, RegisterIconRefFromIconFile(0x74657374, type, &spec, &icon));
  return icon;
}

TEST_F(CoreGraphicsTest, IconsFitTheirRectangleByAlignmentAndTransform) {
  const std::string path = "/tmp/standin_icon_" + std::to_string(::getpid()) + ".png";
  IconRef icon = RegisterTestIcon(path, 0x6f6e2020);
  struct Case {
    IconAlignmentType align;
    IconTransformType transform;
    float x, y;        // where the 8 x 8 icon lands in the 20 x 20 rectangle at (0, 0)
    UInt8 alpha, red;  // at the icon's top left pixel
  };
  const Case cases[] = {
      {kAlignAbsoluteCenter, kTransformNone, 6, 6, 255, 255},
      {kAlignNone, kTransformNone, 6, 6, 255, 255},
      {kAlignTop | kAlignLeft, kTransformNone, 0, 12, 255, 255},
      {kAlignBottom | kAlignRight, kTransformNone, 12, 0, 255, 255},
      {kAlignAbsoluteCenter, kTransformDisabled, 6, 6, 128, 128},
      {kAlignAbsoluteCenter, kTransformSelected, 6, 6, 255, 170},
      {kAlignAbsoluteCenter, kTransformSelected | kTransformDisabled, 6, 6, 128, 85}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align * 100000 + c.transform);
    RGBABitmap bitmap(20, 20);
    const CGRect room = CGRectMake(0, 0, 20, 20);
    ASSERT_EQ(noErr,
              PlotIconRefInContext(bitmap.Get(), &room, c.align, c.transform, nullptr, 0, icon));
    const StandIn_IconPlot plot = StandIn_LastIconPlot();
    EXPECT_EQ(c.x, plot.drawn.origin.x);
    EXPECT_EQ(c.y, plot.drawn.origin.y);
    // y up: the icon's top row is memory row 20 - (y + 8); its transparent row at the bottom.
    const int top = 20 - int(c.y) - 8;
    const UInt32 pixel = bitmap.At(int(c.x), top);
    EXPECT_NEAR(c.alpha, pixel & 0xFF, 1);
    EXPECT_NEAR(c.red, pixel >> 24, 2);
    EXPECT_EQ(0, bitmap.Alpha(int(c.x), top + 7));
  }
  // A smaller rectangle shrinks the icon, keeping its proportions.
  RGBABitmap small(4, 6);
  const CGRect room = CGRectMake(0, 0, 4, 6);
  PlotIconRefInContext(small.Get(), &room, kAlignAbsoluteCenter, 0, nullptr, 0, icon);
  EXPECT_EQ(4.0f, StandIn_LastIconPlot().drawn.size.height);
  EXPECT_EQ(1.0f, StandIn_LastIconPlot().drawn.origin.y);
  ReleaseIconRef(icon);
  StandIn_ResetIcons();
  std::remove(path.c_str());
}

}  // namespace

namespace {

void PutBigEndian(std::vector<UInt8>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<UInt8>(value >> shift));
}

// An icon family holding a non-PNG element and an 8 x 8 red PNG element.
TEST_F(CoreGraphicsTest, IconFamiliesPlotTheirPngElement) {
  cairo_surface_t* source = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_t* cr = cairo_create(source);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  std::vector<UInt8> png;
  cairo_surface_write_to_png_stream(source, AppendBytes, &png);
  cairo_surface_destroy(source);
  std::vector<UInt8> family = {'i', 'c', 'n', 's'};
  PutBigEndian(family, static_cast<std::uint32_t>(8 + 24 + 8 + png.size()));
  family.insert(family.end(), {'i', 's', '3', '2'});
  PutBigEndian(family, 24);
  family.insert(family.end(), 16, 0x55);
  family.insert(family.end(), {'i', 'c', '0', '7'});
  PutBigEndian(family, static_cast<std::uint32_t>(8 + png.size()));
  family.insert(family.end(), png.begin(), png.end());
  const std::string path = "/tmp/standin_family_" + std::to_string(::getpid()) + ".icns";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(family.data()), std::streamsize(family.size()));

  FSRef ref;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
  IconRef icon = nullptr;
  ASSERT_EQ(noErr, RegisterIconRefFromFSRef(0x74657374, 0x66616d20, &ref, &icon));
  RGBABitmap bitmap(8, 8);
  const CGRect room = CGRectMake(0, 0, 8, 8);
  ASSERT_EQ(noErr, PlotIconRefInContext(bitmap.Get(), &room, kAlignNone, 0, nullptr, 0, icon));
  EXPECT_EQ(255u, bitmap.At(3, 3) >> 24);  // red, not the grey square of a family without PNG
  EXPECT_EQ(0u, (bitmap.At(3, 3) >> 8) & 0xFF);
  ReleaseIconRef(icon);
  StandIn_ResetIcons();
  std::remove(path.c_str());
}

}  // namespace
