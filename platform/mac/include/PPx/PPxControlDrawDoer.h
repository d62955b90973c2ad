// PowerPlant X of the Mac stand-in: the doer of kEventControlDraw.
//
// DoControlDraw gets the control, the part ('cprt', 0 when absent), the region to draw ('rgnh',
// null when absent) and the context ('cntx', null when absent). While it runs, CallNextHandler
// lets the rest of the handler chain (in the end the control's standard drawing) draw first.
#pragma once
#include <HIToolbox/Controls.h>
#include <PPx/PPxEventTarget.h>
#include <QD/QuickDraw.h>

namespace PPx {

class ControlDrawDoer : public SpecificEventDoer<kEventClassControl, kEventControlDraw> {
protected:
  virtual OSStatus DoControlDraw(SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                                 RgnHandle region, CGContextRef context) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
  // The rest of the chain for the event being done; eventNotHandledErr outside DoControlDraw.
  OSStatus CallNextHandler(SysCarbonEvent& event);

private:
  EventHandlerCallRef m_Call = nullptr;
};

}  // namespace PPx
