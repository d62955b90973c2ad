#include "UCTL/UCTL_Control.h"

#include <algorithm>

long UCTL_PopupButton::IndexOfMenuItem(USTR_String const& text) {
  USTR_StringVector const items = MenuItems();
  auto const found = std::find(items.begin(), items.end(), text);
  return found == items.end() ? -1 : static_cast<long>(found - items.begin());
}

void UCTL_PopupButton::SelectMenuItem(USTR_String const& text) {
  SetControlValue(IndexOfMenuItem(text));
}
