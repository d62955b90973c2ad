// Failure injection and call counts of the stand-in (see CoreServices/StandInCalls.h).
#include <CoreServices/StandInCalls.h>

#include "iStandInCalls.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace {

struct CallRecords {
  std::mutex mutex;
  // Read without the lock on every call: nothing pending and nothing counted means nothing to do.
  std::atomic<long> pendingFailures{0};
  std::atomic<bool> counting{false};
  std::map<std::string, std::deque<OSStatus>, std::less<>> failures;
  std::map<std::string, int, std::less<>> counts;
};

CallRecords& Records() {
  static auto* records = new CallRecords;  // never destroyed: calls may come from static exits
  return *records;
}

long Pending(const CallRecords& records) {
  long pending = 0;
  for (const auto& entry : records.failures)
    pending += static_cast<long>(entry.second.size());
  return pending;
}

}  // namespace

namespace standin_calls {

OSStatus Enter(const char* function) {
  CallRecords& records = Records();
  const bool counting = records.counting.load(std::memory_order_relaxed);
  if (!counting && records.pendingFailures.load(std::memory_order_acquire) == 0)
    return noErr;
  std::lock_guard<std::mutex> lock(records.mutex);
  const std::string_view name(function);
  if (counting) {
    auto counted = records.counts.find(name);
    if (counted == records.counts.end())
      counted = records.counts.emplace(std::string(name), 0).first;
    ++counted->second;
  }
  auto found = records.failures.find(name);
  if (found == records.failures.end() || found->second.empty())
    return noErr;
  const OSStatus status = found->second.front();
  found->second.pop_front();
  records.pendingFailures.fetch_sub(1, std::memory_order_release);
  return status;
}

}  // namespace standin_calls

void StandIn_FailNext(const char* function, OSStatus status, int times) {
  CallRecords& records = Records();
  std::lock_guard<std::mutex> lock(records.mutex);
  std::deque<OSStatus>& queue = records.failures[function];
  for (int i = 0; i < times; ++i)
    queue.push_back(status);
  records.pendingFailures.store(Pending(records), std::memory_order_release);
}

void StandIn_SetFailures(const char* function, OSStatus status, int times) {
  CallRecords& records = Records();
  std::lock_guard<std::mutex> lock(records.mutex);
  std::deque<OSStatus>& queue = records.failures[function];
  queue.assign(static_cast<std::size_t>(times > 0 ? times : 0), status);
  records.pendingFailures.store(Pending(records), std::memory_order_release);
}

void StandIn_RecordCalls(bool on) {
  Records().counting.store(on);
}

bool StandIn_RecordingCalls() {
  return Records().counting.load(std::memory_order_relaxed);
}

int StandIn_CallCount(const char* function) {
  CallRecords& records = Records();
  std::lock_guard<std::mutex> lock(records.mutex);
  auto found = records.counts.find(std::string_view(function));
  return found == records.counts.end() ? 0 : found->second;
}

void StandIn_CallsReset() {
  CallRecords& records = Records();
  std::lock_guard<std::mutex> lock(records.mutex);
  records.failures.clear();
  records.counts.clear();
  records.pendingFailures.store(0);
  records.counting.store(true);
}
