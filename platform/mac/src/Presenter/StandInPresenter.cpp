// The presenter of the Mac stand-in on an X display (see HIToolbox/StandInPresenter.h).
#include <HIToolbox/StandInPresenter.h>

#include "iStandInX11Keys.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>
#include <HIToolbox/Appearance.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/StandInScreen.h>
#include <CoreGraphics/CGDirectDisplay.h>

#include <cairo.h>

// X names its cursor type as QuickDraw names its own.
#define Cursor XCursor
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#undef Cursor

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

// Owning wrappers for cairo objects.
struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
struct CairoDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// A window that holds a reference while the presenter shows it, so that its address names it
// for as long as it is in the presenter's books.
class HeldWindow {
public:
  explicit HeldWindow(WindowRef window) : m_Window(window) { CFRetain(window); }
  ~HeldWindow() {
    if (m_Window)
      CFRelease(m_Window);
  }
  HeldWindow(HeldWindow&& other) noexcept : m_Window(other.m_Window) { other.m_Window = nullptr; }
  HeldWindow(const HeldWindow&) = delete;
  HeldWindow& operator=(const HeldWindow&) = delete;
  HeldWindow& operator=(HeldWindow&&) = delete;

private:
  WindowRef m_Window;
};

// X errors are answers to requests the presenter makes on a best-effort basis (focus on a window
// a window manager has not mapped yet, restacking windows it reparented): none ends the program.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

Rect StructureOf(WindowRef window) {
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  return structure;
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

int WidthOf(const Rect& r) {
  return std::max(1, r.right - r.left);
}
int HeightOf(const Rect& r) {
  return std::max(1, r.bottom - r.top);
}

// The visible windows, front to back.
std::vector<WindowRef> VisibleFrontToBack() {
  std::vector<WindowRef> shown;
  for (WindowRef window = GetFrontWindowOfClass(kAllWindowClasses, false); window;
       window = GetNextWindow(window))
    if (IsWindowVisible(window))
      shown.push_back(window);
  return shown;
}

bool IsOverlay(WindowRef window) {
  WindowClass windowClass = 0;
  return GetWindowClass(window, &windowClass) == noErr && windowClass == kOverlayWindowClass;
}

std::string TitleOf(WindowRef window) {
  CFStringRef title = nullptr;
  if (CopyWindowTitleAsCFString(window, &title) != noErr || title == nullptr)
    return std::string();
  char buffer[512] = {};
  CFStringGetCString(title, buffer, sizeof buffer, kCFStringEncodingUTF8);
  CFRelease(title);
  return buffer;
}

// Paints a part of an image onto an X window's surface, replacing what was there. The images are
// ARGB32: cairo's upload of RGB24 images to a window loses a small record.
void CopyPixels(cairo_surface_t* target, cairo_surface_t* image, double x, double y, double width,
                double height) {
  CairoPtr cr(cairo_create(target));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr.get(), x, y, width, height);
  cairo_clip(cr.get());
  cairo_set_source_surface(cr.get(), image, 0, 0);
  cairo_paint(cr.get());
}

bool SamePixels(cairo_surface_t* a, cairo_surface_t* b) {
  if (a == nullptr || b == nullptr)
    return false;
  cairo_surface_flush(a);
  cairo_surface_flush(b);
  const int height = cairo_image_surface_get_height(a);
  const int stride = cairo_image_surface_get_stride(a);
  return cairo_image_surface_get_width(a) == cairo_image_surface_get_width(b) &&
         height == cairo_image_surface_get_height(b) &&
         stride == cairo_image_surface_get_stride(b) &&
         std::memcmp(cairo_image_surface_get_data(a), cairo_image_surface_get_data(b),
                     std::size_t(stride) * std::size_t(height)) == 0;
}

}  // namespace

class StandIn_X11Presenter::Impl {
public:
  Impl(Display* display, int wakeRead, int wakeWrite);
  ~Impl();

  bool NextInput(EventTime deadline, StandIn_Input& input);
  void Wake();
  void Present();
  Window XWindowOf(WindowRef window) const;
  Window MenuBar() const { return m_MenuBar; }

private:
  // An X window that shows a stand-in window.
  struct Shown {
    HeldWindow hold;
    Window xid = 0;
    SurfacePtr surface;
    Rect structure{0, 0, 0, 0};
    long copiedCount = -1;  // the change count its pixels show
    bool overlay = false;
  };
  // What a render pass is about to change in a window.
  struct Pending {
    long countBefore;
    HIRect dirty;
  };

  Window NewWindow(const Rect& place, bool overrideRedirect, const std::string& title);
  // Copies a part of an image (ARGB32) onto an X window's surface.
  void Copy(cairo_surface_t* target, cairo_surface_t* image, double x, double y, double width,
            double height);
  bool DisplayTakesCairoPixels() const;
  void SyncWindows(const std::map<WindowRef, Pending>& rendered);
  void CopyChanged(WindowRef window, Shown& shown, const Pending* rendered);
  void ComposeOverlay(WindowRef overlay, Shown& shown);
  // Paints the desktop and the windows up to and including `last` (all: null) within the place.
  void ComposeBeneath(cairo_t* cr, const Rect& place, WindowRef last);
  void SyncDragImage();
  void SyncStacking(const std::vector<WindowRef>& order);
  void SyncFocus();
  void SyncMenuBar();
  void SyncCursor();
  void CopyExposed(const XExposeEvent& event);

  // Input.
  void Handle(XEvent& event);
  void Push(const StandIn_Input& input);
  void HandleKey(XKeyEvent& event);
  UInt32 CountClick(const XButtonEvent& event);
  bool TakeWake();
  // Waits for X events or a wake until the deadline; false when the deadline passed.
  bool WaitUntil(EventTime deadline);

