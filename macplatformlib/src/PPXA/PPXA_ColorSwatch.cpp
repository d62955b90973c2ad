#include "PPXA/PPXA_ColorSwatch.h"

#include "PPXA/PPXA_DragTask.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_CustomView.h"

#include "UMAC/UMAC_QDRect.h"

#include <array>
#include <cstring>

namespace PPXA {

const char kColorSwatchViewClassID[] = "com.nolt.PPXA.ColorSwatch";
const ControlKind kColorSwatchControlKind = {0x63537768, 0x63537768};  // 'cSwh'

const EventTypeSpec ColorSwatch::kFactoryEvents[3] = {
    {kEventClassHIObject, kEventHIObjectConstruct},
    {kEventClassHIObject, kEventHIObjectInitialize},
    {kEventClassHIObject, kEventHIObjectDestruct}};
HIObjectClassRef ColorSwatch::sm_ClassRef = nullptr;

namespace {

constexpr CGFloat kWellInset = 5;
constexpr CGFloat kRingInset = 2;
constexpr std::size_t kDragImageSide = 10;
constexpr std::size_t kDragImageRowBytes = 4 * kDragImageSide;

// What GetColorFromDrag answered last, for which drag.
struct DragAnswer {
  DragRef drag = nullptr;
  bool hasColor = false;
  RGBColor color{0, 0, 0};
};
DragAnswer g_LastDrag;

// The first 'colr' flavour of 6 bytes among the drag's items; false without one.
bool FindColorFlavor(DragRef drag, RGBColor* color) {
  UInt16 items = 0;
  CountDragItems(drag, &items);
  for (UInt16 i = 1; i <= items; ++i) {
    DragItemRef item = 0;
    UInt16 flavors = 0;
    if (GetDragItemReferenceNumber(drag, i, &item) != noErr ||
        CountDragItemFlavors(drag, item, &flavors) != noErr)
      continue;
    for (UInt16 f = 1; f <= flavors; ++f) {
      FlavorType type = 0;
      Size size = 0;
      if (GetFlavorType(drag, item, f, &type) != noErr || type != kColorSwatchDragFlavor ||
          GetFlavorDataSize(drag, item, type, &size) != noErr ||
          size != static_cast<Size>(sizeof(RGBColor)))
        continue;
      RGBColor found{0, 0, 0};
      if (GetFlavorData(drag, item, type, &found, &size, 0) == noErr &&
          size == static_cast<Size>(sizeof found)) {
        *color = found;
        return true;
      }
    }
  }
  return false;
}

CGFloat Unit(UInt16 channel) {
  return channel / CGFloat(65535);
}

// The drag image: a 10 x 10 square of the colour in a black frame. Its pixels live in one buffer
// kept for the process (a drag is modal, so one image at a time uses it).
CGImageRef NewColorDragImage(const RGBColor& color) {
  static std::array<UInt8, kDragImageRowBytes * kDragImageSide> pixels;
  pixels.fill(0);
  iPPXA_CFHolder<CGColorSpaceRef> rgb(CGColorSpaceCreateDeviceRGB());
  iPPXA_CFHolder<CGContextRef> context(
      CGBitmapContextCreate(pixels.data(), kDragImageSide, kDragImageSide, 8, kDragImageRowBytes,
                            rgb.Get(), kCGImageAlphaPremultipliedLast));
  if (context.Get() == nullptr)
    return nullptr;
  const CGRect square = CGRectMake(0, 0, kDragImageSide, kDragImageSide);
  CGContextSetRGBFillColor(context.Get(), Unit(color.red), Unit(color.green), Unit(color.blue), 1);
  CGContextFillRect(context.Get(), square);
  CGContextSetRGBStrokeColor(context.Get(), 0, 0, 0, 1);
  CGContextStrokeRect(context.Get(), square);
  iPPXA_CFHolder<CGDataProviderRef> provider(
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr));
  return CGImageCreate(kDragImageSide, kDragImageSide, 8, 32, kDragImageRowBytes, rgb.Get(),
                       kCGImageAlphaPremultipliedLast, provider.Get(), nullptr, true,
                       kCGRenderingIntentDefault);
}

// The colour dragged out of a swatch: one item (1) with the colour as 'colr', the image centred
// on the mouse and an empty drag region.
class ColorDragTask : public DragTask {
public:
  ColorDragTask(const PPx::SysCarbonEvent& event, const RGBColor& color)
      : DragTask(event),
        m_Color(color) {
    if (CGImageRef image = NewColorDragImage(color))
      SetDragImage(image, CGPointMake(-5, -5), kDragOpaqueTranslucency);
  }
  void AddFlavors(DragRef drag) override {
    AddDragItemFlavor(drag, 1, kColorSwatchDragFlavor, &m_Color, sizeof m_Color, 0);
  }

private:
  RGBColor m_Color;
};

}  // namespace

