#include <gtest/gtest.h>

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <functional>
#include <string>
#include <vector>

#include "WTLU/WTLU_ColorButton.h"

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

// A 32-bit DIB section to draw on.
class DibCanvas {
public:
  DibCanvas(int width, int height) : m_Width(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_DC = CreateCompatibleDC(nullptr);
    m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &m_Bits, nullptr, 0);
    m_Old = SelectObject(m_DC, m_Bitmap);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;
  ~DibCanvas() {
    SelectObject(m_DC, m_Old);
    DeleteObject(m_Bitmap);
    DeleteDC(m_DC);
  }
  HDC dc() const { return m_DC; }
  // As a COLORREF.
  COLORREF at(int x, int y) const {
    GdiFlush();
    const DWORD p = static_cast<const DWORD*>(m_Bits)[y * m_Width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

private:
  int m_Width;
  HDC m_DC;
  HBITMAP m_Bitmap;
  HGDIOBJ m_Old;
  void* m_Bits = nullptr;
};

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

  BEGIN_MSG_MAP(NotifyRecorder)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  MESSAGE_HANDLER(WM_APP, OnScript)
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
HWND g_Parent = nullptr;

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
};
ChooseColorRecord g_Choose;

BOOL WINAPI FakeChooseColor(LPCHOOSECOLORW cc) {
  ++g_Choose.m_Calls;
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

}  // namespace
