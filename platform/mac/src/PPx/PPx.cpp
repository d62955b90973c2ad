// PowerPlant X of the Mac stand-in: signature, events, doers, timers and views.
#include <PPx/PPxEventTarget.h>
#include <PPx/PPxSignature.h>
#include <PPx/PPxTimer.h>
#include <PPx/PPxView.h>
#include <PPx/SysCarbonEvent.h>

#include "iPPxBoundary.h"

#include <cstdio>
#include <vector>

namespace PPx {

namespace {
OSType g_Signature = 0x50507820;                   // 'PPx '
constexpr ResType kIndeterminateTag = 0x696e6465;  // 'inde'
}  // namespace

OSType Signature::Get() {
  return g_Signature;
}

void Signature::Set(OSType signature) {
  g_Signature = signature;
}

SysCarbonEvent::SysCarbonEvent(EventRef event) : m_Event(event) {
  if (m_Event)
    RetainEvent(m_Event);
}

SysCarbonEvent::~SysCarbonEvent() {
  if (m_Event)
    ReleaseEvent(m_Event);
}

void SysCarbonEvent::MakeEvent(UInt32 eventClass, UInt32 eventKind) {
  EventRef event = nullptr;
  ThrowIfOSStatus(CreateEvent(nullptr, eventClass, eventKind, 0, kEventAttributeNone, &event),
                  "CreateEvent failed");
  if (m_Event)
    ReleaseEvent(m_Event);
  m_Event = event;
}

UInt32 SysCarbonEvent::GetKeyModifiers() const {
  UInt32 modifiers = 0;
  if (GetParameter(kEventParamKeyModifiers, typeUInt32, modifiers) != noErr)
    modifiers = GetCurrentEventKeyModifiers();
  return modifiers;
}

OSStatus SysCarbonEvent::CallNextHandler() const {
  return m_Call ? CallNextEventHandler(m_Call, m_Event) : eventNotHandledErr;
}

OSStatus SysCarbonEvent::Post(EventTargetRef target) const {
  OSStatus status =
      SetEventParameter(m_Event, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
  if (status == noErr)
    status = PostEventToQueue(GetMainEventQueue(), m_Event, kEventPriorityStandard);
  return status;
}

EventDoer::~EventDoer() {
  Remove();
}

void EventDoer::Remove() {
  if (m_Handler) {
    RemoveEventHandler(m_Handler);
    m_Handler = nullptr;
  }
}

void EventDoer::InstallFor(EventTargetRef target, UInt32 eventClass, UInt32 eventKind) {
  Remove();
  const EventTypeSpec spec = {eventClass, eventKind};
  ThrowIfOSStatus(InstallEventHandler(target, Callback, 1, &spec, this, &m_Handler),
                  "InstallEventHandler failed");
}

OSStatus EventDoer::Callback(EventHandlerCallRef call, EventRef event, void* data) {
  try {
    SysCarbonEvent held(event);
    held.SetHandlerCall(call);
    return static_cast<EventDoer*>(data)->DoEvent(call, held);
  } catch (...) {
    return StatusOfException();
  }
}

OSStatus WindowCloseDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  WindowRef window = nullptr;
  event.GetParameter(kEventParamDirectObject, typeWindowRef, window);
  return DoWindowClose(event, window);
}

OSStatus WindowHiddenDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  WindowRef window = nullptr;
  event.GetParameter(kEventParamDirectObject, typeWindowRef, window);
  return DoWindowHidden(event, window);
}

OSStatus ControlHitDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlRef control = nullptr;
  ControlPartCode part = kControlNoPart;
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  return DoControlHit(event, control, part, event.GetKeyModifiers());
}

OSStatus ControlHitTestDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlRef control = nullptr;
  HIPoint where = {0, 0};
  ControlPartCode part = kControlNoPart;
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  event.GetParameter(kEventParamMouseLocation, typeHIPoint, where);
  const OSStatus status = DoControlHitTest(event, control, where, part);
  if (status == noErr)
    event.SetParameter(kEventParamControlPart, typeControlPartCode, part);
  return status;
}

OSStatus ControlValueFieldChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlRef control = nullptr;
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  return DoControlValueFieldChanged(event, control);
}

Timer::~Timer() {
  Remove();
}

void Timer::Install(EventTimerInterval delay, EventTimerInterval interval) {
  Remove();
  ThrowIfOSStatus(
      InstallEventLoopTimer(GetMainEventLoop(), delay, interval, Callback, this, &m_Timer),
      "InstallEventLoopTimer failed");
}

