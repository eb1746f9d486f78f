// The i386 guard frame: a registration record of ours on the fs:[0]
// handler chain for the length of the call. Records that the library
// pushes come before it, so the dispatcher asks our handler only after the
// library's own handlers have declined the exception. To end the call the
// handler unwinds the chain down to our record (RtlUnwind runs the
// library's unwind handlers) and jumps back into CallInGuardFrame, which
// takes the record off the chain on every way out.
#if defined(__i386__)

#include "checklib/GuardFrame.h"
#include "checklib/GuardedCall.h"

#include <intrin.h>

namespace {

// The record comes first: the system hands its address to the handler.
struct GuardRegistration {
  EXCEPTION_REGISTRATION_RECORD record;
  void* jump[5];  // __builtin_setjmp buffer: frame, label, stack
  LibraryFault* fault;
};

}  // namespace

// RtlUnwind down to (not including) frame. The system's x86 RtlUnwind does
// not promise to keep ebx, esi, edi and ebp, so it is called from a few
// instructions that save them.
extern "C" void TessarinUnwindChainTo(void* frame, EXCEPTION_RECORD* record);
asm(R"(
  .text
  .p2align 4
  .globl _TessarinUnwindChainTo
  .def _TessarinUnwindChainTo; .scl 2; .type 32; .endef
_TessarinUnwindChainTo:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  pushl $0
  pushl 12(%ebp)
  pushl $0
  pushl 8(%ebp)
  call *__imp__RtlUnwind@16
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

namespace {

EXCEPTION_DISPOSITION NTAPI GuardFrameHandler(EXCEPTION_RECORD* record, void* frame,
                                              CONTEXT* /*context*/, void* /*dispatch*/) {
  if (IsUnwinding(*record) || !EndsGuardedCall(*record)) return ExceptionContinueSearch;
  auto* registration = static_cast<GuardRegistration*>(frame);
  RecordFault(*record, registration->fault);
  TessarinUnwindChainTo(frame, record);
  __builtin_longjmp(registration->jump, 1);
}

// Keeps the record at the head of the chain for its scope, however the
// scope is left (a C++ exception of this program's own passes through).
class ChainLink {
 public:
  explicit ChainLink(EXCEPTION_REGISTRATION_RECORD* record) : record_(record) {
    record_->Next = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
    __asm__ __volatile__("" ::: "memory");  // the record is complete before it is linked
    __writefsdword(0, reinterpret_cast<DWORD>(record_));
  }
  ~ChainLink() {
    __asm__ __volatile__("" ::: "memory");
    __writefsdword(0, reinterpret_cast<DWORD>(record_->Next));
  }
  ChainLink(const ChainLink&) = delete;
  ChainLink& operator=(const ChainLink&) = delete;

 private:
  EXCEPTION_REGISTRATION_RECORD* record_;
};

}  // namespace

bool CallInGuardFrame(void (*fn)(void*), void* context, LibraryFault* fault) {
  GuardRegistration registration{};
  registration.record.Handler = &GuardFrameHandler;
  registration.fault = fault;
  volatile bool returned = false;
  ChainLink link(&registration.record);
  if (__builtin_setjmp(registration.jump) == 0) {
    fn(context);
    returned = true;
  }
  return returned;
}

#endif
