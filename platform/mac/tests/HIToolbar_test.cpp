// Toolbars and their items, bevel buttons, image views, segmented views and menu item icons of the
// stand-in.
#include "StandInToolboxTest.h"

#include <string>
#include <vector>

namespace {

class HIToolbarTest : public StandInToolboxTest {};

CGImageRef NewGreyImage(std::size_t width, std::size_t height, UInt8 grey) {
  std::vector<UInt8> pixels(width * height, grey);
  CGColorSpaceRef space = CGColorSpaceCreateDeviceGray();
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr);
  CGImageRef image = CGImageCreate(width, height, 8, 8, width, space, kCGImageAlphaNone, provider,
                                   nullptr, false, kCGRenderingIntentDefault);
  CGDataProviderRelease(provider);
  CGColorSpaceRelease(space);
  return image;
}

// A delegate that offers one custom item ("com.example.custom") whose view is a 30 x 20 user pane.
struct Delegate {
  std::vector<std::string> asked;
  HIObjectRef lastItem = nullptr;
};

OSStatus CustomItemClass(EventHandlerCallRef call, EventRef event, void* data) {
  switch (GetEventKind(event)) {
    case kEventHIObjectConstruct:
      if (GetEventClass(event) == kEventClassHIObject) {
        void* instance = data ? data : reinterpret_cast<void*>(1);
        SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance,
                          &instance);
        return noErr;
      }
      break;
    case kEventHIObjectInitialize:
      return CallNextEventHandler(call, event);
    case kEventToolbarItemCreateCustomView: {
      if (GetEventClass(event) != kEventClassToolbarItem)
        break;
      ControlRef view = StandIn_NewView("userpane", CGRectMake(0, 0, 0, 0));
      SetEventParameter(event, kEventParamControlRef, typeControlRef, sizeof view, &view);
      // The pane answers its size itself.
      static const EventTypeSpec size = {kEventClassControl, kEventControlGetSizeConstraints};
      InstallControlEventHandler(
          view,
          [](EventHandlerCallRef, EventRef e, void*) -> OSStatus {
            const HISize wanted = {30, 20};
            SetEventParameter(e, kEventParamMinimumSize, typeHISize, sizeof wanted, &wanted);
            return noErr;
          },
          1, &size, nullptr, nullptr);
      // The item takes the view's reference over.
      return noErr;
    }
    default:
      break;
  }
  return eventNotHandledErr;
}

OSStatus DelegateHandler(EventHandlerCallRef, EventRef event, void* data) {
  auto* delegate = static_cast<Delegate*>(data);
  if (GetEventKind(event) == kEventToolbarGetDefaultIdentifiers) {
    CFMutableArrayRef array = nullptr;
    GetEventParameter(event, kEventParamMutableArray, typeCFMutableArrayRef, nullptr, sizeof array,
                      nullptr, &array);
    CFArrayAppendValue(array, CFSTR("com.example.plain"));
    CFArrayAppendValue(array, CFSTR("com.example.custom"));
    CFArrayAppendValue(array, CFSTR("com.example.refused"));
    return noErr;
  }
  CFStringRef identifier = nullptr;
  GetEventParameter(event, kEventParamToolbarItemIdentifier, typeCFStringRef, nullptr,
                    sizeof identifier, nullptr, &identifier);
  char text[64] = {};
  CFStringGetCString(identifier, text, sizeof text, kCFStringEncodingUTF8);
  delegate->asked.push_back(text);
  HIToolbarItemRef item = nullptr;
  if (std::string(text) == "com.example.plain") {
    HIToolbarItemCreate(identifier, 0, &item);
  } else if (std::string(text) == "com.example.custom") {
    EventRef data = nullptr;
    CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, 0, 0, &data);
    SetEventParameter(data, kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof identifier,
                      &identifier);
    const UInt32 attributes = kHIToolbarItemAllowDuplicates;
    SetEventParameter(data, kEventParamAttributes, typeUInt32, sizeof attributes, &attributes);
    HIObjectCreate(CFSTR("com.example.customclass"), data, &item);
    ReleaseEvent(data);
  } else {
    return eventNotHandledErr;
  }
  SetEventParameter(event, kEventParamToolbarItem, typeHIToolbarItemRef, sizeof item, &item);
  delegate->lastItem = item;
  return noErr;
}

