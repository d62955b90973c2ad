// Views, controls, menus, windows, text views, alerts and scripted input of the stand-in.
#include "StandInToolboxTest.h"

#include <string>
#include <vector>

namespace {

class HIToolboxTest : public StandInToolboxTest {};

constexpr OSType kSig = 0x74657374;  // 'test'

HIViewRef ContentOf(WindowRef window) {
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  return content;
}

std::string Text(CFStringRef text) {
  char buffer[256] = {};
  CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8);
  CFRelease(text);
  return buffer;
}

TEST_F(HIToolboxTest, RemovingAViewDropsTheSuperviewsReference) {
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 100, 100));
  HIViewRef button = StandIn_NewView("push", CGRectMake(0, 0, 10, 10));
  const ControlID id = {kSig, 3};
  SetControlID(button, &id);
  HIViewAddSubview(pane, button);
  CFRelease(button);  // the pane's reference is the only one now
  HIViewRef found = nullptr;
  ASSERT_EQ(noErr, HIViewFindByID(pane, id, &found));
  EXPECT_EQ(button, found);
  EXPECT_EQ(1, CFGetRetainCount(found));
  const long live = StandIn_CFLiveObjectCount();
  HIViewRemoveFromSuperview(found);  // frees it, as on the Mac
  EXPECT_EQ(live - 1, StandIn_CFLiveObjectCount());
  EXPECT_EQ(errUnknownControl, HIViewFindByID(pane, id, &found));
  EXPECT_EQ(nullptr, found);
  CFRelease(pane);
}

TEST_F(HIToolboxTest, ConvertingPointsGoesThroughTheRootRelativeToTheStructure) {
  WindowRef window = NewWindow();
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIRect frame;
  HIViewGetFrame(content, &frame);
  EXPECT_EQ(22.0f, frame.origin.y);
  HIViewRef box = StandIn_NewView("userpane", CGRectMake(10, 20, 100, 100));
  HIViewRef inner = StandIn_NewView("push", CGRectMake(5, 6, 50, 20));
  HIViewAddSubview(content, box);
  HIViewAddSubview(box, inner);
  HIPoint point = {1, 2};
  EXPECT_EQ(noErr, HIViewConvertPoint(&point, inner, nullptr));
  EXPECT_EQ(16.0f, point.x);
  EXPECT_EQ(50.0f, point.y);  // 2 + 6 + 20 + 22
  EXPECT_EQ(noErr, HIViewConvertPoint(&point, nullptr, box));
  EXPECT_EQ(6.0f, point.x);
  EXPECT_EQ(8.0f, point.y);
  HIViewRef loose = StandIn_NewView("push", CGRectMake(0, 0, 1, 1));
  EXPECT_EQ(errInvalidWindowRef, HIViewConvertPoint(&point, inner, loose));
  EXPECT_EQ(window, HIViewGetWindow(inner));
  EXPECT_EQ(nullptr, HIViewGetWindow(loose));

  HIViewSetNeedsDisplay(inner, true);
  HIViewSetNeedsDisplay(inner, true);
  EXPECT_EQ(2, StandIn_HIViewDisplayRequests(inner));
  HIViewSetVisible(box, false);
  EXPECT_FALSE(HIViewIsVisible(inner));
  EXPECT_TRUE(HIViewIsLatentlyVisible(inner));
  CFRelease(loose);
  CFRelease(inner);
  CFRelease(box);
  DisposeWindow(window);
}

struct ValueLog {
  std::vector<SInt32> values;
};

OSStatus LogValue(EventHandlerCallRef, EventRef event, void* data) {
  ControlRef control = nullptr;
  GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof control,
                    nullptr, &control);
  static_cast<ValueLog*>(data)->values.push_back(GetControl32BitValue(control));
  return eventNotHandledErr;
}

const EventTypeSpec kValueChanged = {kEventClassControl, kEventControlValueFieldChanged};

