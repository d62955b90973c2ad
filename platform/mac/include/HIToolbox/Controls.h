// Controls of the Mac stand-in: values, ids, commands, references, action procedures, titles,
// enabling, best rects and control data, on the views of HIToolbox/HIView.h.
//
// A value is kept within minimum and maximum (setting either bound pulls it in);
// kEventControlValueFieldChanged is sent to the control only when the value really changes.
// SetControlData and GetControlData send kEventControlSetData (103) and kEventControlGetData
// (104) to the control with 'cprt', 'cdtg', 'cdbf' (typePtr) and 'cdbs' (typeLongInteger, a
// Size); the standard handling keeps data by tag: it answers errDataNotSupported for a tag never
// set and errDataSizeMismatch for a buffer of another size than the data. The system's controls
// take only the tags they know (the progress bar 'inde', the static text 'cfst') and answer
// errDataNotSupported for others; user panes and custom views keep any tag. GetControlData reads
// the size back from 'cdbs'. The static text's text is tag kControlStaticTextCFStringTag (a
// retained CFStringRef).
//
// Standard handling of the click events: kEventControlHitTest answers the kind's part for a point
// inside the bounds ('mloc', typeHIPoint, view coordinates) and 0 outside; kEventControlTrack
// toggles a check box, and gives a pop-up or slider the next scripted answer
// (HIToolbox/StandInScript.h), and ends with the control unhighlighted; kEventControlHit sends the
// control's command, when it has one, as kEventCommandProcess from the control.
//
// Drawing (the standard handling of kEventControlDraw), in the stand-in's plain theme; colours
// are 0xRRGGBB. A control is disabled while it is disabled or deactivated, pressed while it is
// highlighted, focused while it is its window's keyboard focus. Buttons and bevels have a frame
// of 808080 and a face of E0E0E0 (pressed A0A0A0, disabled F0F0F0); text is black (disabled
// 7F7F7F) in the system font, 13 points (tabs 11, text views 12); the selection colour is 3875D7
// and a focus ring is 7DA7D9, two points wide along the control's edge (around a check box's box
// or a slider's thumb).
// - Push button: the bevel over its whole frame, the title centred.
// - Check box: a 12-point box 2 points in and centred in height, white (pressed A0A0A0, disabled
//   F0F0F0) in a frame of 808080 (disabled B0B0B0); checked, the box's inside 2 points in is
//   filled with the selection colour (disabled B8B8B8) under a white tick; mixed, the same fill
//   under a white dash; the title 6 points right of the box.
// - Pop-up: the bevel, the chosen item's text (else the title) from 8 points in, and a
//   downward arrow in the 20 points at the right, behind a line.
// - Slider: a track 4 points thick across the middle, white in a frame of 808080 (disabled
//   B0B0B0), filled with the selection colour (disabled B8B8B8) from the minimum to the thumb, and
//   a thumb 10 long and 16 across drawn as the bevel; vertical when taller than wide, the minimum
//   at the bottom.
// - Progress bar: white in a frame of 808080 (disabled B0B0B0), filled from the left in proportion
//   to its value with the selection colour (disabled B8B8B8); indeterminate ('inde' true), in
//   stripes 8 points wide of the selection colour and 9DBAEB.
// - Static text: its text from the top left, broken into lines 17 points high.
// - Tabs: the titles as tabs 22 high side by side and centred, each as wide as its title plus 24,
//   the chosen one (the value, from 1) filled with the selection colour with white text, the others
//   as bevels; under them a frame of 808080 around the pane from 11 points down.
// - Text view: white (disabled F0F0F0) in a frame of 808080, its text in lines from 4 points in.
// - Placard: ED ED ED in an edge of 8C8C8C (disabled F5F5F5 and BFBFBF).
// - Icon: the picture its nib names (a PNG resource of the main bundle, "name" or "name.png")
//   shrunk to fit and centred, at half alpha while pressed or disabled; without one a square of
//   808080 (pressed 555555, disabled B0B0B0) up to 32 points, centred.
// - Image (from a nib): the picture its nib names at its size from its top left.
// - Scroll view: over its subviews, scroll bars 15 wide along its right and bottom edges: a track
//   of F0F0F0 in a frame of B0B0B0 and, when the recorded image is larger than the view, a thumb
//   drawn as the bevel whose length and place follow the visible part.
// - A window's root view draws its frame: a title band of D4D4D4 (inactive EEEEEE) with a line of
//   808080 at its foot, the close, collapse and zoom boxes it has as discs 12 across where
//   FindWindow finds them (E0443E, E5A62E, 3EAF48; inactive C8C8C8), and the title centred.
// User panes, custom views and the kinds not named here draw nothing of their own.
#pragma once
#include <HIToolbox/Drag.h>
#include <HIToolbox/HIView.h>
#include <HIToolbox/Menus.h>
#include <QD/QuickDraw.h>