TEST_F(HIToolbarTest, AWindowsToolbarMakesItsItemsFromItsDelegateOnceAndGoesWithTheWindow) {
  static const EventTypeSpec classEvents[] = {
      {kEventClassHIObject, kEventHIObjectConstruct},
      {kEventClassHIObject, kEventHIObjectInitialize},
      {kEventClassToolbarItem, kEventToolbarItemCreateCustomView}};
  HIObjectRegisterSubclass(CFSTR("com.example.customclass"), kHIToolbarItemClassID, 0,
                           CustomItemClass, 3, classEvents, nullptr, nullptr);
  WindowRef window = NewWindow();
  HIToolbarRef toolbar = nullptr;
  ASSERT_EQ(noErr, HIToolbarCreate(CFSTR("com.example.toolbar"), 0, &toolbar));
  Delegate delegate;
  static const EventTypeSpec asks[] = {{kEventClassToolbar, kEventToolbarGetDefaultIdentifiers},
                                       {kEventClassToolbar, kEventToolbarCreateItemWithIdentifier}};
  InstallEventHandler(HIObjectGetEventTarget(toolbar), DelegateHandler, 2, asks, &delegate,
                      nullptr);
  ASSERT_EQ(noErr, SetWindowToolbar(window, toolbar));
  CFRelease(toolbar);                   // the window keeps it
  EXPECT_TRUE(delegate.asked.empty());  // not before the items are wanted

  CFArrayRef items = nullptr;
  ASSERT_EQ(noErr, HIToolbarCopyItems(toolbar, &items));
  ASSERT_EQ(2, CFArrayGetCount(items));
  EXPECT_EQ(
      (std::vector<std::string>{"com.example.plain", "com.example.custom", "com.example.refused"}),
      delegate.asked);
  auto custom = static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(items, 1)));
  CFStringRef identifier = nullptr;
  OptionBits attributes = 0;
  HIToolbarItemCopyIdentifier(custom, &identifier);
  HIToolbarItemGetAttributes(custom, &attributes);
  char text[64] = {};
  CFStringGetCString(identifier, text, sizeof text, kCFStringEncodingUTF8);
  CFRelease(identifier);
  EXPECT_STREQ("com.example.custom", text);
  EXPECT_EQ(kHIToolbarItemAllowDuplicates, attributes);
  HIViewRef view = StandIn_HIToolbarItemView(custom);
  ASSERT_NE(nullptr, view);
  HIRect frame{};
  HIViewGetFrame(view, &frame);
  EXPECT_EQ(30, frame.size.width);
  EXPECT_EQ(20, frame.size.height);
  EXPECT_EQ(window, HIViewGetWindow(view));
  CFRelease(items);
  ASSERT_EQ(noErr, HIToolbarCopyItems(toolbar, &items));
  CFRelease(items);
  EXPECT_EQ(3u, delegate.asked.size());  // asked once

  EXPECT_EQ(1, StandIn_HIObjectLiveCount(CFSTR("com.example.customclass")));
  DisposeWindow(window);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(CFSTR("com.example.customclass")));
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(CFSTR("com.apple.hitoolbar")));
}

