#include "UMAC/UMAC_CatalogSearch.h"

#include <CoreServices/MacMemory.h>
#include <CoreServices/Resources.h>
#include <CoreServices/TextUtils.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr Size kStackGrowth = 240;  // 20 levels
constexpr SInt32 kRootDirID = 2;
constexpr SInt32 kNameBits = fsSBPartialName | fsSBFullName;
constexpr SInt32 kForkLengthBits = fsSBFlLgLen | fsSBFlPyLen | fsSBFlRLgLen | fsSBFlRPyLen;
constexpr UInt8 kMaxNameLength = 63;
constexpr OSType kApplicationType = 0x4150504C;  // 'APPL'
constexpr OSType kFinderFileType = 0x464E4452;   // 'FNDR'
constexpr OSType kFinderCreator = 0x4552494B;    // 'ERIK'
constexpr long kReserveLeft = 32768;

// The walk's levels, for the process: never freed. The stamp names the search that used the
// stack last and the depth it left there, so that a resumed search can tell its levels still
// stand.
UMAC_LevelRecHandle searchStack = nullptr;
Size searchStackSize = 0;
UInt32 stackStamp = 0;
UInt16 stackLevels = 0;
UInt32 lastStamp = 0;

// The catalog position's private words: the depth, then the stamp of the search that saved it.
UInt16 DepthOf(CatPositionRec const& position) {
  return static_cast<UInt16>(position.priv[0]);
}
UInt32 StampOf(CatPositionRec const& position) {
  UInt32 stamp;
  std::memcpy(&stamp, &position.priv[1], sizeof stamp);
  return stamp;
}
void SavePosition(CatPositionRec& position, UInt16 depth, UInt32 stamp) {
  position.priv[0] = static_cast<SInt16>(depth);
  std::memcpy(&position.priv[1], &stamp, sizeof stamp);
}

SInt32 CheckValue(HVolumeParam const& volume) {
  UInt32 const sum = static_cast<UInt32>(volume.ioVRefNum) + volume.ioVCrDate + volume.ioVNmAlBlks +
                     volume.ioVAlBlkSiz + static_cast<UInt32>(volume.ioVFSID);
  return static_cast<SInt32>(sum);
}

// The time-out task while a walk runs: installed and primed when there is a time, removed on
// every way out.
class TimeOut {
public:
  explicit TimeOut(SInt32 searchTime) {
    m_Task.theTask = TMTask{};
    m_Task.stopSearch.store(false);
    if (searchTime == 0)
      return;
    m_Task.theTask.tmAddr = NewTimerUPP(TimeOutTask);
    m_Installed = InsTime(reinterpret_cast<QElemPtr>(&m_Task.theTask)) == noErr;
    if (m_Installed)
      PrimeTime(reinterpret_cast<QElemPtr>(&m_Task.theTask), searchTime);
  }
  ~TimeOut() {
    if (m_Installed)
      RmvTime(reinterpret_cast<QElemPtr>(&m_Task.theTask));
    if (m_Task.theTask.tmAddr)
      DisposeTimerUPP(m_Task.theTask.tmAddr);
  }
  TimeOut(TimeOut const&) = delete;
  TimeOut& operator=(TimeOut const&) = delete;

  bool Expired() const { return m_Task.stopSearch.load(); }

private:
  UMAC_ExtendedTMTask m_Task;
  bool m_Installed = false;
};

// The modification date of a folder now; 0xFFFFFFFF when it cannot be read.
UInt32 FolderDate(FSVolumeRefNum vRefNum, SInt32 dirID) {
  CInfoPBRec cPB{};
  Str63 name;
  cPB.dirInfo.ioNamePtr = name;
  cPB.dirInfo.ioVRefNum = vRefNum;
  cPB.dirInfo.ioFDirIndex = -1;
  cPB.dirInfo.ioDrDirID = dirID;
  return PBGetCatInfoSync(&cPB) == noErr ? cPB.dirInfo.ioDrMdDat : 0xFFFFFFFFu;
}

bool Between(UInt32 value, UInt32 low, UInt32 high) {
  return value >= low && value <= high;
}
bool BetweenSigned(SInt32 value, SInt32 low, SInt32 high) {
  return value >= low && value <= high;
}

