// The sheet window's status bar: zoom, rotation, work style and units.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_StatusView : public iMKRX_PlaceholderView<MKRX_StatusView> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.StatusView";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_StatusView ) - failed";
};
