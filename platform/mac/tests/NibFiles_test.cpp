// Nib files of the stand-in: windows, views and menu bars from the declarative format.
#include "StandInToolboxTest.h"

#include <PPx/SysNib.h>

namespace {

using NibFilesTest = StandInNibTest;

const char kNib[] = R"(# a window with views of several kinds
window "Main"
  class document
  attributes close resizable compositing
  bounds 100 50 400 450
  title "Main window"
  limits 200 150 2000 1500
  view userpane
    id 'pane' 1
    frame 10 10 300 200
    view popup
      id 'popu' 2
      frame 5 5 120 20
      item "One"
      item "Two"
    end
    view statictext
      id 'text' 3
      frame 5 30 120 16
      content "Hello"
    end
  end
  view push
    id 'push' 4
    command 'ok  '
    frame 10 220 80 20
    title "OK"
  end
  view browser
    id 'brow' 5
    frame 0 0 10 10
    column 'name' "Name"
    column 'size' "Size"
  end
end
window "Custom"
  view class "com.example.NotRegistered"
    frame 0 0 10 10
  end
end
menubar "MenuBar"
  menu "File"
    item "Open" 'open' key "O"
    separator
    item "Close" 'clos' disabled key "w" shift option
  end
end
)";

TEST_F(NibFilesTest, WindowsAndViewsComeFromTheNib) {
  WriteNib("Main", kNib);
  IBNibRef nib = nullptr;
  ASSERT_EQ(noErr, CreateNibReference(CFSTR("Main"), &nib));
  EXPECT_EQ(1, StandIn_NibLiveCount());
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("Main"), &window));
  WindowAttributes attributes = 0;
  GetWindowAttributes(window, &attributes);
  EXPECT_EQ(kWindowCloseBoxAttribute | kWindowResizableAttribute | kWindowCompositingAttribute,
            attributes);
  HISize minimum;
  GetWindowResizeLimits(window, &minimum, nullptr);
  EXPECT_EQ(200.0f, minimum.width);
  EXPECT_FALSE(IsWindowVisible(window));

  const ControlID popupID = {0x706f7075, 2};
  HIViewRef popup = nullptr;
  ASSERT_EQ(noErr, GetControlByID(window, &popupID, &popup));
  EXPECT_STREQ("popup", StandIn_HIViewKind(popup));
  EXPECT_EQ(2, CountMenuItems(GetControlPopupMenuHandle(popup)));
  EXPECT_EQ(1, GetControl32BitValue(popup));
  EXPECT_EQ(2, GetControl32BitMaximum(popup));
  HIPoint origin = {0, 0};
  HIViewConvertPoint(&origin, popup, nullptr);
  EXPECT_EQ(15.0f, origin.x);
  EXPECT_EQ(37.0f, origin.y);  // 5 + 10 + 22

  const ControlID pushID = {0x70757368, 4};
  HIViewRef push = nullptr;
  ASSERT_EQ(noErr, GetControlByID(window, &pushID, &push));
  UInt32 command = 0;
  GetControlCommandID(push, &command);
  EXPECT_EQ(0x6f6b2020u, command);
  const ControlID browserID = {0x62726f77, 5};
  HIViewRef browser = nullptr;
  ASSERT_EQ(noErr, GetControlByID(window, &browserID, &browser));
  EXPECT_EQ(2, StandIn_BrowserColumnCount(browser));
  EXPECT_EQ(0x73697a65u, StandIn_BrowserColumnProperty(browser, 1));

  DisposeWindow(window);
  EXPECT_EQ(kIBCarbonRuntimeCantFindObject, CreateWindowFromNib(nib, CFSTR("None"), &window));
  EXPECT_EQ(nullptr, window);

  // A view of an unregistered class fails the load and leaves no window.
  const long windows = StandIn_WindowLiveCount();
  WindowRef custom = nullptr;
  EXPECT_NE(noErr, CreateWindowFromNib(nib, CFSTR("Custom"), &custom));
  EXPECT_EQ(nullptr, custom);
  EXPECT_EQ(windows, StandIn_WindowLiveCount());

  EXPECT_EQ(noErr, SetMenuBarFromNib(nib, CFSTR("MenuBar")));
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, 0x636c6f73, 1, &menu, &index));
  EXPECT_FALSE(IsMenuItemEnabled(menu, index));
  SetRootMenu(nullptr);
  DisposeNibReference(nib);
  EXPECT_EQ(0, StandIn_NibLiveCount());
}

