// What the one-part custom views answer alike: they redraw on every change of highlight,
// activation, enabling and bounds, and keep the keyboard focus on the whole view. Each view still
// installs the doers itself, in its own order.
#pragma once

#include <PPx/PPxView.h>
#include <PPx/PPxViewDoers.h>

namespace PPXA {

class iPPXA_OnePartView : public PPx::View,
                          public PPx::ControlSetFocusPartDoer,
                          public PPx::ControlHiliteChangedDoer,
                          public PPx::ControlActivateDoer,
                          public PPx::ControlDeactivateDoer,
                          public PPx::ControlEnabledStateChangedDoer {
protected:
  ControlPartCode GetFocusPart() const { return m_FocusPart; }

  OSStatus DoControlSetFocusPart(PPx::SysCarbonEvent& event, ControlRef control,
                                 bool focusEverything, ControlPartCode& part) override;
  OSStatus DoControlHiliteChanged(PPx::SysCarbonEvent& event, ControlRef control,
                                  ControlPartCode previousPart,
                                  ControlPartCode currentPart) override;
  OSStatus DoControlActivate(PPx::SysCarbonEvent& event, ControlRef control) override;
  OSStatus DoControlDeactivate(PPx::SysCarbonEvent& event, ControlRef control) override;
  OSStatus DoControlEnabledStateChanged(PPx::SysCarbonEvent& event, ControlRef control) override;
  OSStatus DoControlBoundsChanged(PPx::SysCarbonEvent& event, ControlRef control, UInt32 attributes,
                                  const HIRect& previous, const HIRect& current) override;

private:
  ControlPartCode m_FocusPart = 0;
};

}  // namespace PPXA
