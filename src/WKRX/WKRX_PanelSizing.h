// What the separations palette's panels share: the button-face background and a width change
// that keeps the window's height and place.
#pragma once

#include <windows.h>

// Fills the window's client area with the button face; the answer to WM_ERASEBKGND.
inline LRESULT WKRX_EraseToButtonFace(HWND window, HDC dc) {
  RECT client;
  ::GetClientRect(window, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}

// Gives the window a client area of the given width, its frame added; height and place stay.
inline void WKRX_SetClientWidth(HWND window, long width) {
  RECT outer;
  RECT client;
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  const long frame = (outer.right - outer.left) - client.right;
  ::SetWindowPos(window, nullptr, 0, 0, width + frame, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
