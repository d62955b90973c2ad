// The About dialog with the program's version and notices (About with Option).
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"

class MKRX_AboutDialog : public iMKRX_PlaceholderWindow {
public:
  MKRX_AboutDialog() : iMKRX_PlaceholderWindow("MKRX_AboutDialog") {}
};
