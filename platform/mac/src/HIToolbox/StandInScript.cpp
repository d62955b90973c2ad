// Scripted input of the Mac stand-in (see HIToolbox/StandInScript.h).
#include <HIToolbox/StandInScript.h>

#include "iStandInToolbox.h"

#include <HIServices/ColorPicker.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/StandInInput.h>

#include <cctype>
#include <cmath>
#include <deque>

namespace {

constexpr int kAnswerKinds = 3;

std::deque<long>& Answers(StandIn_AnswerKind kind) {
  static auto* answers = new std::deque<long>[kAnswerKinds];
  return answers[static_cast<int>(kind)];
}

std::vector<std::string>& Faults() {
  static auto* faults = new std::vector<std::string>;
  return *faults;
}

std::deque<standin_tb::DropPlan>& DropPlans() {
  static auto* plans = new std::deque<standin_tb::DropPlan>;
  return *plans;
}

std::deque<bool>& MouseMoves() {
  static auto* moves = new std::deque<bool>;
  return *moves;
}

void ReleaseViews(const standin_tb::DropPlan& plan) {
  for (HIViewRef view : plan.path)
    CFRelease(view);
}

// Sets the modifier keys the toolbox reports while a scripted action runs.
class ModifiersDuring {
public:
  explicit ModifiersDuring(UInt32 modifiers) : m_Old(GetCurrentEventKeyModifiers()) {
    StandIn_SetKeyModifiers(modifiers);
  }
  ~ModifiersDuring() { StandIn_SetKeyModifiers(m_Old); }

private:
  UInt32 m_Old;
};

OSStatus SendClickEvent(HIViewRef view, UInt32 kind, HIPoint where, UInt32 modifiers,
                        UInt32 clickCount, ControlPartCode* part) {
  standin_tb::EventHolder event(kEventClassControl, kind);
  ControlRef control = view;
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.Set(kEventParamMouseLocation, typeHIPoint, where);
  event.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  event.Set(kEventParamClickCount, typeUInt32, clickCount);
  if (kind != kEventControlHitTest)
    event.Set(kEventParamControlPart, typeControlPartCode, *part);
  const OSStatus status = event.SendTo(GetControlEventTarget(view));
  standin_tb::Get(event.Get(), kEventParamControlPart, typeControlPartCode, part);
  return status;
}

// The mouse-down on the view: kEventControlClick with the global mouse location.
OSStatus SendControlClick(StandIn_ViewImpl* view, HIPoint where, UInt32 modifiers,
                          UInt32 clickCount) {
  standin_tb::EventHolder click(kEventClassControl, kEventControlClick);
  ControlRef control = view;
  click.Set(kEventParamDirectObject, typeControlRef, control);
  click.Set(kEventParamMouseLocation, typeHIPoint, standin_tb::ViewToGlobal(view, where));
  click.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  click.Set(kEventParamClickCount, typeUInt32, clickCount);
  return click.SendTo(GetControlEventTarget(view));
}

}  // namespace

