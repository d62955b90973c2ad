// Apple Event Manager of the Mac stand-in: the program's handler table and the dispatch of the
// Apple events the program sends itself (AESend in AE/AEDataModel.h queues them; the
// application loop hands each to AEProcessAppleEvent).
//
// One handler per class and ID; typeWildCard in either matches any. A handler that answers
// errAEEventNotHandled, or none at all, leaves the event to the standard handling: the quit
// event ends the application loop (QuitApplicationEventLoop), open-application and reopen are
// answered noErr, anything else errAEEventNotHandled. A C++ exception that leaves a handler is
// caught at its boundary, written to the error stream and answered errAEEventFailed. Main
// thread only.
#pragma once
#include <AE/AEDataModel.h>
#include <HIToolbox/Events.h>
#include <MacTypes.h>

enum : AEEventClass {
  kCoreEventClass = 0x61657674  // 'aevt'
};
enum : AEEventID {
  kAEOpenApplication = 0x6f617070,    // 'oapp'
  kAEReopenApplication = 0x72617070,  // 'rapp'
  kAEOpenDocuments = 0x6f646f63,      // 'odoc'
  kAEPrintDocuments = 0x70646f63,     // 'pdoc'
  kAEQuitApplication = 0x71756974,    // 'quit'
  kAEAnswer = 0x616e7372              // 'ansr'
};

constexpr OSErr errAEEventNotHandled = -1708;
constexpr OSErr errAEHandlerNotFound = -1717;
constexpr OSErr errAEEventFailed = -10000;

typedef OSErr (*AEEventHandlerProcPtr)(const AppleEvent* theAppleEvent, AppleEvent* reply,
                                       SRefCon handlerRefcon);
typedef AEEventHandlerProcPtr AEEventHandlerUPP;
inline AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr proc) {
  return proc;
}
inline void DisposeAEEventHandlerUPP(AEEventHandlerUPP) {}

// Installs the handler for the class and ID, replacing one installed before. The system table
// (isSysHandler) is the program's own here.
OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                            AEEventHandlerUPP handler, SRefCon handlerRefcon, Boolean isSysHandler);
// Removes the handler for the class and ID when it is the given one; errAEHandlerNotFound when
// none or another is installed.
OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                           AEEventHandlerUPP handler, Boolean isSysHandler);
// The handler installed for exactly that class and ID; errAEHandlerNotFound when none is.
OSErr AEGetEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                        AEEventHandlerUPP* handler, SRefCon* handlerRefcon, Boolean isSysHandler);
// Handles the Apple event that a high-level event record stands for (the oldest one the program
// sent itself of that class and ID) and answers its handler's result; errAEEventNotHandled when
// no such event waits.
OSErr AEProcessAppleEvent(const EventRecord* theEventRecord);

// The program's start (test hook and the Mac program's main): the paths among the arguments
// (argv[1] on; those that begin with '-' are options and skipped) become one open-documents
// event to the program itself, its direct object a list of FSRefs in argument order, queued when
// the application loop starts next, after the program's initialisation. A path that names
// nothing is left out with a line on the error stream; no event without paths.
void StandIn_SetLaunchArguments(int argc, const char* const argv[]);
// Apple event handlers installed at the moment.
long StandIn_AEHandlerCount();
