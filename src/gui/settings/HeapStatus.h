// The heap figures of the C library's allocator, read in one call.
#pragma once

#include <cstddef>

namespace sarvanta {

// Figures the allocator does not keep are 0.
struct THeapStatus {
  size_t AllocMemSize = 0;      // bytes in blocks the program holds
  size_t AllocMemCount = 0;     // number of blocks the program holds
  size_t TotalAddrSpace = 0;    // address space the allocator took from the system
  size_t TotalUncommitted = 0;  // reserved but not committed
  size_t TotalCommitted = 0;    // committed
  size_t TotalAllocated = 0;    // committed and handed out in blocks
  size_t TotalFree = 0;         // committed and free
  size_t FreeSmall = 0;         // free, in small (fast) blocks
  size_t FreeBig = 0;           // free, in big blocks
  size_t Unused = 0;            // free at the top of the heap, never handed out since
  size_t Overhead = 0;          // the allocator's own bookkeeping
};

THeapStatus ReadHeapStatus();

}  // namespace sarvanta
