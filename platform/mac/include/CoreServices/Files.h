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

// Catalog call on a volume and directory ID in parameter-block form. ioFDirIndex < 0 asks
// about the directory ioDirID itself; 0 about the item named ioNamePtr inside it.
struct HFileInfo {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  SInt32 ioDirID;
  SInt32 ioFlParID;
  SInt32 ioFlLgLen;
};
struct DirInfo {
  OSErr ioResult;
  StringPtr ioNamePtr;
  FSVolumeRefNum ioVRefNum;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  SInt32 ioDrDirID;
  SInt32 ioDrParID;
  UInt16 ioDrNmFls;
};
union CInfoPBRec {
  HFileInfo hFileInfo;
  DirInfo dirInfo;
};
typedef CInfoPBRec* CInfoPBPtr;

enum : SInt8 {
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

// Test hooks of the stand-in.
// The next call of the named File Manager function (for example "FSOpenFork") returns err
// without doing anything; several injections for one name are used in order.
void StandIn_FilesFailNext(const char* function, OSErr err);
// Forgets every pending injection and resets the call counters; unmounts the test volumes and
// turns the last-batch switch below off.
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
