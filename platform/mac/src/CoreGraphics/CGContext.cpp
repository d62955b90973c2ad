// Contexts of the Mac stand-in's CoreGraphics (see CoreGraphics/CGContext.h and
// CoreGraphics/CGBitmapContext.h).
#include "iStandInCG.h"

#include "../CoreFoundation/StandIn_TextEncodings.h"
#include "../Files/iStandInFiles.h"
#include "../Fonts/iStandInFonts.h"

#include <CoreFoundation/CFString.h>

#include <cmath>
#include <string>

namespace {

long g_LiveContexts = 0;
long g_UnbalancedRestores = 0;

struct RGBA {
  double red, green, blue, alpha;
};

// What the context keeps beside cairo's own state (CTM, clip, line width, dash, antialiasing).
struct GState {
  RGBA fill{0, 0, 0, 1};
  RGBA stroke{0, 0, 0, 1};
  double alpha = 1;
  cairo_font_face_t* font = nullptr;  // referenced by each state that holds it
  double fontSize = 0;
  CGTextDrawingMode textMode = kCGTextFill;
};

// The caller memory a bitmap context draws into, in the bitmap's pixel layout.
class BitmapMemory {
public:
  BitmapMemory(UInt8* data, std::unique_ptr<UInt8[]> owned, std::size_t width, std::size_t height,
               std::size_t bytesPerRow, const standin_cg::PixelLayout& layout)
      : m_Data(data),
        m_Owned(std::move(owned)),
        m_Width(width),
        m_Height(height),
        m_BytesPerRow(bytesPerRow),
        m_Layout(layout) {}

  void ReadInto(cairo_surface_t* surface) const {
    cairo_surface_flush(surface);
    for (std::size_t y = 0; y < m_Height; ++y) {
      UInt32* out = SurfaceRow(surface, y);
      for (std::size_t x = 0; x < m_Width; ++x)
        out[x] = standin_cg::ReadPixel(Pixel(x, y), m_Layout);
    }
    cairo_surface_mark_dirty(surface);
  }
  void WriteFrom(cairo_surface_t* surface) const {
    cairo_surface_flush(surface);
    for (std::size_t y = 0; y < m_Height; ++y) {
      const UInt32* in = SurfaceRow(surface, y);
      for (std::size_t x = 0; x < m_Width; ++x)
        standin_cg::WritePixel(in[x], Pixel(x, y), m_Layout);
    }
  }

  UInt8* Data() const { return m_Data; }
  std::size_t Width() const { return m_Width; }
  std::size_t Height() const { return m_Height; }
  std::size_t BytesPerRow() const { return m_BytesPerRow; }

private:
  UInt8* Pixel(std::size_t x, std::size_t y) const {
    return m_Data + m_BytesPerRow * y + x * std::size_t(m_Layout.bytesPerPixel);
  }
  static UInt32* SurfaceRow(cairo_surface_t* surface, std::size_t y) {
    return reinterpret_cast<UInt32*>(cairo_image_surface_get_data(surface) +
                                     std::int64_t(cairo_image_surface_get_stride(surface)) *
                                         std::int64_t(y));
  }

  UInt8* m_Data;
  std::unique_ptr<UInt8[]> m_Owned;
  std::size_t m_Width;
  std::size_t m_Height;
  std::size_t m_BytesPerRow;
  standin_cg::PixelLayout m_Layout;
};

}  // namespace

class StandIn_CGContextImpl final : public StandIn_CGContext {
public:
  StandIn_CGContextImpl(standin_cg::SurfacePtr surface, const cairo_matrix_t& base,
                        std::unique_ptr<BitmapMemory> memory)
      : StandIn_CGContext(TypeId()),
        m_Surface(std::move(surface)),
        m_Cairo(cairo_create(m_Surface.get())),
        m_Base(base),
        m_Memory(std::move(memory)) {
    ++g_LiveContexts;
    cairo_set_matrix(m_Cairo.get(), &m_Base);
    cairo_set_line_width(m_Cairo.get(), 1);
    m_States.emplace_back();
  }
  ~StandIn_CGContextImpl() override {
    Flushed();
    for (GState& state : m_States)
      SetFont(state, nullptr);
    --g_LiveContexts;
  }
  static CFTypeID TypeId() {
    static const CFTypeID id = StandIn_CFRegisterType();
    return id;
  }

