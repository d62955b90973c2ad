#include "GFIL/win/GFIL_FileSpecWin32.h"

#include "GFIL/win/GFIL_FileSystemWin32.h"
#include "GLIB/GLIB_New.h"

GFIL_FileSpecWin32::GFIL_FileSpecWin32(const wchar_t* path) {
  SetFileSystemImplPtr(new (__LINE__, __FILE__) GFIL_FileSystemWin32(path));
}

GFIL_FileSpecWin32::GFIL_FileSpecWin32(const GLIB_WString& path)
    : GFIL_FileSpecWin32(path.c_str()) {}

GFIL_FileSpecWin32::GFIL_FileSpecWin32(const char* path)
    : GFIL_FileSpecWin32(GLIB_NToWString(path)) {}

GFIL_FileSpecWin32::GFIL_FileSpecWin32(const GLIB_String& path)
    : GFIL_FileSpecWin32(GLIB_NToWString(path)) {}
