#include "UMAC/UMAC_CGContext.h"

#include "UMAC/UMAC_CoreGraphics.h"

#include <cstring>

namespace {
using CG = UMAC_CoreGraphics;

float Unit(UInt16 component) {
  return static_cast<float>(component / 65535.0);
}
}  // namespace

UMAC_CGContext::~UMAC_CGContext() {
  if (m_Context && m_Owned)
    CG::CGContextRelease(m_Context);
}

void UMAC_CGContext::SetRGBFillColor(const RGBColor& color, UInt16 alpha) {
  CG::CGContextSetRGBFillColor(m_Context, Unit(color.red), Unit(color.green), Unit(color.blue),
                               Unit(alpha));
}

void UMAC_CGContext::SetRGBStrokeColor(const RGBColor& color, UInt16 alpha) {
  CG::CGContextSetRGBStrokeColor(m_Context, Unit(color.red), Unit(color.green), Unit(color.blue),
                                 Unit(alpha));
}

void UMAC_CGContext::MirrorAboutXAxis() {
  CG::CGContextScaleCTM(m_Context, 1, -1);
}

void UMAC_CGContext::MirrorAboutYAxis() {
  CG::CGContextScaleCTM(m_Context, -1, 1);
}

void UMAC_CGContext::CreateRoundRectPath(const CGRect& r, float radius) {
  const float x0 = r.origin.x, y0 = r.origin.y;
  const float x1 = x0 + r.size.width, y1 = y0 + r.size.height;
  CG::CGContextBeginPath(m_Context);
  CG::CGContextMoveToPoint(m_Context, x0, y0 + radius);
  CG::CGContextAddLineToPoint(m_Context, x0, y1 - radius);
  CG::CGContextAddArcToPoint(m_Context, x0, y1, x0 + radius, y1, radius);
  CG::CGContextAddLineToPoint(m_Context, x1 - radius, y1);
  CG::CGContextAddArcToPoint(m_Context, x1, y1, x1, y1 - radius, radius);
  CG::CGContextAddLineToPoint(m_Context, x1, y0 + radius);
  CG::CGContextAddArcToPoint(m_Context, x1, y0, x1 - radius, y0, radius);
  CG::CGContextAddLineToPoint(m_Context, x0 + radius, y0);
  CG::CGContextAddArcToPoint(m_Context, x0, y0, x0, y0 + radius, radius);
  CG::CGContextClosePath(m_Context);
}

void UMAC_CGContext::FillRoundRect(const CGRect& r, float radius) {
  CreateRoundRectPath(r, radius);
  CG::CGContextFillPath(m_Context);
}

float UMAC_CGContext::MeasureTextWidth(const char* text) {
  CG::CGContextSaveGState(m_Context);
  const CGPoint start = CG::CGContextGetTextPosition(m_Context);
  CG::CGContextSetTextDrawingMode(m_Context, kCGTextInvisible);
  CG::CGContextShowText(m_Context, text, std::strlen(text));
  const CGPoint end = CG::CGContextGetTextPosition(m_Context);
  CG::CGContextRestoreGState(m_Context);
  return end.x - start.x;
}

CGContextRef UMAC_CGBitmapContext::Create(void* data, size_t width, size_t height,
                                          size_t bitsPerComponent, size_t bytesPerRow,
                                          CGColorSpaceRef space, CGImageAlphaInfo alphaInfo) {
  if (m_Context && m_Owned)
    CG::CGContextRelease(m_Context);
  m_Context = CG::CGBitmapContextCreate(data, width, height, bitsPerComponent, bytesPerRow, space,
                                        alphaInfo);
  m_Owned = m_Context != nullptr;
  return m_Context;
}
