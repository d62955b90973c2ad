// File Manager of the Mac stand-in over POSIX (see CoreServices/Files.h).
#include <CoreServices/Files.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"
#include "iStandInFiles.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace standin_files {
namespace {

constexpr std::uint32_t kRefMagic = 0x53526566;  // "SRef"
constexpr std::uint32_t kFirstInternedID = 100;
constexpr char kFinderInfoAttribute[] = "user.com.apple.FinderInfo";

struct RefData {
  std::uint32_t magic;
  std::uint32_t pathID;
  std::uint64_t device;
  std::uint64_t inode;
};
static_assert(sizeof(RefData) <= sizeof(FSRef::hidden), "FSRef too small");

struct OpenFork {
  int fd;
  std::uint64_t device;
  std::uint64_t inode;
  bool canRead;
  bool canWrite;
  bool exclusiveWrite;
  std::int64_t mark;
  // The size last seen through this stand-in: a seek within it needs no stat of the file.
  std::int64_t knownSize;
};

using FinderInfoBytes = std::array<UInt8, 32>;
using NodeKey = std::pair<std::uint64_t, std::uint64_t>;

struct State {
  std::recursive_mutex mutex;
  std::vector<std::string> paths;  // interned canonical paths; index + kFirstInternedID = node ID
  std::unordered_map<std::string, std::uint32_t> pathIDs;
  std::map<FSIORefNum, OpenFork> forks;
  // Open iterators, by the handle their callers hold.
  std::map<OpaqueFSIterator*, std::unique_ptr<OpaqueFSIterator>> iterators;
  std::map<NodeKey, FinderInfoBytes> finderInfoInMemory;
  // Transparent keys: counting a call must not build a string each time.
  // Successful fork opens and read calls per file, for tests that count file access (kept only
  // while a test records calls).
  std::map<NodeKey, std::pair<int, int>> forkUse;
  std::map<std::string, std::string> testVolumes;  // name -> canonical folder
  bool lastBatchSaysNoMoreItems = false;
  bool liveIterators = false;
};

State& TheState() {
  static State* state = new State;  // never destroyed: forks may be closed from static destructors
  return *state;
}

using Lock = std::lock_guard<std::recursive_mutex>;

OSErr ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return fnfErr;
    case ENOTDIR:
      return dirNFErr;
    case EEXIST:
      return dupFNErr;
    case EACCES:
    case EPERM:
      return afpAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return dskFulErr;
    case EROFS:
      return wPrErr;
    case EBUSY:
    case ENOTEMPTY:
      return fBsyErr;
    case ENAMETOOLONG:
    case EINVAL:
      return bdNamErr;
    case EISDIR:
      return notAFileErr;
    default:
      return ioErr;
  }
}

std::uint32_t Intern(const std::string& path) {
  State& s = TheState();
  auto found = s.pathIDs.find(path);
  if (found != s.pathIDs.end())
    return found->second;
  auto id = static_cast<std::uint32_t>(s.paths.size());
  s.paths.push_back(path);
  s.pathIDs.emplace(path, id);
  return id;
}

std::string ParentPath(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == 0 || slash == std::string::npos)
    return "/";
  return path.substr(0, slash);
}

