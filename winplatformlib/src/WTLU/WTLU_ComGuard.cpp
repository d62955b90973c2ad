#include "WTLU/WTLU_ComGuard.h"

#include <new>
#include <sstream>
#include <string>

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_String.h"

namespace {

void ExitWithCode(int exitCode) {
  ExitProcess(static_cast<UINT>(exitCode));
}

WTLU_GuardExitHook sm_ExitHook = ExitWithCode;
// COM calls a target on the thread that registered it: each thread keeps its own.
thread_local std::exception_ptr sm_PendingFatal;

void KeepPending(std::exception_ptr fatal) {
  if (!sm_PendingFatal) {
    sm_PendingFatal = fatal;
  }
}

// FATAL logging throws GLIB_FatalException once the handler has run; that exception is the one
// kept for the loop.
void LogFatal(const std::wstring& text, const char* headerName) {
  try {
    GLIB_LogMessage::Log(GLIB_SEVERITY_FATAL, text.c_str(), headerName, 0);
  } catch (...) {
    KeepPending(std::current_exception());
  }
}

void LogAssertAndExit(const std::wstring& text, const char* headerName) {
  try {
    GLIB_LogMessage::Log(GLIB_SEVERITY_ASSERT, text.c_str(), headerName, 0);
  } catch (...) {
    // A handler that throws still ends the process below.
  }
  sm_ExitHook(1);
}

}  // namespace

WTLU_GuardExitHook WTLU_SetGuardExitHook(WTLU_GuardExitHook hook) {
  WTLU_GuardExitHook previous = sm_ExitHook;
  sm_ExitHook = hook ? hook : ExitWithCode;
  return previous;
}

std::exception_ptr WTLU_TakePendingFatal() {
  std::exception_ptr fatal = sm_PendingFatal;
  sm_PendingFatal = nullptr;
  return fatal;
}

void WTLU_RethrowPendingFatal() {
  if (std::exception_ptr fatal = WTLU_TakePendingFatal()) {
    std::rethrow_exception(fatal);
  }
}

void WTLU_HandleEscapedException(const char* className, const char* headerName) noexcept {
  try {
    const std::wstring prefix = L"Class " + GLIB_NToWString(className);
    try {
      throw;
    } catch (const GLIB_FatalException&) {
      // Already logged where it was raised.
      KeepPending(std::current_exception());
    } catch (const GLIB_Exception& e) {
      std::wostringstream printed;
      e.print(printed);
      LogFatal(prefix + L" caught unhandled GLIB_Exception: " + printed.str(), headerName);
    } catch (const std::bad_alloc&) {
      LogFatal(prefix + L" caught unhandled std::bad_alloc", headerName);
    } catch (const std::exception& e) {
      LogAssertAndExit(prefix + L" caught unhandled CRT exception: " + GLIB_NToWString(e.what()),
                       headerName);
    } catch (...) {
      LogAssertAndExit(prefix + L" caught unhandled unknown exception", headerName);
    }
  } catch (...) {
    // Building the log text itself failed (memory): nothing more can be reported.
    KeepPending(std::current_exception());
  }
}
