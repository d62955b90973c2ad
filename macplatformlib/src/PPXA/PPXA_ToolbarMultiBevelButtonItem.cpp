#include "PPXA/PPXA_ToolbarMultiBevelButtonItem.h"

#include "PPXA/PPXA_SysHIToolbar.h"
#include "PPXA/iPPXA_CFHolder.h"
#include "UMAC/UMAC_PlatformDetector.h"

#include <algorithm>

namespace PPXA {

namespace {

constexpr SInt16 kButtonSide = 22;
constexpr CharParameter kButtonMark = 18;  // check mark
constexpr SInt16 kFirstHoverVersion = 0x1040;

}  // namespace

ToolbarMultiBevelButtonItem::~ToolbarMultiBevelButtonItem() {
  for (auto& button : m_Buttons)
    HIViewRemoveFromSuperview(button->GetSysView());
  m_Buttons.clear();  // each wrapper releases its view
}

OSStatus ToolbarMultiBevelButtonItem::Initialize(CFStringRef identifier,
                                                 std::vector<BevelButtonItem> const& buttons,
                                                 UInt32 attributes) {
  m_Items.Assign(buttons);
  return ToolbarCustomItem::Initialize(identifier, identifier, attributes);
}

void ToolbarMultiBevelButtonItem::InitEventHandlers(WindowRef window) {
  if (static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) >= kFirstHoverVersion)
    PPx::MouseMovedDoer::Install(GetWindowEventTarget(window));
}

HIViewRef ToolbarMultiBevelButtonItem::GetBevelButtonView(UInt32 index) const {
  if (index == 0 || index > m_Buttons.size())
    return nullptr;
  return m_Buttons[index - 1]->GetSysView();
}

void ToolbarMultiBevelButtonItem::SetCommandStatus(UInt32 commandID, bool enabled) {
  for (auto& button : m_Buttons) {
    UInt32 command = 0;
    if (GetControlCommandID(button->GetSysView(), &command) == noErr && command == commandID)
      button->SetEnabled(enabled);
  }
}

OSStatus ToolbarMultiBevelButtonItem::DoDestruct() {
  delete this;
  return noErr;
}

OSStatus ToolbarMultiBevelButtonItem::DoCreateCustomView(ControlRef& outView) {
  HIViewRef image = nullptr;
  PPx::ThrowIfOSStatus(HIImageViewCreate(nullptr, &image), "HIImageViewCreate failed");
  const HIRect none = CGRectMake(0, 0, 0, 0);
  // The toolbar item takes the made reference over; the wrapper holds one of its own.
  CFRetain(image);
  m_ImageView.Initialize(image, none);
  PPx::ThrowIfOSStatus(HIViewChangeFeatures(image, kHIViewAllowsSubviews, 0),
                       "HIViewChangeFeatures failed");
  outView = image;

  iPPXA_EntryMenu menu;
  float x = 0;
  float height = 0;
  for (BevelButtonItem const& item : m_Items.Get()) {
    const Rect bounds = {0, 0, kButtonSide, kButtonSide};
    ControlButtonContentInfo content = item.content;
    ControlRef button = nullptr;
    PPx::ThrowIfOSStatus(CreateBevelButtonControl(nullptr, &bounds, nullptr,
                                                  kControlBevelButtonNormalBevel, item.behavior,
                                                  &content, 0, 0, 0, &button),
                         "CreateBevelButtonControl failed");
    auto wrapper = std::make_unique<PPx::BevelButton>();
    wrapper->Initialize(button, CGRectMake(0, 0, kButtonSide, kButtonSide));
    m_Buttons.push_back(std::move(wrapper));
    PPx::ThrowIfOSStatus(SetControlCommandID(button, item.commandID), "SetControlCommandID failed");
    const HIRect frame = m_Buttons.back()->GetFrame();
    height = std::max(height, static_cast<float>(frame.size.height));
    PPx::ThrowIfOSStatus(HIViewAddSubview(image, button), "HIViewAddSubview failed");
    HIViewPlaceInSuperviewAt(button, x, 0);
    x += static_cast<float>(frame.size.width);
    menu.Append(item.text, item.commandID, item.content, true);
  }
  menu.Attach(GetSysView(), *this);
  m_Width = x;
  m_Height = height;
  MakeBackground();
  return noErr;
}

// A white grey-scale image of the item's size behind the buttons.
void ToolbarMultiBevelButtonItem::MakeBackground() {
  const auto width = static_cast<std::size_t>(m_Width);
  const auto height = static_cast<std::size_t>(m_Height);
  std::vector<UInt8> pixels(width * height, 255);
  iPPXA_CFHolder<CGColorSpaceRef> grey(CGColorSpaceCreateDeviceGray());
  iPPXA_CFHolder<CGDataProviderRef> provider(
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr));
  iPPXA_CFHolder<CGImageRef> background(CGImageCreate(width, height, 8, 8, width, grey.Get(),
                                                      kCGImageAlphaNone, provider.Get(), nullptr,
                                                      false, kCGRenderingIntentDefault));
  m_Background.swap(pixels);
  PPx::ThrowIfOSStatus(HIImageViewSetImage(m_ImageView.GetSysView(), background.Get()),
                       "HIImageViewSetImage failed");
}

OSStatus ToolbarMultiBevelButtonItem::DoGetMinMaxSize(CGSize& minimum, CGSize& maximum) {
  minimum = maximum = CGSizeMake(m_Width, m_Height);
  return noErr;
}

OSStatus ToolbarMultiBevelButtonItem::DoMenuOpening(PPx::SysCarbonEvent&, MenuRef menu, bool,
                                                    UInt32) {
  std::vector<iPPXA_EntryState> states;
  for (auto const& button : m_Buttons)
    states.push_back({button->GetValue() == 1, button->IsEnabled()});
  return iPPXA_FollowEntries(menu, states, kButtonMark);
}

OSStatus ToolbarMultiBevelButtonItem::DoMouseMoved(PPx::SysCarbonEvent& event, CGPoint const&) {
  const UInt32 count = std::min<UInt32>(m_Items.Count(), static_cast<UInt32>(m_Buttons.size()));
  const long index = iPPXA_EntryUnderMouse(event, m_ImageView.GetSysView(), count);
  if (index >= 0) {
    BevelButtonItem const& item = m_Items.Get()[static_cast<std::size_t>(index)];
    SysHIToolbarItem(GetSysView()).SetHelpText(item.text, item.helpText);
  }
  return eventNotHandledErr;
}

}  // namespace PPXA
