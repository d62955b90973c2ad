// Plotting icons into CoreGraphics contexts (see HIServices/Icons.h).
#include <CoreGraphics/CoreGraphics.h>
#include <HIServices/Icons.h>

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// The icon's file, shared with Icons.cpp.
std::string StandIn_IconPath(IconRef icon);

namespace {

StandIn_IconPlot g_LastPlot{nullptr, CGRect{{0, 0}, {0, 0}}, 0, 0};

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
  return (std::uint32_t(UInt8(bytes[at])) << 24) | (std::uint32_t(UInt8(bytes[at + 1])) << 16) |
         (std::uint32_t(UInt8(bytes[at + 2])) << 8) | std::uint32_t(UInt8(bytes[at + 3]));
}

bool IsPng(const std::string& bytes, std::size_t at, std::size_t size) {
  static const char kPNG[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
  return size >= 8 && std::equal(kPNG, kPNG + 8, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// The PNG data of an icon file: the file itself, or the largest PNG element of an icon family
// (elements: type and length, big-endian, the length counting its 8-byte header). Bounded by the
// file: a length that runs past its end ends the walk.
bool PngOf(const std::string& bytes, std::size_t* at, std::size_t* size) {
  if (IsPng(bytes, 0, bytes.size())) {
    *at = 0;
    *size = bytes.size();
    return true;
  }
  if (bytes.size() < 8 || bytes.compare(0, 4, "icns") != 0)
    return false;
  const std::size_t end = std::min<std::size_t>(bytes.size(), BigEndian32(bytes, 4));
  *size = 0;
  for (std::size_t element = 8; element + 8 <= end;) {
    const std::size_t length = BigEndian32(bytes, element + 4);
    if (length < 8 || length > end - element)
      break;
    if (IsPng(bytes, element + 8, length - 8) && length - 8 > *size) {
      *at = element + 8;
      *size = length - 8;
    }
    element += length;
  }
  return *size > 0;
}

// The icon's image, or null for an icon family without PNG data or an unreadable file.
CGImageRef NewIconImage(IconRef icon) {
  constexpr std::size_t kMaxIconFile = 64 * 1024 * 1024;
  std::string bytes;
  std::size_t at = 0, size = 0;
  if (!standin_files::ReadRegularFile(StandIn_IconPath(icon), kMaxIconFile, &bytes) ||
      !PngOf(bytes, &at, &size))
    return nullptr;
  CGDataProviderRef provider =
      CGDataProviderCreateWithData(nullptr, bytes.data() + at, size, nullptr);
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
