#include "support/MKRX_Fixture.h"

#include "SampleJob.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "GLIB/GLIB_LogMessage.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"
#include "MKRX/MKRX_AboutDialog.h"
#include "MKRX/MKRX_AboutWindow.h"
#include "MKRX/MKRX_Application.h"
#include "MKRX/MKRX_ColorDatabaseFiles.h"
#include "MKRX/MKRX_ColorProfileCheck.h"
#include "MKRX/MKRX_Main.h"
#include "MKRX/MKRX_MeasurementWindow.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_SeparationWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/MKRX_SplashWindow.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "UMAC/UMAC_AutoAEDescriptor.h"

#include <Carbon/Carbon.h>
#include <CoreServices/StandInCalls.h>
#include <CoreFoundation/CFPreferences.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/StandInScript.h>

#include <fstream>

namespace {

constexpr OSType kSystemVersionSelector = 0x73797376;  // 'sysv'
constexpr MenuCommand kQuitCommand = 0x71756974;       // 'quit'

using MKRX_ApplicationTest = MKRX_Fixture;

std::vector<std::string>& LoggedLines() {
  static std::vector<std::string> lines;
  return lines;
}

void CaptureLog(GLIB_SEVERITY severity, const wchar_t* message, const char*, int) {
  std::string text;
  for (const wchar_t* c = message; c && *c; ++c)
    text.push_back(static_cast<char>(*c));  // the tests' texts are ASCII
  LoggedLines().push_back(std::string(GLIB_SeverityLabel(severity)) + ": " + text);
}

// Runs the program with no arguments on an empty script: it starts and, with nothing to do,
// ends at once.
int RunProgram() {
  const char* const argv[] = {"HalvorenKRXMac"};
  return MKRX_Main(1, argv, StandIn_CurrentInputSource());
}

// The open-documents event with these items, handled at once; the handler's result.
OSErr SendOpenDocuments(UMAC_AutoAEDescriptor const& list) {
  ProcessSerialNumber const self = {0, kCurrentProcess};
  UMAC_AutoAEDescriptor const target(typeProcessSerialNumber, &self, sizeof self);
  UMAC_AutoAEDescriptor event(kCoreEventClass, kAEOpenDocuments, &target.Get(),
                              kAutoGenerateReturnID, kAnyTransactionID);
  AEPutParamDesc(&event.Get(), keyDirectObject, &list.Get());
  UMAC_AutoAEDescriptor reply;
  return AESend(&event.Get(), &reply.Get(), kAEWaitReply, kAENormalPriority, kAEDefaultTimeout,
                nullptr, nullptr);
}

void AppendFile(UMAC_AutoAEDescriptor& list, std::string const& path) {
  FSRef ref;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
  AEPutPtr(&list.Get(), 0, typeFSRef, &ref, sizeof ref);
}

// A colour no preference gives, so that a start-up that reached its last steps (the default
// spot colour, the units, the palettes) shows by the ink colour it set.
const IMPN_RGBColor8 kUnsetInkColor(1, 2, 3);

bool StartUpWentToItsEnd() {
  return !(IMPN_Ink::sm_DefaultColor == kUnsetInkColor) &&
         MKRX_PaletteManager::GetNavigationWindow() != nullptr;
}

// Whether the preferences hold the key (written, read afresh from disk).
bool PreferenceStored(CFStringRef key) {
  StandIn_CFPreferencesForget();
  CFPropertyListRef const stored = CFPreferencesCopyAppValue(key, kCFPreferencesCurrentApplication);
  if (stored)
    CFRelease(stored);
  return stored != nullptr;
}

bool MenuCommandEnabled(MenuCommand command) {
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  if (GetIndMenuItemWithCommandID(nullptr, command, 1, &menu, &item) != noErr)
    return false;
  StandIn_OpenMenu(menu);
  return IsMenuItemEnabled(menu, item);
}

TEST_F(MKRX_ApplicationTest, TheSystemVersionGatesTheStart) {
  struct Case {
    SInt32 version;
    bool gestaltFails;
    bool starts;
  };
  const Case cases[] = {{0x1038, false, false}, {0, true, false}, {0x1039, false, true}};
  for (Case const& c : cases) {
    StandIn_AlertsReset();
    iMKRX_PlaceholderLog::Clear();
    IMPN_Ink::sm_DefaultColor = kUnsetInkColor;
    if (c.gestaltFails)
      StandIn_SetGestaltError(kSystemVersionSelector, -5551);
    else
      StandIn_SetGestaltValue(kSystemVersionSelector, c.version);
    EXPECT_EQ(0, RunProgram()) << c.version;
    EXPECT_EQ(c.starts ? 0 : 1, StandIn_AlertCount()) << c.version;
    EXPECT_EQ(c.starts, StartUpWentToItsEnd()) << c.version;
    if (!c.starts) {
      EXPECT_EQ(kAlertStopAlert, StandIn_LastAlert().type);
      EXPECT_EQ("This version of Mac OS X is too old.", StandIn_LastAlert().message);
      EXPECT_EQ("Quit", StandIn_LastAlert().buttons[0]);
    }
  }
}

TEST_F(MKRX_ApplicationTest, AnErrorThatEndsTheRunIsLoggedAndFails) {
  // A bundle without the menu bar's nib: the start-up cannot finish.
  m_Bundle = std::make_unique<TestBundle>("");
  LoggedLines().clear();
  GLIB_LogHandlerPtr const old = GLIB_LogMessage::SetHandler(&CaptureLog);
  EXPECT_EQ(1, RunProgram());
  GLIB_LogMessage::SetHandler(old);
  ASSERT_EQ(1u, LoggedLines().size());
  EXPECT_EQ(0u, LoggedLines()[0].rfind("ERROR: The program ended on an error: ", 0))
      << LoggedLines()[0];
}

TEST_F(MKRX_ApplicationTest, TheByteOrderNamesThePantoneDatabase) {
  EXPECT_TRUE(MKRX_ColorDatabaseFiles::IsLittleEndian());  // the machines this builds on
  EXPECT_STREQ("PantoneLE.colordb", MKRX_ColorDatabaseFiles::PantoneResourceName());
  MKRX_Application application;
  application.Initialize();
  std::string const& path = IMPN_ColorDatabase::sm_PantoneColorFilePath;
  EXPECT_EQ("/PantoneLE.colordb", path.substr(path.rfind('/')));
  EXPECT_EQ(0, StandIn_AlertCount());
}

TEST_F(MKRX_ApplicationTest, AMissingPantoneDatabaseWarnsAndLeavesTheBuiltInColours) {
  MakeBundle(false);
  MKRX_Application application;
  application.Initialize();
  EXPECT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ("The Pantone colour database is missing.", StandIn_LastAlert().message);
  IMPN_RGBColor8 cyan;
  EXPECT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(cyan, "Cyan"));
}

