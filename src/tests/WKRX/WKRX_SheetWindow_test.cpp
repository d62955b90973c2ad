// The palette's parts first: the docking library brings windowsx.h, whose macros would rename
// members of theirs.
#include "WKRX/WKRX_SeparationPanel.h"
#include "WKRX/WKRX_SeparationPanelView.h"
#include "WKRX/WKRX_SeparationWindow.h"

#include "WKRX/WKRX_SheetWindow.h"

#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "WKRX/WKRX_SheetHandOver.h"
#include "support/WKRX_ShellTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Posted {
  UINT m_Message;
  WPARAM m_WParam;
  LPARAM m_LParam;
  bool m_SenderAlive;
};

// Stands in for the application window: keeps the private messages it gets.
class RecordingOwner {
public:
  RecordingOwner() {
    static const std::wstring sm_Class = L"WKRX_TestOwner" + std::to_wstring(GetCurrentProcessId());
    static const ATOM sm_Atom = [] {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = sm_Class.c_str();
      return RegisterClassW(&windowClass);
    }();
    m_Window = CreateWindowExW(0, MAKEINTATOM(sm_Atom), L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    sm_Received.clear();
  }
  ~RecordingOwner() { DestroyWindow(m_Window); }
  RecordingOwner(const RecordingOwner&) = delete;
  RecordingOwner& operator=(const RecordingOwner&) = delete;

  operator HWND() const { return m_Window; }

  static inline std::vector<Posted> sm_Received;
  static inline HWND sm_Watched = nullptr;

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP)
      sm_Received.push_back({message, wParam, lParam, IsWindow(sm_Watched) != FALSE});
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND m_Window = nullptr;
};

class WKRXSheetWindow : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    m_Frame = std::make_unique<WKRX_SheetWindow>(0xA001);
    RECT rect = {10, 10, 400, 300};
    ASSERT_NE(m_Frame->CreateEx(m_Owner, rect), nullptr);
    RecordingOwner::sm_Watched = m_Frame->m_hWnd;
  }
  void TearDown() override {
    if (m_Frame->IsWindow())
      m_Frame->DestroyWindow();
    m_Frame.reset();
    WKRX_ShellTest::TearDown();
  }

  std::wstring Title() const {
    wchar_t title[256] = {};
    m_Frame->GetWindowTextW(title, 256);
    return title;
  }

  // Each sheet has files of its own: a shown sheet keeps its files open. One plate a front ink.
  IMPN_SheetReference MakeSheet(const std::vector<std::string>& inks = {"Black"}) {
    GFIL_FileSpecVector files;
    ++m_SheetCount;
    for (const std::string& ink : inks) {
      const std::wstring name = L"front" + std::to_wstring(m_SheetCount) + L"_" +
                                std::wstring(ink.begin(), ink.end()) + L".krx";
      files.push_back(GFIL_SpecFromPlatformPath(m_Folder.WritePreview(name, "Leaflet", 0, ink)));
    }
    IMPN_Registry registry;
    registry.RegisterFiles(files, false);
    std::vector<IMPN_Sheet*> sheets;
    registry.GetAllSheets(sheets);
    EXPECT_EQ(sheets.size(), 1u);
    return IMPN_SheetReference(sheets.empty() ? nullptr : sheets[0]);
  }

  RecordingOwner m_Owner;
  WKRX_TestFolder m_Folder;
  int m_SheetCount = 0;
  std::unique_ptr<WKRX_SheetWindow> m_Frame;
};

TEST_F(WKRXSheetWindow, AnEmptyFrameIsTitledWithTheProductAndOwnedByTheApplication) {
  EXPECT_EQ(Title(), L"Halvoren Orvendal");
  EXPECT_EQ(GetWindow(*m_Frame, GW_OWNER), static_cast<HWND>(m_Owner));
  wchar_t className[64] = {};
  GetClassNameW(*m_Frame, className, 64);
  EXPECT_EQ(std::wstring(className), L"WKRX_SheetWindow");
  EXPECT_EQ(GetClassLongPtrW(*m_Frame, GCLP_HBRBACKGROUND), COLOR_APPWORKSPACE + 1);
  EXPECT_EQ(m_Frame->Sheet(), nullptr);
}