void ColorSwatch::Register() {
  iPPXA_RegisterCustomViewClass(kColorSwatchViewClassID, HIObjectEventHandler, kFactoryEvents,
                                nullptr, &sm_ClassRef,
                                "HIObjectRegisterSubclass( ColorSwatch ) failed");
}

OSStatus ColorSwatch::HIObjectEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
  return iPPXA_HandleCustomViewEvent(event, static_cast<ColorSwatch*>(userData));
}

std::unique_ptr<ColorSwatch> ColorSwatch::MakeInstance() {
  return std::make_unique<ColorSwatch>();
}

void ColorSwatch::InstallEventHandlers() {
  EventTargetRef target = SysEventTarget();
  PPx::ControlDrawDoer::Install(target);
  PPx::ControlHitTestDoer::Install(target);
  PPx::ControlHitDoer::Install(target);
  PPx::ControlTrackDoer::Install(target);
  PPx::ControlGetPartRegionDoer::Install(target);
  PPx::ControlGetOptimalBoundsDoer::Install(target);
  PPx::ControlGetSizeConstraintsDoer::Install(target);
  ControlGetDataDoer::Install(target);
  ControlSetDataDoer::Install(target);
  PPx::ControlSetFocusPartDoer::Install(target);
  InstallBoundsChangedDoer();
  SetControlDragTrackingEnabled(GetSysView(), true);
  PPx::ControlDragEnterDoer::Install(target);
  PPx::ControlDragLeaveDoer::Install(target);
  PPx::ControlDragWithinDoer::Install(target);
  PPx::ControlDragReceiveDoer::Install(target);
  PPx::TextInputUnicodeForKeyEventDoer::Install(target);
  PPx::ControlHiliteChangedDoer::Install(target);
  PPx::ControlActivateDoer::Install(target);
  PPx::ControlDeactivateDoer::Install(target);
  PPx::ControlEnabledStateChangedDoer::Install(target);
}

void ColorSwatch::SetSwatchColor(const RGBColor& color) {
  m_Color = color;
  SetNeedsDisplay();
  SendColorChangedCommandEvent();
}

HIRect ColorSwatch::GetControlPartBounds(ControlPartCode part) const {
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  if (part == kColorSwatchWellPart) {
    HIViewGetBounds(GetSysView(), &bounds);
    return CGRectInset(bounds, kWellInset, kWellInset);
  }
  if (iPPXA_IsWholeViewPart(part))
    HIViewGetBounds(GetSysView(), &bounds);
  return bounds;
}

bool ColorSwatch::GetColorFromDrag(DragRef drag, RGBColor* color) {
  if (drag != g_LastDrag.drag) {
    DragAnswer answer;
    answer.drag = drag;
    answer.hasColor = FindColorFlavor(drag, &answer.color);
    g_LastDrag = answer;
  }
  // A refused drag leaves the caller's colour alone.
  if (g_LastDrag.hasColor && color)
    *color = g_LastDrag.color;
  return g_LastDrag.hasColor;
}

