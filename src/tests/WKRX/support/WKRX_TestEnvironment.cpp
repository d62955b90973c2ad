// What every test of the shell runs in, as the program does: OLE and GDI+ started, and names of
// this process's own for the single-instance mutex and the application window, so that tests
// running side by side in one wine session never meet.
#include "WKRX/WKRX_System.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

namespace {

class ShellEnvironment : public testing::Environment {
public:
  void SetUp() override {
    WKRX_InstanceNames::SetSuffix(L"." + std::to_wstring(GetCurrentProcessId()));
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&m_Token, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override {
    Gdiplus::GdiplusShutdown(m_Token);
    OleUninitialize();
  }

private:
  ULONG_PTR m_Token = 0;
};

const testing::Environment* const sm_Environment =
    testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace
