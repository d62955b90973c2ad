// The calls made on the stand-ins of classes that are not built yet ("Class::Operation"), in
// order, so that the code that calls them can be tested before they exist.
#pragma once

#include <string>
#include <vector>

class iMKRX_PlaceholderLog {
public:
  static void Record(std::string const& call);
  static std::vector<std::string> const& Calls();
  // How often the call was recorded.
  static long Count(std::string const& call);
  static void Clear();

  iMKRX_PlaceholderLog() = delete;
};
