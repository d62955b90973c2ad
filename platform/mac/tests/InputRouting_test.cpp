// Raw input through the stand-in's routing: hit testing, clicks and their counts, keys and the
// keyboard map, mouse tracking from the input source, menus' command rounds, and the scripted
// answers of modal controls and alerts.
#include "StandInRoutingTest.h"

#include <PPx/PPxCommandDoers.h>
#include <PPx/PPxInputDoers.h>
#include <PPx/PPxView.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UInt32 kGo = 0x476f2020;     // 'Go  '
constexpr UInt32 kOpen = 0x6f70656e;   // 'open'
constexpr UInt32 kClose = 0x636c6f73;  // 'clos'

// Records the commands that reach a target and their update-status rounds, as "where:kind:code".
class CommandLog : public PPx::CommandConverter {
public:
  CommandLog(EventTargetRef target, std::string name, std::vector<std::string>* log)
      : m_Name(std::move(name)),
        m_Log(log) {
    Install(target);
  }
  std::vector<UInt32> handled;  // commands it answers
  std::vector<UInt32> enabled;  // commands it enables in the round (others it disables)

protected:
  OSStatus DoCommandProcess(PPx::SysCarbonEvent&, HICommand& command, UInt32, UInt32) override {
    return Record("process", command);
  }
  OSStatus DoCommandUpdateStatus(PPx::SysCarbonEvent&, HICommand& command, UInt32) override {
    if (Handles(command.commandID))
      PPx::EventUtils::SetMenuCommandStatus(command, Enables(command.commandID));
    return Record("status", command);
  }

private:
  bool Handles(UInt32 id) const {
    return std::find(handled.begin(), handled.end(), id) != handled.end();
  }
  bool Enables(UInt32 id) const {
    return std::find(enabled.begin(), enabled.end(), id) != enabled.end();
  }
  OSStatus Record(const char* kind, const HICommand& command) {
    const char code[] = {
        static_cast<char>(command.commandID >> 24), static_cast<char>(command.commandID >> 16),
        static_cast<char>(command.commandID >> 8), static_cast<char>(command.commandID), 0};
    m_Log->push_back(m_Name + ":" + kind + ":" + code);
    return Handles(command.commandID) ? noErr : eventNotHandledErr;
  }
  std::string m_Name;
  std::vector<std::string>* m_Log;
};

class InputRoutingTest : public StandInRoutingTest {};

TEST_F(InputRoutingTest, ClicksReachOnlyTheViewsAUserCouldClick) {
  struct Case {
    const char* what;
    bool hidden;
    bool disabled;
    bool sheet;
    bool overlay;
    WindowAttributes overlayAttributes;
    long commands;
    long beeps;
  };
  const Case cases[] = {
      {"a plain button", false, false, false, false, 0, 1, 0},
      {"a hidden button", true, false, false, false, 0, 0, 0},
      {"a disabled button", false, true, false, false, 0, 0, 0},
      {"a sheet over its window", false, false, true, false, 0, 0, 1},
      {"an overlay that lets clicks through", false, false, false, true,
       kWindowIgnoreClicksAttribute, 1, 0},
      {"an overlay that takes clicks", false, false, false, true, kWindowNoAttributes, 0, 0},
  };
  for (const Case& c : cases) {
    WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
    HIViewRef button = AddView(window, "push", CGRectMake(10, 10, 80, 20));
    SetControlCommandID(button, kGo);
    std::vector<std::string> log;
    CommandLog commands(GetWindowEventTarget(window), "window", &log);
    if (c.hidden)
      HIViewSetVisible(button, false);
    if (c.disabled)
      DisableControl(button);
    if (c.sheet)
      ShowSheetWindow(Make(kSheetWindowClass, Rect{0, 0, 50, 100}, false), window);
    if (c.overlay)
      Make(kOverlayWindowClass, Rect{100, 100, 300, 400}, true, c.overlayAttributes);
    const long beeps = StandIn_BeepCount();
    StandIn_AdvanceClock(1);
    Click(115, 115);
    EXPECT_EQ(c.commands, static_cast<long>(log.size())) << c.what;
    EXPECT_EQ(c.beeps, StandIn_BeepCount() - beeps) << c.what;
    commands.Remove();
    for (WindowRef made : m_Windows)
      DisposeWindow(made);
    m_Windows.clear();
  }
}