void ColorSwatch::ForgetLastDrag() {
  g_LastDrag = DragAnswer();
}

OSStatus ColorSwatch::DoControlDraw(PPx::SysCarbonEvent&, ControlRef control, ControlPartCode,
                                    RgnHandle, CGContextRef context) {
  ThemeButtonDrawInfo info{};
  info.state = IsControlActive(control) ? kThemeStateActive : kThemeStateInactive;
  if (GetControlHilite(control) == kiPPXA_WholeViewPart)
    info.state |= kThemeStatePressed;
  info.value = 0;
  info.adornment =
      GetFocusPart() == kiPPXA_WholeViewPart ? kThemeAdornmentFocus : kThemeAdornmentNone;
  const HIRect bounds = GetControlPartBounds(kiPPXA_WholeViewPart);
  const UMAC_QDRect button(bounds);
  DrawThemeButton(&button, kThemeSmallBevelButton, &info, nullptr, nullptr, nullptr, 0);
  if (context) {
    CGContextSaveGState(context);
    CGContextSetRGBFillColor(context, Unit(m_Color.red), Unit(m_Color.green), Unit(m_Color.blue),
                             1);
    CGContextFillRect(context, GetControlPartBounds(kColorSwatchWellPart));
    CGContextRestoreGState(context);
  }
  if (m_DropAccept) {
    const UMAC_QDRect ring(CGRectInset(bounds, kRingInset, kRingInset));
    DrawThemeFocusRect(&ring, true);
  }
  return noErr;
}

OSStatus ColorSwatch::DoControlHitTest(PPx::SysCarbonEvent&, ControlRef, HIPoint where,
                                       ControlPartCode& part) {
  part = CGRectContainsPoint(GetControlPartBounds(kiPPXA_WholeViewPart), where)
             ? kiPPXA_WholeViewPart
             : ControlPartCode(kControlNoPart);
  return noErr;
}

OSStatus ColorSwatch::DoControlHit(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, UInt32) {
  const Point defaultPlace{-1, -1};
  const unsigned char noPrompt[1] = {0};
  RGBColor chosen = m_Color;
  if (GetColor(defaultPlace, noPrompt, &m_Color, &chosen)) {
    m_Color = chosen;
    SetNeedsDisplay();
    SendColorChangedCommandEvent();
  }
  return noErr;
}

OSStatus ColorSwatch::DoControlTrack(PPx::SysCarbonEvent& event, ControlRef control,
                                     const CGPoint& where, UInt32, ControlActionUPP,
                                     ControlPartCode& part) {
  if (CGRectContainsPoint(GetControlPartBounds(kColorSwatchWellPart), where)) {
    HiliteControl(control, kiPPXA_WholeViewPart);
    const Point mouse{static_cast<short>(where.y), static_cast<short>(where.x)};
    if (WaitMouseMoved(mouse)) {
      HiliteControl(control, kControlNoPart);
      DoColorDrag(event);
      part = kControlNoPart;  // a drag, not a click
      return noErr;
    }
  }
  part = kiPPXA_WholeViewPart;
  return eventNotHandledErr;  // the standard tracking ends in a hit on release inside
}

OSStatus ColorSwatch::DoControlGetPartRegion(PPx::SysCarbonEvent&, ControlRef, ControlPartCode part,
                                             RgnHandle region) {
  if (region == nullptr)
    return paramErr;
  if (!iPPXA_IsWholeViewPart(part) && part != kColorSwatchWellPart) {
    SetEmptyRgn(region);
    return kiPPXA_InvalidPartCode;
  }
  // The well's region is the well it draws and tracks, not an inset of it.
  const UMAC_QDRect rect(GetControlPartBounds(part));
  RectRgn(region, &rect);
  return noErr;
}

OSStatus ColorSwatch::DoControlGetOptimalBounds(PPx::SysCarbonEvent&, ControlRef, HIRect& bounds,
                                                SInt16&) {
  bounds = CGRectMake(0, 0, 30, 20);
  return noErr;
}

