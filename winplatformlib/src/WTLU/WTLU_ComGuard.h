// Nothing may unwind through ole32: a COM method's body runs inside WTLU_GuardComCall, under the
// same guard as every window procedure (GLIB_WinGuard.h); an escaping exception makes the method
// return E_UNEXPECTED.
#pragma once

#include <windows.h>

#include "GLIB/win/GLIB_WinGuard.h"

template <class Body>
HRESULT WTLU_GuardComCall(const char* className, const char* headerName, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    GLIB_HandleEscapedException(className, headerName);
    return E_UNEXPECTED;
  }
}
