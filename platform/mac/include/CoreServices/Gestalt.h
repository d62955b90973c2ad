// Gestalt of the Mac stand-in: answers the selectors that tests set, by default 'sysv' (0x1049,
// Mac OS X 10.4.9) and 'bbox' (0: not in the Classic environment); any other selector fails
// with gestaltUndefSelectorErr. Usable during static initialisation.
#pragma once
#include <MacTypes.h>

constexpr OSErr gestaltUndefSelectorErr = -5551;

enum : OSType {
  gestaltSystemVersion = 0x73797376,             // 'sysv': binary-coded decimal 0xMMmb
  gestaltMacOSCompatibilityBoxAttr = 0x62626f78  // 'bbox': bit 0 set inside Classic
};

// *response receives the selector's value; on an error it is left as it was.
// Failure injection by name "Gestalt" (see StandIn_FilesFailNext in CoreServices/Files.h).
OSErr Gestalt(OSType selector, SInt32* response);

// Test hooks.
// The selector answers value from now on.
void StandIn_SetGestaltValue(OSType selector, SInt32 value);
// The selector fails with err from now on.
void StandIn_SetGestaltError(OSType selector, OSErr err);
// Back to the defaults above, and the counts to 0.
void StandIn_ResetGestalt();
// How often Gestalt was asked for the selector since the last reset.
int StandIn_GestaltCallCount(OSType selector);
