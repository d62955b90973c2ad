// HIView of the Mac stand-in: the view tree of a window, frames, coordinate conversion and the
// common view state; controls (values, ids, data) are in HIToolbox/Controls.h.
//
// A window's root view covers its structure (origin 0, 0); its content view
// (kHIViewWindowContentID) lies below the title bar. A view holds one reference to each subview:
// adding a view retains it, HIViewRemoveFromSuperview releases that reference (as on the Mac, the
// last one may free the view), and a view that goes releases its subviews. HIViewConvertPoint with
// a null view means the window's coordinates, that is the root view's, relative to the structure's
// top left.
//
// Redraw tracking: each window keeps a dirty region, the parts of its structure whose pixels are
// out of date. HIViewSetNeedsDisplay (true), HIViewScrollRect, and changes of a view's frame,
// visibility, subviews, value, bounds, highlight, enabling, activation, title, text or content
// mark what the view shows dirty (nothing for a hidden view or a view in no window); a window's
// first render, a new size, its title, activation and opacity mark the whole window or its title
// band. HIViewSetNeedsDisplay also counts the request (StandIn_HIViewDisplayRequests).
//
// Drawing: each window renders into a backing store of its own, 32-bit premultiplied pixels the
// size of its structure, when StandIn_WindowRender is called. The render pass draws only what is
// dirty and clears the dirty region: for each dirty rectangle it paints the backing store white
// (transparent for a window that is not opaque), then sends kEventControlDraw
// (kEventParamCGContextRef, typeCGContextRef) to each visible view that meets the rectangle, a
// superview before its subviews and subviews in their order (later ones over earlier ones), with a
// context flipped to the view (origin at its top left, y down) and clipped to the rectangle, the
// view and its superviews. The context is released after the event. While the event runs, the
// window's port is the current port with its origin at the view's top left and its clip the
// visible part of the view, so QuickDraw and Appearance drawing land in the view
// (HIViewCreateOffscreenImage leaves the port alone). Each view's needs-display flag is cleared.
//
// A window's change count (StandIn_WindowChangeCount) moves by one when a render pass changed its
// pixels, and when a port or a context drawing into the window outside the render pass ends or is
// flushed after drawing (QDEndCGContext, CGContextFlush, PaintRect).
#pragma once
#include <CoreGraphics/CGImage.h>
#include <HIToolbox/HIObject.h>

typedef CGPoint HIPoint;
typedef CGSize HISize;
typedef CGRect HIRect;
typedef UInt64 HIViewFeatures;

struct HIViewID {
  OSType signature;
  SInt32 id;
};
typedef HIViewID ControlID;

constexpr OSStatus errInvalidWindowRef = -5600;
constexpr OSStatus errUnknownControl = -30584;
constexpr OSStatus errDataNotSupported = -30581;
constexpr OSStatus errDataSizeMismatch = -30591;
constexpr OSStatus errCantEmbedIntoSelf = -30594;

extern const HIViewID kHIViewWindowContentID;  // {'wind', 1}
// A resizable window's grow box, a subview of its root in the content's bottom right corner.
extern const HIViewID kHIViewWindowGrowBoxID;  // {'grow', 0}

HIViewRef HIViewGetRoot(WindowRef inWindow);
WindowRef HIViewGetWindow(HIViewRef inView);
// Depth first from inStartView (itself included); errUnknownControl when there is none.
OSStatus HIViewFindByID(HIViewRef inStartView, HIViewID inID, HIViewRef* outView);
OSStatus HIViewAddSubview(HIViewRef inParent, HIViewRef inNewChild);
OSStatus HIViewRemoveFromSuperview(HIViewRef inView);
HIViewRef HIViewGetSuperview(HIViewRef inView);
HIViewRef HIViewGetFirstSubview(HIViewRef inView);
HIViewRef HIViewGetNextView(HIViewRef inView);
HIViewRef HIViewGetLastSubview(HIViewRef inView);
HIViewRef HIViewGetPreviousView(HIViewRef inView);
long StandIn_HIViewSubviewCount(HIViewRef inView);

OSStatus HIViewGetFrame(HIViewRef inView, HIRect* outRect);
OSStatus HIViewSetFrame(HIViewRef inView, const HIRect* inRect);
// The view's own coordinates: origin 0, 0 and the frame's size.
OSStatus HIViewGetBounds(HIViewRef inView, HIRect* outRect);
OSStatus HIViewPlaceInSuperviewAt(HIViewRef inView, CGFloat inX, CGFloat inY);
OSStatus HIViewMoveBy(HIViewRef inView, CGFloat inDX, CGFloat inDY);
// errInvalidWindowRef when the two views share no root.
OSStatus HIViewConvertPoint(HIPoint* ioPoint, HIViewRef inSourceView, HIViewRef inDestView);

