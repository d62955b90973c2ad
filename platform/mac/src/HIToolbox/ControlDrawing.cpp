// The standard drawing of the stand-in's views: window frames and the system's controls, in the
// plain theme (see HIToolbox/Controls.h and Appearance/iStandInTheme.h).
#include "iStandInControlDrawing.h"

#include "iStandInToolbox.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreGraphics/CGDataProvider.h>
#include <CoreGraphics/CGImage.h>

#include "../Appearance/iStandInAppearance.h"
#include "../Appearance/iStandInTheme.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace {

using namespace standin_theme;

constexpr CGFloat kCheckBox = 12;
constexpr CGFloat kPopupArrowWidth = 20;
constexpr CGFloat kTabHeight = 22;
constexpr CGFloat kTrackThickness = 4;
constexpr CGFloat kThumbLength = 10;
constexpr CGFloat kThumbBreadth = 16;
constexpr CGFloat kLineHeight = 17;

// The state of a control that its look depends on.
struct State {
  bool enabled;
  bool pressed;
  bool focused;

  Look BevelLook() const {
    return !enabled ? Look::kDisabled : pressed ? Look::kPressed : Look::kNormal;
  }
  UInt32 TextColour() const { return enabled ? kText : kTextDisabled; }
};

State StateOf(StandIn_ViewImpl& view) {
  const StandIn_ViewImpl* root = standin_tb::RootOf(&view);
  // A control in an inactive state (its window in the back) looks disabled.
  return State{view.m_Enabled && view.m_Active, view.m_Hilite != kControlNoPart,
               root != nullptr && root->m_Focus == &view};
}

CGRect Bounds(const StandIn_ViewImpl& view) {
  return CGRectMake(0, 0, view.m_Frame.size.width, view.m_Frame.size.height);
}

// The value's place between minimum and maximum, 0 to 1.
CGFloat Fraction(const StandIn_ViewImpl& view) {
  const double range = double(view.m_Maximum) - view.m_Minimum;
  if (range <= 0)
    return 0;
  return static_cast<CGFloat>(
      std::clamp((double(view.m_Value) - view.m_Minimum) / range, 0.0, 1.0));
}

// A ring inside the bounds: focused controls fill their own edge with it.
void InnerFocusRing(CGContextRef context, const CGRect& bounds) {
  FocusRing(context, CGRectInset(bounds, 2, 2));
}

void DrawPushButton(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  Bevel(context, bounds, state.BevelLook());
  Text(context, view.m_Title, CGRectInset(bounds, 6, 0), kSystemSize, state.TextColour(),
       Align::kCentre);
  if (state.focused)
    InnerFocusRing(context, bounds);
}

void DrawCheckBox(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  const CGRect box =
      CGRectMake(2, std::floor((bounds.size.height - kCheckBox) / 2), kCheckBox, kCheckBox);
  Fill(context, box, !state.enabled ? kFaceDisabled : state.pressed ? kFacePressed : kField);
  Frame(context, box, state.enabled ? kFrame : kFrameDisabled);
  const CGRect mark = CGRectInset(box, 2, 2);
  const UInt32 markColour = state.enabled ? kSelection : kFillDisabled;
  if (view.m_Value == kControlCheckBoxCheckedValue) {
    // A filled mark with a white tick through its middle.
    Fill(context, mark, markColour);
    CGContextSetRGBStrokeColor(context, 1, 1, 1, 1);
    CGContextSetLineWidth(context, 1.5);
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, mark.origin.x + 1.5, mark.origin.y + 4);
    CGContextAddLineToPoint(context, mark.origin.x + 3.5, mark.origin.y + 6.5);
    CGContextAddLineToPoint(context, mark.origin.x + 6.5, mark.origin.y + 1.5);
    CGContextStrokePath(context);
  } else if (view.m_Value == kControlCheckBoxMixedValue) {
    Fill(context, mark, markColour);
    Fill(context, CGRectMake(mark.origin.x + 1, CGRectGetMidY(mark) - 1, mark.size.width - 2, 2),
         kSelectedText);
  }
  if (state.focused)
    FocusRing(context, box);
  const CGFloat textLeft = CGRectGetMaxX(box) + 6;
  Text(context, view.m_Title,
       CGRectMake(textLeft, 0, std::max<CGFloat>(0, bounds.size.width - textLeft),
                  bounds.size.height),
       kSystemSize, state.TextColour());
}

