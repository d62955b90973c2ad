// A PowerPlant X view object bound to a view that a nib file made. K is the framework's view
// class (V the framework's view base, PPx::View in every use).
#pragma once

#include <HIToolbox/MacWindows.h>
#include <PPx/PPxView.h>

#include <type_traits>

namespace PPXA {

template <class V, class K>
class NibView : public K {
  static_assert(std::is_base_of<V, K>::value, "a NibView's class derives from its view base");

public:
  NibView() = default;

  // Binds the object to the control: takes a reference of its own, initialises the framework
  // view over it, and records whether the control's window is compositing.
  void Attach(ControlRef control) {
    HIRect frame = CGRectMake(0, 0, 0, 0);
    HIViewGetFrame(control, &frame);
    CFRetain(control);
    this->Initialize(control, frame);
    WindowAttributes attributes = 0;
    GetWindowAttributes(this->GetSysWindow(), &attributes);
    m_Compositing = (attributes & kWindowCompositingAttribute) != 0;
  }

  bool IsCompositing() const { return m_Compositing; }

private:
  bool m_Compositing = false;
};

}  // namespace PPXA
