// PowerPlant X of the Mac stand-in: views and controls over an HIView.
//
// Initialize(view, frame) takes over one reference to the view (the caller retained it for the
// object); the destructor releases it. Texts come as new CFStrings the caller releases.
#pragma once
#include <HIToolbox/Controls.h>
#include <HIToolbox/MacTextEditor.h>
#include <HIToolbox/MacWindows.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

class View : public EventTarget {
public:
  View() = default;
  ~View() override;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  void Initialize(HIViewRef view, const HIRect& frame);
  HIViewRef GetSysView() const { return m_View; }
  WindowRef GetSysWindow() const { return HIViewGetWindow(m_View); }
  const char* ClassName() const override { return "PPx::View"; }
  EventTargetRef SysEventTarget() const override { return GetControlEventTarget(m_View); }

  HIRect GetFrame() const;
  void SetFrame(const HIRect& frame);
  void SetTitle(CFStringRef title);
  CFStringRef GetTitle() const;
  SInt32 GetValue() const { return GetControl32BitValue(m_View); }
  void SetValue(SInt32 value) { SetControl32BitValue(m_View, value); }
  SInt32 GetMinValue() const { return GetControl32BitMinimum(m_View); }
  void SetMinValue(SInt32 value) { SetControl32BitMinimum(m_View, value); }
  SInt32 GetMaxValue() const { return GetControl32BitMaximum(m_View); }
  void SetMaxValue(SInt32 value) { SetControl32BitMaximum(m_View, value); }
  bool IsVisible() const { return HIViewIsVisible(m_View); }
  void SetVisible(bool visible) { HIViewSetVisible(m_View, visible); }
  bool IsEnabled() const { return IsControlEnabled(m_View); }
  void SetEnabled(bool enabled);
  void SetNeedsDisplay() { HIViewSetNeedsDisplay(m_View, true); }

private:
  HIViewRef m_View = nullptr;
};

class CheckBox : public View {};
class PushButton : public View {};
class IconControl : public View {};
class PopupButton : public View {
public:
  MenuRef GetMenuRef() const { return GetControlPopupMenuHandle(GetSysView()); }
};
class Slider : public View {};
class ProgressBar : public View {
public:
  // Kept as control data 'inde' (a Boolean).
  void SetIndeterminate(bool indeterminate);
  bool IsIndeterminate() const;
};
class StaticText : public View {
public:
  // The text as control data 'cfst'.
  void SetText(CFStringRef text);
  CFStringRef GetText() const;
};
class TabView : public View {};
class UserPane : public View {};
class Placard : public View {};
class BevelButton : public View {};
class ImageView : public View {};
class SegmentedView : public View {};
class TextView : public View {
public:
  TXNObject GetTXNObject() const { return HITextViewGetTXNObject(GetSysView()); }
  void SetText(CFStringRef text);
};

}  // namespace PPx
