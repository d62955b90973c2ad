// The test program starts GDI+ for the bitmap tests, and doubles as the second instance of the
// single-instance tests: run with --forward-command-line it forwards its own command line.

#include "support/UWIN_ForwardHelper.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == UWIN_kForwardHelperSwitch)
    return UWIN_RunForwardHelper(argc, argv);

  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
    return 3;
  testing::InitGoogleTest(&argc, argv);
  int const result = RUN_ALL_TESTS();
  Gdiplus::GdiplusShutdown(token);
  return result;
}
