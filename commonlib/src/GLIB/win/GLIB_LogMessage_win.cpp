// The Windows default handler colours its line when the program has a console.
#include "GLIB/GLIB_LogMessage.h"

#include <windows.h>

namespace {

const WORD kForegroundBits = 0x000F;

WORD ForegroundFor(GLIB_SEVERITY severity) {
  switch (severity) {
    case GLIB_SEVERITY_FATAL:
    case GLIB_SEVERITY_ASSERT:
    case GLIB_SEVERITY_ERROR:
      return FOREGROUND_RED | FOREGROUND_INTENSITY;
    case GLIB_SEVERITY_WARNING:
      return FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_INTENSITY;
    default:
      return FOREGROUND_GREEN | FOREGROUND_INTENSITY;
  }
}

}  // namespace

WORD iGLIB_LogLineAttributes(GLIB_SEVERITY severity, WORD current) {
  return static_cast<WORD>((current & ~kForegroundBits) | ForegroundFor(severity));
}

void GLIB_DefaultLogMessageHandler(GLIB_SEVERITY severity, const wchar_t* message, const char* file,
                                   int line) {
  const GLIB_String narrow = GLIB_WToNString(message);
  if (!GLIB_IsSeverityWritten(severity)) {
    return;
  }
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console, &info)) {
    iGLIB_WriteDefaultLogLine(severity, narrow, file, line);
    return;
  }
  SetConsoleTextAttribute(console, iGLIB_LogLineAttributes(severity, info.wAttributes));
  iGLIB_WriteDefaultLogLine(severity, narrow, file, line);
  SetConsoleTextAttribute(console, info.wAttributes);
}
