// The frame of ours that the system's exception dispatcher reaches when the
// check library leaves an exception unhandled. Internal to the guarded call
// (GuardedCall.cpp); one implementation per architecture:
//   GuardFrameI386.cpp   a registration record on the fs:[0] handler chain
//   GuardFrameX86_64.cpp a call thunk whose unwind information names the handler
#pragma once

#include <windows.h>

struct LibraryFault;

// Returns true when fn(context) returned; false when an exception that the
// library left unhandled ended the call, after the library's own unwind
// handlers have run and *fault has been filled.
bool CallInGuardFrame(void (*fn)(void* context), void* context, LibraryFault* fault);

// Returns whether an exception that reached the guard frame ends the call:
// every one but the informational kind and this program's own C++
// exceptions, which pass on to their catch.
bool EndsGuardedCall(const EXCEPTION_RECORD& record);

// Copies what a fault report needs out of the exception record.
void RecordFault(const EXCEPTION_RECORD& record, LibraryFault* fault);

// True for the exception flags of an unwind, when a handler only passes.
inline bool IsUnwinding(const EXCEPTION_RECORD& record) {
  return (record.ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0;
}
