// QuickDraw regions of the Mac stand-in (see QD/QuickDraw.h).
#include "iStandInRegions.h"

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>

namespace {

std::atomic<long> g_liveRegions{0};
thread_local OSErr g_lastError = noErr;

using Rects = std::vector<Rect>;
using Wide = std::int64_t;

struct WideRect {
  Wide top, left, bottom, right;
};

bool Inside(const Rects& rects, Wide x, Wide y) {
  for (const Rect& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
      return true;
  return false;
}

// Rectangles of 64-bit coordinates back to a region; regionTooBigErr (and empty) when they leave
// 16 bits.
void Store(RgnHandle rgn, const std::vector<WideRect>& wide) {
  Rects out;
  for (const WideRect& w : wide) {
    if (w.top < -32768 || w.left < -32768 || w.bottom > 32767 || w.right > 32767) {
      (*rgn)->rects.clear();
      g_lastError = regionTooBigErr;
      return;
    }
    out.push_back(Rect{short(w.top), short(w.left), short(w.bottom), short(w.right)});
  }
  (*rgn)->rects = std::move(out);
  g_lastError = noErr;
}

// The cells of the grid of every edge of both regions for which keep holds, merged into
// horizontal bands and then rows of equal bands.
void Combine(RgnHandle a, RgnHandle b, RgnHandle dst, const std::function<bool(bool, bool)>& keep) {
  const Rects ra = (*a)->rects, rb = (*b)->rects;
  std::vector<Wide> xs, ys;
  for (const Rects* rs : {&ra, &rb})
    for (const Rect& r : *rs)
      xs.insert(xs.end(), {r.left, r.right}), ys.insert(ys.end(), {r.top, r.bottom});
  std::sort(xs.begin(), xs.end()), xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end()), ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<WideRect> out;
  std::vector<std::pair<Wide, Wide>> previousSpans;
  std::vector<std::size_t> open;  // indices in out of the previous band's rectangles
  for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
    std::vector<std::pair<Wide, Wide>> spans;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      if (!keep(Inside(ra, xs[i], ys[j]), Inside(rb, xs[i], ys[j])))
        continue;
      if (!spans.empty() && spans.back().second == xs[i])
        spans.back().second = xs[i + 1];
      else
        spans.emplace_back(xs[i], xs[i + 1]);
    }
    if (spans == previousSpans && !spans.empty() && out[open.front()].bottom == ys[j]) {
      for (std::size_t k : open)
        out[k].bottom = ys[j + 1];
      continue;
    }
    open.clear();
    for (const auto& span : spans) {
      open.push_back(out.size());
      out.push_back(WideRect{ys[j], span.first, ys[j + 1], span.second});
    }
    previousSpans = spans;
  }
  Store(dst, out);
}

// A region of the stand-in's own work, outside the counts and failure injection.
class ScratchRegion {
public:
  RgnHandle Get() { return &m_Region.master; }

private:
  MacRegion m_Region;
};

void Grow(RgnHandle rgn, Wide dh, Wide dv) {
  std::vector<WideRect> grown;
  for (const Rect& r : (*rgn)->rects)
    grown.push_back(WideRect{r.top - dv, r.left - dh, r.bottom + dv, r.right + dh});
  // Union of the grown rectangles, one at a time (they may overlap now).
  ScratchRegion sumRegion, oneRegion;
  RgnHandle sum = sumRegion.Get();
  RgnHandle one = oneRegion.Get();
  OSErr err = noErr;
  for (const WideRect& w : grown) {
    Store(one, {w});
    err = err ? err : g_lastError;
    UnionRgn(sum, one, sum);
  }
  (*rgn)->rects = (*sum)->rects;
  g_lastError = err;
}

// Shrinks along one axis: what is left after growing the outside by the amount.
void Shrink(RgnHandle rgn, Wide dh, Wide dv) {
  Rect bounds;
  GetRegionBounds(rgn, &bounds);
  ScratchRegion outsideRegion;
  RgnHandle outside = outsideRegion.Get();
  Store(outside, {WideRect{bounds.top - 1, bounds.left - 1, bounds.bottom + 1, bounds.right + 1}});
  DiffRgn(outside, rgn, outside);
  Grow(outside, dh, dv);
  DiffRgn(rgn, outside, rgn);
}

}  // namespace

