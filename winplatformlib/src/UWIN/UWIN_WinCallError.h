// A failed Windows call: raised as UWIN_Exception 1437004 with the result, the error code and the
// system's text for it, but only when the system reports an error code; a failure that leaves
// GetLastError at 0 is ignored and the caller goes on with the value it got.
#pragma once

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

struct Tag_UWIN_Exception {};
using UWIN_Exception = GLIB_DerivedException<Tag_UWIN_Exception>;

constexpr unsigned int kUWIN_WinCallFailed = 1437004;

// The message of a failed call that returned value ("false" for a boolean result).
GLIB_String UWIN_WinCallErrorText(const char* value, unsigned long errorCode);
// The message of a call that returned a null handle.
GLIB_String UWIN_WinCallNullText(unsigned long errorCode);

// Throw when GetLastError is not 0; otherwise return.
void UWIN_RaiseIfWinCallFailed(const char* value, const char* file, int line);
void UWIN_RaiseIfWinCallReturnedNull(const char* file, int line);
