// The existence test that a check command runs before it loads the check
// library: the entry's attributes; the errors 2, 3 and 123 mean absent;
// after any other error a directory search decides; a directory is absent.
//
//   if (!LibraryFileExists(L"Vrifax.dll")) ShowPlainMessage(...);
//
// Windows only.
#pragma once

#include <windows.h>

// The two system calls of the test, replaceable for tests of the rules.
struct FileProbe {
  // GetFileAttributesW; on INVALID_FILE_ATTRIBUTES *error holds GetLastError.
  DWORD (*attributes)(const wchar_t* name, DWORD* error);
  // FindFirstFileW/FindClose: true and *attributes set when an entry is found.
  bool (*findEntry)(const wchar_t* name, DWORD* attributes);
};

// Returns the probe over the real file system.
const FileProbe& SystemFileProbe();

// Returns whether name (resolved against the current directory) is an
// existing entry that is not a directory.
bool LibraryFileExists(const wchar_t* name, const FileProbe& probe = SystemFileProbe());
