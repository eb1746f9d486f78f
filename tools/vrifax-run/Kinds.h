// The eight kinds of identifier a corpus names, as one table: the corpus
// name, the entry point's ordinal, whether the check takes a bank code, and
// the reference rule of vrifax/.
//
//   const KindRow* row = FindKind("inn");   // row->ordinal == CheckOrdinal::INN
//
// Portable.
#pragma once

#include <cstddef>
#include <string_view>

#include "checklib/VrifaxApi.h"

namespace vrifax_run {

enum class Kind : unsigned char { Inn, Snils, Rs, Ks, Okpo, Ogrn, UaAccount, Egn };
constexpr std::size_t kKindCount = 8;

struct KindRow {
  Kind kind;
  const char* name;  // as the corpus writes it
  CheckOrdinal ordinal;
  bool twoFields;    // the second field is the bank code
  bool (*rule)(std::u16string_view first, std::u16string_view second);
};

// One row per kind, in the order of Kind.
extern const KindRow kKinds[kKindCount];

// Returns the row of a kind.
inline const KindRow& RowOf(Kind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

// Returns the row whose corpus name is exactly `name`, or null.
const KindRow* FindKind(std::string_view name);

// Returns the reference rules' verdict.
inline bool RulesSay(Kind kind, std::u16string_view first, std::u16string_view second) {
  return RowOf(kind).rule(first, second);
}

}  // namespace vrifax_run
