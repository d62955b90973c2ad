// CoreGraphics data providers of the Mac stand-in: bytes from caller memory (handed back through
// the release callback when the provider goes) or from a file URL (read at creation; null when it
// cannot be read). Providers are CF objects; creation joins the per-call failure injection by name.
#pragma once
#include <CoreFoundation/CFURL.h>

#include <cstddef>

class StandIn_CGDataProvider;
typedef StandIn_CGDataProvider* CGDataProviderRef;

typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, std::size_t size);

CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, std::size_t size,
                                               CGDataProviderReleaseDataCallback releaseData);
CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url);
CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
// Null is allowed.
void CGDataProviderRelease(CGDataProviderRef provider);
