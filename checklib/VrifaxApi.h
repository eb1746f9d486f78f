// The calling interface of the check library Vrifax.dll, shared by the
// library (vrifax/) and by the program that calls it (checklib/).
//
//   auto check = reinterpret_cast<TCheckOne>(GetProcAddress(lib, MAKEINTRESOURCEA(1)));
//   bool valid = check(text) != 0;
//
// Every entry point takes counted UTF-16 strings (layout below; an empty
// text is a null pointer) and returns a one-byte Boolean: non-zero valid.
// Entry points are exported by ordinal only.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define VRIFAX_CALL __stdcall
#else
#define VRIFAX_CALL
#endif

extern "C" {
using TCheckOne = unsigned char(VRIFAX_CALL*)(const char16_t* text);
using TCheckTwo = unsigned char(VRIFAX_CALL*)(const char16_t* first, const char16_t* second);
}

// Ordinals of the entry points (2 and 3 are never called).
enum class CheckOrdinal : std::uint16_t {
  INN = 1,
  PensionNumber = 4,
  CorrAccount = 5,
  SettlementAccount = 6,
  OKPO = 7,
  OGRN = 8,
  UkrAccount = 9,
  EGN = 10,
};

// The 12 bytes that stand before the first code unit of a counted string.
// A 16-bit zero follows the last code unit.
struct CountedStringHeader {
  std::uint16_t codePage;     // always 1200 (UTF-16LE)
  std::uint16_t elementSize;  // always 2
  std::int32_t refCount;      // 1: the caller's own reference
  std::int32_t length;        // code units, the terminator not counted
};
static_assert(sizeof(CountedStringHeader) == 12, "the header is 12 bytes");

constexpr std::uint16_t kCountedStringCodePage = 1200;
constexpr std::uint16_t kCountedStringElementSize = 2;

// Returns the header of a non-null counted string.
inline const CountedStringHeader* CountedHeader(const char16_t* text) {
  return reinterpret_cast<const CountedStringHeader*>(
      reinterpret_cast<const unsigned char*>(text) - sizeof(CountedStringHeader));
}

// Returns the length of a counted string in code units; 0 for null.
inline std::int32_t CountedLength(const char16_t* text) {
  return text ? CountedHeader(text)->length : 0;
}
