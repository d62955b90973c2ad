// Platform detection from Gestalt: Mac OS X or not, Classic or not, and the system version.
// Each source that includes this header holds one detector, made during its static
// initialisation, so the facts are read once per process before anything asks for them.
#pragma once

#include <MacTypes.h>

class UMAC_PlatformDetector {
public:
  // Reads the facts when nothing has read them yet.
  UMAC_PlatformDetector();

  // Reads them (again): a failed 'bbox' query counts as not Classic, a failed 'sysv' query as
  // not Mac OS X.
  static void Initialize();
  static bool IsOsX() { return sm_IsOsX; }
  static bool IsClassic() { return sm_IsClassic; }
  // Gestalt 'sysv' asked on every call (0x1040 for 10.4.0); 0 when Gestalt fails. Callers
  // compare it as a signed 16-bit number.
  static SInt32 SystemVersion();

private:
  static bool sm_Initialized;
  static bool sm_IsClassic;
  static bool sm_IsOsX;
};

static UMAC_PlatformDetector UMAC_PlatformDetectorInstance;
