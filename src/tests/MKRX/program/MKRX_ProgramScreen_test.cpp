// The Mac program on an X display of its own (run under tools/screen-run), from a bundle laid out
// as the program's: opened on the sample job it shows the menu bar and the two sheet windows, the
// display shows what the screen model composes, and Ctrl+Q (Command-Q) ends it with 0. The
// screenshot goes to the build's screenshots folder.
#include <gtest/gtest.h>

#include "MKRX/MKRX_Main.h"
#include "SampleJob.h"

#include <CoreServices/Folders.h>
#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/StandInPresenter.h>
#include <HIToolbox/StandInScreen.h>

#include <cairo.h>

#include <filesystem>
#include <string>
#include <vector>

#define Cursor XCursor
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Cursor

namespace {

// The root window's pixels, kept as an RGB image.
class Screenshot {
public:
  explicit Screenshot(Display* display) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image =
        XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr)
      return;
    m_Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width, image->height);
    unsigned char* data = cairo_image_surface_get_data(m_Surface);
    const int stride = cairo_image_surface_get_stride(m_Surface);
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x)
        reinterpret_cast<UInt32*>(data + std::size_t(stride) * std::size_t(y))[x] =
            static_cast<UInt32>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    cairo_surface_mark_dirty(m_Surface);
    XDestroyImage(image);
  }
  ~Screenshot() {
    if (m_Surface)
      cairo_surface_destroy(m_Surface);
  }
  Screenshot(const Screenshot&) = delete;
  Screenshot& operator=(const Screenshot&) = delete;

  bool Valid() const { return m_Surface != nullptr; }
  int Width() const { return m_Surface ? cairo_image_surface_get_width(m_Surface) : 0; }
  int Height() const { return m_Surface ? cairo_image_surface_get_height(m_Surface) : 0; }
  UInt32 Pixel(int x, int y) const {
    const unsigned char* row = cairo_image_surface_get_data(m_Surface) +
                               std::size_t(cairo_image_surface_get_stride(m_Surface)) * y;
    return reinterpret_cast<const UInt32*>(row)[x] & 0xFFFFFFu;
  }
  void WritePng(const std::string& path) const {
    cairo_surface_write_to_png(m_Surface, path.c_str());
  }

private:
  cairo_surface_t* m_Surface = nullptr;
};

// What the run's timer saw, checked once the program has ended.
struct Probe {
  StandIn_X11Presenter* presenter = nullptr;
  Display* driver = nullptr;
  EventTime start = 0;
  std::vector<long> lastCounts;
  int documentWindows = 0;
  bool menuBarShown = false;
  bool sheetWindowsShown = false;
  long compared = 0;
  long mismatches = 0;
  std::string firstMismatch;
  bool done = false;
};

bool Viewable(Display* display, unsigned long window) {
  XWindowAttributes attributes{};
  return window != 0 && XGetWindowAttributes(display, window, &attributes) &&
         attributes.map_state == IsViewable;
}

// The document windows shown, front to back.
std::vector<WindowRef> SheetWindows() {
  std::vector<WindowRef> shown;
  for (WindowRef window = GetFrontWindowOfClass(kDocumentWindowClass, true); window;
       window = GetNextWindow(window)) {
    WindowClass windowClass = 0;
    GetWindowClass(window, &windowClass);
    if (IsWindowVisible(window) && windowClass == kDocumentWindowClass)
      shown.push_back(window);
  }
  return shown;
}

void Press(Display* driver, KeySym symbol, bool down) {
  XTestFakeKeyEvent(driver, XKeysymToKeycode(driver, symbol), down ? True : False, CurrentTime);
}

