// Benchmarks of vrifax-run's native path, the reference rules without a
// library: the bare checks over generated inputs, and a whole `--rules` run
// over a corpus in memory (reading, decoding, checking, counting). Items per
// second are checks per second, on the one thread Google Benchmark uses.
//
//   taskset -c 0 build/host/bench/vrifax_run_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/vrifax-run/Comparison.h"
#include "tools/vrifax-run/Generator.h"
#include "tools/vrifax-run/Tool.h"

namespace {

using vrifax_run::GeneratedInput;

const std::vector<GeneratedInput>& Inputs() {
  static const std::vector<GeneratedInput> inputs = [] {
    std::vector<GeneratedInput> all;
    vrifax_run::Generate(1, 200, [&](const GeneratedInput& input) { all.push_back(input); });
    return all;
  }();
  return inputs;
}

// The generated inputs that a corpus line can hold (no tab, no line break),
// as a corpus whose expectations are the rules' own.
const std::string& CorpusText() {
  static const std::string text = [] {
    std::string corpus = "kind\tvalue\tsecond\texpected\n";
    for (const GeneratedInput& input : Inputs()) {
      const std::u16string both = input.first + input.second;
      if (both.find_first_of(u"\t\r\n") != std::u16string::npos) continue;
      const bool valid = vrifax_run::RulesSay(input.kind, input.first, input.second);
      corpus += std::string(vrifax_run::RowOf(input.kind).name) + "\t" + vrifax_run::ToUtf8(input.first) + "\t" +
                vrifax_run::ToUtf8(input.second) + "\t" + (valid ? "valid" : "invalid") + "\n";
    }
    return corpus;
  }();
  return text;
}

std::size_t CorpusRecords() {
  std::size_t lines = 0;
  for (char c : CorpusText()) lines += c == '\n';
  return lines - 1;
}

// A system with the corpus in memory and the report thrown away.
class MemorySystem : public vrifax_run::System {
 public:
  std::unique_ptr<std::istream> OpenCorpus(const std::string&, std::string*) override {
    return std::make_unique<std::istringstream>(CorpusText());
  }
  void Out(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
  void Err(std::string_view) override {}
  bool ErrIsTerminal() override { return false; }
  std::unique_ptr<vrifax_run::Checker> OpenLibrary(const std::string&, std::string*) override { return nullptr; }
  std::uint64_t FreshSeed() override { return 1; }
};

void BM_RulesChecks(benchmark::State& state) {
  const std::vector<GeneratedInput>& inputs = Inputs();
  vrifax_run::RulesChecker rules;
  for (auto _ : state) {
    for (const GeneratedInput& input : inputs) {
      benchmark::DoNotOptimize(rules.Check(input.kind, input.first, input.second));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * inputs.size()));
  state.counters["inputs"] = static_cast<double>(inputs.size());
}
BENCHMARK(BM_RulesChecks)->Unit(benchmark::kMillisecond);

void BM_RulesCorpusRun(benchmark::State& state) {
  MemorySystem system;
  const std::size_t records = CorpusRecords();
  for (auto _ : state) {
    const int code = vrifax_run::RunTool({"--rules", "bench.tsv"}, system);
    if (code != vrifax_run::kExitAgreed) state.SkipWithError("the corpus run did not agree");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
  state.counters["records"] = static_cast<double>(records);
  state.counters["MB"] = static_cast<double>(CorpusText().size()) / 1e6;
}
BENCHMARK(BM_RulesCorpusRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
