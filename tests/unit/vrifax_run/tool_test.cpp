// The runs of vrifax-run over a system of our own: the report of a corpus
// with wrong expectations, faults that do not end the run, the exit codes,
// the progress count, and the comparison with the rules on generated inputs.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/vrifax-run/Tool.h"

namespace vrifax_run {
namespace {

std::string Corpus(const char* name) { return std::string(VRIFAX_RUN_CORPORA) + "/" + name; }

// A library stand-in: the rules' verdict, a fault for chosen values, or
// "valid" for everything.
class ScriptedLibrary : public Checker {
 public:
  std::set<std::u16string> faultsOn;
  bool alwaysValid = false;

  Verdict Check(Kind kind, std::u16string_view first, std::u16string_view second) override {
    ++calls;
    if (faultsOn.count(std::u16string(first))) return Verdict::Fault("Access violation at address 1234");
    return Verdict::Of(alwaysValid || RulesSay(kind, first, second));
  }
  int calls = 0;
};

class FakeSystem : public System {
 public:
  std::map<std::string, std::string> texts;  // corpora in memory; others are files
  bool errTerminal = false;
  bool hasLibrary = true;
  ScriptedLibrary library;
  std::string out;
  std::string err;

  std::unique_ptr<std::istream> OpenCorpus(const std::string& path, std::string* error) override {
    const auto text = texts.find(path);
    if (text != texts.end()) return std::make_unique<std::istringstream>(text->second);
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (file->is_open()) return file;
    *error = "no such file";
    return nullptr;
  }
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }
  bool ErrIsTerminal() override { return errTerminal; }
  std::unique_ptr<Checker> OpenLibrary(const std::string& path, std::string* error) override {
    if (!hasLibrary) {
      *error = "no Vrifax.dll in the current directory";
      return nullptr;
    }
    openedLibrary = path;
    return std::make_unique<Forward>(library);
  }
  std::uint64_t FreshSeed() override { return 42; }
  std::string openedLibrary;

