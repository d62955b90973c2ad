// Questions about application bundles: a bundle's icon, an application alias inside a bundle,
// the language the user prefers for this application and the running application's own icon.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreServices/Files.h>
#include <HIServices/Icons.h>

// The Finder icon of the bundle's folder; null when a step fails. The caller releases a
// non-null icon (ReleaseIconRef).
IconRef UMAC_GetBundleIcon(CFBundleRef bundle);

// Finds the first item directly inside the bundle's folder that is no folder and whose file type
// is 'adrp' (an application alias) and copies its reference into alias. False when there is
// none or the folder cannot be read; alias is then left as it was.
bool UMAC_GetClassicAliasForBundle(CFBundleRef bundle, FSRef& alias);

// The language code the user prefers for this application: the preferred one of the main
// bundle's localisations, else the first of the preference "AppleLanguages". "en" when there is
// none, or the code does not fit 15 Mac Roman characters.
GLIB_String UMAC_ClientLanguageCode();

// Registers the icon file that the running application's Info.plist names ("CFBundleIconFile")
// under the process's signature and the type 'AppI', and returns the icon (the caller releases
// it). Throws 1436015 "Macintosh Toolbox Error" with the system's error number when the process
// cannot be asked, the file cannot be reached or registered; 1436016 when Info.plist names no
// icon file ("Could not locate CFBundleIconFile key in Info.plist.") or the resources hold no
// such file ("The application icon for the bundled app could not be found.").
IconRef UMAC_GetAppBundleIcon();
