#include "PPXA/PPXA_ScrollableView.h"

#include <algorithm>
#include <cmath>

namespace PPXA {

namespace {

constexpr OSType kCantFindView = 0x63666e72;  // 'cfnr'

// The coordinate on a whole line when the line is longer than 1: the whole part of the
// coordinate rounds to the nearer line (half a line up); its fraction goes too, so the position
// lies on a line.
float Snap(float coordinate, float lineSize) {
  if (!(lineSize > 1.0f) || !std::isfinite(coordinate))
    return coordinate;
  const long line = static_cast<long>(lineSize);
  const long whole = static_cast<long>(std::max(-2e9f, std::min(2e9f, coordinate)));
  const long rest = whole % line;  // the sign of the coordinate
  float snapped = static_cast<float>(whole - rest);
  if (rest >= line / 2)
    snapped += lineSize;
  return snapped;
}

// Within 0 and the image's extent beyond the view (0 when the view is larger).
float Clamp(float coordinate, float image, float view) {
  if (!(coordinate > 0))
    return 0;
  const float most = view > image ? 0 : image - view;
  return std::min(coordinate, most);
}

}  // namespace

ScrollableView::~ScrollableView() {
  if (m_Retained)
    CFRelease(GetSysView());
}

void ScrollableView::Initialize(const CGRect& frame) {
  BaseView::Initialize(frame, GetFeatureFlags());
  CFRetain(GetSysView());  // released by the destructor
  m_Retained = true;
  EventTargetRef target = SysEventTarget();
  PPx::ScrollableGetInfoDoer::Install(target);
  PPx::ScrollableScrollToDoer::Install(target);
  PPx::ControlClickDoer::Install(target);
  PPx::ControlDrawDoer::Install(target);
}

void ScrollableView::SetImageSize(float width, float height, bool redraw) {
  m_ImageSize = CGSizeMake(width, height);
  ScrollTo(0, 0, false);
  if (redraw)
    HIViewSetNeedsDisplay(GetSysView(), true);
}

void ScrollableView::SetLineSize(float x, float y) {
  m_LineSize = CGSizeMake(x, y);
}

CGSize ScrollableView::ViewSize() const {
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &bounds);
  return bounds.size;
}

void ScrollableView::ScrollTo(float x, float y, bool redraw) {
  ScrollTo(CGPointMake(x, y));
  NotifyScrollView();
  if (redraw)
    HIViewSetNeedsDisplay(GetSysView(), true);
}

void ScrollableView::ScrollBy(float dx, float dy, bool redraw) {
  ScrollTo(static_cast<float>(m_Origin.x + dx), static_cast<float>(m_Origin.y + dy), redraw);
}

void ScrollableView::ScrollTo(const CGPoint& target) {
  const CGSize frame = GetFrame().size;
  const float x = Clamp(Snap(static_cast<float>(target.x), static_cast<float>(m_LineSize.width)),
                        static_cast<float>(m_ImageSize.width), static_cast<float>(frame.width));
  const float y = Clamp(Snap(static_cast<float>(target.y), static_cast<float>(m_LineSize.height)),
                        static_cast<float>(m_ImageSize.height), static_cast<float>(frame.height));
  const CGFloat dx = m_Origin.x - x;
  const CGFloat dy = m_Origin.y - y;
  HIViewScrollRect(GetSysView(), nullptr, dx, dy);
  m_Origin = CGPointMake(x, y);
}

CGPoint ScrollableView::ViewToImagePoint(const CGPoint& p) const {
  return CGPointMake(p.x + m_Origin.x, p.y + m_Origin.y);
}

CGPoint ScrollableView::ImageToViewPoint(const CGPoint& p) const {
  return CGPointMake(p.x - m_Origin.x, p.y - m_Origin.y);
}

void ScrollableView::NotifyScrollView() {
  HIViewRef superview = HIViewGetSuperview(GetSysView());
  if (superview == nullptr)
    return;
  EventRef changed = nullptr;
  if (CreateEvent(nullptr, kEventClassScrollable, kEventScrollableInfoChanged,
                  GetCurrentEventTime(), kEventAttributeUserEvent, &changed) != noErr)
    return;
  SendEventToEventTarget(changed, GetControlEventTarget(superview));
  ReleaseEvent(changed);
}

OSStatus ScrollableView::DoScrollableGetInfo(PPx::SysCarbonEvent&, CGSize& imageSize,
                                             CGSize& viewSize, CGSize& lineSize, CGPoint& origin) {
  imageSize = m_ImageSize;
  viewSize = ViewSize();
  lineSize = m_LineSize;
  origin = m_Origin;
  return noErr;
}

OSStatus ScrollableView::DoScrollableScrollTo(PPx::SysCarbonEvent&, const CGPoint& origin) {
  ScrollTo(origin);
  return noErr;
}

OSStatus ScrollableView::DoControlClick(PPx::SysCarbonEvent& event, ControlRef,
                                        const CGPoint& globalMouse) {
  UInt32 modifiers = 0;
  if (event.GetParameter(kEventParamKeyModifiers, typeUInt32, modifiers) != noErr)
    modifiers = 0;
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(GetSysWindow(), kWindowStructureRgn, &structure);
  HIPoint point = CGPointMake(globalMouse.x - structure.left, globalMouse.y - structure.top);
  HIViewConvertPoint(&point, nullptr, GetSysView());
  return DoControlClick(event, point, modifiers);
}

OSStatus ScrollableView::DoControlClick(PPx::SysCarbonEvent&, const CGPoint&, UInt32) {
  return eventNotHandledErr;
}

OSStatus ScrollableView::DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode,
                                       RgnHandle region, CGContextRef context) {
  CGContextSaveGState(context);
  CGContextTranslateCTM(context, -m_Origin.x, -m_Origin.y);
  const OSStatus status = DoControlDraw(region, context);
  CGContextRestoreGState(context);
  return status;
}

void ScrollView::Attach(ControlRef scrollView) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(scrollView, &frame);
  CFRetain(scrollView);
  Initialize(scrollView, frame);
}

void ScrollView::SetView(ScrollableView* view) {
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &bounds);
  AddView(view, bounds);
}

void ScrollView::SetView(ScrollableView* view, const ControlID& placeholder) {
  HIViewRef found = nullptr;
  if (HIViewFindByID(GetSysView(), placeholder, &found) != noErr || found == nullptr)
    throw PPx::RuntimeError(kCantFindView, "ScrollView can't find view to replace");
  HIViewSetVisible(found, false);
  // Read before the removal: it releases the superview's reference, the placeholder's last.
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(found, &bounds);
  HIViewRemoveFromSuperview(found);
  AddView(view, bounds);
}

void ScrollView::AddView(ScrollableView* view, const HIRect& bounds) {
  view->Initialize(bounds);
  view->SetVisible(true);
  PPx::ThrowIfOSStatus(HIViewAddSubview(GetSysView(), view->GetSysView()),
                       "HIViewAddSubview failed");
  m_View = view;
}

}  // namespace PPXA
