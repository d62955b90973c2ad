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
  if (!standin_tb::TakeScriptedAnswer(StandIn_AnswerKind::Alert, kAlertStdAlertOKButton, lastButton,
                                      "the alert", &answer)) {
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
