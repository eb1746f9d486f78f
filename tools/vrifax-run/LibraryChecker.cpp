// Calling the check library through the window's own binding.
#include "tools/vrifax-run/LibraryChecker.h"

#include "checklib/CheckLibrary.h"
#include "checklib/CountedString.h"
#include "checklib/GuardedCall.h"
#include "checklib/SharedMemoryAllocator.h"

namespace vrifax_run {

LibraryChecker::LibraryChecker(HMODULE library, const std::wstring& path) : library_(library) {
  const std::wstring name = FileNameOf(path);
  for (const KindRow& row : kKinds) {
    // FindEntryPoint releases the library when the ordinal is missing: it
    // gets a reference of its own, so ours stays.
    HMODULE reference = LoadCheckLibrary(path);
    Entry& entry = entries_[static_cast<std::size_t>(row.kind)];
    try {
      entry.address = FindEntryPoint(reference, row.ordinal, name);
      FreeLibrary(reference);  // ours keeps it loaded
    } catch (const EError& e) {
      entry.missing = ToUtf8(e.Message());
    }
  }
}

LibraryChecker::~LibraryChecker() {
  FreeLibrary(library_);  // at the end of the run; nothing to do if it fails
}

Verdict LibraryChecker::Check(Kind kind, std::u16string_view first, std::u16string_view second) {
  const KindRow& row = RowOf(kind);
  const Entry& entry = entries_[static_cast<std::size_t>(kind)];
  if (!entry.address) return Verdict::Fault(entry.missing);
  CountedString firstText(first, SharedMemoryAllocator());
  CountedString secondText(row.twoFields ? second : std::u16string_view(), SharedMemoryAllocator());
  try {
    return Verdict::Of(CallCheck(entry.address, row.twoFields, firstText.Text(), secondText.Text()) != 0);
  } catch (const EError& e) {
    // ECheckLibraryFault with the fault's description, or the guard that
    // could not be installed.
    return Verdict::Fault(ToUtf8(e.Message()));
  }
}

}  // namespace vrifax_run
