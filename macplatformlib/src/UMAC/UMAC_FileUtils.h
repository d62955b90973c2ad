// File utilities of the Mac platform layer: between POSIX paths and Carbon file references.
#pragma once

#include <CoreServices/Files.h>

#include <string>

// Fills ref with the item at the narrow POSIX path (system encoding). Returns noErr, or fnfErr
// when no URL can be made of the path or no item exists there (ref is then left as it was).
// Throws nothing.
OSStatus UMAC_PathToFSRef(std::string const& path, FSRef& ref);
