// What the Appearance Manager draws and the stand-in's own controls draw the same way.
#pragma once
#include <HIToolbox/Appearance.h>

namespace standin_appearance {

// A small bevel button's frame and face for a draw state (see DrawThemeButton), in a context
// whose y runs down.
void DrawSmallBevel(CGContextRef context, const CGRect& bounds, ThemeDrawState state);
// A placard's face and edge (see DrawThemePlacard).
void DrawPlacard(CGContextRef context, const CGRect& bounds, bool active);

}  // namespace standin_appearance