bool MaskedEqual(void const* item, void const* value, void const* mask) {
  UInt32 words[3][4];
  std::memcpy(words[0], item, 16);
  std::memcpy(words[1], value, 16);
  std::memcpy(words[2], mask, 16);
  for (int k = 0; k < 4; ++k)
    if (((words[0][k] ^ words[1][k]) & words[2][k]) != 0)
      return false;
  return true;
}

bool Contains(ConstStr255Param text, ConstStr63Param part) {
  std::string const haystack(reinterpret_cast<char const*>(text + 1), text[0]);
  std::string const needle(reinterpret_cast<char const*>(part + 1), part[0]);
  return haystack.find(needle) != std::string::npos;
}

// Every criterion other than the names.
bool OtherCriteriaMatch(CInfoPBRec const& item, CSParam const& pb, bool isDir) {
  SInt32 const bits = pb.ioSearchBits;
  HFileInfo const& file = item.hFileInfo;
  HFileInfo const& low = pb.ioSearchInfo1->hFileInfo;
  HFileInfo const& high = pb.ioSearchInfo2->hFileInfo;
  if ((bits & fsSBFlParID) && !BetweenSigned(file.ioFlParID, low.ioFlParID, high.ioFlParID))
    return false;
  if ((bits & fsSBFlAttrib) && ((file.ioFlAttrib ^ low.ioFlAttrib) & high.ioFlAttrib) != 0)
    return false;
  if ((bits & fsSBDrNmFls) &&
      !(isDir && Between(item.dirInfo.ioDrNmFls, pb.ioSearchInfo1->dirInfo.ioDrNmFls,
                         pb.ioSearchInfo2->dirInfo.ioDrNmFls)))
    return false;
  if ((bits & fsSBFlFndrInfo) &&
      !MaskedEqual(&file.ioFlFndrInfo, &low.ioFlFndrInfo, &high.ioFlFndrInfo))
    return false;
  if ((bits & fsSBFlXFndrInfo) &&
      !MaskedEqual(&file.ioFlXFndrInfo, &low.ioFlXFndrInfo, &high.ioFlXFndrInfo))
    return false;
  if (!isDir) {
    if ((bits & fsSBFlLgLen) && !BetweenSigned(file.ioFlLgLen, low.ioFlLgLen, high.ioFlLgLen))
      return false;
    if ((bits & fsSBFlPyLen) && !BetweenSigned(file.ioFlPyLen, low.ioFlPyLen, high.ioFlPyLen))
      return false;
    if ((bits & fsSBFlRLgLen) && !BetweenSigned(file.ioFlRLgLen, low.ioFlRLgLen, high.ioFlRLgLen))
      return false;
    if ((bits & fsSBFlRPyLen) && !BetweenSigned(file.ioFlRPyLen, low.ioFlRPyLen, high.ioFlRPyLen))
      return false;
  }
  if ((bits & fsSBFlCrDat) && !Between(file.ioFlCrDat, low.ioFlCrDat, high.ioFlCrDat))
    return false;
  if ((bits & fsSBFlMDDat) && !Between(file.ioFlMdDat, low.ioFlMdDat, high.ioFlMdDat))
    return false;
  if ((bits & fsSBFlBkDat) && !Between(file.ioFlBkDat, low.ioFlBkDat, high.ioFlBkDat))
    return false;
  return true;
}

