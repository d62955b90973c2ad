#include "GFIL/mac/GFIL_FileSystemMacOS.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "GFIL/mac/iGFIL_CFText.h"
#include "GLIB/GLIB_LogMessage.h"
#include "GLIB/GLIB_New.h"

#include <Carbon/TextCommon.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace {

bool IsOneOf(OSErr err, std::initializer_list<OSErr> errors) {
  return std::find(errors.begin(), errors.end(), err) != errors.end();
}

GLIB_String Quoted(const GLIB_String& text) {
  return "\"" + text + "\"";
}

GLIB_String WithErrorCode(const GLIB_String& message, OSErr err) {
  return message + "; MacOS error code: " + GLIB_String(std::to_string(err));
}

// Errors of calls that change a file's data (write, resize).
[[noreturn]] void ThrowDataChangeError(OSErr err, const GLIB_String& item, const char* what,
                                       const char* file, int line) {
  if (IsOneOf(err, {dskFulErr, dirFulErr}))
    GFIL_ThrowPlatformError(
        GFIL_ERR_DISK_FULL,
        WithErrorCode("The disk is full " + GLIB_String(what) + " the file " + Quoted(item), err),
        err, file, line);
  if (IsOneOf(err, {wrPermErr, fLckdErr, vLckdErr, fBsyErr, afpAccessDenied}))
    GFIL_ThrowPlatformError(GFIL_ERR_BUSY_OR_LOCKED,
                            "The file " + Quoted(item) + " or its disk is busy or locked. ", err,
                            file, line);
  GFIL_ThrowPlatformError(
      GFIL_ERR_PLATFORM,
      WithErrorCode("An unknown error occured " + GLIB_String(what) + " the file " + Quoted(item),
                    err),
      err, file, line);
}

CFURLRef URLFromFSRef(const FSRef& ref) {
  return CFURLCreateFromFSRef(kCFAllocatorDefault, &ref);
}

}  // namespace

GFIL_FileSystemMacOS::GFIL_FileSystemMacOS(const CFURLRef& url) : m_Url(url), m_ForkRefNum(0) {}

