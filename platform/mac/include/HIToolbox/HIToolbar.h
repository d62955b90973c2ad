// HIToolbar of the Mac stand-in: toolbars and toolbar items as HIObjects, the delegate events,
// custom items and the window's toolbar.
//
// A toolbar asks its delegate (its own event target) for its items the first time they are
// wanted (HIToolbarCopyItems or a test hook): kEventToolbarGetDefaultIdentifiers ('tbar' 1, with
// 'tbar' and the mutable array 'marr' to fill with identifiers), then for each identifier
// kEventToolbarCreateItemWithIdentifier ('tbar' 3, with 'tbar', 'tbii' and 'tbid'); an item
// answered in 'tbit' becomes the toolbar's (it takes over that reference). A custom item then
// gets kEventToolbarItemCreateCustomView ('tbit' 6); a view answered in 'ctrl' (typeControlRef)
// becomes the item's (it takes that reference over) and is sized by its answer to
// kEventControlGetSizeConstraints ('cntl' 105, 'mnsz' and 'mxsz' as typeHISize): the minimum
// size, placed after the previous item's view.
//
// Toolbar items are of the class "com.apple.hitoolbaritem"; subclasses registered over it are
// custom items. The base item reads its identifier ('tbii', typeCFStringRef) and attributes
// ('attr', typeUInt32) from the initialise event; CallNextEventHandler reaches it from a
// subclass's handler. An item holds references to its label, image, help texts and menu.
//
// SetWindowToolbar gives the window a reference to the toolbar, kept until the window closes or
// gets another toolbar. The custom views of a window's toolbar belong to the window (their events
// go on to it, HIViewGetWindow answers it); while the toolbar is hidden they lie outside its view
// tree: the window's render does not draw them, and their window coordinates are their own. Every
// call that answers a status joins the per-call failure injection.
//
// ShowHideWindowToolbar shows the toolbar in a band below the window's title band: the structure
// grows by the band (its top stays; the content keeps its size below the band) with
// kEventWindowBoundsChanged. The band is a view of kind "toolbar" in the window's root; the items
// stand in it side by side from 8 points in, each cell as wide as its content (the custom view, or
// the icon: 24 points square at the small size, else 32) or its label (small system font),
// whichever is wider, plus 8 each side; the content at the band's top (4 points in), the label
// under it, centred. The custom views become the band's subviews at their places, and go back out
// when the toolbar hides or the window closes. The band has the title band's colours (D4D4D4,
// inactive EEEEEE) over a line of 808080; icon items draw their image (at half alpha when
// disabled) and every item its label (grey when disabled). Display mode icon only leaves the
// labels out, label only the icons. Items the delegate leaves to the system (separators, spaces)
// are not made.
#pragma once
#include <CoreFoundation/CFArray.h>
#include <CoreGraphics/CGImage.h>
#include <HIToolbox/HIObject.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>

typedef HIObjectRef HIToolbarRef;
typedef HIObjectRef HIToolbarItemRef;

#define kHIToolbarItemClassID CFSTR("com.apple.hitoolbaritem")

enum : OptionBits {
  kHIToolbarNoAttributes = 0,
  kHIToolbarAutoSavesConfig = 1,
  kHIToolbarIsConfigurable = 2
};
enum : OptionBits {
  kHIToolbarItemNoAttributes = 0,
  kHIToolbarItemAllowDuplicates = 1,
  kHIToolbarItemCantBeRemoved = 2,
  kHIToolbarItemAnchoredLeft = 4,
  kHIToolbarItemIsSeparator = 8,
  kHIToolbarItemSendCmdToUserFocus = 16
};
typedef UInt32 HIToolbarDisplayMode;
typedef UInt32 HIToolbarDisplaySize;
enum : HIToolbarDisplayMode {
  kHIToolbarDisplayModeDefault = 0,
  kHIToolbarDisplayModeIconAndLabel = 1,
  kHIToolbarDisplayModeIconOnly = 2,
  kHIToolbarDisplayModeLabelOnly = 3
};
enum : HIToolbarDisplaySize {
  kHIToolbarDisplaySizeDefault = 0,
  kHIToolbarDisplaySizeNormal = 1,
  kHIToolbarDisplaySizeSmall = 2
};

OSStatus HIToolbarCreate(CFStringRef inIdentifier, OptionBits inAttributes,
                         HIToolbarRef* outToolbar);
