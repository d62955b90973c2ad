#pragma once

#include <cstddef>

// The part of TEXT between its leading and trailing blanks, for narrow and wide strings alike.
template <typename StringT, typename IsBlank>
StringT iGLIB_TrimEnds(const StringT& text, IsBlank isBlank) {
  std::size_t first = 0;
  std::size_t end = text.size();
  while (first < end && isBlank(text[first]))
    ++first;
  while (end > first && isBlank(text[end - 1]))
    --end;
  return StringT(text.substr(first, end - first));
}
