// The colour types use names that windows.h makes macros of: the fixture reads them first.
#include "support/WKRX_PaletteTest.h"

#include "WKRX/WKRX_SeparationPanel.h"
#include "WKRX/WKRX_SeparationPanelView.h"
#include "WKRX/WKRX_SeparationWindow.h"
#include "WKRX/WKRX_SurfacePanel.h"
#include "WKRX/WKRX_VersionPanel.h"

#include "WTLA/win/DockingFrame.h"
#include "win/DibCanvas.h"

#include <gtest/gtest.h>

namespace {

// The sheet window's stand-in: a docking frame with a client view that records what the palette
// tells it.
class PaletteHost : public dockwins::CDockingFrameImpl<PaletteHost> {
public:
  using CBase = dockwins::CDockingFrameImpl<PaletteHost>;

  BEGIN_MSG_MAP(PaletteHost)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_RANGE_HANDLER(WM_APP, 0xBFFF, OnPrivate)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  std::vector<WKRX_RecordedMessage> m_Received;

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled) {
    m_hWndClient = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    handled = FALSE;
    return 0;
  }
  LRESULT OnPrivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    m_Received.push_back({message, wParam, lParam, false, {}});
    return 0;
  }
};

RECT SmallWorkArea(HWND) {
  return RECT{0, 0, 1024, 600};
}

RECT InParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

long HeightOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

class WKRXSeparationWindow : public WKRX_PaletteTest {
protected:
  void SetUp() override {
    WKRX_PaletteTest::SetUp();
    m_PreviousWorkArea = WKRX_SeparationWindow::sm_WorkArea;
    RECT rect{0, 0, 800, 600};
    ASSERT_NE(m_Host.Create(nullptr, rect, L"Palette host"), nullptr);
    m_Host.ShowWindow(SW_SHOWNA);
    m_Host.UpdateLayout();
  }
  void TearDown() override {
    if (m_Palette.IsWindow())
      m_Palette.DestroyWindow();
    m_Host.DestroyWindow();
    WKRX_SeparationWindow::sm_WorkArea = m_PreviousWorkArea;
    WKRX_PaletteTest::TearDown();
  }

  // The palette made by its frame, showing sheet (none when empty).
  void Open(const IMPN_SheetReference& sheet) {
    m_Palette.SetOwnerFrame(m_Host);
    RECT rect{300, 100, 600, 500};
    ASSERT_NE(m_Palette.Create(m_Host, rect, L"Separations"), nullptr);
    m_Palette.SetSheet(sheet);
    m_Host.m_Received.clear();
  }
  static std::vector<WKRX_TestPlate> Plates(int count, bool front, const char* prefix) {
    std::vector<WKRX_TestPlate> plates;
    for (int i = 0; i < count; ++i)
      plates.push_back(WKRX_Plate(prefix + std::to_string(i), 0, front));
    return plates;
  }
  std::vector<UINT> HostMessages() const {
    std::vector<UINT> messages;
    for (const WKRX_RecordedMessage& m : m_Host.m_Received)
      messages.push_back(m.m_Message);
    return messages;
  }
  long Rows(bool front) const {
    return HeightOf(*m_Palette.PanelView(front)) / m_Palette.RowHeight();
  }

  PaletteHost m_Host;
  WKRX_SeparationWindow m_Palette;
  RECT (*m_PreviousWorkArea)(HWND) = nullptr;
};

