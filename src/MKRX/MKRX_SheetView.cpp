#include "MKRX/MKRX_SheetView.h"

#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"
#include "MKRX/MKRX_DrawContext.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_Utils.h"
#include "MKRX/iMKRX_PlaceholderLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

double const kPi = 2.0 * std::asin(1.0);

// Edges and tiles stay sharp: one-pixel lines and tile seams are not smoothed.
CGFloat const kEdgeWidth = 0.9f;
CGFloat const kEdgeDash[2] = {10, 10};
CGFloat const kDensitometerDash[2] = {3, 3};

// Brackets a hook's drawing so that it leaves the graphics state as it found it.
class SavedState {
public:
  explicit SavedState(CGContextRef context) : m_Context(context) { CGContextSaveGState(m_Context); }
  ~SavedState() { CGContextRestoreGState(m_Context); }
  SavedState(SavedState const&) = delete;
  SavedState& operator=(SavedState const&) = delete;

private:
  CGContextRef m_Context;
};

// Holds one CoreGraphics object and releases it.
template <class T, void (*Release)(T)>
class Owned {
public:
  explicit Owned(T object) : m_Object(object) {}
  ~Owned() {
    if (m_Object)
      Release(m_Object);
  }
  Owned(Owned const&) = delete;
  Owned& operator=(Owned const&) = delete;
  T Get() const { return m_Object; }

private:
  T m_Object;
};

void ReleaseSpace(CGColorSpaceRef space) {
  CGColorSpaceRelease(space);
}
void ReleaseProvider(CGDataProviderRef provider) {
  CGDataProviderRelease(provider);
}
void ReleaseImage(CGImageRef image) {
  CGImageRelease(image);
}

using ColorSpace = Owned<CGColorSpaceRef, ReleaseSpace>;
using DataProvider = Owned<CGDataProviderRef, ReleaseProvider>;
using Image = Owned<CGImageRef, ReleaseImage>;

// An image over the tile's own pixels (not copied); null when it cannot be made.
CGImageRef NewTileImage(IMPN_BitMap const& tile, CGColorSpaceRef space, std::size_t bitsPerPixel) {
  std::size_t const width = static_cast<std::size_t>(tile.rect.width);
  std::size_t const height = static_cast<std::size_t>(tile.rect.height);
  DataProvider const provider(CGDataProviderCreateWithData(
      nullptr, tile.pixels, static_cast<std::size_t>(tile.rowBytes) * height, nullptr));
  if (provider.Get() == nullptr || space == nullptr)
    return nullptr;
  return CGImageCreate(width, height, 8, bitsPerPixel, tile.rowBytes, space, 0, provider.Get(),
                       nullptr, false, kCGRenderingIntentDefault);
}

// An indexed space over device RGB with the palette's entries; null for an empty palette.
CGColorSpaceRef NewPaletteSpace(IMPN_ColorTable const& palette) {
  if (palette.entries == nullptr || palette.count <= 0)
    return nullptr;
  std::vector<unsigned char> table;
  table.reserve(static_cast<std::size_t>(palette.count) * 3);
  for (long i = 0; i < palette.count; ++i) {
    table.push_back(palette.entries[i].red);
    table.push_back(palette.entries[i].green);
    table.push_back(palette.entries[i].blue);
  }
  ColorSpace const base(CGColorSpaceCreateDeviceRGB());
  if (base.Get() == nullptr)
    return nullptr;
  return CGColorSpaceCreateIndexed(base.Get(), static_cast<std::size_t>(palette.count - 1),
                                   table.data());
}

void SetDash(CGContextRef context, bool dashed) {
  if (dashed)
    CGContextSetLineDash(context, 0, kEdgeDash, 2);
}

}  // namespace

float MKRX_SheetView::sm_DensitometerDashPhase = 1.0f;

MKRX_SheetView::MKRX_SheetView() {
  SetLineSize(8, 8);
}

