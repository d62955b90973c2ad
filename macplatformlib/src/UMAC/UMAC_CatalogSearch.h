// Volume-level search of the Mac utility layer: the application of a creator code from a
// volume's desktop database (or, on volumes without one, its desktop file), and files by creator
// and type from the volume's catalog, with the File Manager's catalog search where the volume
// has it and otherwise a depth-first walk that can time out and be resumed. Results are File
// Manager codes; nothing throws. One search at a time: the walk keeps its levels in one stack
// for the process.
#pragma once

#include <CoreServices/Files.h>
#include <CoreServices/Timer.h>

#include <atomic>

// One level of the walk: a folder, its modification date when the walk entered it and the index
// of the next item to read in it.
struct UMAC_LevelRec {
  UInt32 dirModDate;
  SInt32 dirID;
  SInt16 index;
};
static_assert(sizeof(UMAC_LevelRec) == 12, "a level takes 12 bytes");
typedef UMAC_LevelRec* UMAC_LevelRecPtr;
typedef UMAC_LevelRecPtr* UMAC_LevelRecHandle;

// A Time Manager task that raises a flag when its time has run out. The flag is written by the
// task and read by the walk, so it is atomic.
struct UMAC_ExtendedTMTask {
  TMTask theTask;
  std::atomic<bool> stopSearch;
};

// The time-out task's routine: only raises the flag of the extended record.
void TimeOutTask(TMTaskPtr tmTaskPtr);

// Makes room in the stack for one level more than depth holds, growing it 240 bytes at a time;
// memFullErr when it cannot grow.
OSErr UMAC_CheckStack(unsigned short depth, UMAC_LevelRecHandle searchStack, Size* searchStackSize);

// A buffer of about size bytes (rounded down to whole KB, at least 1 KB), or, when that fails,
// of what memory is left less 32 KB; null when there is none. *actualSize is its size (0 then).
Ptr UMAC_GetTempBuffer(long size, long* actualSize);

// The name of the volume's desktop file (type 'FNDR', creator 'ERIK', in its root folder);
// afpItemNotFound when it has none.
OSErr UMAC_GetDesktopFileName(FSVolumeRefNum vRefNum, StringPtr desktopName);

// The volume's information by name (when given) and number; paramErr without a block.
OSErr UMAC_GetVolumeInfoNoName(ConstStr255Param pathname, FSVolumeRefNum vRefNum, HParmBlkPtr pb);

// Tests one item against the criteria and appends it to the matches when it passes. An item
// whose name fills the name buffer and so may have been cut is reported only when the name it
// came back with names it.
void UMAC_CheckForMatches(CInfoPBPtr cPB, CSParamPtr pb, ConstStr63Param matchName,
                          Boolean includeFiles, Boolean includeDirs);

// The depth-first walk from a folder, resumable through pb's position.
OSErr UMAC_IndexedSearch(CSParamPtr pb, SInt32 dirID);
// The catalog search where the volume offers it, else the walk from the root.
OSErr UMAC_PBCatSearchSyncCompat(CSParamPtr paramBlock);

// Opens the volume's desktop database; paramErr on a volume without a desktop manager.
OSErr UMAC_DTOpen(ConstStr255Param volName, FSVolumeRefNum vRefNum, SInt16* dtRefNum,
                  Boolean* newDTDatabase);

// Files of the creator and type (0: any) on the volume; a search that is not new goes on where
// the last one on that volume stopped.
OSErr UMAC_CreatorTypeFileSearch(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                                 OSType fileType, FSSpecPtr matches, SInt32 reqMatchCount,
                                 SInt32* actMatchCount, Boolean newSearch);

// The application of the creator on the volume: its volume, folder and name. afpItemNotFound when
// there is none (the catalog is searched only when searchCatalog is set). The results are
// written only when one is found.
OSErr UMAC_DTXGetAPPL(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                      Boolean searchCatalog, FSVolumeRefNum* applVRefNum, SInt32* applParID,
                      StringPtr applName);
OSErr UMAC_FSpDTXGetAPPL(ConstStr255Param volName, FSVolumeRefNum vRefNum, OSType creator,
                         Boolean searchCatalog, FSSpecPtr spec);
