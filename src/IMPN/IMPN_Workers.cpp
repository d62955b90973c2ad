#include "IMPN/IMPN_Workers.h"

#include "GLIB/GLIB_New.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

unsigned IMPN_Workers::CoreCount() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void IMPN_Workers::Run(std::size_t count, unsigned workers, Job const& job) {
  if (count == 0)
    return;
  workers = static_cast<unsigned>(std::min<std::size_t>(std::max(1u, workers), count));
  std::atomic<std::size_t> next(0);
  std::atomic<bool> stopped(false);
  std::mutex failureMutex;
  std::exception_ptr failure;
  auto work = [&](unsigned worker) {
    try {
      for (std::size_t item; !stopped && (item = next++) < count;)
        job(item, worker);
    } catch (...) {
      std::lock_guard<std::mutex> lock(failureMutex);
      if (!failure)
        failure = std::current_exception();
      stopped = true;
    }
  };
  // Threads that started are always joined: a thread destroyed while it runs ends the process.
  std::vector<std::unique_ptr<std::thread>> threads;
  auto joinAll = [&threads] {
    for (std::unique_ptr<std::thread> const& thread : threads)
      thread->join();
  };
  try {
    threads.reserve(workers - 1);
    for (unsigned worker = 1; worker < workers; ++worker) {
      try {
        threads.push_back(
            std::unique_ptr<std::thread>(new (__LINE__, __FILE__) std::thread(work, worker)));
      } catch (std::system_error const&) {
        break;  // the system has no thread to spare: the others take its share
      }
    }
  } catch (...) {
    stopped = true;
    joinAll();
    throw;
  }
  work(0);
  joinAll();
  if (failure)
    std::rethrow_exception(failure);
}
