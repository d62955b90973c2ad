// Small functions the application's dialogs, browsers and tree controls share: strings from the
// resource modules, moving a window, the sign of a number, copying or moving a tree item with its
// subtree, and the program's file version. UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "GLIB/GLIB_String.h"

// The text of a string-table id from the first resource module that has it: the resource
// instance, the added modules, then the program's own English table. Returns its length, 0 when
// no module has it; the buffer is terminated whenever size is above 0.
int WTLU_LoadString(UINT id, wchar_t* buffer, int size);

// The same as a string (at most 4097 characters); empty when missing.
GLIB_WString WTLU_LoadStringResource(UINT id);

// Moves a window by (dx, dy) without resizing it, and repaints it.
BOOL WTLU_MoveWindowBy(HWND window, int dx, int dy);

// -1, 0 or 1.
int WTLU_Sign(int value);

// Turns the lParam of a copied tree item into the copy's own.
using WTLU_TreeItemTransform = LPARAM (*)(HWND tree, HTREEITEM item, LPARAM data);

// Copies or moves item with its whole subtree under newParent, after insertAfter (the subtree
// keeps its order), and returns the new item. Texts (up to 511 characters), images, lParams and
// states other than selection, drop highlight and expansion go along; a move deletes the source
// after clearing its lParam, so its owner does not delete what the new item now holds.
// Returns item itself when newParent is item or already its parent, and null when either is null,
// when newParent lies inside item's subtree, or when a copy without a transform would leave two
// items holding one lParam.
HTREEITEM WTLU_CopyOrMoveTreeItem(HWND tree, HTREEITEM item, HTREEITEM newParent, bool copy,
                                  WTLU_TreeItemTransform transform, HTREEITEM insertAfter);

// "major.minor.build.revision" of a file's version resource; empty when it has none.
GLIB_WString WTLU_GetFileVersion(const wchar_t* path);

// The same for the program's own file.
GLIB_WString WTLU_GetModuleFileVersion();
