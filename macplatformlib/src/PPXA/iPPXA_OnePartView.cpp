#include "PPXA/iPPXA_OnePartView.h"

#include "PPXA/iPPXA_CustomView.h"

namespace PPXA {

OSStatus iPPXA_OnePartView::DoControlSetFocusPart(PPx::SysCarbonEvent&, ControlRef,
                                                  bool focusEverything, ControlPartCode& part) {
  part = iPPXA_FocusPartAfterRequest(part, m_FocusPart, focusEverything);
  if (part != m_FocusPart) {
    m_FocusPart = part;
    SetNeedsDisplay();
  }
  return noErr;
}

OSStatus iPPXA_OnePartView::DoControlHiliteChanged(PPx::SysCarbonEvent&, ControlRef,
                                                   ControlPartCode, ControlPartCode) {
  SetNeedsDisplay();
  return noErr;
}

OSStatus iPPXA_OnePartView::DoControlActivate(PPx::SysCarbonEvent&, ControlRef) {
  SetNeedsDisplay();
  return noErr;
}

OSStatus iPPXA_OnePartView::DoControlDeactivate(PPx::SysCarbonEvent&, ControlRef) {
  SetNeedsDisplay();
  return noErr;
}

OSStatus iPPXA_OnePartView::DoControlEnabledStateChanged(PPx::SysCarbonEvent&, ControlRef) {
  SetNeedsDisplay();
  return noErr;
}

// The base handling moves the view first; the redraw then shows the new bounds.
OSStatus iPPXA_OnePartView::DoControlBoundsChanged(PPx::SysCarbonEvent& event, ControlRef, UInt32,
                                                   const HIRect&, const HIRect&) {
  const OSStatus status = event.CallNextHandler();
  SetNeedsDisplay();
  return status;
}

}  // namespace PPXA
