// Toolbars and toolbar items of the Mac stand-in (see HIToolbox/HIToolbar.h).
#include <HIToolbox/HIToolbar.h>

#include "iStandInToolbox.h"

namespace {

const char kItemClassID[] = "com.apple.hitoolbaritem";
const char kToolbarClassID[] = "com.apple.hitoolbar";
// The window property that records automatic control drag tracking (the stand-in's own).
constexpr PropertyCreator kStandInCreator = 0x73746e64;  // 'stnd'
constexpr PropertyTag kDragTrackingTag = 0x61647267;     // 'adrg'
constexpr PropertyTag kToolbarShownTag = 0x7462736e;     // 'tbsn'

class ToolbarItem final : public StandIn_HIObject {
public:
  ToolbarItem() : StandIn_HIObject(standin_tb::HIObjectTypeID()) {}

  // The base class's part of the initialise event: the identifier and attributes.
  OSStatus StandardHandler(EventRef event) override {
    if (GetEventClass(event) != kEventClassHIObject ||
        GetEventKind(event) != kEventHIObjectInitialize)
      return eventNotHandledErr;
    CFStringRef identifier = nullptr;
    if (standin_tb::Get(event, kEventParamToolbarItemIdentifier, typeCFStringRef, &identifier) &&
        identifier)
      m_Identifier.Reset(static_cast<CFStringRef>(CFRetain(identifier)));
    standin_tb::Get(event, kEventParamAttributes, typeUInt32, &m_Attributes);
    return noErr;
  }

  CFHeld<CFStringRef> m_Identifier;
  OptionBits m_Attributes = 0;
  CFHeld<CFStringRef> m_Label;
  CFHeld<CFStringRef> m_ShortHelp;
  CFHeld<CFStringRef> m_LongHelp;
  CFHeld<CGImageRef> m_Image;
  MenuCommand m_Command = 0;
  bool m_Enabled = true;
  CFHeld<MenuRef> m_Menu;
  CFHeld<HIViewRef> m_View;
  bool m_MenuOpened = false;
};

class Toolbar final : public StandIn_HIObject {
public:
  Toolbar() : StandIn_HIObject(standin_tb::HIObjectTypeID()) {
    StandInCore().classID = kToolbarClassID;
    standin_tb::CountInstance(kToolbarClassID, +1);
  }

  // Asks the delegate for the default items once.
  void MakeItems();
  // The window the toolbar is set on (null: none); the items' views are in it, so their events
  // (a button's command) go on to the window.
  void Bind(WindowRef window);

  CFHeld<CFStringRef> m_Identifier;
  OptionBits m_Attributes = 0;
  HIToolbarDisplayMode m_Mode = kHIToolbarDisplayModeDefault;
  HIToolbarDisplaySize m_Size = kHIToolbarDisplaySizeDefault;
  CFHeld<CFMutableArrayRef> m_Items;
  bool m_ItemsMade = false;
  WindowRef m_Window = nullptr;
};

ToolbarItem* ItemOf(HIToolbarItemRef item) {
  return dynamic_cast<ToolbarItem*>(item);
}

Toolbar* ToolbarOf(HIToolbarRef toolbar) {
  return dynamic_cast<Toolbar*>(toolbar);
}

template <class Ref>
Ref Retained(Ref ref) {
  if (ref)
    CFRetain(ref);
  return ref;
}

// Runs a change on an item; paramErr for an object that is no toolbar item.
template <class Change>
OSStatus ChangeItem(const char* call, HIToolbarItemRef item, Change change) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  ToolbarItem* impl = ItemOf(item);
  if (impl == nullptr)
    return paramErr;
  change(*impl);
  return noErr;
}

template <class Change>
OSStatus ChangeToolbar(const char* call, HIToolbarRef toolbar, Change change) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  Toolbar* impl = ToolbarOf(toolbar);
  if (impl == nullptr)
    return paramErr;
  change(*impl);
  return noErr;
}

// Puts a view that is the root of its own tree into the window (or out of it, for null).
void PutInWindow(HIViewRef view, WindowRef window) {
  StandIn_ViewImpl* impl = standin_tb::View(view);
  if (impl && impl->m_Superview == nullptr)
    impl->m_Window = window;
}

