// The thin layer over the operating system that the portable core uses:
// whole-file reading, directory search with attributes, the ANSI code page,
// upper-casing and the executable's directory. Text is UTF-16.
//
//   platform::FileContent content;
//   if (platform::ReadWholeFile(path, content)) { ... }   // false: no such file
//
// The Win32 implementation (win32/) is the real one; the POSIX one (posix/)
// serves the host build and documents its choices in docs/DESIGN.md.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

// The path separator of this platform: '\\' on Windows, '/' elsewhere.
#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

// The whole content of a file: size bytes, in file order, held in the
// storage of units (so that UTF-16 text can be used where it lies; the last
// unit is half used when size is odd).
struct FileContent {
  std::u16string units;
  std::size_t size = 0;
  // Returns the first byte.
  const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(units.data()); }
};

// Returns true and fills content with the whole content of the file at path.
// Returns false (content emptied) when path names nothing or names a directory.
// The file is opened for reading with others allowed to read but not to
// write it. Raises EError "Cannot open file \"<full path>\". <description>"
// when the file exists but cannot be opened or read.
bool ReadWholeFile(const std::u16string& path, FileContent& content);

// One name reported by a directory search.
struct FoundEntry {
  std::u16string name;     // the name alone, without the folder
  bool directory = false;
  bool hidden = false;
  bool system = false;
};

// Calls onEntry for every name matching pattern ("<folder><sep>*.ext"), in
// the order the system reports them. No folder or no match: no call.
void SearchDirectory(const std::u16string& pattern,
                     const std::function<void(const FoundEntry&)>& onEntry);

// Returns bytes decoded from the system's ANSI code page (one UTF-16 unit
// per input byte on single-byte code pages).
std::u16string DecodeAnsi(const char* data, std::size_t size);

// Upper-cases text in place, character by character (one code unit in, one
// out), by the system's Unicode case table.
void UpperCaseInPlace(char16_t* text, std::size_t length);

// Returns the executable's directory with a trailing separator, or the
// folder set by SetExecutableDirectoryForTesting.
std::u16string ExecutableDirectory();

// Test seam: makes ExecutableDirectory() return dir (which should end with
// a separator); an empty dir restores the real one.
void SetExecutableDirectoryForTesting(const std::u16string& dir);

}  // namespace platform
