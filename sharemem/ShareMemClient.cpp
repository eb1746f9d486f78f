// The program's heap routed into borlndmm.dll: every form of the global
// operator new and delete is replaced here, so the program imports the
// library at load time and does not start without it.
#include <cstddef>
#include <new>

#include "sharemem/ShareMem.h"

namespace {

// What the heap of borlndmm.dll guarantees (HeapAlloc's alignment).
constexpr std::size_t kHeapAlignment = 2 * sizeof(void*);

// Returns a block from the shared heap, calling the new handler until it
// succeeds; null only when there is no handler and nothrow is asked for.
void* Allocate(std::size_t size, bool nothrow) {
  for (;;) {
    if (void* block = GetMem(size)) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) {
      if (nothrow) return nullptr;
      throw std::bad_alloc();
    }
    handler();
  }
}

// Over-aligned blocks: the block from the heap is kept in the word before
// the aligned address.
void* AllocateAligned(std::size_t size, std::align_val_t alignment, bool nothrow) {
  const auto align = static_cast<std::size_t>(alignment);
  if (align <= kHeapAlignment) return Allocate(size, nothrow);
  if (size > static_cast<std::size_t>(-1) - align - sizeof(void*)) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  void* raw = Allocate(size + align + sizeof(void*), nothrow);
  if (!raw) return nullptr;
  auto address = reinterpret_cast<std::size_t>(raw) + sizeof(void*);
  address = (address + align - 1) & ~(align - 1);
  reinterpret_cast<void**>(address)[-1] = raw;
  return reinterpret_cast<void*>(address);
}

void Release(void* block) {
  // A block that the heap does not know would be a fault of the caller;
  // there is nobody to report it to from a deallocation function.
  (void)FreeMem(block);
}

void ReleaseAligned(void* block, std::align_val_t alignment) {
  if (!block) return;
  if (static_cast<std::size_t>(alignment) <= kHeapAlignment) {
    Release(block);
  } else {
    Release(static_cast<void**>(block)[-1]);
  }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size, false); }
void* operator new[](std::size_t size) { return Allocate(size, false); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size, true);
  } catch (...) {  // a new handler may throw
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment, false);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment, false);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  try {
    return AllocateAligned(size, alignment, true);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t& tag) noexcept {
  return operator new(size, alignment, tag);
}

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t alignment) noexcept {
  ReleaseAligned(block, alignment);
}
void operator delete[](void* block, std::align_val_t alignment) noexcept {
  ReleaseAligned(block, alignment);
}
void operator delete(void* block, std::size_t, std::align_val_t alignment) noexcept {
  ReleaseAligned(block, alignment);
}
void operator delete[](void* block, std::size_t, std::align_val_t alignment) noexcept {
  ReleaseAligned(block, alignment);
}
void operator delete(void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  ReleaseAligned(block, alignment);
}
void operator delete[](void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  ReleaseAligned(block, alignment);
}
