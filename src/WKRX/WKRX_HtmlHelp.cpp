#include "WKRX/WKRX_HtmlHelp.h"

#include <string>
#include <utility>

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// Loaded once, by full path: a help control lying in the current folder is never taken.
HtmlHelpProc LoadedHtmlHelp() {
  static const HtmlHelpProc proc = [] {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
      return HtmlHelpProc(nullptr);
    const std::wstring path = std::wstring(folder, length) + L"\\hhctrl.ocx";
    const HMODULE control = LoadLibraryW(path.c_str());
    if (control == nullptr)
      return HtmlHelpProc(nullptr);
    return reinterpret_cast<HtmlHelpProc>(
        reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpW")));
  }();
  return proc;
}

}  // namespace

HWND WKRX_HtmlHelp::Call(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
  if (Replacement())
    return Replacement()(caller, file, command, data);
  const HtmlHelpProc proc = LoadedHtmlHelp();
  return proc != nullptr ? proc(caller, file, command, data) : nullptr;
}

WKRX_HtmlHelpFunction WKRX_HtmlHelp::Replace(WKRX_HtmlHelpFunction function) {
  return std::exchange(Replacement(), std::move(function));
}

WKRX_HtmlHelpFunction& WKRX_HtmlHelp::Replacement() {
  static WKRX_HtmlHelpFunction replacement;
  return replacement;
}