// Asks a custom item for its view and sizes the view by its constraints; x is where the view goes
// and moves past it.
void MakeCustomView(ToolbarItem* item, WindowRef window, CGFloat* x) {
  if (item->StandInCore().subclass == nullptr)
    return;
  standin_tb::EventHolder create(kEventClassToolbarItem, kEventToolbarItemCreateCustomView);
  HIToolbarItemRef ref = item;
  create.Set(kEventParamDirectObject, typeHIToolbarItemRef, ref);
  ControlRef view = nullptr;
  if (create.SendTo(HIObjectGetEventTarget(item)) != noErr ||
      !standin_tb::Get(create.Get(), kEventParamControlRef, typeControlRef, &view) ||
      view == nullptr)
    return;
  item->m_View.Reset(view);  // the item takes the answered reference over
  PutInWindow(view, window);
  standin_tb::EventHolder constraints(kEventClassControl, kEventControlGetSizeConstraints);
  constraints.Set(kEventParamDirectObject, typeControlRef, view);
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  constraints.Set(kEventParamMinimumSize, typeHISize, minimum);
  constraints.Set(kEventParamMaximumSize, typeHISize, maximum);
  if (constraints.SendTo(GetControlEventTarget(view)) == noErr)
    standin_tb::Get(constraints.Get(), kEventParamMinimumSize, typeHISize, &minimum);
  const HIRect frame = CGRectMake(*x, 0, minimum.width, minimum.height);
  HIViewSetFrame(view, &frame);
  *x += minimum.width;
}

void Toolbar::MakeItems() {
  if (m_ItemsMade)
    return;
  m_ItemsMade = true;
  CFHeld<CFMutableArrayRef> identifiers(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
  HIToolbarRef self = this;
  {
    standin_tb::EventHolder ask(kEventClassToolbar, kEventToolbarGetDefaultIdentifiers);
    ask.Set(kEventParamToolbar, typeHIToolbarRef, self);
    ask.Set(kEventParamMutableArray, typeCFMutableArrayRef, identifiers.Get());
    if (ask.SendTo(&StandInCore().target) != noErr)
      return;
  }
  CGFloat x = 0;
  for (CFIndex i = 0; i < CFArrayGetCount(identifiers.Get()); ++i) {
    auto identifier = static_cast<CFStringRef>(CFArrayGetValueAtIndex(identifiers.Get(), i));
    standin_tb::EventHolder create(kEventClassToolbar, kEventToolbarCreateItemWithIdentifier);
    create.Set(kEventParamToolbar, typeHIToolbarRef, self);
    create.Set(kEventParamToolbarItemIdentifier, typeCFStringRef, identifier);
    HIToolbarItemRef item = nullptr;
    if (create.SendTo(&StandInCore().target) != noErr ||
        !standin_tb::Get(create.Get(), kEventParamToolbarItem, typeHIToolbarItemRef, &item) ||
        item == nullptr)
      continue;
    CFHeld<HIToolbarItemRef> adopted(item);
    if (ToolbarItem* impl = ItemOf(item)) {
      CFArrayAppendValue(m_Items.Get(), item);
      MakeCustomView(impl, m_Window, &x);
    }
  }
}

void Toolbar::Bind(WindowRef window) {
  m_Window = window;
  for (CFIndex i = 0; i < CFArrayGetCount(m_Items.Get()); ++i) {
    auto item =
        static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(m_Items.Get(), i)));
    if (ToolbarItem* impl = ItemOf(item))
      PutInWindow(impl->m_View.Get(), window);
  }
}

// The window's toolbar, released when the window closes.
OSStatus ReleaseToolbarOnClose(EventHandlerCallRef, EventRef event, void*) {
  WindowRef window = nullptr;
  standin_tb::Get(event, kEventParamDirectObject, typeWindowRef, &window);
  HIToolbarRef toolbar = nullptr;
  if (window && GetWindowProperty(window, kStandInCreator, kEventClassToolbar, sizeof toolbar,
                                  nullptr, &toolbar) == noErr) {
    RemoveWindowProperty(window, kStandInCreator, kEventClassToolbar);
    if (toolbar) {
      ToolbarOf(toolbar)->Bind(nullptr);
      CFRelease(toolbar);
    }
  }
  return eventNotHandledErr;
}

}  // namespace

namespace standin_tb {

StandIn_HIObject* NewToolbarItemObject() {
  return new ToolbarItem;
}

}  // namespace standin_tb