// The criteria's own checks (paramErr when they do not hold) and which kinds they ask for.
OSErr CheckCriteria(CSParam const& pb, bool* includeFiles, bool* includeDirs) {
  if (pb.ioMatchPtr == nullptr || pb.ioSearchInfo1 == nullptr)
    return paramErr;
  SInt32 const bits = pb.ioSearchBits;
  if ((bits & ~(kNameBits | fsSBNegate)) != 0 && pb.ioSearchInfo2 == nullptr)
    return paramErr;
  if (bits & kNameBits) {
    StringPtr const name = pb.ioSearchInfo1->hFileInfo.ioNamePtr;
    if (name == nullptr || name[0] == 0 || name[0] > kMaxNameLength)
      return paramErr;
  }
  *includeFiles = *includeDirs = true;
  if (bits & fsSBFlAttrib) {
    SInt8 const mask = pb.ioSearchInfo2->hFileInfo.ioFlAttrib;
    SInt8 const value = pb.ioSearchInfo1->hFileInfo.ioFlAttrib;
    if ((mask & ~(kioFlAttribDirMask | kioFlAttribLockedMask)) != 0)
      return paramErr;
    if (mask & kioFlAttribDirMask) {
      *includeDirs = (value & kioFlAttribDirMask) != 0;
      *includeFiles = !*includeDirs;
    }
    if ((mask & kioFlAttribLockedMask) && *includeDirs)
      return paramErr;
  }
  if (*includeFiles && (bits & fsSBDrNmFls))
    return paramErr;
  if (*includeDirs && (bits & kForkLengthBits))
    return paramErr;
  return noErr;
}

// Reads the application entries of a desktop file's 'APPL' resource: creator (4 bytes), parent
// ID (4 bytes) and a length-prefixed name, padded to an even length. An entry that would reach
// past the resource's end ends the walk.
bool FindInDesktopFile(Handle resource, OSType creator, SInt32* parID, StringPtr name) {
  auto const size = static_cast<std::size_t>(std::max<Size>(GetHandleSize(resource), 0));
  auto const* bytes = reinterpret_cast<UInt8 const*>(*resource);
  auto word = [bytes](std::size_t at) {
    return static_cast<UInt32>(bytes[at]) << 24 | static_cast<UInt32>(bytes[at + 1]) << 16 |
           static_cast<UInt32>(bytes[at + 2]) << 8 | bytes[at + 3];
  };
  std::size_t offset = 0;
  while (offset + 9 <= size) {
    std::size_t const nameLength = bytes[offset + 8];
    std::size_t const entryLength = 9 + nameLength;
    if (offset + entryLength > size)
      return false;
    if (word(offset) == creator) {
      *parID = static_cast<SInt32>(word(offset + 4));
      std::memcpy(name, bytes + offset + 8, nameLength + 1);
      return true;
    }
    offset += entryLength + (entryLength & 1);
  }
  return false;
}

// The application named in a folder exists with the creator and type 'APPL'.
bool IsApplication(FSVolumeRefNum vRefNum, SInt32 parID, StringPtr name, OSType creator) {
  HParamBlockRec pb{};
  pb.fileParam.ioNamePtr = name;
  pb.fileParam.ioVRefNum = vRefNum;
  pb.fileParam.ioFDirIndex = 0;
  pb.fileParam.ioDirID = parID;
  return PBHGetFInfoSync(&pb) == noErr && pb.fileParam.ioFlFndrInfo.fdCreator == creator &&
         pb.fileParam.ioFlFndrInfo.fdType == kApplicationType;
}

// The application from the desktop file's resource fork; false when there is none to be had.
bool ApplicationFromDesktopFile(FSVolumeRefNum vRefNum, ConstStr255Param desktopName,
                                OSType creator, SInt32* parID, StringPtr name) {
  ResFileRefNum const saved = CurResFile();
  SetResLoad(false);
  ResFileRefNum const file = HOpenResFile(vRefNum, kRootDirID, desktopName, fsRdPerm);
  SetResLoad(true);
  if (file == -1)
    return false;
  UseResFile(file);
  bool found = false;
  if (Handle const resource = Get1Resource(kApplicationType, 0))
    found = FindInDesktopFile(resource, creator, parID, name);
  CloseResFile(file);
  UseResFile(saved);
  return found;
}

void SetResults(FSVolumeRefNum vRefNum, SInt32 parID, ConstStr255Param name,
                FSVolumeRefNum* applVRefNum, SInt32* applParID, StringPtr applName) {
  *applVRefNum = vRefNum;
  *applParID = parID;
  std::memcpy(applName, name, static_cast<std::size_t>(name[0]) + 1);
}

struct PtrDisposer {
  void operator()(char* p) const { DisposePtr(p); }
};

}  // namespace

void TimeOutTask(TMTaskPtr tmTaskPtr) {
  reinterpret_cast<UMAC_ExtendedTMTask*>(tmTaskPtr)->stopSearch.store(true);
}

