// Checks of the check library's entry points that hold whether they are
// linked in (host and Windows unit tests) or looked up by ordinal in the
// built Vrifax.dll: verdicts through real counted strings, null arguments,
// the header's length as the only extent of the text, malformed headers and
// arguments left untouched.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "checklib/VrifaxApi.h"
#include "tests/unit/vrifax/CountedString.h"
#include "tests/unit/vrifax/Samples.h"

namespace vrifax_test {

struct EntryPoints {
  TCheckOne inn;
  TCheckOne pension;
  TCheckTwo corr;
  TCheckTwo settlement;
  TCheckOne okpo;
  TCheckOne ogrn;
  TCheckTwo ukr;
  TCheckOne egn;
};

struct EntryCase {
  TCheckOne one;  // set for one-argument checks
  TCheckTwo two;  // set for two-argument checks
  const char16_t* first;
  const char16_t* second;
  bool expected;
  const char* reason;
};

inline bool Call(const EntryCase& c, const char16_t* first, const char16_t* second) {
  return (c.one ? c.one(first) : c.two(first, second)) != 0;
}

inline void ExpectEntryVerdicts(const EntryPoints& e) {
  const EntryCase cases[] = {
      {e.inn, nullptr, u"7707083893", nullptr, true, "INN, Sberbank"},
      {e.inn, nullptr, u"7707083894", nullptr, false, "INN, check digit changed"},
      {e.pension, nullptr, u"112-233-445 95", nullptr, true, "SNILS, the Pension Fund's example"},
      {e.pension, nullptr, u"112-233-445 96", nullptr, false, "SNILS, check changed"},
      {nullptr, e.corr, u"30101810400000000225", u"044525225", true, "corr. account, Sberbank"},
      {nullptr, e.corr, u"30101810400000000225", u"044535225", false, "corr. account, other BIK"},
      {nullptr, e.settlement, u"40602810700000000025", u"049805746", true, "settlement, letter 515"},
      {nullptr, e.settlement, u"30101810400000000225", u"044525225", false, "settlement, a corr. account"},
      {e.okpo, nullptr, u"00032537", nullptr, true, "OKPO, Sberbank"},
      {e.okpo, nullptr, u"00032538", nullptr, false, "OKPO, check changed"},
      {e.ogrn, nullptr, u"1027700132195", nullptr, true, "OGRN, Sberbank"},
      {e.ogrn, nullptr, u"304500116000157", nullptr, true, "OGRNIP"},
      {e.ogrn, nullptr, u"1027700132196", nullptr, false, "OGRN, check changed"},
      {nullptr, e.ukr, u"26009202326400", u"300528", true, "Ukrainian national account"},
      {nullptr, e.ukr, u"UA05 3005 2800 0002 6009 2023 2640 0", nullptr, true, "Ukrainian IBAN, no MFO"},
      {nullptr, e.ukr, u"26009202326400", u"300538", false, "Ukrainian account, other MFO"},
      {e.egn, nullptr, u"7523169263", nullptr, true, "EGN"},
      {e.egn, nullptr, u"1604011239", nullptr, false, "EGN, a skipped day of 1916"},
  };
  for (const EntryCase& c : cases) {
    const CountedArg first(c.first);
    const CountedArg second(c.second);
    EXPECT_EQ(Call(c, first.get(), second.get()), c.expected) << c.reason;
  }
}

inline void ExpectNullArgumentsNotValid(const EntryPoints& e) {
  for (TCheckOne one : {e.inn, e.pension, e.okpo, e.ogrn, e.egn}) EXPECT_EQ(one(nullptr), 0);
  const CountedString account(u"30101810400000000225");
  const CountedString bik(u"044525225");
  for (TCheckTwo two : {e.corr, e.settlement, e.ukr}) {
    EXPECT_EQ(two(nullptr, nullptr), 0);
    EXPECT_EQ(two(nullptr, bik.get()), 0);
  }
  EXPECT_EQ(e.corr(account.get(), nullptr), 0) << "correspondent account without BIK";
  EXPECT_EQ(e.settlement(account.get(), nullptr), 0) << "settlement account without BIK";
  const CountedString national(u"26009202326400");
  EXPECT_EQ(e.ukr(national.get(), nullptr), 0) << "national account without MFO";
  const CountedString iban(u"UA053005280000026009202326400");
  EXPECT_NE(e.ukr(iban.get(), nullptr), 0) << "an IBAN needs no MFO";
}

// The header's length, not the terminator, bounds the text.
inline void ExpectOnlyLengthRead(const EntryPoints& e) {
  using Layout = CountedString::Layout;
  EXPECT_NE(e.inn(CountedString(u"7707083893999", Layout{10}).get()), 0) << "text longer than its length";
  EXPECT_EQ(e.inn(CountedString(u"7707083893", Layout{9}).get()), 0) << "length one short of the text";
  EXPECT_EQ(e.inn(CountedString(u"7707083893", Layout{0}).get()), 0) << "length 0";
  EXPECT_NE(e.inn(CountedString(u"7707083893", Layout{10, 1200, 2, false}).get()), 0)
      << "no terminator after the text";
  EXPECT_NE(e.ogrn(CountedString(u"1027700132195 junk", Layout{13}).get()), 0) << "OGRN, junk after length";
  const CountedString bik(u"044525225", Layout{9, 1200, 2, false});
  EXPECT_NE(e.corr(CountedString(u"30101810400000000225000", Layout{20}).get(), bik.get()), 0)
      << "account longer than its length";
}

inline void ExpectMalformedHeadersNotValid(const EntryPoints& e) {
  using Layout = CountedString::Layout;
  const Layout layouts[] = {
      {-1, 1200, 2, true},
      {10, 1251, 2, true},
      {10, 1200, 1, true},
      {static_cast<std::int32_t>(0x80000000u), 1200, 2, true},
  };
  for (const Layout& layout : layouts) {
    EXPECT_EQ(e.inn(CountedString(u"7707083893", layout).get()), 0)
        << "length " << layout.length << ", code page " << layout.codePage << ", element size "
        << layout.elementSize;
  }
  const CountedString account(u"26009202326400");
  EXPECT_EQ(e.ukr(account.get(), CountedString(u"300528", Layout{-6}).get()), 0) << "malformed MFO";
  const CountedString iban(u"UA053005280000026009202326400");
  EXPECT_EQ(e.ukr(iban.get(), CountedString(u"", Layout{-1}).get()), 0) << "malformed empty MFO";
}

inline void ExpectArgumentsUntouched(const EntryPoints& e) {
  const CountedString account(u"40702810238000139300");
  const CountedString bik(u"044525225");
  const std::size_t accountBytes = 12 + 21 * 2;
  const std::size_t bikBytes = 12 + 10 * 2;
  std::vector<unsigned char> accountBefore(accountBytes);
  std::vector<unsigned char> bikBefore(bikBytes);
  const auto* accountBlock = reinterpret_cast<const unsigned char*>(account.get()) - 12;
  const auto* bikBlock = reinterpret_cast<const unsigned char*>(bik.get()) - 12;
  std::memcpy(accountBefore.data(), accountBlock, accountBytes);
  std::memcpy(bikBefore.data(), bikBlock, bikBytes);
  EXPECT_NE(e.settlement(account.get(), bik.get()), 0);
  EXPECT_EQ(std::memcmp(accountBefore.data(), accountBlock, accountBytes), 0) << "account changed";
  EXPECT_EQ(std::memcmp(bikBefore.data(), bikBlock, bikBytes), 0) << "BIK changed (reference count?)";
}

// Every valid sample of every rule through the entry points.
template <std::size_t N>
void ExpectSamplesThrough(TCheckOne one, TCheckTwo two, const Sample (&samples)[N]) {
  for (const Sample& s : samples) {
    const CountedArg first(s.first);
    const CountedArg second(s.second);
    const unsigned char verdict = one ? one(first.get()) : two(first.get(), second.get());
    EXPECT_NE(verdict, 0) << s.source;
  }
}

inline void ExpectAllSamplesValid(const EntryPoints& e) {
  ExpectSamplesThrough(e.inn, nullptr, kInnSamples);
  ExpectSamplesThrough(e.pension, nullptr, kPensionSamples);
  ExpectSamplesThrough(nullptr, e.corr, kCorrSamples);
  ExpectSamplesThrough(nullptr, e.settlement, kSettlementSamples);
  ExpectSamplesThrough(e.okpo, nullptr, kOkpoSamples);
  ExpectSamplesThrough(e.ogrn, nullptr, kOgrnSamples);
  ExpectSamplesThrough(nullptr, e.ukr, kUkrSamples);
  ExpectSamplesThrough(e.egn, nullptr, kEgnSamples);
}

}  // namespace vrifax_test
