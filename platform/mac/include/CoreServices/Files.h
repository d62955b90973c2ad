// File Manager of the Mac stand-in, over POSIX.
//
// An FSRef names an item that exists: the stand-in keeps it as the item's canonical path
// (interned, so a reference is a small value that can be copied bytewise) together with its
// device and inode, so two references to one item compare equal however they were reached.
// There is one volume, the host's "/", whose root is directory 2 with parent 1. Only data forks
// exist; Finder information lives in the extended attribute "user.com.apple.FinderInfo" (or in
// memory where the host file system has no user attributes).
#pragma once
#include <MacTypes.h>
#include <CoreServices/StandInCalls.h>

#include <cstdint>

typedef unsigned long UniCharCount;

typedef SInt16 FSVolumeRefNum;
typedef SInt16 FSIORefNum;
typedef UInt32 FSCatalogInfoBitmap;
typedef UInt32 TextEncoding;
typedef UInt32 FSIteratorFlags;
typedef unsigned char StrFileName[64];

// File Manager result codes.
constexpr OSErr dirFulErr = -33;
constexpr OSErr dskFulErr = -34;
constexpr OSErr nsvErr = -35;
constexpr OSErr ioErr = -36;
constexpr OSErr bdNamErr = -37;
constexpr OSErr eofErr = -39;
constexpr OSErr posErr = -40;
constexpr OSErr fnfErr = -43;
constexpr OSErr wPrErr = -44;
constexpr OSErr fLckdErr = -45;
constexpr OSErr vLckdErr = -46;
constexpr OSErr fBsyErr = -47;
constexpr OSErr dupFNErr = -48;
constexpr OSErr opWrErr = -49;
constexpr OSErr paramErr = -50;
constexpr OSErr rfNumErr = -51;
constexpr OSErr permErr = -54;
constexpr OSErr wrPermErr = -61;
constexpr OSErr dirNFErr = -120;
constexpr OSErr diffVolErr = -123;
constexpr OSErr notAFileErr = -1302;
constexpr OSErr errFSForkNotFound = -1409;
constexpr OSErr errFSNoMoreItems = -1417;
constexpr OSErr errFSRefsDifferent = -1420;
constexpr OSErr afpAccessDenied = -5000;
constexpr OSErr afpObjectTypeErr = -5025;

struct FSRef {
  UInt8 hidden[80];
};
typedef FSRef* FSRefPtr;

struct FSSpec {
  FSVolumeRefNum vRefNum;
  SInt32 parID;
  StrFileName name;  // length-prefixed
};
typedef FSSpec* FSSpecPtr;

struct HFSUniStr255 {
  UInt16 length;
  UniChar unicode[255];
};

// Finder information of a file (the first 16 bytes of FSCatalogInfo::finderInfo).
struct FileInfo {
  OSType fileType;
  OSType fileCreator;
  UInt16 finderFlags;
  SInt16 locationV;
  SInt16 locationH;
  UInt16 reservedField;
};

struct FSCatalogInfo {
  UInt16 nodeFlags;
  FSVolumeRefNum volume;
  UInt32 parentDirID;
  UInt32 nodeID;
  UInt8 finderInfo[16];
  UInt8 extFinderInfo[16];
  UInt64 dataLogicalSize;
  UInt64 dataPhysicalSize;
  UInt64 rsrcLogicalSize;
  UInt64 rsrcPhysicalSize;
  UInt32 valence;
  TextEncoding textEncodingHint;
};

enum : FSCatalogInfoBitmap {
  kFSCatInfoNone = 0x00000000,
  kFSCatInfoTextEncoding = 0x00000001,
  kFSCatInfoNodeFlags = 0x00000002,
  kFSCatInfoVolume = 0x00000004,
  kFSCatInfoParentDirID = 0x00000008,
  kFSCatInfoNodeID = 0x00000010,
  kFSCatInfoFinderInfo = 0x00000800,
  kFSCatInfoFinderXInfo = 0x00001000,
  kFSCatInfoValence = 0x00002000,
  kFSCatInfoDataSizes = 0x00004000,
  kFSCatInfoRsrcSizes = 0x00008000,
  kFSCatInfoGettableInfo = 0x0003FFFF,
  // Only the Finder information can be set; data sizes change through the fork calls.
  kFSCatInfoSettableInfo = 0x00001800
};

enum : UInt16 {
  kFSNodeLockedMask = 0x0001,
  kFSNodeIsDirectoryMask = 0x0010
};

enum : UInt32 {
  kFSRootParentID = 1,
  kFSRootDirID = 2
};

enum : FSIteratorFlags {
  kFSIterateFlat = 0,
  kFSIterateSubtree = 1
};

