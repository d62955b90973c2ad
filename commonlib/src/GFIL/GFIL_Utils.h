// Free functions of the file-system layer: platform paths, temporary files, folders, file URLs
// and the recognisers of job and page folders.
#pragma once

#include "GFIL/GFIL_FileHandle.h"
#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_String.h"

enum GFIL_URLType {
  GFIL_URL_ENCODED = 0,  // bytes outside the URL set are written as %XX
  GFIL_URL_PLAIN = 1     // names are taken as they are
};

// Platform bodies (Mac and Windows).
GLIB_WString GFIL_PlatformPathFromSpec(const GFIL_FileSpec& spec);
GFIL_FileSpec GFIL_SpecFromPlatformPath(const GLIB_WString& path);
// A new, empty file with a unique name in the folder (or the system's temporary folder).
GFIL_FileSpec GFIL_CreateTempSpec(const GFIL_FileSpec& folder);
GFIL_FileSpec GFIL_CreateTempSpec();
void GFIL_CreateDir(const GFIL_FileSpec& spec);
GLIB_String GFIL_URLFromFileSpec(const GFIL_FileSpec& spec, GFIL_URLType type);

// Portable.
// The spec of a path given as UTF-8 text; throws GFIL_ERR_BAD_SPEC when the text is no valid
// UTF-8.
GFIL_FileSpec GFIL_SpecFromUTF8Path(const GLIB_String& path);
// A handle on a new temporary file, created with flags | CREATE_OVERWRITE | CREATE_TEMPORARY:
// the file goes when its last handle goes.
GFIL_FileHandle GFIL_CreateTempFile(const GFIL_FileSpec& folder, unsigned long flags);
GFIL_FileHandle GFIL_CreateTempFile(unsigned long flags);
GLIB_String GFIL_DummyEncode(const GLIB_String& text);
GLIB_String GFIL_URLEncodeString(const GLIB_String& text);
// Both naming nothing: equal; one naming nothing: not; else the platform paths, exactly.
bool GFIL_FileSpecsEqual(const GFIL_FileSpec& a, const GFIL_FileSpec& b);
// A folder "X.job" holding an item ".X.assg" (".p" for pages); *assignmentFile receives it.
bool GFIL_FolderIsOvrelleJob(const GFIL_FileSpec& folder, GFIL_FileSpec* assignmentFile);
bool GFIL_FolderIsOvrellePage(const GFIL_FileSpec& folder, GFIL_FileSpec* assignmentFile);
// Appends the folder's platform path and those of all folders below it, depth first.
void GFIL_GetListOfPathsInDir(const GLIB_WString& path, GLIB_WStringVector& paths);
