// Bevel buttons, image views and segmented views of the Mac stand-in, made in code (views of
// these kinds loaded from a nib have no state of their own and draw nothing).
//
// Content (ControlButtonContentInfo): kControlContentIconRef (132, borrowed) or
// kControlContentCGImageRef (134, the view holds a reference); other types show no content.
//
// A bevel button draws as the small theme bevel button (HIToolbox/Appearance.h: pressed while
// its value is 1, inactive while disabled) with its content centred. Its behaviour decides a
// click: kControlBehaviorToggles flips the value between 0 and 1, kControlBehaviorSticky sets 1,
// a push button keeps 0; then the hit sends its command as any control's.
//
// An image view draws its image at its top left, at the image's size and upright; it is made
// with the image's size (0 x 0 without one).
//
// A segmented view holds segments numbered from 1, each with a behaviour, content, command,
// value (0 or 1), enabling and content width. It draws one cell a segment, left to right, each
// as a bevel (pressed while its value is 1, inactive while disabled) with its content centred.
// A segment is its content width plus 16 wide: the width set, or with automatic width the
// content's (an image's width, an icon 16, no content 0). Its best rectangle keeps the frame's
// origin and is the segments' widths together by 24 high.
#pragma once
#include <HIServices/Icons.h>
#include <HIToolbox/Controls.h>

typedef SInt16 ControlContentType;
enum : ControlContentType {
  kControlContentTextOnly = 0,
  kControlNoContent = 0,
  kControlContentIconRef = 132,
  kControlContentCGImageRef = 134
};

struct ControlButtonContentInfo {
  ControlContentType contentType;
  union {
    IconRef iconRef;
    CGImageRef imageRef;
    Handle iconSuite;
  } u;
};
typedef ControlButtonContentInfo* ControlButtonContentInfoPtr;
typedef ControlButtonContentInfo HIViewImageContentInfo;

typedef UInt16 ControlBevelThickness;
typedef UInt16 ControlBevelButtonBehavior;
typedef UInt16 ControlBevelButtonMenuBehavior;
typedef UInt16 ControlBevelButtonMenuPlacement;
enum : ControlBevelThickness {
  kControlBevelButtonSmallBevel = 0,
  kControlBevelButtonNormalBevel = 1,
  kControlBevelButtonLargeBevel = 2
};
enum : ControlBevelButtonBehavior {
  kControlBehaviorPushbutton = 0,
  kControlBehaviorToggles = 0x0100,
  kControlBehaviorSticky = 0x0200
};
constexpr ResType kControlBevelButtonContentTag = 0x636f6e74;  // 'cont'

// The window may be null (a view for a toolbar item or another view); the bounds are the frame.
OSStatus CreateBevelButtonControl(WindowRef window, const Rect* boundsRect, CFStringRef title,
                                  ControlBevelThickness thickness,
                                  ControlBevelButtonBehavior behavior,
                                  ControlButtonContentInfoPtr info, SInt16 menuID,
                                  ControlBevelButtonMenuBehavior menuBehavior,
                                  ControlBevelButtonMenuPlacement menuPlacement,
                                  ControlRef* outControl);
// Content of a bevel button: also readable through GetControlData with
// kControlBevelButtonContentTag.
OSStatus GetBevelButtonContentInfo(ControlRef inButton, ControlButtonContentInfoPtr outContent);

// kHIViewAllowsSubviews: the feature an image view needs before it holds subviews.
constexpr HIViewFeatures kHIViewAllowsSubviews = 1ull << 1;
OSStatus HIImageViewCreate(CGImageRef inImage, HIViewRef* outControl);
OSStatus HIImageViewSetImage(HIViewRef inView, CGImageRef inImage);
// A new reference, or null.
CGImageRef HIImageViewCopyImage(HIViewRef inView);

typedef UInt32 HISegmentBehavior;
enum : HISegmentBehavior {
  kHISegmentBehaviorMomentary = 0,
  kHISegmentBehaviorRadio = 1,
  kHISegmentBehaviorToggles = 2,
  kHISegmentBehaviorSticky = 3
};
// Segment calls on another view, or with an index outside 1 ... count, answer paramErr (the
// getters 0).
OSStatus HISegmentedViewCreate(const HIRect* inBounds, HIViewRef* outRef);
OSStatus HISegmentedViewSetSegmentCount(HIViewRef inSegmentedView, UInt32 inSegmentCount);
UInt32 HISegmentedViewGetSegmentCount(HIViewRef inSegmentedView);
OSStatus HISegmentedViewSetSegmentBehavior(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                           HISegmentBehavior inBehavior);
HISegmentBehavior HISegmentedViewGetSegmentBehavior(HIViewRef inSegmentedView,
                                                    UInt32 inSegmentIndexOneBased);
OSStatus HISegmentedViewSetSegmentImage(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                        const HIViewImageContentInfo* inImage);
ControlContentType HISegmentedViewGetSegmentImageContentType(HIViewRef inSegmentedView,
                                                             UInt32 inSegmentIndexOneBased);
OSStatus HISegmentedViewSetSegmentCommand(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                          UInt32 inCommand);
UInt32 HISegmentedViewGetSegmentCommand(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased);
OSStatus HISegmentedViewSetSegmentValue(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                        SInt32 inValue);
SInt32 HISegmentedViewGetSegmentValue(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased);
OSStatus HISegmentedViewSetSegmentEnabled(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased,
                                          Boolean inEnabled);
Boolean HISegmentedViewIsSegmentEnabled(HIViewRef inSegmentedView, UInt32 inSegmentIndexOneBased);
OSStatus HISegmentedViewSetSegmentContentWidth(HIViewRef inSegmentedView,
                                               UInt32 inSegmentIndexOneBased,
                                               Boolean inAutoCalculateWidth, float inWidth);
// The content width (as computed for an automatic width); *outAutoCalculated may be null.
float HISegmentedViewGetSegmentContentWidth(HIViewRef inSegmentedView,
                                            UInt32 inSegmentIndexOneBased,
                                            Boolean* outAutoCalculated);