TEST_F(WKRXSeparationWindow, ThirtyAndThirtyInASmallWorkAreaShrinkAlike) {
  WKRX_SeparationWindow::sm_WorkArea = SmallWorkArea;
  std::vector<WKRX_TestPlate> plates = Plates(30, true, "Front ");
  const std::vector<WKRX_TestPlate> back = Plates(30, false, "Back ");
  plates.insert(plates.end(), back.begin(), back.end());
  Open(MakeSheet(plates));
  ASSERT_NE(m_Palette.PanelView(true), nullptr);
  ASSERT_NE(m_Palette.PanelView(false), nullptr);
  EXPECT_EQ(m_Palette.FixedHeight(), 28 + 28 + 4);
  const long room =
      600 * 8 / 10 - m_Palette.FixedHeight() - dockwins::COutlookLikeCaption::Thickness() - 8;
  const long excess = 2 * 30 * 24 - room;
  const long cut = (excess + 47) / 48;  // half the excess each, in whole rows, rounded up
  EXPECT_EQ(Rows(true), 30 - cut);
  EXPECT_EQ(Rows(false), 30 - cut);
  // The limits the frame may size the palette to: three rows each at least, all rows at most.
  EXPECT_EQ(m_Palette.MaximumTrackSize().y - m_Palette.MinimumTrackSize().y, 24 * 54);
  EXPECT_EQ(m_Palette.MinimumTrackSize().x, 52);
  EXPECT_EQ(m_Palette.MaximumTrackSize().x, 32767);
}

TEST_F(WKRXSeparationWindow, ALoneSurfaceGivesUpTheWholeExcess) {
  WKRX_SeparationWindow::sm_WorkArea = SmallWorkArea;
  Open(MakeSheet(Plates(60, true, "Plate ")));
  EXPECT_EQ(m_Palette.PanelView(false), nullptr);
  EXPECT_EQ(m_Palette.SurfacePanel(false), nullptr);
  // No back pair: no gap in the fixed height.
  EXPECT_EQ(m_Palette.FixedHeight(), 28);
  const long room =
      600 * 8 / 10 - m_Palette.FixedHeight() - dockwins::COutlookLikeCaption::Thickness() - 8;
  const long cut = (60 * 24 - room + 23) / 24;
  EXPECT_EQ(Rows(true), 60 - cut);
  EXPECT_LE(Rows(true) * 24, room);
}

TEST_F(WKRXSeparationWindow, ASizeChangeLeavesEachListAtLeastMinNThreeRows) {
  std::vector<WKRX_TestPlate> plates = Plates(2, true, "Front ");
  const std::vector<WKRX_TestPlate> back = Plates(10, false, "Back ");
  plates.insert(plates.end(), back.begin(), back.end());
  Open(MakeSheet(plates));
  // A client area with room for 5 rows below the fixed parts.
  RECT window;
  RECT client;
  m_Palette.GetWindowRect(&window);
  m_Palette.GetClientRect(&client);
  const long frame = (window.bottom - window.top) - client.bottom;
  m_Palette.SetWindowPos(nullptr, 0, 0, 270, frame + m_Palette.FixedHeight() + 5 * 24 + 10,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Rows(true), 2);
  EXPECT_EQ(Rows(false), 3);
  // Room for all again.
  m_Palette.SetWindowPos(nullptr, 0, 0, 270, frame + m_Palette.FixedHeight() + 12 * 24,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Rows(true), 2);
  EXPECT_EQ(Rows(false), 10);
}

