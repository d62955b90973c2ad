// Scripted input of the Mac stand-in (see HIToolbox/StandInScript.h).
#include <HIToolbox/StandInScript.h>

#include "iStandInToolbox.h"

#include <HIServices/ColorPicker.h>

#include <deque>

namespace {

std::deque<long>& Answers() {
  static auto* answers = new std::deque<long>;
  return *answers;
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
                        ControlPartCode* part) {
  standin_tb::EventHolder event(kEventClassControl, kind);
  ControlRef control = view;
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.Set(kEventParamMouseLocation, typeHIPoint, where);
  event.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  if (kind != kEventControlHitTest)
    event.Set(kEventParamControlPart, typeControlPartCode, *part);
  const OSStatus status = event.SendTo(GetControlEventTarget(view));
  standin_tb::Get(event.Get(), kEventParamControlPart, typeControlPartCode, part);
  return status;
}

// The mouse-down on the view: kEventControlClick with the global mouse location.
OSStatus SendControlClick(HIViewRef view, HIPoint where, UInt32 modifiers) {
  HIPoint global = where;
  HIViewConvertPoint(&global, view, nullptr);
  if (WindowRef window = HIViewGetWindow(view)) {
    Rect structure{0, 0, 0, 0};
    GetWindowBounds(window, kWindowStructureRgn, &structure);
    global.x += structure.left;
    global.y += structure.top;
  }
  standin_tb::EventHolder click(kEventClassControl, kEventControlClick);
  ControlRef control = view;
  click.Set(kEventParamDirectObject, typeControlRef, control);
  click.Set(kEventParamMouseLocation, typeHIPoint, global);
  click.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  return click.SendTo(GetControlEventTarget(view));
}

}  // namespace

namespace standin_tb {

bool TakeScriptedAnswer(long* answer) {
  if (Answers().empty())
    return false;
  *answer = Answers().front();
  Answers().pop_front();
  return true;
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
  CFRetain(view);
  ModifiersDuring held(modifiers);
  ControlPartCode part = kControlNoPart;
  if (SendControlClick(view, where, modifiers) != eventNotHandledErr) {
    CFRelease(view);  // the view took the click itself
    return kControlNoPart;
  }
  SendClickEvent(view, kEventControlHitTest, where, modifiers, &part);
  if (part != kControlNoPart && IsControlEnabled(view)) {
    SendClickEvent(view, kEventControlTrack, where, modifiers, &part);
    if (part != kControlNoPart)
      SendClickEvent(view, kEventControlHit, where, modifiers, &part);
  }
  CFRelease(view);
  return part;
}

OSStatus StandIn_PressKey(HIViewRef view, UniChar character, UInt32 modifiers) {
  ModifiersDuring held(modifiers);
  WindowRef front = FrontWindow();
  if (view == nullptr && front != nullptr)
    GetKeyboardFocus(front, &view);
  if (view)
    CFRetain(view);  // a handler may let it go
  standin_tb::EventHolder key(kEventClassKeyboard, kEventRawKeyDown);
  const char mac = character < 0x80 ? static_cast<char>(character) : '?';
  key.Set(kEventParamKeyMacCharCodes, typeChar, mac);
  key.Set(kEventParamKeyUnicodes, typeUnicodeText, character);
  key.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  EventTargetRef target = view    ? GetControlEventTarget(view)
                          : front ? GetWindowEventTarget(front)
                                  : GetApplicationEventTarget();
  OSStatus status = key.SendTo(target);
  if (status == eventNotHandledErr) {
    // Unhandled keys come back as text input.
    standin_tb::EventHolder text(kEventClassTextInput, kEventTextInputUnicodeForKeyEvent);
    text.Set(kEventParamTextInputSendText, typeUnicodeText, character);
    EventRef raw = key.Get();
    text.Set(kEventParamTextInputSendKeyboardEvent, typeEventRef, raw);
    status = text.SendTo(target);
  }
  TXNObject textObject = HITextViewGetTXNObject(view);
  if (status == eventNotHandledErr && textObject != nullptr) {
    TXNOffset start = 0;
    TXNOffset end = 0;
    TXNGetSelection(textObject, &start, &end);
    TXNSetData(textObject, kTXNUnicodeTextData, &character, sizeof character, start, end);
    TXNSetSelection(textObject, start + 1, start + 1);
    status = noErr;
  }
  if (view)
    CFRelease(view);
  return status;
}

void StandIn_ScriptAnswer(long answer) {
  Answers().push_back(answer);
}

long StandIn_ScriptedAnswerCount() {
  return static_cast<long>(Answers().size());
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

Boolean WaitMouseMoved(Point) {
  if (MouseMoves().empty())
    return false;
  const bool moved = MouseMoves().front();
  MouseMoves().pop_front();
  return moved;
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
  SendClickEvent(inView, kEventControlHit, CGPointMake(0, 0), inModifiers, &part);
  CFRelease(inView);
  if (outPartClicked)
    *outPartClicked = inPartToClick;
  return noErr;
}

void StandIn_ScriptClear() {
  Answers().clear();
  for (const standin_tb::DropPlan& plan : DropPlans())
    ReleaseViews(plan);
  DropPlans().clear();
  MouseMoves().clear();
  StandIn_ClearPickerScript();
}
