// The command line: what each form runs, and the forms refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/vrifax-run/Options.h"

namespace vrifax_run {
namespace {

using Args = std::vector<std::string>;

TEST(Options, Forms) {
  struct Case {
    Args args;
    Mode mode;
    std::string corpus;
    std::string library;
  };
  const Case cases[] = {
      {{"c.tsv"}, Mode::Library, "c.tsv", ""},
      {{"--library", "x\\Vrifax.dll", "c.tsv"}, Mode::Library, "c.tsv", "x\\Vrifax.dll"},
      {{"c.tsv", "--library", "v.dll"}, Mode::Library, "c.tsv", "v.dll"},
      {{"--rules", "-"}, Mode::Rules, "-", ""},
      {{"--against-rules"}, Mode::AgainstRules, "", ""},
      {{"--against-rules", "--library", "v.dll", "c.tsv"}, Mode::AgainstRules, "c.tsv", "v.dll"},
      {{"--rules", "--", "--odd-name.tsv"}, Mode::Rules, "--odd-name.tsv", ""},
      {{"--help"}, Mode::Help, "", ""},
  };
  for (const Case& c : cases) {
    const Options o = ParseOptions(c.args);
    EXPECT_EQ(o.mode, c.mode) << c.args[0];
    EXPECT_EQ(o.corpus, c.corpus) << c.args[0];
    EXPECT_EQ(o.library, c.library) << c.args[0];
  }
}

TEST(Options, SeedAndCount) {
  const Options defaults = ParseOptions({"--against-rules"});
  EXPECT_FALSE(defaults.seed.has_value());
  EXPECT_EQ(defaults.count, kDefaultCount);
  const Options o = ParseOptions({"--against-rules", "--seed", "18446744073709551615", "--count", "1000000"});
  EXPECT_EQ(o.seed.value(), 18446744073709551615ull);
  EXPECT_EQ(o.count, 1000000u);
}

TEST(Options, Check) {
  const Options one = ParseOptions({"check", "inn", "7707083893"});
  EXPECT_EQ(one.mode, Mode::Check);
  EXPECT_EQ(one.checkKind, "inn");
  EXPECT_EQ(one.checkValue, "7707083893");
  EXPECT_EQ(one.checkSecond, "");
  const Options two = ParseOptions({"check", "ks", "30101810400000000225", "044525225"});
  EXPECT_EQ(two.checkSecond, "044525225");
}

TEST(Options, RefusedForms) {
  struct Case {
    Args args;
    std::string error;
  };
  const Case cases[] = {
      {{}, "no corpus given"},
      {{"--rules"}, "no corpus given"},
      {{"--library", "v.dll"}, "no corpus given"},
      {{"a.tsv", "b.tsv"}, "more than one corpus given"},
      {{"--rules", "--library", "v.dll", "c.tsv"}, "--rules takes neither --library nor --against-rules"},
      {{"--rules", "--against-rules"}, "--rules takes neither --library nor --against-rules"},
      {{"--seed", "1", "c.tsv"}, "--seed and --count belong to --against-rules"},
      {{"--against-rules", "--seed"}, "--seed needs a value"},
      {{"--against-rules", "--seed", "-1"}, "--seed needs a decimal number, not \"-1\""},
      {{"--against-rules", "--seed", "18446744073709551616"}, "--seed 18446744073709551616 is too large"},
      {{"--against-rules", "--count", "0"}, "--count must lie between 1 and 1000000"},
      {{"--against-rules", "--count", "1000001"}, "--count must lie between 1 and 1000000"},
      {{"--against-rules", "--count", "12x"}, "--count needs a decimal number, not \"12x\""},
      {{"--library", "", "c.tsv"}, "--library needs a path"},
      {{"--verbose", "c.tsv"}, "unknown option --verbose"},
      {{"check", "inn"}, "check needs KIND VALUE [SECOND]"},
      {{"check", "ks", "1", "2", "3"}, "check needs KIND VALUE [SECOND]"},
  };
  for (const Case& c : cases) {
    try {
      ParseOptions(c.args);
      ADD_FAILURE() << "accepted: " << c.error;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

}  // namespace
}  // namespace vrifax_run