OSErr UMAC_CheckStack(unsigned short depth, UMAC_LevelRecHandle stack, Size* size) {
  Size const needed = static_cast<Size>(depth + 1) * static_cast<Size>(sizeof(UMAC_LevelRec));
  if (needed <= *size)
    return noErr;
  Size const grown = *size + ((needed - *size + kStackGrowth - 1) / kStackGrowth) * kStackGrowth;
  SetHandleSize(reinterpret_cast<Handle>(stack), grown);
  if (OSErr err = MemError())
    return err;
  *size = grown;
  return noErr;
}

Ptr UMAC_GetTempBuffer(long size, long* actualSize) {
  size = std::max(size & ~1023L, 1024L);
  Ptr buffer = NewPtr(size);
  if (buffer == nullptr && size > 1024) {
    size = std::min(FreeMem() - kReserveLeft, static_cast<long>(MaxBlock())) & ~1023L;
    if (size <= 0)
      size = 1024;
    buffer = NewPtr(size);
  }
  *actualSize = buffer ? size : 0;
  return buffer;
}

OSErr UMAC_GetDesktopFileName(FSVolumeRefNum vRefNum, StringPtr desktopName) {
  Str63 name;
  for (SInt16 index = 1;; ++index) {
    CInfoPBRec cPB{};
    cPB.hFileInfo.ioNamePtr = name;
    cPB.hFileInfo.ioVRefNum = vRefNum;
    cPB.hFileInfo.ioFDirIndex = index;
    cPB.hFileInfo.ioDirID = kRootDirID;
    OSErr const err = PBGetCatInfoSync(&cPB);
    if (err == fnfErr)
      return afpItemNotFound;
    if (err != noErr)
      return err;
    bool const isFile = !(cPB.hFileInfo.ioFlAttrib & kioFlAttribDirMask);
    if (isFile && cPB.hFileInfo.ioFlFndrInfo.fdType == kFinderFileType &&
        cPB.hFileInfo.ioFlFndrInfo.fdCreator == kFinderCreator) {
      std::memcpy(desktopName, name, static_cast<std::size_t>(name[0]) + 1);
      return noErr;
    }
  }
}

OSErr UMAC_GetVolumeInfoNoName(ConstStr255Param pathname, FSVolumeRefNum vRefNum, HParmBlkPtr pb) {
  if (pb == nullptr)
    return paramErr;
  Str255 name;
  pb->volumeParam.ioVRefNum = vRefNum;
  if (pathname) {
    std::memcpy(name, pathname, static_cast<std::size_t>(pathname[0]) + 1);
    pb->volumeParam.ioNamePtr = name;
    pb->volumeParam.ioVolIndex = -1;
  } else {
    pb->volumeParam.ioNamePtr = nullptr;
    pb->volumeParam.ioVolIndex = 0;
  }
  OSErr const err = PBHGetVInfoSync(pb);
  pb->volumeParam.ioNamePtr = nullptr;
  return err;
}

void UMAC_CheckForMatches(CInfoPBPtr cPB, CSParamPtr pb, ConstStr63Param matchName,
                          Boolean includeFiles, Boolean includeDirs) {
  bool const isDir = (cPB->hFileInfo.ioFlAttrib & kioFlAttribDirMask) != 0;
  StringPtr const itemName = cPB->hFileInfo.ioNamePtr;
  SInt32 const bits = pb->ioSearchBits;
  bool matches = isDir ? includeDirs : includeFiles;
  if (matches && (bits & fsSBPartialName)) {
    Str63 upper;
    std::memcpy(upper, itemName, static_cast<std::size_t>(std::min<UInt8>(itemName[0], 63)) + 1);
    upper[0] = std::min<UInt8>(upper[0], 63);
    UpperString(upper, true);
    matches = upper[0] > 0 && Contains(upper, matchName);
  }
  if (matches && (bits & fsSBFullName))
    matches = EqualString(itemName, matchName, false, true);
  // A name criterion alone decides by itself.
  if (matches && (bits & ~(kNameBits | fsSBNegate)) != 0)
    matches = OtherCriteriaMatch(*cPB, *pb, isDir);
  if (bits & fsSBNegate)
    matches = !matches;
  if (!matches)
    return;
  FSSpec& spec = pb->ioMatchPtr[pb->ioActMatchCount];
  spec.vRefNum = pb->ioVRefNum;
  spec.parID = cPB->hFileInfo.ioFlParID;
  UInt8 const length = std::min<UInt8>(itemName[0], kMaxNameLength);
  spec.name[0] = length;
  std::memcpy(spec.name + 1, itemName + 1, length);
  // A longer name comes back cut: such a name names no file, so the item is left out.
  if (length == kMaxNameLength) {
    FSSpec check;
    if (FSMakeFSSpec(spec.vRefNum, spec.parID, spec.name, &check) != noErr)
      return;
  }
  ++pb->ioActMatchCount;
}