  cairo_t* Cairo() const { return m_Cairo.get(); }
  cairo_surface_t* Surface() const { return m_Surface.get(); }
  GState& State() { return m_States.back(); }
  const cairo_matrix_t& Base() const { return m_Base; }
  BitmapMemory* Memory() const { return m_Memory.get(); }

  // Writes a drawing through to the bitmap's memory.
  void Drawn() const {
    m_Unflushed = true;
    if (m_Memory)
      m_Memory->WriteFrom(m_Surface.get());
  }
  // Tells whoever watches the surface that drawing reached it (once for all drawing since the
  // last time).
  void Flushed() {
    if (m_Unflushed && m_OnFlush)
      m_OnFlush();
    m_Unflushed = false;
  }
  void Save() {
    cairo_save(Cairo());
    GState copy = State();
    if (copy.font)
      cairo_font_face_reference(copy.font);
    m_States.push_back(copy);
  }
  void Restore() {
    if (m_States.size() < 2) {
      ++m_UnbalancedRestores;
      ++g_UnbalancedRestores;
      return;
    }
    SetFont(m_States.back(), nullptr);
    m_States.pop_back();
    cairo_restore(Cairo());
  }
  static void SetFont(GState& state, cairo_font_face_t* font) {
    if (font)
      cairo_font_face_reference(font);
    if (state.font)
      cairo_font_face_destroy(state.font);
    state.font = font;
  }

  CGPoint m_TextPosition{0, 0};
  long m_UnbalancedRestores = 0;
  std::function<void()> m_OnFlush;

private:
  standin_cg::SurfacePtr m_Surface;
  standin_cg::CairoPtr m_Cairo;
  cairo_matrix_t m_Base;
  std::unique_ptr<BitmapMemory> m_Memory;
  std::vector<GState> m_States;
  mutable bool m_Unflushed = false;
};

namespace {

StandIn_CGContextImpl* Of(CGContextRef c) {
  return static_cast<StandIn_CGContextImpl*>(c);
}

void SetSource(CGContextRef c, const RGBA& colour) {
  cairo_set_source_rgba(Of(c)->Cairo(), colour.red, colour.green, colour.blue,
                        colour.alpha * Of(c)->State().alpha);
}

RGBA Clamped(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  auto unit = [](CGFloat v) { return std::isnan(v) ? 0.0 : std::fmin(1.0, std::fmax(0.0, v)); };
  return RGBA{unit(red), unit(green), unit(blue), unit(alpha)};
}

// Runs a drawing with the current path kept aside, so that the rectangle calls leave it alone.
template <class Draw>
void WithPathKept(CGContextRef c, Draw draw) {
  cairo_path_t* kept = cairo_copy_path(Of(c)->Cairo());
  cairo_new_path(Of(c)->Cairo());
  draw();
  cairo_new_path(Of(c)->Cairo());
  if (kept->status == CAIRO_STATUS_SUCCESS)
    cairo_append_path(Of(c)->Cairo(), kept);
  cairo_path_destroy(kept);
}

void AddRect(cairo_t* cr, CGRect r) {
  cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
}

void Fill(CGContextRef c, cairo_fill_rule_t rule) {
  cairo_set_fill_rule(Of(c)->Cairo(), rule);
  SetSource(c, Of(c)->State().fill);
  cairo_fill(Of(c)->Cairo());
  cairo_set_fill_rule(Of(c)->Cairo(), CAIRO_FILL_RULE_WINDING);
  Of(c)->Drawn();
}

// Without antialiasing a line thinner than a device pixel still covers one pixel, as Quartz
// draws aliased hairlines; cairo would leave out every pixel whose centre the line misses.
void Stroke(CGContextRef c) {
  cairo_t* cr = Of(c)->Cairo();
  SetSource(c, Of(c)->State().stroke);
  const double width = cairo_get_line_width(cr);
  if (cairo_get_antialias(cr) == CAIRO_ANTIALIAS_NONE && width > 0) {
    double dx = width;
    double dy = 0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    const double device = std::hypot(dx, dy);
    if (device > 0 && device < 1)
      cairo_set_line_width(cr, width / device);
  }
  cairo_stroke(cr);
  cairo_set_line_width(cr, width);
  Of(c)->Drawn();
}

// The font and size set up for text in a y-up user space; false without a font.
bool PrepareFont(CGContextRef c) {
  const GState& state = Of(c)->State();
  if (state.font == nullptr)
    return false;
  cairo_set_font_face(Of(c)->Cairo(), state.font);
  cairo_matrix_t fontMatrix;
  cairo_matrix_init_scale(&fontMatrix, state.fontSize, -state.fontSize);
  cairo_set_font_matrix(Of(c)->Cairo(), &fontMatrix);
  return true;
}

std::string MacRomanToUtf8(const char* text, std::size_t length) {
  std::u16string units;
  if (!standin::DecodeBytes(reinterpret_cast<const UInt8*>(text), length, kCFStringEncodingMacRoman,
                            false, units))
    return std::string(text, length);
  return standin_files::Utf16ToUtf8(units);
}

}  // namespace

