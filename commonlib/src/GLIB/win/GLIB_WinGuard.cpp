#include "GLIB/win/GLIB_WinGuard.h"

#include <windows.h>

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

GLIB_GuardExitHook sm_ExitHook = ExitWithCode;
// Windows and COM targets run on the thread that made them: each thread keeps its own.
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

std::wstring ClassPrefix(const char* className) {
  return L"Class " + GLIB_NToWString(className);
}

}  // namespace

GLIB_GuardExitHook GLIB_SetGuardExitHook(GLIB_GuardExitHook hook) {
  GLIB_GuardExitHook previous = sm_ExitHook;
  sm_ExitHook = hook ? hook : ExitWithCode;
  return previous;
}

std::exception_ptr GLIB_TakePendingFatal() {
  std::exception_ptr fatal = sm_PendingFatal;
  sm_PendingFatal = nullptr;
  return fatal;
}

bool GLIB_IsFatalPending() {
  return sm_PendingFatal != nullptr;
}

void GLIB_RethrowPendingFatal() {
  if (std::exception_ptr fatal = GLIB_TakePendingFatal()) {
    std::rethrow_exception(fatal);
  }
}

void GLIB_HandleEscapedException(const char* className, const char* headerName) noexcept {
  try {
    const std::wstring prefix = ClassPrefix(className);
    try {
      throw;
    } catch (const GLIB_FatalException&) {
      // Already logged where it was raised.
      KeepPending(std::current_exception());
    } catch (const GLIB_UnknownMessageMapId& e) {
      LogFatal(prefix + L" received unhandled message map ID " + std::to_wstring(e.id()),
               headerName);
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

void GLIB_ReportEscapedAssert(const char* className, const char* headerName,
                              const wchar_t* suffix) noexcept {
  try {
    LogAssertAndExit(ClassPrefix(className) + suffix, headerName);
  } catch (...) {
    sm_ExitHook(1);
  }
}