TEST_F(InputRoutingTest, AClickOnAnInactiveWindowOnlyActivatesIt) {
  WindowRef back = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef button = AddView(back, "push", CGRectMake(10, 10, 80, 20));
  SetControlCommandID(button, kGo);
  Make(kDocumentWindowClass, Rect{100, 500, 300, 800});
  std::vector<std::string> log;
  CommandLog commands(GetWindowEventTarget(back), "window", &log);
  Click(115, 115);
  EXPECT_EQ(back, ActiveNonFloatingWindow());
  EXPECT_TRUE(log.empty());
  StandIn_AdvanceClock(1);
  Click(115, 115);
  EXPECT_EQ((std::vector<std::string>{"window:process:Go  "}), log);
}

TEST_F(InputRoutingTest, PressesCloseInTimeAndPlaceCountAsOneMoreClick) {
  EXPECT_EQ(30u, GetDblTime());
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  std::vector<UInt32> counts;
  auto record = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
    UInt32 count = 0;
    GetEventParameter(event, kEventParamClickCount, typeUInt32, nullptr, sizeof count, nullptr,
                      &count);
    static_cast<std::vector<UInt32>*>(data)->push_back(count);
    return noErr;
  };
  const EventTypeSpec type = {kEventClassMouse, kEventMouseDown};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(window), record, 1, &type, &counts, &handler);
  struct Step {
    double after;  // seconds since the last press
    CGFloat x;
  };
  const Step steps[] = {{1, 150}, {0.2, 150}, {0.4, 152}, {0.6, 152}, {0.1, 170}, {0.1, 170}};
  for (const Step& step : steps) {
    StandIn_AdvanceClock(step.after);
    Click(step.x, 150);
  }
  EXPECT_EQ((std::vector<UInt32>{1, 2, 3, 1, 1, 2}), counts);
  RemoveEventHandler(handler);
}

// A custom pane that records the raw keys and wheel events that reach it.
class KeyPane : public PPx::RawKeyDownDoer,
                public PPx::RawKeyUpDoer,
                public PPx::RawKeyModifiersChangedDoer,
                public PPx::MouseWheelMovedDoer,
                public PPx::MouseEnteredDoer,
                public PPx::MouseExitedDoer {
public:
  explicit KeyPane(HIViewRef view) {
    EventTargetRef target = GetControlEventTarget(view);
    RawKeyDownDoer::Install(target);
    RawKeyUpDoer::Install(target);
    RawKeyModifiersChangedDoer::Install(target);
    MouseWheelMovedDoer::Install(target);
    MouseEnteredDoer::Install(target);
    MouseExitedDoer::Install(target);
  }
  std::vector<std::string> log;

protected:
  OSStatus DoRawKeyDown(PPx::SysCarbonEvent&, char key, UInt32 code, UInt32 modifiers,
                        UInt32) override {
    log.push_back("down " + std::string(1, key) + " " + std::to_string(code) + " " +
                  std::to_string(modifiers));
    return noErr;
  }
  OSStatus DoRawKeyUp(PPx::SysCarbonEvent&, char key, UInt32 code, UInt32, UInt32) override {
    log.push_back("up " + std::string(1, key) + " " + std::to_string(code));
    return noErr;
  }
  OSStatus DoRawKeyModifiersChanged(PPx::SysCarbonEvent&, UInt32 modifiers) override {
    log.push_back("modifiers " + std::to_string(modifiers));
    return noErr;
  }
  OSStatus DoMouseWheelMoved(PPx::SysCarbonEvent&, const CGPoint& where, EventMouseWheelAxis axis,
                             SInt32 delta, UInt32) override {
    log.push_back("wheel " + std::to_string(axis) + " " + std::to_string(delta) + " at " +
                  std::to_string(static_cast<int>(where.x)));
    return noErr;
  }
  OSStatus DoMouseEntered(PPx::SysCarbonEvent&, const CGPoint&) override {
    log.push_back("entered");
    return noErr;
  }
  OSStatus DoMouseExited(PPx::SysCarbonEvent&, const CGPoint&) override {
    log.push_back("exited");
    return noErr;
  }
};

