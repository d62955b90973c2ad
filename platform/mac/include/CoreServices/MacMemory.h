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
// Moves the block when it grows; on memFullErr the handle keeps its old block and size.
void SetHandleSize(Handle h, Size newSize);
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
