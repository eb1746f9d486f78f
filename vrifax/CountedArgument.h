// Reading the counted UTF-16 strings that the check library's callers pass.
//
//   const CountedArgument arg = ReadCountedArgument(text);
//   if (arg.wellFormed) Check(arg.text);
//
// A null pointer is an empty field. Only the header's length is trusted for
// the extent of the text: the library never reads past it, never writes to
// the string and never frees it.
#pragma once

#include <string_view>

namespace vrifax {

struct CountedArgument {
  bool wellFormed;           // false: the header is not one of a UTF-16 string
  std::u16string_view text;  // the field's text as typed; empty for null
};

// Returns the text of a counted string argument, or not well formed when its
// header does not describe UTF-16 text (code page 1200, element size 2,
// length not negative).
CountedArgument ReadCountedArgument(const char16_t* text) noexcept;

}  // namespace vrifax
