// Counting and printing a comparison.
#include "tools/vrifax-run/Comparison.h"

#include <cstdio>

#include "platform/Utf8.h"

namespace vrifax_run {
namespace {

const char* VerdictWord(bool valid) { return valid ? "valid" : "invalid"; }

std::string Row(const char* name, const KindCounts& c) {
  char line[128];
  std::snprintf(line, sizeof line, "%-10s %9llu %9llu %9llu %9llu\n", name,
                static_cast<unsigned long long>(c.checked), static_cast<unsigned long long>(c.agreed),
                static_cast<unsigned long long>(c.disagreed), static_cast<unsigned long long>(c.faulted));
  return line;
}

std::string Described(const Where& where, Kind kind, std::u16string_view first,
                      std::u16string_view second) {
  std::string text = std::string(where.label) + " " + std::to_string(where.number);
  if (!where.how.empty()) text += " (" + std::string(where.how) + ")";
  text += ": " + std::string(RowOf(kind).name) + " " + QuoteText(first);
  if (RowOf(kind).twoFields) text += " / " + QuoteText(second);
  return text;
}

void AppendList(std::string& out, const char* heading, const std::vector<std::string>& lines,
                std::uint64_t total) {
  if (total == 0) return;
  out += "\n";
  out += heading;
  if (lines.size() < total) {
    out += " (the first " + std::to_string(lines.size()) + " of " + std::to_string(total) + ")";
  }
  out += ":\n";
  for (const std::string& line : lines) out += line + "\n";
}

}  // namespace

std::string ToUtf8(std::u16string_view text) { return platform::ToUtf8(std::u16string(text)); }

std::string QuoteText(std::u16string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    char escaped[8];
    if (c == u'\\' || c == u'"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
      out += escaped;
    } else if (c == 0xA0 || (c >= 0x80 && c < 0xA0) || c == 0xFEFF) {
      // Invisible in a terminal: written by number.
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    } else {
      std::size_t units = 1;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        units = 2;
      }
      out += ToUtf8(text.substr(i, units));
      i += units - 1;
    }
  }
  return out + "\"";
}

Comparison::Comparison(std::string referenceName, std::string subjectName, std::size_t listLimit)
    : referenceName_(std::move(referenceName)), subjectName_(std::move(subjectName)), listLimit_(listLimit) {}

void Comparison::Add(const Where& where, Kind kind, std::u16string_view first,
                     std::u16string_view second, bool referenceValid, const Verdict& subject) {
  KindCounts& c = counts_[static_cast<std::size_t>(kind)];
  ++c.checked;
  if (subject.kind == Verdict::Kind::Fault) {
    ++c.faulted;
    if (Keeps(faults_)) faults_.push_back(Described(where, kind, first, second) + ": " + subject.faultText);
    return;
  }
  const bool subjectValid = subject.kind == Verdict::Kind::Valid;
  if (subjectValid == referenceValid) {
    ++c.agreed;
    return;
  }
  ++c.disagreed;
  if (Keeps(disagreements_)) {
    disagreements_.push_back(Described(where, kind, first, second) + ": " + referenceName_ + " " +
                             VerdictWord(referenceValid) + ", " + subjectName_ + " " +
                             VerdictWord(subjectValid));
  }
}

KindCounts Comparison::Total() const {
  KindCounts total;
  for (const KindCounts& c : counts_) {
    total.checked += c.checked;
    total.agreed += c.agreed;
    total.disagreed += c.disagreed;
    total.faulted += c.faulted;
  }
  return total;
}

bool Comparison::AllAgree() const {
  const KindCounts total = Total();
  return total.disagreed == 0 && total.faulted == 0;
}

bool Comparison::Keeps(const std::vector<std::string>& list) const {
  return listLimit_ == 0 || list.size() < listLimit_;
}

std::string Comparison::Table() const {
  char heading[128];
  std::snprintf(heading, sizeof heading, "%-10s %9s %9s %9s %9s\n", "kind", "checked", "agreed",
                "disagreed", "faulted");
  std::string out = heading;
  for (const KindRow& row : kKinds) out += Row(row.name, Counts(row.kind));
  return out + Row("total", Total());
}

std::string Comparison::Details() const {
  const KindCounts total = Total();
  std::string out;
  AppendList(out, "disagreements", disagreements_, total.disagreed);
  AppendList(out, "faults", faults_, total.faulted);
  return out;
}

}  // namespace vrifax_run