std::string LastComponent(const std::string& path) {
  if (path == "/")
    return kVolumeName;
  return path.substr(path.rfind('/') + 1);
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

UInt32 NodeIDOfPath(const std::string& path) {
  if (path == "/")
    return kFSRootDirID;
  return Intern(path) + kFirstInternedID;
}

UInt32 ParentIDOfPath(const std::string& path) {
  if (path == "/")
    return kFSRootParentID;
  return NodeIDOfPath(ParentPath(path));
}

bool PathOfDirID(SInt32 dirID, std::string* path) {
  if (dirID == static_cast<SInt32>(kFSRootDirID)) {
    *path = "/";
    return true;
  }
  State& s = TheState();
  if (dirID < static_cast<SInt32>(kFirstInternedID))
    return false;
  auto index = static_cast<std::size_t>(dirID) - kFirstInternedID;
  if (index >= s.paths.size())
    return false;
  *path = s.paths[index];
  return true;
}

// On disk a name holds ':' where the Mac name holds '/' (the POSIX view of an HFS name).
std::string DiskNameFromMacName(const std::u16string& name) {
  std::string utf8 = Utf16ToUtf8(name);
  std::replace(utf8.begin(), utf8.end(), '/', ':');
  return utf8;
}

std::u16string MacNameFromDiskName(const std::string& name) {
  std::string copy = name;
  std::replace(copy.begin(), copy.end(), ':', '/');
  return Utf8ToUtf16(copy);
}

OSErr CheckMacName(UniCharCount length, const UniChar* name) {
  if (length == 0 || length > 255 || name == nullptr)
    return bdNamErr;
  std::u16string text(reinterpret_cast<const char16_t*>(name), length);
  if (text.find(u':') != std::u16string::npos)
    return bdNamErr;
  if (text == u"." || text == u"..")
    return bdNamErr;
  return noErr;
}

void CopyToHFSUniStr(const std::u16string& text, HFSUniStr255* out) {
  auto length = std::min<std::size_t>(text.size(), 255);
  out->length = static_cast<UInt16>(length);
  std::copy_n(text.data(), length, reinterpret_cast<char16_t*>(out->unicode));
}

void CopyToPascal(const std::string& text, unsigned char* out, std::size_t capacity) {
  auto length = std::min(text.size(), capacity - 1);
  out[0] = static_cast<unsigned char>(length);
  std::memcpy(out + 1, text.data(), length);
}

std::string FromPascal(ConstStr255Param text) {
  if (text == nullptr)
    return std::string();
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

OSErr ResolveRef(const FSRef* ref, std::string* path, struct stat* info) {
  if (ref == nullptr)
    return paramErr;
  RefData data;
  std::memcpy(&data, ref->hidden, sizeof data);
  State& s = TheState();
  if (data.magic != kRefMagic || data.pathID >= s.paths.size())
    return nsvErr;
  const std::string& itemPath = s.paths[data.pathID];
  struct stat st;
  if (::stat(itemPath.c_str(), &st) != 0)
    return fnfErr;
  if (static_cast<std::uint64_t>(st.st_dev) != data.device ||
      static_cast<std::uint64_t>(st.st_ino) != data.inode)
    return fnfErr;  // the item the reference named is gone
  if (path)
    *path = itemPath;
  if (info)
    *info = st;
  return noErr;
}

OSErr MakeRef(const std::string& path, FSRef* ref, struct stat* info) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr)
    return errno == ENOENT || errno == ENOTDIR ? fnfErr : ErrorFromErrno(errno);
  struct stat st;
  if (::stat(resolved, &st) != 0)
    return fnfErr;
  if (ref) {
    RefData data{kRefMagic, Intern(resolved), static_cast<std::uint64_t>(st.st_dev),
                 static_cast<std::uint64_t>(st.st_ino)};
    std::memset(ref->hidden, 0, sizeof ref->hidden);
    std::memcpy(ref->hidden, &data, sizeof data);
  }
  if (info)
    *info = st;
  return noErr;
}

FinderInfoBytes ReadFinderInfo(const std::string& path, const struct stat& st) {
  FinderInfoBytes bytes{};
  ssize_t got = ::getxattr(path.c_str(), kFinderInfoAttribute, bytes.data(), bytes.size());
  if (got >= 0)
    return bytes;
  auto found = TheState().finderInfoInMemory.find({st.st_dev, st.st_ino});
  if (found != TheState().finderInfoInMemory.end())
    return found->second;
  return FinderInfoBytes{};
}

void WriteFinderInfo(const std::string& path, const struct stat& st, const FinderInfoBytes& bytes) {
  if (::setxattr(path.c_str(), kFinderInfoAttribute, bytes.data(), bytes.size(), 0) == 0)
    return;
  TheState().finderInfoInMemory[{st.st_dev, st.st_ino}] = bytes;
}

UInt32 CountEntries(const std::string& path) {
  UInt32 count = 0;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        ++count;
    }
    ::closedir(dir);
  }
  return count;
}

void FillCatalogInfo(const std::string& path, const struct stat& st, FSCatalogInfoBitmap which,
                     FSCatalogInfo* info) {
  bool folder = S_ISDIR(st.st_mode);
  if (which & kFSCatInfoNodeFlags)
    info->nodeFlags = folder ? kFSNodeIsDirectoryMask : 0;
  if (which & kFSCatInfoVolume)
    info->volume = kVolumeRefNum;
  if (which & kFSCatInfoParentDirID)
    info->parentDirID = ParentIDOfPath(path);
  if (which & kFSCatInfoNodeID)
    info->nodeID = NodeIDOfPath(path);
  if (which & (kFSCatInfoFinderInfo | kFSCatInfoFinderXInfo)) {
    FinderInfoBytes bytes = ReadFinderInfo(path, st);
    if (which & kFSCatInfoFinderInfo)
      std::memcpy(info->finderInfo, bytes.data(), 16);
    if (which & kFSCatInfoFinderXInfo)
      std::memcpy(info->extFinderInfo, bytes.data() + 16, 16);
  }
  if (which & kFSCatInfoDataSizes) {
    info->dataLogicalSize = folder ? 0 : static_cast<UInt64>(st.st_size);
    info->dataPhysicalSize = folder ? 0 : static_cast<UInt64>(st.st_blocks) * 512;
  }
  if (which & kFSCatInfoRsrcSizes)
    info->rsrcLogicalSize = info->rsrcPhysicalSize = 0;
  if (which & kFSCatInfoValence)
    info->valence = folder ? CountEntries(path) : 0;
  if (which & kFSCatInfoTextEncoding)
    info->textEncodingHint = kTextEncodingUnknown;
}

