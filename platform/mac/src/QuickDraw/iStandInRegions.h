// Internals of the stand-in's regions shared with its ports, and the ports' part in rendering.
#pragma once
#include <QD/QuickDraw.h>

#include <vector>

namespace standin_qd {

// The window's port made current for one view's draw event, as a compositing window does: its
// local (0, 0) at the view's top left (viewOrigin, in the structure) and its clip the visible
// rectangle (clip, in the structure); the old port, origin and clip come back when it goes.
class ViewPortScope {
public:
  ViewPortScope(WindowRef window, CGPoint viewOrigin, CGRect clip);
  ~ViewPortScope();
  ViewPortScope(const ViewPortScope&) = delete;
  ViewPortScope& operator=(const ViewPortScope&) = delete;

private:
  CGrafPtr m_Port;
  CGrafPtr m_OldPort = nullptr;
  Point m_OldOrigin{0, 0};
  std::vector<Rect> m_OldClip;
};

}  // namespace standin_qd

struct MacRegion {
  RgnPtr master = this;     // what the handle points at
  std::vector<Rect> rects;  // disjoint, non-empty
};