OSStatus ColorSwatch::DoControlGetSizeConstraints(PPx::SysCarbonEvent&, ControlRef, HISize& minimum,
                                                  HISize&) {
  // The least that still shows a well inside the bevel; the maximum is left as it comes.
  minimum = CGSizeMake(15, 15);
  return noErr;
}

OSStatus ColorSwatch::DoControlGetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode,
                                       ResType tag, Ptr buffer, Size& size) {
  const void* data = nullptr;
  Size dataSize = 0;
  if (tag == kControlKindTag) {
    data = &kColorSwatchControlKind;
    dataSize = sizeof kColorSwatchControlKind;
  } else if (tag == kColorSwatchColorTag) {
    data = &m_Color;
    dataSize = sizeof m_Color;
  } else {
    return eventNotHandledErr;
  }
  return iPPXA_AnswerControlData(data, dataSize, buffer, size);
}

OSStatus ColorSwatch::DoControlSetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode,
                                       ResType tag, Ptr buffer, Size size) {
  if (tag != kColorSwatchColorTag)
    return eventNotHandledErr;
  if (buffer == nullptr)
    return noErr;
  if (size != static_cast<Size>(sizeof m_Color))
    return errDataSizeMismatch;
  std::memcpy(&m_Color, buffer, sizeof m_Color);
  SetNeedsDisplay();
  return noErr;
}

OSStatus ColorSwatch::DoControlDragEnter(PPx::SysCarbonEvent& event, ControlRef, DragRef drag) {
  m_DropAccept = GetColorFromDrag(drag, nullptr);
  if (m_DropAccept) {
    event.SetParameter(kEventParamControlWouldAcceptDrop, typeBoolean, Boolean(true));
    SetNeedsDisplay();
  }
  return noErr;
}

OSStatus ColorSwatch::DoControlDragLeave(PPx::SysCarbonEvent&, ControlRef, DragRef) {
  ForgetLastDrag();
  if (m_DropAccept) {
    SetNeedsDisplay();
    m_DropAccept = false;
  }
  return noErr;
}

OSStatus ColorSwatch::DoControlDragWithin(PPx::SysCarbonEvent&, ControlRef, DragRef) {
  return eventNotHandledErr;
}

OSStatus ColorSwatch::DoControlDragReceive(PPx::SysCarbonEvent&, ControlRef, DragRef drag) {
  RGBColor dropped = m_Color;
  const bool hasColor = GetColorFromDrag(drag, &dropped);
  ForgetLastDrag();
  if (m_DropAccept) {
    SetNeedsDisplay();
    m_DropAccept = false;
  }
  if (!hasColor)
    return dragNotAcceptedErr;
  m_Color = dropped;
  SetNeedsDisplay();
  SendColorChangedCommandEvent();
  return noErr;
}

OSStatus ColorSwatch::DoTextInputUnicodeForKeyEvent(PPx::SysCarbonEvent&, const UniChar* text,
                                                    UInt32 length, EventRef) {
  if (text == nullptr || length < 1 || text[0] != ' ')
    return eventNotHandledErr;
  HIViewSimulateClick(GetSysView(), kiPPXA_WholeViewPart, 0, nullptr);
  return noErr;
}

void ColorSwatch::DoColorDrag(const PPx::SysCarbonEvent& event) {
  ColorDragTask drag(event, m_Color);
  drag.DoDrag();
}

void ColorSwatch::SendColorChangedCommandEvent() {
  HICommand command{};
  GetControlCommandID(GetSysView(), &command.commandID);
  PPx::SysCarbonEvent process;
  process.MakeEvent(kEventClassCommand, kEventCommandProcess);
  process.SetParameter(kEventParamDirectObject, typeHICommand, command);
  process.Send(SysEventTarget());
}

}  // namespace PPXA
