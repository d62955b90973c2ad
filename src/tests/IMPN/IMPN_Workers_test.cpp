#include "IMPN/IMPN_Workers.h"

#include "GLIB/GLIB_New.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(IMPN_Workers, RunsEveryItemOnceOnWorkersOfTheirOwn) {
  for (unsigned workers : {1u, 3u, 16u}) {
    std::vector<std::atomic<int>> runs(100);
    std::vector<std::atomic<int>> busy(workers);
    std::atomic<bool> shared(false);
    IMPN_Workers::Run(runs.size(), workers, [&](std::size_t item, unsigned worker) {
      ASSERT_LT(worker, workers);
      // A worker runs one job at a time, so scratch memory per worker is safe.
      if (busy[worker]++ != 0)
        shared = true;
      ++runs[item];
      std::this_thread::yield();
      --busy[worker];
    });
    for (auto const& count : runs)
      EXPECT_EQ(count, 1) << workers;
    EXPECT_FALSE(shared) << workers;
  }
}

TEST(IMPN_Workers, OneWorkerRunsOnTheCallingThreadInOrder) {
  std::vector<std::size_t> order;
  std::thread::id const caller = std::this_thread::get_id();
  IMPN_Workers::Run(5, 1, [&](std::size_t item, unsigned) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    order.push_back(item);
  });
  EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
  IMPN_Workers::Run(0, 4, [](std::size_t, unsigned) { FAIL(); });
}

TEST(IMPN_Workers, AJobsExceptionReachesTheCallerAfterEveryThreadEnds) {
  std::atomic<int> running(0);
  std::atomic<int> started(0);
  std::atomic<bool> failing(false);
  auto const job = [&](std::size_t item, unsigned) {
    ++running;
    ++started;
    // Later items wait for the failure and then take their time, so that the other workers
    // cannot finish the whole run while the failing one is still unwinding.
    while (item > 3 && !failing)
      std::this_thread::yield();
    if (item > 3)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    --running;
    if (item == 3) {
      failing = true;
      throw std::runtime_error("tile 3");
    }
  };
  EXPECT_THROW(IMPN_Workers::Run(1000, 4, job), std::runtime_error);
  EXPECT_EQ(running, 0);
  // Items not yet started when it failed are left alone.
  EXPECT_LT(started, 1000);
}

namespace {
// Lets the first line-tagged allocation of the workers through and fails the next.
std::atomic<int> s_WorkerAllocations(0);
bool FailSecondWorkerAllocation(std::size_t, char const* file, int) {
  return std::strstr(file, "IMPN_Workers.cpp") != nullptr && ++s_WorkerAllocations == 2;
}
}  // namespace

TEST(IMPN_Workers, AThreadThatCannotStartStopsTheRunAfterTheStartedOnesEnd) {
  std::atomic<int> running(0);
  std::atomic<int> started(0);
  std::atomic<bool> onCaller(false);
  std::thread::id const caller = std::this_thread::get_id();
  auto const job = [&](std::size_t, unsigned) {
    ++running;
    ++started;
    onCaller = onCaller || std::this_thread::get_id() == caller;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    --running;
  };
  s_WorkerAllocations = 0;
  GLIB_SetAllocationFailureHook(FailSecondWorkerAllocation);
  EXPECT_THROW(IMPN_Workers::Run(100000, 4, job), GLIB_BadAllocException);
  GLIB_SetAllocationFailureHook(nullptr);
  EXPECT_EQ(s_WorkerAllocations, 2);
  // The thread that started was stopped and joined; the caller ran nothing.
  EXPECT_EQ(running, 0);
  EXPECT_LT(started, 100000);
  EXPECT_FALSE(onCaller);
}
