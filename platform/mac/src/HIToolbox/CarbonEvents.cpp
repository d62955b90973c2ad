// Carbon Event Manager of the Mac stand-in (see HIToolbox/CarbonEvents.h).
#include "iStandInToolbox.h"

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <exception>
#include <set>

struct OpaqueEventQueueRef {};
struct OpaqueEventLoopRef {};
struct OpaqueEventLoopTimerRef {
  EventLoopTimerUPP proc;
  void* userData;
  EventTime fireTime;  // < 0: not scheduled
  EventTimerInterval interval;
  unsigned long order;  // installation order, for timers due at the same time
};

// One dispatch: the steps of the chain, each a handler or a target's standard handling.
struct OpaqueEventHandlerCallRef {
  struct Step {
    std::shared_ptr<OpaqueEventHandlerRef> handler;  // null: the standard handling of object
    StandIn_HIObject* object;                        // null with a null handler: the application
  };
  std::vector<Step> steps;
  std::size_t next = 0;
};

namespace {

struct Queued {
  EventRef event;
  EventTargetRef target;
  EventPriority priority;
};

struct EventState {
  OpaqueEventTargetRef application;
  OpaqueEventQueueRef mainQueue;
  OpaqueEventLoopRef mainLoop;
  std::deque<Queued> queue;
  std::vector<StandIn_EventLogEntry> log;
  std::vector<std::unique_ptr<OpaqueEventLoopTimerRef>> timers;
  unsigned long timerOrder = 0;
  EventTime clock = 0;
  UInt32 modifiers = 0;
  bool quit = false;
  std::set<EventHandlerRef> handlers;  // installed and not removed
  long exceptions = 0;
};

EventState& TheState() {
  static EventState* state = new EventState;  // never destroyed: objects may go in static exit
  return *state;
}

void Log(bool posted, EventRef event, EventTargetRef target) {
  StandIn_EventLogEntry entry{posted, event->m_Class, event->m_Kind, target, nullptr};
  auto direct = event->m_Params.find(kEventParamDirectObject);
  if (direct != event->m_Params.end() && direct->second.bytes.size() == sizeof(void*))
    std::memcpy(&entry.directObject, direct->second.bytes.data(), sizeof(void*));
  TheState().log.push_back(entry);
}

OSStatus StandardHandling(StandIn_HIObject* object, EventRef event) {
  if (object != nullptr)
    return object->StandardHandler(event);
  if (event->m_Class == kEventClassCommand && event->m_Kind == kEventCommandProcess) {
    HICommand command;
    if (standin_tb::Get(event, kEventParamDirectObject, typeHICommand, &command) &&
        command.commandID == kHICommandQuit) {
      QuitApplicationEventLoop();
      return noErr;
    }
  }
  return eventNotHandledErr;
}

OSStatus CallHandler(OpaqueEventHandlerRef& handler, EventHandlerCallRef call, EventRef event) {
  try {
    return handler.proc(call, event, handler.userData);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Carbon event stand-in: exception left a handler: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Carbon event stand-in: exception left a handler\n");
  }
  ++TheState().exceptions;
  return eventInternalErr;
}

OSStatus RunSteps(EventHandlerCallRef call, EventRef event) {
  while (call->next < call->steps.size()) {
    const OpaqueEventHandlerCallRef::Step step = call->steps[call->next++];
    OSStatus result = eventNotHandledErr;
    if (step.handler) {
      if (step.handler->removed || !step.handler->Wants(event->m_Class, event->m_Kind))
        continue;
      result = CallHandler(*step.handler, call, event);
    } else {
      result = StandardHandling(step.object, event);
    }
    if (result != eventNotHandledErr)
      return result;
  }
  return eventNotHandledErr;
}

// Keeps the objects of a chain alive while their events are dispatched.
class ChainHold {
public:
  ~ChainHold() {
    for (auto it = m_Held.rbegin(); it != m_Held.rend(); ++it)
      CFRelease(*it);
  }
  void Hold(StandIn_HIObject* object) { m_Held.push_back(CFRetain(object)); }

private:
  std::vector<CFTypeRef> m_Held;
};

}  // namespace

StandIn_Event::StandIn_Event(UInt32 eventClass, UInt32 eventKind, EventTime when,
                             EventAttributes attributes)
    : StandIn_CFObject(standin_tb::EventTypeID()),
      m_Class(eventClass),
      m_Kind(eventKind),
      m_When(when),
      m_Attributes(attributes) {}

