#include "UMAC/UMAC_FileUtils.h"

#include "UMAC/UMAC_AutoAEDescriptor.h"
#include "UMAC/UMAC_AutoNavDialogRef.h"
#include "UMAC/UMAC_AutoNavReplyRecord.h"
#include "UMAC/UMAC_CatalogSearch.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_TextUtils.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>
#include <CoreServices/Aliases.h>
#include <HIServices/Processes.h>
#include <CoreServices/MacMemory.h>
#include <CoreServices/UnicodeUtilities.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

struct CFReleaser {
  void operator()(CFTypeRef object) const { CFRelease(object); }
};
template <class Ref>
using CFHolder = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;

// The text in the system encoding, in a buffer as large as CF says it may need; "" when a
// character does not convert.
std::string SystemText(CFStringRef text) {
  CFStringEncoding const encoding = CFStringGetSystemEncoding();
  CFIndex const maximum = CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), encoding);
  if (maximum < 0)
    return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(maximum) + 1);
  if (!CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()), encoding))
    return std::string();
  return buffer.data();
}

// A text that copy makes of the item's URL, in the system encoding.
template <class Copy>
std::string TextOfFileURL(FSRef const& ref, Copy copy) {
  CFHolder<CFURLRef> const url(CFURLCreateFromFSRef(kCFAllocatorDefault, &ref));
  if (!url)
    return std::string();
  CFHolder<CFStringRef> const text(copy(url.get()));
  if (!text)
    return std::string();
  return SystemText(text.get());
}

GLIB_String FourChars(DescType type) {
  char const chars[4] = {static_cast<char>(type >> 24), static_cast<char>(type >> 16),
                         static_cast<char>(type >> 8), static_cast<char>(type)};
  return GLIB_String(chars, 4);
}

// The bytes of the item's file URL; throws the Drag Manager's error.
std::string FileURLBytes(DragRef drag, DragItemRef item) {
  Size size = 0;
  if (OSErr err = GetFlavorDataSize(drag, item, typeFileURL, &size))
    UMAC_THROW_TOOLBOX(err);
  std::string bytes(static_cast<std::size_t>(std::max<Size>(size, 0)), '\0');
  if (OSErr err = GetFlavorData(drag, item, typeFileURL, &bytes[0], &size, 0))
    UMAC_THROW_TOOLBOX(err);
  bytes.resize(static_cast<std::size_t>(std::max<Size>(size, 0)));
  return bytes;
}

FSRef ResolvedFileURL(std::string const& bytes) {
  CFHolder<CFURLRef> const url(
      CFURLCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<UInt8 const*>(bytes.data()),
                           static_cast<CFIndex>(bytes.size()), kCFStringEncodingUTF8, nullptr));
  if (!url)
    UMAC_THROW(UMAC_ERR_DRAGGED_ITEM, "Could not resolve bytes \"" + bytes + "\" into a CFURLRef");
  FSRef ref;
  if (!CFURLGetFSRef(url.get(), &ref))
    UMAC_THROW(UMAC_ERR_DRAGGED_ITEM, "Could not resolve URL \"" + bytes + "\" into an FSRef");
  return ref;
}

}  // namespace

std::string UMAC_GetFileName(FSRef const& ref) {
  return TextOfFileURL(ref, CFURLCopyLastPathComponent);
}

std::string UMAC_GetFileExtension(FSRef const& ref) {
  return TextOfFileURL(ref, CFURLCopyPathExtension);
}

void UMAC_FSRefToClassicPath(FSRef const& ref, std::string& path) {
  path = TextOfFileURL(
      ref, [](CFURLRef url) { return CFURLCopyFileSystemPath(url, kCFURLHFSPathStyle); });
}

