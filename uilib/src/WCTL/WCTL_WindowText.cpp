#include "WCTL/WCTL_WindowText.h"

#include <vector>

USTR_String WCTL_GetWindowText(HWND window) {
  int const length = GetWindowTextLengthW(window);
  if (length <= 0) {
    return USTR_String();
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  int const copied = GetWindowTextW(window, buffer.data(), length + 1);
  return USTR_String(reinterpret_cast<unsigned short const*>(buffer.data()),
                     static_cast<unsigned long>(copied > 0 ? copied : 0));
}

void WCTL_SetWindowText(HWND window, USTR_String const& text) {
  SetWindowTextW(window, WCTL_WideText(text));
}
