#include <gtest/gtest.h>

#include <atlapp.h>
#include <atlctrlw.h>
#include <atlctrls.h>
#include <atlctrlx.h>
#include <atlframe.h>

#include <string>
#include <vector>

#include "AtlTestResources.h"
#include "AtlTestSupport.h"

namespace {

constexpr UINT kToolBarBand = ATL_IDW_BAND_FIRST + 1;

// A frame built as the program builds its windows: common resources, a hidden command bar that
// keeps the native menu, a tool bar as the rebar's one band, a multi-pane status bar and the
// command-state updater, with its shortcuts translated by the thread's loop.
class AppFrame : public CFrameWindowImpl<AppFrame>,
                 public CUpdateUI<AppFrame>,
                 public CMessageFilter,
                 public CIdleHandler {
public:
  DECLARE_FRAME_WND_CLASS(L"AtlTestAppFrame", IDR_ATL_FRAME)

  BEGIN_UPDATE_UI_MAP(AppFrame)
  UPDATE_ELEMENT(ID_ATL_OPEN, UPDUI_MENUPOPUP | UPDUI_TOOLBAR)
  UPDATE_ELEMENT(ID_ATL_SAVE, UPDUI_MENUPOPUP | UPDUI_TOOLBAR)
  UPDATE_ELEMENT(ID_ATL_ZOOM, UPDUI_MENUPOPUP | UPDUI_TOOLBAR)
  UPDATE_ELEMENT(ID_ATL_RADIO, UPDUI_MENUPOPUP | UPDUI_TOOLBAR)
  UPDATE_ELEMENT(ID_ATL_NESTED, UPDUI_MENUPOPUP)
  UPDATE_ELEMENT(IDS_ATL_PANE_ZOOM, UPDUI_STATUSBAR)
  UPDATE_ELEMENT(IDS_ATL_PANE_UNITS, UPDUI_STATUSBAR)
  UPDATE_ELEMENT(ID_ATL_CHILD_BUTTON, UPDUI_CHILDWINDOW)
  END_UPDATE_UI_MAP()

  BEGIN_MSG_MAP(AppFrame)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  COMMAND_RANGE_HANDLER(ID_ATL_OPEN, ID_ATL_LANGUAGE_ONLY, OnCommand)
  CHAIN_MSG_MAP(CUpdateUI<AppFrame>)
  CHAIN_MSG_MAP(CFrameWindowImpl<AppFrame>)
  END_MSG_MAP()

  CCommandBarCtrl m_CmdBar;
  CMultiPaneStatusBarCtrl m_Status;
  CToolBarCtrl m_ToolBar;
  CWindow m_View;
  std::vector<UINT> m_Commands;

  BOOL PreTranslateMessage(MSG* msg) override {
    return m_hAccel != nullptr && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg);
  }
  BOOL OnIdle() override {
    UIUpdateToolBar();
    UIUpdateStatusBar();
    UIUpdateChildWindows();
    return FALSE;
  }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_CmdBar.Create(m_hWnd, nullptr, nullptr, 0x5600184C);
    m_CmdBar.AttachMenu(GetMenu());
    m_CmdBar.LoadImages(IDR_ATL_FRAME);
    m_ToolBar = CreateSimpleToolBarCtrl(m_hWnd, IDR_ATL_FRAME, FALSE, 0x5600094C);
    CreateSimpleReBar(0x56002640);
    AddSimpleReBarBandCtrl(m_hWndToolBar, m_ToolBar, kToolBarBand);
    m_Status.Create(m_hWnd);
    m_hWndStatusBar = m_Status;
    const int panes[] = {ID_DEFAULT_PANE, IDS_ATL_PANE_ZOOM, IDS_ATL_PANE_UNITS};
    m_Status.SetPanes(panes, 3);
    m_Status.SetPaneWidth(IDS_ATL_PANE_ZOOM, 36);
    UIAddToolBar(m_ToolBar);
    UIAddStatusBar(m_Status);
    UIAddChildWindowContainer(m_hWnd);
    RECT none = {0, 0, 10, 10};
    m_hWndClient = m_View.Create(L"STATIC", m_hWnd, none, nullptr, WS_CHILD | WS_VISIBLE);
    UpdateLayout();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnCommand(WORD, WORD id, HWND, BOOL&) {
    m_Commands.push_back(id);
    return 0;
  }
};

