// The presenter on an X display of its own (run under tools/screen-run): XTest's mouse and keys
// reach the stand-in's handlers as a Mac user's would, menus open and choose from the menu bar
// strip, and the display shows what the screen model composes.
#include <gtest/gtest.h>

#include <CoreFoundation/CFString.h>
#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>
#include <HIToolbox/StandInPresenter.h>
#include <HIToolbox/StandInScreen.h>
#include <CoreGraphics/CGDirectDisplay.h>

#include <CoreGraphics/CGBitmapContext.h>
#include <HIToolbox/Controls.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/HIView.h>
#include <HIToolbox/Navigation.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#define Cursor XCursor
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Cursor

namespace {

constexpr UInt32 kGo = 0x476f2020;   // 'Go  '
constexpr UInt32 kOff = 0x6f666620;  // 'off '

// What reached the handlers.
struct Seen {
  long mouseDowns = 0;
  HIPoint windowMouse{0, 0};
  HIPoint globalMouse{0, 0};
  UInt32 mouseModifiers = 0;
  std::vector<UInt32> keyCodes;
  std::vector<char> characters;
  std::vector<UInt32> commands;
};

OSStatus RecordEvent(EventHandlerCallRef, EventRef event, void* data) {
  Seen& seen = *static_cast<Seen*>(data);
  if (GetEventClass(event) == kEventClassMouse) {
    ++seen.mouseDowns;
    GetEventParameter(event, kEventParamWindowMouseLocation, typeHIPoint, nullptr,
                      sizeof seen.windowMouse, nullptr, &seen.windowMouse);
    GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr,
                      sizeof seen.globalMouse, nullptr, &seen.globalMouse);
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr,
                      sizeof seen.mouseModifiers, nullptr, &seen.mouseModifiers);
    return noErr;
  }
  if (GetEventClass(event) == kEventClassKeyboard) {
    UInt32 code = 0;
    char character = 0;
    GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
    GetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character,
                      nullptr, &character);
    seen.keyCodes.push_back(code);
    seen.characters.push_back(character);
    return noErr;
  }
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  if (command.commandID != kGo && command.commandID != kOff)
    return eventNotHandledErr;
  seen.commands.push_back(command.commandID);
  return noErr;
}

class PresenterScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_UseLiveClock(true);
    m_Presenter = StandIn_X11Presenter::Open();
    ASSERT_TRUE(m_Presenter) << "no X display: run the test under tools/screen-run";
    StandIn_SetInputSource(m_Presenter.get());
    m_Driver = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, m_Driver);
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(m_Driver, &event, &error, &major, &minor));
  }
  void TearDown() override {
    for (EventHandlerRef handler : m_Handlers)
      RemoveEventHandler(handler);
    for (WindowRef window : m_Windows)
      DisposeWindow(window);
    SetRootMenu(nullptr);
    for (MenuRef menu : m_Menus)
      DisposeMenu(menu);
    if (m_Presenter)
      m_Presenter->Present();
    StandIn_SetInputSource(nullptr);
    m_Presenter.reset();
    if (m_Driver)
      XCloseDisplay(m_Driver);
  }

  // A shown document window with that content, which the display shows and gives the keyboard.
  WindowRef ShowWindowAt(Rect content, WindowClass windowClass = kDocumentWindowClass) {
    WindowRef window = nullptr;
    EXPECT_EQ(noErr,
              CreateNewWindow(windowClass, kWindowStandardDocumentAttributes, &content, &window));
    m_Windows.push_back(window);
    ShowWindow(window);
    return window;
  }

  void WaitUntilShownAndFocused(WindowRef window) {
    EXPECT_TRUE(PumpUntil([&] {
      const Window xid = m_Presenter->XWindowOf(window);
      XWindowAttributes attributes{};
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(m_Driver, &focus, &revert);
      return xid != 0 && XGetWindowAttributes(m_Driver, xid, &attributes) &&
             attributes.map_state == IsViewable && focus == xid;
    })) << "the window never showed with the keyboard";
  }

  void Handle(EventTargetRef target, UInt32 eventClass, UInt32 kind) {
    const EventTypeSpec type{eventClass, kind};
    EventHandlerRef handler = nullptr;
    ASSERT_EQ(noErr, InstallEventHandler(target, NewEventHandlerUPP(&RecordEvent), 1, &type,
                                         &m_Seen, &handler));
    m_Handlers.push_back(handler);
  }

  // Delivers what the display sends until the condition holds; false after 10 seconds.
  bool PumpUntil(const std::function<bool()>& done) {
    const EventTime end = GetCurrentEventTime() + 10;
    while (!done()) {
      if (GetCurrentEventTime() > end)
        return false;
      StandIn_Input input;
      if (m_Presenter->NextInput(GetCurrentEventTime() + 0.05, input))
        StandIn_DeliverInput(input);
    }
    return true;
  }

  void Key(KeySym symbol, bool down) {
    XTestFakeKeyEvent(m_Driver, XKeysymToKeycode(m_Driver, symbol), down ? True : False,
                      CurrentTime);
    XFlush(m_Driver);
  }
  void MoveTo(int x, int y) {
    XTestFakeMotionEvent(m_Driver, -1, x, y, CurrentTime);
    XFlush(m_Driver);
  }
  void Button(bool down) {
    XTestFakeButtonEvent(m_Driver, 1, down ? True : False, CurrentTime);
    XFlush(m_Driver);
  }

  std::unique_ptr<StandIn_X11Presenter> m_Presenter;
  Display* m_Driver = nullptr;
  Seen m_Seen;
  std::vector<WindowRef> m_Windows;
  std::vector<MenuRef> m_Menus;
  std::vector<EventHandlerRef> m_Handlers;
};