GFIL_FileSystemMacOS::GFIL_FileSystemMacOS(const FSRef& ref)
    : m_Url(URLFromFSRef(ref)),
      m_ForkRefNum(0) {
  if (m_Url == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert FSRef into a CFURLRef.");
}

GFIL_FileSystemMacOS::GFIL_FileSystemMacOS(const FSSpec& spec) : m_Url(nullptr), m_ForkRefNum(0) {
  GLIB_String name(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  if (!IsPlatformNameValid(name))
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The file name " + Quoted(name) + " is invalid.");
  FSRef ref;
  if (FSpMakeFSRef(&spec, &ref) == noErr) {
    m_Url = URLFromFSRef(ref);
    if (m_Url == nullptr)
      GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert " + Quoted(name) + " into a CFURLRef.");
    return;
  }
  // A file that does not exist yet: its folder's URL with the name appended.
  CInfoPBRec pb{};
  Str255 folderName;
  pb.dirInfo.ioNamePtr = folderName;
  pb.dirInfo.ioVRefNum = spec.vRefNum;
  pb.dirInfo.ioFDirIndex = -1;
  pb.dirInfo.ioDrDirID = spec.parID;
  OSErr err = PBGetCatInfoSync(&pb);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC, "Could not get parent of " + Quoted(name) + " ", err);
  FSSpec folderSpec;
  err = FSMakeFSSpec(spec.vRefNum, spec.parID, nullptr, &folderSpec);
  FSRef folderRef;
  if (err == noErr)
    err = FSpMakeFSRef(&folderSpec, &folderRef);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC, "Could not convert " + Quoted(name) + " into an FSRef.",
                        err);
  iGFIL_CFOwner<CFURLRef> folderURL(URLFromFSRef(folderRef));
  if (folderURL.Get() == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert " + Quoted(name) + " into a CFURLRef.");
  iGFIL_CFOwner<CFStringRef> component(
      CFStringCreateWithBytes(kCFAllocatorDefault, spec.name + 1, spec.name[0],
                              static_cast<CFStringEncoding>(GetApplicationTextEncoding()), false));
  if (component.Get() != nullptr)
    m_Url = CFURLCreateCopyAppendingPathComponent(
        kCFAllocatorDefault, folderURL.Get(), component.Get(), !name.empty() && name.back() == ':');
  if (m_Url == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert " + Quoted(name) + " into a CFURLRef.");
}

GFIL_FileSystemMacOS::~GFIL_FileSystemMacOS() {
  if (m_Url)
    CFRelease(m_Url);
}

const void* GFIL_FileSystemMacOS::PlatformSpecPtr() const {
  return &m_Url;
}

void* GFIL_FileSystemMacOS::PlatformHandle() const {
  return const_cast<SInt16*>(&m_ForkRefNum);
}

bool GFIL_FileSystemMacOS::HasFileSpec() const {
  return m_Url != nullptr;
}

OSErr GFIL_FileSystemMacOS::FindFSRef(FSRef* ref) const {
  if (!CFURLGetFSRef(m_Url, ref))
    return fnfErr;
  return noErr;
}

FSRef GFIL_FileSystemMacOS::AsFSRef() const {
  FSRef ref;
  if (FindFSRef(&ref) != noErr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not convert " + Quoted(ItemText()) + " into an FSRef.");
  return ref;
}

GLIB_WString GFIL_FileSystemMacOS::AsString() const {
  return iGFIL_WStringFromCFString(CFURLGetString(m_Url));
}

GLIB_String GFIL_FileSystemMacOS::ItemText() const {
  return AsString().AsString();
}

bool GFIL_FileSystemMacOS::IsPlatformNameValid(const GLIB_WString& name) const {
  return name.size() <= 255 && name.find(L':') == GLIB_WString::npos;
}

bool GFIL_FileSystemMacOS::IsPlatformNameValid(const GLIB_String& name) const {
  return IsPlatformNameValid(GLIB_NToWString(name));
}

bool GFIL_FileSystemMacOS::FileSpecExists() const {
  FSRef ref;
  try {
    ref = AsFSRef();
  } catch (const GFIL_Exception& e) {
    if (e.code() == GFIL_ERR_BAD_SPEC)
      return false;
    throw;
  }
  return FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, nullptr, nullptr) == noErr;
}

bool GFIL_FileSystemMacOS::FileSpecIsAFolder() const {
  FSRef ref;
  try {
    ref = AsFSRef();
  } catch (const GFIL_Exception&) {
    return CFURLHasDirectoryPath(m_Url);  // a missing item is a folder when its URL says so
  }
  FSCatalogInfo info;
  if (FSGetCatalogInfo(&ref, kFSCatInfoNodeFlags, &info, nullptr, nullptr, nullptr) != noErr)
    return false;
  return (info.nodeFlags & kFSNodeIsDirectoryMask) != 0;
}

bool GFIL_FileSystemMacOS::FileSpecIsAFile() const {
  return !FileSpecIsAFolder();
}

bool GFIL_FileSystemMacOS::FileSpecIsTheRoot() const {
  FSRef ref;
  try {
    ref = AsFSRef();
  } catch (const GFIL_Exception&) {
    return false;
  }
  FSCatalogInfo info;
  if (FSGetCatalogInfo(&ref, kFSCatInfoNodeID | kFSCatInfoParentDirID, &info, nullptr, nullptr,
                       nullptr) != noErr)
    return false;
  return info.nodeID == kFSRootDirID && info.parentDirID == kFSRootParentID;
}

GLIB_WString GFIL_FileSystemMacOS::FileSpecName() const {
  iGFIL_CFOwner<CFStringRef> path(CFURLCopyFileSystemPath(m_Url, kCFURLPOSIXPathStyle));
  if (iGFIL_WStringFromCFString(path.Get()) == L"/")
    return GLIB_WString();
  iGFIL_CFOwner<CFStringRef> name(CFURLCopyLastPathComponent(m_Url));
  return iGFIL_WStringFromCFString(name.Get());
}

GFIL_FileSpec GFIL_FileSystemMacOS::FileSpecParent() const {
  if (FileSpecIsTheRoot())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The existing spec " + Quoted(ItemText()) +
                                      " is the root object; cannot retrieve a parent.");
  CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, m_Url);
  if (parent == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not create the parent of " + Quoted(ItemText()));
  return GFIL_FileSpecMacOS(parent);
}

bool GFIL_FileSystemMacOS::FileSpecContains(const GLIB_WString& name) const {
  return FileSpecConcat(name).Exists();
}

GFIL_FileSpec GFIL_FileSystemMacOS::FileSpecConcat(const GLIB_WString& name) const {
  if (FileSpecIsAFile())
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "The specification " + Quoted(ItemText()) + " is not a folder.");
  iGFIL_CFOwner<CFStringRef> component(iGFIL_CreateCFString(name));
  CFURLRef child = component.Get() ? CFURLCreateCopyAppendingPathComponent(
                                         kCFAllocatorDefault, m_Url, component.Get(), false)
                                   : nullptr;
  if (child == nullptr)
    GFIL_THROW(GFIL_ERR_BAD_SPEC, "Could not create new CFURLRef by appending " +
                                      Quoted(name.AsString()) + " to " + Quoted(ItemText()));
  return GFIL_FileSpecMacOS(child);
}