void FillSpec(const std::string& path, FSSpec* spec) {
  spec->vRefNum = kVolumeRefNum;
  spec->parID = static_cast<SInt32>(ParentIDOfPath(path));
  CopyToPascal(LastComponent(path), spec->name, sizeof spec->name);
}

void ApplyCatalogInfo(const std::string& path, FSCatalogInfoBitmap which,
                      const FSCatalogInfo* info) {
  if (info == nullptr || !(which & (kFSCatInfoFinderInfo | kFSCatInfoFinderXInfo)))
    return;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0)
    return;
  FinderInfoBytes bytes = ReadFinderInfo(path, st);
  if (which & kFSCatInfoFinderInfo)
    std::memcpy(bytes.data(), info->finderInfo, 16);
  if (which & kFSCatInfoFinderXInfo)
    std::memcpy(bytes.data() + 16, info->extFinderInfo, 16);
  WriteFinderInfo(path, st, bytes);
}

OSErr ResolveFolder(const FSRef* ref, std::string* path) {
  struct stat st;
  OSErr err = ResolveRef(ref, path, &st);
  if (err == fnfErr)
    return dirNFErr;
  if (err != noErr)
    return err;
  return S_ISDIR(st.st_mode) ? kOK : dirNFErr;
}

OpenFork* FindFork(FSIORefNum refNum) {
  auto found = TheState().forks.find(refNum);
  return found == TheState().forks.end() ? nullptr : &found->second;
}

// Every fork of the file learns a new size, so that none seeks past an end it moved.
void SetKnownSize(const OpenFork& changed, std::int64_t size) {
  for (auto& entry : TheState().forks)
    if (entry.second.device == changed.device && entry.second.inode == changed.inode)
      entry.second.knownSize = size;
}

// Absolute position for a position mode and offset.
OSErr Position(const OpenFork& fork, UInt16 mode, SInt64 offset, SInt64* position) {
  switch (mode & 3) {
    case fsAtMark:
      *position = fork.mark;
      break;
    case fsFromStart:
      *position = offset;
      break;
    case fsFromMark:
      *position = fork.mark + offset;
      break;
    default: {
      struct stat st;
      if (::fstat(fork.fd, &st) != 0)
        return ioErr;
      *position = st.st_size + offset;
    }
  }
  return *position < 0 ? posErr : kOK;
}

}  // namespace

OSErr MakeRefFromPath(const std::string& path, FSRef* ref) {
  Lock lock(TheState().mutex);
  return MakeRef(path, ref, nullptr);
}

OSErr PathOfRef(const FSRef* ref, std::string* path) {
  Lock lock(TheState().mutex);
  return ResolveRef(ref, path, nullptr);
}

OSErr SpecOfPath(const std::string& path, FSSpec* spec) {
  Lock lock(TheState().mutex);
  FSRef ref;
  std::string canonical;
  if (OSErr err = MakeRef(path, &ref, nullptr))
    return err;
  if (OSErr err = ResolveRef(&ref, &canonical, nullptr))
    return err;
  FillSpec(canonical, spec);
  return noErr;
}

