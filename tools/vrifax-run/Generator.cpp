// The generated inputs: valid identifiers by the published check digit
// algorithms (docs/CHECKS.md), then their variants.
#include "tools/vrifax-run/Generator.h"

#include <string_view>

namespace vrifax_run {
namespace {

int DigitAt(const std::string& s, std::size_t i) { return s[i] - '0'; }
char DigitChar(int d) { return static_cast<char>('0' + d); }

std::string RandomDigits(Random& random, std::size_t count, bool leadingNonZero = true) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += random.Digit(leadingNonZero && i == 0);
  return s;
}

template <std::size_t N>
int WeightedSum(const std::string& s, const int (&weights)[N]) {
  int sum = 0;
  for (std::size_t i = 0; i < N; ++i) sum += DigitAt(s, i) * weights[i];
  return sum;
}

// ---- INN, pension number, OKPO, OGRN, EGN -----------------------------------

constexpr int kInn10Weights[] = {2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr int kInn11Weights[] = {7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
constexpr int kInn12Weights[] = {3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};

std::string MakeInn(Random& random) {
  if (random.Below(2) == 0) {
    std::string s = RandomDigits(random, 9);
    return s + DigitChar(WeightedSum(s, kInn10Weights) % 11 % 10);
  }
  std::string s = RandomDigits(random, 10);
  s += DigitChar(WeightedSum(s, kInn11Weights) % 11 % 10);
  return s + DigitChar(WeightedSum(s, kInn12Weights) % 11 % 10);
}

constexpr int kPensionWeights[] = {9, 8, 7, 6, 5, 4, 3, 2, 1};

std::string MakePensionNumber(Random& random) {
  // Above 001-001-998, where the check number begins.
  const int number = random.Between(1001999, 999999999);
  std::string s = std::to_string(number);
  s.insert(0, 9 - s.size(), '0');
  const int sum = WeightedSum(s, kPensionWeights);
  int check = sum < 100 ? sum : sum <= 101 ? 0 : sum % 101 % 100;
  s += DigitChar(check / 10);
  s += DigitChar(check % 10);
  switch (random.Below(3)) {
    case 0: return s;
    case 1: return s.substr(0, 3) + "-" + s.substr(3, 3) + "-" + s.substr(6, 3) + " " + s.substr(9);
    default: return s.substr(0, 3) + " " + s.substr(3, 3) + " " + s.substr(6, 3) + " " + s.substr(9);
  }
}

int OkpoRemainder(const std::string& s, int firstWeight) {
  int sum = 0;
  for (std::size_t i = 0; i < s.size(); ++i) sum += DigitAt(s, i) * ((firstWeight - 1 + static_cast<int>(i)) % 10 + 1);
  return sum % 11;
}

std::string MakeOkpo(Random& random) {
  std::string s = RandomDigits(random, random.Below(2) ? 7 : 9, false);
  if (s.find_first_not_of('0') == std::string::npos) s[0] = '1';
  int check = OkpoRemainder(s, 1);
  if (check == 10) check = OkpoRemainder(s, 3);
  if (check == 10) check = 0;
  return s + DigitChar(check);
}

std::string MakeOgrn(Random& random) {
  const bool individual = random.Below(3) == 0;  // OGRNIP
  std::string s(1, individual ? '3' : (random.Below(2) ? '1' : '5'));
  s += RandomDigits(random, individual ? 13 : 11, false);
  std::uint64_t number = 0;
  for (char c : s) number = number * 10 + static_cast<std::uint64_t>(c - '0');
  return s + DigitChar(static_cast<int>(number % (individual ? 13 : 11) % 10));
}

constexpr int kEgnWeights[] = {2, 4, 8, 5, 10, 9, 7, 3, 6};

// Julian leap years before the calendar change of 1916.
int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year < 1916 ? year % 4 == 0 : (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string TwoDigits(int n) { return std::string{DigitChar(n / 10), DigitChar(n % 10)}; }

std::string MakeEgn(Random& random) {
  int year = 0;
  int month = 0;
  int day = 0;
  do {
    year = random.Between(1800, 2099);
    month = random.Between(1, 12);
    day = random.Between(1, DaysInMonth(year, month));
  } while (year == 1916 && month == 4 && day <= 13);  // days the change skipped
  const int monthCode = year < 1900 ? month + 20 : year < 2000 ? month : month + 40;
  std::string s = TwoDigits(year % 100) + TwoDigits(monthCode) + TwoDigits(day) + RandomDigits(random, 3, false);
  return s + DigitChar(WeightedSum(s, kEgnWeights) % 11 % 10);
}

// ---- Russian bank accounts ----------------------------------------------------

constexpr std::size_t kKeyPosition = 8;  // the account's 9th digit

// Sets the account's key so that prefix + account weigh a multiple of 10
// (weights 7, 1, 3 repeating; the key's weight is 3).
std::string WithKey(const std::string& prefix, std::string account) {
  constexpr int kWeights[] = {7, 1, 3};
  account[kKeyPosition] = '0';
  const std::string all = prefix + account;
  int sum = 0;
  for (std::size_t i = 0; i < all.size(); ++i) sum += DigitAt(all, i) * kWeights[i % 3];
  account[kKeyPosition] = DigitChar(7 * (10 - sum % 10) % 10);  // 3 * 7 = 1 mod 10
  return account;
}

std::string MakeBik(Random& random) { return "04" + RandomDigits(random, 7, false); }

std::string CentreNumber(const std::string& bik) { return "0" + bik.substr(4, 2); }

Identifier MakeCorrAccount(Random& random) {
  const std::string bik = MakeBik(random);
  return {WithKey(CentreNumber(bik), "30101810" + RandomDigits(random, 12, false)), bik};
}

Identifier MakeSettlementAccount(Random& random) {
  std::string bik = MakeBik(random);
  if (random.Below(4) == 0) bik.replace(6, 2, "00");  // a cash settlement centre's BIK
  const bool centre = bik.compare(6, 2, "00") == 0;
  const std::string prefix = centre ? CentreNumber(bik) : bik.substr(6, 3);
  return {WithKey(prefix, "40702810" + RandomDigits(random, 12, false)), bik};
}

// ---- Ukrainian accounts ----------------------------------------------------

Identifier MakeUkrNational(Random& random) {
  constexpr int kMfoWeights[] = {1, 3, 7, 1, 3};
  constexpr int kAccountWeights[] = {3, 7, 1};
  const std::string mfo = RandomDigits(random, 6);
  std::string account = RandomDigits(random, static_cast<std::size_t>(random.Between(5, 14)));
  account[4] = '0';
  int sum = 0;
  for (std::size_t i = 0; i < 5; ++i) sum += DigitAt(mfo, i) * kMfoWeights[i] % 10;
  for (std::size_t i = 0; i < account.size(); ++i) sum += DigitAt(account, i) * kAccountWeights[i % 3] % 10;
  sum += static_cast<int>(account.size());
  account[4] = DigitChar(sum * 7 % 10);
  return {account, mfo};
}

Identifier MakeUkrIban(Random& random) {
  const std::string bban = RandomDigits(random, 6) + RandomDigits(random, 19, false);
  int rest = 0;
  for (char c : bban + "301000") rest = (rest * 10 + (c - '0')) % 97;  // U=30, A=10, check 00
  const std::string iban = "UA" + TwoDigits(98 - rest) + bban;
  return {iban, random.Below(2) ? bban.substr(0, 6) : std::string()};
}

// ---- Variants ------------------------------------------------------------

struct Emitter {
  Kind kind;
  const std::function<void(const GeneratedInput&)>& visit;

  static std::u16string Widen(std::string_view s) { return std::u16string(s.begin(), s.end()); }

  void Emit(const std::u16string& first, const std::u16string& second, std::string how) const {
    visit(GeneratedInput{kind, first, second, std::move(how)});
  }
};

// Each digit of `field` changed to each other digit.
void DigitChanges(const Emitter& out, const Identifier& id, bool inSecond) {
  const std::string& field = inSecond ? id.second : id.first;
  const char* which = inSecond ? "bank code digit " : "digit ";
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') continue;
    for (char d = '0'; d <= '9'; ++d) {
      if (d == field[i]) continue;
      std::string changed = field;
      changed[i] = d;
      const std::u16string first = Emitter::Widen(inSecond ? id.first : changed);
      const std::u16string second = Emitter::Widen(inSecond ? changed : id.second);
      out.Emit(first, second, which + std::to_string(i + 1) + " changed to " + d);
    }
  }
}

struct Wrapping {
  const char16_t* before;
  const char16_t* after;
  const char* how;
};
constexpr Wrapping kWrappings[] = {
    {u" ", u"", "leading space"},
    {u"", u" ", "trailing space"},
    {u"\t", u"", "leading tab"},
    {u"", u"\t", "trailing tab"},
    {u" \t ", u"\t \t", "blanks around"},
    {u"\u00A0", u"", "leading no-break space"},
    {u"", u"\n", "trailing line feed"},
    {u"", u"\r\n", "trailing CR LF"},
};

struct Insertion {
  const char16_t* text;
  const char* how;
};
constexpr Insertion kInsertions[] = {
    {u" ", "space inside"},
    {u"-", "hyphen inside"},
    {u"\t", "tab inside"},
    {u".", "full stop inside"},
};

void Separators(const Emitter& out, const std::u16string& first, const std::u16string& second) {
  for (const Wrapping& w : kWrappings) {
    out.Emit(w.before + first + w.after, second, std::string(w.how) + " in the value");
    if (!second.empty()) out.Emit(first, w.before + second + w.after, std::string(w.how) + " in the bank code");
  }
  const std::size_t middle = first.size() / 2;
  for (const Insertion& in : kInsertions) {
    out.Emit(first.substr(0, middle) + in.text + first.substr(middle), second, in.how);
  }
}

// Digits of other scripts in place of the first ASCII digit.
void OtherScripts(const Emitter& out, const std::u16string& first, const std::u16string& second) {
  const std::size_t at = first.find_first_of(u"0123456789");
  if (at == std::u16string::npos) return;
  struct Script {
    char16_t zero;
    const char* how;
  };
  constexpr Script kScripts[] = {{u'\u0660', "Arabic-Indic digit"}, {u'\uFF10', "fullwidth digit"}};
  for (const Script& script : kScripts) {
    std::u16string changed = first;
    changed[at] = static_cast<char16_t>(script.zero + (first[at] - u'0'));
    out.Emit(changed, second, script.how);
  }
}

void WrongLengths(const Emitter& out, const std::u16string& first, const std::u16string& second) {
  out.Emit(first.substr(0, first.size() - 1), second, "last character dropped");
  out.Emit(first.substr(1), second, "first character dropped");
  out.Emit(first + u"0", second, "a digit appended");
  out.Emit(u"0" + first, second, "a digit prepended");
  out.Emit(first + first, second, "written twice");
  out.Emit(u"", second, "empty value");
  if (!second.empty()) {
    out.Emit(first, second.substr(0, second.size() - 1), "bank code one digit short");
    out.Emit(first, second + u"0", "bank code one digit long");
    out.Emit(first, u"", "empty bank code");
  }
}

// The IBAN's other printed forms: lower case, groups of four.
void IbanForms(const Emitter& out, const std::u16string& first, const std::u16string& second) {
  if (first.size() < 2 || first[0] != u'U') return;
  std::u16string lower = first;
  lower[0] = u'u';
  lower[1] = u'a';
  out.Emit(lower, second, "IBAN in lower case");
  std::u16string grouped;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (i && i % 4 == 0) grouped += u' ';
    grouped += first[i];
  }
  out.Emit(grouped, second, "IBAN in groups of four");
}

void EmitWithVariants(const Emitter& out, const Identifier& id) {
  const std::u16string first = Emitter::Widen(id.first);
  const std::u16string second = Emitter::Widen(id.second);
  out.Emit(first, second, "valid");
  DigitChanges(out, id, false);
  if (!id.second.empty()) DigitChanges(out, id, true);
  Separators(out, first, second);
  OtherScripts(out, first, second);
  WrongLengths(out, first, second);
  IbanForms(out, first, second);
}

}  // namespace

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

unsigned Random::Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }

