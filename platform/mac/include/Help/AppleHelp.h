// Apple Help of the Mac stand-in: a bundle registers its help book; nothing is shown.
#pragma once
#include <CoreServices/Files.h>
#include <MacTypes.h>

#include <string>
#include <vector>

// Registers the help book of the bundle at appBundleRef: noErr for an existing folder, fnfErr
// otherwise; registering a bundle again changes nothing.
OSStatus AHRegisterHelpBook(const FSRef* appBundleRef);

// Test hooks: the bundles registered (POSIX paths, in order), and forgetting them.
std::vector<std::string> StandIn_RegisteredHelpBooks();
void StandIn_HelpReset();