// Fires every quarter second in the program's own loop until the two sheet windows are shown and
// their pixels have settled (or 30 seconds passed), then compares the display with the screen
// model, keeps the screenshot and presses Ctrl+Q.
void ProbeTimer(EventLoopTimerRef timer, void* data) {
  Probe& probe = *static_cast<Probe*>(data);
  if (probe.done)
    return;
  const std::vector<WindowRef> sheets = SheetWindows();
  std::vector<long> counts;
  for (WindowRef window : sheets)
    counts.push_back(StandIn_WindowChangeCount(window));
  const bool settled = sheets.size() == 2 && counts == probe.lastCounts;
  probe.lastCounts = counts;
  if (!settled && GetCurrentEventTime() - probe.start < 30)
    return;
  probe.done = true;
  RemoveEventLoopTimer(timer);

  probe.presenter->Present();
  StandIn_ScreenRender();
  XSync(probe.driver, False);
  probe.documentWindows = static_cast<int>(sheets.size());
  probe.menuBarShown = Viewable(probe.driver, probe.presenter->MenuBarXWindow());
  probe.sheetWindowsShown = !sheets.empty();
  for (WindowRef window : sheets)
    probe.sheetWindowsShown =
        probe.sheetWindowsShown && Viewable(probe.driver, probe.presenter->XWindowOf(window));
  const Screenshot shot(probe.driver);
  if (shot.Valid()) {
    for (int y = 1; y < shot.Height(); y += 7)
      for (int x = 2; x < shot.Width(); x += 13) {
        const UInt32 model = StandIn_ScreenPixel(x, y) & 0xFFFFFFu;
        ++probe.compared;
        if (model != shot.Pixel(x, y) && probe.mismatches++ == 0)
          probe.firstMismatch = std::to_string(x) + ", " + std::to_string(y);
      }
    std::filesystem::create_directories(MKRX_SCREENSHOT_DIR);
    shot.WritePng(std::string(MKRX_SCREENSHOT_DIR) + "/mac-program.png");
  }
  Press(probe.driver, XK_Control_L, true);
  Press(probe.driver, XK_q, true);
  Press(probe.driver, XK_q, false);
  Press(probe.driver, XK_Control_L, false);
  XFlush(probe.driver);
}

TEST(MKRX_ProgramScreenTest, OnTheSampleJobItShowsTheMenuBarAndTwoSheetsAndCtrlQEndsIt) {
  const std::string scratch = std::filesystem::temp_directory_path() / "mkrx_screen_XXXXXX";
  std::vector<char> folder(scratch.begin(), scratch.end());
  folder.push_back('\0');
  ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
  const std::string home = folder.data();
  StandIn_SetFolder(kPreferencesFolderType, home.c_str());
  const std::vector<std::string> files = SampleJob::WriteAll(home);

  StandIn_UseLiveClock(true);
  std::unique_ptr<StandIn_X11Presenter> presenter = StandIn_X11Presenter::Open();
  ASSERT_TRUE(presenter) << "no X display: run the test under tools/screen-run";
  Display* driver = XOpenDisplay(nullptr);
  ASSERT_NE(nullptr, driver);
  // This display's desktop is painted as the model's.
  XSetWindowBackground(driver, DefaultRootWindow(driver), kStandInDesktopColour & 0xFFFFFFu);
  XClearWindow(driver, DefaultRootWindow(driver));
  XSync(driver, False);

  Probe probe;
  probe.presenter = presenter.get();
  probe.driver = driver;
  probe.start = GetCurrentEventTime();
  EventLoopTimerRef timer = nullptr;
  ASSERT_EQ(noErr,
            InstallEventLoopTimer(GetMainEventLoop(), 0.5, 0.25, &ProbeTimer, &probe, &timer));

  std::vector<const char*> argv{"HalvorenKRXMac"};
  for (const std::string& file : files)
    argv.push_back(file.c_str());
  const int status = MKRX_Main(static_cast<int>(argv.size()), argv.data(), *presenter);

  EXPECT_EQ(0, status);
  EXPECT_TRUE(probe.done);
  EXPECT_EQ(2, probe.documentWindows);
  EXPECT_TRUE(probe.menuBarShown);
  EXPECT_TRUE(probe.sheetWindowsShown);
  EXPECT_GT(probe.compared, 10000);
  EXPECT_EQ(0, probe.mismatches) << "first at " << probe.firstMismatch;

  presenter.reset();
  XCloseDisplay(driver);
  StandIn_SetFolder(kPreferencesFolderType, nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
}

}  // namespace
