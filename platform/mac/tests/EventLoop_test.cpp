// The application loop of the stand-in: quitting, running dry, waiting for timers on the event
// clock, catching up, and waking from other threads.
#include "StandInToolboxTest.h"

#include <HIToolbox/StandInInput.h>
#include <PPx/PPxApplication.h>
#include <PPx/PPxTimer.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

class EventLoopTest : public StandInToolboxTest {
protected:
  void TearDown() override {
    StandIn_MPWaitForTasks();
    StandIn_SetInputSource(nullptr);
    StandInToolboxTest::TearDown();
  }
};

constexpr UInt32 kStopCommand = 0x53746f70;  // 'Stop'
const EventTypeSpec kCommandProcess = {kEventClassCommand, kEventCommandProcess};

OSStatus StopOnCommand(EventHandlerCallRef, EventRef event, void* data) {
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  if (command.commandID != kStopCommand)
    return eventNotHandledErr;
  if (data)
    static_cast<std::atomic<bool>*>(data)->store(MPCurrentTaskID() == nullptr);
  QuitApplicationEventLoop();
  return noErr;
}

OSStatus PostCommand(UInt32 commandID) {
  EventRef event = nullptr;
  OSStatus status = CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess,
                                GetCurrentEventTime(), kEventAttributeNone, &event);
  if (status != noErr)
    return status;
  HICommand command{};
  command.commandID = commandID;
  SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
  status = PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
  ReleaseEvent(event);
  return status;
}

// Records the clock at each firing; a firing may act as a slow one that takes time (the script's
// pause, read as a modal loop would) or end the loop.
struct FiringLog {
  std::vector<EventTime> times;
  EventTimerInterval slowFirst = 0;
  size_t quitAfter = 0;  // 0: never
};

void LogFiring(EventLoopTimerRef, void* data) {
  auto log = static_cast<FiringLog*>(data);
  log->times.push_back(GetCurrentEventTime());
  if (log->times.size() == 1 && log->slowFirst > 0) {
    StandIn_Input ignored;
    StandIn_CurrentInputSource().NextInput(GetCurrentEventTime() + log->slowFirst, ignored);
  }
  if (log->quitAfter != 0 && log->times.size() == log->quitAfter)
    QuitApplicationEventLoop();
}

TEST_F(EventLoopTest, TheLoopRunsUntilQuitOrUntilTheScriptRunsDry) {
  struct Case {
    const char* name;
    bool postStop;
    EventTimerInterval pause;  // scripted before the loop runs; < 0: none
    bool quits;
    EventTime clockAfter;
  };
  const Case cases[] = {
      {"an empty script returns at once", false, -1, false, 0},
      {"a pause passes, then the script is dry", false, 2.5, false, 2.5},
      {"a quit ends the loop before the pause", true, 2.5, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn_EventsReset();
    EventHandlerRef handler = nullptr;
    InstallApplicationEventHandler(StopOnCommand, 1, &kCommandProcess, nullptr, &handler);
    if (c.pause >= 0)
      StandIn_ScriptPause(c.pause);
    if (c.postStop)
      PostCommand(kStopCommand);
    RunApplicationEventLoop();
    EXPECT_EQ(c.quits, StandIn_QuitRequested());
    EXPECT_EQ(!c.quits, StandIn_EventLoopRanDry());
    EXPECT_DOUBLE_EQ(c.clockAfter, GetCurrentEventTime());
    RemoveEventHandler(handler);
  }
}

TEST_F(EventLoopTest, TheLoopWaitsForTheNextTimerAndARepeatingOneCatchesUpOnce) {
  struct Case {
    const char* name;
    EventTimerInterval delay;
    EventTimerInterval interval;
    EventTimerInterval slowFirst;
    size_t quitAfter;
    EventTimerInterval pause;
    std::vector<EventTime> firings;
    EventTime nextDue;
  };
  const Case cases[] = {
      {"a timer ends the wait", 5, 0, 0, 1, 10, {5}, kEventDurationForever},
      {"a repeating timer fires at its times", 1, 1, 0, 0, 3.5, {1, 2, 3}, 4},
      // The first firing takes 3.5 s: the times 2, 3 and 4 are missed and it fires once for them.
      {"a timer that fell behind fires once", 1, 1, 3.5, 0, 6.5, {1, 4.5, 5, 6}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn_EventsReset();
    FiringLog log;
    log.slowFirst = c.slowFirst;
    log.quitAfter = c.quitAfter;
    EventLoopTimerRef timer = nullptr;
    ASSERT_EQ(noErr, InstallEventLoopTimer(GetMainEventLoop(), c.delay, c.interval, LogFiring, &log,
                                           &timer));
    EXPECT_DOUBLE_EQ(c.delay, StandIn_NextTimerFireTime());
    StandIn_ScriptPause(c.pause);
    RunApplicationEventLoop();
    EXPECT_EQ(c.firings, log.times);
    EXPECT_DOUBLE_EQ(c.nextDue, StandIn_NextTimerFireTime());
    EXPECT_EQ(c.quitAfter != 0, StandIn_QuitRequested());
  }
}

TEST_F(EventLoopTest, AdvancingTheClockStillFiresEachTimeOfATimer) {
  FiringLog log;
  InstallEventLoopTimer(GetMainEventLoop(), 1, 1, LogFiring, &log, nullptr);
  StandIn_AdvanceClock(3.5);
  EXPECT_EQ((std::vector<EventTime>{1, 2, 3}), log.times);
}

// A source that blocks until woken, as a display's does.
class BlockingSource : public StandIn_InputSource {
public:
  bool NextInput(EventTime, StandIn_Input&) override {
    std::unique_lock<std::mutex> lock(m_Mutex);
    // The guard only keeps a broken wake from hanging the test run.
    m_Woken.wait_for(lock, std::chrono::seconds(60), [this] { return m_Wake; });
    m_Wake = false;
    ++m_Waits;
    return false;
  }
  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(m_Mutex);
      m_Wake = true;
    }
    m_Woken.notify_all();
  }
  int Waits() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Waits;
  }

