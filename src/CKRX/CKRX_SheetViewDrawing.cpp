// Tile ranges, tile requests and the order in which the two sides and their overlays are drawn.
#include "CKRX/CKRX_SheetView.h"

#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::uint32_t SystemTicks() {
#ifdef _WIN32
  return static_cast<std::uint32_t>(GetTickCount());
#else
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
#endif
}

// A pass gives the thread back once this many milliseconds have passed.
std::uint32_t const kDrawPassMilliseconds = 2;

}  // namespace

void CKRX_SheetView::SetTickSource(TickSource source) {
  m_TickSource = std::move(source);
}

// ---------------------------------------------------------------------------------------------
// Tile ranges

IMPN_RectT<long> CKRX_SheetView::FrameInLevelImage() {
  IMPN_RectT<long> const frame = GetViewFrame();
  long const w = LevelWidth(m_ZoomLevel);
  long const l = LevelLength(m_ZoomLevel);
  switch (m_Rotation) {
    case 90:
      return IMPN_RectT<long>(l - frame.left - frame.width, frame.top, frame.height, frame.width);
    case 180:
      return IMPN_RectT<long>(l - frame.top - frame.height, w - frame.left - frame.width,
                              frame.width, frame.height);
    case 270:
      return IMPN_RectT<long>(frame.left, w - frame.top - frame.height, frame.height, frame.width);
    default:
      return frame;
  }
}

IMPN_TileRange CKRX_SheetView::TileRangeOf(IMPN_RectT<long> const& rect, IMPN_Surface& surface) {
  IMPN_TileRange range;
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (image == nullptr)
    return range;
  long const tw = image->GetTileWidth(m_ZoomLevel);
  long const th = image->GetTileLength(m_ZoomLevel);
  if (tw <= 0 || th <= 0)
    return range;
  image->SetVisibleArea(this, m_ZoomLevel, rect);
  range.firstX = std::max((rect.left / tw) * tw, 0L);
  range.lastX = std::min((rect.Right() / tw) * tw, (image->GetTilesAcross(m_ZoomLevel) - 1) * tw);
  range.firstY = std::max((rect.top / th) * th, 0L);
  range.lastY = std::min((rect.Bottom() / th) * th, (image->GetTilesDown(m_ZoomLevel) - 1) * th);
  range.xStep = tw;
  range.yStep = th;
  range.valid = true;
  return range;
}

void CKRX_SheetView::ForgetVisibleArea(IMPN_Surface& surface) {
  if (IMPN_TiledImage* image = surface.GetTiledImage())
    image->ForgetVisibleArea(this);
}

IMPN_TileRange CKRX_SheetView::DetermineFrontTileRange(IMPN_Surface& surface) {
  return TileRangeOf(FrameInLevelImage(), surface);
}

IMPN_RectT<long> CKRX_SheetView::GetViewFrameMirrored() {
  IMPN_RectT<long> r = FrameInLevelImage();
  long const dx = m_Sheet->GetBackupOffsetX(m_BackupAlignment, m_ZoomLevel);
  long const dy = m_Sheet->GetBackupOffsetY(m_BackupAlignment, m_ZoomLevel);
  long const x0 = r.left;
  long const y0 = r.top;
  switch (m_BackupMode) {
    case 1:
      r.left = LevelWidth(m_ZoomLevel) - x0 - r.width - dx;
      r.top = dy + y0;
      break;
    case 2:
      r.left = dx + x0;
      r.top = LevelLength(m_ZoomLevel) - y0 - r.height - dy;
      break;
    default:
      r.left = 0;
      r.top = 0;
      break;
  }
  return r;
}

IMPN_TileRange CKRX_SheetView::DetermineBackTileRange(IMPN_Surface& surface) {
  if (m_BackupMode == 0)
    return IMPN_TileRange();
  return TileRangeOf(GetViewFrameMirrored(), surface);
}

void CKRX_SheetView::CountTileStates(IMPN_Surface& surface, IMPN_TileRange const& range,
                                     long& current, long& stale) {
  current = 0;
  stale = 0;
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (!range.valid || image == nullptr)
    return;
  long const stamp = static_cast<long>(surface.GetTimeStamp());
  for (long y = range.firstY; y <= range.lastY; y += range.yStep) {
    for (long x = range.firstX; x <= range.lastX; x += range.xStep) {
      if (image->GetTileTimeStamp(y, x, m_ZoomLevel) >= stamp)
        ++current;
      else
        ++stale;
    }
  }
}

