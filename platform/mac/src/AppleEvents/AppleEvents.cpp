// Apple Event Manager of the Mac stand-in (see AE/AppleEvents.h).
#include <AE/AppleEvents.h>
#include <CoreServices/Files.h>
#include <HIToolbox/CarbonEvents.h>
#include <HIServices/Processes.h>

#include "../Files/iStandInFiles.h"
#include "iStandInAppleEvents.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Installed {
  AEEventHandlerUPP proc;
  SRefCon refcon;
};

// An Apple event the program sent itself, owned until it is handled or dropped.
class PendingEvent {
public:
  PendingEvent(AEEventClass eventClass, AEEventID eventID, const AppleEvent& event)
      : m_Class(eventClass),
        m_ID(eventID),
        m_Event(event) {}
  ~PendingEvent() { AEDisposeDesc(&m_Event); }
  PendingEvent(const PendingEvent&) = delete;
  PendingEvent& operator=(const PendingEvent&) = delete;

  bool Is(AEEventClass eventClass, AEEventID eventID) const {
    return m_Class == eventClass && m_ID == eventID;
  }
  const AppleEvent& Event() const { return m_Event; }

private:
  AEEventClass m_Class;
  AEEventID m_ID;
  AppleEvent m_Event;
};

struct AEState {
  std::map<std::pair<AEEventClass, AEEventID>, Installed> handlers;
  std::deque<std::unique_ptr<PendingEvent>> pending;
  std::vector<std::string> launchPaths;
};

AEState& TheState() {
  static AEState* state = new AEState;  // never destroyed: events may go in static exit
  return *state;
}

const Installed* FindHandler(AEEventClass eventClass, AEEventID eventID) {
  const auto& handlers = TheState().handlers;
  for (const auto& key :
       {std::make_pair(eventClass, eventID), std::make_pair(eventClass, AEEventID(typeWildCard)),
        std::make_pair(AEEventClass(typeWildCard), eventID),
        std::make_pair(AEEventClass(typeWildCard), AEEventID(typeWildCard))}) {
    auto found = handlers.find(key);
    if (found != handlers.end())
      return &found->second;
  }
  return nullptr;
}

OSErr CallHandler(const Installed& handler, const AppleEvent* event, AppleEvent* reply) {
  try {
    return handler.proc(event, reply, handler.refcon);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Apple event stand-in: exception left a handler: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Apple event stand-in: exception left a handler\n");
  }
  return errAEEventFailed;
}

// What the system does with an event the program does not handle.
OSErr StandardHandling(AEEventClass eventClass, AEEventID eventID) {
  if (eventClass != kCoreEventClass)
    return errAEEventNotHandled;
  switch (eventID) {
    case kAEQuitApplication:
      QuitApplicationEventLoop();
      return noErr;
    case kAEOpenApplication:
    case kAEReopenApplication:
      return noErr;
    default:
      return errAEEventNotHandled;
  }
}

OSErr Dispatch(const AppleEvent* event, AppleEvent* reply) {
  AEEventClass eventClass = 0;
  AEEventID eventID = 0;
  standin_ae::ClassAndID(event, &eventClass, &eventID);
  OSErr result = errAEEventNotHandled;
  if (const Installed* handler = FindHandler(eventClass, eventID)) {
    const Installed call = *handler;  // the handler may install or remove handlers
    result = CallHandler(call, event, reply);
  }
  if (result == errAEEventNotHandled)
    result = StandardHandling(eventClass, eventID);
  return result;
}

// Tells the loop that an Apple event waits, by the Carbon event that carries its class and ID.
OSStatus PostCarbonEvent(AEEventClass eventClass, AEEventID eventID) {
  EventRef event = nullptr;
  OSStatus status = CreateEvent(nullptr, kEventClassAppleEvent, kEventAppleEvent,
                                GetCurrentEventTime(), kEventAttributeNone, &event);
  if (status != noErr)
    return status;
  SetEventParameter(event, kEventParamAEEventClass, typeType, sizeof eventClass, &eventClass);
  SetEventParameter(event, kEventParamAEEventID, typeType, sizeof eventID, &eventID);
  status = PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
  ReleaseEvent(event);
  return status;
}

// Disposes of a descriptor it holds when it goes.
class HeldDesc {
public:
  HeldDesc() = default;
  ~HeldDesc() { AEDisposeDesc(&m_Desc); }
  HeldDesc(const HeldDesc&) = delete;
  HeldDesc& operator=(const HeldDesc&) = delete;
  AEDesc* Out() { return &m_Desc; }
  const AEDesc& Get() const { return m_Desc; }

private:
  AEDesc m_Desc = {typeNull, nullptr};
};

OSErr SendSelf(const AppleEvent& event) {
  HeldDesc reply;
  return AESend(&event, reply.Out(), kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr,
                nullptr);
}

OSErr MakeSelfEvent(AEEventClass eventClass, AEEventID eventID, AppleEvent* event) {
  const ProcessSerialNumber self = {0, kCurrentProcess};
  HeldDesc target;
  if (OSErr err = AECreateDesc(typeProcessSerialNumber, &self, sizeof self, target.Out()))
    return err;
  return AECreateAppleEvent(eventClass, eventID, &target.Get(), kAutoGenerateReturnID,
                            kAnyTransactionID, event);
}

}  // namespace

OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                            AEEventHandlerUPP handler, SRefCon handlerRefcon, Boolean) {
  if (handler == nullptr)
    return paramErr;
  if (OSErr err = standin_files::EnterCall("AEInstallEventHandler"))
    return err;
  TheState().handlers[{theAEEventClass, theAEEventID}] = Installed{handler, handlerRefcon};
  return noErr;
}

OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                           AEEventHandlerUPP handler, Boolean) {
  if (OSErr err = standin_files::EnterCall("AERemoveEventHandler"))
    return err;
  auto& handlers = TheState().handlers;
  auto found = handlers.find({theAEEventClass, theAEEventID});
  if (found == handlers.end() || found->second.proc != handler)
    return errAEHandlerNotFound;
  handlers.erase(found);
  return noErr;
}

OSErr AEGetEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                        AEEventHandlerUPP* handler, SRefCon* handlerRefcon, Boolean) {
  const auto& handlers = TheState().handlers;
  auto found = handlers.find({theAEEventClass, theAEEventID});
  if (found == handlers.end())
    return errAEHandlerNotFound;
  if (handler)
    *handler = found->second.proc;
  if (handlerRefcon)
    *handlerRefcon = found->second.refcon;
  return noErr;
}

OSErr AEProcessAppleEvent(const EventRecord* theEventRecord) {
  if (theEventRecord == nullptr || theEventRecord->what != kHighLevelEvent)
    return paramErr;
  if (OSErr err = standin_files::EnterCall("AEProcessAppleEvent"))
    return err;
  const AEEventClass eventClass = theEventRecord->message;
  AEEventID eventID = 0;
  std::memcpy(&eventID, &theEventRecord->where, sizeof eventID);
  auto& pending = TheState().pending;
  for (auto it = pending.begin(); it != pending.end(); ++it) {
    if ((*it)->Is(eventClass, eventID)) {
      const std::unique_ptr<PendingEvent> event = std::move(*it);
      pending.erase(it);
      HeldDesc reply;
      if (OSErr err = AECreateAppleEvent(kCoreEventClass, kAEAnswer, nullptr, kAutoGenerateReturnID,
                                         kAnyTransactionID, reply.Out()))
        return err;
      return Dispatch(&event->Event(), reply.Out());
    }
  }
  return errAEEventNotHandled;
}

void StandIn_SetLaunchArguments(int argc, const char* const argv[]) {
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i)
    if (argv[i] && argv[i][0] != '\0' && argv[i][0] != '-')
      paths.emplace_back(argv[i]);
  TheState().launchPaths = std::move(paths);
}

long StandIn_AEHandlerCount() {
  return static_cast<long>(TheState().handlers.size());
}

namespace standin_ae {

OSErr SendToSelf(AEEventClass eventClass, AEEventID eventID) {
  HeldDesc event;
  if (OSErr err = MakeSelfEvent(eventClass, eventID, event.Out()))
    return err;
  return SendSelf(event.Get());
}

OSErr SendToProgram(const AppleEvent* event, AppleEvent* reply, bool waitReply) {
  AEEventClass eventClass = 0;
  AEEventID eventID = 0;
  if (!ClassAndID(event, &eventClass, &eventID))
    return errAEWrongDataType;
  if (waitReply) {
    if (OSErr err = AECreateAppleEvent(kCoreEventClass, kAEAnswer, nullptr, kAutoGenerateReturnID,
                                       kAnyTransactionID, reply))
      return err;
    return Dispatch(event, reply);
  }
  AppleEvent copy = {typeNull, nullptr};
  if (OSErr err = AEDuplicateDesc(event, &copy))
    return err;
  TheState().pending.push_back(std::make_unique<PendingEvent>(eventClass, eventID, copy));
  if (OSStatus status = PostCarbonEvent(eventClass, eventID)) {
    TheState().pending.pop_back();
    return static_cast<OSErr>(status);
  }
  return noErr;
}

void PostLaunchDocuments() {
  std::vector<std::string> paths;
  paths.swap(TheState().launchPaths);
  if (paths.empty())
    return;
  HeldDesc list;
  if (AECreateList(nullptr, 0, false, list.Out()) != noErr)
    return;
  long count = 0;
  for (const std::string& path : paths) {
    FSRef ref;
    if (FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr) != noErr) {
      std::fprintf(stderr, "Apple event stand-in: no such document: %s\n", path.c_str());
      continue;
    }
    if (AEPutPtr(list.Out(), 0, typeFSRef, &ref, sizeof ref) == noErr)
      ++count;
  }
  HeldDesc event;
  if (count == 0 || MakeSelfEvent(kCoreEventClass, kAEOpenDocuments, event.Out()) != noErr ||
      AEPutParamDesc(event.Out(), keyDirectObject, &list.Get()) != noErr)
    return;
  SendSelf(event.Get());
}

void DropPending() {
  TheState().pending.clear();
}

}  // namespace standin_ae
