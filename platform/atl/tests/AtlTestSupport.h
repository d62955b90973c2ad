// What the stand-in's tests share: window names unique to this process, and a fixture that
// captures log lines and guard exits.
#pragma once

#include <atlbase.h>
#include <atlwin.h>

#include "win/GuardCapture.h"
