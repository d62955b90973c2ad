// Specs made from Windows paths (wide, or narrow in the ANSI code page).
#pragma once

#if defined(_WIN32)

#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_String.h"

class GFIL_FileSpecWin32 : public GFIL_FileSpec {
public:
  explicit GFIL_FileSpecWin32(const wchar_t* path);
  explicit GFIL_FileSpecWin32(const GLIB_WString& path);
  explicit GFIL_FileSpecWin32(const char* path);
  explicit GFIL_FileSpecWin32(const GLIB_String& path);
};

#endif
