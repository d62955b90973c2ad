// Multiprocessing Services of the Mac stand-in (see CoreServices/Multiprocessing.h).
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/Multiprocessing.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

namespace {

struct Tasks {
  std::mutex mutex;
  std::condition_variable ended;
  long running = 0;
  std::uintptr_t lastID = 0;
};

Tasks& TheTasks() {
  static Tasks* tasks = new Tasks;  // never destroyed: tasks may still end during static exit
  return *tasks;
}

thread_local MPTaskID t_CurrentTask = nullptr;

void RunTask(MPTaskID id, TaskProc entryPoint, void* parameter) {
  t_CurrentTask = id;
  try {
    entryPoint(parameter);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Multiprocessing stand-in: exception left a task: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Multiprocessing stand-in: exception left a task\n");
  }
  Tasks& tasks = TheTasks();
  std::lock_guard<std::mutex> lock(tasks.mutex);
  --tasks.running;
  tasks.ended.notify_all();
}

}  // namespace

OSStatus MPCreateTask(TaskProc entryPoint, void* parameter, ByteCount, MPQueueID, void*, void*,
                      MPTaskOptions, MPTaskID* task) {
  if (task)
    *task = nullptr;
  if (entryPoint == nullptr)
    return paramErr;
  Tasks& tasks = TheTasks();
  MPTaskID id = nullptr;
  {
    std::lock_guard<std::mutex> lock(tasks.mutex);
    tasks.lastID += 16;
    id = reinterpret_cast<MPTaskID>(tasks.lastID);
    ++tasks.running;
  }
  try {
    std::thread(RunTask, id, entryPoint, parameter).detach();
  } catch (const std::exception&) {
    std::lock_guard<std::mutex> lock(tasks.mutex);
    --tasks.running;
    return memFullErr;
  }
  if (task)
    *task = id;
  return noErr;
}

MPTaskID MPCurrentTaskID() {
  return t_CurrentTask;
}

void MPYield() {
  std::this_thread::yield();
}

long StandIn_MPRunningTaskCount() {
  Tasks& tasks = TheTasks();
  std::lock_guard<std::mutex> lock(tasks.mutex);
  return tasks.running;
}

void StandIn_MPWaitForTasks() {
  Tasks& tasks = TheTasks();
  std::unique_lock<std::mutex> lock(tasks.mutex);
  tasks.ended.wait(lock, [&] { return tasks.running == 0; });
}
