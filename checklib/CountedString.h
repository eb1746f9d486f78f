// The counted UTF-16 string in which text crosses to the check library: the
// 12-byte header of VrifaxApi.h (code page 1200, element size 2, reference
// count 1, length), the code units as typed, then a 16-bit zero. An empty
// text is a null pointer. The caller owns the string and releases it.
//
//   CountedString s(u"7707083893", SharedMemoryAllocator());
//   check(s.Text());
//
// Portable: the block comes from the allocator it is given.
#pragma once

#include <cstddef>
#include <string_view>

// Where the blocks of counted strings come from.
struct CountedStringAllocator {
  void* (*allocate)(std::size_t bytes);  // null when exhausted
  void (*release)(void* block);
};

class CountedString {
 public:
  // Builds the string; raises std::bad_alloc when the allocator has no block.
  CountedString(std::u16string_view text, const CountedStringAllocator& allocator);
  ~CountedString();
  CountedString(CountedString&& other) noexcept;
  CountedString& operator=(CountedString&&) = delete;
  CountedString(const CountedString&) = delete;
  CountedString& operator=(const CountedString&) = delete;

  // Returns the pointer to the first code unit, or null for an empty text.
  const char16_t* Text() const;

 private:
  const CountedStringAllocator* allocator_;
  unsigned char* block_ = nullptr;  // header, code units, terminator
};

// Returns the number of bytes of the block that holds a text of the given
// length: the header, the code units and the terminator.
std::size_t CountedStringBlockSize(std::size_t length);
