// Volumes, classic catalog calls, catalog search and desktop databases of the Mac stand-in (see
// CoreServices/Files.h).
#include <CoreServices/Files.h>
#include <HIToolbox/CarbonEvents.h>

#include "iStandInFiles.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

static_assert(offsetof(HFileInfo, ioDirID) == offsetof(DirInfo, ioDrDirID), "records differ");
static_assert(offsetof(HFileInfo, ioFlCrDat) == offsetof(DirInfo, ioDrCrDat), "records differ");
static_assert(offsetof(HFileInfo, ioFlParID) == offsetof(DirInfo, ioDrParID), "records differ");
static_assert(offsetof(HFileInfo, ioFlXFndrInfo) == offsetof(DirInfo, ioDrFndrInfo),
              "records differ");

namespace standin_files {
namespace {

constexpr UInt32 kSecondsFrom1904To1970 = 2082844800u;

struct Volume {
  FSVolumeRefNum refNum;
  std::string name;
  StandIn_VolumeParams params;
};

struct DesktopApplication {
  OSType creator;
  SInt32 parID;
  std::string name;
};

struct DesktopDatabase {
  bool openInform = true;
  bool isNew = false;
  std::vector<DesktopApplication> applications;  // in the order added
};

struct VolumeState {
  std::vector<Volume> volumes;  // the test volumes in mount order
  StandIn_VolumeParams boot{0, 3000000000u, 1000, 4096, 0};
  std::map<FSVolumeRefNum, DesktopDatabase> desktops;
  std::map<std::pair<std::uint64_t, std::uint64_t>, UInt32> touches;
  double catalogStep = 0;
};

VolumeState& Volumes() {
  static VolumeState* state = new VolumeState;
  return *state;
}

StandIn_VolumeParams* ParamsOf(FSVolumeRefNum volume) {
  if (volume == 0 || volume == kVolumeRefNum)
    return &Volumes().boot;
  for (Volume& v : Volumes().volumes)
    if (v.refNum == volume)
      return &v.params;
  return nullptr;
}

std::string NameOf(FSVolumeRefNum volume) {
  for (const Volume& v : Volumes().volumes)
    if (v.refNum == volume)
      return v.name;
  return kVolumeName;
}

// The volume at a 1-based index: "/" first, then the test volumes.
bool VolumeAtIndex(std::size_t index, FSVolumeRefNum* volume) {
  if (index == 1) {
    *volume = kVolumeRefNum;
    return true;
  }
  if (index < 2 || index - 2 >= Volumes().volumes.size())
    return false;
  *volume = Volumes().volumes[index - 2].refNum;
  return true;
}

bool VolumeNamed(const std::string& name, FSVolumeRefNum* volume) {
  if (name == kVolumeName) {
    *volume = kVolumeRefNum;
    return true;
  }
  for (const Volume& v : Volumes().volumes)
    if (v.name == name) {
      *volume = v.refNum;
      return true;
    }
  return false;
}

UInt32 MacDate(const std::string& path, const struct stat& st) {
  auto found = Volumes().touches.find(
      {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)});
  UInt32 const bump = found == Volumes().touches.end() ? 0 : found->second;
  (void)path;
  return static_cast<UInt32>(st.st_mtime) + kSecondsFrom1904To1970 + bump;
}

SInt32 Clamped(off_t value) {
  return static_cast<SInt32>(std::min<off_t>(value, 0x7FFFFFFF));
}

// Fills a catalog record of the item at path; the volume's folder reports directory 2.
void FillCatalogRecord(FSVolumeRefNum volume, const std::string& path, const struct stat& st,
                       CInfoPBRec* pb) {
  UInt8 finder[32];
  FinderInfoOf(path, st, finder);
  std::string volumeFolder;
  VolumeFolder(volume, &volumeFolder);
  if (S_ISDIR(st.st_mode)) {
    DirInfo& dir = pb->dirInfo;
    dir.ioFlAttrib = kioFlAttribDirMask;
    std::memcpy(&dir.ioDrUsrWds, finder, 16);
    std::memcpy(&dir.ioDrFndrInfo, finder + 16, 16);
    bool const root = path == volumeFolder;
    dir.ioDrDirID = root ? static_cast<SInt32>(kFSRootDirID) : static_cast<SInt32>(NodeID(path));
    dir.ioDrParID =
        root ? static_cast<SInt32>(kFSRootParentID) : static_cast<SInt32>(ParentID(path));
    dir.ioDrNmFls = static_cast<UInt16>(EntryCount(path));
    dir.ioDrCrDat = dir.ioDrMdDat = MacDate(path, st);
    dir.ioDrBkDat = 0;
  } else {
    HFileInfo& file = pb->hFileInfo;
    file.ioFlAttrib = 0;
    std::memcpy(&file.ioFlFndrInfo, finder, 16);
    std::memcpy(&file.ioFlXFndrInfo, finder + 16, 16);
    file.ioDirID = static_cast<SInt32>(NodeID(path));
    file.ioFlParID = static_cast<SInt32>(ParentID(path));
    file.ioFlLgLen = Clamped(st.st_size);
    file.ioFlPyLen = Clamped(st.st_blocks * 512);
    file.ioFlRLgLen = file.ioFlRPyLen = 0;
    file.ioFlCrDat = file.ioFlMdDat = MacDate(path, st);
    file.ioFlBkDat = 0;
  }
}

DesktopDatabase* DatabaseOf(FSVolumeRefNum volume) {
  if (volume == 0)
    volume = kVolumeRefNum;
  auto found = Volumes().desktops.find(volume);
  return found == Volumes().desktops.end() ? nullptr : &found->second;
}

}  // namespace

