#include "WCTL/WCTL_NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>

namespace {

bool IsBlank(unsigned short ch) {
  return ch == ' ' || ch == '\t';
}

bool IsDigit(unsigned short ch) {
  return ch >= '0' && ch <= '9';
}

// The text from its first character that is no blank.
std::size_t SkipBlanks(USTR_String const& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  return i;
}

// The ASCII number characters from start on, with ',' read as '.'; stops at anything else.
std::string NumberCharacters(USTR_String const& text, std::size_t start) {
  std::string chars;
  for (std::size_t i = start; i < text.size(); ++i) {
    unsigned short const ch = text[i];
    if (IsDigit(ch) || ch == '.' || ch == 'e' || ch == 'E' || ch == '+' || ch == '-') {
      chars += static_cast<char>(ch);
    } else if (ch == ',') {
      chars += '.';
    } else {
      break;
    }
  }
  return chars;
}

// For a number too large or too small for a double: whether it is too large. Too small numbers
// have a negative exponent or no non-zero digit before the separator.
bool Overflows(char const* first, char const* last) {
  for (char const* p = first; p != last; ++p) {
    if (*p == 'e' || *p == 'E') {
      return p + 1 == last || p[1] != '-';
    }
  }
  for (char const* p = first; p != last && *p != '.'; ++p) {
    if (*p >= '1' && *p <= '9') {
      return true;
    }
  }
  return false;
}

}  // namespace

long WCTL_ParseLong(USTR_String const& text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Collected as a magnitude in 64 bits and capped just past long's range.
  std::int64_t const cap = static_cast<std::int64_t>(LONG_MAX) + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > cap) {
      magnitude = cap;
    }
  }
  if (negative) {
    return static_cast<long>(-magnitude);
  }
  return magnitude > LONG_MAX ? LONG_MAX : static_cast<long>(magnitude);
}

double WCTL_ParseDouble(USTR_String const& text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string const chars = NumberCharacters(text, i);
  // One sign only.
  if (!chars.empty() && (chars[0] == '+' || chars[0] == '-')) {
    return 0.0;
  }
  char const* const first = chars.data();
  double value = 0.0;
  std::from_chars_result const read =
      std::from_chars(first, first + chars.size(), value, std::chars_format::general);
  if (read.ec == std::errc::result_out_of_range) {
    value = Overflows(first, read.ptr) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (read.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

std::wstring WCTL_FormatDouble(double value) {
  int const length = std::snprintf(nullptr, 0, "%f", value);
  if (length <= 0) {
    return std::wstring();
  }
  std::string narrow(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(&narrow[0], narrow.size(), "%f", value);
  narrow.resize(static_cast<std::size_t>(length));
  return std::wstring(narrow.begin(), narrow.end());
}
