// The allocator of the counted strings handed to the check library: blocks
// of the shared memory manager borlndmm.dll.
//
//   CountedString text(u"044525225", SharedMemoryAllocator());
//
// Windows only.
#pragma once

#include "checklib/CountedString.h"

// Returns the allocator over GetMem/FreeMem of borlndmm.dll.
const CountedStringAllocator& SharedMemoryAllocator();
