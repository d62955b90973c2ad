// The base of the Mac program's ordinary windows: made from a window of a nib file, bound to its
// WindowRef through the window property 'SysW' (so GetWindowObject finds the object), and deleted
// when its close event ('wind' 72) is handled. Objects are made with new and never deleted
// directly: Close() posts the close event (at most once), and the default DoWindowClose deletes
// the object, whose destructor disposes of the window (which drops the window's queued events).
#pragma once

#include <HIToolbox/MacWindows.h>
#include <PPx/PPxEventTarget.h>
#include <PPx/SysWindow.h>

namespace PPXA {

// The window property that binds a PPXA::Window: tag 'SysW' under the framework's signature.
constexpr PropertyTag kWindowObjectTag = 0x53797357;

class Window : public PPx::EventTarget, public PPx::Attachable, public PPx::WindowCloseDoer {
public:
  Window() = default;
  ~Window() override;

  // Makes the window from the named nib of the main bundle and binds it; the nib is disposed of
  // on every path. The status of the first failing call; on failure the object has no window.
  OSStatus Initialize(CFStringRef nibName, CFStringRef windowName);

  // The object bound to a window; null for null and for a window without the property.
  static Window* GetWindowObject(WindowRef window);

  // The view with that id in the window; throws PPx::OSError "Failed to find HIView using it's
  // HIViewID" when there is none.
  HIViewRef FindViewByID(ControlID const& id) const;

  WindowRef GetSysWindow() const { return m_SysWindow.Get(); }
  void Select() const { m_SysWindow.Select(); }
  bool IsVisible() const { return m_SysWindow.IsVisible(); }
  void Show() const { m_SysWindow.Show(); }
  void Hide() const { m_SysWindow.Hide(); }
  void SetTitle(CFStringRef title) const { m_SysWindow.SetTitle(title); }

  // Posts the close event to the window once; it closes when the event loop delivers it.
  void Close();

  const char* ClassName() const override { return "PPXA::Window"; }
  EventTargetRef SysEventTarget() const override;

protected:
  // Deletes the object; noErr, so the standard close handling does not run.
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;

private:
  PPx::SysWindow m_SysWindow;
  bool m_ClosePosted = false;
};

// Posts kEventWindowClose with the window as its direct object to the window's target.
OSStatus PostWindowClose(WindowRef window);

// Finds a view of a window by id from its root view, or throws as Window::FindViewByID.
HIViewRef FindWindowViewByID(WindowRef window, ControlID const& id);

}  // namespace PPXA
