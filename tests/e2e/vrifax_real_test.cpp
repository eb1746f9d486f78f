// The shipped program with the shipped check library: every check command
// gives the valid verdict for a published identifier and the invalid verdict
// for the same identifier with its last digit changed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "tests/unit/vrifax/Samples.h"

namespace {

using e2e::Dialog;
using e2e::Session;
using vrifax_test::Sample;

struct Command {
  const wchar_t* button;
  int page;  // 0 tsRus, 1 tsUkr, 2 tsBulg
  const wchar_t* first;
  const wchar_t* second;
  const Sample& sample;  // the first published sample of the rule
  bool reportBox;
};

const Command kCommands[] = {
    {L"Button1", 0, L"Edit1", nullptr, vrifax_test::kInnSamples[0], false},
    {L"Button2", 0, L"Edit2", nullptr, vrifax_test::kPensionSamples[0], false},
    {L"Button3", 0, L"Edit3", L"Edit6", vrifax_test::kSettlementSamples[0], false},
    {L"Button4", 0, L"Edit4", L"Edit7", vrifax_test::kCorrSamples[0], false},
    {L"Button5", 0, L"Edit5", nullptr, vrifax_test::kOkpoSamples[0], false},
    {L"Button7", 0, L"Edit8", nullptr, vrifax_test::kOgrnSamples[0], false},
    {L"Button8", 1, L"Edit9", L"Edit10", vrifax_test::kUkrSamples[0], false},
    {L"Button10", 2, L"Edit11", nullptr, vrifax_test::kEgnSamples[0], true},
};

std::wstring Wide(const char16_t* text) {
  return text ? std::wstring(reinterpret_cast<const wchar_t*>(text)) : std::wstring();
}

// Returns text with its last digit replaced by the next digit.
std::wstring WithLastDigitChanged(std::wstring text) {
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    if (*it >= L'0' && *it <= L'9') {
      *it = static_cast<wchar_t>(L'0' + (*it - L'0' + 1) % 10);
      return text;
    }
  }
  ADD_FAILURE() << "no digit to change";
  return text;
}

void ExpectVerdict(const Dialog& d, const Command& c, bool valid) {
  EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
  if (c.reportBox) {
    EXPECT_EQ(d.title, L"Отчет о проверке ");
    EXPECT_EQ(d.text, valid ? L"Проверка пройдена  " : L"Проверка не пройдена  ");
    EXPECT_EQ(d.iconKind, valid ? L"information" : L"error");
  } else {
    EXPECT_EQ(d.title, L"Tessarin");
    EXPECT_EQ(d.text, valid ? L"   Проверка пройдена.   " : L"   Проверка не пройдена.    ");
  }
}

TEST(ShippedLibrary, EveryCommandAcceptsAPublishedSampleAndRejectsItChanged) {
  Session s = Session::Start(e2e::ProductDir() + L"\\Tessarin.exe", e2e::ProductDir());
  for (const Command& c : kCommands) {
    SCOPED_TRACE(e2e::Utf8(c.button));
    if (s.ActivePage() != c.page) s.SelectPage(c.page);
    const std::wstring first = Wide(c.sample.first);
    for (const bool valid : {true, false}) {
      s.SetText(c.first, valid ? first : WithLastDigitChanged(first));
      if (c.second) s.SetText(c.second, Wide(c.sample.second));
      s.Click(c.button);
      const Dialog d = s.WaitDialog();
      ExpectVerdict(d, c, valid);
      d.Close();
    }
  }
  EXPECT_EQ(s.Close(), 0u);
}

}  // namespace
