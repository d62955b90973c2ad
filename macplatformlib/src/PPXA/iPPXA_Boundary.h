// The boundary where PowerPlant X additions meet the toolbox's C callbacks: an exception must not
// cross it, and none is lost without a word.
#pragma once
#include <MacTypes.h>

namespace PPXA {

// Inside a catch block: writes the caught exception to the log, naming the boundary, and answers
// what it stands for (an OSError's status, else eventInternalErr).
OSStatus LogCaughtException(const char* boundary);

// Runs a call that answers nothing; an exception that leaves it is logged and stops here.
template <class Call>
void Quietly(const char* boundary, Call call) {
  try {
    call();
  } catch (...) {
    LogCaughtException(boundary);
  }
}

// Runs a call; an exception that leaves it is logged and the neutral answer given instead.
template <class R, class Call>
R Neutral(const char* boundary, R neutral, Call call) {
  try {
    return call();
  } catch (...) {
    LogCaughtException(boundary);
    return neutral;
  }
}

}  // namespace PPXA
