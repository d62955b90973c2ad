// Drawing of the stand-in's standard controls and window frames in the plain theme, each kind in
// each state probed at a few points against the theme's rules (HIToolbox/Controls.h).
#include "StandInToolboxTest.h"

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UInt32 kWhite = 0xFFFFFFFF;
constexpr UInt32 kFrame = 0xFF808080;
constexpr UInt32 kFace = 0xFFE0E0E0;
constexpr UInt32 kPressed = 0xFFA0A0A0;
constexpr UInt32 kDisabledFace = 0xFFF0F0F0;
constexpr UInt32 kSelection = 0xFF3875D7;
constexpr UInt32 kDisabledFill = 0xFFB8B8B8;
constexpr UInt32 kFocus = 0xFF7DA7D9;

// Where a view goes in the window's content, and so in the structure below the title band.
constexpr int kLeft = 10;
constexpr int kTop = 10;

enum class Ink {
  kBlack,  // text in black: its darkest pixel is nearly black
  kGrey,   // disabled text: its darkest pixel is about the disabled grey (7F), never black
  kNone    // no text at all: nothing darker than the faces
};

// One probe of a drawn control: a colour at a point, or the ink of the text in a box (view
// coordinates).
struct Probe {
  int x, y;
  UInt32 colour;
  CGRect inkBox;
  Ink ink;
};
Probe At(int x, int y, UInt32 colour) {
  return Probe{x, y, colour, CGRectMake(0, 0, 0, 0), Ink::kNone};
}
Probe TextIn(CGRect box, Ink ink) {
  return Probe{0, 0, 0, box, ink};
}

struct Case {
  const char* name;
  const char* kind;
  CGSize size;
  std::function<void(WindowRef, HIViewRef)> set;
  std::vector<Probe> probes;
};

void Title(WindowRef, HIViewRef view, CFStringRef title) {
  SetControlTitleWithCFString(view, title);
}

std::function<void(WindowRef, HIViewRef)> With(std::function<void(WindowRef, HIViewRef)> a,
                                               std::function<void(WindowRef, HIViewRef)> b) {
  return [a, b](WindowRef w, HIViewRef v) {
    a(w, v);
    b(w, v);
  };
}

const auto kTitled = [](WindowRef w, HIViewRef v) { Title(w, v, CFSTR("Open")); };
const auto kPressedState = [](WindowRef, HIViewRef v) { HiliteControl(v, 10); };
const auto kDisabled = [](WindowRef, HIViewRef v) { DisableControl(v); };
const auto kFocused = [](WindowRef w, HIViewRef v) {
  StandIn_SetFullKeyboardAccess(true);
  EXPECT_EQ(noErr, SetKeyboardFocus(w, v, kControlFocusNextPart));
  StandIn_SetFullKeyboardAccess(false);
};
auto Value(SInt32 maximum, SInt32 value) {
  return [maximum, value](WindowRef, HIViewRef v) {
    SetControl32BitMaximum(v, maximum);
    SetControl32BitValue(v, value);
  };
}
const auto kStaticText = [](WindowRef, HIViewRef v) {
  CFStringRef text = CFSTR("Hello");
  SetControlData(v, 0, kControlStaticTextCFStringTag, sizeof text, &text);
};
const auto kIndeterminate = [](WindowRef, HIViewRef v) {
  const Boolean on = true;
  SetControlData(v, 0, 0x696e6465, sizeof on, &on);
};
const auto kTyped = [](WindowRef, HIViewRef v) {
  const std::u16string text = u"Typed";
  TXNSetData(HITextViewGetTXNObject(v), kTXNUnicodeTextData, text.data(),
             text.size() * sizeof(char16_t), 0, 0);
};
const auto kPopupItems = [](WindowRef, HIViewRef v) {
  MenuRef menu = GetControlPopupMenuHandle(v);
  AppendMenuItemTextWithCFString(menu, CFSTR("First"), 0, 0, nullptr);
  SetControl32BitMaximum(v, 1);
  SetControl32BitValue(v, 1);
};

// The darkest of a channel over the box: black text reaches 0, grey text 0x7F, faces stay light.
int Darkest(WindowRef window, CGRect box) {
  int darkest = 255;
  for (int y = int(box.origin.y); y < int(CGRectGetMaxY(box)); ++y)
    for (int x = int(box.origin.x); x < int(CGRectGetMaxX(box)); ++x)
      darkest = std::min<int>(
          darkest,
          StandIn_WindowPixel(window, kLeft + x, kStandInTitleBarHeight + kTop + y) & 0xFF);
  return darkest;
}

class ControlDrawingTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Window = NewWindow(Rect{100, 50, 400, 450});
    HIViewFindByID(HIViewGetRoot(m_Window), kHIViewWindowContentID, &m_Content);
  }
  void TearDown() override {
    DisposeWindow(m_Window);
    StandInToolboxTest::TearDown();
  }

  void Check(const Case& c) {
    HIViewRef view = StandIn_NewView(c.kind, CGRectMake(kLeft, kTop, c.size.width, c.size.height));
    HIViewAddSubview(m_Content, view);
    CFRelease(view);
    if (c.set)
      c.set(m_Window, view);
    ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
    for (const Probe& p : c.probes) {
      if (p.inkBox.size.width > 0) {
        const int darkest = Darkest(m_Window, p.inkBox);
        if (p.ink == Ink::kBlack)
          EXPECT_LT(darkest, 0x50) << c.name;
        else if (p.ink == Ink::kGrey)
          EXPECT_TRUE(darkest >= 0x70 && darkest < 0xA0) << c.name << ": " << darkest;
        else
          EXPECT_GT(darkest, 0xC0) << c.name;
        continue;
      }
      EXPECT_EQ(p.colour,
                StandIn_WindowPixel(m_Window, kLeft + p.x, kStandInTitleBarHeight + kTop + p.y))
          << c.name << " at " << p.x << "," << p.y;
    }
    ClearKeyboardFocus(m_Window);
    HIViewRemoveFromSuperview(view);
    StandIn_WindowRender(m_Window);
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_Content = nullptr;
};

