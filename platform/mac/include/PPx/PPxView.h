// PowerPlant X of the Mac stand-in: views and controls over an HIView.
//
// Initialize(view, frame) takes over one reference to the view (the caller retained it for the
// object); the destructor releases it. Texts come as new CFStrings the caller releases.
//
// A custom view's object is the instance data of its own HIObject, made by the class's construct
// event and deleted by its destruct event: the view owns the object. Such an object must not keep
// a reference to its view (the two would keep each other alive), so InitializeOwnView binds it
// without one.
//
// Views get kEventControlBoundsChanged through DoControlBoundsChanged once
// InstallBoundsChangedDoer installed the view's own doer.
#pragma once
#include <HIToolbox/Controls.h>
#include <HIToolbox/MacTextEditor.h>
#include <HIToolbox/MacWindows.h>

#include <PPx/PPxEventTarget.h>
#include <PPx/PPxViewDoers.h>

namespace PPx {

class View : public EventTarget {
public:
  View() = default;
  ~View() override;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  void Initialize(HIViewRef view, const HIRect& frame);
  // Binds the object of a custom view to its own view, holding no reference (see above).
  void InitializeOwnView(HIViewRef view, const HIRect& frame);
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
  // Active when the view is and its window (if any) is the active one.
  bool IsActive() const;
  void SetEnabled(bool enabled);
  void SetNeedsDisplay() { HIViewSetNeedsDisplay(m_View, true); }

  // Installs the bounds-changed doer on the view's target; throws OSError.
  void InstallBoundsChangedDoer();
  // The view's frame changed (attributes: 1 position, 2 size); by default left to the next
  // handler.
  virtual OSStatus DoControlBoundsChanged(SysCarbonEvent& event, ControlRef control,
                                          UInt32 attributes, const HIRect& previous,
                                          const HIRect& current);
  // The framework's resizing to the superview (nothing in the stand-in).
  virtual void AdaptToSuperFrameSize(const HISize& /*superFrameSize*/) {}

private:
  class BoundsChangedDoer
      : public SpecificEventDoer<kEventClassControl, kEventControlBoundsChanged> {
  public:
    explicit BoundsChangedDoer(View& view) : m_Owner(view) {}

  protected:
    OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;

  private:
    View& m_Owner;
  };

  void ReleaseView();

  HIViewRef m_View = nullptr;
  bool m_OwnsReference = false;
  BoundsChangedDoer m_BoundsDoer{*this};
};

// A framework view over a new plain HIView of its own.
class BaseView : public View {
public:
  using View::Initialize;
  // Makes the HIView with the frame and features and binds the object to it (the object holds
  // the view's first reference); throws OSError.
  void Initialize(const HIRect& frame, HIViewFeatures features);
  const char* ClassName() const override { return "PPx::BaseView"; }
};

class ScrollView : public View {
public:
  const char* ClassName() const override { return "PPx::ScrollView"; }
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