MKRX_SheetView::~MKRX_SheetView() {
  // However the window went, the palette must not keep a view that is gone.
  MKRX_PaletteManager::RemoveView(this);
}

void MKRX_SheetView::InitEventHandlers() {
  iMKRX_PlaceholderLog::Record("MKRX_SheetView::InitEventHandlers");
}

void MKRX_SheetView::SetSheet(IMPN_Sheet* sheet) {
  if (sheet != nullptr && sheet != m_Sheet.Get())
    CancelLoading();
  CKRX_SheetView::SetSheet(sheet);
}

void MKRX_SheetView::SetBackupAlignment(IMPN_BackupAlignment alignment) {
  if (alignment != m_BackupAlignment)
    CancelLoading();
  m_BackupAlignment = alignment;
}

void MKRX_SheetView::AddHorizontalGuideLine(long position) {
  ViewedGuideLines().horizontal.insert(position);
}

float MKRX_SheetView::ZoomFactor() const {
  return kIMPN_ZoomFactor[m_ZoomLevel];
}

int MKRX_SheetView::OpacityOf(IMPN_Surface const& surface) {
  return surface.HasSeparations() ? static_cast<int>(surface.GetOpacity()) : 0;
}

// ---------------------------------------------------------------------------------------------
// Refreshing

void MKRX_SheetView::RefreshView() {
  if (GetSysView())
    HIViewSetNeedsDisplay(GetSysView(), true);
}

void MKRX_SheetView::EraseAndRefreshView() {
  m_EraseAll = true;
  RefreshView();
}

void MKRX_SheetView::RotateLeft() {
  m_EraseAll = true;
  Rotate(-90);
  if (MKRX_NavigationWindow* navigation = MKRX_PaletteManager::GetNavigationWindow())
    navigation->SetView(this);
}

void MKRX_SheetView::RotateRight() {
  m_EraseAll = true;
  Rotate(90);
  if (MKRX_NavigationWindow* navigation = MKRX_PaletteManager::GetNavigationWindow())
    navigation->SetView(this);
}

// ---------------------------------------------------------------------------------------------
// Painting

OSStatus MKRX_SheetView::DoControlDraw(RgnHandle, CGContextRef context) {
  return Draw(context);
}

OSStatus MKRX_SheetView::Draw(CGContextRef cg) {
  if (m_Sheet == nullptr)
    return noErr;
  MKRX_DrawContext context(cg);
  long const width = m_Sheet->GetImageWidth(m_ZoomLevel);
  long const length = m_Sheet->GetImageLength(m_ZoomLevel);
  FillBackground(context, width, length);

  CGContextSaveGState(cg);
  CGContextScaleCTM(cg, 1, -1);
  Turn(cg, width, length);
  if (!m_BackTilesLoaded.empty() || !m_FrontTilesLoaded.empty()) {
    DrawLoadedTiles(context);
  } else if (!StartsLoading()) {
    DrawImage(context);
    CGContextFlush(cg);
  }
  CGContextRestoreGState(cg);
  return noErr;
}

void MKRX_SheetView::FillBackground(MKRX_DrawContext& context, long width, long length) {
  CGContextRef const cg = context.Get();
  SavedState const saved(cg);
  CGContextSetRGBFillColor(cg, 1, 1, 1, 1);
  CGPoint const origin = ImageOrigin();
  CGSize const frame = GetSysView() ? ViewSize() : CGSizeMake(0, 0);
  if (m_EraseAll) {
    m_EraseAll = false;
    CGContextFillRect(cg, CGRectMake(origin.x, origin.y, frame.width, frame.height));
    return;
  }
  bool const sideways = m_Rotation == 90 || m_Rotation == 270;
  CGFloat const shownWidth = static_cast<CGFloat>(sideways ? length : width);
  CGFloat const shownHeight = static_cast<CGFloat>(sideways ? width : length);
  // The strips run along the whole visible part, wherever the other axis is scrolled to.
  if (frame.width > shownWidth)
    CGContextFillRect(cg, CGRectMake(shownWidth, origin.y, frame.width - shownWidth, frame.height));
  if (frame.height > shownHeight)
    CGContextFillRect(cg,
                      CGRectMake(origin.x, shownHeight, frame.width, frame.height - shownHeight));
}

