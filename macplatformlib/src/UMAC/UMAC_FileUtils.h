// File utilities of the Mac platform layer: names and paths of Carbon file references, POSIX
// paths to references, and the references a drag or a Navigation reply carries.
#pragma once

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
