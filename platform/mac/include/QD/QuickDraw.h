// QuickDraw of the Mac stand-in: rectangles, regions, window ports, colours and the mouse.
//
// Regions are lists of disjoint rectangles. The calls that make or change a region set QDError:
// noErr, or regionTooBigErr when a coordinate of the result would leave 16 bits (the region is
// then made empty). NewRgn and CopyRgn join the per-call failure injection by name (see
// StandIn_FilesFailNext in CoreServices/Files.h): NewRgn answers null, CopyRgn copies nothing and
// leaves the injected error in QDError.
//
// A window's port (GetWindowPort) is 32 bits deep; its bounds are its content's size with the
// origin (SetOrigin; 0, 0 at first) at the content's top left; its clip starts as a huge rectangle.
// QDBeginCGContext gives a context that draws into the window's backing store (see
// StandIn_WindowRender in HIToolbox/HIView.h) with the origin at the port's bottom left, y up,
// clipped to the port; QDEndCGContext releases it and clears the caller's reference. PaintRect
// fills a rectangle of the current port with its fore colour. The mouse is where the script last
// put it (global).
#pragma once
#include <CoreGraphics/CGContext.h>
#include <HIToolbox/CarbonEvents.h>

struct MacRegion;
typedef MacRegion* RgnPtr;
typedef RgnPtr* RgnHandle;

class StandIn_GrafPort;
typedef StandIn_GrafPort* CGrafPtr;
typedef CGrafPtr GrafPtr;

// The main screen's device (see CoreGraphics/CGDirectDisplay.h): its bounds in global
// coordinates, read afresh at each GetMainDevice.
struct GDevice {
  Rect gdRect;
};
typedef GDevice* GDPtr;
typedef GDPtr* GDHandle;
GDHandle GetMainDevice();

struct RGBColor {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

constexpr OSErr regionTooBigErr = -500;
constexpr OSStatus kQDNoColorHWCursorSupport = -3951;

// Rectangles.
void SetRect(Rect* r, short left, short top, short right, short bottom);
void OffsetRect(Rect* r, short dh, short dv);
void InsetRect(Rect* r, short dh, short dv);
// False (and an all-zero result) when they do not overlap.
Boolean SectRect(const Rect* src1, const Rect* src2, Rect* dstRect);
// The smallest rectangle enclosing both, empty ones included.
void UnionRect(const Rect* src1, const Rect* src2, Rect* dstRect);
Boolean EmptyRect(const Rect* r);
Boolean EqualRect(const Rect* rect1, const Rect* rect2);
Boolean PtInRect(Point pt, const Rect* r);

// Regions.
RgnHandle NewRgn(void);
void DisposeRgn(RgnHandle rgn);
OSErr QDError(void);
void RectRgn(RgnHandle rgn, const Rect* r);
void SetRectRgn(RgnHandle rgn, short left, short top, short right, short bottom);
void SetEmptyRgn(RgnHandle rgn);
void CopyRgn(RgnHandle srcRgn, RgnHandle dstRgn);
void OffsetRgn(RgnHandle rgn, short dh, short dv);
// Negative insets grow the region.
void InsetRgn(RgnHandle rgn, short dh, short dv);
void SectRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
void UnionRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
void DiffRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
Boolean EmptyRgn(RgnHandle rgn);
Boolean EqualRgn(RgnHandle rgnA, RgnHandle rgnB);
Boolean PtInRgn(Point pt, RgnHandle rgn);
Rect* GetRegionBounds(RgnHandle region, Rect* bounds);
Boolean IsRegionRectangular(RgnHandle region);

// Ports.
CGrafPtr GetWindowPort(WindowRef window);
WindowRef GetWindowFromPort(CGrafPtr port);
void SetPort(GrafPtr port);
void GetPort(GrafPtr* port);
// Swaps the current port; false when it changed.
Boolean QDSwapPort(CGrafPtr inNewPort, CGrafPtr* outOldPort);
// The content's size, its top left at the port's origin.
Rect* GetPortBounds(CGrafPtr port, Rect* rect);
// Gives the top left of the current port's content these local coordinates (the clip stays in
// local coordinates); the render pass sets it for each view's draw event (see
// HIToolbox/HIView.h).
void SetOrigin(short h, short v);
short GetPixDepth(CGrafPtr port);
// The current port's clip.
void GetClip(RgnHandle rgn);
void SetClip(RgnHandle rgn);
void ClipRect(const Rect* r);
OSStatus QDBeginCGContext(CGrafPtr inPort, CGContextRef* outContext);
OSStatus QDEndCGContext(CGrafPtr inPort, CGContextRef* inoutContext);
OSStatus SyncCGContextOriginWithPort(CGContextRef inContext, CGrafPtr port);
// Clips the context to the region, in the coordinates of portRect (the port's bounds) and in the
// context's base space (the CTM plays no part).
OSStatus ClipCGContextToRegion(CGContextRef gc, const Rect* portRect, RgnHandle region);

// Colours and painting in the current port.
void RGBForeColor(const RGBColor* color);
void GetForeColor(RGBColor* color);
void PaintRect(const Rect* r);

// The mouse: GetMouse gives it in the current port's coordinates.
void GetMouse(Point* mouseLoc);
// The mouse in global coordinates, whatever the current port.
void GetGlobalMouse(Point* globalMouse);
void GlobalToLocal(Point* pt);
void LocalToGlobal(Point* pt);

// Test hooks: regions alive (a leak check), a region's rectangles (disjoint, top to bottom), and
// where the mouse is (global).
long StandIn_RegionLiveCount();
long StandIn_RegionRectCount(RgnHandle rgn);
Rect StandIn_RegionRect(RgnHandle rgn, long index);
void StandIn_SetMouse(Point global);
// Where the script last put the mouse (global).
Point StandIn_GlobalMouse();
