// Toolbars and toolbar items of the Mac stand-in (see HIToolbox/HIToolbar.h).
#include <HIToolbox/HIToolbar.h>

#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include "../Appearance/iStandInTheme.h"

#include <algorithm>
#include <cmath>

namespace {

const char kItemClassID[] = "com.apple.hitoolbaritem";
const char kToolbarClassID[] = "com.apple.hitoolbar";
// The window property that records automatic control drag tracking (the stand-in's own).
constexpr PropertyCreator kStandInCreator = 0x73746e64;  // 'stnd'
constexpr PropertyTag kDragTrackingTag = 0x61647267;     // 'adrg'

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
  StandIn_ViewImpl* m_ShownIn = nullptr;  // the toolbar view it shows in (not retained)
};

class ToolbarView;

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
  // Shows the toolbar in a band of its window below the title band, its custom views in the
  // window's view tree; hides it again (windowGoing: the window is closing and hears nothing).
  void Show();
  void Hide(bool windowGoing);

  CFHeld<CFStringRef> m_Identifier;
  OptionBits m_Attributes = 0;
  HIToolbarDisplayMode m_Mode = kHIToolbarDisplayModeDefault;
  HIToolbarDisplaySize m_Size = kHIToolbarDisplaySizeDefault;
  CFHeld<CFMutableArrayRef> m_Items;
  bool m_ItemsMade = false;
  WindowRef m_Window = nullptr;
  ToolbarView* m_Shown = nullptr;  // its view while it shows in its window (held by the root)
};

ToolbarItem* ItemOf(HIToolbarItemRef item) {
  return dynamic_cast<ToolbarItem*>(item);
}

Toolbar* ToolbarOf(HIToolbarRef toolbar) {
  return dynamic_cast<Toolbar*>(toolbar);
}

// Where a shown toolbar puts its items: cells side by side from the left, each as wide as its
// content (the custom view, or the icon) or its label, whichever is wider, with padding; the
// content at the top of the band, the label under it.
constexpr CGFloat kBandMargin = 4;
constexpr CGFloat kItemPadding = 8;
constexpr CGFloat kLabelHeight = 15;
constexpr CGFloat kLabelGap = 2;

struct ItemCell {
  ToolbarItem* item;
  CGRect cell;     // in the band
  CGRect content;  // the icon's or the custom view's place
  CGRect label;
};

bool ShowsIcons(const Toolbar& toolbar) {
  return toolbar.m_Mode != kHIToolbarDisplayModeLabelOnly;
}
bool ShowsLabels(const Toolbar& toolbar) {
  return toolbar.m_Mode != kHIToolbarDisplayModeIconOnly;
}
CGFloat IconSide(const Toolbar& toolbar) {
  return toolbar.m_Size == kHIToolbarDisplaySizeSmall ? 24 : 32;
}

std::u16string LabelOf(const ToolbarItem& item) {
  return standin_tb::Units(item.m_Label.Get());
}

CGSize ContentSize(const Toolbar& toolbar, const ToolbarItem& item) {
  if (item.m_View.Get())
    return standin_tb::View(item.m_View.Get())->m_Frame.size;
  return ShowsIcons(toolbar) ? CGSizeMake(IconSide(toolbar), IconSide(toolbar)) : CGSizeMake(0, 0);
}

std::vector<ToolbarItem*> ItemsOf(const Toolbar& toolbar) {
  std::vector<ToolbarItem*> items;
  for (CFIndex i = 0; i < CFArrayGetCount(toolbar.m_Items.Get()); ++i) {
    auto ref = static_cast<HIToolbarItemRef>(
        const_cast<void*>(CFArrayGetValueAtIndex(toolbar.m_Items.Get(), i)));
    if (ToolbarItem* item = dynamic_cast<ToolbarItem*>(ref))
      items.push_back(item);
  }
  return items;
}

CGFloat BandHeight(const Toolbar& toolbar) {
  CGFloat content = ShowsIcons(toolbar) ? IconSide(toolbar) : 0;
  for (ToolbarItem* item : ItemsOf(toolbar))
    content = std::max(content, ContentSize(toolbar, *item).height);
  return std::ceil(2 * kBandMargin + content +
                   (ShowsLabels(toolbar) ? kLabelGap + kLabelHeight : 0));
}

std::vector<ItemCell> LayOutCells(const Toolbar& toolbar) {
  std::vector<ItemCell> cells;
  CGFloat content =
      BandHeight(toolbar) - 2 * kBandMargin - (ShowsLabels(toolbar) ? kLabelGap + kLabelHeight : 0);
  CGFloat x = kItemPadding;
  for (ToolbarItem* item : ItemsOf(toolbar)) {
    const CGSize size = ContentSize(toolbar, *item);
    const CGFloat label =
        ShowsLabels(toolbar)
            ? std::ceil(standin_theme::TextWidth(LabelOf(*item), standin_theme::kSmallSize))
            : 0;
    const CGFloat width = std::max(size.width, label) + 2 * kItemPadding;
    ItemCell cell{item, CGRectMake(x, 0, width, BandHeight(toolbar)), CGRectMake(0, 0, 0, 0),
                  CGRectMake(0, 0, 0, 0)};
    cell.content =
        CGRectMake(std::round(x + (width - size.width) / 2),
                   std::round(kBandMargin + (content - size.height) / 2), size.width, size.height);
    if (ShowsLabels(toolbar))
      cell.label = CGRectMake(x, kBandMargin + content + kLabelGap, width, kLabelHeight);
    cells.push_back(cell);
    x += width;
  }
  return cells;
}

