#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <functional>
#include <string>
#include <vector>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/win/GLIB_WinGuard.h"
#include "WTLU/WTLU_ColorButton.h"
#include "win/DibCanvas.h"

namespace {

using Layout = WTLU_ColorPickerLayout;

// Texts of 60 x 14 (rows 70 x 24) inside 2-pixel margins.
Layout MakeLayout(bool hasDefault, bool hasCustom) {
  Layout layout;
  layout.Layout(hasDefault, hasCustom, SIZE{60, 14}, SIZE{2, 2});
  return layout;
}

TEST(ColorPickerLayoutTest, RowsAndGridStackInsideTheMargins) {
  const Layout both = MakeLayout(true, true);
  EXPECT_EQ(both.WindowSize().cx, 144 + 4);
  EXPECT_EQ(both.WindowSize().cy, 24 + 90 + 24 + 4);
  const RECT automatic = both.EntryRect(Layout::kAutomatic);
  EXPECT_EQ(automatic.top, 2);
  EXPECT_EQ(automatic.bottom, 26);
  EXPECT_EQ(both.EntryRect(0).top, 26);
  EXPECT_EQ(both.EntryRect(39).right, 2 + 144);
  EXPECT_EQ(both.EntryRect(Layout::kMoreColors).top, 26 + 90);
  // A text wider than the grid widens the window; the grid is centred.
  Layout wide;
  wide.Layout(true, false, SIZE{200, 14}, SIZE{2, 2});
  EXPECT_EQ(wide.WindowSize().cx, 210 + 4);
  EXPECT_EQ(wide.EntryRect(0).left, 2 + (210 - 144) / 2);
  // Without texts only the grid.
  const Layout none = MakeLayout(false, false);
  EXPECT_EQ(none.WindowSize().cy, 90 + 4);
  EXPECT_EQ(none.EntryRect(0).top, 2);
}

TEST(ColorPickerLayoutTest, HitTestRejectsEveryPointOutsideTheEntries) {
  struct Case {
    bool m_Texts;
    POINT m_Point;
    int m_Expected;
  };
  const Case cases[] = {
      {true, {10, 10}, Layout::kAutomatic},
      {true, {2, 26}, 0},
      {true, {19, 43}, 0},
      {true, {20, 44}, 9},
      {true, {145, 115}, 39},
      {true, {10, 120}, Layout::kMoreColors},
      {true, {146, 50}, Layout::kNone},   // right of the grid
      {true, {1, 50}, Layout::kNone},     // left of the grid, inside the window
      {true, {-10, 50}, Layout::kNone},   // left of the window: the capture delivers it
      {true, {50, 200}, Layout::kNone},   // below the window
      {false, {50, -3}, Layout::kNone},   // above the grid: no longer cell 2
      {false, {-17, 10}, Layout::kNone},  // left of the grid: no longer cell 0
      {false, {50, 60}, 26},
      {false, {10, 10}, 0},
  };
  for (const Case& c : cases) {
    const Layout layout = MakeLayout(c.m_Texts, c.m_Texts);
    EXPECT_EQ(layout.HitTest(c.m_Point), c.m_Expected)
        << c.m_Point.x << "," << c.m_Point.y << " texts " << c.m_Texts;
  }
}

TEST(ColorPickerLayoutTest, ArrowKeysCycleThroughRowsAndCells) {
  struct Case {
    bool m_Default;
    bool m_Custom;
    int m_From;
    int m_Delta;
    int m_Expected;
  };
  const int A = Layout::kAutomatic;
  const int M = Layout::kMoreColors;
  const int N = Layout::kNone;
  const Case cases[] = {
      {true, true, N, 1, A},
      {true, true, N, -1, M},
      {true, true, N, 8, A},
      {true, true, A, 1, 0},
      {true, true, A, -1, M},
      {true, true, A, 8, 0},
      {true, true, 0, -1, A},
      {true, true, 3, -8, A},
      {true, true, 5, 1, 6},
      {true, true, 5, 8, 13},
      {true, true, 39, 1, M},
      {true, true, 35, 8, M},
      {true, true, M, 1, A},
      {true, true, M, -1, 39},
      {true, true, M, -8, 39},
      // A row without text is skipped in the direction of travel.
      {false, true, N, 1, 0},
      {false, true, M, 1, 0},
      {false, true, 0, -1, M},
      {true, false, N, -1, 39},
      {true, false, 39, 1, A},
      {true, false, A, -1, 39},
      {false, false, N, 1, 0},
      {false, false, N, -1, 39},
      {false, false, 39, 1, 0},
      {false, false, 0, -1, 39},
  };
  for (const Case& c : cases) {
    const Layout layout = MakeLayout(c.m_Default, c.m_Custom);
    EXPECT_EQ(layout.Step(c.m_From, c.m_Delta), c.m_Expected)
        << "from " << c.m_From << " by " << c.m_Delta << " texts " << c.m_Default << c.m_Custom;
  }
}

TEST(ColorPickerLayoutTest, TheChosenEntryMatchesTheColourAtOpening) {
  struct Case {
    bool m_Texts;
    COLORREF m_Color;
    int m_Expected;
  };
  const Case cases[] = {
      {true, kColorButtonAutomatic, Layout::kAutomatic},
      {false, kColorButtonAutomatic, Layout::kNone},
      {true, 0x000000, 0},
      {true, 0x0000FF, 16},
      {true, 0xFFFFFF, 39},
      {true, 0x123456, Layout::kMoreColors},
      {false, 0x123456, Layout::kNone},
  };
  for (const Case& c : cases) {
    const Layout layout = MakeLayout(c.m_Texts, c.m_Texts);
    EXPECT_EQ(layout.ChosenFor(c.m_Color), c.m_Expected) << std::hex << c.m_Color;
  }
}

TEST(ColorPickerLayoutTest, PlacementStaysInTheWorkArea) {
  const RECT work{0, 0, 1000, 800};
  struct Case {
    RECT m_Button;
    RECT m_Expected;
  };
  const Case cases[] = {
      {{100, 100, 180, 120}, {100, 120, 250, 270}},   // below the button
      {{950, 100, 990, 120}, {850, 120, 1000, 270}},  // moved in from the right
      {{-60, 100, 20, 120}, {0, 120, 150, 270}},      // moved in from the left
      {{100, 700, 180, 720}, {100, 550, 250, 700}},   // opens above the button
  };
  for (const Case& c : cases) {
    const RECT picker{c.m_Button.left, c.m_Button.bottom, c.m_Button.left + 150,
                      c.m_Button.bottom + 150};
    const RECT placed = WTLU_PlaceColorPicker(picker, c.m_Button, work);
    EXPECT_TRUE(EqualRect(&placed, &c.m_Expected))
        << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;
  }
}

TEST(ColorButtonFaceTest, TheSwatchShowsTheColourOrTheDefault) {
  struct Case {
    COLORREF m_Color;
    UINT m_State;
    bool m_Swatch;
    COLORREF m_Expected;
  };
  const Case cases[] = {
      {0x0000FF, 0, true, 0x0000FF},
      {kColorButtonAutomatic, 0, true, 0x123456},
      {0x00FF00, ODS_SELECTED, true, 0x00FF00},
      {0x0000FF, ODS_DISABLED, false, 0},
  };
  for (const Case& c : cases) {
    CColorButton button;
    button.SetDefaultColor(0x123456);
    button.SetColor(c.m_Color);
    DibCanvas canvas(80, 24);
    button.DrawFace(canvas.dc(), RECT{0, 0, 80, 24}, c.m_State);
    const COLORREF middle = canvas.at(20, 12);
    if (c.m_Swatch) {
      EXPECT_EQ(middle, c.m_Expected) << std::hex << c.m_Color;
    } else {
      EXPECT_NE(middle, c.m_Color);
    }
  }
}

// A dialog-like parent that reflects to the button and records its notifications.
class NotifyRecorder : public CWindowImpl<NotifyRecorder, CWindow, CFrameWinTraits> {
public:
  struct Note {
    UINT m_Code;
    COLORREF m_Color;
    BOOL m_Valid;
  };
  std::vector<Note> m_Notes;
  std::function<void()> m_Script;
  std::function<void()> m_Note;

