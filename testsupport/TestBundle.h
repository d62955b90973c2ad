// A program bundle in a temporary folder whose English strings table holds the given entries,
// installed as the stand-in's main bundle for the helper's lifetime (Mac flavour tests only).
#pragma once

#include <CoreFoundation/CFBundle.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempFolder.h"

class TestBundle {
public:
  // stringsTable: the contents of en.lproj/Localizable.strings, as UTF-8.
  explicit TestBundle(std::string const& stringsTable)
      : m_Folder("bundle"),
        m_Root(m_Folder.Path()) {
    std::filesystem::path const app = m_Root / "Viewer.app";
    std::filesystem::path const language = app / "Contents" / "Resources" / "en.lproj";
    std::filesystem::create_directories(language);
    std::ofstream(language / "Localizable.strings", std::ios::binary) << stringsTable;
    StandIn_SetMainBundlePath(app.string().c_str());
  }

  ~TestBundle() { StandIn_SetMainBundlePath(nullptr); }

  // Writes a file among the bundle's (not localised) resources.
  void AddResource(std::string const& fileName, std::string const& contents) const {
    std::ofstream(m_Root / "Viewer.app" / "Contents" / "Resources" / fileName, std::ios::binary)
        << contents;
  }

  TestBundle(TestBundle const&) = delete;
  TestBundle& operator=(TestBundle const&) = delete;

private:
  TempFolder m_Folder;
  std::filesystem::path m_Root;
};
