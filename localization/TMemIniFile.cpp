// TMemIniFile: decoding, line parsing and hashed reads of one language file.
//
// The decoded text is the only copy of the content: a section is stored as
// the offsets of its header line and of its body, and nothing is stored per
// line, so short lines cost no more than their text. Names and values are
// found again in the text when needed. The indexes (sections of the reader,
// keys of a section) are open-addressing tables of offsets with a byte of
// each name's hash, built on the first read that needs them and sized once
// from the number of names, so a table costs 5 bytes per slot at a load of
// at most two thirds.
#include "localization/TMemIniFile.h"

#include <cstring>
#include <limits>
#include <unordered_map>
#include <utility>

#include "platform/Platform.h"

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndianHost = true;
#else
constexpr bool kLittleEndianHost = false;  // the UTF-16LE text is then decoded unit by unit
#endif

// A stretch of the decoded text.
struct Slice {
  std::uint32_t off = 0;
  std::uint32_t len = 0;
};

// One section: where its header starts (the "[") and where its body (the
// lines up to the next header, or the end) starts.
struct SectionRec {
  std::uint32_t header = 0;
  std::uint32_t body = 0;
};

// Returns true for the characters that trimming removes (U+0001..U+0020;
// U+0000 never reaches the parser, it ends the text).
inline bool IsTrimmed(char16_t c) { return c <= 0x20; }

// Returns the FNV-1a hash of the code units.
inline std::uint32_t HashUnits(const char16_t* p, std::size_t n) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < n; ++i) {
    h ^= p[i];
    h *= 16777619u;
  }
  return h;
}