TEST_F(ControlDrawingTest, EachKindInEachStateFollowsTheTheme) {
  const CGSize button = CGSizeMake(80, 20);
  const CGRect buttonText = CGRectMake(20, 4, 40, 12);
  const CGSize check = CGSizeMake(100, 18);   // the box at 2, 3
  const CGSize slider = CGSizeMake(100, 20);  // track 5..95 at 8..12, thumb centre 50
  const CGSize bar = CGSizeMake(100, 12);
  const Case cases[] = {
      {"push",
       "push",
       button,
       kTitled,
       {At(0, 10, kFrame), At(3, 3, kFace), TextIn(buttonText, Ink::kBlack)}},
      {"push pressed", "push", button, With(kTitled, kPressedState), {At(3, 3, kPressed)}},
      {"push disabled",
       "push",
       button,
       With(kTitled, kDisabled),
       {At(0, 10, kFrame), At(3, 3, kDisabledFace), TextIn(buttonText, Ink::kGrey)}},
      {"push focused",
       "push",
       button,
       With(kTitled, kFocused),
       {At(0, 10, kFocus), At(1, 10, kFocus), At(3, 3, kFace)}},
      {"check off",
       "check",
       check,
       kTitled,
       {At(2, 9, kFrame), At(4, 5, kWhite), At(8, 9, kWhite),
        TextIn(CGRectMake(20, 2, 40, 14), Ink::kBlack)}},
      {"check on", "check", check, Value(2, 1), {At(4, 5, kSelection), At(2, 9, kFrame)}},
      {"check mixed",
       "check",
       check,
       Value(2, 2),
       {At(4, 5, kSelection), At(8, 9, kWhite), At(8, 11, kSelection)}},
      {"check pressed", "check", check, kPressedState, {At(4, 5, kPressed)}},
      {"check on disabled",
       "check",
       check,
       With(Value(2, 1), With(kTitled, kDisabled)),
       {At(4, 5, kDisabledFill), At(2, 9, 0xFFB0B0B0),
        TextIn(CGRectMake(20, 2, 40, 14), Ink::kGrey)}},
      {"check focused", "check", check, kFocused, {At(0, 9, kFocus), At(4, 5, kWhite)}},
      {"pop-up",
       "popup",
       CGSizeMake(120, 20),
       kPopupItems,
       {At(0, 10, kFrame), At(3, 3, kFace), At(110, 9, 0xFF000000),
        TextIn(CGRectMake(8, 4, 30, 12), Ink::kBlack)}},
      {"pop-up pressed", "popup", CGSizeMake(120, 20), kPressedState, {At(3, 3, kPressed)}},
      {"pop-up disabled",
       "popup",
       CGSizeMake(120, 20),
       With(kPopupItems, kDisabled),
       {At(3, 3, kDisabledFace), At(110, 9, 0xFF7F7F7F),
        TextIn(CGRectMake(8, 4, 30, 12), Ink::kGrey)}},
      {"pop-up focused", "popup", CGSizeMake(120, 20), kFocused, {At(1, 10, kFocus)}},
      {"slider",
       "slider",
       slider,
       Value(100, 50),
       {At(20, 10, kSelection), At(80, 10, kWhite), At(80, 8, kFrame), At(50, 5, kFace),
        At(50, 1, kWhite)}},
      {"slider pressed",
       "slider",
       slider,
       With(Value(100, 50), kPressedState),
       {At(50, 5, kPressed)}},
      {"slider disabled",
       "slider",
       slider,
       With(Value(100, 50), kDisabled),
       {At(20, 10, kDisabledFill), At(50, 5, kDisabledFace)}},
      {"slider focused", "slider", slider, With(Value(100, 50), kFocused), {At(50, 1, kFocus)}},
      {"slider at its minimum", "slider", slider, Value(100, 0), {At(20, 10, kWhite)}},
      {"vertical slider",
       "slider",
       CGSizeMake(20, 100),
       Value(100, 25),
       {At(10, 90, kSelection), At(10, 20, kWhite)}},
      {"progress",
       "progress",
       bar,
       Value(100, 25),
       {At(0, 6, kFrame), At(10, 6, kSelection), At(80, 6, kWhite)}},
      {"progress indeterminate",
       "progress",
       bar,
       kIndeterminate,
       {At(3, 6, kSelection), At(12, 6, 0xFF9DBAEB), At(20, 6, kSelection)}},
      {"progress disabled",
       "progress",
       bar,
       With(Value(100, 25), kDisabled),
       {At(10, 6, kDisabledFill)}},
      {"static text",
       "statictext",
       CGSizeMake(100, 34),
       kStaticText,
       {TextIn(CGRectMake(0, 0, 40, 17), Ink::kBlack),
        TextIn(CGRectMake(0, 17, 100, 17), Ink::kNone)}},
      {"static text disabled",
       "statictext",
       CGSizeMake(100, 17),
       With(kStaticText, kDisabled),
       {TextIn(CGRectMake(0, 0, 40, 17), Ink::kGrey)}},
      {"text view",
       "textview",
       CGSizeMake(100, 40),
       kTyped,
       {At(0, 20, kFrame), At(2, 30, kWhite), TextIn(CGRectMake(4, 3, 40, 17), Ink::kBlack)}},
      {"text view focused",
       "textview",
       CGSizeMake(100, 40),
       [](WindowRef w, HIViewRef v) { SetKeyboardFocus(w, v, kControlFocusNextPart); },
       {At(0, 20, kFocus), At(1, 20, kFocus), At(2, 30, kWhite)}},
      {"text view disabled",
       "textview",
       CGSizeMake(100, 40),
       With(kTyped, kDisabled),
       {At(2, 30, kDisabledFace), TextIn(CGRectMake(4, 3, 40, 17), Ink::kGrey)}},
      {"placard",
       "placard",
       CGSizeMake(60, 20),
       nullptr,
       {At(5, 5, 0xFFEDEDED), At(0, 5, 0xFF8C8C8C)}},
      {"placard disabled",
       "placard",
       CGSizeMake(60, 20),
       kDisabled,
       {At(5, 5, 0xFFF5F5F5), At(0, 5, 0xFFBFBFBF)}},
      {"icon", "icon", CGSizeMake(40, 40), nullptr, {At(20, 20, kFrame), At(1, 20, kWhite)}},
      {"icon pressed", "icon", CGSizeMake(40, 40), kPressedState, {At(20, 20, 0xFF555555)}},
      {"icon disabled", "icon", CGSizeMake(40, 40), kDisabled, {At(20, 20, 0xFFB0B0B0)}},
      {"user pane", "userpane", CGSizeMake(40, 40), nullptr, {At(20, 20, kWhite)}},
  };
  for (const Case& c : cases)
    Check(c);
}

