#include "WKRX/WKRX_Application.h"

#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Preferences.h"
#include "WKRX/WKRX_SheetWindow.h"
#include "WKRX/WKRX_Startup.h"
#include "support/WKRX_ShellTest.h"

#include "win/ResourceLibrary.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The test program's own splash image is 24 x 16 pixels.
constexpr int kSplashWidth = 24;
constexpr int kSplashHeight = 16;

RECT WorkArea() {
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT WindowRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

std::wstring Quoted(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

class WKRXApplication : public WKRX_ShellTest {
protected:
  void TearDown() override {
    m_App.reset();
    WKRX_ShellTest::TearDown();
  }

  WKRX_Application& Start(UINT splashId = 213) {
    m_App = std::make_unique<WKRX_Application>(splashId);
    return *m_App;
  }

  // Hands over text as a later start does: its units and the terminating zero.
  LRESULT HandOver(const std::wstring& commandLine) {
    COPYDATASTRUCT data = {};
    data.dwData = 0xB001;
    data.cbData = static_cast<DWORD>((commandLine.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(commandLine.c_str());
    return SendMessageW(*m_App, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }

  void BatchTimer() { SendMessageW(*m_App, WM_TIMER, WKRX_Application::kBatchTimer, 0); }

  std::vector<WKRX_SheetWindow*> Windows() const { return m_App->SheetWindows(); }

  std::unique_ptr<WKRX_Application> m_App;
  WKRX_TestFolder m_Folder;
};

TEST_F(WKRXApplication, TheSplashStandsCentredAQuarterDownTheWorkAreaAndIsFoundByItsNames) {
  WKRX_Application& app = Start();
  ASSERT_TRUE(app.IsWindow());
  const RECT work = WorkArea();
  const RECT rect = WindowRect(app);
  const int width = kSplashWidth + 2;
  const int height = kSplashHeight + 2;
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
  EXPECT_EQ(rect.left, ((work.right - work.left) - width) / 2);
  EXPECT_EQ(rect.top, ((work.bottom - work.top) - height) / 4);
  EXPECT_EQ(app.GetStyle() & (WS_POPUP | WS_VISIBLE), static_cast<DWORD>(WS_POPUP | WS_VISIBLE));
  EXPECT_TRUE(app.GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(FindWindowW(WKRX_InstanceNames::WindowClass().c_str(),
                        WKRX_InstanceNames::WindowTitle().c_str()),
            app.m_hWnd);
}

// Without an image the program would live on with no window at all.
TEST_F(WKRXApplication, WithoutASplashImageABlankWindowStillComes) {
  WKRX_Application& app = Start(9999);
  ASSERT_TRUE(app.IsWindow());
  const RECT rect = WindowRect(app);
  EXPECT_EQ(rect.right - rect.left, WKRX_Application::kBlankSplashWidth + 2);
  EXPECT_EQ(rect.bottom - rect.top, WKRX_Application::kBlankSplashHeight + 2);
}

// A language library without a splash image leaves the program's own in place.
TEST_F(WKRXApplication, TheProgramsSplashStandsInForOneTheLanguageLibraryLacks) {
  const HMODULE library = LoadResourceLibraryBesideTests(L"WKRX_TestLanguage.dll");
  ASSERT_NE(library, nullptr);
  WKRX_Startup::Module().SetResourceInstance(library);
  Start();
  WKRX_Startup::Module().SetResourceInstance(nullptr);
  const RECT rect = WindowRect(*m_App);
  EXPECT_EQ(rect.right - rect.left, kSplashWidth + 2);
  EXPECT_EQ(rect.bottom - rect.top, kSplashHeight + 2);
}

enum class SplashEnd {
  Timer,
  Escape,
  Click
};

struct SplashEndCase {
  SplashEnd m_End;
  bool m_ResetOffered;
};

class WKRXApplicationSplashEnd : public WKRXApplication,
                                 public testing::WithParamInterface<SplashEndCase> {
protected:
  void End() {
    switch (GetParam().m_End) {
      case SplashEnd::Timer:
        SendMessageW(*m_App, WM_TIMER, WKRX_Application::kSplashTimer, 0);
        break;
      case SplashEnd::Escape:
        SendMessageW(*m_App, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case SplashEnd::Click:
        SendMessageW(*m_App, WM_LBUTTONDOWN, 0, 0);
        break;
    }
  }
};

TEST_P(WKRXApplicationSplashEnd, HidesTheSplashAndOpensOneEmptyWindowWhenNoFileWasNamed) {
  Start();
  End();
  End();  // a second ending changes nothing
  EXPECT_FALSE(m_App->IsWindowVisible());
  ASSERT_EQ(Windows().size(), 1u);
  EXPECT_EQ(Windows()[0]->Sheet(), nullptr);
  EXPECT_TRUE(Windows()[0]->IsWindowVisible());
  EXPECT_EQ(Windows()[0]->Serial(), 0xA001u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_P(WKRXApplicationSplashEnd, WithControlAndShiftHeldTheTimerAndEscapeOfferTheReset) {
  m_ControlDown = m_ShiftDown = true;
  AnswerBoxes({IDYES});
  IMPN_Preferences::SetToDefaultValues();
  const IMPN_RGBColor8 factorySpot = IMPN_Preferences::sm_DefaultSpotColor;
  IMPN_Preferences::sm_DefaultSpotColor = IMPN_RGBColor8(1, 2, 3);
  IMPN_Ink::sm_DefaultColor = IMPN_RGBColor8(1, 2, 3);
  Start();
  End();
  if (!GetParam().m_ResetOffered) {
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(StoredPreferenceCount(), -1);
    return;
  }
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, GLIB_WString(L"Halvoren KRX - Reset"));
  EXPECT_EQ(Boxes()[0].text,
            GLIB_WString(L"Are you sure you want to revert to factory configuration?\r\n"
                         L"All preferences will be set to default settings."));
  EXPECT_EQ(Boxes()[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(Boxes()[0].owner, m_App->m_hWnd);
  // Reset, saved, and in force for inks without a colour at once.
  EXPECT_GT(StoredPreferenceCount(), 0);
  EXPECT_TRUE(IMPN_Preferences::sm_DefaultSpotColor == factorySpot);
  EXPECT_TRUE(IMPN_Ink::sm_DefaultColor == factorySpot);
  EXPECT_EQ(Windows().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ends, WKRXApplicationSplashEnd,
                         testing::Values(SplashEndCase{SplashEnd::Timer, true},
                                         SplashEndCase{SplashEnd::Escape, true},
                                         SplashEndCase{SplashEnd::Click, false}));

TEST_F(WKRXApplication, ResetDeclinedChangesNothing) {
  m_ControlDown = m_ShiftDown = true;
  AnswerBoxes({IDNO});
  Start();
  SendMessageW(*m_App, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(StoredPreferenceCount(), -1);
}

TEST_F(WKRXApplication, AStartThatNamedAFileOpensNoEmptyWindowWhenTheSplashEnds) {
  m_CommandLine = L"HalvorenKRX.exe " + Quoted(m_Folder.File(L"missing.krx"));
  Start();
  SendMessageW(*m_App, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Windows().empty());
}

struct HostileCase {
  const char* m_Name;
  ULONG_PTR m_Id;
  bool m_NullData;
  DWORD m_Bytes;
  LRESULT m_Result;
};

class WKRXApplicationHostile : public WKRXApplication,
                               public testing::WithParamInterface<HostileCase> {};

TEST_P(WKRXApplicationHostile, IsRefusedOrTakenWithinItsByteCount) {
  Start();
  // No terminating zero within the count: only the counted units are read.
  const wchar_t text[] = L"prog x.krx";
  COPYDATASTRUCT data = {};
  data.dwData = GetParam().m_Id;
  data.cbData = GetParam().m_Bytes;
  data.lpData = GetParam().m_NullData ? nullptr : const_cast<wchar_t*>(text);
  EXPECT_EQ(SendMessageW(*m_App, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)),
            GetParam().m_Result);
  if (GetParam().m_Result == 1 && GetParam().m_Bytes >= 8 * sizeof(wchar_t)) {
    ASSERT_EQ(m_App->PendingFiles().size(), 1u);
    EXPECT_EQ(m_App->PendingFiles()[0],
              GLIB_WString(L"x.krx").substr(0, GetParam().m_Bytes / 2 - 5));
  } else {
    EXPECT_TRUE(m_App->PendingFiles().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Data, WKRXApplicationHostile,
                         testing::Values(HostileCase{"another id", 0xB002, false, 22, 0},
                                         HostileCase{"no data", 0xB001, true, 22, 0},
                                         HostileCase{"no bytes", 0xB001, false, 0, 0},
                                         HostileCase{"one byte", 0xB001, false, 1, 0},
                                         HostileCase{"program only", 0xB001, false, 8, 1},
                                         HostileCase{"odd count, no zero", 0xB001, false, 19, 1},
                                         HostileCase{"cut in the name", 0xB001, false, 16, 1},
                                         HostileCase{"longer than any command line", 0xB001, false,
                                                     65538, 0}));

TEST_F(WKRXApplication, AHandOverWithoutFilesChangesNothing) {
  Start();
  EXPECT_EQ(HandOver(L"\"C:\\Program Files\\HalvorenKRX.exe\""), 1);
  EXPECT_TRUE(m_App->PendingFiles().empty());
  EXPECT_FALSE(m_App->IsBatchActive());
  EXPECT_TRUE(Windows().empty());
}

TEST_F(WKRXApplication, OneFileOpensAtTheFirstTickAfterIt) {
  Start();
  const std::wstring path = m_Folder.File(L"missing.krx");
  EXPECT_EQ(HandOver(L"prog " + Quoted(path)), 1);
  EXPECT_TRUE(m_App->IsBatchActive());
  ASSERT_EQ(m_App->PendingFiles().size(), 1u);
  EXPECT_EQ(m_App->PendingFiles()[0], path);
  ++m_Tick;
  BatchTimer();
  EXPECT_FALSE(m_App->IsBatchActive());
  // The file cannot be read: one box, and an empty window in place of a sheet.
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, GLIB_WString(L"Halvoren KRX - Invalid Preview Files Encountered"));
  EXPECT_EQ(Boxes()[0].text,
            GLIB_WString(L"One file in this folder was ignored since it is not a valid preview "
                         L"file.\r\nThis file is missing job information or it does not appear "
                         L"to be a KRX file."));
  EXPECT_EQ(Windows().size(), 1u);
}

struct BatchCase {
  const char* m_Name;
  DWORD m_FirstTick;
};

class WKRXApplicationBatch : public WKRXApplication,
                             public testing::WithParamInterface<BatchCase> {};

// Five files 200 ms apart: opened together once the pause exceeds 30 x 200 ms, also when the
// millisecond counter wraps between two of them.
TEST_P(WKRXApplicationBatch, SinglesArrivingInAStreamOpenTogetherAfterAPause) {
  Start();
  m_Tick = GetParam().m_FirstTick;
  for (int i = 0; i < 5; ++i) {
    HandOver(L"prog " + Quoted(m_Folder.File(L"part" + std::to_wstring(i) + L".doc")));
    BatchTimer();
    m_Tick += 200;
  }
  m_Tick -= 200;
  EXPECT_EQ(m_App->PendingFiles().size(), 5u);
  m_Tick += 6000;
  BatchTimer();
  EXPECT_TRUE(m_App->IsBatchActive());
  EXPECT_TRUE(Boxes().empty());
  m_Tick += 1;
  BatchTimer();
  EXPECT_FALSE(m_App->IsBatchActive());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text.substr(0, 8), GLIB_WString(L"5 files "));
  BatchTimer();
  EXPECT_EQ(Boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ticks, WKRXApplicationBatch,
                         testing::Values(BatchCase{"plain", 50000},
                                         BatchCase{"wrapping", 0xFFFFFE00u}));

// A pending batch and a later hand-over of several files open once, together.
TEST_F(WKRXApplication, SeveralFilesWhileABatchWaitsOpenTogetherWithItOnce) {
  Start();
  HandOver(L"prog " + Quoted(m_Folder.File(L"a.doc")));
  HandOver(L"prog " + Quoted(m_Folder.File(L"b.doc")) + L" " + Quoted(m_Folder.File(L"c.doc")));
  EXPECT_FALSE(m_App->IsBatchActive());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text.substr(0, 8), GLIB_WString(L"3 files "));
  m_Tick += 100000;
  BatchTimer();
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(WKRXApplication, ThreeSheetsFillTheEmptyWindowFirstThenEachGetsItsOwn) {
  Start();
  WKRX_SheetWindow* empty = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  ASSERT_NE(empty, nullptr);
  const std::wstring a = m_Folder.WritePreview(L"a.tif", "Alpha");
  const std::wstring b = m_Folder.WritePreview(L"b.krx", "Beta");
  const std::wstring c = m_Folder.WritePreview(L"c.PRV", "Gamma");
  EXPECT_EQ(HandOver(L"prog " + Quoted(a) + L" " + Quoted(b) + L" " + Quoted(c)), 1);
  EXPECT_TRUE(Boxes().empty());
  ASSERT_EQ(Windows().size(), 3u);
  EXPECT_EQ(Windows()[0], empty);
  for (WKRX_SheetWindow* window : Windows()) {
    ASSERT_NE(window->Sheet(), nullptr);
    wchar_t title[256] = {};
    window->GetWindowTextW(title, 256);
    EXPECT_EQ(std::wstring(title).rfind(L"Halvoren KRX - ", 0), 0u) << title;
    EXPECT_NE(std::wstring(title).find(GLIB_NToWString(window->Sheet()->GetTitle())),
              std::wstring::npos);
  }
  EXPECT_EQ(Windows()[1]->Serial(), 0xA002u);
  EXPECT_EQ(Windows()[2]->Serial(), 0xA003u);
}

TEST_F(WKRXApplication, OfFourFilesTheTwoThatAreNoPreviewFilesAreReportedInOneBox) {
  Start();
  const std::wstring letter = m_Folder.Write(L"letter.doc", "Dear reader");
  const std::wstring notPreview = m_Folder.Write(L"photo.tif", "II*\0 not really a TIFF");
  const std::wstring front = m_Folder.WritePreview(L"front.krx", "Job", 0, "Black");
  const std::wstring cyan = m_Folder.WritePreview(L"cyan.krx", "Job", 0, "Cyan");
  HandOver(L"prog " + Quoted(letter) + L" " + Quoted(front) + L" " + Quoted(notPreview) + L" " +
           Quoted(cyan));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, GLIB_WString(L"Halvoren KRX - Invalid Preview Files Encountered"));
  EXPECT_EQ(Boxes()[0].text,
            GLIB_WString(L"2 files in this folder were ignored since they are not valid preview "
                         L"files.\r\nThese files are missing job information or they do not "
                         L"appear to be TIFF files."));
  EXPECT_EQ(Boxes()[0].owner, nullptr);
  ASSERT_EQ(Windows().size(), 1u);
  EXPECT_NE(Windows()[0]->Sheet(), nullptr);
}

TEST_F(WKRXApplication, ASheetHandedToTheApplicationOrToAFullWindowOpensANewWindow) {
  Start();
  const std::wstring front = m_Folder.WritePreview(L"front.krx", "Job");
  HandOver(L"prog " + Quoted(front) + L" " + Quoted(front));
  ASSERT_EQ(Windows().size(), 1u);
  IMPN_SheetReference sheet(Windows()[0]->Sheet());
  // The message carries a reference of its own, adopted by whoever handles it.
  sheet->AddReference();
  PostMessageW(Windows()[0]->m_hWnd, WKRX_WM_OPENSHEETWINDOW, 0,
               reinterpret_cast<LPARAM>(sheet.Get()));
  WKRX_PumpMessages();
  ASSERT_EQ(Windows().size(), 2u);
  EXPECT_EQ(Windows()[1]->Sheet(), sheet.Get());
  // The test's, and each window's viewer and separations palette.
  EXPECT_EQ(sheet->GetReferenceCount(), 5);
}

struct ArrangeCase {
  UINT m_Command;
  UINT m_How;
  bool m_Cascade;
};

class WKRXApplicationArrange : public WKRXApplication,
                               public testing::WithParamInterface<ArrangeCase> {};

TEST_P(WKRXApplicationArrange, TheAskingWindowComesFirstThenTheOthersInCreationOrder) {
  struct Call {
    UINT m_How;
    bool m_Cascade;
    RECT m_Area;
    std::vector<HWND> m_Windows;
  };
  std::vector<Call> calls;
  WKRX_System::Current().arrangeWindows = [&calls](UINT how, bool cascade, const RECT& area,
                                                   std::vector<HWND>& windows) {
    calls.push_back({how, cascade, area, windows});
  };
  Start();
  for (int i = 0; i < 3; ++i)
    ASSERT_NE(m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true), nullptr);
  SendMessageW(Windows()[1]->m_hWnd, WM_COMMAND, GetParam().m_Command, 0);
  WKRX_PumpMessages();
  SendMessageW(*m_App, WKRX_WM_ARRANGEWINDOWS, GetParam().m_Command, 0);

  RECT area = WorkArea();
  InflateRect(&area, -5, -5);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].m_How, GetParam().m_How);
  EXPECT_EQ(calls[0].m_Cascade, GetParam().m_Cascade);
  EXPECT_TRUE(EqualRect(&calls[0].m_Area, &area));
  EXPECT_EQ(calls[0].m_Windows,
            (std::vector<HWND>{Windows()[1]->m_hWnd, Windows()[0]->m_hWnd, Windows()[2]->m_hWnd}));
  EXPECT_EQ(calls[1].m_Windows,
            (std::vector<HWND>{Windows()[0]->m_hWnd, Windows()[1]->m_hWnd, Windows()[2]->m_hWnd}));
}

INSTANTIATE_TEST_SUITE_P(Commands, WKRXApplicationArrange,
                         testing::Values(ArrangeCase{10210, MDITILE_ZORDER, true},
                                         ArrangeCase{10212, MDITILE_HORIZONTAL, false},
                                         ArrangeCase{10213, MDITILE_VERTICAL, false}));

TEST_F(WKRXApplication, TheLastWindowClosedByItsCloseBoxSavesThePreferencesAndEnds) {
  Start();
  WKRX_SheetWindow* window = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  ASSERT_NE(window, nullptr);
  SendMessageW(window->m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Windows().empty());
  EXPECT_TRUE(WKRX_PumpMessages());
  EXPECT_GT(StoredPreferenceCount(), 0);
}

TEST_F(WKRXApplication, CloseJobOnTheLastWindowLeavesAnEmptyOneInItsPlace) {
  Start();
  RECT place = {40, 30, 640, 480};
  WKRX_SheetWindow* window = m_App->OpenSheetWindow(IMPN_SheetReference(), &place, true);
  ASSERT_NE(window, nullptr);
  SendMessageW(window->m_hWnd, WM_COMMAND, 10124, 0);
  EXPECT_FALSE(WKRX_PumpMessages());
  ASSERT_EQ(Windows().size(), 1u);
  EXPECT_NE(Windows()[0], window);
  const RECT rect = WindowRect(Windows()[0]->m_hWnd);
  EXPECT_TRUE(EqualRect(&rect, &place));
  EXPECT_EQ(StoredPreferenceCount(), -1);
}

// A Close Job that left other windows open is used up: the close box on the last one ends.
TEST_F(WKRXApplication, CloseJobIsUsedUpByItsOwnWindowOnly) {
  Start();
  WKRX_SheetWindow* first = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  WKRX_SheetWindow* second = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  SendMessageW(first->m_hWnd, WM_COMMAND, 10124, 0);
  EXPECT_FALSE(WKRX_PumpMessages());
  ASSERT_EQ(Windows().size(), 1u);
  EXPECT_EQ(second->Serial(), 0xA002u);
  EXPECT_EQ(second->BuildWindowMenuCount(), 2);
  SendMessageW(second->m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WKRX_PumpMessages());
  EXPECT_TRUE(Windows().empty());
}

TEST_F(WKRXApplication, CloseAllLeavesOneEmptyWindowWhereTheAskingOneWas) {
  Start();
  RECT place = {20, 20, 500, 400};
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  WKRX_SheetWindow* asking = m_App->OpenSheetWindow(IMPN_SheetReference(), &place, true);
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  SendMessageW(asking->m_hWnd, WM_COMMAND, 10211, 0);
  EXPECT_FALSE(WKRX_PumpMessages());
  ASSERT_EQ(Windows().size(), 1u);
  const RECT rect = WindowRect(Windows()[0]->m_hWnd);
  EXPECT_TRUE(EqualRect(&rect, &place));
  // Used up at that last close: the next close box ends the program.
  SendMessageW(Windows()[0]->m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WKRX_PumpMessages());
}

TEST_F(WKRXApplication, ExitSavesThePreferencesAndEnds) {
  Start();
  WKRX_SheetWindow* window = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, true);
  SendMessageW(window->m_hWnd, WM_COMMAND, 10131, 0);
  EXPECT_TRUE(WKRX_PumpMessages());
  EXPECT_GT(StoredPreferenceCount(), 0);
}

// Serials come back into use, so every window stays within the Window menu's commands.
TEST_F(WKRXApplication, ANewWindowTakesTheLowestFreeSerial) {
  Start();
  for (int i = 0; i < 3; ++i)
    m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  SendMessageW(Windows()[1]->m_hWnd, WM_CLOSE, 0, 0);
  WKRX_SheetWindow* window = m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  EXPECT_EQ(window->Serial(), 0xA002u);
}

TEST_F(WKRXApplication, InkAndColourDatabaseChangesRefreshEveryWindow) {
  Start();
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  SendMessageW(*m_App, WKRX_WM_DEFAULTINKSCHANGED, 0, 0);
  SendMessageW(*m_App, WKRX_WM_COLORDATABASECHANGED, 0, 0);
  for (WKRX_SheetWindow* window : Windows())
    EXPECT_EQ(window->RefreshDefaultInksCount(), 2);
}

TEST_F(WKRXApplication, AWindowMenuCommandBringsItsWindowToTheTop) {
  Start();
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  SendMessageW(Windows()[1]->m_hWnd, WM_COMMAND, 0xA001, 0);
  WKRX_PumpMessages();
  // The first visible window in the z-order: the system may keep hidden windows of its own above.
  HWND top = GetWindow(Windows()[1]->m_hWnd, GW_HWNDFIRST);
  while (top != nullptr && !IsWindowVisible(top))
    top = GetWindow(top, GW_HWNDNEXT);
  EXPECT_EQ(top, Windows()[0]->m_hWnd);
}

// A frame is only ever taken from the list of open ones: a stale or foreign pointer is no frame.
TEST_F(WKRXApplication, MessagesNamingNoOpenFrameAreIgnored) {
  Start();
  m_App->OpenSheetWindow(IMPN_SheetReference(), nullptr, false);
  int notAFrame = 0;
  const LPARAM stranger = reinterpret_cast<LPARAM>(&notAFrame);
  SendMessageW(*m_App, WKRX_WM_SHEETWINDOWCLOSED, 0, stranger);
  SendMessageW(*m_App, WKRX_WM_CLOSESHEETWINDOW, 0, stranger);
  SendMessageW(*m_App, WKRX_WM_BRINGWINDOWTOTOP, 0xA077, 0);
  EXPECT_FALSE(WKRX_PumpMessages());
  EXPECT_EQ(Windows().size(), 1u);
}

}  // namespace
