// Generated inputs for comparing a check library with the reference rules:
// for each kind, valid identifiers made with correct check digits, then
// each one-digit change of them, blanks and separators around and inside
// them, digits of other scripts, and wrong lengths. The same seed gives the
// same inputs on every platform.
//
//   Generate(seed, 100, [](const GeneratedInput& input) { ... });
//
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/vrifax-run/Kinds.h"

namespace vrifax_run {

// A small generator of its own (splitmix64), so that a seed means the same
// sequence whatever the standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  // Returns the next 64 random bits.
  std::uint64_t Next();
  // Returns a number in [0, bound), bound > 0.
  unsigned Below(unsigned bound);
  // Returns a number in [low, high].
  int Between(int low, int high);
  // Returns a digit character; never '0' when nonZero.
  char Digit(bool nonZero = false);

 private:
  std::uint64_t state_;
};

// The two fields of an identifier, in ASCII.
struct Identifier {
  std::string first;
  std::string second;  // the bank code; empty for one-field kinds
};

// Returns a valid identifier of the kind with correct check digits.
Identifier MakeValid(Kind kind, Random& random);

struct GeneratedInput {
  Kind kind;
  std::u16string first;
  std::u16string second;
  std::string how;  // "valid", "digit 3 changed to 7", "leading tab", ...
};

// Calls visit for every generated input: `count` valid identifiers of each
// kind, each followed by its variants.
void Generate(std::uint64_t seed, std::size_t count,
              const std::function<void(const GeneratedInput&)>& visit);

}  // namespace vrifax_run
