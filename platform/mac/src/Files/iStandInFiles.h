// Internals shared by the stand-in's File Manager, alias, folder and CFURL sources.
#pragma once
#include <CoreServices/Files.h>

#include <string>

namespace standin_files {

// Name of the one volume; an HFS path starting with it names the host's "/".
constexpr char kVolumeName[] = "Macintosh HD";
constexpr FSVolumeRefNum kVolumeRefNum = -100;
// noErr as an OSErr, for conditional expressions that mix it with other results.
constexpr OSErr kOK = noErr;

// Text conversions between UTF-8 and UTF-16 (surrogate pairs kept as pairs; an unpaired
// surrogate becomes U+FFFD).
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);

// An FSRef for the existing item at a POSIX path (symbolic links resolved).
OSErr MakeRefFromPath(const std::string& path, FSRef* ref);
// The canonical POSIX path of the item an FSRef names; fails when it no longer exists.
OSErr PathOfRef(const FSRef* ref, std::string* path);

// The FSSpec of the existing item at a POSIX path, and the POSIX path of an existing item an
// FSSpec names.
OSErr SpecOfPath(const std::string& path, FSSpec* spec);
OSErr PathOfSpec(const FSSpec* spec, std::string* path);

// The test volume whose folder holds the POSIX path (the innermost one): its name and the rest
// of the path after the folder ("" for the folder itself, else beginning with '/').
bool TestVolumeOfPath(const std::string& path, std::string* name, std::string* rest);
// The folder of the test volume so named.
bool FolderOfTestVolume(const std::string& name, std::string* folder);

// Counts a call of the named function and returns an error injected for it (else noErr).
OSErr EnterCall(const char* function);

}  // namespace standin_files
