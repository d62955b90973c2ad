// The separations palette's private window messages, its control ids and the pictures its
// controls show. Every message is sent (never posted): a pointer in a parameter belongs to the
// sender and is valid only during the call.
#pragma once

#include "WKRX/WKRX_CommandIds.h"
#include "WKRX/WKRX_ViewMessages.h"

#include <windows.h>

#include <bitset>
#include <vector>

// The 1024-bit set of plate versions: bit i stands for entry i of the sheet's version names.
using WKRX_VersionSet = std::bitset<1024>;

enum : UINT {
  WKRX_WM_SIDECHANGED = WM_APP + 24,
  // WKRX_WM_DEFAULTINKSCHANGED (WM_APP + 25) is shared with the application window.
  WKRX_WM_INKCHANGED = WM_APP + 26,
  WKRX_WM_SEPARATIONVISIBILITYCHANGED = WM_APP + 27,
  WKRX_WM_SEPARATIONSREORDERED = WM_APP + 28,
  WKRX_WM_OPACITYCHANGED = WM_APP + 29,
  WKRX_WM_PALETTEDIALOGBEGIN = WM_APP + 30,
  WKRX_WM_PALETTEDIALOGEND = WM_APP + 31,
  WKRX_WM_SETOTHERSOPPOSITE = WM_APP + 32,
  WKRX_WM_SETOTHERSSAME = WM_APP + 33,
  WKRX_WM_SETTEXTINDEX = WM_APP + 34,
  WKRX_WM_BEGINPANELDRAG = WM_APP + 35,
  WKRX_WM_VERSIONSELECTED = WM_APP + 36,
  WKRX_WM_UPDATEVERSIONCHOICE = WM_APP + 37,
  WKRX_WM_SHOWVERSIONINFO = WM_APP + 38
};
// The palette's own hidden, activated and deactivated notices are those of every palette
// (WKRX_ViewMessages.h).

class IMPN_Separation;

// The lParam of WKRX_WM_SEPARATIONSREORDERED: one surface's separations in their new order, top
// (laid down first) to bottom.
struct WKRX_ReorderedSeparations {
  bool m_Front;
  std::vector<IMPN_Separation*> m_Order;
};

namespace WKRX_Ids {

// The separations palette's command in the Window menu; its notices carry it in wParam.
constexpr UINT kCommandSeparationsPalette = 10149;

// Pictures.
constexpr UINT kBitmapUnknownInk = 201;
constexpr UINT kIconInkTransparentPressed = 331;
constexpr UINT kIconInkOpaque = 332;
constexpr UINT kIconInkOpaquePressed = 333;
constexpr UINT kIconInkTransparent = 334;
constexpr UINT kIconVersionInfo = 351;

// Texts.
constexpr UINT kTextSeparationsPalette = 10080;
constexpr UINT kTextCMYKEquivalent = 10090;
constexpr UINT kTextSurfaceBackLong = 10088;
constexpr UINT kTextSurfaceFrontLong = 10096;
constexpr UINT kTextVersion = 10220;
constexpr UINT kTextCyan = 10223;  // then Magenta, Yellow, Black, Red, Green, Blue
constexpr UINT kTextCustomColors = 10230;
constexpr UINT kTextCustomColorNotSaved = 10231;
constexpr UINT kTextCustomColorNotSavedDetail = 10232;

// Controls of a separation panel.
constexpr int kControlInkSwatch = 4101;
constexpr int kControlVisible = 4102;
constexpr int kControlInkType = 4103;
constexpr int kControlOpacity = 4104;
constexpr int kControlTextBox = 4105;
constexpr int kControlDensity = 4106;
// Controls of a surface panel.
constexpr int kControlSurfaceOpacity = 4202;
constexpr int kControlSurfaceName = 4203;
constexpr int kControlSurfaceDensity = 4204;
// Controls of the version panel.
constexpr int kControlVersionList = 4301;
constexpr int kControlVersionLabel = 4302;
constexpr int kControlVersionInfo = 4303;

}  // namespace WKRX_Ids
