// CoreGraphics colour spaces of the Mac stand-in: device RGB and grey, and indexed spaces over
// one of them. Colour spaces are CF objects (CFRetain/CFRelease work on them); creation joins the
// per-call failure injection by name (see StandIn_FilesFailNext in CoreServices/Files.h) and
// answers null when it fails.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreGraphics/CGGeometry.h>

#include <cstddef>

// A CF object: CFRetain, CFRelease and CFGetRetainCount work on it.
class StandIn_CGColorSpace : public StandIn_CFObject {
protected:
  using StandIn_CFObject::StandIn_CFObject;
};
typedef StandIn_CGColorSpace* CGColorSpaceRef;

typedef enum {
  kCGColorSpaceModelUnknown = -1,
  kCGColorSpaceModelMonochrome = 0,
  kCGColorSpaceModelRGB = 1,
  kCGColorSpaceModelIndexed = 5
} CGColorSpaceModel;

CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void);
CGColorSpaceRef CGColorSpaceCreateDeviceGray(void);
// lastIndex + 1 entries of the base space's components, 8 bits each.
CGColorSpaceRef CGColorSpaceCreateIndexed(CGColorSpaceRef baseSpace, std::size_t lastIndex,
                                          const unsigned char* colorTable);
CGColorSpaceRef CGColorSpaceRetain(CGColorSpaceRef space);
// Null is allowed.
void CGColorSpaceRelease(CGColorSpaceRef space);
CGColorSpaceModel CGColorSpaceGetModel(CGColorSpaceRef space);
// 3 for RGB, 1 for grey and indexed.
std::size_t CGColorSpaceGetNumberOfComponents(CGColorSpaceRef space);