void MKRX_SheetView::Turn(CGContextRef cg, long width, long length) const {
  CGFloat const w = static_cast<CGFloat>(width);
  CGFloat const l = static_cast<CGFloat>(length);
  switch (m_Rotation) {
    case 180:
      CGContextTranslateCTM(cg, w, -l);
      CGContextRotateCTM(cg, kPi);
      break;
    case 270:
      CGContextTranslateCTM(cg, 0, -w);
      CGContextRotateCTM(cg, kPi / 2);
      break;
    case 90:
      CGContextTranslateCTM(cg, l, 0);
      CGContextRotateCTM(cg, -kPi / 2);
      break;
    default:
      break;
  }
}

void MKRX_SheetView::DrawLoadedTiles(MKRX_DrawContext& context) {
  IMPN_Surface& viewed = ViewedSurface();
  IMPN_Surface& other = OtherSurface();
  int const viewedOpacity = OpacityOf(viewed);
  int const otherOpacity = OpacityOf(other);
  // Each tile is drawn from the tiled image it was built in.
  auto draw = [&](IMPN_ImageTile const& tile, IMPN_Surface& surface, bool erase, bool back) {
    IMPN_BitMap const* bitmap =
        tile.image->GetTile(tile.y, tile.x, m_ZoomLevel, static_cast<long>(surface.GetTimeStamp()));
    if (back)
      DrawBackTile(context, bitmap, surface.GetColor(), erase);
    else
      DrawFrontTile(context, bitmap, surface.GetColor(), erase);
  };
  if (other.HasSeparations() && viewedOpacity < 100 && m_BackupMode != 0) {
    BeginBackMode(context, otherOpacity);
    for (IMPN_ImageTile const& tile : m_BackTilesLoaded)
      draw(tile, other, otherOpacity < 100, true);
    EndBackMode(context);
  }
  if (viewed.HasSeparations()) {
    BeginFrontMode(context, viewedOpacity);
    bool const erase = !other.HasSeparations() && viewedOpacity < 100;
    for (IMPN_ImageTile const& tile : m_FrontTilesLoaded)
      draw(tile, viewed, erase, false);
    EndFrontMode(context);
  }
}

