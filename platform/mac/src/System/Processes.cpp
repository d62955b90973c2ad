// Process Manager of the Mac stand-in (see HIServices/Processes.h).
#include <HIServices/Processes.h>

#include "../Files/iStandInFiles.h"

#include <cstring>
#include <mutex>
#include <string>

namespace {

constexpr UInt32 kOwnSerialNumber = 0x1234;

struct ProcessState {
  std::mutex mutex;
  OSType signature = 0x4e6c7432;  // 'Nlt2'
  std::string applicationPath = "/";
};

ProcessState& TheState() {
  static ProcessState* state = new ProcessState;
  return *state;
}

}  // namespace

OSErr GetCurrentProcess(ProcessSerialNumber* PSN) {
  if (OSErr err = standin_files::EnterCall("GetCurrentProcess"))
    return err;
  if (PSN == nullptr)
    return paramErr;
  *PSN = ProcessSerialNumber{0, kOwnSerialNumber};
  return noErr;
}

OSErr GetProcessInformation(const ProcessSerialNumber* PSN, ProcessInfoRec* info) {
  if (OSErr err = standin_files::EnterCall("GetProcessInformation"))
    return err;
  if (PSN == nullptr || info == nullptr || info->processInfoLength != sizeof(ProcessInfoRec))
    return paramErr;
  if (PSN->highLongOfPSN != 0 ||
      (PSN->lowLongOfPSN != kOwnSerialNumber && PSN->lowLongOfPSN != kCurrentProcess))
    return procNotFound;
  ProcessState& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (info->processAppSpec) {
    if (OSErr err = standin_files::SpecOfPath(s.applicationPath, info->processAppSpec))
      return err;
  }
  if (info->processName) {
    std::string name = s.applicationPath.substr(s.applicationPath.rfind('/') + 1);
    name = name.substr(0, 31);
    info->processName[0] = static_cast<unsigned char>(name.size());
    std::memcpy(info->processName + 1, name.data(), name.size());
  }
  info->processNumber = ProcessSerialNumber{0, kOwnSerialNumber};
  info->processType = 0x4150504c;  // 'APPL'
  info->processSignature = s.signature;
  info->processMode = 0;
  return noErr;
}

void StandIn_SetCurrentProcess(OSType signature, const char* applicationPath) {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  TheState().signature = signature;
  if (applicationPath)
    TheState().applicationPath = applicationPath;
}
