// HIObject of the Mac stand-in (see HIToolbox/HIObject.h).
#include "../CoreFoundation/iStandInCFText.h"
#include "iStandInToolbox.h"

#include <algorithm>

class StandIn_HIObjectClass {
public:
  std::string m_ClassID;
  std::string m_BaseClassID;
  EventHandlerUPP m_Handler;
  std::vector<EventTypeSpec> m_Events;
  void* m_ConstructData;
};

namespace {

const char kViewClassID[] = "com.apple.hiview";
const char kToolbarItemClassID[] = "com.apple.hitoolbaritem";

struct ObjectState {
  std::map<std::string, std::unique_ptr<StandIn_HIObjectClass>> classes;
  std::map<std::string, long> live;
};

ObjectState& TheState() {
  static ObjectState* state = new ObjectState;
  return *state;
}

// A plain HIObject (a subclass with no base class).
class PlainObject final : public StandIn_HIObject {
public:
  PlainObject() : StandIn_HIObject(standin_tb::HIObjectTypeID()) {}
};

}  // namespace

namespace standin_tb {

CFTypeID HIObjectTypeID() {
  static const CFTypeID id = StandIn_CFRegisterType();
  return id;
}

void CountInstance(const std::string& classID, int delta) {
  TheState().live[classID] += delta;
}

std::u16string Units(CFStringRef text) {
  return text ? text->Units() : std::u16string();
}

// The one conversion: surrogate pairs stay one character.
std::string Utf8(CFStringRef text) {
  return standin_cf::Utf8Of(text);
}

CFStringRef NewString(const std::string& utf8) {
  return standin_cf::NewStringFromUtf8(utf8);
}

}  // namespace standin_tb

StandIn_HIObject::StandIn_HIObject(CFTypeID typeID) : StandIn_CFObject(typeID), m_Core(new Core) {
  m_Core->target.owner = this;
}

StandIn_HIObject::~StandIn_HIObject() {
  standin_tb::RemoveAllHandlers(m_Core->target);
  if (!m_Core->classID.empty())
    standin_tb::CountInstance(m_Core->classID, -1);
}

OSStatus StandIn_HIObject::StandardHandler(EventRef) {
  return eventNotHandledErr;
}

EventTargetRef StandIn_HIObject::ParentTarget() const {
  return nullptr;
}

void StandIn_HIObject::WillFree() const {
  auto self = const_cast<StandIn_HIObject*>(this);
  if (m_Core->subclass != nullptr) {
    standin_tb::EventHolder destruct(kEventClassHIObject, kEventHIObjectDestruct);
    HIObjectRef object = self;
    destruct.Set(kEventParamHIObjectInstance, typeHIObjectRef, object);
    destruct.SendTo(&m_Core->target);
  }
  self->Finalize();
  standin_tb::DropQueuedEventsFor(&m_Core->target);
  standin_tb::RemoveAllHandlers(m_Core->target);
}

OSStatus HIObjectRegisterSubclass(CFStringRef inClassID, CFStringRef inBaseClassID, OptionBits,
                                  EventHandlerUPP inConstructProc, UInt32 inNumEvents,
                                  const EventTypeSpec* inEventList, void* inConstructData,
                                  HIObjectClassRef* outClassRef) {
  if (outClassRef)
    *outClassRef = nullptr;
  if (inClassID == nullptr || inConstructProc == nullptr)
    return paramErr;
  if (OSStatus err = standin_tb::EnterCall("HIObjectRegisterSubclass"))
    return err;
  const std::string id = standin_tb::Utf8(inClassID);
  const std::string base = inBaseClassID ? standin_tb::Utf8(inBaseClassID) : std::string();
  if (!base.empty() && base != kViewClassID && base != kToolbarItemClassID)
    return paramErr;  // the stand-in subclasses plain objects, views and toolbar items only
  auto& classes = TheState().classes;
  if (classes.count(id))
    return hiObjectClassExistsErr;
  auto cls = std::make_unique<StandIn_HIObjectClass>(StandIn_HIObjectClass{
      id, base, inConstructProc, std::vector<EventTypeSpec>(inEventList, inEventList + inNumEvents),
      inConstructData});
  if (outClassRef)
    *outClassRef = cls.get();
  classes.emplace(id, std::move(cls));
  return noErr;
}

