// Logging: every message has a severity, a wide text and the source place, and goes to the
// process-wide log handler kept in the globals. A FATAL message ends in GLIB_FatalException
// after the handler has run: that is how the foundation stops on a state that must not occur.
#pragma once

#include "GLIB/GLIB_Exception.h"

enum GLIB_SEVERITY : int {
  GLIB_SEVERITY_FATAL = 0,
  GLIB_SEVERITY_ASSERT = 1,
  GLIB_SEVERITY_ERROR = 2,
  GLIB_SEVERITY_WARNING = 3,
  GLIB_SEVERITY_TRACE = 4,
  GLIB_SEVERITY_DEBUG = 5,
  GLIB_SEVERITY_INFO = 6  // any value above 5 counts as INFO
};

using GLIB_LogHandlerPtr = GLIB_PlainFunctionPtr<void(
    GLIB_SEVERITY severity, const wchar_t* message, const char* file, int line)>;

// Writes "LABEL: file(line): message" to std::cerr (coloured on a Windows console); TRACE and
// DEBUG write nothing.
void GLIB_DefaultLogMessageHandler(GLIB_SEVERITY severity, const wchar_t* message, const char* file,
                                   int line);

// The label the default handler writes for a severity.
const char* GLIB_SeverityLabel(GLIB_SEVERITY severity);
// True for the severities the default handler writes (all but TRACE and DEBUG).
bool GLIB_IsSeverityWritten(GLIB_SEVERITY severity);
// Writes the default handler's line, "LABEL: file(line): message", to std::cerr and flushes.
void iGLIB_WriteDefaultLogLine(GLIB_SEVERITY severity, const GLIB_String& message, const char* file,
                               int line);

class GLIB_LogMessage {
public:
  // Hands the message to the current handler (called outside the globals lock); a FATAL
  // message then throws GLIB_FatalException with the same text. A null message logs an empty
  // text.
  static void Log(GLIB_SEVERITY severity, const wchar_t* message, const char* file, int line);
  // The message is widened first.
  static void Log(GLIB_SEVERITY severity, const char* message, const char* file, int line);

  // A null handler installs GLIB_DefaultLogMessageHandler. Returns the handler it replaced.
  static GLIB_LogHandlerPtr SetHandler(GLIB_LogHandlerPtr handler);
  static GLIB_LogHandlerPtr GetHandler();

  GLIB_LogMessage() = delete;
};