TEST_F(MKRX_ApplicationTest, AMissingUserDatabaseIsCreatedAndTakesTheColoursSavedLater) {
  MKRX_Application application;
  application.Initialize();
  ASSERT_TRUE(std::filesystem::exists(UserDatabase()));
  EXPECT_EQ(UserDatabase().string(), IMPN_ColorDatabase::sm_CustomColorFilePath);
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorMap.empty());

  IMPN_RGBColor8 colour(10, 20, 30);
  IMPN_ColorDatabase::InsertCustomColor(colour, "House Green");
  EXPECT_EQ(kIMPN_ColorFileSaved, IMPN_ColorDatabase::SaveCustomColors());
  IMPN_ColorMap reread;
  EXPECT_TRUE(IMPN_ColorDBFile(UserDatabase().string()).LoadColors(reread));
  EXPECT_EQ(1u, reread.count("House Green"));
  EXPECT_EQ(0, StandIn_AlertCount());
}

TEST_F(MKRX_ApplicationTest, AnUnreadableUserDatabaseIsSetAsideWithOneWarning) {
  std::string const damaged = "BDCC but not a colour database";
  std::ofstream(UserDatabase(), std::ios::binary) << damaged;
  MKRX_Application application;
  application.Initialize();

  EXPECT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ("Your colour database could not be read.", StandIn_LastAlert().message);
  std::ifstream aside(UserDatabase().string() + ".unreadable", std::ios::binary);
  EXPECT_EQ(damaged, std::string(std::istreambuf_iterator<char>(aside), {}));
  IMPN_ColorMap fresh;
  EXPECT_TRUE(IMPN_ColorDBFile(UserDatabase().string()).LoadColors(fresh));
  EXPECT_TRUE(fresh.empty());
  EXPECT_EQ(UserDatabase().string(), IMPN_ColorDatabase::sm_CustomColorFilePath);
}

CMError OnlyCMYKToRGBFails(CMColor&, OSType from, OSType to) {
  return from == cmCMYKData && to == cmRGBData ? cmProfileError : 0;
}

