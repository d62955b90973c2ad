// Windows system routines of the foundation: code-page conversions, Win32 error texts, short
// path names and the narrow form of a wide path.
#pragma once

#if defined(_WIN32)

#include <cstddef>

#include "GLIB/GLIB_String.h"

// Narrow code pages the conversions below understand.
enum GLIB_WinCodePage {
  WinWinLatin = 0,
  WinMacRoman = 1
};

// Narrow text of the code page to UTF-16; returns the units written including the terminator.
// Mac Roman text reads its Omega as U+03A9 (not as the OHM SIGN).
std::size_t GLIB_StrNarrowToUTF16(const char* in, wchar_t* out, std::size_t size,
                                  GLIB_WinCodePage codePage);
// UTF-16 to narrow text of the code page; returns the bytes written including the terminator.
std::size_t GLIB_StrUTF16ToNarrow(const wchar_t* in, char* out, std::size_t size,
                                  GLIB_WinCodePage codePage);

// The system's text for a Win32 error code followed by " (code: N)". The code is a DWORD.
GLIB_WString GLIB_GetWinErrorWString(unsigned long code);
GLIB_String GLIB_GetWinErrorString(unsigned long code);

// The short (8.3) form of an existing path; false (and a logged warning) when there is none.
bool GLIB_GetShortPathName(const GLIB_WString& path, GLIB_WString* shortPath);
bool GLIB_GetShortPathName(const GLIB_WString& path, GLIB_String* shortPath);

// A narrow ANSI path that opens the same item as the wide path: components without an ANSI form
// are replaced by their short names. Throws GLIB_Exception 1125005 for an incomplete UNC path
// and 1125006 when a component cannot be converted or the path is longer than MAX_PATH.
// The result is cut to fit out (size bytes, terminator included).
char* GLIB_NarrowPathFromWidePath(char* out, const wchar_t* path, int size);

#endif
