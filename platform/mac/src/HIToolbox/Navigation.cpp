// Navigation Services of the Mac stand-in (see HIToolbox/Navigation.h).
#include <HIToolbox/Navigation.h>

#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/StandInInput.h>

#include "iStandInNavWindow.h"

#include "../CoreFoundation/iStandInCFText.h"
#include "../Files/iStandInFiles.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFURL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

struct __NavDialog {
  StandIn_NavDialogTexts texts;
  NavEventUPP events = nullptr;
  NavObjectFilterUPP filter = nullptr;
  void* clientData = nullptr;
  bool ran = false;
  NavUserAction action = kNavUserActionNone;
  std::vector<FSRef> chosen;
  std::optional<FSRef> location;
  // A sheet waiting for its turn in the event loop.
  EventHandlerRef sheetTurn = nullptr;
};

namespace {

// The private event that gives a sheet its turn; 'ndlg' holds the dialog.
constexpr UInt32 kEventClassStandInNav = 0x534e6176;  // 'SNav'
constexpr UInt32 kEventStandInNavSheetTurn = 1;
constexpr EventParamName kParamDialog = 0x6e646c67;  // 'ndlg'

std::atomic<long> g_liveDialogs{0};
std::atomic<long> g_callbackExceptions{0};

struct NavScript {
  std::mutex mutex;
  std::deque<StandIn_NavAnswer> answers;
  std::vector<bool> filterAnswers;
  StandIn_NavDialogTexts lastTexts;
  void (*reportFault)(const char*) = nullptr;
};

NavScript& Script() {
  static auto* script = new NavScript;
  return *script;
}

void ReportFault(const std::string& why) {
  void (*report)(const char*) = nullptr;
  {
    std::lock_guard<std::mutex> lock(Script().mutex);
    report = Script().reportFault;
  }
  if (report != nullptr) {
    report(why.c_str());
    return;
  }
  std::fprintf(stderr, "Navigation Services stand-in: %s\n", why.c_str());
  std::abort();
}

// Runs a client callback; an exception stops here (the Mac would crash), is logged and counted.
template <class Call>
bool Guarded(const char* which, Call call) {
  try {
    call();
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Navigation Services stand-in: the %s callback threw: %s\n", which,
                 e.what());
  } catch (...) {
    std::fprintf(stderr, "Navigation Services stand-in: the %s callback threw\n", which);
  }
  ++g_callbackExceptions;
  return false;
}

