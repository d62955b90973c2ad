// The colour databases of a start: the read-only Pantone colours beside the program, the user's
// custom colours under the profile folder.

// The colour types use names that windows.h makes macros of: they are read first.
#include "IMPN/IMPN_ColorDBFile.h"
#include "IMPN/IMPN_ColorDatabase.h"

#include "GFIL/GFIL_Utils.h"
#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "WKRX/WKRX_Application.h"
#include "WKRX/WKRX_System.h"
#include "WKRX/WKRX_Utils.h"

namespace {

// The user's colour database, below the profile folder.
constexpr const wchar_t* kUserDatabaseFolder = L"\\Application Data\\Nolt\\Orvendal System";
constexpr const wchar_t* kUserDatabaseName = L"Custom.colordb";
constexpr const wchar_t* kPantoneDatabaseName = L"Pantone.colordb";

GLIB_WString EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0)
    return GLIB_WString();
  GLIB_WString value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, &value[0], size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace

void WKRX_Application::LoadColorDatabases() {
  IMPN_ColorDatabase::LoadPantoneColors(
      GLIB_WToNString(WKRX_ProgramFolder() + kPantoneDatabaseName));

  GLIB_WString profile = EnvironmentValue(L"USERPROFILE");
  while (!profile.empty() && (profile.back() == L'\\' || profile.back() == L'/'))
    profile.pop_back();
  if (profile.empty())
    return;
  const GLIB_WString folder = profile + kUserDatabaseFolder;
  const GLIB_WString path = folder + L"\\" + kUserDatabaseName;
  const GLIB_String narrowPath = GLIB_WToNString(path);
  const GFIL_FileSpec file = GFIL_SpecFromPlatformPath(path);
  if (file.Exists() && !file.IsAFolder()) {
    IMPN_ColorDatabase::LoadCustomColors(narrowPath);
    return;
  }
  try {
    WKRX_Utils::CreateDirectories(GFIL_SpecFromPlatformPath(folder));
  } catch (const GLIB_Exception& error) {
    // A profile that cannot take the folder (read-only, on a missing drive) costs the custom
    // colours, not the program.
    GLIB_LogMessage::Log(GLIB_SEVERITY_WARNING, error.message(), __FILE__, __LINE__);
    return;
  }
  // Loading the new empty file records its path, so that custom colours made later are saved.
  if (IMPN_ColorDBFile(narrowPath).CreateEmptyFile() == kIMPN_ColorFileSaved)
    IMPN_ColorDatabase::LoadCustomColors(narrowPath);
}