  // Menus.
  void TrackMenus(const XButtonEvent& press);
  MenuItemIndex TitleAt(int x, int y) const;

  Display* m_Display;
  int m_Screen;
  int m_WakeRead;
  int m_WakeWrite;
  Atom m_MotifHints;
  Atom m_DeleteWindow;
  Atom m_WindowType;
  Atom m_TypeDock;
  standin_x11::ModifierMasks m_Masks;
  bool m_DirectPixels = false;

  std::map<WindowRef, Shown> m_Shown;
  std::vector<Window> m_Stacking;
  std::map<Window, bool> m_Viewable;
  Window m_Focused = 0;

  Window m_MenuBar = 0;
  SurfacePtr m_MenuBarSurface;
  SurfacePtr m_MenuBarImage;
  MenuItemIndex m_MenuBarHighlight = 0;

  // The image of a drag that follows the mouse, over what lies beneath it.
  Window m_DragWindow = 0;
  SurfacePtr m_DragSurface;
  Rect m_DragPlace{0, 0, 0, 0};

  // The open menu while menus are tracked.
  Window m_MenuWindow = 0;
  SurfacePtr m_MenuWindowSurface;
  SurfacePtr m_MenuImage;

  StandIn_CursorRecord m_Cursor;
  bool m_CursorSet = false;
  XCursor m_XCursor = 0;

  std::deque<StandIn_Input> m_Inputs;
  Time m_LastPress = 0;
  int m_LastPressX = -100;
  int m_LastPressY = -100;
  UInt32 m_Clicks = 0;
  // A menu command ran inside the wait: what it queued is the loop's to deliver first.
  bool m_CommandRan = false;
};

StandIn_X11Presenter::Impl::Impl(Display* display, int wakeRead, int wakeWrite)
    : m_Display(display),
      m_Screen(DefaultScreen(display)),
      m_WakeRead(wakeRead),
      m_WakeWrite(wakeWrite),
      m_MotifHints(XInternAtom(display, "_MOTIF_WM_HINTS", False)),
      m_DeleteWindow(XInternAtom(display, "WM_DELETE_WINDOW", False)),
      m_WindowType(XInternAtom(display, "_NET_WM_WINDOW_TYPE", False)),
      m_TypeDock(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False)) {
  XSetErrorHandler(&IgnoreXError);
  // Held keys repeat as presses alone, without a release before each.
  XkbSetDetectableAutoRepeat(display, True, nullptr);
  // Which of Mod1 to Mod5 hold Alt and Super on this keyboard.
  if (XModifierKeymap* map = XGetModifierMapping(display)) {
    for (int mod = Mod1MapIndex; mod <= Mod5MapIndex; ++mod)
      for (int k = 0; k < map->max_keypermod; ++k) {
        const KeyCode code = map->modifiermap[mod * map->max_keypermod + k];
        if (code == 0)
          continue;
        const KeySym sym = XkbKeycodeToKeysym(display, code, 0, 0);
        if (sym == XK_Alt_L || sym == XK_Alt_R)
          m_Masks.alt = 1u << mod;
        if (sym == XK_Super_L || sym == XK_Super_R)
          m_Masks.super = 1u << mod;
      }
    XFreeModifiermap(map);
  }
  m_DirectPixels = DisplayTakesCairoPixels();
  // The stand-in's screen is the X screen; its menu bar is the strip along the top.
  StandIn_Screen screen = StandIn_MainScreen();
  screen.width = static_cast<SInt16>(std::min(DisplayWidth(display, m_Screen), 32767));
  screen.height = static_cast<SInt16>(std::min(DisplayHeight(display, m_Screen), 32767));
  StandIn_SetMainScreen(screen);
  m_MenuBar = NewWindow(Rect{0, 0, screen.menuBarHeight, screen.width}, false, "Menu bar");
  XChangeProperty(display, m_MenuBar, m_WindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&m_TypeDock), 1);
  m_MenuBarSurface.reset(cairo_xlib_surface_create(
      display, m_MenuBar, DefaultVisual(display, m_Screen), screen.width, screen.menuBarHeight));
  XMapWindow(display, m_MenuBar);
  // A user at the display answers alerts and drags.
  StandIn_SetUserAtDisplay(true);
}

StandIn_X11Presenter::Impl::~Impl() {
  StandIn_SetUserAtDisplay(false);
  // cairo's state for the display goes with it: finished here, so that uploads still under way
  // are waited for and their records freed before the connection closes.
  cairo_device_t* device = cairo_device_reference(cairo_surface_get_device(m_MenuBarSurface.get()));
  m_MenuWindowSurface.reset();
  m_MenuBarSurface.reset();
  for (auto& [window, shown] : m_Shown) {
    shown.surface.reset();
    XDestroyWindow(m_Display, shown.xid);
  }
  m_Shown.clear();
  if (m_MenuWindow)
    XDestroyWindow(m_Display, m_MenuWindow);
  m_DragSurface.reset();
  if (m_DragWindow)
    XDestroyWindow(m_Display, m_DragWindow);
  XDestroyWindow(m_Display, m_MenuBar);
  if (m_XCursor)
    XFreeCursor(m_Display, m_XCursor);
  XSync(m_Display, False);
  cairo_device_finish(device);
  cairo_device_destroy(device);
  XCloseDisplay(m_Display);
  close(m_WakeRead);
  close(m_WakeWrite);
}