bool VolumeExists(FSVolumeRefNum volume) {
  return ParamsOf(volume) != nullptr;
}

bool VolumeFolder(FSVolumeRefNum volume, std::string* folder) {
  if (volume == 0 || volume == kVolumeRefNum) {
    *folder = "/";
    return true;
  }
  for (const Volume& v : Volumes().volumes)
    if (v.refNum == volume)
      return FolderOfTestVolume(v.name, folder);
  return false;
}

void AddVolume(const std::string& testVolumeName) {
  auto lock = LockFiles();
  auto& volumes = Volumes().volumes;
  if (std::any_of(volumes.begin(), volumes.end(),
                  [&](const Volume& v) { return v.name == testVolumeName; }))
    return;
  auto const refNum =
      static_cast<FSVolumeRefNum>(kVolumeRefNum - 1 - static_cast<int>(volumes.size()));
  volumes.push_back(
      Volume{refNum, testVolumeName, StandIn_VolumeParams{0, 3000000000u, 1000, 4096, 0}});
}

void ResetVolumes() {
  auto lock = LockFiles();
  VolumeState& s = Volumes();
  s.volumes.clear();
  s.boot = StandIn_VolumeParams{0, 3000000000u, 1000, 4096, 0};
  s.desktops.clear();
  s.touches.clear();
  s.catalogStep = 0;
}

}  // namespace standin_files

using namespace standin_files;

OSErr FSGetVolumeInfo(FSVolumeRefNum volume, ItemCount volumeIndex, FSVolumeRefNum* actualVolume,
                      FSVolumeInfoBitmap, FSVolumeInfo* info, HFSUniStr255* volumeName,
                      FSRef* rootDirectory) {
  if (OSErr err = EnterCall("FSGetVolumeInfo"))
    return err;
  auto lock = LockFiles();
  if (volumeIndex > 0 && !VolumeAtIndex(volumeIndex, &volume))
    return nsvErr;
  StandIn_VolumeParams const* params = ParamsOf(volume);
  if (params == nullptr)
    return nsvErr;
  if (volume == 0)
    volume = kVolumeRefNum;
  if (actualVolume)
    *actualVolume = volume;
  if (info) {
    info->createDate = params->createDate;
    info->totalBlocks = params->allocationBlocks;
    info->blockSize = params->allocationBlockSize;
    info->signature = 0x482B;  // 'H+'
    info->filesystemID = static_cast<UInt16>(params->fileSystemID);
  }
  if (volumeName) {
    std::u16string const name = Utf8ToUtf16(NameOf(volume));
    volumeName->length = static_cast<UInt16>(std::min<std::size_t>(name.size(), 255));
    std::copy_n(name.data(), volumeName->length, reinterpret_cast<char16_t*>(volumeName->unicode));
  }
  if (rootDirectory) {
    std::string folder;
    VolumeFolder(volume, &folder);
    if (OSErr err = MakeRefFromPath(folder, rootDirectory))
      return err;
  }
  return noErr;
}