namespace standin_cg {

CGContextRef NewSurfaceContext(cairo_surface_t* surface, const cairo_matrix_t& base,
                               const CGRect& deviceClip, std::function<void()> onFlush) {
  cairo_surface_reference(surface);
  auto* context = new StandIn_CGContextImpl(SurfacePtr(surface), base, nullptr);
  context->m_OnFlush = std::move(onFlush);
  cairo_t* cr = context->Cairo();
  cairo_identity_matrix(cr);
  AddRect(cr, deviceClip);
  cairo_clip(cr);
  cairo_set_matrix(cr, &base);
  return context;
}

void ClipInBaseSpace(CGContextRef c, const std::vector<CGRect>& rects) {
  cairo_t* cr = Of(c)->Cairo();
  WithPathKept(c, [&] {
    cairo_matrix_t user;
    cairo_get_matrix(cr, &user);
    cairo_set_matrix(cr, &Of(c)->Base());
    for (const CGRect& r : rects)
      AddRect(cr, r);
    if (rects.empty())
      cairo_rectangle(cr, 0, 0, 0, 0);
    cairo_clip(cr);
    cairo_set_matrix(cr, &user);
  });
}

void ShowTextIn(CGContextRef c, double x, double y, const std::string& utf8,
                cairo_font_face_t* face, double size, bool yDown) {
  if (c == nullptr || face == nullptr)
    return;
  cairo_t* cr = Of(c)->Cairo();
  WithPathKept(c, [&] {
    cairo_set_font_face(cr, face);
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, size, yDown ? size : -size);
    cairo_set_font_matrix(cr, &fontMatrix);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, utf8.c_str());
    SetSource(c, Of(c)->State().fill);
    cairo_fill(cr);
    Of(c)->Drawn();
  });
}

}  // namespace standin_cg

CGContextRef CGContextRetain(CGContextRef c) {
  if (c)
    CFRetain(c);
  return c;
}

void CGContextRelease(CGContextRef c) {
  if (c)
    CFRelease(c);
}

void CGContextFlush(CGContextRef c) {
  if (c == nullptr)
    return;
  Of(c)->Drawn();
  Of(c)->Flushed();
}

void CGContextSynchronize(CGContextRef c) {
  CGContextFlush(c);
}

void CGContextSaveGState(CGContextRef c) {
  if (c)
    Of(c)->Save();
}

void CGContextRestoreGState(CGContextRef c) {
  if (c)
    Of(c)->Restore();
}

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty) {
  if (c)
    cairo_translate(Of(c)->Cairo(), tx, ty);
}

void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy) {
  if (c && sx != 0 && sy != 0)
    cairo_scale(Of(c)->Cairo(), sx, sy);
}

void CGContextRotateCTM(CGContextRef c, CGFloat angle) {
  if (c)
    cairo_rotate(Of(c)->Cairo(), angle);
}