TEST_F(PresenterScreenTest, ACtrlClickReachesTheMouseDownHandlerWithCommandAtThePoint) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  Handle(GetWindowEventTarget(window), kEventClassMouse, kEventMouseDown);
  WaitUntilShownAndFocused(window);

  Key(XK_Control_L, true);
  MoveTo(150, 130);
  Button(true);
  Button(false);
  Key(XK_Control_L, false);
  ASSERT_TRUE(PumpUntil([&] { return m_Seen.mouseDowns > 0; }));

  EXPECT_TRUE(m_Seen.mouseModifiers & cmdKey);
  EXPECT_FALSE(m_Seen.mouseModifiers & controlKey);
  EXPECT_EQ(150, m_Seen.globalMouse.x);
  EXPECT_EQ(130, m_Seen.globalMouse.y);
  // The structure begins with the title bar above the content.
  EXPECT_EQ(50, m_Seen.windowMouse.x);
  EXPECT_EQ(130 - (100 - kStandInTitleBarHeight), m_Seen.windowMouse.y);
}

TEST_F(PresenterScreenTest, DraggingTheTitleBandMovesTheWindowAndItsXWindowFollows) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  WaitUntilShownAndFocused(window);

  // The stand-in's own window drag takes the moves from the display until the release.
  MoveTo(200, 100 - kStandInTitleBarHeight / 2);
  Button(true);
  for (int step = 1; step <= 5; ++step)
    MoveTo(200 + 20 * step, 100 - kStandInTitleBarHeight / 2 + 30 * step);
  Button(false);
  Rect structure{0, 0, 0, 0};
  ASSERT_TRUE(PumpUntil([&] {
    GetWindowBounds(window, kWindowStructureRgn, &structure);
    return structure.left == 200;
  }));
  EXPECT_EQ(100 - kStandInTitleBarHeight + 150, structure.top);

  m_Presenter->Present();
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(m_Driver, m_Presenter->XWindowOf(window), &attributes));
  EXPECT_EQ(structure.left, attributes.x);
  EXPECT_EQ(structure.top, attributes.y);
}