TEST_F(InputRoutingTest, KeysGoToTheFocusWithTheirMacKeyCodesAndFillTheKeyMap) {
  struct Case {
    UniChar character;
    UInt32 code;
  };
  const Case codes[] = {{' ', 49}, {'a', 0},  {'A', 0},  {'z', 6},   {'\r', 36},    {'\t', 48},
                        {'=', 24}, {'+', 24}, {'.', 47}, {0x1b, 53}, {0xe9, 0xFFFF}};
  for (const Case& c : codes)
    EXPECT_EQ(c.code, StandIn_KeyCodeOf(c.character)) << c.character;

  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef pane = AddView(window, "textview", CGRectMake(0, 0, 100, 100));
  KeyPane keys(pane);
  SetKeyboardFocus(window, pane, kControlFocusNextPart);

  EXPECT_EQ(noErr, StandIn_DeliverInput(Key(StandIn_InputKind::KeyDown, ' ', shiftKey)));
  KeyMap map;
  GetKeys(map);
  UInt8 bytes[16];
  std::memcpy(bytes, map, sizeof bytes);
  UInt8 spaceAlone[16] = {};
  spaceAlone[6] = 0x02;  // key code 49: byte 6, bit 1
  EXPECT_EQ(0, std::memcmp(spaceAlone, bytes, sizeof bytes));
  EXPECT_EQ(shiftKey, GetCurrentKeyModifiers());
  StandIn_Input modifiers;
  modifiers.kind = StandIn_InputKind::ModifiersChanged;
  modifiers.modifiers = cmdKey | optionKey;
  StandIn_DeliverInput(modifiers);
  EXPECT_EQ(cmdKey | optionKey, GetCurrentKeyModifiers());
  StandIn_DeliverInput(Key(StandIn_InputKind::KeyUp, ' '));
  GetKeys(map);
  std::memcpy(bytes, map, sizeof bytes);
  const UInt8 none[16] = {};
  EXPECT_EQ(0, std::memcmp(none, bytes, sizeof bytes));

  StandIn_Input wheel = Mouse(StandIn_InputKind::Wheel, 150, 150);
  wheel.wheelDelta = -3;
  StandIn_DeliverInput(wheel);
  StandIn_DeliverInput(Mouse(StandIn_InputKind::MouseMoved, 150, 150));
  StandIn_DeliverInput(Mouse(StandIn_InputKind::MouseMoved, 350, 250));
  EXPECT_EQ((std::vector<std::string>{"down   49 512", "modifiers 2304", "up   49",
                                      "wheel 1 -3 at 150", "entered", "exited"}),
            keys.log);
}

TEST_F(InputRoutingTest, TypedTextReplacesATextViewsSelection) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef text = AddView(window, "textview", CGRectMake(0, 0, 100, 100));
  SetKeyboardFocus(window, text, kControlFocusNextPart);
  StandIn_Input input;
  input.kind = StandIn_InputKind::Text;
  input.text = u"d\u00e9j\u00e0";
  EXPECT_EQ(noErr, StandIn_DeliverInput(input));
  EXPECT_EQ(noErr, StandIn_DeliverInput(Key(StandIn_InputKind::KeyDown, '!')));
  TXNObject object = HITextViewGetTXNObject(text);
  TXNOffset start = 0;
  TXNOffset end = 0;
  TXNGetSelection(object, &start, &end);
  EXPECT_EQ(5u, start);
  EXPECT_EQ(5u, end);
}

