// The colour picker of the Mac stand-in: NPickColor and GetColor answer from the script (a
// colour, or cancel; cancel when nothing is scripted) and record what they were asked. NPickColor
// joins the per-call failure injection by name.
#pragma once
#include <ColorSync/ColorSync.h>
#include <QD/QuickDraw.h>

#include <string>

typedef SInt16 DialogPlacementSpec;
enum : DialogPlacementSpec {
  kAtSpecifiedOrigin = 0,
  kDeferToWindowOrigin = 1,
  kCenterOnMainScreen = 2
};
enum : UInt32 {
  kColorPickerDialogIsMoveable = 1,
  kColorPickerDialogIsModal = 2,
  kColorPickerCanModifyPalette = 4,
  kColorPickerCanAnimatePalette = 8,
  kColorPickerAppIsColorSyncAware = 16,
  kColorPickerInSystemDialog = 32,
  kColorPickerInApplDialog = 64,
  kColorPickerInPickerDialog = 128,
  kColorPickerDetachedFromChoices = 256,
  kColorPickerCallColorProcLive = 512
};

struct NPMColor {
  CMProfileRef profile;
  CMColor color;
};
struct PickerMenuItemInfo {
  SInt16 editMenuID;
  SInt16 undoItem;
  SInt16 cutItem;
  SInt16 copyItem;
  SInt16 pasteItem;
  SInt16 clearItem;
  Str255 undoString;
};
struct EventRecord;
typedef Boolean (*UserEventUPP)(EventRecord* event);
typedef void (*NColorChangedUPP)(SInt32 userData, NPMColor* newColor);
struct NColorPickerInfo {
  NPMColor theColor;
  CMProfileRef dstProfile;
  UInt32 flags;
  DialogPlacementSpec placeWhere;
  Point dialogOrigin;
  OSType pickerType;
  UserEventUPP eventProc;
  NColorChangedUPP colorProc;
  URefCon colorProcData;
  Str255 prompt;
  PickerMenuItemInfo mInfo;
  Boolean newColorChosen;
  UInt8 reserved;
};

// Runs the picker: a scripted colour becomes theColor.color with newColorChosen true; a cancel
// leaves the colour and sets it false. Either answers noErr.
OSStatus NPickColor(NColorPickerInfo* theColorInfo);
// True with the scripted colour, false (outColor untouched) on a cancel.
Boolean GetColor(Point where, ConstStr255Param prompt, const RGBColor* inColor, RGBColor* outColor);

// Test hooks: the next picker's answer, and what the last picker was asked.
void StandIn_ScriptPickColor(const CMColor& color);
void StandIn_ScriptCancelPicker();
// Forgets scripted answers (StandIn_ScriptClear does it too).
void StandIn_ClearPickerScript();
struct StandIn_PickerRequest {
  std::string prompt;
  DialogPlacementSpec placeWhere;
  Point dialogOrigin;
  UInt32 flags;
  OSType pickerType;
  CMProfileRef sourceProfile;
  CMProfileRef destinationProfile;
  bool hadEventProc;
  bool hadColorProc;
  long count;  // pickers run since the process began
};
StandIn_PickerRequest StandIn_LastPicker();
