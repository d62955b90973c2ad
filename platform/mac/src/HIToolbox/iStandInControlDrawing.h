// The standard drawing of the stand-in's views, shared by the views' standard handling and the
// render pass (see ControlDrawing.cpp).
#pragma once
#include <CoreGraphics/CGContext.h>
#include <HIToolbox/CarbonEvents.h>

class StandIn_ViewImpl;

namespace standin_tb {

// A scroll view's bars are this wide, along its right and bottom edges.
constexpr CGFloat kScrollBarWidth = 15;

// The standard answer to a view's own draw event: a window's frame for its root view, the
// system's controls in the plain theme; eventNotHandledErr for kinds that draw nothing.
OSStatus DrawStandardView(StandIn_ViewImpl* view, EventRef event);
// Whether the view draws over its subviews once they are drawn (a scroll view's bars), and that
// drawing, in a context flipped to the view.
bool DrawsOverSubviews(const StandIn_ViewImpl& view);
void DrawOverSubviews(StandIn_ViewImpl* view, CGContextRef context);

}  // namespace standin_tb
