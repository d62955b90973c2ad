// PowerPlant X of the Mac stand-in: the doer of kEventControlDraw (see PPx/PPxControlDrawDoer.h).
#include <PPx/PPxControlDrawDoer.h>

namespace PPx {

namespace {
constexpr EventParamName kRegionParam = 0x72676e68;  // 'rgnh'
constexpr EventParamType kRegionType = 0x72676e68;   // 'rgnh'
}  // namespace

OSStatus ControlDrawDoer::DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) {
  ControlRef control = nullptr;
  ControlPartCode part = kControlNoPart;
  RgnHandle region = nullptr;
  CGContextRef context = nullptr;
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  event.GetParameter(kRegionParam, kRegionType, region);
  event.GetParameter(kEventParamCGContextRef, typeCGContextRef, context);
  // Restores the outer call's reference even when DoControlDraw throws (draws may nest).
  struct CallScope {
    EventHandlerCallRef& slot;
    EventHandlerCallRef old;
    ~CallScope() { slot = old; }
  } scope{m_Call, m_Call};
  m_Call = call;
  return DoControlDraw(event, control, part, region, context);
}

OSStatus ControlDrawDoer::CallNextHandler(SysCarbonEvent& event) {
  if (m_Call == nullptr)
    return eventNotHandledErr;
  return CallNextEventHandler(m_Call, event.GetEventRef());
}

}  // namespace PPx
