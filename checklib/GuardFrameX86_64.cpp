// The x86_64 guard frame: TessarinGuardedInvoke calls the library through a
// thunk whose unwind information names TessarinGuardFrameHandler, so the
// dispatcher asks it only after every frame of the library has declined the
// exception. To end the call the handler unwinds to the thunk's exit
// (RtlUnwindEx), which runs the library's unwind handlers on the way, and
// the thunk returns 0.
#if defined(__x86_64__)

#include "checklib/GuardFrame.h"
#include "checklib/GuardedCall.h"

extern "C" {
int TessarinGuardedInvoke(void (*fn)(void*), void* context, LibraryFault* fault);
extern char TessarinGuardedInvokeUnwound[];
EXCEPTION_DISPOSITION TessarinGuardFrameHandler(EXCEPTION_RECORD* record, void* frame,
                                                CONTEXT* context, DISPATCHER_CONTEXT* dispatch);
}

// The thunk saves every callee-saved register in its own frame, so the
// caller gets them back whatever the library's frames did to them; the
// fault pointer lives at frame + 192, where the handler finds it.
asm(R"(
  .text
  .p2align 4
  .globl TessarinGuardedInvoke
  .def TessarinGuardedInvoke; .scl 2; .type 32; .endef
  .seh_proc TessarinGuardedInvoke
TessarinGuardedInvoke:
  pushq %rbx
  .seh_pushreg %rbx
  pushq %rbp
  .seh_pushreg %rbp
  pushq %rdi
  .seh_pushreg %rdi
  pushq %rsi
  .seh_pushreg %rsi
  pushq %r12
  .seh_pushreg %r12
  pushq %r13
  .seh_pushreg %r13
  pushq %r14
  .seh_pushreg %r14
  pushq %r15
  .seh_pushreg %r15
  subq $200, %rsp
  .seh_stackalloc 200
  movaps %xmm6, 32(%rsp)
  .seh_savexmm %xmm6, 32
  movaps %xmm7, 48(%rsp)
  .seh_savexmm %xmm7, 48
  movaps %xmm8, 64(%rsp)
  .seh_savexmm %xmm8, 64
  movaps %xmm9, 80(%rsp)
  .seh_savexmm %xmm9, 80
  movaps %xmm10, 96(%rsp)
  .seh_savexmm %xmm10, 96
  movaps %xmm11, 112(%rsp)
  .seh_savexmm %xmm11, 112
  movaps %xmm12, 128(%rsp)
  .seh_savexmm %xmm12, 128
  movaps %xmm13, 144(%rsp)
  .seh_savexmm %xmm13, 144
  movaps %xmm14, 160(%rsp)
  .seh_savexmm %xmm14, 160
  movaps %xmm15, 176(%rsp)
  .seh_savexmm %xmm15, 176
  .seh_endprologue
  .seh_handler TessarinGuardFrameHandler, @except
  movq %r8, 192(%rsp)
  movq %rcx, %rax
  movq %rdx, %rcx
  callq *%rax
  movl $1, %eax
  .globl TessarinGuardedInvokeUnwound
TessarinGuardedInvokeUnwound:
  movaps 32(%rsp), %xmm6
  movaps 48(%rsp), %xmm7
  movaps 64(%rsp), %xmm8
  movaps 80(%rsp), %xmm9
  movaps 96(%rsp), %xmm10
  movaps 112(%rsp), %xmm11
  movaps 128(%rsp), %xmm12
  movaps 144(%rsp), %xmm13
  movaps 160(%rsp), %xmm14
  movaps 176(%rsp), %xmm15
  addq $200, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rsi
  popq %rdi
  popq %rbp
  popq %rbx
  retq
  .seh_endproc
)");

namespace {
constexpr int kFaultSlot = 192;  // offset of the fault pointer in the thunk's frame
}

EXCEPTION_DISPOSITION TessarinGuardFrameHandler(EXCEPTION_RECORD* record, void* frame,
                                                CONTEXT* /*context*/,
                                                DISPATCHER_CONTEXT* dispatch) {
  if (IsUnwinding(*record) || !EndsGuardedCall(*record)) return ExceptionContinueSearch;
  auto* fault = *reinterpret_cast<LibraryFault**>(static_cast<char*>(frame) + kFaultSlot);
  RecordFault(*record, fault);
  // Does not return: resumes at the thunk's exit with 0 in rax.
  RtlUnwindEx(frame, TessarinGuardedInvokeUnwound, record, nullptr, dispatch->ContextRecord,
              dispatch->HistoryTable);
  return ExceptionContinueSearch;
}

bool CallInGuardFrame(void (*fn)(void*), void* context, LibraryFault* fault) {
  return TessarinGuardedInvoke(fn, context, fault) != 0;
}

#endif