TEST_F(NibFilesTest, MenuItemsHaveKeyEquivalentsAndSeparators) {
  WriteNib("Main", kNib);
  {
    PPx::SysNib nib;
    nib.Initialize(CFSTR("Main"));
    nib.SetMenuBar(CFSTR("MenuBar"));
    EXPECT_THROW(nib.SetMenuBar(CFSTR("Missing")), PPx::OSError);
  }
  EXPECT_EQ(0, StandIn_NibLiveCount());
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, 0x6f70656e, 1, &menu, &index));
  struct Case {
    MenuItemIndex item;
    CharParameter key;
    UInt8 modifiers;
    MenuItemAttributes attributes;
    bool enabled;
  };
  const Case cases[] = {{1, 'O', kMenuNoModifiers, 0, true},
                        {2, 0, kMenuNoModifiers, kMenuItemAttrSeparator, false},
                        {3, 'w', kMenuShiftModifier | kMenuOptionModifier, 0, false}};
  for (const Case& c : cases) {
    CharParameter key = 0xFFFF;
    UInt8 modifiers = 0xFF;
    MenuItemAttributes attributes = 0xFF;
    GetItemCmd(menu, c.item, &key);
    GetMenuItemModifiers(menu, c.item, &modifiers);
    GetMenuItemAttributes(menu, c.item, &attributes);
    EXPECT_EQ(c.key, key) << c.item;
    EXPECT_EQ(c.modifiers, modifiers) << c.item;
    EXPECT_EQ(c.attributes, attributes) << c.item;
    EXPECT_EQ(c.enabled, IsMenuItemEnabled(menu, c.item)) << c.item;
  }
  SetRootMenu(nullptr);
}

long g_Instances = 0;

OSStatus SwatchClass(EventHandlerCallRef, EventRef event, void* data) {
  switch (GetEventKind(event)) {
    case kEventHIObjectConstruct: {
      auto instance = new int(7);
      ++g_Instances;
      SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance,
                        &instance);
      return noErr;
    }
    case kEventHIObjectDestruct:
      delete static_cast<int*>(data);
      --g_Instances;
      return noErr;
  }
  return eventNotHandledErr;
}

TEST_F(NibFilesTest, ViewsOfRegisteredClassesAreMadeThroughTheirClass) {
  const EventTypeSpec events[] = {{kEventClassHIObject, kEventHIObjectConstruct},
                                  {kEventClassHIObject, kEventHIObjectDestruct}};
  CFStringRef id = CFSTR("com.example.Swatch");
  HIObjectClassRef cls = nullptr;
  ASSERT_EQ(noErr, HIObjectRegisterSubclass(id, CFSTR("com.apple.hiview"), 0, SwatchClass, 2,
                                            events, nullptr, &cls));
  WriteNib("Swatch", "window \"W\"\n  view class \"com.example.Swatch\"\n    id 'swat' 1\n"
                     "    frame 1 2 30 40\n  end\nend\n");
  IBNibRef nib = nullptr;
  ASSERT_EQ(noErr, CreateNibReference(CFSTR("Swatch"), &nib));
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("W"), &window));
  DisposeNibReference(nib);
  const ControlID swatchID = {0x73776174, 1};
  HIViewRef swatch = nullptr;
  ASSERT_EQ(noErr, GetControlByID(window, &swatchID, &swatch));
  auto instance = static_cast<int*>(HIObjectDynamicCast(swatch, id));
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(7, *instance);
  HIRect frame;
  HIViewGetFrame(swatch, &frame);
  EXPECT_EQ(30.0f, frame.size.width);
  EXPECT_EQ(1, StandIn_HIObjectLiveCount(id));
  DisposeWindow(window);
  EXPECT_EQ(0, g_Instances);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(id));
  EXPECT_EQ(noErr, HIObjectUnregisterClass(cls));
}

TEST_F(NibFilesTest, MissingAndMalformedNibsAreReported) {
  IBNibRef nib = nullptr;
  EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, CreateNibReference(CFSTR("Missing"), &nib));
  WriteNib("Bad", "window \"W\"\n  view nosuchkind\n  end\nend\n");
  EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, CreateNibReference(CFSTR("Bad"), &nib));
  WriteNib("Open", "window \"W\"\n  class document\n");
  EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, CreateNibReference(CFSTR("Open"), &nib));
  for (const char* column : {"'name' \"N\" bogus", "'name' \"N\" text 0", "'name' \"N\" 9 9"}) {
    WriteNib("Column",
             std::string("window \"W\"\n  view browser\n    column ") + column + "\n  end\nend\n");
    EXPECT_EQ(kIBCarbonRuntimeCantFindNibFile, CreateNibReference(CFSTR("Column"), &nib)) << column;
  }
  EXPECT_EQ(nullptr, nib);
  EXPECT_EQ(0, StandIn_NibLiveCount());
}

}  // namespace