TEST_F(HIToolboxTest, ValuesAreClampedAndReportOnlyRealChanges) {
  HIViewRef slider = StandIn_NewView("slider", CGRectMake(0, 0, 100, 20));
  ValueLog log;
  InstallControlEventHandler(slider, LogValue, 1, &kValueChanged, &log, nullptr);
  SetControl32BitValue(slider, 40);
  SetControl32BitValue(slider, 40);
  SetControl32BitValue(slider, 500);   // clamped to 100
  SetControl32BitMaximum(slider, 50);  // pulls the value in
  SetControl32BitMinimum(slider, 60);  // raises the maximum too
  EXPECT_EQ((std::vector<SInt32>{40, 100, 50, 60}), log.values);
  EXPECT_EQ(60, GetControl32BitMaximum(slider));
  CFRelease(slider);
}

void ActionProc(ControlRef, ControlPartCode) {}

TEST_F(HIToolboxTest, ControlsKeepTheirIdentityAndState) {
  StandIn_EventLogRecord(true);
  HIViewRef view = StandIn_NewView("bevel", CGRectMake(0, 0, 10, 10));
  int object = 0;
  SetControlReference(view, reinterpret_cast<SRefCon>(&object));
  EXPECT_EQ(&object, reinterpret_cast<int*>(GetControlReference(view)));
  SetControlAction(view, ActionProc);
  EXPECT_EQ(ActionProc, GetControlAction(view));
  HIViewChangeFeatures(view, 0x5, 0);
  HIViewChangeFeatures(view, 0x2, 0x1);
  HIViewFeatures features = 0;
  HIViewGetFeatures(view, &features);
  EXPECT_EQ(0x6u, features);
  DisableControl(view);
  DeactivateControl(view);
  HiliteControl(view, kControlButtonPart);
  EXPECT_FALSE(IsControlEnabled(view));
  EXPECT_FALSE(IsControlActive(view));
  EXPECT_EQ(kControlButtonPart, GetControlHilite(view));
  // A disabled control is hit-tested but not tracked.
  EXPECT_EQ(kControlButtonPart, StandIn_ClickView(view, CGPointMake(1, 1), 0));
  EXPECT_EQ(0, StandIn_EventLogCountOf(kEventClassControl, kEventControlTrack));
  SetControlTitleWithCFString(view, CFSTR("Go"));
  Rect best;
  GetBestControlRect(view, &best, nullptr);
  EXPECT_EQ(28 + 14, best.right - best.left);
  EXPECT_EQ(20, best.bottom - best.top);
  CFRelease(view);
}

TEST_F(HIToolboxTest, ControlDataGoesThroughTheDataEventsAndIsKeptByTag) {
  StandIn_EventLogRecord(true);
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 10, 10));
  const SInt32 stored = 77;
  EXPECT_EQ(noErr, SetControlData(pane, 0, 0x64617461, sizeof stored, &stored));
  Size size = 0;
  EXPECT_EQ(noErr, GetControlDataSize(pane, 0, 0x64617461, &size));
  EXPECT_EQ(static_cast<Size>(sizeof stored), size);
  SInt32 read = 0;
  EXPECT_EQ(noErr, GetControlData(pane, 0, 0x64617461, sizeof read, &read, &size));
  EXPECT_EQ(77, read);
  SInt16 small = 0;
  EXPECT_EQ(errDataSizeMismatch, GetControlData(pane, 0, 0x64617461, sizeof small, &small, &size));
  EXPECT_EQ(errDataNotSupported, GetControlData(pane, 0, 0x6e6f6e65, sizeof read, &read, &size));
  EXPECT_EQ(4, StandIn_EventLogCountOf(kEventClassControl, kEventControlGetData));

  HIViewRef label = StandIn_NewView("statictext", CGRectMake(0, 0, 10, 10));
  CFStringRef text = CFSTR("Label");
  SetControlData(label, 0, kControlStaticTextCFStringTag, sizeof text, &text);
  CFStringRef copy = nullptr;
  GetControlData(label, 0, kControlStaticTextCFStringTag, sizeof copy, &copy, nullptr);
  EXPECT_EQ("Label", Text(copy));
  Rect best;
  GetBestControlRect(label, &best, nullptr);
  EXPECT_EQ(35, best.right - best.left);
  CFRelease(label);
  CFRelease(pane);
}

