#include "MKRX/iMKRX_PlaceholderPalette.h"

#include <PPx/PPxExceptions.h>

iMKRX_PlaceholderPalette::iMKRX_PlaceholderPalette(CFStringRef nibName, CFStringRef windowName) {
  PPx::ThrowIfOSStatus(Initialize(nibName, windowName), "a palette's nib window did not load");
}

OSStatus iMKRX_PlaceholderPalette::DoWindowClose(PPx::SysCarbonEvent&, WindowRef) {
  Hide();
  return noErr;
}
