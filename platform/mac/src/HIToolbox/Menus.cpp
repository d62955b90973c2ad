// Menus of the Mac stand-in (see HIToolbox/Menus.h).
#include "iStandInToolbox.h"

#include <cctype>

namespace {

long g_liveMenus = 0;

class MenuImpl final : public StandIn_Menu {
public:
  struct Item {
    std::u16string text;
    MenuCommand command = 0;
    bool enabled = true;
    CharParameter mark = noMark;
    std::shared_ptr<CFHeld<MenuRef>> submenu;
    UInt8 iconType = kMenuNoIcon;
    Handle icon = nullptr;
    std::shared_ptr<const StandIn_CFObject> iconHold;  // the image's, for kMenuCGImageRefType
    CharParameter key = 0;                             // the key equivalent's character
    UInt8 keyModifiers = kMenuNoModifiers;
    MenuItemAttributes attributes = 0;
  };

  explicit MenuImpl(MenuID menuID) : StandIn_Menu(standin_tb::HIObjectTypeID()), m_Id(menuID) {
    ++g_liveMenus;
  }
  ~MenuImpl() override { --g_liveMenus; }
  EventTargetRef ParentTarget() const override { return GetApplicationEventTarget(); }

  Item* At(MenuItemIndex index) {
    return index >= 1 && index <= m_Items.size() ? &m_Items[index - 1] : nullptr;
  }

  MenuID m_Id;
  std::u16string m_Title;
  std::vector<Item> m_Items;
};

MenuImpl* Impl(MenuRef menu) {
  return static_cast<MenuImpl*>(menu);
}

CFHeld<MenuRef>& RootMenu() {
  static auto* root = new CFHeld<MenuRef>;
  return *root;
}

bool FindCommand(MenuRef menu, MenuCommand command, UInt32* skip, MenuRef* outMenu,
                 MenuItemIndex* outIndex) {
  MenuImpl* impl = Impl(menu);
  for (std::size_t i = 0; i < impl->m_Items.size(); ++i) {
    const MenuImpl::Item& item = impl->m_Items[i];
    if (item.command == command && (*skip)-- <= 1) {
      if (outMenu)
        *outMenu = menu;
      if (outIndex)
        *outIndex = static_cast<MenuItemIndex>(i + 1);
      return true;
    }
    if (item.submenu && FindCommand(item.submenu->Get(), command, skip, outMenu, outIndex))
      return true;
  }
  return false;
}

}  // namespace

OSStatus CreateNewMenu(MenuID inMenuID, MenuAttributes, MenuRef* outMenuRef) {
  if (outMenuRef == nullptr)
    return paramErr;
  *outMenuRef = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateNewMenu"))
    return err;
  *outMenuRef = new MenuImpl(inMenuID);
  return noErr;
}

void DisposeMenu(MenuRef theMenu) {
  if (theMenu)
    CFRelease(theMenu);
}

MenuID GetMenuID(MenuRef menu) {
  return menu ? Impl(menu)->m_Id : 0;
}

OSStatus SetMenuTitleWithCFString(MenuRef inMenu, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuTitleWithCFString"))
    return err;
  if (inMenu == nullptr)
    return paramErr;
  Impl(inMenu)->m_Title = standin_tb::Units(inString);
  return noErr;
}

OSStatus CopyMenuTitleAsCFString(MenuRef inMenu, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyMenuTitleAsCFString"))
    return err;
  if (inMenu == nullptr || outString == nullptr)
    return paramErr;
  *outString = new StandIn_CFString(Impl(inMenu)->m_Title);
  return noErr;
}

UInt16 CountMenuItems(MenuRef theMenu) {
  return theMenu ? static_cast<UInt16>(Impl(theMenu)->m_Items.size()) : 0;
}

OSStatus AppendMenuItemTextWithCFString(MenuRef inMenu, CFStringRef inString,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID,
                                        MenuItemIndex* outNewItem) {
  if (OSStatus err = standin_tb::EnterCall("AppendMenuItemTextWithCFString"))
    return err;
  if (inMenu == nullptr)
    return paramErr;
  MenuImpl::Item item;
  item.text = standin_tb::Units(inString);
  item.command = inCommandID;
  item.attributes = inAttributes;
  item.enabled = !(inAttributes & (kMenuItemAttrDisabled | kMenuItemAttrSeparator));
  Impl(inMenu)->m_Items.push_back(item);
  if (outNewItem)
    *outNewItem = CountMenuItems(inMenu);
  return noErr;
}

