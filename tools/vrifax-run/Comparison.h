// Two verdict sources compared input by input: the counts per kind
// (checked, agreed, disagreed, faulted), the disagreements and the faults,
// and the printed report.
//
//   Comparison c("expected", "library");
//   c.Add({"line", 5, ""}, Kind::Inn, u"7707083894", u"", true, Verdict::Invalid());
//   std::string text = c.Table() + c.Details();
//
// Portable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vrifax-run/Kinds.h"

namespace vrifax_run {

// What the compared source said: valid, not valid, or a fault with its text.
struct Verdict {
  enum class Kind { Valid, Invalid, Fault } kind;
  std::string faultText;  // UTF-8

  static Verdict Of(bool valid) { return {valid ? Kind::Valid : Kind::Invalid, {}}; }
  static Verdict Fault(std::string text) { return {Kind::Fault, std::move(text)}; }
};

// Names an input in the lists ("line 5", "generated 17 (leading tab)");
// put into words only when the input is listed.
struct Where {
  const char* label;
  std::uint64_t number;
  std::string_view how;  // in parentheses after the number, unless empty
};

struct KindCounts {
  std::uint64_t checked = 0;
  std::uint64_t agreed = 0;
  std::uint64_t disagreed = 0;
  std::uint64_t faulted = 0;
};

class Comparison {
 public:
  // `listLimit` caps the disagreements and faults kept for printing (all
  // are counted); 0 keeps every one.
  Comparison(std::string referenceName, std::string subjectName, std::size_t listLimit = 0);

  // Counts one input.
  void Add(const Where& where, Kind kind, std::u16string_view first, std::u16string_view second,
           bool referenceValid, const Verdict& subject);

  // Returns whether every input so far agreed, none faulted.
  bool AllAgree() const;
  // Returns the counts of a kind.
  const KindCounts& Counts(Kind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  // Returns the counts over every kind.
  KindCounts Total() const;

  // Returns the summary table: one row per kind and a total row.
  std::string Table() const;
  // Returns the disagreements, then the faults, one a line, each list under
  // a heading; nothing for an empty list.
  std::string Details() const;

 private:
  // Returns whether one more line may be kept in the list.
  bool Keeps(const std::vector<std::string>& list) const;

  std::string referenceName_;
  std::string subjectName_;
  std::size_t listLimit_;
  std::array<KindCounts, kKindCount> counts_{};
  std::vector<std::string> disagreements_;
  std::vector<std::string> faults_;
};

// Returns the text in double quotes as UTF-8, with \\, \", \t, \r, \n and
// other control characters (\xHH, \uHHHH) escaped, so that blanks show.
std::string QuoteText(std::u16string_view text);

// Returns UTF-8 for UTF-16 text; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace vrifax_run
