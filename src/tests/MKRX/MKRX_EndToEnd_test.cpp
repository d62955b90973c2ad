#include "support/MKRX_Fixture.h"

#include "SampleJob.h"

#include "MKRX/MKRX_Main.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"

#include <CoreFoundation/CFPreferences.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/Menus.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/StandInScript.h>

namespace {

void ScriptKey(UniChar character, UInt32 modifiers) {
  StandIn_Input input;
  input.kind = StandIn_InputKind::KeyDown;
  input.modifiers = modifiers;
  input.character = character;
  input.keyCode = StandIn_KeyCodeOf(character);
  StandIn_ScriptInput(input);
  input.kind = StandIn_InputKind::KeyUp;
  StandIn_ScriptInput(input);
}

// The titles of the menu bar's menus.
std::vector<std::string> MenuBarTitles() {
  std::vector<std::string> titles;
  MenuRef const root = AcquireRootMenu();
  if (root == nullptr)
    return titles;
  for (MenuItemIndex item = 1; item <= CountMenuItems(root); ++item) {
    CFStringRef text = nullptr;
    CopyMenuItemTextAsCFString(root, item, &text);
    titles.push_back(MKRX_Text(text));
    if (text)
      CFRelease(text);
  }
  CFRelease(root);
  return titles;
}

using MKRX_EndToEndTest = MKRX_Fixture;

TEST_F(MKRX_EndToEndTest, TheProgramOpensTheSheetsOfItsArgumentsAndQuitsOnCommandQ) {
  std::vector<std::string> const files = MKRX_WriteSampleJob(FilesFolder());
  std::vector<const char*> argv = {"HalvorenKRXMac"};
  for (std::string const& file : files)
    argv.push_back(file.c_str());

  std::vector<std::string> menus;
  std::vector<std::string> windows;
  long alerts = -1;
  MKRX_WatchedScript script([&] {
    if (alerts >= 0)
      return;
    menus = MenuBarTitles();
    windows = SheetWindowTitles();
    alerts = StandIn_AlertCount();
  });
  ScriptKey('q', cmdKey);

  EXPECT_EQ(0, MKRX_Main(static_cast<int>(argv.size()), argv.data(), script));

  EXPECT_EQ((std::vector<std::string>{"HalvorenKRX", "File", "View", "Tools", "Colour", "Window"}),
            menus);
  std::string const job = SampleJob::kTitle;
  EXPECT_EQ((std::vector<std::string>{
                job + " \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 2 \xE2\x80\xA2 Front",
                job + " \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 1 \xE2\x80\xA2 Front"}),
            windows);
  EXPECT_EQ(0, alerts);
  EXPECT_EQ(2, iMKRX_PlaceholderLog::Count("MKRX_SheetView::InitEventHandlers"));
  // The quit kept the palettes' places with the preferences.
  StandIn_CFPreferencesForget();
  CFPropertyListRef const saved = CFPreferencesCopyAppValue(CFSTR("MKRX_NavigationWindowBounds"),
                                                            kCFPreferencesCurrentApplication);
  EXPECT_NE(nullptr, saved);
  if (saved)
    CFRelease(saved);
  EXPECT_TRUE(StandIn_QuitRequested());
  EXPECT_FALSE(StandIn_EventLoopRanDry());  // Command-Q ended it, not the end of the script
}

}  // namespace
