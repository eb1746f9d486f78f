// Where the last C++ exception was raised: the code address of its throw,
// recorded by a wrapper of the run-time's throw routine (the program links
// with --wrap=__cxa_throw), so the exception display can name the module
// and offset of the code that raised it.
//
//   const void* at = LastThrowSite();
#pragma once

// Returns the return address of the last throw, or nullptr when none is known.
const void* LastThrowSite();
