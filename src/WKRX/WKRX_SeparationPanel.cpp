// The colour types use names that windows.h makes macros of: they are read first.
#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"
#include "IMPN/IMPN_Separation.h"

#include "WKRX/WKRX_SeparationPanel.h"

#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_CursorManager.h"
#include "WKRX/WKRX_MessageDialog.h"
#include "WKRX/WKRX_PanelSizing.h"
#include "WKRX/WKRX_System.h"
#include "WTLU/WTLU_ColorButton.h"

#include <cwchar>

namespace {

constexpr RECT kSwatchRect{2, 2, 20, 20};
constexpr RECT kCheckBoxRect{25, 5, 40, 18};
constexpr RECT kInkTypeRect{45, 3, 61, 19};
constexpr RECT kOpacityRect{66, 2, 116, 20};
constexpr RECT kDensityRect{66, 3, 112, 19};
constexpr RECT kTextBoxRect{119, 3, 265, 19};
constexpr int kRightMargin = 5;

bool KeyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

// The user is told once per run that custom colours cannot be saved; the colour itself still
// applies.
void WarnCustomColorNotSaved() {
  static bool sm_Warned = false;
  if (sm_Warned)
    return;
  sm_Warned = true;
  WKRX_MessageDialog::ShowWarningById(WKRX_Ids::kTextCustomColors,
                                      WKRX_Ids::kTextCustomColorNotSaved,
                                      WKRX_Ids::kTextCustomColorNotSavedDetail);
}

}  // namespace

COLORREF WKRX_SeparationPanel::sm_CustomColors[16] = {};

COLORREF WKRX_DisplayColor(const IMPN_Ink& ink) {
  IMPN_RGBColor8 shown;
  ink.GetColor(shown);
  return RGB(shown.red, shown.green, shown.blue);
}

bool WKRX_SameInk(const IMPN_Ink& a, const IMPN_Ink& b) {
  return a.GetInkColor() == b.GetInkColor() && a.GetOpacity() == b.GetOpacity() &&
         a.IsUnknown() == b.IsUnknown() && a.GetName() == b.GetName();
}

GLIB_WString WKRX_DensityText(float fraction) {
  wchar_t text[32] = {};
  std::swprintf(text, 32, L"%6.1f %%", static_cast<double>(fraction) * 100.0);
  return text;
}

GLIB_WString WKRX_FillNumbers(const GLIB_WString& text, std::initializer_list<long> numbers) {
  GLIB_WString filled;
  auto next = numbers.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L'i' && next != numbers.end()) {
      filled += std::to_wstring(*next++);
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

HWND WKRX_SeparationPanel::Create(HWND parent, const RECT& rect) {
  RECT bounds = rect;
  return ATL::CWindowImpl<WKRX_SeparationPanel>::Create(
      parent, bounds, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
      WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY);
}

LRESULT WKRX_SeparationPanel::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HINSTANCE instance = ATL::_AtlBaseModule.GetModuleInstance();
  m_Swatch.Create(m_hWnd, kSwatchRect, WKRX_Ids::kControlInkSwatch);
  m_CheckBox = CreateWindowExW(
      0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, kCheckBoxRect.left,
      kCheckBoxRect.top, kCheckBoxRect.right - kCheckBoxRect.left,
      kCheckBoxRect.bottom - kCheckBoxRect.top, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(WKRX_Ids::kControlVisible)), instance, nullptr);
  m_InkType.Create(m_hWnd, kInkTypeRect, WKRX_Ids::kControlInkType);
  m_Opacity.Create(m_hWnd, kOpacityRect, WKRX_Ids::kControlOpacity);
  m_TextBox.Create(m_hWnd, kTextBoxRect, WKRX_Ids::kControlTextBox);
  m_TextBox.SetFont(font);
  const HWND density = CreateWindowExW(
      0, L"STATIC", L"", WS_CHILD | SS_CENTER, kDensityRect.left, kDensityRect.top,
      kDensityRect.right - kDensityRect.left, kDensityRect.bottom - kDensityRect.top, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(WKRX_Ids::kControlDensity)), instance, nullptr);
  m_Density.SubclassWindow(density);
  m_Density.SetFont(font);
  if (m_Separation == nullptr)
    return 0;

  ShowInks();
  ::SendMessageW(m_CheckBox, BM_SETCHECK, m_Separation->IsVisible() ? BST_CHECKED : BST_UNCHECKED,
                 0);
  m_InkType.SetState(m_Separation->IsTransparent());
  AddTexts();
  m_TextBox.SetTextIndex(0);
  return 0;
}

