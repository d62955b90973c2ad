// HIObject of the Mac stand-in: the base of windows, views and menus, and subclasses registered
// by class id.
//
// Every HIObject is a CF object with an event target. HIObjectRegisterSubclass registers a class
// over a base class (null: plain HIObject; "com.apple.hiview": a view; "com.apple.hitoolbaritem":
// a toolbar item, see HIToolbox/HIToolbar.h); registering an id twice
// fails with hiObjectClassExistsErr. HIObjectCreate makes the base object, sends
// kEventHIObjectConstruct to the class's handler (kEventParamHIObjectInstance holds the new object
// as typeHIObjectRef; the handler answers its instance data there as typeVoidPtr), installs the
// handler on the object's target for the class's events with the instance data as user data,
// then sends kEventHIObjectInitialize carrying the parameters of the construct data event. A
// failed construct or initialise releases the object (after its destruct event) and returns that
// status. When the last reference goes, kEventHIObjectDestruct is sent while the object is still
// whole. StandIn_HIObjectLiveCount counts the live instances of one class.
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <CoreFoundation/CFString.h>

#include <memory>

class StandIn_HIObjectClass;
typedef StandIn_HIObjectClass* HIObjectClassRef;

constexpr OSStatus hiObjectClassExistsErr = -22080;
constexpr OSStatus hiObjectClassHasInstancesErr = -22081;
constexpr OSStatus hiObjectClassIsAbstractErr = -22082;

// The stand-in's HIObject: the CF object, its event target and its subclass data. The virtual
// members are the stand-in's own (what each kind of object does by default and where its events
// go next).
class StandIn_HIObject : public StandIn_CFObject {
public:
  ~StandIn_HIObject() override;

  struct Core;
  Core& StandInCore() const { return *m_Core; }

  // The standard handling of an event at this target (eventNotHandledErr when there is none).
  virtual OSStatus StandardHandler(EventRef event);
  // The target events go to after this one's; null for none.
  virtual EventTargetRef ParentTarget() const;

protected:
  explicit StandIn_HIObject(CFTypeID typeID);
  void WillFree() const override;
  // Kind-specific clean-up once the destruct event went, while the object is still whole.
  virtual void Finalize() {}

private:
  std::unique_ptr<Core> m_Core;
};

class StandIn_HIView : public StandIn_HIObject {
protected:
  using StandIn_HIObject::StandIn_HIObject;
};
class StandIn_Window : public StandIn_HIObject {
protected:
  using StandIn_HIObject::StandIn_HIObject;
};
class StandIn_Menu : public StandIn_HIObject {
protected:
  using StandIn_HIObject::StandIn_HIObject;
};

OSStatus HIObjectRegisterSubclass(CFStringRef inClassID, CFStringRef inBaseClassID,
                                  OptionBits inOptions, EventHandlerUPP inConstructProc,
                                  UInt32 inNumEvents, const EventTypeSpec* inEventList,
                                  void* inConstructData, HIObjectClassRef* outClassRef);
// hiObjectClassHasInstancesErr while instances live.
OSStatus HIObjectUnregisterClass(HIObjectClassRef inClassRef);
OSStatus HIObjectCreate(CFStringRef inClassID, EventRef inConstructData, HIObjectRef* outObject);
// The instance data of the object's class when it is of that class, else null.
void* HIObjectDynamicCast(HIObjectRef inObject, CFStringRef inClassID);
Boolean HIObjectIsOfClass(HIObjectRef inObject, CFStringRef inObjectClassID);
// The class id ("com.apple.hiview" and so on for the stand-in's own kinds); the caller releases
// it.
CFStringRef HIObjectCopyClassID(HIObjectRef inObject);

// Test hooks: live instances of a class id (registered subclasses and the stand-in's own view
// kinds alike), and whether a class id is registered.
long StandIn_HIObjectLiveCount(CFStringRef classID);
bool StandIn_HIObjectClassRegistered(CFStringRef classID);
