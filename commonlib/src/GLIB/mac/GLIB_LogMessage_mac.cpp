#include "GLIB/GLIB_LogMessage.h"

void GLIB_DefaultLogMessageHandler(GLIB_SEVERITY severity, const wchar_t* message, const char* file,
                                   int line) {
  const GLIB_String narrow = GLIB_WToNString(message);
  if (GLIB_IsSeverityWritten(severity)) {
    iGLIB_WriteDefaultLogLine(severity, narrow, file, line);
  }
}