 private:
  // Hands the calls to the system's own stand-in, so the test sees them.
  struct Forward : Checker {
    explicit Forward(Checker& to) : target(to) {}
    Verdict Check(Kind kind, std::u16string_view first, std::u16string_view second) override {
      return target.Check(kind, first, second);
    }
    Checker& target;
  };
};

const char kTableHeading[] = "kind         checked    agreed disagreed   faulted\n";

TEST(Tool, WrongExpectationsAreReportedExactly) {
  FakeSystem system;
  const std::string path = Corpus("mixed.tsv");
  EXPECT_EQ(RunTool({"--rules", path}, system), kExitDisagreed);
  EXPECT_EQ(system.out, "corpus " + path + ": rules against the expected verdicts\n" + kTableHeading +
                            "inn                4         3         1         0\n"
                            "snils              2         1         1         0\n"
                            "rs                 1         1         0         0\n"
                            "ks                 2         2         0         0\n"
                            "okpo               1         1         0         0\n"
                            "ogrn               2         2         0         0\n"
                            "ua_account         2         1         1         0\n"
                            "egn                2         1         1         0\n"
                            "total             16        12         4         0\n"
                            "\n"
                            "disagreements:\n"
                            "line 3: inn \"7707083894\": expected valid, rules invalid\n"
                            "line 6: snils \"112-233-445 95\": expected invalid, rules valid\n"
                            "line 16: ua_account \"UA213223130000026007233566001\" / \"\": expected invalid, rules valid\n"
                            "line 18: egn \"7523169264\": expected valid, rules invalid\n");
  EXPECT_EQ(system.err, "");
}

TEST(Tool, AFaultIsReportedAndTheRunGoesOn) {
  FakeSystem system;
  system.library.faultsOn = {u"1234567894"};
  const std::string path = Corpus("faults.tsv");
  EXPECT_EQ(RunTool({path}, system), kExitDisagreed);
  EXPECT_EQ(system.openedLibrary, "") << "the library of the current directory";
  EXPECT_EQ(system.library.calls, 5) << "every line after the fault is checked";
  EXPECT_EQ(system.out, "corpus " + path + ": library against the expected verdicts\n" + kTableHeading +
                            "inn                2         1         0         1\n"
                            "snils              1         1         0         0\n"
                            "rs                 0         0         0         0\n"
                            "ks                 1         1         0         0\n"
                            "okpo               0         0         0         0\n"
                            "ogrn               0         0         0         0\n"
                            "ua_account         0         0         0         0\n"
                            "egn                1         1         0         0\n"
                            "total              5         4         0         1\n"
                            "\n"
                            "faults:\n"
                            "line 4: inn \"1234567894\": Access violation at address 1234\n");
}

TEST(Tool, ExitCodes) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string errStart;
    const char* reason;
  };
  const std::string header = "kind\tvalue\tsecond\texpected\n";
  const Case cases[] = {
      {{"check", "inn", "7707083893"}, kExitAgreed, "valid\n", "", "a valid INN"},
      {{"check", "inn", " 7707083893\t"}, kExitAgreed, "valid\n", "", "blanks are the rules' business"},
      {{"check", "inn", "7707083894"}, kExitDisagreed, "invalid\n", "", "an invalid INN"},
      {{"check", "ua_account", "UA213223130000026007233566001"}, kExitAgreed, "valid\n", "", "IBAN, no bank code"},
      {{"check", "ks", "30101810400000000225", "044525225"}, kExitAgreed, "valid\n", "", "two fields"},
      {{"check", "inn", "7707083893", "1"}, kExitUsage, "", "vrifax-run: inn takes one field", "a second field"},
      {{"check", "tin", "1"}, kExitUsage, "", "vrifax-run: unknown kind \"tin\"", "unknown kind"},
      {{"check", "inn", "\xFF"}, kExitUsage, "", "vrifax-run: the argument is not UTF-8 at byte 1", "bad bytes"},
      {{"--rules", "good"}, kExitAgreed, "corpus good: rules", "", "all agree"},
      {{"--rules", "empty"}, kExitAgreed, "corpus empty: rules", "", "no records: nothing disagrees"},
      {{"--rules", Corpus("malformed.tsv")}, kExitUsage, "", "vrifax-run: " + Corpus("malformed.tsv") +
                                                                  ": line 3: 3 fields, the header has 4",
       "a malformed line"},
      {{"--rules", "nothing-here.tsv"}, kExitUsage, "",
       "vrifax-run: cannot open the corpus \"nothing-here.tsv\": no such file", "no corpus"},
      {{"--bogus"}, kExitUsage, "", "vrifax-run: unknown option --bogus\nusage:", "usage"},
      {{"--help"}, kExitAgreed, "usage:", "", "help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    FakeSystem system;
    system.texts["good"] = header + "inn\t7707083893\t\tvalid\nokpo\t00040778\t\tvalid\n";
    system.texts["empty"] = header;
    EXPECT_EQ(RunTool(c.args, system), c.code);
    if (c.out.empty()) {
      EXPECT_EQ(system.out, "");
    } else {
      EXPECT_EQ(system.out.rfind(c.out, 0), 0u) << system.out;
    }
    if (c.errStart.empty()) {
      EXPECT_EQ(system.err, "");
    } else {
      EXPECT_EQ(system.err.rfind(c.errStart, 0), 0u) << system.err;
    }
  }
}

TEST(Tool, ALibraryThatCannotBeHadEndsTheRunBeforeAnyCheck) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{Corpus("mixed.tsv")}, std::vector<std::string>{"--against-rules"}}) {
    FakeSystem system;
    system.hasLibrary = false;
    EXPECT_EQ(RunTool(args, system), kExitUsage);
    EXPECT_EQ(system.out, "");
    EXPECT_EQ(system.err, "vrifax-run: no Vrifax.dll in the current directory\n");
  }
}

