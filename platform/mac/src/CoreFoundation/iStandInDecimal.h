// Decimal text of a double shared by the number formatter and the property-list writer.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// The shortest decimal text that reads back as the same double.
inline std::string StandIn_ShortestDecimal(double value) {
  char text[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value)
      break;
  }
  return text;
}
