// The Windows program's entry: everything happens in the start-up class, which tests reach too.
#include "WKRX/WKRX_Startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return WKRX_Startup::ProgramMain(instance);
}
