// Events, handlers, dispatch, the queue, timers and HIObject subclasses of the stand-in.
#include "StandInToolboxTest.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class CarbonEventsTest : public StandInToolboxTest {};

// Records its name in a trace and answers a fixed result.
struct Recorder {
  std::vector<std::string>* trace;
  std::string name;
  OSStatus result;
};

OSStatus RecordingHandler(EventHandlerCallRef, EventRef, void* data) {
  auto recorder = static_cast<Recorder*>(data);
  recorder->trace->push_back(recorder->name);
  return recorder->result;
}

const EventTypeSpec kCommandProcess = {kEventClassCommand, kEventCommandProcess};
const EventTypeSpec kWindowClose = {kEventClassWindow, kEventWindowClose};

TEST_F(CarbonEventsTest, PointParametersAreCoercedAndOtherTypesFail) {
  EventRef event = nullptr;
  ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassMouse, 1, 0, 0, &event));
  const Point qd = {20, 10};  // v, h
  SetEventParameter(event, kEventParamMouseLocation, typeQDPoint, sizeof qd, &qd);
  HIPoint hi{0, 0};
  EventParamType type = 0;
  EXPECT_EQ(noErr, GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, &type, sizeof hi,
                                     nullptr, &hi));
  EXPECT_EQ(typeHIPoint, type);
  EXPECT_EQ(10.0f, hi.x);
  EXPECT_EQ(20.0f, hi.y);

  const HIPoint back = {7.5f, 3.0f};
  SetEventParameter(event, kEventParamMouseLocation, typeHIPoint, sizeof back, &back);
  Point qdBack{0, 0};
  EXPECT_EQ(noErr, GetEventParameter(event, kEventParamMouseLocation, typeQDPoint, nullptr,
                                     sizeof qdBack, nullptr, &qdBack));
  EXPECT_EQ(7, qdBack.h);
  EXPECT_EQ(3, qdBack.v);

  UInt32 size = 0;
  EXPECT_EQ(noErr, GetEventParameter(event, kEventParamMouseLocation, typeWildCard, &type, 0, &size,
                                     nullptr));
  EXPECT_EQ(sizeof(HIPoint), size);
  UInt32 number = 0;
  EXPECT_EQ(errAECoercionFail, GetEventParameter(event, kEventParamMouseLocation, typeUInt32,
                                                 nullptr, sizeof number, nullptr, &number));
  EXPECT_EQ(eventParameterNotFoundErr, GetEventParameter(event, kEventParamKeyModifiers, typeUInt32,
                                                         nullptr, sizeof number, nullptr, &number));
  ReleaseEvent(event);
}

TEST_F(CarbonEventsTest, SendingGoesNewestFirstThenUpFromControlToApplication) {
  StandIn_EventLogRecord(true);
  WindowRef window = NewWindow();
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 100, 100));
  HIViewRef button = StandIn_NewView("push", CGRectMake(5, 5, 50, 20));
  HIViewAddSubview(HIViewGetRoot(window), pane);
  HIViewAddSubview(pane, button);
  std::vector<std::string> trace;
  Recorder older{&trace, "button older", eventNotHandledErr};
  Recorder newer{&trace, "button newer", eventNotHandledErr};
  Recorder inPane{&trace, "pane", eventNotHandledErr};
  Recorder inWindow{&trace, "window", eventNotHandledErr};
  Recorder inApp{&trace, "application", noErr};
  EventHandlerRef handlers[5];
  InstallControlEventHandler(button, RecordingHandler, 1, &kCommandProcess, &older, &handlers[0]);
  InstallControlEventHandler(button, RecordingHandler, 1, &kCommandProcess, &newer, &handlers[1]);
  InstallControlEventHandler(pane, RecordingHandler, 1, &kCommandProcess, &inPane, &handlers[2]);
  InstallWindowEventHandler(window, RecordingHandler, 1, &kCommandProcess, &inWindow, &handlers[3]);
  InstallApplicationEventHandler(RecordingHandler, 1, &kCommandProcess, &inApp, &handlers[4]);

  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
  EXPECT_EQ(noErr, SendEventToEventTarget(event, GetControlEventTarget(button)));
  EXPECT_EQ(
      (std::vector<std::string>{"button newer", "button older", "pane", "window", "application"}),
      trace);

  // A handler that answers ends the dispatch.
  trace.clear();
  inPane.result = noErr;
  EXPECT_EQ(noErr, SendEventToEventTarget(event, GetControlEventTarget(button)));
  EXPECT_EQ((std::vector<std::string>{"button newer", "button older", "pane"}), trace);

  // The log holds the sends with their targets.
  ASSERT_EQ(2, StandIn_EventLogCount());
  EXPECT_FALSE(StandIn_EventLogAt(1).posted);
  EXPECT_EQ(GetControlEventTarget(button), StandIn_EventLogAt(1).target);

  ReleaseEvent(event);
  for (EventHandlerRef handler : handlers)
    RemoveEventHandler(handler);
  CFRelease(button);
  CFRelease(pane);
  DisposeWindow(window);
}

