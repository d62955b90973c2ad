// Time Manager of the Mac stand-in over the virtual clock's timers (see CoreServices/Timer.h).
#include <CoreServices/Timer.h>
#include <HIToolbox/CarbonEvents.h>

#include "../Files/iStandInFiles.h"

#include <map>
#include <mutex>

namespace {

struct Installed {
  EventLoopTimerRef timer = nullptr;
};

std::recursive_mutex& TheMutex() {
  static auto* mutex = new std::recursive_mutex;
  return *mutex;
}

std::map<TMTaskPtr, Installed>& Tasks() {
  static auto* tasks = new std::map<TMTaskPtr, Installed>;
  return *tasks;
}

TMTaskPtr TaskOf(QElemPtr element) {
  return reinterpret_cast<TMTaskPtr>(element);
}

void Fire(EventLoopTimerRef, void* data) {
  auto* task = static_cast<TMTaskPtr>(data);
  {
    std::lock_guard<std::recursive_mutex> lock(TheMutex());
    if (Tasks().count(task) == 0)
      return;
  }
  if (task->tmAddr)
    task->tmAddr(task);
}

void StopTimer(Installed& installed) {
  if (installed.timer) {
    RemoveEventLoopTimer(installed.timer);
    installed.timer = nullptr;
  }
}

// The course of a call on an installed task: the entry checks, then use on the task (its timer
// stopped) under the lock; paramErr for a task that is not installed.
template <class Use>
OSErr WithStoppedTask(const char* call, QElemPtr tmTaskPtr, Use use) {
  if (OSErr err = standin_files::EnterCall(call))
    return err;
  std::lock_guard<std::recursive_mutex> lock(TheMutex());
  auto found = Tasks().find(TaskOf(tmTaskPtr));
  if (found == Tasks().end())
    return paramErr;
  StopTimer(found->second);
  return use(found);
}

}  // namespace

OSErr InsTime(QElemPtr tmTaskPtr) {
  if (OSErr err = standin_files::EnterCall("InsTime"))
    return err;
  if (tmTaskPtr == nullptr)
    return paramErr;
  std::lock_guard<std::recursive_mutex> lock(TheMutex());
  return Tasks().emplace(TaskOf(tmTaskPtr), Installed{}).second ? OSErr{noErr} : OSErr{paramErr};
}

OSErr InsXTime(QElemPtr tmTaskPtr) {
  return InsTime(tmTaskPtr);
}

OSErr PrimeTime(QElemPtr tmTaskPtr, SInt32 count) {
  return WithStoppedTask("PrimeTime", tmTaskPtr, [&](auto found) {
    double const seconds = count >= 0 ? count / 1000.0 : -static_cast<double>(count) / 1e6;
    return static_cast<OSErr>(InstallEventLoopTimer(GetMainEventLoop(), seconds, 0, Fire,
                                                    found->first, &found->second.timer));
  });
}

OSErr RmvTime(QElemPtr tmTaskPtr) {
  return WithStoppedTask("RmvTime", tmTaskPtr, [](auto found) {
    found->first->tmCount = 0;
    Tasks().erase(found);
    return OSErr(noErr);
  });
}

long StandIn_TimeManagerTaskCount() {
  std::lock_guard<std::recursive_mutex> lock(TheMutex());
  return static_cast<long>(Tasks().size());
}
