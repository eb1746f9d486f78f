// The corpus: UTF-8 text, one record a line, fields separated by tabs, a
// header line naming the columns. The columns `kind`, `value`, `second` and
// `expected` must be there, each once, in any order; other columns are
// ignored. Lines end in LF or CR LF; a byte order mark before the header is
// skipped; empty lines are skipped. A value is passed as written (no
// trimming, no quoting), so it cannot hold a tab or a line break.
//
//   std::istringstream in("kind\tvalue\tsecond\texpected\ninn\t7707083893\t\tvalid\n");
//   CorpusReader corpus(in);
//   Record r;
//   while (corpus.Next(r)) { ... }   // throws CorpusError naming the line
//
// Portable.
#pragma once

#include <cstddef>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vrifax-run/Kinds.h"

namespace vrifax_run {

// Longest line read, in bytes without the line end; longer lines are bad.
constexpr std::size_t kMaxLineBytes = 65536;

struct Record {
  std::size_t line = 0;  // 1 is the header
  Kind kind = Kind::Inn;
  std::u16string value;
  std::u16string second;  // empty for one-field kinds
  bool expectedValid = false;
};

// A corpus that cannot be read or is malformed; line 0 means the file as a
// whole.
class CorpusError : public std::runtime_error {
 public:
  CorpusError(std::size_t line, const std::string& message);
  std::size_t Line() const { return line_; }

 private:
  std::size_t line_;
};

// Where each needed column stands, and how many fields a line has.
struct Columns {
  std::size_t kind = 0;
  std::size_t value = 0;
  std::size_t second = 0;
  std::size_t expected = 0;
  std::size_t count = 0;
};

// Returns the columns named by a header line (without its line end);
// throws CorpusError for line 1 when a needed column is missing or repeated.
Columns ParseHeader(std::string_view line);

// Returns the record of one data line (without its line end); throws
// CorpusError naming `lineNumber` when the line is malformed.
Record ParseRecord(std::string_view line, const Columns& columns, std::size_t lineNumber);

// As ParseRecord, into `record`, the fields split into `fields` (both
// reused from line to line).
void ParseRecordInto(std::string_view line, const Columns& columns, std::size_t lineNumber,
                     std::vector<std::string_view>& fields, Record& record);

// Returns the UTF-16 form of strict UTF-8 text; throws CorpusError naming
// `lineNumber` at a malformed sequence (overlong, surrogate, beyond
// U+10FFFF, cut short, stray continuation byte).
std::u16string DecodeUtf8(std::string_view text, std::size_t lineNumber);

// As DecodeUtf8, into `out` (its storage reused from line to line).
void DecodeUtf8Into(std::string_view text, std::size_t lineNumber, std::u16string& out);

// Reads records one by one from a stream opened in binary mode.
class CorpusReader {
 public:
  // Reads the header; throws CorpusError when there is none or it is bad.
  explicit CorpusReader(std::istream& in);

  // Returns false at the end of the corpus; throws CorpusError at a bad
  // line or a read error.
  bool Next(Record& record);

 private:
  // Reads the next line into line_; false at the end.
  bool ReadLine();

  std::istream& in_;
  std::vector<char> buffer_;
  std::vector<std::string_view> fields_;  // of the current line
  std::string_view line_;
  std::size_t lineNumber_ = 0;
  Columns columns_;
};

}  // namespace vrifax_run