TEST_F(WKRXSeparationWindow, TheFloatingPaletteKeepsItsWidthWhenDraggedTooNarrow) {
  Open(MakeSheet({WKRX_Plate("Cyan", 1), WKRX_Plate("Black", 4)}));
  EXPECT_FALSE(m_Palette.IsDocking());
  EXPECT_EQ(m_Palette.FloatingSize().cx, 270);
  RECT window;
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(window.right - window.left, 270);
  const long height = window.bottom - window.top;
  m_Palette.SetWindowPos(nullptr, 0, 0, 51, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(window.right - window.left, 270);
  m_Palette.SetWindowPos(nullptr, 0, 0, 140, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(window.right - window.left, 140);
  EXPECT_EQ(m_Palette.FloatingSize().cx, 140);
  // The surface panel laid itself out for the new client width.
  RECT client;
  m_Palette.SurfacePanel(true)->GetClientRect(&client);
  RECT paletteClient;
  m_Palette.GetClientRect(&paletteClient);
  EXPECT_LE(client.right, paletteClient.right);
  EXPECT_EQ(m_Palette.SurfacePanel(true)->Label().GetText(), L"Front");
}

TEST_F(WKRXSeparationWindow, WithoutVersionsThePairsStartAtTheTopAndSwapWithTheSide) {
  Open(MakeSheet({WKRX_Plate("Cyan", 1), WKRX_Plate("Black", 4, false)}));
  EXPECT_EQ(m_Palette.VersionPanel(), nullptr);
  WKRX_SurfacePanel* front = m_Palette.SurfacePanel(true);
  WKRX_SurfacePanel* back = m_Palette.SurfacePanel(false);
  ASSERT_NE(front, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(InParent(*front).top, 4);
  EXPECT_EQ(InParent(*m_Palette.PanelView(true)).top, 4 + 28);
  EXPECT_EQ(InParent(*back).top, 4 + 28 + 24 + 4);
  m_Palette.SendMessage(WKRX_WM_SIDECHANGED, 0);
  EXPECT_FALSE(m_Palette.FrontFirst());
  EXPECT_EQ(InParent(*back).top, 4);
  EXPECT_EQ(InParent(*front).top, 4 + 28 + 24 + 4);
  m_Palette.SendMessage(WKRX_WM_SIDECHANGED, 1);
  EXPECT_EQ(InParent(*front).top, 4);
}

TEST_F(WKRXSeparationWindow, VersionsOpenOnTheFirstAndFollowTheVisibility) {
  WKRX_TestPlate cyan = WKRX_Plate("Cyan", 1);
  cyan.m_Versions = std::vector<std::string>{""};
  WKRX_TestPlate spotA = WKRX_Plate("Spot A", 0);
  spotA.m_Versions = std::vector<std::string>{"A"};
  WKRX_TestPlate spotB = WKRX_Plate("Spot B", 0);
  spotB.m_Versions = std::vector<std::string>{"B"};
  IMPN_SheetReference sheet = MakeSheet({cyan, spotA, spotB});
  ASSERT_EQ(sheet->GetVersionNames().size(), 3u);
  Open(sheet);
  WKRX_VersionPanel* versions = m_Palette.VersionPanel();
  ASSERT_NE(versions, nullptr);
  EXPECT_EQ(InParent(*versions).top, 4);
  EXPECT_EQ(InParent(*m_Palette.SurfacePanel(true)).top, 36);
  EXPECT_EQ(versions->List().SendMessage(CB_GETCURSEL), 1);
  const auto& panels = m_Palette.PanelView(true)->Panels();
  ASSERT_EQ(panels.size(), 3u);
  for (WKRX_SeparationPanel* panel : panels) {
    const std::string& ink = panel->Separation()->GetInkName();
    EXPECT_EQ(panel->Separation()->IsVisible(), ink != "Spot B") << ink;
    // With versions, the panels show their files' names.
    EXPECT_EQ(panel->TextBox().TextIndex(), 1u) << ink;
  }
  WKRX_SeparationPanel* a = nullptr;
  WKRX_SeparationPanel* b = nullptr;
  for (WKRX_SeparationPanel* panel : panels) {
    if (panel->Separation()->GetInkName() == "Spot A")
      a = panel;
    if (panel->Separation()->GetInkName() == "Spot B")
      b = panel;
  }
  // Version A's own plate hidden by hand: only the common plates show, which is "Common".
  SendMessageW(a->CheckBox(), BM_CLICK, 0, 0);
  EXPECT_EQ(versions->List().SendMessage(CB_GETCURSEL), 0);
  // Both versions' plates shown: no version shows exactly that.
  SendMessageW(a->CheckBox(), BM_CLICK, 0, 0);
  SendMessageW(b->CheckBox(), BM_CLICK, 0, 0);
  EXPECT_EQ(versions->List().SendMessage(CB_GETCURSEL), -1);
  // Choosing B shows the common plates and B's.
  versions->List().SendMessage(CB_SETCURSEL, 2);
  versions->SendMessage(WM_COMMAND, MAKEWPARAM(WKRX_Ids::kControlVersionList, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(versions->List().m_hWnd));
  EXPECT_FALSE(a->Separation()->IsVisible());
  EXPECT_TRUE(b->Separation()->IsVisible());
  EXPECT_EQ(m_Host.m_Received.back().m_Message, WKRX_WM_VERSIONSELECTED);
}

TEST_F(WKRXSeparationWindow, MoreThan1024VersionNamesListTheFirst1024) {
  WKRX_TestPlate plate = WKRX_Plate("Black", 4);
  std::vector<std::string> names;
  for (int i = 0; i < 1025; ++i)
    names.push_back("v" + std::to_string(i));
  plate.m_Versions = names;
  IMPN_SheetReference sheet = MakeSheet({plate});
  ASSERT_EQ(sheet->GetVersionNames().size(), 1026u);
  Open(sheet);
  ASSERT_NE(m_Palette.VersionPanel(), nullptr);
  EXPECT_EQ(m_Palette.VersionPanel()->List().SendMessage(CB_GETCOUNT), 1024);
  m_Palette.UpdateVersionChoice();
  EXPECT_EQ(m_Palette.VersionPanel()->List().SendMessage(CB_GETCURSEL), 1);
}

TEST_F(WKRXSeparationWindow, DensitiesOfTheShownSurfaceAddUpInItsHeader) {
  WKRX_TestPlate quarter = WKRX_Plate("Black", 4);
  quarter.m_Bits = [](std::uint32_t x, std::uint32_t) { return x < 128; };
  WKRX_TestPlate half = WKRX_Plate("Cyan", 1);
  half.m_Bits = [](std::uint32_t x, std::uint32_t) { return x < 256; };
  WKRX_TestPlate hidden = WKRX_Plate("Gold", 0);
  hidden.m_Bits = [](std::uint32_t, std::uint32_t) { return true; };
  Open(MakeSheet({quarter, half, hidden}));
  for (WKRX_SeparationPanel* panel : m_Palette.PanelView(true)->Panels())
    if (panel->Separation()->GetInkName() == "Gold")
      panel->HideSeparation();
  m_Palette.SetInfoModeEnabled(true);
  m_Palette.RefreshInkDensities(IMPN_RectT<long>(0, 0, 512, 512));
  wchar_t text[32] = {};
  GetWindowTextW(m_Palette.SurfacePanel(true)->DensityReadOut(), text, 32);
  EXPECT_STREQ(text, L"  75.0 %");
}

TEST_F(WKRXSeparationWindow, WithoutASheetThePaletteOnlyKeepsItsCaption) {
  Open(IMPN_SheetReference());
  m_Palette.SetInfoModeEnabled(true);
  m_Palette.RefreshInkDensities(IMPN_RectT<long>(0, 0, 10, 10));
  m_Palette.UpdateVersionChoice();
  EXPECT_EQ(m_Palette.SurfacePanel(true), nullptr);
  MINMAXINFO info{};
  m_Palette.GetMinMaxInfo(&info);
  EXPECT_GE(info.ptMinTrackSize.x, dockwins::COutlookLikeCaption::Thickness());
  EXPECT_GE(info.ptMinTrackSize.y, dockwins::COutlookLikeCaption::Thickness());
  // A sheet given later builds the panels at once.
  m_Palette.SetSheet(MakeSheet({WKRX_Plate("Black", 4)}));
  EXPECT_NE(m_Palette.SurfacePanel(true), nullptr);
  RECT window;
  m_Palette.GetWindowRect(&window);
  EXPECT_EQ(window.right - window.left, 270);
  EXPECT_EQ(window.bottom - window.top, m_Palette.FloatingSize().cy);
}

TEST_F(WKRXSeparationWindow, ThePaletteHoldsItsSheetUntilTheNextOne) {
  IMPN_SheetReference first = MakeSheet({WKRX_Plate("Black", 4)});
  IMPN_Sheet* raw = first.Get();
  Open(first);
  const int held = raw->GetReferenceCount();
  EXPECT_EQ(held, 2);
  first.Reset();
  EXPECT_EQ(m_Palette.Sheet(), raw);
  EXPECT_EQ(raw->GetReferenceCount(), 1);
  m_Palette.SetSheet(MakeSheet({WKRX_Plate("Cyan", 1), WKRX_Plate("Gold", 0)}));
  ASSERT_NE(m_Palette.PanelView(true), nullptr);
  EXPECT_EQ(m_Palette.PanelView(true)->Panels().size(), 2u);
}

TEST_F(WKRXSeparationWindow, TheFrameHearsOfClosingAndActivation) {
  Open(MakeSheet({WKRX_Plate("Black", 4)}));
  m_Palette.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(m_Host.m_hWnd));
  m_Palette.SendMessage(WM_ACTIVATE, WA_CLICKACTIVE, 0);
  ASSERT_GE(m_Host.m_Received.size(), 2u);
  EXPECT_EQ(m_Host.m_Received[0].m_Message, WKRX_WM_PALETTEDEACTIVATED);
  EXPECT_EQ(m_Host.m_Received[0].m_wParam, 10149u);
  EXPECT_EQ(m_Host.m_Received[0].m_lParam, reinterpret_cast<LPARAM>(m_Host.m_hWnd));
  EXPECT_EQ(m_Host.m_Received[1].m_Message, WKRX_WM_PALETTEACTIVATED);
  m_Host.m_Received.clear();
  m_Palette.SendMessage(WM_CLOSE);
  ASSERT_FALSE(m_Host.m_Received.empty());
  EXPECT_EQ(m_Host.m_Received[0].m_Message, WKRX_WM_PALETTEHIDDEN);
  EXPECT_EQ(m_Host.m_Received[0].m_lParam, reinterpret_cast<LPARAM>(m_Palette.m_hWnd));
  EXPECT_TRUE(m_Palette.IsWindow());
  EXPECT_FALSE(m_Palette.IsWindowVisible());
  EXPECT_EQ(m_Palette.SendMessage(WM_NCACTIVATE, FALSE), TRUE);
}

TEST_F(WKRXSeparationWindow, DockedItFollowsItsBarAndFloatedItTakesTheFloatingWidth) {
  Open(MakeSheet({WKRX_Plate("Cyan", 1), WKRX_Plate("Black", 4)}));
  // Docked on the host's left edge, where a drag there would put it.
  RECT drag{2, 100, 122, 300};
  MapWindowPoints(m_Host, nullptr, reinterpret_cast<POINT*>(&drag), 2);
  dockwins::DFDOCKRECT record{{m_Palette.m_hWnd, m_Host.m_hWnd, dockwins::DC_ACCEPT}, drag, 0};
  ASSERT_NE(m_Host.SendMessage(dockwins::WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record)), 0);
  ASSERT_TRUE(m_Palette.NotifyHost(&record));
  ASSERT_TRUE(m_Palette.IsDocking());
  RECT client;
  m_Palette.GetClientRect(&client);
  // Erasing lays the panels out for the bar's width and fills with the face colour.
  DibCanvas canvas(800, 800, RGB(255, 255, 255));
  EXPECT_EQ(m_Palette.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc())), 1);
  EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNFACE));
  RECT header;
  m_Palette.SurfacePanel(true)->GetWindowRect(&header);
  EXPECT_EQ(header.right - header.left, client.right + 2);  // the client width plus its edges

  // Floated again: the floating rectangle's width, and no bar.
  const RECT floating = m_Palette.m_rcUndock;
  ASSERT_TRUE(m_Palette.Float(floating, SWP_SHOWWINDOW | SWP_NOACTIVATE, nullptr));
  EXPECT_FALSE(m_Palette.IsDocking());
  m_Palette.GetClientRect(&client);
  m_Palette.SurfacePanel(true)->GetClientRect(&header);
  EXPECT_EQ(header.right, client.right);
}

TEST_F(WKRXSeparationWindow, TheWheelScrollsTheListUnderThePointer) {
  WKRX_SeparationWindow::sm_WorkArea = SmallWorkArea;
  Open(MakeSheet(Plates(40, true, "Plate ")));
  WKRX_SeparationPanelView* view = m_Palette.PanelView(true);
  RECT rect;
  view->GetWindowRect(&rect);
  m_Palette.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -240),
                        MAKELPARAM(rect.left + 5, rect.top + 5));
  EXPECT_EQ(view->ScrollPosition(), 48);
}

}  // namespace
