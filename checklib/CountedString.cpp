// Builds counted UTF-16 strings byte for byte as VrifaxApi.h lays them out.
#include "checklib/CountedString.h"

#include <cstring>
#include <limits>
#include <new>

#include "checklib/VrifaxApi.h"

std::size_t CountedStringBlockSize(std::size_t length) {
  return sizeof(CountedStringHeader) + (length + 1) * sizeof(char16_t);
}

CountedString::CountedString(std::u16string_view text, const CountedStringAllocator& allocator)
    : allocator_(&allocator) {
  if (text.empty()) return;
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) {
    throw std::bad_alloc();  // the length field could not hold it
  }
  block_ = static_cast<unsigned char*>(allocator.allocate(CountedStringBlockSize(text.size())));
  if (!block_) throw std::bad_alloc();
  CountedStringHeader header{};
  header.codePage = kCountedStringCodePage;
  header.elementSize = kCountedStringElementSize;
  header.refCount = 1;
  header.length = static_cast<std::int32_t>(text.size());
  std::memcpy(block_, &header, sizeof header);
  unsigned char* units = block_ + sizeof header;
  std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
  const char16_t terminator = 0;
  std::memcpy(units + text.size() * sizeof(char16_t), &terminator, sizeof terminator);
}

CountedString::~CountedString() {
  if (block_) allocator_->release(block_);
}

CountedString::CountedString(CountedString&& other) noexcept
    : allocator_(other.allocator_), block_(other.block_) {
  other.block_ = nullptr;
}

const char16_t* CountedString::Text() const {
  return block_ ? reinterpret_cast<const char16_t*>(block_ + sizeof(CountedStringHeader))
                : nullptr;
}