TEST_F(InputRoutingTest, TrackingLoopsTakeTheirInputFromTheSource) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  Point where{0, 0};
  MouseTrackingResult result = 0;
  struct Step {
    StandIn_Input input;
    MouseTrackingResult result;
    short h, v;  // in the window's port
  };
  const Step steps[] = {
      {Mouse(StandIn_InputKind::MouseMoved, 150, 120), kMouseTrackingMouseDragged, 50, 20},
      {Key(StandIn_InputKind::KeyDown, 0x1b), kMouseTrackingUserCancelled, 50, 20},
      {Mouse(StandIn_InputKind::MouseUp, 160, 130), kMouseTrackingMouseUp, 60, 30},
  };
  for (const Step& step : steps) {
    StandIn_ScriptInput(step.input);
    EXPECT_EQ(noErr, TrackMouseLocation(GetWindowPort(window), &where, &result));
    EXPECT_EQ(step.result, result);
    EXPECT_EQ((std::vector<short>{step.h, step.v}), (std::vector<short>{where.h, where.v}));
  }
  // With nothing more the button is up where the mouse is.
  EXPECT_EQ(noErr, TrackMouseLocation(nullptr, &where, &result));
  EXPECT_EQ(kMouseTrackingMouseUp, result);
  EXPECT_EQ(160, where.h);

  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 161, 131));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 170, 131));
  EXPECT_TRUE(WaitMouseMoved(Point{130, 160}));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseUp, 160, 130));
  EXPECT_FALSE(WaitMouseMoved(Point{130, 160}));

  // Dragging by the title bar follows the mouse until the release.
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 220, 100));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseUp, 250, 120));
  EXPECT_EQ(noErr, Click(200, 90));
  Rect structure;
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  EXPECT_EQ((std::vector<short>{108, 150}), (std::vector<short>{structure.top, structure.left}));
}

TEST_F(InputRoutingTest, AButtonReleasedOutsideSendsNoCommand) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef button = AddView(window, "push", CGRectMake(10, 10, 80, 20));
  SetControlCommandID(button, kGo);
  std::vector<std::string> log;
  CommandLog commands(GetWindowEventTarget(window), "window", &log);
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 300, 300));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseUp, 300, 300));
  Click(115, 115);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(kControlNoPart, GetControlHilite(button));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseMoved, 300, 300));
  StandIn_ScriptInput(Mouse(StandIn_InputKind::MouseUp, 120, 118));
  StandIn_AdvanceClock(1);
  Click(115, 115);
  EXPECT_EQ(1u, log.size());
}

class MenuRoundTest : public InputRoutingTest {
protected:
  void SetUp() override {
    InputRoutingTest::SetUp();
    CreateNewMenu(0, 0, &m_Bar);
    CreateNewMenu(1, 0, &m_File);
    AppendMenuItemTextWithCFString(m_File, CFSTR("Open"), 0, kOpen, nullptr);
    AppendMenuItemTextWithCFString(m_File, CFSTR(""), kMenuItemAttrSeparator, 0, nullptr);
    AppendMenuItemTextWithCFString(m_File, CFSTR("Close"), 0, kClose, nullptr);
    SetItemCmd(m_File, 1, 'O');
    SetItemCmd(m_File, 3, 'W');
    AppendMenuItemTextWithCFString(m_Bar, CFSTR("File"), 0, 0, nullptr);
    SetMenuItemHierarchicalMenu(m_Bar, 1, m_File);
    SetRootMenu(m_Bar);
  }
  void TearDown() override {
    SetRootMenu(nullptr);
    DisposeMenu(m_File);
    DisposeMenu(m_Bar);
    InputRoutingTest::TearDown();
  }
  MenuRef m_Bar = nullptr;
  MenuRef m_File = nullptr;
};