void GFIL_FileSystemMacOS::Create(unsigned long flags) {
  if ((flags & CREATE_OVERWRITE) && FileSpecExists()) {
    FSRef existing = AsFSRef();
    FSDeleteObject(&existing);  // a failure shows as dupFNErr below
  }
  FSRef parentRef;
  {
    GFIL_FileSystemMacOS parent(
        CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, m_Url));
    parentRef = parent.AsFSRef();
  }
  iGFIL_CFOwner<CFStringRef> name(CFURLCopyLastPathComponent(m_Url));
  GLIB_WString wideName = iGFIL_WStringFromCFString(name.Get());
  std::vector<UniChar> units(wideName.begin(), wideName.end());
  OSErr err = FSCreateFileUnicode(&parentRef, units.size(), units.data(), kFSCatInfoNone, nullptr,
                                  nullptr, nullptr);
  const GLIB_String item = ItemText();
  if (err == dupFNErr && (flags & CREATE_OVERWRITE))
    GFIL_THROW_PLATFORM(GFIL_ERR_BUSY_OR_LOCKED,
                        "The file " + Quoted(item) + " or its disk is busy or locked.", err);
  if (err == dupFNErr)
    GFIL_THROW_PLATFORM(
        GFIL_ERR_ALREADY_EXISTS,
        "Unable to create the file " + Quoted(item) + " because it already exists. ", err);
  if (IsOneOf(err, {nsvErr, bdNamErr, fnfErr, dirNFErr, afpObjectTypeErr}))
    GFIL_THROW_PLATFORM(
        GFIL_ERR_BAD_SPEC,
        "Unable to create the file " + Quoted(item) + " because its an invalid spec. ", err);
  if (IsOneOf(err, {dskFulErr, dirFulErr}))
    GFIL_THROW_PLATFORM(GFIL_ERR_DISK_FULL,
                        "Unable to create the file " + Quoted(item) + " because the disk is full. ",
                        err);
  if (IsOneOf(err, {wPrErr, vLckdErr, afpAccessDenied}))
    GFIL_THROW_PLATFORM(GFIL_ERR_BUSY_OR_LOCKED,
                        "The file " + Quoted(item) + " or its disk is busy or locked. ", err);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_PLATFORM,
                        "An unknown error occured creating the file " + Quoted(item), err);
  if (FileSpecIsAFile()) {
    NoteCreateFlags(flags);
    Open(flags);
  }
}

