#pragma once
// The second instance of the single-instance tests, run as a process of its own:
//   <test program> --forward-command-line <mutex name> <window class> <window title> [more...]
// opens the guard, and when an instance already runs forwards its command line with dwData
// 0xB001, 10 tries of 20 ms. Exit codes: the forwarding result, or 1000 when the guard did not
// find the first instance.

#include <string>

constexpr char const* UWIN_kForwardHelperSwitch = "--forward-command-line";
constexpr int UWIN_kForwardHelperNotSecond = 1000;

int UWIN_RunForwardHelper(int argc, char** argv);

// A name unique to this test process, so that test programs sharing one wineserver never meet.
std::wstring UWIN_TestObjectName(wchar_t const* base);