// Returns the position of the first CR or LF in t[i, to), or to. Four code
// units are tested at a time (a 16-bit lane equal to LF or CR makes the
// zero-lane test of v ^ pattern true), since long lines are most of a file.
inline std::size_t FindLineEnd(const char16_t* t, std::size_t i, std::size_t to) {
  constexpr std::uint64_t kOnes = 0x0001000100010001ull, kHigh = 0x8000800080008000ull;
  constexpr std::uint64_t kLf = 0x000A000A000A000Aull, kCr = 0x000D000D000D000Dull;
  for (; i + 4 <= to; i += 4) {
    std::uint64_t v;
    std::memcpy(&v, t + i, sizeof v);
    const std::uint64_t lf = v ^ kLf, cr = v ^ kCr;
    if ((((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHigh) break;
  }
  while (i < to && t[i] != u'\r' && t[i] != u'\n') ++i;
  return i;
}

// Calls fn(start, end, next) with the trimmed bounds of every line of
// t[from, to) that is neither empty nor a comment, and where the next line
// starts; from and to lie at line starts. Lines end at CR LF, LF or CR.
template <class Fn>
void ForEachLine(const char16_t* t, std::size_t from, std::size_t to, Fn fn) {
  std::size_t i = from;
  while (i < to) {
    std::size_t start = i;
    i = FindLineEnd(t, i, to);
    std::size_t end = i;
    if (i < to) i += (t[i] == u'\r' && i + 1 < to && t[i + 1] == u'\n') ? 2 : 1;
    while (start < end && IsTrimmed(t[start])) ++start;
    while (end > start && IsTrimmed(t[end - 1])) --end;
    if (start == end || t[start] == u';') continue;
    fn(start, end, i);
  }
}

inline bool IsHeader(const char16_t* t, std::size_t start, std::size_t end) {
  return end - start >= 2 && t[start] == u'[' && t[end - 1] == u']';
}

// Returns the end of the line that starts (trimmed) at start, trailing
// blanks removed.
std::size_t TrimmedLineEnd(const char16_t* t, std::size_t n, std::size_t start) {
  std::size_t end = FindLineEnd(t, start, n);
  while (end > start && IsTrimmed(t[end - 1])) --end;
  return end;
}

// An entry line split at its first "=": the trimmed key and value.
struct EntryParts {
  Slice key, value;
};

// Returns the parts of the entry in t[start, end), or a key of length kNone
// when the line holds no "=".
EntryParts SplitEntry(const char16_t* t, std::size_t start, std::size_t end) {
  const char16_t* eq = std::char_traits<char16_t>::find(t + start, end - start, u'=');
  if (!eq) return {{0, kNone}, {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)}};
  std::size_t ke = static_cast<std::size_t>(eq - t), vs = ke + 1;
  while (ke > start && IsTrimmed(t[ke - 1])) --ke;
  while (vs < end && IsTrimmed(t[vs])) ++vs;
  return {{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(ke - start)},
          {static_cast<std::uint32_t>(vs), static_cast<std::uint32_t>(end - vs)}};
}

// A table from upper-cased names to references (a section's number, an
// entry line's offset); a repeated name keeps the last reference added. The
// names stay in the text: nameOf(ref) finds a reference's name there.
class NameIndex {
 public:
  using NameOf = Slice (*)(const void* owner, std::uint32_t ref);

  NameIndex(const char16_t* text, NameOf nameOf, const void* owner)
      : text_(text), nameOf_(nameOf), owner_(owner) {}

  // Builds the table for count references, which forEach(add) hands to
  // add(ref, name) in file order. The names are upper-cased in batches (one
  // call each).
  template <class ForEach>
  void Build(std::size_t count, ForEach forEach) {
    const std::size_t cap = count + count / 2 + 1;
    refs_.assign(cap, kNone);
    tags_.assign(cap, 0);
    std::u16string pool;
    std::vector<std::pair<std::uint32_t, Slice>> batch;  // reference, its name in pool
    auto flush = [&] {
      if (!pool.empty()) platform::UpperCaseInPlace(&pool[0], pool.size());
      for (const auto& item : batch) Insert(item.first, pool.data() + item.second.off, item.second.len);
      pool.clear();
      batch.clear();
    };
    forEach([&](std::uint32_t ref, const Slice& name) {
      batch.push_back({ref, {static_cast<std::uint32_t>(pool.size()), name.len}});
      pool.append(text_ + name.off, name.len);
      if (pool.size() >= kBatchUnits || batch.size() >= kBatchNames) flush();
    });
    flush();
  }

  // Returns the reference of the upper-cased name, or kNone.
  std::uint32_t Find(const std::u16string& upper) const {
    if (refs_.empty()) return kNone;
    const std::uint32_t h = HashUnits(upper.data(), upper.size());
    for (std::size_t s = SlotOf(h);; s = s + 1 == refs_.size() ? 0 : s + 1) {
      if (refs_[s] == kNone) return kNone;
      if (tags_[s] == Tag(h) && Equals(refs_[s], upper.data(), upper.size())) return refs_[s];
    }
  }

 private:
  static constexpr std::size_t kBatchUnits = 32768, kBatchNames = 4096;

  static std::uint8_t Tag(std::uint32_t h) { return static_cast<std::uint8_t>(h); }
  std::size_t SlotOf(std::uint32_t h) const {
    return static_cast<std::size_t>((static_cast<std::uint64_t>(h) * refs_.size()) >> 32);
  }

  // Returns true when the name of ref, upper-cased, is p[0, n).
  bool Equals(std::uint32_t ref, const char16_t* p, std::size_t n) const {
    const Slice name = nameOf_(owner_, ref);
    if (name.len != n) return false;
    scratch_.assign(text_ + name.off, n);
    if (n) platform::UpperCaseInPlace(&scratch_[0], n);
    return std::memcmp(scratch_.data(), p, n * sizeof(char16_t)) == 0;
  }

  void Insert(std::uint32_t ref, const char16_t* upper, std::size_t n) {
    const std::uint32_t h = HashUnits(upper, n);
    for (std::size_t s = SlotOf(h);; s = s + 1 == refs_.size() ? 0 : s + 1) {
      if (refs_[s] == kNone) {
        refs_[s] = ref;
        tags_[s] = Tag(h);
        return;
      }
      if (tags_[s] == Tag(h) && Equals(refs_[s], upper, n)) {
        refs_[s] = ref;  // a later name of the same spelling wins
        return;
      }
    }
  }

  const char16_t* text_;
  NameOf nameOf_;
  const void* owner_;
  std::vector<std::uint32_t> refs_;
  std::vector<std::uint8_t> tags_;
  mutable std::u16string scratch_;
};

// Returns the position of the first NUL in [p, p+n), or n.
std::size_t FindNul(const char16_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] == 0) return i;
  return n;
}

