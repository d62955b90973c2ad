// Standard alerts of the Mac stand-in (see HIToolbox/Dialogs.h).
#include <HIToolbox/Dialogs.h>

#include "iStandInToolbox.h"

struct OpaqueDialogRef {
  StandIn_AlertRecord record;
};

namespace {

struct AlertState {
  StandIn_AlertRecord last{};
  long made = 0;
  long live = 0;
};

AlertState& TheState() {
  static AlertState* state = new AlertState;
  return *state;
}

const CFStringRef kStandardText = reinterpret_cast<CFStringRef>(kAlertDefaultOKText);

std::string ButtonText(CFStringRef text, const char* standard) {
  if (text == kStandardText)
    return standard;
  return text ? standin_tb::Utf8(text) : std::string();
}

constexpr UInt32 kOtherCommand = 0x6f746872;  // 'othr'
constexpr short kAlertWidth = 420;
constexpr short kMargin = 20;
constexpr short kButtonWidth = 90;
constexpr short kButtonHeight = 20;

// The user's answer to an alert shown as a window: the button whose command came, Return for the
// default button, Escape for the cancel button.
struct ShownAnswer {
  long item = 0;
  bool hasCancel = false;
};

OSStatus AnswerAlert(EventHandlerCallRef, EventRef event, void* data) {
  ShownAnswer& answer = *static_cast<ShownAnswer*>(data);
  if (GetEventClass(event) == kEventClassKeyboard) {
    UInt32 code = 0;
    GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
    if (code == 36 || code == 76)
      answer.item = kAlertStdAlertOKButton;
    else if (code == 53 && answer.hasCancel)
      answer.item = kAlertStdAlertCancelButton;
    return noErr;
  }
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  switch (command.commandID) {
    case kHICommandOK:
      answer.item = kAlertStdAlertOKButton;
      return noErr;
    case kHICommandCancel:
      answer.item = kAlertStdAlertCancelButton;
      return noErr;
    case kOtherCommand:
      answer.item = kAlertStdAlertOtherButton;
      return noErr;
    default:
      return eventNotHandledErr;
  }
}

void AddView(WindowRef window, const char* kind, HIRect frame, const std::string& text,
             UInt32 command) {
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIViewRef view = StandIn_NewView(kind, frame);
  if (view == nullptr)
    return;
  CFHeld<CFStringRef> title(
      CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8));
  if (command == 0) {
    CFStringRef string = title.Get();
    SetControlData(view, 0, kControlStaticTextCFStringTag, sizeof string, &string);
  } else {
    SetControlTitleWithCFString(view, title.Get());
    SetControlCommandID(view, command);
  }
  HIViewAddSubview(content, view);
  CFRelease(view);
}

// The alert as a movable alert window in front of every window: its message, its explanation and
// its buttons (the default at the right, cancel left of it, the other at the left); the user's
// input, from the current source, until a button is chosen. 0 when the source ran out first.
long RunShownAlert(const StandIn_AlertRecord& record) {
  const short messageHeight = 36;
  const short explanationHeight = record.explanation.empty() ? 0 : 64;
  const short height = static_cast<short>(kMargin + messageHeight + explanationHeight + 12 +
                                          kButtonHeight + kMargin);
  Rect bounds{0, 0, height, kAlertWidth};
  WindowRef window = nullptr;
  if (CreateNewWindow(kMovableAlertWindowClass, kWindowStandardHandlerAttribute, &bounds,
                      &window) != noErr)
    return 0;
  AddView(window, "statictext",
          CGRectMake(kMargin, kMargin, kAlertWidth - 2 * kMargin, messageHeight), record.message,
          0);
  if (explanationHeight > 0)
    AddView(
        window, "statictext",
        CGRectMake(kMargin, kMargin + messageHeight, kAlertWidth - 2 * kMargin, explanationHeight),
        record.explanation, 0);
  const CGFloat buttonTop = height - kMargin - kButtonHeight;
  const CGFloat right = kAlertWidth - kMargin - kButtonWidth;
  AddView(window, "push", CGRectMake(right, buttonTop, kButtonWidth, kButtonHeight),
          record.buttons[0], kHICommandOK);
  if (!record.buttons[1].empty())
    AddView(window, "push",
            CGRectMake(right - kButtonWidth - 12, buttonTop, kButtonWidth, kButtonHeight),
            record.buttons[1], kHICommandCancel);
  if (!record.buttons[2].empty())
    AddView(window, "push", CGRectMake(kMargin, buttonTop, kButtonWidth, kButtonHeight),
            record.buttons[2], kOtherCommand);
  ShownAnswer answer;
  answer.hasCancel = !record.buttons[1].empty();
  const EventTypeSpec types[] = {{kEventClassCommand, kEventCommandProcess},
                                 {kEventClassKeyboard, kEventRawKeyDown}};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(window), &AnswerAlert, 2, types, &answer, &handler);
  RepositionWindow(window, nullptr, kWindowAlertPositionOnMainScreen);
  ShowWindow(window);
  StandIn_Input input;
  while (answer.item == 0 && standin_tb::NextModalInput(input))
    StandIn_DeliverInput(input);
  RemoveEventHandler(handler);
  DisposeWindow(window);
  return answer.item;
}

}  // namespace

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version) {
  if (OSStatus err = standin_tb::EnterCall("GetStandardAlertDefaultParams"))
    return err;
  if (param == nullptr || version != kStdCFStringAlertVersionOne)
    return paramErr;
  *param = AlertStdCFStringAlertParamRec{
      version, false, false, kStandardText, nullptr, nullptr, kAlertStdAlertOKButton, 0, 0, 0};
  return noErr;
}

