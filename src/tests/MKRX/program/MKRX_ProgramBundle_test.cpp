// This program lies in a bundle laid out as the Mac program's own (its nibs, strings, art and
// empty Pantone database) and looks at it through its main bundle, as the program does.
#include "IMPN/IMPN_ColorDatabase.h"
#include "MKRX/MKRX_Application.h"
#include "MKRX/MKRX_ColorProfileCheck.h"
#include "PPXA/PPXA_NibChecker.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/Menus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

CMError AllConversionsSucceed(CMColor&, OSType, OSType) {
  return 0;
}

// A home of its own: the start-up makes the user's colour database in its Preferences folder.
class MKRX_ProgramBundleTest : public ::testing::Test {
protected:
  void SetUp() override {
    char folder[] = "/tmp/programhome_XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    m_Home = folder;
    StandIn_SetFolder(kPreferencesFolderType, m_Home.c_str());
    MKRX_ColorProfileCheck::SetMatchFunction(&AllConversionsSucceed);
    StandIn_AlertsReset();
  }
  void TearDown() override {
    MKRX_ColorProfileCheck::SetMatchFunction(nullptr);
    StandIn_SetFolder(kPreferencesFolderType, nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_Home, ignored);
  }

  std::string m_Home;
};

TEST_F(MKRX_ProgramBundleTest, TheProgramStartsFromItsBundleWithEverythingItNeeds) {
  MKRX_Application application;
  application.Initialize();

  // No alert: the Pantone database was found, the user's database made.
  EXPECT_EQ(0, StandIn_AlertCount()) << StandIn_LastAlert().message;
  std::string const& pantone = IMPN_ColorDatabase::sm_PantoneColorFilePath;
  EXPECT_NE(std::string::npos, pantone.find("ProgramProbe.app/Contents/Resources/")) << pantone;
  EXPECT_TRUE(std::filesystem::exists(m_Home + "/com.nolt.krx.colordb"));

  // The nibs hold every view the code looks for, once the classes are registered.
  EXPECT_EQ(std::vector<std::string>(), PPXA::CheckNibViews(PPXA::ProgramNibTable()));

  // The menu bar with its tool icons, and the registered icon families of the art.
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, 0x50616E54, 1, &menu, &item));  // 'PanT'
  UInt8 type = kMenuNoIcon;
  Handle icon = nullptr;
  GetMenuItemIconHandle(menu, item, &type, &icon);
  EXPECT_EQ(kMenuCGImageRefType, type);
  for (OSType family : {0x496D706E, 0x53776170, 0x3F496E6B}) {  // 'Impn' 'Swap' '?Ink'
    IconRef registered = nullptr;
    EXPECT_EQ(noErr, GetIconRef(kOnSystemDisk, 0x4E6C7432, family, &registered)) << family;
    if (registered)
      ReleaseIconRef(registered);
  }
}

}  // namespace