private:
  std::mutex m_Mutex;
  std::condition_variable m_Woken;
  bool m_Wake = false;
  int m_Waits = 0;
};

struct TaskRecord {
  std::atomic<bool> ranAsTask{false};
  std::atomic<int> posted{0};
  int count = 1;
};

OSStatus PostingTask(void* data) {
  auto record = static_cast<TaskRecord*>(data);
  record->ranAsTask = MPCurrentTaskID() != nullptr;
  for (int i = 0; i < record->count; ++i) {
    if (PostCommand(i + 1 == record->count ? kStopCommand : kHICommandOK) == noErr)
      ++record->posted;
  }
  return noErr;
}

TEST_F(EventLoopTest, ATaskPostingFromItsThreadWakesTheLoop) {
  for (int count : {1, 200}) {
    SCOPED_TRACE(count);
    StandIn_EventsReset();
    BlockingSource source;
    StandIn_SetInputSource(&source);
    std::atomic<bool> handledOnMainThread{false};
    EventHandlerRef handler = nullptr;
    InstallApplicationEventHandler(StopOnCommand, 1, &kCommandProcess, &handledOnMainThread,
                                   &handler);
    TaskRecord record;
    record.count = count;
    MPTaskID task = nullptr;
    ASSERT_EQ(noErr, MPCreateTask(PostingTask, &record, 0, nullptr, nullptr, nullptr, 0, &task));
    EXPECT_NE(nullptr, task);
    RunApplicationEventLoop();
    StandIn_MPWaitForTasks();
    EXPECT_TRUE(StandIn_QuitRequested());
    EXPECT_TRUE(record.ranAsTask);
    EXPECT_TRUE(handledOnMainThread);
    EXPECT_EQ(count, record.posted);
    EXPECT_EQ(0, StandIn_MPRunningTaskCount());
    StandIn_SetInputSource(nullptr);
    RemoveEventHandler(handler);
  }
}

TEST_F(EventLoopTest, TheLiveClockFollowsRealTimeFromWhereItStood) {
  StandIn_AdvanceClock(100);
  StandIn_UseLiveClock(true);
  const EventTime start = GetCurrentEventTime();
  EXPECT_GE(start, 100.0);
  // A pause under the live clock takes its time: a short one, to keep the test quick.
  StandIn_ScriptPause(0.01);
  RunApplicationEventLoop();
  EXPECT_GE(GetCurrentEventTime(), start + 0.01);
  StandIn_UseLiveClock(false);
  const EventTime stopped = GetCurrentEventTime();
  EXPECT_EQ(stopped, GetCurrentEventTime());
}

