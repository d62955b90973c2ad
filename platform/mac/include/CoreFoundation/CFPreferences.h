// CFPreferences of the stand-in: application preferences only. Each application's values live in
// "<identifier>.plist" in the Preferences folder (FSFindFolder with kPreferencesFolderType, which
// tests point elsewhere with StandIn_SetFolder), the values of any application in
// ".GlobalPreferences.plist" beside them; an application's lookup falls back to the global ones
// (so "AppleLanguages" set for any application reaches every application).
//
// Each domain is read from its file on first use and kept in memory as plain values, so that no
// CF object outlives a call. Set values wait in memory until CFPreferencesAppSynchronize writes
// them; that call also reads the file again. A file that is missing, too big or malformed holds
// no values. CFPreferencesCopyAppValue and CFPreferencesAppSynchronize join the per-call failure
// injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFPropertyList.h>
#include <CoreFoundation/CFString.h>

extern const CFStringRef kCFPreferencesCurrentApplication;
extern const CFStringRef kCFPreferencesAnyApplication;

// A new immutable copy of the value (the caller releases it); null when no domain has the key.
CFPropertyListRef CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID);
// Null value removes the key. A value that is no property list is not stored.
void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID);
// Writes the domain's waiting changes and reads the file again; false when the folder or the
// file cannot be written (the changes then keep waiting).
Boolean CFPreferencesAppSynchronize(CFStringRef applicationID);

// Test hooks.
// The identifier kCFPreferencesCurrentApplication stands for. Null (as at start) lets it follow
// the main bundle's "CFBundleIdentifier", or "com.standin.application" when it has none.
void StandIn_CFPreferencesSetCurrentApplication(const char* identifier);
// Forgets every domain read and every change not yet written, so a test may rewrite the files.
void StandIn_CFPreferencesForget();