OSStatus HIViewSetNeedsDisplay(HIViewRef inView, Boolean inNeedsDisplay);
Boolean HIViewGetNeedsDisplay(HIViewRef inView);
OSStatus HIViewSetVisible(HIViewRef inView, Boolean inVisible);
// Visible when it and every superview are.
Boolean HIViewIsVisible(HIViewRef inView);
Boolean HIViewIsLatentlyVisible(HIViewRef inView);

// A new image of the view and its subviews (rendered as in a window's render pass over a
// transparent background) and the view's frame; either out pointer may be null.
OSStatus HIViewCreateOffscreenImage(HIViewRef inView, OptionBits inOptions, HIRect* outFrame,
                                    CGImageRef* outImage);

// A click on a part without the mouse: the part is highlighted and unhighlighted, then the view
// gets kEventControlHit with the part and the modifiers (whose standard handling sends the
// control's command); outPartClicked (may be null) receives the part.
typedef ControlPartCode HIViewPartCode;
OSStatus HIViewSimulateClick(HIViewRef inView, HIViewPartCode inPartToClick, UInt32 inModifiers,
                             ControlPartCode* outPartClicked);

// Scrolls the view's content by dx, dy (the rectangle in view coordinates; null: the whole view).
// The stand-in records the scroll (StandIn_HIViewLastScroll) and asks for a redraw.
OSStatus HIViewScrollRect(HIViewRef inView, const HIRect* inRect, CGFloat inDX, CGFloat inDY);

OSStatus HIViewChangeFeatures(HIViewRef inView, HIViewFeatures inFeaturesToSet,
                              HIViewFeatures inFeaturesToClear);
OSStatus HIViewGetFeatures(HIViewRef inView, HIViewFeatures* outFeatures);

// Test hooks.
// A new view of a kind of the nib format ("push", "check", "popup", "slider", "progress",
// "statictext", "icon", "bevel", "tab", "userpane", "placard", "image", "segmented", "scrollview",
// "browser", "textview"), in no window, with the given frame; null for an unknown kind. The
// caller owns the reference.
HIViewRef StandIn_NewView(const char* kind, HIRect frame);
// How often HIViewSetNeedsDisplay(view, true) was called for the view (HIViewScrollRect included).
long StandIn_HIViewDisplayRequests(HIViewRef inView);
// The kind of a view ("root", "content", a nib kind, or the class id of a subclass).
const char* StandIn_HIViewKind(HIViewRef inView);
// Renders what is dirty of the window into its backing store (see above); errInvalidWindowRef
// for null.
OSStatus StandIn_WindowRender(WindowRef window);
// The window's backing store: a cairo ARGB32 image surface the size of its structure (title band
// included), made white when the window has none of that size yet. The caller owns the reference
// (cairo_surface_destroy); null for a null window or when it cannot be made.
struct _cairo_surface;
_cairo_surface* StandIn_CopyWindowBackingStore(WindowRef window);
// The bounds of the window's dirty region (empty when nothing is dirty), in its structure.
HIRect StandIn_WindowDirtyBounds(WindowRef window);
// How often the window's pixels changed (see above).
long StandIn_WindowChangeCount(WindowRef window);
// A pixel of the backing store as premultiplied 0xAARRGGBB, at (x, y) from the structure's top
// left; 0 outside it or before the first render.
UInt32 StandIn_WindowPixel(WindowRef window, int x, int y);
// The backing store's size (0 x 0 before the first render).
HISize StandIn_WindowBackingSize(WindowRef window);
// The last HIViewScrollRect of the view and how many there were.
struct StandIn_ScrollRecord {
  CGFloat dx;
  CGFloat dy;
  long count;
};
StandIn_ScrollRecord StandIn_HIViewLastScroll(HIViewRef inView);

// Scroll views ("scrollview"): on kEventScrollableInfoChanged ('scrl' 2) the standard handling
// asks the scroll view's subviews in order for kEventScrollableGetInfo ('scrl' 1) and records the
// first answer, as the scroll bars would show it. StandIn_ScrollViewScrollTo plays a user moving
// the bars: kEventScrollableScrollTo ('scrl' 10, 'orgn') to the subviews until one answers.
struct StandIn_ScrollInfo {
  HISize imageSize;
  HISize viewSize;
  HISize lineSize;
  HIPoint origin;
  long asked;  // get-info requests answered so far
};
StandIn_ScrollInfo StandIn_ScrollViewInfo(HIViewRef scrollView);
OSStatus StandIn_ScrollViewScrollTo(HIViewRef scrollView, HIPoint origin);
