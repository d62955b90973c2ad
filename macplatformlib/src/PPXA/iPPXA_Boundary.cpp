#include "PPXA/iPPXA_Boundary.h"

#include "GLIB/GLIB_LogMessage.h"

#include <HIToolbox/CarbonEvents.h>
#include <PPx/PPxExceptions.h>

#include <exception>
#include <string>

namespace PPXA {

OSStatus LogCaughtException(const char* boundary) {
  std::string text = std::string("exception stopped at ") + boundary + ": ";
  OSStatus status = eventInternalErr;
  try {
    throw;
  } catch (PPx::OSError const& e) {
    status = e.GetStatus();
    text += "OSError " + std::to_string(status);
  } catch (std::exception const& e) {
    text += e.what();
  } catch (...) {
    text += "unknown exception";
  }
  try {
    GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, text.c_str(), __FILE__, __LINE__);
  } catch (...) {
    // A log handler that throws must not carry the exception over the boundary either.
  }
  return status;
}

}  // namespace PPXA