// The faults of stale references: each is answered, none reaches what came after.
TEST_F(EventLoopTest, StaleTimerReferencesAreAnsweredAndNeverReused) {
  FiringLog log;
  EventLoopTimerRef stale = nullptr;
  InstallEventLoopTimer(GetMainEventLoop(), 1, 0, LogFiring, &log, &stale);
  StandIn_EventsReset();  // frees every timer
  EventLoopTimerRef fresh = nullptr;
  InstallEventLoopTimer(GetMainEventLoop(), 2, 0, LogFiring, &log, &fresh);
  EXPECT_NE(stale, fresh);
  EXPECT_EQ(paramErr, SetEventLoopTimerNextFireTime(stale, 0.5));
  EXPECT_EQ(paramErr, RemoveEventLoopTimer(stale));
  EXPECT_EQ(1, StandIn_TimerLiveCount());
  StandIn_AdvanceClock(3);
  EXPECT_EQ(std::vector<EventTime>{2}, log.times);
}

class CountingTimer : public PPx::Timer {
public:
  int fired = 0;

protected:
  void DoTimer() override { ++fired; }
};

TEST_F(EventLoopTest, APPxTimerOutlivingAResetIsSafe) {
  auto timer = std::make_unique<CountingTimer>();
  timer->Install(1, 1);
  EXPECT_TRUE(timer->IsTimerInstalled());
  StandIn_EventsReset();
  CountingTimer other;
  other.Install(1, 0);
  timer->Remove();  // the stale reference names nothing: the other timer stays
  timer.reset();
  EXPECT_EQ(1, StandIn_TimerLiveCount());
  StandIn_AdvanceClock(1);
  EXPECT_EQ(1, other.fired);
}

OSStatus Ignore(EventHandlerCallRef, EventRef, void*) {
  return eventNotHandledErr;
}

TEST_F(EventLoopTest, StaleHandlerReferencesAreAnsweredAndRemoveNothingElse) {
  const long before = StandIn_EventHandlerLiveCount();
  WindowRef window = NewWindow();
  EventHandlerRef removed = nullptr;
  InstallWindowEventHandler(window, Ignore, 1, &kCommandProcess, nullptr, &removed);
  EventHandlerRef withItsWindow = nullptr;
  InstallWindowEventHandler(window, Ignore, 1, &kCommandProcess, nullptr, &withItsWindow);
  EXPECT_EQ(noErr, RemoveEventHandler(removed));
  DisposeWindow(window);
  // New handlers might take the freed places; the old references still name nothing.
  EventHandlerRef fresh[2] = {nullptr, nullptr};
  for (EventHandlerRef& handler : fresh)
    InstallApplicationEventHandler(Ignore, 1, &kCommandProcess, nullptr, &handler);
  for (EventHandlerRef stale : {removed, withItsWindow}) {
    EXPECT_EQ(paramErr, RemoveEventHandler(stale));
    EXPECT_EQ(paramErr, AddEventTypesToHandler(stale, 1, &kCommandProcess));
  }
  EXPECT_EQ(before + 2, StandIn_EventHandlerLiveCount());
  for (EventHandlerRef handler : fresh)
    EXPECT_EQ(noErr, RemoveEventHandler(handler));
}

TEST_F(EventLoopTest, TheEventLogKeepsRecordsOnlyWhileTurnedOn) {
  for (bool on : {false, true}) {
    SCOPED_TRACE(on);
    StandIn_EventLogRecord(on);
    for (int i = 0; i < 50; ++i)
      PostCommand(kHICommandOK);
    StandIn_RunUntilIdle();
    EXPECT_EQ(on ? 100 : 0, StandIn_EventLogCount());  // each posted, then sent
    StandIn_EventLogClear();
  }
  StandIn_EventsReset();
  PostCommand(kHICommandOK);
  EXPECT_EQ(0, StandIn_EventLogCount());  // a reset turns it off
}

TEST_F(EventLoopTest, TheApplicationRunsTheLoopUntilTheQuitCommand) {
  PPx::Application application;
  EXPECT_EQ(GetApplicationEventTarget(), application.SysEventTarget());
  PostCommand(kHICommandQuit);
  application.Run();
  EXPECT_TRUE(StandIn_QuitRequested());
  EXPECT_FALSE(StandIn_EventLoopRanDry());
}

}  // namespace
