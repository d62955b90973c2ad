#include "MKRX/MKRX_NavServices.h"

#include "MKRX/iMKRX_PlaceholderLog.h"

OSStatus MKRX_NavServices::ChooseFiles(EventTargetRef, WindowRef) {
  iMKRX_PlaceholderLog::Record("MKRX_NavServices::ChooseFiles");
  return noErr;
}

OSStatus MKRX_NavServices::ChooseFolder(EventTargetRef, WindowRef) {
  iMKRX_PlaceholderLog::Record("MKRX_NavServices::ChooseFolder");
  return noErr;
}
