// PowerPlant X of the Mac stand-in: the application object with its event loop, and the doers
// of the two required Apple events.
#pragma once
#include <AE/AppleEvents.h>
#include <HIToolbox/CarbonEvents.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

// The program's application: its event target is the application's.
class Application : public EventTarget {
public:
  // Runs the application event loop until the program quits (the quit command or Apple event,
  // or QuitApplicationEventLoop).
  void Run();

  const char* ClassName() const override { return "PPx::Application"; }
  EventTargetRef SysEventTarget() const override { return GetApplicationEventTarget(); }
};

// The handler of one Apple event, installed while the doer lives. Its callback is the C
// boundary: it answers an OSError's status, and errAEEventFailed for any other exception.
class AEDoer {
public:
  virtual ~AEDoer();
  AEDoer(const AEDoer&) = delete;
  AEDoer& operator=(const AEDoer&) = delete;

protected:
  // Installs the handler (replacing another's for that event); throws OSError.
  AEDoer(AEEventClass eventClass, AEEventID eventID);
  virtual OSStatus DoAppleEvent(const AppleEvent& event, AppleEvent& reply) = 0;

private:
  static OSErr Callback(const AppleEvent* event, AppleEvent* reply, SRefCon refcon);
  AEEventClass m_Class;
  AEEventID m_ID;
};

// The open-documents event: DoAEOpenDocuments(event, reply).
class AEOpenDocumentsDoer : public AEDoer {
public:
  AEOpenDocumentsDoer() : AEDoer(kCoreEventClass, kAEOpenDocuments) {}

protected:
  virtual OSStatus DoAEOpenDocuments(const AppleEvent& event, AppleEvent& reply) = 0;
  OSStatus DoAppleEvent(const AppleEvent& event, AppleEvent& reply) override {
    return DoAEOpenDocuments(event, reply);
  }
};

// The quit event: DoAEQuitApplication(event, reply). Answering errAEEventNotHandled leaves the
// event to the standard handling, which ends the event loop.
class AEQuitApplicationDoer : public AEDoer {
public:
  AEQuitApplicationDoer() : AEDoer(kCoreEventClass, kAEQuitApplication) {}

protected:
  virtual OSStatus DoAEQuitApplication(const AppleEvent& event, AppleEvent& reply) = 0;
  OSStatus DoAppleEvent(const AppleEvent& event, AppleEvent& reply) override {
    return DoAEQuitApplication(event, reply);
  }
};

}  // namespace PPx