struct ClickLog {
  std::vector<std::string> events;
  UInt32 modifiers = 0;
};

OSStatus LogClick(EventHandlerCallRef, EventRef event, void* data) {
  auto log = static_cast<ClickLog*>(data);
  const UInt32 kind = GetEventKind(event);
  log->events.push_back(GetEventClass(event) == kEventClassCommand ? "command"
                        : kind == kEventControlHitTest             ? "hittest"
                        : kind == kEventControlTrack               ? "track"
                                                                   : "hit");
  if (kind == kEventControlHit && GetEventClass(event) == kEventClassControl)
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof(UInt32), nullptr,
                      &log->modifiers);
  return eventNotHandledErr;
}

TEST_F(HIToolboxTest, AScriptedClickRunsHitTestTrackHitAndTheCommand) {
  WindowRef window = NewWindow();
  HIViewRef check = StandIn_NewView("check", CGRectMake(10, 10, 80, 20));
  HIViewAddSubview(ContentOf(window), check);
  SetControlCommandID(check, 0x63686b20);
  ClickLog log;
  const EventTypeSpec events[] = {{kEventClassControl, kEventControlHitTest},
                                  {kEventClassControl, kEventControlTrack},
                                  {kEventClassControl, kEventControlHit},
                                  {kEventClassCommand, kEventCommandProcess}};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(check, LogClick, 4, events, &log, &handler);
  EventHandlerRef windowHandler = nullptr;
  InstallWindowEventHandler(window, LogClick, 1, &events[3], &log, &windowHandler);
  EXPECT_EQ(kControlCheckBoxPart, StandIn_ClickView(check, CGPointMake(5, 5), cmdKey));
  EXPECT_EQ((std::vector<std::string>{"hittest", "track", "hit", "command", "command"}),
            log.events);
  EXPECT_EQ(cmdKey, log.modifiers);
  EXPECT_EQ(1, GetControl32BitValue(check));
  log.events.clear();
  EXPECT_EQ(kControlNoPart, StandIn_ClickView(check, CGPointMake(85, 5), 0));
  EXPECT_EQ(std::vector<std::string>{"hittest"}, log.events);
  RemoveEventHandler(handler);
  RemoveEventHandler(windowHandler);
  CFRelease(check);
  DisposeWindow(window);
}

TEST_F(HIToolboxTest, MenusKeepCommandsMarksAndEnablingAndSendCommands) {
  MenuRef bar = nullptr;
  MenuRef file = nullptr;
  CreateNewMenu(0, 0, &bar);
  CreateNewMenu(1, 0, &file);
  MenuItemIndex index = 0;
  AppendMenuItemTextWithCFString(bar, CFSTR("File"), 0, 0, &index);
  SetMenuItemHierarchicalMenu(bar, index, file);
  AppendMenuItemTextWithCFString(file, CFSTR("Open"), 0, 0x6f70656e, nullptr);
  AppendMenuItemTextWithCFString(file, CFSTR("Close"), 0, 0x636c6f73, nullptr);
  SetRootMenu(bar);
  MenuRef found = nullptr;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, 0x636c6f73, 1, &found, &index));
  EXPECT_EQ(file, found);
  EXPECT_EQ(2, index);
  DisableMenuCommand(nullptr, 0x636c6f73);
  EXPECT_FALSE(IsMenuItemEnabled(file, 2));
  CheckMenuItem(file, 1, true);
  CharParameter mark = 0;
  GetItemMark(file, 1, &mark);
  EXPECT_EQ(checkMark, mark);
  ClickLog log;
  const EventTypeSpec process = {kEventClassCommand, kEventCommandProcess};
  EventHandlerRef handler = nullptr;
  InstallApplicationEventHandler(LogClick, 1, &process, &log, &handler);
  StandIn_ChooseMenuItem(file, 1);
  EXPECT_EQ(std::vector<std::string>{"command"}, log.events);
  RemoveEventHandler(handler);
  DeleteMenuItems(file, 1, 2);
  EXPECT_EQ(0, CountMenuItems(file));
  SetRootMenu(nullptr);
  DisposeMenu(file);
  DisposeMenu(bar);
}

