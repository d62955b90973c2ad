// Memory Manager of the Mac stand-in (see CoreServices/MacMemory.h).
#include <CoreServices/MacMemory.h>

#include "iStandInFiles.h"

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
std::atomic<int> g_failingAllocations{0};
std::atomic<long> g_liveBlocks{0};

bool AllocationFails() {
  int pending = g_failingAllocations.load();
  while (pending > 0) {
    if (g_failingAllocations.compare_exchange_weak(pending, pending - 1))
      return true;
  }
  return false;
}

BlockHeader* HeaderOf(Ptr p) {
  return reinterpret_cast<BlockHeader*>(p - kHeaderSize);
}

Ptr Allocate(Size byteCount, bool clear) {
  if (byteCount < 0 || AllocationFails()) {
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

void SetHandleSize(Handle h, Size newSize) {
  if (h == nullptr || *h == nullptr || newSize < 0) {
    t_memError = h && *h ? memFullErr : nilHandleErr;
    return;
  }
  if (newSize <= HeaderOf(*h)->room) {
    HeaderOf(*h)->size = newSize;
    t_memError = noErr;
    return;
  }
  Ptr grown = Allocate(newSize, false);
  if (grown == nullptr)
    return;
  std::memcpy(grown, *h, static_cast<std::size_t>(HeaderOf(*h)->size));
  DisposePtr(*h);
  *h = grown;
  t_memError = noErr;
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

OSErr MemError(void) {
  return t_memError;
}

void StandIn_MemoryFailNextAllocations(int count) {
  g_failingAllocations.store(count);
}

long StandIn_MemoryLiveBlockCount(void) {
  return g_liveBlocks.load();
}
