// Font family table of the Mac stand-in (see CoreGraphics/StandInFonts.h).
#include "iStandInFonts.h"

#include "../Files/iStandInFiles.h"

#include <CoreGraphics/StandInFonts.h>

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <utility>

#ifndef STANDIN_BUNDLED_FONT
#error "STANDIN_BUNDLED_FONT names the bundled font file"
#endif

namespace {

struct FaceDeleter {
  void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
};
using FacePtr = std::unique_ptr<cairo_font_face_t, FaceDeleter>;

const cairo_user_data_key_t kFreeTypeFaceKey{};

void DoneFreeTypeFace(void* face) {
  FT_Done_Face(static_cast<FT_Face>(face));
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    FT_Init_FreeType(&made);
    return made;
  }();
  return library;
}

// A cairo face that owns its FreeType face; null when the file is not a font.
FacePtr LoadFace(const std::string& path) {
  FT_Face ftFace = nullptr;
  if (Library() == nullptr || FT_New_Face(Library(), path.c_str(), 0, &ftFace) != 0)
    return nullptr;
  FacePtr face(cairo_ft_font_face_create_for_ft_face(ftFace, 0));
  if (cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(face.get(), &kFreeTypeFaceKey, ftFace, DoneFreeTypeFace) !=
          CAIRO_STATUS_SUCCESS) {
    FT_Done_Face(ftFace);
    return nullptr;
  }
  return face;
}

class FamilyTable {
public:
  FamilyTable() { Reset(); }
  void Reset() {
    m_Families.clear();
    FacePtr bundled = LoadFace(STANDIN_BUNDLED_FONT);
    if (bundled) {
      cairo_font_face_reference(bundled.get());
      m_Families.emplace_back(standin_fonts::kSystemFamily, FacePtr(bundled.get()));
      m_Families.emplace_back("DejaVu Sans", std::move(bundled));
    }
  }
  bool Add(const std::string& name, FacePtr face) {
    if (!face)
      return false;
    for (auto& family : m_Families) {
      if (family.first == name) {
        family.second = std::move(face);
        return true;
      }
    }
    m_Families.emplace_back(name, std::move(face));
    return true;
  }
  cairo_font_face_t* Find(const std::string& name) const {
    for (const auto& family : m_Families) {
      if (family.first == name)
        return family.second.get();
    }
    return nullptr;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& family : m_Families)
      names.push_back(family.first);
    return names;
  }

private:
  std::vector<std::pair<std::string, FacePtr>> m_Families;
};

FamilyTable& Table() {
  static FamilyTable* table = new FamilyTable;  // faces may be used from static destructors
  return *table;
}

}  // namespace

bool StandIn_AddFontFamily(const char* familyName, const char* fontFilePath) {
  if (familyName == nullptr || fontFilePath == nullptr)
    return false;
  return Table().Add(familyName, LoadFace(fontFilePath));
}

void StandIn_ResetFontFamilies() {
  Table().Reset();
}

namespace standin_fonts {

cairo_font_face_t* FaceOf(const std::string& familyName) {
  return Table().Find(familyName);
}

TextMetrics Measure(cairo_font_face_t* face, double size, const std::string& utf8) {
  cairo_matrix_t scale, identity;
  cairo_matrix_init_scale(&scale, size, size);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &scale, &identity, options);
  cairo_text_extents_t text;
  cairo_font_extents_t font;
  cairo_scaled_font_text_extents(scaled, utf8.c_str(), &text);
  cairo_scaled_font_extents(scaled, &font);
  cairo_scaled_font_destroy(scaled);
  cairo_font_options_destroy(options);
  return TextMetrics{text.x_advance, font.ascent, font.descent};
}

std::u16string Truncate(cairo_font_face_t* face, double size, const std::u16string& text,
                        double width, Cut where) {
  auto fits = [&](const std::u16string& units) {
    return Measure(face, size, standin_files::Utf16ToUtf8(units)).advance <= width;
  };
  if (fits(text))
    return text;
  std::u16string head = text, tail;
  if (where == Cut::kMiddle) {
    head = text.substr(0, text.size() / 2);
    tail = text.substr(text.size() / 2);
  }
  for (;;) {
    const std::u16string candidate = head + u'\u2026' + tail;
    if (fits(candidate))
      return candidate;
    if (head.empty() && tail.empty())
      return std::u16string();
    // Cut from the longer side (the end when cutting at the end).
    if (!tail.empty() && (tail.size() >= head.size() || head.empty()))
      tail.erase(0, 1);
    else
      head.pop_back();
  }
}

std::vector<std::string> FamilyNames() {
  return Table().Names();
}

}  // namespace standin_fonts
