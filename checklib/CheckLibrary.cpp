// Loading the check library, its entry points by ordinal, the guarded call.
#include "checklib/CheckLibrary.h"

#include "checklib/GuardedCall.h"
#include "platform/Errors.h"

namespace {

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// Returns the system's text for an error code, without the line break at
// its end, the file named where the text has an insert for it.
std::wstring SystemReason(DWORD error, const std::wstring& libraryName) {
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
  if (insert != std::wstring::npos) reason.replace(insert, 2, libraryName);
  return reason;
}

struct CallArguments {
  FARPROC entry;
  bool twoArguments;
  const char16_t* first;
  const char16_t* second;
  unsigned char result;
};

void CallEntryPoint(void* context) {
  auto* call = static_cast<CallArguments*>(context);
  void* entry = reinterpret_cast<void*>(call->entry);
  if (call->twoArguments) {
    call->result = reinterpret_cast<TCheckTwo>(entry)(call->first, call->second);
  } else {
    call->result = reinterpret_cast<TCheckOne>(entry)(call->first);
  }
}

}  // namespace

std::wstring FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring InCurrentDirectory(const std::wstring& name) {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0) throw EError(u"Cannot read the current directory");
    if (length < folder.size()) {
      folder.resize(length);
      break;
    }
    folder.resize(length);  // the size needed, terminator included
  }
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder + name;
}

HMODULE LoadCheckLibrary(const std::wstring& path) {
  DWORD previousMode = 0;
  const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
  HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD error = GetLastError();
  if (modeSet) SetThreadErrorMode(previousMode, nullptr);  // back as it was
  if (!library) {
    const std::wstring name = FileNameOf(path);
    throw EError(ToU16(L"Cannot load the check library \"" + name + L"\". " +
                       SystemReason(error, name)));
  }
  return library;
}

FARPROC FindEntryPoint(HMODULE library, CheckOrdinal ordinal, const std::wstring& libraryName) {
  const auto number = static_cast<WORD>(ordinal);
  FARPROC entry = GetProcAddress(library, MAKEINTRESOURCEA(number));
  if (entry) return entry;
  const DWORD error = GetLastError();
  FreeLibrary(library);  // nothing was called; the command ends here anyway
  throw EError(ToU16(L"The check library \"" + libraryName + L"\" has no entry point with ordinal " +
                     std::to_wstring(number) + L". " + SystemReason(error, libraryName)));
}

unsigned char CallCheck(FARPROC entry, bool twoArguments, const char16_t* first,
                        const char16_t* second) {
  CallArguments call{entry, twoArguments, first, second, 0};
  LibraryFault fault;
  if (!CallGuarded(&CallEntryPoint, &call, &fault)) throw ECheckLibraryFault(fault);
  return call.result;
}
