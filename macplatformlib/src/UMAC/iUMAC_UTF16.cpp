#include "UMAC/iUMAC_UTF16.h"

#include <cstdint>

namespace {

std::uint32_t const kFirstSupplementary = 0x10000;
std::uint32_t const kLastCodePoint = 0x10FFFF;
UniChar const kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::vector<UniChar> iUMAC_WideToUTF16(GLIB_WString const& text) {
  std::vector<UniChar> units;
  units.reserve(text.size());
  for (wchar_t const c : text) {
    auto const code = static_cast<std::uint32_t>(c);
    if (code < kFirstSupplementary) {
      units.push_back(static_cast<UniChar>(code));
    } else if (code <= kLastCodePoint) {
      std::uint32_t const offset = code - kFirstSupplementary;
      units.push_back(static_cast<UniChar>(0xD800 + (offset >> 10)));
      units.push_back(static_cast<UniChar>(0xDC00 + (offset & 0x3FF)));
    } else {
      units.push_back(kReplacement);
    }
  }
  return units;
}

GLIB_WString iUMAC_UTF16ToWide(UniChar const* units, std::size_t count) {
  GLIB_WString wide;
  wide.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t const unit = units[i];
    if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
      std::uint32_t const low = units[++i];
      wide.push_back(
          static_cast<wchar_t>(kFirstSupplementary + ((unit - 0xD800) << 10) + (low - 0xDC00)));
    } else {
      wide.push_back(static_cast<wchar_t>(unit));
    }
  }
  return wide;
}