std::u16string DecodeUtf16(const unsigned char* p, std::size_t n, bool bigEndian) {
  const std::size_t units = n / 2;  // a last odd byte is ignored
  std::u16string out(units, u'\0');
  const int hi = bigEndian ? 0 : 1;
  const int lo = 1 - hi;
  std::size_t len = units;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(p[2 * i + lo] | (p[2 * i + hi] << 8));
    if (c == 0) {
      len = i;
      break;
    }
    out[i] = c;
  }
  out.resize(len);
  return out;
}

// Appends code point cp as UTF-16.
inline void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes UTF-8; each malformed sequence becomes one U+FFFD, and decoding
// goes on after it (overlong forms, surrogates and values beyond U+10FFFF
// are malformed).
std::u16string DecodeUtf8(const unsigned char* p, std::size_t n) {
  std::u16string out;
  out.reserve(n);
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    std::size_t need = 0;
    std::uint32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = 1;
    for (; j <= need && i + j < n && (p[i + j] & 0xC0) == 0x80; ++j) cp = (cp << 6) | (p[i + j] & 0x3F);
    if (j <= need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      i += j;  // skip the lead and the continuation bytes seen
      continue;
    }
    AppendCodePoint(out, cp);
    i += need + 1;
  }
  out.resize(FindNul(out.data(), out.size()));
  return out;
}

}  // namespace

struct TMemIniFile::Impl {
  std::u16string text;
  std::size_t end = 0;  // the parsed part of text
  std::vector<SectionRec> sections;
  mutable std::unique_ptr<NameIndex> sectionIndex;
  mutable std::unordered_map<std::uint32_t, NameIndex> keyIndexes;  // by section number

  void Parse(std::size_t from = 0);
  std::size_t BodyEnd(std::size_t s) const { return s + 1 < sections.size() ? sections[s + 1].header : end; }
  Slice SectionNameSlice(std::size_t s) const;
  // Returns the parts of the entry line starting (trimmed) at start.
  EntryParts EntryAt(std::size_t start) const {
    return SplitEntry(text.data(), start, TrimmedLineEnd(text.data(), end, start));
  }
  const NameIndex& KeyIndex(std::uint32_t s) const;
  // Returns the offset of the last entry of key in the last section of that
  // name, or kNone.
  std::uint32_t FindEntry(const std::u16string& section, const std::u16string& key) const;
  std::u16string SliceText(const Slice& s) const { return text.substr(s.off, s.len); }
};

// Finds the section headers; lines before the first one belong to none.
// Counted first, so the section table is allocated once at its size.
void TMemIniFile::Impl::Parse(std::size_t from) {
  const char16_t* t = text.data();
  // Offsets are 32-bit: text beyond 4 G code units (no language file comes
  // near it) is not parsed.
  end = text.size() < kNone ? text.size() : kNone - 1;
  std::size_t headers = 0;
  ForEachLine(t, from, end, [&](std::size_t start, std::size_t e, std::size_t) {
    if (IsHeader(t, start, e)) ++headers;
  });
  sections.reserve(headers);
  // A body ends at the "[" of the next header: what lies before it on that
  // line is blank, so the body's lines are the same as in the whole text.
  ForEachLine(t, from, end, [&](std::size_t start, std::size_t e, std::size_t next) {
    if (IsHeader(t, start, e))
      sections.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(next)});
  });
}