OSErr UMAC_IndexedSearch(CSParamPtr pb, SInt32 startDirID) {
  TimeOut const timeOut(pb->ioSearchTime);
  bool includeFiles = true;
  bool includeDirs = true;
  if (OSErr err = CheckCriteria(*pb, &includeFiles, &includeDirs))
    return err;
  pb->ioActMatchCount = 0;
  Str63 matchName = {0};
  if (pb->ioSearchBits & kNameBits) {
    std::memcpy(matchName, pb->ioSearchInfo1->hFileInfo.ioNamePtr,
                static_cast<std::size_t>(pb->ioSearchInfo1->hFileInfo.ioNamePtr[0]) + 1);
    UpperString(matchName, true);
  }
  if (searchStack == nullptr) {
    searchStack = reinterpret_cast<UMAC_LevelRecHandle>(NewHandle(kStackGrowth));
    if (searchStack == nullptr)
      return memFullErr;
    searchStackSize = kStackGrowth;
  }

  HParamBlockRec volume{};
  if (OSErr err = UMAC_GetVolumeInfoNoName(pb->ioNamePtr, pb->ioVRefNum, &volume))
    return err;
  FSVolumeRefNum const vRefNum = volume.volumeParam.ioVRefNum;
  SInt32 const checkValue = CheckValue(volume.volumeParam);
  CatPositionRec& position = pb->ioCatPosition;
  UInt16 depth = 0;
  SInt32 dirID = startDirID;
  SInt16 index = -1;
  UInt32 dirModDate = 0;
  if (position.initialize == 0) {
    position.initialize = checkValue;
  } else {
    if (position.initialize != checkValue)
      return catChangedErr;
    // Another search has used the stack since this position was saved: its levels are gone.
    if (StampOf(position) != stackStamp)
      return catChangedErr;
    depth = DepthOf(position);
    if (depth == 0 || depth > stackLevels)
      return paramErr;
    UMAC_LevelRec const level = (*searchStack)[--depth];
    dirID = level.dirID;
    index = level.index;
    dirModDate = level.dirModDate;
    if (FolderDate(vRefNum, dirID) != dirModDate)
      return catChangedErr;
  }
  // From here on the stack is this search's.
  UInt32 const stamp = ++lastStamp;
  stackStamp = stamp;
  stackLevels = depth;

  Str63 itemName;
  while (pb->ioActMatchCount < pb->ioReqMatchCount) {
    CInfoPBRec cPB{};
    cPB.dirInfo.ioNamePtr = itemName;
    cPB.dirInfo.ioVRefNum = vRefNum;
    cPB.dirInfo.ioFDirIndex = index;
    cPB.dirInfo.ioDrDirID = dirID;
    OSErr result = PBGetCatInfoSync(&cPB);
    if (index == -1) {
      if (result == noErr) {
        dirModDate = cPB.dirInfo.ioDrMdDat;
        UMAC_CheckForMatches(&cPB, pb, matchName, includeFiles, includeDirs);
        index = 1;
      }
    } else if (result != noErr) {
      // The end of this folder: back to the one above, which must not have changed.
      if (depth > 0) {
        UMAC_LevelRec const level = (*searchStack)[--depth];
        stackLevels = depth;
        dirID = level.dirID;
        index = level.index;
        dirModDate = level.dirModDate;
        result = FolderDate(vRefNum, dirID) == dirModDate ? OSErr{noErr} : catChangedErr;
      } else {
        result = eofErr;
      }
    } else {
      UMAC_CheckForMatches(&cPB, pb, matchName, includeFiles, includeDirs);
      ++index;
      if (cPB.dirInfo.ioFlAttrib & kioFlAttribDirMask) {
        result = UMAC_CheckStack(depth, searchStack, &searchStackSize);
        if (result == noErr) {
          (*searchStack)[depth++] = UMAC_LevelRec{dirModDate, dirID, index};
          stackLevels = depth;
          dirID = cPB.dirInfo.ioDrDirID;
          dirModDate = cPB.dirInfo.ioDrMdDat;
          index = 1;
        }
      }
    }
    if (result != noErr)
      return result;
    if (timeOut.Expired())
      break;
  }

  // The position to go on from: the current level pushed on top of the others.
  if (OSErr err = UMAC_CheckStack(depth, searchStack, &searchStackSize))
    return err;
  (*searchStack)[depth++] = UMAC_LevelRec{dirModDate, dirID, index};
  stackLevels = depth;
  SavePosition(position, depth, stamp);
  return noErr;
}

