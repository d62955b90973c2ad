#include "UMAC/UMAC_PlatformDetector.h"

#include <CoreServices/Gestalt.h>

// Constant-initialised, so they hold before any source's detector is made.
bool UMAC_PlatformDetector::sm_Initialized = false;
bool UMAC_PlatformDetector::sm_IsClassic = false;
bool UMAC_PlatformDetector::sm_IsOsX = false;

UMAC_PlatformDetector::UMAC_PlatformDetector() {
  if (!sm_Initialized)
    Initialize();
}

void UMAC_PlatformDetector::Initialize() {
  SInt32 response = 0;
  sm_IsClassic = Gestalt(gestaltMacOSCompatibilityBoxAttr, &response) == noErr && (response & 1);
  response = 0;
  sm_IsOsX = Gestalt(gestaltSystemVersion, &response) == noErr && response > 0x0FFF;
  sm_Initialized = true;
}

SInt32 UMAC_PlatformDetector::SystemVersion() {
  SInt32 response = 0;
  return Gestalt(gestaltSystemVersion, &response) == noErr ? response : 0;
}
