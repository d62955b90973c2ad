// Loads a colour database file, saves what it gave and loads that again: the second load must
// give the same entries, bit for bit.
#include "FuzzInput.h"
#include "IMPN/IMPN_ColorDBFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool SameEntries(IMPN_ColorMap const& a, IMPN_ColorMap const& b) {
  if (a.size() != b.size())
    return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
    if (i->first != j->first || i->second.kind != j->second.kind ||
        std::memcmp(i->second.value, j->second.value, sizeof i->second.value) != 0)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  static std::string const input = FuzzInput::PathFor("input.colordb");
  static std::string const saved = FuzzInput::PathFor("saved.colordb");
  FuzzInput::Write(input, data, size);

  IMPN_ColorMap loaded;
  IMPN_ColorDBFile(input).LoadColors(loaded);
  if (IMPN_ColorDBFile(saved).SaveColors(loaded) != kIMPN_ColorFileSaved)
    std::abort();
  IMPN_ColorMap reloaded;
  if (!IMPN_ColorDBFile(saved).LoadColors(reloaded) || !SameEntries(loaded, reloaded)) {
    std::fprintf(stderr, "a saved colour file reads back differently\n");
    std::abort();
  }
  return 0;
}
