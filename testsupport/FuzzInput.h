// The fuzz targets read files as the viewer does: each input goes to a file of this process in
// the temporary folder, written afresh for every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace FuzzInput {

// A path named name in a folder of this process; parallel fuzzing jobs get folders of their own.
inline std::string PathFor(std::string const& name) {
  std::filesystem::path const folder =
      std::filesystem::temp_directory_path() / ("proj-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

inline void Write(std::string const& path, std::uint8_t const* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<char const*>(data), static_cast<std::streamsize>(size));
}

}  // namespace FuzzInput
