// Standard alerts of the Mac stand-in: CreateStandardAlert records what the alert shows;
// RunStandardAlert answers from the script (HIToolbox/StandInScript.h) and disposes of the alert.
// A button text of (CFStringRef)kAlertDefaultOKText (-1) and its siblings asks for the standard
// text ("OK", "Cancel", "Don't Save"); a null text leaves the button out (the default button is
// then "OK"). CreateStandardAlert joins the failure injection (StandIn_FilesFailNext).
//
// With a user at a display (StandIn_UserAtDisplay in HIToolbox/StandInInput.h) an alert that the
// script does not answer shows as a movable alert window in front of every other: its message, its
// explanation and its buttons (the default at the right, cancel left of it, the other at the left).
// It takes the input of the current source (HIToolbox/StandInInput.h) until a button is clicked,
// Return chooses the default button or Escape the cancel button; a source that runs out first
// leaves it unanswered as before.
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <CoreFoundation/CFString.h>

#include <string>

struct OpaqueDialogRef;
typedef OpaqueDialogRef* DialogRef;
typedef SInt16 AlertType;
typedef SInt16 DialogItemIndex;
// The stand-in runs no filter: only null is passed.
typedef void* ModalFilterUPP;

enum : AlertType {
  kAlertStopAlert = 0,
  kAlertNoteAlert = 1,
  kAlertCautionAlert = 2,
  kAlertPlainAlert = 3
};
enum : DialogItemIndex {
  kAlertStdAlertOKButton = 1,
  kAlertStdAlertCancelButton = 2,
  kAlertStdAlertOtherButton = 3,
  kAlertStdAlertHelpButton = 4
};
enum : long {
  kAlertDefaultOKText = -1,
  kAlertDefaultCancelText = -1,
  kAlertDefaultOtherText = -1
};
enum : UInt32 {
  kStdCFStringAlertVersionOne = 1
};
enum : UInt16 {
  kWindowAlertPositionParentWindowScreen = 0x700A
};

struct AlertStdCFStringAlertParamRec {
  UInt32 version;
  Boolean movable;
  Boolean helpButton;
  CFStringRef defaultText;
  CFStringRef cancelText;
  CFStringRef otherText;
  SInt16 defaultButton;
  SInt16 cancelButton;
  UInt16 position;
  OptionBits flags;
};

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version);
OSStatus CreateStandardAlert(AlertType alertType, CFStringRef error, CFStringRef explanation,
                             const AlertStdCFStringAlertParamRec* param, DialogRef* outAlert);
OSStatus RunStandardAlert(DialogRef inAlert, ModalFilterUPP filterProc,
                          DialogItemIndex* outItemHit);
void DisposeDialog(DialogRef theDialog);

// Test hooks: what the last alert made showed (texts in UTF-8; an absent button has an empty
// text), how many were made, and how many are alive.
struct StandIn_AlertRecord {
  AlertType type;
  std::string message;
  std::string explanation;
  std::string buttons[3];  // default, cancel, other
  bool movable;
  bool helpButton;
  UInt16 position;
};
StandIn_AlertRecord StandIn_LastAlert();
long StandIn_AlertCount();
long StandIn_AlertLiveCount();
void StandIn_AlertsReset();