OSStatus CreateStandardAlert(AlertType alertType, CFStringRef error, CFStringRef explanation,
                             const AlertStdCFStringAlertParamRec* param, DialogRef* outAlert) {
  if (outAlert == nullptr)
    return paramErr;
  *outAlert = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateStandardAlert"))
    return err;
  AlertStdCFStringAlertParamRec defaults;
  GetStandardAlertDefaultParams(&defaults, kStdCFStringAlertVersionOne);
  if (param == nullptr)
    param = &defaults;
  auto dialog = std::make_unique<OpaqueDialogRef>();
  StandIn_AlertRecord& record = dialog->record;
  record.type = alertType;
  record.message = standin_tb::Utf8(error);
  record.explanation = standin_tb::Utf8(explanation);
  record.buttons[0] = ButtonText(param->defaultText, "OK");
  if (record.buttons[0].empty())
    record.buttons[0] = "OK";
  record.buttons[1] = ButtonText(param->cancelText, "Cancel");
  record.buttons[2] = ButtonText(param->otherText, "Don't Save");
  record.movable = param->movable;
  record.helpButton = param->helpButton;
  record.position = param->position;
  TheState().last = record;
  ++TheState().made;
  ++TheState().live;
  *outAlert = dialog.release();
  return noErr;
}

OSStatus RunStandardAlert(DialogRef inAlert, ModalFilterUPP, DialogItemIndex* outItemHit) {
  if (OSStatus err = standin_tb::EnterCall("RunStandardAlert"))
    return err;
  if (inAlert == nullptr)
    return paramErr;
  // The buttons run default, cancel, other: an alert without a cancel button has no other one.
  const std::string* buttons = inAlert->record.buttons;
  const long lastButton = !buttons[2].empty()   ? kAlertStdAlertOtherButton
                          : !buttons[1].empty() ? kAlertStdAlertCancelButton
                                                : kAlertStdAlertOKButton;
  const long unanswered = buttons[1].empty() ? kAlertStdAlertOKButton : kAlertStdAlertCancelButton;
  long answer = unanswered;
  if (StandIn_UserAtDisplay() && StandIn_ScriptedAnswerCount(StandIn_AnswerKind::Alert) == 0) {
    const long chosen = RunShownAlert(inAlert->record);
    answer = chosen != 0 ? chosen : unanswered;
  } else if (!standin_tb::TakeScriptedAnswer(StandIn_AnswerKind::Alert, kAlertStdAlertOKButton,
                                             lastButton, "the alert", &answer)) {
    answer = unanswered;
  } else if (answer == kAlertStdAlertCancelButton && buttons[1].empty()) {
    standin_tb::RecordScriptFault("the alert cannot answer 2: it has no cancel button");
    answer = unanswered;
  }
  if (outItemHit)
    *outItemHit = static_cast<DialogItemIndex>(answer);
  DisposeDialog(inAlert);
  return noErr;
}

void DisposeDialog(DialogRef theDialog) {
  if (theDialog) {
    delete theDialog;
    --TheState().live;
  }
}

StandIn_AlertRecord StandIn_LastAlert() {
  return TheState().last;
}

long StandIn_AlertCount() {
  return TheState().made;
}

long StandIn_AlertLiveCount() {
  return TheState().live;
}

void StandIn_AlertsReset() {
  TheState().last = StandIn_AlertRecord{};
  TheState().made = 0;
}
