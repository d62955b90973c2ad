// The stand-in's one screen (see CoreGraphics/CGDirectDisplay.h), as CoreGraphics, QuickDraw and
// the Appearance Manager report it.
#include <CoreGraphics/CGDirectDisplay.h>
#include <HIToolbox/Appearance.h>
#include <QD/QuickDraw.h>

#include <algorithm>
#include <mutex>

namespace {

constexpr CGDirectDisplayID kMainDisplay = 1;

struct Screens {
  std::mutex mutex;
  StandIn_Screen main;
  GDevice device{};
  GDevice* devicePointer = &device;
};

Screens& TheScreens() {
  static auto* screens = new Screens;
  return *screens;
}

StandIn_Screen Main() {
  std::lock_guard<std::mutex> lock(TheScreens().mutex);
  return TheScreens().main;
}

}  // namespace

CGDirectDisplayID CGMainDisplayID() {
  return kMainDisplay;
}

CGRect CGDisplayBounds(CGDirectDisplayID display) {
  if (display != kMainDisplay)
    return CGRectMake(0, 0, 0, 0);
  const StandIn_Screen screen = Main();
  return CGRectMake(0, 0, screen.width, screen.height);
}

CGError CGGetDisplaysWithRect(CGRect rect, CGDisplayCount maxDisplays, CGDirectDisplayID* displays,
                              CGDisplayCount* displayCount) {
  if (displayCount == nullptr)
    return kCGErrorIllegalArgument;
  const CGRect bounds = CGDisplayBounds(kMainDisplay);
  const bool meets = rect.size.width > 0 && rect.size.height > 0 &&
                     rect.origin.x < bounds.origin.x + bounds.size.width &&
                     bounds.origin.x < rect.origin.x + rect.size.width &&
                     rect.origin.y < bounds.origin.y + bounds.size.height &&
                     bounds.origin.y < rect.origin.y + rect.size.height;
  *displayCount = 0;
  if (meets && (displays == nullptr || maxDisplays > 0)) {
    if (displays != nullptr)
      displays[0] = kMainDisplay;
    *displayCount = 1;
  }
  return kCGErrorSuccess;
}

GDHandle GetMainDevice() {
  Screens& screens = TheScreens();
  std::lock_guard<std::mutex> lock(screens.mutex);
  screens.device.gdRect = Rect{0, 0, screens.main.height, screens.main.width};
  return &screens.devicePointer;
}

OSStatus GetThemeMenuBarHeight(SInt16* outHeight) {
  if (outHeight == nullptr)
    return paramErr;
  *outHeight = Main().menuBarHeight;
  return noErr;
}

void StandIn_SetMainScreen(const StandIn_Screen& screen) {
  std::lock_guard<std::mutex> lock(TheScreens().mutex);
  TheScreens().main = screen;
}

StandIn_Screen StandIn_MainScreen() {
  return Main();
}