TEST_F(ControlDrawingTest, TabsShowTheChosenOneOverAFramedPane) {
  HIViewRef tabs = StandIn_NewView("tab", CGRectMake(kLeft, kTop, 200, 100));
  HIViewAddSubview(m_Content, tabs);
  CFRelease(tabs);
  const CFStringRef titles[] = {CFSTR("One"), CFSTR("Two")};
  StandIn_SetViewItems(tabs, 2, titles);
  SetControl32BitMaximum(tabs, 2);
  // The first pixel of each colour along a row through the tabs.
  auto firstOf = [&](UInt32 colour) {
    for (int x = 0; x < 200; ++x)
      if (StandIn_WindowPixel(m_Window, kLeft + x, kStandInTitleBarHeight + kTop + 3) == colour)
        return x;
    return -1;
  };
  SetControl32BitValue(tabs, 1);
  StandIn_WindowRender(m_Window);
  ASSERT_GE(firstOf(kSelection), 0);
  ASSERT_GE(firstOf(kFace), 0);
  EXPECT_LT(firstOf(kSelection), firstOf(kFace));  // the left one is chosen
  EXPECT_EQ(kFrame, StandIn_WindowPixel(m_Window, kLeft, kStandInTitleBarHeight + kTop + 50));
  SetControl32BitValue(tabs, 2);
  StandIn_WindowRender(m_Window);
  EXPECT_GT(firstOf(kSelection), firstOf(kFace));
  DisableControl(tabs);
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(-1, firstOf(kSelection));
  EXPECT_GE(firstOf(kDisabledFace), 0);
}

// The scroll bars lie over the scrollable content, their thumbs where the content's answer puts
// them.
OSStatus AnswerScrollInfo(EventHandlerCallRef, EventRef event, void*) {
  const HISize image{400, 160};
  const HISize view{85, 65};
  const HISize line{1, 1};
  const HIPoint origin{0, 95};  // scrolled to the bottom
  SetEventParameter(event, kEventParamImageSize, typeHISize, sizeof image, &image);
  SetEventParameter(event, kEventParamViewSize, typeHISize, sizeof view, &view);
  SetEventParameter(event, kEventParamLineSize, typeHISize, sizeof line, &line);
  SetEventParameter(event, kEventParamOrigin, typeHIPoint, sizeof origin, &origin);
  return noErr;
}

OSStatus PaintRed(EventHandlerCallRef, EventRef event, void*) {
  CGContextRef context = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context,
                    nullptr, &context);
  CGContextSetRGBFillColor(context, 1, 0, 0, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 1000, 1000));
  return noErr;
}

TEST_F(ControlDrawingTest, ScrollBarsDrawOverTheContentWithThumbsWhereItIsScrolled) {
  HIViewRef scroll = StandIn_NewView("scrollview", CGRectMake(kLeft, kTop, 100, 80));
  HIViewAddSubview(m_Content, scroll);
  CFRelease(scroll);
  HIViewRef content = StandIn_NewView("userpane", CGRectMake(0, 0, 100, 80));
  HIViewAddSubview(scroll, content);
  CFRelease(content);
  const EventTypeSpec info = {kEventClassScrollable, kEventScrollableGetInfo};
  InstallControlEventHandler(content, AnswerScrollInfo, 1, &info, nullptr, nullptr);
  const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
  InstallControlEventHandler(content, PaintRed, 1, &draw, nullptr, nullptr);
  EventRef changed = nullptr;
  CreateEvent(nullptr, kEventClassScrollable, kEventScrollableInfoChanged, 0, 0, &changed);
  SendEventToEventTarget(changed, GetControlEventTarget(scroll));
  ReleaseEvent(changed);
  ASSERT_EQ(1, StandIn_ScrollViewInfo(scroll).asked);
  StandIn_WindowRender(m_Window);
  auto pixel = [&](int x, int y) {
    return StandIn_WindowPixel(m_Window, kLeft + x, kStandInTitleBarHeight + kTop + y);
  };
  EXPECT_EQ(0xFFFF0000u, pixel(40, 40));    // the content
  EXPECT_EQ(kDisabledFace, pixel(92, 10));  // the vertical track's top: scrolled down
  EXPECT_EQ(kFace, pixel(92, 55));          // its thumb at the bottom
  EXPECT_EQ(kFace, pixel(10, 72));          // the horizontal thumb at the left
  EXPECT_EQ(kDisabledFace, pixel(70, 72));  // and its track
}

