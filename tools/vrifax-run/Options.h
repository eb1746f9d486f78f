// The command line of vrifax-run.
//
//   vrifax-run [--library PATH] CORPUS            the library against the corpus
//   vrifax-run --rules CORPUS                     the reference rules against the corpus
//   vrifax-run --against-rules [--library PATH] [--seed N] [--count N] [CORPUS]
//   vrifax-run check KIND VALUE [SECOND]          one check by the rules
//
//   Options o = ParseOptions({"--rules", "corpus.tsv"});   // o.mode == Mode::Rules
//
// Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vrifax_run {

enum class Mode { Help, Check, Rules, Library, AgainstRules };

constexpr std::uint32_t kDefaultCount = 100;
constexpr std::uint32_t kMaxCount = 1000000;

struct Options {
  Mode mode = Mode::Library;
  std::string library;  // empty: Vrifax.dll of the current directory
  std::string corpus;   // "-" is standard input; empty: none (against the rules only)
  std::optional<std::uint64_t> seed;
  std::uint32_t count = kDefaultCount;
  std::string checkKind;
  std::string checkValue;
  std::string checkSecond;
};

// A command line that names no valid run.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns the options of the arguments (without the program name); throws
// UsageError.
Options ParseOptions(const std::vector<std::string>& args);

// Returns the usage text.
const char* UsageText();

}  // namespace vrifax_run
