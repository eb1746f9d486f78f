// The guarded call: the call into the check library runs inside a guard
// frame of ours (GuardFrame.h) that the dispatcher reaches only for an
// exception the library leaves unhandled; after a stack overflow the
// thread's guard page is put back, so the next overflow is reported alike.
#include "checklib/GuardedCall.h"

#include <cstdio>

#include "checklib/GuardFrame.h"
#include "checklib/StackGuard.h"

namespace {

// GCC's own C++ exceptions on SEH targets: throw, unwind, forced unwind.
constexpr DWORD kGccExceptionCodes[] = {0x20474343, 0x21474343, 0x22474343};

struct FaultKind {
  DWORD code;
  const wchar_t* text;
};

constexpr FaultKind kFaultKinds[] = {
    {EXCEPTION_ACCESS_VIOLATION, L"Access violation"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, L"Division by zero"},
    {EXCEPTION_INT_OVERFLOW, L"Integer overflow"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, L"Floating point division by zero"},
    {EXCEPTION_FLT_INVALID_OPERATION, L"Invalid floating point operation"},
    {EXCEPTION_FLT_OVERFLOW, L"Floating point overflow"},
    {EXCEPTION_FLT_UNDERFLOW, L"Floating point underflow"},
    {EXCEPTION_STACK_OVERFLOW, L"Stack overflow"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, L"Illegal instruction"},
    {EXCEPTION_PRIV_INSTRUCTION, L"Privileged instruction"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, L"Array bounds exceeded"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, L"Data type misalignment"},
    {EXCEPTION_BREAKPOINT, L"Breakpoint"},
};

std::wstring HexAddress(const void* address) {
  wchar_t text[2 * sizeof(void*) + 1];
  std::swprintf(text, sizeof text / sizeof text[0], L"%0*llX",
                static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(address)));
  return text;
}

std::wstring FaultName(DWORD code) {
  for (const FaultKind& kind : kFaultKinds) {
    if (kind.code == code) return kind.text;
  }
  wchar_t text[40];
  std::swprintf(text, sizeof text / sizeof text[0], L"External exception %08lX",
                static_cast<unsigned long>(code));
  return text;
}

// Returns the file name of the module that holds address, or L"".
std::wstring ModuleNameAt(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module)) {
    return L"";
  }
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  std::wstring full(path, length);
  const auto slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

std::wstring AccessKind(ULONG_PTR kind) {
  switch (kind) {
    case 0: return L"Read";
    case 1: return L"Write";
    case 8: return L"Execution";
    default: return L"Access";
  }
}

}  // namespace

bool EndsGuardedCall(const EXCEPTION_RECORD& record) {
  for (DWORD own : kGccExceptionCodes) {
    if (record.ExceptionCode == own) return false;
  }
  const DWORD severity = record.ExceptionCode >> 30;
  return severity != 1 && record.ExceptionCode != STATUS_GUARD_PAGE_VIOLATION;
}

void RecordFault(const EXCEPTION_RECORD& record, LibraryFault* fault) {
  fault->code = record.ExceptionCode;
  fault->address = record.ExceptionAddress;
  fault->parameterCount = record.NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS
                              ? record.NumberParameters
                              : EXCEPTION_MAXIMUM_PARAMETERS;
  for (DWORD i = 0; i < fault->parameterCount; ++i) {
    fault->parameters[i] = record.ExceptionInformation[i];
  }
}

bool CallGuarded(void (*fn)(void* context), void* context, LibraryFault* fault) {
  // Without them the handler may find no stack to run on after an
  // overflow; the call goes ahead all the same, as it did before.
  KeepStackGuarantee();
  EnsureStackGuardPage();
  if (CallInGuardFrame(fn, context, fault)) return true;
  if (fault->code == EXCEPTION_STACK_OVERFLOW) fault->guardRestored = EnsureStackGuardPage();
  return false;
}

std::wstring DescribeFault(const LibraryFault& fault) {
  std::wstring text = FaultName(fault.code) + L" at address " + HexAddress(fault.address);
  const std::wstring module = ModuleNameAt(fault.address);
  if (!module.empty()) text += L" in module '" + module + L"'";
  if (fault.code == EXCEPTION_ACCESS_VIOLATION && fault.parameterCount >= 2) {
    text += L". " + AccessKind(fault.parameters[0]) + L" of address " +
            HexAddress(reinterpret_cast<const void*>(fault.parameters[1]));
  }
  return text;
}

ECheckLibraryFault::ECheckLibraryFault(const LibraryFault& fault)
    : EError([&] {
        const std::wstring text = DescribeFault(fault);
        return std::u16string(text.begin(), text.end());
      }()),
      fault_(fault) {}
