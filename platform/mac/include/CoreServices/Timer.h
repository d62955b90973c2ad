// Time Manager of the Mac stand-in: tasks run on the virtual clock of the Carbon events (see
// HIToolbox/CarbonEvents.h), from StandIn_AdvanceClock, once each time they are primed.
#pragma once
#include <MacTypes.h>

struct QElem {
  QElem* qLink;
  SInt16 qType;
  SInt16 qData[1];
};
typedef QElem* QElemPtr;

struct TMTask;
typedef TMTask* TMTaskPtr;
typedef void (*TimerProcPtr)(TMTaskPtr tmTaskPtr);
typedef TimerProcPtr TimerUPP;
inline TimerUPP NewTimerUPP(TimerProcPtr proc) {
  return proc;
}
inline void DisposeTimerUPP(TimerUPP) {}

struct TMTask {
  QElemPtr qLink;
  SInt16 qType;
  TimerUPP tmAddr;
  SInt32 tmCount;
  SInt32 tmWakeUp;
  SInt32 tmReserved;
};

// Installs a task (its record must stay until RmvTime); installing twice is paramErr.
OSErr InsTime(QElemPtr tmTaskPtr);
OSErr InsXTime(QElemPtr tmTaskPtr);
// Runs the installed task's routine after count milliseconds (count > 0) or -count
// microseconds (count < 0) of the virtual clock.
OSErr PrimeTime(QElemPtr tmTaskPtr, SInt32 count);
// Removes the task; tmCount receives the time that was left (0 here).
OSErr RmvTime(QElemPtr tmTaskPtr);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hook: tasks installed at the moment.
long StandIn_TimeManagerTaskCount();