class FrameTest : public ResourceSearchTest {
protected:
  void SetUp() override {
    ResourceSearchTest::SetUp();
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&init);
  }
  void TearDown() override {
    if (m_Frame.m_hWnd != nullptr) {
      m_Frame.DestroyWindow();
    }
    AtlPumpWaitingMessages();
    ResourceSearchTest::TearDown();
  }

  void Create() {
    RECT r = {0, 0, 400, 300};
    ASSERT_NE(m_Frame.CreateEx(nullptr, r), nullptr);
  }

  std::wstring Title() const {
    wchar_t text[512] = {};
    GetWindowTextW(m_Frame, text, 512);
    return text;
  }

  static std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return text;
  }

  // Runs the thread's loop with the frame's filter and idle handler until the queue is empty.
  void RunUntilIdle() {
    class QuitWhenIdle : public CIdleHandler {
      BOOL OnIdle() override {
        PostQuitMessage(0);
        return FALSE;
      }
    } quit;
    CMessageLoop loop;
    loop.AddMessageFilter(&m_Frame);
    loop.AddIdleHandler(&m_Frame);
    loop.AddIdleHandler(&quit);
    loop.Run();
  }

  void PressKey(UINT key) {
    m_Frame.PostMessage(WM_KEYDOWN, key, 1);
    m_Frame.PostMessage(WM_KEYUP, key, 0xC0000001);
    RunUntilIdle();
  }

  AppFrame m_Frame;
};

TEST_F(FrameTest, CommonResourcesMakeTheFrame) {
  Create();
  const std::wstring title = Title();
  ASSERT_EQ(title.size(), 256u) << "the title keeps its first 256 characters";
  EXPECT_EQ(title.substr(0, 12), L"0123456789ab");
  EXPECT_NE(m_Frame.m_hAccel, nullptr);
  // The command bar keeps the frame's own menu and stays hidden, outside the rebar.
  const HMENU menu = m_Frame.GetMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(m_Frame.m_CmdBar.GetMenu(), menu);
  EXPECT_FALSE(m_Frame.m_CmdBar.IsWindowVisible());
  EXPECT_EQ(MenuText(menu, 0), L"&File");
  CReBarCtrl reBar(m_Frame.m_hWndToolBar);
  EXPECT_EQ(reBar.GetBandCount(), 1u);
  EXPECT_EQ(reBar.IdToIndex(kToolBarBand), 0);
  EXPECT_NE(GetClassLongPtrW(m_Frame, GCLP_HICON), 0) << "the class icon";
  // The client view starts below the rebar and ends above the status bar.
  RECT bar = {};
  RECT status = {};
  RECT view = {};
  reBar.GetWindowRect(&bar);
  m_Frame.m_Status.GetWindowRect(&status);
  m_Frame.m_View.GetWindowRect(&view);
  EXPECT_EQ(view.top, bar.bottom);
  EXPECT_EQ(view.bottom, status.top);
}

TEST_F(FrameTest, ToolBarFromItsResourceWithSeparators) {
  Create();
  CToolBarCtrl& toolBar = m_Frame.m_ToolBar;
  ASSERT_EQ(toolBar.GetButtonCount(), 6);
  const struct {
    int m_Command;
    bool m_Separator;
    int m_Image;
  } expected[] = {{ID_ATL_OPEN, false, 0}, {0, true, 0}, {ID_ATL_SAVE, false, 1},
                  {ID_ATL_ZOOM, false, 2}, {0, true, 0}, {ID_ATL_RADIO, false, 3}};
  for (int i = 0; i < 6; ++i) {
    TBBUTTON button = {};
    ASSERT_TRUE(toolBar.GetButton(i, &button));
    EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, expected[i].m_Separator) << i;
    if (!expected[i].m_Separator) {
      EXPECT_EQ(button.idCommand, expected[i].m_Command) << i;
      EXPECT_EQ(button.iBitmap, expected[i].m_Image) << i;
    }
  }
  // Resources that cannot be read give no tool bar.
  for (UINT id : {UINT{IDR_ATL_TOOLBAR_VERSION2}, UINT{IDR_ATL_TOOLBAR_SHORT}, 999u}) {
    EXPECT_EQ(AppFrame::CreateSimpleToolBarCtrl(m_Frame, id), nullptr) << id;
  }
  // A leading separator when asked for.
  const HWND separated = AppFrame::CreateSimpleToolBarCtrl(m_Frame, IDR_ATL_FRAME, TRUE);
  ASSERT_NE(separated, nullptr);
  EXPECT_EQ(CToolBarCtrl(separated).GetButtonCount(), 7);
}