void WKRX_SeparationPanel::AddTexts() {
  const IMPN_Separation& separation = *m_Separation;
  const unsigned code = separation.GetColorCode();
  if (code >= 1 && code <= 7)
    m_TextBox.AddText(iUSTR_GetLocalizedWString(WKRX_Ids::kTextCyan + code - 1));
  else
    m_TextBox.AddText(GLIB_NToWString(separation.GetInkName()));
  m_TextBox.AddText(separation.GetFileSpec().Name());
  if (separation.HasCMYKEquivalent()) {
    const IMPN_CMYKColor16& cmyk = separation.GetCMYKEquivalent();
    const auto percent = [](std::uint16_t value) {
      return static_cast<long>(static_cast<std::uint32_t>(value) * 100u / 65535u);
    };
    m_TextBox.AddText(WKRX_FillNumbers(
        iUSTR_GetLocalizedWString(WKRX_Ids::kTextCMYKEquivalent),
        {percent(cmyk.cyan), percent(cmyk.magenta), percent(cmyk.yellow), percent(cmyk.black)}));
  }
}

void WKRX_SeparationPanel::ShowInks() {
  const IMPN_Ink& fileInk = m_Separation->GetFileInk();
  if (!fileInk.IsUnknown())
    m_Swatch.SetDefaultColor(WKRX_DisplayColor(fileInk));
  m_Swatch.SetCurrentColor(WKRX_DisplayColor(m_Separation->GetInk()));
  if (m_Opacity.IsWindow())
    m_Opacity.SetPos(static_cast<int>(m_Separation->GetInk().GetOpacity()));
}

LRESULT WKRX_SeparationPanel::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  return WKRX_EraseToButtonFace(m_hWnd, reinterpret_cast<HDC>(wParam));
}

void WKRX_SeparationPanel::SetPanelWidth(long width) {
  WKRX_SetClientWidth(m_hWnd, width);
}

LRESULT WKRX_SeparationPanel::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_Width = static_cast<short>(LOWORD(lParam));
  if (m_TextBox.IsWindow()) {
    RECT box;
    m_TextBox.GetWindowRect(&box);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&box), 2);
    m_TextBox.SetWindowPos(nullptr, 0, 0, std::max<long>(m_Width - kRightMargin - box.left, 0),
                           box.bottom - box.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateChildVisibility();
  return 0;
}

void WKRX_SeparationPanel::UpdateChildVisibility() {
  if (!IsWindow())
    return;
  m_TextBox.ShowWindow(m_Width >= kTextBoxWidth ? SW_SHOWNA : SW_HIDE);
  m_Opacity.ShowWindow(m_Width >= kTrackBarWidth && !m_InfoMode ? SW_SHOWNA : SW_HIDE);
  m_Density.ShowWindow(m_InfoMode ? SW_SHOWNA : SW_HIDE);
}

void WKRX_SeparationPanel::SetInfoModeEnabled(bool enabled) {
  m_InfoMode = enabled;
  m_Density.SetControlText(USTR_String(L"-"));
  UpdateChildVisibility();
}

void WKRX_SeparationPanel::RefreshInkDensity(const IMPN_RectT<long>& rect) {
  m_Density01 = m_Separation->CalculateInkDensity(rect);
  ShowDensity();
}

void WKRX_SeparationPanel::ShowDensity() {
  const GLIB_WString text = m_Separation->IsVisible() ? WKRX_DensityText(m_Density01) : L"-";
  m_Density.SetControlText(USTR_String(text));
}

float WKRX_SeparationPanel::GetInkDensity() const {
  return m_Separation->IsVisible() ? m_Density01 : 0.0f;
}

void WKRX_SeparationPanel::RefreshDefaultInk() {
  const IMPN_Ink previousDefault = m_Separation->GetFileInk();
  const IMPN_Ink previousCurrent = m_Separation->GetInk();
  const bool transparent = m_Separation->IsTransparent();
  m_Separation->InitInk();
  // The user's own ink and lay-down survive a change of the colour databases.
  if (!WKRX_SameInk(previousCurrent, previousDefault))
    m_Separation->SetInk(previousCurrent);
  else
    m_Separation->SetInk(m_Separation->GetFileInk());
  if (m_Separation->IsTransparent() != transparent)
    m_Separation->SetTransparent(transparent);
  ShowInks();
}

void WKRX_SeparationPanel::SetVisibility(bool visible) {
  m_Separation->SetVisible(visible);
  ::SendMessageW(m_CheckBox, BM_SETCHECK, visible ? BST_CHECKED : BST_UNCHECKED, 0);
}

void WKRX_SeparationPanel::DrawBottomMark(bool on) {
  RECT client;
  GetClientRect(&client);
  const HDC dc = GetDC();
  RECT line{client.left, client.bottom - 1, client.right, client.bottom};
  FillRect(dc, &line, GetSysColorBrush(on ? COLOR_3DDKSHADOW : COLOR_BTNFACE));
  OffsetRect(&line, 0, -1);
  FillRect(dc, &line,
           on ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(dc);
}

void WKRX_SeparationPanel::DrawTopMark(bool on) {
  RECT client;
  GetClientRect(&client);
  const HDC dc = GetDC();
  RECT line{client.left, client.top, client.right, client.top + 1};
  FillRect(dc, &line,
           on ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(dc);
}

void WKRX_SeparationPanel::SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (m_Frame != nullptr)
    ::SendMessageW(m_Frame, message, wParam, lParam);
}

void WKRX_SeparationPanel::SendToParent(UINT message, WPARAM wParam, LPARAM lParam) const {
  ::SendMessageW(GetParent(), message, wParam, lParam);
}

LRESULT WKRX_SeparationPanel::OnHScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (reinterpret_cast<HWND>(lParam) != m_Opacity.m_hWnd) {
    handled = FALSE;
    return 0;
  }
  const int code = LOWORD(wParam);
  int position = 0;
  if (code >= SB_LINEUP && code <= SB_PAGEDOWN)
    position = m_Opacity.GetPos();
  else if (code == SB_THUMBPOSITION)
    position = static_cast<short>(HIWORD(wParam));
  else
    return 0;
  IMPN_Ink ink = m_Separation->GetInk();
  ink.SetOpacity(position);
  TakeInk(ink);
  return 0;
}