OSStatus UMAC_PathToFSRef(std::string const& path, FSRef& ref) {
  CFHolder<CFStringRef> const text(
      CFStringCreateWithCString(kCFAllocatorDefault, path.c_str(), CFStringGetSystemEncoding()));
  if (!text)
    return fnfErr;
  CFHolder<CFURLRef> const url(
      CFURLCreateWithFileSystemPath(kCFAllocatorDefault, text.get(), kCFURLPOSIXPathStyle, false));
  if (!url)
    return fnfErr;
  // Resolve into a copy so that a failed lookup leaves the caller's reference untouched.
  FSRef found;
  if (!CFURLGetFSRef(url.get(), &found))
    return fnfErr;
  ref = found;
  return noErr;
}

std::vector<FSRef> UMAC_FilesFoldersFromDrag(DragRef drag) {
  UInt16 count = 0;
  CountDragItems(drag, &count);
  std::vector<FSRef> refs;
  refs.reserve(count);
  for (UInt16 index = 1; index <= count; ++index) {
    DragItemRef item = 0;
    GetDragItemReferenceNumber(drag, index, &item);
    refs.push_back(ResolvedFileURL(FileURLBytes(drag, item)));
  }
  return refs;
}

std::vector<FSRef> UMAC_FilesFromNavReply(NavReplyRecord const& reply) {
  long count = 0;
  if (OSErr err = AECountItems(&reply.selection, &count))
    UMAC_THROW_TOOLBOX(err);
  std::vector<FSRef> refs;
  refs.reserve(static_cast<std::size_t>(std::max(count, 0L)));
  for (long index = 1; index <= count; ++index) {
    FSRef ref;
    AEKeyword keyword = 0;
    DescType type = typeNull;
    Size size = 0;
    if (OSErr err = AEGetNthPtr(&reply.selection, index, typeFSRef, &keyword, &type, &ref,
                                sizeof ref, &size))
      UMAC_THROW_TOOLBOX(err);
    if (type != typeFSRef)
      UMAC_Throw(UMAC_ERR_DESCRIPTOR_TYPE, GLIB_StringVector{"'" + FourChars(type) + "'"},
                 "Expected a file in the AEDesc list. Type of AEDesc is param 1.", __FILE__,
                 __LINE__);
    refs.push_back(ref);
  }
  return refs;
}

namespace {

constexpr ItemCount kBulkCount = 64;
constexpr OSType kApplicationType = 0x4150504C;       // 'APPL'
constexpr OSType kFinderSignature = 0x4D414353;       // 'MACS'
constexpr AEEventClass kCoreEventClass = 0x61657674;  // 'aevt'
constexpr AEEventID kOpenDocuments = 0x6F646F63;      // 'odoc'
constexpr AEEventClass kMiscEventClass = 0x6D697363;  // 'misc'
constexpr AEEventID kSelect = 0x736C6374;             // 'slct'

constexpr OSType kFolderNodeFlag = kFSNodeIsDirectoryMask;

// One bulk read of a folder: up to 64 items with the information asked for.
struct iUMAC_Batch {
  ItemCount count = 0;
  std::vector<FSCatalogInfo> infos = std::vector<FSCatalogInfo>(kBulkCount);
  std::vector<FSRef> refs = std::vector<FSRef>(kBulkCount);
  std::vector<HFSUniStr255> names;
};

// An open flat iterator over a folder, closed when the holder goes. The File Manager may hand
// over the last items together with errFSNoMoreItems: every batch is handled, that error ends
// the walk, any other error throws.
class iUMAC_FolderWalk {
public:
  explicit iUMAC_FolderWalk(FSRef const& folder) {
    if (OSErr err = FSOpenIterator(&folder, kFSIterateFlat, &m_Iterator))
      UMAC_THROW_TOOLBOX(err);
  }
  ~iUMAC_FolderWalk() {
    if (m_Iterator)
      FSCloseIterator(m_Iterator);
  }
  iUMAC_FolderWalk(iUMAC_FolderWalk const&) = delete;
  iUMAC_FolderWalk& operator=(iUMAC_FolderWalk const&) = delete;