struct CallsNext {
  std::vector<std::string>* trace;
};

OSStatus CallingNextHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto calls = static_cast<CallsNext*>(data);
  calls->trace->push_back("before");
  OSStatus next = CallNextEventHandler(call, event);
  calls->trace->push_back("after " + std::to_string(next));
  return noErr;
}

TEST_F(CarbonEventsTest, CallNextEventHandlerRunsTheRestOfTheChainOnce) {
  std::vector<std::string> trace;
  Recorder last{&trace, "last", eventNotHandledErr};
  CallsNext first{&trace};
  EventHandlerRef handlers[2];
  InstallApplicationEventHandler(RecordingHandler, 1, &kCommandProcess, &last, &handlers[0]);
  InstallApplicationEventHandler(CallingNextHandler, 1, &kCommandProcess, &first, &handlers[1]);
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
  EXPECT_EQ(noErr, SendEventToEventTarget(event, GetApplicationEventTarget()));
  EXPECT_EQ((std::vector<std::string>{"before", "last", "after -9874"}), trace);
  ReleaseEvent(event);
  RemoveEventHandler(handlers[0]);
  RemoveEventHandler(handlers[1]);
}

OSStatus DisposingHandler(EventHandlerCallRef, EventRef event, void*) {
  WindowRef window = nullptr;
  GetEventParameter(event, kEventParamDirectObject, typeWindowRef, nullptr, sizeof window, nullptr,
                    &window);
  DisposeWindow(window);
  DisposeWindow(window);  // a second dispose is ignored
  return eventNotHandledErr;
}

TEST_F(CarbonEventsTest, ATargetStaysAliveWhileItsHandlerDisposesOfIt) {
  StandIn_WindowsResetCounts();
  WindowRef window = NewWindow();
  InstallWindowEventHandler(window, DisposingHandler, 1, &kWindowClose, nullptr, nullptr);
  EventRef close = nullptr;
  CreateEvent(nullptr, kEventClassWindow, kEventWindowClose, 0, 0, &close);
  SetEventParameter(close, kEventParamDirectObject, typeWindowRef, sizeof window, &window);
  // The standard close handling runs after the handler, on the window kept alive; it disposes
  // of nothing more.
  EXPECT_EQ(noErr, SendEventToEventTarget(close, GetWindowEventTarget(window)));
  EXPECT_EQ(1, StandIn_WindowDisposeCount());
  ReleaseEvent(close);
}

