// A toolbar item that is one segmented view, with a menu of the segments (used when the toolbar
// shows text only or the item overflows) whose marks (bullets) and enabling follow the segments,
// and the segment's help text under the mouse.
#pragma once

#include "PPXA/PPXA_ToolbarCustomItem.h"
#include "PPXA/iPPXA_ToolbarEntries.h"

#include <PPx/PPxView.h>

#include <vector>

namespace PPXA {

// One segment: its content (134 image), command, the menu item's text (also the short help text)
// and the long help text.
struct SegmentItem {
  ControlButtonContentInfo content;
  UInt32 commandID;
  CFStringRef text;
  CFStringRef helpText;
};

class ToolbarSegmentedViewItem : public ToolbarCustomItem,
                                 public PPx::MenuOpeningDoer,
                                 public PPx::MouseMovedDoer {
public:
  ToolbarSegmentedViewItem() = default;

  // Copies the segments (holding their texts and images) and the one behaviour of all segments,
  // and makes the item, whose class id is its identifier.
  OSStatus Initialize(CFStringRef identifier, std::vector<SegmentItem> const& segments,
                      UInt32 segmentBehavior, UInt32 attributes);
  // Installs the help on hover on the window, from Mac OS X 10.4 on.
  void InitEventHandlers(WindowRef window);
  HIViewRef GetSegmentedView() const { return m_SegmentedView.GetSysView(); }
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
  PPx::SegmentedView m_SegmentedView;
  UInt32 m_SegmentBehavior = 0;
  iPPXA_EntryList<SegmentItem> m_Items;
  CGRect m_Frame = {{0, 0}, {0, 0}};
};

}  // namespace PPXA