void CGContextConcatCTM(CGContextRef c, CGAffineTransform t) {
  if (c == nullptr || t.a * t.d - t.b * t.c == 0)
    return;
  cairo_matrix_t m;
  cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
  cairo_transform(Of(c)->Cairo(), &m);
}

CGAffineTransform CGContextGetCTM(CGContextRef c) {
  if (c == nullptr)
    return CGAffineTransform{1, 0, 0, 1, 0, 0};
  cairo_matrix_t m;
  cairo_get_matrix(Of(c)->Cairo(), &m);
  cairo_matrix_t inverseBase = Of(c)->Base();
  cairo_matrix_invert(&inverseBase);
  cairo_matrix_t user;
  cairo_matrix_multiply(&user, &m, &inverseBase);  // user -> device -> base
  return CGAffineTransform{CGFloat(user.xx), CGFloat(user.yx), CGFloat(user.xy),
                           CGFloat(user.yy), CGFloat(user.x0), CGFloat(user.y0)};
}

void CGContextSetRGBFillColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                              CGFloat alpha) {
  if (c)
    Of(c)->State().fill = Clamped(red, green, blue, alpha);
}

void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                                CGFloat alpha) {
  if (c)
    Of(c)->State().stroke = Clamped(red, green, blue, alpha);
}

void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat alpha) {
  CGContextSetRGBFillColor(c, gray, gray, gray, alpha);
}

void CGContextSetGrayStrokeColor(CGContextRef c, CGFloat gray, CGFloat alpha) {
  CGContextSetRGBStrokeColor(c, gray, gray, gray, alpha);
}

void CGContextSetAlpha(CGContextRef c, CGFloat alpha) {
  if (c)
    Of(c)->State().alpha = Clamped(0, 0, 0, alpha).alpha;
}

void CGContextSetLineWidth(CGContextRef c, CGFloat width) {
  if (c && width >= 0)
    cairo_set_line_width(Of(c)->Cairo(), width);
}

void CGContextSetLineDash(CGContextRef c, CGFloat phase, const CGFloat* lengths,
                          std::size_t count) {
  if (c == nullptr)
    return;
  std::vector<double> dashes;
  if (lengths)
    dashes.assign(lengths, lengths + count);
  cairo_set_dash(Of(c)->Cairo(), dashes.data(), static_cast<int>(dashes.size()), phase);
}

void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias) {
  if (c)
    cairo_set_antialias(Of(c)->Cairo(),
                        shouldAntialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CGContextBeginPath(CGContextRef c) {
  if (c)
    cairo_new_path(Of(c)->Cairo());
}

void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y) {
  if (c)
    cairo_move_to(Of(c)->Cairo(), x, y);
}

void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y) {
  if (c && cairo_has_current_point(Of(c)->Cairo()))
    cairo_line_to(Of(c)->Cairo(), x, y);
}

void CGContextAddRect(CGContextRef c, CGRect rect) {
  if (c)
    AddRect(Of(c)->Cairo(), rect);
}

void CGContextAddArc(CGContextRef c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle,
                     CGFloat endAngle, int clockwise) {
  if (c == nullptr || radius < 0)
    return;
  if (clockwise)
    cairo_arc_negative(Of(c)->Cairo(), x, y, radius, startAngle, endAngle);
  else
    cairo_arc(Of(c)->Cairo(), x, y, radius, startAngle, endAngle);
}