TEST_F(MenuRoundTest, KeyEquivalentsAskTheFocusChainAndDisabledItemsDoNothing) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef pane = AddView(window, "textview", CGRectMake(0, 0, 100, 100));
  SetKeyboardFocus(window, pane, kControlFocusNextPart);
  KeyPane keys(pane);
  std::vector<std::string> log;
  CommandLog windowCommands(GetWindowEventTarget(window), "window", &log);
  CommandLog appCommands(GetApplicationEventTarget(), "app", &log);
  windowCommands.handled = {kOpen};
  windowCommands.enabled = {kOpen};
  appCommands.handled = {kClose};  // and leaves it disabled

  EXPECT_EQ(noErr, StandIn_DeliverInput(Key(StandIn_InputKind::KeyDown, 'o', cmdKey)));
  EXPECT_EQ((std::vector<std::string>{"window:status:open", "window:process:open"}), log);
  EXPECT_TRUE(keys.log.empty());

  log.clear();
  StandIn_DeliverInput(Key(StandIn_InputKind::KeyDown, 'w', cmdKey));
  EXPECT_EQ((std::vector<std::string>{"window:status:clos", "app:status:clos"}), log);
  EXPECT_FALSE(IsMenuItemEnabled(m_File, 3));
  EXPECT_EQ((std::vector<std::string>{"down w 13 256"}), keys.log);  // on to the focus

  log.clear();
  EXPECT_EQ(eventNotHandledErr, StandIn_ChooseMenuItem(m_File, 3));
  EXPECT_EQ(eventNotHandledErr, StandIn_ChooseMenuItem(m_File, 2));  // the separator
  EXPECT_EQ(noErr, StandIn_ChooseMenuItem(m_File, 1));
  EXPECT_EQ((std::vector<std::string>{"window:status:clos", "app:status:clos", "window:status:open",
                                      "window:process:open"}),
            log);

  // Opening the menu asks about every item with a command, the separator left out.
  log.clear();
  EXPECT_EQ(eventNotHandledErr, StandIn_OpenMenu(m_File));
  EXPECT_EQ(
      (std::vector<std::string>{"window:status:open", "window:status:clos", "app:status:clos"}),
      log);

  // Without a window the application is the whole chain.
  HideWindow(window);
  log.clear();
  appCommands.enabled = {kClose};
  EXPECT_EQ(noErr, StandIn_ChooseMenuItem(m_File, 3));
  EXPECT_EQ((std::vector<std::string>{"app:status:clos", "app:process:clos"}), log);
}

TEST_F(InputRoutingTest, EachKindOfAnswerHasItsOwnQueueAndImpossibleAnswersAreReported) {
  WindowRef window = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  HIViewRef slider = AddView(window, "slider", CGRectMake(10, 10, 100, 20));
  SetControl32BitMaximum(slider, 100);
  StandIn_ScriptAnswer(StandIn_AnswerKind::Slider, 40);

  // An alert nobody expected takes nothing of the slider's.
  AlertStdCFStringAlertParamRec param;
  GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);
  DialogRef alert = nullptr;
  CreateStandardAlert(kAlertNoteAlert, CFSTR("Note"), nullptr, &param, &alert);
  DialogItemIndex hit = 0;
  RunStandardAlert(alert, nullptr, &hit);
  EXPECT_EQ(kAlertStdAlertOKButton, hit);
  StandIn_ClickView(slider, CGPointMake(5, 5), 0);
  EXPECT_EQ(40, GetControl32BitValue(slider));

  struct Case {
    StandIn_AnswerKind kind;
    long answer;
    const char* fault;
  };
  const Case cases[] = {
      {StandIn_AnswerKind::Alert, 3, "the alert cannot answer 3: it takes 1 to 1"},
      {StandIn_AnswerKind::Slider, 101, "the slider cannot answer 101: it takes 0 to 100"},
  };
  for (const Case& c : cases) {
    StandIn_ScriptAnswer(c.kind, c.answer);
    if (c.kind == StandIn_AnswerKind::Alert) {
      CreateStandardAlert(kAlertNoteAlert, CFSTR("Note"), nullptr, &param, &alert);
      RunStandardAlert(alert, nullptr, &hit);
      EXPECT_EQ(kAlertStdAlertOKButton, hit);
    } else {
      StandIn_ClickView(slider, CGPointMake(5, 5), 0);
      EXPECT_EQ(40, GetControl32BitValue(slider));
    }
    EXPECT_EQ(std::vector<std::string>{c.fault}, StandIn_TakeScriptFaults());
  }
  // Other but no cancel button: 2 is no answer.
  param.otherText = CFSTR("Other");
  StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, 2);
  CreateStandardAlert(kAlertNoteAlert, CFSTR("Note"), nullptr, &param, &alert);
  RunStandardAlert(alert, nullptr, &hit);
  EXPECT_EQ(kAlertStdAlertOKButton, hit);
  EXPECT_EQ(1u, StandIn_TakeScriptFaults().size());
}

