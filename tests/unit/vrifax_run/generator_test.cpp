// The generated inputs: the valid identifiers are valid by the rules, the
// variants are the ones promised, and a seed repeats its run.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/vrifax-run/Generator.h"

namespace vrifax_run {
namespace {

std::vector<GeneratedInput> GenerateAll(std::uint64_t seed, std::size_t count) {
  std::vector<GeneratedInput> all;
  Generate(seed, count, [&](const GeneratedInput& input) { all.push_back(input); });
  return all;
}

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

TEST(Random, IsSplitMix64) {
  // The published first outputs of splitmix64 from the seed 0, so a seed
  // gives the same inputs on every platform and library.
  Random random(0);
  EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(random.Next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(random.Next(), 0x06C45D188009454Full);
}

TEST(Generator, ValidIdentifiersAreValidByTheRules) {
  Random random(12345);
  for (const KindRow& row : kKinds) {
    for (int i = 0; i < 2000; ++i) {
      const Identifier id = MakeValid(row.kind, random);
      const std::u16string first(id.first.begin(), id.first.end());
      const std::u16string second(id.second.begin(), id.second.end());
      ASSERT_TRUE(RulesSay(row.kind, first, second)) << row.name << " " << id.first << " / " << id.second;
    }
  }
}

TEST(Generator, CoversTheFormsOfEachKind) {
  // Each form is reached within a few hundred identifiers.
  Random random(7);
  std::map<std::string, int> seen;
  for (int i = 0; i < 500; ++i) {
    seen[MakeValid(Kind::Inn, random).first.size() == 10 ? "inn 10" : "inn 12"]++;
    const std::string snils = MakeValid(Kind::Snils, random).first;
    seen[snils.size() == 11 ? "snils plain" : snils[3] == '-' ? "snils hyphens" : "snils spaces"]++;
    const std::string bik = MakeValid(Kind::Rs, random).second;
    seen[bik.compare(6, 2, "00") == 0 ? "rs at a settlement centre" : "rs at a bank"]++;
    seen["okpo " + std::to_string(MakeValid(Kind::Okpo, random).first.size())]++;
    const std::string ogrn = MakeValid(Kind::Ogrn, random).first;
    seen["ogrn " + ogrn.substr(0, 1)]++;
    const Identifier ua = MakeValid(Kind::UaAccount, random);
    seen[ua.first[0] == 'U' ? (ua.second.empty() ? "iban alone" : "iban with bank code") : "ua national"]++;
    const std::string egn = MakeValid(Kind::Egn, random).first;
    const int month = std::stoi(egn.substr(2, 2));
    seen[month > 40 ? "egn 2000s" : month > 20 ? "egn 1800s" : "egn 1900s"]++;
  }
  for (const char* form : {"inn 10", "inn 12", "snils plain", "snils hyphens", "snils spaces",
                           "rs at a settlement centre", "rs at a bank", "okpo 8", "okpo 10", "ogrn 1",
                           "ogrn 5", "ogrn 3", "iban alone", "iban with bank code", "ua national",
                           "egn 2000s", "egn 1800s", "egn 1900s"}) {
    EXPECT_GT(seen[form], 0) << form;
  }
}

TEST(Generator, EveryDigitOfEveryFieldIsChangedToEveryOtherDigit) {
  const std::vector<GeneratedInput> all = GenerateAll(99, 1);
  ASSERT_FALSE(all.empty());
  for (const KindRow& row : kKinds) {
    const GeneratedInput* valid = nullptr;
    std::size_t changes = 0;
    for (const GeneratedInput& input : all) {
      if (input.kind != row.kind) continue;
      if (input.how == "valid") valid = &input;
      if (input.how.find("changed to") != std::string::npos) {
        ++changes;
        // Exactly one code unit differs from the valid identifier.
        const std::u16string& field = input.how.rfind("bank code", 0) == 0 ? input.second : input.first;
        const std::u16string& original = input.how.rfind("bank code", 0) == 0 ? valid->second : valid->first;
        ASSERT_EQ(field.size(), original.size()) << input.how;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < field.size(); ++i) differing += field[i] != original[i];
        EXPECT_EQ(differing, 1u) << row.name << " " << input.how;
      }
    }
    ASSERT_NE(valid, nullptr) << row.name;
    std::size_t digits = 0;
    for (char16_t c : valid->first + valid->second) digits += c >= u'0' && c <= u'9';
    EXPECT_EQ(changes, 9 * digits) << row.name << " " << Narrow(valid->first);
  }
}

TEST(Generator, VariantsMeanWhatTheyAreCalled) {
  struct Case {
    const char* how;
    bool validByRules;  // of a variant of a valid identifier
  };
  const Case cases[] = {
      {"valid", true},
      {"leading space in the value", true},
      {"trailing tab in the value", true},
      {"blanks around in the value", true},
      {"leading no-break space in the value", false},
      {"trailing line feed in the value", false},
      {"trailing CR LF in the value", false},
      {"Arabic-Indic digit", false},
      {"fullwidth digit", false},
      {"empty value", false},
      {"written twice", false},
      {"full stop inside", false},
  };
  const std::vector<GeneratedInput> all = GenerateAll(3, 5);
  for (const Case& c : cases) {
    std::size_t found = 0;
    for (const GeneratedInput& input : all) {
      if (input.how != c.how) continue;
      ++found;
      EXPECT_EQ(RulesSay(input.kind, input.first, input.second), c.validByRules)
          << c.how << ": " << RowOf(input.kind).name << " " << Narrow(input.first);
    }
    EXPECT_EQ(found, 5 * kKindCount) << c.how << ": once per identifier";
  }
}

TEST(Generator, ASeedRepeatsItsRun) {
  const std::vector<GeneratedInput> a = GenerateAll(2026, 3);
  const std::vector<GeneratedInput> b = GenerateAll(2026, 3);
  const std::vector<GeneratedInput> other = GenerateAll(2027, 3);
  ASSERT_EQ(a.size(), b.size());
  bool differs = a.size() != other.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].first, b[i].first);
    EXPECT_EQ(a[i].second, b[i].second);
    EXPECT_EQ(a[i].how, b[i].how);
    if (!differs && i < other.size()) differs = a[i].first != other[i].first;
  }
  EXPECT_TRUE(differs) << "another seed gives other identifiers";
}

}  // namespace
}  // namespace vrifax_run
