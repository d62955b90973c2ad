// The labels beside the plate-version matrix.
// (Placeholder until it is built: the class registers and its views draw a placard.)
#pragma once

#include "MKRX/iMKRX_PlaceholderView.h"

class MKRX_VersionShoulderView : public iMKRX_PlaceholderView<MKRX_VersionShoulderView> {
public:
  static constexpr const char* kClassID = "com.nolt.MKRX.VersionShoulderView";
  static constexpr const char* kRegisterFailed =
      "HIObjectRegisterSubclass( MKRX_VersionShoulderView ) - failed";
};
