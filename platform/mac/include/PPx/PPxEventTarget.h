// PowerPlant X of the Mac stand-in: event targets, attachables and event doers.
//
// An EventDoer owns one installed Carbon handler; its destructor removes it. The handler's
// callback is the C boundary: it answers an OSError's status, and eventInternalErr for any other
// exception, so none leaves it. SpecificEventDoer<Class, Kind> handles one event kind; the doers
// below unpack the event's parameters and call their Do operation.
#pragma once
#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/HIView.h>

#include <PPx/SysCarbonEvent.h>

namespace PPx {

class EventTarget {
public:
  virtual ~EventTarget() = default;
  // Persistence of the framework (unused by the stand-in's classes).
  virtual void InitState() {}
  virtual void WriteState() {}
  virtual void FinishInit() {}
  virtual const char* ClassName() const = 0;
  virtual EventTargetRef SysEventTarget() const = 0;
};

// Objects that can carry attachments (none in the stand-in).
class Attachable {
public:
  virtual ~Attachable() = default;
};

class EventDoer {
public:
  EventDoer() = default;
  virtual ~EventDoer();
  EventDoer(const EventDoer&) = delete;
  EventDoer& operator=(const EventDoer&) = delete;

  bool IsInstalled() const { return m_Handler != nullptr; }
  void Remove();

protected:
  // Installs the handler for one event kind on the target (replacing an earlier one); throws
  // OSError.
  void InstallFor(EventTargetRef target, UInt32 eventClass, UInt32 eventKind);
  virtual OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) = 0;

private:
  static OSStatus Callback(EventHandlerCallRef call, EventRef event, void* data);
  EventHandlerRef m_Handler = nullptr;
};

template <UInt32 Class, UInt32 Kind>
class SpecificEventDoer : public EventDoer {
public:
  void Install(EventTargetRef target) { InstallFor(target, Class, Kind); }
};

// kEventWindowClose: DoWindowClose(event, window of the direct object).
class WindowCloseDoer : public SpecificEventDoer<kEventClassWindow, kEventWindowClose> {
protected:
  virtual OSStatus DoWindowClose(SysCarbonEvent& event, WindowRef window) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// kEventWindowHidden: DoWindowHidden(event, window of the direct object).
class WindowHiddenDoer : public SpecificEventDoer<kEventClassWindow, kEventWindowHidden> {
protected:
  virtual OSStatus DoWindowHidden(SysCarbonEvent& event, WindowRef window) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// kEventControlHit: DoControlHit(event, control, part, modifier keys).
class ControlHitDoer : public SpecificEventDoer<kEventClassControl, kEventControlHit> {
protected:
  virtual OSStatus DoControlHit(SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                                UInt32 modifiers) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// kEventControlHitTest: DoControlHitTest(event, control, point, part); on noErr the part is
// written back into the event.
class ControlHitTestDoer : public SpecificEventDoer<kEventClassControl, kEventControlHitTest> {
protected:
  virtual OSStatus DoControlHitTest(SysCarbonEvent& event, ControlRef control, HIPoint where,
                                    ControlPartCode& part) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// kEventControlValueFieldChanged: DoControlValueFieldChanged(event, control).
class ControlValueFieldChangedDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlValueFieldChanged> {
protected:
  virtual OSStatus DoControlValueFieldChanged(SysCarbonEvent& event, ControlRef control) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// kEventCommandProcess: DoCommandProcess(event, command, modifier keys, menu context 'mctx').
class CommandProcessDoer : public SpecificEventDoer<kEventClassCommand, kEventCommandProcess> {
protected:
  virtual OSStatus DoCommandProcess(SysCarbonEvent& event, HICommand& command, UInt32 keyModifiers,
                                    UInt32 menuContext) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

}  // namespace PPx
