#include "MKRX/MKRX_NavigationView.h"

#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "MKRX/MKRX_CursorManager.h"
#include "MKRX/MKRX_DrawContext.h"
#include "MKRX/MKRX_SheetView.h"
#include "MKRX/MKRX_Utils.h"

#include <QD/QuickDraw.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr MouseTrackingRegionID kTrackingID = {0x4E6C7432, 129};  // 'Nlt2'
constexpr ControlPartCode kViewPart = 10;
constexpr ControlPartCode kOpaqueMetaPart = -3;

float Pi() {
  static float const pi = static_cast<float>(2 * std::asin(1.0));
  return pi;
}

bool Sideways(long rotation) {
  return rotation == 90 || rotation == 270;
}

class SavedState {
public:
  explicit SavedState(CGContextRef context) : m_Context(context) { CGContextSaveGState(m_Context); }
  ~SavedState() { CGContextRestoreGState(m_Context); }
  SavedState(SavedState const&) = delete;
  SavedState& operator=(SavedState const&) = delete;

private:
  CGContextRef m_Context;
};

}  // namespace

MKRX_NavigationView::MKRX_NavigationView()
    : m_ImageRect(CGRectMake(0, 0, 0, 0)),
      m_ViewFrame(CGRectMake(0, 0, 0, 0)) {}

MKRX_NavigationView::~MKRX_NavigationView() {
  if (m_MouseTrackingRegion)
    ReleaseMouseTrackingRegion(m_MouseTrackingRegion);
}

void MKRX_NavigationView::Attach(ControlRef control) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(control, &frame);
  CFRetain(control);
  Initialize(control, frame);
  InstallEventHandlers();
}

void MKRX_NavigationView::InstallEventHandlers() {
  EventTargetRef const target = SysEventTarget();
  PPx::ControlDrawDoer::Install(target);
  PPx::ControlGetPartRegionDoer::Install(target);
  PPx::ControlHitTestDoer::Install(target);
  PPx::ControlTrackDoer::Install(target);
  if (WindowRef window = GetSysWindow())
    PPx::MouseMovedDoer::Install(GetWindowEventTarget(window));
  PPx::MouseEnteredDoer::Install(target);
  PPx::MouseExitedDoer::Install(target);
  if (WindowRef window = GetSysWindow()) {
    HIRect const frame = GetFrame();
    Rect const bounds = {static_cast<short>(frame.origin.y), static_cast<short>(frame.origin.x),
                         static_cast<short>(CGRectGetMaxY(frame)),
                         static_cast<short>(CGRectGetMaxX(frame))};
    RgnHandle region = NewRgn();
    if (region) {
      RectRgn(region, &bounds);
      CreateMouseTrackingRegion(window, region, nullptr, 0, kTrackingID, nullptr, target,
                                &m_MouseTrackingRegion);
      DisposeRgn(region);
    }
  }
}

CGRect MKRX_NavigationView::Bounds() const {
  HIRect const frame = GetFrame();
  return CGRectMake(0, 0, frame.size.width, frame.size.height);
}

void MKRX_NavigationView::Redraw() {
  if (GetSysView())
    SetNeedsDisplay();
}

// ---------------------------------------------------------------------------------------------
// Binding