void CKRX_SheetView::DetermineFrontTileRangeState(IMPN_Surface& surface, long& current,
                                                  long& stale) {
  CountTileStates(surface, DetermineFrontTileRange(surface), current, stale);
}

void CKRX_SheetView::DetermineBackTileRangeState(IMPN_Surface& surface, long& current,
                                                 long& stale) {
  CountTileStates(surface, DetermineBackTileRange(surface), current, stale);
}

// ---------------------------------------------------------------------------------------------
// Which side shows

int CKRX_SheetView::ViewedOpacity() {
  IMPN_Surface& viewed = ViewedSurface();
  return viewed.HasSeparations() ? static_cast<int>(viewed.GetOpacity()) : 0;
}

bool CKRX_SheetView::OtherSideShown() {
  return m_BackupMode != 0 && OtherSurface().HasSeparations() && ViewedOpacity() <= 99;
}

// ---------------------------------------------------------------------------------------------
// Drawing at once

void CKRX_SheetView::DrawImage(CKRX_Context& context) {
  if (m_Sheet == nullptr)
    return;
  IMPN_Surface& viewed = ViewedSurface();
  IMPN_Surface& other = OtherSurface();
  if (OtherSideShown())
    DrawBack(context, other, DetermineBackTileRange(other), OtherGuideLines());
  else
    ForgetVisibleArea(other);
  if (viewed.HasSeparations())
    DrawFront(context, viewed, DetermineFrontTileRange(viewed), ViewedGuideLines());
}

void CKRX_SheetView::DrawBack(CKRX_Context& context, IMPN_Surface& surface, IMPN_TileRange range,
                              IMPN_GuideLines& guides) {
  if (m_BackupMode == 0)
    return;
  int const opacity = static_cast<int>(surface.GetOpacity());
  BeginBackMode(context, opacity);
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (range.valid && image != nullptr) {
    long const stamp = static_cast<long>(surface.GetTimeStamp());
    for (long y = range.firstY; y <= range.lastY; y += range.yStep)
      for (long x = range.firstX; x <= range.lastX; x += range.xStep)
        DrawBackTile(context, image->GetTile(y, x, m_ZoomLevel, stamp), surface.GetColor(),
                     opacity <= 99);
  }
  DrawOverlays(context, surface, guides, true);
  EndBackMode(context);
}

void CKRX_SheetView::DrawFront(CKRX_Context& context, IMPN_Surface& surface, IMPN_TileRange range,
                               IMPN_GuideLines& guides) {
  int const opacity = static_cast<int>(surface.GetOpacity());
  BeginFrontMode(context, opacity);
  // Where nothing lies beneath, a translucent tile must not blend over the previous picture.
  bool const erase = !OtherSideShown() && opacity <= 99;
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (range.valid && image != nullptr) {
    long const stamp = static_cast<long>(surface.GetTimeStamp());
    for (long y = range.firstY; y <= range.lastY; y += range.yStep)
      for (long x = range.firstX; x <= range.lastX; x += range.xStep)
        DrawFrontTile(context, image->GetTile(y, x, m_ZoomLevel, stamp), surface.GetColor(), erase);
  }
  DrawOverlays(context, surface, guides, false);
  EndFrontMode(context);
}

void CKRX_SheetView::DrawOverlays(CKRX_Context& context, IMPN_Surface& surface,
                                  IMPN_GuideLines& guides, bool back) {
  if (m_ShowPlateEdge)
    DrawPlateEdge(context,
                  IMPN_RectT<long>(0, 0, LevelWidth(m_ZoomLevel), LevelLength(m_ZoomLevel)), back);
  if (m_ShowPressSheetEdge)
    DrawPressSheetEdge(context, surface.GetPressSheetRect(), back);
  if (m_ShowBleed) {
    if (m_ClipPathsAvailable)
      DrawSourceClipPaths(context, surface.GetClipPaths(), back);
    else {
      DrawBleedEdges(context, surface.GetBleedRects(), back);
      DrawBleedEdges(context, surface.GetMaxBleedRects(), back);
    }
  }
  if (m_ShowPageEdges || m_ShowPageNumbers)
    DrawPageEdges(context, surface.GetPageEdges(), back, m_ShowPageEdges, m_ShowPageNumbers);
  if (m_ShowTypeSafety)
    DrawTypeSafetyEdges(context, surface.GetTypeSafetyRects(), back);
  if (m_ShowGuideLines)
    DrawGuideLines(context, guides, back);
  if (!back && m_ActiveTool == kIMPN_ToolDensitometer)
    DrawDensitometerFrame(context, m_DensitometerFrame);
}

