// What a call threw as a GFIL_Exception: code 0 when it threw nothing.
#pragma once

#include "GFIL/GFIL_Exception.h"

#include <cstdint>
#include <functional>
#include <string>

struct GFIL_Thrown {
  std::uint32_t code = 0;
  std::string message;
  std::wstring detail;  // the first detail parameter
};

inline GFIL_Thrown GFIL_ThrownBy(const std::function<void()>& call) {
  GFIL_Thrown thrown;
  try {
    call();
  } catch (const GFIL_Exception& e) {
    thrown.code = e.code();
    thrown.message = e.NMessage();
    thrown.detail = e.getDetailParameter(0);
  }
  return thrown;
}
