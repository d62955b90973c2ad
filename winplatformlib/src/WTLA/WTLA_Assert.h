// The docking library's invariant checks: active in every build, reported with the condition
// text, the header and the line through the log at ASSERT severity; the operation goes on.
#pragma once

#include <string>

#include "GLIB/GLIB_LogMessage.h"

namespace dockwins {

// The file name without its folders.
inline const char* AssertFileName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') {
      name = p + 1;
    }
  }
  return name;
}

// The condition is reported as written without blanks, whatever the formatter made of it.
inline void AssertFailed(const char* condition, const char* file, int line) {
  std::string text;
  for (const char* c = condition; *c; ++c) {
    if (*c != ' ') {
      text += *c;
    }
  }
  GLIB_LogMessage::Log(GLIB_SEVERITY_ASSERT, text.c_str(), AssertFileName(file), line);
}

}  // namespace dockwins

#define DOCK_ASSERT(expr) ((expr) ? (void)0 : ::dockwins::AssertFailed(#expr, __FILE__, __LINE__))
