// The render pass of the stand-in's windows and views (see HIToolbox/HIView.h).
#include "iStandInControlDrawing.h"
#include "iStandInRedraw.h"
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
  if (standin_tb::DrawsOverSubviews(*view)) {
    CGContextRef over = standin_cg::NewSurfaceContext(surface, base, visible);
    standin_tb::DrawOverSubviews(view, over);
    CGContextRelease(over);
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

// The pixels of a rectangle of a surface as they were, to tell whether drawing changed them.
class PixelSnapshot {
public:
  PixelSnapshot(cairo_surface_t* surface, const CGRect& rect) : m_Surface(surface) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    m_Left = std::max(0, static_cast<int>(CGRectGetMinX(rect)));
    m_Top = std::max(0, static_cast<int>(CGRectGetMinY(rect)));
    m_Right = std::min(width, static_cast<int>(CGRectGetMaxX(rect)));
    m_Bottom = std::min(height, static_cast<int>(CGRectGetMaxY(rect)));
    for (int y = m_Top; y < m_Bottom; ++y)
      m_Pixels.insert(m_Pixels.end(), Row(y) + m_Left, Row(y) + std::max(m_Left, m_Right));
  }

  bool Changed() const {
    cairo_surface_flush(m_Surface);
    const std::size_t width = static_cast<std::size_t>(std::max(0, m_Right - m_Left));
    for (int y = m_Top; y < m_Bottom; ++y)
      if (!std::equal(Row(y) + m_Left, Row(y) + m_Left + width,
                      m_Pixels.begin() + static_cast<std::ptrdiff_t>(width * (y - m_Top))))
        return true;
    return false;
  }

private:
  const UInt32* Row(int y) const {
    return reinterpret_cast<const UInt32*>(cairo_image_surface_get_data(m_Surface) +
                                           std::int64_t(cairo_image_surface_get_stride(m_Surface)) *
                                               y);
  }

  cairo_surface_t* m_Surface;
  int m_Left = 0, m_Top = 0, m_Right = 0, m_Bottom = 0;
  std::vector<UInt32> m_Pixels;
};

// Paints the rectangle of the backing store with the window's background: white, or transparent
// for a window that is not opaque.
void PaintBackground(cairo_surface_t* store, const CGRect& rect, bool opaque) {
  standin_cg::CairoPtr cr(cairo_create(store));
  if (opaque)
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
  else
    cairo_set_source_rgba(cr.get(), 0, 0, 0, 0);
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr.get(), rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  cairo_fill(cr.get());
}

void ClearNeedsDisplay(StandIn_ViewImpl* view) {
  view->m_NeedsDisplay = false;
  for (StandIn_ViewImpl* subview : view->m_Subviews)
    ClearNeedsDisplay(subview);
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
  // A new store holds nothing of the window yet.
  PixelsOf(root).dirty.Add(CGRectMake(0, 0, size.width, size.height));
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
  cairo_surface_t* store = standin_tb::EnsureBackingStore(root);
  if (store == nullptr)
    return memFullErr;
  // Held: a draw handler may dispose of the window or resize it.
  std::shared_ptr<StandIn_WindowPixels> pixels = root->m_Pixels;
  std::shared_ptr<_cairo_surface> keep = root->m_BackingStore;
  if (pixels->dirty.Empty())
    return noErr;
  const CGRect whole =
      CGRectMake(0, 0, cairo_image_surface_get_width(store), cairo_image_surface_get_height(store));
  const PixelSnapshot before(store, Intersection(pixels->dirty.Bounds(), whole));
  const std::vector<CGRect> rects = pixels->dirty.Take();
  CFRetain(root);
  pixels->rendering = true;
  for (const CGRect& rect : rects) {
    const CGRect clip = Intersection(rect, whole);
    if (clip.size.width <= 0 || clip.size.height <= 0)
      continue;
    PaintBackground(store, clip, standin_tb::WindowIsOpaque(window));
    DrawView(root, store, 0, 0, clip, window);
  }
  pixels->rendering = false;
  cairo_surface_flush(store);
  if (before.Changed())
    ++pixels->changes;
  ClearNeedsDisplay(root);
  CFRelease(root);
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

_cairo_surface* StandIn_CopyWindowBackingStore(WindowRef window) {
  StandIn_ViewImpl* root = RootViewOf(window);
  cairo_surface_t* store = root ? standin_tb::EnsureBackingStore(root) : nullptr;
  return store ? cairo_surface_reference(store) : nullptr;
}

HIRect StandIn_WindowDirtyBounds(WindowRef window) {
  StandIn_ViewImpl* root = RootViewOf(window);
  return root ? standin_tb::PixelsOf(root).dirty.Bounds() : CGRectMake(0, 0, 0, 0);
}

long StandIn_WindowChangeCount(WindowRef window) {
  StandIn_ViewImpl* root = RootViewOf(window);
  return root ? standin_tb::PixelsOf(root).changes : 0;
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
