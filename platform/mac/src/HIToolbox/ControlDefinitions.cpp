// Bevel buttons, image views and segmented views of the Mac stand-in (see
// HIToolbox/ControlDefinitions.h).
#include <HIToolbox/ControlDefinitions.h>

#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include "../Appearance/iStandInAppearance.h"
#include "../Appearance/iStandInTheme.h"

#include <CoreGraphics/CGContext.h>

#include <algorithm>

namespace {

constexpr CGFloat kSegmentPadding = 16;
constexpr CGFloat kSegmentedHeight = 24;
constexpr CGFloat kIconSide = 16;

// Button content that holds its image's reference (icons are borrowed).
class HeldContent {
public:
  HeldContent() {
    m_Info.contentType = kControlNoContent;
    m_Info.u.imageRef = nullptr;
  }
  ~HeldContent() { Set(nullptr); }
  HeldContent(const HeldContent& other) : HeldContent() { Set(&other.m_Info); }
  HeldContent& operator=(const HeldContent& other) {
    Set(&other.m_Info);
    return *this;
  }

  void Set(const ControlButtonContentInfo* info) {
    ControlButtonContentInfo next{};
    next.contentType = kControlNoContent;
    if (info && (info->contentType == kControlContentIconRef ||
                 info->contentType == kControlContentCGImageRef))
      next = *info;
    if (next.contentType == kControlContentCGImageRef)
      CGImageRetain(next.u.imageRef);
    if (m_Info.contentType == kControlContentCGImageRef)
      CGImageRelease(m_Info.u.imageRef);
    m_Info = next;
  }
  const ControlButtonContentInfo& Get() const { return m_Info; }

  // The content's own width and height (an icon 16 x 16).
  CGSize Size() const {
    if (m_Info.contentType == kControlContentCGImageRef && m_Info.u.imageRef)
      return CGSizeMake(CGImageGetWidth(m_Info.u.imageRef), CGImageGetHeight(m_Info.u.imageRef));
    if (m_Info.contentType == kControlContentIconRef && m_Info.u.iconRef)
      return CGSizeMake(kIconSide, kIconSide);
    return CGSizeMake(0, 0);
  }

  // Draws the content centred in the cell of a context whose y runs down.
  void DrawCentred(CGContextRef context, const CGRect& cell, bool enabled) const {
    const CGSize size = Size();
    if (size.width <= 0 || size.height <= 0)
      return;
    const CGRect place =
        CGRectMake(cell.origin.x + (cell.size.width - size.width) / 2,
                   cell.origin.y + (cell.size.height - size.height) / 2, size.width, size.height);
    if (m_Info.contentType == kControlContentIconRef) {
      PlotIconRefInContext(context, &place, kAlignAbsoluteCenter,
                           enabled ? kTransformNone : kTransformDisabled, nullptr, 0,
                           m_Info.u.iconRef);
      return;
    }
    standin_theme::Picture(context, m_Info.u.imageRef, place, !enabled);
  }

private:
  ControlButtonContentInfo m_Info;
};

// The context of a draw event sent to this very view; null for another view's event passing by.
CGContextRef DrawContextFor(StandIn_ViewImpl* view, EventRef event) {
  ControlRef control = nullptr;
  CGContextRef context = nullptr;
  if (GetEventClass(event) != kEventClassControl || GetEventKind(event) != kEventControlDraw)
    return nullptr;
  standin_tb::Get(event, kEventParamDirectObject, typeControlRef, &control);
  standin_tb::Get(event, kEventParamCGContextRef, typeCGContextRef, &context);
  return control == view ? context : nullptr;
}

bool IsOwnEvent(StandIn_ViewImpl* view, EventRef event, UInt32 kind) {
  ControlRef control = nullptr;
  return GetEventClass(event) == kEventClassControl && GetEventKind(event) == kind &&
         standin_tb::Get(event, kEventParamDirectObject, typeControlRef, &control) &&
         control == view;
}

CGRect LocalBounds(const StandIn_ViewImpl& view) {
  return CGRectMake(0, 0, view.m_Frame.size.width, view.m_Frame.size.height);
}

class BevelButton final : public StandIn_ViewImpl {
public:
  explicit BevelButton(ControlBevelButtonBehavior behavior)
      : StandIn_ViewImpl("bevel"),
        m_Behavior(behavior) {
    if (behavior == kControlBehaviorToggles || behavior == kControlBehaviorSticky)
      m_Maximum = 1;
  }

