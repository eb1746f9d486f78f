// Reads the header of a counted UTF-16 string argument (layout in
// checklib/VrifaxApi.h) and gives its text by the header's length.
#include "vrifax/CountedArgument.h"

#include <cstddef>

#include "checklib/VrifaxApi.h"

namespace vrifax {

CountedArgument ReadCountedArgument(const char16_t* text) noexcept {
  if (text == nullptr) return {true, {}};
  const CountedStringHeader* header = CountedHeader(text);
  if (header->codePage != kCountedStringCodePage || header->elementSize != kCountedStringElementSize ||
      header->length < 0) {
    return {false, {}};
  }
  return {true, std::u16string_view(text, static_cast<std::size_t>(header->length))};
}

}  // namespace vrifax
