// Redraw tracking of the stand-in's windows: what of a window's backing store is out of date (its
// dirty region), and how often its pixels changed. The toolbox runs on the main thread only.
#pragma once
#include <CoreGraphics/CGGeometry.h>
#include <HIToolbox/MacWindows.h>

#include <functional>
#include <vector>

class StandIn_ViewImpl;

// Rectangles of a window's structure whose pixels are out of date: whole pixels, none empty,
// overlapping ones joined into one.
class StandIn_DirtyRegion {
public:
  void Add(const CGRect& rect);
  bool Empty() const { return m_Rects.empty(); }
  CGRect Bounds() const;
  // The rectangles, leaving the region empty.
  std::vector<CGRect> Take();

private:
  std::vector<CGRect> m_Rects;
};

// The pixel state of one window, kept by its root view.
struct StandIn_WindowPixels {
  StandIn_DirtyRegion dirty;
  long changes = 0;
  bool rendering = false;  // the render pass counts its own change once
};

namespace standin_tb {

// The window's pixel state, made on first use.
StandIn_WindowPixels& PixelsOf(StandIn_ViewImpl* root);
// Marks what the view shows in its window dirty (nothing for a view in no window or hidden).
void MarkDirty(StandIn_ViewImpl* view);
// Marks a rectangle of the window's structure dirty; null: the whole structure.
void MarkWindowDirty(WindowRef window, const CGRect* rect);
// Counts a change of the window's pixels made outside the render pass (a port painting, or a
// context that drew into the window ending or being flushed).
void CountPixelChange(WindowRef window);
// What a context drawing into the window calls when its drawing ends or is flushed.
std::function<void()> PixelChangeCounter(WindowRef window);
// The view's rectangle in its root view's coordinates, clipped to its superviews.
CGRect VisibleRectInRoot(StandIn_ViewImpl* view);

}  // namespace standin_tb