  OSStatus StandardHandler(EventRef event) override {
    if (CGContextRef context = DrawContextFor(this, event)) {
      const ThemeDrawState state = !m_Enabled    ? kThemeStateInactive
                                   : m_Value > 0 ? kThemeStatePressed
                                                 : kThemeStateActive;
      standin_appearance::DrawSmallBevel(context, LocalBounds(*this), state);
      m_Content.DrawCentred(context, LocalBounds(*this), m_Enabled);
      return noErr;
    }
    if (IsOwnEvent(this, event, kEventControlTrack)) {
      if (m_Behavior == kControlBehaviorToggles)
        SetControl32BitValue(this, m_Value ? 0 : 1);
      else if (m_Behavior == kControlBehaviorSticky)
        SetControl32BitValue(this, 1);
      return StandIn_ViewImpl::StandardHandler(event);  // answers the part
    }
    if (IsOwnEvent(this, event, kEventControlGetData) && AnswerContent(event))
      return noErr;
    return StandIn_ViewImpl::StandardHandler(event);
  }

  HeldContent m_Content;

private:
  // The content for its tag; false for other tags.
  bool AnswerContent(EventRef event) {
    ResType tag = 0;
    Ptr buffer = nullptr;
    Size size = 0;
    standin_tb::Get(event, kEventParamControlDataTag, typeEnumeration, &tag);
    if (tag != kControlBevelButtonContentTag)
      return false;
    standin_tb::Get(event, kEventParamControlDataBuffer, typePtr, &buffer);
    standin_tb::Get(event, kEventParamControlDataBufferSize, typeLongInteger, &size);
    const ControlButtonContentInfo& info = m_Content.Get();
    if (buffer != nullptr && size == static_cast<Size>(sizeof info))
      std::memcpy(buffer, &info, sizeof info);
    const Size actual = sizeof info;
    SetEventParameter(event, kEventParamControlDataBufferSize, typeLongInteger, sizeof actual,
                      &actual);
    return true;
  }

  ControlBevelButtonBehavior m_Behavior;
};

class ImageView final : public StandIn_ViewImpl {
public:
  ImageView() : StandIn_ViewImpl("image") {}

  OSStatus StandardHandler(EventRef event) override {
    if (CGContextRef context = DrawContextFor(this, event)) {
      m_Image.DrawCentred(context, CGRectMake(0, 0, m_Image.Size().width, m_Image.Size().height),
                          true);
      return noErr;
    }
    return StandIn_ViewImpl::StandardHandler(event);
  }

  void SetImage(CGImageRef image) {
    ControlButtonContentInfo info{};
    info.contentType = image ? kControlContentCGImageRef : kControlNoContent;
    info.u.imageRef = image;
    m_Image.Set(&info);
  }
  CGImageRef Image() const { return m_Image.Get().u.imageRef; }
  bool BestSize(CGSize* size) const override {
    *size = m_Image.Size();
    return true;
  }

private:
  HeldContent m_Image;
};

class SegmentedView final : public StandIn_ViewImpl {
public:
  struct Segment {
    HISegmentBehavior behavior = kHISegmentBehaviorMomentary;
    HeldContent content;
    UInt32 command = 0;
    SInt32 value = 0;
    bool enabled = true;
    bool autoWidth = true;
    float width = 0;

    float ContentWidth() const { return autoWidth ? float(content.Size().width) : width; }
  };

  SegmentedView() : StandIn_ViewImpl("segmented") {}

  OSStatus StandardHandler(EventRef event) override {
    if (CGContextRef context = DrawContextFor(this, event)) {
      CGFloat x = 0;
      for (const Segment& segment : m_Segments) {
        const CGRect cell =
            CGRectMake(x, 0, segment.ContentWidth() + kSegmentPadding, m_Frame.size.height);
        const bool enabled = m_Enabled && segment.enabled;
        const ThemeDrawState state = !enabled            ? kThemeStateInactive
                                     : segment.value > 0 ? kThemeStatePressed
                                                         : kThemeStateActive;
        standin_appearance::DrawSmallBevel(context, cell, state);
        segment.content.DrawCentred(context, cell, enabled);
        x += cell.size.width;
      }
      return noErr;
    }
    return StandIn_ViewImpl::StandardHandler(event);
  }

