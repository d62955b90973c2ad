// CFBundle of the stand-in: the main bundle and bundles made from folders, with their Info.plist,
// localisations, resources and localised strings.
//
// A bundle is a folder laid out like an application bundle:
//   <bundle>/Contents/Info.plist                         (an XML property list, a dictionary)
//   <bundle>/Contents/PkgInfo                            (type and signature, 8 bytes; optional)
//   <bundle>/Contents/MacOS/<CFBundleExecutable>
//   <bundle>/Contents/Resources/<language>.lproj/<table>.strings
//   <bundle>/Contents/Resources/<table>.strings          (texts that are not localised)
// A strings file holds entries "key" = "value"; with comments, in UTF-8 or in UTF-16 with a byte
// order mark.
//
// As on the Mac, the main bundle is the one the program's executable lies in: when it is first
// asked for, an executable at <bundle>/Contents/MacOS/<name> (the program's own path, from
// /proc/self/exe) makes <bundle> the main bundle; an executable anywhere else gives a main bundle
// without folder. Tests point the main bundle at a folder with StandIn_SetMainBundlePath and
// choose the user's language with StandIn_SetPreferredLanguage.
//
// A bundle reads its Info.plist and PkgInfo when it is made (for the main bundle: when its folder
// is set) and keeps the Info.plist as a CF dictionary until it goes (or the folder changes): a
// test that counts live CF objects points the main bundle at its folder before it counts.
// CFBundleCopyBundleURL, CFBundleCopyBundleLocalizations,
// CFBundleCopyPreferredLocalizationsFromArray, CFBundleCopyResourceURL, CFBundleCreate and
// CFBundleCopyExecutableURL join the per-call failure injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

// The stand-in's bundle object: the bundle's folder, its Info.plist and the strings tables read
// from it.
class StandIn_CFBundle : public StandIn_CFObject {
public:
  // A bundle without a folder; CFBundleCreate points it at one.
  StandIn_CFBundle();
  ~StandIn_CFBundle() override;

  class Resources;
  Resources& GetResources() const { return *m_Resources; }

private:
  Resources* m_Resources;
};
typedef StandIn_CFBundle* CFBundleRef;

CFTypeID CFBundleGetTypeID();

// The process's main bundle; never null, owned by the system (the caller does not release it).
CFBundleRef CFBundleGetMainBundle();

// The text for key from the table (null: "Localizable") of the bundle's localisation for the
// user's language. A key the table lacks gives value, or the key itself when value is null or
// empty. The caller releases the result.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName);

// The bundle's folder; null for a main bundle without one. The caller releases it.
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);

// A new bundle for an existing folder (its Info.plist read at once), null when the URL names no
// folder. Each call makes a new object; the caller releases it.
CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);

// The bundle's Info.plist value for key, owned by the bundle (not retained); null when the
// bundle has no Info.plist or it lacks the key. A malformed Info.plist counts as none.
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);
// "CFBundleIdentifier" when it is a string, else null; owned by the bundle.
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
// Type and signature (either pointer may be null): "CFBundlePackageType" and "CFBundleSignature"
// of Info.plist when they are four characters, else the bytes of Contents/PkgInfo (as read with
// the Info.plist), else '????'.
void CFBundleGetPackageInfo(CFBundleRef bundle, UInt32* packageType, UInt32* packageCreator);
// Contents/MacOS/<CFBundleExecutable>; null when the key is missing or no such file exists. The
// caller releases it.
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);

// The names of the <name>.lproj folders in Contents/Resources, sorted; an empty array when there
// are none. The caller releases it.
CFArrayRef CFBundleCopyBundleLocalizations(CFBundleRef bundle);
// Of the given localisations, the one the user prefers, as an array of one (empty for an empty
// array, null for null). The user's languages are the preference "AppleLanguages" of the current
// application (an array of strings; the global one stands behind it), else the language of
// StandIn_SetPreferredLanguage; the first of them that the array holds (compared exactly) wins,
// else the array's first entry. The caller releases the result.
CFArrayRef CFBundleCopyPreferredLocalizationsFromArray(CFArrayRef locArray);

// The existing file or folder <resourceName>[.<resourceType>] in Contents/Resources[/subDirName],
// else in the chosen localisation's folder (as the strings tables are found); null when there is
// none. Type and folder may be null. The caller releases the result.
CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName);

#define CFCopyLocalizedString(key, comment)                                                        \
  CFBundleCopyLocalizedString(CFBundleGetMainBundle(), (key), (key), nullptr)

// Test hooks.
// Points the main bundle at a folder (null: a bundle with no resources and no Info.plist) and
// reads its Info.plist. Tables and the Info.plist read before are forgotten, so a test may
// rewrite the files and point the bundle at them again.
void StandIn_SetMainBundlePath(const char* path);
// What start-up does for an executable at that path: points the main bundle at the bundle the
// executable lies in and answers true, else leaves it without folder and answers false.
bool StandIn_FindMainBundleFrom(const char* executablePath);
// The language whose .lproj folder is searched first (default "en"); then "en", "English" and
// "Base" are tried, in this order. Tables read before are forgotten.
void StandIn_SetPreferredLanguage(const char* language);
// Number of strings files the main bundle has read since the last change of path or language.
long StandIn_CFBundleTablesRead();