Window StandIn_X11Presenter::Impl::NewWindow(const Rect& place, bool overrideRedirect,
                                             const std::string& title) {
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;  // what the window shows is always copied in
  attributes.override_redirect = overrideRedirect ? True : False;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
  const Window xid =
      XCreateWindow(m_Display, RootWindow(m_Display, m_Screen), place.left, place.top,
                    WidthOf(place), HeightOf(place), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWBackPixmap | CWOverrideRedirect | CWEventMask, &attributes);
  // No decorations: the stand-in draws each window's frame.
  struct {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
  } hints = {2, 0, 0, 0, 0};
  XChangeProperty(m_Display, xid, m_MotifHints, m_MotifHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&hints), 5);
  // Where the stand-in put it, not where a window manager would.
  XSizeHints size{};
  size.flags = USPosition | USSize | PPosition | PSize;
  size.x = place.left;
  size.y = place.top;
  size.width = WidthOf(place);
  size.height = HeightOf(place);
  XSetWMNormalHints(m_Display, xid, &size);
  XStoreName(m_Display, xid, title.c_str());
  XClassHint classHint{const_cast<char*>("HalvorenKRXMac"), const_cast<char*>("HalvorenKRXMac")};
  XSetClassHint(m_Display, xid, &classHint);
  // A window manager's close is refused: windows close by their own close box.
  XSetWMProtocols(m_Display, xid, &m_DeleteWindow, 1);
  if (m_XCursor)
    XDefineCursor(m_Display, xid, m_XCursor);
  return xid;
}

bool StandIn_X11Presenter::Impl::DisplayTakesCairoPixels() const {
  // 24-bit true colour in 32-bit pixels laid out as 0xRRGGBB in the host's byte order: what
  // cairo's ARGB32 images hold, so that their rows go to the server as they are.
  const Visual* visual = DefaultVisual(m_Display, m_Screen);
  if (DefaultDepth(m_Display, m_Screen) != 24 || visual->red_mask != 0xFF0000 ||
      visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
    return false;
  const std::uint32_t probe = 1;
  const bool hostLsbFirst = *reinterpret_cast<const unsigned char*>(&probe) == 1;
  if (ImageByteOrder(m_Display) != (hostLsbFirst ? LSBFirst : MSBFirst))
    return false;
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(m_Display, &count);
  bool thirtyTwo = false;
  for (int i = 0; i < count; ++i)
    if (formats[i].depth == 24)
      thirtyTwo = formats[i].bits_per_pixel == 32;
  if (formats)
    XFree(formats);
  return thirtyTwo;
}

void StandIn_X11Presenter::Impl::Copy(cairo_surface_t* target, cairo_surface_t* image, double x,
                                      double y, double width, double height) {
  if (!m_DirectPixels || cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32) {
    CopyPixels(target, image, x, y, width, height);
    return;
  }
  // The image's own rows as an X image, put straight into the window: besides being the quick
  // road, it keeps cairo's upload records (which a closed window would strand) out of the way.
  cairo_surface_flush(image);
  const int imageWidth = cairo_image_surface_get_width(image);
  const int imageHeight = cairo_image_surface_get_height(image);
  const int left = std::max(0, static_cast<int>(x));
  const int top = std::max(0, static_cast<int>(y));
  const int right = std::min(imageWidth, static_cast<int>(x + width));
  const int bottom = std::min(imageHeight, static_cast<int>(y + height));
  if (right <= left || bottom <= top)
    return;
  XImage* rows =
      XCreateImage(m_Display, DefaultVisual(m_Display, m_Screen), 24, ZPixmap, 0,
                   reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                   static_cast<unsigned int>(imageWidth), static_cast<unsigned int>(imageHeight),
                   32, cairo_image_surface_get_stride(image));
  if (rows == nullptr) {
    CopyPixels(target, image, x, y, width, height);
    return;
  }
  XPutImage(m_Display, cairo_xlib_surface_get_drawable(target), DefaultGC(m_Display, m_Screen),
            rows, left, top, left, top, static_cast<unsigned int>(right - left),
            static_cast<unsigned int>(bottom - top));
  rows->data = nullptr;  // the image's, not the X image's
  XDestroyImage(rows);
}

Window StandIn_X11Presenter::Impl::XWindowOf(WindowRef window) const {
  auto found = m_Shown.find(window);
  return found == m_Shown.end() ? 0 : found->second.xid;
}

void StandIn_X11Presenter::Impl::Present() {
  // Rendering runs draw handlers, which may show, hide or dispose of windows: the windows are
  // rendered first and shown as they stand afterwards.
  std::map<WindowRef, Pending> rendered;
  for (WindowRef window : VisibleFrontToBack()) {
    CFRetain(window);
    Pending pending{StandIn_WindowChangeCount(window), StandIn_WindowDirtyBounds(window)};
    StandIn_WindowRender(window);
    rendered.emplace(window, pending);
    CFRelease(window);
  }
  SyncWindows(rendered);
  SyncDragImage();
  SyncMenuBar();
  SyncCursor();
  SyncFocus();
  // The display has done all of it when the caller goes on (a test reads the screen then).
  XSync(m_Display, False);
}

void StandIn_X11Presenter::Impl::SyncWindows(const std::map<WindowRef, Pending>& rendered) {
  const std::vector<WindowRef> order = VisibleFrontToBack();
  // Windows no longer shown go first.
  for (auto it = m_Shown.begin(); it != m_Shown.end();) {
    if (std::find(order.begin(), order.end(), it->first) != order.end()) {
      ++it;
      continue;
    }
    it->second.surface.reset();
    XDestroyWindow(m_Display, it->second.xid);
    m_Viewable.erase(it->second.xid);
    if (m_Focused == it->second.xid)
      m_Focused = 0;
    it = m_Shown.erase(it);
  }
  bool moved = false;
  for (WindowRef window : order) {
    const Rect structure = StructureOf(window);
    auto found = m_Shown.find(window);
    if (found == m_Shown.end()) {
      Shown shown{HeldWindow(window), 0, nullptr, structure, -1, IsOverlay(window)};
      shown.xid = NewWindow(structure, false, TitleOf(window));
      shown.surface.reset(cairo_xlib_surface_create(m_Display, shown.xid,
                                                    DefaultVisual(m_Display, m_Screen),
                                                    WidthOf(structure), HeightOf(structure)));
      XMapWindow(m_Display, shown.xid);
      found = m_Shown.emplace(window, std::move(shown)).first;
      moved = true;
    } else if (!SameRect(found->second.structure, structure)) {
      Shown& shown = found->second;
      XMoveResizeWindow(m_Display, shown.xid, structure.left, structure.top, WidthOf(structure),
                        HeightOf(structure));
      cairo_xlib_surface_set_size(shown.surface.get(), WidthOf(structure), HeightOf(structure));
      if (WidthOf(structure) != WidthOf(shown.structure) ||
          HeightOf(structure) != HeightOf(shown.structure))
        shown.copiedCount = -1;  // a new size: all of it is new
      shown.structure = structure;
      moved = true;
    }
  }
  bool changed = moved;
  for (WindowRef window : order) {
    Shown& shown = m_Shown.find(window)->second;
    if (shown.overlay)
      continue;
    const long before = shown.copiedCount;
    auto pending = rendered.find(window);
    CopyChanged(window, shown, pending == rendered.end() ? nullptr : &pending->second);
    changed = changed || before != shown.copiedCount;
  }
  // Overlays show what lies beneath them, which may have changed under them.
  for (WindowRef window : order) {
    Shown& shown = m_Shown.find(window)->second;
    if (shown.overlay && (changed || shown.copiedCount != StandIn_WindowChangeCount(window)))
      ComposeOverlay(window, shown);
  }
  SyncStacking(order);
}

void StandIn_X11Presenter::Impl::CopyChanged(WindowRef window, Shown& shown,
                                             const Pending* rendered) {
  const long count = StandIn_WindowChangeCount(window);
  if (count == shown.copiedCount)
    return;
  SurfacePtr store(StandIn_CopyWindowBackingStore(window));
  if (!store)
    return;
  const int width = cairo_image_surface_get_width(store.get());
  const int height = cairo_image_surface_get_height(store.get());
  // Only the render pass changed the pixels since the last copy: its dirty part is all that moved.
  const bool onlyDirty = rendered && shown.copiedCount >= 0 &&
                         rendered->countBefore == shown.copiedCount &&
                         !CGRectIsEmpty(rendered->dirty);
  if (onlyDirty) {
    const HIRect dirty = rendered->dirty;
    Copy(shown.surface.get(), store.get(), std::floor(dirty.origin.x), std::floor(dirty.origin.y),
         std::ceil(dirty.size.width) + 1, std::ceil(dirty.size.height) + 1);
  } else {
    Copy(shown.surface.get(), store.get(), 0, 0, width, height);
  }
  cairo_surface_flush(shown.surface.get());
  shown.copiedCount = count;
}

void StandIn_X11Presenter::Impl::ComposeBeneath(cairo_t* cr, const Rect& place, WindowRef last) {
  // The screen model's way: the desktop, then the windows back to front.
  const UInt32 desktop = kStandInDesktopColour;
  cairo_set_source_rgb(cr, (desktop >> 16 & 0xFF) / 255.0, (desktop >> 8 & 0xFF) / 255.0,
                       (desktop & 0xFF) / 255.0);
  cairo_paint(cr);
  std::vector<WindowRef> order = VisibleFrontToBack();
  std::reverse(order.begin(), order.end());
  for (WindowRef window : order) {
    const Rect structure = StructureOf(window);
    SurfacePtr store(StandIn_CopyWindowBackingStore(window));
    if (store) {
      cairo_set_source_surface(cr, store.get(), structure.left - place.left,
                               structure.top - place.top);
      cairo_paint(cr);
    }
    if (window == last)
      break;
  }
}

void StandIn_X11Presenter::Impl::ComposeOverlay(WindowRef overlay, Shown& shown) {
  // What lies beneath shows through the overlay's transparent pixels.
  const Rect place = shown.structure;
  SurfacePtr scratch(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, WidthOf(place), HeightOf(place)));
  {
    CairoPtr cr(cairo_create(scratch.get()));
    ComposeBeneath(cr.get(), place, overlay);
  }
  Copy(shown.surface.get(), scratch.get(), 0, 0, WidthOf(place), HeightOf(place));
  cairo_surface_flush(shown.surface.get());
  shown.copiedCount = StandIn_WindowChangeCount(overlay);
}