// Fork permissions.
enum : SInt8 {
  fsCurPerm = 0,
  fsRdPerm = 1,
  fsWrPerm = 2,
  fsRdWrPerm = 3,
  fsRdWrShPerm = 4
};

// Position modes of the fork calls (the low two bits).
enum : UInt16 {
  fsAtMark = 0,
  fsFromStart = 1,
  fsFromLEOF = 2,
  fsFromMark = 3
};

enum : FSVolumeRefNum {
  kFSInvalidVolumeRefNum = 0
};
enum : TextEncoding {
  kTextEncodingUnknown = 0xFFFF
};

struct OpaqueFSIterator;
typedef OpaqueFSIterator* FSIterator;

// Catalog call on an FSRef in parameter-block form.
struct FSRefParam {
  OSErr ioResult;
  const FSRef* ref;
  FSCatalogInfoBitmap whichInfo;
  FSCatalogInfo* catInfo;
  HFSUniStr255* outName;
  FSSpecPtr spec;
  FSRef* parentRef;
};
typedef FSRefParam* FSRefParamPtr;

// Finder information in the classic records (16 bytes each).
struct FInfo {
  OSType fdType;
  OSType fdCreator;
  UInt16 fdFlags;
  Point fdLocation;
  SInt16 fdFldr;
};
struct FXInfo {
  SInt16 fdIconID;
  SInt16 fdReserved[3];
  SInt8 fdScript;
  SInt8 fdXFlags;
  SInt16 fdComment;
  SInt32 fdPutAway;
};
struct DInfo {
  Rect frRect;
  UInt16 frFlags;
  Point frLocation;
  SInt16 frView;
};
struct DXInfo {
  Point frScroll;
  SInt32 frOpenChain;
  SInt8 frScript;
  SInt8 frXFlags;
  SInt16 frComment;
  SInt32 frPutAway;
};

// Catalog call on a volume and directory ID in parameter-block form. ioFDirIndex < 0 asks
// about the directory ioDrDirID itself; 0 about the item named ioNamePtr inside it; n > 0 about
// its n-th item (in name order; fnfErr past the last). The volume is 0 or a mounted volume's
// number; directory 2 is that volume's root. A file's and a folder's record share the offsets
// of the dates, the extended Finder information and the parent ID. Dates are seconds since 1904.
struct HFileInfo {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  FInfo ioFlFndrInfo;
  SInt32 ioDirID;
  SInt32 ioFlLgLen;
  SInt32 ioFlPyLen;
  SInt32 ioFlRLgLen;
  SInt32 ioFlRPyLen;
  UInt32 ioFlCrDat;
  UInt32 ioFlMdDat;
  UInt32 ioFlBkDat;
  FXInfo ioFlXFndrInfo;
  SInt32 ioFlParID;
};
struct DirInfo {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  DInfo ioDrUsrWds;
  SInt32 ioDrDirID;
  UInt16 ioDrNmFls;
  SInt16 filler3[7];
  UInt32 ioDrCrDat;
  UInt32 ioDrMdDat;
  UInt32 ioDrBkDat;
  DXInfo ioDrFndrInfo;
  SInt32 ioDrParID;
};
union CInfoPBRec {
  HFileInfo hFileInfo;
  DirInfo dirInfo;
};
typedef CInfoPBRec* CInfoPBPtr;

enum : SInt8 {
  kioFlAttribLockedMask = 0x01,
  kioFlAttribDirMask = 0x10
};

// Catalog.
OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfo,
                       HFSUniStr255* outName, FSSpecPtr fsSpec, FSRef* parentRef);
OSErr FSSetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo,
                       const FSCatalogInfo* catalogInfo);
OSErr PBGetCatalogInfoSync(FSRefParam* paramBlock);
OSErr PBGetCatInfoSync(CInfoPBPtr paramBlock);
OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                         TextEncoding textEncodingHint, FSRef* newRef);
OSErr FSCompareFSRefs(const FSRef* ref1, const FSRef* ref2);
OSErr FSCreateFileUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                          FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo,
                          FSRef* newRef, FSSpecPtr newSpec);
OSErr FSCreateDirectoryUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                               FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo,
                               FSRef* newRef, FSSpecPtr newSpec, UInt32* newDirID);
OSErr FSDeleteObject(const FSRef* ref);
OSErr FSOpenIterator(const FSRef* container, FSIteratorFlags iteratorFlags, FSIterator* iterator);
OSErr FSCloseIterator(FSIterator iterator);
OSErr FSGetCatalogInfoBulk(FSIterator iterator, ItemCount maximumObjects, ItemCount* actualObjects,
                           Boolean* containerChanged, FSCatalogInfoBitmap whichInfo,
                           FSCatalogInfo* catalogInfos, FSRef* refs, FSSpecPtr specs,
                           HFSUniStr255* names);

