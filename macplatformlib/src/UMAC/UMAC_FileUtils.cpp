#include "UMAC/UMAC_FileUtils.h"

#include "UMAC/UMAC_Exception.h"

#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

#include <algorithm>
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
