// Memory Manager of the Mac stand-in (see CoreServices/MacMemory.h).
#include <CoreServices/MacMemory.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"
#include "iStandInFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

using standin_files::kOK;

namespace {

// Each pointer block is preceded by its logical size and its room.
struct BlockHeader {
  Size size;
  Size room;
};
constexpr std::size_t kHeaderSize = 16;
static_assert(sizeof(BlockHeader) <= kHeaderSize, "block header too large");

thread_local OSErr t_memError = noErr;
std::atomic<long> g_liveBlocks{0};
// Free memory and the largest free block as FreeMem and MaxBlock report them; a larger request
// fails. Negative: no limit.
std::atomic<long> g_freeMemory{-1};
std::atomic<long> g_maxBlock{-1};
constexpr long kPlentiful = 0x40000000;

// One name in the shared failure injection stands for every creation of the kind.
bool AllocationFails() {
  return standin_calls::Enter("Memory Manager allocations") != noErr;
}

BlockHeader* HeaderOf(Ptr p) {
  return reinterpret_cast<BlockHeader*>(p - kHeaderSize);
}

Ptr Allocate(Size byteCount, bool clear) {
  long const maxBlock = g_maxBlock.load();
  if (byteCount < 0 || AllocationFails() || (maxBlock >= 0 && byteCount > maxBlock)) {
    t_memError = memFullErr;
    return nullptr;
  }
  auto* base = static_cast<char*>(clear ? std::calloc(1, kHeaderSize + byteCount)
                                        : std::malloc(kHeaderSize + byteCount));
  if (base == nullptr) {
    t_memError = memFullErr;
    return nullptr;
  }
  *reinterpret_cast<BlockHeader*>(base) = BlockHeader{byteCount, byteCount};
  ++g_liveBlocks;
  t_memError = noErr;
  return base + kHeaderSize;
}

Handle AllocateHandle(Size byteCount, bool clear) {
  if (AllocationFails()) {
    t_memError = memFullErr;
    return nullptr;
  }
  auto* master = static_cast<Handle>(std::malloc(sizeof(Ptr)));
  if (master == nullptr) {
    t_memError = memFullErr;
    return nullptr;
  }
  *master = Allocate(byteCount, clear);
  if (*master == nullptr) {
    std::free(master);
    return nullptr;
  }
  return master;
}

}  // namespace

Ptr NewPtr(Size byteCount) {
  return Allocate(byteCount, false);
}

Ptr NewPtrClear(Size byteCount) {
  return Allocate(byteCount, true);
}

void DisposePtr(Ptr p) {
  t_memError = noErr;
  if (p == nullptr)
    return;
  std::free(p - kHeaderSize);
  --g_liveBlocks;
}

Size GetPtrSize(Ptr p) {
  t_memError = p ? kOK : nilHandleErr;
  return p ? HeaderOf(p)->size : 0;
}

void SetPtrSize(Ptr p, Size newSize) {
  if (p == nullptr || newSize < 0) {
    t_memError = p ? memFullErr : nilHandleErr;
    return;
  }
  BlockHeader* header = HeaderOf(p);
  if (newSize > header->room) {
    t_memError = memFullErr;  // the block would have to move
    return;
  }
  header->size = newSize;
  t_memError = noErr;
}

Handle NewHandle(Size byteCount) {
  return AllocateHandle(byteCount, false);
}

Handle NewHandleClear(Size byteCount) {
  return AllocateHandle(byteCount, true);
}

void DisposeHandle(Handle h) {
  t_memError = noErr;
  if (h == nullptr)
    return;
  DisposePtr(*h);
  std::free(h);
}

Size GetHandleSize(Handle h) {
  if (h == nullptr || *h == nullptr) {
    t_memError = nilHandleErr;
    return 0;
  }
  return GetPtrSize(*h);
}

OSErr HandToHand(Handle* theHndl) {
  if (theHndl == nullptr || *theHndl == nullptr || **theHndl == nullptr)
    return t_memError = nilHandleErr;
  Size size = GetHandleSize(*theHndl);
  Handle copy = AllocateHandle(size, false);
  if (copy == nullptr)
    return t_memError = memFullErr;
  std::memcpy(*copy, **theHndl, static_cast<std::size_t>(size));
  *theHndl = copy;
  return t_memError = noErr;
}

void BlockMove(const void* srcPtr, void* destPtr, Size byteCount) {
  if (byteCount > 0)
    std::memmove(destPtr, srcPtr, static_cast<std::size_t>(byteCount));
}

void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount) {
  BlockMove(srcPtr, destPtr, byteCount);
}

void SetHandleSize(Handle h, Size newSize) {
  if (h == nullptr || *h == nullptr || newSize < 0) {
    t_memError = h ? memFullErr : nilHandleErr;
    return;
  }
  Size const oldSize = GetPtrSize(*h);
  // A handle's block may move: a larger one is allocated first, so a failure keeps the old.
  Ptr grown = Allocate(newSize, false);
  if (grown == nullptr)
    return;
  std::memcpy(grown, *h, static_cast<std::size_t>(std::min(oldSize, newSize)));
  DisposePtr(*h);
  *h = grown;
  t_memError = noErr;
}

void HLock(Handle h) {
  t_memError = h ? kOK : nilHandleErr;
}

void HUnlock(Handle h) {
  t_memError = h ? kOK : nilHandleErr;
}

long FreeMem(void) {
  long const free = g_freeMemory.load();
  return free < 0 ? kPlentiful : free;
}

Size MaxBlock(void) {
  long const maxBlock = g_maxBlock.load();
  return maxBlock < 0 ? kPlentiful : maxBlock;
}

void StandIn_MemorySetFree(long freeMemory, long maxBlock) {
  g_freeMemory.store(freeMemory);
  g_maxBlock.store(maxBlock);
}

OSErr MemError(void) {
  return t_memError;
}

void StandIn_MemoryFailNextAllocations(int count) {
  StandIn_SetFailures("Memory Manager allocations", -1, count);
}

long StandIn_MemoryLiveBlockCount(void) {
  return g_liveBlocks.load();
}