TEST_F(InputRoutingTest, EveryFrameMoveTellsTheViewAndControlDataTakesOnlyKnownTags) {
  HIViewRef view = StandIn_NewView("userpane", CGRectMake(0, 0, 10, 10));
  std::vector<UInt32> attributes;
  auto record = [](EventHandlerCallRef, EventRef event, void* data) -> OSStatus {
    UInt32 value = 0;
    GetEventParameter(event, kEventParamAttributes, typeUInt32, nullptr, sizeof value, nullptr,
                      &value);
    static_cast<std::vector<UInt32>*>(data)->push_back(value);
    return noErr;
  };
  const EventTypeSpec type = {kEventClassControl, kEventControlBoundsChanged};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetControlEventTarget(view), record, 1, &type, &attributes, &handler);
  HIViewPlaceInSuperviewAt(view, 5, 5);
  HIViewPlaceInSuperviewAt(view, 5, 5);  // no change, no event
  HIViewMoveBy(view, 1, 0);
  const HIRect frame = CGRectMake(6, 5, 20, 20);
  HIViewSetFrame(view, &frame);
  EXPECT_EQ((std::vector<UInt32>{1, 1, 2}), attributes);
  RemoveEventHandler(handler);

  struct Case {
    const char* kind;
    ResType tag;
    OSStatus status;
  };
  const Case cases[] = {
      {"push", 0x74657374, errDataNotSupported},
      {"slider", kControlStaticTextCFStringTag, errDataNotSupported},
      {"progress", 0x696e6465, noErr},
      {"userpane", 0x74657374, noErr},
  };
  for (const Case& c : cases) {
    HIViewRef control = StandIn_NewView(c.kind, CGRectMake(0, 0, 10, 10));
    const Boolean value = true;
    EXPECT_EQ(c.status, SetControlData(control, 0, c.tag, sizeof value, &value)) << c.kind;
    CFRelease(control);
  }
  CFRelease(view);
}

TEST_F(InputRoutingTest, AViewIsActiveWhileItsWindowIs) {
  WindowRef first = Make(kDocumentWindowClass, Rect{100, 100, 300, 400});
  PPx::BaseView view;
  view.Initialize(CGRectMake(0, 0, 10, 10), 0);
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(first), kHIViewWindowContentID, &content);
  HIViewAddSubview(content, view.GetSysView());
  EXPECT_TRUE(view.IsActive());
  Make(kDocumentWindowClass, Rect{100, 500, 300, 800});
  EXPECT_FALSE(view.IsActive());
  HIViewRemoveFromSuperview(view.GetSysView());
  EXPECT_TRUE(view.IsActive());  // in no window
}

}  // namespace