TEST_F(MKRX_ApplicationTest, AFailedProfileConversionIsNamedInOneWarning) {
  MKRX_ColorProfileCheck::SetMatchFunction(&OnlyCMYKToRGBFails);
  MKRX_Application application;
  application.Initialize();
  ASSERT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ(kAlertCautionAlert, StandIn_LastAlert().type);
  EXPECT_EQ("The colour profiles cannot be used.", StandIn_LastAlert().message);
  EXPECT_EQ("Colours may show wrongly on screen. These conversions failed: CMYK to RGB.",
            StandIn_LastAlert().explanation);
}

TEST_F(MKRX_ApplicationTest, TheSplashPreferenceDecidesTheSplashWindow) {
  for (bool shown : {true, false}) {
    iMKRX_PlaceholderLog::Clear();
    IMPN_Ink::sm_DefaultColor = kUnsetInkColor;
    CFPreferencesSetAppValue(CFSTR("MKRX_ShowSplashScreen"),
                             shown ? kCFBooleanTrue : kCFBooleanFalse,
                             kCFPreferencesCurrentApplication);
    MKRX_Application application;
    application.Initialize();
    EXPECT_EQ(shown ? 1 : 0, iMKRX_PlaceholderLog::Count("MKRX_SplashWindow::MKRX_SplashWindow"));
    // Start-up goes on to its end either way.
    EXPECT_TRUE(StartUpWentToItsEnd());
  }
}

TEST_F(MKRX_ApplicationTest, OlderSystemsRegisterTheToolbarsIconsToo) {
  const char* const toolbarIcons[] = {"ShowHideRulers", "PressSheetEdge"};
  for (const char* name : toolbarIcons)
    m_Bundle->AddResource(std::string(name) + ".icns", "icns");
  m_Bundle->AddResource("Job.icns", "icns");
  for (SInt32 version : {0x1039, 0x1049}) {
    StandIn_ResetIcons();
    StandIn_SetGestaltValue(kSystemVersionSelector, version);
    MKRX_Application application;
    application.Initialize();
    IconRef icon = nullptr;
    EXPECT_EQ(noErr, GetIconRef(kOnSystemDisk, 0x4E6C7432, 0x496D706E, &icon));  // 'Impn'
    if (icon)
      ReleaseIconRef(icon);
    icon = nullptr;
    EXPECT_EQ(version < 0x1040, GetIconRef(kOnSystemDisk, 0x4E6C7432, 0x56526C72, &icon) == noErr)
        << version;  // 'VRlr'
    if (icon)
      ReleaseIconRef(icon);
  }
}

TEST_F(MKRX_ApplicationTest, TheDefaultSpotColourReachesInksWithoutAColour) {
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(1, 2, 3);
  MKRX_Application application;
  application.Initialize();
  EXPECT_EQ(IMPN_RGBColor8(153, 153, 153), IMPN_Ink::sm_DefaultColor);
  IMPN_Preferences::sm_DefaultSpotColor = IMPN_RGBColor8(200, 100, 50);
  MKRX_Application::ApplyDefaultSpotColor();
  EXPECT_EQ(IMPN_RGBColor8(200, 100, 50), IMPN_Ink::sm_DefaultColor);
}

class MKRX_CommandsTest : public MKRX_Fixture {
protected:
  void SetUp() override {
    MKRX_Fixture::SetUp();
    m_Application = std::make_unique<MKRX_Application>();
    m_Application->Initialize();
    iMKRX_PlaceholderLog::Clear();
    StandIn_AlertsReset();
    m_Sample = MKRX_WriteSampleJob(FilesFolder());
  }
  void TearDown() override {
    MKRX_Fixture::TearDown();
    m_Application.reset();
  }

  std::unique_ptr<MKRX_Application> m_Application;
  std::vector<std::string> m_Sample;
};

TEST_F(MKRX_CommandsTest, IgnoredFilesAreCountedInOneAlertBeforeTheWindowsOpen) {
  UMAC_AutoAEDescriptor list(nullptr, 0, false);
  AppendFile(list, m_Sample[0]);  // one separation of sheet 1's front
  AppendFile(list, MKRX_WriteTextFile(FilesFolder() / "notes.krx"));
  AppendFile(list, MKRX_WriteTextFile(FilesFolder() / "readme.tif"));
  EXPECT_EQ(noErr, SendOpenDocuments(list));
  ASSERT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ(kAlertCautionAlert, StandIn_LastAlert().type);
  EXPECT_EQ("2 files were ignored.", StandIn_LastAlert().message);
  EXPECT_EQ("They are not valid preview files.", StandIn_LastAlert().explanation);
  EXPECT_EQ((std::vector<std::string>{
                std::string(SampleJob::kTitle) +
                " \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 1 \xE2\x80\xA2 Front"}),
            SheetWindowTitles());
  EXPECT_EQ(1, MKRX_SheetWindowManager::GetWindowCountTotal());
}

