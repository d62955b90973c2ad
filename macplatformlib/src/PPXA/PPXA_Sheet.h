// The base of document-modal sheets made from a nib window: shown on a parent window, bound to
// its window through a property of its own ('SysS'; 'ShtW' is the program's tag for sheet windows
// elsewhere), and deleted when its hidden event ('wind' 25) arrives. The destructor removes the
// property and disposes of the sheet's window.
#pragma once

#include <HIToolbox/MacWindows.h>
#include <PPx/PPxEventTarget.h>

namespace PPXA {

constexpr PropertyTag kSheetObjectTag = 0x53797353;  // 'SysS'

class Sheet : public PPx::EventTarget, public PPx::WindowHiddenDoer {
public:
  Sheet() = default;
  ~Sheet() override;

  // Makes the sheet's window from the named nib (disposed of on every path) and binds it; the
  // status of the first failing call.
  OSStatus Initialize(CFStringRef nibName, CFStringRef windowName);
  OSStatus Show(WindowRef parent) const { return ShowSheetWindow(m_Window, parent); }
  OSStatus Hide() const { return HideSheetWindow(m_Window); }
  WindowRef GetSysWindow() const { return m_Window; }
  // As PPXA::Window::FindViewByID.
  HIViewRef FindViewByID(ControlID const& id) const;

  // The sheet bound to a window, or null.
  static Sheet* GetSheetObject(WindowRef window);

  const char* ClassName() const override { return "PPXA::Sheet"; }
  EventTargetRef SysEventTarget() const override { return GetWindowEventTarget(m_Window); }

protected:
  // Deletes the object and answers eventNotHandledErr, so the hidden event's standard handling
  // goes on. A subclass does its own clean-up and then calls this.
  OSStatus DoWindowHidden(PPx::SysCarbonEvent& event, WindowRef window) override;

private:
  WindowRef m_Window = nullptr;
};

}  // namespace PPXA
