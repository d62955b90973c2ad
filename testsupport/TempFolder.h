// A folder of the test's own under the system's temporary folder, removed with everything in it
// when the holder goes.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TempFolder {
public:
  // prefix: the start of the folder's name, to tell whose folder a left-over one was.
  explicit TempFolder(std::string const& prefix) {
    std::string folder = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
    if (::mkdtemp(folder.data()) == nullptr)
      throw std::filesystem::filesystem_error("mkdtemp",
                                              std::error_code(errno, std::generic_category()));
    m_Path = folder;
  }

  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
  }

  TempFolder(TempFolder const&) = delete;
  TempFolder& operator=(TempFolder const&) = delete;

  std::string const& Path() const { return m_Path; }

private:
  std::string m_Path;
};
