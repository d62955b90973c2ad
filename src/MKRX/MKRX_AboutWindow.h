// The About window: the picture with the scrolling credits.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"

class MKRX_AboutWindow : public iMKRX_PlaceholderWindow {
public:
  MKRX_AboutWindow() : iMKRX_PlaceholderWindow("MKRX_AboutWindow") {}
};