OSErr PathOfSpec(const FSSpec* spec, std::string* path) {
  if (spec == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  std::string name = FromPascal(spec->name);
  if (spec->parID == static_cast<SInt32>(kFSRootParentID)) {
    if (name != kVolumeName && !name.empty())
      return fnfErr;
    *path = "/";
    return noErr;
  }
  std::string folder;
  if (!DirectoryPath(spec->vRefNum, spec->parID, &folder))
    return dirNFErr;
  std::string item = name.empty() ? folder : ChildPath(folder, name);
  struct stat st;
  if (::stat(item.c_str(), &st) != 0)
    return fnfErr;
  *path = item;
  return noErr;
}

bool TestVolumeOfPath(const std::string& path, std::string* name, std::string* rest) {
  Lock lock(TheState().mutex);
  std::size_t longest = 0;
  for (const auto& volume : TheState().testVolumes) {
    const std::string& folder = volume.second;
    bool inside = path.compare(0, folder.size(), folder) == 0 &&
                  (path.size() == folder.size() || path[folder.size()] == '/');
    if (inside && folder.size() > longest) {
      longest = folder.size();
      *name = volume.first;
      *rest = path.substr(folder.size());
    }
  }
  return longest > 0;
}

bool FolderOfTestVolume(const std::string& name, std::string* folder) {
  Lock lock(TheState().mutex);
  auto found = TheState().testVolumes.find(name);
  if (found == TheState().testVolumes.end())
    return false;
  *folder = found->second;
  return true;
}

OSErr EnterCall(const char* function) {
  return static_cast<OSErr>(standin_calls::Enter(function));
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    char32_t code = 0xFFFD;
    std::size_t extra = byte < 0x80   ? 0
                        : byte < 0xC0 ? 99
                        : byte < 0xE0 ? 1
                        : byte < 0xF0 ? 2
                        : byte < 0xF8 ? 3
                                      : 99;
    if (extra == 0) {
      code = byte;
    } else if (extra != 99 && i + extra < utf8.size()) {
      code = byte & (0x3F >> extra);
      bool good = true;
      for (std::size_t k = 1; k <= extra; ++k) {
        auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) {
          good = false;
          break;
        }
        code = (code << 6) | (next & 0x3F);
      }
      if (!good) {
        code = 0xFFFD;
        extra = 0;
      }
    } else {
      extra = 0;
    }
    i += extra + 1;
    if (code > 0xFFFF && code <= 0x10FFFF) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code > 0x10FFFF ? 0xFFFD : code));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
  std::string out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::unique_lock<std::recursive_mutex> LockFiles() {
  return std::unique_lock<std::recursive_mutex>(TheState().mutex);
}

bool DirectoryPath(FSVolumeRefNum volume, SInt32 dirID, std::string* path) {
  if (dirID == static_cast<SInt32>(kFSRootDirID))
    return VolumeFolder(volume, path);
  return PathOfDirID(dirID, path);
}

UInt32 NodeID(const std::string& path) {
  return NodeIDOfPath(path);
}

UInt32 ParentID(const std::string& path) {
  return ParentIDOfPath(path);
}

UInt32 EntryCount(const std::string& path) {
  return CountEntries(path);
}

void FinderInfoOf(const std::string& path, const struct stat& st, UInt8 (&bytes)[32]) {
  FinderInfoBytes const info = ReadFinderInfo(path, st);
  std::copy(info.begin(), info.end(), bytes);
}

std::string ItemName(const std::string& path) {
  return LastComponent(path);
}

std::string Child(const std::string& folder, const std::string& name) {
  return ChildPath(folder, name);
}

std::string PascalText(ConstStr255Param text) {
  return FromPascal(text);
}

void SetPascalText(const std::string& text, unsigned char* out, std::size_t capacity) {
  CopyToPascal(text, out, capacity);
}

}  // namespace standin_files

using namespace standin_files;

struct OpaqueFSIterator {
  std::string folder;
  std::vector<std::string> names;
  std::size_t next = 0;
};

OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfo,
                       HFSUniStr255* outName, FSSpecPtr fsSpec, FSRef* parentRef) {
  if (OSErr err = EnterCall("FSGetCatalogInfo"))
    return err;
  Lock lock(TheState().mutex);
  std::string path;
  struct stat st;
  if (OSErr err = ResolveRef(ref, &path, &st))
    return err;
  if (catalogInfo)
    FillCatalogInfo(path, st, whichInfo, catalogInfo);
  if (outName)
    CopyToHFSUniStr(MacNameFromDiskName(LastComponent(path)), outName);
  if (fsSpec)
    FillSpec(path, fsSpec);
  if (parentRef) {
    std::memset(parentRef->hidden, 0, sizeof parentRef->hidden);
    if (path != "/")
      MakeRef(ParentPath(path), parentRef, nullptr);
  }
  return noErr;
}

OSErr FSSetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo,
                       const FSCatalogInfo* catalogInfo) {
  if (OSErr err = EnterCall("FSSetCatalogInfo"))
    return err;
  Lock lock(TheState().mutex);
  std::string path;
  if (OSErr err = ResolveRef(ref, &path, nullptr))
    return err;
  if (catalogInfo == nullptr)
    return paramErr;
  ApplyCatalogInfo(path, whichInfo & kFSCatInfoSettableInfo, catalogInfo);
  return noErr;
}

OSErr PBGetCatalogInfoSync(FSRefParam* paramBlock) {
  if (paramBlock == nullptr)
    return paramErr;
  if (OSErr err = EnterCall("PBGetCatalogInfoSync"))
    return paramBlock->ioResult = err;
  paramBlock->ioResult =
      FSGetCatalogInfo(paramBlock->ref, paramBlock->whichInfo, paramBlock->catInfo,
                       paramBlock->outName, paramBlock->spec, paramBlock->parentRef);
  return paramBlock->ioResult;
}

OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                         TextEncoding, FSRef* newRef) {
  if (OSErr err = EnterCall("FSMakeFSRefUnicode"))
    return err;
  Lock lock(TheState().mutex);
  std::string folder;
  if (OSErr err = ResolveFolder(parentRef, &folder))
    return err;
  if (OSErr err = CheckMacName(nameLength, name))
    return err;
  std::u16string text(reinterpret_cast<const char16_t*>(name), nameLength);
  return MakeRef(ChildPath(folder, DiskNameFromMacName(text)), newRef, nullptr);
}

OSErr FSCompareFSRefs(const FSRef* ref1, const FSRef* ref2) {
  if (OSErr err = EnterCall("FSCompareFSRefs"))
    return err;
  Lock lock(TheState().mutex);
  struct stat a, b;
  if (OSErr err = ResolveRef(ref1, nullptr, &a))
    return err;
  if (OSErr err = ResolveRef(ref2, nullptr, &b))
    return err;
  if (a.st_dev == b.st_dev && a.st_ino == b.st_ino)
    return noErr;
  return errFSRefsDifferent;
}

namespace {

// Creates a file or folder named by a Mac name in a folder.
OSErr CreateItem(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name, bool folder,
                 FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo, FSRef* newRef,
                 FSSpecPtr newSpec, UInt32* newDirID) {
  Lock lock(TheState().mutex);
  std::string parent;
  if (OSErr err = ResolveFolder(parentRef, &parent))
    return err;
  if (OSErr err = CheckMacName(nameLength, name))
    return err;
  std::u16string text(reinterpret_cast<const char16_t*>(name), nameLength);
  std::string path = ChildPath(parent, DiskNameFromMacName(text));
  if (folder) {
    if (::mkdir(path.c_str(), 0777) != 0)
      return ErrorFromErrno(errno);
  } else {
    int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
      return ErrorFromErrno(errno);
    ::close(fd);
  }
  ApplyCatalogInfo(path, whichInfo, catalogInfo);
  if (newRef)
    MakeRef(path, newRef, nullptr);
  if (newSpec)
    FillSpec(path, newSpec);
  if (newDirID)
    *newDirID = NodeIDOfPath(path);
  return noErr;
}

}  // namespace

OSErr FSCreateFileUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                          FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo,
                          FSRef* newRef, FSSpecPtr newSpec) {
  if (OSErr err = EnterCall("FSCreateFileUnicode"))
    return err;
  return CreateItem(parentRef, nameLength, name, false, whichInfo, catalogInfo, newRef, newSpec,
                    nullptr);
}

OSErr FSCreateDirectoryUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                               FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo,
                               FSRef* newRef, FSSpecPtr newSpec, UInt32* newDirID) {
  if (OSErr err = EnterCall("FSCreateDirectoryUnicode"))
    return err;
  return CreateItem(parentRef, nameLength, name, true, whichInfo, catalogInfo, newRef, newSpec,
                    newDirID);
}

OSErr FSDeleteObject(const FSRef* ref) {
  if (OSErr err = EnterCall("FSDeleteObject"))
    return err;
  Lock lock(TheState().mutex);
  std::string path;
  struct stat st;
  if (OSErr err = ResolveRef(ref, &path, &st))
    return err;
  if (path == "/")
    return fBsyErr;
  for (const auto& entry : TheState().forks) {
    if (entry.second.device == static_cast<std::uint64_t>(st.st_dev) &&
        entry.second.inode == static_cast<std::uint64_t>(st.st_ino))
      return fBsyErr;  // an open file cannot be deleted
  }
  int result = S_ISDIR(st.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str());
  if (result != 0)
    return ErrorFromErrno(errno);
  TheState().finderInfoInMemory.erase({st.st_dev, st.st_ino});
  return noErr;
}

OSErr FSOpenIterator(const FSRef* container, FSIteratorFlags iteratorFlags, FSIterator* iterator) {
  if (OSErr err = EnterCall("FSOpenIterator"))
    return err;
  if (iterator == nullptr || iteratorFlags != kFSIterateFlat)
    return paramErr;
  Lock lock(TheState().mutex);
  std::string folder;
  if (OSErr err = ResolveFolder(container, &folder))
    return err;
  auto owned = std::make_unique<OpaqueFSIterator>();
  OpaqueFSIterator* it = owned.get();
  it->folder = folder;
  it->names = SortedNames(folder);
  TheState().iterators.emplace(it, std::move(owned));
  *iterator = it;
  return noErr;
}

OSErr FSCloseIterator(FSIterator iterator) {
  if (OSErr err = EnterCall("FSCloseIterator"))
    return err;
  Lock lock(TheState().mutex);
  return TheState().iterators.erase(iterator) == 0 ? OSErr{paramErr} : OSErr{noErr};
}

