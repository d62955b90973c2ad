// Process Manager of the Mac stand-in: only the current process, whose signature and
// application file tests set (by default 'Nlt2' and the host's root folder).
#pragma once
#include <CoreServices/Files.h>
#include <MacTypes.h>

struct ProcessSerialNumber {
  UInt32 highLongOfPSN;
  UInt32 lowLongOfPSN;
};

enum : UInt32 {
  kNoProcess = 0,
  kSystemProcess = 1,
  kCurrentProcess = 2
};

constexpr OSErr procNotFound = -600;

// The stand-in fills the fields below that the caller's record has room for; processInfoLength
// must be sizeof(ProcessInfoRec). processName and processAppSpec may be null (not wanted).
struct ProcessInfoRec {
  UInt32 processInfoLength;
  StringPtr processName;  // room for a Str31
  ProcessSerialNumber processNumber;
  UInt32 processType;  // 'APPL'
  OSType processSignature;
  UInt32 processMode;
  FSSpecPtr processAppSpec;
};

// The serial number of the running process (never kCurrentProcess itself).
OSErr GetCurrentProcess(ProcessSerialNumber* PSN);
// Only the running process, by its number or kCurrentProcess; any other is procNotFound. An
// application file that no longer exists gives fnfErr.
OSErr GetProcessInformation(const ProcessSerialNumber* PSN, ProcessInfoRec* info);

// Failure injection by name "GetCurrentProcess" or "GetProcessInformation" (see
// StandIn_FilesFailNext in CoreServices/Files.h).
// Test hook: the running process's signature and the POSIX path of its application (bundle
// folder or file); a null path keeps the one set before.
void StandIn_SetCurrentProcess(OSType signature, const char* applicationPath);
