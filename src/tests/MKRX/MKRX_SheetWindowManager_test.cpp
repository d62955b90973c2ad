#include "support/MKRX_Fixture.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Sheet.h"
#include "MKRX/MKRX_Application.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "PPXA/PPXA_NibChecker.h"
#include "PPXA/PPXA_Window.h"
#include "PreviewFileWriter.h"

#include <Carbon/Carbon.h>
#include <CoreServices/StandInCalls.h>
#include <PPx/PPxExceptions.h>

namespace {

// A job of three sheets, one separation each (front surfaces 0, 2 and 4).
std::vector<IMPN_Sheet*> ThreeSheets(std::filesystem::path const& folder) {
  GFIL_FileSpecVector files;
  for (std::uint16_t surface : {0, 2, 4}) {
    PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(512, 512, 8);
    file.job.title = "Three";
    file.job.surface = surface;
    std::string const path = (folder / ("sheet" + std::to_string(surface) + ".krx")).string();
    PreviewFixture::Write(path, file);
    FSRef ref;
    EXPECT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
    files.push_back(GFIL_FileSpecMacOS(ref));
  }
  IMPN_Registry registry;
  EXPECT_EQ(3, registry.RegisterFiles(files, false));
  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  return sheets;
}

class MKRX_SheetWindowManagerTest : public MKRX_Fixture {
protected:
  void SetUp() override {
    MKRX_Fixture::SetUp();
    m_Application = std::make_unique<MKRX_Application>();
    m_Application->Initialize();
    iMKRX_PlaceholderLog::Clear();
  }
  void TearDown() override {
    MKRX_Fixture::TearDown();
    m_Application.reset();
  }

  std::vector<WindowRef> OpenThree() {
    std::vector<IMPN_Sheet*> sheets = ThreeSheets(FilesFolder());
    std::vector<WindowRef> windows;
    for (IMPN_Sheet* sheet : sheets)
      windows.push_back(MKRX_SheetWindowManager::CreateSheetWindow(sheet)->GetSysWindow());
    return windows;
  }

  std::unique_ptr<MKRX_Application> m_Application;
};

TEST_F(MKRX_SheetWindowManagerTest, ClosingTheLastWindowConcealsThePalettes) {
  long const before = StandIn_WindowLiveCount();
  std::vector<WindowRef> const windows = OpenThree();
  EXPECT_EQ(3, MKRX_SheetWindowManager::GetWindowCountTotal());
  EXPECT_EQ((std::vector<std::string>{
                "Three \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 3 \xE2\x80\xA2 Front",
                "Three \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 2 \xE2\x80\xA2 Front",
                "Three \xE2\x80\xA2 Signature 1 \xE2\x80\xA2 Sheet 1 \xE2\x80\xA2 Front"}),
            SheetWindowTitles());
  MKRX_PaletteManager::ShowNavigationPalette();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    MKRX_SheetWindow::GetObject(windows[i])->Close();
    StandIn_RunUntilIdle();
    EXPECT_EQ(static_cast<long>(windows.size() - i - 1),
              MKRX_SheetWindowManager::GetWindowCountTotal());
    bool const last = i + 1 == windows.size();
    EXPECT_EQ(last, MKRX_PaletteManager::PalettesConcealed());
    EXPECT_EQ(!last, MKRX_PaletteManager::NavigationPaletteVisible());
  }
  EXPECT_EQ(before, StandIn_WindowLiveCount());
}

TEST_F(MKRX_SheetWindowManagerTest, CollapsedWindowsCountOnlyInTheTotal) {
  std::vector<WindowRef> const windows = OpenThree();
  for (WindowRef window : windows)
    CollapseWindow(window, true);
  EXPECT_EQ(3, MKRX_SheetWindowManager::GetWindowCountTotal());
  EXPECT_EQ(0, MKRX_SheetWindowManager::GetWindowCountUncollapsed());
  CollapseWindow(windows[1], false);
  EXPECT_EQ(1, MKRX_SheetWindowManager::GetWindowCountUncollapsed());
}

