// PowerPlant X of the Mac stand-in: a Carbon event held by reference (retained while held).
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <PPx/PPxExceptions.h>

namespace PPx {

class SysCarbonEvent {
public:
  // An empty event (no EventRef) until MakeEvent.
  SysCarbonEvent() = default;
  explicit SysCarbonEvent(EventRef event);
  ~SysCarbonEvent();
  SysCarbonEvent(const SysCarbonEvent&) = delete;
  SysCarbonEvent& operator=(const SysCarbonEvent&) = delete;

  // Makes a new event of class and kind (time 0, no attributes); throws OSError.
  void MakeEvent(UInt32 eventClass, UInt32 eventKind);
  EventRef GetEventRef() const { return m_Event; }
  UInt32 GetClass() const { return GetEventClass(m_Event); }
  UInt32 GetKind() const { return GetEventKind(m_Event); }

  template <class T>
  void SetParameter(EventParamName name, EventParamType type, const T& value) {
    ThrowIfOSStatus(SetEventParameter(m_Event, name, type, sizeof(T), &value),
                    "SetEventParameter failed");
  }
  // noErr, or the reason the parameter is not there as that type.
  template <class T>
  OSStatus GetParameter(EventParamName name, EventParamType type, T& value) const {
    return GetEventParameter(m_Event, name, type, nullptr, sizeof(T), nullptr, &value);
  }
  // The modifier keys of the event ('kmod'), else the current ones.
  UInt32 GetKeyModifiers() const;

  OSStatus Send(EventTargetRef target) const { return SendEventToEventTarget(m_Event, target); }
  // The handlers after the one now running (a doer's Do operation may run them first);
  // eventNotHandledErr when the event is not being handled.
  OSStatus CallNextHandler() const;
  void SetHandlerCall(EventHandlerCallRef call) { m_Call = call; }
  // Posts the event to the main queue for the target at standard priority.
  OSStatus Post(EventTargetRef target) const;

private:
  EventRef m_Event = nullptr;
  EventHandlerCallRef m_Call = nullptr;
};

}  // namespace PPx
