// A view whose content (the image) is larger than the view and is scrolled by a system scroll
// view: it answers the scroll view's questions, scrolls when asked, snaps the position to whole
// lines and keeps it within the image, and hands drawing and clicks to its subclass (drawing in
// image coordinates, clicks in view coordinates). PPXA::ScrollView holds one such view inside a
// scroll view from a nib.
#pragma once

#include <PPx/PPxView.h>

namespace PPXA {

class ScrollableView : public PPx::BaseView,
                       public PPx::ScrollableGetInfoDoer,
                       public PPx::ScrollableScrollToDoer,
                       public PPx::ControlClickDoer,
                       public PPx::ControlDrawDoer {
public:
  ScrollableView() = default;
  // Gives up the reference Initialize took.
  ~ScrollableView() override;

  virtual HIViewFeatures GetFeatureFlags() const { return 0; }

  // Makes the view and installs the scrolling, click and draw handlers; throws PPx::OSError.
  void Initialize(const CGRect& frame);

  // Stores the size and goes back to the top left corner (telling the scroll view).
  void SetImageSize(float width, float height, bool redraw);
  void SetLineSize(float x, float y);
  CGSize ImageSize() const { return m_ImageSize; }
  CGPoint ImageOrigin() const { return m_Origin; }
  CGSize ViewSize() const;

  // Scroll, then tell the scroll view, then redraw when asked.
  void ScrollTo(float x, float y, bool redraw);
  void ScrollBy(float dx, float dy, bool redraw);
  // Snaps, clamps and scrolls to the point without telling the scroll view.
  void ScrollTo(const CGPoint& target);

  CGPoint ViewToImagePoint(const CGPoint& p) const;
  CGPoint ImageToViewPoint(const CGPoint& p) const;

protected:
  OSStatus DoScrollableGetInfo(PPx::SysCarbonEvent& event, CGSize& imageSize, CGSize& viewSize,
                               CGSize& lineSize, CGPoint& origin) override;
  OSStatus DoScrollableScrollTo(PPx::SysCarbonEvent& event, const CGPoint& origin) override;
  OSStatus DoControlClick(PPx::SysCarbonEvent& event, ControlRef control,
                          const CGPoint& globalMouse) override;
  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;
  // The subclass draws here, in image coordinates.
  virtual OSStatus DoControlDraw(RgnHandle region, CGContextRef context) = 0;
  // A click at a point in view coordinates (ViewToImagePoint gives the image's); by default
  // left to the system.
  virtual OSStatus DoControlClick(PPx::SysCarbonEvent& event, const CGPoint& viewPoint,
                                  UInt32 modifiers);

private:
  // Tells the scroll view (the superview) that size or position changed, so it asks again.
  void NotifyScrollView();

  CGPoint m_Origin{0, 0};
  CGSize m_ImageSize{0, 0};
  CGSize m_LineSize{1.0f, 1.0f};
  bool m_Retained = false;
};

class ScrollView : public PPx::ScrollView {
public:
  // Binds the object to a scroll view from a nib.
  void Attach(ControlRef scrollView);
  // Makes the view over the scroll view's bounds and adds it as the scroll view's content.
  void SetView(ScrollableView* view);
  // Makes the view in place of the placeholder (found by id inside the scroll view), which goes;
  // throws PPx::RuntimeError 'cfnr' when there is no such placeholder.
  void SetView(ScrollableView* view, const ControlID& placeholder);
  ScrollableView* GetView() const { return m_View; }

private:
  void AddView(ScrollableView* view, const HIRect& bounds);

  ScrollableView* m_View = nullptr;  // a subview, not owned
};

}  // namespace PPXA
