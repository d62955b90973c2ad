// The sample job's writer comes before X's headers, whose macros clash with its names.
#include "MKRX/MKRX_Main.h"
#include "SampleJob.h"

#include "MKRX_ScreenTest.h"

#include <CoreServices/Folders.h>
#include <HIToolbox/StandInScreen.h>

#include <cairo.h>

#include <cstdlib>
#include <filesystem>

#define Cursor XCursor
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Cursor

MKRX_Screenshot::MKRX_Screenshot(Display* display) {
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

MKRX_Screenshot::~MKRX_Screenshot() {
  if (m_Surface)
    cairo_surface_destroy(m_Surface);
}

int MKRX_Screenshot::Width() const {
  return m_Surface ? cairo_image_surface_get_width(m_Surface) : 0;
}

int MKRX_Screenshot::Height() const {
  return m_Surface ? cairo_image_surface_get_height(m_Surface) : 0;
}

UInt32 MKRX_Screenshot::Pixel(int x, int y) const {
  const unsigned char* row = cairo_image_surface_get_data(m_Surface) +
                             std::size_t(cairo_image_surface_get_stride(m_Surface)) * y;
  return reinterpret_cast<const UInt32*>(row)[x] & 0xFFFFFFu;
}

void MKRX_Screenshot::WritePng(const std::string& path) const {
  cairo_surface_write_to_png(m_Surface, path.c_str());
}

MKRX_ScreenMatch MKRX_CompareScreenWithModel(StandIn_X11Presenter& presenter, Display* driver,
                                             const std::string& name) {
  presenter.Present();
  StandIn_ScreenRender();
  XSync(driver, False);
  MKRX_ScreenMatch match;
  auto taken = std::make_shared<const MKRX_Screenshot>(driver);
  if (!taken->Valid())
    return match;
  match.shot = taken;
  const MKRX_Screenshot& shot = *taken;
  // A grid whose steps share no factor with the widths of text and controls, so that every
  // stretch of the screen is probed somewhere.
  for (int y = 1; y < shot.Height(); y += 7)
    for (int x = 2; x < shot.Width(); x += 13) {
      const UInt32 model = StandIn_ScreenPixel(x, y) & 0xFFFFFFu;
      ++match.compared;
      if (model != shot.Pixel(x, y) && match.mismatches++ == 0)
        match.firstMismatch = std::to_string(x) + ", " + std::to_string(y);
    }
  std::filesystem::create_directories(MKRX_SCREENSHOT_DIR);
  shot.WritePng(std::string(MKRX_SCREENSHOT_DIR) + "/" + name + ".png");
  return match;
}

bool MKRX_XWindowViewable(Display* display, unsigned long window) {
  XWindowAttributes attributes{};
  return window != 0 && XGetWindowAttributes(display, window, &attributes) &&
         attributes.map_state == IsViewable;
}

std::vector<WindowRef> MKRX_ShownWindows() {
  std::vector<WindowRef> shown;
  for (WindowRef window = FrontWindow(); window; window = GetNextWindow(window))
    if (IsWindowVisible(window))
      shown.push_back(window);
  return shown;
}

std::vector<WindowRef> MKRX_ShownSheetWindows() {
  std::vector<WindowRef> sheets;
  for (WindowRef window : MKRX_ShownWindows()) {
    WindowClass windowClass = 0;
    GetWindowClass(window, &windowClass);
    if (windowClass == kDocumentWindowClass)
      sheets.push_back(window);
  }
  return sheets;
}

std::vector<unsigned long> MKRX_XStackingOrder(Display* display) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<unsigned long> order;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return order;
  order.assign(children, children + count);
  if (children)
    XFree(children);
  return order;
}

bool MKRX_SettleWatch::Settled(const std::vector<WindowRef>& windows) {
  std::vector<long> counts;
  for (WindowRef window : windows)
    counts.push_back(StandIn_WindowChangeCount(window));
  const bool same = windows == m_Windows && counts == m_Counts;
  m_Windows = windows;
  m_Counts = counts;
  return same;
}