// Paths (UTF-8, POSIX).
OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory);
OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize);

// FSSpec (volume, parent directory ID and name).
OSErr FSMakeFSSpec(FSVolumeRefNum vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec);
OSErr FSpMakeFSRef(const FSSpec* source, FSRef* newRef);

// Forks.
OSErr FSGetDataForkName(HFSUniStr255* dataForkName);
OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName,
                 SInt8 permissions, FSIORefNum* forkRefNum);
OSErr FSCloseFork(FSIORefNum forkRefNum);
OSErr FSReadFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset,
                 ByteCount requestCount, void* buffer, ByteCount* actualCount);
OSErr FSWriteFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset,
                  ByteCount requestCount, const void* buffer, ByteCount* actualCount);
OSErr FSGetForkSize(FSIORefNum forkRefNum, SInt64* forkSize);
OSErr FSSetForkSize(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset);
OSErr FSGetForkPosition(FSIORefNum forkRefNum, SInt64* position);
OSErr FSSetForkPosition(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset);
OSErr FSFlushFork(FSIORefNum forkRefNum);

// Test hooks of the stand-in (names in the one scheme of CoreServices/StandInCalls.h).
// The next call of the named File Manager function (for example "FSOpenFork") returns err
// without doing anything; several injections for one name are used in order.
void StandIn_FilesFailNext(const char* function, OSErr err);
// Forgets every pending injection, resets the call counters and starts recording; unmounts the test
// volumes and turns the last-batch switch below off.
void StandIn_FilesReset();
// How often the named File Manager function was called since the last reset.
int StandIn_FilesCallCount(const char* function);
// How often the file at a POSIX path had a fork opened, and how many fork reads it served,
// since the last reset.
void StandIn_FilesForkUse(const char* path, int* opens, int* reads);
// Number of forks open at the moment.
int StandIn_FilesOpenForkCount();
// Number of iterators open at the moment (FSOpenIterator not yet matched by FSCloseIterator).
int StandIn_FilesOpenIteratorCount();
// Mounts a folder as a volume of that name for HFS paths: CFURLCopyFileSystemPath with the HFS
// style gives "Work:a:b" for <folder>/a/b, and CFURLCreateWithFileSystemPath takes it back. Other
// File Manager calls still see the folder where it is.
void StandIn_FilesMountTestVolume(const char* name, const char* folder);
// When on, FSGetCatalogInfoBulk hands over the last partial batch of a folder with
// errFSNoMoreItems (as the Mac may) instead of noErr followed by an empty batch.
void StandIn_FilesLastBatchSaysNoMoreItems(bool on);

// Volumes. Index 1 is the host's "/" (kVolumeRefNum of the stand-in, -100); the test volumes
// follow in the order they were mounted, numbered -101, -102, ... Each is the same POSIX file
// system: items keep reporting volume -100 in their records, and the PB calls below accept any
// mounted volume's number, whose directory 2 is that volume's folder.
struct FSVolumeInfo {
  UInt32 createDate;
  UInt32 totalBlocks;
  UInt32 blockSize;
  UInt16 signature;
  UInt16 filesystemID;
};
typedef UInt32 FSVolumeInfoBitmap;
enum : FSVolumeInfoBitmap {
  kFSVolInfoNone = 0
};
// By volumeIndex from 1 (volume ignored) or, for index 0, by volume; nsvErr past the last.
OSErr FSGetVolumeInfo(FSVolumeRefNum volume, ItemCount volumeIndex, FSVolumeRefNum* actualVolume,
                      FSVolumeInfoBitmap whichInfo, FSVolumeInfo* info, HFSUniStr255* volumeName,
                      FSRef* rootDirectory);

// Classic parameter blocks of the volume, file and desktop-database calls. Each begins with the
// result, the name and the volume.
struct HIOParam {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  Ptr ioBuffer;
  SInt32 ioReqCount;
  SInt32 ioActCount;
};
struct HFileParam {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  FInfo ioFlFndrInfo;
  SInt32 ioDirID;
};
struct HVolumeParam {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioVolIndex;
  UInt32 ioVCrDate;
  UInt16 ioVAtrb;
  UInt16 ioVNmFls;
  UInt16 ioVNmAlBlks;
  UInt32 ioVAlBlkSiz;
  UInt16 ioVFrBlk;
  SInt16 ioVFSID;
};
union HParamBlockRec {
  HIOParam ioParam;
  HFileParam fileParam;
  HVolumeParam volumeParam;
};
typedef HParamBlockRec* HParmBlkPtr;

