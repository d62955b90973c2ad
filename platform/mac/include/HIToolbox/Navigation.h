// Navigation Services of the Mac stand-in: the choose-file, get-file and choose-folder dialogs,
// application-modal or as sheets on a window, with their event and filter callbacks, replies and
// the start location. No dialog is shown: the script answers each one from a queue of answers of
// its own (chosen items, or a cancel), and the items it browses past are offered to the filter.
//
// With a user at a display (StandIn_UserAtDisplay in HIToolbox/StandInInput.h), a dialog that no
// scripted answer waits for shows as a window instead: the items of a folder (where the dialog was
// told to start, else the home folder) one a row, those the filter hides greyed; a click selects,
// a double click opens a folder or chooses, "Up" goes to the enclosing folder, the action button
// (Return) chooses and "Cancel" (Escape) cancels. Its answer is taken as a scripted one.
//
// A dialog runs as the Mac runs it. NavDialogRun sends kNavCBStart to the event callback; an
// application-modal dialog then takes the next answer at once, a sheet returns and takes it when
// the event loop delivers its turn (StandIn_RunUntilIdle in tests). The answer is offered to the
// filter (browser-list mode), becomes the user action (open, choose or cancel) and the reply,
// and the callback hears kNavCBUserAction and then kNavCBTerminate, after which the dialog may be
// disposed of (also by the callback itself). With no answer scripted the user cancels.
//
// An answer the dialog cannot give (an item that does not exist, a folder for a file dialog, a
// file for the folder dialog, several items where one is allowed, an item the filter hides) is a
// fault of the test: it is reported (StandIn_NavSetFaultReporter; by default written to the error
// stream before an abort) and the dialog is cancelled.
//
// The callbacks run under a guard: a C++ exception that leaves one is written to the error stream,
// counted (StandIn_NavCallbackExceptionCount) and goes no further; the item it was filtering is
// shown.
#pragma once
#include <AE/AEDataModel.h>
#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>
#include <HIToolbox/MacWindows.h>
#include <MacTypes.h>

#include <string>
#include <vector>

struct __NavDialog;
typedef __NavDialog* NavDialogRef;

struct NavReplyRecord {
  UInt16 version;
  Boolean validRecord;
  Boolean replacing;
  Boolean isStationery;
  Boolean translationNeeded;
  AEDescList selection;
  SInt16 keyScript;
  CFStringRef saveFileName;  // owned by the reply; may be null
  Boolean saveFileExtensionHidden;
};

typedef UInt32 NavDialogOptionFlags;
enum : NavDialogOptionFlags {
  kNavDontAutoTranslate = 0x0002,
  kNavAllowMultipleFiles = 0x0080,
  kNavSupportPackages = 0x1000
};

struct NavDialogCreationOptions {
  UInt16 version;
  NavDialogOptionFlags optionFlags;
  Point location;
  CFStringRef clientName;
  CFStringRef windowTitle;
  CFStringRef actionButtonLabel;
  CFStringRef cancelButtonLabel;
  CFStringRef saveFileName;
  CFStringRef message;
  UInt32 preferenceKey;
  CFArrayRef popupExtension;
  WindowModality modality;
  WindowRef parentWindow;
};

typedef SInt16 NavFilterModes;
enum : NavFilterModes {
  kNavFilteringBrowserList = 0,
  kNavFilteringFavorites = 1,
  kNavFilteringRecents = 2,
  kNavFilteringShortCutVolumes = 3,
  kNavFilteringLocationPopup = 4
};

// What a filter learns of an item besides its descriptor.
struct NavFileOrFolderInfo {
  UInt16 version;
  Boolean isFolder;
  Boolean visible;
  UInt32 creationDate;
  UInt32 modificationDate;
  union {
    struct {
      Boolean locked;
      Boolean resourceOpen;
      Boolean dataOpen;
      Boolean reserved1;
      UInt32 dataSize;
      UInt32 resourceSize;
      FInfo finderInfo;
      FXInfo finderXInfo;
    } fileInfo;
    struct {
      Boolean shareable;
      Boolean sharePoint;
      Boolean mounted;
      Boolean readable;
      Boolean writeable;
      Boolean reserved2;
      UInt32 numberOfFiles;
      DInfo finderDInfo;
      DXInfo finderDXInfo;
      OSType folderType;
      OSType folderCreator;
    } folderInfo;
  } fileAndFolder;
};

typedef void* NavCallBackUserData;
typedef SInt32 NavEventCallbackMessage;
enum : NavEventCallbackMessage {
  kNavCBEvent = 0,
  kNavCBStart = 2,
  kNavCBTerminate = 3,
  kNavCBUserAction = 12
};

typedef UInt32 NavUserAction;
enum : NavUserAction {
  kNavUserActionNone = 0,
  kNavUserActionCancel = 1,
  kNavUserActionOpen = 2,
  kNavUserActionChoose = 4
};

// What the event callback is told: the dialog and, for a sheet, its parent window.
struct NavCBRec {
  UInt16 version;
  NavDialogRef context;
  WindowRef window;
  Rect customRect;
  Rect previewRect;
  NavUserAction userAction;
};
typedef NavCBRec* NavCBRecPtr;
typedef Boolean (*NavObjectFilterProcPtr)(AEDesc* theItem, void* info,
                                          NavCallBackUserData callBackUD,
                                          NavFilterModes filterMode);