  // The next batch; false when the folder has no more items.
  bool Next(FSCatalogInfoBitmap which, bool withNames, iUMAC_Batch& batch) {
    batch.count = 0;
    if (m_Finished)
      return false;
    if (withNames)
      batch.names.resize(kBulkCount);
    OSErr const err = FSGetCatalogInfoBulk(m_Iterator, kBulkCount, &batch.count, nullptr, which,
                                           batch.infos.data(), batch.refs.data(), nullptr,
                                           withNames ? batch.names.data() : nullptr);
    if (err == errFSNoMoreItems)
      m_Finished = true;
    else if (err != noErr)
      UMAC_THROW_TOOLBOX(err);
    batch.count = std::min(batch.count, kBulkCount);
    return batch.count > 0;
  }

  // Closes the iterator now, throwing its error (the holder then tries once more as it goes).
  void Close() {
    if (OSErr err = FSCloseIterator(m_Iterator))
      UMAC_THROW_TOOLBOX(err);
    m_Iterator = nullptr;
  }

private:
  FSIterator m_Iterator = nullptr;
  bool m_Finished = false;
};

struct iUMAC_HandleDisposer {
  void operator()(AliasHandle alias) const { DisposeHandle(reinterpret_cast<Handle>(alias)); }
};
using iUMAC_AliasHolder = std::unique_ptr<std::remove_pointer_t<AliasHandle>, iUMAC_HandleDisposer>;

FSSpec SpecOf(FSRef const& ref, FSRef* parent = nullptr) {
  FSSpec spec;
  if (OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, parent))
    UMAC_THROW_TOOLBOX(err);
  return spec;
}

HFSUniStr255 NameOf(FSRef const& ref) {
  HFSUniStr255 name;
  if (OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, &name, nullptr, nullptr))
    UMAC_THROW_TOOLBOX(err);
  return name;
}

// Sends the Finder an event whose direct object is a list holding the alias.
void SendToFinder(AEEventClass eventClass, AEEventID eventID, AliasHandle alias) {
  static OSType const finderSignature = kFinderSignature;
  UMAC_AutoAEDescriptor const target(typeApplSignature, &finderSignature, sizeof finderSignature);
  UMAC_AutoAEDescriptor event(eventClass, eventID, &target.Get(), kAutoGenerateReturnID,
                              kAnyTransactionID);
  Handle const data = reinterpret_cast<Handle>(alias);
  HLock(data);
  std::unique_ptr<UMAC_AutoAEDescriptor> aliasDesc;
  try {
    aliasDesc = std::make_unique<UMAC_AutoAEDescriptor>(typeAlias, *data, GetHandleSize(data));
  } catch (...) {
    HUnlock(data);
    throw;
  }
  HUnlock(data);
  UMAC_AutoAEDescriptor list(nullptr, 0, false);
  if (OSErr err = AEPutDesc(&list.Get(), 1, &aliasDesc->Get()))
    UMAC_THROW_TOOLBOX(err);
  if (OSErr err = AEPutParamDesc(&event.Get(), keyDirectObject, &list.Get()))
    UMAC_THROW_TOOLBOX(err);
  AppleEvent reply = {typeNull, nullptr};
  OSErr const err = AESend(&event.Get(), &reply, kAENoReply, kAENormalPriority, kAEDefaultTimeout,
                           nullptr, nullptr);
  AEDisposeDesc(&reply);
  if (err != noErr)
    UMAC_THROW_TOOLBOX(err);
}

CFStringRef NewCFStringOfName(HFSUniStr255 const& name) {
  return CFStringCreateWithCharacters(kCFAllocatorDefault, name.unicode, name.length);
}

}  // namespace

void UMAC_DeleteFolder(FSRef const& folder) {
  // Listed first: deleting while an iterator walks may shift items past it.
  std::vector<std::pair<FSRef, bool>> items;
  {
    iUMAC_FolderWalk walk(folder);
    iUMAC_Batch batch;
    while (walk.Next(kFSCatInfoNodeFlags, false, batch))
      for (ItemCount k = 0; k < batch.count; ++k)
        items.emplace_back(batch.refs[k], (batch.infos[k].nodeFlags & kFolderNodeFlag) != 0);
    walk.Close();
  }
  for (auto const& item : items) {
    if (item.second)
      UMAC_DeleteFolder(item.first);
    else if (OSErr err = FSDeleteObject(&item.first))
      UMAC_THROW_TOOLBOX(err);
  }
  if (OSErr err = FSDeleteObject(&folder))
    UMAC_THROW_TOOLBOX(err);
}