OSErr PBHGetVInfoSync(HParmBlkPtr pb) {
  if (pb == nullptr)
    return paramErr;
  HVolumeParam& v = pb->volumeParam;
  if (OSErr err = EnterCall("PBHGetVInfoSync"))
    return v.ioResult = err;
  auto lock = LockFiles();
  FSVolumeRefNum volume = v.ioVRefNum;
  bool found = false;
  if (v.ioVolIndex > 0) {
    found = VolumeAtIndex(static_cast<std::size_t>(v.ioVolIndex), &volume);
  } else if (v.ioVolIndex < 0 && v.ioNamePtr && v.ioNamePtr[0] > 0) {
    std::string name = PascalText(v.ioNamePtr);
    if (!name.empty() && name.back() == ':')
      name.pop_back();
    found = VolumeNamed(name, &volume);
  }
  if (!found)
    found = v.ioVolIndex <= 0 && VolumeExists(volume);
  if (!found)
    return v.ioResult = nsvErr;
  if (volume == 0)
    volume = kVolumeRefNum;
  StandIn_VolumeParams const& params = *ParamsOf(volume);
  std::string folder;
  VolumeFolder(volume, &folder);
  v.ioVRefNum = volume;
  v.ioVCrDate = params.createDate;
  v.ioVAtrb = 0;
  v.ioVNmFls = static_cast<UInt16>(EntryCount(folder));
  v.ioVNmAlBlks = params.allocationBlocks;
  v.ioVAlBlkSiz = params.allocationBlockSize;
  v.ioVFrBlk = static_cast<UInt16>(params.allocationBlocks / 2);
  v.ioVFSID = params.fileSystemID;
  if (v.ioNamePtr)
    SetPascalText(NameOf(volume), v.ioNamePtr, 28);
  return v.ioResult = noErr;
}

OSErr PBHGetVolParmsSync(HParmBlkPtr pb) {
  if (pb == nullptr)
    return paramErr;
  HIOParam& io = pb->ioParam;
  if (OSErr err = EnterCall("PBHGetVolParmsSync"))
    return io.ioResult = err;
  auto lock = LockFiles();
  StandIn_VolumeParams const* params = ParamsOf(io.ioVRefNum);
  if (params == nullptr)
    return io.ioResult = nsvErr;
  if (io.ioBuffer == nullptr || io.ioReqCount < static_cast<SInt32>(sizeof(SInt16) * 3))
    return io.ioResult = paramErr;
  GetVolParmsInfoBuffer answer{};
  answer.vMVersion = 1;
  answer.vMAttrib = params->attributes;
  auto const size = std::min<std::size_t>(sizeof answer, static_cast<std::size_t>(io.ioReqCount));
  std::memcpy(io.ioBuffer, &answer, size);
  io.ioActCount = static_cast<SInt32>(size);
  return io.ioResult = noErr;
}

OSErr PBHGetFInfoSync(HParmBlkPtr pb) {
  if (pb == nullptr)
    return paramErr;
  HFileParam& f = pb->fileParam;
  if (OSErr err = EnterCall("PBHGetFInfoSync"))
    return f.ioResult = err;
  auto lock = LockFiles();
  if (!VolumeExists(f.ioVRefNum))
    return f.ioResult = nsvErr;
  std::string folder;
  if (!DirectoryPath(f.ioVRefNum, f.ioDirID, &folder))
    return f.ioResult = dirNFErr;
  std::string const name = PascalText(f.ioNamePtr);
  if (f.ioFDirIndex > 0 || name.empty() || name.find(':') != std::string::npos)
    return f.ioResult = paramErr;
  std::string const path = Child(folder, name);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
    return f.ioResult = fnfErr;
  UInt8 finder[32];
  FinderInfoOf(path, st, finder);
  std::memcpy(&f.ioFlFndrInfo, finder, 16);
  f.ioFlAttrib = 0;
  f.ioDirID = static_cast<SInt32>(NodeID(path));
  return f.ioResult = noErr;
}

