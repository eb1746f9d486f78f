// The check commands: the command table and the steps every command runs,
// existence test, load, lookup by ordinal, read the fields, call, verdict,
// release.
#include "checklib/CheckCommand.h"

#include "checklib/CheckLibrary.h"
#include "checklib/CountedString.h"
#include "checklib/LibraryFile.h"
#include "checklib/SharedMemoryAllocator.h"
#include "checklib/VerdictDialogs.h"
#include "platform/Errors.h"
#include "resources/ControlIds.h"

const CheckCommandRow kCheckCommands[8] = {
    {L"Button1Click", ID_Button1, CheckOrdinal::INN, ID_Edit1, 0, VerdictBox::PlainDialog},
    {L"Button2Click", ID_Button2, CheckOrdinal::PensionNumber, ID_Edit2, 0, VerdictBox::PlainDialog},
    {L"Button3Click", ID_Button3, CheckOrdinal::SettlementAccount, ID_Edit3, ID_Edit6,
     VerdictBox::PlainDialog},
    {L"Button4Click", ID_Button4, CheckOrdinal::CorrAccount, ID_Edit4, ID_Edit7,
     VerdictBox::PlainDialog},
    {L"Button5Click", ID_Button5, CheckOrdinal::OKPO, ID_Edit5, 0, VerdictBox::PlainDialog},
    {L"Button7Click", ID_Button7, CheckOrdinal::OGRN, ID_Edit8, 0, VerdictBox::PlainDialog},
    {L"Button8Click", ID_Button8, CheckOrdinal::UkrAccount, ID_Edit9, ID_Edit10,
     VerdictBox::PlainDialog},
    {L"Button10Click", ID_Button10, CheckOrdinal::EGN, ID_Edit11, 0, VerdictBox::ReportBox},
};

namespace {

constexpr wchar_t kLibraryName[] = L"Vrifax.dll";

// The messages of the check commands; fixed texts, spaces included.
constexpr wchar_t kLibraryAbsent[] = L" Не найдена библиотека. ";
constexpr wchar_t kPlainValid[] = L"   Проверка пройдена.   ";
constexpr wchar_t kPlainInvalid[] = L"   Проверка не пройдена.    ";
constexpr wchar_t kReportValid[] = L"Проверка пройдена  ";
constexpr wchar_t kReportInvalid[] = L"Проверка не пройдена  ";

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

struct DescendantSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<DescendantSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

// Returns the text of the input field with this id, as typed.
std::u16string ReadField(HWND mainWindow, int id) {
  DescendantSearch search{id, nullptr};
  // The result of EnumChildWindows says nothing; the search result does.
  EnumChildWindows(mainWindow, &MatchDescendant, reinterpret_cast<LPARAM>(&search));
  if (!search.found) throw EError(u"The input field of the check is missing");
  const int length = GetWindowTextLengthW(search.found);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(search.found, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return ToU16(text);
}

void ShowVerdict(HWND mainWindow, const CheckCommandRow& row, const std::wstring& title,
                 bool valid) {
  if (row.box == VerdictBox::ReportBox) {
    ShowReportBox(mainWindow, valid ? kReportValid : kReportInvalid, valid);
  } else {
    ShowPlainMessage(mainWindow, title, valid ? kPlainValid : kPlainInvalid);
  }
}

}  // namespace

const CheckCommandRow& CheckCommandFor(int buttonId) {
  for (const CheckCommandRow& row : kCheckCommands) {
    if (row.buttonId == buttonId) return row;
  }
  throw EError(u"No check command belongs to this button");
}

void RunCheckCommand(HWND mainWindow, const CheckCommandRow& row,
                     const std::wstring& applicationTitle) {
  if (!LibraryFileExists(kLibraryName)) {
    ShowPlainMessage(mainWindow, applicationTitle, kLibraryAbsent);
    return;
  }
  // The file the test found, not whatever the search order would find
  // first under that name (the program's own folder comes before the
  // current directory there).
  // From here an exception leaves the library loaded, except for a missing
  // entry point, which nothing has called.
  HMODULE library = LoadCheckLibrary(InCurrentDirectory(kLibraryName));
  FARPROC entry = FindEntryPoint(library, row.ordinal, kLibraryName);
  const bool twoFields = row.secondEditId != 0;
  CountedString first(ReadField(mainWindow, row.firstEditId), SharedMemoryAllocator());
  CountedString second(twoFields ? ReadField(mainWindow, row.secondEditId) : std::u16string(),
                       SharedMemoryAllocator());
  const bool valid = CallCheck(entry, twoFields, first.Text(), second.Text()) != 0;
  ShowVerdict(mainWindow, row, applicationTitle, valid);
  FreeLibrary(library);  // the strings follow as they go out of scope
}
