// What the stand-in's tests share: window names unique to this process, a fixture that captures
// log lines and guard exits, and the stand-in language libraries.
#pragma once

#include <atlbase.h>
#include <atlwin.h>

#include "win/GuardCapture.h"
#include "win/ResourceLibrary.h"

// The two stand-in language libraries, loaded once for the whole run; each test leaves the
// module object's resource search as it found it.
class ResourceSearchTest : public GuardCapturingTest {
protected:
  static void SetUpTestSuite() {
    if (sm_Language == nullptr) {
      sm_Language = LoadResourceLibraryBesideTests(L"AtlTestLanguage.dll");
      sm_Strings = LoadResourceLibraryBesideTests(L"AtlTestStrings.dll");
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
