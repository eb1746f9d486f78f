// The runs of vrifax-run.
#include "tools/vrifax-run/Tool.h"

#include "tools/vrifax-run/Corpus.h"
#include "tools/vrifax-run/Generator.h"
#include "tools/vrifax-run/Options.h"

namespace vrifax_run {
namespace {

// How many disagreements and faults --against-rules prints.
constexpr std::size_t kFirstShown = 20;
// Progress is written every this many checks.
constexpr std::uint64_t kProgressStep = 4096;

// A count on standard error while the run goes on, only on a terminal.
class Progress {
 public:
  explicit Progress(System& system) : system_(system), shown_(system.ErrIsTerminal()) {}
  ~Progress() {
    if (shown_ && checked_ >= kProgressStep) system_.Err("\r" + std::to_string(checked_) + " checked\n");
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Advance() {
    if (++checked_ % kProgressStep == 0 && shown_) system_.Err("\r" + std::to_string(checked_) + " checked");
  }

 private:
  System& system_;
  bool shown_;
  std::uint64_t checked_ = 0;
};

// The reference's verdict on a corpus record.
using Reference = bool (*)(const Record& record);
bool Expected(const Record& record) { return record.expectedValid; }
bool ByRules(const Record& record) { return RulesSay(record.kind, record.value, record.second); }

// Runs the checker over the corpus into `comparison`; returns false after
// printing why the corpus cannot be read.
bool CompareCorpus(System& system, const std::string& path, Checker& checker, Reference reference,
                   Comparison& comparison) {
  std::string error;
  std::unique_ptr<std::istream> in = system.OpenCorpus(path, &error);
  if (!in) {
    system.Err("vrifax-run: cannot open the corpus \"" + path + "\": " + error + "\n");
    return false;
  }
  Progress progress(system);
  try {
    CorpusReader corpus(*in);
    Record record;
    while (corpus.Next(record)) {
      const Verdict verdict = checker.Check(record.kind, record.value, record.second);
      comparison.Add({"line", record.line, {}}, record.kind, record.value, record.second,
                     reference(record), verdict);
      progress.Advance();
    }
  } catch (const CorpusError& e) {
    system.Err("vrifax-run: " + path + ": " + e.what() + "\n");
    return false;
  }
  return true;
}

void CompareGenerated(System& system, std::uint64_t seed, std::size_t count, Checker& library,
                      Comparison& comparison) {
  Progress progress(system);
  std::uint64_t number = 0;
  Generate(seed, count, [&](const GeneratedInput& input) {
    const Verdict verdict = library.Check(input.kind, input.first, input.second);
    comparison.Add({"generated", ++number, input.how}, input.kind, input.first,
                   input.second, RulesSay(input.kind, input.first, input.second), verdict);
    progress.Advance();
  });
}

std::unique_ptr<Checker> LoadLibraryOrSay(System& system, const Options& options) {
  std::string error;
  std::unique_ptr<Checker> library = system.OpenLibrary(options.library, &error);
  if (!library) system.Err("vrifax-run: " + error + "\n");
  return library;
}

int RunCorpus(System& system, const Options& options) {
  RulesChecker rules;
  std::unique_ptr<Checker> library;
  if (options.mode == Mode::Library && !(library = LoadLibraryOrSay(system, options))) return kExitUsage;
  const char* subject = options.mode == Mode::Rules ? "rules" : "library";
  Comparison comparison("expected", subject);
  if (!CompareCorpus(system, options.corpus, library ? *library : rules, &Expected, comparison)) {
    return kExitUsage;
  }
  system.Out("corpus " + options.corpus + ": " + subject + " against the expected verdicts\n");
  system.Out(comparison.Table() + comparison.Details());
  return comparison.AllAgree() ? kExitAgreed : kExitDisagreed;
}

int RunAgainstRules(System& system, const Options& options) {
  std::unique_ptr<Checker> library = LoadLibraryOrSay(system, options);
  if (!library) return kExitUsage;
  bool agreed = true;
  if (!options.corpus.empty()) {
    Comparison onCorpus("rules", "library", kFirstShown);
    if (!CompareCorpus(system, options.corpus, *library, &ByRules, onCorpus)) return kExitUsage;
    system.Out("corpus " + options.corpus + ": library against the rules\n");
    system.Out(onCorpus.Table() + onCorpus.Details() + "\n");
    agreed = onCorpus.AllAgree();
  }
  const std::uint64_t seed = options.seed ? *options.seed : system.FreshSeed();
  const std::string repeat = "--seed " + std::to_string(seed) + " --count " + std::to_string(options.count);
  Comparison generated("rules", "library", kFirstShown);
  CompareGenerated(system, seed, options.count, *library, generated);
  system.Out("generated inputs (" + repeat + "): library against the rules\n");
  system.Out(generated.Table() + generated.Details());
  system.Out("\nseed " + std::to_string(seed) + " (repeat with --against-rules " + repeat + ")\n");
  return agreed && generated.AllAgree() ? kExitAgreed : kExitDisagreed;
}

int RunCheck(System& system, const Options& options) {
  const KindRow* row = FindKind(options.checkKind);
  if (!row) {
    system.Err("vrifax-run: unknown kind \"" + options.checkKind + "\"\n");
    return kExitUsage;
  }
  if (!row->twoFields && !options.checkSecond.empty()) {
    system.Err("vrifax-run: " + std::string(row->name) + " takes one field\n");
    return kExitUsage;
  }
  try {
    const bool valid = RulesSay(row->kind, DecodeUtf8(options.checkValue, 0), DecodeUtf8(options.checkSecond, 0));
    system.Out(valid ? "valid\n" : "invalid\n");
    return valid ? kExitAgreed : kExitDisagreed;
  } catch (const CorpusError& e) {
    system.Err(std::string("vrifax-run: the argument is ") + e.what() + "\n");
    return kExitUsage;
  }
}

}  // namespace

int RunTool(const std::vector<std::string>& args, System& system) {
  Options options;
  try {
    options = ParseOptions(args);
  } catch (const UsageError& e) {
    system.Err(std::string("vrifax-run: ") + e.what() + "\n" + UsageText());
    return kExitUsage;
  }
  switch (options.mode) {
    case Mode::Help:
      system.Out(UsageText());
      return kExitAgreed;
    case Mode::Check: return RunCheck(system, options);
    case Mode::Rules:
    case Mode::Library: return RunCorpus(system, options);
    case Mode::AgainstRules: return RunAgainstRules(system, options);
  }
  return kExitUsage;
}

}  // namespace vrifax_run