TEST(Tool, ProgressOnlyOnATerminal) {
  std::string corpus = "kind\tvalue\tsecond\texpected\n";
  for (int i = 0; i < 10000; ++i) corpus += "inn\t7707083893\t\tvalid\n";
  for (bool terminal : {true, false}) {
    FakeSystem system;
    system.texts["big"] = corpus;
    system.errTerminal = terminal;
    EXPECT_EQ(RunTool({"--rules", "big"}, system), kExitAgreed);
    EXPECT_EQ(system.err, terminal ? "\r4096 checked\r8192 checked\r10000 checked\n" : "");
  }
}

TEST(Tool, AgainstTheRulesRepeatsWithItsSeed) {
  FakeSystem first;
  EXPECT_EQ(RunTool({"--against-rules", "--count", "2"}, first), kExitAgreed);
  const std::string end = "seed 42 (repeat with --against-rules --seed 42 --count 2)\n";
  ASSERT_GE(first.out.size(), end.size());
  EXPECT_EQ(first.out.substr(first.out.size() - end.size()), end) << first.out;
  EXPECT_EQ(first.out.find("disagreements"), std::string::npos);

  FakeSystem again;
  EXPECT_EQ(RunTool({"--against-rules", "--seed", "42", "--count", "2"}, again), kExitAgreed);
  EXPECT_EQ(again.out, first.out);
  EXPECT_EQ(again.library.calls, first.library.calls);
  EXPECT_GT(again.library.calls, 8 * 2 * 90) << "each identifier brings its one-digit changes";
}

TEST(Tool, AgainstTheRulesPrintsTheFirstDisagreements) {
  FakeSystem system;
  system.library.alwaysValid = true;
  system.library.faultsOn = {u"7707083893"};
  system.texts["c"] = "kind\tvalue\tsecond\texpected\ninn\t7707083894\t\tvalid\ninn\t7707083893\t\tvalid\n";
  EXPECT_EQ(RunTool({"--against-rules", "--seed", "5", "--count", "1", "c"}, system), kExitDisagreed);
  const std::string& out = system.out;
  EXPECT_EQ(out.rfind("corpus c: library against the rules\n", 0), 0u) << out;
  EXPECT_NE(out.find("disagreements:\nline 2: inn \"7707083894\": rules invalid, library valid\n"
                     "\nfaults:\nline 3: inn \"7707083893\": Access violation at address 1234\n"),
            std::string::npos)
      << out;
  const std::size_t generated = out.find("generated inputs (--seed 5 --count 1): library against the rules\n");
  ASSERT_NE(generated, std::string::npos) << out;
  const std::size_t list = out.find("\ndisagreements (the first 20 of ", generated);
  ASSERT_NE(list, std::string::npos) << out;
  std::istringstream lines(out.substr(out.find('\n', list + 1) + 1));
  std::string line;
  int shown = 0;
  while (std::getline(lines, line) && line.rfind("generated ", 0) == 0) {
    EXPECT_NE(line.find(": rules invalid, library valid"), std::string::npos) << line;
    ++shown;
  }
  EXPECT_EQ(shown, 20);
  EXPECT_NE(out.find("seed 5 (repeat with --against-rules --seed 5 --count 1)\n"), std::string::npos);
}

TEST(QuoteText, BlanksAndControlsShow) {
  struct Case {
    std::u16string text;
    std::string quoted;
  };
  const Case cases[] = {
      {u"", "\"\""},
      {u" 77 ", "\" 77 \""},
      {u"a\tb\r\n", "\"a\\tb\\r\\n\""},
      {u"\"\\", "\"\\\"\\\\\""},
      {u"\u0001\u007F", "\"\\x01\\x7F\""},
      {u"\u00A0\u0085\uFEFF", "\"\\u00A0\\u0085\\uFEFF\""},
      {u"\u0418\u041D\u041D", "\"\xD0\x98\xD0\x9D\xD0\x9D\""},
      {u"\U0001F600", "\"\xF0\x9F\x98\x80\""},
      {std::u16string(1, u'\xD800'), "\"\xEF\xBF\xBD\""},  // a lone surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteText(c.text), c.quoted) << c.quoted;
}

}  // namespace
}  // namespace vrifax_run
