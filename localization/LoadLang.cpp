// The main window localisation: the caption table and the link table, and
// LoadLanguage walking them (see LoadLang.h).
#include "localization/LoadLang.h"

#include <string>

#include "app/main.h"
#include "localization/uLocalize.h"
#include "resources/ControlIds.h"
#include "resources/Layout.h"

namespace {

// One caption set from a text key; kFormParent stands for the window itself
// (its title bar).
struct CaptionRow {
  const char16_t* textKey;
  int control;
};

// Applied in this order. Keys are spelled as in the language files,
// "Nmber" and "ORGN" included.
constexpr CaptionRow kCaptionTable[] = {
    {u"Caption.Tessarin_MainForm", kFormParent},
    {u"String.CheckINN", ID_gbCheckINN},
    {u"String.CheckNumberPU", ID_gbCheckPU},
    {u"String.CheckNmberOfSettlementAccounts", ID_gbRasSchet},
    {u"String.CheckNumberOfCorrespondentAccounts", ID_gbCorSchet},
    {u"String.CheckNumberOKPO", ID_gbCheckOKPO},
    {u"String.CheckORGN", ID_gbCheckORGN},
    {u"Button.Check", ID_Button1},
    {u"Button.Check", ID_Button2},
    {u"Button.Check", ID_Button3},
    {u"Button.Check", ID_Button4},
    {u"Button.Check", ID_Button5},
    {u"Button.Check", ID_Button7},
    {u"Button.Check", ID_Button8},
    {u"String.CheckNmberOfSettlementAccounts", ID_gbRachSchetUkr},
    {u"Menu.Exit", ID_Button6},
    {u"Menu.Help", ID_Button9},
    {u"String.Russia", ID_tsRus},
    {u"String.Ukraine", ID_tsUkr},
    {u"String.Bulgaria", ID_tsBulg},
    {u"Menu.Language", ID_gbLang},
    {u"String.CheckerINN", ID_Label3},
    {u"String.CheckerS_A", ID_Label4},
    {u"String.CheckerC_A", ID_Label5},
    {u"String.CheckerOKPO", ID_Label6},
    {u"String.CheckerR_C", ID_Label7},
    {u"String.BIC_Bank", ID_Label1},
    {u"String.BIC_Bank", ID_Label2},
    {u"String.BIC_Bank", ID_Label9},
    {u"Menu.Options", ID_tsOptions},
    {u"Button.Check", ID_Button10},
    {u"String.CheckEGN", ID_GroupBox1},
};
static_assert(sizeof(kCaptionTable) / sizeof(kCaptionTable[0]) == 32, "32 captions");

// The web link by the committed value of the language box, compared with
// letter case in this order. The product's site is not published yet: the
// addresses lie under the reserved example domains, all in this one table;
// the localised ones under the one whose name draws narrowest, so that each
// ends inside Label8's 111 design pixels also at 120 dpi.
struct LinkRow {
  const wchar_t* committedValue;
  const wchar_t* address;
};
constexpr LinkRow kLinkTable[] = {
    {L"French", L"http://example.net/fr"},
    {L"Russian", L"http://example.net/ru"},
    {L"Bulgarian", L"http://example.net/bg"},
};
constexpr wchar_t kGenericAddress[] = L"http://example.com/";

std::wstring ToWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// Sets one caption unless it already shows text.
void ApplyCaption(const CaptionRow& row, const std::wstring& text) {
  if (row.control == kFormParent) {
    if (WindowText(Form1->Handle()) != text) {
      SetWindowTextW(Form1->Handle(), text.c_str());  // a refused text leaves the old title
    }
    return;
  }
  TControl* control = Form1->Control(row.control);
  if (control != nullptr && control->Caption() != text) control->SetCaption(text);
}

// Returns the address for the committed value.
const wchar_t* LinkFor(const std::wstring& committed) {
  for (const LinkRow& row : kLinkTable) {
    if (committed == row.committedValue) return row.address;
  }
  return kGenericAddress;
}

}  // namespace

void LoadLanguage() {
  // The result is not examined: a text that names no installed language
  // leaves the current language as it was.
  static_cast<void>(SetCurrentLang(ToU16(Form1->CmbBxLang->Text())));
  for (const CaptionRow& row : kCaptionTable) ApplyCaption(row, ToWide(GetLangString(row.textKey)));
  const std::wstring address = LinkFor(Form1->CmbBxLang->CommittedValue());
  if (Form1->Label8->Caption() != address) Form1->Label8->SetCaption(address);
}