bool MKRX_SheetView::StartsLoading() {
  if (!m_BackgroundDrawing || m_ZoomLevel <= kIMPN_ZoomLevel1to1)
    return false;
  IMPN_Surface& viewed = ViewedSurface();
  IMPN_Surface& other = OtherSurface();
  long current = 0;
  long stale = 0;
  if (other.HasSeparations() && OpacityOf(viewed) <= 99) {
    long c = 0;
    long s = 0;
    DetermineBackTileRangeState(other, c, s);
    current += c;
    stale += s;
  }
  if (viewed.HasSeparations()) {
    long c = 0;
    long s = 0;
    DetermineFrontTileRangeState(viewed, c, s);
    current += c;
    stale += s;
  }
  if (stale > 49 && current / stale < 3) {
    CacheImage();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Tiles

void MKRX_SheetView::BeginBackMode(CKRX_Context& context, int opacity) {
  CGContextRef const cg = MKRX_DrawContext::Of(context).Get();
  CGFloat const w = static_cast<CGFloat>(m_Sheet->GetImageWidth(m_ZoomLevel));
  CGFloat const l = static_cast<CGFloat>(m_Sheet->GetImageLength(m_ZoomLevel));
  CGFloat const ox =
      static_cast<CGFloat>(m_Sheet->GetBackupOffsetX(m_BackupAlignment, m_ZoomLevel));
  CGFloat const oy =
      static_cast<CGFloat>(m_Sheet->GetBackupOffsetY(m_BackupAlignment, m_ZoomLevel));
  if (m_BackupMode == 1) {
    CGContextTranslateCTM(cg, w - ox, oy);
    CGContextScaleCTM(cg, -1, 1);
  } else if (m_BackupMode == 2) {
    CGContextTranslateCTM(cg, -ox, oy - l);
    CGContextScaleCTM(cg, 1, -1);
  }
  CGContextSetAlpha(cg, static_cast<CGFloat>(opacity) / 100);
}

void MKRX_SheetView::EndBackMode(CKRX_Context& context) {
  CGContextRef const cg = MKRX_DrawContext::Of(context).Get();
  CGFloat const w = static_cast<CGFloat>(m_Sheet->GetImageWidth(m_ZoomLevel));
  CGFloat const l = static_cast<CGFloat>(m_Sheet->GetImageLength(m_ZoomLevel));
  CGFloat const ox =
      static_cast<CGFloat>(m_Sheet->GetBackupOffsetX(m_BackupAlignment, m_ZoomLevel));
  CGFloat const oy =
      static_cast<CGFloat>(m_Sheet->GetBackupOffsetY(m_BackupAlignment, m_ZoomLevel));
  if (m_BackupMode == 1) {
    CGContextScaleCTM(cg, -1, 1);
    CGContextTranslateCTM(cg, ox - w, -oy);
  } else if (m_BackupMode == 2) {
    CGContextScaleCTM(cg, 1, -1);
    CGContextTranslateCTM(cg, ox, l - oy);
  }
}

void MKRX_SheetView::BeginFrontMode(CKRX_Context& context, int opacity) {
  CGContextSetAlpha(MKRX_DrawContext::Of(context).Get(), static_cast<CGFloat>(opacity) / 100);
}

void MKRX_SheetView::EndFrontMode(CKRX_Context&) {}

void MKRX_SheetView::EraseTile(CKRX_Context& context, IMPN_RectT<long> rect,
                               IMPN_RGBColor8 colour) {
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  SavedState const saved(c.Get());
  CGContextSetAlpha(c.Get(), 1);
  c.SetFillColor(colour);
  CGContextFillRect(c.Get(), MKRX_Utils::IMPNToCGRect(rect));
}

void MKRX_SheetView::DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context& context,
                                         IMPN_RectT<long> const& rect) {
  if (tile == nullptr)
    return;
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  CGContextRef const cg = c.Get();
  CGRect const target = MKRX_Utils::IMPNToCGRect(rect);
  {
    SavedState const saved(cg);
    IMPN_ColorTable const empty;
    IMPN_ColorTable const& palette = tile->palette ? *tile->palette : empty;
    switch (tile->kind) {
      case kIMPN_BitMapIndexed: {
        ColorSpace const space(NewPaletteSpace(palette));
        if (tile->pixels == nullptr || space.Get() == nullptr)
          break;
        Image const image(NewTileImage(*tile, space.Get(), 8));
        CGContextSetShouldAntialias(cg, false);
        if (image.Get())
          CGContextDrawImage(cg, target, image.Get());
        break;
      }
      case kIMPN_BitMapUniformIndex: {
        if (tile->pixels == nullptr || palette.entries == nullptr ||
            static_cast<long>(tile->pixels[0]) >= palette.count)
          break;
        c.SetFillColor(palette.entries[tile->pixels[0]]);
        CGContextFillRect(cg, target);
        break;
      }
      case kIMPN_BitMapRGB: {
        ColorSpace const space(CGColorSpaceCreateDeviceRGB());
        if (tile->pixels == nullptr)
          break;
        Image const image(NewTileImage(*tile, space.Get(), 24));
        CGContextSetShouldAntialias(cg, false);
        if (image.Get())
          CGContextDrawImage(cg, target, image.Get());
        break;
      }
      case kIMPN_BitMapUniformRGB: {
        if (tile->pixels == nullptr)
          break;
        IMPN_RGBColor8 colour;
        colour.red = tile->pixels[0];
        colour.green = tile->pixels[1];
        colour.blue = tile->pixels[2];
        c.SetFillColor(colour);
        CGContextFillRect(cg, target);
        break;
      }
      default:
        break;
    }
  }
  if (MKRX_Preferences::sm_ShowImageTileBoundaries) {
    SavedState const saved(cg);
    CGContextSetRGBStrokeColor(cg, 1, 0.5f, 0, 1);
    CGContextSetShouldAntialias(cg, false);
    CGContextStrokeRect(cg, target);
  }
}

// ---------------------------------------------------------------------------------------------
// Overlays

void MKRX_SheetView::StrokeEdges(CKRX_Context& context, std::vector<IMPN_RectT<long>> const& rects,
                                 IMPN_RGBColor8 const& colour, bool dashed) {
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  SavedState const saved(c.Get());
  c.SetStrokeColor(colour);
  CGContextSetLineWidth(c.Get(), kEdgeWidth);
  CGContextSetShouldAntialias(c.Get(), false);
  SetDash(c.Get(), dashed);
  for (IMPN_RectT<long> const& rect : rects)
    CGContextStrokeRect(c.Get(),
                        MKRX_Utils::ScaleCGRect(MKRX_Utils::IMPNToCGRect(rect), ZoomFactor()));
}

void MKRX_SheetView::DrawPlateEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                                   bool dashed) {
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  SavedState const saved(c.Get());
  c.SetStrokeColor(IMPN_Preferences::sm_PlateEdgeColor);
  CGContextSetLineWidth(c.Get(), kEdgeWidth);
  CGContextSetShouldAntialias(c.Get(), false);
  SetDash(c.Get(), dashed);
  // Already the whole image at the current level.
  CGContextStrokeRect(c.Get(), MKRX_Utils::IMPNToCGRect(rect));
}

