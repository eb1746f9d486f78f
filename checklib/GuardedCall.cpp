// The guarded call: a vectored exception handler that, for an exception on
// the guarded thread during the call, records it and redirects the thread
// to a landing function, which jumps back to CallGuarded with
// __builtin_longjmp.
#include "checklib/GuardedCall.h"

#include <cstdio>

namespace {

// GCC's own C++ exceptions on SEH targets: throw, unwind, forced unwind.
constexpr DWORD kGccExceptionCodes[] = {0x20474343, 0x21474343, 0x22474343};

struct Guard {
  void* jump[5];            // __builtin_setjmp buffer: frame, label, stack
  DWORD threadId;
  LibraryFault* fault;
  void* exceptionList;      // the i386 SEH chain as it stood before the call
};

Guard* volatile g_guard = nullptr;

[[noreturn]] void Landing() { __builtin_longjmp(g_guard->jump, 1); }

// Returns whether an exception ends the guarded call. Informational
// exceptions (debug output, thread names) are answered by whoever raised
// them, and GCC's C++ exceptions belong to this program's run-time.
bool EndsCall(DWORD code) {
  for (DWORD own : kGccExceptionCodes) {
    if (code == own) return false;
  }
  const DWORD severity = code >> 30;
  return severity != 1 && code != STATUS_GUARD_PAGE_VIOLATION;
}

void Record(const EXCEPTION_RECORD& record, LibraryFault* fault) {
  fault->code = record.ExceptionCode;
  fault->address = record.ExceptionAddress;
  fault->parameterCount = record.NumberParameters < EXCEPTION_MAXIMUM_PARAMETERS
                              ? record.NumberParameters
                              : EXCEPTION_MAXIMUM_PARAMETERS;
  for (DWORD i = 0; i < fault->parameterCount; ++i) {
    fault->parameters[i] = record.ExceptionInformation[i];
  }
}

// Points the faulting thread at Landing, on a stack just below CallGuarded's
// own frame (whatever the library left below it is dead).
void RedirectToLanding(CONTEXT* context, Guard* guard) {
  auto stack = reinterpret_cast<ULONG_PTR>(guard->jump[2]);
  stack = (stack - 256) & ~static_cast<ULONG_PTR>(15);
  stack -= sizeof(void*);  // as if a call had pushed its return address
#if defined(__x86_64__)
  context->Rsp = stack;
  context->Rip = reinterpret_cast<DWORD64>(&Landing);
#elif defined(__i386__)
  context->Esp = static_cast<DWORD>(stack);
  context->Eip = reinterpret_cast<DWORD>(&Landing);
#else
#error "the guarded call knows x86 and x86_64 only"
#endif
}

LONG CALLBACK GuardHandler(EXCEPTION_POINTERS* info) {
  Guard* guard = g_guard;
  if (!guard || guard->threadId != GetCurrentThreadId()) return EXCEPTION_CONTINUE_SEARCH;
  if (!EndsCall(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  Record(*info->ExceptionRecord, guard->fault);
  RedirectToLanding(info->ContextRecord, guard);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The head of the i386 frame-based handler chain (fs:[0]); x86_64 has no
// such chain, its handlers are found from tables.
void* ExceptionChain() {
#if defined(__i386__)
  return reinterpret_cast<void*>(__readfsdword(0));
#else
  return nullptr;
#endif
}

void RestoreExceptionChain(void* head) {
#if defined(__i386__)
  __writefsdword(0, reinterpret_cast<DWORD>(head));
#else
  (void)head;
#endif
}

// Removes the vectored handler when the guarded call ends either way.
class HandlerRegistration {
 public:
  HandlerRegistration() : handle_(AddVectoredExceptionHandler(1, &GuardHandler)) {
    if (!handle_) throw EError(u"Cannot install the guard for a call into the check library");
  }
  ~HandlerRegistration() {
    RemoveVectoredExceptionHandler(handle_);  // our own registration; cannot fail meaningfully
  }
  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;

 private:
  PVOID handle_;
};

// Makes a guard the active one for its scope, however the scope is left
// (an exception of this program's own run-time passes through the call).
class ActiveGuard {
 public:
  explicit ActiveGuard(Guard* guard) { g_guard = guard; }
  ~ActiveGuard() { g_guard = nullptr; }
  ActiveGuard(const ActiveGuard&) = delete;
  ActiveGuard& operator=(const ActiveGuard&) = delete;
};

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

bool CallGuarded(void (*fn)(void* context), void* context, LibraryFault* fault) {
  HandlerRegistration registration;
  Guard guard{};
  guard.threadId = GetCurrentThreadId();
  guard.fault = fault;
  guard.exceptionList = ExceptionChain();
  volatile bool returned = false;
  ActiveGuard active(&guard);
  if (__builtin_setjmp(guard.jump) == 0) {
    fn(context);
    returned = true;
  } else {
    // Frames that the library registered on the i386 handler chain died
    // with its stack; drop them.
    RestoreExceptionChain(g_guard->exceptionList);
  }
  return returned;
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
