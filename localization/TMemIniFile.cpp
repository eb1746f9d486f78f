// TMemIniFile: decoding, line parsing and hashed reads of one language file.
//
// The decoded text is kept as one buffer; sections and lines are stored as
// offsets into it, so that parsing allocates nothing per line. The indexes
// (sections of the reader, keys of each section) are open-addressing tables
// over the upper-cased names, built on the first read that needs them.
#include "localization/TMemIniFile.h"

#include <cstring>
#include <limits>
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

// One stored line of a section: an entry has a key; other lines keep only
// their text (key.len == kNone).
struct LineRec {
  Slice key;    // entry: trimmed key; other line: key.len == kNone
  Slice value;  // entry: trimmed value; other line: the whole trimmed line
};

struct SectionRec {
  Slice name;
  std::uint32_t firstLine = 0;
  std::uint32_t lineCount = 0;
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

// A table from upper-cased names to item numbers; a repeated name keeps the
// last item added.
class NameIndex {
 public:
  // Builds the table over names (slices of text), item numbers parallel.
  void Build(const char16_t* text, const std::vector<Slice>& names,
             const std::vector<std::uint32_t>& items) {
    std::size_t total = 0;
    for (const Slice& s : names) total += s.len;
    pool_.resize(total);
    keys_.resize(names.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i].len) std::memcpy(&pool_[at], text + names[i].off, names[i].len * sizeof(char16_t));
      keys_[i] = {static_cast<std::uint32_t>(at), names[i].len};
      at += names[i].len;
    }
    platform::UpperCaseInPlace(&pool_[0], pool_.size());
    std::size_t cap = 8;
    while (cap < names.size() * 2) cap <<= 1;
    slots_.assign(cap, Slot{});
    mask_ = cap - 1;
    for (std::size_t i = 0; i < names.size(); ++i) Insert(static_cast<std::uint32_t>(i), items[i]);
  }

  // Returns the item of the upper-cased name, or kNone.
  std::uint32_t Find(const std::u16string& upper) const {
    if (slots_.empty()) return kNone;
    const std::uint32_t h = HashUnits(upper.data(), upper.size());
    for (std::size_t s = h & mask_;; s = (s + 1) & mask_) {
      const Slot& slot = slots_[s];
      if (slot.key == kNone) return kNone;
      if (slot.hash == h && Equals(slot.key, upper.data(), upper.size())) return slot.item;
    }
  }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t key = kNone;  // number of the name in keys_
    std::uint32_t item = 0;
  };

  bool Equals(std::uint32_t key, const char16_t* p, std::size_t n) const {
    const Slice& k = keys_[key];
    return k.len == n && (n == 0 || std::memcmp(pool_.data() + k.off, p, n * sizeof(char16_t)) == 0);
  }

  void Insert(std::uint32_t key, std::uint32_t item) {
    const Slice& k = keys_[key];
    const std::uint32_t h = HashUnits(pool_.data() + k.off, k.len);
    for (std::size_t s = h & mask_;; s = (s + 1) & mask_) {
      Slot& slot = slots_[s];
      if (slot.key == kNone) {
        slot = {h, key, item};
        return;
      }
      if (slot.hash == h && Equals(slot.key, pool_.data() + k.off, k.len)) {
        slot.item = item;  // a later name of the same spelling wins
        return;
      }
    }
  }

  std::u16string pool_;
  std::vector<Slice> keys_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
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
  std::vector<SectionRec> sections;
  std::vector<LineRec> lines;
  mutable NameIndex sectionIndex;
  mutable bool sectionIndexBuilt = false;
  mutable std::vector<std::unique_ptr<NameIndex>> keyIndexes;

  void Parse(std::size_t from = 0);
  const LineRec* FindEntry(const std::u16string& section, const std::u16string& key) const;
  std::u16string SliceText(const Slice& s) const { return text.substr(s.off, s.len); }
};

