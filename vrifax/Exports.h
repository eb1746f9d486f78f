// The entry points of Vrifax.dll, exported by ordinal only (Vrifax*.def).
//
//   unsigned char ok = IsValidINN(countedText);   // non-zero: valid
//
// Each takes counted UTF-16 strings (checklib/VrifaxApi.h) and returns a
// one-byte Boolean. Nothing is thrown out of them, whatever the input.
// Ordinals: INN 1, pension number 4, correspondent account 5, settlement
// account 6, OKPO 7, OGRN 8, Ukrainian account 9, EGN 10.
#pragma once

#include "checklib/VrifaxApi.h"

extern "C" {
unsigned char VRIFAX_CALL IsValidINN(const char16_t* inn) noexcept;
unsigned char VRIFAX_CALL IsValidPensionNumber(const char16_t* number) noexcept;
unsigned char VRIFAX_CALL IsValidCorrAccount(const char16_t* account, const char16_t* bik) noexcept;
unsigned char VRIFAX_CALL IsValidSettlementAccount(const char16_t* account, const char16_t* bik) noexcept;
unsigned char VRIFAX_CALL IsValidOKPO(const char16_t* okpo) noexcept;
unsigned char VRIFAX_CALL IsValidOGRN(const char16_t* ogrn) noexcept;
unsigned char VRIFAX_CALL IsValidUkrAccount(const char16_t* account, const char16_t* mfo) noexcept;
unsigned char VRIFAX_CALL IsValidEGN(const char16_t* egn) noexcept;
}
