// HIView of the Mac stand-in: the view tree of a window, frames, coordinate conversion and the
// common view state; controls (values, ids, data) are in HIToolbox/Controls.h.
//
// A window's root view covers its structure (origin 0, 0); its content view
// (kHIViewWindowContentID) lies below the title bar. A view holds one reference to each subview:
// adding a view retains it, HIViewRemoveFromSuperview releases that reference (as on the Mac, the
// last one may free the view), and a view that goes releases its subviews. HIViewConvertPoint with
// a null view means the window's coordinates, that is the root view's, relative to the structure's
// top left. HIViewSetNeedsDisplay only records the request (StandIn_HIViewDisplayRequests).
#pragma once
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

HIViewRef HIViewGetRoot(WindowRef inWindow);
WindowRef HIViewGetWindow(HIViewRef inView);
// Depth first from inStartView (itself included); errUnknownControl when there is none.
OSStatus HIViewFindByID(HIViewRef inStartView, HIViewID inID, HIViewRef* outView);
OSStatus HIViewAddSubview(HIViewRef inParent, HIViewRef inNewChild);
OSStatus HIViewRemoveFromSuperview(HIViewRef inView);
HIViewRef HIViewGetSuperview(HIViewRef inView);
HIViewRef HIViewGetFirstSubview(HIViewRef inView);
HIViewRef HIViewGetNextView(HIViewRef inView);
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

OSStatus HIViewChangeFeatures(HIViewRef inView, HIViewFeatures inFeaturesToSet,
                              HIViewFeatures inFeaturesToClear);
OSStatus HIViewGetFeatures(HIViewRef inView, HIViewFeatures* outFeatures);

// Test hooks.
// A new view of a kind of the nib format ("push", "check", "popup", "slider", "progress",
// "statictext", "icon", "bevel", "tab", "userpane", "placard", "image", "segmented", "scrollview",
// "browser", "textview"), in no window, with the given frame; null for an unknown kind. The
// caller owns the reference.
HIViewRef StandIn_NewView(const char* kind, HIRect frame);
// How often HIViewSetNeedsDisplay(view, true) was called for the view.
long StandIn_HIViewDisplayRequests(HIViewRef inView);
// The kind of a view ("root", "content", a nib kind, or the class id of a subclass).
const char* StandIn_HIViewKind(HIViewRef inView);
