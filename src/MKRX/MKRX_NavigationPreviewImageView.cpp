#include "MKRX/MKRX_NavigationPreviewImageView.h"

#include "MKRX/MKRX_DrawContext.h"

namespace {

IMPN_RGBAColor8 const kTransparent(0, 0, 0, 0);

}  // namespace

MKRX_NavigationPreviewImageView::MKRX_NavigationPreviewImageView()
    : m_ScreenColor(kTransparent),
      m_FrameColor(kTransparent),
      m_ImageRect(CGRectMake(0, 0, 0, 0)),
      m_FrameRect(CGRectMake(0, 0, 0, 0)) {}

void MKRX_NavigationPreviewImageView::Attach(ControlRef control) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(control, &frame);
  CFRetain(control);
  Initialize(control, frame);
  InstallEventHandlers();
  SetupImage();
}

void MKRX_NavigationPreviewImageView::InstallEventHandlers() {
  PPx::ControlDrawDoer::Install(SysEventTarget());
}

void MKRX_NavigationPreviewImageView::SetupImage() {
  m_ScreenColor = kTransparent;
  m_FrameColor = kTransparent;
  HIRect frame = GetFrame();
  m_ImageRect = CGRectMake(0, 0, frame.size.width, frame.size.height);
  // A sample frame a fifth in from each side, a little off centre.
  m_FrameRect = CGRectInset(m_ImageRect, m_ImageRect.size.width / 5, m_ImageRect.size.height / 5);
  m_FrameRect.origin.x += 10;
  m_FrameRect.origin.y += 6;
  m_Image.LoadPNGFromBundle(CFSTR("NavigationPreviewImage.png"));
}

void MKRX_NavigationPreviewImageView::SetFrameColor(IMPN_RGBAColor8 const& colour, bool redraw) {
  m_FrameColor = colour;
  if (redraw)
    Refresh();
}

void MKRX_NavigationPreviewImageView::SetScreenColor(IMPN_RGBAColor8 const& colour, bool redraw) {
  m_ScreenColor = colour;
  if (redraw)
    Refresh();
}

void MKRX_NavigationPreviewImageView::Refresh() {
  if (GetSysView())
    SetNeedsDisplay();
}

OSStatus MKRX_NavigationPreviewImageView::DoControlDraw(PPx::SysCarbonEvent&, ControlRef,
                                                        ControlPartCode, RgnHandle,
                                                        CGContextRef cg) {
  MKRX_DrawContext context(cg);
  CGContextSaveGState(cg);
  if (!m_Image.IsNull()) {
    // The view's y axis points down; the picture's first row goes at the top.
    CGContextSaveGState(cg);
    CGContextTranslateCTM(cg, 0, m_ImageRect.size.height);
    CGContextScaleCTM(cg, 1, -1);
    CGContextDrawImage(cg, m_ImageRect, m_Image.Get());
    CGContextRestoreGState(cg);
    context.SetFillColor(m_ScreenColor);
    CGContextBeginPath(cg);
    CGContextAddRect(cg, m_ImageRect);
    CGContextAddRect(cg, m_FrameRect);
    CGContextEOFillPath(cg);
    context.SetStrokeColor(m_FrameColor);
    CGContextStrokeRect(cg, m_FrameRect);
    CGContextSetRGBStrokeColor(cg, 1, 1, 1, 1);
    CGContextStrokeRect(cg, m_ImageRect);
  }
  CGContextFlush(cg);
  CGContextRestoreGState(cg);
  return noErr;
}
