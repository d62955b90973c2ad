// Doers that turn a control's get-data ('cntl' 104) and set-data ('cntl' 103) events into
// virtual calls with the event's control, part, data tag, buffer and buffer size. The get-data
// doer writes the size back into the event when its call answers noErr or errDataSizeMismatch
// (so a caller learns the size it needs); both answer their call's status.
#pragma once

#include <HIToolbox/Controls.h>
#include <PPx/PPxEventTarget.h>

namespace PPXA {

class ControlGetDataDoer : public PPx::SpecificEventDoer<kEventClassControl, kEventControlGetData> {
protected:
  virtual OSStatus DoControlGetData(PPx::SysCarbonEvent& event, ControlRef control,
                                    ControlPartCode part, ResType tag, Ptr buffer, Size& size) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, PPx::SysCarbonEvent& event) override;
};

class ControlSetDataDoer : public PPx::SpecificEventDoer<kEventClassControl, kEventControlSetData> {
protected:
  virtual OSStatus DoControlSetData(PPx::SysCarbonEvent& event, ControlRef control,
                                    ControlPartCode part, ResType tag, Ptr buffer, Size size) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, PPx::SysCarbonEvent& event) override;
};

}  // namespace PPXA
