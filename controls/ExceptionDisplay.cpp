// The default exception display: how an exception that escapes a handler or
// the processing of a message is shown; the window keeps running.
#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <typeinfo>

#include "controls/ExceptionText.h"
#include "controls/Forms.h"
#include "controls/ThrowSite.h"

namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Returns the readable name of a C++ type.
std::u16string TypeName(const std::type_info* type) {
  if (type == nullptr) return u"(unknown)";
  int status = 0;
  char* readable = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
  const std::string name = (status == 0 && readable != nullptr) ? readable : type->name();
  std::free(readable);
  return Widen(name);
}

// Returns the file name (without folder) of the module holding address, and
// the address counted from the module's start; the program itself when the
// address lies in no module.
std::u16string ModuleOf(const void* address, std::uintptr_t& offset) {
  HMODULE module = nullptr;
  if (address == nullptr ||
      !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module)) {
    module = GetModuleHandleW(nullptr);
  }
  offset = address != nullptr ? reinterpret_cast<std::uintptr_t>(address) -
                                    reinterpret_cast<std::uintptr_t>(module)
                              : 0;
  wchar_t path[MAX_PATH] = L"";
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring full(path, n);
  const std::size_t slash = full.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? full : full.substr(slash + 1);
  return std::u16string(name.begin(), name.end());
}

std::wstring Title() {
  return Application != nullptr ? Application->Title() : std::wstring(L"");
}

// Path 3: the program's own exceptions, owned by the active window.
void ShowErrorBox(const std::u16string& text) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr && Application != nullptr) owner = Application->Handle();
  MessageBoxW(owner, Wide(text), Title().c_str(), MB_OK | MB_ICONERROR);  // OK is the only answer
}

// Path 4: anything else, task-modal without owner.
void ShowForeign(const std::type_info* type, const void* address) {
  std::uintptr_t offset = 0;
  const std::u16string module = ModuleOf(address, offset);
  const std::u16string text = ForeignExceptionText(TypeName(type), module, offset);
  MessageBoxW(nullptr, Wide(text), L"Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

void ShowException(const std::exception_ptr& e) noexcept {
  try {
    if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
    try {
      std::rethrow_exception(e);
    } catch (const EAbort&) {
      // The silent kind: nothing is shown.
    } catch (const EError& error) {
      ShowErrorBox(AppendFullStop(InnermostMessage(error)));
    } catch (...) {
      ShowForeign(abi::__cxa_current_exception_type(), LastThrowSite());
    }
  } catch (...) {
    // Showing failed (no memory for the text): nothing more can be shown.
  }
}
