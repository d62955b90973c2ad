// The fixture of the Mac program's tests: a main bundle built from the program's own nibs and
// strings (with an empty Pantone database), an empty home whose Preferences folder holds the
// user's files, a supported system, colour profiles that convert, and a clean event queue,
// script, alert record and placeholder log. Open sheet windows are closed at the end.
#pragma once

#include "TempFolder.h"
#include "TestBundle.h"

#include <CoreFoundation/CFString.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/MacWindows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The contents of one of the program's resource files (path below the resources folder).
std::string MKRX_ReadResource(std::string const& relativePath);

// Writes the sample job (two sheets, front and back, each surface in the four process inks and
// one spot ink) into folder; returns the files sheet by sheet, front before back.
std::vector<std::string> MKRX_WriteSampleJob(std::filesystem::path const& folder);
// A file that is no preview file.
std::string MKRX_WriteTextFile(std::filesystem::path const& path);

// The text of a CF string as UTF-8.
std::string MKRX_Text(CFStringRef text);

// The script, with a look at the program each time it asks for input.
class MKRX_WatchedScript : public StandIn_InputSource {
public:
  explicit MKRX_WatchedScript(std::function<void()> watch)
      : m_Script(StandIn_CurrentInputSource()),
        m_Watch(std::move(watch)) {}
  bool NextInput(EventTime deadline, StandIn_Input& input) override {
    m_Watch();
    return m_Script.NextInput(deadline, input);
  }
  void Wake() override { m_Script.Wake(); }
  bool Exhausted() const override { return m_Script.Exhausted(); }

private:
  StandIn_InputSource& m_Script;
  std::function<void()> m_Watch;
};

class MKRX_Fixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A new main bundle from the program's resources, with or without its Pantone database.
  void MakeBundle(bool withPantone);
  std::filesystem::path PreferencesFolder() const { return std::filesystem::path(m_Home.Path()); }
  std::filesystem::path UserDatabase() const {
    return PreferencesFolder() / "com.nolt.krx.colordb";
  }
  std::filesystem::path FilesFolder() const { return std::filesystem::path(m_Files.Path()); }

  // The open sheet windows' titles.
  static std::vector<std::string> SheetWindowTitles();

  std::unique_ptr<TestBundle> m_Bundle;
  TempFolder m_Home{"home"};
  TempFolder m_Files{"files"};
};