typedef void (*ControlActionProcPtr)(ControlRef theControl, ControlPartCode partCode);
typedef ControlActionProcPtr ControlActionUPP;
inline ControlActionUPP NewControlActionUPP(ControlActionProcPtr proc) {
  return proc;
}

enum : ControlPartCode {
  kControlNoPart = 0,
  kControlMenuPart = 2,
  kControlButtonPart = 10,
  kControlCheckBoxPart = 11,
  kControlIndicatorPart = 129,
  kControlIconPart = 130
};

typedef ControlPartCode ControlFocusPart;
enum : ControlFocusPart {
  kControlFocusNoPart = 0,
  kControlFocusNextPart = -1,
  kControlFocusPrevPart = -2
};
enum : ControlPartCode {
  kControlStructureMetaPart = -1,
  kControlContentMetaPart = -2
};

constexpr OSStatus errInvalidPartCode = -30588;
constexpr OSStatus errCouldntSetFocus = -30585;

// What a control is: a custom view answers its kind as control data 'kind'.
struct ControlKind {
  OSType signature;
  OSType kind;
};

enum : ResType {
  kControlKindTag = 0x6b696e64,                // 'kind'
  kControlStaticTextCFStringTag = 0x63667374,  // 'cfst'
  kControlPopupButtonMenuRefTag = 0x6d686e64   // 'mhnd'
};

enum : UInt32 {
  kControlCheckBoxUncheckedValue = 0,
  kControlCheckBoxCheckedValue = 1,
  kControlCheckBoxMixedValue = 2
};

SInt32 GetControl32BitValue(ControlRef theControl);
void SetControl32BitValue(ControlRef theControl, SInt32 newValue);
SInt32 GetControl32BitMinimum(ControlRef theControl);
void SetControl32BitMinimum(ControlRef theControl, SInt32 newMinimum);
SInt32 GetControl32BitMaximum(ControlRef theControl);
void SetControl32BitMaximum(ControlRef theControl, SInt32 newMaximum);

OSStatus SetControlID(ControlRef inControl, const ControlID* inID);
OSStatus GetControlID(ControlRef inControl, ControlID* outID);
OSStatus GetControlByID(WindowRef inWindow, const ControlID* inID, ControlRef* outControl);
OSStatus SetControlCommandID(ControlRef inControl, UInt32 inCommandID);
OSStatus GetControlCommandID(ControlRef inControl, UInt32* outCommandID);
void SetControlReference(ControlRef theControl, SRefCon data);
SRefCon GetControlReference(ControlRef theControl);
void SetControlAction(ControlRef theControl, ControlActionUPP actionProc);
ControlActionUPP GetControlAction(ControlRef theControl);

OSStatus SetControlTitleWithCFString(ControlRef inControl, CFStringRef inString);
// The caller releases the title.
OSStatus CopyControlTitleAsCFString(ControlRef inControl, CFStringRef* outString);

OSStatus EnableControl(ControlRef inControl);
OSStatus DisableControl(ControlRef inControl);
Boolean IsControlEnabled(ControlRef inControl);
OSStatus ActivateControl(ControlRef inControl);
OSStatus DeactivateControl(ControlRef inControl);
Boolean IsControlActive(ControlRef inControl);
void HiliteControl(ControlRef theControl, ControlPartCode hiliteState);
ControlPartCode GetControlHilite(ControlRef inControl);

// The frame's rectangle, widened for titled buttons and texts (7 points a character plus the
// kind's margins, 20 high); baseline 12.
OSStatus GetBestControlRect(ControlRef inControl, Rect* outRect, SInt16* outBaseLineOffset);

OSStatus SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                        Size inSize, const void* inData);
OSStatus GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                        Size inBufferSize, void* inBuffer, Size* outActualSize);
OSStatus GetControlDataSize(ControlRef inControl, ControlPartCode inPart, ResType inTagName,
                            Size* outMaxSize);

