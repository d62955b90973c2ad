// Controls of the Mac stand-in: values, ids, commands, references, action procedures, titles,
// enabling, best rects and control data, on the views of HIToolbox/HIView.h.
//
// A value is kept within minimum and maximum (setting either bound pulls it in);
// kEventControlValueFieldChanged is sent to the control only when the value really changes.
// SetControlData and GetControlData send kEventControlSetData (103) and kEventControlGetData
// (104) to the control with 'cprt', 'cdtg', 'cdbf' (typePtr) and 'cdbs' (typeLongInteger, a
// Size); the standard handling keeps data by tag: it answers errDataNotSupported for a tag never
// set and errDataSizeMismatch for a buffer of another size than the data. GetControlData reads the
// size back from 'cdbs'. The static text's text is tag kControlStaticTextCFStringTag (a retained
// CFStringRef).
//
// Standard handling of the click events: kEventControlHitTest answers the kind's part for a point
// inside the bounds ('mloc', typeHIPoint, view coordinates) and 0 outside; kEventControlTrack
// toggles a check box, and gives a pop-up or slider the next scripted answer
// (HIToolbox/StandInScript.h); kEventControlHit sends the control's command, when it has one, as
// kEventCommandProcess from the control.
#pragma once
#include <HIToolbox/HIView.h>
#include <HIToolbox/Menus.h>

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

enum : ResType {
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

// Whether the Drag Manager's drop plans reach the view (off for a new view; see HIToolbox/Drag.h).
OSStatus SetControlDragTrackingEnabled(ControlRef theControl, Boolean tracks);
OSStatus IsControlDragTrackingEnabled(ControlRef theControl, Boolean* tracks);

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
