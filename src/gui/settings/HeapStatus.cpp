#include "settings/HeapStatus.h"

#include <malloc.h>

namespace sarvanta {

THeapStatus ReadHeapStatus() {
  THeapStatus status;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
  const struct mallinfo2 info = mallinfo2();
  // glibc keeps no count of held blocks, no reservation apart from commitment and no
  // separate bookkeeping total: those figures stay 0.
  status.AllocMemSize = info.uordblks + info.hblkhd;
  status.TotalAddrSpace = info.arena + info.hblkhd;
  status.TotalCommitted = info.arena + info.hblkhd;
  status.TotalAllocated = info.uordblks + info.hblkhd;
  status.TotalFree = info.fordblks;
  status.FreeSmall = info.fsmblks;
  status.FreeBig = info.fordblks >= info.fsmblks ? info.fordblks - info.fsmblks : 0;
  status.Unused = info.keepcost;
#endif
  return status;
}

}  // namespace sarvanta