TEST_F(WKRXSheetWindow, ShowingASheetKeepsItAndTitlesTheFrame) {
  IMPN_SheetReference sheet = MakeSheet();
  ASSERT_TRUE(sheet);
  m_Frame->ShowSheet(sheet);
  EXPECT_EQ(m_Frame->Sheet(), sheet.Get());
  // The test's, the viewer's and the separations palette's.
  EXPECT_EQ(sheet->GetReferenceCount(), 3);
  EXPECT_EQ(Title(), L"Halvoren KRX - Leaflet \u2022 Signature 1 \u2022 Web 1 \u2022 Front");
  // A frame never shows a second sheet.
  IMPN_SheetReference other = MakeSheet();
  m_Frame->ShowSheet(other);
  EXPECT_EQ(m_Frame->Sheet(), sheet.Get());
}

// The reference in a handed-over message is adopted: nothing is lost, nothing kept twice.
TEST_F(WKRXSheetWindow, AnEmptyFrameTakesAHandedOverSheetAFullOnePassesItOn) {
  IMPN_SheetReference sheet = MakeSheet();
  SendMessageW(*m_Frame, WKRX_WM_OPENSHEETWINDOW, 0, WKRX_SheetHandOver::Give(sheet));
  EXPECT_EQ(m_Frame->Sheet(), sheet.Get());
  EXPECT_EQ(sheet->GetReferenceCount(), 3);  // with the viewer's and the palette's

  IMPN_SheetReference next = MakeSheet();
  SendMessageW(*m_Frame, WKRX_WM_OPENSHEETWINDOW, 0, WKRX_SheetHandOver::Give(next));
  WKRX_PumpMessages();
  ASSERT_EQ(RecordingOwner::sm_Received.size(), 1u);
  EXPECT_EQ(RecordingOwner::sm_Received[0].m_Message, static_cast<UINT>(WKRX_WM_OPENSHEETWINDOW));
  EXPECT_EQ(RecordingOwner::sm_Received[0].m_LParam, reinterpret_cast<LPARAM>(next.Get()));
  WKRX_SheetHandOver::Adopt(RecordingOwner::sm_Received[0].m_LParam);
  EXPECT_EQ(next->GetReferenceCount(), 1);
}

struct CommandCase {
  UINT m_Command;
  UINT m_Message;
  WPARAM m_WParam;
  enum {
    kNone,
    kObject,
    kWindow
  } m_LParam;
};

class WKRXSheetWindowCommand : public WKRXSheetWindow,
                               public testing::WithParamInterface<CommandCase> {};

