// Random field texts for the tests: valid samples with a few random edits
// (so that both verdicts occur), from an alphabet of digits, blanks,
// separators, the IBAN letters and a few code units no rule accepts
// (other scripts' digits, a lone surrogate, an embedded zero).
#pragma once

#include <cstddef>
#include <random>
#include <string>

#include "tests/unit/vrifax/Samples.h"

namespace vrifax_test {

class RandomTexts {
 public:
  explicit RandomTexts(unsigned seed) : engine_(seed) {}

  // Returns `text` with 0 to 3 random insertions, deletions or replacements.
  std::u16string Edit(std::u16string text) {
    const int edits = Pick(4);
    for (int i = 0; i < edits; ++i) {
      const std::size_t at = text.empty() ? 0 : static_cast<std::size_t>(Pick(static_cast<int>(text.size())));
      switch (Pick(3)) {
        case 0:
          text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), Unit());
          break;
        case 1:
          if (!text.empty()) text.erase(at, 1);
          break;
        default:
          if (!text.empty()) text[at] = Unit();
          break;
      }
    }
    return text;
  }

  // Returns a run of 0 to 3 spaces and tabs.
  std::u16string Blanks() {
    std::u16string blanks;
    for (int n = Pick(4); n > 0; --n) blanks += Pick(2) ? u' ' : u'\t';
    return blanks;
  }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(engine_); }

 private:
  char16_t Unit() {
    static const char16_t kAlphabet[] =
        u"0123456789012345678901234567890123456789 \t-UAua.\u0660\uFF11\xD800";
    constexpr int kSize = static_cast<int>(sizeof(kAlphabet) / sizeof(kAlphabet[0]));  // with the final zero
    return kAlphabet[Pick(kSize)];
  }

  std::mt19937 engine_;
};

}  // namespace vrifax_test