void StandIn_X11Presenter::Impl::SyncDragImage() {
  HIPoint topLeft{0, 0};
  CGImageRef image = StandIn_CopyFollowedDragImage(&topLeft);
  if (image == nullptr) {
    if (m_DragWindow) {
      m_DragSurface.reset();
      XDestroyWindow(m_Display, m_DragWindow);
      m_DragWindow = 0;
    }
    return;
  }
  const int width = static_cast<int>(std::min<std::size_t>(CGImageGetWidth(image), 1024));
  const int height = static_cast<int>(std::min<std::size_t>(CGImageGetHeight(image), 1024));
  const Rect place{static_cast<short>(topLeft.y), static_cast<short>(topLeft.x),
                   static_cast<short>(topLeft.y + std::max(1, height)),
                   static_cast<short>(topLeft.x + std::max(1, width))};
  SurfacePtr picture(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, WidthOf(place), HeightOf(place)));
  cairo_surface_flush(picture.get());
  unsigned char* data = cairo_image_surface_get_data(picture.get());
  const int stride = cairo_image_surface_get_stride(picture.get());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      reinterpret_cast<UInt32*>(data + std::size_t(stride) * std::size_t(y))[x] =
          StandIn_CGImagePixel(image, std::size_t(x), std::size_t(y));
  cairo_surface_mark_dirty(picture.get());
  CGImageRelease(image);
  SurfacePtr scratch(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, WidthOf(place), HeightOf(place)));
  {
    CairoPtr cr(cairo_create(scratch.get()));
    ComposeBeneath(cr.get(), place, nullptr);
    cairo_set_source_surface(cr.get(), picture.get(), 0, 0);
    cairo_paint(cr.get());
  }
  if (m_DragWindow == 0) {
    m_DragWindow = NewWindow(place, true, "Drag");
    m_DragSurface.reset(cairo_xlib_surface_create(m_Display, m_DragWindow,
                                                  DefaultVisual(m_Display, m_Screen),
                                                  WidthOf(place), HeightOf(place)));
    XMapRaised(m_Display, m_DragWindow);
  } else if (!SameRect(place, m_DragPlace)) {
    XMoveResizeWindow(m_Display, m_DragWindow, place.left, place.top, WidthOf(place),
                      HeightOf(place));
    if (WidthOf(place) != WidthOf(m_DragPlace) || HeightOf(place) != HeightOf(m_DragPlace))
      cairo_xlib_surface_set_size(m_DragSurface.get(), WidthOf(place), HeightOf(place));
    XRaiseWindow(m_Display, m_DragWindow);
  }
  m_DragPlace = place;
  Copy(m_DragSurface.get(), scratch.get(), 0, 0, WidthOf(place), HeightOf(place));
  cairo_surface_flush(m_DragSurface.get());
}