TEST_F(MKRX_SheetWindowManagerTest, OneTiledWindowFillsTheScreenLessOnePoint) {
  const Rect screen = {0, 0, 800, 1280};
  StandIn_SetMainScreen(screen, 22);
  std::vector<IMPN_Sheet*> sheets = ThreeSheets(FilesFolder());
  std::vector<IMPN_Sheet*> one(sheets.begin(), sheets.begin() + 1);
  for (auto it = sheets.begin() + 1; it != sheets.end(); ++it)
    delete *it;
  MKRX_SheetWindowManager::CreateSheetWindows(one);
  Rect boundary;
  MKRX_SheetWindowManager::GetScreenBoundary(boundary);
  WindowRef const window = GetFrontWindowOfClass(kDocumentWindowClass, true);
  for (auto arrange :
       {&MKRX_SheetWindowManager::TileHorizontally, &MKRX_SheetWindowManager::TileVertically}) {
    arrange();
    Rect structure;
    GetWindowBounds(window, kWindowStructureRgn, &structure);
    EXPECT_EQ(boundary.top + 1, structure.top);
    EXPECT_EQ(boundary.left + 1, structure.left);
    EXPECT_EQ(boundary.bottom - 1, structure.bottom);
    EXPECT_EQ(boundary.right - 1, structure.right);
  }
}

TEST_F(MKRX_SheetWindowManagerTest, CloseAllClosesEveryWindowThroughItsCloseEvent) {
  long const before = StandIn_WindowLiveCount();
  OpenThree();
  MKRX_SheetWindowManager::CloseAll();
  EXPECT_EQ(0, MKRX_SheetWindowManager::GetWindowCountTotal());
  EXPECT_EQ(before + 3, StandIn_WindowLiveCount());  // each closes when its event comes
  StandIn_RunUntilIdle();
  EXPECT_EQ(before, StandIn_WindowLiveCount());
}

TEST_F(MKRX_SheetWindowManagerTest, TheInkCommandReachesEverySheetWindow) {
  OpenThree();
  EventRef event = nullptr;
  ASSERT_EQ(noErr, CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event));
  HICommand command = {};
  command.commandID = 0x496E6B53;  // 'InkS'
  SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
  EXPECT_EQ(noErr, SendEventToEventTarget(event, GetApplicationEventTarget()));
  ReleaseEvent(event);
  EXPECT_EQ(3, iMKRX_PlaceholderLog::Count("MKRX_SheetPanel::RefreshDefaultInks"));
}

TEST_F(MKRX_SheetWindowManagerTest, ASheetWhoseWindowFailsIsNotLeftBehind) {
  std::vector<IMPN_Sheet*> sheets = ThreeSheets(FilesFolder());
  StandIn_CallsReset();
  StandIn_FailNext("CreateWindowFromNib", -108);
  EXPECT_THROW(MKRX_SheetWindowManager::CreateSheetWindows(sheets), PPx::OSError);
  EXPECT_EQ(0, MKRX_SheetWindowManager::GetWindowCountTotal());
  StandIn_RecordCalls(false);
}

TEST_F(MKRX_SheetWindowManagerTest, EveryNibWindowHoldsTheViewsTheCodeLooksFor) {
  // The classes are registered by the start-up in SetUp.
  EXPECT_EQ((std::vector<std::string>{}), PPXA::CheckNibViews(PPXA::ProgramNibTable()));
  std::set<std::string> windows;
  for (PPXA::NibCheckRow const& row : PPXA::ProgramNibTable())
    windows.insert(std::string(row.nib) + "/" + row.window);
  EXPECT_EQ((std::set<std::string>{
                "MKRX_Localized/Measurement Palette", "MKRX_Resources/Navigation Palette",
                "MKRX_Resources/Separation Palette", "MKRX_Resources/SheetWindow"}),
            windows);
}

}  // namespace

namespace {

TEST_F(MKRX_SheetWindowManagerTest, TheCustomViewsOfASheetWindowDrawPlacards) {
  std::vector<WindowRef> const windows = OpenThree();
  long const before = StandIn_LastThemePlacard().count;
  ASSERT_EQ(noErr, StandIn_WindowRender(windows[0]));
  // The origin, both rulers and the status bar.
  EXPECT_EQ(before + 4, StandIn_LastThemePlacard().count);
  HIViewRef status = PPXA::FindWindowViewByID(windows[0], {0x53747356, 0});  // 'StsV'
  EXPECT_STREQ("com.nolt.MKRX.StatusView", StandIn_HIViewKind(status));
}

}  // namespace
