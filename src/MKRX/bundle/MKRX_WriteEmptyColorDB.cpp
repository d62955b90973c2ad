// Build tool: writes a colour database without entries at each path given, in this machine's
// byte order, so that a bundle carries a database its program can load. Exits 1 when one cannot
// be written.
#include "IMPN/IMPN_ColorDBFile.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <colour database path>...\n", argv[0]);
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    if (IMPN_ColorDBFile(argv[i]).CreateEmptyFile() != kIMPN_ColorFileSaved) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i]);
      return 1;
    }
  }
  return 0;
}
