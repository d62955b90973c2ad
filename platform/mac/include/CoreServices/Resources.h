// Resource Manager of the Mac stand-in: resource forks exist only as tests fill them
// (StandIn_ResourcesSet), keyed by the file's POSIX path; the file itself must exist. Resources
// are always loaded, whatever SetResLoad says; their handles belong to the open file and go
// with CloseResFile (or ReleaseResource).
#pragma once
#include <CoreServices/Files.h>
#include <MacTypes.h>

#include <vector>

typedef FourCharCode ResType;
typedef SInt16 ResID;
typedef SInt16 ResFileRefNum;

constexpr OSErr resNotFound = -192;
constexpr OSErr resFNotFound = -193;
constexpr OSErr mapReadErr = -199;

// The file's fork by volume, folder and name; -1 (ResError resFNotFound or fnfErr) without one.
ResFileRefNum HOpenResFile(FSVolumeRefNum vRefNum, SInt32 dirID, ConstStr255Param fileName,
                           SInt8 permission);
void CloseResFile(ResFileRefNum refNum);
// The file searched first; 0 (the system's) when none is open.
ResFileRefNum CurResFile(void);
void UseResFile(ResFileRefNum refNum);
void SetResLoad(Boolean load);
// Only the current file is searched; null (ResError resNotFound) when it lacks the resource.
Handle Get1Resource(ResType theType, ResID theID);
void ReleaseResource(Handle theResource);
OSErr ResError(void);

// Test hooks: a resource of the file at a POSIX path; forgetting every fork (open ones stay
// open); forks open at the moment.
void StandIn_ResourcesSet(const char* path, ResType type, ResID id,
                          const std::vector<UInt8>& bytes);
void StandIn_ResourcesReset();
long StandIn_ResourcesOpenCount();
