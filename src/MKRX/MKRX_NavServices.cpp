#include "MKRX/MKRX_NavServices.h"

#include "GFIL/GFIL_FileSpec.h"
#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "UMAC/UMAC_AutoNavReplyRecord.h"
#include "UMAC/UMAC_CFType.h"
#include "UMAC/UMAC_FileUtils.h"
#include "USTR/USTR_LocalizedString.h"

#include <PPx/SysCarbonEvent.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>
#include <string>
#include <vector>

NavEventUPP MKRX_NavServices::sm_EventHandler = nullptr;
bool MKRX_NavServices::sm_EventHandlerCreated = false;
NavObjectFilterUPP MKRX_NavServices::sm_FileFilter = nullptr;
bool MKRX_NavServices::sm_FileFilterCreated = false;
FSRef MKRX_NavServices::sm_PreviousLocation = {};
bool MKRX_NavServices::sm_PreviousLocationValid = false;

namespace {

constexpr OSType kPreviewFileType = 0x54494646;  // 'TIFF'
constexpr OSType kProgramCreator = 0x4e6c7432;   // 'Nlt2'

// A localised text the holder releases.
class LocalizedText {
public:
  explicit LocalizedText(const char* key)
      : m_Text(iUSTR_GetLocalizedCFString(CFSTR(key)), kUMAC_CFOwned) {}
  CFStringRef Get() const { return static_cast<CFStringRef>(m_Text.Get()); }

private:
  UMAC_CFType m_Text;
};

// What one kind of dialog says.
struct DialogTexts {
  const char* title;
  const char* message;
  const char* actionButton;  // null: the system's
};

bool EndsWith(std::string const& text, std::string const& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool HasPreviewExtension(FSRef const& ref) {
  const std::string extension = Lowered(UMAC_GetFileExtension(ref));
  return extension == "krx" || extension == "prv" || extension == "tif";
}

bool HasPreviewName(FSSpec const& spec) {
  const std::string name(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  for (const char* ending : {".KRX", ".krx", ".PRV", ".prv", ".TIF", ".tif"})
    if (EndsWith(name, ending))
      return true;
  return false;
}

// Reads a descriptor's data as a record of exactly its size.
template <class Record>
bool ReadDescriptor(AEDesc const& item, Record& record) {
  return AEGetDescDataSize(&item) == static_cast<Size>(sizeof record) &&
         AEGetDescData(&item, &record, sizeof record) == noErr;
}

// Sends the command with the data in 'usrd'; noErr when a receiver handled it.
template <class Data>
OSStatus SendCommand(EventTargetRef target, UInt32 command, Data const& data) {
  PPx::SysCarbonEvent event;
  event.MakeEvent(kEventClassCommand, kEventCommandProcess);
  HICommand hiCommand = {};
  hiCommand.commandID = command;
  event.SetParameter(kEventParamDirectObject, typeHICommand, hiCommand);
  event.SetParameter(kEventParamUserData, typeVoidPtr, data);
  return event.Send(target);
}

OSStatus RunDialog(bool files, EventTargetRef target, WindowRef window, NavEventUPP events,
                   NavObjectFilterUPP filter) {
  NavDialogCreationOptions options;
  if (OSStatus status = NavGetDefaultDialogCreationOptions(&options))
    return status;
  const DialogTexts texts =
      files ? DialogTexts{"CKRX_AddPreviewFiles", "CKRX_ChooseFilesMessage", "CKRX_Add"}
            : DialogTexts{"CKRX_ChooseFolderTitle", "CKRX_ChooseFolderMessage", nullptr};
  const LocalizedText clientName("CKRX_ClientName");
  const LocalizedText title(texts.title);
  const LocalizedText message(texts.message);
  const std::unique_ptr<LocalizedText> actionButton(
      texts.actionButton ? new LocalizedText(texts.actionButton) : nullptr);
  options.clientName = clientName.Get();
  options.windowTitle = title.Get();
  options.message = message.Get();
  options.actionButtonLabel = actionButton ? actionButton->Get() : nullptr;
  if (files)
    options.optionFlags |= kNavAllowMultipleFiles;
  if (window != nullptr) {
    options.modality = kWindowModalityWindowModal;
    options.parentWindow = window;
  } else {
    options.modality = kWindowModalityAppModal;
    options.parentWindow = nullptr;
  }

  NavDialogRef dialog = nullptr;
  const OSStatus created =
      files ? NavCreateGetFileDialog(&options, nullptr, events, nullptr, filter, target, &dialog)
            : NavCreateChooseFolderDialog(&options, events, nullptr, target, &dialog);
  if (created != noErr)
    return created;
  // Once running, the dialog disposes of itself when it ends (an application-modal one already
  // has); one that did not start is still ours.
  const OSStatus status = NavDialogRun(dialog);
  if (status != noErr)
    NavDialogDispose(dialog);
  return status;
}

}  // namespace

NavEventUPP MKRX_NavServices::EventHandlerUPP() {
  if (!sm_EventHandlerCreated) {
    sm_EventHandler = NewNavEventUPP(EventHandler);
    sm_EventHandlerCreated = true;
  }
  return sm_EventHandler;
}

NavObjectFilterUPP MKRX_NavServices::FileFilterUPP() {
  if (!sm_FileFilterCreated) {
    sm_FileFilter = NewNavObjectFilterUPP(PreviewFileFilter);
    sm_FileFilterCreated = true;
  }
  return sm_FileFilter;
}

OSStatus MKRX_NavServices::ChooseFiles(EventTargetRef target, WindowRef window) {
  return RunDialog(true, target, window, EventHandlerUPP(), FileFilterUPP());
}

OSStatus MKRX_NavServices::ChooseFolder(EventTargetRef target, WindowRef window) {
  return RunDialog(false, target, window, EventHandlerUPP(), nullptr);
}

void MKRX_NavServices::EventHandler(NavEventCallbackMessage selector, NavCBRecPtr parameters,
                                    NavCallBackUserData clientData) {
  if (parameters == nullptr)
    return;
  NavDialogRef const dialog = parameters->context;
  // Nothing may unwind into Navigation Services; a choice that cannot be delivered is dropped.
  try {
    switch (selector) {
      case kNavCBStart:
        if (sm_PreviousLocationValid) {
          AEDesc location = {typeNull, nullptr};
          if (AECreateDesc(typeFSRef, &sm_PreviousLocation, sizeof sm_PreviousLocation,
                           &location) == noErr) {
            NavCustomControl(dialog, kNavCtlSetLocation, &location);
            AEDisposeDesc(&location);
          }
        }
        break;
      case kNavCBUserAction:
        DeliverChoice(dialog, parameters->userAction, static_cast<EventTargetRef>(clientData));
        break;
      case kNavCBTerminate:
        NavDialogDispose(dialog);
        break;
      default:
        break;
    }
  } catch (...) {
  }
}

void MKRX_NavServices::DeliverChoice(NavDialogRef dialog, NavUserAction action,
                                     EventTargetRef target) {
  if (action != kNavUserActionOpen && action != kNavUserActionChoose)
    return;
  UMAC_AutoNavReplyRecord reply;
  NavReplyRecord filled;
  if (NavDialogGetReply(dialog, &filled) != noErr)
    return;
  reply.Adopt(filled);
  if (!reply.Get().validRecord)
    return;
  const std::vector<FSRef> items = UMAC_FilesFromNavReply(reply.Get());
  if (items.empty())
    return;

  if (action == kNavUserActionChoose) {
    RememberLocation(items.front());
    SendCommand(target, kFolderChosenCommand, items.front());
    return;
  }
  auto files = std::make_unique<GFIL_FileSpecVector>();
  files->reserve(items.size());
  for (FSRef const& item : items)
    files->push_back(GFIL_FileSpecMacOS(item));
  FSRef folder;
  if (FSGetCatalogInfo(&items.front(), kFSCatInfoNone, nullptr, nullptr, nullptr, &folder) == noErr)
    RememberLocation(folder);
  // A receiver that handled the command owns the list; unhandled, it is still ours.
  GFIL_FileSpecVector* const list = files.get();
  if (SendCommand(target, kFilesChosenCommand, list) == noErr)
    files.release();
}

void MKRX_NavServices::RememberLocation(FSRef const& folder) {
  sm_PreviousLocation = folder;
  sm_PreviousLocationValid = true;
}

Boolean MKRX_NavServices::PreviewFileFilter(AEDesc* item, void* info, NavCallBackUserData,
                                            NavFilterModes filterMode) {
  if (filterMode != kNavFilteringBrowserList)
    return true;
  const auto* about = static_cast<const NavFileOrFolderInfo*>(info);
  if (about != nullptr) {
    if (about->isFolder)
      return true;
    FInfo const& finder = about->fileAndFolder.fileInfo.finderInfo;
    if (finder.fdType == kPreviewFileType && finder.fdCreator == kProgramCreator)
      return true;
  }
  if (item == nullptr)
    return false;
  try {
    switch (item->descriptorType) {
      case typeFSRef: {
        FSRef ref;
        return ReadDescriptor(*item, ref) && HasPreviewExtension(ref);
      }
      case typeFSS: {
        FSSpec spec;
        return ReadDescriptor(*item, spec) && HasPreviewName(spec);
      }
      default:
        return true;
    }
  } catch (...) {
    return false;
  }
}