OSErr PBGetCatInfoSync(CInfoPBPtr pb) {
  if (OSErr err = EnterCall("PBGetCatInfoSync"))
    return pb ? (pb->dirInfo.ioResult = err) : err;
  if (pb == nullptr)
    return paramErr;
  double step = 0;
  {
    auto lock = LockFiles();
    step = Volumes().catalogStep;
  }
  // The catalog takes time: Time Manager tasks due meanwhile run before the answer.
  if (step > 0)
    StandIn_AdvanceClock(step);
  auto lock = LockFiles();
  auto finish = [pb](OSErr err) { return pb->dirInfo.ioResult = err; };
  if (!VolumeExists(pb->dirInfo.ioVRefNum))
    return finish(nsvErr);
  std::string folder;
  if (!DirectoryPath(pb->dirInfo.ioVRefNum, pb->dirInfo.ioDrDirID, &folder))
    return finish(dirNFErr);
  std::string path = folder;
  SInt16 const index = pb->dirInfo.ioFDirIndex;
  struct stat st;
  if (index != 0 && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
    return finish(dirNFErr);
  if (index == 0) {
    std::string const name = PascalText(pb->dirInfo.ioNamePtr);
    if (name.find(':') != std::string::npos)
      return finish(bdNamErr);
    if (!name.empty())
      path = Child(folder, name);
  } else if (index > 0) {
    std::vector<std::string> const names = SortedNames(folder);
    if (static_cast<std::size_t>(index) > names.size())
      return finish(fnfErr);
    path = Child(folder, names[static_cast<std::size_t>(index) - 1]);
  }
  if (::stat(path.c_str(), &st) != 0)
    return finish(path == folder ? dirNFErr : fnfErr);
  if (pb->dirInfo.ioNamePtr && index != 0)
    SetPascalText(ItemName(path), pb->dirInfo.ioNamePtr, 64);
  FillCatalogRecord(pb->dirInfo.ioVRefNum, path, st, pb);
  return finish(noErr);
}

namespace {

// Files of the volume folder in walk order (depth first, names sorted).
void WalkFiles(const std::string& folder, const std::function<void(const std::string&)>& visit) {
  for (const std::string& name : SortedNames(folder)) {
    std::string const path = Child(folder, name);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
      continue;
    if (S_ISDIR(st.st_mode))
      WalkFiles(path, visit);
    else
      visit(path);
  }
}

bool MasksMatch(UInt32 item, UInt32 value, UInt32 mask) {
  return ((item ^ value) & mask) == 0;
}

}  // namespace

OSErr PBCatSearchSync(CSParamPtr pb) {
  if (pb == nullptr)
    return paramErr;
  if (OSErr err = EnterCall("PBCatSearchSync"))
    return pb->ioResult = err;
  auto lock = LockFiles();
  pb->ioActMatchCount = 0;
  std::string folder;
  if (!VolumeFolder(pb->ioVRefNum, &folder))
    return pb->ioResult = nsvErr;
  CInfoPBRec const* value = pb->ioSearchInfo1;
  CInfoPBRec const* mask = pb->ioSearchInfo2;
  if (pb->ioSearchBits != (fsSBFlAttrib | fsSBFlFndrInfo) || value == nullptr || mask == nullptr ||
      pb->ioMatchPtr == nullptr || mask->hFileInfo.ioFlAttrib != kioFlAttribDirMask ||
      value->hFileInfo.ioFlAttrib != 0)
    return pb->ioResult = paramErr;
  // The position counts the files already looked at.
  auto const start = static_cast<std::size_t>(std::max<SInt32>(pb->ioCatPosition.initialize, 0));
  std::size_t seen = 0;
  bool full = false;
  WalkFiles(folder, [&](const std::string& path) {
    if (full || seen++ < start)
      return;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
      return;
    UInt8 finder[32];
    FinderInfoOf(path, st, finder);
    FInfo info;
    std::memcpy(&info, finder, sizeof info);
    std::string const name = ItemName(path);
    if (!MasksMatch(info.fdType, value->hFileInfo.ioFlFndrInfo.fdType,
                    mask->hFileInfo.ioFlFndrInfo.fdType) ||
        !MasksMatch(info.fdCreator, value->hFileInfo.ioFlFndrInfo.fdCreator,
                    mask->hFileInfo.ioFlFndrInfo.fdCreator) ||
        name.size() > 63)
      return;
    FSSpec& match = pb->ioMatchPtr[pb->ioActMatchCount++];
    match.vRefNum = pb->ioVRefNum;
    match.parID = static_cast<SInt32>(ParentID(path));
    SetPascalText(name, match.name, sizeof match.name);
    full = pb->ioActMatchCount >= pb->ioReqMatchCount;
  });
  pb->ioCatPosition.initialize = static_cast<SInt32>(seen);
  return pb->ioResult = full ? kOK : eofErr;
}

OSErr PBDTOpenInform(DTPBPtr pb) {
  if (pb == nullptr)
    return paramErr;
  if (OSErr err = EnterCall("PBDTOpenInform"))
    return pb->ioResult = err;
  auto lock = LockFiles();
  DesktopDatabase const* db = DatabaseOf(pb->ioVRefNum);
  if (db == nullptr || !db->openInform)
    return pb->ioResult = paramErr;
  pb->ioDTRefNum = static_cast<SInt16>(-pb->ioVRefNum);
  pb->ioTagInfo = db->isNew ? 0 : 1;
  return pb->ioResult = noErr;
}

OSErr PBDTGetPath(DTPBPtr pb) {
  if (pb == nullptr)
    return paramErr;
  if (OSErr err = EnterCall("PBDTGetPath"))
    return pb->ioResult = err;
  auto lock = LockFiles();
  if (DatabaseOf(pb->ioVRefNum) == nullptr)
    return pb->ioResult = paramErr;
  pb->ioDTRefNum = static_cast<SInt16>(-pb->ioVRefNum);
  return pb->ioResult = noErr;
}

OSErr PBDTGetAPPLSync(DTPBPtr pb) {
  if (pb == nullptr)
    return paramErr;
  if (OSErr err = EnterCall("PBDTGetAPPLSync"))
    return pb->ioResult = err;
  auto lock = LockFiles();
  DesktopDatabase const* db = DatabaseOf(static_cast<FSVolumeRefNum>(-pb->ioDTRefNum));
  if (db == nullptr)
    return pb->ioResult = rfNumErr;
  SInt16 index = pb->ioIndex;
  for (auto entry = db->applications.rbegin(); entry != db->applications.rend(); ++entry) {
    if (entry->creator != pb->ioFileCreator || index-- > 0)
      continue;
    pb->ioAPPLParID = entry->parID;
    if (pb->ioNamePtr)
      SetPascalText(entry->name, pb->ioNamePtr, 64);
    return pb->ioResult = noErr;
  }
  return pb->ioResult = afpItemNotFound;
}

bool StandIn_FilesSetVolumeParams(FSVolumeRefNum volume, const StandIn_VolumeParams& params) {
  auto lock = LockFiles();
  StandIn_VolumeParams* held = ParamsOf(volume);
  if (held == nullptr)
    return false;
  *held = params;
  return true;
}

void StandIn_FilesSetDesktopDatabase(FSVolumeRefNum volume, bool openInform, bool isNew) {
  auto lock = LockFiles();
  DesktopDatabase& db = Volumes().desktops[volume == 0 ? FSVolumeRefNum{kVolumeRefNum} : volume];
  db.openInform = openInform;
  db.isNew = isNew;
}

void StandIn_FilesAddDesktopApplication(FSVolumeRefNum volume, OSType creator, SInt32 parID,
                                        const char* name) {
  auto lock = LockFiles();
  Volumes().desktops[volume == 0 ? FSVolumeRefNum{kVolumeRefNum} : volume].applications.push_back(
      DesktopApplication{creator, parID, name ? name : ""});
}

void StandIn_FilesTouch(const char* path) {
  struct stat st;
  if (path == nullptr || ::stat(path, &st) != 0)
    return;
  auto lock = LockFiles();
  ++Volumes()
        .touches[{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}];
}

void StandIn_FilesSetCatalogCallStep(double seconds) {
  auto lock = LockFiles();
  Volumes().catalogStep = seconds;
}
