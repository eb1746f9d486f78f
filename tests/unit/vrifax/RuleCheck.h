// One shape for all eight rules in the tests: two text fields in, verdict
// out (the second field is ignored by the one-field rules).
#pragma once

#include <string>
#include <string_view>

#include "vrifax/Rules.h"

namespace vrifax_test {

using RuleCheck = bool (*)(std::u16string_view, std::u16string_view);

// Returns the text with anything outside ASCII shown as '?', for messages.
inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

inline std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

inline bool CheckInn(std::u16string_view a, std::u16string_view) { return vrifax::IsValidInn(a); }
inline bool CheckPension(std::u16string_view a, std::u16string_view) {
  return vrifax::IsValidPensionNumber(a);
}
inline bool CheckCorr(std::u16string_view a, std::u16string_view b) {
  return vrifax::IsValidCorrAccount(a, b);
}
inline bool CheckSettlement(std::u16string_view a, std::u16string_view b) {
  return vrifax::IsValidSettlementAccount(a, b);
}
inline bool CheckOkpo(std::u16string_view a, std::u16string_view) { return vrifax::IsValidOkpo(a); }
inline bool CheckOgrn(std::u16string_view a, std::u16string_view) { return vrifax::IsValidOgrn(a); }
inline bool CheckUkr(std::u16string_view a, std::u16string_view b) { return vrifax::IsValidUkrAccount(a, b); }
inline bool CheckEgn(std::u16string_view a, std::u16string_view) { return vrifax::IsValidEgn(a); }

}  // namespace vrifax_test
