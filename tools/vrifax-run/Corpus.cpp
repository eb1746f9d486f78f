// Reading the corpus: lines, the header, the records and the strict UTF-8
// decoding of their fields.
#include "tools/vrifax-run/Corpus.h"

#include <cstdint>

namespace vrifax_run {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return;
    }
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

// A needed column's place in the header, found once.
struct NeededColumn {
  const char* name;
  std::size_t Columns::*place;
};
constexpr NeededColumn kNeededColumns[] = {
    {"kind", &Columns::kind},
    {"value", &Columns::value},
    {"second", &Columns::second},
    {"expected", &Columns::expected},
};

// Returns the number of bytes of the UTF-8 sequence starting with `lead`
// and the smallest code point that length may encode; 0 for a bad lead.
std::size_t SequenceLength(unsigned char lead, std::uint32_t& smallest, std::uint32_t& bits) {
  if (lead < 0x80) return bits = lead, smallest = 0, 1;
  if (lead >= 0xC2 && lead <= 0xDF) return bits = lead & 0x1F, smallest = 0x80, 2;
  if (lead >= 0xE0 && lead <= 0xEF) return bits = lead & 0x0F, smallest = 0x800, 3;
  if (lead >= 0xF0 && lead <= 0xF4) return bits = lead & 0x07, smallest = 0x10000, 4;
  return 0;
}

void AppendUtf16(std::u16string& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
    return;
  }
  cp -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (cp >> 10));
  out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

}  // namespace

CorpusError::CorpusError(std::size_t line, const std::string& message)
    : std::runtime_error(line ? "line " + std::to_string(line) + ": " + message : message),
      line_(line) {}

std::u16string DecodeUtf8(std::string_view text, std::size_t lineNumber) {
  std::u16string out;
  DecodeUtf8Into(text, lineNumber, out);
  return out;
}

void DecodeUtf8Into(std::string_view text, std::size_t lineNumber, std::u16string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t smallest = 0;
    std::uint32_t cp = 0;
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]), smallest, cp);
    bool good = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; good && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!good || cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      throw CorpusError(lineNumber, "not UTF-8 at byte " + std::to_string(i + 1));
    }
    AppendUtf16(out, cp);
    i += length;
  }
}

Columns ParseHeader(std::string_view line) {
  std::vector<std::string_view> names;
  SplitFields(line, names);
  Columns columns;
  columns.count = names.size();
  for (const NeededColumn& needed : kNeededColumns) {
    std::size_t found = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] != needed.name) continue;
      if (found) throw CorpusError(1, "the header names the column " + Quoted(needed.name) + " twice");
      found = i + 1;
    }
    if (!found) throw CorpusError(1, "the header has no column " + Quoted(needed.name));
    columns.*needed.place = found - 1;
  }
  return columns;
}

Record ParseRecord(std::string_view line, const Columns& columns, std::size_t lineNumber) {
  Record record;
  std::vector<std::string_view> fields;
  ParseRecordInto(line, columns, lineNumber, fields, record);
  return record;
}

void ParseRecordInto(std::string_view line, const Columns& columns, std::size_t lineNumber,
                     std::vector<std::string_view>& fields, Record& record) {
  SplitFields(line, fields);
  if (fields.size() != columns.count) {
    throw CorpusError(lineNumber, std::to_string(fields.size()) + " fields, the header has " +
                                      std::to_string(columns.count));
  }
  record.line = lineNumber;
  const KindRow* row = FindKind(fields[columns.kind]);
  if (!row) throw CorpusError(lineNumber, "unknown kind " + Quoted(fields[columns.kind]));
  record.kind = row->kind;
  const std::string_view expected = fields[columns.expected];
  if (expected != "valid" && expected != "invalid") {
    throw CorpusError(lineNumber, "expected is " + Quoted(expected) + ", not valid or invalid");
  }
  record.expectedValid = expected == "valid";
  DecodeUtf8Into(fields[columns.value], lineNumber, record.value);
  const std::string_view second = fields[columns.second];
  if (!row->twoFields && !second.empty()) {
    throw CorpusError(lineNumber, "a second field for " + std::string(row->name) + ", which takes one");
  }
  DecodeUtf8Into(second, lineNumber, record.second);
}

CorpusReader::CorpusReader(std::istream& in) : in_(in), buffer_(kMaxLineBytes + 2) {
  if (!ReadLine()) throw CorpusError(1, "no header line");
  if (line_.substr(0, kByteOrderMark.size()) == kByteOrderMark) line_.remove_prefix(kByteOrderMark.size());
  columns_ = ParseHeader(line_);
}

bool CorpusReader::ReadLine() {
  if (!in_.getline(buffer_.data(), static_cast<std::streamsize>(buffer_.size()))) {
    const bool tooLong = in_.fail() && !in_.eof() && in_.gcount() == static_cast<std::streamsize>(buffer_.size() - 1);
    if (tooLong) {
      throw CorpusError(lineNumber_ + 1, "longer than " + std::to_string(kMaxLineBytes) + " bytes");
    }
    if (in_.bad()) throw CorpusError(lineNumber_ + 1, "cannot be read");
    // The end: a last line without a line end still counts.
    if (in_.gcount() == 0) return false;
  }
  ++lineNumber_;
  // gcount includes the extracted line end, if any.
  std::size_t length = static_cast<std::size_t>(in_.gcount());
  if (!in_.eof()) --length;
  if (length > 0 && buffer_[length - 1] == '\r') --length;
  if (length > kMaxLineBytes) {
    throw CorpusError(lineNumber_, "longer than " + std::to_string(kMaxLineBytes) + " bytes");
  }
  line_ = std::string_view(buffer_.data(), length);
  return true;
}

bool CorpusReader::Next(Record& record) {
  for (;;) {
    if (!ReadLine()) return false;
    if (line_.empty()) continue;
    ParseRecordInto(line_, columns_, lineNumber_, fields_, record);
    return true;
  }
}

}  // namespace vrifax_run
