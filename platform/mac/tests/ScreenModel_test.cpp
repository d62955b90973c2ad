// The screen model of the stand-in: one screen for devices, displays and window positioning; the
// windows composed in z-order over the desktop with the menu bar on top; overlays composed over
// what lies beneath; and the drawing of the menu bar and of menus.
#include "StandInToolboxTest.h"

#include <HIToolbox/StandInScreen.h>

#include <cairo.h>

namespace {

constexpr UInt32 kMenuFace = 0xFFF6F6F6;
constexpr UInt32 kMenuEdge = 0xFFB0B0B0;
constexpr UInt32 kSelection = 0xFF3875D7;

// A user pane filling a window's content with one colour (premultiplied ARGB).
struct Fill {
  double red, green, blue, alpha;
};

OSStatus PaintFill(EventHandlerCallRef, EventRef event, void* data) {
  const auto* fill = static_cast<const Fill*>(data);
  CGContextRef context = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context,
                    nullptr, &context);
  CGContextSetRGBFillColor(context, fill->red, fill->green, fill->blue, fill->alpha);
  CGContextFillRect(context, CGRectMake(0, 0, 1000, 1000));
  return noErr;
}

class ScreenModelTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    StandIn_SetMainScreen(StandIn_Screen{400, 300, 20});
  }
  void TearDown() override {
    for (WindowRef window : m_Windows)
      DisposeWindow(window);
    SetRootMenu(nullptr);
    StandIn_SetMainScreen(StandIn_Screen{});
    StandInToolboxTest::TearDown();
  }

  // A shown window of the class whose content is filled with the colour.
  WindowRef Shown(WindowClass windowClass, Rect content, const Fill* fill) {
    WindowRef window = nullptr;
    EXPECT_EQ(noErr, CreateNewWindow(windowClass, 0, &content, &window));
    HIViewRef root = HIViewGetRoot(window);
    HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 1000, 1000));
    const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
    InstallControlEventHandler(pane, PaintFill, 1, &draw, const_cast<Fill*>(fill), nullptr);
    HIViewRef contentView = nullptr;
    HIViewFindByID(root, kHIViewWindowContentID, &contentView);
    HIViewAddSubview(contentView ? contentView : root, pane);
    CFRelease(pane);
    ShowWindow(window);
    m_Windows.push_back(window);
    return window;
  }

  std::vector<WindowRef> m_Windows;
};

const Fill kRed{1, 0, 0, 1};
const Fill kBlue{0, 0, 1, 1};

TEST_F(ScreenModelTest, OneScreenServesDevicesDisplaysPositioningAndTheMenuBar) {
  StandIn_SetMainScreen(StandIn_Screen{800, 600, 24});
  const Rect device = (*GetMainDevice())->gdRect;
  EXPECT_EQ(800, device.right);
  EXPECT_EQ(600, device.bottom);
  Rect available{0, 0, 0, 0};
  ASSERT_EQ(noErr, GetAvailableWindowPositioningBounds(nullptr, &available));
  EXPECT_EQ((std::vector<short>{24, 0, 600, 800}),
            (std::vector<short>{available.top, available.left, available.bottom, available.right}));
  CGDisplayCount count = 0;
  CGGetDisplaysWithRect(CGRectMake(790, 590, 20, 20), 0, nullptr, &count);
  EXPECT_EQ(1u, count);
  CGGetDisplaysWithRect(CGRectMake(810, 590, 20, 20), 0, nullptr, &count);
  EXPECT_EQ(0u, count);
  EXPECT_EQ(inMenuBar, FindWindow(Point{23, 700}, nullptr));
  EXPECT_EQ(inDesk, FindWindow(Point{24, 700}, nullptr));

  ASSERT_EQ(noErr, StandIn_ScreenRender());
  EXPECT_EQ(kMenuEdge, StandIn_ScreenPixel(700, 23));  // the menu bar's foot
  EXPECT_EQ(kMenuFace, StandIn_ScreenPixel(700, 5));
  EXPECT_EQ(kStandInDesktopColour, StandIn_ScreenPixel(700, 24));
  EXPECT_EQ(kStandInDesktopColour, StandIn_ScreenPixel(799, 599));
  EXPECT_EQ(0u, StandIn_ScreenPixel(800, 0));
  EXPECT_EQ(0u, StandIn_ScreenPixel(-1, 0));
}

