#pragma once
// Writes small PNG images for the tests: 8-bit RGB, zlib stored blocks, no compression.

#include <cstdint>
#include <vector>

struct UWIN_TestRgb {
  std::uint8_t red, green, blue;
};

// A PNG of width x height pixels given row by row.
std::vector<std::uint8_t> UWIN_MakeTestPng(int width, int height,
                                           std::vector<UWIN_TestRgb> const& pixels);
