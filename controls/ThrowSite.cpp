// Records the address of each C++ throw (see ThrowSite.h). The linker
// routes every call of __cxa_throw here (-Wl,--wrap=__cxa_throw).
#include "controls/ThrowSite.h"

#include <typeinfo>

namespace {

// One GUI thread runs the program: a plain variable is enough.
const void* g_lastThrow = nullptr;

}  // namespace

extern "C" {

[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*));

[[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*)) {
  g_lastThrow = __builtin_return_address(0);
  __real___cxa_throw(object, type, destroy);
}

}  // extern "C"

const void* LastThrowSite() { return g_lastThrow; }
