#pragma once
// Window texts as the portable controls hand them around.

#include <windows.h>

#include "USTR/USTR_String.h"

USTR_String WCTL_GetWindowText(HWND window);
void WCTL_SetWindowText(HWND window, USTR_String const& text);

// The text's units as the wide characters Windows takes (both are 16 bits wide there).
inline wchar_t const* WCTL_WideText(USTR_String const& text) {
  static_assert(sizeof(wchar_t) == sizeof(unsigned short), "16-bit wide characters");
  return reinterpret_cast<wchar_t const*>(text.c_str());
}