TEST_F(MKRX_CommandsTest, AnEventOfInvalidFilesOpensNoWindow) {
  UMAC_AutoAEDescriptor list(nullptr, 0, false);
  AppendFile(list, MKRX_WriteTextFile(FilesFolder() / "notes.krx"));
  EXPECT_EQ(noErr, SendOpenDocuments(list));
  EXPECT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ("One file was ignored.", StandIn_LastAlert().message);
  EXPECT_EQ("It is not a valid preview file.", StandIn_LastAlert().explanation);
  EXPECT_EQ(0, MKRX_SheetWindowManager::GetWindowCountTotal());
}

TEST_F(MKRX_CommandsTest, AnItemThatNamesNoFileIsIgnored) {
  UMAC_AutoAEDescriptor list(nullptr, 0, false);
  const char text[] = "not a file";
  AEPutPtr(&list.Get(), 0, typeChar, text, sizeof text - 1);
  for (std::size_t i = 0; i < SampleJob::kInks; ++i)
    AppendFile(list, m_Sample[i]);  // the front of sheet 1
  EXPECT_EQ(noErr, SendOpenDocuments(list));
  EXPECT_EQ(1, StandIn_AlertCount());
  EXPECT_EQ("One file was ignored.", StandIn_LastAlert().message);
  EXPECT_EQ(1, MKRX_SheetWindowManager::GetWindowCountTotal());
}

TEST_F(MKRX_CommandsTest, AboutWithOptionShowsTheDialogAndHidesTheWindow) {
  m_Application->ShowAboutDialog(0);
  ASSERT_NE(nullptr, m_Application->GetAboutWindow());
  EXPECT_TRUE(m_Application->GetAboutWindow()->IsVisible());
  EXPECT_EQ(nullptr, m_Application->GetAboutDialog());

  m_Application->ShowAboutDialog(optionKey);
  ASSERT_NE(nullptr, m_Application->GetAboutDialog());
  EXPECT_TRUE(m_Application->GetAboutDialog()->IsVisible());
  EXPECT_FALSE(m_Application->GetAboutWindow()->IsVisible());

  MKRX_AboutWindow* const window = m_Application->GetAboutWindow();
  m_Application->ShowAboutDialog(0);
  EXPECT_EQ(window, m_Application->GetAboutWindow());  // made once, reused
  EXPECT_TRUE(window->IsVisible());
  EXPECT_FALSE(m_Application->GetAboutDialog()->IsVisible());
}

TEST_F(MKRX_CommandsTest, ASecondJobBrowserCommandOnlyBringsItToTheFront) {
  StandIn_NavReset();
  StandIn_NavScriptCancel();
  StandIn_CallsReset();
  m_Application->ShowRegistryWindow();
  m_Application->ShowRegistryWindow();
  EXPECT_EQ(1, iMKRX_PlaceholderLog::Count("MKRX_RegistryWindow::MKRX_RegistryWindow"));
  EXPECT_EQ(2, iMKRX_PlaceholderLog::Count("MKRX_RegistryWindow::Select"));
  EXPECT_EQ(1, StandIn_CallCount("NavCreateChooseFolderDialog"));
  EXPECT_TRUE(StandIn_NavLastDialogTexts().kind == StandIn_NavKind::ChooseFolder);
  StandIn_RecordCalls(false);
  StandIn_NavReset();
}

TEST_F(MKRX_CommandsTest, TheOpenCommandsDialogIsBoundToNoSheetAndHidesThePalettes) {
  MKRX_PaletteManager::RevealPalettes();
  MKRX_PaletteManager::ShowNavigationPalette();
  m_Application->ShowAddFilesDialog();
  EXPECT_TRUE(MKRX_PaletteManager::PalettesConcealed());
  EXPECT_FALSE(MKRX_PaletteManager::NavigationPaletteVisible());
  EXPECT_EQ((std::vector<std::string>{"MKRX_AddFileDialog::MKRX_AddFileDialog",
                                      "MKRX_AddFileDialog::SetTitle Open Preview Files",
                                      "MKRX_AddFileDialog::SetSheet none",
                                      "MKRX_AddFileDialog::Show", "MKRX_AddFileDialog::Select"}),
            iMKRX_PlaceholderLog::Calls());
}