TEST_F(HIToolbarTest, AShownToolbarTakesABandOfTheStructureAndDrawsItsItems) {
  static const EventTypeSpec classEvents[] = {
      {kEventClassHIObject, kEventHIObjectConstruct},
      {kEventClassHIObject, kEventHIObjectInitialize},
      {kEventClassToolbarItem, kEventToolbarItemCreateCustomView}};
  // Registered once per process: a second registration changes nothing.
  HIObjectRegisterSubclass(CFSTR("com.example.customclass"), kHIToolbarItemClassID, 0,
                           CustomItemClass, 3, classEvents, nullptr, nullptr);
  WindowRef window = NewWindow(Rect{100, 50, 300, 450});  // 400 x 200 content
  ShowWindow(window);
  HIToolbarRef toolbar = nullptr;
  ASSERT_EQ(noErr, HIToolbarCreate(CFSTR("com.example.toolbar"), 0, &toolbar));
  HIToolbarSetDisplaySize(toolbar, kHIToolbarDisplaySizeSmall);
  Delegate delegate;
  static const EventTypeSpec asks[] = {{kEventClassToolbar, kEventToolbarGetDefaultIdentifiers},
                                       {kEventClassToolbar, kEventToolbarCreateItemWithIdentifier}};
  InstallEventHandler(HIObjectGetEventTarget(toolbar), DelegateHandler, 2, asks, &delegate,
                      nullptr);
  SetWindowToolbar(window, toolbar);
  CFRelease(toolbar);
  CFArrayRef items = nullptr;
  HIToolbarCopyItems(toolbar, &items);
  auto item = [&](CFIndex i) {
    return static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(items, i)));
  };
  CGImageRef dark = NewGreyImage(24, 24, 0);
  HIToolbarItemSetImage(item(0), dark);
  CGImageRelease(dark);
  HIToolbarItemSetLabel(item(0), CFSTR("Plain"));
  HIToolbarItemSetLabel(item(1), CFSTR("Custom"));
  HIViewRef custom = StandIn_HIToolbarItemView(item(1));
  EXPECT_EQ(nullptr, HIViewGetSuperview(custom));  // hidden: outside the view tree

  Rect before{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &before);
  EXPECT_FALSE(IsWindowToolbarVisible(window));
  ASSERT_EQ(noErr, ShowHideWindowToolbar(window, true, false));
  EXPECT_TRUE(IsWindowToolbarVisible(window));
  Rect structure{0, 0, 0, 0}, content{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  GetWindowBounds(window, kWindowContentRgn, &content);
  const int band = 4 + 24 + 2 + 15 + 4;  // margins, the icon, the label
  EXPECT_EQ(before.top, structure.top);
  EXPECT_EQ(before.bottom + band, structure.bottom);
  EXPECT_EQ(200, content.bottom - content.top);
  EXPECT_EQ(structure.top + kStandInTitleBarHeight + band, content.top);
  // The custom view stands in the band, in its cell after the plain item's.
  EXPECT_NE(nullptr, HIViewGetSuperview(custom));
  EXPECT_EQ(window, HIViewGetWindow(custom));
  HIPoint corner{0, 0};
  HIViewConvertPoint(&corner, custom, nullptr);
  EXPECT_LT(kStandInTitleBarHeight, corner.y);
  EXPECT_LT(corner.y + 20, kStandInTitleBarHeight + band);

  ASSERT_EQ(noErr, StandIn_WindowRender(window));
  const int top = kStandInTitleBarHeight;
  EXPECT_EQ(0xFFD4D4D4u, StandIn_WindowPixel(window, 300, top + 5));         // the band
  EXPECT_EQ(0xFF808080u, StandIn_WindowPixel(window, 300, top + band - 1));  // its foot
  // The plain item's cell: 8 in, as wide as its label ("Plain" is wider than the icon) plus 8
  // each side; its icon centred at the top, its label under it.
  int darkest = 255;
  for (int y = top + 4 + 24 + 2; y < top + band - 4; ++y)
    for (int x = 8; x < 60; ++x)
      darkest = std::min<int>(darkest, StandIn_WindowPixel(window, x, y) & 0xFF);
  EXPECT_LT(darkest, 0x50);
  int iconX = -1;
  for (int x = 8; x < 80 && iconX < 0; ++x)
    if (StandIn_WindowPixel(window, x, top + 4 + 12) == 0xFF000000u)
      iconX = x;
  EXPECT_GE(iconX, 8);
  EXPECT_EQ(0xFF000000u, StandIn_WindowPixel(window, iconX + 23, top + 4 + 12));
  EXPECT_EQ(0xFFD4D4D4u, StandIn_WindowPixel(window, iconX + 24, top + 4 + 12));

  // A disabled item draws its image at half alpha.
  HIToolbarItemSetEnabled(item(0), false);
  StandIn_WindowRender(window);
  EXPECT_NE(0xFF000000u, StandIn_WindowPixel(window, iconX + 1, top + 4 + 12));

  ASSERT_EQ(noErr, ShowHideWindowToolbar(window, false, false));
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  EXPECT_TRUE(EqualRect(&before, &structure));
  EXPECT_EQ(nullptr, HIViewGetSuperview(custom));
  EXPECT_EQ(window, HIViewGetWindow(custom));
  CFRelease(items);

  // Shown when the window closes: the custom view leaves with the toolbar.
  ShowHideWindowToolbar(window, true, false);
  DisposeWindow(window);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(CFSTR("com.example.customclass")));
  WindowRef bare = NewWindow();
  EXPECT_EQ(noErr, ShowHideWindowToolbar(bare, true, false));  // no toolbar: nothing
  EXPECT_FALSE(IsWindowToolbarVisible(bare));
  DisposeWindow(bare);
  EXPECT_EQ(errInvalidWindowRef, ShowHideWindowToolbar(nullptr, true, false));
  EXPECT_FALSE(IsWindowToolbarVisible(nullptr));
}

