// PowerPlant X of the Mac stand-in: the doers of toolbars and their custom items (the toolbar's
// delegate events, a view's size constraints, a menu's opening and the mouse moving), and the
// framework's notice that an event target is going.
#pragma once
#include <HIToolbox/Drag.h>
#include <HIToolbox/HIToolbar.h>

#include <PPx/PPxEventTarget.h>
#include <PPx/PPxViewDoers.h>

namespace PPx {

// The framework's event that tells an event target's attachments the target is being deleted.
enum : UInt32 {
  kEventClassPPx = 0x50507820,  // 'PPx '
  kEventPPxTargetDeleted = 1
};
// Sends it to the target (the event carries no parameters); the send's status.
OSStatus SendTargetDeletedEvent(EventTargetRef target);

// 'tbar' 1: DoToolbarGetDefaultIdentifiers(event, toolbar 'tbar', array 'marr').
class ToolbarGetDefaultIdentifiersDoer
    : public SpecificEventDoer<kEventClassToolbar, kEventToolbarGetDefaultIdentifiers> {
protected:
  virtual OSStatus DoToolbarGetDefaultIdentifiers(SysCarbonEvent& event, HIToolbarRef toolbar,
                                                  CFMutableArrayRef identifiers) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// 'tbar' 2: DoToolbarGetAllowedIdentifiers(event, toolbar, array).
class ToolbarGetAllowedIdentifiersDoer
    : public SpecificEventDoer<kEventClassToolbar, kEventToolbarGetAllowedIdentifiers> {
protected:
  virtual OSStatus DoToolbarGetAllowedIdentifiers(SysCarbonEvent& event, HIToolbarRef toolbar,
                                                  CFMutableArrayRef identifiers) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// 'tbar' 3: DoToolbarCreateItemWithIdentifier(event, toolbar, 'tbii', 'tbid', item); on noErr
// with an item the item is written to 'tbit'.
class ToolbarCreateItemWithIdentifierDoer
    : public SpecificEventDoer<kEventClassToolbar, kEventToolbarCreateItemWithIdentifier> {
protected:
  virtual OSStatus DoToolbarCreateItemWithIdentifier(SysCarbonEvent& event, HIToolbarRef toolbar,
                                                     CFStringRef identifier, const void* configData,
                                                     HIToolbarItemRef& outItem) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// 'tbar' 4: DoToolbarCreateItemFromDrag(event, toolbar, 'drag', item); the item as for 'tbar' 3.
class ToolbarCreateItemFromDragDoer
    : public SpecificEventDoer<kEventClassToolbar, kEventToolbarCreateItemFromDrag> {
protected:
  virtual OSStatus DoToolbarCreateItemFromDrag(SysCarbonEvent& event, HIToolbarRef toolbar,
                                               DragRef drag, HIToolbarItemRef& outItem) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// 'menu' 4: DoMenuOpening(event, menu, 'mfst', 'mctx').
class MenuOpeningDoer : public SpecificEventDoer<kEventClassMenu, kEventMenuOpening> {
protected:
  virtual OSStatus DoMenuOpening(SysCarbonEvent& event, MenuRef menu, bool firstTime,
                                 UInt32 context) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

// 'mous' 5: DoMouseMoved(event, global location 'mloc').
class MouseMovedDoer : public SpecificEventDoer<kEventClassMouse, kEventMouseMoved> {
protected:
  virtual OSStatus DoMouseMoved(SysCarbonEvent& event, const CGPoint& where) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

}  // namespace PPx
