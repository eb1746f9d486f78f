// The check library as a verdict source, called exactly as the window calls
// it (checklib/CheckLibrary.h): loaded once by its full path, each entry
// point by ordinal, the fields as counted strings from borlndmm.dll, each
// call under the guard. A fault ends one call, not the run.
//
//   LibraryChecker library(LoadCheckLibrary(path), path);
//   Verdict v = library.Check(Kind::Inn, u"7707083893", u"");
//
// Windows only.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "tools/vrifax-run/Tool.h"

namespace vrifax_run {

class LibraryChecker : public Checker {
 public:
  // Takes over one reference to `library`, loaded from `path`, and looks up
  // every entry point; a missing one makes each check of its kind a fault
  // with the lookup's message.
  LibraryChecker(HMODULE library, const std::wstring& path);
  ~LibraryChecker() override;
  LibraryChecker(const LibraryChecker&) = delete;
  LibraryChecker& operator=(const LibraryChecker&) = delete;

  Verdict Check(Kind kind, std::u16string_view first, std::u16string_view second) override;

 private:
  struct Entry {
    FARPROC address = nullptr;
    std::string missing;  // the lookup's message when there is no entry point
  };

  HMODULE library_;
  std::array<Entry, kKindCount> entries_;
};

}  // namespace vrifax_run