void MKRX_SheetView::DrawPressSheetEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                                        bool dashed) {
  StrokeEdges(context, {rect}, IMPN_Preferences::sm_PressSheetEdgeColor, dashed);
}

void MKRX_SheetView::DrawBleedEdges(CKRX_Context& context,
                                    std::vector<IMPN_RectT<long>> const& rects, bool dashed) {
  StrokeEdges(context, rects, IMPN_Preferences::sm_BleedEdgeColor, dashed);
}

void MKRX_SheetView::DrawTypeSafetyEdges(CKRX_Context& context,
                                         std::vector<IMPN_RectT<long>> const& rects, bool dashed) {
  StrokeEdges(context, rects, IMPN_Preferences::sm_TypeSafetyEdgeColor, dashed);
}

void MKRX_SheetView::DrawSourceClipPaths(CKRX_Context& context, CKRX_ClipPathList const& paths,
                                         bool dashed) {
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  CGContextRef const cg = c.Get();
  SavedState const saved(cg);
  c.SetStrokeColor(IMPN_Preferences::sm_BleedEdgeColor);
  c.SetFillColor(IMPN_Preferences::sm_BleedEdgeColor);
  CGContextSetLineWidth(cg, 1);
  CGContextSetShouldAntialias(cg, false);
  SetDash(cg, dashed);
  float const zoom = ZoomFactor();
  auto const point = [zoom](IMPN_PointT<long> const& p) {
    CGPoint const q = MKRX_Utils::ScaleCGPoint(MKRX_Utils::IMPNToCGPoint(p), zoom);
    return CGPointMake(static_cast<CGFloat>(MATH_Round(q.x)),
                       static_cast<CGFloat>(MATH_Round(q.y)));
  };
  for (auto const& page : paths) {
    for (IMPN_SCPath const& path : page) {
      if (path.points.empty())
        continue;
      CGContextBeginPath(cg);
      CGPoint const first = point(path.points.front());
      CGContextMoveToPoint(cg, first.x, first.y);
      for (std::size_t i = 1; i < path.points.size(); ++i) {
        CGPoint const next = point(path.points[i]);
        CGContextAddLineToPoint(cg, next.x, next.y);
      }
      CGContextClosePath(cg);
      CGContextStrokePath(cg);
    }
  }
}