TEST_P(WKRXSheetWindowCommand, IsPostedToTheApplication) {
  SendMessageW(*m_Frame, WM_COMMAND, GetParam().m_Command, 0);
  WKRX_PumpMessages();
  ASSERT_EQ(RecordingOwner::sm_Received.size(), 1u);
  const Posted& posted = RecordingOwner::sm_Received[0];
  EXPECT_EQ(posted.m_Message, GetParam().m_Message);
  EXPECT_EQ(posted.m_WParam, GetParam().m_WParam);
  const LPARAM expected =
      GetParam().m_LParam == CommandCase::kObject   ? reinterpret_cast<LPARAM>(m_Frame.get())
      : GetParam().m_LParam == CommandCase::kWindow ? reinterpret_cast<LPARAM>(m_Frame->m_hWnd)
                                                    : 0;
  EXPECT_EQ(posted.m_LParam, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WKRXSheetWindowCommand,
    testing::Values(CommandCase{10124, WKRX_WM_CLOSESHEETWINDOW, 0, CommandCase::kObject},
                    CommandCase{10131, WKRX_WM_QUIT, 0, CommandCase::kNone},
                    CommandCase{10210, WKRX_WM_ARRANGEWINDOWS, 10210, CommandCase::kWindow},
                    CommandCase{10212, WKRX_WM_ARRANGEWINDOWS, 10212, CommandCase::kWindow},
                    CommandCase{10213, WKRX_WM_ARRANGEWINDOWS, 10213, CommandCase::kWindow},
                    CommandCase{10211, WKRX_WM_CLOSEALLSHEETWINDOWS, 0, CommandCase::kObject},
                    CommandCase{0xA001, WKRX_WM_BRINGWINDOWTOTOP, 0xA001, CommandCase::kNone},
                    CommandCase{0xA100, WKRX_WM_BRINGWINDOWTOTOP, 0xA100, CommandCase::kNone}));

TEST_F(WKRXSheetWindow, CommandsOutsideTheWindowMenusRangeGoNowhere) {
  SendMessageW(*m_Frame, WM_COMMAND, 0xA101, 0);
  SendMessageW(*m_Frame, WM_COMMAND, 0xA000, 0);
  WKRX_PumpMessages();
  EXPECT_TRUE(RecordingOwner::sm_Received.empty());
}

TEST_F(WKRXSheetWindow, ClosingTellsTheApplicationWhileTheWindowStillExists) {
  SendMessageW(*m_Frame, WM_CLOSE, 0, 0);
  ASSERT_EQ(RecordingOwner::sm_Received.size(), 1u);
  EXPECT_EQ(RecordingOwner::sm_Received[0].m_Message, static_cast<UINT>(WKRX_WM_SHEETWINDOWCLOSED));
  EXPECT_EQ(RecordingOwner::sm_Received[0].m_LParam, reinterpret_cast<LPARAM>(m_Frame.get()));
  EXPECT_TRUE(RecordingOwner::sm_Received[0].m_SenderAlive);
  EXPECT_FALSE(m_Frame->IsWindow());
}

TEST_F(WKRXSheetWindow, WindowMenuAndDefaultInksAreRecorded) {
  m_Frame->BuildWindowMenu({m_Frame.get()});
  m_Frame->RefreshDefaultInks();
  m_Frame->RefreshDefaultInks();
  EXPECT_EQ(m_Frame->BuildWindowMenuCount(), 1);
  EXPECT_EQ(m_Frame->RefreshDefaultInksCount(), 2);
}

TEST_F(WKRXSheetWindow, AnEmptyFrameHasNoSeparationsPalette) {
  EXPECT_FALSE(m_Frame->SeparationPalette().IsWindow());
  m_Frame->RefreshDefaultInks();
  EXPECT_FALSE(m_Frame->SeparationPalette().IsWindow());
}

TEST_F(WKRXSheetWindow, TheFirstSheetOpensTheSeparationsPaletteFloatingAtTheRight) {
  IMPN_SheetReference sheet = MakeSheet();
  m_Frame->ShowSheet(sheet);
  WKRX_SeparationWindow& palette = m_Frame->SeparationPalette();
  ASSERT_TRUE(palette.IsWindow());
  EXPECT_EQ(palette.Sheet(), sheet.Get());
  EXPECT_TRUE(palette.FrontFirst());
  // The application shows a frame after giving it its sheet: the palette shows with it, above.
  EXPECT_FALSE(palette.IsWindowVisible());
  m_Frame->ShowWindow(SW_SHOWNA);
  EXPECT_TRUE(palette.IsWindowVisible());
  bool frameBelow = false;
  for (HWND below = GetNextWindow(palette, GW_HWNDNEXT); below != nullptr && !frameBelow;
       below = GetNextWindow(below, GW_HWNDNEXT))
    frameBelow = below == m_Frame->m_hWnd;
  EXPECT_TRUE(frameBelow);
  EXPECT_FALSE(palette.IsDocking());
  EXPECT_EQ(GetWindow(palette, GW_OWNER), m_Frame->m_hWnd);
  wchar_t title[64] = {};
  palette.GetWindowTextW(title, 64);
  EXPECT_EQ(std::wstring(title), L"Separations");
  ASSERT_NE(palette.PanelView(true), nullptr);
  EXPECT_EQ(palette.PanelView(true)->Panels().size(), 1u);

  // Its own size, its right edge on the frame's right client edge, below the navigation palette.
  RECT client;
  m_Frame->GetClientRect(&client);
  POINT topRight = {client.right, client.top};
  m_Frame->ClientToScreen(&topRight);
  RECT navigation;
  m_Frame->NavigationPalette().GetWindowRect(&navigation);
  RECT placed;
  palette.GetWindowRect(&placed);
  EXPECT_EQ(placed.right, topRight.x);
  EXPECT_EQ(placed.top, navigation.bottom);
  EXPECT_EQ(placed.right - placed.left, palette.FloatingSize().cx);
  EXPECT_EQ(placed.bottom - placed.top, palette.FloatingSize().cy);
}

TEST_F(WKRXSheetWindow, APlateHiddenInThePaletteRedrawsTheView) {
  IMPN_SheetReference sheet = MakeSheet();
  m_Frame->ShowWindow(SW_SHOWNA);
  m_Frame->ShowSheet(sheet);
  WKRX_SeparationPanel* panel = m_Frame->SeparationPalette().PanelView(true)->Panels().at(0);
  WKRX_SheetView& view = m_Frame->Viewer().View();
  ASSERT_TRUE(view.IsWindow());
  ValidateRect(view, nullptr);
  ASSERT_FALSE(GetUpdateRect(view, nullptr, FALSE));

  SendMessageW(panel->CheckBox(), BM_CLICK, 0, 0);
  EXPECT_FALSE(panel->Separation()->IsVisible());
  EXPECT_TRUE(GetUpdateRect(view, nullptr, FALSE));
}

TEST_F(WKRXSheetWindow, AReorderInThePaletteReachesTheSheetTheViewDraws) {
  IMPN_SheetReference sheet = MakeSheet({"Cyan", "Black"});
  m_Frame->ShowSheet(sheet);
  const std::vector<IMPN_Separation*> before = sheet->GetFrontSurface().GetSeparations();
  ASSERT_EQ(before.size(), 2u);
  const std::vector<IMPN_Separation*> reversed = {before[1], before[0]};
  WKRX_ReorderedSeparations record{true, reversed};
  SendMessageW(*m_Frame, WKRX_WM_SEPARATIONSREORDERED, WKRX_Ids::kCommandSeparationsPalette,
               reinterpret_cast<LPARAM>(&record));
  EXPECT_EQ(sheet->GetFrontSurface().GetSeparations(), reversed);
}

TEST_F(WKRXSheetWindow, DroppedFilesGiveThePaletteTheNewSheet) {
  IMPN_SheetReference sheet = MakeSheet();
  m_Frame->ShowSheet(sheet);
  IMPN_SheetReference dropped = MakeSheet();
  SendMessageW(*m_Frame, WKRX_WM_FILESDROPPED, 0, reinterpret_cast<LPARAM>(dropped.Get()));
  EXPECT_EQ(m_Frame->Sheet(), dropped.Get());
  EXPECT_EQ(m_Frame->SeparationPalette().Sheet(), dropped.Get());
  // The old sheet is no longer held by the frame or its palette.
  EXPECT_EQ(sheet->GetReferenceCount(), 1);
}

}  // namespace

