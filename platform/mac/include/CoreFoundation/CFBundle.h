// CFBundle of the stand-in: the main bundle and its localised strings.
//
// The main bundle is a folder laid out like an application bundle:
//   <bundle>/Contents/Resources/<language>.lproj/<table>.strings
//   <bundle>/Contents/Resources/<table>.strings          (texts that are not localised)
// A strings file holds entries "key" = "value"; with comments, in UTF-8 or in UTF-16 with a byte
// order mark. Tests and the program point the main bundle at a folder with
// StandIn_SetMainBundlePath and choose the user's language with StandIn_SetPreferredLanguage.
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>

// The stand-in's bundle object: the bundle's folder and the strings tables read from it.
class StandIn_CFBundle : public StandIn_CFObject {
public:
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

#define CFCopyLocalizedString(key, comment)                                                        \
  CFBundleCopyLocalizedString(CFBundleGetMainBundle(), (key), (key), nullptr)

// Test hooks.
// Points the main bundle at a folder (null: a bundle with no resources). Tables read before are
// forgotten, so a test may rewrite the files and point the bundle at them again.
void StandIn_SetMainBundlePath(const char* path);
// The language whose .lproj folder is searched first (default "en"); then "en", "English" and
// "Base" are tried, in this order. Tables read before are forgotten.
void StandIn_SetPreferredLanguage(const char* language);
// Number of strings files the main bundle has read since the last change of path or language.
long StandIn_CFBundleTablesRead();
