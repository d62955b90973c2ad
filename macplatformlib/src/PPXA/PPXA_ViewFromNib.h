// Takes one view out of a window definition of a nib: the window is made, the view found by id
// and taken out of it, and the window disposed of. On success *outView is a reference the caller
// owns (and releases); on any failure *outView is null and the status of the failing call is
// returned, with no window left behind.
#pragma once

#include <HIToolbox/IBCarbonRuntime.h>

namespace PPXA {

OSStatus CreateViewFromNib(IBNibRef nib, CFStringRef windowName, ControlID const& id,
                           ControlRef* outView);
// Opens the named nib of the main bundle for the call (and disposes of it afterwards).
OSStatus CreateViewFromNib(CFStringRef nibName, CFStringRef windowName, ControlID const& id,
                           ControlRef* outView);

}  // namespace PPXA
