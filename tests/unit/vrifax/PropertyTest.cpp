// The single-digit property: changing any one digit of a valid sample makes
// it invalid, for every rule and every sample, except where the rule itself
// says otherwise. Those exceptions are stated below with their reasons (and
// in docs/CHECKS.md); where the rule guarantees that the change goes
// unnoticed, the changed identifier is checked to stay valid.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/unit/vrifax/RuleCheck.h"
#include "tests/unit/vrifax/Samples.h"

namespace vrifax_test {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// One changed digit: which field (0 or 1), which digit of that field
// (counting digits only, from 0) and its new value.
struct Change {
  int field;
  std::size_t digit;
  char16_t value;
};

// Why a change does not have to invalidate a sample, by the rule's own
// terms. `mustStayValid`: the rule guarantees the same verdict; otherwise
// the rule allows either verdict (the change is not asserted).
struct Exception {
  const char* reason = nullptr;
  bool mustStayValid = false;
};

Exception StaysValid(const char* reason) { return {reason, true}; }
Exception MayStayValid(const char* reason) { return {reason, false}; }

// The digits of both fields, before and after the change.
struct Changed {
  const Sample& sample;
  const Change& change;
  std::u16string before;  // digits of the changed field, before
  std::u16string after;   // digits of the changed field, after
};

using RuleException = Exception (*)(const Changed&);

std::u16string DigitsOf(const std::u16string& text) {
  std::u16string digits;
  for (char16_t c : text) {
    if (IsDigit(c)) digits += c;
  }
  return digits;
}

int Digit(const std::u16string& digits, std::size_t i) { return digits[i] - u'0'; }

// The remainders that the rules fold into one check digit, worked from the
// published weights (see docs/CHECKS.md).
template <std::size_t N>
int WeightedRemainder(const std::u16string& digits, const int (&weights)[N], int modulus) {
  int sum = 0;
  for (std::size_t i = 0; i < N; ++i) sum += Digit(digits, i) * weights[i];
  return sum % modulus;
}

int NumberRemainder(const std::u16string& digits, std::size_t count, int modulus) {
  long long rest = 0;
  for (std::size_t i = 0; i < count; ++i) rest = (rest * 10 + Digit(digits, i)) % modulus;
  return static_cast<int>(rest);
}

// True when the remainders before and after differ by a multiple of 10:
// the rule writes both as the same check digit.
bool FoldedTogether(int before, int after) { return before != after && (before - after) % 10 == 0; }

Exception InnException(const Changed& c) {
  constexpr int k10[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
  constexpr int k11[] = {7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
  constexpr int k12[] = {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
  const std::u16string& b = c.before;
  const std::u16string& a = c.after;
  if (b.size() == 10) {
    if (FoldedTogether(WeightedRemainder(b, k10, 11), WeightedRemainder(a, k10, 11))) {
      return StaysValid("remainders 0 and 10 both give check digit 0");
    }
    return {};
  }
  const bool first = WeightedRemainder(b, k11, 11) == WeightedRemainder(a, k11, 11) ||
                     FoldedTogether(WeightedRemainder(b, k11, 11), WeightedRemainder(a, k11, 11));
  const bool second = FoldedTogether(WeightedRemainder(b, k12, 11), WeightedRemainder(a, k12, 11));
  if (c.change.digit < 10 && first && second)
    return StaysValid("remainders 0 and 10 both give check digit 0");
  return {};
}

Exception OgrnException(const Changed& c) {
  const std::size_t n = c.before.size() - 1;
  const int modulus = n == 12 ? 11 : 13;
  if (c.change.digit > 0 && c.change.digit < n &&
      FoldedTogether(NumberRemainder(c.before, n, modulus), NumberRemainder(c.after, n, modulus))) {
    return StaysValid("remainders 10 (11, 12) are written as their last digit 0 (1, 2)");
  }
  return {};
}

Exception EgnException(const Changed& c) {
  constexpr int kWeights[] = {2, 4, 8, 5, 10, 9, 7, 3, 6};
  if (FoldedTogether(WeightedRemainder(c.before, kWeights, 11), WeightedRemainder(c.after, kWeights, 11))) {
    return StaysValid("remainders 0 and 10 both give check digit 0");
  }
  return {};
}

Exception OkpoException(const Changed& c) {
  constexpr int kFirstPass[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::size_t n = c.before.size() - 1;
  if (c.change.digit == n) return {};
  int before = 0;
  int after = 0;
  for (std::size_t i = 0; i < n; ++i) {
    before += Digit(c.before, i) * kFirstPass[i];
    after += Digit(c.after, i) * kFirstPass[i];
  }
  if (before % 11 == 10 || after % 11 == 10) {
    return MayStayValid(
        "a first pass of 10 hands the check to the second pass, which may give the same digit");
  }
  return {};
}

Exception PensionException(const Changed& c) {
  const std::u16string& a = c.after;
  const long number = std::stol(std::string(a.begin(), a.begin() + 9));
  if (number > 0 && number <= 1001998) return StaysValid("numbers up to 001-001-998 carry no check");
  constexpr int kWeights[] = {9, 8, 7, 6, 5, 4, 3, 2, 1};
  const int before = WeightedRemainder(c.before, kWeights, 1000);
  const int after = WeightedRemainder(a, kWeights, 1000);
  // Sums whose check number is 00: 100, 101, then remainders 0 and 100 of 101.
  auto givesZero = [](int sum) { return sum >= 100 && (sum % 101 == 0 || sum % 101 == 100); };
  if (c.change.digit < 9 && before != after && givesZero(before) && givesZero(after)) {
    return StaysValid("sums 100 and 101 (201 and 202, ...) all give check number 00");
  }
  return {};
}

Exception CorrException(const Changed& c) {
  if (c.change.field == 1 && c.change.digit != 4 && c.change.digit != 5) {
    return StaysValid("only BIK digits 5-6 take part");
  }
  return {};
}

Exception SettlementException(const Changed& c) {
  if (c.change.field != 1) return {};
  const std::u16string& bik = c.before;
  const bool settlementCentre = bik[6] == u'0' && bik[7] == u'0';
  const std::size_t digit = c.change.digit;
  if (digit < 4) return StaysValid("BIK digits 1-4 take part in neither form");
  if (!settlementCentre && digit < 6) return StaysValid("BIK digits 5-6 take no part for a bank's own BIK");
  if (settlementCentre && digit == 8)
    return StaysValid("BIK digit 9 of a cash settlement centre takes no part");
  if (settlementCentre && digit >= 6) {
    return MayStayValid(
        "BIK digits 7-8 no longer 00 switch to the bank's own number, which may weigh the same");
  }
  return {};
}

Exception UkrException(const Changed& c) {
  const bool national = IsDigit(c.sample.first[0]);
  if (national && c.change.field == 1 && c.change.digit == 5) {
    return StaysValid("MFO digit 6 takes no part in the national rule");
  }
  return {};
}

struct RuleSamples {
  const char* rule;
  RuleCheck check;
  const Sample* samples;
  std::size_t count;
  RuleException exception;
};

template <std::size_t N>
RuleSamples Rule(const char* name, RuleCheck check, const Sample (&samples)[N], RuleException exception) {
  return {name, check, samples, N, exception};
}

// Returns `text` with its digit number `digit` set to `value`.
std::u16string WithDigit(std::u16string text, std::size_t digit, char16_t value) {
  std::size_t seen = 0;
  for (char16_t& c : text) {
    if (!IsDigit(c)) continue;
    if (seen++ == digit) {
      c = value;
      break;
    }
  }
  return text;
}

void CheckEveryChange(const RuleSamples& rule, const Sample& sample) {
  const std::u16string fields[2] = {sample.first, sample.second ? sample.second : u""};
  for (int field = 0; field < 2; ++field) {
    const std::u16string digits = DigitsOf(fields[field]);
    for (std::size_t digit = 0; digit < digits.size(); ++digit) {
      for (char16_t value = u'0'; value <= u'9'; ++value) {
        if (digits[digit] == value) continue;
        const Change change{field, digit, value};
        std::u16string changed[2] = {fields[0], fields[1]};
        changed[field] = WithDigit(changed[field], digit, value);
        const Exception exception = rule.exception(Changed{sample, change, digits, DigitsOf(changed[field])});
        const bool valid = rule.check(changed[0], changed[1]);
        const std::string where = std::string(rule.rule) + ": '" + Narrow(changed[0]) + "' / '" +
                                  Narrow(changed[1]) + "' (field " + std::to_string(field) + ", digit " +
                                  std::to_string(digit) + ")";
        if (!exception.reason) {
          EXPECT_FALSE(valid) << where << " must be invalid";
        } else if (exception.mustStayValid) {
          EXPECT_TRUE(valid) << where << " must stay valid: " << exception.reason;
        }
      }
    }
  }
}

TEST(SingleDigitChange, InvalidatesEverySample) {
  const RuleSamples rules[] = {
      Rule("INN", CheckInn, kInnSamples, InnException),
      Rule("pension number", CheckPension, kPensionSamples, PensionException),
      Rule("correspondent account", CheckCorr, kCorrSamples, CorrException),
      Rule("settlement account", CheckSettlement, kSettlementSamples, SettlementException),
      Rule("OKPO", CheckOkpo, kOkpoSamples, OkpoException),
      Rule("OGRN", CheckOgrn, kOgrnSamples, OgrnException),
      Rule("Ukrainian account", CheckUkr, kUkrSamples, UkrException),
      Rule("EGN", CheckEgn, kEgnSamples, EgnException),
  };
  for (const RuleSamples& rule : rules) {
    for (std::size_t i = 0; i < rule.count; ++i) CheckEveryChange(rule, rule.samples[i]);
  }
}

}  // namespace
}  // namespace vrifax_test