  BEGIN_MSG_MAP(NotifyRecorder)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  MESSAGE_HANDLER(WM_APP, OnScript)
  MESSAGE_HANDLER(WM_APP + 1, OnNote)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const auto* nm = reinterpret_cast<const NMCOLORBUTTON*>(lParam);
    m_Notes.push_back({nm->hdr.code, nm->clr, nm->fColorValid});
    return 0;
  }
  LRESULT OnScript(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_Script) {
      m_Script();
    }
    return 0;
  }
  LRESULT OnNote(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_Note) {
      m_Note();
    }
    return 0;
  }

  std::vector<UINT> Codes() const {
    std::vector<UINT> codes;
    for (const Note& n : m_Notes) {
      codes.push_back(n.m_Code);
    }
    return codes;
  }
};

// Messages posted to the palette as soon as it is created, so its loop runs them.
struct Script {
  std::vector<MSG> m_Messages;
  bool m_ClassRegisteredWhileOpen = false;
};
Script* g_Script = nullptr;

LRESULT CALLBACK ScriptHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_Script != nullptr) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    if (std::wstring(name) == L"ColorPicker") {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      g_Script->m_ClassRegisteredWhileOpen =
          GetClassInfoExW(GetModuleHandleW(nullptr), L"ColorPicker", &wc) != 0;
      for (const MSG& m : g_Script->m_Messages) {
        PostMessageW(m.hwnd == nullptr ? hWnd : m.hwnd, m.message, m.wParam, m.lParam);
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct ChooseColorRecord {
  int m_Calls = 0;
  DWORD m_Flags = 0;
  COLORREF m_Initial = 0;
  COLORREF* m_Custom = nullptr;
  BOOL m_Answer = TRUE;
  COLORREF m_Result = 0;
  // The parent's script runs inside the dialog, as a message the dialog's loop dispatches.
  bool m_RunScriptInside = false;
};
ChooseColorRecord g_Choose;
HWND g_Parent = nullptr;

BOOL WINAPI FakeChooseColor(LPCHOOSECOLORW cc) {
  ++g_Choose.m_Calls;
  if (g_Choose.m_RunScriptInside) {
    SendMessageW(g_Parent, WM_APP, 0, 0);
  }
  g_Choose.m_Flags = cc->Flags;
  g_Choose.m_Initial = cc->rgbResult;
  g_Choose.m_Custom = cc->lpCustColors;
  if (g_Choose.m_Answer) {
    cc->rgbResult = g_Choose.m_Result;
  }
  return g_Choose.m_Answer;
}

class ColorButtonTest : public testing::Test {
protected:
  void SetUp() override {
    m_SavedHooks = CColorButton::SystemHooks();
    CColorButton::SystemHooks().m_ChooseColor = FakeChooseColor;
    g_Choose = ChooseColorRecord{};
    const std::wstring title = L"ColorButtonTest" + std::to_wstring(GetCurrentProcessId());
    RECT rc{100, 100, 500, 400};
    ASSERT_NE(m_Parent.Create(nullptr, rc, title.c_str()), nullptr);
    m_Parent.ShowWindow(SW_SHOWNA);
    g_Parent = m_Parent;
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                                  80, 24, m_Parent, reinterpret_cast<HMENU>(1234),
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(m_Button.AttachToButton(button));
    m_Hook = SetWindowsHookExW(WH_CBT, ScriptHook, nullptr, GetCurrentThreadId());
  }
  void TearDown() override {
    UnhookWindowsHookEx(m_Hook);
    g_Script = nullptr;
    m_Parent.DestroyWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    CColorButton::SystemHooks() = m_SavedHooks;
  }

  // Clicks the button with the palette's messages scripted.
  void Click(Script& script) {
    g_Script = &script;
    m_Parent.m_Notes.clear();
    m_Button.SendMessage(OCM_COMMAND, MAKEWPARAM(1234, BN_CLICKED),
                         reinterpret_cast<LPARAM>(m_Button.m_hWnd));
    g_Script = nullptr;
  }
  static MSG Message(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
  }
  static MSG Key(UINT key) { return Message(nullptr, WM_KEYDOWN, key, 0); }
  static MSG Mouse(UINT message, int x, int y) {
    return Message(nullptr, message, 0, MAKELPARAM(x, y));
  }
  // A parent script message: runs m_Script inside the palette's loop.
  static MSG RunScript() { return Message(g_Parent, WM_APP, 0, 0); }

  // Posts a mouse message to the palette at the centre of entry.
  void PostToEntry(UINT message, int entry) {
    const RECT rc = m_Button.PickerLayout().EntryRect(entry);
    PostMessageW(m_Button.PickerWindow(), message, 0,
                 MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
  }

  NotifyRecorder m_Parent;
  CColorButton m_Button;
  HHOOK m_Hook = nullptr;
  CColorButton::Hooks m_SavedHooks{};
};

TEST_F(ColorButtonTest, EachRoadNotifiesInItsOrder) {
  const std::vector<UINT> chosen = {kColorButtonDropDown, kColorButtonSelChange,
                                    kColorButtonCloseUp, kColorButtonSelEndOK};
  const std::vector<UINT> same = {kColorButtonDropDown, kColorButtonCloseUp, kColorButtonSelEndOK};
  const std::vector<UINT> cancelled = {kColorButtonDropDown, kColorButtonCloseUp,
                                       kColorButtonSelEndCancel};
  struct Case {
    const char* m_Name;
    COLORREF m_Start;
    std::vector<MSG> m_Messages;
    std::vector<UINT> m_Codes;
    COLORREF m_End;
  };
  const Case cases[] = {
      // Right from nothing: Automatic; right again: Black.
      {"keys to black", 0x0000FF, {Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RETURN)}, chosen, 0},
      {"space on automatic",
       0x0000FF,
       {Key(VK_RIGHT), Key(VK_SPACE)},
       chosen,
       kColorButtonAutomatic},
      {"same colour", 0, {Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RETURN)}, same, 0},
      {"enter on nothing", 0x0000FF, {Key(VK_RETURN)}, cancelled, 0x0000FF},
      {"escape", 0x0000FF, {Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_ESCAPE)}, cancelled, 0x0000FF},
      {"right click", 0x0000FF, {Key(VK_RIGHT), Mouse(WM_RBUTTONDOWN, 5, 5)}, cancelled, 0x0000FF},
      {"release left of the grid", 0x0000FF, {Mouse(WM_LBUTTONUP, -5, 40)}, cancelled, 0x0000FF},
      {"release above the window", 0x0000FF, {Mouse(WM_LBUTTONUP, 20, -30)}, cancelled, 0x0000FF},
  };
  for (const Case& c : cases) {
    m_Button.SetColor(c.m_Start);
    Script script{c.m_Messages};
    Click(script);
    EXPECT_EQ(m_Parent.Codes(), c.m_Codes) << c.m_Name;
    EXPECT_EQ(m_Button.GetColor(), c.m_End) << c.m_Name;
    EXPECT_FALSE(m_Button.IsPopupActive());
    EXPECT_EQ(m_Button.PickerWindow(), nullptr);
    EXPECT_TRUE(script.m_ClassRegisteredWhileOpen) << c.m_Name;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"ColorPicker", &wc)) << c.m_Name;
  }
  EXPECT_EQ(g_Choose.m_Calls, 0);
}

