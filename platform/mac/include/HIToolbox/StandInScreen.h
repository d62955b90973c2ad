// The screen model of the Mac stand-in: what its one main screen (CoreGraphics/CGDirectDisplay.h)
// shows, and the drawing of the menu bar and of menus, for tests and for a presenter that shows
// the stand-in's windows on a real display.
//
// The screen shows the desktop colour, over it the visible windows in z-order (back to front),
// each window's backing store at its structure composited over what lies beneath (a window that is
// not opaque, an overlay, shows it through its transparent pixels), and over everything the menu
// bar strip along the top, the menu bar height of the screen model high.
//
// The menu bar shows the titles of the root menu's items (HIToolbox/Menus.h): each item's submenu's
// title, or the item's text when the submenu has none, in the menu font (14 points) from 10 points
// in, each title's box its text's width plus 20. A menu shows its items one below the other in
// 19-point rows (separators 10 points), inside a 1-point edge and 4 points of margin above and
// below: the mark in a column 20 wide at the left (a check mark for 0x12, a bullet for 0xA5, a
// diamond for 0x13, else the character), the text, and right-aligned the key equivalent (the glyphs
// of Control, Option, Shift and Command, those the item's modifiers ask for, then the character) or
// an arrow for a submenu. Enabled items are black, disabled ones grey; the highlighted item is
// white on the selection colour. Pixels are premultiplied 0xAARRGGBB, as StandIn_WindowPixel gives
// them.
#pragma once
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>

struct _cairo_surface;

constexpr UInt32 kStandInDesktopColour = 0xFF4A6B94;

// Renders what is dirty of each visible window (StandIn_WindowRender) and composes the screen.
OSStatus StandIn_ScreenRender();
// A pixel of the screen as the last StandIn_ScreenRender composed it; 0 outside the screen or
// before the first.
UInt32 StandIn_ScreenPixel(int x, int y);

// The menu bar strip (the screen's width by its menu bar height) with the title at the 1-based
// index highlighted (0: none); the caller owns the surface (cairo_surface_destroy). Null when it
// cannot be made.
_cairo_surface* StandIn_CopyMenuBarImage(MenuItemIndex highlighted);
// A title's box in the menu bar (global coordinates); empty for an index without one.
HIRect StandIn_MenuBarTitleBounds(MenuItemIndex index);
// A menu drawn at its own size with the item at the 1-based index highlighted (0: none); the
// caller owns the surface. Null for a null menu.
_cairo_surface* StandIn_CopyMenuImage(MenuRef menu, MenuItemIndex highlighted);
// The size of a menu as drawn, and an item's row in it; empty for an index without one.
HISize StandIn_MenuSize(MenuRef menu);
HIRect StandIn_MenuItemBounds(MenuRef menu, MenuItemIndex item);
