// Internals of the stand-in's CoreGraphics shared with the window and view sources: contexts over
// cairo surfaces, images as premultiplied cairo surfaces, and pixel layouts of caller memory.
#pragma once
#include <CoreGraphics/CoreGraphics.h>

#include <cairo.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace standin_cg {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
struct CairoDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// Where the bytes of one pixel's channels lie in caller memory (-1: absent).
struct PixelLayout {
  int bytesPerPixel = 4;
  int red = -1, green = -1, blue = -1, alpha = -1;
  int grey = -1;
  bool premultiplied = true;
  bool HasAlpha() const { return alpha >= 0; }
};

// The layout of 8-bit components in a colour space of the given model; false when unsupported.
bool LayoutOf(CGColorSpaceModel model, CGBitmapInfo info, std::size_t bitsPerPixel,
              PixelLayout* layout);
// One pixel of caller memory as premultiplied 0xAARRGGBB, and back.
UInt32 ReadPixel(const UInt8* pixel, const PixelLayout& layout);
void WritePixel(UInt32 argb, UInt8* pixel, const PixelLayout& layout);

// A new context drawing into the surface (referenced) with the base transformation from the
// context's user space to the surface and a clip in surface pixels. onFlush (when given) runs
// when the context is flushed or released after drawing.
CGContextRef NewSurfaceContext(cairo_surface_t* surface, const cairo_matrix_t& base,
                               const CGRect& deviceClip, std::function<void()> onFlush = {});
// Intersects the clip with the rectangles given in the context's base space (whatever the CTM);
// no rectangles clip everything away.
void ClipInBaseSpace(CGContextRef context, const std::vector<CGRect>& rects);
// Draws UTF-8 text in the fill colour with its baseline starting at (x, y), glyphs upright in a
// user space whose y runs down (a flipped view's, or QuickDraw's) or up.
void ShowTextIn(CGContextRef context, double x, double y, const std::string& utf8,
                cairo_font_face_t* face, double size, bool yDown);
// The premultiplied ARGB32 surface of an image (owned by the image).
cairo_surface_t* SurfaceOf(CGImageRef image);
// A new image holding a copy of the surface's pixels.
CGImageRef NewImageFromSurface(cairo_surface_t* surface);

}  // namespace standin_cg
