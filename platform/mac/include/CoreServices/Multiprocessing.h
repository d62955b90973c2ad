// Multiprocessing Services of the Mac stand-in: preemptive tasks on their own threads.
//
// A task runs its entry point once with its parameter and ends when the entry point returns; it
// is never joined. What a task may call is the thread contract in HIToolbox/CarbonEvents.h: file
// calls, the calls of this header, and PostEventToQueue with the calls that make its event;
// everything else it shares with the main thread is its own atomic state. A C++ exception that
// leaves the entry point is caught at the task's boundary and written to the error stream.
#pragma once
#include <MacTypes.h>

struct OpaqueMPTaskID;
typedef OpaqueMPTaskID* MPTaskID;
struct OpaqueMPQueueID;
typedef OpaqueMPQueueID* MPQueueID;
typedef UInt32 MPTaskOptions;
typedef OSStatus (*TaskProc)(void* parameter);

// Starts a task; the stack size (0: the default), the notification queue (null: none), the
// termination parameters and the options are taken as given and not used. Answers the task's
// id (never reused) in *task.
OSStatus MPCreateTask(TaskProc entryPoint, void* parameter, ByteCount stackSize,
                      MPQueueID notifyQueue, void* terminationParameter1,
                      void* terminationParameter2, MPTaskOptions options, MPTaskID* task);
// The calling task's id; null on a thread that no MPCreateTask started (the main thread).
MPTaskID MPCurrentTaskID();
void MPYield();

// Test hooks: tasks started and not yet ended; waits until none runs (so that a test ends with
// no task still touching its state).
long StandIn_MPRunningTaskCount();
void StandIn_MPWaitForTasks();