namespace standin_tb {

bool TakeScriptedAnswer(StandIn_AnswerKind kind, long minimum, long maximum, const char* dialog,
                        long* answer) {
  std::deque<long>& answers = Answers(kind);
  if (answers.empty())
    return false;
  const long scripted = answers.front();
  answers.pop_front();
  if (scripted < minimum || scripted > maximum) {
    RecordScriptFault(std::string(dialog) + " cannot answer " + std::to_string(scripted) +
                      ": it takes " + std::to_string(minimum) + " to " + std::to_string(maximum));
    return false;
  }
  *answer = scripted;
  return true;
}

ControlPartCode RouteClickToView(StandIn_ViewImpl* view, HIPoint where, UInt32 modifiers,
                                 UInt32 clickCount) {
  CFRetain(view);
  ModifiersDuring held(modifiers);
  ControlPartCode part = kControlNoPart;
  if (SendControlClick(view, where, modifiers, clickCount) != eventNotHandledErr) {
    CFRelease(view);  // the view took the click itself
    return kControlNoPart;
  }
  SendClickEvent(view, kEventControlHitTest, where, modifiers, clickCount, &part);
  if (part != kControlNoPart && IsControlEnabled(view)) {
    SendClickEvent(view, kEventControlTrack, where, modifiers, clickCount, &part);
    if (part != kControlNoPart)
      SendClickEvent(view, kEventControlHit, where, modifiers, clickCount, &part);
  }
  CFRelease(view);
  return part;
}

void SetKeyParameters(EventHolder& event, const StandIn_Input& input) {
  const char mac = input.character < 0x80 ? static_cast<char>(input.character) : '?';
  event.Set(kEventParamKeyMacCharCodes, typeChar, mac);
  event.Set(kEventParamKeyUnicodes, typeUnicodeText, input.character);
  event.Set(kEventParamKeyCode, typeUInt32, input.keyCode);
  event.Set(kEventParamKeyModifiers, typeUInt32, input.modifiers);
  event.Set(kEventParamKeyboardType, typeUInt32, UInt32{0});
}

OSStatus InsertText(HIViewRef focus, EventTargetRef target, const std::u16string& text,
                    EventRef rawKey) {
  if (focus)
    CFRetain(focus);  // a handler may let it go
  EventHolder input(kEventClassTextInput, kEventTextInputUnicodeForKeyEvent);
  SetEventParameter(input.Get(), kEventParamTextInputSendText, typeUnicodeText,
                    static_cast<UInt32>(text.size() * sizeof(UniChar)), text.data());
  if (rawKey)
    input.Set(kEventParamTextInputSendKeyboardEvent, typeEventRef, rawKey);
  OSStatus status = input.SendTo(target);
  TXNObject textObject = HITextViewGetTXNObject(focus);
  if (status == eventNotHandledErr && textObject != nullptr) {
    // Unhandled, the text replaces a text view's selection.
    TXNOffset start = 0;
    TXNOffset end = 0;
    TXNGetSelection(textObject, &start, &end);
    TXNSetData(textObject, kTXNUnicodeTextData, text.data(),
               static_cast<ByteCount>(text.size() * sizeof(UniChar)), start, end);
    const TXNOffset after = start + static_cast<TXNOffset>(text.size());
    TXNSetSelection(textObject, after, after);
    status = noErr;
  }
  if (focus)
    CFRelease(focus);
  return status;
}

OSStatus RouteKeyDown(HIViewRef focus, EventTargetRef target, const StandIn_Input& input) {
  if (focus)
    CFRetain(focus);  // a handler may let it go
  EventHolder key(kEventClassKeyboard, kEventRawKeyDown);
  SetKeyParameters(key, input);
  OSStatus status = key.SendTo(target);
  if (status == eventNotHandledErr)  // unhandled keys come back as text input
    status = InsertText(focus, target, std::u16string(1, input.character), key.Get());
  if (focus)
    CFRelease(focus);
  return status;
}

bool TakeDropPlan(DropPlan* plan) {
  *plan = DropPlan();
  if (DropPlans().empty())
    return false;
  *plan = DropPlans().front();
  DropPlans().pop_front();
  return true;
}

}  // namespace standin_tb

ControlPartCode StandIn_ClickView(HIViewRef view, HIPoint where, UInt32 modifiers) {
  if (view == nullptr)
    return kControlNoPart;
  return standin_tb::RouteClickToView(standin_tb::View(view), where, modifiers, 1);
}

OSStatus StandIn_PressKey(HIViewRef view, UniChar character, UInt32 modifiers) {
  ModifiersDuring held(modifiers);
  StandIn_Input input;
  input.kind = StandIn_InputKind::KeyDown;
  input.character = character;
  input.keyCode = StandIn_KeyCodeOf(character);
  input.modifiers = modifiers;
  if (view == nullptr && (modifiers & cmdKey) && standin_tb::MatchKeyEquivalent(input))
    return noErr;
  WindowRef front = GetUserFocusWindow();
  if (view == nullptr && front != nullptr)
    GetKeyboardFocus(front, &view);
  EventTargetRef target = view    ? GetControlEventTarget(view)
                          : front ? GetWindowEventTarget(front)
                                  : GetApplicationEventTarget();
  return standin_tb::RouteKeyDown(view, target, input);
}