void WKRX_SeparationPanel::TakeInk(const IMPN_Ink& ink) {
  m_Separation->SetInk(ink);
  ShowInks();
  SendToFrame(WKRX_WM_INKCHANGED, 0, reinterpret_cast<LPARAM>(m_Separation));
}

LRESULT WKRX_SeparationPanel::OnBeginPanelDrag(UINT, WPARAM wParam, LPARAM, BOOL&) {
  WKRX_CursorManager::SetClosedHandCursor();
  SendToParent(WKRX_WM_BEGINPANELDRAG, wParam, reinterpret_cast<LPARAM>(m_hWnd));
  return 0;
}

LRESULT WKRX_SeparationPanel::OnSwatchClicked(WORD, WORD, HWND, BOOL&) {
  const bool control = (WKRX_System::Current().asyncKeyState(VK_CONTROL) & 0x8000) != 0;
  if (control) {
    TakeInk(m_Separation->GetFileInk());
    return 0;
  }
  SendToFrame(WKRX_WM_PALETTEDIALOGBEGIN, 0, 0);
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = GetForegroundWindow();
  choose.rgbResult = m_Swatch.SecondColor();
  choose.lpCustColors = sm_CustomColors;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  const auto chooseColor = CColorButton::SystemHooks().m_ChooseColor;
  if (chooseColor != nullptr && chooseColor(&choose)) {
    const COLORREF chosen = choose.rgbResult;
    const IMPN_Ink& fileInk = m_Separation->GetFileInk();
    IMPN_Ink ink = fileInk;
    IMPN_RGBColor8 colour(GetRValue(chosen), GetGValue(chosen), GetBValue(chosen));
    ink.SetInkColor(colour);
    // A new colour keeps the opacity the track bar shows.
    ink.SetOpacity(m_Separation->GetInk().GetOpacity());
    ink.SetUnknown(false);
    if (fileInk.IsUnknown()) {
      IMPN_ColorDatabase::InsertCustomColor(colour, fileInk.GetName());
      if (IMPN_ColorDatabase::SaveCustomColors() != kIMPN_ColorFileSaved)
        WarnCustomColorNotSaved();
      SendToFrame(WKRX_WM_DEFAULTINKSCHANGED, 0, reinterpret_cast<LPARAM>(m_Separation));
    }
    TakeInk(ink);
  }
  SendToFrame(WKRX_WM_PALETTEDIALOGEND, 0, 0);
  return 0;
}

LRESULT WKRX_SeparationPanel::OnVisibleClicked(WORD, WORD, HWND, BOOL&) {
  const LRESULT state = ::SendMessageW(m_CheckBox, BM_GETCHECK, 0, 0);
  m_Separation->SetVisible(state == BST_CHECKED);
  if (KeyDown(VK_CONTROL))
    SendToParent(WKRX_WM_SETOTHERSOPPOSITE, static_cast<WPARAM>(state),
                 reinterpret_cast<LPARAM>(m_hWnd));
  else if (KeyDown(VK_SHIFT))
    SendToParent(WKRX_WM_SETOTHERSSAME, static_cast<WPARAM>(state),
                 reinterpret_cast<LPARAM>(m_hWnd));
  SendToParent(WKRX_WM_SEPARATIONVISIBILITYCHANGED, 0, reinterpret_cast<LPARAM>(m_Separation));
  SendToFrame(WKRX_WM_SEPARATIONVISIBILITYCHANGED, 0, reinterpret_cast<LPARAM>(m_Separation));
  return 0;
}

LRESULT WKRX_SeparationPanel::OnInkTypeClicked(WORD, WORD, HWND, BOOL&) {
  const bool transparent = !m_Separation->IsTransparent();
  m_InkType.SetState(transparent);
  m_Separation->SetTransparent(transparent);
  SendToFrame(WKRX_WM_SEPARATIONVISIBILITYCHANGED, 0, reinterpret_cast<LPARAM>(m_Separation));
  return 0;
}

LRESULT WKRX_SeparationPanel::OnTextBoxClicked(WORD, WORD, HWND, BOOL&) {
  m_TextBox.ShowNextText();
  if (KeyDown(VK_SHIFT))
    SendToParent(WKRX_WM_SETTEXTINDEX, m_TextBox.TextIndex(), reinterpret_cast<LPARAM>(m_hWnd));
  return 0;
}
