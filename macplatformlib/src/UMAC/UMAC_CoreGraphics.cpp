// Forwarders to CoreGraphics (see UMAC_CoreGraphics.h).
#include "UMAC/UMAC_CoreGraphics.h"

CGContextRef UMAC_CoreGraphics::CGBitmapContextCreate(void* data, size_t width, size_t height,
                                                      size_t bitsPerComponent, size_t bytesPerRow,
                                                      CGColorSpaceRef space,
                                                      CGImageAlphaInfo alphaInfo) {
  return ::CGBitmapContextCreate(data, width, height, bitsPerComponent, bytesPerRow, space,
                                 static_cast<CGBitmapInfo>(alphaInfo));
}

CGColorSpaceRef UMAC_CoreGraphics::CGColorSpaceCreateDeviceRGB() {
  return ::CGColorSpaceCreateDeviceRGB();
}

void UMAC_CoreGraphics::CGContextAddArc(CGContextRef c, float x, float y, float radius,
                                        float startAngle, float endAngle, int clockwise) {
  ::CGContextAddArc(c, x, y, radius, startAngle, endAngle, clockwise);
}

void UMAC_CoreGraphics::CGContextAddArcToPoint(CGContextRef c, float x1, float y1, float x2,
                                               float y2, float radius) {
  ::CGContextAddArcToPoint(c, x1, y1, x2, y2, radius);
}

void UMAC_CoreGraphics::CGContextAddLineToPoint(CGContextRef c, float x, float y) {
  ::CGContextAddLineToPoint(c, x, y);
}

void UMAC_CoreGraphics::CGContextBeginPath(CGContextRef c) {
  ::CGContextBeginPath(c);
}

void UMAC_CoreGraphics::CGContextClearRect(CGContextRef c, CGRect rect) {
  ::CGContextClearRect(c, rect);
}

void UMAC_CoreGraphics::CGContextClipToRect(CGContextRef c, CGRect rect) {
  ::CGContextClipToRect(c, rect);
}

void UMAC_CoreGraphics::CGContextClosePath(CGContextRef c) {
  ::CGContextClosePath(c);
}

void UMAC_CoreGraphics::CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image) {
  ::CGContextDrawImage(c, rect, image);
}

void UMAC_CoreGraphics::CGContextEOClip(CGContextRef c) {
  ::CGContextEOClip(c);
}

void UMAC_CoreGraphics::CGContextEOFillPath(CGContextRef c) {
  ::CGContextEOFillPath(c);
}

void UMAC_CoreGraphics::CGContextFillPath(CGContextRef c) {
  ::CGContextFillPath(c);
}

void UMAC_CoreGraphics::CGContextFillRect(CGContextRef c, CGRect rect) {
  ::CGContextFillRect(c, rect);
}

void UMAC_CoreGraphics::CGContextFlush(CGContextRef c) {
  ::CGContextFlush(c);
}

CGPoint UMAC_CoreGraphics::CGContextGetTextPosition(CGContextRef c) {
  return ::CGContextGetTextPosition(c);
}

void UMAC_CoreGraphics::CGContextMoveToPoint(CGContextRef c, float x, float y) {
  ::CGContextMoveToPoint(c, x, y);
}

void UMAC_CoreGraphics::CGContextRelease(CGContextRef c) {
  ::CGContextRelease(c);
}

void UMAC_CoreGraphics::CGContextRestoreGState(CGContextRef c) {
  ::CGContextRestoreGState(c);
}

void UMAC_CoreGraphics::CGContextRotateCTM(CGContextRef c, float angle) {
  ::CGContextRotateCTM(c, angle);
}

void UMAC_CoreGraphics::CGContextSaveGState(CGContextRef c) {
  ::CGContextSaveGState(c);
}

void UMAC_CoreGraphics::CGContextScaleCTM(CGContextRef c, float sx, float sy) {
  ::CGContextScaleCTM(c, sx, sy);
}

void UMAC_CoreGraphics::CGContextSelectFont(CGContextRef c, const char* name, float size,
                                            CGTextEncoding encoding) {
  ::CGContextSelectFont(c, name, size, encoding);
}

void UMAC_CoreGraphics::CGContextSetAlpha(CGContextRef c, float alpha) {
  ::CGContextSetAlpha(c, alpha);
}

void UMAC_CoreGraphics::CGContextSetFontSize(CGContextRef c, float size) {
  ::CGContextSetFontSize(c, size);
}

void UMAC_CoreGraphics::CGContextSetLineDash(CGContextRef c, float phase, const float* lengths,
                                             size_t count) {
  ::CGContextSetLineDash(c, phase, lengths, count);
}

void UMAC_CoreGraphics::CGContextSetLineWidth(CGContextRef c, float width) {
  ::CGContextSetLineWidth(c, width);
}

void UMAC_CoreGraphics::CGContextSetRGBFillColor(CGContextRef c, float red, float green, float blue,
                                                 float alpha) {
  ::CGContextSetRGBFillColor(c, red, green, blue, alpha);
}

void UMAC_CoreGraphics::CGContextSetRGBStrokeColor(CGContextRef c, float red, float green,
                                                   float blue, float alpha) {
  ::CGContextSetRGBStrokeColor(c, red, green, blue, alpha);
}

void UMAC_CoreGraphics::CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias) {
  ::CGContextSetShouldAntialias(c, shouldAntialias ? 1 : 0);
}

void UMAC_CoreGraphics::CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode) {
  ::CGContextSetTextDrawingMode(c, mode);
}

void UMAC_CoreGraphics::CGContextSetTextPosition(CGContextRef c, float x, float y) {
  ::CGContextSetTextPosition(c, x, y);
}

void UMAC_CoreGraphics::CGContextShowText(CGContextRef c, const char* text, size_t length) {
  ::CGContextShowText(c, text, length);
}

void UMAC_CoreGraphics::CGContextShowTextAtPoint(CGContextRef c, float x, float y, const char* text,
                                                 size_t length) {
  ::CGContextShowTextAtPoint(c, x, y, text, length);
}

void UMAC_CoreGraphics::CGContextStrokePath(CGContextRef c) {
  ::CGContextStrokePath(c);
}

void UMAC_CoreGraphics::CGContextStrokeRect(CGContextRef c, CGRect rect) {
  ::CGContextStrokeRect(c, rect);
}

void UMAC_CoreGraphics::CGContextTranslateCTM(CGContextRef c, float tx, float ty) {
  ::CGContextTranslateCTM(c, tx, ty);
}
