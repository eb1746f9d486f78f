// Texts of the default exception display, kept free of <windows.h> so the
// host build tests them.
//
//   MessageBoxW(owner, AppendFullStop(InnermostMessage(e)), title, ...);
#pragma once

#include <cstdint>
#include <string>

#include "platform/Errors.h"

// Returns text with "." appended when it is not empty and its last UTF-16
// code unit is greater than U+002E ('.'); otherwise text unchanged.
std::u16string AppendFullStop(const std::u16string& text);

// Returns the message to show for e: the message of the innermost wrapped
// EError whose message is not empty, or e's own message when there is none.
std::u16string InnermostMessage(const EError& e);

// Returns the text of the box for an exception outside the program's family:
// "Exception <className> in module <moduleName> at <offset>.\r\n\r\n", the
// offset as upper-case hexadecimal, zero-padded to the width of a pointer.
std::u16string ForeignExceptionText(const std::u16string& className,
                                    const std::u16string& moduleName,
                                    std::uintptr_t offset);
