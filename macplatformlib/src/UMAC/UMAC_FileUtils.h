// File utilities of the Mac platform layer: names and paths of Carbon file references, POSIX
// paths to references, and the references a drag or a Navigation reply carries.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/Navigation.h>

#include <string>
#include <vector>

// Texts are in the system encoding, whole however long: "" when the item has no URL or name,
// or the text holds a character the system encoding lacks. None of these throws.

// The last component of the item's URL ("Sheet1_Black.KRX").
std::string UMAC_GetFileName(FSRef const& ref);
// The extension of the item's name without the dot, its letter case kept ("KRX"); "" for a name
// without one.
std::string UMAC_GetFileExtension(FSRef const& ref);
// The colon-separated path of the item, beginning with its volume's name ("Work:Jobs:a.KRX"); a
// '/' in a name stays '/'.
void UMAC_FSRefToClassicPath(FSRef const& ref, std::string& path);

// Fills ref with the item at the narrow POSIX path (system encoding). Returns noErr, or fnfErr
// when no URL can be made of the path or no item exists there (ref is then left as it was).
// Throws nothing.
OSStatus UMAC_PathToFSRef(std::string const& path, FSRef& ref);

// One reference per item of the drag, in item order. Every item must carry a file URL ('furl'):
// throws 1436015 with the Drag Manager's error when one lacks it or its data cannot be read,
// 1436021 when its bytes make no URL or the URL names no existing item; then no list is given.
std::vector<FSRef> UMAC_FilesFoldersFromDrag(DragRef drag);
// One reference per selected item of the reply, in selection order. Throws 1436015 with the
// Apple Event Manager's error when the selection cannot be counted or an item is no file
// reference (as typeFSRef coercion fails), 1436020 when an item comes back of another type.
std::vector<FSRef> UMAC_FilesFromNavReply(NavReplyRecord const& reply);

// Folders, applications and the Finder. Failures throw the toolbox error (1436015) with the
// failing call's error number; what was done before a failure stays done.

// Deletes the folder and everything in it, innermost items first. A folder's items are listed
// before any is deleted, so deleting cannot shift an item out of the listing.
void UMAC_DeleteFolder(FSRef const& folder);
// The first item in parent (file or folder) whose name equals name exactly, letter case
// included: its reference goes to out and the result is true.
bool UMAC_FindFolder(FSRef const& parent, GLIB_WString const& name, FSRef* out);
// The folder of that name in parent, made when there is none. An item of that name that is no
// folder throws dupFNErr (-48); a name over 255 UTF-16 units throws bdNamErr (-37).
FSRef UMAC_FindOrCreateFolder(FSRef const& parent, GLIB_WString const& name);

// The application of the creator: an application bundle or 'APPL' file beside the running
// application (its executable's FSSpec for a bundle), else the one the desktop database of the
// application's volume knows, else of the other volumes in turn. noErr when found (out then
// holds it), else the last volume's answer (afpItemNotFound when none had one).
OSErr UMAC_FindApplicationWithSig(OSType creator, FSSpec* out);

// Lets the user choose an application bundle of the creator (shown as items, other folders to
// browse). True with the chosen item in out; false, out untouched, when the user cancels or the
// reply is not valid.
bool UMAC_LocateAppBundle(FSRef* out, OSType creator, CFStringRef clientName,
                          CFStringRef windowTitle, CFStringRef message);
// Navigation filter of that dialog: userData points at the wanted creator (null: show all).
Boolean UMAC_ApplBndlNavObjectFilterProc(AEDesc* theItem, void* info, void* userData,
                                         NavFilterModes filterMode);
// Navigation event callback of that dialog: nothing to do.
void UMAC_NavEventCallBack(NavEventCallbackMessage selector, NavCBRecPtr parameters,
                           void* userData);

// Asks the Finder to open the item's folder and select the item there.
void UMAC_SelectItemInFinder(FSRef const& item);

// Orders by name: literally (letter case counts, "Sheet 10" before "Sheet 2").
struct UMAC_FSRefSortPred {
  bool operator()(FSRef const& a, FSRef const& b) const;
};
struct UMAC_FSSpecSortPred {
  bool operator()(FSSpec const& a, FSSpec const& b) const;
};
// Orders by name as people read it: letter case ignored, digits by their value ("Sheet 2"
// before "Sheet 10"; names differing only in case are equal).
struct UMAC_FileRef_StrictWeakComp {
  bool operator()(FSRef const& a, FSRef const& b) const;
};
