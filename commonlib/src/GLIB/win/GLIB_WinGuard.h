// Nothing may unwind through user32, comctl32 or ole32: window procedures, dialog procedures and
// COM methods run their bodies under one guard that turns an escaping exception into a log line,
// "Class " + class name + suffix, with the class's header as the source file.
//
// FATAL cases (GLIB_Exception, std::bad_alloc, a message map asked for an id it lacks, any
// GLIB_FatalException) end in a GLIB_FatalException that is kept pending, the first one only, for
// the project's own message loop to rethrow once the system has returned. Other exceptions are
// logged at ASSERT and end the process with exit code 1 through a replaceable hook.
#pragma once

#include <exception>

using GLIB_GuardExitHook = void (*)(int exitCode);

// A null hook restores the default (ExitProcess). Returns the hook it replaced.
GLIB_GuardExitHook GLIB_SetGuardExitHook(GLIB_GuardExitHook hook);

// The pending fatal exception of this thread, or null; it is no longer pending afterwards.
std::exception_ptr GLIB_TakePendingFatal();

// Rethrows the pending fatal exception of this thread, if there is one.
void GLIB_RethrowPendingFatal();

// Whether a fatal exception is pending on this thread; loops the system runs for the project
// (modal dialogs) end themselves on it.
bool GLIB_IsFatalPending();

// Thrown by a message map asked for a section it does not have.
class GLIB_UnknownMessageMapId {
public:
  explicit GLIB_UnknownMessageMapId(unsigned long id) : m_Id(id) {}
  unsigned long id() const { return m_Id; }

private:
  unsigned long m_Id;
};

// Logs the exception in flight (call only inside a catch block) as described above. Never
// throws.
void GLIB_HandleEscapedException(const char* className, const char* headerName) noexcept;

// Logs "Class " + class name + suffix at ASSERT and ends the process through the exit hook; for
// exception kinds the guard's callers know and GLIB does not. Never throws.
void GLIB_ReportEscapedAssert(const char* className, const char* headerName,
                              const wchar_t* suffix) noexcept;
