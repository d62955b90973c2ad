// Folder Manager of the Mac stand-in. The temporary folder is $TMPDIR (or /tmp); the
// preferences and application-support folders lie under $HOME/Library. Tests may point any
// folder type elsewhere.
#pragma once
#include <CoreServices/Files.h>
#include <MacTypes.h>

enum : SInt16 {
  kOnSystemDisk = -32768,
  kOnAppropriateDisk = -32767,
  kSystemDomain = -32766,
  kLocalDomain = -32765,
  kNetworkDomain = -32764,
  kUserDomain = -32763
};

enum : OSType {
  kTemporaryFolderType = 0x74656D70,          // 'temp'
  kPreferencesFolderType = 0x70726566,        // 'pref'
  kApplicationSupportFolderType = 0x61737570  // 'asup'
};

enum : Boolean {
  kDontCreateFolder = 0,
  kCreateFolder = 1
};

// fnfErr when the folder is missing and not to be created (or the type is unknown).
OSErr FSFindFolder(SInt16 vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef);

// Test hook: the folder of a type (the same for every domain); null restores the default.
void StandIn_SetFolder(OSType folderType, const char* posixPath);
