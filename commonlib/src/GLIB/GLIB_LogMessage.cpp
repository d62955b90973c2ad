#include "GLIB/GLIB_LogMessage.h"

#include "GLIB/GLIB_Globals.h"

#include <iostream>

const char* GLIB_SeverityLabel(GLIB_SEVERITY severity) {
  switch (severity) {
    case GLIB_SEVERITY_FATAL:
      return "FATAL";
    case GLIB_SEVERITY_ASSERT:
      return "ASSERT";
    case GLIB_SEVERITY_ERROR:
      return "ERROR";
    case GLIB_SEVERITY_WARNING:
      return "WARNING";
    case GLIB_SEVERITY_TRACE:
      return "TRACE";
    case GLIB_SEVERITY_DEBUG:
      return "DEBUG";
    default:
      return "INFO";
  }
}

bool GLIB_IsSeverityWritten(GLIB_SEVERITY severity) {
  return severity != GLIB_SEVERITY_TRACE && severity != GLIB_SEVERITY_DEBUG;
}

void iGLIB_WriteDefaultLogLine(GLIB_SEVERITY severity, const GLIB_String& message, const char* file,
                               int line) {
  std::cerr << GLIB_SeverityLabel(severity) << ": " << (file != nullptr ? file : "") << "(" << line
            << "): " << message << std::endl;
}

void GLIB_LogMessage::Log(GLIB_SEVERITY severity, const wchar_t* message, const char* file,
                          int line) {
  if (message == nullptr) {
    message = L"";
  }
  const GLIB_LogHandlerPtr handler = GLIB_GlobalsInst().GetLogHandler();
  if (!handler.IsNull()) {
    handler(severity, message, file, line);
  }
  if (severity == GLIB_SEVERITY_FATAL) {
    throw GLIB_FatalException(message);
  }
}

void GLIB_LogMessage::Log(GLIB_SEVERITY severity, const char* message, const char* file, int line) {
  const GLIB_WString wide = GLIB_String(message != nullptr ? message : "").AsWString();
  Log(severity, wide.c_str(), file, line);
}

GLIB_LogHandlerPtr GLIB_LogMessage::SetHandler(GLIB_LogHandlerPtr handler) {
  if (handler.IsNull()) {
    handler = GLIB_DefaultLogMessageHandler;
  }
  GLIB_GlobalsInst globals;
  const GLIB_LogHandlerPtr previous = globals.GetLogHandler();
  globals.SetLogHandler(handler);
  return previous;
}

GLIB_LogHandlerPtr GLIB_LogMessage::GetHandler() {
  return GLIB_GlobalsInst().GetLogHandler();
}