OSErr UMAC_PBCatSearchSyncCompat(CSParamPtr paramBlock) {
  GetVolParmsInfoBuffer parameters{};
  HParamBlockRec pb{};
  pb.ioParam.ioNamePtr = paramBlock->ioNamePtr;
  pb.ioParam.ioVRefNum = paramBlock->ioVRefNum;
  pb.ioParam.ioBuffer = reinterpret_cast<Ptr>(&parameters);
  pb.ioParam.ioReqCount = static_cast<SInt32>(sizeof parameters);
  OSErr const err = PBHGetVolParmsSync(&pb);
  if (err == noErr && (parameters.vMAttrib & (1L << bHasCatSearch)))
    return PBCatSearchSync(paramBlock);
  if (err == noErr || err == paramErr)
    return UMAC_IndexedSearch(paramBlock, kRootDirID);
  return err;
}

OSErr UMAC_DTOpen(ConstStr255Param volName, FSVolumeRefNum vRefNum, SInt16* dtRefNum,
                  Boolean* newDTDatabase) {
  GetVolParmsInfoBuffer parameters{};
  HParamBlockRec pb{};
  pb.ioParam.ioNamePtr = const_cast<StringPtr>(volName);
  pb.ioParam.ioVRefNum = vRefNum;
  pb.ioParam.ioBuffer = reinterpret_cast<Ptr>(&parameters);
  pb.ioParam.ioReqCount = static_cast<SInt32>(sizeof parameters);
  if (OSErr err = PBHGetVolParmsSync(&pb))
    return err;
  if (!(parameters.vMAttrib & (1L << bHasDesktopMgr)))
    return paramErr;
  DTPBRec dt{};
  dt.ioNamePtr = const_cast<StringPtr>(volName);
  dt.ioVRefNum = vRefNum;
  OSErr err = PBDTOpenInform(&dt);
  if (err == paramErr) {
    err = PBDTGetPath(&dt);
    *newDTDatabase = false;
  } else {
    *newDTDatabase = (dt.ioTagInfo & 1) == 0;
  }
  *dtRefNum = dt.ioDTRefNum;
  return err;
}

