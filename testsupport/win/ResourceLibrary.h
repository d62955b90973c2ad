// A resource-only library built beside the test program (a stand-in language library), loaded
// as the shell loads one: resources only, nothing run. Null when it is missing.
#pragma once

#include <windows.h>

#include <string>

inline HMODULE LoadResourceLibraryBesideTests(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file(path, length);
  file.erase(file.find_last_of(L"\\/") + 1);
  file += name;
  return LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
}
