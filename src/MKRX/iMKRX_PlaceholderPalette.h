// What the stand-ins of the three palettes share: each loads its window from the nib and only
// hides it when it is closed, as a palette does.
#pragma once

#include "PPXA/PPXA_Window.h"

class iMKRX_PlaceholderPalette : public PPXA::Window {
public:
  iMKRX_PlaceholderPalette(CFStringRef nibName, CFStringRef windowName);

protected:
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;
};
