// Navigation Services of the Mac stand-in: the reply record and the disposal of dialogs and
// replies. No dialog is shown: tests make a dialog with StandIn_NavNewDialog and fill a reply
// themselves (its selection is an AEDescList of the chosen items).
#pragma once
#include <AE/AEDataModel.h>
#include <CoreFoundation/CFString.h>
#include <MacTypes.h>

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

// Frees the dialog (null is ignored).
void NavDialogDispose(NavDialogRef inDialog);
// Disposes the reply's selection and releases its file name; the record is left zeroed.
OSStatus NavDisposeReply(NavReplyRecord* inReply);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hooks: a new dialog, and the dialogs alive (a leak check).
NavDialogRef StandIn_NavNewDialog();
long StandIn_NavLiveDialogCount();
