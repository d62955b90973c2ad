// The portable free functions of the file-system layer.
#include "GFIL/GFIL_Utils.h"

#include "GFIL/GFIL_Exception.h"
#include "GFIL/GFIL_FileSystem.h"

#include <cstring>
#include <vector>

namespace {

// Recognises a folder "<base><extension>" that holds an item ".<base>.assg".
bool FolderHasAssignmentFile(const GFIL_FileSpec& folder, const GLIB_WString& extension,
                             GFIL_FileSpec* assignmentFile) {
  if (!folder.IsAFolder())
    return false;
  GLIB_WString name = folder.Name();
  auto dot = name.rfind(L'.');
  if (dot == GLIB_WString::npos || name.substr(dot) != extension)
    return false;
  GLIB_WString wanted = GLIB_WString(L".") + name.substr(0, dot) + L".assg";
  for (const GFIL_FileSpec& item : folder.FolderContents()) {
    if (item.Name() == wanted) {
      if (assignmentFile)
        *assignmentFile = item;
      return true;
    }
  }
  return false;
}

}  // namespace

GFIL_FileSpec GFIL_SpecFromUTF8Path(const GLIB_String& path) {
  GLIB_WString wide = GLIB_WStringFromUTF8(path);
  if (wide.empty() && !path.empty())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The path " + path + " is no valid UTF-8 text.");
  return GFIL_SpecFromPlatformPath(wide);
}

GLIB_String GFIL_DummyEncode(const GLIB_String& text) {
  return text;
}

GLIB_String GFIL_URLEncodeString(const GLIB_String& text) {
  static const char kKeep[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$-_.+!*'(),:";
  static const char kHex[] = "0123456789ABCDEF";
  GLIB_String encoded;
  for (char c : text) {
    if (c != '\0' && std::strchr(kKeep, c) != nullptr) {
      encoded += c;
    } else {
      auto byte = static_cast<unsigned char>(c);
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0xF];
    }
  }
  return encoded;
}

bool GFIL_FileSpecsEqual(const GFIL_FileSpec& a, const GFIL_FileSpec& b) {
  bool aHasSpec = a.HasSpec();
  bool bHasSpec = b.HasSpec();
  if (!aHasSpec || !bHasSpec)
    return aHasSpec == bHasSpec;
  return GFIL_PlatformPathFromSpec(a) == GFIL_PlatformPathFromSpec(b);
}

bool GFIL_FolderIsOvrelleJob(const GFIL_FileSpec& folder, GFIL_FileSpec* assignmentFile) {
  return FolderHasAssignmentFile(folder, L".job", assignmentFile);
}

bool GFIL_FolderIsOvrellePage(const GFIL_FileSpec& folder, GFIL_FileSpec* assignmentFile) {
  return FolderHasAssignmentFile(folder, L".p", assignmentFile);
}

void GFIL_GetListOfPathsInDir(const GLIB_WString& path, GLIB_WStringVector& paths) {
  try {
    GFIL_FileSpec folder = GFIL_SpecFromPlatformPath(path);
    if (!folder.Exists() || !folder.IsAFolder())
      return;
    paths.push_back(GFIL_PlatformPathFromSpec(folder));
    for (const GFIL_FileSpec& item : folder.FolderContents())
      GFIL_GetListOfPathsInDir(GFIL_PlatformPathFromSpec(item), paths);
  } catch (const GFIL_Exception& e) {
    // A folder that cannot be named or read ends its own walk; the walk above goes on.
    if (e.code() != GFIL_ERR_BAD_SPEC)
      throw;
  }
}

GFIL_FileHandle GFIL_CreateTempFile(const GFIL_FileSpec& folder, unsigned long flags) {
  GFIL_FileHandle handle(GFIL_CreateTempSpec(folder));
  handle.Create(flags | GFIL_FileSystem::CREATE_OVERWRITE | GFIL_FileSystem::CREATE_TEMPORARY);
  return handle;
}

GFIL_FileHandle GFIL_CreateTempFile(unsigned long flags) {
  GFIL_FileHandle handle(GFIL_CreateTempSpec());
  handle.Create(flags | GFIL_FileSystem::CREATE_OVERWRITE | GFIL_FileSystem::CREATE_TEMPORARY);
  return handle;
}