namespace {

// The navigation and measurement palettes and what the frame passes between them and the view.
class WKRXSheetWindowPalettes : public WKRXSheetWindow {
protected:
  void SetUp() override {
    WKRXSheetWindow::SetUp();
    IMPN_Preferences::SetToDefaultValues();
    m_Sheet = MakeSheet();
    m_Frame->ShowSheet(m_Sheet);
    View().SetZoomLevel(kIMPN_ZoomLevel1to1, true);
  }
  void TearDown() override {
    IMPN_Preferences::SetToDefaultValues();
    WKRXSheetWindow::TearDown();
  }
  WKRX_SheetView& View() { return m_Frame->Viewer().View(); }
  WKRX_NavigationWindow& Navigation() { return m_Frame->NavigationPalette(); }
  // Mouse messages to the navigation palette at turned-thumbnail points.
  void Mouse(UINT message, POINT p) {
    RECT client;
    Navigation().GetClientRect(&client);
    const SIZE extent = Navigation().Extent();
    const POINT at = {p.x + (client.right - extent.cx) / 2, p.y + (client.bottom - extent.cy) / 2};
    Navigation().SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                             MAKELPARAM(at.x, at.y));
  }

  IMPN_SheetReference m_Sheet;
};

TEST_F(WKRXSheetWindowPalettes,
       ShowingASheetMakesTheNavigationPaletteShownAndTheMeasurementHidden) {
  WKRX_MeasurementWindow& measurement = m_Frame->MeasurementPalette();
  ASSERT_TRUE(Navigation().IsWindow());
  ASSERT_TRUE(measurement.IsWindow());
  EXPECT_EQ(GetWindow(Navigation(), GW_OWNER), m_Frame->m_hWnd);
  // The navigation palette shows once the frame has shown.
  WKRX_PumpMessages();
  EXPECT_TRUE(Navigation().IsWindowVisible());
  EXPECT_FALSE(measurement.IsWindowVisible());
  EXPECT_EQ(Navigation().Sheet(), m_Sheet.Get());
  wchar_t title[64] = {};
  Navigation().GetWindowTextW(title, 64);
  EXPECT_STREQ(title, L"Navigation");
  measurement.GetWindowTextW(title, 64);
  EXPECT_STREQ(title, L"Measurement");
  // The measure tool asks for its palette.
  SendMessageW(*m_Frame, WKRX_WM_SHOWPALETTE, kWKRX_MeasurementPaletteCommand, 0);
  EXPECT_TRUE(measurement.IsWindowVisible());
}

