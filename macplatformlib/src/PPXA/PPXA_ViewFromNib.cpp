#include "PPXA/PPXA_ViewFromNib.h"

#include "PPXA/iPPXA_Nib.h"

namespace PPXA {

OSStatus CreateViewFromNib(IBNibRef nib, CFStringRef windowName, ControlID const& id,
                           ControlRef* outView) {
  *outView = nullptr;
  WindowRef window = nullptr;
  if (OSStatus status = CreateWindowFromNib(nib, windowName, &window))
    return status;
  ControlRef view = nullptr;
  OSStatus status = HIViewFindByID(HIViewGetRoot(window), id, &view);
  if (status == noErr) {
    // Taking the view out drops the window's reference: keep one for the caller first.
    CFRetain(view);
    status = HIViewRemoveFromSuperview(view);
    if (status != noErr)
      CFRelease(view);
  }
  DisposeWindow(window);
  if (status == noErr)
    *outView = view;
  return status;
}

OSStatus CreateViewFromNib(CFStringRef nibName, CFStringRef windowName, ControlID const& id,
                           ControlRef* outView) {
  *outView = nullptr;
  iPPXA_Nib nib(nibName);
  if (nib.Status() != noErr)
    return nib.Status();
  return CreateViewFromNib(nib.Get(), windowName, id, outView);
}

}  // namespace PPXA
