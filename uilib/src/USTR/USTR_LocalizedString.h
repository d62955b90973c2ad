// Lookup of localised texts. The Mac program names a text by a symbolic key and reads it from the
// main bundle's strings table; the Windows program names it by string-table id and reads it from
// the language library, falling back to the program's own English table. A missing text is no
// error: the Mac lookup gives the key, the Windows lookup a "Missing String Resource" text.
#pragma once

#include "GLIB/GLIB_String.h"
#include "USTR/USTR_String.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <CoreFoundation/CFString.h>
#endif

// Portable call sites name a text by both of its names; each program keeps the one it looks up.
#ifdef _WIN32
#define USTR_LOCALIZED_KEY(macKey, windowsId) (windowsId)
#else
#define USTR_LOCALIZED_KEY(macKey, windowsId) CFSTR(macKey)
#endif

#ifdef _WIN32

// The text of a string-table id from the module object's resource search at the time of the
// call: the resource instance (the language library once the shell has loaded one), the added
// modules, then the program's own complete English table. Nothing is remembered between calls,
// so a text read before the language library was loaded reads translated afterwards.
GLIB_WString iUSTR_GetLocalizedWString(unsigned int id);
USTR_String iUSTR_GetLocalizedString(unsigned int id);

#else

// The main bundle's text for the key from its default strings table, or the key itself; the
// caller releases the result.
CFStringRef iUSTR_GetLocalizedCFString(CFStringRef key);
USTR_String iUSTR_GetLocalizedString(CFStringRef key);
GLIB_WString iUSTR_GetLocalizedWString(CFStringRef key);

#endif
