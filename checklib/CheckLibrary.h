// The check library as the program uses it: loaded from the very file that
// was found, looked up by ordinal, called under the guard.
//
//   HMODULE library = LoadCheckLibrary(InCurrentDirectory(L"Vrifax.dll"));
//   FARPROC entry = FindEntryPoint(library, CheckOrdinal::INN, L"Vrifax.dll");
//   bool valid = CallCheck(entry, false, text, nullptr) != 0;   // guarded
//
// Windows only.
#pragma once

#include <windows.h>

#include <string>

#include "checklib/VrifaxApi.h"

// Returns the full path of the entry `name` in the current directory, the
// place where the existence test looked.
std::wstring InCurrentDirectory(const std::wstring& name);

// Loads the library from exactly this path, its own dependencies resolved
// from its folder first; raises EError naming the file (by its file name)
// and the system's reason when it does not load. No error box of the
// system's own.
HMODULE LoadCheckLibrary(const std::wstring& path);

// Returns the entry point with this ordinal; for a missing one the library
// is released and EError names the library and the ordinal.
FARPROC FindEntryPoint(HMODULE library, CheckOrdinal ordinal, const std::wstring& libraryName);

// Calls the entry point with one or two counted strings (null for empty)
// under the guard and returns its one-byte verdict; raises
// ECheckLibraryFault (checklib/GuardedCall.h) when a fault ends the call.
unsigned char CallCheck(FARPROC entry, bool twoArguments, const char16_t* first,
                        const char16_t* second);

// Returns the file name part of a path.
std::wstring FileNameOf(const std::wstring& path);
