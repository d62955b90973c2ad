// Redraw tracking of the stand-in's windows (see iStandInRedraw.h and HIToolbox/HIView.h).
#include "iStandInRedraw.h"

#include "iStandInToolbox.h"

#include <algorithm>
#include <cmath>

namespace {

bool Meets(const CGRect& a, const CGRect& b) {
  return CGRectGetMinX(a) < CGRectGetMaxX(b) && CGRectGetMinX(b) < CGRectGetMaxX(a) &&
         CGRectGetMinY(a) < CGRectGetMaxY(b) && CGRectGetMinY(b) < CGRectGetMaxY(a);
}

CGRect Union(const CGRect& a, const CGRect& b) {
  const CGFloat left = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
  const CGFloat top = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
  return CGRectMake(left, top, std::max(CGRectGetMaxX(a), CGRectGetMaxX(b)) - left,
                    std::max(CGRectGetMaxY(a), CGRectGetMaxY(b)) - top);
}

CGRect Intersection(const CGRect& a, const CGRect& b) {
  const CGFloat left = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
  const CGFloat top = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
  const CGFloat right = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
  const CGFloat bottom = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
  return CGRectMake(left, top, std::max<CGFloat>(0, right - left),
                    std::max<CGFloat>(0, bottom - top));
}

// The rectangle grown to whole pixels (a fraction of a pixel drawn dirties the pixel).
CGRect Outward(const CGRect& r) {
  const CGFloat left = std::floor(CGRectGetMinX(r));
  const CGFloat top = std::floor(CGRectGetMinY(r));
  return CGRectMake(left, top, std::ceil(CGRectGetMaxX(r)) - left,
                    std::ceil(CGRectGetMaxY(r)) - top);
}

// The root view of the window the view is drawn in; null when the tree is in no window (an
// off-screen view, or a toolbar item's view, which the window's render does not draw).
StandIn_ViewImpl* WindowRootOf(StandIn_ViewImpl* view) {
  StandIn_ViewImpl* root = standin_tb::RootOf(view);
  if (root == nullptr || root->m_Window == nullptr ||
      standin_tb::View(HIViewGetRoot(root->m_Window)) != root)
    return nullptr;
  return root;
}

}  // namespace

void StandIn_DirtyRegion::Add(const CGRect& rect) {
  CGRect added = Outward(rect);
  if (added.size.width <= 0 || added.size.height <= 0)
    return;
  // Joining may make the rectangle meet others it did not meet before: repeat until it stands
  // alone.
  for (bool joined = true; joined;) {
    joined = false;
    for (auto it = m_Rects.begin(); it != m_Rects.end(); ++it) {
      if (Meets(*it, added)) {
        added = Union(*it, added);
        m_Rects.erase(it);
        joined = true;
        break;
      }
    }
  }
  m_Rects.push_back(added);
}

CGRect StandIn_DirtyRegion::Bounds() const {
  if (m_Rects.empty())
    return CGRectMake(0, 0, 0, 0);
  CGRect bounds = m_Rects.front();
  for (const CGRect& r : m_Rects)
    bounds = Union(bounds, r);
  return bounds;
}

std::vector<CGRect> StandIn_DirtyRegion::Take() {
  std::vector<CGRect> rects;
  rects.swap(m_Rects);
  return rects;
}

namespace standin_tb {

StandIn_WindowPixels& PixelsOf(StandIn_ViewImpl* root) {
  if (!root->m_Pixels)
    root->m_Pixels = std::make_shared<StandIn_WindowPixels>();
  return *root->m_Pixels;
}

CGRect VisibleRectInRoot(StandIn_ViewImpl* view) {
  // Each superview clips: walking up, the rectangle moves into the superview's coordinates and is
  // cut to its bounds.
  CGRect rect = CGRectMake(0, 0, view->m_Frame.size.width, view->m_Frame.size.height);
  for (StandIn_ViewImpl* up = view; up->m_Superview; up = up->m_Superview) {
    rect.origin.x += up->m_Frame.origin.x;
    rect.origin.y += up->m_Frame.origin.y;
    const CGSize parent = up->m_Superview->m_Frame.size;
    rect = Intersection(rect, CGRectMake(0, 0, parent.width, parent.height));
  }
  return rect;
}

void MarkDirty(StandIn_ViewImpl* view) {
  if (view == nullptr)
    return;
  for (const StandIn_ViewImpl* up = view; up; up = up->m_Superview)
    if (!up->m_Visible)
      return;  // nothing of it shows
  if (StandIn_ViewImpl* root = WindowRootOf(view))
    PixelsOf(root).dirty.Add(VisibleRectInRoot(view));
}

void MarkWindowDirty(WindowRef window, const CGRect* rect) {
  StandIn_ViewImpl* root = window ? View(HIViewGetRoot(window)) : nullptr;
  if (root == nullptr)
    return;
  const CGRect whole = CGRectMake(0, 0, root->m_Frame.size.width, root->m_Frame.size.height);
  PixelsOf(root).dirty.Add(rect ? Intersection(*rect, whole) : whole);
}

void CountPixelChange(WindowRef window) {
  StandIn_ViewImpl* root = window ? View(HIViewGetRoot(window)) : nullptr;
  if (root == nullptr)
    return;
  StandIn_WindowPixels& pixels = PixelsOf(root);
  if (!pixels.rendering)
    ++pixels.changes;
}

std::function<void()> PixelChangeCounter(WindowRef window) {
  StandIn_ViewImpl* root = window ? View(HIViewGetRoot(window)) : nullptr;
  if (root == nullptr)
    return {};
  PixelsOf(root);
  // The context may outlive the window.
  std::weak_ptr<StandIn_WindowPixels> pixels = root->m_Pixels;
  return [pixels] {
    if (std::shared_ptr<StandIn_WindowPixels> held = pixels.lock())
      if (!held->rendering)
        ++held->changes;
  };
}

}  // namespace standin_tb