void CGContextAddArcToPoint(CGContextRef c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2,
                            CGFloat radius) {
  if (c == nullptr || !cairo_has_current_point(Of(c)->Cairo()))
    return;
  cairo_t* cr = Of(c)->Cairo();
  double x0 = 0, y0 = 0;
  cairo_get_current_point(cr, &x0, &y0);
  // Unit vectors from the corner towards the two other points.
  const double ax = x0 - x1, ay = y0 - y1, bx = x2 - x1, by = y2 - y1;
  const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
  const double cross = ax * by - ay * bx;
  if (radius <= 0 || la == 0 || lb == 0 || std::fabs(cross) < 1e-9 * la * lb) {
    cairo_line_to(cr, x1, y1);
    return;
  }
  const double ux = ax / la, uy = ay / la, vx = bx / lb, vy = by / lb;
  const double cosTheta = ux * vx + uy * vy;                          // the corner's angle theta
  const double halfTan = std::sqrt((1 - cosTheta) / (1 + cosTheta));  // tan(theta / 2)
  const double distance = radius / halfTan;  // corner to each tangent point
  const double t1x = x1 + ux * distance, t1y = y1 + uy * distance;
  const double t2x = x1 + vx * distance, t2y = y1 + vy * distance;
  // The centre lies on the bisector, radius / sin(theta / 2) from the corner.
  const double bisX = ux + vx, bisY = uy + vy;
  const double bisLength = std::hypot(bisX, bisY);
  const double centreDistance = std::hypot(distance, double(radius));
  const double cx = x1 + bisX / bisLength * centreDistance;
  const double cy = y1 + bisY / bisLength * centreDistance;
  const double start = std::atan2(t1y - cy, t1x - cx);
  const double end = std::atan2(t2y - cy, t2x - cx);
  cairo_line_to(cr, t1x, t1y);
  // Turning from the first leg to the second: cross < 0 turns with increasing angles.
  if (cross < 0)
    cairo_arc(cr, cx, cy, radius, start, end);
  else
    cairo_arc_negative(cr, cx, cy, radius, start, end);
}

void CGContextClosePath(CGContextRef c) {
  if (c && cairo_has_current_point(Of(c)->Cairo()))
    cairo_close_path(Of(c)->Cairo());
}

bool CGContextIsPathEmpty(CGContextRef c) {
  if (c == nullptr)
    return true;
  cairo_path_t* path = cairo_copy_path(Of(c)->Cairo());
  const bool empty = path->num_data == 0;
  cairo_path_destroy(path);
  return empty;
}

CGPoint CGContextGetPathCurrentPoint(CGContextRef c) {
  double x = 0, y = 0;
  if (c && cairo_has_current_point(Of(c)->Cairo()))
    cairo_get_current_point(Of(c)->Cairo(), &x, &y);
  return CGPoint{CGFloat(x), CGFloat(y)};
}

void CGContextFillPath(CGContextRef c) {
  if (c)
    Fill(c, CAIRO_FILL_RULE_WINDING);
}

void CGContextEOFillPath(CGContextRef c) {
  if (c)
    Fill(c, CAIRO_FILL_RULE_EVEN_ODD);
}

void CGContextStrokePath(CGContextRef c) {
  if (c)
    Stroke(c);
}

void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode) {
  if (c == nullptr)
    return;
  if (mode == kCGPathStroke) {
    Stroke(c);
    return;
  }
  const bool evenOdd = mode == kCGPathEOFill || mode == kCGPathEOFillStroke;
  const bool stroke = mode == kCGPathFillStroke || mode == kCGPathEOFillStroke;
  cairo_set_fill_rule(Of(c)->Cairo(), evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  SetSource(c, Of(c)->State().fill);
  if (stroke)
    cairo_fill_preserve(Of(c)->Cairo());
  else
    cairo_fill(Of(c)->Cairo());
  cairo_set_fill_rule(Of(c)->Cairo(), CAIRO_FILL_RULE_WINDING);
  if (stroke)
    Stroke(c);
  Of(c)->Drawn();
}

void CGContextFillRect(CGContextRef c, CGRect rect) {
  if (c == nullptr)
    return;
  WithPathKept(c, [&] {
    AddRect(Of(c)->Cairo(), rect);
    Fill(c, CAIRO_FILL_RULE_WINDING);
  });
}

void CGContextStrokeRect(CGContextRef c, CGRect rect) {
  if (c == nullptr)
    return;
  WithPathKept(c, [&] {
    AddRect(Of(c)->Cairo(), rect);
    Stroke(c);
  });
}

void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width) {
  if (c == nullptr)
    return;
  cairo_save(Of(c)->Cairo());
  CGContextSetLineWidth(c, width);
  CGContextStrokeRect(c, rect);
  cairo_restore(Of(c)->Cairo());
}

