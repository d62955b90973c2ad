// Memory Manager of the Mac stand-in: pointer blocks that know their size and handles (a master
// pointer to such a block). A pointer block cannot move, so SetPtrSize can only shrink it or grow
// it within the room it was given; otherwise it fails with memFullErr like the system's.
#pragma once
#include <MacTypes.h>

constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
constexpr OSErr memWZErr = -111;

// Null (and MemError memFullErr) when there is no memory.
Ptr NewPtr(Size byteCount);
Ptr NewPtrClear(Size byteCount);
void DisposePtr(Ptr p);
Size GetPtrSize(Ptr p);
void SetPtrSize(Ptr p, Size newSize);

Handle NewHandle(Size byteCount);
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h);
Size GetHandleSize(Handle h);
// Moves the data to a block of the new size (the old one stays when there is no memory).
void SetHandleSize(Handle h, Size newSize);
// Blocks never move on their own here: locking only checks the handle.
void HLock(Handle h);
void HUnlock(Handle h);
// Free memory and the largest block that can be allocated (see StandIn_MemorySetFree).
long FreeMem(void);
Size MaxBlock(void);
// Replaces *theHndl by a new handle holding a copy of its data.
OSErr HandToHand(Handle* theHndl);

void BlockMove(const void* srcPtr, void* destPtr, Size byteCount);
void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount);

// Result of the last Memory Manager call on this thread.
OSErr MemError(void);

// Test hooks: the next count allocations (NewPtr, NewHandle, HandToHand, ...) fail; the number
// of pointer blocks and handles alive.
void StandIn_MemoryFailNextAllocations(int count);
long StandIn_MemoryLiveBlockCount(void);
// What FreeMem and MaxBlock report; an allocation above maxBlock fails. Negative values restore
// the default (plenty, no limit).
void StandIn_MemorySetFree(long freeMemory, long maxBlock);
