// The project's own stand-in for the ATL base pieces its Windows code calls: the always-active
// ATLASSERT, ATL's exception type and the namespace. Written from ATL's documented behaviour.
#pragma once

#include <windows.h>

#include <cstring>

#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_String.h"

namespace ATL {

// The file name without its folders, as the project's log lines name source files.
inline const char* AtlFileName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') {
      name = p + 1;
    }
  }
  return name;
}

// A failed ATLASSERT is logged at ASSERT severity and the program goes on.
inline void AtlAssertFailed(const char* condition, const char* file, int line) {
  GLIB_LogMessage::Log(GLIB_SEVERITY_ASSERT, GLIB_NToWString(condition).c_str(), AtlFileName(file),
                       line);
}

class CAtlException {
public:
  explicit CAtlException(HRESULT hr = E_FAIL) : m_hr(hr) {}
  operator HRESULT() const { return m_hr; }

  HRESULT m_hr;
};

[[noreturn]] inline void AtlThrow(HRESULT hr) {
  throw CAtlException(hr);
}

}  // namespace ATL

// Active in every build: a broken condition is worth a log line in a release too.
#define ATLASSERT(expr) ((expr) ? (void)0 : ::ATL::AtlAssertFailed(#expr, __FILE__, __LINE__))

using namespace ATL;
