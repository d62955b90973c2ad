#include "PPXA/PPXA_SplashView.h"

#include "PPXA/iPPXA_CustomView.h"
#include "UMAC/UMAC_CGContext.h"

namespace PPXA {

const char kSplashViewClassID[] = "com.nolt.PPXA.SplashView";

namespace {

constexpr WindowAttributes kSplashWindowAttributes =
    kWindowStandardHandlerAttribute | kWindowCompositingAttribute;

}  // namespace

const EventTypeSpec SplashView::kFactoryEvents[3] = {
    {kEventClassHIObject, kEventHIObjectConstruct},
    {kEventClassHIObject, kEventHIObjectInitialize},
    {kEventClassHIObject, kEventHIObjectDestruct}};
HIObjectClassRef SplashView::sm_ClassRef = nullptr;

UMAC_CGImage& SplashView::NextPicture() {
  static UMAC_CGImage* picture = new UMAC_CGImage;  // emptied after each construction
  return *picture;
}

void SplashView::Register(CGImageRef picture) {
  // Retained: the caller's picture may go before the view is made.
  NextPicture().Retain(picture);
  iPPXA_RegisterCustomViewClass(kSplashViewClassID, HIObjectEventHandler, kFactoryEvents,
                                &NextPicture(), &sm_ClassRef,
                                "HIObjectRegisterSubclass( SplashView ) failed");
}

HIViewRef SplashView::Create(CGImageRef picture) {
  Register(picture);
  HIObjectRef object = nullptr;
  EventRef init = nullptr;
  if (CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, GetCurrentEventTime(),
                  kEventAttributeUserEvent, &init) == noErr) {
    void* data = picture;
    SetEventParameter(init, kEventParamUserData, typeVoidPtr, sizeof data, &data);
    CFStringRef classID =
        CFStringCreateWithCString(nullptr, kSplashViewClassID, kCFStringEncodingUTF8);
    if (HIObjectCreate(classID, init, &object) != noErr)
      object = nullptr;
    CFRelease(classID);
    ReleaseEvent(init);
  }
  // The view holds its own reference now; the slot must not keep a picture that could be the
  // next view's by mistake, nor keep it alive.
  NextPicture().Release();
  return static_cast<HIViewRef>(object);
}

OSStatus SplashView::HIObjectEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
  // At construction the user data is the class's (the slot); afterwards the object's.
  const bool constructing =
      GetEventClass(event) == kEventClassHIObject && GetEventKind(event) == kEventHIObjectConstruct;
  return iPPXA_HandleCustomViewEvent(event,
                                     constructing ? nullptr : static_cast<SplashView*>(userData));
}

std::unique_ptr<SplashView> SplashView::MakeInstance() {
  return std::make_unique<SplashView>(NextPicture().Get());
}

SplashView::SplashView(CGImageRef picture) {
  m_Picture.Retain(picture);
}

void SplashView::InitializeHIObject() {
  EventTargetRef target = SysEventTarget();
  PPx::ControlDrawDoer::Install(target);
  PPx::ControlHitTestDoer::Install(target);
}

OSStatus SplashView::DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, RgnHandle,
                                   CGContextRef context) {
  if (context == nullptr)
    return noErr;
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &bounds);
  UMAC_CGContext drawing(context, false);
  CGContextSaveGState(drawing);
  // Images draw their first row at the larger y: mirror the flipped view back.
  CGContextTranslateCTM(drawing, 0, bounds.size.height);
  drawing.MirrorAboutXAxis();
  CGContextClearRect(drawing, bounds);
  if (!m_Picture.IsNull())
    CGContextDrawImage(drawing, bounds, m_Picture);
  CGContextRestoreGState(drawing);
  return noErr;
}

OSStatus SplashView::DoControlHitTest(PPx::SysCarbonEvent&, ControlRef, HIPoint where,
                                      ControlPartCode& part) {
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &bounds);
  if (CGRectContainsPoint(bounds, where))
    part = kiPPXA_WholeViewPart;
  return noErr;
}

OSStatus SplashView::DoControlTrack(PPx::SysCarbonEvent& event, ControlRef, const CGPoint&, UInt32,
                                    ControlActionUPP, ControlPartCode&) {
  Point mouse{0, 0};
  event.GetParameter(kEventParamMouseLocation, typeQDPoint, mouse);
  WindowRef window = GetSysWindow();
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  mouse.h = static_cast<short>(mouse.h + structure.left);
  mouse.v = static_cast<short>(mouse.v + structure.top);
  DragWindow(window, mouse, nullptr);
  return noErr;
}

WindowRef CreateSplashWindow(CFStringRef pngName) {
  UMAC_CGImage picture;
  picture.LoadPNGFromBundle(pngName);
  // A missing picture makes no window (a zero-sized one would only hide the failure).
  if (picture.IsNull())
    return nullptr;
  HIViewRef view = SplashView::Create(picture);
  if (view == nullptr)
    return nullptr;
  const Rect bounds{0, 0, static_cast<short>(picture.GetHeight()),
                    static_cast<short>(picture.GetWidth())};
  WindowDefSpec definition{};
  definition.defType = kWindowDefHIView;
  definition.u.rootView = view;
  WindowRef window = nullptr;
  if (CreateCustomWindow(&definition, kPlainWindowClass, kSplashWindowAttributes, &bounds,
                         &window) != noErr)
    window = nullptr;
  CFRelease(view);  // the window holds it, or it goes
  if (window == nullptr)
    return nullptr;
  UInt64 features = 0;
  if (HIWindowGetFeatures(window, &features) == noErr && (features & kWindowIsOpaque) != 0)
    HIWindowChangeFeatures(window, 0, kWindowIsOpaque);
  RepositionWindow(window, nullptr, kWindowAlertPositionOnMainScreen);
  ShowWindow(window);
  SelectWindow(window);
  return window;
}

}  // namespace PPXA