// Splits the text into lines (CR LF, LF, CR), trims them and files them
// into sections; lines before the first header are dropped.
void TMemIniFile::Impl::Parse(std::size_t from) {
  const char16_t* t = text.data();
  // Offsets are 32-bit: text beyond 4 G code units (no language file comes
  // near it) is not parsed.
  const std::size_t n = text.size() < kNone ? text.size() : kNone - 1;
  std::size_t i = from;
  while (i < n) {
    std::size_t start = i;
    while (i < n && t[i] != u'\r' && t[i] != u'\n') ++i;
    std::size_t end = i;
    if (i < n) i += (t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n') ? 2 : 1;
    while (start < end && IsTrimmed(t[start])) ++start;
    while (end > start && IsTrimmed(t[end - 1])) --end;
    if (start == end || t[start] == u';') continue;
    if (end - start >= 2 && t[start] == u'[' && t[end - 1] == u']') {
      std::size_t ns = start + 1, ne = end - 1;
      while (ns < ne && IsTrimmed(t[ns])) ++ns;
      while (ne > ns && IsTrimmed(t[ne - 1])) --ne;
      SectionRec s;
      s.name = {static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ne - ns)};
      s.firstLine = static_cast<std::uint32_t>(lines.size());
      sections.push_back(s);
      continue;
    }
    if (sections.empty()) continue;
    LineRec line;
    const char16_t* eq = std::char_traits<char16_t>::find(t + start, end - start, u'=');
    if (eq) {
      std::size_t ks = start, ke = static_cast<std::size_t>(eq - t);
      std::size_t vs = ke + 1, ve = end;
      while (ke > ks && IsTrimmed(t[ke - 1])) --ke;
      while (vs < ve && IsTrimmed(t[vs])) ++vs;
      line.key = {static_cast<std::uint32_t>(ks), static_cast<std::uint32_t>(ke - ks)};
      line.value = {static_cast<std::uint32_t>(vs), static_cast<std::uint32_t>(ve - vs)};
    } else {
      line.key = {0, kNone};
      line.value = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)};
    }
    lines.push_back(line);
    ++sections.back().lineCount;
  }
}

// Returns the last entry of key in the last section of that name, or null.
const LineRec* TMemIniFile::Impl::FindEntry(const std::u16string& section,
                                            const std::u16string& key) const {
  if (sections.empty()) return nullptr;
  if (!sectionIndexBuilt) {
    std::vector<Slice> names;
    std::vector<std::uint32_t> items;
    names.reserve(sections.size());
    items.reserve(sections.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
      names.push_back(sections[i].name);
      items.push_back(static_cast<std::uint32_t>(i));
    }
    sectionIndex.Build(text.data(), names, items);
    keyIndexes.resize(sections.size());
    sectionIndexBuilt = true;
  }
  std::u16string upper = section;
  platform::UpperCaseInPlace(&upper[0], upper.size());
  const std::uint32_t s = sectionIndex.Find(upper);
  if (s == kNone) return nullptr;
  std::unique_ptr<NameIndex>& keys = keyIndexes[s];
  if (!keys) {
    keys.reset(new NameIndex);
    std::vector<Slice> names;
    std::vector<std::uint32_t> items;
    const SectionRec& rec = sections[s];
    for (std::uint32_t l = rec.firstLine; l < rec.firstLine + rec.lineCount; ++l) {
      if (lines[l].key.len == kNone) continue;  // not an entry: never found
      names.push_back(lines[l].key);
      items.push_back(l);
    }
    keys->Build(text.data(), names, items);
  }
  upper = key;
  platform::UpperCaseInPlace(&upper[0], upper.size());
  const std::uint32_t l = keys->Find(upper);
  return l == kNone ? nullptr : &lines[l];
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
  const LineRec* line = impl_->FindEntry(section, key);
  return line ? impl_->SliceText(line->value) : def;
}

std::int32_t TMemIniFile::ReadInt(const std::u16string& section, const std::u16string& key,
                                  std::int32_t def) const {
  const LineRec* line = impl_->FindEntry(section, key);
  std::int32_t value = def;
  if (line && TryParseIniInt(impl_->SliceText(line->value), value)) return value;
  return def;
}

std::size_t TMemIniFile::SectionCount() const { return impl_->sections.size(); }

std::u16string TMemIniFile::SectionName(std::size_t i) const {
  return impl_->SliceText(impl_->sections.at(i).name);
}

std::vector<std::u16string> TMemIniFile::SectionLines(std::size_t i) const {
  const SectionRec& rec = impl_->sections.at(i);
  std::vector<std::u16string> out;
  for (std::uint32_t l = rec.firstLine; l < rec.firstLine + rec.lineCount; ++l) {
    const LineRec& line = impl_->lines[l];
    if (line.key.len == kNone) {
      out.push_back(impl_->SliceText(line.value));
    } else {
      out.push_back(impl_->SliceText(line.key) + u"=" + impl_->SliceText(line.value));
    }
  }
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