// paramErr for an object that is no toolbar.
OSStatus HIToolbarSetDisplayMode(HIToolbarRef inToolbar, HIToolbarDisplayMode inDisplayMode);
OSStatus HIToolbarGetDisplayMode(HIToolbarRef inToolbar, HIToolbarDisplayMode* outDisplayMode);
OSStatus HIToolbarSetDisplaySize(HIToolbarRef inToolbar, HIToolbarDisplaySize inSize);
OSStatus HIToolbarGetDisplaySize(HIToolbarRef inToolbar, HIToolbarDisplaySize* outSize);
OSStatus HIToolbarGetAttributes(HIToolbarRef inToolbar, OptionBits* outAttributes);
OSStatus HIToolbarCopyIdentifier(HIToolbarRef inToolbar, CFStringRef* outIdentifier);
// A new array of the toolbar's items in order (making them first when needed); the caller
// releases it.
OSStatus HIToolbarCopyItems(HIToolbarRef inToolbar, CFArrayRef* outItems);

OSStatus HIToolbarItemCreate(CFStringRef inIdentifier, OptionBits inOptions,
                             HIToolbarItemRef* outItem);
OSStatus HIToolbarItemCopyIdentifier(HIToolbarItemRef inItem, CFStringRef* outIdentifier);
OSStatus HIToolbarItemGetAttributes(HIToolbarItemRef inItem, OptionBits* outAttributes);
OSStatus HIToolbarItemSetLabel(HIToolbarItemRef inItem, CFStringRef inLabel);
OSStatus HIToolbarItemCopyLabel(HIToolbarItemRef inItem, CFStringRef* outLabel);
OSStatus HIToolbarItemSetHelpText(HIToolbarItemRef inItem, CFStringRef inShortText,
                                  CFStringRef inLongText);
// Either out pointer may be null; a text never set comes back null.
OSStatus HIToolbarItemCopyHelpText(HIToolbarItemRef inItem, CFStringRef* outShortText,
                                   CFStringRef* outLongText);
OSStatus HIToolbarItemSetImage(HIToolbarItemRef inItem, CGImageRef inImage);
OSStatus HIToolbarItemCopyImage(HIToolbarItemRef inItem, CGImageRef* outImage);
OSStatus HIToolbarItemSetCommandID(HIToolbarItemRef inItem, MenuCommand inCommandID);
OSStatus HIToolbarItemGetCommandID(HIToolbarItemRef inItem, MenuCommand* outCommandID);
OSStatus HIToolbarItemSetEnabled(HIToolbarItemRef inItem, Boolean inEnabled);
Boolean HIToolbarItemIsEnabled(HIToolbarItemRef inItem);
OSStatus HIToolbarItemSetMenu(HIToolbarItemRef inItem, MenuRef inMenu);
// A new reference, or null.
MenuRef HIToolbarItemCopyMenu(HIToolbarItemRef inItem);

OSStatus SetWindowToolbar(WindowRef inWindow, HIToolbarRef inToolbar);
OSStatus GetWindowToolbar(WindowRef inWindow, HIToolbarRef* outToolbar);
// Shows or hides the window's toolbar (see above; nothing without one); the animation is not
// played.
OSStatus ShowHideWindowToolbar(WindowRef inWindow, Boolean inShow, Boolean inAnimate);
Boolean IsWindowToolbarVisible(WindowRef inWindow);
// Recorded per window (StandIn_AutomaticControlDragTracking).
OSStatus SetAutomaticControlDragTrackingEnabledForWindow(WindowRef inWindow, Boolean inTracks);

// Test hooks.
// The custom view of an item (null when it has none).
HIViewRef StandIn_HIToolbarItemView(HIToolbarItemRef inItem);
// Opens the item's menu as the toolbar does when it shows text only or the item overflows: sends
// kEventMenuOpening ('menu' 4) to the menu with the menu as direct object, 'mfst' (true the first
// time for this item) and 'mctx' 0; the result of the send, or menuItemNotFoundErr without a
// menu.
OSStatus StandIn_HIToolbarItemOpenMenu(HIToolbarItemRef inItem);
// Moves the mouse over a window: sends kEventMouseMoved ('mous' 5) to the window with 'wmou'
// (the point in the window's coordinates, typeHIPoint) and 'mloc' (global, typeHIPoint).
OSStatus StandIn_MoveMouse(WindowRef inWindow, HIPoint inWindowPoint);
bool StandIn_AutomaticControlDragTracking(WindowRef inWindow);
