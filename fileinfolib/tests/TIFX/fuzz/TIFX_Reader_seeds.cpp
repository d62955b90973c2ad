// Writes the reader's starting corpus into the folder named by the first argument.
#include "FuzzSeeds.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  FuzzSeeds::WritePreviewSeeds(argv[1]);
  return 0;
}
