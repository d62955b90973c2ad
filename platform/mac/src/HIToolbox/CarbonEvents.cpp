// Carbon Event Manager of the Mac stand-in (see HIToolbox/CarbonEvents.h).
#include "iStandInToolbox.h"

#include <HIToolbox/StandInInput.h>

#include "../AppleEvents/iStandInAppleEvents.h"
#include "../Files/iStandInFiles.h"
#include "iStandInEventClock.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

struct OpaqueEventQueueRef {};
struct OpaqueEventLoopRef {};

// One dispatch: the steps of the chain, each a handler or a target's standard handling.
struct OpaqueEventHandlerCallRef {
  struct Step {
    std::shared_ptr<StandIn_EventHandler> handler;  // null: the standard handling of object
    StandIn_HIObject* object;                       // null with a null handler: the application
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

// A timer's record; its EventLoopTimerRef is a serial number, never reused, that is looked up.
struct TimerRecord {
  EventLoopTimerUPP proc;
  void* userData;
  EventTime fireTime;  // < 0: not scheduled
  EventTimerInterval interval;
};

// The queue and the event log: the one part of the Event Manager that other threads reach (by
// PostEventToQueue), so the one part under a lock.
struct SharedQueue {
  std::mutex mutex;
  std::deque<Queued> events;
  std::atomic<bool> logging{false};
  std::vector<StandIn_EventLogEntry> log;
};

struct EventState {
  OpaqueEventTargetRef application;
  OpaqueEventQueueRef mainQueue;
  OpaqueEventLoopRef mainLoop;
  SharedQueue queue;
  std::map<EventLoopTimerRef, std::unique_ptr<TimerRecord>> timers;  // in installation order
  std::map<EventHandlerRef, std::shared_ptr<StandIn_EventHandler>> handlers;  // installed
  std::uintptr_t lastSerial = 0;
  UInt32 modifiers = 0;
  std::atomic<bool> quit{false};
  bool ranDry = false;
  const std::thread::id toolboxThread = std::this_thread::get_id();  // the main thread
  long exceptions = 0;
};

EventState& TheState() {
  static EventState* state = new EventState;  // never destroyed: objects may go in static exit
  return *state;
}

using QueueLock = std::lock_guard<std::mutex>;

// References to handlers and timers: serial numbers in the shape of the reference type, so that
// a reference outliving what it named never names something else.
template <class Ref>
Ref NewSerialRef() {
  EventState& s = TheState();
  s.lastSerial += 16;
  return reinterpret_cast<Ref>(s.lastSerial);
}

TimerRecord* FindTimer(EventLoopTimerRef ref) {
  auto found = TheState().timers.find(ref);
  return found == TheState().timers.end() ? nullptr : found->second.get();
}

// Called with the queue's lock held.
void Log(bool posted, EventRef event, EventTargetRef target) {
  SharedQueue& queue = TheState().queue;
  if (!queue.logging)
    return;
  StandIn_EventLogEntry entry{posted, event->m_Class, event->m_Kind, target, nullptr};
  auto direct = event->m_Params.find(kEventParamDirectObject);
  if (direct != event->m_Params.end() && direct->second.bytes.size() == sizeof(void*))
    std::memcpy(&entry.directObject, direct->second.bytes.data(), sizeof(void*));
  queue.log.push_back(entry);
}

OSStatus StandardHandling(StandIn_HIObject* object, EventRef event) {
  if (object != nullptr)
    return object->StandardHandler(event);
  if (event->m_Class == kEventClassCommand && event->m_Kind == kEventCommandProcess) {
    HICommand command;
    // As on the Mac, the quit command asks the program itself, by the quit Apple event, whose
    // handler may still decline.
    if (standin_tb::Get(event, kEventParamDirectObject, typeHICommand, &command) &&
        command.commandID == kHICommandQuit) {
      return standin_ae::SendToSelf(kCoreEventClass, kAEQuitApplication);
    }
  }
  if (event->m_Class == kEventClassAppleEvent && event->m_Kind == kEventAppleEvent) {
    EventRecord record;
    ConvertEventRefToEventRecord(event, &record);
    AEProcessAppleEvent(&record);
    return noErr;
  }
  return eventNotHandledErr;
}

OSStatus CallHandler(StandIn_EventHandler& handler, EventHandlerCallRef call, EventRef event) {
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

bool StandIn_EventHandler::Wants(UInt32 eventClass, UInt32 eventKind) const {
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
  std::vector<EventRef> dropped;
  {
    SharedQueue& queue = TheState().queue;
    QueueLock lock(queue.mutex);
    for (auto it = queue.events.begin(); it != queue.events.end();) {
      if (it->target == target) {
        it->event->m_Queued = false;
        dropped.push_back(it->event);
        it = queue.events.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (EventRef event : dropped)
    ReleaseEvent(event);  // without the lock: releasing may free what posts again
}

void RemoveAllHandlers(OpaqueEventTargetRef& target) {
  for (auto& handler : target.handlers) {
    handler->removed = true;
    TheState().handlers.erase(handler->ref);
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
  if (inEvent->m_Class == kEventClassAppleEvent && inEvent->m_Kind == kEventAppleEvent) {
    // A high-level event: the message is the Apple event's class, the point its ID.
    AEEventID id = 0;
    record.what = kHighLevelEvent;
    standin_tb::Get(inEvent, kEventParamAEEventClass, typeType, &record.message);
    standin_tb::Get(inEvent, kEventParamAEEventID, typeType, &id);
    static_assert(sizeof id == sizeof record.where, "the ID travels in the point");
    std::memcpy(&record.where, &id, sizeof id);
    record.modifiers = static_cast<EventModifiers>(GetCurrentEventKeyModifiers());
    *outEvent = record;
    return true;
  }
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
  auto handler = std::make_shared<StandIn_EventHandler>();
  handler->proc = inHandler;
  handler->types.assign(inList, inList + inNumTypes);
  handler->userData = inUserData;
  handler->target = inTarget;
  handler->ref = NewSerialRef<EventHandlerRef>();
  inTarget->handlers.insert(inTarget->handlers.begin(), handler);
  TheState().handlers.emplace(handler->ref, handler);
  if (outRef)
    *outRef = handler->ref;
  return noErr;
}

namespace {

// The installed handler of a reference; null for one removed (also with its target's object),
// where the Mac would crash.
StandIn_EventHandler* FindHandler(EventHandlerRef ref) {
  auto found = TheState().handlers.find(ref);
  return found == TheState().handlers.end() ? nullptr : found->second.get();
}

}  // namespace

OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventHandler"))
    return err;
  auto found = TheState().handlers.find(inHandlerRef);
  if (found == TheState().handlers.end())
    return paramErr;
  const std::shared_ptr<StandIn_EventHandler> handler = found->second;
  TheState().handlers.erase(found);
  handler->removed = true;  // a dispatch under way skips it
  auto& handlers = handler->target->handlers;
  handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
  return noErr;
}

OSStatus AddEventTypesToHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                const EventTypeSpec* inList) {
  if (OSStatus err = standin_tb::EnterCall("AddEventTypesToHandler"))
    return err;
  StandIn_EventHandler* handler = FindHandler(inHandlerRef);
  if (handler == nullptr)
    return paramErr;
  handler->types.insert(handler->types.end(), inList, inList + inNumTypes);
  return noErr;
}

OSStatus RemoveEventTypesFromHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                     const EventTypeSpec* inList) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventTypesFromHandler"))
    return err;
  StandIn_EventHandler* handler = FindHandler(inHandlerRef);
  if (handler == nullptr)
    return paramErr;
  auto& types = handler->types;
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
  if (TheState().queue.logging) {
    QueueLock lock(TheState().queue.mutex);
    Log(false, inEvent, inTarget);
  }
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
  if (OSStatus err = standin_tb::EnterCall("PostEventToQueue"))
    return err;
  EventTargetRef target = GetApplicationEventTarget();
  standin_tb::Get(inEvent, kEventParamPostTarget, typeEventTargetRef, &target);
  {
    SharedQueue& queue = TheState().queue;
    QueueLock lock(queue.mutex);
    if (inEvent->m_Queued)
      return eventAlreadyPostedErr;
    Log(true, inEvent, target);
    RetainEvent(inEvent);
    inEvent->m_Queued = true;
    auto place = std::find_if(queue.events.begin(), queue.events.end(),
                              [&](const Queued& q) { return q.priority < inPriority; });
    queue.events.insert(place, Queued{inEvent, target, inPriority});
  }
  // The main thread posts only while it runs, never while its loop waits.
  if (std::this_thread::get_id() != TheState().toolboxThread)
    StandIn_CurrentInputSource().Wake();
  return noErr;
}

OSStatus RemoveEventFromQueue(EventQueueRef, EventRef inEvent) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventFromQueue"))
    return err;
  {
    SharedQueue& queue = TheState().queue;
    QueueLock lock(queue.mutex);
    auto found = std::find_if(queue.events.begin(), queue.events.end(),
                              [&](const Queued& q) { return q.event == inEvent; });
    if (found == queue.events.end())
      return eventNotInQueueErr;
    queue.events.erase(found);
    inEvent->m_Queued = false;
  }
  ReleaseEvent(inEvent);
  return noErr;
}

EventTime GetCurrentEventTime() {
  return standin_tb::ClockNow();
}

UInt32 GetCurrentEventKeyModifiers() {
  return TheState().modifiers;
}

namespace {

// Takes the first queued event; false when the queue is empty.
bool TakeQueued(Queued* next) {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  if (queue.events.empty())
    return false;
  *next = queue.events.front();
  queue.events.pop_front();
  next->event->m_Queued = false;
  return true;
}

bool QueueEmpty() {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  return queue.events.empty();
}

// Delivers queued events, also those posted meanwhile, until the queue is empty or the loop is
// told to quit (when asked to stop there). At most 10000 in a row, against events that post
// themselves for ever.
long DeliverQueued(bool stopAtQuit) {
  long delivered = 0;
  Queued next{};
  while (delivered < 10000 && !(stopAtQuit && TheState().quit) && TakeQueued(&next)) {
    SendEventToEventTarget(next.event, next.target);
    ReleaseEvent(next.event);
    ++delivered;
  }
  return delivered;
}

// The next firing of a timer fired at its due time when the clock reads now: one interval on,
// or, for a timer that fell behind, the first of its times after now (it fires once, not once
// per missed interval).
void Reschedule(TimerRecord& timer, EventTime now) {
  if (timer.interval <= 0) {
    timer.fireTime = -1.0;
    return;
  }
  EventTime next = timer.fireTime + timer.interval;
  if (next <= now)
    next += std::floor((now - next) / timer.interval + 1) * timer.interval;
  while (next <= now)  // rounding
    next += timer.interval;
  timer.fireTime = next;
}

// The timer due first at or before time (earlier installation first among equals), else null.
EventLoopTimerRef FirstDueBy(EventTime time) {
  EventLoopTimerRef first = nullptr;
  EventTime firstTime = 0;
  for (const auto& [ref, timer] : TheState().timers) {
    if (timer->fireTime < 0 || timer->fireTime > time)
      continue;
    if (first == nullptr || timer->fireTime < firstTime) {
      first = ref;
      firstTime = timer->fireTime;
    }
  }
  return first;
}

// Fires one timer (rescheduled first, so that it may remove or set itself again) and delivers
// what its firing queued.
void Fire(EventLoopTimerRef ref, EventTime now) {
  TimerRecord& timer = *FindTimer(ref);
  const EventLoopTimerUPP proc = timer.proc;
  void* const userData = timer.userData;
  Reschedule(timer, now);
  try {
    proc(ref, userData);  // may remove the timer: nothing touches it afterwards
  } catch (...) {
    std::fprintf(stderr, "Carbon event stand-in: exception left a timer\n");
    ++TheState().exceptions;
  }
}

// The loop's round of timers: each timer due now fires once, however far behind it is.
void FireDueTimers() {
  const EventTime now = standin_tb::ClockNow();
  std::vector<EventLoopTimerRef> due;
  for (const auto& [ref, timer] : TheState().timers)
    if (timer->fireTime >= 0 && timer->fireTime <= now)
      due.push_back(ref);
  std::stable_sort(due.begin(), due.end(), [](EventLoopTimerRef a, EventLoopTimerRef b) {
    return FindTimer(a)->fireTime < FindTimer(b)->fireTime;
  });
  for (EventLoopTimerRef ref : due) {
    if (TheState().quit)
      return;
    const TimerRecord* timer = FindTimer(ref);
    if (timer == nullptr || timer->fireTime < 0 || timer->fireTime > now)
      continue;  // removed or set again by an earlier firing
    Fire(ref, now);
    DeliverQueued(true);
  }
}

}  // namespace

void RunApplicationEventLoop() {
  EventState& s = TheState();
  s.quit = false;
  s.ranDry = false;
  standin_ae::PostLaunchDocuments();
  StandIn_InputSource& source = StandIn_CurrentInputSource();
  while (!s.quit) {
    DeliverQueued(true);
    if (s.quit)
      break;
    FireDueTimers();
    if (s.quit)
      break;
    if (!QueueEmpty())
      continue;
    if (source.Exhausted()) {
      s.ranDry = true;
      break;
    }
    StandIn_Input input;
    if (source.NextInput(StandIn_NextTimerFireTime(), input))
      StandIn_DeliverInput(input);
  }
}

void QuitApplicationEventLoop() {
  TheState().quit = true;
  StandIn_CurrentInputSource().Wake();
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
  auto timer = std::make_unique<TimerRecord>(TimerRecord{
      inTimerProc, inTimerData, standin_tb::ClockNow() + std::max(0.0, inFireDelay), inInterval});
  const EventLoopTimerRef ref = NewSerialRef<EventLoopTimerRef>();
  TheState().timers.emplace(ref, std::move(timer));
  if (outTimer)
    *outTimer = ref;
  return noErr;
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer) {
  if (OSStatus err = standin_tb::EnterCall("RemoveEventLoopTimer"))
    return err;
  return TheState().timers.erase(inTimer) ? OSStatus(noErr) : OSStatus(paramErr);
}

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire) {
  if (OSStatus err = standin_tb::EnterCall("SetEventLoopTimerNextFireTime"))
    return err;
  TimerRecord* timer = FindTimer(inTimer);
  if (timer == nullptr)
    return paramErr;
  timer->fireTime = inNextFire < 0 ? -1.0 : standin_tb::ClockNow() + inNextFire;
  return noErr;
}

EventTime StandIn_NextTimerFireTime() {
  EventTime next = kEventDurationForever;
  for (const auto& entry : TheState().timers) {
    const EventTime time = entry.second->fireTime;
    if (time >= 0 && (next == kEventDurationForever || time < next))
      next = time;
  }
  return next;
}

bool StandIn_EventLoopRanDry() {
  return TheState().ranDry;
}

void StandIn_UseLiveClock(bool live) {
  standin_tb::ClockSetLive(live);
}

void StandIn_EventLogRecord(bool on) {
  TheState().queue.logging = on;
}

long StandIn_EventLogCount() {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  return static_cast<long>(queue.log.size());
}

StandIn_EventLogEntry StandIn_EventLogAt(long index) {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  return queue.log.at(static_cast<std::size_t>(index));
}

long StandIn_EventLogCountOf(UInt32 eventClass, UInt32 eventKind) {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  return static_cast<long>(std::count_if(queue.log.begin(), queue.log.end(), [&](const auto& e) {
    return e.eventClass == eventClass && e.eventKind == eventKind;
  }));
}

void StandIn_EventLogClear() {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  queue.log.clear();
}

long StandIn_RunUntilIdle() {
  return DeliverQueued(false);
}

long StandIn_QueuedEventCount() {
  SharedQueue& queue = TheState().queue;
  QueueLock lock(queue.mutex);
  return static_cast<long>(queue.events.size());
}

void StandIn_AdvanceClock(EventTimerInterval seconds) {
  const EventTime end = standin_tb::ClockNow() + std::max(0.0, seconds);
  // An idle loop over that span: each timer fires at each of its times.
  while (EventLoopTimerRef due = FirstDueBy(end)) {
    const EventTime time = FindTimer(due)->fireTime;
    standin_tb::ClockMoveTo(time);
    Fire(due, std::max(time, standin_tb::ClockNow()));
    DeliverQueued(false);
  }
  standin_tb::ClockMoveTo(end);
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
  std::deque<Queued> dropped;
  {
    QueueLock lock(s.queue.mutex);
    dropped.swap(s.queue.events);
    for (const Queued& q : dropped)
      q.event->m_Queued = false;
    s.queue.log.clear();
    s.queue.logging = false;
  }
  for (const Queued& q : dropped)
    ReleaseEvent(q.event);
  standin_ae::DropPending();
  StandIn_ScriptInputClear();
  s.timers.clear();
  standin_tb::ClockReset();
  s.modifiers = 0;
  s.quit = false;
  s.ranDry = false;
  s.exceptions = 0;
}
