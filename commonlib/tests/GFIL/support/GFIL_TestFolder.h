// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_String.h"

#include <filesystem>
#include <string>

class GFIL_TestFolder {
public:
  GFIL_TestFolder();
  ~GFIL_TestFolder();
  GFIL_TestFolder(const GFIL_TestFolder&) = delete;
  GFIL_TestFolder& operator=(const GFIL_TestFolder&) = delete;

  const std::filesystem::path& Path() const { return m_Path; }
  std::filesystem::path Path(const std::string& relative) const { return m_Path / relative; }
  // The platform path of an item below the folder ("" for the folder itself).
  GLIB_WString PlatformPath(const std::string& relative = "") const;
  GFIL_FileSpec Spec(const std::string& relative = "") const;

  void WriteFile(const std::string& relative, const std::string& bytes) const;
  std::string ReadFile(const std::string& relative) const;
  void MakeFolder(const std::string& relative) const;

private:
  std::filesystem::path m_Path;
};