void CGContextClearRect(CGContextRef c, CGRect rect) {
  if (c == nullptr)
    return;
  WithPathKept(c, [&] {
    cairo_save(Of(c)->Cairo());
    cairo_set_operator(Of(c)->Cairo(), CAIRO_OPERATOR_CLEAR);
    AddRect(Of(c)->Cairo(), rect);
    cairo_fill(Of(c)->Cairo());
    cairo_restore(Of(c)->Cairo());
    Of(c)->Drawn();
  });
}

void CGContextClip(CGContextRef c) {
  if (c)
    cairo_clip(Of(c)->Cairo());
}

void CGContextEOClip(CGContextRef c) {
  if (c == nullptr)
    return;
  cairo_set_fill_rule(Of(c)->Cairo(), CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(Of(c)->Cairo());
  cairo_set_fill_rule(Of(c)->Cairo(), CAIRO_FILL_RULE_WINDING);
}

void CGContextClipToRect(CGContextRef c, CGRect rect) {
  if (c == nullptr)
    return;
  WithPathKept(c, [&] {
    AddRect(Of(c)->Cairo(), rect);
    cairo_clip(Of(c)->Cairo());
  });
}

CGRect CGContextGetClipBoundingBox(CGContextRef c) {
  if (c == nullptr)
    return CGRect{{0, 0}, {0, 0}};
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_clip_extents(Of(c)->Cairo(), &x1, &y1, &x2, &y2);
  return CGRectMake(CGFloat(x1), CGFloat(y1), CGFloat(x2 - x1), CGFloat(y2 - y1));
}

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image) {
  cairo_surface_t* surface = standin_cg::SurfaceOf(image);
  if (c == nullptr || surface == nullptr || rect.size.width == 0 || rect.size.height == 0)
    return;
  const double width = CGImageGetWidth(image), height = CGImageGetHeight(image);
  cairo_t* cr = Of(c)->Cairo();
  WithPathKept(c, [&] {
    cairo_save(cr);
    // The first row at the rectangle's maximum y.
    cairo_translate(cr, CGRectGetMinX(rect), CGRectGetMaxY(rect));
    cairo_scale(cr, CGRectGetWidth(rect) / width, -CGRectGetHeight(rect) / height);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint_with_alpha(cr, Of(c)->State().alpha);
    cairo_restore(cr);
    Of(c)->Drawn();
  });
}

namespace {

// As Quartz, a font is found by its family name or its PostScript name (the family's name
// without blanks, as ATSFontGetPostScriptName gives it); null for neither.
cairo_font_face_t* FaceByName(const std::string& name) {
  if (cairo_font_face_t* face = standin_fonts::FaceOf(name))
    return face;
  for (const std::string& family : standin_fonts::FamilyNames()) {
    std::string postScript;
    for (char ch : family)
      if (ch != ' ')
        postScript += ch;
    if (postScript == name)
      return standin_fonts::FaceOf(family);
  }
  return nullptr;
}

}  // namespace

void CGContextSelectFont(CGContextRef c, const char* name, CGFloat size, CGTextEncoding) {
  if (c == nullptr || name == nullptr)
    return;
  StandIn_CGContextImpl::SetFont(Of(c)->State(), FaceByName(name));
  Of(c)->State().fontSize = size;
}

void CGContextSetFontSize(CGContextRef c, CGFloat size) {
  if (c)
    Of(c)->State().fontSize = size;
}

void CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode) {
  if (c)
    Of(c)->State().textMode = mode;
}

void CGContextSetTextPosition(CGContextRef c, CGFloat x, CGFloat y) {
  if (c)
    Of(c)->m_TextPosition = CGPoint{x, y};
}

CGPoint CGContextGetTextPosition(CGContextRef c) {
  return c ? Of(c)->m_TextPosition : CGPoint{0, 0};
}