void MKRX_NavigationView::SetSheetView(MKRX_SheetView* view) {
  m_Image.Reset(nullptr);
  m_SheetView = view;
  m_Sheet = view->GetSheet();
  m_ThumbnailScale = m_Sheet ? static_cast<long>(m_Sheet->GetScale()) : 0;
  m_Rotation = view->GetRotation();
  m_ShowPageEdges = view->ShowPageEdges();
  m_ShowPageNumbers = view->ShowPageNumbers();
  CGRect const bounds = Bounds();
  m_ImageRect =
      Sideways(m_Rotation) ? CGRectMake(0, 0, bounds.size.height, bounds.size.width) : bounds;
  // The side not shown first, so that a side without separations keeps the other's picture.
  bool const backShown = view->IsPageFlipped();
  GenerateImage(backShown);
  GenerateImage(!backShown);

  GLIB_MessageDispatcher const& sheet = view->Dispatcher();
  sheet.Register(new GLIB_Callback<MKRX_NavigationView, MKRX_SheetViewFrameChangedMessage>(
      this, &MKRX_NavigationView::DoSheetViewFrameChanged));
  sheet.Register(new GLIB_Callback<MKRX_NavigationView, MKRX_ShowThumbnailMessage>(
      this, &MKRX_NavigationView::DoShowThumbnail));
  sheet.Register(new GLIB_Callback<MKRX_NavigationView, MKRX_SetShowPageEdgesMessage>(
      this, &MKRX_NavigationView::DoSetShowPageEdges));
  sheet.Register(new GLIB_Callback<MKRX_NavigationView, MKRX_SetShowPageNumbersMessage>(
      this, &MKRX_NavigationView::DoSetShowPageNumbers));
  Register(new GLIB_Callback<MKRX_SheetView, MKRX_NavigationViewFrameMovedMessage>(
      view, &MKRX_SheetView::DoNavigationViewFrameMoved));
  Register(new GLIB_Callback<MKRX_SheetView, MKRX_NavigationViewFrameResizedMessage>(
      view, &MKRX_SheetView::DoNavigationViewFrameResized));
  Redraw();
}

void MKRX_NavigationView::RemoveSheetView(MKRX_SheetView* view) {
  // By the view, not by its sheet: a view given a new sheet is still the one bound.
  if (view == nullptr || view != m_SheetView)
    return;
  Unregister(view);
  view->Dispatcher().Unregister(this);
  m_Image.Reset(nullptr);
  m_Sheet = nullptr;
  m_SheetView = nullptr;
  Redraw();
}

void MKRX_NavigationView::GenerateImage(bool front) {
  if (m_Sheet == nullptr)
    return;
  IMPN_Surface& surface = front ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
  if (surface.HasSeparations()) {
    if (IMPN_ThumbnailImage* thumbnail = surface.GetThumbnailImage()) {
      if (static_cast<long>(surface.GetTimeStamp()) > thumbnail->GetBitMap().timeStamp)
        thumbnail->GenerateThumbnailImage(!m_Sheet->GetVersionNames().empty());
      SetupImage(thumbnail->GetBitMap());
    }
    m_ShowThrough = false;
  } else {
    m_ShowThrough = true;
  }
  m_Front = front;
}

void MKRX_NavigationView::SetupImage(IMPN_BitMap const& bitmap) {
  if (bitmap.pixels == nullptr || bitmap.rect.width <= 0 || bitmap.rect.height <= 0) {
    m_Image.Reset(nullptr);
    return;
  }
  std::size_t const height = static_cast<std::size_t>(bitmap.rect.height);
  CGDataProviderRef provider = CGDataProviderCreateWithData(
      nullptr, bitmap.pixels, static_cast<std::size_t>(bitmap.rowBytes) * height, nullptr);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGImageRef image = provider && space
                         ? CGImageCreate(static_cast<std::size_t>(bitmap.rect.width), height, 8, 32,
                                         bitmap.rowBytes, space, kCGImageAlphaNoneSkipLast,
                                         provider, nullptr, true, kCGRenderingIntentDefault)
                         : nullptr;
  CGColorSpaceRelease(space);
  CGDataProviderRelease(provider);
  m_Image.Reset(image);
}

// ---------------------------------------------------------------------------------------------
// What the sheet view says

void MKRX_NavigationView::SetViewFrame(CGRect const& frame) {
  m_ViewFrame = frame;
  Redraw();
}

void MKRX_NavigationView::DoSheetViewFrameChanged(
    MKRX_SheetViewFrameChangedMessage const& message) {
  CGRect const& f = message.GetValue();
  CGFloat const w = m_ImageRect.size.width;
  CGFloat const h = m_ImageRect.size.height;
  SetViewFrame(CGRectMake(f.origin.x * w, f.origin.y * h, f.size.width * w, f.size.height * h));
}

