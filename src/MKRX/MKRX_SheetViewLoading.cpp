// Progressive loading of reduced levels, and the geometry the navigation palette and the rulers
// follow.
#include "MKRX/MKRX_SheetView.h"

#include "IMPN/IMPN_TiledImage.h"

#include <cmath>

// ---------------------------------------------------------------------------------------------
// Loading

void MKRX_SheetView::StartDrawCachedImageTimer() {
  m_BackTilesLoaded.clear();
  m_FrontTilesLoaded.clear();
  PPx::Timer::Install(kLoadInterval, kLoadInterval);
}

void MKRX_SheetView::StopDrawCachedImageTimer() {
  if (IsTimerInstalled())
    PPx::Timer::Remove();
  m_BackTilesLoaded.clear();
  m_FrontTilesLoaded.clear();
}

void MKRX_SheetView::CancelLoading() {
  StopDrawCachedImageTimer();
  m_BackTileRequests.clear();
  m_FrontTileRequests.clear();
}

void MKRX_SheetView::LoadFirstTile(TileQueue& queue, TileList& loaded) {
  IMPN_ImageTile const request = queue.front();
  request.image->GetTile(request.y, request.x, m_ZoomLevel, request.timeStamp);
  loaded.push_back(request);
  queue.pop_front();
}

void MKRX_SheetView::DoTimer() {
  // The surface behind first, so that the viewed one is laid over it.
  long count = 0;
  while (!m_BackTileRequests.empty() && count < kTilesPerFiring) {
    LoadFirstTile(m_BackTileRequests, m_BackTilesLoaded);
    ++count;
  }
  while (count < kTilesPerFiring) {
    if (m_FrontTileRequests.empty()) {
      // The paint this firing asks for finds every tile current and draws the whole picture.
      StopDrawCachedImageTimer();
      break;
    }
    LoadFirstTile(m_FrontTileRequests, m_FrontTilesLoaded);
    ++count;
  }
  if (GetSysView())
    SetNeedsDisplay();
}

// ---------------------------------------------------------------------------------------------
// Geometry

IMPN_RectT<long> MKRX_SheetView::GetViewFrame() {
  CGSize const size = GetSysView() ? ViewSize() : CGSizeMake(0, 0);
  CGPoint const origin = ImageOrigin();
  return IMPN_RectT<long>(static_cast<long>(origin.y), static_cast<long>(origin.x),
                          static_cast<long>(size.width), static_cast<long>(size.height));
}

void MKRX_SheetView::ResizeView(long width, long height, bool refresh) {
  if (GetSysView())
    SetImageSize(static_cast<float>(width), static_cast<float>(height), refresh);
  BroadcastSheetViewFrameChangedMessage();
}

void MKRX_SheetView::ScrollViewTo(long x, long y, bool refresh) {
  if (GetSysView())
    ScrollTo(static_cast<float>(x), static_cast<float>(y), refresh);
  BroadcastSheetViewFrameChangedMessage();
}

OSStatus MKRX_SheetView::DoScrollableScrollTo(PPx::SysCarbonEvent& event, CGPoint const& origin) {
  OSStatus const status = PPXA::ScrollableView::DoScrollableScrollTo(event, origin);
  if (status == noErr)
    BroadcastSheetViewFrameChangedMessage();
  return status;
}

void MKRX_SheetView::BroadcastSheetViewFrameChangedMessage() {
  if (m_Sheet == nullptr)
    return;
  // A sheet whose files vanished has no size: there is no fraction to give.
  float const width = static_cast<float>(m_Sheet->GetImageWidth(m_ZoomLevel));
  float const length = static_cast<float>(m_Sheet->GetImageLength(m_ZoomLevel));
  if (width <= 0 || length <= 0)
    return;
  CGPoint const origin = ImageOrigin();
  CGSize const frame = GetSysView() ? ViewSize() : CGSizeMake(0, 0);
  BroadcastMessage(MKRX_SheetViewFrameChangedMessage(
      CGRectMake(origin.x / width, origin.y / length, frame.width / width, frame.height / length)));
}

void MKRX_SheetView::DoNavigationViewFrameMoved(
    MKRX_NavigationViewFrameMovedMessage const& message) {
  CGRect const& r = message.GetValue();
  if (m_Sheet == nullptr || !std::isfinite(r.origin.x) || !std::isfinite(r.origin.y))
    return;
  double const width = static_cast<double>(m_Sheet->GetImageWidth(m_ZoomLevel));
  double const length = static_cast<double>(m_Sheet->GetImageLength(m_ZoomLevel));
  // The palette moved its frame itself: nothing goes back to it.
  if (GetSysView())
    ScrollTo(static_cast<float>(static_cast<long>(width * r.origin.x)),
             static_cast<float>(static_cast<long>(length * r.origin.y)), false);
  EraseAndRefreshView();
}

void MKRX_SheetView::DoNavigationViewFrameResized(
    MKRX_NavigationViewFrameResizedMessage const& message) {
  CGRect const& r = message.GetValue();
  if (m_Sheet == nullptr)
    return;
  bool const finite = std::isfinite(r.origin.x) && std::isfinite(r.origin.y) &&
                      std::isfinite(r.size.width) && std::isfinite(r.size.height);
  // An empty rectangle keeps zoom and position; the frame sent back puts the palette's right.
  if (finite && r.size.width > 0 && r.size.height > 0) {
    double const width = static_cast<double>(m_Sheet->GetImageWidth(m_ZoomLevel));
    double const length = static_cast<double>(m_Sheet->GetImageLength(m_ZoomLevel));
    IMPN_RectT<double> fit(r.origin.y * length, r.origin.x * width, r.size.width * width,
                           r.size.height * length);
    AdjustFrameToFit(fit);
  }
  BroadcastSheetViewFrameChangedMessage();
  EraseAndRefreshView();
}
