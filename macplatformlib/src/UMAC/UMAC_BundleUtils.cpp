#include "UMAC/UMAC_BundleUtils.h"

#include "UMAC/UMAC_CFType.h"
#include "UMAC/UMAC_Exception.h"

#include <CoreFoundation/CFPreferences.h>
#include <CoreFoundation/CFURL.h>
#include <HIServices/Processes.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr OSType kApplicationAliasType = 0x61647270;  // 'adrp'
constexpr OSType kApplicationIconType = 0x41707049;   // 'AppI'
// A folder may hold very many items: read it in batches of at most this many.
constexpr ItemCount kMaxBatch = 256;

CFURLRef AsURL(UMAC_CFType const& url) {
  return static_cast<CFURLRef>(url.Get());
}

// fnfErr when the URL is null or names no existing item.
OSErr RefOfURL(CFURLRef url, FSRef& ref) {
  return url != nullptr && CFURLGetFSRef(url, &ref) ? OSErr{noErr} : OSErr{fnfErr};
}

OSErr SpecOfURL(CFURLRef url, FSSpec& spec) {
  FSRef ref;
  if (OSErr err = RefOfURL(url, ref))
    return err;
  return FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
}

struct IteratorCloser {
  void operator()(OpaqueFSIterator* iterator) const { FSCloseIterator(iterator); }
};
using ScopedIterator = std::unique_ptr<OpaqueFSIterator, IteratorCloser>;

bool IsApplicationAlias(FSCatalogInfo const& info) {
  FileInfo finder;
  std::memcpy(&finder, info.finderInfo, sizeof finder);
  return (info.nodeFlags & kFSNodeIsDirectoryMask) == 0 && finder.fileType == kApplicationAliasType;
}

// The first application alias among the folder's first count items.
bool FindApplicationAlias(FSRef const& folder, ItemCount count, FSRef& alias) {
  FSIterator opened = nullptr;
  if (FSOpenIterator(&folder, kFSIterateFlat, &opened) != noErr)
    return false;
  ScopedIterator const iterator(opened);
  ItemCount const room = std::min(count, kMaxBatch);
  std::vector<FSRef> refs(room);
  std::vector<FSCatalogInfo> infos(room);
  for (ItemCount read = 0; read < count;) {
    ItemCount actual = 0;
    OSErr const err = FSGetCatalogInfoBulk(iterator.get(), std::min(room, count - read), &actual,
                                           nullptr, kFSCatInfoNodeFlags | kFSCatInfoFinderInfo,
                                           infos.data(), refs.data(), nullptr, nullptr);
    // The items handed over count whatever the result: the last batch may come with
    // errFSNoMoreItems.
    actual = std::min(actual, room);
    for (ItemCount i = 0; i < actual; ++i) {
      if (IsApplicationAlias(infos[i])) {
        alias = refs[i];
        return true;
      }
    }
    if (err != noErr || actual == 0)
      break;
    read += actual;
  }
  return false;
}

}  // namespace

IconRef UMAC_GetBundleIcon(CFBundleRef bundle) {
  UMAC_CFType const url(CFBundleCopyBundleURL(bundle), kUMAC_CFOwned);
  FSSpec spec;
  if (SpecOfURL(AsURL(url), spec) != noErr)
    return nullptr;
  IconRef icon = nullptr;
  if (GetIconRefFromFile(&spec, &icon, nullptr) != noErr)
    return nullptr;
  return icon;
}

bool UMAC_GetClassicAliasForBundle(CFBundleRef bundle, FSRef& alias) {
  UMAC_CFType const url(CFBundleCopyBundleURL(bundle), kUMAC_CFOwned);
  FSRef folder;
  if (RefOfURL(AsURL(url), folder) != noErr)
    return false;
  FSCatalogInfo info;
  if (FSGetCatalogInfo(&folder, kFSCatInfoValence, &info, nullptr, nullptr, nullptr) != noErr)
    return false;
  return FindApplicationAlias(folder, info.valence, alias);
}

GLIB_String UMAC_ClientLanguageCode() {
  GLIB_String const fallback = "en";
  CFBundleRef const bundle = CFBundleGetMainBundle();
  if (bundle == nullptr)
    return fallback;
  UMAC_CFType const localizations(CFBundleCopyBundleLocalizations(bundle), kUMAC_CFOwned);
  bool const localized = localizations.IsArray() && CFArrayGetCount(localizations.AsArray()) > 0;
  UMAC_CFType const candidates(
      localized
          ? CFBundleCopyPreferredLocalizationsFromArray(localizations.AsArray())
          : CFPreferencesCopyAppValue(CFSTR("AppleLanguages"), kCFPreferencesCurrentApplication),
      kUMAC_CFOwned);
  if (!candidates.IsArray() || CFArrayGetCount(candidates.AsArray()) == 0)
    return fallback;
  UMAC_CFType const first(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(candidates.AsArray(), 0)),
                          kUMAC_CFNotOwned);
  if (!first.IsString())
    return fallback;
  char code[16];
  if (!CFStringGetCString(static_cast<CFStringRef>(first.Get()), code, sizeof code,
                          kCFStringEncodingMacRoman))
    return fallback;
  return code;
}

IconRef UMAC_GetAppBundleIcon() {
  ProcessSerialNumber process;
  if (OSErr err = GetCurrentProcess(&process))
    UMAC_THROW_TOOLBOX(err);
  ProcessInfoRec info = {};
  info.processInfoLength = sizeof info;
  if (OSErr err = GetProcessInformation(&process, &info))
    UMAC_THROW_TOOLBOX(err);
  CFBundleRef const bundle = CFBundleGetMainBundle();
  UMAC_CFType const iconFile(
      CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleIconFile")), kUMAC_CFNotOwned);
  if (!iconFile.IsString())
    UMAC_THROW(UMAC_ERR_BUNDLE_RESOURCE, "Could not locate CFBundleIconFile key in Info.plist.");
  UMAC_CFType const url(
      CFBundleCopyResourceURL(bundle, static_cast<CFStringRef>(iconFile.Get()), nullptr, nullptr),
      kUMAC_CFOwned);
  if (url.IsNull())
    UMAC_THROW(UMAC_ERR_BUNDLE_RESOURCE,
               "The application icon for the bundled app could not be found.");
  FSSpec spec;
  if (OSErr err = SpecOfURL(AsURL(url), spec))
    UMAC_THROW_TOOLBOX(err);
  IconRef icon = nullptr;
  if (OSErr err =
          RegisterIconRefFromIconFile(info.processSignature, kApplicationIconType, &spec, &icon))
    UMAC_THROW_TOOLBOX(err);
  return icon;
}
