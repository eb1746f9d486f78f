// Builds counted UTF-16 strings as the program hands them to the check
// library: the 12-byte header, the code units and a terminating zero, in one
// block of exactly that size (so that the sanitizers catch any read past it).
//
//   CountedString inn(u"7707083893");
//   IsValidINN(inn.get());
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "checklib/VrifaxApi.h"

namespace vrifax_test {

class CountedString {
 public:
  struct Layout {
    std::int32_t length;
    std::uint16_t codePage = kCountedStringCodePage;
    std::uint16_t elementSize = kCountedStringElementSize;
    bool terminated = true;
  };

  explicit CountedString(std::u16string_view text)
      : CountedString(text, Layout{static_cast<std::int32_t>(text.size())}) {}

  // The header says `layout.length`, whatever the size of `text`.
  CountedString(std::u16string_view text, const Layout& layout) {
    const std::size_t units = text.size() + (layout.terminated ? 1 : 0);
    const std::size_t bytes = sizeof(CountedStringHeader) + units * sizeof(char16_t);
    block_.reset(new unsigned char[bytes]);
    new (block_.get()) CountedStringHeader{layout.codePage, layout.elementSize, 1, layout.length};
    unsigned char* first = block_.get() + sizeof(CountedStringHeader);
    std::memcpy(first, text.data(), text.size() * sizeof(char16_t));
    if (layout.terminated) std::memset(first + text.size() * sizeof(char16_t), 0, sizeof(char16_t));
  }

  // Returns the pointer to the first code unit, as the caller passes it.
  const char16_t* get() const {
    return reinterpret_cast<const char16_t*>(block_.get() + sizeof(CountedStringHeader));
  }

 private:
  std::unique_ptr<unsigned char[]> block_;
};

// Holds an optional counted string: a null pointer stands for an empty field.
class CountedArg {
 public:
  explicit CountedArg(const char16_t* text) {
    if (text) value_ = std::make_unique<CountedString>(std::u16string_view(text));
  }
  const char16_t* get() const { return value_ ? value_->get() : nullptr; }

 private:
  std::unique_ptr<CountedString> value_;
};

}  // namespace vrifax_test