OSErr FSGetCatalogInfoBulk(FSIterator iterator, ItemCount maximumObjects, ItemCount* actualObjects,
                           Boolean* containerChanged, FSCatalogInfoBitmap whichInfo,
                           FSCatalogInfo* catalogInfos, FSRef* refs, FSSpecPtr specs,
                           HFSUniStr255* names) {
  if (actualObjects)
    *actualObjects = 0;
  if (containerChanged)
    *containerChanged = false;
  if (OSErr err = EnterCall("FSGetCatalogInfoBulk"))
    return err;
  Lock lock(TheState().mutex);
  if (TheState().iterators.count(iterator) == 0 || actualObjects == nullptr)
    return paramErr;
  if (TheState().liveIterators)
    iterator->names = SortedNames(iterator->folder);
  ItemCount count = 0;
  while (count < maximumObjects && iterator->next < iterator->names.size()) {
    const std::string& name = iterator->names[iterator->next++];
    std::string path = ChildPath(iterator->folder, name);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
      continue;  // gone since the iterator was opened
    if (refs && MakeRef(path, &refs[count], nullptr) != noErr)
      continue;  // dangling link
    ::stat(path.c_str(), &st);
    if (catalogInfos)
      FillCatalogInfo(path, st, whichInfo, &catalogInfos[count]);
    if (specs)
      FillSpec(path, &specs[count]);
    if (names)
      CopyToHFSUniStr(MacNameFromDiskName(name), &names[count]);
    ++count;
  }
  *actualObjects = count;
  bool lastPartialBatch = iterator->next >= iterator->names.size() && count < maximumObjects;
  if (count == 0 || (lastPartialBatch && TheState().lastBatchSaysNoMoreItems))
    return errFSNoMoreItems;
  return noErr;
}

OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory) {
  if (OSErr err = EnterCall("FSPathMakeRef"))
    return err;
  if (path == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  struct stat st;
  if (OSErr err = MakeRef(reinterpret_cast<const char*>(path), ref, &st))
    return err;
  if (isDirectory)
    *isDirectory = S_ISDIR(st.st_mode);
  return noErr;
}

OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize) {
  if (OSErr err = EnterCall("FSRefMakePath"))
    return err;
  Lock lock(TheState().mutex);
  std::string itemPath;
  if (OSErr err = ResolveRef(ref, &itemPath, nullptr))
    return err;
  if (path == nullptr || itemPath.size() + 1 > maxPathSize)
    return paramErr;
  std::memcpy(path, itemPath.c_str(), itemPath.size() + 1);
  return noErr;
}

