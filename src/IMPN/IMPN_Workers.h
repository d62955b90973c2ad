#pragma once
#include <cstddef>
#include <functional>

// Runs a number of independent jobs on several threads, the calling thread among them, and
// returns when all are done. Each job is told which worker runs it, so that a worker can keep
// scratch memory of its own.
class IMPN_Workers {
public:
  using Job = std::function<void(std::size_t item, unsigned worker)>;

  // The machine's core count, at least 1.
  static unsigned CoreCount();

  // Items 0 to count - 1, each run once, on at most workers threads (worker 0 is the calling
  // thread). When a thread cannot be started the others take its share. The first exception
  // a job throws stops the items not yet started and is thrown again here once every
  // thread has finished. Any other failure to start a thread stops the items not yet started,
  // waits for the threads already running and is thrown here.
  static void Run(std::size_t count, unsigned workers, Job const& job);
};
