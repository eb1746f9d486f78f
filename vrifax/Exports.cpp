// The entry points of Vrifax.dll: read the counted string arguments, run the
// rule, and turn any failure into "not valid" so that nothing leaves the
// library but a one-byte verdict.
#include "vrifax/Exports.h"

#include <string_view>
#include <type_traits>

#include "vrifax/CountedArgument.h"
#include "vrifax/Rules.h"

static_assert(std::is_convertible_v<decltype(&IsValidINN), TCheckOne>, "one-argument signature");
static_assert(std::is_convertible_v<decltype(&IsValidCorrAccount), TCheckTwo>, "two-argument signature");

namespace {

using OneRule = bool (*)(std::u16string_view) noexcept;
using TwoRule = bool (*)(std::u16string_view, std::u16string_view) noexcept;

constexpr unsigned char kValid = 1;
constexpr unsigned char kNotValid = 0;

unsigned char Verdict(bool valid) { return valid ? kValid : kNotValid; }

unsigned char RunOne(OneRule rule, const char16_t* text) noexcept {
  try {
    const vrifax::CountedArgument arg = vrifax::ReadCountedArgument(text);
    return Verdict(arg.wellFormed && rule(arg.text));
  } catch (...) {
    return kNotValid;
  }
}

unsigned char RunTwo(TwoRule rule, const char16_t* first, const char16_t* second) noexcept {
  try {
    const vrifax::CountedArgument a = vrifax::ReadCountedArgument(first);
    const vrifax::CountedArgument b = vrifax::ReadCountedArgument(second);
    return Verdict(a.wellFormed && b.wellFormed && rule(a.text, b.text));
  } catch (...) {
    return kNotValid;
  }
}

}  // namespace

extern "C" {

unsigned char VRIFAX_CALL IsValidINN(const char16_t* inn) noexcept {
  return RunOne(&vrifax::IsValidInn, inn);
}

unsigned char VRIFAX_CALL IsValidPensionNumber(const char16_t* number) noexcept {
  return RunOne(&vrifax::IsValidPensionNumber, number);
}

unsigned char VRIFAX_CALL IsValidCorrAccount(const char16_t* account, const char16_t* bik) noexcept {
  return RunTwo(&vrifax::IsValidCorrAccount, account, bik);
}

unsigned char VRIFAX_CALL IsValidSettlementAccount(const char16_t* account, const char16_t* bik) noexcept {
  return RunTwo(&vrifax::IsValidSettlementAccount, account, bik);
}

unsigned char VRIFAX_CALL IsValidOKPO(const char16_t* okpo) noexcept {
  return RunOne(&vrifax::IsValidOkpo, okpo);
}

unsigned char VRIFAX_CALL IsValidOGRN(const char16_t* ogrn) noexcept {
  return RunOne(&vrifax::IsValidOgrn, ogrn);
}

unsigned char VRIFAX_CALL IsValidUkrAccount(const char16_t* account, const char16_t* mfo) noexcept {
  return RunTwo(&vrifax::IsValidUkrAccount, account, mfo);
}

unsigned char VRIFAX_CALL IsValidEGN(const char16_t* egn) noexcept {
  return RunOne(&vrifax::IsValidEgn, egn);
}

}  // extern "C"