UInt32 StandIn_KeyCodeOf(UniChar character) {
  // The US layout's keys by code: letters, digits and punctuation in code order.
  static const char kKeys[] = "asdfhgzxcv\0bqweryt123465=97-80]ou[ip\rlj'k;\\,/nm.\t `";
  if (character == 0x08 || character == 0x7f)
    return kVK_Delete;
  if (character == 0x1b)
    return kVK_Escape;
  if (character == '+')
    character = '=';
  if (character < 0x80 && character != 0) {
    const char lower = static_cast<char>(std::tolower(character));
    for (UInt32 code = 0; code < sizeof kKeys - 1; ++code)
      if (kKeys[code] == lower)
        return code;
  }
  return 0xFFFF;
}

void StandIn_ScriptAnswer(StandIn_AnswerKind kind, long answer) {
  Answers(kind).push_back(answer);
}

long StandIn_ScriptedAnswerCount(StandIn_AnswerKind kind) {
  return static_cast<long>(Answers(kind).size());
}

void standin_tb::RecordScriptFault(const std::string& why) {
  Faults().push_back(why);
}

std::vector<std::string> StandIn_TakeScriptFaults() {
  std::vector<std::string> faults;
  faults.swap(Faults());
  return faults;
}

void StandIn_ScriptDrag(const std::vector<HIViewRef>& path, bool drop) {
  standin_tb::DropPlan plan{path, drop};
  for (HIViewRef view : plan.path)
    CFRetain(view);
  DropPlans().push_back(plan);
}

long StandIn_ScriptedDragCount() {
  return static_cast<long>(DropPlans().size());
}

void StandIn_ScriptMouseMoved(bool moved) {
  MouseMoves().push_back(moved);
}

Boolean WaitMouseMoved(Point initialGlobalMouse) {
  if (!MouseMoves().empty()) {
    const bool moved = MouseMoves().front();
    MouseMoves().pop_front();
    return moved;
  }
  StandIn_Input input;
  while (standin_tb::NextModalInput(input)) {
    if (input.kind == StandIn_InputKind::MouseUp)
      return false;
    if (input.kind != StandIn_InputKind::MouseMoved)
      continue;
    if (std::abs(input.global.x - initialGlobalMouse.h) > 2 ||
        std::abs(input.global.y - initialGlobalMouse.v) > 2) {
      StandIn_SetMouse(
          Point{static_cast<short>(input.global.y), static_cast<short>(input.global.x)});
      return true;
    }
  }
  return false;
}

OSStatus HIViewSimulateClick(HIViewRef inView, HIViewPartCode inPartToClick, UInt32 inModifiers,
                             ControlPartCode* outPartClicked) {
  if (OSStatus err = standin_tb::EnterCall("HIViewSimulateClick"))
    return err;
  if (inView == nullptr)
    return paramErr;
  CFRetain(inView);
  ModifiersDuring held(inModifiers);
  HiliteControl(inView, inPartToClick);
  HiliteControl(inView, kControlNoPart);
  ControlPartCode part = inPartToClick;
  SendClickEvent(inView, kEventControlHit, CGPointMake(0, 0), inModifiers, 1, &part);
  CFRelease(inView);
  if (outPartClicked)
    *outPartClicked = inPartToClick;
  return noErr;
}

void StandIn_ScriptClear() {
  for (int kind = 0; kind < kAnswerKinds; ++kind)
    Answers(static_cast<StandIn_AnswerKind>(kind)).clear();
  Faults().clear();
  for (const standin_tb::DropPlan& plan : DropPlans())
    ReleaseViews(plan);
  DropPlans().clear();
  MouseMoves().clear();
  StandIn_ClearPickerScript();
  StandIn_ScriptInputClear();
}
