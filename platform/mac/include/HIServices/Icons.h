// Icon Services of the Mac stand-in: icons registered by (creator, type) from an icon file, and
// icons of files. An icon file is accepted when it begins like an icon family ("icns") or a PNG
// image. An IconRef counts the references its callers hold: each call that gives one adds a
// reference, ReleaseIconRef takes one away, and an icon of a file goes when its last reference
// goes (a registered icon stays registered until the test hooks reset the stand-in).
#pragma once
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>  // kOnSystemDisk
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
// A new icon of an existing file or folder; *theLabel (when given) receives 0.
OSErr GetIconRefFromFile(const FSSpec* theFile, IconRef* theIconRef, SInt16* theLabel);
// invalidIconRefErr for null or an icon none of whose references is held.
OSErr ReleaseIconRef(IconRef theIconRef);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hooks.
// References held by callers, of one icon or of all icons (a leak check).
long StandIn_IconReferenceCount(IconRef icon);
long StandIn_IconLiveReferenceCount();
// How often ReleaseIconRef succeeded since the last reset.
long StandIn_IconReleaseCount();
// Forgets every registration and resets the release count; icons still referenced stay valid.
void StandIn_ResetIcons();
