// The slanted labels above the plate-version matrix.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_VersionHeaderView : public iMKRX_PlaceholderView<MKRX_VersionHeaderView> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.VersionHeaderView";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_VersionHeaderView ) - failed";
};
