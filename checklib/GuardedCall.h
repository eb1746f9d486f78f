// A call into the check library that survives a fault inside it: an access
// violation, a division by zero or an exception of the library's own
// run-time ends the call, and the caller learns what happened instead of the
// process dying.
//
//   LibraryFault fault;
//   if (!CallGuarded(&CallCheck, &args, &fault)) throw ECheckLibraryFault(fault);
//
// The call runs inside a frame of ours that the system's exception
// dispatcher reaches only after every frame of the library has declined the
// exception (GuardFrame.h): a library that raises and handles its own
// exceptions, or calls something that does, keeps its answer. What it leaves
// unhandled ends the call, after the library's own unwind handlers have run.
// C++ exceptions of this program's own run-time (the SEH codes of GCC on
// x86_64) and informational exceptions pass through untouched. After a stack
// overflow the thread's guard page is put back (StackGuard.h). Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Errors.h"

// What ended a guarded call.
struct LibraryFault {
  DWORD code = 0;            // the exception code, e.g. EXCEPTION_ACCESS_VIOLATION
  void* address = nullptr;   // where it was raised
  DWORD parameterCount = 0;  // of the exception record
  ULONG_PTR parameters[EXCEPTION_MAXIMUM_PARAMETERS] = {};
  bool guardRestored = false;  // a stack overflow only: the guard page is back
};

// Returns true when fn(context) returned; false when a fault inside it ended
// the call, *fault then describing it. Raises EError when the guard cannot
// be installed (nothing is called then).
bool CallGuarded(void (*fn)(void* context), void* context, LibraryFault* fault);

// Returns the text that names the fault, its address, the module that holds
// that address and, for an access violation, the address accessed, e.g.
// "Access violation at address 6F2C1234 in module 'Vrifax.dll'. Read of address 00000010".
std::wstring DescribeFault(const LibraryFault& fault);

// Raised by a check command whose call into the library ended in a fault.
class ECheckLibraryFault : public EError {
 public:
  explicit ECheckLibraryFault(const LibraryFault& fault);
  const LibraryFault& Fault() const { return fault_; }
  const char* what() const noexcept override { return "ECheckLibraryFault"; }

 private:
  LibraryFault fault_;
};
