// borlndmm.dll as the program's heap: operator new/delete in every form and
// the counted strings come from it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "checklib/SharedMemoryAllocator.h"
#include "sharemem/ShareMem.h"

namespace {

struct alignas(64) OverAligned {
  char bytes[64];
};

TEST(SharedMemory, EveryFormOfNewAllocatesFromTheLibrary) {
  struct Form {
    const char* name;
    void* (*allocate)();
    void (*release)(void*);
  };
  const Form forms[] = {
      {"new", [] { return static_cast<void*>(new int(7)); },
       [](void* p) { delete static_cast<int*>(p); }},
      {"new[]", [] { return static_cast<void*>(new int[9]); },
       [](void* p) { delete[] static_cast<int*>(p); }},
      {"nothrow new", [] { return static_cast<void*>(new (std::nothrow) int(1)); },
       [](void* p) { delete static_cast<int*>(p); }},
      {"nothrow new[]", [] { return static_cast<void*>(new (std::nothrow) int[3]); },
       [](void* p) { delete[] static_cast<int*>(p); }},
      {"aligned new", [] { return static_cast<void*>(new OverAligned); },
       [](void* p) { delete static_cast<OverAligned*>(p); }},
      {"aligned new[]", [] { return static_cast<void*>(new OverAligned[2]); },
       [](void* p) { delete[] static_cast<OverAligned*>(p); }},
      {"std::string", [] { return static_cast<void*>(new std::string(100, 'x')); },
       [](void* p) { delete static_cast<std::string*>(p); }},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.name);
    const std::size_t before = AllocMemCount();
    void* p = form.allocate();
    ASSERT_NE(p, nullptr);
    EXPECT_GT(AllocMemCount(), before);
    form.release(p);
    EXPECT_EQ(AllocMemCount(), before);
  }
}

TEST(SharedMemory, OverAlignedBlocksAreAligned) {
  std::vector<std::unique_ptr<OverAligned>> blocks;
  for (int i = 0; i < 16; ++i) {
    blocks.push_back(std::make_unique<OverAligned>());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(blocks.back().get()) % 64, 0u);
  }
}

TEST(SharedMemory, ZeroBytesGiveDistinctBlocks) {
  void* a = GetMem(0);
  void* b = GetMem(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(FreeMem(a), 0);
  EXPECT_EQ(FreeMem(b), 0);
  EXPECT_EQ(FreeMem(nullptr), 0);
}

TEST(SharedMemory, ReallocKeepsContent) {
  auto* block = static_cast<char*>(GetMem(4));
  ASSERT_NE(block, nullptr);
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(ReallocMem(block, 4096));
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, "abc");
  EXPECT_EQ(FreeMem(block), 0);
}

TEST(SharedMemory, CountedStringsComeFromTheLibrary) {
  const std::size_t before = AllocMemCount();
  {
    CountedString s(u"7707083893", SharedMemoryAllocator());
    EXPECT_EQ(AllocMemCount(), before + 1);
    EXPECT_NE(s.Text(), nullptr);
  }
  EXPECT_EQ(AllocMemCount(), before);
}

}  // namespace
