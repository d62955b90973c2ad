// The private messages between the sheet view, the viewer around it, its rulers and the frame.
// A pointer in a parameter belongs to the sender and is valid only while the message is sent.
#pragma once

#include <windows.h>

enum : UINT {
  // To the frame: lParam -> the visible part as fractions of the sheet image (top, left, width,
  // height).
  WKRX_WM_VIEWFRAMECHANGED = WM_APP + 12,
  // To the frame: wParam = old level | new level << 16; lParam as above.
  WKRX_WM_ZOOMLEVELCHANGED = WM_APP + 13,
  // To the view: lParam -> two doubles, vertical and horizontal fraction of the image.
  WKRX_WM_SCROLLVIEWTO = WM_APP + 14,
  // To the view: lParam -> a rectangle in fractions of the image.
  WKRX_WM_ZOOMVIEWTORECT = WM_APP + 15,
  // To the navigation palette: wParam non-zero shows the front, zero the back.
  WKRX_WM_FRONTSIDESHOWN = WM_APP + 16,
  WKRX_WM_BACKSIDESHOWN = WM_APP + 17,
  WKRX_WM_PAGEEDGESSHOWN = WM_APP + 18,
  WKRX_WM_PAGEEDGESHIDDEN = WM_APP + 19,
  WKRX_WM_PAGENUMBERSSHOWN = WM_APP + 20,
  WKRX_WM_PAGENUMBERSHIDDEN = WM_APP + 21,
  WKRX_WM_SHEETCONTENTCHANGED = WM_APP + 22,
  // To the navigation palette: wParam = the view's rotation in degrees.
  WKRX_WM_ROTATIONCHANGED = WM_APP + 23,
  // To the frame: wParam = the command of the palette to show.
  WKRX_WM_SHOWPALETTE = WM_APP + 39,
  // To the frame: wParam -> pointer or measuring point in units; lParam -> two distances or 0.
  WKRX_WM_MEASUREMENTCHANGED = WM_APP + 40,
  // To the viewer: wParam -> the pointer in units.
  WKRX_WM_CURSORPOSITION = WM_APP + 41,
  // To the frame: lParam -> a rectangle in 1:1 image pixels.
  WKRX_WM_DENSITOMETERMOVED = WM_APP + 42,
  // To the view, from a ruler: start placing a guide (wParam non-zero: horizontal).
  WKRX_WM_BEGINHORZGUIDEDRAG = WM_APP + 43,
  WKRX_WM_BEGINVERTGUIDEDRAG = WM_APP + 44,
  // To the view, from the corner box: start moving the unit origin.
  WKRX_WM_BEGINORIGINDRAG = WM_APP + 45,
  // To the frame, from a palette: wParam = the palette's command; lParam = the palette's window
  // (hidden) or the window being activated.
  WKRX_WM_PALETTEHIDDEN = WM_APP + 46,
  WKRX_WM_PALETTEACTIVATED = WM_APP + 47,
  WKRX_WM_PALETTEDEACTIVATED = WM_APP + 48,
  // To the frame: lParam = the sheet made with the dropped files.
  WKRX_WM_FILESDROPPED = WM_APP + 51
};

// The palettes' commands: the measure tool shows the measurement palette.
constexpr WPARAM kWKRX_MeasurementPaletteCommand = 10144;
constexpr WPARAM kWKRX_NavigationPaletteCommand = 10145;