OSErr FSMakeFSSpec(FSVolumeRefNum vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec) {
  if (OSErr err = EnterCall("FSMakeFSSpec"))
    return err;
  if (spec == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  std::string folder;
  struct stat st;
  if (!VolumeExists(vRefNum))
    return nsvErr;
  if (!DirectoryPath(vRefNum, dirID, &folder) || ::stat(folder.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode))
    return dirNFErr;
  std::string name = FromPascal(fileName);
  if (name.empty()) {
    FillSpec(folder, spec);
    return noErr;
  }
  if (name.find(':') != std::string::npos || name.size() >= sizeof spec->name)
    return bdNamErr;
  spec->vRefNum = kVolumeRefNum;
  spec->parID = dirID;
  CopyToPascal(name, spec->name, sizeof spec->name);
  return ::lstat(ChildPath(folder, name).c_str(), &st) == 0 ? kOK : fnfErr;
}

OSErr FSpMakeFSRef(const FSSpec* source, FSRef* newRef) {
  if (OSErr err = EnterCall("FSpMakeFSRef"))
    return err;
  if (source == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  if (!VolumeExists(source->vRefNum))
    return nsvErr;
  std::string name = FromPascal(source->name);
  if (source->parID == static_cast<SInt32>(kFSRootParentID))
    return name == kVolumeName || name.empty() ? MakeRef("/", newRef, nullptr) : fnfErr;
  std::string folder;
  if (!DirectoryPath(source->vRefNum, source->parID, &folder))
    return dirNFErr;
  return MakeRef(name.empty() ? folder : ChildPath(folder, name), newRef, nullptr);
}

OSErr FSGetDataForkName(HFSUniStr255* dataForkName) {
  if (dataForkName == nullptr)
    return paramErr;
  dataForkName->length = 0;
  return noErr;
}

OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar*, SInt8 permissions,
                 FSIORefNum* forkRefNum) {
  if (forkRefNum)
    *forkRefNum = 0;
  if (OSErr err = EnterCall("FSOpenFork"))
    return err;
  if (forkRefNum == nullptr)
    return paramErr;
  State& s = TheState();
  Lock lock(s.mutex);
  std::string path;
  struct stat st;
  if (OSErr err = ResolveRef(ref, &path, &st))
    return err;
  if (S_ISDIR(st.st_mode))
    return notAFileErr;
  if (forkNameLength != 0)
    return errFSForkNotFound;  // only data forks exist here
  bool wantsWrite = permissions == fsCurPerm || (permissions & (fsWrPerm | fsRdWrShPerm));
  bool exclusive = (permissions & fsWrPerm) && !(permissions & fsRdWrShPerm);
  bool canRead = permissions == fsCurPerm || (permissions & fsRdPerm);
  for (const auto& entry : s.forks) {
    const OpenFork& other = entry.second;
    if (other.device != static_cast<std::uint64_t>(st.st_dev) ||
        other.inode != static_cast<std::uint64_t>(st.st_ino) || !other.canWrite || !wantsWrite)
      continue;
    if (permissions == fsCurPerm) {
      wantsWrite = false;  // current permission settles for reading
      break;
    }
    if (other.exclusiveWrite || exclusive)
      return opWrErr;
  }
  int fd = ::open(path.c_str(), (wantsWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0 && permissions == fsCurPerm && wantsWrite) {
    wantsWrite = false;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0)
    return errno == EACCES || errno == EPERM ? permErr : ErrorFromErrno(errno);
  FSIORefNum refNum = 1;
  while (s.forks.count(refNum))
    ++refNum;
  s.forks[refNum] = OpenFork{fd,
                             static_cast<std::uint64_t>(st.st_dev),
                             static_cast<std::uint64_t>(st.st_ino),
                             canRead,
                             wantsWrite,
                             wantsWrite && (exclusive || permissions == fsCurPerm),
                             0,
                             static_cast<std::int64_t>(st.st_size)};
  if (StandIn_RecordingCalls())
    ++s.forkUse[{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}]
          .first;
  *forkRefNum = refNum;
  return noErr;
}

namespace {
// Counts the call, takes the lock and finds the open fork, then runs body on it.
template <typename Body>
OSErr WithFork(const char* function, FSIORefNum forkRefNum, Body body) {
  if (OSErr err = EnterCall(function))
    return err;
  Lock lock(TheState().mutex);
  OpenFork* fork = FindFork(forkRefNum);
  if (fork == nullptr)
    return rfNumErr;
  return body(fork);
}
}  // namespace

OSErr FSCloseFork(FSIORefNum forkRefNum) {
  return WithFork("FSCloseFork", forkRefNum, [&](OpenFork* fork) -> OSErr {
    int result = ::close(fork->fd);
    TheState().forks.erase(forkRefNum);
    return result == 0 ? kOK : ioErr;
  });
}

OSErr FSReadFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset,
                 ByteCount requestCount, void* buffer, ByteCount* actualCount) {
  if (actualCount)
    *actualCount = 0;
  if (OSErr err = EnterCall("FSReadFork"))
    return err;
  int fd = -1;
  SInt64 position = 0;
  {
    Lock lock(TheState().mutex);
    OpenFork* fork = FindFork(forkRefNum);
    if (fork == nullptr)
      return rfNumErr;
    if (!fork->canRead)
      return afpAccessDenied;
    if (StandIn_RecordingCalls())
      ++TheState().forkUse[{fork->device, fork->inode}].second;
    if (buffer == nullptr && requestCount > 0)
      return paramErr;
    if (OSErr err = Position(*fork, positionMode, positionOffset, &position))
      return err;
    fd = fork->fd;
  }
  // Forks are read side by side, as the File Manager does: the lock is not held while reading.
  ByteCount done = 0;
  while (done < requestCount) {
    ssize_t got = ::pread(fd, static_cast<char*>(buffer) + done, requestCount - done,
                          position + static_cast<SInt64>(done));
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return ioErr;
    if (got == 0)
      break;
    done += static_cast<ByteCount>(got);
  }
  {
    Lock lock(TheState().mutex);
    if (OpenFork* fork = FindFork(forkRefNum))
      fork->mark = position + static_cast<SInt64>(done);
  }
  if (actualCount)
    *actualCount = done;
  return done < requestCount ? eofErr : kOK;
}

OSErr FSWriteFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset,
                  ByteCount requestCount, const void* buffer, ByteCount* actualCount) {
  if (actualCount)
    *actualCount = 0;
  return WithFork("FSWriteFork", forkRefNum, [&](OpenFork* fork) -> OSErr {
    if (!fork->canWrite)
      return wrPermErr;
    if (buffer == nullptr && requestCount > 0)
      return paramErr;
    SInt64 position;
    if (OSErr err = Position(*fork, positionMode, positionOffset, &position))
      return err;
    ByteCount done = 0;
    OSErr result = noErr;
    while (done < requestCount) {
      ssize_t put = ::pwrite(fork->fd, static_cast<const char*>(buffer) + done, requestCount - done,
                             position + static_cast<SInt64>(done));
      if (put < 0 && errno == EINTR)
        continue;
      if (put <= 0) {
        result = put < 0 ? ErrorFromErrno(errno) : dskFulErr;
        if (result == afpAccessDenied)
          result = wrPermErr;
        break;
      }
      done += static_cast<ByteCount>(put);
    }
    fork->mark = position + static_cast<SInt64>(done);
    if (fork->mark > fork->knownSize)
      SetKnownSize(*fork, fork->mark);
    if (actualCount)
      *actualCount = done;
    return result;
  });
}

