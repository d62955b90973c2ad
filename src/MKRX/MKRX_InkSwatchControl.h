// The swatch of a separation's ink in the separations palette.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_InkSwatchControl : public iMKRX_PlaceholderView<MKRX_InkSwatchControl> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.InkSwatchControl";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_InkSwatchControl ) - failed";
};
