// CoreGraphics images of the Mac stand-in: decoded once at creation into premultiplied pixels.
// Raw images take 8 bits per component in RGB (alpha first or last, premultiplied, straight or
// skipped; big-endian order or 32-bit little-endian) or grey; PNG images come through cairo.
// Images are CF objects; creation joins the per-call failure injection by name and answers null
// for a format it does not read.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreGraphics/CGColorSpace.h>
#include <CoreGraphics/CGDataProvider.h>

// A CF object: CFRetain, CFRelease and CFGetRetainCount work on it.
class StandIn_CGImage : public StandIn_CFObject {
protected:
  using StandIn_CFObject::StandIn_CFObject;
};
typedef StandIn_CGImage* CGImageRef;

typedef enum {
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,
  kCGImageAlphaNoneSkipFirst = 6,
  kCGImageAlphaOnly = 7
} CGImageAlphaInfo;

typedef UInt32 CGBitmapInfo;
enum : CGBitmapInfo {
  kCGBitmapAlphaInfoMask = 0x1F,
  kCGBitmapByteOrderMask = 0x7000,
  kCGBitmapByteOrderDefault = 0,
  kCGBitmapByteOrder16Little = 1u << 12,
  kCGBitmapByteOrder32Little = 2u << 12,
  kCGBitmapByteOrder16Big = 3u << 12,
  kCGBitmapByteOrder32Big = 4u << 12
};

typedef enum {
  kCGRenderingIntentDefault = 0,
  kCGRenderingIntentAbsoluteColorimetric,
  kCGRenderingIntentRelativeColorimetric,
  kCGRenderingIntentPerceptual,
  kCGRenderingIntentSaturation
} CGColorRenderingIntent;

CGImageRef CGImageCreate(std::size_t width, std::size_t height, std::size_t bitsPerComponent,
                         std::size_t bitsPerPixel, std::size_t bytesPerRow, CGColorSpaceRef space,
                         CGBitmapInfo bitmapInfo, CGDataProviderRef provider, const CGFloat* decode,
                         bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageCreateWithPNGDataProvider(CGDataProviderRef source, const CGFloat* decode,
                                            bool shouldInterpolate, CGColorRenderingIntent intent);
CGImageRef CGImageRetain(CGImageRef image);
// Null is allowed.
void CGImageRelease(CGImageRef image);
std::size_t CGImageGetWidth(CGImageRef image);
std::size_t CGImageGetHeight(CGImageRef image);

// Test hook: the premultiplied colour of an image's pixel, row 0 first, as 0xAARRGGBB (0 outside).
UInt32 StandIn_CGImagePixel(CGImageRef image, std::size_t x, std::size_t y);