int Random::Between(int low, int high) {
  return low + static_cast<int>(Below(static_cast<unsigned>(high - low + 1)));
}

char Random::Digit(bool nonZero) { return DigitChar(nonZero ? 1 + static_cast<int>(Below(9)) : static_cast<int>(Below(10))); }

Identifier MakeValid(Kind kind, Random& random) {
  switch (kind) {
    case Kind::Inn: return {MakeInn(random), {}};
    case Kind::Snils: return {MakePensionNumber(random), {}};
    case Kind::Rs: return MakeSettlementAccount(random);
    case Kind::Ks: return MakeCorrAccount(random);
    case Kind::Okpo: return {MakeOkpo(random), {}};
    case Kind::Ogrn: return {MakeOgrn(random), {}};
    case Kind::UaAccount: return random.Below(2) ? MakeUkrNational(random) : MakeUkrIban(random);
    case Kind::Egn: return {MakeEgn(random), {}};
  }
  return {};
}

void Generate(std::uint64_t seed, std::size_t count,
              const std::function<void(const GeneratedInput&)>& visit) {
  Random random(seed);
  for (const KindRow& row : kKinds) {
    const Emitter out{row.kind, visit};
    for (std::size_t i = 0; i < count; ++i) EmitWithVariants(out, MakeValid(row.kind, random));
  }
}

}  // namespace vrifax_run