bool UMAC_FindFolder(FSRef const& parent, GLIB_WString const& name, FSRef* out) {
  iUMAC_FolderWalk walk(parent);
  iUMAC_Batch batch;
  while (walk.Next(kFSCatInfoNone, true, batch)) {
    for (ItemCount k = 0; k < batch.count; ++k) {
      if (UMAC_HFSUniStrToWString(batch.names[k]) == name) {
        *out = batch.refs[k];
        return true;
      }
    }
  }
  return false;
}

FSRef UMAC_FindOrCreateFolder(FSRef const& parent, GLIB_WString const& name) {
  FSRef found;
  if (UMAC_FindFolder(parent, name, &found)) {
    FSCatalogInfo info;
    if (OSErr err = FSGetCatalogInfo(&found, kFSCatInfoNodeFlags, &info, nullptr, nullptr, nullptr))
      UMAC_THROW_TOOLBOX(err);
    // A file of that name is no folder to put things in.
    if (!(info.nodeFlags & kFolderNodeFlag))
      UMAC_THROW_TOOLBOX(dupFNErr);
    return found;
  }
  HFSUniStr255 const unicodeName = UMAC_WStringToHFSUniStr(name);
  FSRef created;
  if (OSErr err = FSCreateDirectoryUnicode(&parent, unicodeName.length, unicodeName.unicode,
                                           kFSCatInfoNone, nullptr, &created, nullptr, nullptr))
    UMAC_THROW_TOOLBOX(err);
  return created;
}