// The view a shown toolbar draws in: the band's face, each item's icon and label; the custom
// items' views are its subviews.
class ToolbarView final : public StandIn_ViewImpl {
public:
  explicit ToolbarView(Toolbar* toolbar)
      : StandIn_ViewImpl(standin_tb::kToolbarViewKind),
        m_Toolbar(toolbar) {}

  OSStatus StandardHandler(EventRef event) override {
    ControlRef control = nullptr;
    CGContextRef context = nullptr;
    if (GetEventClass(event) == kEventClassControl && GetEventKind(event) == kEventControlDraw &&
        standin_tb::Get(event, kEventParamDirectObject, typeControlRef, &control) &&
        control == this &&
        standin_tb::Get(event, kEventParamCGContextRef, typeCGContextRef, &context) && m_Toolbar) {
      Draw(context);
      return noErr;
    }
    return StandIn_ViewImpl::StandardHandler(event);
  }

  Toolbar* m_Toolbar;

private:
  void Draw(CGContextRef context) {
    using namespace standin_theme;
    const CGRect band = CGRectMake(0, 0, m_Frame.size.width, m_Frame.size.height);
    const bool active = IsWindowActive(HIViewGetWindow(this));
    Fill(context, band, active ? kTitleBand : kTitleBandInactive);
    Fill(context, CGRectMake(0, band.size.height - 1, band.size.width, 1), kFrame);
    for (const ItemCell& cell : LayOutCells(*m_Toolbar)) {
      const bool enabled = cell.item->m_Enabled;
      if (!cell.item->m_View.Get() && ShowsIcons(*m_Toolbar))
        Picture(context, cell.item->m_Image.Get(), cell.content, !enabled);
      Text(context, LabelOf(*cell.item), cell.label, kSmallSize, enabled ? kText : kTextDisabled,
           Align::kCentre);
    }
  }
};

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

void Toolbar::Show() {
  if (m_Shown || m_Window == nullptr)
    return;
  MakeItems();
  auto* view = new ToolbarView(this);
  HIViewAddSubview(HIViewGetRoot(m_Window), view);
  CFRelease(view);  // the root holds it
  m_Shown = view;
  for (const ItemCell& cell : LayOutCells(*this)) {
    cell.item->m_ShownIn = view;
    if (HIViewRef itemView = cell.item->m_View.Get()) {
      standin_tb::View(itemView)->m_Window = nullptr;  // no longer a root of its own
      HIViewAddSubview(view, itemView);
      HIViewSetFrame(itemView, &cell.content);
    }
  }
  standin_tb::SetToolbarBand(m_Window, static_cast<short>(BandHeight(*this)));
}

void Toolbar::Hide(bool windowGoing) {
  ToolbarView* view = m_Shown;
  if (view == nullptr)
    return;
  m_Shown = nullptr;
  view->m_Toolbar = nullptr;
  for (ToolbarItem* item : ItemsOf(*this)) {
    item->m_ShownIn = nullptr;
    if (HIViewRef itemView = item->m_View.Get()) {
      HIViewRemoveFromSuperview(itemView);  // the item keeps its own reference
      PutInWindow(itemView, m_Window);
    }
  }
  HIViewRemoveFromSuperview(view);  // frees it
  if (!windowGoing)
    standin_tb::SetToolbarBand(m_Window, 0);
}

void Toolbar::Bind(WindowRef window) {
  if (window != m_Window)
    Hide(window == nullptr);
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
  return ChangeItem("HIToolbarItemSetLabel", inItem, [&](ToolbarItem& i) {
    i.m_Label.Reset(Retained(inLabel));
    standin_tb::MarkDirty(i.m_ShownIn);
  });
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
  return ChangeItem("HIToolbarItemSetImage", inItem, [&](ToolbarItem& i) {
    i.m_Image.Reset(Retained(inImage));
    standin_tb::MarkDirty(i.m_ShownIn);
  });
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
  return ChangeItem("HIToolbarItemSetEnabled", inItem, [&](ToolbarItem& i) {
    i.m_Enabled = inEnabled;
    standin_tb::MarkDirty(i.m_ShownIn);
  });
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
    ToolbarOf(old)->Hide(false);  // the window stays: its band goes
    ToolbarOf(old)->Bind(nullptr);
    CFRelease(old);
  }
  if (toolbar)
    ToolbarOf(toolbar)->Bind(inWindow);
  return noErr;
}

OSStatus ShowHideWindowToolbar(WindowRef inWindow, Boolean inShow, Boolean) {
  if (OSStatus err = standin_tb::EnterCall("ShowHideWindowToolbar"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  HIToolbarRef toolbar = nullptr;
  GetWindowProperty(inWindow, kStandInCreator, kEventClassToolbar, sizeof toolbar, nullptr,
                    &toolbar);
  if (toolbar == nullptr)
    return noErr;  // nothing to show
  if (inShow)
    ToolbarOf(toolbar)->Show();
  else
    ToolbarOf(toolbar)->Hide(false);
  return noErr;
}

Boolean IsWindowToolbarVisible(WindowRef inWindow) {
  HIToolbarRef toolbar = nullptr;
  return inWindow &&
         GetWindowProperty(inWindow, kStandInCreator, kEventClassToolbar, sizeof toolbar, nullptr,
                           &toolbar) == noErr &&
         toolbar && ToolbarOf(toolbar)->m_Shown != nullptr;
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
