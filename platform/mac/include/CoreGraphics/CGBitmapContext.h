// CoreGraphics bitmap contexts of the Mac stand-in: drawing over caller memory (or memory of the
// context's own when data is null), 8 bits per component: RGB with alpha premultiplied first or
// last or skipped first or last (big-endian byte order, or 32-bit little-endian), or grey without
// alpha. cairo draws into a surface of its own; every drawing call writes the result back into
// the memory in the bitmap's format (a skipped byte keeps what it held). Any other format, a row
// too short for the width or a failure injected by name ("CGBitmapContextCreate", see
// StandIn_FilesFailNext) gives null.
#pragma once
#include <CoreGraphics/CGContext.h>

CGContextRef CGBitmapContextCreate(void* data, std::size_t width, std::size_t height,
                                   std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                   CGColorSpaceRef space, CGBitmapInfo bitmapInfo);
void* CGBitmapContextGetData(CGContextRef c);
std::size_t CGBitmapContextGetWidth(CGContextRef c);
std::size_t CGBitmapContextGetHeight(CGContextRef c);
std::size_t CGBitmapContextGetBytesPerRow(CGContextRef c);
// A new image of what the bitmap holds now (null for a context that is not a bitmap's).
CGImageRef CGBitmapContextCreateImage(CGContextRef c);
