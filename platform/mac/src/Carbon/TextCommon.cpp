#include <Carbon/TextCommon.h>

#include <atomic>

namespace {
std::atomic<TextEncoding> g_applicationEncoding{kTextEncodingMacRoman};
}

TextEncoding GetApplicationTextEncoding() {
  return g_applicationEncoding.load();
}

TextEncoding StandIn_SetApplicationTextEncoding(TextEncoding encoding) {
  return g_applicationEncoding.exchange(encoding);
}
