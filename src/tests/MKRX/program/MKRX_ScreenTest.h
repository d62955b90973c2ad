// What the Mac program's screen tests share (run under tools/screen-run --no-wine): the program
// runs in this process on the sample job, on the X display of the run, with the test's timer
// firing in its own loop; the timer drives the display through XTest and compares its pixels with
// the screen model the stand-in composes.
#pragma once

#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/HIView.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/StandInPresenter.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#define Cursor XCursor
#include <X11/Xlib.h>
#undef Cursor

struct _cairo_surface;

// The root window's pixels, kept as an RGB image.
class MKRX_Screenshot {
public:
  explicit MKRX_Screenshot(Display* display);
  ~MKRX_Screenshot();
  MKRX_Screenshot(const MKRX_Screenshot&) = delete;
  MKRX_Screenshot& operator=(const MKRX_Screenshot&) = delete;

  bool Valid() const { return m_Surface != nullptr; }
  int Width() const;
  int Height() const;
  UInt32 Pixel(int x, int y) const;
  void WritePng(const std::string& path) const;

private:
  _cairo_surface* m_Surface = nullptr;
};

// How the display matched the screen model on a grid of probe points, and the screenshot compared.
struct MKRX_ScreenMatch {
  long compared = 0;
  long mismatches = 0;
  std::string firstMismatch;
  std::shared_ptr<const MKRX_Screenshot> shot;
};

// Brings the display in line with the stand-in, composes the screen model, compares the two at
// the probe points and keeps the screenshot as name.png in the build's screenshots folder.
MKRX_ScreenMatch MKRX_CompareScreenWithModel(StandIn_X11Presenter& presenter, Display* driver,
                                             const std::string& name);

bool MKRX_XWindowViewable(Display* display, unsigned long window);
// The stand-in's visible windows front to back, and those of them that are documents.
std::vector<WindowRef> MKRX_ShownWindows();
std::vector<WindowRef> MKRX_ShownSheetWindows();
// The X windows that are the root's children, bottom to top.
std::vector<unsigned long> MKRX_XStackingOrder(Display* display);

// Tells when windows stopped redrawing: the same windows with the same change counts as at the
// last look. A program that lays out, draws and activates over several passes of its loop shows
// its final state only then.
class MKRX_SettleWatch {
public:
  bool Settled(const std::vector<WindowRef>& windows);

private:
  std::vector<WindowRef> m_Windows;
  std::vector<long> m_Counts;
};

void MKRX_PressKey(Display* driver, KeySym symbol, bool down);
// Ctrl+Q: Command-Q on the presenter's keyboard.
void MKRX_PressQuit(Display* driver);
// Button 1 pressed and released at a point of the screen.
void MKRX_Click(Display* driver, int x, int y);
// Button 1 pressed at a point of the screen, moved in steps to another and released there.
void MKRX_Drag(Display* driver, int fromX, int fromY, int toX, int toY);
// A point of a view (from its top left) on the screen.
HIPoint MKRX_ScreenPointOfView(HIViewRef view, HIPoint where);

// A scratch home holding the preferences and the sample job, the presenter on the run's display
// (whose desktop is painted as the model's), and a second connection that drives the display.
class MKRX_ProgramScreenTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program on the sample job's files with the timer firing every quarter second from
  // half a second on; returns its exit status.
  int RunProgram(EventLoopTimerProcPtr timer, void* data);

  StandIn_X11Presenter& Presenter() { return *m_Presenter; }
  Display* Driver() const { return m_Driver; }

private:
  std::string m_Home;
  std::vector<std::string> m_Files;
  std::unique_ptr<StandIn_X11Presenter> m_Presenter;
  Display* m_Driver = nullptr;
};
