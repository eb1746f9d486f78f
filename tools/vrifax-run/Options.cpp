// Parsing the command line.
#include "tools/vrifax-run/Options.h"

namespace vrifax_run {
namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vrifax-run [--library PATH] CORPUS\n"
    "  vrifax-run --rules CORPUS\n"
    "  vrifax-run --against-rules [--library PATH] [--seed N] [--count N] [CORPUS]\n"
    "  vrifax-run check KIND VALUE [SECOND]\n"
    "CORPUS is a tab-separated UTF-8 file with the columns kind, value, second and\n"
    "expected (\"-\" reads standard input). KIND is inn, snils, rs, ks, okpo, ogrn,\n"
    "ua_account or egn. The library is Vrifax.dll of the current directory unless\n"
    "--library names one. --count N valid identifiers of each kind are generated\n"
    "(default 100). Exit code: 0 all agree, 1 a disagreement or a fault, 2 bad usage\n"
    "or an unreadable or malformed corpus.\n";

// Returns a decimal number in [low, high]; throws UsageError naming the option.
std::uint64_t ParseNumber(const std::string& option, const std::string& text, std::uint64_t low,
                          std::uint64_t high) {
  if (text.empty() || text.size() > 20) throw UsageError(option + " needs a decimal number");
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') throw UsageError(option + " needs a decimal number, not \"" + text + "\"");
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) throw UsageError(option + " " + text + " is too large");
    value = value * 10 + digit;
  }
  if (value < low || value > high) {
    throw UsageError(option + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
  }
  return value;
}

Options ParseCheck(const std::vector<std::string>& args) {
  if (args.size() < 3 || args.size() > 4) throw UsageError("check needs KIND VALUE [SECOND]");
  Options options;
  options.mode = Mode::Check;
  options.checkKind = args[1];
  options.checkValue = args[2];
  if (args.size() == 4) options.checkSecond = args[3];
  return options;
}

// Returns the value after an option; throws UsageError when there is none.
const std::string& ValueOf(const std::vector<std::string>& args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
  return args[++i];
}

void CheckCombination(const Options& o, bool rules, bool against, bool library, bool seedOrCount,
                      bool corpus) {
  if (rules && (against || library)) throw UsageError("--rules takes neither --library nor --against-rules");
  if (seedOrCount && !against) throw UsageError("--seed and --count belong to --against-rules");
  if (!corpus && o.mode != Mode::AgainstRules) throw UsageError("no corpus given");
}

}  // namespace

const char* UsageText() { return kUsage; }

Options ParseOptions(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("no corpus given");
  if (args[0] == "check") return ParseCheck(args);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    Options help;
    help.mode = Mode::Help;
    return help;
  }
  Options o;
  bool rules = false, against = false, library = false, seedOrCount = false, corpus = false;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool option = !optionsEnd && a.size() > 1 && a[0] == '-';
    if (!option) {
      if (corpus) throw UsageError("more than one corpus given");
      o.corpus = a;
      corpus = true;
    } else if (a == "--") {
      optionsEnd = true;
    } else if (a == "--rules") {
      rules = true;
    } else if (a == "--against-rules") {
      against = true;
    } else if (a == "--library") {
      o.library = ValueOf(args, i);
      if (o.library.empty()) throw UsageError("--library needs a path");
      library = true;
    } else if (a == "--seed") {
      o.seed = ParseNumber(a, ValueOf(args, i), 0, UINT64_MAX);
      seedOrCount = true;
    } else if (a == "--count") {
      o.count = static_cast<std::uint32_t>(ParseNumber(a, ValueOf(args, i), 1, kMaxCount));
      seedOrCount = true;
    } else {
      throw UsageError("unknown option " + a);
    }
  }
  o.mode = rules ? Mode::Rules : against ? Mode::AgainstRules : Mode::Library;
  CheckCombination(o, rules, against, library, seedOrCount, corpus);
  return o;
}

}  // namespace vrifax_run
