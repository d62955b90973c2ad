// CoreGraphics data providers of the Mac stand-in: bytes from caller memory (handed back through
// the release callback when the provider goes) or from a file URL (read at creation; null when it
// cannot be read). Providers are CF objects; creation joins the per-call failure injection by name.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFURL.h>

#include <cstddef>

// A CF object: CFRetain, CFRelease and CFGetRetainCount work on it.
class StandIn_CGDataProvider : public StandIn_CFObject {
protected:
  using StandIn_CFObject::StandIn_CFObject;
};
typedef StandIn_CGDataProvider* CGDataProviderRef;

typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, std::size_t size);

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, std::size_t size,
                                               CGDataProviderReleaseDataCallback releaseData);
CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url);
CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
// Null is allowed.
void CGDataProviderRelease(CGDataProviderRef provider);