void DrawPopupButton(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  Bevel(context, bounds, state.BevelLook());
  // The chosen item's text, else the title.
  std::u16string shown = view.m_Title;
  const standin_tb::MenuLook menu = standin_tb::LookOf(view.m_Menu.Get());
  if (view.m_Value >= 1 && static_cast<std::size_t>(view.m_Value) <= menu.items.size())
    shown = menu.items[static_cast<std::size_t>(view.m_Value) - 1].text;
  Text(context, shown,
       CGRectMake(8, 0, std::max<CGFloat>(0, bounds.size.width - 8 - kPopupArrowWidth),
                  bounds.size.height),
       kSystemSize, state.TextColour());
  const CGFloat arrowLeft = bounds.size.width - kPopupArrowWidth;
  Fill(context, CGRectMake(arrowLeft, 3, 1, std::max<CGFloat>(0, bounds.size.height - 6)),
       state.enabled ? kFrame : kFrameDisabled);
  Triangle(context, CGRectMake(arrowLeft + 6, bounds.size.height / 2 - 2, 8, 5), Direction::kDown,
           state.TextColour());
  if (state.focused)
    InnerFocusRing(context, bounds);
}

void DrawSlider(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  const bool vertical = bounds.size.height > bounds.size.width;
  const CGFloat length = vertical ? bounds.size.height : bounds.size.width;
  const CGFloat breadth = vertical ? bounds.size.width : bounds.size.height;
  const CGFloat start = kThumbLength / 2;
  const CGFloat travel = std::max<CGFloat>(0, length - kThumbLength);
  // Vertical sliders grow upwards, as the Mac's do.
  const CGFloat fraction = Fraction(view);
  const CGFloat at = vertical ? start + travel * (1 - fraction) : start + travel * fraction;
  auto place = [&](CGFloat along, CGFloat across, CGFloat alongSize, CGFloat acrossSize) {
    return vertical ? CGRectMake(across, along, acrossSize, alongSize)
                    : CGRectMake(along, across, alongSize, acrossSize);
  };
  const CGFloat trackAcross = std::floor((breadth - kTrackThickness) / 2);
  const CGRect track = place(start, trackAcross, travel, kTrackThickness);
  Fill(context, track, kField);
  const CGRect filled = vertical ? place(at, trackAcross, start + travel - at, kTrackThickness)
                                 : place(start, trackAcross, at - start, kTrackThickness);
  Fill(context, filled, state.enabled ? kSelection : kFillDisabled);
  Frame(context, track, state.enabled ? kFrame : kFrameDisabled);
  const CGRect thumb =
      place(std::round(at - kThumbLength / 2), std::floor((breadth - kThumbBreadth) / 2),
            kThumbLength, kThumbBreadth);
  Bevel(context, thumb, state.BevelLook());
  if (state.focused)
    FocusRing(context, thumb);
}

void DrawProgressBar(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  Fill(context, bounds, kField);
  const CGRect inner = CGRectInset(bounds, 1, 1);
  auto found = view.m_Data.find(0x696e6465);  // 'inde': indeterminate
  const bool indeterminate =
      found != view.m_Data.end() &&
      std::any_of(found->second.begin(), found->second.end(), [](UInt8 b) { return b != 0; });
  if (indeterminate) {
    // Stripes, dark and light, 8 points each.
    for (CGFloat x = 0; x < inner.size.width; x += 16)
      Fill(context,
           CGRectMake(inner.origin.x + x, inner.origin.y,
                      std::min<CGFloat>(8, inner.size.width - x), inner.size.height),
           state.enabled ? kSelection : kFillDisabled);
    for (CGFloat x = 8; x < inner.size.width; x += 16)
      Fill(context,
           CGRectMake(inner.origin.x + x, inner.origin.y,
                      std::min<CGFloat>(8, inner.size.width - x), inner.size.height),
           state.enabled ? kSelectionLight : kFaceDisabled);
  } else {
    Fill(context,
         CGRectMake(inner.origin.x, inner.origin.y, std::round(inner.size.width * Fraction(view)),
                    inner.size.height),
         state.enabled ? kSelection : kFillDisabled);
  }
  Frame(context, bounds, state.enabled ? kFrame : kFrameDisabled);
}

