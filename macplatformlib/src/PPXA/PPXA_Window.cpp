#include "PPXA/PPXA_Window.h"

#include "PPXA/iPPXA_Nib.h"

#include <HIToolbox/IBCarbonRuntime.h>
#include <PPx/PPxSignature.h>

namespace PPXA {

Window::~Window() {
  WindowRef window = m_SysWindow.Get();
  m_SysWindow.Adopt(nullptr);
  if (window)
    DisposeWindow(window);
}

OSStatus Window::Initialize(CFStringRef nibName, CFStringRef windowName) {
  iPPXA_Nib nib(nibName);
  if (nib.Status() != noErr)
    return nib.Status();
  WindowRef window = nullptr;
  if (OSStatus status = CreateWindowFromNib(nib.Get(), windowName, &window))
    return status;
  Window* self = this;
  OSStatus status =
      SetWindowProperty(window, PPx::Signature::Get(), kWindowObjectTag, sizeof self, &self);
  if (status == noErr) {
    try {
      Install(GetWindowEventTarget(window));
    } catch (PPx::OSError const& e) {
      status = e.GetStatus();
    }
  }
  if (status != noErr) {
    DisposeWindow(window);
    return status;
  }
  m_SysWindow.Adopt(window);
  return noErr;
}

Window* Window::GetWindowObject(WindowRef window) {
  if (window == nullptr)
    return nullptr;
  Window* object = nullptr;
  ByteCount size = 0;
  if (GetWindowProperty(window, PPx::Signature::Get(), kWindowObjectTag, sizeof object, &size,
                        &object) != noErr ||
      size != sizeof object)
    return nullptr;
  return object;
}

HIViewRef Window::FindViewByID(ControlID const& id) const {
  return FindWindowViewByID(m_SysWindow.Get(), id);
}

void Window::Close() {
  if (m_ClosePosted || m_SysWindow.Get() == nullptr)
    return;
  m_ClosePosted = PostWindowClose(m_SysWindow.Get()) == noErr;
}

EventTargetRef Window::SysEventTarget() const {
  return GetWindowEventTarget(m_SysWindow.Get());
}

OSStatus Window::DoWindowClose(PPx::SysCarbonEvent&, WindowRef) {
  delete this;
  return noErr;
}

OSStatus PostWindowClose(WindowRef window) {
  try {
    PPx::SysCarbonEvent close;
    close.MakeEvent(kEventClassWindow, kEventWindowClose);
    close.SetParameter(kEventParamDirectObject, typeWindowRef, window);
    return close.Post(GetWindowEventTarget(window));
  } catch (PPx::OSError const& e) {
    return e.GetStatus();
  }
}

HIViewRef FindWindowViewByID(WindowRef window, ControlID const& id) {
  HIViewRef view = nullptr;
  OSStatus status = HIViewFindByID(HIViewGetRoot(window), id, &view);
  if (status != noErr)
    throw PPx::OSError(status, "Failed to find HIView using it's HIViewID");
  return view;
}

}  // namespace PPXA
