// The eight rules of the check library, case by case: every published or
// constructed sample is valid, and each invalid case fails for its reason.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/vrifax/RandomTexts.h"
#include "tests/unit/vrifax/RuleCheck.h"
#include "tests/unit/vrifax/Samples.h"

namespace vrifax_test {
namespace {

struct Case {
  const char16_t* first;
  const char16_t* second;
  bool expected;
  const char* reason;
};

template <std::size_t N>
void ExpectSamplesValid(RuleCheck check, const Sample (&samples)[N]) {
  for (const Sample& s : samples) {
    EXPECT_TRUE(check(View(s.first), View(s.second)))
        << Narrow(View(s.first)) << " / " << Narrow(View(s.second)) << " from " << s.source;
  }
}

template <std::size_t N>
void ExpectCases(RuleCheck check, const Case (&cases)[N]) {
  for (const Case& c : cases) {
    EXPECT_EQ(check(View(c.first), View(c.second)), c.expected)
        << "'" << Narrow(View(c.first)) << "' / '" << Narrow(View(c.second)) << "': " << c.reason;
  }
}

TEST(Inn, SamplesAreValid) { ExpectSamplesValid(CheckInn, kInnSamples); }

TEST(Inn, Cases) {
  const Case cases[] = {
      {u" \t7707083893\t ", nullptr, true, "leading and trailing spaces and tabs are ignored"},
      {u"7707083894", nullptr, false, "check digit changed"},
      {u"7707083839", nullptr, false, "last two digits swapped"},
      {u"7707038893", nullptr, false, "two inner digits swapped"},
      {u"1234567895", nullptr, false, "wrong check digit (stdnum test data)"},
      {u"123456789037", nullptr, false, "wrong 11th digit (stdnum test data)"},
      {u"123456789048", nullptr, false, "12-digit: only the 12th digit wrong"},
      {u"770708389", nullptr, false, "9 digits"},
      {u"77070838930", nullptr, false, "11 digits"},
      {u"1234567890470", nullptr, false, "13 digits"},
      {u"77070838A3", nullptr, false, "a letter"},
      {u"7707 083893", nullptr, false, "a space inside"},
      {u"7707-083893", nullptr, false, "a hyphen inside"},
      {u"\x0667\x0667\x0660\x0667\x0660\x0668\x0663\x0668\x0669\x0663", nullptr, false,
       "digits of another script"},
      {u"0000000000", nullptr, false, "all zeros (10)"},
      {u"000000000000", nullptr, false, "all zeros (12)"},
      {u"", nullptr, false, "empty"},
      {nullptr, nullptr, false, "empty field"},
      {u" \t ", nullptr, false, "only blanks"},
  };
  ExpectCases(CheckInn, cases);
}

TEST(PensionNumber, SamplesAreValid) { ExpectSamplesValid(CheckPension, kPensionSamples); }

TEST(PensionNumber, Cases) {
  const Case cases[] = {
      {u"11223344595", nullptr, true, "plain digits"},
      {u"112 233 445 95", nullptr, true, "the form with spaces"},
      {u"  112-233-445 95\t", nullptr, true, "surrounding blanks"},
      {u"112-233-445 96", nullptr, false, "check number changed"},
      {u"121-233-445 95", nullptr, false, "two digits swapped"},
      {u"112-233 445 95", nullptr, false, "hyphen and space mixed"},
      {u"112 233-445 95", nullptr, false, "space and hyphen mixed"},
      {u"112-233-445-95", nullptr, false, "hyphen before the check number"},
      {u"112-233-44595", nullptr, false, "no separator before the check number"},
      {u"112233445 95", nullptr, false, "only the last separator"},
      {u"112-233-445  95", nullptr, false, "two spaces"},
      {u"112\t233\t445\t95", nullptr, false, "tabs as separators"},
      {u"1122334459", nullptr, false, "10 digits"},
      {u"112233445950", nullptr, false, "12 digits"},
      {u"112-233-445 9O", nullptr, false, "a letter O"},
      {u"000-000-000 00", nullptr, false, "all zeros"},
      {u"000-000-000 15", nullptr, false, "number part all zeros is never issued"},
      {u"002-506-816 01", nullptr, false, "sum 100 must give 00, not 01"},
      {u"002-506-816 10", nullptr, false, "sum 100 must give 00, not 10"},
      {u"002-229-651 01", nullptr, false, "sum 101 must give 00, not 01"},
      {u"002-158-380 02", nullptr, false, "sum 102 must give 01"},
      {u"007-994-683 99", nullptr, false, "sum 201 gives remainder 100, which is 00"},
      {u"001-001-998 00", nullptr, true, "001-001-998 carries no check"},
      {u"001-001-998 57", nullptr, true, "001-001-998 carries no check, any check digits"},
      {u"000-000-001 99", nullptr, true, "small numbers carry no check"},
      {u"001-001-999 65", nullptr, true, "001-001-999 is the first checked number (sum 65)"},
      {u"001-001-999 00", nullptr, false, "001-001-999 is checked"},
      {nullptr, nullptr, false, "empty field"},
  };
  ExpectCases(CheckPension, cases);
}

TEST(CorrAccount, SamplesAreValid) { ExpectSamplesValid(CheckCorr, kCorrSamples); }

TEST(CorrAccount, Cases) {
  const Case cases[] = {
      {u" 30101810400000000225 ", u"\t044525225 ", true, "blanks around both fields"},
      {u"30101810400000000226", u"044525225", false, "last digit changed"},
      {u"30101810500000000225", u"044525225", false, "control key changed"},
      {u"30101810400000000252", u"044525225", false, "last two digits swapped"},
      {u"30101810400000000225", u"044535225", false, "BIK digit 5 changed"},
      {u"30101810400000000225", u"044552225", false, "BIK digits 5 and 6 swapped"},
      {u"30101810600000000225", u"044525225", false,
       "passes the settlement formula (BIK digits 7-9) but not its own"},
      {u"40702810238000139300", u"044525225", false, "a settlement account, not a correspondent one"},
      {u"3010181040000000022", u"044525225", false, "19-digit account"},
      {u"301018104000000002250", u"044525225", false, "21-digit account"},
      {u"30101810400000000225", u"04452522", false, "8-digit BIK"},
      {u"30101810400000000225", u"0445252250", false, "10-digit BIK"},
      {u"3010181040000000022S", u"044525225", false, "a letter in the account"},
      {u"30101 810400000000225", u"044525225", false, "a space inside the account"},
      {u"30101810400000000225", u"04-4525225", false, "a hyphen in the BIK"},
      {u"00000000000000000000", u"044525225", false, "account all zeros"},
      {u"30101810400000000225", u"000000000", false, "BIK all zeros"},
      {nullptr, u"044525225", false, "empty account"},
      {u"30101810400000000225", nullptr, false, "empty BIK"},
  };
  ExpectCases(CheckCorr, cases);
}

TEST(SettlementAccount, SamplesAreValid) { ExpectSamplesValid(CheckSettlement, kSettlementSamples); }

TEST(SettlementAccount, Cases) {
  const Case cases[] = {
      {u"40702810238000139300 ", u" 044525225", true, "blanks around both fields"},
      {u"40702810238000139301", u"044525225", false, "last digit changed"},
      {u"40702810338000139300", u"044525225", false, "control key changed"},
      {u"40702810238000139300", u"044525226", false, "BIK digit 9 changed"},
      {u"40702810238000193300", u"044525225", false, "two digits swapped"},
      {u"30101810400000000225", u"044525225", false,
       "a correspondent account passes its own formula, not this one"},
      {u"30101810600000000225", u"044525225", true,
       "passes this formula (the correspondent check rejects it)"},
      {u"40602810700000000025", u"049805747", false, "BIK of another bank"},
      {u"40702810000000010001", u"040305000", false,
       "cash settlement centre: would pass with BIK digits 7-9, not with 0 + digits 5-6"},
      {u"40102810100000010001", u"040306000", false, "cash settlement centre: BIK digit 6 changed"},
      {u"40102810100000010001", u"040305001", true, "cash settlement centre: BIK digit 9 takes no part"},
      {u"4070281023800013930", u"044525225", false, "19-digit account"},
      {u"40702810238000139300", u"44525225", false, "8-digit BIK"},
      {u"4070281023800013930O", u"044525225", false, "a letter in the account"},
      {u"40702810238000139300", u"044525225x", false, "a letter after the BIK"},
      {u"00000000000000000000", u"044525225", false, "account all zeros"},
      {u"40702810238000139300", u"000000000", false, "BIK all zeros"},
      {nullptr, u"044525225", false, "empty account"},
      {u"40702810238000139300", nullptr, false, "empty BIK"},
  };
  ExpectCases(CheckSettlement, cases);
}

TEST(Okpo, SamplesAreValid) { ExpectSamplesValid(CheckOkpo, kOkpoSamples); }

TEST(Okpo, Cases) {
  const Case cases[] = {
      {u"\t00032537 ", nullptr, true, "surrounding blanks"},
      {u"00032538", nullptr, false, "check digit changed"},
      {u"00023537", nullptr, false, "two digits swapped"},
      {u"10000350", nullptr, false, "first pass 10 is not the check: the second pass gives 6"},
      {u"10000351", nullptr, false, "first pass 10 with check 1"},
      {u"10010361", nullptr, false, "both passes 10 give 0, not 1"},
      {u"1000000631", nullptr, false, "10 digits: second pass gives 0"},
      {u"1000001751", nullptr, false, "10 digits: both passes 10 give 0"},
      {u"0003253", nullptr, false, "7 digits"},
      {u"000325370", nullptr, false, "9 digits"},
      {u"10001234560", nullptr, false, "11 digits"},
      {u"0003253T", nullptr, false, "a letter"},
      {u"0003 2537", nullptr, false, "a space inside"},
      {u"00000000", nullptr, false, "all zeros (8)"},
      {u"0000000000", nullptr, false, "all zeros (10)"},
      {nullptr, nullptr, false, "empty field"},
  };
  ExpectCases(CheckOkpo, cases);
}

TEST(Ogrn, SamplesAreValid) { ExpectSamplesValid(CheckOgrn, kOgrnSamples); }

TEST(Ogrn, Cases) {
  const Case cases[] = {
      {u" 1027700132195 ", nullptr, true, "surrounding blanks"},
      {u"1027700132196", nullptr, false, "check digit changed"},
      {u"1027700132915", nullptr, false, "two digits swapped"},
      {u"4057910142110", nullptr, false, "passes mod 11 but starts with 4"},
      {u"2027700132195", nullptr, false, "starts with 2"},
      {u"5077700000040", nullptr, false, "starts with 5, wrong check"},
      {u"304500116000158", nullptr, false, "OGRNIP check digit changed"},
      {u"313242342342332", nullptr, false, "OGRNIP with a wrong check (ru-validation-codes README)"},
      {u"304500116000051", nullptr, false, "OGRNIP remainder 10 must give 0"},
      {u"304500116000060", nullptr, false, "OGRNIP remainder 11 must give 1"},
      {u"104500116000157", nullptr, false, "15 digits starting with 1"},
      {u"3027700132195", nullptr, false, "13 digits starting with 3"},
      {u"102770013219", nullptr, false, "12 digits"},
      {u"10277001321950", nullptr, false, "14 digits"},
      {u"3045001160001570", nullptr, false, "16 digits"},
      {u"102770013219S", nullptr, false, "a letter"},
      {u"1027700 132195", nullptr, false, "a space inside"},
      {u"0000000000000", nullptr, false, "all zeros (13)"},
      {u"000000000000000", nullptr, false, "all zeros (15)"},
      {nullptr, nullptr, false, "empty field"},
  };
  ExpectCases(CheckOgrn, cases);
}

TEST(UkrAccount, SamplesAreValid) { ExpectSamplesValid(CheckUkr, kUkrSamples); }

TEST(UkrAccount, Cases) {
  const Case cases[] = {
      {u" 26009202326400\t", u" 300528 ", true, "blanks around both fields"},
      {u"26009202326401", u"300528", false, "last digit changed"},
      {u"26008202326400", u"300528", false, "control digit changed"},
      {u"26009202326400", u"300529", true, "MFO digit 6 takes no part in the national rule"},
      {u"26009202326400", u"300538", false, "MFO digit 5 changed"},
      {u"26009022326400", u"300528", false, "two digits swapped"},
      {u"2600", u"300528", false, "4-digit account"},
      {u"260092023264001", u"300528", false, "15-digit account"},
      {u"26009202326400", u"30052", false, "5-digit MFO"},
      {u"26009202326400", u"3005280", false, "7-digit MFO"},
      {u"26009202326400", nullptr, false, "national account without MFO"},
      {u"2600 9202326400", u"300528", false, "a space inside a national account"},
      {u"00000000000000", u"300528", false, "account all zeros"},
      {u"26009202326400", u"000000", false, "MFO all zeros"},
      {u"UA05 3005 2800 0002 6009 2023 2640 0", u"300528", true, "IBAN in groups of four"},
      {u"ua053005280000026009202326400", nullptr, true, "IBAN in lower case"},
      {u"uA05300528 0000026009202326400", nullptr, true, "IBAN, mixed case and a space"},
      {u"UA053005280000026009202326400", u"  ", true, "IBAN with a blank bank code field"},
      {u"UA053005280000026009202326401", nullptr, false, "IBAN last digit changed"},
      {u"UA503005280000026009202326400", nullptr, false, "IBAN check digits swapped"},
      {u"UA903052990000026009011702860", nullptr, false, "IBAN failing mod 97 (a published typo)"},
      {u"UA053005280000026009202326400", u"305299", false, "IBAN of another bank than the MFO"},
      {u"UA053005280000026009202326400", u"30052", false, "IBAN with a malformed MFO"},
      {u"UA05300528000002600920232640", nullptr, false, "IBAN of 28 characters"},
      {u"UA0530052800000260092023264000", nullptr, false, "IBAN of 30 characters"},
      {u"DE053005280000026009202326400", nullptr, false, "another country"},
      {u"UA05-3005-2800-0002-6009-2023-2640-0", nullptr, false, "hyphens in the IBAN"},
      {u"UA05\t300528 0000026009202326400", nullptr, false, "a tab inside the IBAN"},
      {u"UA0530052800000260092023264O0", nullptr, false, "a letter in the IBAN's digits"},
      {u"UA", nullptr, false, "country letters only"},
      {nullptr, u"300528", false, "empty account"},
  };
  ExpectCases(CheckUkr, cases);
}

TEST(Egn, SamplesAreValid) { ExpectSamplesValid(CheckEgn, kEgnSamples); }

TEST(Egn, Cases) {
  const Case cases[] = {
      {u" 7523169263\t", nullptr, true, "surrounding blanks"},
      {u"7523169264", nullptr, false, "check digit changed"},
      {u"7532169263", nullptr, false, "two digits swapped"},
      {u"1202291239", nullptr, true, "29 February 1912, a leap year"},
      {u"0142291232", nullptr, false, "29 February 2001 does not exist"},
      {u"0102291233", nullptr, false, "29 February 1901 does not exist"},
      {u"9922291233", nullptr, false, "29 February 1899 does not exist"},
      {u"0002291230", nullptr, true, "29 February 1900: Julian calendar, a leap year in Bulgaria"},
      {u"0022291234", nullptr, true, "29 February 1800: Julian calendar, a leap year in Bulgaria"},
      {u"1604011239", nullptr, false, "1 April 1916 was skipped"},
      {u"1604131234", nullptr, false, "13 April 1916 was skipped"},
      {u"9904311231", nullptr, false, "31 April does not exist"},
      {u"9904301233", nullptr, true, "30 April 1999"},
      {u"4521051234", nullptr, true, "month 21: January 1845"},
      {u"2312311235", nullptr, true, "month 12: December 1923"},
      {u"0412314569", nullptr, true, "month 12: 31 December 1904"},
      {u"9900011236", nullptr, false, "month 00"},
      {u"9913011237", nullptr, false, "month 13"},
      {u"9920011230", nullptr, false, "month 20"},
      {u"9933011231", nullptr, false, "month 33"},
      {u"9940011235", nullptr, false, "month 40"},
      {u"9953011236", nullptr, false, "month 53"},
      {u"9901001232", nullptr, false, "day 00"},
      {u"9901321236", nullptr, false, "day 32"},
      {u"752316926", nullptr, false, "9 digits"},
      {u"75231692630", nullptr, false, "11 digits"},
      {u"752316926E", nullptr, false, "a letter"},
      {u"752316 9263", nullptr, false, "a space inside"},
      {u"0000000000", nullptr, false, "all zeros"},
      {nullptr, nullptr, false, "empty field"},
  };
  ExpectCases(CheckEgn, cases);
}

struct RuleWithSamples {
  RuleCheck check;
  const Sample* samples;
  std::size_t count;
};

template <std::size_t N>
RuleWithSamples With(RuleCheck check, const Sample (&samples)[N]) {
  return {check, samples, N};
}

const RuleWithSamples kAllRules[] = {
    With(CheckInn, kInnSamples),   With(CheckPension, kPensionSamples),
    With(CheckCorr, kCorrSamples), With(CheckSettlement, kSettlementSamples),
    With(CheckOkpo, kOkpoSamples), With(CheckOgrn, kOgrnSamples),
    With(CheckUkr, kUkrSamples),   With(CheckEgn, kEgnSamples),
};

// Blanks around a field never change a verdict, valid or not.
TEST(AllRules, SurroundingBlanksNeverChangeTheVerdict) {
  RandomTexts random(20261210);
  int valid = 0;
  int invalid = 0;
  for (const RuleWithSamples& rule : kAllRules) {
    for (int round = 0; round < 400; ++round) {
      const Sample& s = rule.samples[static_cast<std::size_t>(random.Pick(static_cast<int>(rule.count)))];
      const std::u16string first = random.Edit(s.first);
      const std::u16string second = random.Edit(s.second ? s.second : u"");
      const bool verdict = rule.check(first, second);
      (verdict ? valid : invalid)++;
      EXPECT_EQ(
          rule.check(random.Blanks() + first + random.Blanks(), random.Blanks() + second + random.Blanks()),
          verdict)
          << "'" << Narrow(first) << "' / '" << Narrow(second) << "'";
    }
  }
  // The edits must leave both verdicts in the mix, or the test shows nothing.
  EXPECT_GT(valid, 100);
  EXPECT_GT(invalid, 100);
}

}  // namespace
}  // namespace vrifax_test