// The pop-up's menu (owned by the control).
MenuRef GetControlPopupMenuHandle(ControlRef control);

// Tabs and segments: their titles, by 1-based index.
OSStatus StandIn_SetViewItems(ControlRef inControl, long count, const CFStringRef* titles);
long StandIn_ViewItemCount(ControlRef inControl);
// Icons and images: the content the nib named (a resource name); the caller releases it.
CFStringRef StandIn_CopyViewContent(ControlRef inControl);
// A browser shell's columns: property id and title by 0-based index.
long StandIn_BrowserColumnCount(ControlRef inControl);
UInt32 StandIn_BrowserColumnProperty(ControlRef inControl, long index);

// Custom view events. Each call sends its event to the control and falls back on the standard
// handling when no handler answers.
//
// HiliteControl, ActivateControl/DeactivateControl and EnableControl/DisableControl send
// kEventControlHiliteChanged ('copc', 'cnpc'), kEventControlActivate/Deactivate and
// kEventControlEnabledStateChanged when the state really changes; HIViewSetFrame,
// HIViewPlaceInSuperviewAt and HIViewMoveBy send kEventControlBoundsChanged ('attr': 1 moved, 2
// resized; 'prvb', 'crct' as HIRects) when the frame changes.
//
// GetControlRegion: kEventControlGetPartRegion ('cprt', 'crgn'); unanswered, the meta parts
// (-1, -2) and the kind's click part give the bounds and other parts errInvalidPartCode.
OSStatus GetControlRegion(ControlRef inControl, ControlPartCode inPart, RgnHandle outRegion);
// kEventControlGetOptimalBounds: 'cobn' (HIRect, starting as the bounds) and 'cobo' (starting at
// 0). GetBestControlRect asks it first and places the answered size at the frame's origin.
OSStatus HIViewGetOptimalBounds(HIViewRef inView, HIRect* outBounds, float* outBaseLineOffset);
// kEventControlGetSizeConstraints: 'mnsz' starts at 0 x 0, 'mxsz' at 32767 x 32767.
OSStatus HIViewGetSizeConstraints(HIViewRef inView, HISize* outMinSize, HISize* outMaxSize);

// Keyboard focus, one view per window. SetKeyboardFocus asks the old focus to give it up (part 0)
// and the new view to take the part (kEventControlSetFocusPart with 'cprt' and 'fevr', the full
// keyboard access setting); a view that answers part 0 is not focused (errCouldntSetFocus).
// Unanswered, a text view takes any part (1 for next or previous when it is not the focus, else
// none), and so do push buttons, check boxes, pop-ups, sliders and tabs when 'fevr' is true; other
// views take none.
// Advance/ReverseKeyboardFocus first ask the focus for its next (-1) or previous (-2) part, then
// offer that part to each visible, enabled view after (before) it in tree order, wrapping round;
// the first that takes a part becomes the focus.
OSStatus SetKeyboardFocus(WindowRef inWindow, ControlRef inControl, ControlFocusPart inPart);
// The focused view and its part; null and 0 when none.
OSStatus GetKeyboardFocus(WindowRef inWindow, ControlRef* outControl);
ControlPartCode StandIn_KeyboardFocusPart(WindowRef inWindow);
OSStatus ClearKeyboardFocus(WindowRef inWindow);
OSStatus AdvanceKeyboardFocus(WindowRef inWindow);
OSStatus ReverseKeyboardFocus(WindowRef inWindow);
// Full keyboard access (the 'fevr' of focus requests); off at start.
void StandIn_SetFullKeyboardAccess(bool everything);

// Drag tracking: a view gets the control drag events (kEventControlDragEnter, Within, Leave,
// Receive with 'drag') only while it tracks drags.
OSStatus SetControlDragTrackingEnabled(ControlRef inControl, Boolean inTracks);
OSStatus IsControlDragTrackingEnabled(ControlRef inControl, Boolean* outTracks);
// Sends one control drag event to a view that tracks drags ('cldg' starts false and is read back
// into outWouldAccept when given); eventNotHandledErr without sending when it does not track them.
OSStatus StandIn_SendControlDragEvent(ControlRef inControl, UInt32 inKind, DragRef inDrag,
                                      Boolean* outWouldAccept);
