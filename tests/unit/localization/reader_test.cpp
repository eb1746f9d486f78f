// TMemIniFile: line and header rules, reading rules, encodings of real
// files, the integer syntax, and what a stored file keeps.
#include <gtest/gtest.h>

#include <cstring>

#include "localization/TMemIniFile.h"
#include "tests/unit/localization/TestFiles.h"

namespace {

using testfiles::Show;
using testfiles::TempDir;

const std::u16string kDef = u"<default>";

struct ReadCase {
  const char16_t* text;
  const char16_t* section;
  const char16_t* key;
  const char16_t* expected;  // null: the default
  const char* reason;
};

TEST(TMemIniFileLines, LineAndHeaderRules) {
  const ReadCase cases[] = {
      {u"[s]\nk=v", u"s", u"k", u"v", "plain entry, last line without line end"},
      {u"k=v\n[s]\n", u"s", u"k", nullptr, "entries before the first header are never found"},
      {u"k=v\n[s]\n", u"", u"k", nullptr, "not even in the empty section"},
      {u"[ Sect ]\nk=v", u"SECT", u"K", u"v", "spaces inside the brackets and letter case do not count"},
      {u"[ Sect ]\nk=v", u" Sect ", u"k", nullptr, "the requested section is not trimmed"},
      {u"[s] ; c\nk=v", u"s", u"k", nullptr, "a header with a comment behind it opens no section"},
      {u"[a]\nk=1\n[s] ; c\nk=2", u"a", u"k", u"2", "...so its entries belong to the section before"},
      {u"[a]\nk=1\n[s] ; c\nk=2", u"s", u"k", nullptr, "...and no section s exists"},
      {u"[s]k=v\n", u"s", u"k", nullptr, "text behind ']' on the line: no header"},
      {u"[s]\n   ; k=v\nk=w", u"s", u"; k", nullptr, "an indented ';' line is a comment"},
      {u"[s]\n;k=v", u"s", u";k", nullptr, "a comment line is no entry"},
      {u"[s]\nk=v ; c", u"s", u"k", u"v ; c", "';' later in a line is part of the value"},
      {u"[s]\nk=v # c", u"s", u"k", u"v # c", "'#' is no comment"},
      {u"[s]\n#k=v", u"s", u"#k", u"v", "'#' at the start is part of the key"},
      {u"[s]\nk=", u"s", u"k", u"", "an empty value is found, not the default"},
      {u"[s]\nk=\"q v\"", u"s", u"k", u"\"q v\"", "quotes stay"},
      {u"[s]\nk=a\\nb", u"s", u"k", u"a\\nb", "no escape sequences"},
      {u"[s]\nk=a=b", u"s", u"k", u"a=b", "the key ends at the first '='"},
      {u"[s]\nlonely line", u"s", u"lonely line", nullptr, "a line without '=' is never found"},
      {u"[s]\nk=1\nk=2", u"s", u"k", u"2", "a repeated key: the last one wins"},
      {u"[s]\nK=1\nk=2", u"s", u"K", u"2", "...also in another letter case"},
      {u"[main]\nLangName=X\n[main]\nLangID=1", u"main", u"LangName", nullptr, "only the last section of a name counts"},
      {u"[s]\nk=v\n[S]\nj=w", u"s", u"k", nullptr, "...also when the names differ in letter case"},
      {u"[s]\nk=v", u"s", u" k", nullptr, "the requested key is not trimmed"},
      {u"[s]\nk=v", u"s", u"k ", nullptr, "...on either side"},
      {u"[s]\n  k  =  v  w  ", u"s", u"k", u"v  w", "spaces around '=' and at the ends go, inner ones stay"},
      {u"[s]\n\tk\t=\tv\t", u"s", u"k", u"v", "tabs are trimmed"},
      {u"[s]\n\x01k\x1f=\x02v\x19", u"s", u"k", u"v", "every control character up to U+0020 is trimmed"},
      {u"[s]\n\x7fk=v", u"s", u"\x7fk", u"v", "U+007F is not trimmed"},
      {u"[s]\n\u00a0k=v", u"s", u"\u00a0k", u"v", "no-break space is not trimmed"},
      {u"[s]\n=e", u"s", u"", u"e", "an entry line beginning with '=' has the empty key"},
      {u"[]\nk=v", u"", u"k", u"v", "[] opens the empty section"},
      {u"[   ]\nk=v", u"", u"k", u"v", "...as do brackets holding only spaces"},
      {u"[a]b]\nk=v", u"a]b", u"k", u"v", "the name is everything between the outer brackets"},
      {u"[s]\n[x]=1", u"s", u"[x]", u"1", "a line ending in a value is no header"},
      {u"[s]\n[", u"s", u"[", nullptr, "a lone '[' is no header and no entry"},
      {u"[s]\nk=v\r\n[t]\r\nj=w\r\n", u"t", u"j", u"w", "CR LF line ends"},
      {u"[s]\rk=v\r[t]\rj=w\r", u"t", u"j", u"w", "lone CR line ends"},
      {u"[s]\r\rk=v\n\n\r\n", u"s", u"k", u"v", "empty lines of every kind are ignored"},
      {u"[s]\nk=v\r\n\r[t]\nj=w", u"s", u"k", u"v", "mixed line ends"},
      {u"[Раздел]\nКлюч=значение", u"раздел", u"КЛЮЧ", u"значение", "Cyrillic letter case"},
      {u"[ЄҐІЇ]\nк=1", u"єґії", u"К", u"1", "Ukrainian letters"},
      {u"[σύνολο]\nα=1", u"ΣΎΝΟΛΟ", u"Α", u"1", "Greek letter case"},
      {u"[éñ]\nÿ=1", u"ÉÑ", u"Ÿ", u"1", "Latin-1 letters, y with diaeresis included"},
      {u"[s]\nk=v", u"t", u"k", nullptr, "a missing section"},
      {u"[a]\nk=1\n \t[b]\nk=2", u"a", u"k", u"1", "an indented header ends the section before it"},
      {u"[a]\nk=1\n \t[b]\nk=2", u"b", u"k", u"2", "...and opens its own"},
      {u"[a]\r\nk=1\r\n[b]", u"a", u"k", u"1", "a last header without line end"},
  };
  for (const ReadCase& c : cases) {
    const auto ini = TMemIniFile::FromText(c.text);
    const std::u16string expected = c.expected ? c.expected : kDef;
    EXPECT_EQ(ini->ReadText(c.section, c.key, kDef), expected)
        << c.reason << " [" << Show(c.text) << "] got " << Show(ini->ReadText(c.section, c.key, kDef));
  }
}

TEST(TMemIniFileLines, KeepsSectionsAndLinesInFileOrder) {
  const auto ini = TMemIniFile::FromText(
      u"ignored=1\n[main]\n LangName = English \nplain text\n;comment\n[ String ]\na=1\n[main]\n=x\n");
  ASSERT_EQ(ini->SectionCount(), 3u);
  EXPECT_EQ(ini->SectionName(0), u"main");
  EXPECT_EQ(ini->SectionName(1), u"String");
  EXPECT_EQ(ini->SectionName(2), u"main");
  EXPECT_EQ(ini->SectionLines(0), (std::vector<std::u16string>{u"LangName=English", u"plain text"}));
  EXPECT_EQ(ini->SectionLines(1), (std::vector<std::u16string>{u"a=1"}));
  EXPECT_EQ(ini->SectionLines(2), (std::vector<std::u16string>{u"=x"}));
}

TEST(TMemIniFileLines, IndentedHeaderLeavesNoLineInTheSectionBefore) {
  const auto ini = TMemIniFile::FromText(u"[a]\nk=1\n  [b]  \nj=2\n\t[c]");
  ASSERT_EQ(ini->SectionCount(), 3u);
  EXPECT_EQ(ini->SectionLines(0), (std::vector<std::u16string>{u"k=1"}));
  EXPECT_EQ(ini->SectionLines(1), (std::vector<std::u16string>{u"j=2"}));
  EXPECT_EQ(ini->SectionLines(2), std::vector<std::u16string>{});
  EXPECT_EQ(ini->SectionName(1), u"b");
}

// Sections and keys far beyond the batches in which the indexes upper-case
// names (thousands of names, tens of thousands of code units): repeated names
// in different batches still resolve to the last one.
TEST(TMemIniFileLines, LargeIndexesKeepTheLastOfAName) {
  std::u16string text = u"[big]\ndup=first\n";
  const std::u16string longKey(40000, u'q');
  text += longKey + u"=long\n";
  for (int i = 0; i < 20000; ++i) {
    const std::string n = std::to_string(i);
    text += u"k" + std::u16string(n.begin(), n.end()) + u"=" + std::u16string(n.begin(), n.end()) + u"\n";
  }
  text += u"DUP=last\n";
  for (int i = 0; i < 5000; ++i) {
    const std::string n = std::to_string(i);
    text += u"[s" + std::u16string(n.begin(), n.end()) + u"]\nv=" + std::u16string(n.begin(), n.end()) + u"\n";
  }
  text += u"[S0]\nv=again\n";
  const auto ini = TMemIniFile::FromText(text);
  EXPECT_EQ(ini->ReadText(u"big", u"dup", kDef), u"last");
  EXPECT_EQ(ini->ReadText(u"BIG", u"K0", kDef), u"0");
  EXPECT_EQ(ini->ReadText(u"big", u"k19999", kDef), u"19999");
  EXPECT_EQ(ini->ReadText(u"big", u"k20000", kDef), kDef);
  EXPECT_EQ(ini->ReadText(u"big", std::u16string(40000, u'Q'), kDef), u"long");
  EXPECT_EQ(ini->ReadText(u"big", std::u16string(39999, u'q'), kDef), kDef);
  EXPECT_EQ(ini->ReadText(u"s4999", u"v", kDef), u"4999");
  EXPECT_EQ(ini->ReadText(u"s0", u"v", kDef), u"again");
  EXPECT_EQ(ini->ReadText(u"s5000", u"v", kDef), kDef);
}

// Line ends are searched several code units at a time: each kind of line
// end at every position within such a group ends the line there.
TEST(TMemIniFileLines, LineEndsAtEveryPositionOfALine) {
  const std::u16string ends[] = {u"\n", u"\r", u"\r\n"};
  for (const std::u16string& eol : ends) {
    for (std::size_t n = 0; n < 12; ++n) {
      const std::u16string x(n, u'x'), y(n + 1, u'y');
      const auto ini = TMemIniFile::FromText(u"[s]" + eol + u"k=" + x + eol + u"j=" + y + eol + u"[t]" + eol + u"k=" + y);
      EXPECT_EQ(ini->ReadText(u"s", u"k", kDef), x) << n << " units, line end " << Show(eol);
      EXPECT_EQ(ini->ReadText(u"s", u"j", kDef), y) << n << " units, line end " << Show(eol);
      EXPECT_EQ(ini->ReadText(u"t", u"k", kDef), y) << n << " units, line end " << Show(eol);
      EXPECT_EQ(ini->SectionLines(0), (std::vector<std::u16string>{u"k=" + x, u"j=" + y}));
    }
  }
}

TEST(TMemIniFileLines, TryReadTellsFoundFromMissing) {
  const auto ini = TMemIniFile::FromText(u"[s]\nempty=\nk=v\nlonely\n");
  const struct {
    const char16_t* section;
    const char16_t* key;
    bool found;
    const char16_t* value;  // what value holds afterwards
    const char* reason;
  } cases[] = {
      {u"s", u"k", true, u"v", "an entry"},
      {u"S", u"EMPTY", true, u"", "an empty value is found"},
      {u"s", u"lonely", false, u"untouched", "a line without '=' is not"},
      {u"t", u"k", false, u"untouched", "nor a missing section"},
  };
  for (const auto& c : cases) {
    std::u16string value = u"untouched";
    EXPECT_EQ(ini->TryReadText(c.section, c.key, value), c.found) << c.reason;
    EXPECT_EQ(value, c.value) << c.reason;
  }
}

TEST(TMemIniFileLines, ReadsAreRepeatableInAnyOrder) {
  const auto ini = TMemIniFile::FromText(u"[a]\nk=1\n[b]\nk=2\n");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(ini->ReadText(u"b", u"k", kDef), u"2");
    EXPECT_EQ(ini->ReadInt(u"A", u"K", -1), 1);
    EXPECT_EQ(ini->ReadText(u"c", u"k", kDef), kDef);
  }
}