void StandIn_X11Presenter::Impl::SyncStacking(const std::vector<WindowRef>& order) {
  // The menu bar over everything, then the windows front to back.
  std::vector<Window> stacking{m_MenuBar};
  if (m_MenuWindow)
    stacking.insert(stacking.begin(), m_MenuWindow);
  if (m_DragWindow)
    stacking.insert(stacking.begin(), m_DragWindow);
  for (WindowRef window : order)
    stacking.push_back(m_Shown.find(window)->second.xid);
  if (stacking == m_Stacking)
    return;
  XRaiseWindow(m_Display, stacking.front());
  XRestackWindows(m_Display, stacking.data(), static_cast<int>(stacking.size()));
  m_Stacking = stacking;
}

void StandIn_X11Presenter::Impl::SyncFocus() {
  // The keyboard goes to the window that takes it in the stand-in, else to the menu bar; keys
  // are routed by the stand-in whichever X window receives them.
  WindowRef focus = GetUserFocusWindow();
  Window target = m_MenuBar;
  if (focus) {
    auto found = m_Shown.find(focus);
    if (found != m_Shown.end())
      target = found->second.xid;
  }
  if (target == m_Focused || !m_Viewable[target])
    return;
  XSetInputFocus(m_Display, target, RevertToParent, CurrentTime);
  m_Focused = target;
}

void StandIn_X11Presenter::Impl::SyncMenuBar() {
  SurfacePtr image(StandIn_CopyMenuBarImage(m_MenuBarHighlight));
  if (!image || SamePixels(image.get(), m_MenuBarImage.get()))
    return;
  m_MenuBarImage = std::move(image);
  Copy(m_MenuBarSurface.get(), m_MenuBarImage.get(), 0, 0,
       cairo_image_surface_get_width(m_MenuBarImage.get()),
       cairo_image_surface_get_height(m_MenuBarImage.get()));
  cairo_surface_flush(m_MenuBarSurface.get());
}

namespace {

unsigned int FontCursorOf(ThemeCursor cursor) {
  switch (cursor) {
    case kThemeIBeamCursor:
      return XC_xterm;
    case kThemeCrossCursor:
      return XC_crosshair;
    case kThemePlusCursor:
      return XC_plus;
    case kThemeWatchCursor:
      return XC_watch;
    case kThemeClosedHandCursor:
      return XC_fleur;
    case kThemeOpenHandCursor:
      return XC_hand1;
    case kThemePointingHandCursor:
      return XC_hand2;
    default:
      return XC_left_ptr;
  }
}

bool SameCursor(const StandIn_CursorRecord& a, const StandIn_CursorRecord& b) {
  return a.theme == b.theme && a.themeCursor == b.themeCursor && a.resourceType == b.resourceType &&
         a.resourceID == b.resourceID;
}

// A resource cursor's image from the main bundle ("crsr_2001.png"), as an ARGB cursor whose hot
// spot is its centre; 0 when the bundle lacks it.
XCursor ResourceCursor(Display* display, const StandIn_CursorRecord& record) {
  CFBundleRef bundle = CFBundleGetMainBundle();
  if (bundle == nullptr)
    return 0;
  const std::string name = std::string(record.resourceType == 0x63727372 ? "crsr_" : "CURS_") +
                           std::to_string(record.resourceID);
  CFStringRef resource = CFStringCreateWithCString(nullptr, name.c_str(), kCFStringEncodingUTF8);
  CFURLRef url =
      resource ? CFBundleCopyResourceURL(bundle, resource, CFSTR("png"), nullptr) : nullptr;
  if (resource)
    CFRelease(resource);
  if (url == nullptr)
    return 0;
  char path[4096] = {};
  const bool found =
      CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path);
  CFRelease(url);
  if (!found)
    return 0;
  SurfacePtr png(cairo_image_surface_create_from_png(path));
  if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS)
    return 0;
  const int width = cairo_image_surface_get_width(png.get());
  const int height = cairo_image_surface_get_height(png.get());
  if (width <= 0 || height <= 0 || width > 256 || height > 256)
    return 0;
  SurfacePtr argb(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  {
    CairoPtr cr(cairo_create(argb.get()));
    cairo_set_source_surface(cr.get(), png.get(), 0, 0);
    cairo_paint(cr.get());
  }
  cairo_surface_flush(argb.get());
  XcursorImage* image = XcursorImageCreate(width, height);
  if (image == nullptr)
    return 0;
  image->xhot = static_cast<XcursorDim>(width / 2);
  image->yhot = static_cast<XcursorDim>(height / 2);
  const int stride = cairo_image_surface_get_stride(argb.get());
  for (int y = 0; y < height; ++y)
    std::memcpy(image->pixels + std::size_t(y) * std::size_t(width),
                cairo_image_surface_get_data(argb.get()) + std::size_t(y) * std::size_t(stride),
                std::size_t(width) * 4);  // both premultiplied ARGB
  const XCursor cursor = XcursorImageLoadCursor(display, image);
  XcursorImageDestroy(image);
  return cursor;
}

}  // namespace