void MKRX_PressKey(Display* driver, KeySym symbol, bool down) {
  XTestFakeKeyEvent(driver, XKeysymToKeycode(driver, symbol), down ? True : False, CurrentTime);
}

void MKRX_PressQuit(Display* driver) {
  MKRX_PressKey(driver, XK_Control_L, true);
  MKRX_PressKey(driver, XK_q, true);
  MKRX_PressKey(driver, XK_q, false);
  MKRX_PressKey(driver, XK_Control_L, false);
  XFlush(driver);
}

void MKRX_Click(Display* driver, int x, int y) {
  XTestFakeMotionEvent(driver, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(driver, 1, True, CurrentTime);
  XTestFakeButtonEvent(driver, 1, False, CurrentTime);
  XFlush(driver);
}

void MKRX_Drag(Display* driver, int fromX, int fromY, int toX, int toY) {
  XTestFakeMotionEvent(driver, -1, fromX, fromY, CurrentTime);
  XTestFakeButtonEvent(driver, 1, True, CurrentTime);
  // Several moves on the way, as a hand makes them: trackers see the drag, not a jump.
  constexpr int kSteps = 5;
  for (int step = 1; step <= kSteps; ++step)
    XTestFakeMotionEvent(driver, -1, fromX + (toX - fromX) * step / kSteps,
                         fromY + (toY - fromY) * step / kSteps, CurrentTime);
  XTestFakeButtonEvent(driver, 1, False, CurrentTime);
  XFlush(driver);
}

HIPoint MKRX_ScreenPointOfView(HIViewRef view, HIPoint where) {
  // Converted to no view, a point is in its window's structure, whose bounds are global.
  HIViewConvertPoint(&where, view, nullptr);
  Rect structure{};
  GetWindowBounds(HIViewGetWindow(view), kWindowStructureRgn, &structure);
  return CGPointMake(where.x + structure.left, where.y + structure.top);
}

void MKRX_ProgramScreenTest::SetUp() {
  const std::string scratch = std::filesystem::temp_directory_path() / "mkrx_screen_XXXXXX";
  std::vector<char> folder(scratch.begin(), scratch.end());
  folder.push_back('\0');
  ASSERT_NE(nullptr, ::mkdtemp(folder.data()));
  m_Home = folder.data();
  StandIn_SetFolder(kPreferencesFolderType, m_Home.c_str());
  m_Files = SampleJob::WriteAll(m_Home);

  StandIn_UseLiveClock(true);
  m_Presenter = StandIn_X11Presenter::Open();
  ASSERT_TRUE(m_Presenter) << "no X display: run the test under tools/screen-run";
  m_Driver = XOpenDisplay(nullptr);
  ASSERT_NE(nullptr, m_Driver);
  int event = 0, error = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(m_Driver, &event, &error, &major, &minor));
  // This display's desktop is painted as the model's.
  XSetWindowBackground(m_Driver, DefaultRootWindow(m_Driver), kStandInDesktopColour & 0xFFFFFFu);
  XClearWindow(m_Driver, DefaultRootWindow(m_Driver));
  XSync(m_Driver, False);
}

void MKRX_ProgramScreenTest::TearDown() {
  m_Presenter.reset();
  if (m_Driver)
    XCloseDisplay(m_Driver);
  StandIn_SetFolder(kPreferencesFolderType, nullptr);
  if (!m_Home.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_Home, ignored);
  }
}

int MKRX_ProgramScreenTest::RunProgram(EventLoopTimerProcPtr timer, void* data) {
  EventLoopTimerRef installed = nullptr;
  EXPECT_EQ(noErr, InstallEventLoopTimer(GetMainEventLoop(), 0.5, 0.25, timer, data, &installed));
  std::vector<const char*> argv{"HalvorenKRXMac"};
  for (const std::string& file : m_Files)
    argv.push_back(file.c_str());
  return MKRX_Main(static_cast<int>(argv.size()), argv.data(), *m_Presenter);
}
