// Nothing may unwind through ole32: a COM method's body runs inside WTLU_GuardComCall, which
// turns an escaping exception into the log texts every guarded window uses ("Class " + class
// name + suffix, with the class's header as the source file).
//
// FATAL cases (GLIB_Exception, std::bad_alloc, GLIB_FatalException) end in a GLIB_FatalException
// that is kept pending, the first one only, for the project's own message loop to rethrow once
// the system has returned. Other exceptions are logged at ASSERT and end the process with exit
// code 1 through a replaceable hook.
#pragma once

#include <exception>

#include <windows.h>

using WTLU_GuardExitHook = void (*)(int exitCode);

// A null hook restores the default (ExitProcess). Returns the hook it replaced.
WTLU_GuardExitHook WTLU_SetGuardExitHook(WTLU_GuardExitHook hook);

// The pending fatal exception of this thread, or null; it is no longer pending afterwards.
std::exception_ptr WTLU_TakePendingFatal();

// Rethrows the pending fatal exception of this thread, if there is one.
void WTLU_RethrowPendingFatal();

// Logs the exception in flight (call only inside a catch block) as described above. Never
// throws.
void WTLU_HandleEscapedException(const char* className, const char* headerName) noexcept;

template <class Body>
HRESULT WTLU_GuardComCall(const char* className, const char* headerName, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    WTLU_HandleEscapedException(className, headerName);
    return E_UNEXPECTED;
  }
}
