// The drawing calls of the Mac program, one static forwarder per CoreGraphics function used, so
// that every drawing goes through one place. Each source file that draws holds one file-level
// instance.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

class UMAC_CoreGraphics {
public:
  UMAC_CoreGraphics() = default;

  static CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height,
                                            size_t bitsPerComponent, size_t bytesPerRow,
                                            CGColorSpaceRef space, CGImageAlphaInfo alphaInfo);
  static CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
  static void CGContextAddArc(CGContextRef c, float x, float y, float radius, float startAngle,
                              float endAngle, int clockwise);
  static void CGContextAddArcToPoint(CGContextRef c, float x1, float y1, float x2, float y2,
                                     float radius);
  static void CGContextAddLineToPoint(CGContextRef c, float x, float y);
  static void CGContextBeginPath(CGContextRef c);
  static void CGContextClearRect(CGContextRef c, CGRect rect);
  static void CGContextClipToRect(CGContextRef c, CGRect rect);
  static void CGContextClosePath(CGContextRef c);
  static void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);
  static void CGContextEOClip(CGContextRef c);
  static void CGContextEOFillPath(CGContextRef c);
  static void CGContextFillPath(CGContextRef c);
  static void CGContextFillRect(CGContextRef c, CGRect rect);
  static void CGContextFlush(CGContextRef c);
  static CGPoint CGContextGetTextPosition(CGContextRef c);
  static void CGContextMoveToPoint(CGContextRef c, float x, float y);
  static void CGContextRelease(CGContextRef c);
  static void CGContextRestoreGState(CGContextRef c);
  static void CGContextRotateCTM(CGContextRef c, float angle);
  static void CGContextSaveGState(CGContextRef c);
  static void CGContextScaleCTM(CGContextRef c, float sx, float sy);
  static void CGContextSelectFont(CGContextRef c, const char* name, float size,
                                  CGTextEncoding encoding);
  static void CGContextSetAlpha(CGContextRef c, float alpha);
  static void CGContextSetFontSize(CGContextRef c, float size);
  static void CGContextSetLineDash(CGContextRef c, float phase, const float* lengths, size_t count);
  static void CGContextSetLineWidth(CGContextRef c, float width);
  static void CGContextSetRGBFillColor(CGContextRef c, float red, float green, float blue,
                                       float alpha);
  static void CGContextSetRGBStrokeColor(CGContextRef c, float red, float green, float blue,
                                         float alpha);
  static void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);
  static void CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode);
  static void CGContextSetTextPosition(CGContextRef c, float x, float y);
  static void CGContextShowText(CGContextRef c, const char* text, size_t length);
  static void CGContextShowTextAtPoint(CGContextRef c, float x, float y, const char* text,
                                       size_t length);
  static void CGContextStrokePath(CGContextRef c);
  static void CGContextStrokeRect(CGContextRef c, CGRect rect);
  static void CGContextTranslateCTM(CGContextRef c, float tx, float ty);
};
