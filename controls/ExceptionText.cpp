// Texts of the default exception display: the "." rule, the innermost
// message of a wrapped error, and the text for foreign exceptions.
#include "controls/ExceptionText.h"

#include <exception>

namespace {

// Returns offset as upper-case hexadecimal digits, as many as a pointer has.
std::u16string PointerHex(std::uintptr_t offset) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out(sizeof(void*) * 2, u'0');
  for (std::size_t i = out.size(); i-- > 0 && offset != 0; offset >>= 4) {
    out[i] = kDigits[offset & 0xF];
  }
  return out;
}

// Returns the EError that ptr holds, or nullptr for anything else.
const EError* AsError(const std::exception_ptr& ptr) {
  try {
    std::rethrow_exception(ptr);
  } catch (const EError& e) {
    return &e;  // the object lives as long as ptr holds it
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

std::u16string AppendFullStop(const std::u16string& text) {
  if (!text.empty() && text.back() > u'.') return text + u'.';
  return text;
}

std::u16string InnermostMessage(const EError& e) {
  std::u16string message = e.Message();
  std::exception_ptr inner = e.Inner();
  while (inner) {
    const EError* wrapped = AsError(inner);
    if (wrapped == nullptr) break;
    if (!wrapped->Message().empty()) message = wrapped->Message();
    std::exception_ptr next = wrapped->Inner();  // copied before wrapped may go
    inner = std::move(next);
  }
  return message;
}

std::u16string ForeignExceptionText(const std::u16string& className,
                                    const std::u16string& moduleName,
                                    std::uintptr_t offset) {
  // "Exception %s in module %s at %p.\r\n%s%s\r\n" with two empty strings.
  return u"Exception " + className + u" in module " + moduleName + u" at " +
         PointerHex(offset) + u".\r\n\r\n";
}
