// What the Event Manager asks of the stand-in's Apple Event Manager.
#pragma once
#include <AE/AppleEvents.h>

namespace standin_ae {

// Sends the program itself an Apple event of that class and ID without parameters (queued).
OSErr SendToSelf(AEEventClass eventClass, AEEventID eventID);
// Queues the open-documents event of the launch arguments, once.
void PostLaunchDocuments();
// Forgets the Apple events sent to the program that the loop has not handed over yet.
void DropPending();

}  // namespace standin_ae

namespace standin_ae {

// The class and ID of an Apple event; false for a descriptor that is none.
bool ClassAndID(const AppleEvent* event, AEEventClass* eventClass, AEEventID* eventID);
// An Apple event to the program itself: queued for the application loop, or, when waitReply,
// handled at once with the reply filled in.
OSErr SendToProgram(const AppleEvent* event, AppleEvent* reply, bool waitReply);

}  // namespace standin_ae
