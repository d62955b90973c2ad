// The numbers the Windows program shares with its resource script: resources, string-table
// texts, commands, private window messages and the hand-over's identifier. The script writes
// the plain numbers; the code names them here.
#pragma once

#include <windows.h>

namespace WKRX_Ids {

// Resources.
constexpr UINT kFrameResources = 128;  // menu, accelerators and title of a sheet window
constexpr UINT kAboutImage = 211;      // PNG
constexpr UINT kSplashImage = 213;     // PNG
constexpr int kWindowMenuIndex = 6;    // the Window popup of menu 128

constexpr UINT kCursorZoomIn = 401;
constexpr UINT kCursorZoomOut = 402;
constexpr UINT kCursorZoomLimit = 403;
constexpr UINT kCursorOpenHand = 404;
constexpr UINT kCursorClosedHand = 405;
constexpr UINT kCursorCross = 406;
constexpr UINT kCursorEyedropper = 407;
constexpr UINT kCursorPlaceGuideVert = 411;
constexpr UINT kCursorPlaceGuideHorz = 412;
constexpr UINT kCursorShiftGuideVert = 413;
constexpr UINT kCursorShiftGuideHorz = 414;
constexpr UINT kCursorSetOrigin = 415;

// Texts.
constexpr UINT kTextCaptionPrefix = 10003;
constexpr UINT kTextOldSystem = 10006;
constexpr UINT kTextUpgradeSystem = 10015;
constexpr UINT kTextOneFileIgnored = 10017;
constexpr UINT kTextOneFileDetail = 10018;
constexpr UINT kTextFilesIgnored = 10020;
constexpr UINT kTextFilesDetail = 10021;
constexpr UINT kTextResetQuestion = 10024;
constexpr UINT kTextResetDetail = 10025;
constexpr UINT kTextApplicationError = 10026;
constexpr UINT kTextSurfaceBack = 10061;
constexpr UINT kTextSurfaceFront = 10070;
constexpr UINT kTextReset = 10077;
constexpr UINT kTextIncompatibleSystem = 10098;
constexpr UINT kTextInvalidFiles = 10100;
constexpr UINT kTextSheetTitle = 10107;
constexpr UINT kTextUnitPoints = 10110;
constexpr UINT kTextUnitPicas = 10112;
constexpr UINT kTextUnitInches = 10114;
constexpr UINT kTextUnitMillimetres = 10116;
constexpr UINT kTextUnitCentimetres = 10118;

// Commands.
constexpr UINT kCommandCloseJob = 10124;
constexpr UINT kCommandExit = 10131;
constexpr UINT kCommandCascade = 10210;
constexpr UINT kCommandCloseAll = 10211;
constexpr UINT kCommandTileHorizontally = 10212;
constexpr UINT kCommandTileVertically = 10213;
// Each sheet window's item in every Window menu: its serial number.
constexpr UINT kFirstWindowSerial = 0xA001;
constexpr UINT kLastWindowSerial = 0xA100;

// What a start hands over to the running instance by WM_COPYDATA: its whole command line.
constexpr ULONG_PTR kCopyDataCommandLine = 0xB001;

}  // namespace WKRX_Ids

// Private messages among the application window and the sheet windows.
enum : UINT {
  WKRX_WM_OPENSHEETWINDOW = WM_APP + 2,
  WKRX_WM_ARRANGEWINDOWS = WM_APP + 4,
  WKRX_WM_BRINGWINDOWTOTOP = WM_APP + 6,
  WKRX_WM_SHEETWINDOWCLOSED = WM_APP + 7,
  WKRX_WM_CLOSESHEETWINDOW = WM_APP + 8,
  WKRX_WM_CLOSEALLSHEETWINDOWS = WM_APP + 9,
  WKRX_WM_QUIT = WM_APP + 0x0A,
  WKRX_WM_DEFAULTINKSCHANGED = WM_APP + 0x19,
  WKRX_WM_COLORDATABASECHANGED = WM_APP + 0x31
};