TEST_F(PresenterScreenTest, MovesQueuedAroundAPressAndReleaseKeepTheirPlace) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  WaitUntilShownAndFocused(window);

  // All queued before the presenter reads any: only moves in a row may merge.
  MoveTo(150, 150);
  Button(true);
  MoveTo(160, 170);
  MoveTo(170, 190);
  Button(false);
  XSync(m_Driver, False);
  std::vector<StandIn_Input> inputs;
  const EventTime end = GetCurrentEventTime() + 10;
  while (GetCurrentEventTime() < end &&
         (inputs.empty() || inputs.back().kind != StandIn_InputKind::MouseUp)) {
    StandIn_Input input;
    if (m_Presenter->NextInput(GetCurrentEventTime() + 0.05, input) &&
        input.kind != StandIn_InputKind::KeyDown && input.kind != StandIn_InputKind::KeyUp)
      inputs.push_back(input);
  }

  ASSERT_EQ(4u, inputs.size());
  EXPECT_EQ(StandIn_InputKind::MouseMoved, inputs[0].kind);
  EXPECT_EQ(150, inputs[0].global.x);
  EXPECT_EQ(StandIn_InputKind::MouseDown, inputs[1].kind);
  EXPECT_EQ(StandIn_InputKind::MouseMoved, inputs[2].kind);
  EXPECT_EQ(170, inputs[2].global.x);
  EXPECT_EQ(190, inputs[2].global.y);
  EXPECT_EQ(StandIn_InputKind::MouseUp, inputs[3].kind);
}

TEST_F(PresenterScreenTest, SpaceGivesKeyCode49) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  Handle(GetWindowEventTarget(window), kEventClassKeyboard, kEventRawKeyDown);
  WaitUntilShownAndFocused(window);

  Key(XK_space, true);
  Key(XK_space, false);
  ASSERT_TRUE(PumpUntil([&] { return !m_Seen.keyCodes.empty(); }));
  EXPECT_EQ(49u, m_Seen.keyCodes.front());
  EXPECT_EQ(' ', m_Seen.characters.front());
}

TEST_F(PresenterScreenTest, AMenuPickSendsItsCommandAndADisabledKeyEquivalentDoesNothing) {
  MenuRef root = nullptr;
  MenuRef menu = nullptr;
  ASSERT_EQ(noErr, CreateNewMenu(0, 0, &root));
  ASSERT_EQ(noErr, CreateNewMenu(1, 0, &menu));
  m_Menus = {menu, root};
  SetMenuTitleWithCFString(menu, CFSTR("Tryout"));
  AppendMenuItemTextWithCFString(menu, CFSTR("Go"), 0, kGo, nullptr);
  SetItemCmd(menu, 1, 'G');
  AppendMenuItemTextWithCFString(menu, CFSTR("Off"), 0, kOff, nullptr);
  SetItemCmd(menu, 2, 'K');
  DisableMenuItem(menu, 2);
  AppendMenuItemTextWithCFString(root, CFSTR("Tryout"), 0, 0, nullptr);
  SetMenuItemHierarchicalMenu(root, 1, menu);
  SetRootMenu(root);
  Handle(GetApplicationEventTarget(), kEventClassCommand, kEventCommandProcess);
  WindowRef window = ShowWindowAt(Rect{200, 300, 400, 600});
  Handle(GetWindowEventTarget(window), kEventClassKeyboard, kEventRawKeyDown);
  WaitUntilShownAndFocused(window);

  // Pressed on the title, dragged down to the first item and released there.
  const HIRect title = StandIn_MenuBarTitleBounds(1);
  const HIRect item = StandIn_MenuItemBounds(menu, 1);
  const int menuTop = StandIn_MainScreen().menuBarHeight;
  MoveTo(int(CGRectGetMidX(title)), int(CGRectGetMidY(title)));
  Button(true);
  MoveTo(int(title.origin.x + CGRectGetMidX(item)), menuTop + int(CGRectGetMidY(item)));
  MoveTo(int(title.origin.x + CGRectGetMidX(item)) + 1, menuTop + int(CGRectGetMidY(item)));
  Button(false);
  ASSERT_TRUE(PumpUntil([&] { return !m_Seen.commands.empty(); }));
  EXPECT_EQ(std::vector<UInt32>{kGo}, m_Seen.commands);

  // Ctrl+K is Command-K: its item is disabled, so the key goes on to the window as a raw key.
  Key(XK_Control_L, true);
  Key(XK_k, true);
  Key(XK_k, false);
  Key(XK_Control_L, false);
  ASSERT_TRUE(PumpUntil([&] { return !m_Seen.keyCodes.empty(); }));
  EXPECT_EQ(0x28u, m_Seen.keyCodes.front());
  EXPECT_EQ(std::vector<UInt32>{kGo}, m_Seen.commands);

  // Ctrl+G is Command-G, the enabled item's.
  Key(XK_Control_L, true);
  Key(XK_g, true);
  Key(XK_g, false);
  Key(XK_Control_L, false);
  ASSERT_TRUE(PumpUntil([&] { return m_Seen.commands.size() == 2; }));
  EXPECT_EQ(kGo, m_Seen.commands.back());
}

