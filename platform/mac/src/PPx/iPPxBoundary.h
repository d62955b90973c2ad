// The framework's C boundaries: what an exception that reached one stands for.
#pragma once
#include <HIToolbox/CarbonEvents.h>
#include <PPx/PPxExceptions.h>

namespace PPx {

// Called inside a catch block: an OSError's status, eventInternalErr for anything else.
inline OSStatus StatusOfException() {
  try {
    throw;
  } catch (const OSError& e) {
    return e.GetStatus();
  } catch (...) {
    return eventInternalErr;
  }
}

}  // namespace PPx