void MKRX_SheetView::DrawGuideLines(CKRX_Context& context, IMPN_GuideLines const& guides,
                                    bool dashed) {
  if (guides.horizontal.empty() && guides.vertical.empty())
    return;
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  CGContextRef const cg = c.Get();
  SavedState const saved(cg);
  c.SetStrokeColor(IMPN_Preferences::sm_GuideLineColor);
  CGContextSetShouldAntialias(cg, false);
  SetDash(cg, dashed);
  float const zoom = ZoomFactor();
  CGFloat const width = static_cast<CGFloat>(m_Sheet->GetImageWidth(m_ZoomLevel));
  CGFloat const length = static_cast<CGFloat>(m_Sheet->GetImageLength(m_ZoomLevel));
  auto const line = [cg](CGFloat x0, CGFloat y0, CGFloat x1, CGFloat y1) {
    CGContextBeginPath(cg);
    CGContextMoveToPoint(cg, x0, y0);
    CGContextAddLineToPoint(cg, x1, y1);
    CGContextClosePath(cg);
    CGContextStrokePath(cg);
  };
  for (long v : guides.horizontal) {
    CGFloat const p = static_cast<CGFloat>(MATH_Round(v * zoom));
    line(0, -p, width, -p);
  }
  for (long v : guides.vertical) {
    CGFloat const p = static_cast<CGFloat>(MATH_Round(v * zoom));
    line(p, 0, p, -length);
  }
}

void MKRX_SheetView::DrawDensitometerFrame(CKRX_Context& context, IMPN_RectT<long> const& frame) {
  if (frame.width <= 0 || frame.height <= 0)
    return;
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  CGContextRef const cg = c.Get();
  SavedState const saved(cg);
  IMPN_RGBAColor8 colour = IMPN_Preferences::sm_NavigationFrame;
  colour.alpha = 100;
  c.SetStrokeColor(colour);
  CGContextSetLineWidth(cg, kEdgeWidth);
  CGContextSetShouldAntialias(cg, false);
  // The phase moves on with every paint, so the dashes crawl.
  CGContextSetLineDash(cg, sm_DensitometerDashPhase, kDensitometerDash, 2);
  sm_DensitometerDashPhase += 1;
  CGContextStrokeRect(
      cg, CGRectIntegral(MKRX_Utils::ScaleCGRect(MKRX_Utils::IMPNToCGRect(frame), ZoomFactor())));
}

void MKRX_SheetView::DrawPageEdges(CKRX_Context& context, std::vector<IMPN_PageEdge> const& pages,
                                   bool dashed, bool showEdges, bool showNumbers) {
  MKRX_DrawContext& c = MKRX_DrawContext::Of(context);
  CGContextRef const cg = c.Get();
  SavedState const saved(cg);
  c.SetStrokeColor(IMPN_Preferences::sm_PageEdgeColor);
  c.SetFillColor(IMPN_Preferences::sm_PageEdgeColor);
  CGContextSetLineWidth(cg, 1);
  CGContextSetShouldAntialias(cg, false);
  SetDash(cg, dashed);
  for (IMPN_PageEdge const& page : pages)
    DrawPageEdge(c, page, dashed, showEdges, showNumbers);
}