void StandIn_X11Presenter::Impl::SyncCursor() {
  const StandIn_CursorRecord wanted = StandIn_CurrentCursor();
  if (m_CursorSet && SameCursor(wanted, m_Cursor))
    return;
  XCursor cursor = wanted.theme ? 0 : ResourceCursor(m_Display, wanted);
  if (cursor == 0)
    cursor = XCreateFontCursor(m_Display,
                               FontCursorOf(wanted.theme ? wanted.themeCursor : kThemeArrowCursor));
  for (auto& [window, shown] : m_Shown)
    XDefineCursor(m_Display, shown.xid, cursor);
  XDefineCursor(m_Display, m_MenuBar, cursor);
  if (m_XCursor)
    XFreeCursor(m_Display, m_XCursor);
  m_XCursor = cursor;
  m_Cursor = wanted;
  m_CursorSet = true;
}

void StandIn_X11Presenter::Impl::CopyExposed(const XExposeEvent& event) {
  cairo_surface_t* target = nullptr;
  cairo_surface_t* image = nullptr;
  SurfacePtr store;
  if (event.window == m_MenuBar) {
    target = m_MenuBarSurface.get();
    image = m_MenuBarImage.get();
  } else if (event.window == m_DragWindow) {
    return;  // drawn anew at every turn of the drag
  } else if (event.window == m_MenuWindow) {
    target = m_MenuWindowSurface.get();
    image = m_MenuImage.get();
  } else {
    for (auto& [window, shown] : m_Shown)
      if (shown.xid == event.window) {
        if (shown.overlay) {
          ComposeOverlay(window, shown);
          return;
        }
        target = shown.surface.get();
        // The pixels the window showed when last copied: a window rendered since is copied anew
        // at the next turn.
        store.reset(StandIn_CopyWindowBackingStore(window));
        image = store.get();
      }
  }
  if (target == nullptr || image == nullptr)
    return;
  Copy(target, image, event.x, event.y, event.width, event.height);
  cairo_surface_flush(target);
}

// ---- input --------------------------------------------------------------------------------

bool StandIn_X11Presenter::Impl::NextInput(EventTime deadline, StandIn_Input& input) {
  for (;;) {
    Present();
    while (m_Inputs.empty() && !m_CommandRan && XPending(m_Display) > 0) {
      XEvent event;
      XNextEvent(m_Display, &event);
      Handle(event);
    }
    if (m_CommandRan) {
      m_CommandRan = false;
      return false;
    }
    if (!m_Inputs.empty()) {
      input = m_Inputs.front();
      m_Inputs.pop_front();
      return true;
    }
    if (TakeWake())
      return false;
    if (!WaitUntil(deadline))
      return false;
  }
}

void StandIn_X11Presenter::Impl::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake.
  [[maybe_unused]] const ssize_t written = write(m_WakeWrite, &byte, 1);
}

bool StandIn_X11Presenter::Impl::TakeWake() {
  bool woken = false;
  char bytes[64];
  while (read(m_WakeRead, bytes, sizeof bytes) > 0)
    woken = true;
  return woken;
}

bool StandIn_X11Presenter::Impl::WaitUntil(EventTime deadline) {
  XFlush(m_Display);
  int timeout = -1;
  if (deadline != kEventDurationForever) {
    const double left = deadline - GetCurrentEventTime();
    if (left <= 0)
      return false;
    timeout = static_cast<int>(std::min(std::ceil(left * 1000.0), 3600000.0));
  }
  pollfd fds[2] = {{ConnectionNumber(m_Display), POLLIN, 0}, {m_WakeRead, POLLIN, 0}};
  poll(fds, 2, timeout);  // an interruption only means another turn
  return true;
}

void StandIn_X11Presenter::Impl::Push(const StandIn_Input& input) {
  // Moves in a row only matter where they end.
  if (input.kind == StandIn_InputKind::MouseMoved && !m_Inputs.empty() &&
      m_Inputs.back().kind == StandIn_InputKind::MouseMoved) {
    m_Inputs.back() = input;
    return;
  }
  m_Inputs.push_back(input);
}

UInt32 StandIn_X11Presenter::Impl::CountClick(const XButtonEvent& event) {
  // The display's own times, so that a slow turn does not part a double click.
  const Time limit = static_cast<Time>(GetDblTime()) * 1000 / 60;
  const bool again = m_Clicks > 0 && event.time - m_LastPress <= limit &&
                     std::abs(event.x_root - m_LastPressX) <= 4 &&
                     std::abs(event.y_root - m_LastPressY) <= 4;
  m_Clicks = again ? m_Clicks + 1 : 1;
  m_LastPress = event.time;
  m_LastPressX = event.x_root;
  m_LastPressY = event.y_root;
  return m_Clicks;
}