TEST_F(CarbonEventsTest, PostedEventsWaitForTheLoopAndGoWithTheirTarget) {
  StandIn_EventLogRecord(true);
  std::vector<std::string> trace;
  Recorder inWindow{&trace, "window", noErr};
  WindowRef kept = NewWindow();
  WindowRef disposed = NewWindow();
  InstallWindowEventHandler(kept, RecordingHandler, 1, &kWindowClose, &inWindow, nullptr);
  for (WindowRef window : {kept, disposed}) {
    EventRef close = nullptr;
    CreateEvent(nullptr, kEventClassWindow, kEventWindowClose, 0, 0, &close);
    SetEventParameter(close, kEventParamDirectObject, typeWindowRef, sizeof window, &window);
    EventTargetRef target = GetWindowEventTarget(window);
    SetEventParameter(close, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
    EXPECT_EQ(noErr, PostEventToQueue(GetMainEventQueue(), close, kEventPriorityStandard));
    EXPECT_EQ(eventAlreadyPostedErr,
              PostEventToQueue(GetMainEventQueue(), close, kEventPriorityStandard));
    ReleaseEvent(close);
  }
  EXPECT_TRUE(trace.empty());
  EXPECT_EQ(2, StandIn_QueuedEventCount());
  ASSERT_EQ(2, StandIn_EventLogCount());
  EXPECT_TRUE(StandIn_EventLogAt(0).posted);
  EXPECT_EQ(kEventWindowClose, StandIn_EventLogAt(0).eventKind);
  EXPECT_EQ(static_cast<const void*>(kept), StandIn_EventLogAt(0).directObject);

  DisposeWindow(disposed);
  EXPECT_EQ(1, StandIn_QueuedEventCount());
  EXPECT_EQ(1, StandIn_RunUntilIdle());
  EXPECT_EQ(std::vector<std::string>{"window"}, trace);
  DisposeWindow(kept);
}

TEST_F(CarbonEventsTest, MenusGoOnToTheApplicationAndPlainObjectsNowhere) {
  std::vector<std::string> trace;
  Recorder inMenu{&trace, "menu", eventNotHandledErr};
  Recorder inApp{&trace, "application", eventNotHandledErr};
  MenuRef menu = nullptr;
  CreateNewMenu(1, 0, &menu);
  EventHandlerRef handlers[2];
  InstallMenuEventHandler(menu, RecordingHandler, 1, &kCommandProcess, &inMenu, &handlers[0]);
  InstallApplicationEventHandler(RecordingHandler, 1, &kCommandProcess, &inApp, &handlers[1]);
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
  EXPECT_EQ(eventNotHandledErr, SendEventToEventTarget(event, GetMenuEventTarget(menu)));
  EXPECT_EQ((std::vector<std::string>{"menu", "application"}), trace);
  ReleaseEvent(event);
  RemoveEventHandler(handlers[0]);
  RemoveEventHandler(handlers[1]);
  EXPECT_EQ(paramErr, RemoveEventHandler(handlers[0]));
  DisposeMenu(menu);
}

OSStatus QuitOnCommand(EventHandlerCallRef, EventRef event, void*) {
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  if (command.commandID != kHICommandCancel)
    return eventNotHandledErr;
  QuitApplicationEventLoop();
  return noErr;
}

TEST_F(CarbonEventsTest, TheApplicationLoopRunsUntilQuit) {
  EventHandlerRef handler = nullptr;
  InstallApplicationEventHandler(QuitOnCommand, 1, &kCommandProcess, nullptr, &handler);
  for (UInt32 commandID : {kHICommandCancel, kHICommandOK}) {
    EventRef event = nullptr;
    CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
    HICommand command{};
    command.commandID = commandID;
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
    ReleaseEvent(event);
  }
  RunApplicationEventLoop();
  EXPECT_TRUE(StandIn_QuitRequested());
  EXPECT_FALSE(StandIn_EventLoopRanDry());
  EXPECT_EQ(1, StandIn_QueuedEventCount());  // the event after the quit waits
  RemoveEventHandler(handler);
}

OSStatus ThrowingHandler(EventHandlerCallRef, EventRef, void*) {
  throw std::runtime_error("handler failed");
}

TEST_F(CarbonEventsTest, AnExceptionAtTheHandlerBoundaryIsAnsweredInternalError) {
  EventHandlerRef handler = nullptr;
  InstallApplicationEventHandler(ThrowingHandler, 1, &kCommandProcess, nullptr, &handler);
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
  EXPECT_EQ(eventInternalErr, SendEventToEventTarget(event, GetApplicationEventTarget()));
  EXPECT_EQ(1, StandIn_HandlerExceptionCount());
  ReleaseEvent(event);
  RemoveEventHandler(handler);
}

struct TimerLog {
  std::vector<std::pair<std::string, EventTime>> fired;
  EventLoopTimerRef removeOnFire = nullptr;
};

void LogTimerA(EventLoopTimerRef, void* data) {
  static_cast<TimerLog*>(data)->fired.emplace_back("a", GetCurrentEventTime());
}

void LogTimerB(EventLoopTimerRef timer, void* data) {
  auto log = static_cast<TimerLog*>(data);
  log->fired.emplace_back("b", GetCurrentEventTime());
  if (log->fired.size() >= 3)
    RemoveEventLoopTimer(timer);
}

TEST_F(CarbonEventsTest, TimersFireInTimeOrderOnTheVirtualClock) {
  TimerLog log;
  EventLoopTimerRef once = nullptr;
  EventLoopTimerRef repeating = nullptr;
  InstallEventLoopTimer(GetMainEventLoop(), 0.25, 0, LogTimerA, &log, &once);
  InstallEventLoopTimer(GetMainEventLoop(), 0.1, 0.1, LogTimerB, &log, &repeating);
  StandIn_AdvanceClock(0.05);
  EXPECT_TRUE(log.fired.empty());
  StandIn_AdvanceClock(0.5);
  ASSERT_EQ(4u, log.fired.size());
  EXPECT_EQ("b", log.fired[0].first);
  EXPECT_DOUBLE_EQ(0.1, log.fired[0].second);
  EXPECT_EQ("b", log.fired[1].first);
  EXPECT_EQ("a", log.fired[2].first);
  EXPECT_DOUBLE_EQ(0.25, log.fired[2].second);
  EXPECT_EQ("b", log.fired[3].first);  // removed itself at its third firing
  EXPECT_DOUBLE_EQ(0.55, GetCurrentEventTime());
  EXPECT_EQ(1, StandIn_TimerLiveCount());  // the one-shot stays installed, unscheduled
  RemoveEventLoopTimer(once);
  EXPECT_EQ(0, StandIn_TimerLiveCount());
}

// A subclass whose instance data counts the events it saw.
struct Instance {
  HIObjectRef object;
  SInt32 initialValue = 0;
};
constexpr EventParamName kInitParam = 0x696e6974;  // 'init'
long g_Destructed = 0;
bool g_FailInitialize = false;

OSStatus SubclassHandler(EventHandlerCallRef, EventRef event, void* data) {
  switch (GetEventKind(event)) {
    case kEventHIObjectConstruct: {
      auto instance = new Instance;
      GetEventParameter(event, kEventParamHIObjectInstance, typeHIObjectRef, nullptr,
                        sizeof instance->object, nullptr, &instance->object);
      SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance,
                        &instance);
      return noErr;
    }
    case kEventHIObjectInitialize:
      GetEventParameter(event, kInitParam, typeSInt32, nullptr, sizeof(SInt32), nullptr,
                        &static_cast<Instance*>(data)->initialValue);
      return g_FailInitialize ? OSStatus(paramErr) : OSStatus(noErr);
    case kEventHIObjectDestruct:
      delete static_cast<Instance*>(data);
      ++g_Destructed;
      return noErr;
  }
  return eventNotHandledErr;
}

