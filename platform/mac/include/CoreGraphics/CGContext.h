// CoreGraphics contexts of the Mac stand-in, drawn with cairo.
//
// A context's user space starts as the device's: a bitmap context has its origin at the bottom
// left with y up; a window's drawing context (see StandIn_WindowRender in HIToolbox/HIView.h) is
// flipped to the view it draws, y down from the view's top left. The graphics state (CTM, clip,
// fill and stroke colours, alpha, line width and dash, antialiasing, font, text drawing mode) is
// saved and restored as a stack; the path and the text position are not part of it. Text is drawn
// with the text matrix left at identity: glyphs stand upright in a y-up user space, the baseline
// starts at the text position, and the text position advances by the text's width (invisible
// mode 3 only advances). Fonts are the stand-in's font families (see
// CoreGraphics/StandInFonts.h), named by family or by PostScript name (the family's name without
// blanks); an unknown name leaves no font selected, and text without a font
// neither draws nor advances.
//
// Contexts are CF objects; CGContextRelease and CGContextRetain accept null.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreGraphics/CGAffineTransform.h>
#include <CoreGraphics/CGImage.h>

// A CF object: CFRetain, CFRelease and CFGetRetainCount work on it.
class StandIn_CGContext : public StandIn_CFObject {
protected:
  using StandIn_CFObject::StandIn_CFObject;
};
typedef StandIn_CGContext* CGContextRef;

typedef enum {
  kCGTextFill = 0,
  kCGTextStroke = 1,
  kCGTextFillStroke = 2,
  kCGTextInvisible = 3,
  kCGTextFillClip = 4,
  kCGTextStrokeClip = 5,
  kCGTextFillStrokeClip = 6,
  kCGTextClip = 7
} CGTextDrawingMode;

typedef enum {
  kCGEncodingFontSpecific = 0,
  kCGEncodingMacRoman = 1
} CGTextEncoding;

typedef enum {
  kCGPathFill = 0,
  kCGPathEOFill = 1,
  kCGPathStroke = 2,
  kCGPathFillStroke = 3,
  kCGPathEOFillStroke = 4
} CGPathDrawingMode;

CGContextRef CGContextRetain(CGContextRef c);
void CGContextRelease(CGContextRef c);
// Writes what was drawn through to the context's destination (a bitmap's memory); drawing calls do
// that already, so this only has to be safe.
void CGContextFlush(CGContextRef c);
void CGContextSynchronize(CGContextRef c);

void CGContextSaveGState(CGContextRef c);
// Unbalanced restores are ignored.
void CGContextRestoreGState(CGContextRef c);

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy);
void CGContextRotateCTM(CGContextRef c, CGFloat angle);
void CGContextConcatCTM(CGContextRef c, CGAffineTransform transform);
// The user space to the context's base space (the device, or the view for a view context).
CGAffineTransform CGContextGetCTM(CGContextRef c);

void CGContextSetRGBFillColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                              CGFloat alpha);
void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                                CGFloat alpha);
void CGContextSetGrayFillColor(CGContextRef c, CGFloat gray, CGFloat alpha);
void CGContextSetGrayStrokeColor(CGContextRef c, CGFloat gray, CGFloat alpha);
// Multiplies everything drawn (0 to 1).
void CGContextSetAlpha(CGContextRef c, CGFloat alpha);
void CGContextSetLineWidth(CGContextRef c, CGFloat width);
// count 0 or null lengths: solid.
void CGContextSetLineDash(CGContextRef c, CGFloat phase, const CGFloat* lengths, std::size_t count);
void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);

void CGContextBeginPath(CGContextRef c);
void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddRect(CGContextRef c, CGRect rect);
// clockwise 1: from startAngle to endAngle clockwise in user space (angles decrease).
void CGContextAddArc(CGContextRef c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle,
                     CGFloat endAngle, int clockwise);
// A line from the current point towards (x1, y1) and an arc of the radius tangent to both that
// line and the one from (x1, y1) to (x2, y2); a line to (x1, y1) when the points are in a line
// or the radius is 0; nothing without a current point.
void CGContextAddArcToPoint(CGContextRef c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2,
                            CGFloat radius);
void CGContextClosePath(CGContextRef c);
bool CGContextIsPathEmpty(CGContextRef c);
CGPoint CGContextGetPathCurrentPoint(CGContextRef c);

// Painting a path consumes it.
void CGContextFillPath(CGContextRef c);
void CGContextEOFillPath(CGContextRef c);
void CGContextStrokePath(CGContextRef c);
void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode);
// The rectangle calls leave the current path alone.
void CGContextFillRect(CGContextRef c, CGRect rect);
void CGContextStrokeRect(CGContextRef c, CGRect rect);
void CGContextStrokeRectWithWidth(CGContextRef c, CGRect rect, CGFloat width);
// Makes the rectangle transparent (within the clip).
void CGContextClearRect(CGContextRef c, CGRect rect);

// The clip calls intersect the clip with the path (consumed) or the rectangle.
void CGContextClip(CGContextRef c);
void CGContextEOClip(CGContextRef c);
void CGContextClipToRect(CGContextRef c, CGRect rect);
// The clip's bounding box in user space.
CGRect CGContextGetClipBoundingBox(CGContextRef c);

// The image fills the rectangle, its first row at the rectangle's maximum y.
void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);

void CGContextSelectFont(CGContextRef c, const char* name, CGFloat size,
                         CGTextEncoding textEncoding);
void CGContextSetFontSize(CGContextRef c, CGFloat size);
void CGContextSetTextDrawingMode(CGContextRef c, CGTextDrawingMode mode);
void CGContextSetTextPosition(CGContextRef c, CGFloat x, CGFloat y);
CGPoint CGContextGetTextPosition(CGContextRef c);
// length bytes of Mac Roman text.
void CGContextShowText(CGContextRef c, const char* string, std::size_t length);
void CGContextShowTextAtPoint(CGContextRef c, CGFloat x, CGFloat y, const char* string,
                              std::size_t length);

// Test hooks: contexts alive (a leak check), and how many unbalanced restores a context ignored
// (null: all contexts since the process began).
long StandIn_CGContextLiveCount();
long StandIn_CGContextUnbalancedRestores(CGContextRef c);