TEST_F(HIToolboxTest, WindowsKeepZOrderBoundsLimitsAndProperties) {
  WindowRef back = NewWindow(Rect{100, 100, 300, 400});
  WindowRef front = NewWindow(Rect{50, 50, 150, 150});
  EXPECT_EQ(nullptr, FrontWindow());  // only visible windows count
  ShowWindow(back);
  EXPECT_EQ(back, FrontWindow());
  EXPECT_EQ(front, GetFrontWindowOfClass(kDocumentWindowClass, false));
  ShowWindow(front);
  EXPECT_EQ(front, FrontWindow());
  SendBehind(front, back);
  EXPECT_EQ(back, FrontWindow());
  EXPECT_EQ(back, GetFrontWindowOfClass(kDocumentWindowClass, true));

  Rect r;
  GetWindowBounds(back, kWindowStructureRgn, &r);
  EXPECT_EQ((std::vector<short>{78, 100, 300, 400}),
            (std::vector<short>{r.top, r.left, r.bottom, r.right}));
  GetWindowBounds(back, kWindowTitleBarRgn, &r);
  EXPECT_EQ(22, r.bottom - r.top);
  CollapseWindow(back, true);
  GetWindowBounds(back, kWindowStructureRgn, &r);
  EXPECT_EQ(22, r.bottom - r.top);
  CollapseWindow(back, false);

  const HISize minimum = {100, 80};
  SetWindowResizeLimits(back, &minimum, nullptr);
  HISize readMin;
  HISize readMax;
  GetWindowResizeLimits(back, &readMin, &readMax);
  EXPECT_EQ(100.0f, readMin.width);
  EXPECT_EQ(32000.0f, readMax.width);

  void* object = &r;
  SetWindowProperty(back, kSig, 0x53797357, sizeof object, &object);
  void* read = nullptr;
  ByteCount size = 0;
  EXPECT_EQ(noErr, GetWindowProperty(back, kSig, 0x53797357, sizeof read, &size, &read));
  EXPECT_EQ(object, read);
  EXPECT_EQ(errWindowPropertyNotFound,
            GetWindowProperty(front, kSig, 0x53797357, sizeof read, &size, &read));
  EXPECT_EQ(noErr, RemoveWindowProperty(back, kSig, 0x53797357));

  StandIn_SetMainScreen(StandIn_Screen{1600, 1000, 22});
  RepositionWindow(back, nullptr, kWindowCenterOnMainScreen);
  GetWindowBounds(back, kWindowStructureRgn, &r);
  EXPECT_EQ(650, r.left);  // (1600 - 300) / 2
  EXPECT_EQ(22 + (978 - 222) / 2, r.top);
  StandIn_SetMainScreen(StandIn_Screen{1024, 768, 22});
  DisposeWindow(front);
  DisposeWindow(back);
}

