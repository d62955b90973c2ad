#include "GFIL_TestFolder.h"

#include "GFIL/GFIL_Utils.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

GFIL_TestFolder::GFIL_TestFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path base = fs::temp_directory_path();
  do {
    m_Path = base / ("gfil-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  } while (!fs::create_directory(m_Path));
  m_Path = fs::canonical(m_Path);
}

GFIL_TestFolder::~GFIL_TestFolder() {
  std::error_code ignored;
  fs::remove_all(m_Path, ignored);
}

GLIB_WString GFIL_TestFolder::PlatformPath(const std::string& relative) const {
  fs::path path = relative.empty() ? m_Path : m_Path / fs::u8path(relative);
  return GLIB_WString(path.make_preferred().wstring());
}

GFIL_FileSpec GFIL_TestFolder::Spec(const std::string& relative) const {
  return GFIL_SpecFromPlatformPath(PlatformPath(relative));
}

void GFIL_TestFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
  std::ofstream(m_Path / fs::u8path(relative), std::ios::binary) << bytes;
}

std::string GFIL_TestFolder::ReadFile(const std::string& relative) const {
  std::ifstream in(m_Path / fs::u8path(relative), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void GFIL_TestFolder::MakeFolder(const std::string& relative) const {
  fs::create_directories(m_Path / fs::u8path(relative));
}