TEST_F(CarbonEventsTest, SubclassesConstructInitialiseAndDestructTheirInstances) {
  const EventTypeSpec events[] = {{kEventClassHIObject, kEventHIObjectConstruct},
                                  {kEventClassHIObject, kEventHIObjectInitialize},
                                  {kEventClassHIObject, kEventHIObjectDestruct}};
  CFStringRef id = CFSTR("com.example.Counter");
  HIObjectClassRef cls = nullptr;
  ASSERT_EQ(noErr, HIObjectRegisterSubclass(id, CFSTR("com.apple.hiview"), 0, SubclassHandler, 3,
                                            events, nullptr, &cls));
  EXPECT_EQ(hiObjectClassExistsErr,
            HIObjectRegisterSubclass(id, nullptr, 0, SubclassHandler, 3, events, nullptr, nullptr));
  EventRef init = nullptr;
  CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, 0, 0, &init);
  const SInt32 initial = 42;
  SetEventParameter(init, kInitParam, typeSInt32, sizeof initial, &initial);
  HIObjectRef object = nullptr;
  g_Destructed = 0;
  ASSERT_EQ(noErr, HIObjectCreate(id, init, &object));
  EXPECT_EQ(1, StandIn_HIObjectLiveCount(id));
  auto instance = static_cast<Instance*>(HIObjectDynamicCast(object, id));
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(object, instance->object);
  EXPECT_EQ(42, instance->initialValue);
  EXPECT_TRUE(HIObjectIsOfClass(object, CFSTR("com.apple.hiview")));
  EXPECT_EQ(hiObjectClassHasInstancesErr, HIObjectUnregisterClass(cls));
  CFRetain(object);
  CFRelease(object);
  EXPECT_EQ(0, g_Destructed);
  CFRelease(object);
  EXPECT_EQ(1, g_Destructed);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(id));

  // A failed initialisation destructs the instance and reports the status.
  g_FailInitialize = true;
  EXPECT_EQ(paramErr, HIObjectCreate(id, init, &object));
  g_FailInitialize = false;
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(2, g_Destructed);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(id));
  ReleaseEvent(init);
  EXPECT_EQ(noErr, HIObjectUnregisterClass(cls));
}

}  // namespace
