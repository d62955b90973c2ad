#pragma once
#include "IMPN/IMPN_Color.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

// CMYK percentages 0..100.
struct impn_CMYKColor8 {
  std::uint8_t cyan;
  std::uint8_t magenta;
  std::uint8_t yellow;
  std::uint8_t black;
};

// L as L * 655.35; a and b as (value + 128) * 256.
struct impn_LabColor16 {
  std::uint16_t L;
  std::uint16_t a;
  std::uint16_t b;
};

// Recipe kinds, as stored in colour files.
enum : std::uint32_t {
  kIMPN_RecipeCMYK = 0x3C00,
  kIMPN_RecipeRGB = 0x1C000,
  kIMPN_RecipeLab = 0xE0
};

// A colour recipe as the user or the shipped file gives it: a kind and 8 bytes of value whose
// meaning depends on the kind. A lookup caches its screen colour beside the recipe, so a CMYK
// or Lab recipe is converted once and still saved as it was entered.
struct ColorRecipe {
  std::uint32_t kind = 0;
  std::uint8_t value[8] = {};
  bool hasScreenColor = false;
  IMPN_RGBColor8 screenColor;

  static ColorRecipe FromCMYK(impn_CMYKColor8 const& c) { return Make(kIMPN_RecipeCMYK, c); }
  static ColorRecipe FromRGB(IMPN_RGBColor8 const& c) { return Make(kIMPN_RecipeRGB, c); }
  static ColorRecipe FromLab(impn_LabColor16 const& c) { return Make(kIMPN_RecipeLab, c); }
  static ColorRecipe OfKind(std::uint32_t kind) {
    ColorRecipe r;
    r.kind = kind;
    return r;
  }

  impn_CMYKColor8 CMYK() const { return As<impn_CMYKColor8>(); }
  IMPN_RGBColor8 RGB() const { return As<IMPN_RGBColor8>(); }
  impn_LabColor16 Lab() const { return As<impn_LabColor16>(); }

private:
  template <typename T>
  static ColorRecipe Make(std::uint32_t kind, T const& v) {
    static_assert(sizeof(T) <= sizeof(value), "recipe values fit 8 bytes");
    ColorRecipe r;
    r.kind = kind;
    std::memcpy(r.value, &v, sizeof(T));
    return r;
  }
  template <typename T>
  T As() const {
    T v;
    std::memcpy(static_cast<void*>(&v), value, sizeof(T));
    return v;
  }
};

// Orders colour names case-insensitively, byte by byte, a prefix first; names that differ
// only in letter case are one entry.
struct LessThanString {
  static bool ciCharLess(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) <
           std::tolower(static_cast<unsigned char>(b));
  }
  bool operator()(std::string const& a, std::string const& b) const {
    std::size_t const n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (ciCharLess(a[i], b[i]))
        return true;
      if (ciCharLess(b[i], a[i]))
        return false;
    }
    return a.size() < b.size();
  }
};

typedef std::map<std::string, ColorRecipe, LessThanString> IMPN_ColorMap;