// A drag from a press in the window's top half to a view that takes it.
struct DragRun {
  long started = 0;
  OSErr result = 1;
  long entered = 0;
  long received = 0;
};

OSStatus StartDrag(EventHandlerCallRef, EventRef event, void* data) {
  DragRun& run = *static_cast<DragRun*>(data);
  HIPoint global{0, 0};
  GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof global, nullptr,
                    &global);
  ++run.started;
  DragRef drag = nullptr;
  NewDrag(&drag);
  AddDragItemFlavor(drag, 1, 0x54455854, "job", 3, 0);  // 'TEXT'
  // A small opaque image under the mouse, as the program's drags have.
  CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
  CGContextRef context =
      CGBitmapContextCreate(nullptr, 16, 16, 8, 64, space, kCGImageAlphaPremultipliedFirst);
  CGContextSetRGBFillColor(context, 1, 0, 0, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 16, 16));
  CGImageRef image = CGBitmapContextCreateImage(context);
  const HIPoint offset{-8, -8};
  SetDragImageWithCGImage(drag, image, &offset, kDragStandardTranslucency);
  CGImageRelease(image);
  CGContextRelease(context);
  CGColorSpaceRelease(space);
  EventRecord record{mouseDown, 0, 0,
                     Point{static_cast<short>(global.y), static_cast<short>(global.x)}, 0};
  run.result = TrackDrag(drag, &record, nullptr);
  DisposeDrag(drag);
  return noErr;
}

OSStatus TakeDrag(EventHandlerCallRef, EventRef event, void* data) {
  DragRun& run = *static_cast<DragRun*>(data);
  if (GetEventKind(event) == kEventControlDragEnter) {
    ++run.entered;
    const Boolean accept = true;
    SetEventParameter(event, kEventParamControlWouldAcceptDrop, typeBoolean, sizeof accept,
                      &accept);
  } else if (GetEventKind(event) == kEventControlDragReceive) {
    ++run.received;
  }
  return noErr;
}

TEST_F(PresenterScreenTest, ADragFollowsTheMouseToAViewThatTakesIt) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 400, 500});
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIViewRef target = StandIn_NewView("userpane", CGRectMake(200, 150, 150, 100));
  HIViewAddSubview(content, target);
  CFRelease(target);
  SetControlDragTrackingEnabled(target, true);
  DragRun run;
  const EventTypeSpec down{kEventClassMouse, kEventMouseDown};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(window), &StartDrag, 1, &down, &run, &handler);
  m_Handlers.push_back(handler);
  const EventTypeSpec drags[] = {{kEventClassControl, kEventControlDragEnter},
                                 {kEventClassControl, kEventControlDragReceive}};
  InstallEventHandler(GetControlEventTarget(target), &TakeDrag, 2, drags, &run, &handler);
  m_Handlers.push_back(handler);
  WaitUntilShownAndFocused(window);

  // From the content's top left to the middle of the view (content at 100, 100).
  MoveTo(130, 130);
  Button(true);
  for (int step = 1; step <= 8; ++step)
    MoveTo(130 + step * 25, 130 + step * 20);
  Button(false);
  ASSERT_TRUE(PumpUntil([&] { return run.result != 1; }));
  EXPECT_EQ(1, run.started);
  EXPECT_EQ(noErr, run.result);
  EXPECT_EQ(1, run.entered);
  EXPECT_EQ(1, run.received);
}

