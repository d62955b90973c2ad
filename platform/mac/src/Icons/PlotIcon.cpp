// Plotting icons into CoreGraphics contexts (see HIServices/Icons.h).
#include <CoreGraphics/CoreGraphics.h>
#include <HIServices/Icons.h>

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The icon's file, shared with Icons.cpp.
std::string StandIn_IconPath(IconRef icon);

namespace {

StandIn_IconPlot g_LastPlot{nullptr, CGRect{{0, 0}, {0, 0}}, 0, 0};

// The icon's image, or null for an icon family or an unreadable file.
CGImageRef NewIconImage(IconRef icon) {
  std::ifstream file(StandIn_IconPath(icon), std::ios::binary);
  std::vector<UInt8> bytes((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
  if (bytes.size() < 4 || std::equal(bytes.begin(), bytes.begin() + 4, "icns"))
    return nullptr;
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, bytes.data(), bytes.size(), nullptr);
  CGImageRef image =
      CGImageCreateWithPNGDataProvider(provider, nullptr, true, kCGRenderingIntentDefault);
  CGDataProviderRelease(provider);  // the image has decoded the bytes
  return image;
}

// The image with its colours darkened by a third (alpha kept).
CGImageRef NewDarkened(CGImageRef image) {
  const std::size_t width = CGImageGetWidth(image), height = CGImageGetHeight(image);
  std::vector<UInt8> pixels(width * height * 4, 0);
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGContextRef bitmap = CGBitmapContextCreate(pixels.data(), width, height, 8, width * 4, rgb,
                                              kCGImageAlphaPremultipliedLast);
  CGColorSpaceRelease(rgb);
  if (bitmap == nullptr)
    return CGImageRetain(image);
  CGContextDrawImage(bitmap, CGRectMake(0, 0, CGFloat(width), CGFloat(height)), image);
  CGContextRelease(bitmap);
  for (std::size_t i = 0; i < pixels.size(); i += 4)
    for (std::size_t c = 0; c < 3; ++c)
      pixels[i + c] = static_cast<UInt8>(pixels[i + c] * 2 / 3);
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr);
  rgb = CGColorSpaceCreateDeviceRGB();
  CGImageRef darkened =
      CGImageCreate(width, height, 8, 32, width * 4, rgb, kCGImageAlphaPremultipliedLast, provider,
                    nullptr, false, kCGRenderingIntentDefault);
  CGColorSpaceRelease(rgb);
  CGDataProviderRelease(provider);
  return darkened ? darkened : CGImageRetain(image);
}

CGFloat Place(CGFloat start, CGFloat room, CGFloat size, int where) {
  switch (where) {
    case 1:  // low end: top or left
      return start;
    case 2:  // high end: bottom or right
      return start + room - size;
    default:
      return start + (room - size) / 2;
  }
}

}  // namespace

OSStatus PlotIconRefInContext(CGContextRef inContext, const CGRect* inRect,
                              IconAlignmentType inAlign, IconTransformType inTransform,
                              const RGBColor*, PlotIconRefFlags, IconRef inIconRef) {
  if (OSErr err = standin_files::EnterCall("PlotIconRefInContext"))
    return err;
  if (inContext == nullptr || inRect == nullptr || StandIn_IconReferenceCount(inIconRef) <= 0)
    return paramErr;
  CGImageRef image = NewIconImage(inIconRef);
  if (image && (inTransform & kTransformSelected)) {
    CGImageRef darkened = NewDarkened(image);
    CGImageRelease(image);
    image = darkened;
  }
  const CGFloat width = image ? CGFloat(CGImageGetWidth(image)) : 32;
  const CGFloat height = image ? CGFloat(CGImageGetHeight(image)) : 32;
  const CGRect room = *inRect;
  const CGFloat scale =
      std::min<CGFloat>({1, CGRectGetWidth(room) / width, CGRectGetHeight(room) / height});
  const CGFloat w = width * scale, h = height * scale;
  const int vertical = inAlign & 3;           // 1 centre, 2 top, 3 bottom
  const int horizontal = (inAlign >> 2) & 3;  // 1 centre, 2 left, 3 right
  // Top is the larger y in the upright space icons are drawn in.
  const CGFloat y = Place(CGRectGetMinY(room), CGRectGetHeight(room), h,
                          vertical == 2   ? 2
                          : vertical == 3 ? 1
                                          : 0);
  const CGFloat x = Place(CGRectGetMinX(room), CGRectGetWidth(room), w,
                          horizontal == 2   ? 1
                          : horizontal == 3 ? 2
                                            : 0);
  const CGRect drawn = CGRectMake(x, y, w, h);
  CGContextSaveGState(inContext);
  if (inTransform & kTransformDisabled)
    CGContextSetAlpha(inContext, 0.5f);
  if (image) {
    CGContextDrawImage(inContext, drawn, image);
  } else {
    const CGFloat grey = (inTransform & kTransformSelected) ? 1.0f / 3 : 0.5f;
    CGContextSetRGBFillColor(inContext, grey, grey, grey, 1);
    CGContextFillRect(inContext, drawn);
  }
  CGContextRestoreGState(inContext);
  CGImageRelease(image);
  g_LastPlot = StandIn_IconPlot{inIconRef, drawn, inTransform, g_LastPlot.count + 1};
  return noErr;
}

StandIn_IconPlot StandIn_LastIconPlot() {
  return g_LastPlot;
}
