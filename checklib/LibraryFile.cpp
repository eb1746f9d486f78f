// The existence test of the check library file.
#include "checklib/LibraryFile.h"

namespace {

DWORD SystemAttributes(const wchar_t* name, DWORD* error) {
  const DWORD attributes = GetFileAttributesW(name);
  *error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
  return attributes;
}

bool SystemFindEntry(const wchar_t* name, DWORD* attributes) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(name, &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  *attributes = data.dwFileAttributes;
  FindClose(search);  // a search handle of our own; nothing to do if closing fails
  return true;
}

bool IsDirectory(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The errors after which the entry is taken as absent without a search.
bool MeansAbsent(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME;
}

}  // namespace

const FileProbe& SystemFileProbe() {
  static const FileProbe probe{&SystemAttributes, &SystemFindEntry};
  return probe;
}

bool LibraryFileExists(const wchar_t* name, const FileProbe& probe) {
  DWORD error = ERROR_SUCCESS;
  const DWORD attributes = probe.attributes(name, &error);
  if (attributes != INVALID_FILE_ATTRIBUTES) return !IsDirectory(attributes);
  if (MeansAbsent(error)) return false;
  DWORD found = 0;
  return probe.findEntry(name, &found) && !IsDirectory(found);
}