TEST_F(HIToolboxTest, RepositioningPlacesOnTheScreenOrTheParent) {
  StandIn_SetMainScreen(StandIn_Screen{1000, 622, 22});    // 600 free below the menu bar
  WindowRef parent = NewWindow(Rect{122, 100, 422, 500});  // structure 100..422, 100..500
  WindowRef window = NewWindow(Rect{0, 0, 178, 200});      // structure 200 x 200
  struct Case {
    WindowPositionMethod method;
    short left;
    short top;
  };
  const Case cases[] = {{kWindowCenterOnMainScreen, 400, 22 + 200},
                        {kWindowAlertPositionOnMainScreen, 400, 22 + 133},
                        {kWindowCenterOnParentWindow, 200, 100 + 61},
                        {kWindowAlertPositionOnParentWindow, 200, 100 + 40},
                        {kWindowCascadeOnParentWindow, 120, 120}};
  for (Case const& c : cases) {
    EXPECT_EQ(noErr, RepositionWindow(window, parent, c.method));
    Rect r;
    GetWindowBounds(window, kWindowStructureRgn, &r);
    EXPECT_EQ(c.left, r.left) << c.method;
    EXPECT_EQ(c.top, r.top) << c.method;
    EXPECT_EQ(200, r.right - r.left);
  }
  EXPECT_EQ(paramErr, RepositionWindow(window, nullptr, kWindowCenterOnParentWindow));
  StandIn_SetMainScreen(StandIn_Screen{1024, 768, 22});
  DisposeWindow(window);
  DisposeWindow(parent);
}

TEST_F(HIToolboxTest, HidingASheetSendsTheHiddenEventAndCloseDisposes) {
  StandIn_EventLogRecord(true);
  StandIn_WindowsResetCounts();
  WindowRef parent = NewWindow();
  Rect bounds = {0, 0, 100, 200};
  WindowRef sheet = nullptr;
  CreateNewWindow(kSheetWindowClass, 0, &bounds, &sheet);
  EXPECT_EQ(paramErr, ShowSheetWindow(parent, sheet));
  EXPECT_EQ(noErr, ShowSheetWindow(sheet, parent));
  WindowRef sheetParent = nullptr;
  GetSheetWindowParent(sheet, &sheetParent);
  EXPECT_EQ(parent, sheetParent);
  EXPECT_EQ(noErr, HideSheetWindow(sheet));
  EXPECT_EQ(1, StandIn_EventLogCountOf(kEventClassWindow, kEventWindowHidden));
  EXPECT_FALSE(IsWindowVisible(sheet));
  DisposeWindow(sheet);

  EventRef close = nullptr;
  CreateEvent(nullptr, kEventClassWindow, kEventWindowClose, 0, 0, &close);
  SendEventToEventTarget(close, GetWindowEventTarget(parent));
  ReleaseEvent(close);
  EXPECT_EQ(2, StandIn_WindowDisposeCount());
}

TEST_F(HIToolboxTest, TextViewsKeepFocusSelectionSizesAndControls) {
  HIViewRef view = StandIn_NewView("textview", CGRectMake(0, 0, 200, 100));
  TXNObject text = HITextViewGetTXNObject(view);
  ASSERT_NE(nullptr, text);
  TXNFocus(text, true);
  EXPECT_TRUE(StandIn_TXNIsFocused(text));
  EXPECT_EQ(noErr, StandIn_PressKey(view, 'a', 0));
  EXPECT_EQ(noErr, StandIn_PressKey(view, 'b', 0));
  EXPECT_EQ("ab", Text(StandIn_TXNCopyText(text)));
  TXNSetSelection(text, 0, 10);
  TXNOffset start = 9;
  TXNOffset end = 9;
  TXNGetSelection(text, &start, &end);
  EXPECT_EQ(0u, start);
  EXPECT_EQ(2u, end);
  TXNTypeAttributes size = {kTXNQDFontSizeAttribute, 4, {nullptr}};
  size.data.dataValue = 12 << 16;
  TXNSetTypeAttributes(text, 1, &size, 0, 1);
  EXPECT_EQ(12u << 16, StandIn_TXNFontSizeAt(text, 0));
  EXPECT_EQ(0u, StandIn_TXNFontSizeAt(text, 1));
  TXNMargins margins = {1, 2, 3, 4};
  const TXNControlTag tags[] = {kTXNWordWrapStateTag, kTXNMarginsTag};
  TXNControlData data[2];
  data[0].uValue = kTXNNoAutoWrap;
  data[1].marginsPtr = &margins;
  EXPECT_EQ(noErr, TXNSetTXNObjectControls(text, false, 2, tags, data));
  const TXNControlTag justification = kTXNJustificationTag;
  TXNControlData one;
  one.uValue = 2;
  TXNSetTXNObjectControls(text, false, 1, &justification, &one);  // keeps the others
  TXNMargins readMargins = {};
  TXNControlData read[2];
  read[1].marginsPtr = &readMargins;
  EXPECT_EQ(noErr, TXNGetTXNObjectControls(text, 2, tags, read));
  EXPECT_EQ(kTXNNoAutoWrap, read[0].uValue);
  EXPECT_EQ(4, readMargins.rightMargin);
  CFRelease(view);
}

