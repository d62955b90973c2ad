#include "PPXA/PPXA_ToolbarSegmentedViewItem.h"

#include "PPXA/PPXA_SysHIToolbar.h"
#include "UMAC/UMAC_PlatformDetector.h"

#include <algorithm>

namespace PPXA {

namespace {

constexpr CharParameter kSegmentMark = 165;  // the bullet of the Mac Roman set
constexpr SInt16 kFirstHoverVersion = 0x1040;

}  // namespace

OSStatus ToolbarSegmentedViewItem::Initialize(CFStringRef identifier,
                                              std::vector<SegmentItem> const& segments,
                                              UInt32 segmentBehavior, UInt32 attributes) {
  m_Items.Assign(segments);
  m_SegmentBehavior = segmentBehavior;
  return ToolbarCustomItem::Initialize(identifier, identifier, attributes);
}

void ToolbarSegmentedViewItem::InitEventHandlers(WindowRef window) {
  if (static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) >= kFirstHoverVersion)
    PPx::MouseMovedDoer::Install(GetWindowEventTarget(window));
}

void ToolbarSegmentedViewItem::SetCommandStatus(UInt32 commandID, bool enabled) {
  HIViewRef view = GetSegmentedView();
  const UInt32 count = HISegmentedViewGetSegmentCount(view);
  for (UInt32 i = 1; i <= count; ++i)
    if (HISegmentedViewGetSegmentCommand(view, i) == commandID)
      HISegmentedViewSetSegmentEnabled(view, i, enabled);
}

OSStatus ToolbarSegmentedViewItem::DoDestruct() {
  delete this;
  return noErr;
}

OSStatus ToolbarSegmentedViewItem::DoCreateCustomView(ControlRef& outView) {
  const HIRect empty = CGRectMake(0, 0, 0, 0);
  HIViewRef view = nullptr;
  PPx::ThrowIfOSStatus(HISegmentedViewCreate(&empty, &view), "HISegmentedViewCreate failed");
  // The toolbar item takes the made reference over; the wrapper holds one of its own.
  CFRetain(view);
  m_SegmentedView.Initialize(view, empty);
  outView = view;

  iPPXA_EntryMenu menu;
  PPx::ThrowIfOSStatus(HISegmentedViewSetSegmentCount(view, m_Items.Count()),
                       "HISegmentedViewSetSegmentCount failed");
  UInt32 index = 1;
  for (SegmentItem const& item : m_Items.Get()) {
    PPx::ThrowIfOSStatus(HISegmentedViewSetSegmentBehavior(view, index, m_SegmentBehavior),
                         "HISegmentedViewSetSegmentBehavior failed");
    PPx::ThrowIfOSStatus(HISegmentedViewSetSegmentImage(view, index, &item.content),
                         "HISegmentedViewSetSegmentImage failed");
    PPx::ThrowIfOSStatus(HISegmentedViewSetSegmentCommand(view, index, item.commandID),
                         "HISegmentedViewSetSegmentCommand failed");
    PPx::ThrowIfOSStatus(HISegmentedViewSetSegmentContentWidth(view, index, true, 0),
                         "HISegmentedViewSetSegmentContentWidth failed");
    menu.Append(item.text, item.commandID, item.content, false);
    ++index;
  }
  menu.Attach(GetSysView(), *this);

  Rect best = {0, 0, 0, 0};
  SInt16 baseline = 0;
  PPx::ThrowIfOSStatus(GetBestControlRect(view, &best, &baseline), "GetBestControlRect failed");
  m_Frame = CGRectMake(best.left, best.top, best.right - best.left, best.bottom - best.top);
  m_SegmentedView.SetFrame(m_Frame);
  return noErr;
}

OSStatus ToolbarSegmentedViewItem::DoGetMinMaxSize(CGSize& minimum, CGSize& maximum) {
  minimum = maximum = m_Frame.size;
  return noErr;
}

OSStatus ToolbarSegmentedViewItem::DoMenuOpening(PPx::SysCarbonEvent&, MenuRef menu, bool, UInt32) {
  HIViewRef view = GetSegmentedView();
  std::vector<iPPXA_EntryState> states;
  const UInt32 count = HISegmentedViewGetSegmentCount(view);
  for (UInt32 i = 1; i <= count; ++i)
    states.push_back({HISegmentedViewGetSegmentValue(view, i) == 1,
                      HISegmentedViewIsSegmentEnabled(view, i) != 0});
  return iPPXA_FollowEntries(menu, states, kSegmentMark);
}

OSStatus ToolbarSegmentedViewItem::DoMouseMoved(PPx::SysCarbonEvent& event, CGPoint const&) {
  HIViewRef view = GetSegmentedView();
  const UInt32 count = std::min(m_Items.Count(), HISegmentedViewGetSegmentCount(view));
  const long index = iPPXA_EntryUnderMouse(event, view, count);
  if (index >= 0) {
    SegmentItem const& item = m_Items.Get()[static_cast<std::size_t>(index)];
    SysHIToolbarItem(GetSysView()).SetHelpText(item.text, item.helpText);
  }
  return eventNotHandledErr;
}

}  // namespace PPXA
