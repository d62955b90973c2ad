// Icon Services of the Mac stand-in: icons registered by (creator, type) from an icon file, and
// icons of files. An icon file is accepted when it begins like an icon family ("icns") or a PNG
// image. An IconRef counts the references its callers hold: each call that gives one adds a
// reference, ReleaseIconRef takes one away, and an icon of a file goes when its last reference
// goes (a registered icon stays registered until the test hooks reset the stand-in).
#pragma once
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>  // kOnSystemDisk
#include <CoreGraphics/CGGeometry.h>
#include <MacTypes.h>

struct OpaqueIconRef;
typedef OpaqueIconRef* IconRef;

constexpr OSErr invalidIconRefErr = -2580;
constexpr OSErr noSuchIconErr = -2582;
constexpr OSErr noIconDataAvailableErr = -2583;

// The icon registered for (creator, iconType); vRefNum is not looked at. noSuchIconErr when none
// is registered.
OSErr GetIconRef(SInt16 vRefNum, OSType creator, OSType iconType, IconRef* theIconRef);
// Registers (or registers anew) the icon file for (creator, iconType) and gives a reference to
// it. fnfErr for a missing file, noIconDataAvailableErr for a file that is no icon.
OSErr RegisterIconRefFromIconFile(OSType creator, OSType iconType, const FSSpec* iconFile,
                                  IconRef* theIconRef);
// The same for a file given by FSRef.
OSErr RegisterIconRefFromFSRef(OSType creator, OSType iconType, const FSRef* iconFile,
                               IconRef* theIconRef);
// A new icon of an existing file or folder; *theLabel (when given) receives 0.
OSErr GetIconRefFromFile(const FSSpec* theFile, IconRef* theIconRef, SInt16* theLabel);
// invalidIconRefErr for null or an icon none of whose references is held.
OSErr ReleaseIconRef(IconRef theIconRef);

// Plotting: a PNG icon file is drawn from its image, an icon family from its largest PNG
// element, or, without one, as a mid-grey square of 32 x 32. The icon keeps its proportions and
// shrinks to fit the rectangle (it never grows), placed by the alignment (vertical: 1 centre, 2
// top, 3 bottom; horizontal: 4 centre, 8 left, 12 right; 0 centres both), drawn like an image (its
// first row at the larger y). Transforms: 1 (disabled) draws at half alpha, 0x4000 (selected)
// darkens by a third, 0x4001 does both.
typedef SInt16 IconAlignmentType;
typedef SInt16 IconTransformType;
typedef UInt32 PlotIconRefFlags;
enum : IconAlignmentType {
  kAlignNone = 0,
  kAlignVerticalCenter = 1,
  kAlignTop = 2,
  kAlignBottom = 3,
  kAlignHorizontalCenter = 4,
  kAlignAbsoluteCenter = 5,
  kAlignLeft = 8,
  kAlignRight = 12
};
enum : IconTransformType {
  kTransformNone = 0,
  kTransformDisabled = 1,
  kTransformSelected = 0x4000
};
struct RGBColor;
class StandIn_CGContext;
OSStatus PlotIconRefInContext(StandIn_CGContext* inContext, const CGRect* inRect,
                              IconAlignmentType inAlign, IconTransformType inTransform,
                              const RGBColor* inLabelColor, PlotIconRefFlags inFlags,
                              IconRef inIconRef);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hooks.
// References held by callers, of one icon or of all icons (a leak check).
long StandIn_IconReferenceCount(IconRef icon);
long StandIn_IconLiveReferenceCount();
// How often ReleaseIconRef succeeded since the last reset.
long StandIn_IconReleaseCount();
// The last icon plotted, where (after fitting and alignment) and with which transform.
struct StandIn_IconPlot {
  IconRef icon;
  CGRect drawn;
  IconTransformType transform;
  long count;  // plots since the process began
};
StandIn_IconPlot StandIn_LastIconPlot();
// Forgets every registration and resets the release count; icons still referenced stay valid.
void StandIn_ResetIcons();
