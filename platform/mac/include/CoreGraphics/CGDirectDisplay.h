// Displays of the Mac stand-in: one main screen, whose size and menu-bar height a test may set
// (StandIn_SetMainScreen). GetMainDevice (QD/QuickDraw.h), CGGetDisplaysWithRect,
// GetThemeMenuBarHeight (HIToolbox/Appearance.h), window positioning and FindWindow's menu bar
// (HIToolbox/MacWindows.h) and the screen model (HIToolbox/StandInScreen.h) all read this one
// model. Its top left is the global origin.
#pragma once
#include <CoreGraphics/CGGeometry.h>
#include <MacTypes.h>

typedef UInt32 CGDirectDisplayID;
typedef UInt32 CGDisplayCount;
typedef SInt32 CGError;
constexpr CGError kCGErrorSuccess = 0;
constexpr CGError kCGErrorIllegalArgument = 1001;

CGDirectDisplayID CGMainDisplayID();
// The main screen's bounds in global coordinates (origin at its top left).
CGRect CGDisplayBounds(CGDirectDisplayID display);
// The displays (at most maxDisplays) whose bounds meet the rectangle; *displayCount receives how
// many. Null displays only counts them.
CGError CGGetDisplaysWithRect(CGRect rect, CGDisplayCount maxDisplays, CGDirectDisplayID* displays,
                              CGDisplayCount* displayCount);

// Test hooks: the main screen's size and menu-bar height (by default 1024 x 768 with a menu bar
// of 22), and what they are.
struct StandIn_Screen {
  SInt16 width = 1024;
  SInt16 height = 768;
  SInt16 menuBarHeight = 22;
};
void StandIn_SetMainScreen(const StandIn_Screen& screen);
StandIn_Screen StandIn_MainScreen();