TEST_F(HIToolboxTest, CallsThatAnswerAStatusJoinTheFailureInjection) {
  const int before = StandIn_FilesCallCount("CreateNewWindow");
  StandIn_FilesFailNext("CreateNewWindow", memFullErr);
  Rect bounds = {0, 0, 10, 10};
  WindowRef window = reinterpret_cast<WindowRef>(&bounds);
  EXPECT_EQ(memFullErr, CreateNewWindow(kDocumentWindowClass, 0, &bounds, &window));
  EXPECT_EQ(nullptr, window);
  EXPECT_EQ(before + 1, StandIn_FilesCallCount("CreateNewWindow"));
  HIViewRef view = StandIn_NewView("push", CGRectMake(0, 0, 1, 1));
  StandIn_FilesFailNext("SetControlCommandID", paramErr);
  EXPECT_EQ(paramErr, SetControlCommandID(view, 0x61626364));
  UInt32 command = 1;
  GetControlCommandID(view, &command);
  EXPECT_EQ(0u, command);  // nothing was done
  CFRelease(view);
}

TEST_F(HIToolboxTest, AlertsRecordTheirTextsAndAnswerFromTheScript) {
  StandIn_AlertsReset();
  AlertStdCFStringAlertParamRec param;
  GetStandardAlertDefaultParams(&param, kStdCFStringAlertVersionOne);
  param.cancelText = reinterpret_cast<CFStringRef>(kAlertDefaultCancelText);
  param.otherText = CFSTR("Later");
  DialogRef alert = nullptr;
  ASSERT_EQ(noErr, CreateStandardAlert(kAlertCautionAlert, CFSTR("Message"), CFSTR("Why"), &param,
                                       &alert));
  StandIn_AlertRecord record = StandIn_LastAlert();
  EXPECT_EQ(kAlertCautionAlert, record.type);
  EXPECT_EQ("Message", record.message);
  EXPECT_EQ("Why", record.explanation);
  EXPECT_EQ("OK", record.buttons[0]);
  EXPECT_EQ("Cancel", record.buttons[1]);
  EXPECT_EQ("Later", record.buttons[2]);
  DialogItemIndex hit = 0;
  StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, 3);
  RunStandardAlert(alert, nullptr, &hit);
  EXPECT_EQ(3, hit);
  CreateStandardAlert(kAlertStopAlert, CFSTR("M"), nullptr, &param, &alert);
  RunStandardAlert(alert, nullptr, &hit);
  EXPECT_EQ(kAlertStdAlertCancelButton, hit);  // an empty script cancels
  StandIn_FilesFailNext("CreateStandardAlert", memFullErr);
  EXPECT_EQ(memFullErr, CreateStandardAlert(kAlertStopAlert, CFSTR("M"), nullptr, &param, &alert));
  EXPECT_EQ(nullptr, alert);
  EXPECT_EQ(2, StandIn_AlertCount());
}

}  // namespace
