// Counted strings from the heap of borlndmm.dll.
#include "checklib/SharedMemoryAllocator.h"

#include "sharemem/ShareMem.h"

namespace {

void* AllocateShared(std::size_t bytes) { return GetMem(bytes); }

void ReleaseShared(void* block) {
  // The block came from GetMem; a failure here would mean a corrupted heap,
  // which no caller of a destructor could answer.
  (void)FreeMem(block);
}

}  // namespace

const CountedStringAllocator& SharedMemoryAllocator() {
  static const CountedStringAllocator allocator{&AllocateShared, &ReleaseShared};
  return allocator;
}