OSErr FSGetForkSize(FSIORefNum forkRefNum, SInt64* forkSize) {
  return WithFork("FSGetForkSize", forkRefNum, [&](OpenFork* fork) -> OSErr {
    struct stat st;
    if (forkSize == nullptr)
      return paramErr;
    if (::fstat(fork->fd, &st) != 0)
      return ioErr;
    *forkSize = st.st_size;
    SetKnownSize(*fork, st.st_size);
    return noErr;
  });
}

OSErr FSSetForkSize(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset) {
  return WithFork("FSSetForkSize", forkRefNum, [&](OpenFork* fork) -> OSErr {
    if (!fork->canWrite)
      return wrPermErr;
    SInt64 size;
    if (OSErr err = Position(*fork, positionMode, positionOffset, &size))
      return err;
    if (::ftruncate(fork->fd, size) != 0) {
      OSErr err = ErrorFromErrno(errno);
      return err == bdNamErr ? posErr : err;
    }
    fork->mark = std::min(fork->mark, size);
    SetKnownSize(*fork, size);
    return noErr;
  });
}

OSErr FSGetForkPosition(FSIORefNum forkRefNum, SInt64* position) {
  return WithFork("FSGetForkPosition", forkRefNum, [&](OpenFork* fork) -> OSErr {
    if (position == nullptr)
      return paramErr;
    *position = fork->mark;
    return noErr;
  });
}

OSErr FSSetForkPosition(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset) {
  return WithFork("FSSetForkPosition", forkRefNum, [&](OpenFork* fork) -> OSErr {
    SInt64 position;
    if (OSErr err = Position(*fork, positionMode, positionOffset, &position))
      return err;
    if (position > fork->knownSize) {
      // The file may have grown from outside since its size was last seen.
      struct stat st;
      if (::fstat(fork->fd, &st) != 0)
        return ioErr;
      SetKnownSize(*fork, st.st_size);
      if (position > st.st_size)
        return eofErr;
    }
    fork->mark = position;
    return noErr;
  });
}

OSErr FSFlushFork(FSIORefNum forkRefNum) {
  return WithFork("FSFlushFork", forkRefNum,
                  [&](OpenFork* fork) -> OSErr { return ::fsync(fork->fd) == 0 ? kOK : ioErr; });
}

void StandIn_FilesFailNext(const char* function, OSErr err) {
  StandIn_FailNext(function, err);
}

void StandIn_FilesReset() {
  Lock lock(TheState().mutex);
  StandIn_CallsReset();
  TheState().forkUse.clear();
  TheState().testVolumes.clear();
  TheState().lastBatchSaysNoMoreItems = false;
  TheState().liveIterators = false;
  ResetVolumes();
}

int StandIn_FilesCallCount(const char* function) {
  return StandIn_CallCount(function);
}

void StandIn_FilesForkUse(const char* path, int* opens, int* reads) {
  *opens = *reads = 0;
  struct stat st;
  if (::stat(path, &st) != 0)
    return;
  Lock lock(TheState().mutex);
  auto found = TheState().forkUse.find(
      {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
  if (found != TheState().forkUse.end()) {
    *opens = found->second.first;
    *reads = found->second.second;
  }
}

int StandIn_FilesOpenForkCount() {
  Lock lock(TheState().mutex);
  return static_cast<int>(TheState().forks.size());
}

int StandIn_FilesOpenIteratorCount() {
  Lock lock(TheState().mutex);
  return static_cast<int>(TheState().iterators.size());
}

void StandIn_FilesMountTestVolume(const char* name, const char* folder) {
  char resolved[PATH_MAX];
  if (name == nullptr || folder == nullptr || ::realpath(folder, resolved) == nullptr)
    return;
  Lock lock(TheState().mutex);
  TheState().testVolumes[name] = resolved;
  AddVolume(name);
}

void StandIn_FilesLiveIterators(bool on) {
  Lock lock(TheState().mutex);
  TheState().liveIterators = on;
}

void StandIn_FilesLastBatchSaysNoMoreItems(bool on) {
  Lock lock(TheState().mutex);
  TheState().lastBatchSaysNoMoreItems = on;
}
