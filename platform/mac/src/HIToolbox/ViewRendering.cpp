// The render pass of the stand-in's windows and views (see HIToolbox/HIView.h).
#include "iStandInToolbox.h"

#include "../CoreGraphics/iStandInCG.h"
#include "../QuickDraw/iStandInRegions.h"

#include <CoreServices/MacMemory.h>

#include <algorithm>

namespace {

CGRect Intersection(const CGRect& a, const CGRect& b) {
  const CGFloat left = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
  const CGFloat top = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
  const CGFloat right = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
  const CGFloat bottom = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
  return CGRectMake(left, top, std::max<CGFloat>(0, right - left),
                    std::max<CGFloat>(0, bottom - top));
}

// Sends the view its draw event with a context flipped to it, origin at (x, y) of the surface,
// clipped to clip, and with the window's port set to the view when the surface is the window's
// backing store (window not null); then draws its subviews.
void DrawView(StandIn_ViewImpl* view, cairo_surface_t* surface, CGFloat x, CGFloat y,
              const CGRect& clip, WindowRef window) {
  if (!view->m_Visible)
    return;
  const CGRect bounds = CGRectMake(x, y, view->m_Frame.size.width, view->m_Frame.size.height);
  const CGRect visible = Intersection(bounds, clip);
  if (visible.size.width <= 0 || visible.size.height <= 0)
    return;
  cairo_matrix_t base;
  cairo_matrix_init_translate(&base, x, y);
  CGContextRef context = standin_cg::NewSurfaceContext(surface, base, visible);
  {
    std::unique_ptr<standin_qd::ViewPortScope> port;
    if (window)
      port = std::make_unique<standin_qd::ViewPortScope>(window, CGPointMake(x, y), visible);
    standin_tb::EventHolder draw(kEventClassControl, kEventControlDraw);
    ControlRef control = view;
    draw.Set(kEventParamDirectObject, typeControlRef, control);
    draw.Set(kEventParamCGContextRef, typeCGContextRef, context);
    draw.SendTo(&view->StandInCore().target);
  }
  CGContextRelease(context);
  const std::vector<StandIn_ViewImpl*> subviews = view->m_Subviews;
  for (StandIn_ViewImpl* subview : subviews) {
    CFRetain(subview);  // a draw handler may remove it
    DrawView(subview, surface, x + subview->m_Frame.origin.x, y + subview->m_Frame.origin.y,
             visible, window);
    CFRelease(subview);
  }
}

standin_cg::SurfacePtr NewSurface(CGFloat width, CGFloat height) {
  const int w = static_cast<int>(std::max<CGFloat>(1, std::min<CGFloat>(width, 32767)));
  const int h = static_cast<int>(std::max<CGFloat>(1, std::min<CGFloat>(height, 32767)));
  return standin_cg::SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
}

StandIn_ViewImpl* RootViewOf(WindowRef window) {
  return window ? standin_tb::View(HIViewGetRoot(window)) : nullptr;
}

}  // namespace

namespace standin_tb {

_cairo_surface* EnsureBackingStore(StandIn_ViewImpl* root) {
  const CGSize size = root->m_Frame.size;
  cairo_surface_t* store = root->m_BackingStore.get();
  if (store && cairo_image_surface_get_width(store) == static_cast<int>(size.width) &&
      cairo_image_surface_get_height(store) == static_cast<int>(size.height))
    return store;
  standin_cg::SurfacePtr made = NewSurface(size.width, size.height);
  if (cairo_surface_status(made.get()) != CAIRO_STATUS_SUCCESS)
    return nullptr;
  {
    standin_cg::CairoPtr cr(cairo_create(made.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
  }
  root->m_BackingStore.reset(made.release(), cairo_surface_destroy);
  return root->m_BackingStore.get();
}

CGRect ContentInStructure(WindowRef window) {
  HIRect frame{{0, 0}, {0, 0}};
  HIViewGetFrame(ContentView(window), &frame);
  return frame;
}

}  // namespace standin_tb

OSStatus StandIn_WindowRender(WindowRef window) {
  StandIn_ViewImpl* root = RootViewOf(window);
  if (root == nullptr)
    return errInvalidWindowRef;
  const CGSize size = root->m_Frame.size;
  cairo_surface_t* store = standin_tb::EnsureBackingStore(root);
  if (store == nullptr)
    return memFullErr;
  {
    standin_cg::CairoPtr cr(cairo_create(store));
    if (standin_tb::WindowIsOpaque(window))
      cairo_set_source_rgb(cr.get(), 1, 1, 1);
    else
      cairo_set_source_rgba(cr.get(), 0, 0, 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
  }
  std::shared_ptr<_cairo_surface> keep = root->m_BackingStore;
  DrawView(root, store, 0, 0, CGRectMake(0, 0, size.width, size.height), window);
  cairo_surface_flush(store);
  return noErr;
}

UInt32 StandIn_WindowPixel(WindowRef window, int x, int y) {
  StandIn_ViewImpl* root = RootViewOf(window);
  cairo_surface_t* store = root ? root->m_BackingStore.get() : nullptr;
  if (store == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(store) ||
      y >= cairo_image_surface_get_height(store))
    return 0;
  cairo_surface_flush(store);
  const UInt8* row =
      cairo_image_surface_get_data(store) + std::int64_t(cairo_image_surface_get_stride(store)) * y;
  return reinterpret_cast<const UInt32*>(row)[x];
}

HISize StandIn_WindowBackingSize(WindowRef window) {
  StandIn_ViewImpl* root = RootViewOf(window);
  cairo_surface_t* store = root ? root->m_BackingStore.get() : nullptr;
  if (store == nullptr)
    return HISize{0, 0};
  return HISize{CGFloat(cairo_image_surface_get_width(store)),
                CGFloat(cairo_image_surface_get_height(store))};
}

OSStatus HIViewCreateOffscreenImage(HIViewRef inView, OptionBits, HIRect* outFrame,
                                    CGImageRef* outImage) {
  if (OSStatus err = standin_tb::EnterCall("HIViewCreateOffscreenImage"))
    return err;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  if (view == nullptr)
    return paramErr;
  if (outFrame)
    *outFrame = view->m_Frame;
  if (outImage == nullptr)
    return noErr;
  const CGSize size = view->m_Frame.size;
  standin_cg::SurfacePtr surface = NewSurface(size.width, size.height);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return memFullErr;
  CFRetain(view);
  DrawView(view, surface.get(), 0, 0, CGRectMake(0, 0, size.width, size.height), nullptr);
  CFRelease(view);
  *outImage = standin_cg::NewImageFromSurface(surface.get());
  return *outImage ? OSStatus(noErr) : OSStatus(memFullErr);
}
