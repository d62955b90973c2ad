#pragma once
// Buttons, statics, edits and combo boxes.
#include "atlwin.h"
