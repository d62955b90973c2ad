// The colours the docking library derives from the system's: a lifted face colour and a caption
// text colour two thirds of the way from the text colour to the grey-text colour. Pure
// arithmetic over 0x00BBGGRR values.
#pragma once

#include <algorithm>
#include <cstdint>

namespace dockwins {

inline std::uint32_t DockChannel(std::uint32_t color, int shift) {
  return (color >> shift) & 0xFF;
}

// Each channel lifted by up to 35 (less when the brightest channel is near white), keeping the
// hue; a black face is lifted evenly.
inline std::uint32_t LightFaceColor(std::uint32_t face) {
  const int b = static_cast<int>(
      std::max({DockChannel(face, 0), DockChannel(face, 8), DockChannel(face, 16)}));
  const int e = b <= 220 ? 35 : 255 - b;
  std::uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const int c = static_cast<int>(DockChannel(face, shift));
    const int lifted = b > 0 ? static_cast<int>(c + static_cast<double>(e) * c / b + 0.5) : c + e;
    result |= static_cast<std::uint32_t>(std::min(lifted, 255)) << shift;
  }
  return result;
}

inline std::uint32_t CaptionTextColor(std::uint32_t text, std::uint32_t grayText) {
  std::uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const int t = static_cast<int>(DockChannel(text, shift));
    const int g = static_cast<int>(DockChannel(grayText, shift));
    result |= static_cast<std::uint32_t>(t + 2 * ((g - t) / 3)) << shift;
  }
  return result;
}

}  // namespace dockwins