// Answer of PBHGetVolParmsSync.
struct GetVolParmsInfoBuffer {
  SInt16 vMVersion;
  SInt32 vMAttrib;
  Handle vMLocalHand;
  SInt32 vMServerAdr;
};
enum : SInt32 {
  bHasCatSearch = 7,
  bHasDesktopMgr = 12
};

// ioVolIndex > 0: the n-th volume; < 0: by name, then by number; 0: by number. The volume's
// name goes to ioNamePtr when it is given.
OSErr PBHGetVInfoSync(HParmBlkPtr paramBlock);
// ioBuffer and ioReqCount: the GetVolParmsInfoBuffer to fill.
OSErr PBHGetVolParmsSync(HParmBlkPtr paramBlock);
// The file named ioNamePtr in directory ioDirID: its attributes and Finder information.
OSErr PBHGetFInfoSync(HParmBlkPtr paramBlock);

// Catalog search.
struct CatPositionRec {
  SInt32 initialize;
  SInt16 priv[6];
};
struct CSParam {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  FSSpecPtr ioMatchPtr;
  SInt32 ioReqMatchCount;
  SInt32 ioActMatchCount;
  SInt32 ioSearchBits;
  CInfoPBPtr ioSearchInfo1;
  CInfoPBPtr ioSearchInfo2;
  SInt32 ioSearchTime;
  CatPositionRec ioCatPosition;
  Ptr ioOptBuffer;
  SInt32 ioOptBufSize;
};
typedef CSParam* CSParamPtr;
enum : SInt32 {
  fsSBPartialName = 1,
  fsSBFullName = 2,
  fsSBFlAttrib = 4,
  fsSBFlFndrInfo = 8,
  fsSBFlLgLen = 32,
  fsSBFlPyLen = 64,
  fsSBFlRLgLen = 128,
  fsSBFlRPyLen = 256,
  fsSBFlCrDat = 512,
  fsSBFlMDDat = 1024,
  fsSBFlBkDat = 2048,
  fsSBFlXFndrInfo = 4096,
  fsSBFlParID = 8192,
  fsSBNegate = 16384,
  fsSBDrNmFls = 16
};
constexpr OSErr catChangedErr = -1304;
// Files only, by Finder type and creator (ioSearchBits 12, attribute mask 0x10 with value 0); a
// zero mask word matches any. The whole volume in one call: matches in name order, walk order
// depth first, up to ioReqMatchCount; eofErr when the walk ended. Anything else is paramErr.
OSErr PBCatSearchSync(CSParamPtr paramBlock);

// Desktop database.
struct DTPBRec {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioDTRefNum;
  SInt16 ioIndex;
  UInt32 ioTagInfo;
  OSType ioFileCreator;
  SInt32 ioAPPLParID;
};
typedef DTPBRec* DTPBPtr;
constexpr OSErr afpItemNotFound = -5012;
// ioTagInfo bit 0 set: the database existed before.
OSErr PBDTOpenInform(DTPBPtr paramBlock);
OSErr PBDTGetPath(DTPBPtr paramBlock);
// The ioIndex-th application of creator ioFileCreator (0 the newest; ioNamePtr receives its
// name); afpItemNotFound past the last.
OSErr PBDTGetAPPLSync(DTPBPtr paramBlock);

// Test hooks of the volumes and the catalog.
// A mounted volume's fields: the attributes its parameters report (bits bHasCatSearch and
// bHasDesktopMgr), the creation date, block count and size and file-system ID that its volume
// information reports.
struct StandIn_VolumeParams {
  SInt32 attributes;
  UInt32 createDate;
  UInt16 allocationBlocks;
  UInt32 allocationBlockSize;
  SInt16 fileSystemID;
};
// false when no volume has that number.
bool StandIn_FilesSetVolumeParams(FSVolumeRefNum volume, const StandIn_VolumeParams& params);
// The desktop database of a volume: whether PBDTOpenInform is offered (else paramErr and
// PBDTGetPath serves), whether it reports a new database, and its application entries (the
// last added answers index 0).
void StandIn_FilesSetDesktopDatabase(FSVolumeRefNum volume, bool openInform, bool isNew);
void StandIn_FilesAddDesktopApplication(FSVolumeRefNum volume, OSType creator, SInt32 parID,
                                        const char* name);
// Makes a later modification date of the item at a POSIX path (a second later each call).
void StandIn_FilesTouch(const char* path);
// Seconds of the virtual clock (see HIToolbox/CarbonEvents.h) each PBGetCatInfoSync takes;
// 0 (the default) leaves the clock alone.
void StandIn_FilesSetCatalogCallStep(double seconds);
// When on, an iterator reads the folder as it is at each FSGetCatalogInfoBulk and goes on from
// its index there, so that deleting items already handed over shifts later items under it.
void StandIn_FilesLiveIterators(bool on);
