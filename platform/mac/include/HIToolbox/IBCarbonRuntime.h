// Nib files of the Mac stand-in: the project's own declarative text format, one file
// "<name>.nib" per nib among the main bundle's resources (found as CFBundleCopyResourceURL finds
// resources, so also in the chosen localisation's folder).
//
// The file is read line by line; '#' starts a comment line; words, "quoted texts" (a backslash
// escapes the next character, n standing for a line break), 'four' character codes and numbers
// are separated by blanks. Blocks end with "end".
//
//   window "Name"
//     class document            (document floating sheet plain modal movablemodal alert
//                                movablealert utility toolbar)
//     attributes close collapse resizable fullzoom compositing standardhandler liveresize
//     bounds 100 80 400 560     (content bounds: top left bottom right, global)
//     title "Window title"
//     limits 200 150 2000 1500  (resize limits: minimum width and height, maximum width and height)
//     view push                 (a kind of StandIn_NewView, or: view class "com.example.Class")
//       id 'SIGN' 1             (ControlID)
//       command 'ok  '
//       frame 10 20 80 20       (x y width height in the superview)
//       value 1 0 2             (value minimum maximum)
//       title "Text"
//       item "Text"             (repeated: pop-up menu items, tab and segment titles)
//       content "Text"          (static text and text view text, icon and image resource names)
//       column 'name' "Title"   (repeated: a browser's columns)
//       view ... end            (subviews)
//     end
//   end
//   menubar "MenuBar"           (also: menu "Name" ... end for a menu of its own)
//     menu "File"
//       item "Open…" 'open'     (then optionally: checked, disabled, key "O" for the key
//                                equivalent, and its modifiers shift option control nocommand)
//       separator
//       menu "Recent" ... end   (a submenu)
//     end
//   end
//
// Views go into the window's content view. A view of a class that is not registered fails the
// window's creation with the status HIObjectCreate gave. Nib references are CF objects (the live
// count sees them); CreateNibReference and CreateWindowFromNib join the failure injection
// (StandIn_FilesFailNext). A file that cannot be read or parsed is reported on the error stream
// with its line and gives kIBCarbonRuntimeCantFindNibFile.
#pragma once
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>

#include <CoreFoundation/CFBundle.h>

class StandIn_Nib;
typedef StandIn_Nib* IBNibRef;

constexpr OSStatus kIBCarbonRuntimeCantFindNibFile = -10960;
constexpr OSStatus kIBCarbonRuntimeObjectNotOfRequestedType = -10961;
constexpr OSStatus kIBCarbonRuntimeCantFindObject = -10962;

OSStatus CreateNibReference(CFStringRef inNibName, IBNibRef* outNibRef);
OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName,
                                        IBNibRef* outNibRef);
void DisposeNibReference(IBNibRef inNibRef);
OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef* outWindow);
OSStatus CreateMenuFromNib(IBNibRef inNibRef, CFStringRef inName, MenuRef* outMenuRef);
// Makes the named menu bar the root menu.
OSStatus SetMenuBarFromNib(IBNibRef inNibRef, CFStringRef inName);

// Test hooks: nib references alive; the names of a nib's windows (the caller releases the
// array).
long StandIn_NibLiveCount();
CFArrayRef StandIn_CopyNibWindowNames(IBNibRef inNibRef);
