// The start-up picture, shown for five seconds, and the factory reset offered when it ends.
// (Placeholder until it is built: records that it was made; the factory reset is the real one.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"

class MKRX_SplashWindow : public iMKRX_PlaceholderWindow {
public:
  MKRX_SplashWindow() : iMKRX_PlaceholderWindow("MKRX_SplashWindow") {}

  // With Command and Option held, asks whether to reset the preferences; on Reset every value
  // goes back to its default, is saved, and inks without a colour take the default one again.
  static void CheckForFactoryReset();
};