void MKRX_NavigationView::DoShowThumbnail(MKRX_ShowThumbnailMessage const& message) {
  GenerateImage(message.GetValue());
  Redraw();
}

void MKRX_NavigationView::DoSetShowPageEdges(MKRX_SetShowPageEdgesMessage const& message) {
  m_ShowPageEdges = message.GetValue();
  Redraw();
}

void MKRX_NavigationView::DoSetShowPageNumbers(MKRX_SetShowPageNumbersMessage const& message) {
  m_ShowPageNumbers = message.GetValue();
  Redraw();
}

// ---------------------------------------------------------------------------------------------
// Drawing

OSStatus MKRX_NavigationView::DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode,
                                            RgnHandle, CGContextRef context) {
  Draw(context);
  return noErr;
}

void MKRX_NavigationView::Draw(CGContextRef cg) {
  if (m_Sheet == nullptr)
    return;
  MKRX_DrawContext context(cg);
  SavedState const saved(cg);
  if (m_Image.IsNull()) {
    CGContextSetRGBFillColor(cg, 1, 1, 1, 1);
    CGContextFillRect(cg, Bounds());
  } else {
    DrawImage(cg);
    IMPN_Surface const& shown = m_Front ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
    DrawPageEdges(context, shown.GetPageEdges(), m_ShowThrough, m_ShowPageEdges, m_ShowPageNumbers);
    DrawFrame(context);
  }
  CGContextFlush(cg);
}

void MKRX_NavigationView::RotateContext(CGContextRef cg) const {
  CGFloat const w = static_cast<CGFloat>(m_Sheet->GetThumbnailWidth());
  CGFloat const h = static_cast<CGFloat>(m_Sheet->GetThumbnailLength());
  switch (m_Rotation) {
    case 90:
      CGContextTranslateCTM(cg, h, 0);
      CGContextRotateCTM(cg, Pi() / 2);
      break;
    case 180:
      CGContextTranslateCTM(cg, w, h);
      CGContextRotateCTM(cg, Pi());
      break;
    case 270:
      CGContextTranslateCTM(cg, 0, w);
      CGContextRotateCTM(cg, -Pi() / 2);
      break;
    default:
      break;
  }
}

void MKRX_NavigationView::DrawImage(CGContextRef cg) const {
  SavedState const saved(cg);
  RotateContext(cg);
  CGContextTranslateCTM(cg, 0, m_ImageRect.size.height);
  CGContextScaleCTM(cg, 1, -1);
  if (m_ShowThrough) {
    // The other surface's picture, seen through the sheet: mirrored left to right.
    CGContextTranslateCTM(cg, m_ImageRect.size.width, 0);
    CGContextScaleCTM(cg, -1, 1);
  }
  CGContextDrawImage(cg, m_ImageRect, m_Image.Get());
}