void CKRX_SheetView::DrawBackTile(CKRX_Context& context, IMPN_BitMap const* tile,
                                  IMPN_RGBColor8 colour, bool erase) {
  DrawTile(context, tile, colour, erase);
}

void CKRX_SheetView::DrawFrontTile(CKRX_Context& context, IMPN_BitMap const* tile,
                                   IMPN_RGBColor8 colour, bool erase) {
  DrawTile(context, tile, colour, erase);
}

void CKRX_SheetView::DrawTile(CKRX_Context& context, IMPN_BitMap const* tile, IMPN_RGBColor8 colour,
                              bool erase) {
  if (tile == nullptr)
    return;
  if (erase)
    EraseTile(context, tile->rect, colour);
  DrawBitMapToContext(tile, context, tile->rect);
}

// ---------------------------------------------------------------------------------------------
// Drawing in the background

void CKRX_SheetView::QueueTiles(IMPN_Surface& surface, IMPN_TileRange const& range,
                                TileQueue& requests) {
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (!range.valid || image == nullptr)
    return;
  IMPN_ImageTile request;
  request.image = image;
  request.opacity = static_cast<long>(surface.GetOpacity());
  request.timeStamp = static_cast<long>(surface.GetTimeStamp());
  request.colour = surface.GetColor();
  for (long y = range.firstY; y <= range.lastY; y += range.yStep) {
    for (long x = range.firstX; x <= range.lastX; x += range.xStep) {
      request.x = x;
      request.y = y;
      requests.push_back(request);
    }
  }
}

void CKRX_SheetView::CacheImage() {
  m_BackTileRequests.clear();
  m_FrontTileRequests.clear();
  if (m_Sheet == nullptr)
    return;
  IMPN_Surface& viewed = ViewedSurface();
  IMPN_Surface& other = OtherSurface();
  if (OtherSideShown())
    QueueTiles(other, DetermineBackTileRange(other), m_BackTileRequests);
  else
    ForgetVisibleArea(other);
  if (viewed.HasSeparations())
    QueueTiles(viewed, DetermineFrontTileRange(viewed), m_FrontTileRequests);
  m_BackOverlaysPending = true;
  StartDrawCachedImageTimer();
}

void CKRX_SheetView::DrawCachedImage(CKRX_Context& context) {
  if (m_Sheet == nullptr) {
    StopDrawCachedImageTimer();
    return;
  }
  TickSource const& ticks = m_TickSource ? m_TickSource : TickSource(SystemTicks);
  std::uint32_t const start = ticks();
  // Unsigned difference: still right when the counter wraps during the pass.
  auto overTime = [&] {
    return static_cast<std::uint32_t>(ticks() - start) >= kDrawPassMilliseconds;
  };

  while (!m_BackTileRequests.empty()) {
    IMPN_ImageTile const request = m_BackTileRequests.front();
    BeginBackMode(context, static_cast<int>(request.opacity));
    DrawBackTile(context,
                 request.image->GetTile(request.y, request.x, m_ZoomLevel, request.timeStamp),
                 request.colour, request.opacity < 100);
    EndBackMode(context);
    m_BackTileRequests.pop_front();
    if (overTime())
      return;
  }

  if (m_BackOverlaysPending) {
    if (OtherSideShown()) {
      IMPN_Surface& other = OtherSurface();
      BeginBackMode(context, static_cast<int>(other.GetOpacity()));
      DrawOverlays(context, other, OtherGuideLines(), true);
      EndBackMode(context);
    }
    m_BackOverlaysPending = false;
    if (overTime())
      return;
  }

  bool const erase = !OtherSideShown() && ViewedOpacity() <= 99;
  while (!m_FrontTileRequests.empty()) {
    IMPN_ImageTile const request = m_FrontTileRequests.front();
    BeginFrontMode(context, static_cast<int>(request.opacity));
    DrawFrontTile(context,
                  request.image->GetTile(request.y, request.x, m_ZoomLevel, request.timeStamp),
                  request.colour, erase);
    EndFrontMode(context);
    m_FrontTileRequests.pop_front();
    if (overTime())
      return;
  }

  BeginFrontMode(context, ViewedOpacity());
  DrawOverlays(context, ViewedSurface(), ViewedGuideLines(), false);
  EndFrontMode(context);
  StopDrawCachedImageTimer();
}