TEST_F(HIToolbarTest, BevelButtonsFollowTheirBehaviourAndDrawTheirContent) {
  CGImageRef dark = NewGreyImage(8, 8, 0);
  WindowRef window = NewWindow();
  struct Case {
    ControlBevelButtonBehavior behavior;
    SInt32 afterOne;
    SInt32 afterTwo;
  };
  const Case cases[] = {{kControlBehaviorPushbutton, 0, 0},
                        {kControlBehaviorToggles, 1, 0},
                        {kControlBehaviorSticky, 1, 1}};
  short left = 0;
  for (Case const& c : cases) {
    const Rect bounds = {0, left, 22, static_cast<short>(left + 22)};
    ControlButtonContentInfo content{};
    content.contentType = kControlContentCGImageRef;
    content.u.imageRef = dark;
    ControlRef button = nullptr;
    ASSERT_EQ(noErr,
              CreateBevelButtonControl(window, &bounds, nullptr, kControlBevelButtonNormalBevel,
                                       c.behavior, &content, 0, 0, 0, &button));
    StandIn_ClickView(button, HIPoint{3, 3}, 0);
    EXPECT_EQ(c.afterOne, GetControl32BitValue(button));
    StandIn_ClickView(button, HIPoint{3, 3}, 0);
    EXPECT_EQ(c.afterTwo, GetControl32BitValue(button));
    ControlButtonContentInfo back{};
    Size size = 0;
    ASSERT_EQ(noErr,
              GetControlData(button, 0, kControlBevelButtonContentTag, sizeof back, &back, &size));
    EXPECT_EQ(static_cast<Size>(sizeof back), size);
    EXPECT_EQ(dark, back.u.imageRef);
    left = static_cast<short>(left + 30);
  }
  CGImageRelease(dark);  // the buttons hold it
  ASSERT_EQ(noErr, StandIn_WindowRender(window));
  const int top = kStandInTitleBarHeight;
  EXPECT_EQ(0xFF808080, StandIn_WindowPixel(window, 0, top + 5));    // frame
  EXPECT_EQ(0xFFE0E0E0, StandIn_WindowPixel(window, 2, top + 2));    // face, value 0
  EXPECT_EQ(0xFFA0A0A0, StandIn_WindowPixel(window, 62, top + 2));   // pressed: the sticky one
  EXPECT_EQ(0xFF000000, StandIn_WindowPixel(window, 11, top + 11));  // the image, centred
  EXPECT_EQ(0xFFE0E0E0, StandIn_WindowPixel(window, 6, top + 11));
  DisposeWindow(window);
}

TEST_F(HIToolbarTest, ImageViewsDrawTheirImageUprightUnderTheirSubviews) {
  std::vector<UInt8> pixels = {0, 0, 255, 255};  // a black top row over a white one
  CGColorSpaceRef space = CGColorSpaceCreateDeviceGray();
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr);
  CGImageRef image = CGImageCreate(2, 2, 8, 8, 2, space, kCGImageAlphaNone, provider, nullptr,
                                   false, kCGRenderingIntentDefault);
  CGDataProviderRelease(provider);
  CGColorSpaceRelease(space);
  HIViewRef view = nullptr;
  ASSERT_EQ(noErr, HIImageViewCreate(image, &view));
  CGImageRelease(image);
  HIRect frame{};
  HIViewGetFrame(view, &frame);
  EXPECT_EQ(2, frame.size.width);
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(1, 1, 1, 1));
  HIViewAddSubview(view, pane);
  CFRelease(pane);
  CGImageRef drawn = nullptr;
  ASSERT_EQ(noErr, HIViewCreateOffscreenImage(view, 0, nullptr, &drawn));
  EXPECT_EQ(0xFF000000, StandIn_CGImagePixel(drawn, 0, 0));
  EXPECT_EQ(0xFFFFFFFF, StandIn_CGImagePixel(drawn, 0, 1));
  CGImageRelease(drawn);
  CGImageRef copied = HIImageViewCopyImage(view);
  EXPECT_NE(nullptr, copied);
  CGImageRelease(copied);
  HIImageViewSetImage(view, nullptr);
  EXPECT_EQ(nullptr, HIImageViewCopyImage(view));
  CFRelease(view);
}