OSStatus HIToolbarCreate(CFStringRef inIdentifier, OptionBits inAttributes,
                         HIToolbarRef* outToolbar) {
  if (outToolbar == nullptr)
    return paramErr;
  *outToolbar = nullptr;
  if (OSStatus err = standin_tb::EnterCall("HIToolbarCreate"))
    return err;
  auto* toolbar = new Toolbar;
  toolbar->m_Identifier.Reset(Retained(inIdentifier));
  toolbar->m_Attributes = inAttributes;
  toolbar->m_Items.Reset(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
  *outToolbar = toolbar;
  return noErr;
}

OSStatus HIToolbarSetDisplayMode(HIToolbarRef inToolbar, HIToolbarDisplayMode inDisplayMode) {
  return ChangeToolbar("HIToolbarSetDisplayMode", inToolbar,
                       [&](Toolbar& t) { t.m_Mode = inDisplayMode; });
}

OSStatus HIToolbarGetDisplayMode(HIToolbarRef inToolbar, HIToolbarDisplayMode* outDisplayMode) {
  if (outDisplayMode == nullptr)
    return paramErr;
  return ChangeToolbar("HIToolbarGetDisplayMode", inToolbar,
                       [&](Toolbar& t) { *outDisplayMode = t.m_Mode; });
}

OSStatus HIToolbarSetDisplaySize(HIToolbarRef inToolbar, HIToolbarDisplaySize inSize) {
  return ChangeToolbar("HIToolbarSetDisplaySize", inToolbar,
                       [&](Toolbar& t) { t.m_Size = inSize; });
}

OSStatus HIToolbarGetDisplaySize(HIToolbarRef inToolbar, HIToolbarDisplaySize* outSize) {
  if (outSize == nullptr)
    return paramErr;
  return ChangeToolbar("HIToolbarGetDisplaySize", inToolbar,
                       [&](Toolbar& t) { *outSize = t.m_Size; });
}

OSStatus HIToolbarGetAttributes(HIToolbarRef inToolbar, OptionBits* outAttributes) {
  if (outAttributes == nullptr)
    return paramErr;
  return ChangeToolbar("HIToolbarGetAttributes", inToolbar,
                       [&](Toolbar& t) { *outAttributes = t.m_Attributes; });
}

OSStatus HIToolbarCopyIdentifier(HIToolbarRef inToolbar, CFStringRef* outIdentifier) {
  if (outIdentifier == nullptr)
    return paramErr;
  return ChangeToolbar("HIToolbarCopyIdentifier", inToolbar,
                       [&](Toolbar& t) { *outIdentifier = Retained(t.m_Identifier.Get()); });
}

OSStatus HIToolbarCopyItems(HIToolbarRef inToolbar, CFArrayRef* outItems) {
  if (outItems == nullptr)
    return paramErr;
  *outItems = nullptr;
  return ChangeToolbar("HIToolbarCopyItems", inToolbar, [&](Toolbar& t) {
    t.MakeItems();
    *outItems = CFArrayCreateCopy(nullptr, t.m_Items.Get());
  });
}

OSStatus HIToolbarItemCreate(CFStringRef inIdentifier, OptionBits inOptions,
                             HIToolbarItemRef* outItem) {
  if (outItem == nullptr)
    return paramErr;
  *outItem = nullptr;
  if (OSStatus err = standin_tb::EnterCall("HIToolbarItemCreate"))
    return err;
  auto* item = new ToolbarItem;
  item->StandInCore().classID = kItemClassID;
  standin_tb::CountInstance(kItemClassID, +1);
  item->m_Identifier.Reset(Retained(inIdentifier));
  item->m_Attributes = inOptions;
  *outItem = item;
  return noErr;
}

OSStatus HIToolbarItemCopyIdentifier(HIToolbarItemRef inItem, CFStringRef* outIdentifier) {
  if (outIdentifier == nullptr)
    return paramErr;
  return ChangeItem("HIToolbarItemCopyIdentifier", inItem,
                    [&](ToolbarItem& i) { *outIdentifier = Retained(i.m_Identifier.Get()); });
}

OSStatus HIToolbarItemGetAttributes(HIToolbarItemRef inItem, OptionBits* outAttributes) {
  if (outAttributes == nullptr)
    return paramErr;
  return ChangeItem("HIToolbarItemGetAttributes", inItem,
                    [&](ToolbarItem& i) { *outAttributes = i.m_Attributes; });
}

OSStatus HIToolbarItemSetLabel(HIToolbarItemRef inItem, CFStringRef inLabel) {
  return ChangeItem("HIToolbarItemSetLabel", inItem,
                    [&](ToolbarItem& i) { i.m_Label.Reset(Retained(inLabel)); });
}

OSStatus HIToolbarItemCopyLabel(HIToolbarItemRef inItem, CFStringRef* outLabel) {
  if (outLabel == nullptr)
    return paramErr;
  return ChangeItem("HIToolbarItemCopyLabel", inItem,
                    [&](ToolbarItem& i) { *outLabel = Retained(i.m_Label.Get()); });
}

OSStatus HIToolbarItemSetHelpText(HIToolbarItemRef inItem, CFStringRef inShortText,
                                  CFStringRef inLongText) {
  return ChangeItem("HIToolbarItemSetHelpText", inItem, [&](ToolbarItem& i) {
    i.m_ShortHelp.Reset(Retained(inShortText));
    i.m_LongHelp.Reset(Retained(inLongText));
  });
}

OSStatus HIToolbarItemCopyHelpText(HIToolbarItemRef inItem, CFStringRef* outShortText,
                                   CFStringRef* outLongText) {
  return ChangeItem("HIToolbarItemCopyHelpText", inItem, [&](ToolbarItem& i) {
    if (outShortText)
      *outShortText = Retained(i.m_ShortHelp.Get());
    if (outLongText)
      *outLongText = Retained(i.m_LongHelp.Get());
  });
}

OSStatus HIToolbarItemSetImage(HIToolbarItemRef inItem, CGImageRef inImage) {
  return ChangeItem("HIToolbarItemSetImage", inItem,
                    [&](ToolbarItem& i) { i.m_Image.Reset(Retained(inImage)); });
}

OSStatus HIToolbarItemCopyImage(HIToolbarItemRef inItem, CGImageRef* outImage) {
  if (outImage == nullptr)
    return paramErr;
  return ChangeItem("HIToolbarItemCopyImage", inItem,
                    [&](ToolbarItem& i) { *outImage = Retained(i.m_Image.Get()); });
}

OSStatus HIToolbarItemSetCommandID(HIToolbarItemRef inItem, MenuCommand inCommandID) {
  return ChangeItem("HIToolbarItemSetCommandID", inItem,
                    [&](ToolbarItem& i) { i.m_Command = inCommandID; });
}

OSStatus HIToolbarItemGetCommandID(HIToolbarItemRef inItem, MenuCommand* outCommandID) {
  if (outCommandID == nullptr)
    return paramErr;
  return ChangeItem("HIToolbarItemGetCommandID", inItem,
                    [&](ToolbarItem& i) { *outCommandID = i.m_Command; });
}

OSStatus HIToolbarItemSetEnabled(HIToolbarItemRef inItem, Boolean inEnabled) {
  return ChangeItem("HIToolbarItemSetEnabled", inItem,
                    [&](ToolbarItem& i) { i.m_Enabled = inEnabled; });
}

Boolean HIToolbarItemIsEnabled(HIToolbarItemRef inItem) {
  ToolbarItem* item = ItemOf(inItem);
  return item && item->m_Enabled;
}

OSStatus HIToolbarItemSetMenu(HIToolbarItemRef inItem, MenuRef inMenu) {
  return ChangeItem("HIToolbarItemSetMenu", inItem, [&](ToolbarItem& i) {
    i.m_Menu.Reset(Retained(inMenu));
    i.m_MenuOpened = false;
  });
}

MenuRef HIToolbarItemCopyMenu(HIToolbarItemRef inItem) {
  ToolbarItem* item = ItemOf(inItem);
  return item ? Retained(item->m_Menu.Get()) : nullptr;
}

OSStatus SetWindowToolbar(WindowRef inWindow, HIToolbarRef inToolbar) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowToolbar"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  if (inToolbar != nullptr && ToolbarOf(inToolbar) == nullptr)
    return paramErr;
  HIToolbarRef old = nullptr;
  const bool had = GetWindowProperty(inWindow, kStandInCreator, kEventClassToolbar, sizeof old,
                                     nullptr, &old) == noErr;
  if (!had) {
    const EventTypeSpec closed = {kEventClassWindow, kEventWindowClosed};
    if (OSStatus err = InstallEventHandler(GetWindowEventTarget(inWindow), ReleaseToolbarOnClose, 1,
                                           &closed, nullptr, nullptr))
      return err;
  }
  HIToolbarRef toolbar = Retained(inToolbar);
  SetWindowProperty(inWindow, kStandInCreator, kEventClassToolbar, sizeof toolbar, &toolbar);
  if (old) {
    ToolbarOf(old)->Bind(nullptr);
    CFRelease(old);
  }
  if (toolbar)
    ToolbarOf(toolbar)->Bind(inWindow);
  return noErr;
}

