// A ruler along the sheet view.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_RulerView : public iMKRX_PlaceholderView<MKRX_RulerView> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.RulerView";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_RulerView ) - failed";
};