TEST_F(FrameTest, ABandIsFoundByIdShownAndHidden) {
  Create();
  CReBarCtrl reBar(m_Frame.m_hWndToolBar);
  const int index = reBar.IdToIndex(kToolBarBand);
  ASSERT_EQ(index, 0);
  EXPECT_EQ(reBar.IdToIndex(0xEB00), -1);
  REBARBANDINFOW band = {};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_STYLE | RBBIM_CHILD;
  for (const BOOL show : {FALSE, TRUE}) {
    ASSERT_TRUE(reBar.ShowBand(index, show));
    ASSERT_TRUE(reBar.GetBandInfo(index, &band));
    EXPECT_EQ((band.fStyle & RBBS_HIDDEN) == 0, show != FALSE);
    EXPECT_EQ(band.hwndChild, m_Frame.m_ToolBar.m_hWnd);
    EXPECT_EQ((m_Frame.m_ToolBar.GetStyle() & WS_VISIBLE) != 0, show != FALSE);
    // The client view follows the rebar's height.
    m_Frame.UpdateLayout();
    RECT bar = {};
    RECT view = {};
    reBar.GetWindowRect(&bar);
    m_Frame.m_View.GetWindowRect(&view);
    EXPECT_EQ(view.top, bar.bottom);
  }
}

TEST_F(FrameTest, PanesByIdAroundTheDefaultPane) {
  Create();
  CMultiPaneStatusBarCtrl& status = m_Frame.m_Status;
  int borders[3] = {};
  ASSERT_TRUE(status.GetBorders(borders));
  const int gap = borders[2];
  auto edges = [&] {
    int parts[3] = {};
    EXPECT_EQ(status.GetParts(3, parts), 3);
    return std::vector<int>(parts, parts + 3);
  };
  auto check = [&] {
    RECT client = {};
    status.GetClientRect(&client);
    const std::vector<int> e = edges();
    EXPECT_EQ(e[1] - e[0], 36 + gap) << "a width given in pixels, plus the gap";
    EXPECT_GT(e[2] - e[1], gap) << "a width from the pane's string";
    EXPECT_EQ(e[2], client.right - GetSystemMetrics(SM_CXVSCROLL))
        << "the default pane takes the rest, up to the size grip";
  };
  check();
  m_Frame.SetWindowPos(nullptr, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER);
  check();
  EXPECT_EQ(status.GetPaneIndexFromID(IDS_ATL_PANE_UNITS), 2);
  EXPECT_EQ(status.GetPaneIndexFromID(999), -1);
  EXPECT_FALSE(status.SetPaneText(999, L"x"));
  wchar_t text[32] = {};
  ASSERT_TRUE(status.GetPaneText(IDS_ATL_PANE_UNITS, text, 32));
  EXPECT_STREQ(text, L"mm") << "each pane starts with its string";
  ASSERT_TRUE(status.SetPaneText(IDS_ATL_PANE_ZOOM, L"1:4"));
  ASSERT_TRUE(status.GetPaneText(IDS_ATL_PANE_ZOOM, text, 32));
  EXPECT_STREQ(text, L"1:4");
  const HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
  ASSERT_TRUE(status.SetPaneIcon(IDS_ATL_PANE_UNITS, icon));
  EXPECT_EQ(status.GetPaneIcon(IDS_ATL_PANE_UNITS), icon);
}