OSErr UMAC_CreatorTypeFileSearch(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                                 OSType fileType, FSSpecPtr matches, SInt32 reqMatchCount,
                                 SInt32* actMatchCount, Boolean newSearch) {
  static FSVolumeRefNum lastVRefNum = 0;
  static CatPositionRec catPosition = {};
  HParamBlockRec volume{};
  if (OSErr err = UMAC_GetVolumeInfoNoName(volName, vRefNum, &volume))
    return err;
  FSVolumeRefNum const realVRefNum = volume.volumeParam.ioVRefNum;

  CInfoPBRec values{};
  CInfoPBRec masks{};
  values.hFileInfo.ioFlAttrib = 0;
  masks.hFileInfo.ioFlAttrib = kioFlAttribDirMask;  // files only
  values.hFileInfo.ioFlFndrInfo.fdType = fileType;
  values.hFileInfo.ioFlFndrInfo.fdCreator = creator;
  masks.hFileInfo.ioFlFndrInfo.fdType = fileType ? 0xFFFFFFFFu : 0;
  masks.hFileInfo.ioFlFndrInfo.fdCreator = creator ? 0xFFFFFFFFu : 0;

  CSParam pb{};
  pb.ioVRefNum = realVRefNum;
  pb.ioMatchPtr = matches;
  pb.ioReqMatchCount = reqMatchCount;
  pb.ioSearchBits = fsSBFlAttrib | fsSBFlFndrInfo;
  pb.ioSearchInfo1 = &values;
  pb.ioSearchInfo2 = &masks;
  pb.ioSearchTime = 0;
  if (newSearch || realVRefNum != lastVRefNum)
    catPosition = CatPositionRec{};
  pb.ioCatPosition = catPosition;
  long bufferSize = 0;
  std::unique_ptr<char, PtrDisposer> const buffer(UMAC_GetTempBuffer(16384, &bufferSize));
  pb.ioOptBuffer = buffer.get();
  pb.ioOptBufSize = static_cast<SInt32>(bufferSize);

  OSErr const err = UMAC_PBCatSearchSyncCompat(&pb);
  *actMatchCount = (err == noErr || err == eofErr) ? pb.ioActMatchCount : 0;
  if (err == noErr || err == catChangedErr) {
    catPosition = pb.ioCatPosition;
    lastVRefNum = realVRefNum;
  } else {
    catPosition = CatPositionRec{};
    lastVRefNum = 0;
  }
  return err;
}

OSErr UMAC_DTXGetAPPL(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                      Boolean searchCatalog, FSVolumeRefNum* applVRefNum, SInt32* applParID,
                      StringPtr applName) {
  HParamBlockRec volume{};
  if (OSErr err = UMAC_GetVolumeInfoNoName(volName, vRefNum, &volume))
    return err;
  FSVolumeRefNum const realVRefNum = volume.volumeParam.ioVRefNum;
  Str255 name;
  SInt32 parID = 0;

  SInt16 dtRefNum = 0;
  Boolean newDatabase = false;
  OSErr err = UMAC_DTOpen(volName, vRefNum, &dtRefNum, &newDatabase);
  if (err == noErr) {
    if (!newDatabase) {
      for (SInt16 index = 0;; ++index) {
        DTPBRec dt{};
        dt.ioNamePtr = name;
        dt.ioDTRefNum = dtRefNum;
        dt.ioIndex = index;
        dt.ioFileCreator = creator;
        if (PBDTGetAPPLSync(&dt) != noErr)
          break;
        if (IsApplication(realVRefNum, dt.ioAPPLParID, name, creator)) {
          SetResults(realVRefNum, dt.ioAPPLParID, name, applVRefNum, applParID, applName);
          return noErr;
        }
      }
    }
  } else if (err == paramErr) {
    // No desktop manager: the volume's desktop file may name the application.
    Str63 desktopName;
    err = UMAC_GetVolumeInfoNoName(volName, vRefNum, &volume);
    if (err == noErr)
      err = UMAC_GetDesktopFileName(realVRefNum, desktopName);
    if (err != noErr && err != afpItemNotFound)
      return err;
    if (err == noErr &&
        ApplicationFromDesktopFile(realVRefNum, desktopName, creator, &parID, name) &&
        IsApplication(realVRefNum, parID, name, creator)) {
      SetResults(realVRefNum, parID, name, applVRefNum, applParID, applName);
      return noErr;
    }
  } else if (err != afpItemNotFound) {
    return err;
  }

  if (!searchCatalog)
    return afpItemNotFound;
  FSSpec match;
  SInt32 count = 0;
  err = UMAC_CreatorTypeFileSearch(nullptr, realVRefNum, creator, kApplicationType, &match, 1,
                                   &count, true);
  if (err != noErr && err != eofErr)
    return err;
  if (count == 0)
    return afpItemNotFound;
  SetResults(match.vRefNum, match.parID, match.name, applVRefNum, applParID, applName);
  return noErr;
}

OSErr UMAC_FSpDTXGetAPPL(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                         Boolean searchCatalog, FSSpecPtr spec) {
  return UMAC_DTXGetAPPL(volName, vRefNum, creator, searchCatalog, &spec->vRefNum, &spec->parID,
                         spec->name);
}
