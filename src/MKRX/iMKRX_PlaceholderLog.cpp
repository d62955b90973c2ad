#include "MKRX/iMKRX_PlaceholderLog.h"

#include <algorithm>

namespace {

std::vector<std::string>& TheCalls() {
  static std::vector<std::string> calls;
  return calls;
}

}  // namespace

void iMKRX_PlaceholderLog::Record(std::string const& call) {
  TheCalls().push_back(call);
}

std::vector<std::string> const& iMKRX_PlaceholderLog::Calls() {
  return TheCalls();
}

long iMKRX_PlaceholderLog::Count(std::string const& call) {
  return static_cast<long>(std::count(TheCalls().begin(), TheCalls().end(), call));
}

void iMKRX_PlaceholderLog::Clear() {
  TheCalls().clear();
}
