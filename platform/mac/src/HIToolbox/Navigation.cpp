// Navigation Services of the Mac stand-in (see HIToolbox/Navigation.h).
#include <HIToolbox/Navigation.h>

#include "../Files/iStandInFiles.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFURL.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct __NavDialog {
  StandIn_NavDialogTexts texts;
  NavObjectFilterUPP filter = nullptr;
  void* clientData = nullptr;
  std::optional<FSRef> chosen;
  bool ran = false;
};

namespace {
std::atomic<long> g_liveDialogs{0};

struct NavScript {
  std::mutex mutex;
  std::vector<FSRef> browsed;
  std::optional<FSRef> chosen;
  std::vector<bool> answers;
  StandIn_NavDialogTexts lastTexts;
};

NavScript& Script() {
  static auto* script = new NavScript;
  return *script;
}

std::string TextOf(CFStringRef text) {
  if (text == nullptr)
    return std::string();
  std::vector<char> buffer(static_cast<std::size_t>(CFStringGetLength(text)) * 4 + 1);
  if (!CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()),
                          kCFStringEncodingUTF8))
    return std::string();
  return buffer.data();
}

// A bundle folder's package type and creator; zeros for a plain folder.
void PackageInfoOf(const FSRef& ref, OSType* type, OSType* creator) {
  constexpr OSType kUnknown = 0x3F3F3F3F;  // '????'
  *type = *creator = 0;
  CFURLRef const url = CFURLCreateFromFSRef(kCFAllocatorDefault, &ref);
  if (url == nullptr)
    return;
  if (CFBundleRef const bundle = CFBundleCreate(kCFAllocatorDefault, url)) {
    CFBundleGetPackageInfo(bundle, type, creator);
    CFRelease(bundle);
  }
  CFRelease(url);
  if (*type == kUnknown)
    *type = 0;
  if (*creator == kUnknown)
    *creator = 0;
}

NavFileOrFolderInfo InfoOf(const FSRef& ref) {
  NavFileOrFolderInfo info{};
  FSCatalogInfo catalog{};
  FSGetCatalogInfo(&ref, kFSCatInfoNodeFlags | kFSCatInfoFinderInfo, &catalog, nullptr, nullptr,
                   nullptr);
  info.isFolder = (catalog.nodeFlags & kFSNodeIsDirectoryMask) != 0;
  info.visible = true;
  if (info.isFolder) {
    std::memcpy(&info.fileAndFolder.folderInfo.finderDInfo, catalog.finderInfo, 16);
    PackageInfoOf(ref, &info.fileAndFolder.folderInfo.folderType,
                  &info.fileAndFolder.folderInfo.folderCreator);
  } else {
    std::memcpy(&info.fileAndFolder.fileInfo.finderInfo, catalog.finderInfo, 16);
  }
  return info;
}

}  // namespace

OSStatus NavGetDefaultDialogCreationOptions(NavDialogCreationOptions* outOptions) {
  if (OSErr err = standin_files::EnterCall("NavGetDefaultDialogCreationOptions"))
    return err;
  if (outOptions == nullptr)
    return paramErr;
  std::memset(outOptions, 0, sizeof *outOptions);
  outOptions->optionFlags = kNavDontAutoTranslate | 0x0004;
  outOptions->location = Point{-1, -1};
  return noErr;
}

OSStatus NavCreateChooseFileDialog(const NavDialogCreationOptions* inOptions, NavTypeListHandle,
                                   NavEventUPP, NavPreviewUPP, NavObjectFilterUPP inFilterProc,
                                   void* inClientData, NavDialogRef* outDialog) {
  if (outDialog)
    *outDialog = nullptr;
  if (OSErr err = standin_files::EnterCall("NavCreateChooseFileDialog"))
    return err;
  if (outDialog == nullptr)
    return paramErr;
  auto dialog = std::make_unique<__NavDialog>();
  if (inOptions) {
    dialog->texts.flags = inOptions->optionFlags;
    dialog->texts.clientName = TextOf(inOptions->clientName);
    dialog->texts.windowTitle = TextOf(inOptions->windowTitle);
    dialog->texts.message = TextOf(inOptions->message);
  }
  dialog->filter = inFilterProc;
  dialog->clientData = inClientData;
  ++g_liveDialogs;
  *outDialog = dialog.release();
  return noErr;
}

OSStatus NavDialogRun(NavDialogRef inDialog) {
  if (OSErr err = standin_files::EnterCall("NavDialogRun"))
    return err;
  if (inDialog == nullptr)
    return paramErr;
  std::vector<FSRef> browsed;
  {
    NavScript& script = Script();
    std::lock_guard<std::mutex> lock(script.mutex);
    browsed.swap(script.browsed);
    inDialog->chosen = script.chosen;
    script.chosen.reset();
    script.answers.clear();
    script.lastTexts = inDialog->texts;
  }
  std::vector<bool> answers;
  for (const FSRef& ref : browsed) {
    bool shown = true;
    if (inDialog->filter) {
      AEDesc item;
      AECreateDesc(typeFSRef, &ref, sizeof ref, &item);
      NavFileOrFolderInfo info = InfoOf(ref);
      shown = inDialog->filter(&item, &info, inDialog->clientData, kNavFilteringBrowserList);
      AEDisposeDesc(&item);
    }
    answers.push_back(shown);
  }
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().answers = answers;
  inDialog->ran = true;
  return noErr;
}

OSStatus NavDialogGetReply(NavDialogRef inDialog, NavReplyRecord* outReply) {
  if (OSErr err = standin_files::EnterCall("NavDialogGetReply"))
    return err;
  if (inDialog == nullptr || outReply == nullptr)
    return paramErr;
  if (!inDialog->ran || !inDialog->chosen)
    return userCanceledErr;
  std::memset(outReply, 0, sizeof *outReply);
  if (OSErr err = AECreateList(nullptr, 0, false, &outReply->selection))
    return err;
  AEPutPtr(&outReply->selection, 0, typeFSRef, &*inDialog->chosen, sizeof(FSRef));
  outReply->validRecord = true;
  return noErr;
}

void StandIn_NavScriptChoice(const std::vector<FSRef>& browsed, const FSRef* chosen) {
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().browsed = browsed;
  Script().chosen = chosen ? std::optional<FSRef>(*chosen) : std::nullopt;
}

std::vector<bool> StandIn_NavFilterAnswers() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  return Script().answers;
}

StandIn_NavDialogTexts StandIn_NavLastDialogTexts() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  return Script().lastTexts;
}

void NavDialogDispose(NavDialogRef inDialog) {
  standin_files::EnterCall("NavDialogDispose");
  if (inDialog) {
    delete inDialog;
    --g_liveDialogs;
  }
}

OSStatus NavDisposeReply(NavReplyRecord* inReply) {
  if (OSErr err = standin_files::EnterCall("NavDisposeReply"))
    return err;
  if (inReply == nullptr)
    return paramErr;
  AEDisposeDesc(&inReply->selection);
  if (inReply->saveFileName)
    CFRelease(inReply->saveFileName);
  std::memset(inReply, 0, sizeof *inReply);
  return noErr;
}

NavDialogRef StandIn_NavNewDialog() {
  ++g_liveDialogs;
  return new __NavDialog;
}

long StandIn_NavLiveDialogCount() {
  return g_liveDialogs.load();
}
