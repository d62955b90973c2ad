#include "WKRX/WKRX_VersionPanel.h"

#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_PanelSizing.h"

#include <algorithm>

namespace {

constexpr RECT kLabelRect{4, 6, 92, 21};
constexpr RECT kListRect{95, 3, 248, 100};
constexpr RECT kInfoRect{250, 4, 271, 25};
constexpr long kListEndMargin = 22;
constexpr long kInfoWidth = 21;

}  // namespace

void WKRX_ComboBox::DrawItem(LPDRAWITEMSTRUCT item) {
  if (item->CtlType != ODT_COMBOBOX || item->hwndItem != m_hWnd || item->itemID == UINT(-1) ||
      static_cast<int>(item->itemID) >= static_cast<int>(SendMessage(CB_GETCOUNT)))
    return;
  const HDC dc = item->hDC;
  const int saved = SaveDC(dc);
  int text = COLOR_MENUTEXT;
  int back = COLOR_MENU;
  if ((item->itemState & ODS_SELECTED) != 0) {
    text = COLOR_MENU;
    back = COLOR_MENUHILIGHT;
  } else if ((item->itemState & ODS_HOTLIGHT) != 0) {
    text = COLOR_MENU;
    back = COLOR_HOTLIGHT;
  }
  FillRect(dc, &item->rcItem, GetSysColorBrush(back));
  SetTextColor(dc, GetSysColor(text));
  SetBkMode(dc, TRANSPARENT);
  const auto* name = reinterpret_cast<const USTR_String*>(item->itemData);
  if (name != nullptr) {
    const GLIB_WString shown = USTR_UStringToWString(*name);
    RECT rect = item->rcItem;
    InflateRect(&rect, -2, 0);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  RestoreDC(dc, saved);
}

WKRX_VersionPanel::WKRX_VersionPanel()
    : m_Info(WKRX_Ids::kIconVersionInfo, WKRX_Ids::kIconVersionInfo, 16) {}

HWND WKRX_VersionPanel::Create(HWND parent, const RECT& rect) {
  RECT bounds = rect;
  return ATL::CWindowImpl<WKRX_VersionPanel>::Create(
      parent, bounds, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_NOPARENTNOTIFY);
}

LRESULT WKRX_VersionPanel::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  m_Label.Create(m_hWnd, kLabelRect, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0,
                 WKRX_Ids::kControlVersionLabel);
  m_Label.SetFont(font);
  const GLIB_WString text = iUSTR_GetLocalizedWString(WKRX_Ids::kTextVersion);
  m_Label.SetText(text);
  const HDC dc = GetDC();
  const HGDIOBJ old = SelectObject(dc, font);
  RECT measured = kLabelRect;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
            DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(dc);
  m_LabelWidth = measured.right - measured.left;
  m_ListLeft = m_LabelWidth + 10;
  m_Label.SetWindowPos(nullptr, measured.left, measured.top, m_LabelWidth,
                       measured.bottom - measured.top, SWP_NOZORDER | SWP_NOACTIVATE);

  RECT list = kListRect;
  m_List.Create(m_hWnd, list, nullptr,
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_OWNERDRAWFIXED | CBS_DROPDOWNLIST, 0,
                WKRX_Ids::kControlVersionList);
  m_List.SetFont(font);
  m_Info.Create(m_hWnd, kInfoRect, WKRX_Ids::kControlVersionInfo);
  return 0;
}

LRESULT WKRX_VersionPanel::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  return WKRX_EraseToButtonFace(m_hWnd, reinterpret_cast<HDC>(wParam));
}

void WKRX_VersionPanel::SetVersions(const std::vector<USTR_String>& names) {
  const size_t count = std::min(names.size(), kMaxEntries);
  for (size_t i = 0; i < count; ++i)
    m_List.SendMessage(CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(&names[i]));
}

void WKRX_VersionPanel::SelectFirstVersion() {
  if (m_List.SendMessage(CB_GETCURSEL) == 1 || m_List.SendMessage(CB_GETCOUNT) < 2)
    return;
  m_List.SendMessage(CB_SETCURSEL, 1);
  SendMessage(WM_COMMAND, MAKEWPARAM(WKRX_Ids::kControlVersionList, CBN_SELCHANGE),
              reinterpret_cast<LPARAM>(m_List.m_hWnd));
}

void WKRX_VersionPanel::SelectVersionSet(const WKRX_VersionSet& versions) {
  for (size_t i = 0; i < versions.size(); ++i) {
    if (versions.test(i)) {
      m_List.SendMessage(CB_SETCURSEL, i);
      return;
    }
  }
  m_List.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(-1));
}

LRESULT WKRX_VersionPanel::OnVersionChosen(WORD, WORD, HWND, BOOL&) {
  const LRESULT chosen = m_List.SendMessage(CB_GETCURSEL);
  if (chosen < 0 || static_cast<size_t>(chosen) >= kMaxEntries)
    return 0;
  m_Selected.reset();
  m_Selected.set(static_cast<size_t>(chosen));
  const auto set = reinterpret_cast<LPARAM>(&m_Selected);
  ::SendMessageW(GetParent(), WKRX_WM_VERSIONSELECTED, 0, set);
  if (m_Frame != nullptr)
    ::SendMessageW(m_Frame, WKRX_WM_VERSIONSELECTED, 0, set);
  return 0;
}

LRESULT WKRX_VersionPanel::OnInfoClicked(WORD, WORD, HWND, BOOL&) {
  ShowVersionInfo();
  return 0;
}

void WKRX_VersionPanel::ShowVersionInfo() {
  if (m_Frame != nullptr)
    ::SendMessageW(m_Frame, WKRX_WM_SHOWVERSIONINFO, 0, 0);
}

void WKRX_VersionPanel::SetPanelWidth(long width) {
  WKRX_SetClientWidth(m_hWnd, width);
}

LRESULT WKRX_VersionPanel::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  Layout(static_cast<short>(LOWORD(lParam)));
  return 0;
}

void WKRX_VersionPanel::Layout(long width) {
  if (!m_List.IsWindow())
    return;
  const bool label = width >= kLabelWidth;
  m_Label.ShowWindow(label ? SW_SHOWNA : SW_HIDE);
  const long left = label ? m_ListLeft : 4;
  // A combo box's window height is its dropped-down height: the list keeps its own.
  m_List.SetWindowPos(nullptr, left, kListRect.top, std::max(width - kListEndMargin - left, 0L),
                      kListRect.bottom - kListRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT info;
  m_Info.GetWindowRect(&info);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&info), 2);
  m_Info.SetWindowPos(nullptr, width - 20, info.top, kInfoWidth, info.bottom - info.top,
                      SWP_NOZORDER | SWP_NOACTIVATE);
}