void GFIL_FileSystemMacOS::Open(unsigned long flags) {
  SInt8 permission = (flags & OPEN_READABLE) ? fsRdPerm : fsCurPerm;
  if ((flags & OPEN_READABLE) && (flags & OPEN_WRITABLE))
    permission |= (flags & OPEN_SHARED) ? (fsRdPerm | fsRdWrShPerm) : fsRdWrPerm;
  FSRef ref;
  HFSUniStr255 forkName;
  SInt16 forkRefNum = 0;
  OSErr err = FindFSRef(&ref);
  if (err == noErr)
    err = FSGetDataForkName(&forkName);
  if (err == noErr)
    err = FSOpenFork(&ref, forkName.length, forkName.unicode, permission, &forkRefNum);
  const GLIB_String item = ItemText();
  if (err == fnfErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_NOT_FOUND, "Unable to open the locate " + Quoted(item), err);
  if (IsOneOf(err, {nsvErr, bdNamErr, dirNFErr}))
    GFIL_THROW_PLATFORM(
        GFIL_ERR_BAD_SPEC,
        "Unable to open the file " + Quoted(item) + " because its an invalid spec. ", err);
  if (IsOneOf(err, {opWrErr, permErr, afpAccessDenied}))
    GFIL_THROW_PLATFORM(GFIL_ERR_BUSY_OR_LOCKED,
                        "The file " + Quoted(item) + " or its disk is busy or locked. ", err);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_PLATFORM,
                        "An unknown error occured opening the file " + Quoted(item), err);
  m_ForkRefNum = forkRefNum;
  NoteOpened(flags);
}

void GFIL_FileSystemMacOS::Close() {
  if (!IsOpen())
    return;
  OSErr err = FSCloseFork(m_ForkRefNum);
  m_ForkRefNum = 0;
  NoteClosed();
  if (err != noErr) {
    GLIB_String message = WithErrorCode("FSClose() caused an internal error", err);
    GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, message.c_str(), __FILE__, __LINE__);
  }
}

void GFIL_FileSystemMacOS::RemoveFile() {
  FSRef ref;
  OSErr err = FindFSRef(&ref);
  if (err == noErr)
    err = FSDeleteObject(&ref);
  const GLIB_String item = ItemText();
  if (err == fnfErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_NOT_FOUND,
                        "Unable to remove the file " + Quoted(item) + " because it was not found. ",
                        err);
  if (IsOneOf(err, {nsvErr, bdNamErr, dirNFErr}))
    GFIL_THROW_PLATFORM(
        GFIL_ERR_BAD_SPEC,
        "Unable to remove the file " + Quoted(item) + " because its an invalid spec. ", err);
  if (IsOneOf(err, {wrPermErr, fLckdErr, vLckdErr, fBsyErr, afpAccessDenied}))
    GFIL_THROW_PLATFORM(GFIL_ERR_BUSY_OR_LOCKED,
                        "The file " + Quoted(item) + " or its disk is busy or locked. ", err);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_PLATFORM,
                        "An unknown error occured removing the file " + Quoted(item), err);
}

long long GFIL_FileSystemMacOS::FileSize() const {
  FSRef ref = AsFSRef();
  FSCatalogInfo info;
  OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoDataSizes, &info, nullptr, nullptr, nullptr);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                        "Unexpected error getting catalog info for " + Quoted(ItemText()), err);
  return static_cast<long long>(info.dataLogicalSize);
}

void GFIL_FileSystemMacOS::SetFileSize(const long long& size) {
  FileSize();  // the item must exist and be readable in the catalog
  // The catalog cannot set a data size: the fork does it, through the open fork or one opened
  // for the purpose.
  SInt16 fork = m_ForkRefNum;
  OSErr err = noErr;
  if (!IsOpen()) {
    FSRef ref = AsFSRef();
    HFSUniStr255 forkName;
    FSGetDataForkName(&forkName);
    err = FSOpenFork(&ref, forkName.length, forkName.unicode, fsRdWrShPerm, &fork);
  }
  if (err == noErr) {
    err = FSSetForkSize(fork, fsFromStart, size);
    if (!IsOpen())
      FSCloseFork(fork);
  }
  if (err != noErr)
    ThrowDataChangeError(err, ItemText(), "resizing", __FILE__, __LINE__);
}