namespace {

// The running application's bundle or file, and its volume.
FSRef RunningApplication(FSVolumeRefNum* volume) {
  FSSpec appSpec;
  ProcessInfoRec info{};
  info.processInfoLength = sizeof info;
  info.processAppSpec = &appSpec;
  ProcessSerialNumber const current = {0, kCurrentProcess};
  if (OSErr err = GetProcessInformation(&current, &info))
    UMAC_THROW_TOOLBOX(err);
  *volume = appSpec.vRefNum;
  FSRef ref;
  CFBundleRef const bundle = CFBundleGetMainBundle();
  CFHolder<CFURLRef> const url(bundle ? CFBundleCopyBundleURL(bundle) : nullptr);
  if (url) {
    if (!CFURLGetFSRef(url.get(), &ref))
      UMAC_THROW_TOOLBOX(1);
  } else if (OSErr err = FSpMakeFSRef(&appSpec, &ref)) {
    UMAC_THROW_TOOLBOX(err);
  }
  return ref;
}

// An application bundle of the creator: the FSSpec of its executable.
bool BundleExecutable(FSRef const& folder, OSType creator, FSSpec* out) {
  CFHolder<CFURLRef> const url(CFURLCreateFromFSRef(kCFAllocatorDefault, &folder));
  if (!url)
    return false;
  CFHolder<CFBundleRef> const bundle(CFBundleCreate(kCFAllocatorDefault, url.get()));
  if (!bundle)
    return false;
  UInt32 type = 0;
  UInt32 signature = 0;
  CFBundleGetPackageInfo(bundle.get(), &type, &signature);
  if (type != kApplicationType || signature != creator)
    return false;
  CFHolder<CFURLRef> const executable(CFBundleCopyExecutableURL(bundle.get()));
  FSRef executableRef;
  if (!executable || !CFURLGetFSRef(executable.get(), &executableRef))
    return false;
  *out = SpecOf(executableRef);
  return true;
}

// An application of the creator in the folder that holds the running application.
bool ApplicationBeside(FSRef const& application, OSType creator, FSSpec* out) {
  FSRef parent;
  if (OSErr err =
          FSGetCatalogInfo(&application, kFSCatInfoNone, nullptr, nullptr, nullptr, &parent))
    UMAC_THROW_TOOLBOX(err);
  FSCatalogInfo parentInfo;
  if (OSErr err =
          FSGetCatalogInfo(&parent, kFSCatInfoValence, &parentInfo, nullptr, nullptr, nullptr))
    UMAC_THROW_TOOLBOX(err);
  iUMAC_FolderWalk walk(parent);
  iUMAC_Batch batch;
  UInt32 seen = 0;
  while (seen < parentInfo.valence &&
         walk.Next(kFSCatInfoNodeFlags | kFSCatInfoFinderInfo, false, batch)) {
    for (ItemCount k = 0; k < batch.count; ++k, ++seen) {
      FSCatalogInfo const& info = batch.infos[k];
      if (info.nodeFlags & kFolderNodeFlag) {
        if (BundleExecutable(batch.refs[k], creator, out))
          return true;
        continue;
      }
      FileInfo finder;
      std::memcpy(&finder, info.finderInfo, sizeof finder);
      if (finder.fileType == kApplicationType && finder.fileCreator == creator) {
        *out = SpecOf(batch.refs[k]);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

OSErr UMAC_FindApplicationWithSig(OSType creator, FSSpec* out) {
  FSVolumeRefNum ownVolume = 0;
  FSRef const application = RunningApplication(&ownVolume);
  if (ApplicationBeside(application, creator, out))
    return noErr;
  OSErr result = UMAC_FSpDTXGetAPPL(nullptr, ownVolume, creator, false, out);
  for (ItemCount index = 1; result != noErr; ++index) {
    FSVolumeRefNum volume = 0;
    OSErr const err = FSGetVolumeInfo(0, index, &volume, kFSVolInfoNone, nullptr, nullptr, nullptr);
    if (err == nsvErr)
      break;
    if (err != noErr)
      UMAC_THROW_TOOLBOX(err);
    if (volume != ownVolume)
      result = UMAC_FSpDTXGetAPPL(nullptr, volume, creator, false, out);
  }
  return result;
}

bool UMAC_LocateAppBundle(FSRef* out, OSType creator, CFStringRef clientName,
                          CFStringRef windowTitle, CFStringRef message) {
  NavObjectFilterUPP const filter = NewNavObjectFilterUPP(UMAC_ApplBndlNavObjectFilterProc);
  NavEventUPP const events = NewNavEventUPP(UMAC_NavEventCallBack);
  NavDialogCreationOptions options;
  if (OSStatus err = NavGetDefaultDialogCreationOptions(&options))
    UMAC_THROW_TOOLBOX(err);
  options.optionFlags = kNavSupportPackages | kNavDontAutoTranslate;
  options.clientName = clientName;
  options.windowTitle = windowTitle;
  options.message = message;
  UMAC_AutoNavDialogRef dialog;
  NavDialogRef created = nullptr;
  if (OSStatus err =
          NavCreateChooseFileDialog(&options, nullptr, events, nullptr, filter, &creator, &created))
    UMAC_THROW_TOOLBOX(err);
  dialog.Adopt(created);
  if (OSStatus err = NavDialogRun(dialog.Get()))
    UMAC_THROW_TOOLBOX(err);
  UMAC_AutoNavReplyRecord reply;
  NavReplyRecord filled;
  OSStatus const replyErr = NavDialogGetReply(dialog.Get(), &filled);
  if (replyErr == userCanceledErr)
    return false;
  if (replyErr != noErr)
    UMAC_THROW_TOOLBOX(replyErr);
  reply.Adopt(filled);
  if (!reply.Get().validRecord)
    return false;
  long count = 0;
  if (OSErr err = AECountItems(&reply.Get().selection, &count))
    UMAC_THROW_TOOLBOX(err);
  FSRef chosen;
  if (OSErr err = AEGetNthPtr(&reply.Get().selection, 1, typeFSRef, nullptr, nullptr, &chosen,
                              sizeof chosen, nullptr))
    UMAC_THROW_TOOLBOX(err);
  *out = chosen;
  return true;
}

Boolean UMAC_ApplBndlNavObjectFilterProc(AEDesc* theItem, void* info, void* userData,
                                         NavFilterModes filterMode) {
  auto const* wanted = static_cast<OSType const*>(userData);
  if (filterMode != kNavFilteringBrowserList || wanted == nullptr || info == nullptr)
    return true;
  AEDesc spec = {typeNull, nullptr};
  if (AECoerceDesc(theItem, typeFSS, &spec) != noErr)
    return true;
  AEDisposeDesc(&spec);
  auto const& item = *static_cast<NavFileOrFolderInfo const*>(info);
  if (!item.isFolder)
    return false;
  // Application bundles of another creator are hidden; other folders stay to be browsed.
  auto const& folder = item.fileAndFolder.folderInfo;
  return !(folder.folderType == kApplicationType && folder.folderCreator != *wanted);
}

void UMAC_NavEventCallBack(NavEventCallbackMessage, NavCBRecPtr, void*) {}

void UMAC_SelectItemInFinder(FSRef const& item) {
  FSRef parent;
  FSSpec const itemSpec = SpecOf(item, &parent);
  FSSpec const parentSpec = SpecOf(parent);
  AliasHandle created = nullptr;
  if (OSErr err = NewAlias(nullptr, &parentSpec, &created))
    UMAC_THROW_TOOLBOX(err);
  iUMAC_AliasHolder const alias(created);
  // The Finder opens the folder's window first, then selects the item in it.
  SendToFinder(kCoreEventClass, kOpenDocuments, alias.get());
  Boolean changed = false;
  if (OSErr err = UpdateAlias(nullptr, &itemSpec, alias.get(), &changed))
    UMAC_THROW_TOOLBOX(err);
  SendToFinder(kMiscEventClass, kSelect, alias.get());
}

bool UMAC_FSRefSortPred::operator()(FSRef const& a, FSRef const& b) const {
  HFSUniStr255 const nameA = NameOf(a);
  HFSUniStr255 const nameB = NameOf(b);
  CFHolder<CFStringRef> const textA(NewCFStringOfName(nameA));
  CFHolder<CFStringRef> const textB(NewCFStringOfName(nameB));
  if (!textA || !textB)
    UMAC_THROW_TOOLBOX(memFullErr);
  return CFStringCompare(textA.get(), textB.get(), 0) == kCFCompareLessThan;
}

bool UMAC_FSSpecSortPred::operator()(FSSpec const& a, FSSpec const& b) const {
  FSRef refA, refB;
  if (OSErr err = FSpMakeFSRef(&a, &refA))
    UMAC_THROW_TOOLBOX(err);
  if (OSErr err = FSpMakeFSRef(&b, &refB))
    UMAC_THROW_TOOLBOX(err);
  return UMAC_FSRefSortPred()(refA, refB);
}

bool UMAC_FileRef_StrictWeakComp::operator()(FSRef const& a, FSRef const& b) const {
  // One collator for the process, made at first use (a failed attempt is tried again).
  static CollatorRef const collator = [] {
    CollatorRef made = nullptr;
    UCCollateOptions const options =
        kUCCollateComposeInsensitiveMask | kUCCollateWidthInsensitiveMask |
        kUCCollateCaseInsensitiveMask | kUCCollatePunctuationSignificantMask |
        kUCCollateDigitsOverrideMask | kUCCollateDigitsAsNumberMask;
    if (OSStatus err = UCCreateCollator(nullptr, 0, options, &made))
      UMAC_THROW_TOOLBOX(err);
    return made;
  }();
  HFSUniStr255 const nameA = NameOf(a);
  HFSUniStr255 const nameB = NameOf(b);
  Boolean equivalent = false;
  SInt32 order = 0;
  if (OSStatus err = UCCompareText(collator, nameA.unicode, nameA.length, nameB.unicode,
                                   nameB.length, &equivalent, &order))
    UMAC_THROW_TOOLBOX(err);
  return order < 0;
}