TEST_F(FrameTest, ASimpleStatusBarTakesTheBottom) {
  Create();
  m_Frame.m_Status.DestroyWindow();
  ASSERT_TRUE(m_Frame.CreateSimpleStatusBar(L"Ready"));
  CStatusBarCtrl status(m_Frame.m_hWndStatusBar);
  EXPECT_EQ(status.GetDlgCtrlID(), static_cast<int>(ATL_IDW_STATUS_BAR));
  wchar_t text[16] = {};
  status.GetText(0, text, 16);
  EXPECT_STREQ(text, L"Ready");
  m_Frame.UpdateLayout();
  RECT bar = {};
  RECT view = {};
  status.GetWindowRect(&bar);
  m_Frame.m_View.GetWindowRect(&view);
  EXPECT_EQ(view.bottom, bar.top);
}

TEST_F(FrameTest, MenuAndShortcutsComeFromTheLanguageLibrary) {
  _AtlBaseModule.SetResourceInstance(sm_Language);
  Create();
  EXPECT_EQ(Title(), L"Rahmen");
  EXPECT_EQ(MenuText(m_Frame.GetMenu(), 0), L"&Datei");
  PressKey(VK_F8);
  // F10 would open the menu bar when no table takes it.
  PressKey(VK_F9);
  EXPECT_EQ(m_Frame.m_Commands, (std::vector<UINT>{ID_ATL_LANGUAGE_ONLY}))
      << "the library's table replaces the program's";
}

TEST_F(FrameTest, AStringsOnlyLibraryLeavesTheRestToTheProgram) {
  _AtlBaseModule.SetResourceInstance(sm_Strings);
  Create();
  EXPECT_EQ(Title(), L"Nur Texte");
  EXPECT_EQ(MenuText(m_Frame.GetMenu(), 0), L"&File");
  EXPECT_EQ(m_Frame.m_ToolBar.GetButtonCount(), 6);
  wchar_t text[32] = {};
  ASSERT_TRUE(m_Frame.m_Status.GetPaneText(IDS_ATL_PANE_UNITS, text, 32));
  EXPECT_STREQ(text, L"Millimeter");
  PressKey(VK_F10);
  EXPECT_EQ(m_Frame.m_Commands, (std::vector<UINT>{ID_ATL_OPEN}));
}

