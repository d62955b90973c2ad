// The start-up picture, shown for five seconds, and the factory reset offered when it ends.
// (Placeholder until it is built: records that it was made.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"

class MKRX_SplashWindow : public iMKRX_PlaceholderWindow {
public:
  MKRX_SplashWindow() : iMKRX_PlaceholderWindow("MKRX_SplashWindow") {}
};
