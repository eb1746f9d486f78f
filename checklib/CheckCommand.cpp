// The check commands: the command table and the steps every command runs,
// existence test, load, lookup by ordinal, read the fields, call, verdict,
// release.
#include "checklib/CheckCommand.h"

#include "checklib/CountedString.h"
#include "checklib/GuardedCall.h"
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

// Returns the system's text for an error code, without the line break at its end.
std::wstring SystemReason(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring reason;
  if (length && buffer) reason.assign(buffer, length);
  if (buffer) LocalFree(buffer);  // the system's own buffer; nothing to do if this fails
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = L"System error " + std::to_wstring(error);
  // Some texts name the file by an insert ("Bad EXE format for %1.").
  const auto insert = reason.find(L"%1");
  if (insert != std::wstring::npos) reason.replace(insert, 2, kLibraryName);
  return reason;
}

// Loads the library by its bare name; raises EError naming it and the
// system's reason when it does not load. No error box of the system's own.
HMODULE LoadCheckLibrary() {
  DWORD previousMode = 0;
  const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
  HMODULE library = LoadLibraryW(kLibraryName);
  const DWORD error = GetLastError();
  if (modeSet) SetThreadErrorMode(previousMode, nullptr);  // back as it was
  if (!library) {
    throw EError(ToU16(L"Cannot load the check library \"" + std::wstring(kLibraryName) +
                       L"\". " + SystemReason(error)));
  }
  return library;
}

// Looks the entry point up by ordinal; for a missing one the library is
// released and EError names the ordinal.
FARPROC FindEntryPoint(HMODULE library, CheckOrdinal ordinal) {
  const auto number = static_cast<WORD>(ordinal);
  FARPROC entry = GetProcAddress(library, MAKEINTRESOURCEA(number));
  if (entry) return entry;
  const DWORD error = GetLastError();
  FreeLibrary(library);  // nothing was called; the command ends here anyway
  throw EError(ToU16(L"The check library \"" + std::wstring(kLibraryName) +
                     L"\" has no entry point with ordinal " + std::to_wstring(number) + L". " +
                     SystemReason(error)));
}

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

struct CallArguments {
  FARPROC entry;
  bool twoFields;
  const char16_t* first;
  const char16_t* second;
  unsigned char result;
};

void CallEntryPoint(void* context) {
  auto* call = static_cast<CallArguments*>(context);
  void* entry = reinterpret_cast<void*>(call->entry);
  if (call->twoFields) {
    call->result = reinterpret_cast<TCheckTwo>(entry)(call->first, call->second);
  } else {
    call->result = reinterpret_cast<TCheckOne>(entry)(call->first);
  }
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
  // From here an exception leaves the library loaded, except for a missing
  // entry point, which nothing has called.
  HMODULE library = LoadCheckLibrary();
  FARPROC entry = FindEntryPoint(library, row.ordinal);
  const bool twoFields = row.secondEditId != 0;
  CountedString first(ReadField(mainWindow, row.firstEditId), SharedMemoryAllocator());
  CountedString second(twoFields ? ReadField(mainWindow, row.secondEditId) : std::u16string(),
                       SharedMemoryAllocator());
  CallArguments call{entry, twoFields, first.Text(), second.Text(), 0};
  LibraryFault fault;
  if (!CallGuarded(&CallEntryPoint, &call, &fault)) throw ECheckLibraryFault(fault);
  ShowVerdict(mainWindow, row, applicationTitle, call.result != 0);
  FreeLibrary(library);  // the strings follow as they go out of scope
}
