#include "WCTL/WCTL_PopupButton.h"

#include <algorithm>

#include "UCTL/UCTL_Messages.h"
#include "UWIN/UWIN_SystemInfo.h"
#include "WCTL/WCTL_WindowText.h"

namespace {

// The dropped list shows every entry, up to this many.
constexpr int kMaxVisibleEntries = 15;

}  // namespace

void WCTL_PopupButton::SetControlSize(long width, long height) {
  ResizeClientArea(std::max(width, 0L), std::max(height, 0L));
}

void WCTL_PopupButton::RefreshControl() {
  WCTL_Control::RefreshControl();
  if (m_Title) {
    m_Title->RefreshControl();
  }
}

void WCTL_PopupButton::SetControlVisible(bool visible) {
  WCTL_Control::SetControlVisible(visible);
  if (m_Title) {
    m_Title->SetControlVisible(visible);
  }
}

void WCTL_PopupButton::SetControlEnabled(bool enabled) {
  WCTL_Control::SetControlEnabled(enabled);
  if (m_Title) {
    m_Title->SetControlEnabled(enabled);
  }
}

void WCTL_PopupButton::SetControlValue(long index) {
  if (index == -1) {
    SetCurSel(-1);
    return;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= m_Items.size()) {
    return;
  }
  if (static_cast<std::size_t>(GetCount()) == m_Items.size()) {
    SetCurSel(static_cast<int>(index));
  } else {
    SelectItemByText(m_Items[static_cast<std::size_t>(index)].m_Text);
  }
  BroadcastValue();
}

long WCTL_PopupButton::ControlValue() const {
  USTR_String const selected = ControlValueAsText();
  for (std::size_t i = 0; i < m_Items.size(); ++i) {
    if (m_Items[i].m_Text == selected) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

USTR_String WCTL_PopupButton::ControlValueAsText() const {
  int const selected = GetCurSel();
  if (selected == CB_ERR) {
    return USTR_String();
  }
  int const length = GetLBTextLen(selected);
  if (length <= 0) {
    return USTR_String();
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  int const copied = GetLBText(selected, buffer.data());
  return USTR_String(reinterpret_cast<unsigned short const*>(buffer.data()),
                     static_cast<unsigned long>(copied > 0 ? copied : 0));
}

void WCTL_PopupButton::SetControlTitle(USTR_String const& title) {
  if (m_Title) {
    m_Title->SetControlText(title);
  }
}

USTR_String WCTL_PopupButton::ControlTitle() const {
  return m_Title ? m_Title->ControlText() : USTR_String();
}

void WCTL_PopupButton::SetMenuItems(USTR_StringVector const& items) {
  USTR_String const separator(L"-");
  std::vector<Item> replacement;
  replacement.reserve(items.size());
  for (USTR_String const& text : items) {
    replacement.push_back(Item{text, text != separator});
  }
  m_Items.swap(replacement);
  Refill(USTR_String());
}

void WCTL_PopupButton::SetMenuItemEnabled(long index, bool enabled) {
  USTR_String const selected = ControlValueAsText();
  if (index >= 0 && static_cast<std::size_t>(index) < m_Items.size()) {
    m_Items[static_cast<std::size_t>(index)].m_Enabled = enabled;
  }
  Refill(selected);
}

USTR_StringVector WCTL_PopupButton::MenuItems() {
  USTR_StringVector texts;
  texts.reserve(m_Items.size());
  for (Item const& item : m_Items) {
    texts.push_back(item.m_Text);
  }
  return texts;
}

void WCTL_PopupButton::SelectItemByText(USTR_String const& text) {
  int const found = FindStringExact(-1, WCTL_WideText(text));
  if (found != CB_ERR) {
    SetCurSel(found);
  }
}

void WCTL_PopupButton::Refill(USTR_String const& selectText) {
  while (GetCount() > 0 && DeleteString(0) != CB_ERR) {
  }
  int selection = -1;
  for (Item const& item : m_Items) {
    if (item.m_Enabled) {
      AddString(WCTL_WideText(item.m_Text));
    }
    if (item.m_Text == selectText) {
      selection = GetCount() - 1;
    }
  }
  if (UWIN_GetOSVersion() > 0x500) {
    SetMinVisible(std::min(GetCount(), kMaxVisibleEntries));
  }
  SetCurSel(selection);
}

void WCTL_PopupButton::BroadcastValue() {
  BroadcastMessage(UCTL_ControlValueChangedMessage(ControlID(), ControlValue()));
}

LRESULT WCTL_PopupButton::OnSelectionChange(WORD, WORD, HWND control, BOOL&) {
  if (control != m_hWnd) {
    return 1;
  }
  BroadcastValue();
  return 0;
}