void DrawStaticText(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  WrappedText(context, standin_tb::Units(view.m_Text.Get()), Bounds(view), kSystemSize,
              state.TextColour(), kLineHeight);
}

// Tabs side by side, centred over a framed pane that starts half way down them.
void DrawTabs(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  Frame(context,
        CGRectMake(0, kTabHeight / 2, bounds.size.width,
                   std::max<CGFloat>(0, bounds.size.height - kTabHeight / 2)),
        state.enabled ? kFrame : kFrameDisabled);
  std::vector<CGFloat> widths;
  CGFloat total = 0;
  for (const std::u16string& title : view.m_Items) {
    widths.push_back(std::ceil(TextWidth(title, kSmallSize)) + 24);
    total += widths.back();
  }
  CGFloat x = std::floor((bounds.size.width - total) / 2);
  for (std::size_t i = 0; i < view.m_Items.size(); ++i) {
    const CGRect tab = CGRectMake(x, 0, widths[i], kTabHeight);
    const bool selected = static_cast<std::size_t>(view.m_Value) == i + 1;
    const bool pressed = static_cast<std::size_t>(view.m_Hilite) == i + 1;
    UInt32 text = state.TextColour();
    if (selected && state.enabled) {
      Fill(context, tab, kSelection);
      Frame(context, tab, kFrame);
      text = kSelectedText;
    } else {
      Bevel(context, tab,
            !state.enabled ? Look::kDisabled
            : pressed      ? Look::kPressed
                           : Look::kNormal);
    }
    Text(context, view.m_Items[i], tab, kSmallSize, text, Align::kCentre);
    if (selected && state.focused)
      FocusRing(context, tab);
    x += widths[i];
  }
}

void DrawTextView(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  Fill(context, bounds, state.enabled ? kField : kFaceDisabled);
  Frame(context, bounds, state.enabled ? kFrame : kFrameDisabled);
  if (view.m_TextObject) {
    const TXNMargins& margins = view.m_TextObject->margins;
    const CGRect text = CGRectMake(4 + margins.leftMargin, 3 + margins.topMargin,
                                   bounds.size.width - 8 - margins.leftMargin - margins.rightMargin,
                                   bounds.size.height - 6 - margins.topMargin);
    WrappedText(context, view.m_TextObject->text, text, kViewsSize, state.TextColour(),
                kLineHeight);
  }
  if (state.focused)
    InnerFocusRing(context, bounds);
}

void DrawPlacard(StandIn_ViewImpl& view, CGContextRef context) {
  standin_appearance::DrawPlacard(context, Bounds(view), StateOf(view).enabled);
}

