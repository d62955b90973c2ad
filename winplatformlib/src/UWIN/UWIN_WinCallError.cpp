#include "UWIN/UWIN_WinCallError.h"

#include <windows.h>

#include <string>

#include "GLIB/win/GLIB_WinUtil.h"

namespace {

GLIB_String ErrorParts(unsigned long errorCode) {
  std::string text = "Windows error code = " + std::to_string(errorCode) + ". ";
  text += "Windows error message = '";
  text += static_cast<const std::string&>(GLIB_GetWinErrorString(errorCode));
  text += "'.";
  return text;
}

}  // namespace

GLIB_String UWIN_WinCallErrorText(const char* value, unsigned long errorCode) {
  return GLIB_String("WinAPI function returned error value = '") + value + "'. " +
         ErrorParts(errorCode);
}

GLIB_String UWIN_WinCallNullText(unsigned long errorCode) {
  return GLIB_String("WinAPI function returned NULL. ") + ErrorParts(errorCode);
}

void UWIN_RaiseIfWinCallFailed(const char* value, const char* file, int line) {
  const DWORD errorCode = ::GetLastError();
  if (errorCode != 0) {
    throw UWIN_Exception(kUWIN_WinCallFailed, UWIN_WinCallErrorText(value, errorCode).c_str(), file,
                         line);
  }
}

void UWIN_RaiseIfWinCallReturnedNull(const char* file, int line) {
  const DWORD errorCode = ::GetLastError();
  if (errorCode != 0) {
    throw UWIN_Exception(kUWIN_WinCallFailed, UWIN_WinCallNullText(errorCode).c_str(), file, line);
  }
}
