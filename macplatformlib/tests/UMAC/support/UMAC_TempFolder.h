// A temporary folder that a test fills with files, folders and application bundles, removed
// with everything in it when the holder goes.
#pragma once

#include <CoreServices/Files.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "TempFolder.h"

class UMAC_TempFolder {
public:
  UMAC_TempFolder() : m_Folder("umac_folder"), m_Path(m_Folder.Path()) {}

  std::string const& Path() const { return m_Path; }
  std::string At(std::string const& relative) const { return m_Path + "/" + relative; }
  bool Exists(std::string const& relative) const { return std::filesystem::exists(At(relative)); }

  // A file (its folders made first) with the given Finder type and creator (0: none set).
  std::string File(std::string const& relative, OSType type = 0, OSType creator = 0) const {
    std::string const path = At(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "data";
    if (type || creator) {
      FSRef ref = Ref(relative);
      FSCatalogInfo info{};
      FileInfo finder{type, creator, 0, 0, 0, 0};
      std::memcpy(info.finderInfo, &finder, sizeof finder);
      EXPECT_EQ(noErr, FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info));
    }
    return path;
  }
  std::string Folder(std::string const& relative) const {
    std::filesystem::create_directories(At(relative));
    return At(relative);
  }
  // An application bundle: Info.plist with package type, signature and executable "app", and
  // the executable itself.
  std::string Bundle(std::string const& relative, OSType type, OSType creator) const {
    std::string const contents = Folder(relative + "/Contents");
    Folder(relative + "/Contents/MacOS");
    std::ofstream(contents + "/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        << "<key>CFBundlePackageType</key><string>" << Chars(type) << "</string>"
        << "<key>CFBundleSignature</key><string>" << Chars(creator) << "</string>"
        << "<key>CFBundleExecutable</key><string>app</string></dict></plist>\n";
    std::ofstream(contents + "/MacOS/app") << "code";
    return At(relative);
  }

  FSRef Ref(std::string const& relative = "") const {
    std::string const path = relative.empty() ? m_Path : At(relative);
    FSRef ref{};
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<UInt8 const*>(path.c_str()), &ref, nullptr))
        << path;
    return ref;
  }

  static std::string Chars(OSType code) {
    char const chars[4] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16),
                           static_cast<char>(code >> 8), static_cast<char>(code)};
    return std::string(chars, 4);
  }

private:
  TempFolder m_Folder;
  std::string const& m_Path;
};