typedef NavObjectFilterProcPtr NavObjectFilterUPP;
typedef void (*NavEventProcPtr)(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms,
                                NavCallBackUserData callBackUD);
typedef NavEventProcPtr NavEventUPP;
typedef void* NavPreviewUPP;
typedef void* NavTypeListHandle;
inline NavObjectFilterUPP NewNavObjectFilterUPP(NavObjectFilterProcPtr proc) {
  return proc;
}
inline void DisposeNavObjectFilterUPP(NavObjectFilterUPP) {}
inline NavEventUPP NewNavEventUPP(NavEventProcPtr proc) {
  return proc;
}
inline void DisposeNavEventUPP(NavEventUPP) {}

// Version 0, flags kNavDontAutoTranslate | 0x0004 (allow stationery), no texts, application-
// modal without a parent window.
OSStatus NavGetDefaultDialogCreationOptions(NavDialogCreationOptions* outOptions);
// The options' texts are kept by the dialog; the type list is ignored. A window-modal dialog
// needs a parent window (paramErr without one).
OSStatus NavCreateChooseFileDialog(const NavDialogCreationOptions* inOptions,
                                   NavTypeListHandle inTypeList, NavEventUPP inEventProc,
                                   NavPreviewUPP inPreviewProc, NavObjectFilterUPP inFilterProc,
                                   void* inClientData, NavDialogRef* outDialog);
// Chooses one or more files (several with kNavAllowMultipleFiles); the user action is Open.
OSStatus NavCreateGetFileDialog(const NavDialogCreationOptions* inOptions,
                                NavTypeListHandle inTypeList, NavEventUPP inEventProc,
                                NavPreviewUPP inPreviewProc, NavObjectFilterUPP inFilterProc,
                                void* inClientData, NavDialogRef* outDialog);
// Chooses one folder; the user action is Choose.
OSStatus NavCreateChooseFolderDialog(const NavDialogCreationOptions* inOptions,
                                     NavEventUPP inEventProc, NavObjectFilterUPP inFilterProc,
                                     void* inClientData, NavDialogRef* outDialog);
// Runs the dialog (see above); a dialog runs once (paramErr after).
OSStatus NavDialogRun(NavDialogRef inDialog);
// The user action once the user has acted, else kNavUserActionNone.
NavUserAction NavDialogGetUserAction(NavDialogRef inDialog);
// A valid reply whose selection holds the chosen items' FSRefs in order; userCanceledErr after a
// cancel or before the user has acted.
OSStatus NavDialogGetReply(NavDialogRef inDialog, NavReplyRecord* outReply);
// The sheet's parent window for a window-modal dialog, else null.
WindowRef NavDialogGetWindow(NavDialogRef inDialog);

// Custom control: the folder the dialog shows. kNavCtlSetLocation takes an AEDesc* holding an
// FSRef (or anything that coerces to one) of a folder; kNavCtlGetLocation fills an AEDesc* with a
// new typeFSRef descriptor. Other selectors answer paramErr.
typedef SInt32 NavCustomControlMessage;
enum : NavCustomControlMessage {
  kNavCtlGetLocation = 7,
  kNavCtlSetLocation = 8
};
OSStatus NavCustomControl(NavDialogRef inDialog, NavCustomControlMessage inSelector, void* ioParms);

// Frees the dialog (null is ignored).
void NavDialogDispose(NavDialogRef inDialog);
// Disposes the reply's selection and releases its file name; the record is left zeroed.
OSStatus NavDisposeReply(NavReplyRecord* inReply);

// Failure injection by the calls' names (see CoreServices/StandInCalls.h).
// Test hooks: a new dialog, and the dialogs alive (a leak check).
NavDialogRef StandIn_NavNewDialog();
long StandIn_NavLiveDialogCount();

// One scripted answer: the items the user browses past (offered to the filter first), then the
// items chosen, by POSIX path; cancel: the user cancels.
struct StandIn_NavAnswer {
  std::vector<std::string> browsed;
  std::vector<std::string> chosen;
  bool cancel = false;
};
void StandIn_NavScriptAnswer(const StandIn_NavAnswer& answer);
void StandIn_NavScriptCancel();
// The same by FSRefs: chosen null means a cancel.
void StandIn_NavScriptChoice(const std::vector<FSRef>& browsed, const FSRef* chosen);
long StandIn_NavScriptedAnswerCount();
// Forgets the answers not taken, the last dialog's record and the exception count.
void StandIn_NavReset();
// Reports a fault of the test's script; null restores the default (error stream, then abort).
void StandIn_NavSetFaultReporter(void (*report)(const char* why));
// Exceptions caught at the callbacks' guard since the last reset.
long StandIn_NavCallbackExceptionCount();

// What the filter answered for each offered item of the last run, and what that dialog was made
// with and where it opened (texts "" when none; location: the POSIX path set by
// kNavCtlSetLocation, "" when none).
std::vector<bool> StandIn_NavFilterAnswers();
enum class StandIn_NavKind {
  ChooseFile,
  GetFile,
  ChooseFolder
};
struct StandIn_NavDialogTexts {
  NavDialogOptionFlags flags = 0;
  std::string clientName, windowTitle, message, actionButtonLabel;
  StandIn_NavKind kind = StandIn_NavKind::ChooseFile;
  WindowModality modality = kWindowModalityAppModal;
  WindowRef parentWindow = nullptr;
  std::string location;
};
StandIn_NavDialogTexts StandIn_NavLastDialogTexts();
