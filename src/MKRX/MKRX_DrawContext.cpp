#include "MKRX/MKRX_DrawContext.h"

namespace {

void Fill(CGContextRef context, CKRX_ColorComponents const& c) {
  CGContextSetRGBFillColor(context, c.red, c.green, c.blue, c.alpha);
}

void Stroke(CGContextRef context, CKRX_ColorComponents const& c) {
  CGContextSetRGBStrokeColor(context, c.red, c.green, c.blue, c.alpha);
}

}  // namespace

void MKRX_DrawContext::SetFillColor(IMPN_RGBColor8 const& colour) {
  CKRX_Context::SetFillColor(colour);
  Fill(Get(), FillColor());
}

void MKRX_DrawContext::SetFillColor(IMPN_RGBAColor8 const& colour) {
  CKRX_Context::SetFillColor(colour);
  Fill(Get(), FillColor());
}

void MKRX_DrawContext::SetStrokeColor(IMPN_RGBColor8 const& colour) {
  CKRX_Context::SetStrokeColor(colour);
  Stroke(Get(), StrokeColor());
}

void MKRX_DrawContext::SetStrokeColor(IMPN_RGBAColor8 const& colour) {
  CKRX_Context::SetStrokeColor(colour);
  Stroke(Get(), StrokeColor());
}
