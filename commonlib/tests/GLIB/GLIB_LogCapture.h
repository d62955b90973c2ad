// Collects logged texts while it lives, then puts the previous handler back.
#pragma once

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_String.h"

#include <vector>

class GLIB_LogCapture {
public:
  GLIB_LogCapture() : m_Previous(GLIB_LogMessage::SetHandler(&Record)) { Lines().clear(); }
  ~GLIB_LogCapture() { GLIB_LogMessage::SetHandler(m_Previous); }
  GLIB_LogCapture(const GLIB_LogCapture&) = delete;
  GLIB_LogCapture& operator=(const GLIB_LogCapture&) = delete;

  static std::vector<GLIB_WString>& Lines() {
    static std::vector<GLIB_WString> lines;
    return lines;
  }

private:
  static void Record(GLIB_SEVERITY, const wchar_t* message, const char*, int) {
    Lines().push_back(message);
  }
  GLIB_LogHandlerPtr m_Previous;
};