  bool BestSize(CGSize* size) const override {
    CGFloat width = 0;
    for (const Segment& segment : m_Segments)
      width += segment.ContentWidth() + kSegmentPadding;
    *size = CGSizeMake(width, kSegmentedHeight);
    return true;
  }

  Segment* At(UInt32 index) {
    return index >= 1 && index <= m_Segments.size() ? &m_Segments[index - 1] : nullptr;
  }

  std::vector<Segment> m_Segments;
};

SegmentedView::Segment* SegmentOf(HIViewRef view, UInt32 index) {
  auto* segmented = dynamic_cast<SegmentedView*>(standin_tb::View(view));
  return segmented ? segmented->At(index) : nullptr;
}

// Runs a change on a segment; paramErr for another view or an index out of range.
template <class Change>
OSStatus ChangeSegment(const char* call, HIViewRef view, UInt32 index, Change change) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  SegmentedView::Segment* segment = SegmentOf(view, index);
  if (segment == nullptr)
    return paramErr;
  change(*segment);
  standin_tb::MarkDirty(standin_tb::View(view));
  return noErr;
}

}  // namespace

OSStatus CreateBevelButtonControl(WindowRef window, const Rect* boundsRect, CFStringRef title,
                                  ControlBevelThickness, ControlBevelButtonBehavior behavior,
                                  ControlButtonContentInfoPtr info, SInt16,
                                  ControlBevelButtonMenuBehavior, ControlBevelButtonMenuPlacement,
                                  ControlRef* outControl) {
  if (outControl == nullptr)
    return paramErr;
  *outControl = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateBevelButtonControl"))
    return err;
  if (boundsRect == nullptr)
    return paramErr;
  auto* button = new BevelButton(behavior);
  button->m_Frame =
      CGRectMake(boundsRect->left, boundsRect->top, boundsRect->right - boundsRect->left,
                 boundsRect->bottom - boundsRect->top);
  button->m_Title = standin_tb::Units(title);
  button->m_Content.Set(info);
  if (window) {
    const OSStatus status = HIViewAddSubview(standin_tb::ContentView(window), button);
    CFRelease(button);  // the window's view holds it
    if (status != noErr)
      return status;
  }
  *outControl = button;
  return noErr;
}

OSStatus GetBevelButtonContentInfo(ControlRef inButton, ControlButtonContentInfoPtr outContent) {
  if (OSStatus err = standin_tb::EnterCall("GetBevelButtonContentInfo"))
    return err;
  auto* button = dynamic_cast<BevelButton*>(standin_tb::View(inButton));
  if (button == nullptr || outContent == nullptr)
    return paramErr;
  *outContent = button->m_Content.Get();
  return noErr;
}

OSStatus HIImageViewCreate(CGImageRef inImage, HIViewRef* outControl) {
  if (outControl == nullptr)
    return paramErr;
  *outControl = nullptr;
  if (OSStatus err = standin_tb::EnterCall("HIImageViewCreate"))
    return err;
  auto* view = new ImageView;
  view->SetImage(inImage);
  view->BestSize(&view->m_Frame.size);
  *outControl = view;
  return noErr;
}

OSStatus HIImageViewSetImage(HIViewRef inView, CGImageRef inImage) {
  if (OSStatus err = standin_tb::EnterCall("HIImageViewSetImage"))
    return err;
  auto* view = dynamic_cast<ImageView*>(standin_tb::View(inView));
  if (view == nullptr)
    return paramErr;
  view->SetImage(inImage);
  standin_tb::MarkDirty(view);
  return noErr;
}

CGImageRef HIImageViewCopyImage(HIViewRef inView) {
  auto* view = dynamic_cast<ImageView*>(standin_tb::View(inView));
  return view && view->Image() ? CGImageRetain(view->Image()) : nullptr;
}

OSStatus HISegmentedViewCreate(const HIRect* inBounds, HIViewRef* outRef) {
  if (outRef == nullptr)
    return paramErr;
  *outRef = nullptr;
  if (OSStatus err = standin_tb::EnterCall("HISegmentedViewCreate"))
    return err;
  auto* view = new SegmentedView;
  if (inBounds)
    view->m_Frame = *inBounds;
  *outRef = view;
  return noErr;
}