bool OpaqueEventHandlerRef::Wants(UInt32 eventClass, UInt32 eventKind) const {
  return std::any_of(types.begin(), types.end(), [&](const EventTypeSpec& spec) {
    return spec.eventClass == eventClass && spec.eventKind == eventKind;
  });
}

namespace standin_tb {

CFTypeID EventTypeID() {
  static const CFTypeID id = StandIn_CFRegisterType();
  return id;
}

OSStatus EnterCall(const char* function) {
  return standin_files::EnterCall(function);
}

EventHolder::EventHolder(UInt32 eventClass, UInt32 eventKind)
    : m_Event(new StandIn_Event(eventClass, eventKind, GetCurrentEventTime(), 0)) {}

EventHolder::~EventHolder() {
  ReleaseEvent(m_Event);
}

void DropQueuedEventsFor(EventTargetRef target) {
  auto& queue = TheState().queue;
  std::vector<EventRef> dropped;
  for (auto it = queue.begin(); it != queue.end();) {
    if (it->target == target) {
      dropped.push_back(it->event);
      it = queue.erase(it);
    } else {
      ++it;
    }
  }
  for (EventRef event : dropped) {
    event->m_Queued = false;
    ReleaseEvent(event);
  }
}

void RemoveAllHandlers(OpaqueEventTargetRef& target) {
  for (auto& handler : target.handlers) {
    handler->removed = true;
    TheState().handlers.erase(handler.get());
  }
  target.handlers.clear();
}

}  // namespace standin_tb

OSStatus CreateEvent(CFAllocatorRef, UInt32 inClassID, UInt32 inKind, EventTime inWhen,
                     EventAttributes inAttributes, EventRef* outEvent) {
  if (outEvent == nullptr)
    return paramErr;
  *outEvent = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateEvent"))
    return err;
  *outEvent = new StandIn_Event(inClassID, inKind, inWhen, inAttributes);
  return noErr;
}

EventRef CopyEvent(EventRef inOther) {
  if (inOther == nullptr)
    return nullptr;
  auto copy =
      new StandIn_Event(inOther->m_Class, inOther->m_Kind, inOther->m_When, inOther->m_Attributes);
  copy->m_Params = inOther->m_Params;
  return copy;
}

EventRef RetainEvent(EventRef inEvent) {
  CFRetain(inEvent);
  return inEvent;
}

void ReleaseEvent(EventRef inEvent) {
  CFRelease(inEvent);
}

UInt32 GetEventClass(EventRef inEvent) {
  return inEvent->m_Class;
}

UInt32 GetEventKind(EventRef inEvent) {
  return inEvent->m_Kind;
}

EventTime GetEventTime(EventRef inEvent) {
  return inEvent->m_When;
}

Boolean ConvertEventRefToEventRecord(EventRef inEvent, EventRecord* outEvent) {
  if (inEvent == nullptr || outEvent == nullptr)
    return false;
  const bool mouse = inEvent->m_Class == kEventClassMouse && inEvent->m_Kind == kEventMouseDown;
  const bool control =
      inEvent->m_Class == kEventClassControl &&
      (inEvent->m_Kind == kEventControlClick || inEvent->m_Kind == kEventControlTrack ||
       inEvent->m_Kind == kEventControlHit);
  EventRecord record{};
  record.what = mouse || control ? mouseDown : nullEvent;
  record.when = static_cast<UInt32>(inEvent->m_When * 60);
  standin_tb::Get(inEvent, kEventParamMouseLocation, typeQDPoint, &record.where);
  UInt32 modifiers = GetCurrentEventKeyModifiers();
  standin_tb::Get(inEvent, kEventParamKeyModifiers, typeUInt32, &modifiers);
  record.modifiers = static_cast<EventModifiers>(modifiers);
  *outEvent = record;
  return record.what != nullEvent;
}

OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType,
                           UInt32 inSize, const void* inPtr) {
  if (OSStatus err = standin_tb::EnterCall("SetEventParameter"))
    return err;
  if (inEvent == nullptr || (inPtr == nullptr && inSize > 0))
    return paramErr;
  auto bytes = static_cast<const UInt8*>(inPtr);
  inEvent->m_Params[inName] =
      StandIn_Event::Param{inType, std::vector<UInt8>(bytes, bytes + inSize)};
  return noErr;
}

OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType* outActualType, UInt32 inBufferSize,
                           UInt32* outActualSize, void* outData) {
  if (OSStatus err = standin_tb::EnterCall("GetEventParameter"))
    return err;
  if (inEvent == nullptr)
    return paramErr;
  auto found = inEvent->m_Params.find(inName);
  if (found == inEvent->m_Params.end())
    return eventParameterNotFoundErr;
  const StandIn_Event::Param& param = found->second;
  std::vector<UInt8> value;
  EventParamType type = param.type;
  if (inDesiredType == typeWildCard || inDesiredType == param.type) {
    value = param.bytes;
  } else if (inDesiredType == typeHIPoint && param.type == typeQDPoint &&
             param.bytes.size() == sizeof(Point)) {
    Point qd;
    std::memcpy(&qd, param.bytes.data(), sizeof qd);
    CGPoint hi = CGPointMake(qd.h, qd.v);
    value.assign(reinterpret_cast<UInt8*>(&hi), reinterpret_cast<UInt8*>(&hi) + sizeof hi);
    type = typeHIPoint;
  } else if (inDesiredType == typeQDPoint && param.type == typeHIPoint &&
             param.bytes.size() == sizeof(CGPoint)) {
    CGPoint hi;
    std::memcpy(&hi, param.bytes.data(), sizeof hi);
    Point qd{static_cast<short>(hi.y), static_cast<short>(hi.x)};
    value.assign(reinterpret_cast<UInt8*>(&qd), reinterpret_cast<UInt8*>(&qd) + sizeof qd);
    type = typeQDPoint;
  } else {
    return errAECoercionFail;
  }
  if (outActualType)
    *outActualType = type;
  if (outActualSize)
    *outActualSize = static_cast<UInt32>(value.size());
  if (outData && !value.empty())
    std::memcpy(outData, value.data(), std::min<std::size_t>(inBufferSize, value.size()));
  return noErr;
}

OSStatus RemoveEventParameter(EventRef inEvent, EventParamName inName) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventParameter"))
    return err;
  if (inEvent == nullptr)
    return paramErr;
  return inEvent->m_Params.erase(inName) ? noErr : eventParameterNotFoundErr;
}

EventTargetRef GetApplicationEventTarget() {
  return &TheState().application;
}

EventTargetRef HIObjectGetEventTarget(HIObjectRef inObject) {
  return inObject ? &inObject->StandInCore().target : nullptr;
}

EventTargetRef GetWindowEventTarget(WindowRef inWindow) {
  return HIObjectGetEventTarget(inWindow);
}

EventTargetRef GetControlEventTarget(ControlRef inControl) {
  return HIObjectGetEventTarget(inControl);
}

EventTargetRef GetMenuEventTarget(MenuRef inMenu) {
  return HIObjectGetEventTarget(inMenu);
}

OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, UInt32 inNumTypes,
                             const EventTypeSpec* inList, void* inUserData,
                             EventHandlerRef* outRef) {
  if (outRef)
    *outRef = nullptr;
  if (inTarget == nullptr || inHandler == nullptr || (inNumTypes > 0 && inList == nullptr))
    return paramErr;
  if (OSStatus err = standin_tb::EnterCall("InstallEventHandler"))
    return err;
  auto handler = std::make_shared<OpaqueEventHandlerRef>();
  handler->proc = inHandler;
  handler->types.assign(inList, inList + inNumTypes);
  handler->userData = inUserData;
  handler->target = inTarget;
  inTarget->handlers.insert(inTarget->handlers.begin(), handler);
  TheState().handlers.insert(handler.get());
  if (outRef)
    *outRef = handler.get();
  return noErr;
}

OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventHandler"))
    return err;
  // A handler goes with its target's object too; removing it afterwards is answered, not a crash.
  if (TheState().handlers.erase(inHandlerRef) == 0)
    return paramErr;
  auto& handlers = inHandlerRef->target->handlers;
  auto found = std::find_if(handlers.begin(), handlers.end(),
                            [&](const auto& handler) { return handler.get() == inHandlerRef; });
  inHandlerRef->removed = true;
  if (found != handlers.end())
    handlers.erase(found);  // may free it: nothing touches it afterwards
  return noErr;
}