TEST_F(ScreenModelTest, WindowsComposeInZOrderAndHiddenOnesDoNotShow) {
  WindowRef back = Shown(kDocumentWindowClass, Rect{100, 50, 200, 200}, &kRed);
  WindowRef front = Shown(kDocumentWindowClass, Rect{150, 100, 250, 250}, &kBlue);
  ASSERT_EQ(noErr, StandIn_ScreenRender());
  EXPECT_EQ(0xFFFF0000u, StandIn_ScreenPixel(60, 110));   // only the back one
  EXPECT_EQ(0xFF0000FFu, StandIn_ScreenPixel(160, 180));  // both: the front one
  EXPECT_EQ(0xFFD4D4D4u, StandIn_ScreenPixel(240, 130));  // the front one's title band
  EXPECT_EQ(kStandInDesktopColour, StandIn_ScreenPixel(300, 50));
  EXPECT_EQ(kMenuFace, StandIn_ScreenPixel(300, 5));

  SelectWindow(back);
  StandIn_ScreenRender();
  EXPECT_EQ(0xFFFF0000u, StandIn_ScreenPixel(160, 180));
  HideWindow(back);
  StandIn_ScreenRender();
  EXPECT_EQ(0xFF0000FFu, StandIn_ScreenPixel(160, 180));
  EXPECT_EQ(kStandInDesktopColour, StandIn_ScreenPixel(60, 110));
  (void)front;
}

TEST_F(ScreenModelTest, AnOverlayComposesOverWhatLiesBeneath) {
  Shown(kDocumentWindowClass, Rect{50, 50, 250, 250}, &kBlue);
  const Fill halfRed{1, 0, 0, 0.5};
  WindowRef overlay = Shown(kOverlayWindowClass, Rect{100, 100, 150, 150}, &halfRed);
  HIWindowChangeFeatures(overlay, 0, kWindowIsOpaque);
  ASSERT_EQ(noErr, StandIn_ScreenRender());
  const UInt32 blended = StandIn_ScreenPixel(120, 120);
  EXPECT_EQ(0xFFu, blended >> 24);
  EXPECT_NEAR(0x80, int(blended >> 16 & 0xFF), 2);  // half red
  EXPECT_NEAR(0x7F, int(blended & 0xFF), 2);        // over blue
  EXPECT_EQ(0xFF0000FFu, StandIn_ScreenPixel(160, 120));
  // Over the desktop too, and in front of the menu bar's layer of windows.
  const Fill clear{0, 0, 0, 0};
  WindowRef glass = Shown(kOverlayWindowClass, Rect{260, 260, 280, 280}, &clear);
  HIWindowChangeFeatures(glass, 0, kWindowIsOpaque);
  StandIn_ScreenRender();
  EXPECT_EQ(kStandInDesktopColour, StandIn_ScreenPixel(270, 270));
}

// The darkest blue channel in a box of a surface: text shows as dark pixels.
int Darkest(cairo_surface_t* surface, CGRect box) {
  cairo_surface_flush(surface);
  int darkest = 255;
  for (int y = int(box.origin.y); y < int(CGRectGetMaxY(box)); ++y) {
    const auto* row = reinterpret_cast<const UInt32*>(cairo_image_surface_get_data(surface) +
                                                      cairo_image_surface_get_stride(surface) * y);
    for (int x = int(box.origin.x); x < int(CGRectGetMaxX(box)); ++x)
      darkest = std::min<int>(darkest, row[x] & 0xFF);
  }
  return darkest;
}

UInt32 PixelOf(cairo_surface_t* surface, int x, int y) {
  cairo_surface_flush(surface);
  return reinterpret_cast<const UInt32*>(cairo_image_surface_get_data(surface) +
                                         cairo_image_surface_get_stride(surface) * y)[x];
}

MenuRef NewMenuTitled(CFStringRef title) {
  MenuRef menu = nullptr;
  CreateNewMenu(0, 0, &menu);
  SetMenuTitleWithCFString(menu, title);
  return menu;
}

