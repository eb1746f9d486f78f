// vrifax-run as a whole: the command line, the corpus run, the comparison
// with the rules on generated inputs, the report and the exit code, over a
// System that the platform's front end provides (the check library, the
// files, the console).
//
//   int code = RunTool({"--rules", "corpus.tsv"}, system);   // 0, 1 or 2
//
// Portable.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vrifax-run/Comparison.h"
#include "tools/vrifax-run/Kinds.h"

namespace vrifax_run {

constexpr int kExitAgreed = 0;
constexpr int kExitDisagreed = 1;
constexpr int kExitUsage = 2;

// One source of verdicts.
class Checker {
 public:
  virtual ~Checker() = default;
  // Returns the verdict on one input; `second` is empty for one-field kinds.
  virtual Verdict Check(Kind kind, std::u16string_view first, std::u16string_view second) = 0;
};

// The reference rules of vrifax/.
class RulesChecker : public Checker {
 public:
  Verdict Check(Kind kind, std::u16string_view first, std::u16string_view second) override {
    return Verdict::Of(RulesSay(kind, first, second));
  }
};

// What the tool needs from the system it runs on.
class System {
 public:
  virtual ~System() = default;
  // Returns the corpus opened for binary reading ("-": standard input), or
  // null with *error saying why it cannot be opened.
  virtual std::unique_ptr<std::istream> OpenCorpus(const std::string& path, std::string* error) = 0;
  // Writes UTF-8 text to standard output, or to standard error.
  virtual void Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
  // Returns whether standard error is a terminal (progress is shown there).
  virtual bool ErrIsTerminal() = 0;
  // Returns the check library loaded from `path` (empty: Vrifax.dll of the
  // current directory, as the window finds it), or null with *error saying
  // why, also in a build without libraries.
  virtual std::unique_ptr<Checker> OpenLibrary(const std::string& path, std::string* error) = 0;
  // Returns a seed for a run that names none.
  virtual std::uint64_t FreshSeed() = 0;
};

// Runs the tool; returns the exit code.
int RunTool(const std::vector<std::string>& args, System& system);

}  // namespace vrifax_run
