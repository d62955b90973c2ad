// A dialog push button that chooses a colour: its face shows the colour beside a drop-down
// arrow, a click opens a palette of 40 named colours with an "Automatic" row above and a
// "More Colors..." row below (the system colour dialog). The parent learns of every step through
// WM_NOTIFY; it must reflect WM_DRAWITEM and WM_COMMAND to the button.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <atlbase.h>
#include <atlwin.h>

#include <string>

// The automatic colour: the button shows its default colour.
constexpr COLORREF kColorButtonAutomatic = 0xFF000000;

// WM_NOTIFY codes the button sends its parent.
enum : UINT {
  kColorButtonSelChange = 0x8000,
  kColorButtonDropDown = 0x8001,
  kColorButtonCloseUp = 0x8002,
  kColorButtonSelEndOK = 0x8003,
  kColorButtonSelEndCancel = 0x8004,
};

struct NMCOLORBUTTON {
  NMHDR hdr;
  COLORREF clr;
  BOOL fColorValid;
};

// The palette's arithmetic: layout, hit test, the keyboard cycle and which entry is hot or
// chosen. Entries: 0..39 the cells, kAutomatic, kMoreColors, kNone.
class WTLU_ColorPickerLayout {
public:
  static constexpr int kNone = -1;
  static constexpr int kMoreColors = -2;
  static constexpr int kAutomatic = -3;
  static constexpr int kColorCount = 40;
  static constexpr int kColumns = 8;
  static constexpr int kRows = (kColorCount + kColumns - 1) / kColumns;
  static constexpr int kCellSize = 18;

  struct Entry {
    COLORREF m_Color;
    const wchar_t* m_Name;
  };
  static const Entry sm_Colors[kColorCount];

  // Lays the palette out for text rows of textSize (either may be absent) inside margins.
  void Layout(bool hasDefault, bool hasCustom, SIZE textSize, SIZE margins);

  int HitTest(POINT point) const;
  // The entry an arrow key leads to: delta -1, +1, -8 or +8.
  int Step(int from, int delta) const;
  // The entry that matches colour when the palette opens.
  int ChosenFor(COLORREF color) const;
  // The rectangle an entry is drawn in; empty for kNone.
  RECT EntryRect(int entry) const;

  SIZE WindowSize() const { return m_WindowSize; }
  bool HasDefault() const { return m_HasDefault; }
  bool HasCustom() const { return m_HasCustom; }

private:
  int Skip(int entry, int direction) const;

  bool m_HasDefault = true;
  bool m_HasCustom = true;
  RECT m_DefaultRect{};
  RECT m_CustomRect{};
  RECT m_Grid{};
  SIZE m_WindowSize{};
};

// Where the palette opens: below the button, moved inside the work area; above the button when
// it would pass the bottom.
RECT WTLU_PlaceColorPicker(RECT picker, const RECT& button, const RECT& workArea);

class CColorButton : public ATL::CWindowImpl<CColorButton> {
public:
  using ChooseColorFn = BOOL(WINAPI*)(LPCHOOSECOLORW);
  using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
  using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

  // Replaceable system calls: the colour dialog and the monitor lookup (looked up in user32 at
  // run time; null gives the whole screen).
  struct Hooks {
    ChooseColorFn m_ChooseColor;
    MonitorFromWindowFn m_MonitorFromWindow;
    GetMonitorInfoFn m_GetMonitorInfo;
  };
  static Hooks& SystemHooks();

  // The custom colours of the system dialog, shared by every button.
  static COLORREF sm_CustomColors[16];

  CColorButton();

  BOOL AttachToButton(HWND hWnd);

  COLORREF GetColor() const { return m_Color; }
  void SetColor(COLORREF color);
  COLORREF GetDefaultColor() const { return m_DefaultColor; }
  void SetDefaultColor(COLORREF color) { m_DefaultColor = color; }
  void SetDefaultText(const wchar_t* text) { m_DefaultText = text ? text : L""; }
  void SetCustomText(const wchar_t* text) { m_CustomText = text ? text : L""; }
  void SetTrackSelection(bool track) { m_TrackSelection = track; }
  bool IsPopupActive() const { return m_PopupActive; }
  bool IsMouseOver() const { return m_MouseOver; }

  // Draws the face as for an owner-draw item of the given state (ODS_ bits) over rc.
  void DrawFace(HDC dc, RECT rc, UINT state);

  // The palette's state while it is open, for the loop and its tests.
  int HotEntry() const { return m_Hot; }
  int ChosenEntry() const { return m_Chosen; }
  COLORREF PickedColor() const { return m_Picked; }
  const WTLU_ColorPickerLayout& PickerLayout() const { return m_Layout; }
  HWND PickerWindow() const { return m_Picker; }
  HWND PickerToolTip() const { return m_ToolTip; }
  HFONT PickerFont() const { return m_Font; }
  HPALETTE PickerPalette() const { return m_Palette; }

  BEGIN_MSG_MAP(CColorButton)
  MESSAGE_HANDLER(ATL::OCM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(ATL::OCM_COMMAND, OnCommand)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  END_MSG_MAP()

  // The palette window's own procedure.
  static LRESULT CALLBACK PickerWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  void SetHotCell(int entry);
  // Handles a key in the palette; true when the palette closes.
  bool OnPickerKey(WPARAM key);
  // Draws one entry, or the whole open palette, on any device context.
  void DrawPickerCell(HDC dc, int entry);
  void OnPickerPaint(HDC dc);

private:
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);

  class PickerResources;

  void OnClicked();
  bool ShowPicker();
  void LayoutPicker();
  void AddPickerToolTips();
  void RunPickerLoop();
  bool ChooseCustomColor();
  void Notify(UINT code, COLORREF color, BOOL valid = TRUE);

  COLORREF m_Color = kColorButtonAutomatic;
  COLORREF m_DefaultColor;
  std::wstring m_DefaultText = L"Automatic";
  std::wstring m_CustomText = L"More Colors...";
  bool m_PopupActive = false;
  bool m_TrackSelection = false;
  bool m_MouseOver = false;

  // While the palette is open.
  struct PickerColors {
    COLORREF m_Background;
    COLORREF m_HighlightBorder;
    COLORREF m_Highlight;
    COLORREF m_HighlightText;
    COLORREF m_Text;
    COLORREF m_Chosen;
  };
  WTLU_ColorPickerLayout m_Layout;
  PickerColors m_Colors{};
  bool m_FlatMenus = false;
  int m_Hot = WTLU_ColorPickerLayout::kNone;
  int m_Chosen = WTLU_ColorPickerLayout::kNone;
  COLORREF m_Picked = kColorButtonAutomatic;
  bool m_PickerOK = false;
  HWND m_Picker = nullptr;
  HWND m_ToolTip = nullptr;
  HFONT m_Font = nullptr;
  HPALETTE m_Palette = nullptr;
};
