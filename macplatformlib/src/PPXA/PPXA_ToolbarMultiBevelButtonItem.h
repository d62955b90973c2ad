// A toolbar item that is a row of small bevel buttons (22 x 22 each) on a white image view, with
// a menu of the buttons (used when the toolbar shows text only or the item overflows) whose marks
// (check marks) and enabling follow the buttons, and the button's help text under the mouse.
#pragma once

#include "PPXA/PPXA_ToolbarCustomItem.h"
#include "PPXA/iPPXA_ToolbarEntries.h"

#include <PPx/PPxView.h>

#include <memory>
#include <vector>

namespace PPXA {

// One button: its behaviour, content (132 icon reference, 134 image), command, the menu item's
// text (also the short help text) and the long help text.
struct BevelButtonItem {
  UInt16 behavior;
  ControlButtonContentInfo content;
  UInt32 commandID;
  CFStringRef text;
  CFStringRef helpText;
};

class ToolbarMultiBevelButtonItem : public ToolbarCustomItem,
                                    public PPx::MenuOpeningDoer,
                                    public PPx::MouseMovedDoer {
public:
  ToolbarMultiBevelButtonItem() = default;
  // Takes the buttons out of the image view and frees their wrappers.
  ~ToolbarMultiBevelButtonItem() override;

  // Copies the buttons (holding their texts and images) and makes the item, whose class id is
  // its identifier.
  OSStatus Initialize(CFStringRef identifier, std::vector<BevelButtonItem> const& buttons,
                      UInt32 attributes);
  // Installs the help on hover on the window, from Mac OS X 10.4 on.
  void InitEventHandlers(WindowRef window);
  // The button's view, counted from 1; null for 0 and past the last.
  HIViewRef GetBevelButtonView(UInt32 index) const;
  void SetCommandStatus(UInt32 commandID, bool enabled) override;

protected:
  OSStatus DoConstruct() override { return noErr; }
  OSStatus DoInitialize() override { return noErr; }
  OSStatus DoDestruct() override;
  OSStatus DoCreateCustomView(ControlRef& outView) override;
  OSStatus DoGetMinMaxSize(CGSize& minimum, CGSize& maximum) override;
  OSStatus DoMenuOpening(PPx::SysCarbonEvent& event, MenuRef menu, bool firstTime,
                         UInt32 context) override;
  // Always eventNotHandledErr, so the mouse-moved event travels on.
  OSStatus DoMouseMoved(PPx::SysCarbonEvent& event, CGPoint const& where) override;

private:
  void MakeBackground();

  PPx::ImageView m_ImageView;
  std::vector<UInt8> m_Background;  // the white pixels of the image view's image
  std::vector<std::unique_ptr<PPx::BevelButton>> m_Buttons;
  iPPXA_EntryList<BevelButtonItem> m_Items;
  float m_Width = 0;
  float m_Height = 0;
};

}  // namespace PPXA
