// PowerPlant X of the Mac stand-in: the application and the Apple event doers.
#include <PPx/PPxApplication.h>
#include <PPx/PPxExceptions.h>

#include "iPPxBoundary.h"

namespace PPx {

void Application::Run() {
  RunApplicationEventLoop();
}

AEDoer::AEDoer(AEEventClass eventClass, AEEventID eventID) : m_Class(eventClass), m_ID(eventID) {
  if (OSErr err =
          AEInstallEventHandler(m_Class, m_ID, Callback, reinterpret_cast<SRefCon>(this), false))
    throw OSError(err, "AEInstallEventHandler failed");
}

AEDoer::~AEDoer() {
  // Only while the handler is still this doer's: a later doer for the event may have replaced it.
  AEEventHandlerUPP handler = nullptr;
  SRefCon refcon = 0;
  if (AEGetEventHandler(m_Class, m_ID, &handler, &refcon, false) == noErr && handler == Callback &&
      refcon == reinterpret_cast<SRefCon>(this))
    AERemoveEventHandler(m_Class, m_ID, Callback, false);
}

OSErr AEDoer::Callback(const AppleEvent* event, AppleEvent* reply, SRefCon refcon) {
  try {
    return static_cast<OSErr>(reinterpret_cast<AEDoer*>(refcon)->DoAppleEvent(*event, *reply));
  } catch (...) {
    const OSStatus status = StatusOfException();
    return status == eventInternalErr ? errAEEventFailed : static_cast<OSErr>(status);
  }
}

}  // namespace PPx
