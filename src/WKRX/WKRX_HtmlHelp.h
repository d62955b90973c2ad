// The help viewer, reached through a loader: the help control is loaded from the system folder
// at the first call, and a system without it simply shows no help. Tests put a recorder in the
// loader's place.
#pragma once

#include <windows.h>

#include <functional>

using WKRX_HtmlHelpFunction =
    std::function<HWND(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data)>;

class WKRX_HtmlHelp {
public:
  // HtmlHelpW's commands the program uses.
  static constexpr UINT kDisplayTableOfContents = 0x0001;
  static constexpr UINT kInitialize = 0x001C;
  static constexpr UINT kUninitialize = 0x001D;

  // What HtmlHelpW answers; null when the help control is missing.
  static HWND Call(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

  // Puts function in the loader's place (an empty one restores the loader) and gives back the
  // one it replaced.
  static WKRX_HtmlHelpFunction Replace(WKRX_HtmlHelpFunction function);

private:
  static WKRX_HtmlHelpFunction& Replacement();
};
