#include "PPXA/iPPXA_ToolbarEntries.h"

namespace PPXA {

iPPXA_EntryMenu::iPPXA_EntryMenu() {
  PPx::ThrowIfOSStatus(CreateNewMenu(0, 0, &m_Menu), "CreateNewMenu failed");
}

iPPXA_EntryMenu::~iPPXA_EntryMenu() {
  if (m_Menu)
    DisposeMenu(m_Menu);
}

void iPPXA_EntryMenu::Append(CFStringRef text, UInt32 commandID,
                             ControlButtonContentInfo const& content, bool iconRefs) {
  MenuItemIndex index = 0;
  PPx::ThrowIfOSStatus(AppendMenuItemTextWithCFString(m_Menu, text, 0, commandID, &index),
                       "AppendMenuItemTextWithCFString failed");
  if (content.contentType == kControlContentCGImageRef)
    SetMenuItemIconHandle(m_Menu, index, kMenuCGImageRefType,
                          reinterpret_cast<Handle>(content.u.imageRef));
  else if (iconRefs && content.contentType == kControlContentIconRef)
    SetMenuItemIconHandle(m_Menu, index, kMenuIconRefType,
                          reinterpret_cast<Handle>(content.u.iconRef));
}

void iPPXA_EntryMenu::Attach(HIToolbarItemRef item, PPx::MenuOpeningDoer& doer) {
  PPx::ThrowIfOSStatus(HIToolbarItemSetMenu(item, m_Menu), "HIToolbarItemSetMenu failed");
  doer.Install(GetMenuEventTarget(m_Menu));
}

OSStatus iPPXA_FollowEntries(MenuRef menu, std::vector<iPPXA_EntryState> const& states,
                             CharParameter mark) {
  if (states.size() != CountMenuItems(menu))
    return eventNotHandledErr;
  for (std::size_t i = 0; i < states.size(); ++i) {
    const auto item = static_cast<MenuItemIndex>(i + 1);
    SetItemMark(menu, item, states[i].on ? mark : noMark);
    if (states[i].enabled)
      EnableMenuItem(menu, item);
    else
      DisableMenuItem(menu, item);
  }
  return noErr;
}

long iPPXA_EntryUnderMouse(PPx::SysCarbonEvent const& event, HIViewRef view, UInt32 count) {
  HIPoint where{0, 0};
  if (view == nullptr || count == 0 ||
      event.GetParameter(kEventParamWindowMouseLocation, typeHIPoint, where) != noErr ||
      HIViewConvertPoint(&where, nullptr, view) != noErr)
    return -1;
  HIRect bounds{{0, 0}, {0, 0}};
  HIViewGetBounds(view, &bounds);
  if (!CGRectContainsPoint(bounds, where))
    return -1;
  // A view narrower than its entries has parts of no width: no entry is under the mouse.
  const SInt32 partWidth = static_cast<SInt32>(bounds.size.width) / static_cast<SInt32>(count);
  if (partWidth <= 0)
    return -1;
  const auto index = static_cast<long>(where.x / partWidth);
  return index < static_cast<long>(count) ? index : -1;
}

}  // namespace PPXA