TEST_F(HIToolbarTest, SegmentsMeasureTheirContentOrTheirSetWidth) {
  HIViewRef view = nullptr;
  const HIRect bounds = CGRectMake(5, 7, 0, 0);
  ASSERT_EQ(noErr, HISegmentedViewCreate(&bounds, &view));
  ASSERT_EQ(noErr, HISegmentedViewSetSegmentCount(view, 3));
  CGImageRef wide = NewGreyImage(20, 10, 128);
  HIViewImageContentInfo content{};
  content.contentType = kControlContentCGImageRef;
  content.u.imageRef = wide;
  HISegmentedViewSetSegmentImage(view, 1, &content);
  CGImageRelease(wide);
  HISegmentedViewSetSegmentContentWidth(view, 2, false, 40);
  // 20 + 16, 40 + 16, 0 + 16.
  Rect best{};
  ASSERT_EQ(noErr, GetBestControlRect(view, &best, nullptr));
  EXPECT_EQ(5, best.left);
  EXPECT_EQ(7, best.top);
  EXPECT_EQ(108, best.right - best.left);
  EXPECT_EQ(24, best.bottom - best.top);
  Boolean automatic = true;
  EXPECT_EQ(40, HISegmentedViewGetSegmentContentWidth(view, 2, &automatic));
  EXPECT_FALSE(automatic);

  EXPECT_EQ(noErr, HISegmentedViewSetSegmentValue(view, 3, 1));
  EXPECT_EQ(1, HISegmentedViewGetSegmentValue(view, 3));
  EXPECT_EQ(noErr, HISegmentedViewSetSegmentEnabled(view, 1, false));
  EXPECT_FALSE(HISegmentedViewIsSegmentEnabled(view, 1));
  // Outside 1 ... count, and on another view.
  EXPECT_EQ(paramErr, HISegmentedViewSetSegmentCommand(view, 0, 1));
  EXPECT_EQ(paramErr, HISegmentedViewSetSegmentCommand(view, 4, 1));
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 1, 1));
  EXPECT_EQ(paramErr, HISegmentedViewSetSegmentCount(pane, 2));
  EXPECT_EQ(0u, HISegmentedViewGetSegmentCount(pane));
  CFRelease(pane);
  CFRelease(view);
}

TEST_F(HIToolbarTest, MenuItemsHoldTheirImageIcons) {
  MenuRef menu = nullptr;
  CreateNewMenu(1, 0, &menu);
  AppendMenuItemTextWithCFString(menu, CFSTR("One"), 0, 0, nullptr);
  CGImageRef image = NewGreyImage(2, 2, 0);
  ASSERT_EQ(noErr,
            SetMenuItemIconHandle(menu, 1, kMenuCGImageRefType, reinterpret_cast<Handle>(image)));
  EXPECT_EQ(2, CFGetRetainCount(image));
  UInt8 type = 0;
  Handle icon = nullptr;
  GetMenuItemIconHandle(menu, 1, &type, &icon);
  EXPECT_EQ(kMenuCGImageRefType, type);
  EXPECT_EQ(reinterpret_cast<Handle>(image), icon);
  EXPECT_EQ(menuItemNotFoundErr, SetMenuItemIconHandle(menu, 2, kMenuNoIcon, nullptr));
  SetMenuItemIconHandle(menu, 1, kMenuNoIcon, nullptr);
  EXPECT_EQ(1, CFGetRetainCount(image));
  CGImageRelease(image);
  DisposeMenu(menu);
}

}  // namespace
