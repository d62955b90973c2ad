// The Mac program's whole run: the executable hands it its arguments and the live input; tests
// hand it a script. Returns the process's exit status.
#pragma once

#include <HIToolbox/StandInInput.h>

int MKRX_Main(int argc, const char* const argv[], StandIn_InputSource& input);

// The system version from which the program runs (10.3.9; Gestalt's BCD, compared signed).
bool MKRX_SystemIsSupported();
