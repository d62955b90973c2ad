// Internals shared by the stand-in's File Manager, alias, folder and CFURL sources.
#pragma once
#include <CoreServices/Files.h>

#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

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

// The names in a folder, sorted bytewise (the order iterators and indexed lookups follow).
std::vector<std::string> SortedNames(const std::string& folder);
// The File Manager's lock (recursive), for sources that share its state.
std::unique_lock<std::recursive_mutex> LockFiles();
// The folder of a directory ID on a volume: directory 2 is the volume's folder, other IDs are
// the same on every volume.
bool DirectoryPath(FSVolumeRefNum volume, SInt32 dirID, std::string* path);
UInt32 NodeID(const std::string& path);
UInt32 ParentID(const std::string& path);
UInt32 EntryCount(const std::string& path);
void FinderInfoOf(const std::string& path, const struct stat& st, UInt8 (&bytes)[32]);
std::string ItemName(const std::string& path);
std::string Child(const std::string& folder, const std::string& name);
std::string PascalText(ConstStr255Param text);
void SetPascalText(const std::string& text, unsigned char* out, std::size_t capacity);

// Volumes (StandInVolumes.cpp): 0 and kVolumeRefNum name "/", the test volumes their folders.
bool VolumeExists(FSVolumeRefNum volume);
bool VolumeFolder(FSVolumeRefNum volume, std::string* folder);
void AddVolume(const std::string& testVolumeName);
void ResetVolumes();

// Reads a whole regular file of at most maxSize bytes; false for anything else (a FIFO, a
// device, a folder, a larger file), which is never waited on.
bool ReadRegularFile(const std::string& path, std::size_t maxSize, std::string* bytes);

// Counts a call of the named function and returns an error injected for it (else noErr).
OSErr EnterCall(const char* function);

}  // namespace standin_files
