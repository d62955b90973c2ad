#pragma once
#include "GLIB/GLIB_Exception.h"

#include <exception>

// Runs one step on one preview file so that a bad file costs that file only: true when the
// step ran to its end, false when it threw one of this system's exceptions (GLIB_Exception)
// or of the standard library (TIFX_Exception among them).
template <typename Step>
bool iIMPN_TryFile(Step step) {
  try {
    step();
    return true;
  } catch (GLIB_Exception const&) {
  } catch (std::exception const&) {
  }
  return false;
}