struct IntCase {
  const char16_t* value;  // null: the key is missing
  std::int32_t expected;
  const char* reason;
};

TEST(TMemIniFileInt, IntegerSyntax) {
  const std::int32_t def = 777;
  const IntCase cases[] = {
      {u"26", 26, "decimal"},
      {u"0x1A", 26, "0x marker"},
      {u"0X1A", 26, "0X marker"},
      {u"$1a", 26, "$ marker, small hex digits"},
      {u"x1A", 26, "x marker"},
      {u"X1a", 26, "X marker"},
      {u"+26", 26, "plus sign"},
      {u"-5", -5, "minus sign"},
      {u"010", 10, "leading zeros are decimal, not octal"},
      {u"0000000000026", 26, "many leading zeros"},
      {u"2147483647", 2147483647, "largest decimal"},
      {u"-2147483648", INT32_MIN, "smallest decimal"},
      {u"2147483648", def, "decimal above the range"},
      {u"-2147483649", def, "decimal below the range"},
      {u"99999999999999999999", def, "far above the range"},
      {u"$FFFFFFFF", -1, "32 bits taken as signed"},
      {u"-$FFFFFFFF", 1, "a minus negates the signed number"},
      {u"$80000000", INT32_MIN, "hex 8000 0000 is the smallest number"},
      {u"-$80000000", INT32_MIN, "its negation wraps to itself"},
      {u"$7FFFFFFF", 2147483647, "largest positive hex"},
      {u"$000000001", 1, "leading zeros do not count toward eight digits"},
      {u"$100000000", def, "nine significant hex digits"},
      {u"+0x10", 16, "sign before the marker"},
      {u"0x", def, "0x alone"},
      {u"$", def, "$ alone"},
      {u"-", def, "a lone minus"},
      {u"+", def, "a lone plus"},
      {u"", def, "the empty value"},
      {u"1 2", def, "a space among the digits"},
      {u"12a", def, "a letter after decimal digits"},
      {u"0x1G", def, "no hex digit"},
      {u"--5", def, "two signs"},
      {u"+-5", def, "two signs of two kinds"},
      {u"$-5", def, "sign after the marker"},
      {u"0$1", def, "0 before $ is no marker"},
      {u"0xx1", def, "doubled marker"},
      {u"1.0", def, "no fractions"},
      {u"\u0661", def, "only ASCII digits count"},
      {u"\uff11", def, "full-width digit"},
      {nullptr, def, "missing key"},
  };
  for (const IntCase& c : cases) {
    const std::u16string text = c.value ? u"[s]\nk=" + std::u16string(c.value) : u"[s]\n";
    const auto ini = TMemIniFile::FromText(text);
    EXPECT_EQ(ini->ReadInt(u"s", u"k", def), c.expected) << c.reason << " [" << (c.value ? Show(c.value) : "-") << "]";
  }
}