OSStatus DeleteMenuItems(MenuRef inMenu, MenuItemIndex inFirstItem, UInt32 inNumItems) {
  if (OSStatus err = standin_tb::EnterCall("DeleteMenuItems"))
    return err;
  if (inMenu == nullptr)
    return paramErr;
  auto& items = Impl(inMenu)->m_Items;
  if (inNumItems == 0)
    return noErr;
  if (inFirstItem < 1 || inFirstItem > items.size())
    return menuItemNotFoundErr;
  const std::size_t first = inFirstItem - 1;
  const std::size_t last = std::min<std::size_t>(items.size(), first + inNumItems);
  items.erase(items.begin() + static_cast<long>(first), items.begin() + static_cast<long>(last));
  return noErr;
}

OSStatus SetMenuItemTextWithCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuItemTextWithCFString"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  item->text = standin_tb::Units(inString);
  return noErr;
}

OSStatus CopyMenuItemTextAsCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyMenuItemTextAsCFString"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr || outString == nullptr)
    return menuItemNotFoundErr;
  *outString = new StandIn_CFString(item->text);
  return noErr;
}

OSStatus SetMenuItemCommandID(MenuRef inMenu, MenuItemIndex inItem, MenuCommand inCommandID) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuItemCommandID"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  item->command = inCommandID;
  return noErr;
}

OSStatus GetMenuItemCommandID(MenuRef inMenu, MenuItemIndex inItem, MenuCommand* outCommandID) {
  if (OSStatus err = standin_tb::EnterCall("GetMenuItemCommandID"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr || outCommandID == nullptr)
    return menuItemNotFoundErr;
  *outCommandID = item->command;
  return noErr;
}

void EnableMenuItem(MenuRef theMenu, MenuItemIndex item) {
  if (MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr)
    found->enabled = true;
}

void DisableMenuItem(MenuRef theMenu, MenuItemIndex item) {
  if (MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr)
    found->enabled = false;
}

Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item) {
  MenuImpl::Item* found = menu ? Impl(menu)->At(item) : nullptr;
  return found && found->enabled;
}

void SetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter markChar) {
  if (MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr)
    found->mark = markChar;
}

void GetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter* markChar) {
  MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr;
  if (markChar)
    *markChar = found ? found->mark : noMark;
}

void CheckMenuItem(MenuRef theMenu, MenuItemIndex item, Boolean checked) {
  SetItemMark(theMenu, item, checked ? checkMark : noMark);
}

OSErr SetMenuItemIconHandle(MenuRef inMenu, MenuItemIndex inItem, UInt8 inIconType,
                            Handle inIconHandle) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuItemIconHandle"))
    return static_cast<OSErr>(err);
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  if (inIconType != kMenuNoIcon && inIconType != kMenuIconRefType &&
      inIconType != kMenuCGImageRefType)
    return paramErr;
  std::shared_ptr<const StandIn_CFObject> hold;
  if (inIconType == kMenuCGImageRefType && inIconHandle != nullptr) {
    CFTypeRef image = CFRetain(reinterpret_cast<CGImageRef>(inIconHandle));
    hold.reset(image, [](CFTypeRef held) { CFRelease(held); });
  }
  item->iconType = inIconHandle ? inIconType : UInt8(kMenuNoIcon);
  item->icon = inIconType == kMenuNoIcon ? nullptr : inIconHandle;
  item->iconHold = hold;
  return noErr;
}

OSErr GetMenuItemIconHandle(MenuRef inMenu, MenuItemIndex inItem, UInt8* outIconType,
                            Handle* outIconHandle) {
  if (OSStatus err = standin_tb::EnterCall("GetMenuItemIconHandle"))
    return static_cast<OSErr>(err);
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  if (outIconType)
    *outIconType = item->iconType;
  if (outIconHandle)
    *outIconHandle = item->icon;
  return noErr;
}

