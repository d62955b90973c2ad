#include "PPXA/PPXA_ControlDataDoers.h"

namespace PPXA {

namespace {

struct DataParameters {
  ControlRef control = nullptr;
  ControlPartCode part = kControlNoPart;
  ResType tag = 0;
  Ptr buffer = nullptr;
  Size size = 0;
};

DataParameters ReadParameters(PPx::SysCarbonEvent const& event) {
  DataParameters p;
  event.GetParameter(kEventParamDirectObject, typeControlRef, p.control);
  event.GetParameter(kEventParamControlPart, typeControlPartCode, p.part);
  event.GetParameter(kEventParamControlDataTag, typeEnumeration, p.tag);
  event.GetParameter(kEventParamControlDataBuffer, typePtr, p.buffer);
  event.GetParameter(kEventParamControlDataBufferSize, typeLongInteger, p.size);
  return p;
}

}  // namespace

OSStatus ControlGetDataDoer::DoEvent(EventHandlerCallRef, PPx::SysCarbonEvent& event) {
  DataParameters p = ReadParameters(event);
  const OSStatus status = DoControlGetData(event, p.control, p.part, p.tag, p.buffer, p.size);
  if (status == noErr || status == errDataSizeMismatch)
    event.SetParameter(kEventParamControlDataBufferSize, typeLongInteger, p.size);
  return status;
}

OSStatus ControlSetDataDoer::DoEvent(EventHandlerCallRef, PPx::SysCarbonEvent& event) {
  DataParameters p = ReadParameters(event);
  return DoControlSetData(event, p.control, p.part, p.tag, p.buffer, p.size);
}

}  // namespace PPXA
