#include "IMPN/IMPN_ColorDatabase.h"

#include "GNRC/GNRC_ColorConversion.h"

#include <algorithm>
#include <cctype>

IMPN_ColorMap IMPN_ColorDatabase::sm_PantoneColorMap;
IMPN_ColorMap IMPN_ColorDatabase::sm_CustomColorMap;
std::string IMPN_ColorDatabase::sm_PantoneColorFilePath;
std::string IMPN_ColorDatabase::sm_CustomColorFilePath;

namespace {
std::uint8_t ToByte(double fraction) {
  return static_cast<std::uint8_t>(fraction * 255);
}

IMPN_RGBColor8 ToScreen(GNRC_RgbColor const& c) {
  return IMPN_RGBColor8(ToByte(c.red), ToByte(c.green), ToByte(c.blue));
}

std::uint16_t PercentTo16(std::uint8_t percent) {
  return static_cast<std::uint16_t>(std::min(percent * 655.35, 65535.0));
}

std::uint8_t PercentFrom16(std::uint16_t channel) {
  return static_cast<std::uint8_t>(static_cast<int>(channel / 655.35));
}
}  // namespace

void IMPN_ColorDatabase::LoadPantoneColors(std::string const& path) {
  // The process colours come first so that they win over file entries of the same name.
  sm_PantoneColorMap.emplace("Cyan", ColorRecipe::FromCMYK({100, 0, 0, 0}));
  sm_PantoneColorMap.emplace("Magenta", ColorRecipe::FromCMYK({0, 100, 0, 0}));
  sm_PantoneColorMap.emplace("Yellow", ColorRecipe::FromCMYK({0, 0, 100, 0}));
  sm_PantoneColorMap.emplace("Black", ColorRecipe::FromCMYK({0, 0, 0, 100}));
  sm_PantoneColorMap.emplace("Red", ColorRecipe::FromRGB(IMPN_RGBColor8(255, 0, 0)));
  sm_PantoneColorMap.emplace("Green", ColorRecipe::FromRGB(IMPN_RGBColor8(0, 255, 0)));
  sm_PantoneColorMap.emplace("Blue", ColorRecipe::FromRGB(IMPN_RGBColor8(0, 0, 255)));
  sm_PantoneColorFilePath = path;
  IMPN_ColorDBFile(path).LoadColors(sm_PantoneColorMap);
}

void IMPN_ColorDatabase::LoadCustomColors(std::string const& path) {
  sm_CustomColorFilePath = path;
  IMPN_ColorDBFile(path).LoadColors(sm_CustomColorMap);
}

IMPN_ColorFileStatus IMPN_ColorDatabase::SaveCustomColors() {
  if (sm_CustomColorFilePath.empty())
    return kIMPN_ColorFileNotWritten;
  return IMPN_ColorDBFile(sm_CustomColorFilePath).SaveColors(sm_CustomColorMap);
}

void IMPN_ColorDatabase::InsertCustomColor(IMPN_RGBColor8& colour, std::string name) {
  if (sm_PantoneColorMap.count(name))
    return;
  // Assigning through the map keeps the spelling of an existing entry.
  sm_CustomColorMap[name] = ColorRecipe::FromRGB(colour);
}

bool IMPN_ColorDatabase::IsPantoneName(std::string const& name) {
  static char const kWord[] = "PANTONE";
  auto const found =
      std::search(name.begin(), name.end(), kWord, kWord + sizeof(kWord) - 1,
                  [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
  return found != name.end();
}

bool IMPN_ColorDatabase::GetPantoneRecipe(IMPN_RGBColor8& out, std::string name) {
  if (IsPantoneName(name))
    ResolvePantoneName(name);
  return LookUp(sm_PantoneColorMap, out, name);
}

bool IMPN_ColorDatabase::GetUserRecipe(IMPN_RGBColor8& out, std::string name) {
  return LookUp(sm_CustomColorMap, out, name);
}

bool IMPN_ColorDatabase::LookUp(IMPN_ColorMap& map, IMPN_RGBColor8& out, std::string const& name) {
  auto const it = map.find(name);
  if (it == map.end())
    return false;
  ColorRecipe& recipe = it->second;
  if (recipe.hasScreenColor) {
    out = recipe.screenColor;
    return true;
  }
  switch (recipe.kind) {
    case kIMPN_RecipeRGB:
      out = recipe.RGB();
      return true;
    case kIMPN_RecipeCMYK: {
      impn_CMYKColor8 cmyk = recipe.CMYK();
      out = IMPNCMYKToRGB(cmyk);
      break;
    }
    case kIMPN_RecipeLab: {
      impn_LabColor16 lab = recipe.Lab();
      out = IMPNLabToRGB(lab);
      break;
    }
    default:
      return true;  // a kind without a value leaves the caller's colour
  }
  // Convert once per run; the recipe itself stays as entered, for saving.
  recipe.screenColor = out;
  recipe.hasScreenColor = true;
  return true;
}

void IMPN_ColorDatabase::ResolvePantoneName(std::string& name) {
  std::string::size_type const blank = name.rfind(' ');
  std::string::size_type const start = blank == std::string::npos ? 0 : blank + 1;
  std::string const suffix = name.substr(start);
  if (suffix == "C" || suffix == "U" || suffix == "CVS")
    return;
  if (suffix == "CVU")
    name.replace(start, std::string::npos, "U");
  else if (suffix == "CVC" || suffix == "CV" || suffix == "PC" || suffix == "EC")
    name.replace(start, std::string::npos, "C");
  else
    name += " C";
}

IMPN_RGBColor8 IMPN_ColorDatabase::CMYKToRGB(impn_CMYKColor8& p) {
  GNRC_CmykColor c;
  c.cyan = p.cyan / 100.0;
  c.magenta = p.magenta / 100.0;
  c.yellow = p.yellow / 100.0;
  c.black = p.black / 100.0;
  return ToScreen(GNRC_CmykToRgb(c));
}

IMPN_RGBColor8 IMPN_ColorDatabase::LabToRGB(impn_LabColor16& v) {
  GNRC_LabColor lab;
  lab.L = static_cast<std::int32_t>(v.L / 655.35);
  lab.a = static_cast<std::int32_t>(v.a / 256.0 - 128);
  lab.b = static_cast<std::int32_t>(v.b / 256.0 - 128);
  return ToScreen(GNRC_LabToRgb(lab));
}

IMPN_RGBColor8 IMPN_ColorDatabase::IMPNCMYKToRGB(impn_CMYKColor16& c16) {
  IMPN_RGBColor8 out;
  if (SystemCMYKToRGB(c16, out) == 0)
    return out;
  impn_CMYKColor8 p = {PercentFrom16(c16.cyan), PercentFrom16(c16.magenta),
                       PercentFrom16(c16.yellow), PercentFrom16(c16.black)};
  return CMYKToRGB(p);
}

IMPN_RGBColor8 IMPN_ColorDatabase::IMPNCMYKToRGB(impn_CMYKColor8& p) {
  impn_CMYKColor16 c16 = {PercentTo16(p.cyan), PercentTo16(p.magenta), PercentTo16(p.yellow),
                          PercentTo16(p.black)};
  IMPN_RGBColor8 out;
  if (SystemCMYKToRGB(c16, out) == 0)
    return out;
  return CMYKToRGB(p);
}

IMPN_RGBColor8 IMPN_ColorDatabase::IMPNLabToRGB(impn_LabColor16& lab) {
  IMPN_RGBColor8 out;
  if (SystemLabToRGB(lab, out) == 0)
    return out;
  return LabToRGB(lab);
}
