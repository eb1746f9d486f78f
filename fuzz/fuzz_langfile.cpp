// Fuzz target of the language file reader: raw bytes in, as a file would
// hold them. Besides the sanitizers it checks what the reader promises:
// stored names and values are trimmed and hold no line end or NUL, and a
// read finds the last occurrence of a key in the last section of a name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "localization/TMemIniFile.h"
#include "platform/Platform.h"

namespace {

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

bool IsTrimmedText(const std::u16string& s) {
  for (char16_t c : s)
    if (c == 0 || c == u'\r' || c == u'\n') return false;
  return s.empty() || (s.front() > 0x20 && s.back() > 0x20);
}

std::u16string Upper(std::u16string s) {
  platform::UpperCaseInPlace(&s[0], s.size());
  return s;
}

// Checks every entry of section i against a read through the indexes.
void CheckSection(const TMemIniFile& ini, std::size_t i) {
  const std::u16string name = ini.SectionName(i);
  Require(IsTrimmedText(name));
  const std::u16string upperName = Upper(name);
  for (std::size_t j = i + 1; j < ini.SectionCount(); ++j)
    if (Upper(ini.SectionName(j)) == upperName) return;  // a later section of this name shadows it
  const std::vector<std::u16string> lines = ini.SectionLines(i);
  for (std::size_t l = 0; l < lines.size(); ++l) {
    Require(!lines[l].empty());
    const std::size_t eq = lines[l].find(u'=');
    if (eq == std::u16string::npos) {
      Require(IsTrimmedText(lines[l]));
      continue;
    }
    const std::u16string key = lines[l].substr(0, eq);
    std::u16string expected = lines[l].substr(eq + 1);
    Require(IsTrimmedText(key) && IsTrimmedText(expected));
    for (std::size_t m = l + 1; m < lines.size(); ++m) {
      const std::size_t e2 = lines[m].find(u'=');
      if (e2 != std::u16string::npos && Upper(lines[m].substr(0, e2)) == Upper(key)) expected = lines[m].substr(e2 + 1);
    }
    Require(ini.ReadText(name, key, u" default ") == expected);
    std::int32_t parsed = 0;
    const bool valid = TryParseIniInt(expected, parsed);
    Require(ini.ReadInt(name, key, 12345) == (valid ? parsed : 12345));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;  // the checks are quadratic; larger inputs add nothing
  const std::unique_ptr<TMemIniFile> ini = TMemIniFile::FromBytes(data, size);
  for (std::size_t i = 0; i < ini->SectionCount(); ++i) CheckSection(*ini, i);
  // Reads of names that the file may or may not have.
  (void)ini->ReadText(u"main", u"LangName", u"x");
  (void)ini->ReadInt(u"main", u"LangID", -1);
  (void)ini->ReadText(u"", u"", u"x");
  // The integer syntax straight from the bytes, read as one value.
  std::int32_t v = 0;
  (void)TryParseIniInt(std::u16string(data, data + (size < 64 ? size : 64)), v);
  return 0;
}