TEST_F(ControlDrawingTest, TheWindowFrameShowsTheTitleBandBoxesAndTitleByActivity) {
  SetWindowTitleWithCFString(m_Window, CFSTR("Sheet 1"));
  ShowWindow(m_Window);
  StandIn_WindowRender(m_Window);
  const int middle = 200;  // the title band is 400 wide
  EXPECT_EQ(0xFFD4D4D4u, StandIn_WindowPixel(m_Window, 100, 3));
  EXPECT_EQ(kFrame, StandIn_WindowPixel(m_Window, 100, kStandInTitleBarHeight - 1));
  EXPECT_EQ(0xFFE0443Eu, StandIn_WindowPixel(m_Window, 14, 11));  // close
  EXPECT_EQ(0xFFE5A62Eu, StandIn_WindowPixel(m_Window, 34, 11));  // collapse
  EXPECT_EQ(0xFF3EAF48u, StandIn_WindowPixel(m_Window, 54, 11));  // zoom
  int darkest = 255;
  for (int x = middle - 30; x < middle + 30; ++x)
    for (int y = 4; y < 18; ++y)
      darkest = std::min<int>(darkest, StandIn_WindowPixel(m_Window, x, y) & 0xFF);
  EXPECT_LT(darkest, 0x30);

  WindowRef front = NewWindow(Rect{300, 300, 400, 400});
  ShowWindow(front);  // the first goes inactive
  EXPECT_FALSE(IsWindowActive(m_Window));
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(0xFFEEEEEEu, StandIn_WindowPixel(m_Window, 100, 3));
  EXPECT_EQ(0xFFC8C8C8u, StandIn_WindowPixel(m_Window, 14, 11));
  DisposeWindow(front);

  // A window without a close box has none; a plain window has no band.
  ChangeWindowAttributes(m_Window, 0, kWindowCloseBoxAttribute);
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(0xFFD4D4D4u, StandIn_WindowPixel(m_Window, 14, 11));
  WindowRef plain = nullptr;
  const Rect bounds{100, 100, 150, 150};
  CreateNewWindow(kPlainWindowClass, 0, &bounds, &plain);
  StandIn_WindowRender(plain);
  EXPECT_EQ(kWhite, StandIn_WindowPixel(plain, 14, 3));
  DisposeWindow(plain);
}

class NibPictureTest : public StandInNibTest {};

TEST_F(NibPictureTest, IconsAndImagesShowThePictureTheirNibNames) {
  {
    cairo_surface_t* png = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 48);
    cairo_t* cr = cairo_create(png);
    cairo_set_source_rgb(cr, 0, 0.5, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(png, (m_Resources / "Badge.png").string().c_str());
    cairo_surface_destroy(png);
  }
  WriteNib("Pictures", R"(window "Main"
  class document
  bounds 100 100 300 400
  view icon
    frame 10 10 32 32
    content "Badge"
  end
  view image
    frame 100 10 100 100
    content "Badge.png"
  end
  view icon
    frame 10 60 32 32
    content "Missing"
  end
end
)");
  IBNibRef nib = nullptr;
  ASSERT_EQ(noErr, CreateNibReference(CFSTR("Pictures"), &nib));
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateWindowFromNib(nib, CFSTR("Main"), &window));
  DisposeNibReference(nib);
  StandIn_WindowRender(window);
  const int top = kStandInTitleBarHeight;
  // The icon shrinks the 64 x 48 picture to 32 x 24, centred: rows 4 to 28.
  EXPECT_EQ(0xFF008000u, StandIn_WindowPixel(window, 10 + 16, top + 10 + 5));
  EXPECT_EQ(kWhite, StandIn_WindowPixel(window, 10 + 16, top + 10 + 2));
  // The image shows it at its size from its top left.
  EXPECT_EQ(0xFF008000u, StandIn_WindowPixel(window, 100 + 63, top + 10 + 47));
  EXPECT_EQ(kWhite, StandIn_WindowPixel(window, 100 + 64, top + 10 + 20));
  // Without its picture an icon is the grey square.
  EXPECT_EQ(kFrame, StandIn_WindowPixel(window, 10 + 16, top + 60 + 16));
  DisposeWindow(window);
}

}  // namespace