OSStatus HIObjectUnregisterClass(HIObjectClassRef inClassRef) {
  if (OSStatus err = standin_tb::EnterCall("HIObjectUnregisterClass"))
    return err;
  if (inClassRef == nullptr)
    return paramErr;
  auto& classes = TheState().classes;
  auto found = classes.find(inClassRef->m_ClassID);
  if (found == classes.end() || found->second.get() != inClassRef)
    return paramErr;
  if (TheState().live[inClassRef->m_ClassID] > 0)
    return hiObjectClassHasInstancesErr;
  classes.erase(found);
  return noErr;
}

OSStatus HIObjectCreate(CFStringRef inClassID, EventRef inConstructData, HIObjectRef* outObject) {
  if (outObject == nullptr || inClassID == nullptr)
    return paramErr;
  *outObject = nullptr;
  if (OSStatus err = standin_tb::EnterCall("HIObjectCreate"))
    return err;
  const std::string id = standin_tb::Utf8(inClassID);
  auto found = TheState().classes.find(id);
  if (found == TheState().classes.end()) {
    if (id == kViewClassID) {
      *outObject = standin_tb::NewHIViewObject(id);
      return noErr;
    }
    return hiObjectClassIsAbstractErr;
  }
  StandIn_HIObjectClass* cls = found->second.get();
  StandIn_HIObject* object = cls->m_BaseClassID.empty() ? new PlainObject
                             : cls->m_BaseClassID == kToolbarItemClassID
                                 ? standin_tb::NewToolbarItemObject()
                                 : standin_tb::NewHIViewObject(id);
  StandIn_HIObject::Core& core = object->StandInCore();
  if (core.classID.empty()) {
    core.classID = id;
    standin_tb::CountInstance(id, +1);
  }

  // Construct: the class's handler answers its instance data.
  standin_tb::EventHolder construct(kEventClassHIObject, kEventHIObjectConstruct);
  HIObjectRef ref = object;
  construct.Set(kEventParamHIObjectInstance, typeHIObjectRef, ref);
  OSStatus status = cls->m_Handler(nullptr, construct.Get(), cls->m_ConstructData);
  void* instance = nullptr;
  if (status == noErr &&
      !standin_tb::Get(construct.Get(), kEventParamHIObjectInstance, typeVoidPtr, &instance))
    status = paramErr;
  if (status != noErr) {
    CFRelease(object);  // not yet a subclass instance: no destruct event
    return status;
  }
  core.subclass = cls;
  core.instance = instance;
  InstallEventHandler(&core.target, cls->m_Handler, static_cast<UInt32>(cls->m_Events.size()),
                      cls->m_Events.data(), instance, nullptr);

  standin_tb::EventHolder initialize(kEventClassHIObject, kEventHIObjectInitialize);
  if (inConstructData)
    initialize.Get()->m_Params = inConstructData->m_Params;
  status = initialize.SendTo(&core.target);
  if (status != noErr && status != eventNotHandledErr) {
    CFRelease(object);
    return status;
  }
  *outObject = object;
  return noErr;
}

void* HIObjectDynamicCast(HIObjectRef inObject, CFStringRef inClassID) {
  if (inObject == nullptr || inClassID == nullptr)
    return nullptr;
  const StandIn_HIObject::Core& core = inObject->StandInCore();
  return core.subclass && core.subclass->m_ClassID == standin_tb::Utf8(inClassID) ? core.instance
                                                                                  : nullptr;
}

Boolean HIObjectIsOfClass(HIObjectRef inObject, CFStringRef inObjectClassID) {
  if (inObject == nullptr || inObjectClassID == nullptr)
    return false;
  const std::string id = standin_tb::Utf8(inObjectClassID);
  const StandIn_HIObject::Core& core = inObject->StandInCore();
  return core.classID == id || (core.subclass && core.subclass->m_BaseClassID == id) ||
         (id == kViewClassID && dynamic_cast<StandIn_HIView*>(inObject) != nullptr);
}

CFStringRef HIObjectCopyClassID(HIObjectRef inObject) {
  return inObject ? standin_tb::NewString(inObject->StandInCore().classID) : nullptr;
}

long StandIn_HIObjectLiveCount(CFStringRef classID) {
  auto found = TheState().live.find(standin_tb::Utf8(classID));
  return found == TheState().live.end() ? 0 : found->second;
}

bool StandIn_HIObjectClassRegistered(CFStringRef classID) {
  return TheState().classes.count(standin_tb::Utf8(classID)) != 0;
}
