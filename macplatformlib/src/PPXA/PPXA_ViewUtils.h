// Points between a view's coordinates and global screen coordinates (through the window's
// structure). Each answers the first failing status; a view in no window answers
// errInvalidWindowRef and leaves the output as it was.
#pragma once

#include <HIToolbox/HIView.h>

namespace PPXA {

class ViewUtils {
public:
  static OSStatus HIViewToGlobalPoint(ControlRef view, CGPoint point, CGPoint* out);
  static OSStatus GlobalToHIViewPoint(ControlRef view, CGPoint point, CGPoint* out);
  static OSStatus GlobalToHIViewPoint(ControlRef view, Point point, CGPoint* out);
};

}  // namespace PPXA