void StandIn_X11Presenter::Impl::Handle(XEvent& event) {
  switch (event.type) {
    case Expose:
      CopyExposed(event.xexpose);
      return;
    case MapNotify:
      m_Viewable[event.xmap.window] = true;
      return;
    case UnmapNotify:
      m_Viewable[event.xunmap.window] = false;
      if (m_Focused == event.xunmap.window)
        m_Focused = 0;
      return;
    case MotionNotify: {
      // Only the latest position of a run of moves, and only of moves in a row: a move queued
      // after a press or release belongs after it, or a drag's moves land before its press.
      while (XPending(m_Display) > 0) {
        XEvent next;
        XPeekEvent(m_Display, &next);
        if (next.type != MotionNotify)
          break;
        XNextEvent(m_Display, &event);
      }
      StandIn_Input input;
      input.kind = StandIn_InputKind::MouseMoved;
      input.global = CGPointMake(event.xmotion.x_root, event.xmotion.y_root);
      input.modifiers = standin_x11::MacModifiers(event.xmotion.state, m_Masks);
      Push(input);
      return;
    }
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& button = event.xbutton;
      StandIn_Input input;
      input.global = CGPointMake(button.x_root, button.y_root);
      input.modifiers = standin_x11::MacModifiers(button.state, m_Masks);
      if (button.button == Button1) {
        if (event.type == ButtonPress && button.window == m_MenuBar) {
          TrackMenus(button);
          return;
        }
        input.kind =
            event.type == ButtonPress ? StandIn_InputKind::MouseDown : StandIn_InputKind::MouseUp;
        input.clickCount = event.type == ButtonPress ? CountClick(button) : m_Clicks;
        Push(input);
        return;
      }
      // Buttons 4 to 7 are the wheel's steps: up, down, left, right.
      if (event.type != ButtonPress || button.button < 4 || button.button > 7)
        return;
      input.kind = StandIn_InputKind::Wheel;
      input.wheelVertical = button.button <= 5;
      input.wheelDelta = (button.button == 4 || button.button == 6) ? 1 : -1;
      Push(input);
      return;
    }
    case KeyPress:
    case KeyRelease:
      HandleKey(event.xkey);
      return;
    default:
      return;
  }
}

void StandIn_X11Presenter::Impl::HandleKey(XKeyEvent& event) {
  const bool down = event.type == KeyPress;
  const KeySym unshifted = XkbKeycodeToKeysym(m_Display, static_cast<KeyCode>(event.keycode), 0, 0);
  StandIn_Input input;
  if (standin_x11::IsModifierSymbol(unshifted)) {
    // The state of an X key event is the one before it; the Mac's is the one after.
    const unsigned int mask = standin_x11::ModifierMaskOf(unshifted, m_Masks);
    unsigned int state = event.state;
    if (mask != LockMask)
      state = down ? (state | mask) : (state & ~mask);
    else if (down)
      state ^= LockMask;
    input.kind = StandIn_InputKind::ModifiersChanged;
    input.modifiers = standin_x11::MacModifiers(state, m_Masks);
    Push(input);
    return;
  }
  input.modifiers = standin_x11::MacModifiers(event.state, m_Masks);
  // The character as typed without Ctrl, which is the Command key here: Ctrl+Q is Command-Q.
  XKeyEvent plain = event;
  plain.state &= ~static_cast<unsigned int>(ControlMask);
  char text[32] = {};
  KeySym typed = NoSymbol;
  XLookupString(&plain, text, sizeof text - 1, &typed, nullptr);
  if (typed == NoSymbol)
    typed = unshifted;
  UInt16 keyCode = 0;
  if (standin_x11::MacKeyCode(unshifted, &keyCode)) {
    input.kind = down ? StandIn_InputKind::KeyDown : StandIn_InputKind::KeyUp;
    input.keyCode = keyCode;
    input.character = standin_x11::MacCharacter(typed);
    Push(input);
    return;
  }
  // A key the Mac keyboard lacks still types its character.
  const UniChar character = standin_x11::MacCharacter(typed);
  if (!down || character < 0x20)
    return;
  input.kind = StandIn_InputKind::Text;
  input.text = std::u16string(1, static_cast<char16_t>(character));
  Push(input);
}

// ---- menus --------------------------------------------------------------------------------

MenuItemIndex StandIn_X11Presenter::Impl::TitleAt(int x, int y) const {
  MenuRef root = AcquireRootMenu();
  if (root == nullptr)
    return 0;
  MenuItemIndex found = 0;
  const UInt16 count = CountMenuItems(root);
  for (MenuItemIndex index = 1; index <= count && found == 0; ++index)
    if (CGRectContainsPoint(StandIn_MenuBarTitleBounds(index), CGPointMake(x, y)))
      found = index;
  CFRelease(root);
  return found;
}

namespace {

bool ItemChoosable(MenuRef menu, MenuItemIndex item) {
  MenuItemAttributes attributes = 0;
  GetMenuItemAttributes(menu, item, &attributes);
  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(menu, item, &submenu);
  return IsMenuItemEnabled(menu, item) && !(attributes & kMenuItemAttrSeparator) &&
         submenu == nullptr;
}

}  // namespace