OSStatus SetMenuItemHierarchicalMenu(MenuRef inMenu, MenuItemIndex inItem, MenuRef inHierMenu) {
  if (OSStatus err = standin_tb::EnterCall("SetMenuItemHierarchicalMenu"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  if (inHierMenu)
    CFRetain(inHierMenu);
  item->submenu = std::make_shared<CFHeld<MenuRef>>(inHierMenu);
  return noErr;
}

OSStatus GetMenuItemHierarchicalMenu(MenuRef inMenu, MenuItemIndex inItem, MenuRef* outHierMenu) {
  if (OSStatus err = standin_tb::EnterCall("GetMenuItemHierarchicalMenu"))
    return err;
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr || outHierMenu == nullptr)
    return menuItemNotFoundErr;
  *outHierMenu = item->submenu ? item->submenu->Get() : nullptr;
  return noErr;
}

OSStatus GetIndMenuItemWithCommandID(MenuRef inMenu, MenuCommand inCommandID, UInt32 inItemIndex,
                                     MenuRef* outMenu, MenuItemIndex* outIndex) {
  if (OSStatus err = standin_tb::EnterCall("GetIndMenuItemWithCommandID"))
    return err;
  MenuRef menu = inMenu ? inMenu : RootMenu().Get();
  UInt32 skip = inItemIndex;
  if (menu == nullptr || !FindCommand(menu, inCommandID, &skip, outMenu, outIndex))
    return menuItemNotFoundErr;
  return noErr;
}

void EnableMenuCommand(MenuRef inMenu, MenuCommand inCommandID) {
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  if (GetIndMenuItemWithCommandID(inMenu, inCommandID, 1, &menu, &index) == noErr)
    EnableMenuItem(menu, index);
}

void DisableMenuCommand(MenuRef inMenu, MenuCommand inCommandID) {
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  if (GetIndMenuItemWithCommandID(inMenu, inCommandID, 1, &menu, &index) == noErr)
    DisableMenuItem(menu, index);
}

OSStatus SetRootMenu(MenuRef inMenu) {
  if (OSStatus err = standin_tb::EnterCall("SetRootMenu"))
    return err;
  if (inMenu)
    CFRetain(inMenu);
  RootMenu().Reset(inMenu);
  return noErr;
}

MenuRef AcquireRootMenu() {
  MenuRef root = RootMenu().Get();
  if (root)
    CFRetain(root);
  return root;
}

namespace {

// The user-focus chain: the focus window's keyboard focus, the window, then the application.
EventTargetRef UserFocusTarget() {
  WindowRef window = GetUserFocusWindow();
  HIViewRef focus = nullptr;
  if (window)
    GetKeyboardFocus(window, &focus);
  return focus    ? GetControlEventTarget(focus)
         : window ? GetWindowEventTarget(window)
                  : GetApplicationEventTarget();
}

HICommandExtended MenuCommandOf(MenuRef menu, MenuItemIndex index) {
  HICommandExtended command{};
  command.attributes = kHICommandFromMenu;
  command.commandID = Impl(menu)->At(index)->command;
  command.source.menu.menuRef = menu;
  command.source.menu.menuItemIndex = index;
  return command;
}

OSStatus SendMenuCommand(UInt32 kind, MenuRef menu, MenuItemIndex index, UInt32 context) {
  standin_tb::EventHolder event(kEventClassCommand, kind);
  event.Set(kEventParamDirectObject, typeHICommand, MenuCommandOf(menu, index));
  event.Set(kEventParamMenuContext, typeUInt32, context);
  return event.SendTo(UserFocusTarget());
}

// The update-status round of one item: its command's status is asked of the user-focus chain.
void UpdateItemStatus(MenuRef menu, MenuItemIndex index, UInt32 context) {
  if (Impl(menu)->At(index)->command != 0)
    SendMenuCommand(kEventCommandUpdateStatus, menu, index, context);
}

// Runs the round for the item, then sends its command unless it is disabled.
OSStatus PickItem(MenuRef menu, MenuItemIndex index, UInt32 context) {
  CFRetain(menu);
  UpdateItemStatus(menu, index, context);
  const MenuImpl::Item* item = Impl(menu)->At(index);
  OSStatus status = eventNotHandledErr;
  if (item && item->enabled && !(item->attributes & kMenuItemAttrSeparator))
    status = SendMenuCommand(kEventCommandProcess, menu, index, context);
  CFRelease(menu);
  return status;
}

bool KeyMatches(const MenuImpl::Item& item, const StandIn_Input& input) {
  if (item.key == 0 || (item.keyModifiers & kMenuNoCommandModifier))
    return false;
  const UniChar character = input.character < 0x80
                                ? static_cast<UniChar>(std::toupper(input.character))
                                : input.character;
  const UInt8 held = ((input.modifiers & shiftKey) ? kMenuShiftModifier : 0) |
                     ((input.modifiers & optionKey) ? kMenuOptionModifier : 0) |
                     ((input.modifiers & controlKey) ? kMenuControlModifier : 0);
  const UniChar key = item.key < 0x80 ? static_cast<UniChar>(std::toupper(item.key)) : item.key;
  return key == character && held == item.keyModifiers;
}

bool FindKey(MenuRef menu, const StandIn_Input& input, MenuRef* outMenu, MenuItemIndex* outIndex) {
  MenuImpl* impl = Impl(menu);
  for (std::size_t i = 0; i < impl->m_Items.size(); ++i) {
    const MenuImpl::Item& item = impl->m_Items[i];
    if (KeyMatches(item, input)) {
      *outMenu = menu;
      *outIndex = static_cast<MenuItemIndex>(i + 1);
      return true;
    }
    if (item.submenu && FindKey(item.submenu->Get(), input, outMenu, outIndex))
      return true;
  }
  return false;
}

}  // namespace

standin_tb::MenuLook standin_tb::LookOf(MenuRef menu) {
  MenuLook look;
  if (menu == nullptr)
    return look;
  look.title = Impl(menu)->m_Title;
  for (const MenuImpl::Item& item : Impl(menu)->m_Items) {
    MenuItemLook shown;
    shown.text = item.text;
    shown.separator = (item.attributes & kMenuItemAttrSeparator) != 0;
    shown.enabled = item.enabled && !shown.separator;
    shown.mark = item.mark;
    shown.key = item.key;
    shown.keyModifiers = item.keyModifiers;
    shown.submenu = item.submenu ? item.submenu->Get() : nullptr;
    look.items.push_back(shown);
  }
  return look;
}

MenuRef standin_tb::RootMenuOf() {
  return RootMenu().Get();
}

bool standin_tb::MatchKeyEquivalent(const StandIn_Input& input) {
  MenuRef root = RootMenu().Get();
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  if (root == nullptr || !FindKey(root, input, &menu, &index))
    return false;
  // A disabled item leaves the key to the focus as a raw key.
  return PickItem(menu, index, kMenuContextKeyMatching) != eventNotHandledErr ||
         IsMenuItemEnabled(menu, index);
}

OSStatus StandIn_ChooseMenuItem(MenuRef inMenu, MenuItemIndex inItem) {
  MenuImpl::Item* item = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (item == nullptr)
    return menuItemNotFoundErr;
  return PickItem(inMenu, inItem, kMenuContextMenuBar);
}

OSStatus StandIn_OpenMenu(MenuRef inMenu) {
  if (inMenu == nullptr)
    return paramErr;
  CFRetain(inMenu);
  for (MenuItemIndex index = 1; index <= Impl(inMenu)->m_Items.size(); ++index)
    UpdateItemStatus(inMenu, index, kMenuContextMenuBar);
  standin_tb::EventHolder opening(kEventClassMenu, kEventMenuOpening);
  opening.Set(kEventParamDirectObject, typeMenuRef, inMenu);
  const OSStatus status = opening.SendTo(GetMenuEventTarget(inMenu));
  CFRelease(inMenu);
  return status;
}

OSStatus SetItemCmd(MenuRef theMenu, MenuItemIndex item, CharParameter cmdChar) {
  MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr;
  if (found == nullptr)
    return menuItemNotFoundErr;
  found->key = cmdChar;
  return noErr;
}

OSStatus GetItemCmd(MenuRef theMenu, MenuItemIndex item, CharParameter* cmdChar) {
  MenuImpl::Item* found = theMenu ? Impl(theMenu)->At(item) : nullptr;
  if (found == nullptr || cmdChar == nullptr)
    return menuItemNotFoundErr;
  *cmdChar = found->key;
  return noErr;
}

OSStatus SetMenuItemModifiers(MenuRef inMenu, MenuItemIndex inItem, UInt8 inModifiers) {
  MenuImpl::Item* found = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (found == nullptr)
    return menuItemNotFoundErr;
  found->keyModifiers = inModifiers;
  return noErr;
}

OSStatus GetMenuItemModifiers(MenuRef inMenu, MenuItemIndex inItem, UInt8* outModifiers) {
  MenuImpl::Item* found = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (found == nullptr || outModifiers == nullptr)
    return menuItemNotFoundErr;
  *outModifiers = found->keyModifiers;
  return noErr;
}

OSStatus GetMenuItemAttributes(MenuRef inMenu, MenuItemIndex inItem,
                               MenuItemAttributes* outAttributes) {
  MenuImpl::Item* found = inMenu ? Impl(inMenu)->At(inItem) : nullptr;
  if (found == nullptr || outAttributes == nullptr)
    return menuItemNotFoundErr;
  *outAttributes = found->attributes;
  return noErr;
}

long StandIn_MenuLiveCount() {
  return g_liveMenus;
}