void CGContextShowText(CGContextRef c, const char* string, std::size_t length) {
  if (c == nullptr || string == nullptr || !PrepareFont(c))
    return;
  const std::string text = MacRomanToUtf8(string, length);
  cairo_t* cr = Of(c)->Cairo();
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  const CGTextDrawingMode mode = Of(c)->State().textMode;
  const bool fills = mode == kCGTextFill || mode == kCGTextFillStroke;
  const bool strokes = mode == kCGTextStroke || mode == kCGTextFillStroke;
  if (fills || strokes) {
    WithPathKept(c, [&] {
      cairo_move_to(cr, Of(c)->m_TextPosition.x, Of(c)->m_TextPosition.y);
      cairo_text_path(cr, text.c_str());
      if (fills) {
        SetSource(c, Of(c)->State().fill);
        strokes ? cairo_fill_preserve(cr) : cairo_fill(cr);
      }
      if (strokes) {
        SetSource(c, Of(c)->State().stroke);
        cairo_stroke(cr);
      }
      Of(c)->Drawn();
    });
  }
  Of(c)->m_TextPosition.x += CGFloat(extents.x_advance);
  Of(c)->m_TextPosition.y += CGFloat(extents.y_advance);
}

void CGContextShowTextAtPoint(CGContextRef c, CGFloat x, CGFloat y, const char* string,
                              std::size_t length) {
  CGContextSetTextPosition(c, x, y);
  CGContextShowText(c, string, length);
}

long StandIn_CGContextLiveCount() {
  return g_LiveContexts;
}

long StandIn_CGContextUnbalancedRestores(CGContextRef c) {
  return c ? Of(c)->m_UnbalancedRestores : g_UnbalancedRestores;
}

CGContextRef CGBitmapContextCreate(void* data, std::size_t width, std::size_t height,
                                   std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                   CGColorSpaceRef space, CGBitmapInfo bitmapInfo) {
  if (standin_files::EnterCall("CGBitmapContextCreate") != noErr || space == nullptr ||
      bitsPerComponent != 8 || width == 0 || height == 0 || width > 32767 || height > 32767)
    return nullptr;
  const CGColorSpaceModel model = CGColorSpaceGetModel(space);
  standin_cg::PixelLayout layout;
  const std::size_t bitsPerPixel = model == kCGColorSpaceModelMonochrome ? 8 : 32;
  if (!standin_cg::LayoutOf(model, bitmapInfo, bitsPerPixel, &layout) ||
      (layout.HasAlpha() && !layout.premultiplied))
    return nullptr;
  const std::size_t rowBytes = width * std::size_t(layout.bytesPerPixel);
  if (bytesPerRow == 0 && data == nullptr)
    bytesPerRow = rowBytes;
  if (bytesPerRow < rowBytes)
    return nullptr;
  std::unique_ptr<UInt8[]> owned;
  if (data == nullptr) {
    owned.reset(new (std::nothrow) UInt8[bytesPerRow * height]());
    if (!owned)
      return nullptr;
    data = owned.get();
  }
  standin_cg::SurfacePtr surface(
      cairo_image_surface_create(layout.HasAlpha() ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                 static_cast<int>(width), static_cast<int>(height)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return nullptr;
  auto memory = std::make_unique<BitmapMemory>(static_cast<UInt8*>(data), std::move(owned), width,
                                               height, bytesPerRow, layout);
  memory->ReadInto(surface.get());
  cairo_matrix_t base;  // y up from the bottom left
  cairo_matrix_init(&base, 1, 0, 0, -1, 0, double(height));
  return new StandIn_CGContextImpl(std::move(surface), base, std::move(memory));
}

void* CGBitmapContextGetData(CGContextRef c) {
  return c && Of(c)->Memory() ? Of(c)->Memory()->Data() : nullptr;
}

std::size_t CGBitmapContextGetWidth(CGContextRef c) {
  return c && Of(c)->Memory() ? Of(c)->Memory()->Width() : 0;
}

std::size_t CGBitmapContextGetHeight(CGContextRef c) {
  return c && Of(c)->Memory() ? Of(c)->Memory()->Height() : 0;
}

std::size_t CGBitmapContextGetBytesPerRow(CGContextRef c) {
  return c && Of(c)->Memory() ? Of(c)->Memory()->BytesPerRow() : 0;
}

CGImageRef CGBitmapContextCreateImage(CGContextRef c) {
  if (c == nullptr || Of(c)->Memory() == nullptr ||
      standin_files::EnterCall("CGBitmapContextCreateImage") != noErr)
    return nullptr;
  return standin_cg::NewImageFromSurface(Of(c)->Surface());
}