void StandIn_X11Presenter::Impl::TrackMenus(const XButtonEvent& press) {
  MenuRef root = AcquireRootMenu();
  if (root == nullptr)
    return;
  const StandIn_Screen screen = StandIn_MainScreen();
  MenuItemIndex title = 0;
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  HIRect menuPlace = CGRectMake(0, 0, 0, 0);

  auto drawMenu = [&]() {
    m_MenuImage.reset(StandIn_CopyMenuImage(menu, item));
    if (m_MenuImage && m_MenuWindowSurface) {
      Copy(m_MenuWindowSurface.get(), m_MenuImage.get(), 0, 0, menuPlace.size.width,
           menuPlace.size.height);
      cairo_surface_flush(m_MenuWindowSurface.get());
    }
  };
  auto close = [&]() {
    if (m_MenuWindow) {
      m_MenuWindowSurface.reset();
      XDestroyWindow(m_Display, m_MenuWindow);
      m_Viewable.erase(m_MenuWindow);
      m_MenuWindow = 0;
    }
    m_MenuImage.reset();
    menu = nullptr;
    item = 0;
  };
  auto open = [&](MenuItemIndex index) {
    close();
    title = index;
    m_MenuBarHighlight = index;
    SyncMenuBar();
    GetMenuItemHierarchicalMenu(root, index, &menu);
    if (menu == nullptr)
      return;
    // Its items are brought up to date before it shows.
    StandIn_OpenMenu(menu);
    const HIRect titleBox = StandIn_MenuBarTitleBounds(index);
    const HISize size = StandIn_MenuSize(menu);
    menuPlace = CGRectMake(titleBox.origin.x, screen.menuBarHeight,
                           std::max<CGFloat>(1, size.width), std::max<CGFloat>(1, size.height));
    const Rect place{static_cast<short>(menuPlace.origin.y), static_cast<short>(menuPlace.origin.x),
                     static_cast<short>(menuPlace.origin.y + menuPlace.size.height),
                     static_cast<short>(menuPlace.origin.x + menuPlace.size.width)};
    m_MenuWindow = NewWindow(place, true, "Menu");
    m_MenuWindowSurface.reset(cairo_xlib_surface_create(m_Display, m_MenuWindow,
                                                        DefaultVisual(m_Display, m_Screen),
                                                        WidthOf(place), HeightOf(place)));
    XMapRaised(m_Display, m_MenuWindow);
    drawMenu();
  };
  auto itemAt = [&](int x, int y) -> MenuItemIndex {
    if (menu == nullptr)
      return 0;
    const CGPoint inMenu = CGPointMake(x - menuPlace.origin.x, y - menuPlace.origin.y);
    const UInt16 count = CountMenuItems(menu);
    for (MenuItemIndex index = 1; index <= count; ++index)
      if (CGRectContainsPoint(StandIn_MenuItemBounds(menu, index), inMenu))
        return ItemChoosable(menu, index) ? index : 0;
    return 0;
  };
  auto follow = [&](int x, int y) {
    const MenuItemIndex over = TitleAt(x, y);
    if (over != 0 && over != title) {
      open(over);
      return;
    }
    const MenuItemIndex now = itemAt(x, y);
    if (now != item) {
      item = now;
      drawMenu();
    }
  };

  const MenuItemIndex first = TitleAt(press.x_root, press.y_root);
  if (first == 0) {
    CFRelease(root);
    return;
  }
  open(first);
  // A click on the title leaves the menu open: the pointer then belongs to the menus until the
  // next click.
  bool sticky = false;
  bool buttonDown = true;
  MenuRef chosenMenu = nullptr;
  MenuItemIndex chosen = 0;
  for (bool tracking = true; tracking;) {
    XFlush(m_Display);
    XEvent event;
    XNextEvent(m_Display, &event);
    switch (event.type) {
      case MotionNotify:
        follow(event.xmotion.x_root, event.xmotion.y_root);
        break;
      case ButtonPress:
        if (event.xbutton.button != Button1)
          break;
        buttonDown = true;
        if (TitleAt(event.xbutton.x_root, event.xbutton.y_root) == 0 &&
            !CGRectContainsPoint(menuPlace,
                                 CGPointMake(event.xbutton.x_root, event.xbutton.y_root)))
          tracking = false;  // a click elsewhere closes the menus
        else
          follow(event.xbutton.x_root, event.xbutton.y_root);
        break;
      case ButtonRelease:
        if (event.xbutton.button != Button1 || !buttonDown)
          break;
        buttonDown = false;
        follow(event.xbutton.x_root, event.xbutton.y_root);
        if (item != 0) {
          chosenMenu = menu;
          chosen = item;
          tracking = false;
        } else if (!sticky && TitleAt(event.xbutton.x_root, event.xbutton.y_root) == title) {
          sticky = true;
          XGrabPointer(m_Display, m_MenuBar, False,
                       ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                       GrabModeAsync, None, None, CurrentTime);
        } else if (!sticky || TitleAt(event.xbutton.x_root, event.xbutton.y_root) == 0) {
          tracking = false;
        }
        break;
      case KeyPress:
        if (XkbKeycodeToKeysym(m_Display, static_cast<KeyCode>(event.xkey.keycode), 0, 0) ==
            XK_Escape)
          tracking = false;
        break;
      case Expose:
        CopyExposed(event.xexpose);
        break;
      case MapNotify:
      case UnmapNotify:
        Handle(event);
        break;
      default:
        break;
    }
  }
  if (sticky)
    XUngrabPointer(m_Display, CurrentTime);
  if (chosenMenu)
    CFRetain(chosenMenu);
  close();
  m_MenuBarHighlight = 0;
  SyncMenuBar();
  XFlush(m_Display);
  CFRelease(root);
  if (chosenMenu) {
    StandIn_ChooseMenuItem(chosenMenu, chosen);
    CFRelease(chosenMenu);
    m_CommandRan = true;
  }
}

// ---- the source ---------------------------------------------------------------------------

std::unique_ptr<StandIn_X11Presenter> StandIn_X11Presenter::Open(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (display == nullptr)
    return nullptr;
  int wake[2] = {-1, -1};
  if (pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<StandIn_X11Presenter>(
      new StandIn_X11Presenter(std::make_unique<Impl>(display, wake[0], wake[1])));
}

StandIn_X11Presenter::StandIn_X11Presenter(std::unique_ptr<Impl> impl) : m_Impl(std::move(impl)) {}

StandIn_X11Presenter::~StandIn_X11Presenter() = default;

bool StandIn_X11Presenter::NextInput(EventTime deadline, StandIn_Input& input) {
  return m_Impl->NextInput(deadline, input);
}

void StandIn_X11Presenter::Wake() {
  m_Impl->Wake();
}

void StandIn_X11Presenter::Present() {
  m_Impl->Present();
}

unsigned long StandIn_X11Presenter::XWindowOf(WindowRef window) const {
  return m_Impl->XWindowOf(window);
}

unsigned long StandIn_X11Presenter::MenuBarXWindow() const {
  return m_Impl->MenuBar();
}
