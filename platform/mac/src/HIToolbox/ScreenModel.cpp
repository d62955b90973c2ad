// The screen model of the Mac stand-in (see HIToolbox/StandInScreen.h).
#include <HIToolbox/StandInScreen.h>

#include "iStandInToolbox.h"

#include "../Appearance/iStandInTheme.h"
#include "../CoreGraphics/iStandInCG.h"

#include <CoreGraphics/CGDirectDisplay.h>

namespace {

static_assert(kStandInDesktopColour == (0xFF000000u | standin_theme::kDesktop),
              "the screen's desktop is the theme's");

// The screen as last composed (main thread only, as the toolbox).
standin_cg::SurfacePtr& Composed() {
  static auto* screen = new standin_cg::SurfacePtr;
  return *screen;
}

void PaintAt(cairo_t* cr, cairo_surface_t* image, const Rect& place) {
  cairo_save(cr);
  cairo_rectangle(cr, place.left, place.top, place.right - place.left, place.bottom - place.top);
  cairo_clip(cr);
  cairo_set_source_surface(cr, image, place.left, place.top);
  cairo_paint(cr);  // over what lies beneath
  cairo_restore(cr);
}

}  // namespace

OSStatus StandIn_ScreenRender() {
  // Rendering runs the windows' draw handlers, which may show, hide or dispose of windows: the
  // windows are rendered first and the screen composed from those still shown.
  for (const standin_tb::ShownWindow& shown : standin_tb::ShownWindowsBackToFront()) {
    CFRetain(shown.window);
    StandIn_WindowRender(shown.window);
    CFRelease(shown.window);
  }
  const StandIn_Screen screen = StandIn_MainScreen();
  standin_cg::SurfacePtr surface(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, std::max<int>(1, screen.width), std::max<int>(1, screen.height)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return memFullErr;
  {
    standin_cg::CairoPtr cr(cairo_create(surface.get()));
    const UInt32 desktop = standin_theme::kDesktop;
    cairo_set_source_rgb(cr.get(), (desktop >> 16 & 0xFF) / 255.0, (desktop >> 8 & 0xFF) / 255.0,
                         (desktop & 0xFF) / 255.0);
    cairo_paint(cr.get());
    for (const standin_tb::ShownWindow& shown : standin_tb::ShownWindowsBackToFront()) {
      standin_cg::SurfacePtr store(StandIn_CopyWindowBackingStore(shown.window));
      if (store)
        PaintAt(cr.get(), store.get(), shown.structure);
    }
    standin_cg::SurfacePtr menuBar(StandIn_CopyMenuBarImage(0));
    if (menuBar)
      PaintAt(cr.get(), menuBar.get(), Rect{0, 0, screen.menuBarHeight, screen.width});
  }
  cairo_surface_flush(surface.get());
  Composed() = std::move(surface);
  return noErr;
}

UInt32 StandIn_ScreenPixel(int x, int y) {
  cairo_surface_t* screen = Composed().get();
  if (screen == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(screen) ||
      y >= cairo_image_surface_get_height(screen))
    return 0;
  const UInt8* row = cairo_image_surface_get_data(screen) +
                     std::int64_t(cairo_image_surface_get_stride(screen)) * y;
  return reinterpret_cast<const UInt32*>(row)[x];
}
