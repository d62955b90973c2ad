// PowerPlant X of the Mac stand-in: command handling.
//
// CommandUpdateStatusDoer handles kEventCommandUpdateStatus ('cmds' 2): the HICommand (direct
// object) and the menu context ('mctx'). CommandConverter turns both command events into
// DoCommandProcess and DoCommandUpdateStatus calls, whose defaults leave every command to the
// next handler (eventNotHandledErr). EventUtils::SetMenuCommandStatus enables or disables the menu
// item a command came from.
#pragma once
#include <HIToolbox/Menus.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

class CommandUpdateStatusDoer
    : public SpecificEventDoer<kEventClassCommand, kEventCommandUpdateStatus> {
protected:
  virtual OSStatus DoCommandUpdateStatus(SysCarbonEvent& event, HICommand& command,
                                         UInt32 menuContext) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class CommandConverter : public CommandProcessDoer, public CommandUpdateStatusDoer {
public:
  // Installs the handlers of both command events on the target; throws OSError.
  void Install(EventTargetRef target);
  void Remove();

protected:
  OSStatus DoCommandProcess(SysCarbonEvent& event, HICommand& command, UInt32 keyModifiers,
                            UInt32 menuContext) override;
  OSStatus DoCommandUpdateStatus(SysCarbonEvent& event, HICommand& command,
                                 UInt32 menuContext) override;
};

namespace EventUtils {
// Enables or disables the menu item of a command from a menu; other commands are left alone.
void SetMenuCommandStatus(const HICommand& command, bool enabled);
}  // namespace EventUtils

}  // namespace PPx
