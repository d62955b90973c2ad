// Alias Manager of the Mac stand-in: an alias record holds the absolute POSIX path of its
// target, so it resolves while an item exists at that path.
#pragma once
#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <MacTypes.h>

struct AliasRecord {
  OSType userType;
  UInt16 aliasSize;  // bytes of the whole record
  // followed by the target's path (UTF-8, no terminator)
};
typedef AliasRecord* AliasPtr;
typedef AliasPtr* AliasHandle;

typedef UInt32 FSAliasInfoBitmap;
enum : FSAliasInfoBitmap {
  kFSAliasInfoNone = 0
};
struct FSAliasInfo {
  UInt32 reserved;
};

// fromFile is accepted and ignored (no relative aliases in the stand-in).
OSErr FSNewAlias(const FSRef* fromFile, const FSRef* target, AliasHandle* inAlias);
OSErr FSNewAliasMinimal(const FSRef* target, AliasHandle* inAlias);
// The same for an existing item named by an FSSpec (fromFile ignored too); UpdateAlias points an
// alias at another item in place.
OSErr NewAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle* alias);
OSErr UpdateAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle alias,
                  Boolean* wasChanged);
// fnfErr when nothing exists at the alias's path.
OSErr FSResolveAlias(const FSRef* fromFile, AliasHandle alias, FSRef* target, Boolean* wasChanged);
// The target's name, the volume's name and the path (retained for the caller), each when asked.
OSStatus FSCopyAliasInfo(AliasHandle inAlias, HFSUniStr255* targetName, HFSUniStr255* volumeName,
                         CFStringRef* pathString, FSAliasInfoBitmap* whichInfo, FSAliasInfo* info);

// Test hook: an alias of a POSIX path whose item need not exist; null without memory.
AliasHandle StandIn_NewAliasForPath(const char* path);