Slice TMemIniFile::Impl::SectionNameSlice(std::size_t s) const {
  const char16_t* t = text.data();
  std::size_t ns = sections[s].header, ne = TrimmedLineEnd(t, end, ns);
  ++ns, --ne;  // the brackets
  while (ns < ne && IsTrimmed(t[ns])) ++ns;
  while (ne > ns && IsTrimmed(t[ne - 1])) --ne;
  return {static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ne - ns)};
}

const NameIndex& TMemIniFile::Impl::KeyIndex(std::uint32_t s) const {
  const auto found = keyIndexes.find(s);
  if (found != keyIndexes.end()) return found->second;
  NameIndex index(
      text.data(),
      [](const void* owner, std::uint32_t ref) { return static_cast<const Impl*>(owner)->EntryAt(ref).key; },
      this);
  const char16_t* t = text.data();
  std::size_t entries = 0;
  ForEachLine(t, sections[s].body, BodyEnd(s), [&](std::size_t start, std::size_t e, std::size_t) {
    if (std::char_traits<char16_t>::find(t + start, e - start, u'=')) ++entries;
  });
  index.Build(entries, [&](auto&& add) {
    ForEachLine(t, sections[s].body, BodyEnd(s), [&](std::size_t start, std::size_t e, std::size_t) {
      const EntryParts parts = SplitEntry(t, start, e);
      if (parts.key.len != kNone) add(static_cast<std::uint32_t>(start), parts.key);
    });
  });
  return keyIndexes.emplace(s, std::move(index)).first->second;
}

std::uint32_t TMemIniFile::Impl::FindEntry(const std::u16string& section, const std::u16string& key) const {
  if (sections.empty()) return kNone;
  if (!sectionIndex) {
    sectionIndex.reset(new NameIndex(
        text.data(),
        [](const void* owner, std::uint32_t ref) { return static_cast<const Impl*>(owner)->SectionNameSlice(ref); },
        this));
    sectionIndex->Build(sections.size(), [&](auto&& add) {
      for (std::size_t i = 0; i < sections.size(); ++i) add(static_cast<std::uint32_t>(i), SectionNameSlice(i));
    });
  }
  std::u16string upper = section;
  platform::UpperCaseInPlace(&upper[0], upper.size());
  const std::uint32_t s = sectionIndex->Find(upper);
  if (s == kNone) return kNone;
  upper = key;
  platform::UpperCaseInPlace(&upper[0], upper.size());
  return KeyIndex(s).Find(upper);
}

TMemIniFile::TMemIniFile() : impl_(new Impl) {}

TMemIniFile::TMemIniFile(const std::u16string& path) : impl_(new Impl) {
  platform::FileContent content;
  if (!platform::ReadWholeFile(path, content)) return;
  const unsigned char* p = content.bytes();
  if (kLittleEndianHost && content.size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
    // UTF-16LE on a little-endian machine: the text is already where it
    // lies; only the mark (the first unit) and an odd last byte go.
    std::u16string& units = content.units;
    units.resize(content.size / 2);
    units.resize(FindNul(units.data(), units.size()));
    impl_->text = std::move(units);
    impl_->Parse(1);
    return;
  }
  impl_->text = DecodeLanguageFileBytes(p, content.size);
  impl_->Parse();
}

TMemIniFile::~TMemIniFile() = default;

std::unique_ptr<TMemIniFile> TMemIniFile::FromBytes(const void* data, std::size_t size) {
  std::unique_ptr<TMemIniFile> ini(new TMemIniFile);
  ini->impl_->text = DecodeLanguageFileBytes(data, size);
  ini->impl_->Parse();
  return ini;
}

std::unique_ptr<TMemIniFile> TMemIniFile::FromText(std::u16string text) {
  std::unique_ptr<TMemIniFile> ini(new TMemIniFile);
  text.resize(FindNul(text.data(), text.size()));
  ini->impl_->text = std::move(text);
  ini->impl_->Parse();
  return ini;
}

std::unique_ptr<TMemIniFile> TMemIniFile::Empty() {
  return std::unique_ptr<TMemIniFile>(new TMemIniFile);
}

