// Internals of the stand-in's font family table (see CoreGraphics/StandInFonts.h).
#pragma once
#include <cairo.h>

#include <string>
#include <vector>

namespace standin_fonts {

// The cairo face of a family, owned by the table (valid until the table is reset); null for an
// unknown family.
cairo_font_face_t* FaceOf(const std::string& familyName);
// The family names in table order.
std::vector<std::string> FamilyNames();
// The advance of UTF-8 text and the face's ascent and descent (both positive) at a size.
struct TextMetrics {
  double advance;
  double ascent;
  double descent;
};
TextMetrics Measure(cairo_font_face_t* face, double size, const std::string& utf8);
// Text cut at the end or in the middle, with an ellipsis (U+2026) put in, until its advance fits
// the width; the text itself when it fits, empty when not even the ellipsis does.
enum class Cut {
  kEnd,
  kMiddle
};
std::u16string Truncate(cairo_font_face_t* face, double size, const std::u16string& text,
                        double width, Cut where);
// The family every theme font uses.
constexpr char kSystemFamily[] = "Lucida Grande";

}  // namespace standin_fonts