TEST_F(MKRX_CommandsTest, MenuItemsOfWindowsNotYetBuiltStayDisabled) {
  for (MenuCommand command : {0x61626F75u, 0x436C7245u, 0x49537672u, 0x534A4272u, 0x6F70656Eu,
                              0x70726566u})  // 'abou' 'ClrE' 'ISvr' 'SJBr' 'open' 'pref'
    EXPECT_FALSE(MenuCommandEnabled(command)) << command;
  EXPECT_TRUE(MenuCommandEnabled(kQuitCommand));
  EXPECT_TRUE(iMKRX_PlaceholderLog::Calls().empty());  // opening a menu opens nothing
}

TEST_F(MKRX_CommandsTest, TheQuitEventAndTheQuitItemSaveThePalettesAndEndTheLoop) {
  ProcessSerialNumber const self = {0, kCurrentProcess};
  UMAC_AutoAEDescriptor const target(typeProcessSerialNumber, &self, sizeof self);
  UMAC_AutoAEDescriptor event(kCoreEventClass, kAEQuitApplication, &target.Get(),
                              kAutoGenerateReturnID, kAnyTransactionID);
  UMAC_AutoAEDescriptor reply;
  AESend(&event.Get(), &reply.Get(), kAEWaitReply, kAENormalPriority, kAEDefaultTimeout, nullptr,
         nullptr);
  // The palettes' places were saved with the preferences.
  EXPECT_TRUE(PreferenceStored(CFSTR("MKRX_NavigationWindowBounds")));
  EXPECT_TRUE(StandIn_QuitRequested());

  CFPreferencesSetAppValue(CFSTR("MKRX_NavigationWindowBounds"), nullptr,
                           kCFPreferencesCurrentApplication);
  CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication);
  ASSERT_FALSE(PreferenceStored(CFSTR("MKRX_NavigationWindowBounds")));
  StandIn_EventsReset();
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, kQuitCommand, 1, &menu, &item));
  StandIn_ChooseMenuItem(menu, item);
  StandIn_RunUntilIdle();
  EXPECT_TRUE(PreferenceStored(CFSTR("MKRX_NavigationWindowBounds")));
  EXPECT_TRUE(StandIn_QuitRequested());
  // The save wrote the preferences.
  StandIn_CFPreferencesForget();
  CFPropertyListRef const stored =
      CFPreferencesCopyAppValue(CFSTR("MKRX_ShowSplashScreen"), kCFPreferencesCurrentApplication);
  EXPECT_NE(nullptr, stored);
  if (stored)
    CFRelease(stored);
}

}  // namespace

namespace {

TEST_F(MKRX_ApplicationTest, AFactoryResetGivesInksTheDefaultSpotColourAgain) {
  MKRX_Application application;
  application.Initialize();
  struct Case {
    UInt32 keys;
    long answer;
    bool reset;
  };
  const Case cases[] = {{cmdKey | optionKey, 1, true},
                        {cmdKey | optionKey | shiftKey, 2, false},
                        {cmdKey, 1, false},
                        {optionKey, 1, false}};
  for (Case const& c : cases) {
    StandIn_AlertsReset();
    IMPN_Preferences::sm_DefaultSpotColor = IMPN_RGBColor8(1, 2, 3);
    MKRX_Application::ApplyDefaultSpotColor();
    StandIn_SetKeyModifiers(c.keys);
    StandIn_ScriptAnswer(StandIn_AnswerKind::Alert, c.answer);
    MKRX_SplashWindow::CheckForFactoryReset();
    StandIn_SetKeyModifiers(0);
    StandIn_ScriptClear();
    EXPECT_EQ((c.keys & cmdKey) && (c.keys & optionKey) ? 1 : 0, StandIn_AlertCount()) << c.keys;
    EXPECT_EQ(c.reset ? IMPN_RGBColor8(153, 153, 153) : IMPN_RGBColor8(1, 2, 3),
              IMPN_Ink::sm_DefaultColor)
        << c.keys;
  }
}

}  // namespace

namespace {

TEST_F(MKRX_ApplicationTest, ThePalettesAreMadeFromTheirNibsAndStartHidden) {
  MKRX_Application application;
  application.Initialize();
  PPXA::Window* const palettes[] = {MKRX_PaletteManager::GetNavigationWindow(),
                                    MKRX_PaletteManager::GetSeparationWindow(),
                                    MKRX_PaletteManager::GetMeasurementWindow()};
  const char* const titles[] = {"Navigation", "Separations", "Measurement"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(nullptr, palettes[i]) << titles[i];
    EXPECT_FALSE(palettes[i]->IsVisible()) << titles[i];
    CFStringRef title = nullptr;
    CopyWindowTitleAsCFString(palettes[i]->GetSysWindow(), &title);
    EXPECT_EQ(titles[i], MKRX_Text(title));
    if (title)
      CFRelease(title);
  }
}

}  // namespace
