#include "PPXA/PPXA_ToolbarCustomItem.h"

#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_Boundary.h"

#include <set>

namespace PPXA {

ToolbarCustomItem* ToolbarCustomItem::sm_ItemBeingConstructed = nullptr;

namespace {

// The live items, so that an HIObject's instance data is taken for one only when it is one.
std::set<ToolbarCustomItem const*>& LiveItems() {
  static auto* items = new std::set<ToolbarCustomItem const*>;
  return *items;
}

}  // namespace

ToolbarCustomItem::ToolbarCustomItem() {
  LiveItems().insert(this);
}

ToolbarCustomItem::~ToolbarCustomItem() {
  LiveItems().erase(this);
}

void ToolbarCustomItem::Register(CFStringRef classID) {
  static const EventTypeSpec events[] = {
      {kEventClassHIObject, kEventHIObjectConstruct},
      {kEventClassHIObject, kEventHIObjectInitialize},
      {kEventClassHIObject, kEventHIObjectDestruct},
      {kEventClassToolbarItem, kEventToolbarItemCreateCustomView}};
  // A class registered before answers an error that changes nothing.
  HIObjectRegisterSubclass(classID, kHIToolbarItemClassID, 0, HandleEvent, 4, events, nullptr,
                           nullptr);
}

OSStatus ToolbarCustomItem::Initialize(CFStringRef classID, CFStringRef identifier,
                                       UInt32 attributes) {
  Register(classID);
  struct Constructing {
    explicit Constructing(ToolbarCustomItem* item) { sm_ItemBeingConstructed = item; }
    ~Constructing() { sm_ItemBeingConstructed = nullptr; }
  };
  try {
    PPx::SysCarbonEvent data;
    data.MakeEvent(kEventClassHIObject, kEventHIObjectInitialize);
    data.SetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, identifier);
    data.SetParameter(kEventParamAttributes, typeUInt32, attributes);
    Constructing constructing(this);
    HIObjectRef object = nullptr;
    return HIObjectCreate(classID, data.GetEventRef(), &object);
  } catch (PPx::OSError const& e) {
    return e.GetStatus();
  }
}

ToolbarCustomItem* ToolbarCustomItem::FromItem(HIToolbarItemRef item) {
  if (item == nullptr)
    return nullptr;
  iPPXA_CFHolder<CFStringRef> classID(HIObjectCopyClassID(item));
  auto* object = static_cast<ToolbarCustomItem*>(HIObjectDynamicCast(item, classID.Get()));
  return LiveItems().count(object) && object->m_Item == item ? object : nullptr;
}

void ToolbarCustomItem::SetCommandStatus(UInt32, bool) {}

OSStatus ToolbarCustomItem::DoControlGetSizeConstraints(PPx::SysCarbonEvent&, ControlRef,
                                                        HISize& minimum, HISize& maximum) {
  return DoGetMinMaxSize(minimum, maximum);
}

OSStatus ToolbarCustomItem::HandleEvent(EventHandlerCallRef call, EventRef event, void* data) {
  try {
    PPx::SysCarbonEvent held(event);
    auto* self = static_cast<ToolbarCustomItem*>(data);
    const UInt32 eventClass = held.GetClass();
    const UInt32 kind = held.GetKind();
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectConstruct) {
      // A construct that no Initialize asked for (the toolbar remaking an item by its class)
      // has no object to bind: nothing is made.
      if (sm_ItemBeingConstructed == nullptr)
        return paramErr;
      return sm_ItemBeingConstructed->Construct(held);
    }
    if (self == nullptr)
      return eventNotHandledErr;
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectInitialize) {
      // The system item reads the identifier and attributes first.
      const OSStatus status = CallNextEventHandler(call, event);
      self->DoInitialize();
      return status;
    }
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectDestruct)
      return self->DoDestruct();
    if (eventClass == kEventClassToolbarItem && kind == kEventToolbarItemCreateCustomView)
      return self->CreateCustomView(held);
    return eventNotHandledErr;
  } catch (...) {
    return LogCaughtException("a toolbar item's handler");
  }
}

OSStatus ToolbarCustomItem::Construct(PPx::SysCarbonEvent& event) {
  const OSStatus status = DoConstruct();
  if (status != noErr)
    return status;
  HIObjectRef instance = nullptr;
  if (event.GetParameter(kEventParamHIObjectInstance, typeHIObjectRef, instance) != noErr)
    throw PPx::OSError(paramErr, "Unable to update kEventParamHIObjectInstance");
  m_Item = instance;
  ToolbarCustomItem* self = this;
  event.SetParameter(kEventParamHIObjectInstance, typeVoidPtr, self);
  return noErr;
}

OSStatus ToolbarCustomItem::CreateCustomView(PPx::SysCarbonEvent& event) {
  ControlRef view = nullptr;
  const OSStatus status = DoCreateCustomView(view);
  if (status != noErr)
    return status;
  event.SetParameter(kEventParamControlRef, typeControlRef, view);
  PPx::ControlGetSizeConstraintsDoer::Install(GetControlEventTarget(view));
  return noErr;
}

}  // namespace PPXA
