// Writes the colour database's starting corpus, made by the colour file writer itself, into
// the folder named by the first argument.
#include "IMPN/IMPN_ColorDBFile.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  std::filesystem::path const folder = argv[1];
  std::filesystem::create_directories(folder);
  IMPN_ColorMap map;
  map.emplace("Warm Red", ColorRecipe::FromCMYK(impn_CMYKColor8{0, 75, 90, 0}));
  map.emplace("Sky", ColorRecipe::FromRGB(IMPN_RGBColor8(80, 160, 240)));
  map.emplace("Clay", ColorRecipe::FromLab(impn_LabColor16{40000, 30000, 41000}));
  map.emplace("Unknown kind", ColorRecipe::OfKind(7));
  IMPN_ColorDBFile((folder / "mixed.colordb").string()).SaveColors(map);
  IMPN_ColorDBFile((folder / "empty.colordb").string()).CreateEmptyFile();
  IMPN_ColorMap one;
  one.emplace("Only", ColorRecipe::FromLab(impn_LabColor16{65535, 0, 65535}));
  IMPN_ColorDBFile((folder / "one.colordb").string()).SaveColors(one);
  return 0;
}
