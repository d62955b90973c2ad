// The job browser: the preview files of a chosen folder as a job tree.
// (Placeholder until it is built: records what is done to it; it has no window yet.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"

#include <HIToolbox/CarbonEvents.h>

class MKRX_RegistryWindow : public iMKRX_PlaceholderWindow {
public:
  MKRX_RegistryWindow() : iMKRX_PlaceholderWindow("MKRX_RegistryWindow") {}
  WindowRef GetSysWindow() const { return nullptr; }
  EventTargetRef SysEventTarget() const { return nullptr; }
};