OSStatus AddEventTypesToHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                const EventTypeSpec* inList) {
  if (OSStatus err = standin_tb::EnterCall("AddEventTypesToHandler"))
    return err;
  if (inHandlerRef == nullptr || inHandlerRef->removed)
    return paramErr;
  inHandlerRef->types.insert(inHandlerRef->types.end(), inList, inList + inNumTypes);
  return noErr;
}

OSStatus RemoveEventTypesFromHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                     const EventTypeSpec* inList) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventTypesFromHandler"))
    return err;
  if (inHandlerRef == nullptr || inHandlerRef->removed)
    return paramErr;
  auto& types = inHandlerRef->types;
  for (UInt32 i = 0; i < inNumTypes; ++i) {
    types.erase(std::remove_if(types.begin(), types.end(),
                               [&](const EventTypeSpec& spec) {
                                 return spec.eventClass == inList[i].eventClass &&
                                        spec.eventKind == inList[i].eventKind;
                               }),
                types.end());
  }
  return noErr;
}

OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent) {
  if (OSStatus err = standin_tb::EnterCall("CallNextEventHandler"))
    return err;
  if (inCallRef == nullptr || inEvent == nullptr)
    return paramErr;
  return RunSteps(inCallRef, inEvent);
}

OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget) {
  if (OSStatus err = standin_tb::EnterCall("SendEventToEventTarget"))
    return err;
  if (inEvent == nullptr || inTarget == nullptr)
    return paramErr;
  Log(false, inEvent, inTarget);
  ChainHold hold;
  RetainEvent(inEvent);
  OpaqueEventHandlerCallRef call;
  for (EventTargetRef target = inTarget; target != nullptr;) {
    StandIn_HIObject* owner = target->owner;
    if (owner)
      hold.Hold(owner);
    for (const auto& handler : target->handlers)
      call.steps.push_back({handler, owner});
    call.steps.push_back({nullptr, owner});
    target = owner ? owner->ParentTarget() : nullptr;
  }
  const OSStatus result = RunSteps(&call, inEvent);
  ReleaseEvent(inEvent);
  return result;
}

EventQueueRef GetMainEventQueue() {
  return &TheState().mainQueue;
}

EventQueueRef GetCurrentEventQueue() {
  return &TheState().mainQueue;
}

OSStatus PostEventToQueue(EventQueueRef inQueue, EventRef inEvent, EventPriority inPriority) {
  if (inQueue == nullptr || inEvent == nullptr)
    return paramErr;
  if (inEvent->m_Queued)
    return eventAlreadyPostedErr;
  if (OSStatus err = standin_tb::EnterCall("PostEventToQueue"))
    return err;
  EventTargetRef target = GetApplicationEventTarget();
  standin_tb::Get(inEvent, kEventParamPostTarget, typeEventTargetRef, &target);
  Log(true, inEvent, target);
  RetainEvent(inEvent);
  inEvent->m_Queued = true;
  auto& queue = TheState().queue;
  auto place = std::find_if(queue.begin(), queue.end(),
                            [&](const Queued& q) { return q.priority < inPriority; });
  queue.insert(place, Queued{inEvent, target, inPriority});
  return noErr;
}

OSStatus RemoveEventFromQueue(EventQueueRef, EventRef inEvent) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventFromQueue"))
    return err;
  auto& queue = TheState().queue;
  auto found =
      std::find_if(queue.begin(), queue.end(), [&](const Queued& q) { return q.event == inEvent; });
  if (found == queue.end())
    return eventNotInQueueErr;
  queue.erase(found);
  inEvent->m_Queued = false;
  ReleaseEvent(inEvent);
  return noErr;
}

EventTime GetCurrentEventTime() {
  return TheState().clock;
}

UInt32 GetCurrentEventKeyModifiers() {
  return TheState().modifiers;
}

void RunApplicationEventLoop() {
  TheState().quit = false;
  long delivered = 0;
  while (!TheState().quit && !TheState().queue.empty() && delivered < 10000) {
    Queued next = TheState().queue.front();
    TheState().queue.pop_front();
    next.event->m_Queued = false;
    SendEventToEventTarget(next.event, next.target);
    ReleaseEvent(next.event);
    ++delivered;
  }
}

void QuitApplicationEventLoop() {
  TheState().quit = true;
}

EventLoopRef GetMainEventLoop() {
  return &TheState().mainLoop;
}

EventLoopRef GetCurrentEventLoop() {
  return &TheState().mainLoop;
}

OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay,
                               EventTimerInterval inInterval, EventLoopTimerUPP inTimerProc,
                               void* inTimerData, EventLoopTimerRef* outTimer) {
  if (outTimer)
    *outTimer = nullptr;
  if (inEventLoop == nullptr || inTimerProc == nullptr)
    return paramErr;
  if (OSStatus err = standin_tb::EnterCall("InstallEventLoopTimer"))
    return err;
  EventState& s = TheState();
  auto timer = std::make_unique<OpaqueEventLoopTimerRef>(OpaqueEventLoopTimerRef{
      inTimerProc, inTimerData, s.clock + std::max(0.0, inFireDelay), inInterval, s.timerOrder++});
  if (outTimer)
    *outTimer = timer.get();
  s.timers.push_back(std::move(timer));
  return noErr;
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventLoopTimer"))
    return err;
  auto& timers = TheState().timers;
  auto found = std::find_if(timers.begin(), timers.end(),
                            [&](const auto& timer) { return timer.get() == inTimer; });
  if (found == timers.end())
    return paramErr;
  timers.erase(found);
  return noErr;
}

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire) {
  if (OSStatus err = standin_tb::EnterCall("SetEventLoopTimerNextFireTime"))
    return err;
  if (inTimer == nullptr)
    return paramErr;
  inTimer->fireTime = inNextFire < 0 ? -1.0 : TheState().clock + inNextFire;
  return noErr;
}

long StandIn_EventLogCount() {
  return static_cast<long>(TheState().log.size());
}

StandIn_EventLogEntry StandIn_EventLogAt(long index) {
  return TheState().log.at(static_cast<std::size_t>(index));
}

long StandIn_EventLogCountOf(UInt32 eventClass, UInt32 eventKind) {
  const auto& log = TheState().log;
  return static_cast<long>(std::count_if(log.begin(), log.end(), [&](const auto& entry) {
    return entry.eventClass == eventClass && entry.eventKind == eventKind;
  }));
}

void StandIn_EventLogClear() {
  TheState().log.clear();
}

long StandIn_RunUntilIdle() {
  long delivered = 0;
  auto& queue = TheState().queue;
  while (!queue.empty() && delivered < 10000) {
    Queued next = queue.front();
    queue.pop_front();
    next.event->m_Queued = false;
    SendEventToEventTarget(next.event, next.target);
    ReleaseEvent(next.event);
    ++delivered;
  }
  return delivered;
}

long StandIn_QueuedEventCount() {
  return static_cast<long>(TheState().queue.size());
}

void StandIn_AdvanceClock(EventTimerInterval seconds) {
  EventState& s = TheState();
  const EventTime end = s.clock + std::max(0.0, seconds);
  for (;;) {
    OpaqueEventLoopTimerRef* due = nullptr;
    for (const auto& timer : s.timers) {
      if (timer->fireTime < 0 || timer->fireTime > end)
        continue;
      if (due == nullptr || timer->fireTime < due->fireTime ||
          (timer->fireTime == due->fireTime && timer->order < due->order))
        due = timer.get();
    }
    if (due == nullptr)
      break;
    s.clock = std::max(s.clock, due->fireTime);
    due->fireTime = due->interval > 0 ? due->fireTime + due->interval : -1.0;
    try {
      due->proc(due, due->userData);
    } catch (...) {
      std::fprintf(stderr, "Carbon event stand-in: exception left a timer\n");
      ++s.exceptions;
    }
    StandIn_RunUntilIdle();
  }
  s.clock = end;
}

long StandIn_TimerLiveCount() {
  return static_cast<long>(TheState().timers.size());
}

long StandIn_EventHandlerLiveCount() {
  return static_cast<long>(TheState().handlers.size());
}

long StandIn_HandlerExceptionCount() {
  return TheState().exceptions;
}

void StandIn_SetKeyModifiers(UInt32 modifiers) {
  TheState().modifiers = modifiers;
}

bool StandIn_QuitRequested() {
  return TheState().quit;
}

void StandIn_EventsReset() {
  EventState& s = TheState();
  while (!s.queue.empty()) {
    EventRef event = s.queue.front().event;
    s.queue.pop_front();
    event->m_Queued = false;
    ReleaseEvent(event);
  }
  s.log.clear();
  s.timers.clear();
  s.clock = 0;
  s.modifiers = 0;
  s.quit = false;
  s.exceptions = 0;
}
