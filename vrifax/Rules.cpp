// The eight identifier checks: input form, check digit rules and the dates
// of the Bulgarian personal number. docs/CHECKS.md states each rule and where
// it is published.
#include "vrifax/Rules.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vrifax {
namespace {

// The longest run of digits any check reads (an IBAN's 27 after "UA").
constexpr std::size_t kMaxDigits = 27;

// The digits of one field, most significant first.
struct Digits {
  std::array<std::uint8_t, kMaxDigits> d{};
  std::size_t size = 0;

  int operator[](std::size_t i) const { return d[i]; }
  bool Push(char16_t c) {
    if (size == kMaxDigits) return false;
    d[size++] = static_cast<std::uint8_t>(c - u'0');
    return true;
  }
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Returns the text without leading and trailing spaces and tabs.
std::u16string_view Trim(std::u16string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// Reads a field that must be nothing but digits once trimmed.
bool ReadDigits(std::u16string_view text, Digits& out) {
  out = Digits{};
  for (char16_t c : Trim(text)) {
    if (!IsDigit(c) || !out.Push(c)) return false;
  }
  return out.size > 0;
}

bool AllZero(const Digits& digits, std::size_t from, std::size_t count) {
  for (std::size_t i = from; i < from + count; ++i) {
    if (digits[i] != 0) return false;
  }
  return true;
}

bool AllZero(const Digits& digits) { return AllZero(digits, 0, digits.size); }

// Reads a field of exactly `length` digits that are not all zero.
bool ReadNumber(std::u16string_view text, std::size_t length, Digits& out) {
  return ReadDigits(text, out) && out.size == length && !AllZero(out);
}

// Returns the sum of digits[from + i] * weights[i] over the weights.
template <std::size_t N>
int WeightedSum(const Digits& digits, const int (&weights)[N], std::size_t from = 0) {
  int sum = 0;
  for (std::size_t i = 0; i < N; ++i) sum += digits[from + i] * weights[i];
  return sum;
}

// ---- INN -----------------------------------------------------------------

constexpr int kInn10Weights[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr int kInn11Weights[] = {7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr int kInn12Weights[] = {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};

int Mod11Mod10(int sum) { return sum % 11 % 10; }

// ---- Pension certificate number ------------------------------------------

constexpr int kPensionWeights[] = {9, 8, 7, 6, 5, 4, 3, 2, 1};
// Numbers up to 001-001-998 were issued before the check number existed.
constexpr std::int32_t kLastUncheckedPensionNumber = 1001998;

// Reads "DDDDDDDDDDD", "DDD-DDD-DDD DD" or "DDD DDD DDD DD".
bool ReadPensionDigits(std::u16string_view text, Digits& out) {
  const std::u16string_view t = Trim(text);
  if (t.size() == 11) return ReadDigits(t, out);
  if (t.size() != 14) return false;
  const char16_t group = t[3];
  if ((group != u'-' && group != u' ') || t[7] != group || t[11] != u' ') return false;
  out = Digits{};
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (i == 3 || i == 7 || i == 11) continue;
    if (!IsDigit(t[i])) return false;
    out.Push(t[i]);
  }
  return true;
}

int PensionCheckNumber(int sum) {
  if (sum < 100) return sum;
  if (sum <= 101) return 0;
  const int rest = sum % 101;
  return rest == 100 ? 0 : rest;
}

// ---- Russian bank accounts -------------------------------------------------

constexpr std::size_t kAccountLength = 20;
constexpr std::size_t kBikLength = 9;
constexpr int kBankKeyWeights[] = {7, 1, 3};

// Returns whether the 23 digits `prefix` + `account` give a weighted sum
// (weights 7, 1, 3 repeating) that is a multiple of 10.
bool BankKeyFits(const std::array<int, 3>& prefix, const Digits& account) {
  int sum = 0;
  std::size_t position = 0;
  for (int digit : prefix) sum += digit * kBankKeyWeights[position++ % 3];
  for (std::size_t i = 0; i < account.size; ++i) sum += account[i] * kBankKeyWeights[position++ % 3];
  return sum % 10 == 0;
}

bool ReadAccountAndBik(std::u16string_view account, std::u16string_view bik, Digits& accountDigits,
                       Digits& bikDigits) {
  return ReadNumber(account, kAccountLength, accountDigits) && ReadNumber(bik, kBikLength, bikDigits);
}

// "0" + BIK digits 5-6: the number of a cash settlement centre.
std::array<int, 3> SettlementCentreNumber(const Digits& bik) { return {0, bik[4], bik[5]}; }

// ---- OKPO ----------------------------------------------------------------

// Returns the weighted sum mod 11 of every digit but the last, the weights
// starting at `firstWeight` and wrapping from 10 to 1.
int OkpoRemainder(const Digits& digits, int firstWeight) {
  int sum = 0;
  for (std::size_t i = 0; i + 1 < digits.size; ++i) {
    const int weight = (firstWeight - 1 + static_cast<int>(i)) % 10 + 1;
    sum += digits[i] * weight;
  }
  return sum % 11;
}

// ---- OGRN ----------------------------------------------------------------

// Returns the first `count` digits as a number (at most 14 digits here).
std::uint64_t LeadingNumber(const Digits& digits, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value * 10 + static_cast<std::uint64_t>(digits[i]);
  return value;
}

// ---- Ukrainian accounts ----------------------------------------------------

constexpr std::size_t kMfoLength = 6;
constexpr std::size_t kUkrAccountMin = 5;
constexpr std::size_t kUkrAccountMax = 14;
constexpr std::size_t kUkrControlPosition = 4;  // the account's 5th digit
constexpr int kMfoWeights[] = {1, 3, 7, 1, 3};
constexpr int kUkrAccountWeights[] = {3, 7, 1};
// After "UA": 2 check digits, the 6-digit MFO and the 19-digit account.
constexpr std::size_t kUkrIbanDigits = 27;
constexpr std::size_t kUkrIbanMfoAt = 2;

bool UkrNationalAccountFits(const Digits& account, const Digits& mfo) {
  int sum = 0;
  for (std::size_t i = 0; i < 5; ++i) sum += mfo[i] * kMfoWeights[i] % 10;
  for (std::size_t i = 0; i < account.size; ++i) {
    const int digit = i == kUkrControlPosition ? 0 : account[i];
    sum += digit * kUkrAccountWeights[i % 3] % 10;
  }
  sum += static_cast<int>(account.size);
  return sum * 7 % 10 == account[kUkrControlPosition];
}

bool IsLetter(char16_t c, char16_t upper) { return c == upper || c == upper + (u'a' - u'A'); }

// Reads "UA" + 27 digits, letters in either case, spaces allowed between the
// characters; fills `out` with the 27 digits.
bool ReadUkrIban(std::u16string_view text, Digits& out) {
  out = Digits{};
  std::size_t letters = 0;
  for (char16_t c : Trim(text)) {
    if (c == u' ') continue;
    if (letters < 2) {
      if (!IsLetter(c, letters == 0 ? u'U' : u'A')) return false;
      ++letters;
    } else if (!IsDigit(c) || !out.Push(c)) {
      return false;
    }
  }
  return out.size == kUkrIbanDigits;
}

// ISO 13616: the account part, then the country letters as numbers
// (U = 30, A = 10), then the check digits; the whole mod 97 must be 1.
bool UkrIbanChecksumFits(const Digits& digits) {
  int rest = 0;
  auto add = [&rest](int digit) { rest = (rest * 10 + digit) % 97; };
  for (std::size_t i = 2; i < digits.size; ++i) add(digits[i]);
  for (int digit : {3, 0, 1, 0}) add(digit);
  add(digits[0]);
  add(digits[1]);
  return rest == 1;
}

bool IsValidUkrIban(std::u16string_view iban, std::u16string_view mfo) {
  Digits digits;
  if (!ReadUkrIban(iban, digits)) return false;
  if (AllZero(digits, kUkrIbanMfoAt, kUkrIbanDigits - kUkrIbanMfoAt)) return false;
  if (!UkrIbanChecksumFits(digits)) return false;
  if (Trim(mfo).empty()) return true;
  Digits mfoDigits;
  if (!ReadNumber(mfo, kMfoLength, mfoDigits)) return false;
  for (std::size_t i = 0; i < kMfoLength; ++i) {
    if (mfoDigits[i] != digits[kUkrIbanMfoAt + i]) return false;
  }
  return true;
}

bool StartsLikeIban(std::u16string_view text) {
  const std::u16string_view t = Trim(text);
  return !t.empty() && !IsDigit(t.front());
}

// ---- EGN -----------------------------------------------------------------

constexpr int kEgnWeights[] = {2, 4, 8, 5, 10, 9, 7, 3, 6};

struct Date {
  int year;
  int month;
  int day;
};

// Bulgaria kept the Julian calendar until 31 March 1916, followed by
// 14 April 1916: before then every fourth year was a leap year.
bool IsLeapYear(int year) {
  if (year < 1916) return year % 4 == 0;
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool DateExists(const Date& date) {
  constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.month < 1 || date.month > 12 || date.day < 1) return false;
  int days = kDaysInMonth[date.month - 1];
  if (date.month == 2 && IsLeapYear(date.year)) days = 29;
  if (date.day > days) return false;
  const bool skipped = date.year == 1916 && date.month == 4 && date.day <= 13;
  return !skipped;
}

// Decodes YYMMDD, the month carrying the century: 1-12 the 1900s, 21-32 the
// 1800s, 41-52 the 2000s.
bool EgnDate(const Digits& digits, Date& date) {
  const int yy = digits[0] * 10 + digits[1];
  const int mm = digits[2] * 10 + digits[3];
  const int dd = digits[4] * 10 + digits[5];
  if (mm >= 1 && mm <= 12) {
    date = {1900 + yy, mm, dd};
  } else if (mm >= 21 && mm <= 32) {
    date = {1800 + yy, mm - 20, dd};
  } else if (mm >= 41 && mm <= 52) {
    date = {2000 + yy, mm - 40, dd};
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool IsValidInn(std::u16string_view text) noexcept {
  Digits d;
  if (!ReadDigits(text, d) || AllZero(d)) return false;
  if (d.size == 10) return Mod11Mod10(WeightedSum(d, kInn10Weights)) == d[9];
  if (d.size == 12) {
    return Mod11Mod10(WeightedSum(d, kInn11Weights)) == d[10] &&
           Mod11Mod10(WeightedSum(d, kInn12Weights)) == d[11];
  }
  return false;
}

bool IsValidPensionNumber(std::u16string_view text) noexcept {
  Digits d;
  if (!ReadPensionDigits(text, d) || AllZero(d, 0, 9)) return false;
  if (static_cast<std::int32_t>(LeadingNumber(d, 9)) <= kLastUncheckedPensionNumber) return true;
  return PensionCheckNumber(WeightedSum(d, kPensionWeights)) == d[9] * 10 + d[10];
}

bool IsValidCorrAccount(std::u16string_view account, std::u16string_view bik) noexcept {
  Digits a;
  Digits b;
  if (!ReadAccountAndBik(account, bik, a, b)) return false;
  return BankKeyFits(SettlementCentreNumber(b), a);
}

bool IsValidSettlementAccount(std::u16string_view account, std::u16string_view bik) noexcept {
  Digits a;
  Digits b;
  if (!ReadAccountAndBik(account, bik, a, b)) return false;
  const bool atSettlementCentre = b[6] == 0 && b[7] == 0;
  const std::array<int, 3> bankNumber =
      atSettlementCentre ? SettlementCentreNumber(b) : std::array<int, 3>{b[6], b[7], b[8]};
  return BankKeyFits(bankNumber, a);
}

bool IsValidOkpo(std::u16string_view text) noexcept {
  Digits d;
  if (!ReadDigits(text, d) || (d.size != 8 && d.size != 10) || AllZero(d)) return false;
  int check = OkpoRemainder(d, 1);
  if (check == 10) check = OkpoRemainder(d, 3);
  if (check == 10) check = 0;
  return check == d[d.size - 1];
}

bool IsValidOgrn(std::u16string_view text) noexcept {
  Digits d;
  if (!ReadDigits(text, d)) return false;
  if (d.size == 13 && (d[0] == 1 || d[0] == 5)) {
    return static_cast<int>(LeadingNumber(d, 12) % 11 % 10) == d[12];
  }
  if (d.size == 15 && d[0] == 3) {
    return static_cast<int>(LeadingNumber(d, 14) % 13 % 10) == d[14];
  }
  return false;
}

bool IsValidUkrAccount(std::u16string_view account, std::u16string_view mfo) noexcept {
  if (StartsLikeIban(account)) return IsValidUkrIban(account, mfo);
  Digits a;
  Digits m;
  if (!ReadDigits(account, a) || a.size < kUkrAccountMin || a.size > kUkrAccountMax || AllZero(a)) {
    return false;
  }
  if (!ReadNumber(mfo, kMfoLength, m)) return false;
  return UkrNationalAccountFits(a, m);
}

bool IsValidEgn(std::u16string_view text) noexcept {
  Digits d;
  Date date{};
  if (!ReadDigits(text, d) || d.size != 10) return false;
  if (!EgnDate(d, date) || !DateExists(date)) return false;
  return Mod11Mod10(WeightedSum(d, kEgnWeights)) == d[9];
}

}  // namespace vrifax
