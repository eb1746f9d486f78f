// The entry points of Vrifax.dll, exported by ordinal only (Vrifax*.def).
//
//   unsigned char ok = IsValidINN(countedText);   // non-zero: valid
//
// Each takes counted UTF-16 strings (checklib/VrifaxApi.h) and returns a
// one-byte Boolean. Nothing is thrown out of them, whatever the input.
#pragma once

#include "checklib/VrifaxApi.h"

extern "C" {
unsigned char VRIFAX_CALL IsValidINN(const char16_t* inn) noexcept;                        // ordinal 1
unsigned char VRIFAX_CALL IsValidPensionNumber(const char16_t* number) noexcept;           // ordinal 4
unsigned char VRIFAX_CALL IsValidCorrAccount(const char16_t* account, const char16_t* bik) noexcept;  // 5
unsigned char VRIFAX_CALL IsValidSettlementAccount(const char16_t* account,
                                                   const char16_t* bik) noexcept;          // ordinal 6
unsigned char VRIFAX_CALL IsValidOKPO(const char16_t* okpo) noexcept;                      // ordinal 7
unsigned char VRIFAX_CALL IsValidOGRN(const char16_t* ogrn) noexcept;                      // ordinal 8
unsigned char VRIFAX_CALL IsValidUkrAccount(const char16_t* account, const char16_t* mfo) noexcept;  // 9
unsigned char VRIFAX_CALL IsValidEGN(const char16_t* egn) noexcept;                        // ordinal 10
}
