// The drawing context the Mac views hand to the portable views' hooks: the portable colours and
// the CoreGraphics context of the paint (not owned), kept in step, so that a colour a hook sets
// is the one it draws with.
#pragma once

#include "CKRX/CKRX_Context.h"
#include "UMAC/UMAC_CGContext.h"

class MKRX_DrawContext : public CKRX_Context, public UMAC_CGContext {
public:
  explicit MKRX_DrawContext(CGContextRef context) : UMAC_CGContext(context, false) {}

  // The context a Mac view's hook receives is always one of these: the views make no other.
  static MKRX_DrawContext& Of(CKRX_Context& context) {
    return static_cast<MKRX_DrawContext&>(context);
  }

  void SetFillColor(IMPN_RGBColor8 const& colour);
  void SetFillColor(IMPN_RGBAColor8 const& colour);
  void SetStrokeColor(IMPN_RGBColor8 const& colour);
  void SetStrokeColor(IMPN_RGBAColor8 const& colour);
};
