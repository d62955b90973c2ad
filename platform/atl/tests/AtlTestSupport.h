// What the stand-in's tests share: window names unique to this process, a fixture that captures
// log lines and guard exits, and the stand-in language libraries.
#pragma once

#include <atlbase.h>
#include <atlwin.h>

#include "win/GuardCapture.h"

// A resource-only library built beside the test program, loaded as the shell loads a language
// library: resources only, nothing run.
inline HMODULE LoadTestLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file(path, length);
  file.erase(file.find_last_of(L"\\/") + 1);
  file += name;
  return LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
}

// The two stand-in language libraries, loaded once for the whole run; each test leaves the
// module object's resource search as it found it.
class ResourceSearchTest : public GuardCapturingTest {
protected:
  static void SetUpTestSuite() {
    if (sm_Language == nullptr) {
      sm_Language = LoadTestLibrary(L"AtlTestLanguage.dll");
      sm_Strings = LoadTestLibrary(L"AtlTestStrings.dll");
    }
  }
  void SetUp() override {
    GuardCapturingTest::SetUp();
    ASSERT_NE(sm_Language, nullptr) << "AtlTestLanguage.dll not found beside the test program";
    ASSERT_NE(sm_Strings, nullptr) << "AtlTestStrings.dll not found beside the test program";
  }
  void TearDown() override {
    _AtlBaseModule.SetResourceInstance(nullptr);
    GuardCapturingTest::TearDown();
  }

  static inline HMODULE sm_Language = nullptr;
  static inline HMODULE sm_Strings = nullptr;
};
