#include "PPXA/PPXA_Sheet.h"

#include "PPXA/PPXA_Window.h"
#include "PPXA/iPPXA_Nib.h"

#include <PPx/PPxSignature.h>

namespace PPXA {

Sheet::~Sheet() {
  if (m_Window) {
    RemoveWindowProperty(m_Window, PPx::Signature::Get(), kSheetObjectTag);
    DisposeWindow(m_Window);
  }
}

OSStatus Sheet::Initialize(CFStringRef nibName, CFStringRef windowName) {
  iPPXA_Nib nib(nibName);
  if (nib.Status() != noErr)
    return nib.Status();
  if (OSStatus status = CreateWindowFromNib(nib.Get(), windowName, &m_Window))
    return status;
  Sheet* self = this;
  OSStatus status =
      SetWindowProperty(m_Window, PPx::Signature::Get(), kSheetObjectTag, sizeof self, &self);
  if (status == noErr) {
    try {
      Install(SysEventTarget());
    } catch (PPx::OSError const& e) {
      status = e.GetStatus();
    }
  }
  return status;
}

HIViewRef Sheet::FindViewByID(ControlID const& id) const {
  return FindWindowViewByID(m_Window, id);
}

Sheet* Sheet::GetSheetObject(WindowRef window) {
  if (window == nullptr)
    return nullptr;
  Sheet* object = nullptr;
  ByteCount size = 0;
  if (GetWindowProperty(window, PPx::Signature::Get(), kSheetObjectTag, sizeof object, &size,
                        &object) != noErr ||
      size != sizeof object)
    return nullptr;
  return object;
}

OSStatus Sheet::DoWindowHidden(PPx::SysCarbonEvent&, WindowRef) {
  delete this;
  return eventNotHandledErr;
}

}  // namespace PPXA