std::u16string TMemIniFile::ReadText(const std::u16string& section, const std::u16string& key,
                                     const std::u16string& def) const {
  std::u16string value;
  return TryReadText(section, key, value) ? value : def;
}

bool TMemIniFile::TryReadText(const std::u16string& section, const std::u16string& key,
                              std::u16string& value) const {
  const std::uint32_t line = impl_->FindEntry(section, key);
  if (line == kNone) return false;
  value = impl_->SliceText(impl_->EntryAt(line).value);
  return true;
}

std::int32_t TMemIniFile::ReadInt(const std::u16string& section, const std::u16string& key,
                                  std::int32_t def) const {
  const std::uint32_t line = impl_->FindEntry(section, key);
  std::int32_t value = def;
  if (line != kNone && TryParseIniInt(impl_->SliceText(impl_->EntryAt(line).value), value)) return value;
  return def;
}

std::size_t TMemIniFile::SectionCount() const { return impl_->sections.size(); }

std::u16string TMemIniFile::SectionName(std::size_t i) const {
  static_cast<void>(impl_->sections.at(i));  // out of range: std::out_of_range
  return impl_->SliceText(impl_->SectionNameSlice(i));
}

std::vector<std::u16string> TMemIniFile::SectionLines(std::size_t i) const {
  const SectionRec& rec = impl_->sections.at(i);
  const char16_t* t = impl_->text.data();
  std::vector<std::u16string> out;
  ForEachLine(t, rec.body, impl_->BodyEnd(i), [&](std::size_t start, std::size_t end, std::size_t) {
    const EntryParts parts = SplitEntry(t, start, end);
    if (parts.key.len == kNone) {
      out.push_back(impl_->SliceText(parts.value));
    } else {
      out.push_back(impl_->SliceText(parts.key) + u"=" + impl_->SliceText(parts.value));
    }
  });
  return out;
}

std::u16string DecodeLanguageFileBytes(const void* data, std::size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) return DecodeUtf16(p + 2, size - 2, false);
  if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) return DecodeUtf16(p + 2, size - 2, true);
  if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return DecodeUtf8(p + 3, size - 3);
  // ANSI: the text ends at the first zero byte.
  const void* nul = size ? std::memchr(p, 0, size) : nullptr;
  const std::size_t len = nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p) : size;
  std::u16string out = platform::DecodeAnsi(reinterpret_cast<const char*>(p), len);
  out.resize(FindNul(out.data(), out.size()));
  return out;
}

namespace {

// Returns the value of a hexadecimal digit, or -1.
int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Returns the length of the hexadecimal marker at p (0: none).
std::size_t HexMarker(const char16_t* p, std::size_t n) {
  if (n >= 1 && (p[0] == u'$' || p[0] == u'x' || p[0] == u'X')) return 1;
  if (n >= 2 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) return 2;
  return 0;
}

}  // namespace

bool TryParseIniInt(const std::u16string& value, std::int32_t& out) {
  const char16_t* p = value.data();
  std::size_t n = value.size();
  bool negative = false;
  if (n && (p[0] == u'-' || p[0] == u'+')) {
    negative = p[0] == u'-';
    ++p, --n;
  }
  if (const std::size_t m = HexMarker(p, n)) {
    p += m, n -= m;
    if (n == 0) return false;
    std::uint32_t v = 0;
    int significant = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const int d = HexDigit(p[i]);
      if (d < 0) return false;
      if (significant || d) ++significant;
      if (significant > 8) return false;
      v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    if (negative) v = 0u - v;  // two's complement negation of the 32 bits
    out = static_cast<std::int32_t>(v);
    return true;
  }
  if (n == 0) return false;
  std::int64_t v = 0;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] < u'0' || p[i] > u'9') return false;
    v = v * 10 + (p[i] - u'0');
    if (v > limit) return false;
  }
  out = static_cast<std::int32_t>(negative ? -v : v);
  return true;
}
