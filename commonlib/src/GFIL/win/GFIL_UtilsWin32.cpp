// Windows bodies of the platform free functions of the file-system layer.
#include "GFIL/GFIL_Utils.h"

#include "GFIL/GFIL_Exception.h"
#include "GFIL/win/GFIL_FileSpecWin32.h"
#include "GFIL/win/GFIL_FileSystemWin32.h"
#include "GLIB/win/GLIB_WinUtil.h"

#include <string>
#include <windows.h>

namespace {

constexpr DWORD kPathBufferLength = 260;

GLIB_String Quoted(const GLIB_WString& text) {
  return "\"" + text.AsString() + "\"";
}

// URLs carry names in UTF-8, whatever the ANSI code page holds.
GLIB_String Utf8(const GLIB_WString& text) {
  if (text.empty())
    return GLIB_String();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return GLIB_String(out);
}

using Encoder = GLIB_String (*)(const GLIB_String&);

// "/K:" for a drive root, "///server/share" for a share root.
GLIB_String RootPart(const GLIB_WString& root, Encoder encode) {
  if (root.size() >= 2 && root[1] == L':')
    return "/" + encode(Utf8(root.substr(0, 2)));
  GLIB_WString rest = root.substr(2);
  std::size_t slash = rest.rfind(L'\\');
  if (slash == GLIB_WString::npos)
    return "///" + encode(Utf8(rest));
  return "///" + encode(Utf8(rest.substr(0, slash))) + "/" + encode(Utf8(rest.substr(slash + 1)));
}

}  // namespace

GLIB_WString GFIL_PlatformPathFromSpec(const GFIL_FileSpec& spec) {
  return *static_cast<const GLIB_WString*>(spec.FileSystemImplPtr()->PlatformSpecPtr());
}

GFIL_FileSpec GFIL_SpecFromPlatformPath(const GLIB_WString& path) {
  return GFIL_FileSpecWin32(path);
}

GFIL_FileSpec GFIL_CreateTempSpec(const GFIL_FileSpec& folder) {
  const GLIB_WString path = GFIL_PlatformPathFromSpec(folder);
  if (!folder.HasSpec() || !folder.Exists())
    CreateDirectoryW(path.c_str(), nullptr);
  if (!folder.HasSpec() || !folder.IsAFolder())
    GFIL_THROW(GFIL_ERR_BAD_SPEC,
               "The specified temporary folder " + Quoted(path) + " is not really a folder.");
  wchar_t name[kPathBufferLength + 1];
  if (GetTempFileNameW(path.c_str(), L"GFI", 0, name) == 0)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, GLIB_String("Failed to create a temporary pathname ") +
                                      "in the directory " + Quoted(path) + "; " +
                                      GLIB_GetWinErrorString(GetLastError()));
  return GFIL_FileSpecWin32(name);
}

GFIL_FileSpec GFIL_CreateTempSpec() {
  wchar_t folder[kPathBufferLength + 1];
  DWORD length = GetTempPathW(kPathBufferLength, folder);
  if (length == 0)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, GLIB_String("Failed to retrieve the path of the ") +
                                      "directory designated for temporary files; " +
                                      GLIB_GetWinErrorString(GetLastError()));
  if (length > kPathBufferLength)
    GFIL_THROW(GFIL_ERR_BAD_SPEC,
               "The path of the directory designated for temporary files is too long");
  return GFIL_CreateTempSpec(GFIL_FileSpecWin32(folder));
}

void GFIL_CreateDir(const GFIL_FileSpec& spec) {
  const GLIB_WString path = GFIL_PlatformPathFromSpec(spec);
  if (!CreateDirectoryW(path.c_str(), nullptr))
    GFIL_THROW(GFIL_ERR_CREATE_DIR, "Failed to create the directory " + path.AsString() + "; " +
                                        GLIB_GetWinErrorString(GetLastError()));
}

GLIB_String GFIL_URLFromFileSpec(const GFIL_FileSpec& spec, GFIL_URLType type) {
  Encoder encode = type == GFIL_URL_PLAIN ? GFIL_DummyEncode : GFIL_URLEncodeString;
  if (spec.IsTheRoot())
    return "file://" + RootPart(spec.Name(), encode) + "/";
  GLIB_String text = encode(Utf8(spec.Name()));
  for (GFIL_FileSpec current = spec;;) {
    current = current.Parent();
    if (current.IsTheRoot()) {
      text = RootPart(current.Name(), encode) + "/" + text;
      break;
    }
    text = encode(Utf8(current.Name())) + "/" + text;
  }
  return "file://" + text;
}