// The picture an icon or image view's nib names: a PNG resource of the main bundle ("name.png",
// or "name" with a ".png" looked for), read once.
CGImageRef ContentImage(StandIn_ViewImpl& view) {
  if (view.m_ContentRead)
    return view.m_ContentImage.Get();
  view.m_ContentRead = true;
  CFBundleRef bundle = CFBundleGetMainBundle();
  if (bundle == nullptr || view.m_Content.empty())
    return nullptr;
  std::string name = view.m_Content;
  const std::string suffix = ".png";
  if (name.size() > suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
    name.resize(name.size() - suffix.size());
  CFHeld<CFStringRef> resource(standin_tb::NewString(name));
  CFHeld<CFURLRef> url(CFBundleCopyResourceURL(bundle, resource.Get(), CFSTR("png"), nullptr));
  if (url.Get() == nullptr)
    return nullptr;
  CGDataProviderRef provider = CGDataProviderCreateWithURL(url.Get());
  if (provider == nullptr)
    return nullptr;
  view.m_ContentImage.Reset(
      CGImageCreateWithPNGDataProvider(provider, nullptr, false, kCGRenderingIntentDefault));
  CGDataProviderRelease(provider);
  return view.m_ContentImage.Get();
}

// An icon shows its picture shrunk to fit (it never grows), centred, at half alpha while pressed
// or disabled; without one it draws as Icon Services draws an icon without a picture, a mid-grey
// square of up to 32 points.
void DrawIcon(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  if (CGImageRef image = ContentImage(view)) {
    const CGFloat width = CGImageGetWidth(image), height = CGImageGetHeight(image);
    const CGFloat scale = std::min<CGFloat>({1, bounds.size.width / std::max<CGFloat>(1, width),
                                             bounds.size.height / std::max<CGFloat>(1, height)});
    const CGSize size = CGSizeMake(width * scale, height * scale);
    Picture(context, image,
            CGRectMake(std::floor((bounds.size.width - size.width) / 2),
                       std::floor((bounds.size.height - size.height) / 2), size.width, size.height),
            !state.enabled || state.pressed);
    return;
  }
  const CGFloat side = std::min<CGFloat>({32, bounds.size.width, bounds.size.height});
  const CGRect square = CGRectMake(std::floor((bounds.size.width - side) / 2),
                                   std::floor((bounds.size.height - side) / 2), side, side);
  Fill(context, square, !state.enabled ? kFrameDisabled : state.pressed ? 0x555555 : kFrame);
}

// A nib's image view shows its picture at its top left, at the picture's size.
void DrawImage(StandIn_ViewImpl& view, CGContextRef context) {
  if (CGImageRef image = ContentImage(view))
    Picture(context, image, CGRectMake(0, 0, CGImageGetWidth(image), CGImageGetHeight(image)),
            false);
}

void DrawGrowBox(StandIn_ViewImpl& view, CGContextRef context) {
  const CGRect bounds = Bounds(view);
  // Three short diagonal ridges in the corner.
  CGContextSetRGBStrokeColor(context, 0.5, 0.5, 0.5, 1);
  CGContextSetLineWidth(context, 1);
  CGContextBeginPath(context);
  for (CGFloat d = 4; d <= 12; d += 4) {
    CGContextMoveToPoint(context, bounds.size.width - d, bounds.size.height - 1);
    CGContextAddLineToPoint(context, bounds.size.width - 1, bounds.size.height - d);
  }
  CGContextStrokePath(context);
}

// One scroll bar: a track and, when the image is larger than the view, a thumb whose size and
// place follow the visible part.
void DrawScrollBar(CGContextRef context, const CGRect& track, bool vertical, CGFloat image,
                   CGFloat shown, CGFloat origin, bool enabled) {
  Fill(context, track, kFaceDisabled);
  Frame(context, track, kFrameDisabled);
  if (image <= shown || image <= 0)
    return;
  const CGRect inner = CGRectInset(track, 2, 2);
  const CGFloat length = vertical ? inner.size.height : inner.size.width;
  const CGFloat thumb = std::max<CGFloat>(16, std::round(length * shown / image));
  const CGFloat at =
      std::round((length - thumb) * std::clamp<CGFloat>(origin / (image - shown), 0, 1));
  const CGRect place = vertical ? CGRectMake(inner.origin.x, inner.origin.y + at, inner.size.width,
                                             std::min(thumb, length))
                                : CGRectMake(inner.origin.x + at, inner.origin.y,
                                             std::min(thumb, length), inner.size.height);
  Bevel(context, place, enabled ? Look::kNormal : Look::kDisabled);
}

void DrawScrollBars(StandIn_ViewImpl& view, CGContextRef context) {
  const State state = StateOf(view);
  const CGRect bounds = Bounds(view);
  const StandIn_ScrollInfo& info = view.m_ScrollInfo;
  const CGFloat bar = standin_tb::kScrollBarWidth;
  const CGFloat right = bounds.size.width - bar;
  const CGFloat bottom = bounds.size.height - bar;
  DrawScrollBar(context, CGRectMake(right, 0, bar, std::max<CGFloat>(0, bottom + 1)), true,
                info.imageSize.height, info.viewSize.height, info.origin.y, state.enabled);
  DrawScrollBar(context, CGRectMake(0, bottom, std::max<CGFloat>(0, right + 1), bar), false,
                info.imageSize.width, info.viewSize.width, info.origin.x, state.enabled);
  Fill(context, CGRectMake(right + 1, bottom + 1, bar - 1, bar - 1), kFaceDisabled);
}

using Drawer = std::function<void(StandIn_ViewImpl&, CGContextRef)>;

const std::map<std::string, Drawer>& Drawers() {
  static const std::map<std::string, Drawer> drawers{
      {"push", DrawPushButton}, {"check", DrawCheckBox},       {"popup", DrawPopupButton},
      {"slider", DrawSlider},   {"progress", DrawProgressBar}, {"statictext", DrawStaticText},
      {"tab", DrawTabs},        {"textview", DrawTextView},    {"placard", DrawPlacard},
      {"icon", DrawIcon},       {"image", DrawImage},          {"growbox", DrawGrowBox},
  };
  return drawers;
}

void DrawWindowFrame(StandIn_ViewImpl& root, CGContextRef context) {
  const standin_tb::WindowFrameLook look = standin_tb::FrameLookOf(root.m_Window);
  if (look.titleBar == 0)
    return;
  const CGFloat width = root.m_Frame.size.width;
  const CGFloat band = look.titleBar;
  Fill(context, CGRectMake(0, 0, width, band), look.active ? kTitleBand : kTitleBandInactive);
  Fill(context, CGRectMake(0, band - 1, width, 1), kFrame);
  // The boxes lie where FindWindow looks for them: 12 wide, from 8, 28 and 48 points in.
  const struct {
    bool shown;
    CGFloat left;
    UInt32 colour;
  } boxes[] = {{look.closeBox, 8, kCloseBox},
               {look.collapseBox, 28, kCollapseBox},
               {look.zoomBox, 48, kZoomBox}};
  for (const auto& box : boxes)
    if (box.shown)
      Disc(context, CGRectMake(box.left, std::floor((band - 12) / 2), 12, 12),
           look.active ? box.colour : kBoxInactive);
  Text(context, look.title, CGRectMake(68, 0, std::max<CGFloat>(0, width - 136), band - 1),
       kSystemSize, look.active ? kText : kTextDisabled, Align::kCentre);
}

CGContextRef ContextOf(EventRef event) {
  CGContextRef context = nullptr;
  standin_tb::Get(event, kEventParamCGContextRef, typeCGContextRef, &context);
  return context;
}

}  // namespace

namespace standin_tb {

OSStatus DrawStandardView(StandIn_ViewImpl* view, EventRef event) {
  if (view->m_Browser)
    return DrawBrowser(view, event);
  CGContextRef context = ContextOf(event);
  if (context == nullptr)
    return eventNotHandledErr;
  if (view->m_Kind == "root" && view->m_Window) {
    DrawWindowFrame(*view, context);
    return noErr;
  }
  auto found = Drawers().find(view->m_Kind);
  if (found == Drawers().end())
    return eventNotHandledErr;
  found->second(*view, context);
  return noErr;
}

bool DrawsOverSubviews(const StandIn_ViewImpl& view) {
  return view.m_Kind == "scrollview";
}

void DrawOverSubviews(StandIn_ViewImpl* view, CGContextRef context) {
  if (view->m_Kind == "scrollview")
    DrawScrollBars(*view, context);
}

}  // namespace standin_tb
