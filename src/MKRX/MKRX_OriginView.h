// The corner between the rulers that sets the unit origin.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_OriginView : public iMKRX_PlaceholderView<MKRX_OriginView> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.OriginView";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_OriginView ) - failed";
};
