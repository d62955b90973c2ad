// Writes the sample job into the folder named on the command line (made when missing) and lists
// the files it wrote, one path a line.
#include "SampleJob.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "write_sample_job");
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    for (const std::string& path : SampleJob::WriteAll(argv[1]))
      std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "write_sample_job: %s\n", e.what());
    return 1;
  }
  return 0;
}