std::string PathOf(const FSRef& ref) {
  std::string path;
  return standin_files::PathOfRef(&ref, &path) == noErr ? path : std::string();
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

// Whether the dialog's filter shows the item (no filter: every item).
bool FilterShows(NavDialogRef dialog, const FSRef& ref) {
  if (dialog->filter == nullptr)
    return true;
  AEDesc item;
  AECreateDesc(typeFSRef, &ref, sizeof ref, &item);
  NavFileOrFolderInfo info = InfoOf(ref);
  bool shown = true;
  Guarded("filter", [&] {
    shown = dialog->filter(&item, &info, dialog->clientData, kNavFilteringBrowserList) != 0;
  });
  AEDisposeDesc(&item);
  return shown;
}

void SendEvent(NavDialogRef dialog, NavEventCallbackMessage message) {
  if (dialog->events == nullptr)
    return;
  NavCBRec record{};
  record.context = dialog;
  record.window = dialog->texts.parentWindow;
  record.userAction = dialog->action;
  NavEventUPP const events = dialog->events;
  void* const clientData = dialog->clientData;
  Guarded("event", [&] { events(message, &record, clientData); });
}

std::optional<FSRef> RefOfPath(const std::string& path) {
  FSRef ref;
  if (standin_files::MakeRefFromPath(path, &ref) != noErr)
    return std::nullopt;
  return ref;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const char* KindName(StandIn_NavKind kind) {
  switch (kind) {
    case StandIn_NavKind::ChooseFile:
      return "choose-file";
    case StandIn_NavKind::GetFile:
      return "get-file";
    case StandIn_NavKind::ChooseFolder:
      return "choose-folder";
  }
  return "";
}

// Why the dialog cannot give this choice; empty when it can.
std::string WhyNotChosen(NavDialogRef dialog, const std::vector<std::string>& chosen) {
  const StandIn_NavKind kind = dialog->texts.kind;
  const std::string dialogName = std::string("the ") + KindName(kind) + " dialog";
  if (chosen.empty())
    return dialogName + " was answered with no item (script a cancel instead)";
  const bool several =
      kind == StandIn_NavKind::GetFile && (dialog->texts.flags & kNavAllowMultipleFiles) != 0;
  if (chosen.size() > 1 && !several)
    return dialogName + " chooses one item, not " + std::to_string(chosen.size());
  for (const std::string& path : chosen) {
    const std::optional<FSRef> ref = RefOfPath(path);
    if (!ref)
      return dialogName + " cannot choose " + path + ": it does not exist";
    const bool folder = IsFolder(path);
    if (kind == StandIn_NavKind::ChooseFolder && !folder)
      return dialogName + " cannot choose the file " + path;
    if (kind != StandIn_NavKind::ChooseFolder && folder &&
        (dialog->texts.flags & kNavSupportPackages) == 0)
      return dialogName + " cannot choose the folder " + path;
  }
  return std::string();
}

// Offers the answer's items to the filter, checks the choice and settles the user action.
void TakeAnswer(NavDialogRef dialog, const std::optional<StandIn_NavAnswer>& answer) {
  dialog->action = kNavUserActionCancel;
  dialog->chosen.clear();
  std::vector<bool> filterAnswers;
  std::vector<std::string> offered;
  if (answer) {
    offered = answer->browsed;
    for (const std::string& path : answer->chosen) {
      if (std::find(offered.begin(), offered.end(), path) == offered.end())
        offered.push_back(path);
    }
  }
  for (const std::string& path : offered) {
    const std::optional<FSRef> ref = RefOfPath(path);
    filterAnswers.push_back(ref && FilterShows(dialog, *ref));
  }
  {
    std::lock_guard<std::mutex> lock(Script().mutex);
    Script().filterAnswers = filterAnswers;
  }
  if (!answer || answer->cancel)
    return;
  std::string why = WhyNotChosen(dialog, answer->chosen);
  for (std::size_t i = 0; why.empty() && i < offered.size(); ++i) {
    const bool isChosen =
        std::find(answer->chosen.begin(), answer->chosen.end(), offered[i]) != answer->chosen.end();
    if (isChosen && !filterAnswers[i])
      why = std::string("the ") + KindName(dialog->texts.kind) + " dialog's filter hides " +
            offered[i] + ", which cannot be chosen";
  }
  if (!why.empty()) {
    ReportFault(why);
    return;
  }
  for (const std::string& path : answer->chosen)
    dialog->chosen.push_back(*RefOfPath(path));
  dialog->action = dialog->texts.kind == StandIn_NavKind::ChooseFolder ? kNavUserActionChoose
                                                                       : kNavUserActionOpen;
}

std::optional<StandIn_NavAnswer> NextAnswer() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  if (Script().answers.empty())
    return std::nullopt;
  StandIn_NavAnswer answer = Script().answers.front();
  Script().answers.pop_front();
  return answer;
}

// The user acts; the callback hears the action and the end. The dialog may be gone afterwards.
// With a user at the display and no scripted answer, the user answers in a window of the
// dialog's own, which starts where the dialog was told to or in the home folder.
void Conclude(NavDialogRef dialog) {
  std::optional<StandIn_NavAnswer> answer = NextAnswer();
  if (!answer && StandIn_UserAtDisplay()) {
    const char* home = std::getenv("HOME");
    const std::string start = !dialog->texts.location.empty() ? dialog->texts.location
                              : home && *home                 ? std::string(home)
                                                              : std::string("/");
    answer = standin_tb::RunNavWindow(dialog->texts, start, [dialog](const std::string& path) {
      const std::optional<FSRef> ref = RefOfPath(path);
      return ref && FilterShows(dialog, *ref);
    });
  }
  TakeAnswer(dialog, answer);
  SendEvent(dialog, kNavCBUserAction);
  SendEvent(dialog, kNavCBTerminate);
}

void EndSheetTurn(NavDialogRef dialog) {
  if (dialog->sheetTurn != nullptr) {
    RemoveEventHandler(dialog->sheetTurn);
    dialog->sheetTurn = nullptr;
  }
}

OSStatus SheetTurn(EventHandlerCallRef, EventRef event, void* userData) {
  NavDialogRef dialog = nullptr;
  if (GetEventParameter(event, kParamDialog, typeVoidPtr, nullptr, sizeof dialog, nullptr,
                        &dialog) != noErr ||
      dialog != userData)
    return eventNotHandledErr;
  EndSheetTurn(dialog);
  Conclude(dialog);
  return noErr;
}

// The sheet takes its answer when the event loop comes to it.
OSStatus QueueSheetTurn(NavDialogRef dialog) {
  static const EventTypeSpec kTurn = {kEventClassStandInNav, kEventStandInNavSheetTurn};
  if (OSStatus err = InstallEventHandler(GetApplicationEventTarget(), SheetTurn, 1, &kTurn, dialog,
                                         &dialog->sheetTurn))
    return err;
  EventRef event = nullptr;
  OSStatus err = CreateEvent(nullptr, kEventClassStandInNav, kEventStandInNavSheetTurn,
                             GetCurrentEventTime(), kEventAttributeNone, &event);
  if (err == noErr)
    err = SetEventParameter(event, kParamDialog, typeVoidPtr, sizeof dialog, &dialog);
  if (err == noErr)
    err = PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
  if (event != nullptr)
    ReleaseEvent(event);
  if (err != noErr)
    EndSheetTurn(dialog);
  return err;
}

OSStatus CreateDialog(const char* function, StandIn_NavKind kind,
                      const NavDialogCreationOptions* inOptions, NavEventUPP inEventProc,
                      NavObjectFilterUPP inFilterProc, void* inClientData,
                      NavDialogRef* outDialog) {
  if (outDialog)
    *outDialog = nullptr;
  if (OSErr err = standin_files::EnterCall(function))
    return err;
  if (outDialog == nullptr)
    return paramErr;
  auto dialog = std::make_unique<__NavDialog>();
  dialog->texts.kind = kind;
  if (inOptions) {
    dialog->texts.flags = inOptions->optionFlags;
    dialog->texts.clientName = standin_cf::Utf8Of(inOptions->clientName);
    dialog->texts.windowTitle = standin_cf::Utf8Of(inOptions->windowTitle);
    dialog->texts.message = standin_cf::Utf8Of(inOptions->message);
    dialog->texts.actionButtonLabel = standin_cf::Utf8Of(inOptions->actionButtonLabel);
    dialog->texts.modality = inOptions->modality;
    if (inOptions->modality == kWindowModalityWindowModal) {
      if (inOptions->parentWindow == nullptr)
        return paramErr;
      dialog->texts.parentWindow = inOptions->parentWindow;
    }
  }
  dialog->events = inEventProc;
  dialog->filter = inFilterProc;
  dialog->clientData = inClientData;
  ++g_liveDialogs;
  *outDialog = dialog.release();
  return noErr;
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
  outOptions->modality = kWindowModalityAppModal;
  return noErr;
}

OSStatus NavCreateChooseFileDialog(const NavDialogCreationOptions* inOptions, NavTypeListHandle,
                                   NavEventUPP inEventProc, NavPreviewUPP,
                                   NavObjectFilterUPP inFilterProc, void* inClientData,
                                   NavDialogRef* outDialog) {
  return CreateDialog("NavCreateChooseFileDialog", StandIn_NavKind::ChooseFile, inOptions,
                      inEventProc, inFilterProc, inClientData, outDialog);
}

OSStatus NavCreateGetFileDialog(const NavDialogCreationOptions* inOptions, NavTypeListHandle,
                                NavEventUPP inEventProc, NavPreviewUPP,
                                NavObjectFilterUPP inFilterProc, void* inClientData,
                                NavDialogRef* outDialog) {
  return CreateDialog("NavCreateGetFileDialog", StandIn_NavKind::GetFile, inOptions, inEventProc,
                      inFilterProc, inClientData, outDialog);
}

OSStatus NavCreateChooseFolderDialog(const NavDialogCreationOptions* inOptions,
                                     NavEventUPP inEventProc, NavObjectFilterUPP inFilterProc,
                                     void* inClientData, NavDialogRef* outDialog) {
  return CreateDialog("NavCreateChooseFolderDialog", StandIn_NavKind::ChooseFolder, inOptions,
                      inEventProc, inFilterProc, inClientData, outDialog);
}

OSStatus NavDialogRun(NavDialogRef inDialog) {
  if (OSErr err = standin_files::EnterCall("NavDialogRun"))
    return err;
  if (inDialog == nullptr || inDialog->ran)
    return paramErr;
  inDialog->ran = true;
  {
    std::lock_guard<std::mutex> lock(Script().mutex);
    Script().lastTexts = inDialog->texts;
    Script().filterAnswers.clear();
  }
  SendEvent(inDialog, kNavCBStart);
  if (inDialog->texts.modality == kWindowModalityWindowModal)
    return QueueSheetTurn(inDialog);
  Conclude(inDialog);
  return noErr;
}

NavUserAction NavDialogGetUserAction(NavDialogRef inDialog) {
  return inDialog ? inDialog->action : kNavUserActionNone;
}

OSStatus NavDialogGetReply(NavDialogRef inDialog, NavReplyRecord* outReply) {
  if (OSErr err = standin_files::EnterCall("NavDialogGetReply"))
    return err;
  if (inDialog == nullptr || outReply == nullptr)
    return paramErr;
  if (inDialog->chosen.empty())
    return userCanceledErr;
  std::memset(outReply, 0, sizeof *outReply);
  if (OSErr err = AECreateList(nullptr, 0, false, &outReply->selection))
    return err;
  for (const FSRef& ref : inDialog->chosen) {
    if (OSErr err = AEPutPtr(&outReply->selection, 0, typeFSRef, &ref, sizeof ref)) {
      AEDisposeDesc(&outReply->selection);
      return err;
    }
  }
  outReply->validRecord = true;
  return noErr;
}

WindowRef NavDialogGetWindow(NavDialogRef inDialog) {
  return inDialog ? inDialog->texts.parentWindow : nullptr;
}

OSStatus NavCustomControl(NavDialogRef inDialog, NavCustomControlMessage inSelector,
                          void* ioParms) {
  if (OSErr err = standin_files::EnterCall("NavCustomControl"))
    return err;
  if (inDialog == nullptr || ioParms == nullptr)
    return paramErr;
  auto* desc = static_cast<AEDesc*>(ioParms);
  if (inSelector == kNavCtlGetLocation) {
    if (!inDialog->location)
      return paramErr;
    return AECreateDesc(typeFSRef, &*inDialog->location, sizeof(FSRef), desc);
  }
  if (inSelector != kNavCtlSetLocation)
    return paramErr;
  // The descriptor's FSRef, read through a one-item list (which coerces as AEGetNthPtr does).
  AEDescList list;
  FSRef folder;
  OSErr err = AECreateList(nullptr, 0, false, &list);
  if (err == noErr)
    err = AEPutDesc(&list, 0, desc);
  if (err == noErr)
    err = AEGetNthPtr(&list, 1, typeFSRef, nullptr, nullptr, &folder, sizeof folder, nullptr);
  AEDisposeDesc(&list);
  if (err != noErr)
    return err;
  const std::string path = PathOf(folder);
  if (path.empty() || !IsFolder(path))
    return fnfErr;
  inDialog->location = folder;
  inDialog->texts.location = path;
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().lastTexts.location = path;
  return noErr;
}

void StandIn_NavScriptAnswer(const StandIn_NavAnswer& answer) {
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().answers.push_back(answer);
}

void StandIn_NavScriptCancel() {
  StandIn_NavAnswer answer;
  answer.cancel = true;
  StandIn_NavScriptAnswer(answer);
}

void StandIn_NavScriptChoice(const std::vector<FSRef>& browsed, const FSRef* chosen) {
  StandIn_NavAnswer answer;
  for (const FSRef& ref : browsed)
    answer.browsed.push_back(PathOf(ref));
  if (chosen)
    answer.chosen.push_back(PathOf(*chosen));
  answer.cancel = chosen == nullptr;
  StandIn_NavScriptAnswer(answer);
}

long StandIn_NavScriptedAnswerCount() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  return static_cast<long>(Script().answers.size());
}

void StandIn_NavReset() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().answers.clear();
  Script().filterAnswers.clear();
  Script().lastTexts = StandIn_NavDialogTexts();
  g_callbackExceptions = 0;
}

void StandIn_NavSetFaultReporter(void (*report)(const char* why)) {
  std::lock_guard<std::mutex> lock(Script().mutex);
  Script().reportFault = report;
}

long StandIn_NavCallbackExceptionCount() {
  return g_callbackExceptions.load();
}

std::vector<bool> StandIn_NavFilterAnswers() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  return Script().filterAnswers;
}

StandIn_NavDialogTexts StandIn_NavLastDialogTexts() {
  std::lock_guard<std::mutex> lock(Script().mutex);
  return Script().lastTexts;
}

void NavDialogDispose(NavDialogRef inDialog) {
  standin_files::EnterCall("NavDialogDispose");
  if (inDialog) {
    EndSheetTurn(inDialog);
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
