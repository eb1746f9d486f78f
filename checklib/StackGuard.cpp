// The stack guard page and the stack guarantee of the calling thread.
#include "checklib/StackGuard.h"

#include <windows.h>

namespace {

// Room for the guard frame's handler and the unwind it runs.
constexpr ULONG kStackGuarantee = 64 * 1024;

ULONG_PTR PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

ULONG_PTR RoundUp(ULONG_PTR value, ULONG_PTR page) { return (value + page - 1) & ~(page - 1); }

// What the stack below the frame in use looks like.
struct StackBelow {
  char* base = nullptr;          // the end of the stack's reservation
  char* highestGuard = nullptr;  // highest guard page below the frame in use
  char* lowestUsable = nullptr;  // lowest committed page that can be read and written
};

// Walks the stack's regions from its base up to `here`; false when they
// cannot be read.
bool ReadStackBelow(char* here, StackBelow* below) {
  MEMORY_BASIC_INFORMATION region{};
  if (!VirtualQuery(here, &region, sizeof region)) return false;
  below->base = static_cast<char*>(region.AllocationBase);
  for (char* at = below->base; at < here;) {
    if (!VirtualQuery(at, &region, sizeof region)) return false;
    if (region.State == MEM_COMMIT) {
      if (region.Protect & PAGE_GUARD) below->highestGuard = at;
      const bool usable = (region.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE)) != 0;
      if (usable && !below->lowestUsable) below->lowestUsable = at;
    }
    at = static_cast<char*>(region.BaseAddress) + region.RegionSize;
  }
  return true;
}

// Returns the lowest place for a guard page: above the stack's last page,
// the guaranteed pages and a page for the overflow itself.
char* LowestGuard(char* base, ULONG_PTR page) {
  ULONG guarantee = 0;
  if (!SetThreadStackGuarantee(&guarantee)) guarantee = 0;  // size 0 only reads it
  if (guarantee < kStackGuarantee) guarantee = kStackGuarantee;
  return base + page + RoundUp(guarantee, page) + page;
}

}  // namespace

bool KeepStackGuarantee() {
  ULONG size = 0;
  if (!SetThreadStackGuarantee(&size)) return false;  // size 0 only reads the guarantee
  if (size >= kStackGuarantee) return true;
  size = kStackGuarantee;
  return SetThreadStackGuarantee(&size) != FALSE;
}

bool EnsureStackGuardPage() {
  const ULONG_PTR page = PageSize();
  char* here = static_cast<char*>(__builtin_frame_address(0));
  StackBelow below;
  if (!ReadStackBelow(here, &below)) return false;
  char* lowest = LowestGuard(below.base, page);
  if (below.highestGuard >= lowest) return true;
  // Reserved pages below the committed ones grow on demand from the guard
  // at the boundary; committed ones get the guard at the lowest place.
  char* guard = below.lowestUsable > lowest ? below.lowestUsable : lowest;
  if (guard + 2 * page > here) return false;
  DWORD previous = 0;
  return VirtualProtect(guard, page, PAGE_READWRITE | PAGE_GUARD, &previous) != FALSE;
}