TEST_F(ScreenModelTest, TheMenuBarShowsTheRootMenusTitles) {
  MenuRef root = NewMenuTitled(CFSTR(""));
  MenuRef file = NewMenuTitled(CFSTR("File"));
  MenuRef edit = NewMenuTitled(CFSTR("Edit"));
  for (MenuRef menu : {file, edit}) {
    MenuItemIndex index = 0;
    AppendMenuItemTextWithCFString(root, CFSTR("unused"), 0, 0, &index);
    SetMenuItemHierarchicalMenu(root, index, menu);
    CFRelease(menu);
  }
  SetRootMenu(root);
  CFRelease(root);

  const HIRect first = StandIn_MenuBarTitleBounds(1);
  const HIRect second = StandIn_MenuBarTitleBounds(2);
  EXPECT_EQ(10, first.origin.x);
  EXPECT_EQ(CGRectGetMaxX(first), second.origin.x);
  EXPECT_TRUE(CGRectIsEmpty(StandIn_MenuBarTitleBounds(3)));
  cairo_surface_t* bar = StandIn_CopyMenuBarImage(2);
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(400, cairo_image_surface_get_width(bar));
  EXPECT_EQ(20, cairo_image_surface_get_height(bar));
  EXPECT_LT(Darkest(bar, first), 0x50);                              // "File" in black
  EXPECT_EQ(kSelection, PixelOf(bar, int(second.origin.x) + 1, 1));  // "Edit" highlighted
  EXPECT_EQ(kMenuFace, PixelOf(bar, 5, 5));
  cairo_surface_destroy(bar);

  ASSERT_EQ(noErr, StandIn_ScreenRender());
  EXPECT_LT(int(StandIn_ScreenPixel(10, 10) & 0xFF), 0xFF);  // the strip is on the screen
  int darkest = 255;
  for (int y = 0; y < 19; ++y)
    for (int x = int(first.origin.x); x < int(CGRectGetMaxX(first)); ++x)
      darkest = std::min<int>(darkest, StandIn_ScreenPixel(x, y) & 0xFF);
  EXPECT_LT(darkest, 0x50);
}

TEST_F(ScreenModelTest, AMenuShowsItsItemsMarksDisabledItemsAndKeyEquivalents) {
  MenuRef menu = NewMenuTitled(CFSTR("View"));
  AppendMenuItemTextWithCFString(menu, CFSTR("Open"), 0, 0x6f70656e, nullptr);
  SetItemCmd(menu, 1, 'O');
  AppendMenuItemTextWithCFString(menu, CFSTR("Close"), 0, 0x636c6f73, nullptr);
  DisableMenuItem(menu, 2);
  AppendMenuItemTextWithCFString(menu, CFSTR(""), kMenuItemAttrSeparator, 0, nullptr);
  AppendMenuItemTextWithCFString(menu, CFSTR("Rulers"), 0, 0x56526c72, nullptr);
  CheckMenuItem(menu, 4, true);
  SetItemCmd(menu, 4, 'R');
  SetMenuItemModifiers(menu, 4, kMenuShiftModifier | kMenuOptionModifier);

  const HISize size = StandIn_MenuSize(menu);
  const HIRect open = StandIn_MenuItemBounds(menu, 1);
  const HIRect close = StandIn_MenuItemBounds(menu, 2);
  const HIRect separator = StandIn_MenuItemBounds(menu, 3);
  const HIRect rulers = StandIn_MenuItemBounds(menu, 4);
  EXPECT_EQ(19, open.size.height);
  EXPECT_EQ(10, separator.size.height);
  EXPECT_EQ(CGRectGetMaxY(open), close.origin.y);
  EXPECT_TRUE(CGRectIsEmpty(StandIn_MenuItemBounds(menu, 5)));

  cairo_surface_t* image = StandIn_CopyMenuImage(menu, 4);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(int(size.width), cairo_image_surface_get_width(image));
  EXPECT_EQ(int(size.height), cairo_image_surface_get_height(image));
  EXPECT_EQ(kMenuEdge, PixelOf(image, 0, 10));
  const auto part = [](HIRect row, CGFloat left, CGFloat width) {
    return CGRectMake(row.origin.x + left, row.origin.y, width, row.size.height);
  };
  const CGFloat right = size.width - 60;                   // the key equivalents' column
  EXPECT_LT(Darkest(image, part(open, 20, 30)), 0x50);     // enabled text
  EXPECT_LT(Darkest(image, part(open, right, 48)), 0x50);  // its key equivalent
  EXPECT_GT(Darkest(image, part(open, 0, 19)), 0xC0);      // no mark
  const int grey = Darkest(image, part(close, 20, 30));
  EXPECT_TRUE(grey >= 0x70 && grey < 0xA0) << grey;         // disabled text
  EXPECT_GT(Darkest(image, part(close, right, 48)), 0xC0);  // no key equivalent
  EXPECT_EQ(kMenuEdge, PixelOf(image, 30, int(CGRectGetMidY(separator))));
  EXPECT_EQ(kSelection, PixelOf(image, 2, int(rulers.origin.y) + 1));  // highlighted
  cairo_surface_destroy(image);

  // Not highlighted, the checked item shows its mark in black.
  image = StandIn_CopyMenuImage(menu, 0);
  EXPECT_LT(Darkest(image, part(rulers, 0, 19)), 0x50);
  EXPECT_EQ(kMenuFace, PixelOf(image, 2, int(rulers.origin.y) + 1));
  cairo_surface_destroy(image);
  EXPECT_EQ(nullptr, StandIn_CopyMenuImage(nullptr, 0));
  DisposeMenu(menu);
}

}  // namespace