TEST_F(WKRXSheetWindowPalettes, TheViewsFrameReachesThePaletteAndADragThereScrollsTheView) {
  // The view tells the frame where it stands at each paint.
  IMPN_RectT<double> fractions = View().GetNormalizedViewFrame();
  SendMessageW(*m_Frame, WKRX_WM_VIEWFRAMECHANGED, 0, reinterpret_cast<LPARAM>(&fractions));
  const RECT before = Navigation().ViewFrame();
  EXPECT_EQ(before.left, 0);
  EXPECT_EQ(before.top, 0);
  EXPECT_GT(before.right, 10);
  ASSERT_LT(before.right, Navigation().Extent().cx);

  Mouse(WM_LBUTTONDOWN, POINT{2, 2});
  Mouse(WM_MOUSEMOVE, POINT{12, 7});
  Mouse(WM_LBUTTONUP, POINT{12, 7});
  // 1 : 8 thumbnail of the 1:1 image: ten thumbnail pixels are eighty view pixels.
  EXPECT_EQ(View().ScrollPosition().x, 80);
  EXPECT_EQ(View().ScrollPosition().y, 40);

  // A band zooms the view to what it covers.
  Mouse(WM_LBUTTONDOWN, POINT{40, 40});
  Mouse(WM_MOUSEMOVE, POINT{50, 50});
  Mouse(WM_LBUTTONUP, POINT{50, 50});
  EXPECT_LT(View().ZoomLevel(), kIMPN_ZoomLevel1to1);
}

TEST_F(WKRXSheetWindowPalettes, MeasurementsReachTheirRowsInThePreferredUnit) {
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Millimeters;
  double position[2] = {1.5, 2.5};
  double distances[2] = {0, -2};
  SendMessageW(*m_Frame, WKRX_WM_MEASUREMENTCHANGED, reinterpret_cast<WPARAM>(position), 0);
  WKRX_MeasurementWindow& measurement = m_Frame->MeasurementPalette();
  EXPECT_EQ(measurement.Text(WKRX_MeasurementWindow::kCurrent), L"( 1.50, 2.50) mm");
  EXPECT_TRUE(measurement.Text(WKRX_MeasurementWindow::kDelta).empty());
  SendMessageW(*m_Frame, WKRX_WM_MEASUREMENTCHANGED, 0, reinterpret_cast<LPARAM>(distances));
  EXPECT_EQ(measurement.Text(WKRX_MeasurementWindow::kDelta), L"( 0.00, -2.00) mm");
  EXPECT_EQ(measurement.Text(WKRX_MeasurementWindow::kDistanceAngle), L"2.00 mm  |  -90.0\u00B0");
  // The densitometer's moves wait for the separations palette.
  IMPN_RectT<long> block(1, 2, 3, 4);
  SendMessageW(*m_Frame, WKRX_WM_DENSITOMETERMOVED, 0, reinterpret_cast<LPARAM>(&block));
  EXPECT_EQ(m_Frame->DensitometerMovedCount(), 1);
}

}  // namespace