void Timer::Remove() {
  if (m_Timer) {
    RemoveEventLoopTimer(m_Timer);
    m_Timer = nullptr;
  }
}

void Timer::Callback(EventLoopTimerRef, void* data) {
  try {
    static_cast<Timer*>(data)->DoTimer();
  } catch (...) {
    std::fprintf(stderr, "PPx::Timer: DoTimer failed with status %d\n",
                 static_cast<int>(StatusOfException()));
  }
}

View::~View() {
  m_BoundsDoer.Remove();  // before the view may go
  ReleaseView();
}

void View::ReleaseView() {
  HIViewRef view = m_View;
  const bool owned = m_OwnsReference;
  m_View = nullptr;
  m_OwnsReference = false;
  if (view && owned)
    CFRelease(view);
}

void View::Initialize(HIViewRef view, const HIRect& frame) {
  if (view == nullptr)
    throw OSError(paramErr, "View::Initialize without a view");
  ReleaseView();
  m_View = view;
  m_OwnsReference = true;
  HIViewSetFrame(m_View, &frame);
}

void View::InitializeOwnView(HIViewRef view, const HIRect& frame) {
  if (view == nullptr)
    throw OSError(paramErr, "View::InitializeOwnView without a view");
  ReleaseView();
  m_View = view;
  HIViewSetFrame(m_View, &frame);
}

void BaseView::Initialize(const HIRect& frame, HIViewFeatures features) {
  HIObjectRef object = nullptr;
  ThrowIfOSStatus(HIObjectCreate(CFSTR("com.apple.hiview"), nullptr, &object),
                  "HIObjectCreate( com.apple.hiview ) failed");
  HIViewRef view = static_cast<HIViewRef>(object);
  HIViewChangeFeatures(view, features, 0);
  View::Initialize(view, frame);
}

void View::InstallBoundsChangedDoer() {
  m_BoundsDoer.Install(SysEventTarget());
}

OSStatus View::DoControlBoundsChanged(SysCarbonEvent&, ControlRef, UInt32, const HIRect&,
                                      const HIRect&) {
  return eventNotHandledErr;
}

OSStatus View::BoundsChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlRef control = nullptr;
  UInt32 attributes = 0;
  HIRect previous = CGRectMake(0, 0, 0, 0);
  HIRect current = CGRectMake(0, 0, 0, 0);
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  event.GetParameter(kEventParamAttributes, typeUInt32, attributes);
  event.GetParameter(kEventParamPreviousBounds, typeHIRect, previous);
  event.GetParameter(kEventParamCurrentBounds, typeHIRect, current);
  return m_Owner.DoControlBoundsChanged(event, control, attributes, previous, current);
}

HIRect View::GetFrame() const {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(m_View, &frame);
  return frame;
}

void View::SetFrame(const HIRect& frame) {
  HIViewSetFrame(m_View, &frame);
}

void View::SetTitle(CFStringRef title) {
  SetControlTitleWithCFString(m_View, title);
}

CFStringRef View::GetTitle() const {
  CFStringRef title = nullptr;
  CopyControlTitleAsCFString(m_View, &title);
  return title;
}

bool View::IsActive() const {
  WindowRef window = GetSysWindow();
  return IsControlActive(m_View) && (window == nullptr || IsWindowActive(window));
}

void View::SetEnabled(bool enabled) {
  if (enabled)
    EnableControl(m_View);
  else
    DisableControl(m_View);
}

void ProgressBar::SetIndeterminate(bool indeterminate) {
  const Boolean value = indeterminate;
  SetControlData(GetSysView(), kControlNoPart, kIndeterminateTag, sizeof value, &value);
}

bool ProgressBar::IsIndeterminate() const {
  Boolean value = false;
  GetControlData(GetSysView(), kControlNoPart, kIndeterminateTag, sizeof value, &value, nullptr);
  return value;
}

void StaticText::SetText(CFStringRef text) {
  SetControlData(GetSysView(), kControlNoPart, kControlStaticTextCFStringTag, sizeof text, &text);
}

CFStringRef StaticText::GetText() const {
  CFStringRef text = nullptr;
  GetControlData(GetSysView(), kControlNoPart, kControlStaticTextCFStringTag, sizeof text, &text,
                 nullptr);
  return text;
}

void TextView::SetText(CFStringRef text) {
  const CFIndex length = text ? CFStringGetLength(text) : 0;
  std::vector<UniChar> units(static_cast<std::size_t>(length));
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  TXNSetData(GetTXNObject(), kTXNUnicodeTextData, units.data(), units.size() * sizeof(UniChar),
             kTXNStartOffset, kTXNEndOffset);
}

}  // namespace PPx
