// The entry points linked straight in: the same checks that the built
// Vrifax.dll must pass, here under the sanitizers on the host (an exact-size
// block per argument, so any read past the header's length is caught).
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "tests/unit/vrifax/EntryCases.h"
#include "tests/unit/vrifax/RandomTexts.h"
#include "tests/unit/vrifax/RuleCheck.h"
#include "vrifax/Exports.h"

namespace vrifax_test {
namespace {

const EntryPoints kLinked = {IsValidINN,  IsValidPensionNumber, IsValidCorrAccount, IsValidSettlementAccount,
                             IsValidOKPO, IsValidOGRN,          IsValidUkrAccount,  IsValidEGN};

TEST(LinkedEntryPoints, Verdicts) { ExpectEntryVerdicts(kLinked); }
TEST(LinkedEntryPoints, NullArguments) { ExpectNullArgumentsNotValid(kLinked); }
TEST(LinkedEntryPoints, ReadOnlyTheHeaderLength) { ExpectOnlyLengthRead(kLinked); }
TEST(LinkedEntryPoints, MalformedHeaders) { ExpectMalformedHeadersNotValid(kLinked); }
TEST(LinkedEntryPoints, ArgumentsUntouched) { ExpectArgumentsUntouched(kLinked); }
TEST(LinkedEntryPoints, AllSamples) { ExpectAllSamplesValid(kLinked); }

// Random texts with junk after the header's length: the entry point gives
// the verdict of the text alone (under the sanitizers on the host, any read
// past the exact-size block would also be caught).
TEST(LinkedEntryPoints, RandomTextsAreReadUpToTheirLength) {
  struct Pair {
    TCheckOne one;
    TCheckTwo two;
    RuleCheck rule;
    const Sample* samples;
    std::size_t count;
  };
  const Pair pairs[] = {
      {IsValidINN, nullptr, CheckInn, kInnSamples, std::size(kInnSamples)},
      {IsValidPensionNumber, nullptr, CheckPension, kPensionSamples, std::size(kPensionSamples)},
      {nullptr, IsValidCorrAccount, CheckCorr, kCorrSamples, std::size(kCorrSamples)},
      {nullptr, IsValidSettlementAccount, CheckSettlement, kSettlementSamples, std::size(kSettlementSamples)},
      {IsValidOKPO, nullptr, CheckOkpo, kOkpoSamples, std::size(kOkpoSamples)},
      {IsValidOGRN, nullptr, CheckOgrn, kOgrnSamples, std::size(kOgrnSamples)},
      {nullptr, IsValidUkrAccount, CheckUkr, kUkrSamples, std::size(kUkrSamples)},
      {IsValidEGN, nullptr, CheckEgn, kEgnSamples, std::size(kEgnSamples)},
  };
  RandomTexts random(4242);
  int valid = 0;
  for (const Pair& p : pairs) {
    for (int round = 0; round < 300; ++round) {
      const Sample& s = p.samples[static_cast<std::size_t>(random.Pick(static_cast<int>(p.count)))];
      const std::u16string first = random.Edit(s.first);
      const std::u16string second = random.Edit(s.second ? s.second : u"");
      const std::u16string junk = random.Edit(u"7");
      using Layout = CountedString::Layout;
      const CountedString a(first + junk, Layout{static_cast<std::int32_t>(first.size())});
      const CountedString b(second + junk, Layout{static_cast<std::int32_t>(second.size())});
      const bool verdict = (p.one ? p.one(a.get()) : p.two(a.get(), b.get())) != 0;
      EXPECT_EQ(verdict, p.rule(first, second)) << "'" << Narrow(first) << "' / '" << Narrow(second) << "'";
      valid += verdict ? 1 : 0;
    }
  }
  EXPECT_GT(valid, 100) << "the edits must leave valid texts in the mix";
}

}  // namespace
}  // namespace vrifax_test