DialogRef NewAlert() {
  AlertStdCFStringAlertParamRec params;
  GetStandardAlertDefaultParams(&params, kStdCFStringAlertVersionOne);
  params.cancelText = reinterpret_cast<CFStringRef>(kAlertDefaultCancelText);
  DialogRef alert = nullptr;
  CreateStandardAlert(kAlertCautionAlert, CFSTR("Close the job?"), CFSTR("Nothing is lost."),
                      &params, &alert);
  return alert;
}

TEST_F(PresenterScreenTest, AnAlertShowsAsAWindowAndWaitsForTheUser) {
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  WaitUntilShownAndFocused(window);

  // Return chooses the default button, Escape the cancel button.
  struct Case {
    KeySym key;
    DialogItemIndex answer;
  };
  for (const Case& c :
       {Case{XK_Return, kAlertStdAlertOKButton}, Case{XK_Escape, kAlertStdAlertCancelButton}}) {
    Key(c.key, true);
    Key(c.key, false);
    DialogItemIndex hit = 0;
    ASSERT_EQ(noErr, RunStandardAlert(NewAlert(), nullptr, &hit));
    EXPECT_EQ(c.answer, hit);
  }

  // A click on its cancel button, left of the default one at its bottom right, once it shows.
  std::set<Window> before;
  {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(m_Driver, DefaultRootWindow(m_Driver), &root, &parent, &children, &count);
    before.insert(children, children + count);
    XFree(children);
  }
  std::atomic<bool> clicked{false};
  std::thread user([&] {
    for (int tries = 0; tries < 500 && !clicked; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      Window root = 0, parent = 0, *children = nullptr;
      unsigned int count = 0;
      XQueryTree(m_Driver, DefaultRootWindow(m_Driver), &root, &parent, &children, &count);
      for (unsigned int i = 0; i < count && !clicked; ++i) {
        XWindowAttributes a{};
        if (before.count(children[i]) || !XGetWindowAttributes(m_Driver, children[i], &a) ||
            a.map_state != IsViewable)
          continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        MoveTo(a.x + a.width - 20 - 90 - 12 - 45, a.y + a.height - 20 - 10);
        Button(true);
        Button(false);
        clicked = true;
      }
      XFree(children);
    }
  });
  DialogItemIndex hit = 0;
  const OSStatus status = RunStandardAlert(NewAlert(), nullptr, &hit);
  clicked = true;
  user.join();
  EXPECT_EQ(noErr, status);
  EXPECT_EQ(kAlertStdAlertCancelButton, hit);
}

// What a Navigation dialog's client heard.
struct NavClient {
  std::vector<NavUserAction> actions;
  std::vector<std::string> replied;
};

void NavEvents(NavEventCallbackMessage message, NavCBRecPtr record, void* data) {
  NavClient& client = *static_cast<NavClient*>(data);
  if (message == kNavCBUserAction) {
    client.actions.push_back(NavDialogGetUserAction(record->context));
    NavReplyRecord reply;
    if (NavDialogGetReply(record->context, &reply) == noErr) {
      long count = 0;
      AECountItems(&reply.selection, &count);
      for (long i = 1; i <= count; ++i) {
        FSRef item;
        AEGetNthPtr(&reply.selection, i, typeFSRef, nullptr, nullptr, &item, sizeof item, nullptr);
        char path[4096] = {};
        FSRefMakePath(&item, reinterpret_cast<UInt8*>(path), sizeof path);
        client.replied.push_back(path);
      }
      NavDisposeReply(&reply);
    }
  } else if (message == kNavCBTerminate) {
    NavDialogDispose(record->context);
  }
}