void MKRX_NavigationView::DrawPageEdges(MKRX_DrawContext& context,
                                        std::vector<IMPN_PageEdge> const& edges, bool mirrored,
                                        bool showEdges, bool showNumbers) const {
  // A sheet whose files vanished has no scale: there is nothing to place the pages with.
  if (m_ThumbnailScale <= 0 || (!showEdges && !showNumbers))
    return;
  CGContextRef const cg = context.Get();
  SavedState const saved(cg);
  RotateContext(cg);
  context.SetStrokeColor(IMPN_Preferences::sm_PageEdgeColor);
  context.SetFillColor(IMPN_Preferences::sm_PageEdgeColor);
  CGContextSetLineWidth(cg, 1);
  if (mirrored) {
    CGFloat const dash[2] = {2, 2};
    CGContextSetLineDash(cg, 0, dash, 2);
  }
  std::string const& font = MKRX_Utils::GetThemeFontPostScriptName();
  ATSFontMetrics const& metrics = MKRX_Utils::GetThemeFontMetrics();
  float const factor = 1.0f / static_cast<float>(m_ThumbnailScale);
  for (IMPN_PageEdge const& page : edges) {
    CGRect const r = MKRX_Utils::ScaleCGRect(
        CGRectMake(page.rect.left, page.rect.top, page.rect.width, page.rect.height), factor);
    CGFloat const s = r.size.width < r.size.height ? r.size.width : r.size.height;
    if (showEdges) {
      CGFloat const notch = 0.16f * s;
      CGFloat const bar = 0.04f * s;
      SavedState const turned(cg);
      CGFloat along = r.size.width;
      CGFloat down = r.size.height;
      switch (page.orientation) {
        case 1:
          CGContextTranslateCTM(cg, r.origin.x + r.size.width, r.origin.y + r.size.height);
          CGContextRotateCTM(cg, Pi());
          break;
        case 2:
          CGContextTranslateCTM(cg, r.origin.x + r.size.width, r.origin.y);
          CGContextRotateCTM(cg, Pi() / 2);
          along = r.size.height;
          down = r.size.width;
          break;
        case 3:
          CGContextTranslateCTM(cg, r.origin.x, r.origin.y + r.size.height);
          CGContextRotateCTM(cg, -Pi() / 2);
          along = r.size.height;
          down = r.size.width;
          break;
        default:
          // An unknown orientation stands as orientation 0.
          CGContextTranslateCTM(cg, r.origin.x, r.origin.y);
          break;
      }
      CGContextBeginPath(cg);
      CGContextMoveToPoint(cg, 0, 0);
      CGContextAddLineToPoint(cg, along - notch, 0);
      CGContextAddLineToPoint(cg, along - notch, notch);
      CGContextAddLineToPoint(cg, along, notch);
      CGContextAddLineToPoint(cg, along - notch, 0);
      CGContextAddLineToPoint(cg, along, 0);
      CGContextAddLineToPoint(cg, along, down);
      CGContextAddLineToPoint(cg, 0, down);
      CGContextAddLineToPoint(cg, 0, 0);
      CGContextClosePath(cg);
      CGContextStrokePath(cg);
      CGRect const head = CGRectMake(bar, 1.5f * bar, along - 2 * bar - notch, bar);
      if (mirrored)
        CGContextStrokeRect(cg, head);
      else
        CGContextFillRect(cg, head);
    }
    if (showNumbers) {
      SavedState const text(cg);
      char number[16];
      std::snprintf(number, sizeof number, "%d", static_cast<int>(page.pageNumber));
      CGFloat const size = s / 2.5f;
      CGContextSelectFont(cg, font.c_str(), size, kCGEncodingMacRoman);
      CGFloat const tw = context.MeasureTextWidth(number);
      CGFloat const th = size * metrics.ascent - size * metrics.descent;
      CGFloat const mx = r.origin.x + r.size.width / 2;
      CGFloat const my = r.origin.y + r.size.height / 2;
      // Upright on screen whatever the turn.
      switch (m_Rotation) {
        case 90:
          CGContextTranslateCTM(cg, mx + th / 2, my + tw / 2);
          context.MirrorAboutYAxis();
          CGContextRotateCTM(cg, -Pi() / 2);
          break;
        case 180:
          CGContextTranslateCTM(cg, mx + tw / 2, my - th / 2);
          context.MirrorAboutYAxis();
          break;
        case 270:
          CGContextTranslateCTM(cg, mx - th / 2, my - tw / 2);
          context.MirrorAboutXAxis();
          CGContextRotateCTM(cg, -Pi() / 2);
          break;
        default:
          CGContextTranslateCTM(cg, mx - tw / 2, my + th / 2);
          context.MirrorAboutXAxis();
          break;
      }
      CGContextSetTextDrawingMode(cg, kCGTextFillStroke);
      CGContextShowTextAtPoint(cg, 0, 0, number, std::strlen(number));
    }
  }
}

