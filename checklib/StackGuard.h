// The stack guard of the thread that calls the check library. The system
// reports a stack overflow when the stack's guard page is touched near the
// stack's end, and the guard page is gone after that: without it a second
// overflow is an access violation, or kills the process outright. Where the
// guard page stands also decides how much stack the exception handlers have
// left: under Wine the main thread's first overflow comes a page above the
// stack's end, too close to it for the guard frame's handler.
//
//   KeepStackGuarantee();     // room for the handler, asked of the system
//   EnsureStackGuardPage();   // before every call, and after an overflow
//
// Windows only.
#pragma once

// Asks the system to keep enough stack for the guard's exception handler
// when this thread's stack overflows. Returns whether the guarantee holds.
bool KeepStackGuarantee();

// Returns whether this thread's stack has a guard page with the guaranteed
// room and more below it, putting one there when it has none; false when
// the stack cannot be read or there is no such room below the frame in use.
bool EnsureStackGuardPage();
