// The stand-in's plain theme: the colours, bevels, marks and text that the Appearance Manager,
// every standard control, window frames, menus and the menu bar draw with, so that they all look
// alike and tests can probe them against one set of rules. Drawing goes into CoreGraphics
// contexts whose y runs down (a view's draw context, or a context over a surface of the stand-in's
// own).
#pragma once
#include <CoreGraphics/CGContext.h>
#include <CoreGraphics/CGImage.h>
#include <MacTypes.h>

#include <string>

namespace standin_theme {

// Colours, 0xRRGGBB.
constexpr UInt32 kFrame = 0x808080;          // the edge of controls
constexpr UInt32 kFrameDisabled = 0xB0B0B0;  // the edge of disabled controls, and separators
constexpr UInt32 kFace = 0xE0E0E0;           // buttons
constexpr UInt32 kFacePressed = 0xA0A0A0;
constexpr UInt32 kFaceDisabled = 0xF0F0F0;
constexpr UInt32 kField = 0xFFFFFF;  // text fields, check boxes, tracks
constexpr UInt32 kText = 0x000000;
constexpr UInt32 kTextDisabled = 0x7F7F7F;
constexpr UInt32 kSelection = 0x3875D7;  // a selected tab or menu item, a slider's or bar's fill
constexpr UInt32 kSelectionLight = 0x9DBAEB;  // the light stripes of an indeterminate bar
constexpr UInt32 kSelectedText = 0xFFFFFF;
constexpr UInt32 kFillDisabled = 0xB8B8B8;  // a disabled slider's or bar's fill
constexpr UInt32 kFocus = 0x7DA7D9;         // focus rings
constexpr UInt32 kPlacard = 0xEDEDED;
constexpr UInt32 kPlacardInactive = 0xF5F5F5;
constexpr UInt32 kPlacardEdge = 0x8C8C8C;
constexpr UInt32 kPlacardEdgeInactive = 0xBFBFBF;
constexpr UInt32 kTitleBand = 0xD4D4D4;  // an active window's title band
constexpr UInt32 kTitleBandInactive = 0xEEEEEE;
constexpr UInt32 kCloseBox = 0xE0443E;
constexpr UInt32 kCollapseBox = 0xE5A62E;
constexpr UInt32 kZoomBox = 0x3EAF48;
constexpr UInt32 kBoxInactive = 0xC8C8C8;  // the title band's boxes in an inactive window
constexpr UInt32 kMenu = 0xF6F6F6;         // menus and the menu bar
constexpr UInt32 kDesktop = 0x4A6B94;

// Theme font sizes.
constexpr double kSystemSize = 13;
constexpr double kSmallSize = 11;
constexpr double kViewsSize = 12;
constexpr double kMenuSize = 14;

void SetFill(CGContextRef context, UInt32 rgb);
void Fill(CGContextRef context, const CGRect& rect, UInt32 rgb);
// A frame of the given width inside the rectangle.
void Frame(CGContextRef context, const CGRect& rect, UInt32 rgb, CGFloat width = 1);
// A button-like bevel: a kFrame frame and a face for the look (kFace, kFacePressed,
// kFaceDisabled).
enum class Look {
  kNormal,
  kPressed,
  kDisabled
};
void Bevel(CGContextRef context, const CGRect& rect, Look look);
// A focus ring: a band two pixels wide of kFocus just outside the rectangle.
void FocusRing(CGContextRef context, const CGRect& rect);
// A filled triangle in the box pointing down, up, left or right.
enum class Direction {
  kDown,
  kUp,
  kLeft,
  kRight
};
void Triangle(CGContextRef context, const CGRect& box, Direction direction, UInt32 rgb);
// A disc filling the box.
void Disc(CGContextRef context, const CGRect& box, UInt32 rgb);

// An image drawn upright (its first row at the top) filling the place, at half alpha when dimmed.
void Picture(CGContextRef context, CGImageRef image, const CGRect& place, bool dimmed);

// Text of the system font family at a size, in one line.
enum class Align {
  kLeft,
  kCentre,
  kRight
};
double TextWidth(const std::u16string& text, double size);
// Draws the text in the box, vertically centred, cut with an ellipsis when it is wider.
void Text(CGContextRef context, const std::u16string& text, const CGRect& box, double size,
          UInt32 rgb, Align align = Align::kLeft);

// Draws the text from the box's top in lines of the given height, broken at spaces and line
// breaks to fit the box's width; lines below the box are left out.
void WrappedText(CGContextRef context, const std::u16string& text, const CGRect& box, double size,
                 UInt32 rgb, CGFloat lineHeight);

}  // namespace standin_theme