void MKRX_NavigationView::DrawFrame(MKRX_DrawContext& context) const {
  CGContextRef const cg = context.Get();
  SavedState const saved(cg);
  context.SetFillColor(IMPN_Preferences::sm_NavigationScreen);
  CGContextBeginPath(cg);
  CGContextAddRect(cg, Bounds());
  CGContextAddRect(cg, m_ViewFrame);
  CGContextEOFillPath(cg);
  context.SetStrokeColor(IMPN_Preferences::sm_NavigationFrame);
  CGContextSetShouldAntialias(cg, false);
  CGContextStrokeRect(cg, m_ViewFrame);
}

// ---------------------------------------------------------------------------------------------
// Mouse

OSStatus MKRX_NavigationView::DoControlGetPartRegion(PPx::SysCarbonEvent&, ControlRef,
                                                     ControlPartCode part, RgnHandle region) {
  if (part != kOpaqueMetaPart || region == nullptr)
    return eventNotHandledErr;
  HIRect const frame = GetFrame();
  SetRectRgn(region, 0, 0, static_cast<short>(frame.size.width),
             static_cast<short>(frame.size.height));
  return noErr;
}

OSStatus MKRX_NavigationView::DoControlHitTest(PPx::SysCarbonEvent&, ControlRef, HIPoint where,
                                               ControlPartCode& part) {
  part = CGRectContainsPoint(Bounds(), where) ? kViewPart : ControlPartCode(kControlNoPart);
  return noErr;
}

void MKRX_NavigationView::SetCursorAt(CGPoint const& where) const {
  if (!CGRectContainsPoint(Bounds(), where))
    MKRX_CursorManager::SetArrowCursor();
  else if (CGRectContainsPoint(m_ViewFrame, where))
    MKRX_CursorManager::SetOpenHandCursor();
  else
    MKRX_CursorManager::SetCrossCursor();
}

OSStatus MKRX_NavigationView::DoMouseMoved(PPx::SysCarbonEvent& event, CGPoint const&) {
  HIPoint where = CGPointMake(0, 0);
  if (GetEventParameter(event.GetEventRef(), kEventParamWindowMouseLocation, typeHIPoint, nullptr,
                        sizeof where, nullptr, &where) == noErr &&
      GetSysWindow()) {
    HIViewConvertPoint(&where, HIViewGetRoot(GetSysWindow()), GetSysView());
    SetCursorAt(where);
  }
  return eventNotHandledErr;
}

OSStatus MKRX_NavigationView::DoMouseEntered(PPx::SysCarbonEvent& event, CGPoint const& where) {
  DoMouseMoved(event, where);
  return noErr;
}

OSStatus MKRX_NavigationView::DoMouseExited(PPx::SysCarbonEvent&, CGPoint const&) {
  MKRX_CursorManager::SetArrowCursor();
  return noErr;
}

OSStatus MKRX_NavigationView::DoControlTrack(PPx::SysCarbonEvent&, ControlRef, CGPoint const& where,
                                             UInt32, ControlActionUPP, ControlPartCode&) {
  Track(where);
  return noErr;
}

void MKRX_NavigationView::OffsetViewFrame(long dx, long dy) {
  CGRect const limits = Sideways(m_Rotation)
                            ? CGRectMake(m_ImageRect.origin.x, m_ImageRect.origin.y,
                                         m_ImageRect.size.height, m_ImageRect.size.width)
                            : m_ImageRect;
  CGRect f = m_ViewFrame;
  f.origin.x += dx;
  f.origin.y += dy;
  if (f.origin.x < limits.origin.x)
    f.origin.x = limits.origin.x;
  if (f.origin.x > limits.size.width - f.size.width)
    f.origin.x = limits.size.width - f.size.width;
  if (f.origin.y < limits.origin.y)
    f.origin.y = limits.origin.y;
  if (f.origin.y > limits.size.height - f.size.height)
    f.origin.y = limits.size.height - f.size.height;
  m_ViewFrame = f;
}

