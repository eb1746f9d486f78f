// The entry points linked straight in: the same checks that the built
// Vrifax.dll must pass, here under the sanitizers on the host (an exact-size
// block per argument, so any read past the header's length is caught).
#include <gtest/gtest.h>

#include "tests/unit/vrifax/EntryCases.h"
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

}  // namespace
}  // namespace vrifax_test
