// Menus of the Mac stand-in: menus as HIObjects holding items (text, command, mark, enabling),
// the root menu (the menu bar) and commands sent from items.
//
// Item indexes are 1-based. A menu's events go on to the application. Items may have a key
// equivalent (a character with the Command key and the item's modifiers) and may be separators
// (kMenuItemAttrSeparator: disabled, never chosen).
//
// Commands go along the user-focus chain: the user-focus window's keyboard focus, the window,
// then the application. Before a menu opens (StandIn_OpenMenu) and before an item is chosen or its
// key equivalent runs, each item's command gets the update-status round: kEventCommandUpdateStatus
// ('cmds' 2) with the HICommand from the menu and 'mctx' (kMenuContextMenuBar, or
// kMenuContextKeyMatching for a key). An item still enabled after it then sends
// kEventCommandProcess ('cmds' 1) along the same chain; a disabled one does nothing (its key goes
// on to the focus as a raw key).
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <CoreFoundation/CFString.h>

typedef UInt16 MenuItemIndex;
typedef SInt16 MenuID;
typedef UInt32 MenuAttributes;
typedef UInt32 MenuItemAttributes;
typedef UInt16 CharParameter;

constexpr OSStatus menuItemNotFoundErr = -5620;
constexpr CharParameter noMark = 0;
constexpr CharParameter checkMark = 0x12;

enum : MenuItemAttributes {
  kMenuItemAttrDisabled = 1u << 1,
  kMenuItemAttrSeparator = 1u << 6
};
// Modifiers of a key equivalent besides the Command key.
enum : UInt8 {
  kMenuNoModifiers = 0,
  kMenuShiftModifier = 1u << 0,
  kMenuOptionModifier = 1u << 1,
  kMenuControlModifier = 1u << 2,
  kMenuNoCommandModifier = 1u << 3
};

OSStatus CreateNewMenu(MenuID inMenuID, MenuAttributes inMenuAttributes, MenuRef* outMenuRef);
// Releases the creator's reference.
void DisposeMenu(MenuRef theMenu);
MenuID GetMenuID(MenuRef menu);
OSStatus SetMenuTitleWithCFString(MenuRef inMenu, CFStringRef inString);
OSStatus CopyMenuTitleAsCFString(MenuRef inMenu, CFStringRef* outString);

UInt16 CountMenuItems(MenuRef theMenu);
OSStatus AppendMenuItemTextWithCFString(MenuRef inMenu, CFStringRef inString,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID,
                                        MenuItemIndex* outNewItem);
OSStatus DeleteMenuItems(MenuRef inMenu, MenuItemIndex inFirstItem, UInt32 inNumItems);
OSStatus SetMenuItemTextWithCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef inString);
// The caller releases the text.
OSStatus CopyMenuItemTextAsCFString(MenuRef inMenu, MenuItemIndex inItem, CFStringRef* outString);
OSStatus SetMenuItemCommandID(MenuRef inMenu, MenuItemIndex inItem, MenuCommand inCommandID);
OSStatus GetMenuItemCommandID(MenuRef inMenu, MenuItemIndex inItem, MenuCommand* outCommandID);
OSStatus SetItemCmd(MenuRef theMenu, MenuItemIndex item, CharParameter cmdChar);
OSStatus GetItemCmd(MenuRef theMenu, MenuItemIndex item, CharParameter* cmdChar);
OSStatus SetMenuItemModifiers(MenuRef inMenu, MenuItemIndex inItem, UInt8 inModifiers);
OSStatus GetMenuItemModifiers(MenuRef inMenu, MenuItemIndex inItem, UInt8* outModifiers);
OSStatus GetMenuItemAttributes(MenuRef inMenu, MenuItemIndex inItem,
                               MenuItemAttributes* outAttributes);
void EnableMenuItem(MenuRef theMenu, MenuItemIndex item);
void DisableMenuItem(MenuRef theMenu, MenuItemIndex item);
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);
void SetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter markChar);
void GetItemMark(MenuRef theMenu, MenuItemIndex item, CharParameter* markChar);
void CheckMenuItem(MenuRef theMenu, MenuItemIndex item, Boolean checked);
// An item's icon: kMenuCGImageRefType (the menu holds a reference to the image) or
// kMenuIconRefType (borrowed) with the reference cast to a Handle; kMenuNoIcon removes it.
enum : UInt8 {
  kMenuNoIcon = 0,
  kMenuIconRefType = 6,
  kMenuCGImageRefType = 7
};
OSErr SetMenuItemIconHandle(MenuRef inMenu, MenuItemIndex inItem, UInt8 inIconType,
                            Handle inIconHandle);
OSErr GetMenuItemIconHandle(MenuRef inMenu, MenuItemIndex inItem, UInt8* outIconType,
                            Handle* outIconHandle);
// A menu as the submenu of an item (the item holds a reference).
OSStatus SetMenuItemHierarchicalMenu(MenuRef inMenu, MenuItemIndex inItem, MenuRef inHierMenu);
OSStatus GetMenuItemHierarchicalMenu(MenuRef inMenu, MenuItemIndex inItem, MenuRef* outHierMenu);
// The first item with the command, searched through the menu and its submenus (null menu: the
// root menu); menuItemNotFoundErr when there is none.
OSStatus GetIndMenuItemWithCommandID(MenuRef inMenu, MenuCommand inCommandID, UInt32 inItemIndex,
                                     MenuRef* outMenu, MenuItemIndex* outIndex);
void EnableMenuCommand(MenuRef inMenu, MenuCommand inCommandID);
void DisableMenuCommand(MenuRef inMenu, MenuCommand inCommandID);

// The menu bar: the root menu's items hold the menus as submenus.
OSStatus SetRootMenu(MenuRef inMenu);
MenuRef AcquireRootMenu();

// Test hooks.
// The user chooses the item: the update-status round, then its command unless it is disabled
// (eventNotHandledErr); the result of the send.
OSStatus StandIn_ChooseMenuItem(MenuRef inMenu, MenuItemIndex inItem);
// The user opens the menu: the update-status round for its items, then kEventMenuOpening.
OSStatus StandIn_OpenMenu(MenuRef inMenu);
// Menus alive.
long StandIn_MenuLiveCount();