OSStatus HISegmentedViewSetSegmentCount(HIViewRef inSegmentedView, UInt32 inSegmentCount) {
  if (OSStatus err = standin_tb::EnterCall("HISegmentedViewSetSegmentCount"))
    return err;
  auto* view = dynamic_cast<SegmentedView*>(standin_tb::View(inSegmentedView));
  if (view == nullptr)
    return paramErr;
  view->m_Segments.resize(inSegmentCount);
  standin_tb::MarkDirty(view);
  return noErr;
}

UInt32 HISegmentedViewGetSegmentCount(HIViewRef inSegmentedView) {
  auto* view = dynamic_cast<SegmentedView*>(standin_tb::View(inSegmentedView));
  return view ? static_cast<UInt32>(view->m_Segments.size()) : 0;
}

OSStatus HISegmentedViewSetSegmentBehavior(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                           HISegmentBehavior inBehavior) {
  return ChangeSegment("HISegmentedViewSetSegmentBehavior", inSegmentedView, inSegmentIndexOneBased,
                       [&](SegmentedView::Segment& s) { s.behavior = inBehavior; });
}

HISegmentBehavior HISegmentedViewGetSegmentBehavior(HIViewRef inSegmentedView,
                                                    UInt32 inSegmentIndexOneBased) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  return s ? s->behavior : 0;
}

OSStatus HISegmentedViewSetSegmentImage(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                        const HIViewImageContentInfo* inImage) {
  return ChangeSegment("HISegmentedViewSetSegmentImage", inSegmentedView, inSegmentIndexOneBased,
                       [&](SegmentedView::Segment& s) { s.content.Set(inImage); });
}

ControlContentType HISegmentedViewGetSegmentImageContentType(HIViewRef inSegmentedView,
                                                             UInt32 inSegmentIndexOneBased) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  return s ? s->content.Get().contentType : ControlContentType(kControlNoContent);
}

OSStatus HISegmentedViewSetSegmentCommand(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                          UInt32 inCommand) {
  return ChangeSegment("HISegmentedViewSetSegmentCommand", inSegmentedView, inSegmentIndexOneBased,
                       [&](SegmentedView::Segment& s) { s.command = inCommand; });
}

UInt32 HISegmentedViewGetSegmentCommand(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  return s ? s->command : 0;
}

OSStatus HISegmentedViewSetSegmentValue(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                        SInt32 inValue) {
  return ChangeSegment("HISegmentedViewSetSegmentValue", inSegmentedView, inSegmentIndexOneBased,
                       [&](SegmentedView::Segment& s) { s.value = inValue ? 1 : 0; });
}

SInt32 HISegmentedViewGetSegmentValue(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  return s ? s->value : 0;
}

OSStatus HISegmentedViewSetSegmentEnabled(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                          Boolean inEnabled) {
  return ChangeSegment("HISegmentedViewSetSegmentEnabled", inSegmentedView, inSegmentIndexOneBased,
                       [&](SegmentedView::Segment& s) { s.enabled = inEnabled; });
}

Boolean HISegmentedViewIsSegmentEnabled(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  return s && s->enabled;
}

OSStatus HISegmentedViewSetSegmentContentWidth(HIViewRef inSegmentedView,
                                               UInt32 inSegmentIndexOneBased,
                                               Boolean inAutoCalculateWidth, float inWidth) {
  return ChangeSegment("HISegmentedViewSetSegmentContentWidth", inSegmentedView,
                       inSegmentIndexOneBased, [&](SegmentedView::Segment& s) {
                         s.autoWidth = inAutoCalculateWidth;
                         s.width = inAutoCalculateWidth ? 0 : std::max(0.0f, inWidth);
                       });
}

float HISegmentedViewGetSegmentContentWidth(HIViewRef inSegmentedView,
                                            UInt32 inSegmentIndexOneBased,
                                            Boolean* outAutoCalculated) {
  const SegmentedView::Segment* s = SegmentOf(inSegmentedView, inSegmentIndexOneBased);
  if (outAutoCalculated)
    *outAutoCalculated = s && s->autoWidth;
  return s ? s->ContentWidth() : 0;
}