TEST_F(ColorButtonTest, AMouseReleaseOnACellPicksIt) {
  m_Button.SetColor(kColorButtonAutomatic);
  m_Parent.m_Script = [&] {
    EXPECT_EQ(m_Button.ChosenEntry(), Layout::kAutomatic);
    PostToEntry(WM_MOUSEMOVE, 9);
    PostToEntry(WM_LBUTTONUP, 9);
  };
  Script script{{RunScript()}};
  Click(script);
  EXPECT_EQ(m_Button.GetColor(), 0x2068FFu);
  ASSERT_EQ(m_Parent.m_Notes.size(), 4u);
  EXPECT_EQ(m_Parent.m_Notes[1].m_Code, static_cast<UINT>(kColorButtonSelChange));
  EXPECT_EQ(m_Parent.m_Notes[1].m_Color, 0x2068FFu);
}

TEST_F(ColorButtonTest, TrackSelectionPreviewsAndACancelUndoesIt) {
  m_Button.SetTrackSelection(true);
  m_Button.SetColor(0x0000FF);
  m_Parent.m_Script = [&] {
    PostToEntry(WM_MOUSEMOVE, 39);
    PostMessageW(m_Button.PickerWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(-40, -40));
    PostMessageW(m_Button.PickerWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  Script script{{RunScript()}};
  Click(script);
  ASSERT_EQ(m_Parent.m_Notes.size(), 6u);
  EXPECT_EQ(m_Parent.m_Notes[1].m_Code, static_cast<UINT>(kColorButtonSelChange));
  EXPECT_EQ(m_Parent.m_Notes[1].m_Color, 0xFFFFFFu);
  EXPECT_TRUE(m_Parent.m_Notes[1].m_Valid);
  // Off every entry: the preview stays, reported as no valid colour.
  EXPECT_EQ(m_Parent.m_Notes[2].m_Code, static_cast<UINT>(kColorButtonSelChange));
  EXPECT_FALSE(m_Parent.m_Notes[2].m_Valid);
  // The cancel undoes the preview.
  EXPECT_EQ(m_Parent.m_Notes[3].m_Code, static_cast<UINT>(kColorButtonSelChange));
  EXPECT_EQ(m_Parent.m_Notes[3].m_Color, 0x0000FFu);
  EXPECT_EQ(m_Parent.m_Notes[4].m_Code, static_cast<UINT>(kColorButtonCloseUp));
  EXPECT_EQ(m_Parent.m_Notes[5].m_Code, static_cast<UINT>(kColorButtonSelEndCancel));
  EXPECT_EQ(m_Button.GetColor(), 0x0000FFu);
}

TEST_F(ColorButtonTest, MoreColorsAsksTheSystemDialog) {
  struct Case {
    COLORREF m_Start;
    BOOL m_Answer;
    bool m_RgbInit;
    COLORREF m_Initial;
    std::vector<UINT> m_Codes;
    COLORREF m_End;
  };
  const Case cases[] = {
      {0x0000FF,
       TRUE,
       true,
       0x0000FF,
       {kColorButtonDropDown, kColorButtonSelChange, kColorButtonCloseUp, kColorButtonSelEndOK},
       0x345678},
      {0x0000FF,
       FALSE,
       true,
       0x0000FF,
       {kColorButtonDropDown, kColorButtonCloseUp, kColorButtonSelEndCancel},
       0x0000FF},
      // Black starts the dialog without an initial colour.
      {0x000000,
       FALSE,
       false,
       0x000000,
       {kColorButtonDropDown, kColorButtonCloseUp, kColorButtonSelEndCancel},
       0x000000},
      // Automatic starts it at the default colour, not at the automatic value.
      {kColorButtonAutomatic,
       FALSE,
       true,
       0x123456,
       {kColorButtonDropDown, kColorButtonCloseUp, kColorButtonSelEndCancel},
       kColorButtonAutomatic},
  };
  m_Button.SetDefaultColor(0x123456);
  for (const Case& c : cases) {
    g_Choose = ChooseColorRecord{};
    g_Choose.m_Answer = c.m_Answer;
    g_Choose.m_Result = 0x345678;
    m_Button.SetColor(c.m_Start);
    Script script{{Key(VK_LEFT), Key(VK_RETURN)}};
    Click(script);
    EXPECT_EQ(g_Choose.m_Calls, 1);
    EXPECT_EQ(g_Choose.m_Flags & (CC_FULLOPEN | CC_ANYCOLOR),
              static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR));
    EXPECT_EQ((g_Choose.m_Flags & CC_RGBINIT) != 0, c.m_RgbInit) << std::hex << c.m_Start;
    if (c.m_RgbInit) {
      EXPECT_EQ(g_Choose.m_Initial, c.m_Initial);
    }
    EXPECT_EQ(g_Choose.m_Custom, CColorButton::sm_CustomColors);
    EXPECT_EQ(m_Parent.Codes(), c.m_Codes) << std::hex << c.m_Start;
    EXPECT_EQ(m_Button.GetColor(), c.m_End);
  }
  EXPECT_EQ(CColorButton::sm_CustomColors[0], 0xFFFFFFu);
}

TEST_F(ColorButtonTest, TheChosenEntryIsMarkedAtOpening) {
  struct Case {
    COLORREF m_Color;
    const wchar_t* m_Default;
    const wchar_t* m_Custom;
    int m_Expected;
  };
  const Case cases[] = {
      {kColorButtonAutomatic, L"Automatic", L"More Colors...", Layout::kAutomatic},
      {0xC0C0C0, L"Automatic", L"More Colors...", 31},
      {0x123456, L"Automatic", L"More Colors...", Layout::kMoreColors},
      {0x123456, L"Automatic", L"", Layout::kNone},
      {kColorButtonAutomatic, L"", L"More Colors...", Layout::kMoreColors},
  };
  for (const Case& c : cases) {
    m_Button.SetColor(c.m_Color);
    m_Button.SetDefaultText(c.m_Default);
    m_Button.SetCustomText(c.m_Custom);
    int chosen = 99;
    m_Parent.m_Script = [&] { chosen = m_Button.ChosenEntry(); };
    Script script{{RunScript(), Key(VK_ESCAPE)}};
    Click(script);
    EXPECT_EQ(chosen, c.m_Expected) << std::hex << c.m_Color;
  }
}

TEST_F(ColorButtonTest, AttachingMakesTheButtonOwnerDrawn) {
  EXPECT_EQ(GetWindowLongPtrW(m_Button, GWL_STYLE) & BS_OWNERDRAW, BS_OWNERDRAW);
}

TEST_F(ColorButtonTest, TheMouseOverStateRepaintsTheButtonOnEachChange) {
  const auto repainted = [&](UINT message) {
    ValidateRect(m_Button, nullptr);
    m_Button.SendMessage(message, 0, MAKELPARAM(5, 5));
    return GetUpdateRect(m_Button, nullptr, FALSE) != 0;
  };
  EXPECT_FALSE(m_Button.IsMouseOver());
  EXPECT_TRUE(repainted(WM_MOUSEMOVE));
  EXPECT_TRUE(m_Button.IsMouseOver());
  EXPECT_TRUE(repainted(WM_MOUSELEAVE));
  EXPECT_FALSE(m_Button.IsMouseOver());
  EXPECT_TRUE(repainted(WM_MOUSEMOVE));
  EXPECT_TRUE(m_Button.IsMouseOver());
}

COLORREF ChosenFill() {
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const auto channel = [&](int shift) {
    return ((((menu >> shift) & 0xFF) * 207 + ((highlight >> shift) & 0xFF) * 48) >> 8) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

COLORREF HotFill() {
  BOOL flat = FALSE;
  const bool flatMenus = SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
  return GetSysColor(flatMenus ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
}

TEST_F(ColorButtonTest, ThePaletteDrawsHotChosenAndPlainEntries) {
  m_Button.SetColor(0xC0C0C0);
  struct Probe {
    int m_Entry;
    int m_Dx;
    int m_Dy;
    COLORREF m_Expected;
  };
  // Cells: frame and fill of the highlight at the edge, then the box's shadow frame and colour.
  // Text rows keep a margin of the background around the highlight.
  const std::vector<Probe> hotCell = {
      {9, 0, 0, GetSysColor(COLOR_HIGHLIGHT)},
      {9, 1, 1, HotFill()},
      {9, 2, 2, GetSysColor(COLOR_BTNSHADOW)},
      {9, 9, 9, 0x2068FF},
      {31, 0, 0, GetSysColor(COLOR_HIGHLIGHT)},
      {31, 1, 1, ChosenFill()},
      {31, 9, 9, 0xC0C0C0},
      {5, 0, 0, GetSysColor(COLOR_MENU)},
      {5, 1, 1, GetSysColor(COLOR_MENU)},
      {5, 2, 2, GetSysColor(COLOR_BTNSHADOW)},
      {5, 9, 9, 0x8B0000},
      {Layout::kAutomatic, 2, 2, GetSysColor(COLOR_MENU)},
  };
  const std::vector<Probe> hotRow = {
      {Layout::kAutomatic, 1, 1, GetSysColor(COLOR_MENU)},
      {Layout::kAutomatic, 2, 2, GetSysColor(COLOR_HIGHLIGHT)},
      {Layout::kAutomatic, 3, 3, HotFill()},
      {9, 0, 0, GetSysColor(COLOR_MENU)},
      {9, 9, 9, 0x2068FF},
      {Layout::kMoreColors, 2, 2, GetSysColor(COLOR_MENU)},
  };
  const auto check = [&](const DibCanvas& canvas, const std::vector<Probe>& probes,
                         const char* name) {
    for (const Probe& p : probes) {
      const RECT rc = m_Button.PickerLayout().EntryRect(p.m_Entry);
      EXPECT_EQ(canvas.at(rc.left + p.m_Dx, rc.top + p.m_Dy), p.m_Expected)
          << name << ": entry " << p.m_Entry << " at +" << p.m_Dx << ",+" << p.m_Dy;
    }
  };
  m_Parent.m_Script = [&] {
    const SIZE size = m_Button.PickerLayout().WindowSize();
    DibCanvas cells(size.cx, size.cy);
    m_Button.SetHotCell(9);
    m_Button.OnPickerPaint(cells.dc());
    check(cells, hotCell, "hot cell");
    DibCanvas rows(size.cx, size.cy);
    m_Button.SetHotCell(Layout::kAutomatic);
    m_Button.OnPickerPaint(rows.dc());
    check(rows, hotRow, "hot row");
    PostMessageW(m_Button.PickerWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  Script script{{RunScript()}};
  Click(script);
  EXPECT_EQ(m_Button.GetColor(), 0xC0C0C0u);
}

TEST_F(ColorButtonTest, ThePaletteRepaintsOnPaletteChangesFromOtherWindows) {
  bool fromItself = true;
  bool fromOther = false;
  bool query = false;
  m_Parent.m_Script = [&] {
    HWND picker = m_Button.PickerWindow();
    const auto repainted = [&](UINT message, WPARAM wParam) {
      ValidateRect(picker, nullptr);
      SendMessageW(picker, message, wParam, 0);
      return GetUpdateRect(picker, nullptr, FALSE) != 0;
    };
    fromItself = repainted(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(picker));
    fromOther = repainted(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(m_Parent.m_hWnd));
    query = repainted(WM_QUERYNEWPALETTE, 0);
    PostMessageW(picker, WM_KEYDOWN, VK_ESCAPE, 0);
  };
  Script script{{RunScript()}};
  Click(script);
  EXPECT_FALSE(fromItself);
  EXPECT_TRUE(fromOther);
  EXPECT_TRUE(query);
}

struct MonitorRecord {
  bool m_Found = true;
  RECT m_Work{};
  HWND m_Window = nullptr;
  DWORD m_Flags = 0;
};
MonitorRecord g_Monitor;

HMONITOR WINAPI FakeMonitorFromWindow(HWND hWnd, DWORD flags) {
  g_Monitor.m_Window = hWnd;
  g_Monitor.m_Flags = flags;
  return g_Monitor.m_Found ? reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(0x1234)) : nullptr;
}

BOOL WINAPI FakeGetMonitorInfo(HMONITOR, LPMONITORINFO info) {
  if (info->cbSize != sizeof(MONITORINFO)) {
    return FALSE;
  }
  info->rcMonitor = g_Monitor.m_Work;
  info->rcWork = g_Monitor.m_Work;
  return TRUE;
}

TEST_F(ColorButtonTest, ThePaletteOpensInsideTheButtonsWorkArea) {
  RECT b;
  m_Button.GetWindowRect(&b);
  // Opens the palette with a click and closes it again: where it opened.
  const auto openedPicker = [&] {
    RECT picker{};
    m_Parent.m_Script = [&] {
      GetWindowRect(m_Button.PickerWindow(), &picker);
      PostMessageW(m_Button.PickerWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    Script script{{RunScript()}};
    Click(script);
    m_Parent.m_Script = nullptr;
    return picker;
  };
  const long screenRight = GetSystemMetrics(SM_CXSCREEN);
  const long screenBottom = GetSystemMetrics(SM_CYSCREEN);
  enum Expect {
    kBelow,
    kAtRight,
    kAtLeft,
    kAbove
  };
  struct Case {
    const char* m_Name;
    bool m_Lookup;
    bool m_Found;
    RECT m_Work;
    Expect m_Expect;
  };
  const Case cases[] = {
      {"room below",
       true,
       true,
       {b.left - 500, b.top - 500, b.right + 500, b.bottom + 500},
       kBelow},
      {"right edge",
       true,
       true,
       {b.left - 500, b.top - 500, b.left + 60, b.bottom + 500},
       kAtRight},
      {"left edge", true, true, {b.left + 20, b.top - 500, b.right + 500, b.bottom + 500}, kAtLeft},
      {"bottom edge",
       true,
       true,
       {b.left - 500, b.top - 500, b.right + 500, b.bottom + 20},
       kAbove},
      // No monitor found, or no lookup at all: the whole screen.
      {"no monitor", true, false, {0, 0, 0, 0}, kBelow},
      {"no lookup", false, false, {0, 0, 0, 0}, kBelow},
  };
  for (const Case& c : cases) {
    g_Monitor = MonitorRecord{c.m_Found, c.m_Work};
    CColorButton::SystemHooks().m_MonitorFromWindow = c.m_Lookup ? FakeMonitorFromWindow : nullptr;
    CColorButton::SystemHooks().m_GetMonitorInfo = c.m_Lookup ? FakeGetMonitorInfo : nullptr;
    const RECT picker = openedPicker();
    const SIZE size = m_Button.PickerLayout().WindowSize();
    EXPECT_EQ(picker.right - picker.left, size.cx) << c.m_Name;
    EXPECT_EQ(picker.bottom - picker.top, size.cy) << c.m_Name;
    switch (c.m_Expect) {
      case kBelow:
        EXPECT_EQ(picker.left, b.left) << c.m_Name;
        EXPECT_EQ(picker.top, b.bottom) << c.m_Name;
        break;
      case kAtRight:
        EXPECT_EQ(picker.right, c.m_Work.right) << c.m_Name;
        EXPECT_EQ(picker.top, b.bottom) << c.m_Name;
        break;
      case kAtLeft:
        EXPECT_EQ(picker.left, c.m_Work.left) << c.m_Name;
        break;
      case kAbove:
        EXPECT_EQ(picker.left, b.left) << c.m_Name;
        EXPECT_EQ(picker.bottom, b.top) << c.m_Name;
        break;
    }
    if (c.m_Lookup) {
      EXPECT_EQ(g_Monitor.m_Window, m_Button.m_hWnd) << c.m_Name;
      EXPECT_EQ(g_Monitor.m_Flags, static_cast<DWORD>(MONITOR_DEFAULTTONEAREST)) << c.m_Name;
    }
  }
  // Without a lookup the screen's own edges hold: near its bottom-right corner the palette opens
  // above the button and ends at the screen's right edge.
  m_Parent.SetWindowPos(nullptr, screenRight - 60, screenBottom - 60, 400, 300,
                        SWP_NOZORDER | SWP_NOACTIVATE);
  m_Button.GetWindowRect(&b);
  const RECT picker = openedPicker();
  EXPECT_EQ(picker.right, screenRight);
  EXPECT_EQ(picker.bottom, b.top);
}

TEST_F(ColorButtonTest, MoreColorsDuringTrackSelectionPreviewsThenSettlesOrUndoes) {
  m_Button.SetTrackSelection(true);
  m_Button.SetDefaultColor(0x123456);
  struct Case {
    BOOL m_Answer;
    std::vector<UINT> m_Codes;
    std::vector<COLORREF> m_Colors;
    COLORREF m_End;
  };
  const Case cases[] = {
      {TRUE,
       {kColorButtonDropDown, kColorButtonSelChange, kColorButtonSelChange, kColorButtonCloseUp,
        kColorButtonSelEndOK},
       {0x0000FF, 0x123456, 0x345678, 0x345678, 0x345678},
       0x345678},
      {FALSE,
       {kColorButtonDropDown, kColorButtonSelChange, kColorButtonSelChange, kColorButtonCloseUp,
        kColorButtonSelEndCancel},
       {0x0000FF, 0x123456, 0x0000FF, 0x0000FF, 0x0000FF},
       0x0000FF},
  };
  for (const Case& c : cases) {
    g_Choose = ChooseColorRecord{};
    g_Choose.m_Answer = c.m_Answer;
    g_Choose.m_Result = 0x345678;
    m_Button.SetColor(0x0000FF);
    // Left from nothing: "More Colors...", previewed as the default colour.
    Script script{{Key(VK_LEFT), Key(VK_RETURN)}};
    Click(script);
    EXPECT_EQ(g_Choose.m_Calls, 1);
    // The dialog starts at the colour the button shows.
    EXPECT_EQ(g_Choose.m_Initial, 0x123456u);
    EXPECT_EQ(m_Parent.Codes(), c.m_Codes) << c.m_Answer;
    std::vector<COLORREF> colors;
    for (const NotifyRecorder::Note& n : m_Parent.m_Notes) {
      colors.push_back(n.m_Color);
    }
    EXPECT_EQ(colors, c.m_Colors) << c.m_Answer;
    EXPECT_EQ(m_Button.GetColor(), c.m_End);
  }
}

TEST_F(ColorButtonTest, AQuitClosesThePaletteCancelledAndStaysForTheThreadsLoop) {
  m_Button.SetColor(0x0000FF);
  Script script{{Key(VK_RIGHT), Message(nullptr, WM_QUIT, 7, 0)}};
  Click(script);
  EXPECT_EQ(m_Parent.Codes(), (std::vector<UINT>{kColorButtonDropDown, kColorButtonCloseUp,
                                                 kColorButtonSelEndCancel}));
  EXPECT_EQ(m_Button.GetColor(), 0x0000FFu);
  EXPECT_EQ(m_Button.PickerWindow(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  MSG quit{};
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(ColorButtonTest, KeyRoadsSkipTheRowsWithoutText) {
  const std::vector<UINT> chosen = {kColorButtonDropDown, kColorButtonSelChange,
                                    kColorButtonCloseUp, kColorButtonSelEndOK};
  const std::vector<UINT> cancelled = {kColorButtonDropDown, kColorButtonCloseUp,
                                       kColorButtonSelEndCancel};
  struct Case {
    const wchar_t* m_Default;
    const wchar_t* m_Custom;
    std::vector<MSG> m_Keys;
    std::vector<UINT> m_Codes;
    COLORREF m_End;
    int m_DialogCalls;
  };
  const Case cases[] = {
      {L"", L"More Colors...", {Key(VK_RIGHT), Key(VK_RETURN)}, chosen, 0x000000, 0},
      {L"", L"More Colors...", {Key(VK_LEFT), Key(VK_RIGHT), Key(VK_RETURN)}, chosen, 0x000000, 0},
      {L"", L"More Colors...", {Key(VK_LEFT), Key(VK_RETURN)}, cancelled, 0x0000FF, 1},
      {L"Automatic", L"", {Key(VK_LEFT), Key(VK_RETURN)}, chosen, 0xFFFFFF, 0},
      {L"Automatic", L"", {Key(VK_RIGHT), Key(VK_LEFT), Key(VK_RETURN)}, chosen, 0xFFFFFF, 0},
      // Down from nothing: "Automatic"; up past the missing row to cell 39, then a row up.
      {L"Automatic",
       L"",
       {Key(VK_DOWN), Key(VK_UP), Key(VK_UP), Key(VK_RETURN)},
       chosen,
       0xC0C0C0,
       0},
      {L"", L"", {Key(VK_RIGHT), Key(VK_RETURN)}, chosen, 0x000000, 0},
      {L"", L"", {Key(VK_UP), Key(VK_RETURN)}, chosen, 0xFFFFFF, 0},
  };
  for (const Case& c : cases) {
    g_Choose = ChooseColorRecord{};
    g_Choose.m_Answer = FALSE;
    m_Button.SetColor(0x0000FF);
    m_Button.SetDefaultText(c.m_Default);
    m_Button.SetCustomText(c.m_Custom);
    Script script{c.m_Keys};
    Click(script);
    const std::wstring name = std::wstring(L"[") + c.m_Default + L"|" + c.m_Custom + L"] " +
                              std::to_wstring(c.m_Keys.size()) + L" keys";
    EXPECT_EQ(m_Parent.Codes(), c.m_Codes) << std::string(name.begin(), name.end());
    EXPECT_EQ(m_Button.GetColor(), c.m_End) << std::string(name.begin(), name.end());
    EXPECT_EQ(g_Choose.m_Calls, c.m_DialogCalls) << std::string(name.begin(), name.end());
  }
}

}  // namespace

namespace {

// A fatal exception inside the palette's loop or inside the system colour dialog leaves the
// button closed: every window, GDI object and the class of the opening are gone, and the colour
// stays.
TEST_F(ColorButtonTest, AFatalExceptionInsideThePaletteFreesAllItHeld) {
  const GLIB_LogHandlerPtr previousLog =
      GLIB_LogMessage::SetHandler(+[](GLIB_SEVERITY, const wchar_t*, const char*, int) {});
  for (bool inDialog : {false, true}) {
    m_Button.SetColor(0x0000FF);
    HWND picker = nullptr;
    HWND toolTip = nullptr;
    HFONT font = nullptr;
    HPALETTE palette = nullptr;
    m_Parent.m_Script = [&] {
      if (picker == nullptr) {
        picker = m_Button.PickerWindow();
        toolTip = m_Button.PickerToolTip();
      }
      font = m_Button.PickerFont();
      palette = m_Button.PickerPalette();
      throw GLIB_Exception(4, static_cast<const char*>(nullptr), nullptr, 0);
    };
    g_Choose = ChooseColorRecord{};
    g_Choose.m_RunScriptInside = inDialog;
    g_Choose.m_Result = 0x345678;
    std::vector<MSG> messages{RunScript()};
    if (inDialog) {
      // Left from nothing: "More Colors...". The windows are noted before the dialog opens.
      messages = {Message(g_Parent, WM_APP + 1, 0, 0), Key(VK_LEFT), Key(VK_RETURN)};
      m_Parent.m_Note = [&] {
        picker = m_Button.PickerWindow();
        toolTip = m_Button.PickerToolTip();
      };
    }
    Script script{messages};
    Click(script);
    EXPECT_EQ(g_Choose.m_Calls, inDialog ? 1 : 0);
    EXPECT_NE(GLIB_TakePendingFatal(), nullptr) << inDialog;
    ASSERT_NE(picker, nullptr) << inDialog;
    EXPECT_FALSE(IsWindow(picker)) << inDialog;
    ASSERT_NE(toolTip, nullptr) << inDialog;
    EXPECT_FALSE(IsWindow(toolTip)) << inDialog;
    ASSERT_NE(font, nullptr) << inDialog;
    EXPECT_EQ(GetObjectType(font), 0u) << inDialog;
    ASSERT_NE(palette, nullptr) << inDialog;
    EXPECT_EQ(GetObjectType(palette), 0u) << inDialog;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"ColorPicker", &wc)) << inDialog;
    EXPECT_FALSE(m_Button.IsPopupActive()) << inDialog;
    EXPECT_EQ(m_Button.PickerWindow(), nullptr) << inDialog;
    EXPECT_NE(GetCapture(), picker) << inDialog;
    EXPECT_EQ(m_Button.GetColor(), 0x0000FFu) << inDialog << ": the dialog's answer is not taken";
    m_Parent.m_Note = nullptr;
  }
  m_Parent.m_Script = nullptr;
  GLIB_LogMessage::SetHandler(previousLog);
}

}  // namespace
