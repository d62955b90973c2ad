// Navigation Services of the Mac stand-in: the reply record and the disposal of dialogs and
// replies. No dialog is shown: tests make a dialog with StandIn_NavNewDialog and fill a reply
// themselves (its selection is an AEDescList of the chosen items).
#pragma once
#include <AE/AEDataModel.h>
#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>
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
struct NavCBRec;
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

// Version 0, flags kNavDontAutoTranslate | 0x0004 (allow stationery), no texts.
OSStatus NavGetDefaultDialogCreationOptions(NavDialogCreationOptions* outOptions);
// No dialog is shown: NavDialogRun plays the next scripted choice (StandIn_NavScriptChoice).
// The options' texts are retained by the dialog; the type list is ignored.
OSStatus NavCreateChooseFileDialog(const NavDialogCreationOptions* inOptions,
                                   NavTypeListHandle inTypeList, NavEventUPP inEventProc,
                                   NavPreviewUPP inPreviewProc, NavObjectFilterUPP inFilterProc,
                                   void* inClientData, NavDialogRef* outDialog);
// Offers each scripted item to the filter (browser-list mode; the answers are recorded), then
// takes the scripted choice. With no choice scripted the user cancels.
OSStatus NavDialogRun(NavDialogRef inDialog);
// A valid reply whose selection holds the chosen item's FSRef; userCanceledErr after a cancel.
OSStatus NavDialogGetReply(NavDialogRef inDialog, NavReplyRecord* outReply);

// Frees the dialog (null is ignored).
void NavDialogDispose(NavDialogRef inDialog);
// Disposes the reply's selection and releases its file name; the record is left zeroed.
OSStatus NavDisposeReply(NavReplyRecord* inReply);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hooks: a new dialog, and the dialogs alive (a leak check).
NavDialogRef StandIn_NavNewDialog();
long StandIn_NavLiveDialogCount();
// The next choose dialog: the items the user browses past (shown to the filter) and the item
// chosen (null: the user cancels).
void StandIn_NavScriptChoice(const std::vector<FSRef>& browsed, const FSRef* chosen);
// What the filter answered for each browsed item of the last run, and the options' flags,
// client name, title and message that dialog was made with (texts "" when none).
std::vector<bool> StandIn_NavFilterAnswers();
struct StandIn_NavDialogTexts {
  NavDialogOptionFlags flags = 0;
  std::string clientName, windowTitle, message;
};
StandIn_NavDialogTexts StandIn_NavLastDialogTexts();
