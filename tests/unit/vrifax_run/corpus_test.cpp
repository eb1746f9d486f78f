// Reading the corpus: the header, each rule of a data line, strict UTF-8,
// and the line numbers that a bad line is named by.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/vrifax-run/Corpus.h"

namespace vrifax_run {
namespace {

const std::string kHeader = "kind\tvalue\tsecond\texpected\n";

// Reads every record of the text; returns the error's text, or "" when
// the whole corpus was read.
std::string ReadAll(const std::string& text, std::vector<Record>* records = nullptr) {
  std::istringstream in(text);
  try {
    CorpusReader corpus(in);
    Record r;
    while (corpus.Next(r)) {
      if (records) records->push_back(r);
    }
    return "";
  } catch (const CorpusError& e) {
    return e.what();
  }
}

TEST(CorpusHeader, FindsTheNeededColumnsAnywhere) {
  const Columns c = ParseHeader("note\texpected\tsecond\tid\tkind\tvalue");
  EXPECT_EQ(c.count, 6u);
  EXPECT_EQ(c.expected, 1u);
  EXPECT_EQ(c.second, 2u);
  EXPECT_EQ(c.kind, 4u);
  EXPECT_EQ(c.value, 5u);
}

TEST(CorpusHeader, BadHeadersAreLineOne) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"", "line 1: no header line"},
      {"kind\tvalue\tsecond\n", "line 1: the header has no column \"expected\""},
      {"Kind\tvalue\tsecond\texpected\n", "line 1: the header has no column \"kind\""},  // exact names
      {"kind\tvalue\tsecond\texpected\tkind\n", "line 1: the header names the column \"kind\" twice"},
      {"kind value second expected\n", "line 1: the header has no column \"kind\""},  // spaces do not separate
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAll(c.text), c.error) << c.text;
}

TEST(CorpusRecord, BadLinesAreNamedByNumber) {
  struct Case {
    std::string lines;
    std::string error;
  };
  const Case cases[] = {
      {"inn\t7707083893\tvalid\n", "line 2: 3 fields, the header has 4"},
      {"inn\t7707083893\t\tvalid\t\n", "line 2: 5 fields, the header has 4"},
      {"INN\t7707083893\t\tvalid\n", "line 2: unknown kind \"INN\""},
      {"inn\t7707083893\t\tValid\n", "line 2: expected is \"Valid\", not valid or invalid"},
      {"inn\t7707083893\t\t\n", "line 2: expected is \"\", not valid or invalid"},
      {"inn\t7707083893\t044525225\tvalid\n", "line 2: a second field for inn, which takes one"},
      {"inn\t7707083893\t\tvalid\n\nokpo\t\xC3\x28\t\tinvalid\n", "line 4: not UTF-8 at byte 1"},
      {"inn\t7707083893\t\tvalid\nrs\t1\t\xFF\tinvalid\n", "line 3: not UTF-8 at byte 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAll(kHeader + c.lines), c.error) << c.lines;
}

TEST(CorpusRecord, FieldsAreTakenAsWritten) {
  std::vector<Record> records;
  const std::string good = "\xEF\xBB\xBF" + kHeader +  // a byte order mark is skipped
                           "inn\t 7707083893 \t\tvalid\r\n"        // CR LF, blanks kept
                           "\n"                                    // skipped, still counted
                           "ks\t30101810400000000225\t044525225\tinvalid\n"
                           "egn\t\xD0\x98\xF0\x9F\x98\x80\t\tinvalid";  // no line end at the end
  ASSERT_EQ(ReadAll(good, &records), "");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].line, 2u);
  EXPECT_EQ(records[0].kind, Kind::Inn);
  EXPECT_EQ(records[0].value, u" 7707083893 ");
  EXPECT_TRUE(records[0].expectedValid);
  EXPECT_EQ(records[1].line, 4u);
  EXPECT_EQ(records[1].kind, Kind::Ks);
  EXPECT_EQ(records[1].second, u"044525225");
  EXPECT_FALSE(records[1].expectedValid);
  EXPECT_EQ(records[2].line, 5u);
  EXPECT_EQ(records[2].value, u"\u0418\U0001F600");  // a surrogate pair from four bytes
}

TEST(CorpusRecord, AHeaderOnlyCorpusHasNoRecords) {
  std::vector<Record> records;
  EXPECT_EQ(ReadAll(kHeader, &records), "");
  EXPECT_TRUE(records.empty());
}

TEST(CorpusRecord, OverlongLinesAreBad) {
  const std::string longest(kMaxLineBytes - std::string("inn\t\t\tvalid").size(), '1');
  std::vector<Record> records;
  EXPECT_EQ(ReadAll(kHeader + "inn\t" + longest + "\t\tvalid\r\n", &records), "")
      << "a line of exactly the limit, CR LF not counted";
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].value.size(), longest.size());
  EXPECT_EQ(ReadAll(kHeader + "inn\t" + longest + "1\t\tvalid\n"),
            "line 2: longer than " + std::to_string(kMaxLineBytes) + " bytes");
  EXPECT_EQ(ReadAll(kHeader + "inn\t" + longest + "11111\t\tvalid"),
            "line 2: longer than " + std::to_string(kMaxLineBytes) + " bytes");
}

TEST(Utf8, StrictDecoding) {
  struct Case {
    std::string bytes;
    std::u16string text;  // when good
    std::size_t badByte;  // 0: good
    const char* reason;
  };
  const Case cases[] = {
      {"", u"", 0, "empty"},
      {"A\xD0\x98", u"A\u0418", 0, "two bytes"},
      {"\xE2\x82\xAC", u"\u20AC", 0, "three bytes"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", 0, "the last code point"},
      {"\xC0\x80", u"", 1, "overlong NUL"},
      {"\xE0\x80\xAF", u"", 1, "overlong slash"},
      {"\xF0\x80\x80\x80", u"", 1, "overlong in four bytes"},
      {"\xED\xA0\x80", u"", 1, "an encoded surrogate"},
      {"\xF4\x90\x80\x80", u"", 1, "beyond U+10FFFF"},
      {"ab\xD0", u"", 3, "cut at the end"},
      {"a\xE2\x82z", u"", 2, "cut inside"},
      {"\x80", u"", 1, "a stray continuation byte"},
      {"\xFE", u"", 1, "never a UTF-8 byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    if (c.badByte == 0) {
      EXPECT_EQ(DecodeUtf8(c.bytes, 7), c.text);
    } else {
      try {
        DecodeUtf8(c.bytes, 7);
        ADD_FAILURE() << "decoded";
      } catch (const CorpusError& e) {
        EXPECT_EQ(e.Line(), 7u);
        EXPECT_EQ(std::string(e.what()), "line 7: not UTF-8 at byte " + std::to_string(c.badByte));
      }
    }
  }
}

}  // namespace
}  // namespace vrifax_run
