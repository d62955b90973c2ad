// The Navigation Services dialogs that choose preview files or a folder. The choice reaches the
// given event target later, as a command: 'Fils' with a new GFIL_FileSpecVector* in the parameter
// 'usrd' (type 'void'), which the receiver takes over and deletes, or 'Fldr' with the folder's
// FSRef itself in that parameter. A cancel sends nothing. The next dialog opens in the folder of
// the last choice. Main thread only.
#pragma once

#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Navigation.h>

class MKRX_NavServices {
public:
  MKRX_NavServices() = delete;

  static constexpr UInt32 kFilesChosenCommand = 0x46696c73;   // 'Fils'
  static constexpr UInt32 kFolderChosenCommand = 0x466c6472;  // 'Fldr'

  // Opens the dialog as a sheet on the window, or application-modal without one. The status of
  // making and starting it.
  static OSStatus ChooseFiles(EventTargetRef target, WindowRef window);
  static OSStatus ChooseFolder(EventTargetRef target, WindowRef window);

  // The dialogs' callbacks; clientData is the target. Nothing is thrown out of them.
  static void EventHandler(NavEventCallbackMessage selector, NavCBRecPtr parameters,
                           NavCallBackUserData clientData);
  // True to show the item: folders, files of type 'TIFF' and creator 'Nlt2', and files whose
  // names end as preview files' do (given as FSRef: ".krx", ".prv" or ".tif" in any letter case;
  // as FSSpec: exactly ".KRX", ".krx", ".PRV", ".prv", ".TIF" or ".tif"). Items of other
  // descriptor types are shown, items whose data cannot be read hidden. Outside the browser list
  // everything is shown.
  static Boolean PreviewFileFilter(AEDesc* item, void* info, NavCallBackUserData clientData,
                                   NavFilterModes filterMode);

private:
  static NavEventUPP sm_EventHandler;
  static bool sm_EventHandlerCreated;
  static NavObjectFilterUPP sm_FileFilter;
  static bool sm_FileFilterCreated;
  static FSRef sm_PreviousLocation;
  static bool sm_PreviousLocationValid;

  static NavEventUPP EventHandlerUPP();
  static NavObjectFilterUPP FileFilterUPP();
  static void DeliverChoice(NavDialogRef dialog, NavUserAction action, EventTargetRef target);
  static void RememberLocation(FSRef const& folder);
};