TEST_F(FrameTest, MenusTakeTheStatesWhenTheyOpen) {
  Create();
  const HMENU file = GetSubMenu(m_Frame.GetMenu(), 0);
  const HMENU nested = GetSubMenu(file, 3);
  const HMENU view = GetSubMenu(m_Frame.GetMenu(), 1);
  m_Frame.UIEnable(ID_ATL_SAVE, FALSE);
  m_Frame.UISetText(ID_ATL_OPEN, L"&Open now\tF10");
  m_Frame.UIEnable(ID_ATL_NESTED, FALSE);
  m_Frame.UISetCheck(ID_ATL_ZOOM, 1);
  m_Frame.UISetRadio(ID_ATL_RADIO, TRUE);
  EXPECT_EQ(GetMenuState(file, ID_ATL_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u) << "not before";
  m_Frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  m_Frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
  EXPECT_NE(GetMenuState(file, ID_ATL_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(file, ID_ATL_OPEN, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(MenuText(file, 0), L"&Open now\tF10");
  EXPECT_NE(GetMenuState(nested, ID_ATL_NESTED, MF_BYCOMMAND) & MF_GRAYED, 0u)
      << "a nested popup with its parent";
  EXPECT_NE(GetMenuState(view, ID_ATL_ZOOM, MF_BYCOMMAND) & MF_CHECKED, 0u);
  MENUITEMINFOW radio = {};
  radio.cbSize = sizeof(radio);
  radio.fMask = MIIM_FTYPE | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfoW(view, ID_ATL_RADIO, FALSE, &radio));
  EXPECT_NE(radio.fType & MFT_RADIOCHECK, 0u);
  EXPECT_NE(radio.fState & MFS_CHECKED, 0u);
  // And back.
  m_Frame.UIEnable(ID_ATL_SAVE, TRUE);
  m_Frame.UISetRadio(ID_ATL_RADIO, FALSE);
  m_Frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  m_Frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
  EXPECT_EQ(GetMenuState(file, ID_ATL_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  ASSERT_TRUE(GetMenuItemInfoW(view, ID_ATL_RADIO, FALSE, &radio));
  EXPECT_EQ(radio.fState & MFS_CHECKED, 0u);
  EXPECT_EQ(m_Frame.UIGetState(ID_ATL_ZOOM), static_cast<DWORD>(CUpdateUIBase::UPDUI_CHECKED));
}

TEST_F(FrameTest, BarsAndPanesTakeTheStatesWhenIdle) {
  Create();
  CToolBarCtrl& toolBar = m_Frame.m_ToolBar;
  m_Frame.UIEnable(ID_ATL_SAVE, FALSE);
  m_Frame.UISetCheck(ID_ATL_ZOOM, 1);
  m_Frame.UISetText(IDS_ATL_PANE_ZOOM, L"8:1");
  const HICON icon = LoadIconW(nullptr, IDI_WARNING);
  m_Frame.UISetIcon(IDS_ATL_PANE_UNITS, icon);
  EXPECT_TRUE(toolBar.IsButtonEnabled(ID_ATL_SAVE)) << "not before the loop is idle";
  RunUntilIdle();
  EXPECT_FALSE(toolBar.IsButtonEnabled(ID_ATL_SAVE));
  EXPECT_TRUE(toolBar.IsButtonEnabled(ID_ATL_OPEN));
  EXPECT_TRUE(toolBar.IsButtonChecked(ID_ATL_ZOOM));
  wchar_t text[32] = {};
  ASSERT_TRUE(m_Frame.m_Status.GetPaneText(IDS_ATL_PANE_ZOOM, text, 32));
  EXPECT_STREQ(text, L"8:1");
  EXPECT_EQ(m_Frame.m_Status.GetPaneIcon(IDS_ATL_PANE_UNITS), icon);
  // Only what changed is shown again: a state set behind the updater's back stays.
  toolBar.EnableButton(ID_ATL_OPEN, FALSE);
  m_Frame.UISetCheck(ID_ATL_ZOOM, 0);
  RunUntilIdle();
  EXPECT_FALSE(toolBar.IsButtonEnabled(ID_ATL_OPEN));
  EXPECT_FALSE(toolBar.IsButtonChecked(ID_ATL_ZOOM));
  m_Frame.UIUpdateToolBar(TRUE);
  EXPECT_TRUE(toolBar.IsButtonEnabled(ID_ATL_OPEN)) << "forced";
}

TEST_F(FrameTest, ChildWindowsTakeTheStatesWhenIdle) {
  Create();
  CButton box;
  RECT r = {0, 0, 80, 20};
  box.Create(L"BUTTON", m_Frame, r, L"Box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0,
             ID_ATL_CHILD_BUTTON);
  ASSERT_NE(box.m_hWnd, nullptr);
  m_Frame.UIEnable(ID_ATL_CHILD_BUTTON, FALSE);
  m_Frame.UISetCheck(ID_ATL_CHILD_BUTTON, 1);
  m_Frame.UISetText(ID_ATL_CHILD_BUTTON, L"Checked");
  RunUntilIdle();
  EXPECT_FALSE(box.IsWindowEnabled());
  EXPECT_EQ(box.GetCheck(), BST_CHECKED);
  wchar_t text[16] = {};
  box.GetWindowText(text, 16);
  EXPECT_STREQ(text, L"Checked");
  m_Frame.UIEnable(ID_ATL_CHILD_BUTTON, TRUE);
  RunUntilIdle();
  EXPECT_TRUE(box.IsWindowEnabled());
}

TEST_F(FrameTest, ADisabledCommandsShortcutDoesNothing) {
  Create();
  PressKey(VK_F9);
  EXPECT_EQ(m_Frame.m_Commands, (std::vector<UINT>{ID_ATL_SAVE}));
  m_Frame.UIEnable(ID_ATL_SAVE, FALSE);
  m_Frame.m_Commands.clear();
  PressKey(VK_F9);
  PressKey(VK_F10);
  EXPECT_EQ(m_Frame.m_Commands, (std::vector<UINT>{ID_ATL_OPEN}));
  m_Frame.UIEnable(ID_ATL_SAVE, TRUE);
  m_Frame.m_Commands.clear();
  PressKey(VK_F9);
  EXPECT_EQ(m_Frame.m_Commands, (std::vector<UINT>{ID_ATL_SAVE}));
}

}  // namespace
