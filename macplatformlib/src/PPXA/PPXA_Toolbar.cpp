#include "PPXA/PPXA_Toolbar.h"

#include "PPXA/PPXA_ToolbarCustomItem.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_Boundary.h"

namespace PPXA {

Toolbar::~Toolbar() {
  if (HIToolbarRef toolbar = m_SysHIToolbar.GetHIToolbarRef()) {
    // The notice is a courtesy; the doers go all the same.
    Quietly("the toolbar's deletion notice",
            [&] { PPx::SendTargetDeletedEvent(HIObjectGetEventTarget(toolbar)); });
  }
  PPx::ToolbarGetDefaultIdentifiersDoer::Remove();
  PPx::ToolbarGetAllowedIdentifiersDoer::Remove();
  PPx::ToolbarCreateItemWithIdentifierDoer::Remove();
  PPx::ToolbarCreateItemFromDragDoer::Remove();
}

void Toolbar::Initialize(CFStringRef identifier, UInt32 attributes, WindowRef window) {
  m_SysHIToolbar.MakeHIToolbar(identifier, attributes);
  HIToolbarRef toolbar = m_SysHIToolbar.GetHIToolbarRef();
  PPx::ThrowIfOSStatus(SetWindowToolbar(window, toolbar), "SetWindowToolbar failed");
  PPx::ThrowIfOSStatus(ChangeWindowAttributes(window, kWindowToolbarButtonAttribute, 0),
                       "ChangeWindowAttributes failed");
  PPx::ThrowIfOSStatus(SetAutomaticControlDragTrackingEnabledForWindow(window, true),
                       "SetAutomaticControlDragTrackingEnabledForWindow failed");
  EventTargetRef target = HIObjectGetEventTarget(toolbar);
  PPx::ToolbarGetDefaultIdentifiersDoer::Install(target);
  PPx::ToolbarGetAllowedIdentifiersDoer::Install(target);
  PPx::ToolbarCreateItemWithIdentifierDoer::Install(target);
  PPx::ToolbarCreateItemFromDragDoer::Install(target);
}

void Toolbar::SetItemCommandStatus(UInt32 commandID, bool enabled) {
  CFArrayRef copied = nullptr;
  if (HIToolbarCopyItems(m_SysHIToolbar.GetHIToolbarRef(), &copied) != noErr || copied == nullptr)
    return;
  iPPXA_CFHolder<CFArrayRef> items(copied);
  for (CFIndex i = 0; i < CFArrayGetCount(items.Get()); ++i) {
    auto item =
        static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(items.Get(), i)));
    MenuCommand command = 0;
    if (HIToolbarItemGetCommandID(item, &command) == noErr && command == commandID)
      HIToolbarItemSetEnabled(item, enabled);
    if (ToolbarCustomItem* custom = ToolbarCustomItem::FromItem(item))
      custom->SetCommandStatus(commandID, enabled);
  }
}

EventTargetRef Toolbar::SysEventTarget() const {
  HIToolbarRef toolbar = m_SysHIToolbar.GetHIToolbarRef();
  return toolbar ? HIObjectGetEventTarget(toolbar) : nullptr;
}

OSStatus Toolbar::DoToolbarGetDefaultIdentifiers(PPx::SysCarbonEvent&, HIToolbarRef,
                                                 CFMutableArrayRef) {
  return eventNotHandledErr;
}

OSStatus Toolbar::DoToolbarGetAllowedIdentifiers(PPx::SysCarbonEvent&, HIToolbarRef,
                                                 CFMutableArrayRef) {
  return eventNotHandledErr;
}

OSStatus Toolbar::DoToolbarCreateItemWithIdentifier(PPx::SysCarbonEvent&, HIToolbarRef, CFStringRef,
                                                    const void*, HIToolbarItemRef&) {
  return eventNotHandledErr;
}

OSStatus Toolbar::DoToolbarCreateItemFromDrag(PPx::SysCarbonEvent&, HIToolbarRef, DragRef,
                                              HIToolbarItemRef&) {
  return eventNotHandledErr;
}

}  // namespace PPXA
