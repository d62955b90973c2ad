// Scripted input of the Mac stand-in: what a user would do, played by tests without a screen.
// Nothing blocks: modal calls (alerts, pop-up and slider tracking) take the next scripted answer.
//
// A click on a view at a point in the view's coordinates, with modifier keys, sends the view first
// kEventControlClick (the direct object, 'kmod' and 'mloc' in global coordinates); when a handler
// answers it (anything but eventNotHandledErr) the view took the click and the part is 0.
// Otherwise it sends to the view in order kEventControlHitTest (answering the part), and for a part
// other than 0 kEventControlTrack and kEventControlHit, each with the direct object, 'cprt',
// 'kmod', 'mloc' and 'ccnt'; while it runs GetCurrentEventKeyModifiers reports the modifiers. The
// standard tracking of every kind but pop-ups and sliders highlights the part and follows the mouse
// inputs of the input source until the release (none: released in place); released outside the
// view, the part becomes 0 and there is no hit. The standard handling of the hit (when every
// handler answers eventNotHandledErr) sends the control's command.
//
// A key goes to a view (its target and on up), else to the front window's keyboard focus, else
// to the front window or the application, as kEventRawKeyDown with 'kchr', 'kuni' and 'kmod';
// unhandled, it goes to the same target as text input (kEventTextInputUnicodeForKeyEvent with
// 'tstx' and the raw event in 'tske'); unhandled again by a text view, the character replaces its
// selection.
//
// Drags: TrackDrag plays the next drop plan (see HIToolbox/Drag.h): the drag passes over the
// views of the path in order and is dropped on the last one, or cancelled there; with no plan it
// is cancelled at once. The plan holds a reference to each view until it is played or cleared.
// WaitMouseMoved answers the next scripted answer of its own, else follows the input source.
//
// Modal answers, one queue per kind: an alert's button number, a pop-up's control value, a
// slider's value. With no answer scripted an alert answers its cancel button (2; the default
// button when it has none), and pop-ups and sliders keep their value. An answer the dialog or
// control cannot give (a button the alert does not have, a value out of range) is not taken: the
// alert answers as if none was scripted, the control keeps its value, and the fault is recorded
// for the test to report (StandIn_TakeScriptFaults).
#pragma once
#include <HIToolbox/HIView.h>

#include <string>
#include <vector>

enum class StandIn_AnswerKind {
  Alert,
  Popup,
  Slider,
};

// A click straight at the view (past window hit testing; StandIn_DeliverInput takes the whole
// road): the control road of routed input, released where it was pressed unless the input source
// holds mouse inputs. Answers the part hit.
ControlPartCode StandIn_ClickView(HIViewRef view, HIPoint where, UInt32 modifiers);
// A key down at the view, else at the user-focus window's keyboard focus, the window or the
// application; with the Command key and no view, a menu's key equivalent first.
OSStatus StandIn_PressKey(HIViewRef view, UniChar character, UInt32 modifiers);
// The Mac virtual key code of a character on a US keyboard (space 49, return 36); 0xFFFF for a
// character without a key.
UInt32 StandIn_KeyCodeOf(UniChar character);
void StandIn_ScriptAnswer(StandIn_AnswerKind kind, long answer);
long StandIn_ScriptedAnswerCount(StandIn_AnswerKind kind);
// The scripted answers that could not be given since the last call, each saying why; emptied.
std::vector<std::string> StandIn_TakeScriptFaults();
void StandIn_ScriptDrag(const std::vector<HIViewRef>& path, bool drop);
long StandIn_ScriptedDragCount();
void StandIn_ScriptMouseMoved(bool moved);
// Forgets every scripted answer, drop plan, mouse move and raw input.
void StandIn_ScriptClear();