void MKRX_SheetView::DrawPageEdge(MKRX_DrawContext& c, IMPN_PageEdge const& page, bool dashed,
                                  bool showEdges, bool showNumbers) {
  CGContextRef const cg = c.Get();
  CGRect const r = MKRX_Utils::ScaleCGRect(MKRX_Utils::IMPNToCGRect(page.rect), ZoomFactor());
  CGFloat const x = static_cast<CGFloat>(MATH_Round(r.origin.x));
  CGFloat const y = static_cast<CGFloat>(MATH_Round(r.origin.y));
  CGFloat const width = static_cast<CGFloat>(MATH_Round(r.size.width));
  CGFloat const height = static_cast<CGFloat>(MATH_Round(r.size.height));
  CGFloat const m = std::min(width, height);
  SavedState const saved(cg);
  CGFloat across = width;  // B: along the page's head
  CGFloat up = height;     // A: from foot to head
  switch (page.orientation) {
    case 1:
      CGContextTranslateCTM(cg, x + width, y + height);
      CGContextRotateCTM(cg, kPi);
      break;
    case 2:
      CGContextTranslateCTM(cg, x + width, y);
      CGContextRotateCTM(cg, kPi / 2);
      across = height;
      up = width;
      break;
    case 3:
      CGContextTranslateCTM(cg, x, y + height);
      CGContextRotateCTM(cg, -kPi / 2);
      across = height;
      up = width;
      break;
    default:
      // An unknown orientation stands upright, as orientation 0.
      CGContextTranslateCTM(cg, x, y);
      break;
  }
  CGFloat const f = static_cast<CGFloat>(MATH_Round(m * 0.16));
  if (showEdges) {
    CGContextBeginPath(cg);
    CGContextMoveToPoint(cg, 0, up);
    CGContextAddLineToPoint(cg, across - f, up);
    CGContextAddLineToPoint(cg, across - f, up - f);
    CGContextAddLineToPoint(cg, across, up - f);
    CGContextAddLineToPoint(cg, across - f, up);
    CGContextAddLineToPoint(cg, across, up);
    CGContextAddLineToPoint(cg, across, 0);
    CGContextAddLineToPoint(cg, 0, 0);
    CGContextAddLineToPoint(cg, 0, up);
    CGContextClosePath(cg);
    CGContextStrokePath(cg);
    if (showNumbers) {
      CGFloat const g = static_cast<CGFloat>(MATH_Round(m * 0.04));
      CGRect const bar = CGRectMake(g, up - 2.5f * g, across - 2 * g - f, g);
      if (dashed)
        CGContextStrokeRect(cg, bar);
      else
        CGContextFillRect(cg, bar);
    }
  }
  if (showNumbers) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(page.pageNumber));
    long const size = static_cast<long>(m * 0.25);
    std::string const& font = MKRX_Utils::GetThemeFontPostScriptName();
    ATSFontMetrics const& metrics = MKRX_Utils::GetThemeFontMetrics();
    CGContextSelectFont(cg, font.c_str(), static_cast<CGFloat>(size), kCGEncodingMacRoman);
    float const w = c.MeasureTextWidth(text);
    long const tx = static_cast<long>((across - w) * 0.5);
    long const descent = static_cast<long>(size * metrics.descent);
    long const box = static_cast<long>(size * metrics.ascent) - descent;
    long const ty = static_cast<long>((up - box) * 0.5) - descent;
    SavedState const text_state(cg);
    c.SetStrokeColor(IMPN_Preferences::sm_PageEdgeColor);
    CGContextSetRGBFillColor(cg, 0, 0, 0, 1);
    CGContextSelectFont(cg, font.c_str(), static_cast<CGFloat>(size), kCGEncodingMacRoman);
    CGContextSetTextDrawingMode(cg, kCGTextFillStroke);
    CGContextSetShouldAntialias(cg, true);
    CGContextShowTextAtPoint(cg, static_cast<CGFloat>(tx), static_cast<CGFloat>(ty), text,
                             std::strlen(text));
  }
}
