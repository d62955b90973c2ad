// The presenter of the Mac stand-in: shows its windows and its menu bar on an X display and feeds
// the display's mouse and keyboard to the stand-in's input entries, so that a program over the
// stand-in runs on a Linux desktop.
//
// It is an input source (HIToolbox/StandInInput.h): the application loop and every modal loop
// take their input from it, and each time one asks, it first brings the display in line with the
// stand-in (Present). It reads only backing stores and the menu drawing (HIToolbox/StandInScreen.h)
// and hands over only raw input; hit testing, tracking, routing and menu commands stay the
// stand-in's.
//
// - Windows: one X window per visible stand-in window, over its structure, without decorations
//   (the stand-in draws the frame and moves and closes windows itself), stacked and focused in the
//   stand-in's order. An overlay window (kOverlayWindowClass) shows the windows beneath it through
//   its transparent pixels, as the screen model composes it.
// - The menu bar: one strip along the top of the screen, the program's own. A press on a title
//   opens its menu after the update-status round (StandIn_OpenMenu); releasing on an enabled item
//   chooses it (StandIn_ChooseMenuItem). A click on a title leaves the menu open until the next
//   click.
// - Input: button 1 (with its click count from the display's times), buttons 4 to 7 as the wheel,
//   motion, and keys as Mac key codes with their character; a key without a Mac key code that
//   types a character arrives as text. Modifiers: Ctrl is the Command key, Alt the Option key,
//   Super the Control key, Shift and Caps Lock themselves.
// - Alerts and drags: while a presenter is open, a user is at the display
//   (StandIn_SetUserAtDisplay): alerts the script does not answer show as windows and wait for
//   the user, and drags follow the mouse; the drag image shows under the mouse.
// - Cursors: theme cursors from the X cursor font, resource cursors from the bundle's PNG images.
// - Waiting: on the X connection and on Wake (posts from other threads) until the deadline, a time
//   on the event clock, which is meant to be live (StandIn_UseLiveClock).
//
// The stand-in's main screen becomes the X screen's size; its menu bar keeps its height.
#pragma once
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/StandInInput.h>

#include <memory>

class StandIn_X11Presenter : public StandIn_InputSource {
public:
  // Connects to the display (null: the one DISPLAY names); null when it cannot.
  static std::unique_ptr<StandIn_X11Presenter> Open(const char* displayName = nullptr);
  ~StandIn_X11Presenter() override;
  StandIn_X11Presenter(const StandIn_X11Presenter&) = delete;
  StandIn_X11Presenter& operator=(const StandIn_X11Presenter&) = delete;

  bool NextInput(EventTime deadline, StandIn_Input& input) override;
  void Wake() override;

  // Renders what is dirty, copies the pixels that changed, and shows, moves, stacks, focuses and
  // hides the X windows as the stand-in's windows stand; then waits until the display did it.
  void Present();
  // The X window that shows a stand-in window (0 when none does), and the menu bar's.
  unsigned long XWindowOf(WindowRef window) const;
  unsigned long MenuBarXWindow() const;

private:
  class Impl;
  explicit StandIn_X11Presenter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_Impl;
};
