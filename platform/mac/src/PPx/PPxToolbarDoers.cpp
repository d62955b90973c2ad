// PowerPlant X of the Mac stand-in: the toolbar and custom-item doers (see PPx/PPxToolbarDoers.h).
#include <PPx/PPxToolbarDoers.h>

namespace PPx {

OSStatus SendTargetDeletedEvent(EventTargetRef target) {
  SysCarbonEvent deleted;
  deleted.MakeEvent(kEventClassPPx, kEventPPxTargetDeleted);
  return deleted.Send(target);
}

namespace {

HIToolbarRef ToolbarOf(const SysCarbonEvent& event) {
  HIToolbarRef toolbar = nullptr;
  event.GetParameter(kEventParamToolbar, typeHIToolbarRef, toolbar);
  return toolbar;
}

CFMutableArrayRef ArrayOf(const SysCarbonEvent& event) {
  CFMutableArrayRef array = nullptr;
  event.GetParameter(kEventParamMutableArray, typeCFMutableArrayRef, array);
  return array;
}

// Hands a made item to the toolbar.
OSStatus AnswerItem(SysCarbonEvent& event, OSStatus status, HIToolbarItemRef item) {
  if (status == noErr && item != nullptr)
    event.SetParameter(kEventParamToolbarItem, typeHIToolbarItemRef, item);
  return status;
}

}  // namespace

OSStatus ToolbarGetDefaultIdentifiersDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoToolbarGetDefaultIdentifiers(event, ToolbarOf(event), ArrayOf(event));
}

OSStatus ToolbarGetAllowedIdentifiersDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoToolbarGetAllowedIdentifiers(event, ToolbarOf(event), ArrayOf(event));
}

OSStatus ToolbarCreateItemWithIdentifierDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  CFStringRef identifier = nullptr;
  CFTypeRef configData = nullptr;
  event.GetParameter(kEventParamToolbarItemIdentifier, typeCFStringRef, identifier);
  event.GetParameter(kEventParamToolbarItemConfigData, typeCFTypeRef, configData);
  HIToolbarItemRef item = nullptr;
  const OSStatus status =
      DoToolbarCreateItemWithIdentifier(event, ToolbarOf(event), identifier, configData, item);
  return AnswerItem(event, status, item);
}

OSStatus ToolbarCreateItemFromDragDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  DragRef drag = nullptr;
  event.GetParameter(kEventParamDragRef, typeDragRef, drag);
  HIToolbarItemRef item = nullptr;
  const OSStatus status = DoToolbarCreateItemFromDrag(event, ToolbarOf(event), drag, item);
  return AnswerItem(event, status, item);
}

OSStatus MenuOpeningDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  MenuRef menu = nullptr;
  Boolean first = false;
  UInt32 context = 0;
  event.GetParameter(kEventParamDirectObject, typeMenuRef, menu);
  event.GetParameter(kEventParamMenuFirstOpen, typeBoolean, first);
  event.GetParameter(kEventParamMenuContext, typeUInt32, context);
  return DoMenuOpening(event, menu, first, context);
}

OSStatus MouseMovedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  CGPoint where{0, 0};
  event.GetParameter(kEventParamMouseLocation, typeHIPoint, where);
  return DoMouseMoved(event, where);
}

}  // namespace PPx
