// PowerPlant X of the Mac stand-in: command handling (see PPx/PPxCommandDoers.h).
#include <PPx/PPxCommandDoers.h>

namespace PPx {

namespace {

HICommand CommandOf(const SysCarbonEvent& event) {
  HICommand command{};
  event.GetParameter(kEventParamDirectObject, typeHICommand, command);
  return command;
}

UInt32 MenuContextOf(const SysCarbonEvent& event) {
  UInt32 context = 0;
  event.GetParameter(kEventParamMenuContext, typeUInt32, context);
  return context;
}

}  // namespace

OSStatus CommandProcessDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HICommand command = CommandOf(event);
  return DoCommandProcess(event, command, event.GetKeyModifiers(), MenuContextOf(event));
}

OSStatus CommandUpdateStatusDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HICommand command = CommandOf(event);
  return DoCommandUpdateStatus(event, command, MenuContextOf(event));
}

void CommandConverter::Install(EventTargetRef target) {
  CommandProcessDoer::Install(target);
  CommandUpdateStatusDoer::Install(target);
}

void CommandConverter::Remove() {
  CommandProcessDoer::Remove();
  CommandUpdateStatusDoer::Remove();
}

OSStatus CommandConverter::DoCommandProcess(SysCarbonEvent&, HICommand&, UInt32, UInt32) {
  return eventNotHandledErr;
}

OSStatus CommandConverter::DoCommandUpdateStatus(SysCarbonEvent&, HICommand&, UInt32) {
  return eventNotHandledErr;
}

void EventUtils::SetMenuCommandStatus(const HICommand& command, bool enabled) {
  if ((command.attributes & kHICommandFromMenu) == 0 || command.menu.menuRef == nullptr)
    return;
  if (enabled)
    EnableMenuItem(command.menu.menuRef, command.menu.menuItemIndex);
  else
    DisableMenuItem(command.menu.menuRef, command.menu.menuItemIndex);
}

}  // namespace PPx
