// The Navigation Services dialogs that choose preview files or a folder; the choice comes back
// to the window as a command. (Interim interface: records the requests.)
#pragma once

#include <HIToolbox/CarbonEvents.h>

class MKRX_NavServices {
public:
  static OSStatus ChooseFiles(EventTargetRef target, WindowRef window);
  static OSStatus ChooseFolder(EventTargetRef target, WindowRef window);

  MKRX_NavServices() = delete;
};
