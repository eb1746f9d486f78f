// Valid identifiers for the tests of the check library, each with where it
// is published. "constructed" marks a sample made by the published algorithm
// for a case no published sample covers; docs/CHECKS.md lists the sources.
#pragma once

#include <string>

namespace vrifax_test {

struct Sample {
  const char16_t* first;
  const char16_t* second;  // nullptr for one-argument checks
  const char* source;
};

// ---- INN -----------------------------------------------------------------
inline const Sample kInnSamples[] = {
    {u"7707083893", nullptr, "Sberbank's INN, in its published bank details"},
    {u"7736050003", nullptr, "Gazprom's INN, in its published company details"},
    {u"1234567894", nullptr, "python-stdnum / stdnum-js test data (ru.inn)"},
    {u"123456789047", nullptr, "python-stdnum / stdnum-js test data (ru.inn)"},
    {u"366220664163", nullptr, "python-stdnum / stdnum-js test data (ru.inn)"},
    {u"500100732259", nullptr, "recon-cli documentation on docs.rs (checkdigit/vat/ru)"},
    {u"9729285657", nullptr, "company invoice details in public source code (with OKPO 40213332)"},
};

// ---- Pension certificate number --------------------------------------------
inline const Sample kPensionSamples[] = {
    {u"112-233-445 95", nullptr, "Pension Fund's description of the check number (consultant.ru)"},
    {u"642-709-548 07", nullptr, "ru-validation-codes README (npm)"},
    {u"002-118-785 99", nullptr, "constructed: sum 99 is its own check number"},
    {u"002-506-816 00", nullptr, "constructed: sum 100 gives 00"},
    {u"002-229-651 00", nullptr, "constructed: sum 101 gives 00"},
    {u"002-158-380 01", nullptr, "constructed: sum 102 gives 102 mod 101 = 01"},
    {u"007-994-683 00", nullptr, "constructed: sum 201 gives remainder 100, so 00"},
    {u"007-875-898 00", nullptr, "constructed: sum 202 gives remainder 0"},
};

// ---- Correspondent account with BIK ----------------------------------------
inline const Sample kCorrSamples[] = {
    {u"30101810400000000225", u"044525225", "Sberbank's published bank details"},
    {u"30101810700000000187", u"044525187", "VTB Bank's published bank details"},
    {u"30101810200000000593", u"044525593", "Alfa-Bank's published bank details"},
    {u"30101810800000000746", u"049805000", "Bank of Russia letter 515 of 08.09.1997, appendix example 1"},
};

// ---- Settlement account with BIK -------------------------------------------
inline const Sample kSettlementSamples[] = {
    {u"40602810700000000025", u"049805746", "Bank of Russia letter 515 of 08.09.1997, appendix example 3"},
    {u"40102810100000010001", u"040305000",
     "Bank of Russia letter 515 of 08.09.1997, appendix example 2 (cash settlement centre)"},
    {u"40702810900000000025", u"044514512", "worked example of the key on 3-net.ru (key 9)"},
    {u"40702810238000139300", u"044525225",
     "company invoice details in public source code (with INN 9729285657)"},
    {u"40101810800000010041", u"044583001", "tax payment details for Moscow (UFK), cash settlement centre"},
    {u"40101810045250010041", u"044525000",
     "tax payment details for Moscow (UFK) at the Bank of Russia's main branch"},
};

// ---- OKPO ----------------------------------------------------------------
inline const Sample kOkpoSamples[] = {
    {u"00032537", nullptr, "Sberbank's published company details"},
    {u"00040778", nullptr, "Gazprom's published company details"},
    {u"40213332", nullptr, "company invoice details in public source code (with INN 9729285657)"},
    {u"10000356", nullptr, "constructed: first pass gives 10, second pass 6"},
    {u"10010360", nullptr, "constructed: both passes give 10, check 0"},
    {u"1000123456", nullptr, "constructed: 10 digits, first pass 6"},
    {u"1000000630", nullptr, "constructed: 10 digits, first pass 10, second pass 0 (weight 11 wraps to 1)"},
    {u"1000001750", nullptr, "constructed: 10 digits, both passes give 10"},
};

// ---- OGRN / OGRNIP -------------------------------------------------------
inline const Sample kOgrnSamples[] = {
    {u"1027700132195", nullptr, "Sberbank's published company details"},
    {u"1027700220624", nullptr, "the Pension Fund's OGRN in an article on dksecurity.ru"},
    {u"1117746358608", nullptr, "worked example on elmin.ru"},
    {u"1037739010891", nullptr, "the example of kontragent.info's OGRN calculator"},
    {u"1127746509780", nullptr, "ybelenko/ogrn README (packagist)"},
    {u"1027812400868", nullptr, "rin-nas/postgresql-patterns-library tests (is_ogrn)"},
    {u"304500116000157", nullptr, "ybelenko/ogrn README (packagist), OGRNIP"},
    {u"5077700000043", nullptr, "constructed: 13 digits starting with 5"},
    {u"5077700000000", nullptr, "constructed: remainder 10 gives 0"},
    {u"304500116000050", nullptr, "constructed: OGRNIP remainder 10 gives 0"},
    {u"304500116000061", nullptr, "constructed: OGRNIP remainder 11 gives 1"},
};

// ---- Ukrainian account with bank code --------------------------------------
inline const Sample kUkrSamples[] = {
    {u"26009202326400", u"300528",
     "invoice of a Ukrainian company in public source code, national form beside its IBAN"},
    {u"26005001352431", u"300528", "payment details of a Ukrainian company in public source code"},
    {u"26004455048529", u"300528", "invoice of a Ukrainian company in public source code (its IBAN below)"},
    {u"26005455018547", u"300528", "contract details of a Ukrainian company in public source code"},
    {u"26008364029900", u"351005", "contract details of a Ukrainian company in public source code"},
    {u"UA053005280000026009202326400", u"300528",
     "the same company's IBAN, published beside its national account"},
    {u"UA483005280000026004455048529", nullptr, "invoice of a Ukrainian company in public source code"},
    {u"UA213223130000026007233566001", nullptr, "SWIFT IBAN registry example for Ukraine"},
};

// ---- EGN -----------------------------------------------------------------
inline const Sample kEgnSamples[] = {
    {u"7523169263", nullptr, "python-stdnum documentation (bg.egn), 16 March 1875"},
    {u"6808070004", nullptr, "bg-egn-helper README (npm), 7 August 1968"},
    {u"0442291233", nullptr, "constructed: 29 February 2004"},
    {u"0042291239", nullptr, "constructed: 29 February 2000"},
    {u"1623311236", nullptr, "constructed: 31 March 1816"},
    {u"1603311231", nullptr, "constructed: 31 March 1916, the last Julian day"},
    {u"1604141232", nullptr, "constructed: 14 April 1916, the first Gregorian day"},
    {u"0402291234", nullptr, "constructed: 29 February 1904"},
};

}  // namespace vrifax_test
