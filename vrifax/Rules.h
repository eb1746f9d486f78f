// The eight identifier checks of the check library, as portable C++.
//
//   bool ok = vrifax::IsValidInn(u" 7707083893 ");   // true
//
// Each function takes the field's text as typed (UTF-16 code units, not
// trimmed) and returns whether it is a valid identifier. An empty view stands
// for an empty field. Leading and trailing spaces and tabs are ignored;
// everything else must match the identifier's form exactly (see
// docs/CHECKS.md for every rule and its public source). The functions keep
// no state, allocate nothing and never throw.
#pragma once

#include <string_view>

namespace vrifax {

// Returns whether `text` is a Russian taxpayer number (INN) of 10 or 12 digits
// with correct check digits.
bool IsValidInn(std::u16string_view text) noexcept;

// Returns whether `text` is a pension certificate number (SNILS): 11 digits,
// "DDD-DDD-DDD DD" or "DDD DDD DDD DD", with a correct check number.
bool IsValidPensionNumber(std::u16string_view text) noexcept;

// Returns whether `account` is a correspondent account (20 digits) whose
// control key fits the bank identification code `bik` (9 digits).
bool IsValidCorrAccount(std::u16string_view account, std::u16string_view bik) noexcept;

// Returns whether `account` is a settlement account (20 digits) whose control
// key fits the bank identification code `bik` (9 digits), including banks'
// accounts at a cash settlement centre of the Bank of Russia.
bool IsValidSettlementAccount(std::u16string_view account, std::u16string_view bik) noexcept;

// Returns whether `text` is an OKPO code of 8 or 10 digits with a correct
// check digit.
bool IsValidOkpo(std::u16string_view text) noexcept;

// Returns whether `text` is an OGRN (13 digits, first digit 1 or 5) or an
// OGRNIP (15 digits, first digit 3) with a correct check digit.
bool IsValidOgrn(std::u16string_view text) noexcept;

// Returns whether `account` is a Ukrainian national account (5 to 14 digits)
// whose control digit fits the bank code `mfo` (6 digits), or a Ukrainian
// IBAN that passes the mod-97 test and, when `mfo` is not empty, carries
// that bank code.
bool IsValidUkrAccount(std::u16string_view account, std::u16string_view mfo) noexcept;

// Returns whether `text` is a Bulgarian personal number (EGN) whose date of
// birth exists and whose check digit is correct.
bool IsValidEgn(std::u16string_view text) noexcept;

}  // namespace vrifax