RgnHandle NewRgn(void) {
  if (standin_files::EnterCall("NewRgn"))
    return nullptr;
  ++g_liveRegions;
  return &(new MacRegion)->master;
}

void DisposeRgn(RgnHandle rgn) {
  standin_files::EnterCall("DisposeRgn");
  if (rgn) {
    delete *rgn;
    --g_liveRegions;
  }
}

OSErr QDError(void) {
  return g_lastError;
}

void RectRgn(RgnHandle rgn, const Rect* r) {
  if (rgn == nullptr || r == nullptr)
    return;
  (*rgn)->rects.clear();
  if (!EmptyRect(r))
    (*rgn)->rects.push_back(*r);
  g_lastError = noErr;
}

void SetRectRgn(RgnHandle rgn, short left, short top, short right, short bottom) {
  const Rect r{top, left, bottom, right};
  RectRgn(rgn, &r);
}

void SetEmptyRgn(RgnHandle rgn) {
  if (rgn)
    (*rgn)->rects.clear();
  g_lastError = noErr;
}

void CopyRgn(RgnHandle srcRgn, RgnHandle dstRgn) {
  if (OSErr err = standin_files::EnterCall("CopyRgn")) {
    g_lastError = err;
    return;
  }
  if (srcRgn && dstRgn && srcRgn != dstRgn)
    (*dstRgn)->rects = (*srcRgn)->rects;
  g_lastError = noErr;
}

void OffsetRgn(RgnHandle rgn, short dh, short dv) {
  if (rgn == nullptr)
    return;
  std::vector<WideRect> moved;
  for (const Rect& r : (*rgn)->rects)
    moved.push_back(
        WideRect{Wide(r.top) + dv, Wide(r.left) + dh, Wide(r.bottom) + dv, Wide(r.right) + dh});
  Store(rgn, moved);
}

void InsetRgn(RgnHandle rgn, short dh, short dv) {
  if (rgn == nullptr)
    return;
  g_lastError = noErr;
  if (dh < 0)
    Grow(rgn, -Wide(dh), 0);
  else if (dh > 0)
    Shrink(rgn, dh, 0);
  const OSErr first = g_lastError;
  if (dv < 0)
    Grow(rgn, 0, -Wide(dv));
  else if (dv > 0)
    Shrink(rgn, 0, dv);
  if (first)
    g_lastError = first;
}

void SectRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn) {
  Combine(srcRgnA, srcRgnB, dstRgn, [](bool a, bool b) { return a && b; });
}

void UnionRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn) {
  Combine(srcRgnA, srcRgnB, dstRgn, [](bool a, bool b) { return a || b; });
}

void DiffRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn) {
  Combine(srcRgnA, srcRgnB, dstRgn, [](bool a, bool b) { return a && !b; });
}

Boolean EmptyRgn(RgnHandle rgn) {
  return rgn == nullptr || (*rgn)->rects.empty();
}

Boolean EqualRgn(RgnHandle rgnA, RgnHandle rgnB) {
  ScratchRegion difference;
  Combine(rgnA, rgnB, difference.Get(), [](bool a, bool b) { return a != b; });
  return EmptyRgn(difference.Get());
}

Boolean PtInRgn(Point pt, RgnHandle rgn) {
  return rgn && Inside((*rgn)->rects, pt.h, pt.v);
}

Rect* GetRegionBounds(RgnHandle region, Rect* bounds) {
  Rect out{0, 0, 0, 0};
  if (region && !(*region)->rects.empty()) {
    out = (*region)->rects.front();
    for (const Rect& r : (*region)->rects)
      UnionRect(&out, &r, &out);
  }
  *bounds = out;
  return bounds;
}

Boolean IsRegionRectangular(RgnHandle region) {
  return region && (*region)->rects.size() <= 1;
}

long StandIn_RegionLiveCount() {
  return g_liveRegions.load();
}

long StandIn_RegionRectCount(RgnHandle rgn) {
  return rgn ? static_cast<long>((*rgn)->rects.size()) : 0;
}

Rect StandIn_RegionRect(RgnHandle rgn, long index) {
  if (rgn == nullptr || index < 0 || index >= StandIn_RegionRectCount(rgn))
    return Rect{0, 0, 0, 0};
  return (*rgn)->rects[std::size_t(index)];
}