OSStatus GetWindowToolbar(WindowRef inWindow, HIToolbarRef* outToolbar) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowToolbar"))
    return err;
  if (inWindow == nullptr || outToolbar == nullptr)
    return paramErr;
  *outToolbar = nullptr;
  GetWindowProperty(inWindow, kStandInCreator, kEventClassToolbar, sizeof *outToolbar, nullptr,
                    outToolbar);
  return noErr;
}

OSStatus ShowHideWindowToolbar(WindowRef inWindow, Boolean inShow, Boolean) {
  if (OSStatus err = standin_tb::EnterCall("ShowHideWindowToolbar"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  const Boolean shown = inShow ? 1 : 0;
  return SetWindowProperty(inWindow, kStandInCreator, kToolbarShownTag, sizeof shown, &shown);
}

Boolean IsWindowToolbarVisible(WindowRef inWindow) {
  Boolean shown = false;
  return inWindow &&
         GetWindowProperty(inWindow, kStandInCreator, kToolbarShownTag, sizeof shown, nullptr,
                           &shown) == noErr &&
         shown;
}

OSStatus SetAutomaticControlDragTrackingEnabledForWindow(WindowRef inWindow, Boolean inTracks) {
  if (OSStatus err = standin_tb::EnterCall("SetAutomaticControlDragTrackingEnabledForWindow"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  return SetWindowProperty(inWindow, kStandInCreator, kDragTrackingTag, sizeof inTracks, &inTracks);
}

bool StandIn_AutomaticControlDragTracking(WindowRef inWindow) {
  Boolean tracks = false;
  return inWindow &&
         GetWindowProperty(inWindow, kStandInCreator, kDragTrackingTag, sizeof tracks, nullptr,
                           &tracks) == noErr &&
         tracks;
}

HIViewRef StandIn_HIToolbarItemView(HIToolbarItemRef inItem) {
  ToolbarItem* item = ItemOf(inItem);
  return item ? item->m_View.Get() : nullptr;
}

OSStatus StandIn_HIToolbarItemOpenMenu(HIToolbarItemRef inItem) {
  ToolbarItem* item = ItemOf(inItem);
  MenuRef menu = item ? item->m_Menu.Get() : nullptr;
  if (menu == nullptr)
    return menuItemNotFoundErr;
  CFHeld<MenuRef> held(Retained(menu));  // a handler may replace the item's menu
  const Boolean first = !item->m_MenuOpened;
  item->m_MenuOpened = true;
  standin_tb::EventHolder opening(kEventClassMenu, kEventMenuOpening);
  opening.Set(kEventParamDirectObject, typeMenuRef, menu);
  opening.Set(kEventParamMenuFirstOpen, typeBoolean, first);
  opening.Set(kEventParamMenuContext, typeUInt32, UInt32(0));
  return opening.SendTo(GetMenuEventTarget(menu));
}

OSStatus StandIn_MoveMouse(WindowRef inWindow, HIPoint inWindowPoint) {
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(inWindow, kWindowStructureRgn, &structure);
  const HIPoint global =
      CGPointMake(inWindowPoint.x + structure.left, inWindowPoint.y + structure.top);
  standin_tb::EventHolder moved(kEventClassMouse, kEventMouseMoved);
  moved.Set(kEventParamWindowMouseLocation, typeHIPoint, inWindowPoint);
  moved.Set(kEventParamMouseLocation, typeHIPoint, global);
  moved.Set(kEventParamWindowRef, typeWindowRef, inWindow);
  return moved.SendTo(GetWindowEventTarget(inWindow));
}