// The content of the encoding rows: ASCII and Cyrillic.
const std::u16string kContent = u"[main]\r\nLangName=Русский\r\nLangID=$0419\r\n[String]\r\nCheckINN=ИНН\r\n";

struct EncodingCase {
  const char* name;
  std::string bytes;
  const char16_t* langName;  // null: the default
  std::int32_t langId;
  const char* reason;
};

TEST(TMemIniFileEncoding, DecodesRealFilesByTheirMark) {
  using namespace testfiles;
  const std::string le = Utf16LE(kContent);
  const EncodingCase cases[] = {
      {"utf16le.lng", le, u"Русский", 0x419, "UTF-16LE with the mark"},
      {"utf16le-nomark.lng", Utf16LE(kContent, false), nullptr, -1,
       "UTF-16LE without the mark: ANSI, ends at the zero byte after '['"},
      {"utf16le-odd.lng", le + "\x41", u"Русский", 0x419, "an odd last byte is dropped"},
      {"utf16be.lng", Utf16BE(kContent), u"Русский", 0x419, "UTF-16BE with the mark"},
      {"utf8.lng", Utf8(kContent, true), u"Русский", 0x419, "UTF-8 with the mark"},
      {"empty.lng", "", nullptr, -1, "an empty file"},
      {"mark-le.lng", "\xFF\xFE", nullptr, -1, "only the UTF-16LE mark"},
      {"mark-be.lng", "\xFE\xFF", nullptr, -1, "only the UTF-16BE mark"},
      {"mark-utf8.lng", "\xEF\xBB\xBF", nullptr, -1, "only the UTF-8 mark"},
      {"one-byte.lng", "\xFF", nullptr, -1, "fewer bytes than a mark"},
      {"part-utf8-mark.lng", "\xEF\xBB\n[main]\nLangID=5", nullptr, 5, "a partial UTF-8 mark is ANSI text"},
      {"nul-le.lng", Utf16LE(u"[main]\nLangID=1\n") + std::string(2, '\0') + Utf16LE(u"LangName=X\n", false),
       nullptr, 1, "UTF-16 text ends at a NUL"},
      {"nul-utf8.lng", Utf8(u"[main]\nLangID=2\n", true) + std::string(1, '\0') + "LangName=X\n", nullptr, 2,
       "UTF-8 text ends at a NUL"},
      {"nul-ansi.lng", std::string("[main]\nLangID=3\n") + std::string(1, '\0') + "LangName=X\n", nullptr, 3,
       "ANSI text ends at a zero byte"},
      {"nul-in-value.lng", Utf16LE(u"[main]\nLangName=ab") + std::string(2, '\0') + Utf16LE(u"cd\n", false),
       u"ab", -1, "a NUL inside a value cuts the value"},
      {"lf.lng", Utf16LE(u"[main]\nLangName=Русский\nLangID=$0419\n"), u"Русский", 0x419, "LF line ends"},
      {"cr.lng", Utf16LE(u"[main]\rLangName=Русский\rLangID=$0419\r"), u"Русский", 0x419, "CR line ends"},
  };
  TempDir dir;
  for (const EncodingCase& c : cases) {
    const std::u16string path = dir.Write(std::u16string(c.name, c.name + std::strlen(c.name)), c.bytes);
    const TMemIniFile ini(path);
    const std::u16string expected = c.langName ? c.langName : kDef;
    EXPECT_EQ(ini.ReadText(u"main", u"LangName", kDef), expected) << c.name << ": " << c.reason;
    EXPECT_EQ(ini.ReadInt(u"main", u"LangID", -1), c.langId) << c.name << ": " << c.reason;
    // The file path (which uses UTF-16LE text where it lies) and the bytes
    // path must agree line for line.
    const auto fromBytes = TMemIniFile::FromBytes(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(fromBytes->SectionCount(), ini.SectionCount()) << c.name;
    for (std::size_t i = 0; i < ini.SectionCount(); ++i) {
      EXPECT_EQ(fromBytes->SectionName(i), ini.SectionName(i)) << c.name;
      EXPECT_EQ(fromBytes->SectionLines(i), ini.SectionLines(i)) << c.name;
    }
  }
}

TEST(TMemIniFileEncoding, Utf8WithoutMarkIsReadInTheAnsiCodePage) {
  TempDir dir;
  const TMemIniFile ini(dir.Write(u"utf8-nomark.lng", testfiles::Utf8(kContent)));
  EXPECT_EQ(ini.ReadInt(u"main", u"LangID", -1), 0x419) << "ASCII reads correctly";
  const std::u16string name = ini.ReadText(u"main", u"LangName", kDef);
  EXPECT_NE(name, u"Русский") << "other letters do not";
  EXPECT_NE(name, kDef) << "but the entry is there";
}

TEST(TMemIniFileEncoding, MalformedUtf8DoesNotFailTheLoad) {
  const std::string bytes = "\xEF\xBB\xBF[s]\na=x\xC3(y\nb=\xE0\x80\x80\nc=\xF8z\nd=\xED\xA0\x80\ne=ok\xE2\x82";
  const auto ini = TMemIniFile::FromBytes(bytes.data(), bytes.size());
  EXPECT_EQ(ini->ReadText(u"s", u"a", kDef), u"x\uFFFD(y") << "a cut sequence";
  EXPECT_EQ(ini->ReadText(u"s", u"b", kDef), u"\uFFFD") << "an overlong form";
  EXPECT_EQ(ini->ReadText(u"s", u"c", kDef), u"\uFFFDz") << "an invalid lead byte";
  EXPECT_EQ(ini->ReadText(u"s", u"d", kDef), u"\uFFFD") << "an encoded surrogate";
  EXPECT_EQ(ini->ReadText(u"s", u"e", kDef), u"ok\uFFFD") << "a sequence cut by the end of the file";
}

TEST(TMemIniFileEncoding, Utf8SupplementaryCharactersBecomeSurrogatePairs) {
  const std::string bytes = "\xEF\xBB\xBF[s]\nk=\xF0\x9F\x98\x80";
  const auto ini = TMemIniFile::FromBytes(bytes.data(), bytes.size());
  EXPECT_EQ(ini->ReadText(u"s", u"k", kDef), u"\U0001F600");
}

TEST(TMemIniFileFiles, MissingFileAndDirectoryGiveEmptyReaders) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "folder.lng");
  const std::u16string paths[] = {dir.File(u"absent.lng"), dir.File(u"folder.lng"),
                                  dir.File(u"no-such-folder/x.lng")};
  for (const std::u16string& path : paths) {
    const TMemIniFile ini(path);
    EXPECT_EQ(ini.SectionCount(), 0u) << Show(path);
    EXPECT_EQ(ini.ReadText(u"main", u"LangName", kDef), kDef) << Show(path);
  }
}

TEST(TMemIniFileFiles, ReaderKeepsNoFileOpenAndDoesNotSeeLaterEdits) {
  TempDir dir;
  const std::u16string path = dir.Write(u"a.lng", testfiles::Utf16LE(u"[s]\nk=old\n"));
  const TMemIniFile ini(path);
  dir.Write(u"a.lng", testfiles::Utf16LE(u"[s]\nk=new\n"));  // would fail while a handle denied writing
  std::filesystem::remove(dir.path() / "a.lng");
  EXPECT_EQ(ini.ReadText(u"s", u"k", kDef), u"old");
}

}  // namespace