GFIL_DataBuffer GFIL_FileSystemMacOS::ReadBuffer(const long long& offset) {
  GFIL_DataBuffer buffer = AcquireWriteBuffer();
  buffer.ClearBuffer();
  ByteCount actual = 0;
  OSErr err = FSReadFork(m_ForkRefNum, fsFromStart, offset, buffer.Capacity() - buffer.DataOffset(),
                         buffer.Data(), &actual);
  if (err != noErr && err != eofErr) {
    buffer.Release();
    GFIL_THROW_PLATFORM(GFIL_ERR_PLATFORM,
                        "An unknown error occured reading from the file " + Quoted(ItemText()),
                        err);
  }
  buffer.SetDataSize(actual);
  buffer.SetEndOfFile(err == eofErr);
  return buffer;
}

void GFIL_FileSystemMacOS::PrimeForReading(const long long&, const long long&) {}

void GFIL_FileSystemMacOS::CancelOutstandingReads() {}

GFIL_DataBuffer GFIL_FileSystemMacOS::AcquireWriteBuffer() {
  unsigned long size = EffectiveDataBufferSize();
  return MakeDataBuffer(new unsigned char[size], size);
}

void GFIL_FileSystemMacOS::ReleaseBuffer(const GFIL_DataBuffer& buffer) {
  delete[] BufferMemoryPtr(buffer);
  ClearDataBuffer(buffer);
}

void GFIL_FileSystemMacOS::WriteBuffer(const GFIL_DataBuffer& buffer, const long long& offset) {
  ByteCount actual = 0;
  OSErr err =
      FSWriteFork(m_ForkRefNum, fsFromStart, offset, buffer.DataSize(), buffer.Data(), &actual);
  if (err != noErr)
    ThrowDataChangeError(err, ItemText(), "writing", __FILE__, __LINE__);
}

bool GFIL_FileSystemMacOS::AreWritesPending() const {
  return false;
}

void GFIL_FileSystemMacOS::WaitForWriteCompletion() {}

void GFIL_FileSystemMacOS::FlushToDisk() {
  OSErr err = FSFlushFork(m_ForkRefNum);
  if (err != noErr) {
    GLIB_String message = "An unknown error occured during PBFlushFileSync(); MacOS error code = " +
                          GLIB_String(std::to_string(err));
    GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, message.c_str(), __FILE__, __LINE__);
  }
}

GFIL_FileSpecVector GFIL_FileSystemMacOS::FolderContents() const {
  FSRef ref = AsFSRef();
  const GLIB_String item = ItemText();
  FSCatalogInfo info;
  OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoValence, &info, nullptr, nullptr, nullptr);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                        "Unexpected error getting catalog info for " + Quoted(item), err);
  GFIL_FileSpecVector contents;
  if (info.valence < 1)
    return contents;

  FSIterator iterator;
  err = FSOpenIterator(&ref, kFSIterateFlat, &iterator);
  if (err != noErr)
    GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                        "Unexpected error getting an FSIterator for " + Quoted(item), err);
  struct IteratorCloser {
    FSIterator iterator;
    ~IteratorCloser() { FSCloseIterator(iterator); }
  } closer{iterator};

  const ItemCount wanted = info.valence;
  std::vector<FSRef> refs(wanted);
  ItemCount received = 0;
  while (received < wanted) {
    ItemCount count = 0;
    err = FSGetCatalogInfoBulk(iterator, wanted - received, &count, nullptr, kFSCatInfoNone,
                               nullptr, refs.data() + received, nullptr, nullptr);
    received += count;
    if (err == errFSNoMoreItems)
      break;
    if (err != noErr)
      GFIL_THROW_PLATFORM(GFIL_ERR_BAD_SPEC,
                          "Unexpected error calling FSGetCatalogInfoBulk() " + Quoted(item), err);
  }
  for (ItemCount i = 0; i < received; ++i) {
    try {
      contents.push_back(GFIL_FileSpecMacOS(refs[i]));
    } catch (const GFIL_Exception&) {
      // an item that vanished meanwhile is left out
    }
  }
  return contents;
}
