#include "support/UWIN_ForwardHelper.h"

#include "UWIN/UWIN_SingleInstance.h"

#include <windows.h>

namespace {

std::wstring Widen(char const* text) {
  return std::wstring(text, text + std::string(text).size());
}

}  // namespace

int UWIN_RunForwardHelper(int argc, char** argv) {
  if (argc < 5)
    return 2000;
  UWIN_SingleInstance guard(Widen(argv[2]).c_str());
  if (!guard.IsAlreadyRunning())
    return UWIN_kForwardHelperNotSecond;
  DWORD const result = UWIN_SingleInstance::ForwardCommandLine(
      Widen(argv[3]).c_str(), Widen(argv[4]).c_str(), 0xB001, 20, 10);
  guard.Close();
  return static_cast<int>(result);
}

std::wstring UWIN_TestObjectName(wchar_t const* base) {
  return std::wstring(base) + L"." + std::to_wstring(GetCurrentProcessId());
}
