// The base of toolbar items that are HIObject subclasses of "com.apple.hitoolbaritem" with a view
// of their own. Initialize registers the class and makes the HIObject; the object then lives
// until the HIObject's destruct event, whose DoDestruct deletes it.
#pragma once

#include <PPx/PPxToolbarDoers.h>

namespace PPXA {

class ToolbarCustomItem : public PPx::ControlGetSizeConstraintsDoer {
public:
  ToolbarCustomItem();
  ~ToolbarCustomItem() override;
  ToolbarCustomItem(ToolbarCustomItem const&) = delete;
  ToolbarCustomItem& operator=(ToolbarCustomItem const&) = delete;

  // Registers the class over "com.apple.hitoolbaritem" for construct, initialise, destruct and
  // create-view events; registering a class again is harmless.
  static void Register(CFStringRef classID);

  // Makes the HIObject of the class with the identifier and attributes; the status of the
  // making (the construct's when it failed).
  OSStatus Initialize(CFStringRef classID, CFStringRef identifier, UInt32 attributes);

  // The item's HIObject (null until made).
  HIToolbarItemRef GetSysView() const { return m_Item; }

  // The object behind a toolbar item made by this class, else null.
  static ToolbarCustomItem* FromItem(HIToolbarItemRef item);

  // Enables or disables the parts of the item that carry the command (none by default).
  virtual void SetCommandStatus(UInt32 commandID, bool enabled);

protected:
  OSStatus DoControlGetSizeConstraints(PPx::SysCarbonEvent& event, ControlRef control,
                                       HISize& minimum, HISize& maximum) override;

  virtual OSStatus DoConstruct() = 0;
  virtual OSStatus DoInitialize() = 0;
  // Deletes the object in the concrete items.
  virtual OSStatus DoDestruct() = 0;
  virtual OSStatus DoCreateCustomView(ControlRef& outView) = 0;
  virtual OSStatus DoGetMinMaxSize(CGSize& minimum, CGSize& maximum) = 0;

private:
  static OSStatus HandleEvent(EventHandlerCallRef call, EventRef event, void* data);
  OSStatus Construct(PPx::SysCarbonEvent& event);
  OSStatus CreateCustomView(PPx::SysCarbonEvent& event);

  HIToolbarItemRef m_Item = nullptr;
  static ToolbarCustomItem* sm_ItemBeingConstructed;
};

}  // namespace PPXA
