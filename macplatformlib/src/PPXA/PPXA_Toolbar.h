// A window's toolbar: makes the HIToolbar, sets it on the window and answers the toolbar's four
// delegate events through virtual operations the application overrides (each answers
// eventNotHandledErr by default).
#pragma once

#include "PPXA/PPXA_SysHIToolbar.h"

#include <PPx/PPxToolbarDoers.h>

namespace PPXA {

class Toolbar : public PPx::EventTarget,
                public PPx::ToolbarGetDefaultIdentifiersDoer,
                public PPx::ToolbarGetAllowedIdentifiersDoer,
                public PPx::ToolbarCreateItemWithIdentifierDoer,
                public PPx::ToolbarCreateItemFromDragDoer {
public:
  Toolbar() = default;
  // Tells the toolbar's target it is going, then removes the doers.
  ~Toolbar() override;

  // Makes the toolbar, sets it on the window with the toolbar button and automatic control drag
  // tracking, and installs the doers; throws PPx::OSError (or PPx::LogicError when called twice).
  void Initialize(CFStringRef identifier, UInt32 attributes, WindowRef window);

  // Enables or disables every item, bevel button and segment that carries the command.
  void SetItemCommandStatus(UInt32 commandID, bool enabled);

  SysHIToolbar& GetSysHIToolbar() { return m_SysHIToolbar; }
  const char* ClassName() const override { return "PPXA::Toolbar"; }
  EventTargetRef SysEventTarget() const override;

protected:
  OSStatus DoToolbarGetDefaultIdentifiers(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                          CFMutableArrayRef identifiers) override;
  OSStatus DoToolbarGetAllowedIdentifiers(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                          CFMutableArrayRef identifiers) override;
  OSStatus DoToolbarCreateItemWithIdentifier(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                             CFStringRef identifier, const void* configData,
                                             HIToolbarItemRef& outItem) override;
  OSStatus DoToolbarCreateItemFromDrag(PPx::SysCarbonEvent& event, HIToolbarRef toolbar,
                                       DragRef drag, HIToolbarItemRef& outItem) override;

private:
  SysHIToolbar m_SysHIToolbar;
};

}  // namespace PPXA