void MKRX_NavigationView::Track(CGPoint const& where) {
  CGRect const bounds = Bounds();
  if (!CGRectContainsPoint(bounds, where)) {
    MKRX_CursorManager::SetArrowCursor();
    SendMoved();
    return;
  }
  WindowRef const window = GetSysWindow();
  CGrafPtr const port = window ? GetWindowPort(window) : nullptr;
  HIRect const frame = GetFrame();
  auto next = [&](CGPoint& at) {
    Point p = {0, 0};
    MouseTrackingResult result = kMouseTrackingMouseUp;
    TrackMouseLocation(port, &p, &result);
    at = CGPointMake(p.h - frame.origin.x, p.v - frame.origin.y);
    return result;
  };
  if (CGRectContainsPoint(m_ViewFrame, where)) {
    // Dragging the frame.
    MKRX_CursorManager::SetClosedHandCursor();
    CGPoint previous = where;
    for (;;) {
      CGPoint at;
      MouseTrackingResult const result = next(at);
      if (result == kMouseTrackingMouseUp || result == kMouseTrackingUserCancelled)
        break;
      if (result != kMouseTrackingMouseDragged)
        continue;
      OffsetViewFrame(static_cast<long>(at.x - previous.x), static_cast<long>(at.y - previous.y));
      previous = at;
      Redraw();
    }
    MKRX_CursorManager::SetOpenHandCursor();
    SendMoved();
    return;
  }
  HIPoint global = where;
  HIViewConvertPoint(&global, GetSysView(), nullptr);
  Rect structure = {0, 0, 0, 0};
  if (window)
    GetWindowBounds(window, kWindowStructureRgn, &structure);
  Point const pressed = {static_cast<short>(global.y + structure.top),
                         static_cast<short>(global.x + structure.left)};
  if (WaitMouseMoved(pressed)) {
    // Drawing a new frame.
    for (;;) {
      CGPoint at;
      MouseTrackingResult const result = next(at);
      if (result == kMouseTrackingMouseUp || result == kMouseTrackingUserCancelled)
        break;
      if (result != kMouseTrackingMouseDragged)
        continue;
      CGRect const spanned = CGRectMake(std::min(where.x, at.x), std::min(where.y, at.y),
                                        std::fabs(at.x - where.x), std::fabs(at.y - where.y));
      CGRect const clipped = CGRectIntersection(spanned, bounds);
      m_ViewFrame = CGRectIsEmpty(clipped) ? CGRectMake(0, 0, 0, 0) : CGRectIntegral(clipped);
      Redraw();
    }
    SendResized();
    return;
  }
  // Centring the frame on the click.
  OffsetViewFrame(static_cast<long>(where.x - CGRectGetMidX(m_ViewFrame)),
                  static_cast<long>(where.y - CGRectGetMidY(m_ViewFrame)));
  Redraw();
  SendMoved();
}

bool MKRX_NavigationView::Fractions(CGRect& fractions) const {
  CGFloat const w = m_ImageRect.size.width;
  CGFloat const h = m_ImageRect.size.height;
  if (m_Sheet == nullptr || w <= 0 || h <= 0)
    return false;
  fractions = CGRectMake(m_ViewFrame.origin.x / w, m_ViewFrame.origin.y / h,
                         m_ViewFrame.size.width / w, m_ViewFrame.size.height / h);
  return true;
}

void MKRX_NavigationView::SendMoved() {
  CGRect fractions;
  if (Fractions(fractions))
    BroadcastMessage(MKRX_NavigationViewFrameMovedMessage(fractions));
}

void MKRX_NavigationView::SendResized() {
  CGRect fractions;
  if (Fractions(fractions))
    BroadcastMessage(MKRX_NavigationViewFrameResizedMessage(fractions));
}