TEST_F(PresenterScreenTest, AFileDialogShowsTheFolderAndTheUserChoosesFromIt) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("navwindow_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "sub");
  std::ofstream(folder / "first.krx") << "1";
  std::ofstream(folder / "second.krx") << "2";
  std::ofstream(folder / ".hidden") << "3";
  const char* home = std::getenv("HOME");
  const std::string oldHome = home ? home : "";
  ::setenv("HOME", folder.c_str(), 1);
  WindowRef window = ShowWindowAt(Rect{100, 100, 300, 400});
  WaitUntilShownAndFocused(window);

  // Folders come first: down twice selects the first file, Return opens it.
  for (KeySym key : {XK_Down, XK_Down, XK_Return}) {
    Key(key, true);
    Key(key, false);
  }
  NavDialogCreationOptions options;
  NavGetDefaultDialogCreationOptions(&options);
  NavClient client;
  NavDialogRef dialog = nullptr;
  ASSERT_EQ(noErr, NavCreateGetFileDialog(&options, nullptr, &NavEvents, nullptr, nullptr, &client,
                                          &dialog));
  EXPECT_EQ(noErr, NavDialogRun(dialog));
  ::setenv("HOME", oldHome.c_str(), 1);

  EXPECT_EQ(std::vector<NavUserAction>{kNavUserActionOpen}, client.actions);
  ASSERT_EQ(1u, client.replied.size());
  EXPECT_EQ(std::filesystem::canonical(folder / "first.krx"),
            std::filesystem::canonical(client.replied.front()));
  std::filesystem::remove_all(folder);
}

// The root window's pixels as 0xRRGGBB.
class RootImage {
public:
  explicit RootImage(Display* display) : m_Display(display) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    m_Image =
        XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  }
  ~RootImage() {
    if (m_Image)
      XDestroyImage(m_Image);
  }
  RootImage(const RootImage&) = delete;
  RootImage& operator=(const RootImage&) = delete;
  UInt32 Pixel(int x, int y) const {
    return static_cast<UInt32>(XGetPixel(m_Image, x, y)) & 0xFFFFFFu;
  }
  bool Valid() const { return m_Image != nullptr; }

private:
  Display* m_Display;
  XImage* m_Image = nullptr;
};

TEST_F(PresenterScreenTest, TheDisplayShowsWhatTheScreenModelComposesOverlaysIncluded) {
  MenuRef root = nullptr;
  MenuRef menu = nullptr;
  ASSERT_EQ(noErr, CreateNewMenu(0, 0, &root));
  ASSERT_EQ(noErr, CreateNewMenu(1, 0, &menu));
  m_Menus = {menu, root};
  SetMenuTitleWithCFString(menu, CFSTR("File"));
  AppendMenuItemTextWithCFString(root, CFSTR("File"), 0, 0, nullptr);
  SetMenuItemHierarchicalMenu(root, 1, menu);
  SetRootMenu(root);
  ShowWindowAt(Rect{100, 100, 300, 400});
  WindowRef front = ShowWindowAt(Rect{200, 250, 400, 600});
  // An overlay over both, transparent but for what it draws: here nothing, so the windows and
  // the desktop beneath show through it.
  WindowRef overlay = nullptr;
  Rect overlayBounds{150, 50, 350, 500};
  ASSERT_EQ(noErr,
            CreateNewWindow(kOverlayWindowClass, kWindowNoAttributes, &overlayBounds, &overlay));
  m_Windows.push_back(overlay);
  ShowWindow(overlay);
  // The display's desktop is the user's; this one's is painted as the model's.
  XSetWindowBackground(m_Driver, DefaultRootWindow(m_Driver), kStandInDesktopColour & 0xFFFFFFu);
  XClearWindow(m_Driver, DefaultRootWindow(m_Driver));
  WaitUntilShownAndFocused(front);
  ASSERT_TRUE(PumpUntil([&] {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(m_Driver, m_Presenter->XWindowOf(overlay), &attributes) &&
           attributes.map_state == IsViewable;
  }));
  m_Presenter->Present();
  ASSERT_EQ(noErr, StandIn_ScreenRender());
  XSync(m_Driver, False);
  const RootImage shot(m_Driver);
  ASSERT_TRUE(shot.Valid());

  // A grid of probes over the menu bar, the windows, the overlay and the desktop.
  int compared = 0;
  for (int y = 2; y < 460; y += 9)
    for (int x = 3; x < 700; x += 11) {
      const UInt32 model = StandIn_ScreenPixel(x, y) & 0xFFFFFFu;
      ASSERT_EQ(model, shot.Pixel(x, y)) << "at " << x << ", " << y;
      ++compared;
    }
  EXPECT_GT(compared, 2000);
}

}  // namespace
