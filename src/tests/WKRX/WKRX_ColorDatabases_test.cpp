// The colour types use names that windows.h makes macros of: they are read first.
#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"

#include "GLIB/GLIB_String.h"
#include "WKRX/WKRX_Application.h"
#include "WKRX/WKRX_System.h"
#include "support/WKRX_ShellTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WKRXColorDatabases : public testing::Test {
protected:
  void SetUp() override {
    wchar_t profile[MAX_PATH] = {};
    m_HadProfile = GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH) > 0;
    m_Profile = profile;
    Forget();
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"USERPROFILE", m_HadProfile ? m_Profile.c_str() : nullptr);
    Forget();
  }

  static void Forget() {
    IMPN_ColorDatabase::sm_CustomColorFilePath.clear();
    IMPN_ColorDatabase::sm_PantoneColorFilePath.clear();
    IMPN_ColorDatabase::sm_CustomColorMap.clear();
    IMPN_ColorDatabase::sm_PantoneColorMap.clear();
  }

  std::wstring UserFolder() const {
    return m_Folder.Path() + L"Application Data\\Nolt\\Orvendal System";
  }

  WKRX_TestFolder m_Folder;
  bool m_HadProfile = false;
  std::wstring m_Profile;
};

// The Pantone file is looked for beside the program, however the program was started.
TEST_F(WKRXColorDatabases, WithoutAProfileThereAreNoCustomColours) {
  SetEnvironmentVariableW(L"USERPROFILE", nullptr);
  WKRX_Application::LoadColorDatabases();
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorFilePath,
            GLIB_WToNString(WKRX_ProgramFolder() + L"Pantone.colordb"));
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorFilePath.empty());
}

// The empty database made at the first start is the one later custom colours are saved to.
TEST_F(WKRXColorDatabases, TheFirstStartMakesTheFoldersAndADatabaseThatKeepsColours) {
  SetEnvironmentVariableW(L"USERPROFILE", m_Folder.Path().c_str());
  WKRX_Application::LoadColorDatabases();
  EXPECT_TRUE(IsFolder(UserFolder()));
  const std::string path = GLIB_WToNString(UserFolder() + L"\\Custom.colordb");
  EXPECT_EQ(IMPN_ColorDatabase::sm_CustomColorFilePath, path);
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorMap.empty());

  IMPN_RGBColor8 colour(10, 20, 30);
  IMPN_ColorDatabase::InsertCustomColor(colour, "House Teal");
  EXPECT_EQ(IMPN_ColorDatabase::SaveCustomColors(), kIMPN_ColorFileSaved);
  IMPN_ColorMap reloaded;
  EXPECT_TRUE(IMPN_ColorDBFile(path).LoadColors(reloaded));
  EXPECT_EQ(reloaded.count("House Teal"), 1u);

  // The next start reads it.
  Forget();
  WKRX_Application::LoadColorDatabases();
  EXPECT_EQ(IMPN_ColorDatabase::sm_CustomColorMap.count("House Teal"), 1u);
}

// A profile that cannot take the folder costs the custom colours, not the program.
TEST_F(WKRXColorDatabases, AUserFolderThatCannotBeMadeLeavesNoCustomDatabase) {
  m_Folder.Write(L"Application Data", "a file where the folder should be");
  SetEnvironmentVariableW(L"USERPROFILE", m_Folder.Path().c_str());
  EXPECT_NO_THROW(WKRX_Application::LoadColorDatabases());
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorFilePath.empty());
  EXPECT_FALSE(IMPN_ColorDatabase::sm_PantoneColorFilePath.empty());
}

TEST_F(WKRXColorDatabases, AProfileOnAMissingDriveLeavesNoCustomDatabase) {
  SetEnvironmentVariableW(L"USERPROFILE", L"Q:\\Nobody");
  EXPECT_NO_THROW(WKRX_Application::LoadColorDatabases());
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorFilePath.empty());
}

}  // namespace
