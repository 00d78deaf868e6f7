#include "platform/thread_stack.h"

void ThreadReleaseStack(void) {
  // Room kept below this frame for the calls the thread makes next.
  const uintptr_t kKeep = 16 * 1024;
  volatile char here = 0;
  MEMORY_BASIC_INFORMATION region;
  if (VirtualQuery(const_cast<char*>(&here), &region, sizeof(region)) == 0) return;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const uintptr_t page = system.dwPageSize;
  const uintptr_t current = reinterpret_cast<uintptr_t>(&here);
  if (current < kKeep) return;
  const uintptr_t end = (current - kKeep) & ~(page - 1);
  // From the stack's reservation up to the room kept: only committed pages
  // that are not the guard page can be reset (on Windows the stack's low
  // part is reserved only; under Wine it is all committed).
  uintptr_t at = reinterpret_cast<uintptr_t>(region.AllocationBase);
  while (at < end && VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof(region)) != 0) {
    const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    const uintptr_t stop = next < end ? next : end;
    if (region.State == MEM_COMMIT && (region.Protect & PAGE_GUARD) == 0 && stop > at)
      VirtualAlloc(reinterpret_cast<void*>(at), stop - at, MEM_RESET, PAGE_READWRITE);
    at = next;
  }
}
