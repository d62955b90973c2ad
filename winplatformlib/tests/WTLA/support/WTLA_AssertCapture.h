// A fixture for the docking library's tests: the failed checks it logs while a test runs are
// collected, so that a test can say none fired (or which one did).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GLIB/GLIB_LogMessage.h"

class AssertCapturingTest : public testing::Test {
protected:
  static inline std::vector<std::wstring> sm_Asserts;

  void SetUp() override {
    sm_Asserts.clear();
    m_PreviousLog = GLIB_LogMessage::SetHandler(
        +[](GLIB_SEVERITY severity, const wchar_t* message, const char*, int) {
          if (severity == GLIB_SEVERITY_ASSERT) {
            sm_Asserts.push_back(message);
          }
        });
  }
  void TearDown() override { GLIB_LogMessage::SetHandler(m_PreviousLog); }

private:
  GLIB_LogHandlerPtr m_PreviousLog = nullptr;
};
