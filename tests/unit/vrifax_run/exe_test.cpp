// The real vrifax-run.exe as a process: started in a folder of its own
// beside borlndmm.dll and a check library (the shipped one or a test
// fixture), its standard output read through a pipe, its exit code looked
// at. Faults of the library are reported and the run goes on; the
// arguments reach the library byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  DWORD code = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Owns a handle; closes it on every path.
struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Starts vrifax-run.exe of `dir` there with the arguments; returns its exit
// code and what it wrote. Standard error goes to a file, so neither stream
// can block the other.
Result RunTool(const fs::path& dir, const std::wstring& arguments) {
  Result result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Handle readEnd, writeEnd, errFile;
  if (!CreatePipe(&readEnd.h, &writeEnd.h, &inherit, 0)) return ADD_FAILURE() << "CreatePipe", result;
  SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);  // ours only; failure shows as a hang below
  const fs::path errPath = dir / "stderr.txt";
  errFile.h = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  if (errFile.h == INVALID_HANDLE_VALUE) return ADD_FAILURE() << "stderr file", result;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd.h;
  startup.hStdError = errFile.h;
  std::wstring command = L"\"" + (dir / L"vrifax-run.exe").wstring() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &startup,
                      &process)) {
    ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
    return result;
  }
  Handle processHandle{process.hProcess}, threadHandle{process.hThread};
  CloseHandle(writeEnd.h);  // the child holds its own copy; the pipe ends when it exits
  writeEnd.h = nullptr;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd.h, buffer, sizeof buffer, &got, nullptr) && got > 0) result.out.append(buffer, got);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(process.hProcess, &result.code);
  CloseHandle(errFile.h);
  errFile.h = nullptr;
  result.err = ReadWhole(errPath);
  return result;
}

// A fresh folder with the tool, the shared memory manager and the check
// library `fixture` ("" the shipped one, "none" no library at all).
fs::path ToolFolder(const std::wstring& tag, const std::wstring& fixture) {
  const fs::path dir = fs::path(VRIFAX_RUN_TMP) / tag;
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path product = VRIFAX_RUN_PRODUCT;
  fs::copy_file(product / L"vrifax-run.exe", dir / L"vrifax-run.exe");
  fs::copy_file(product / L"borlndmm.dll", dir / L"borlndmm.dll");
  if (fixture.empty()) {
    fs::copy_file(product / L"Vrifax.dll", dir / L"Vrifax.dll");
  } else if (fixture != L"none") {
    fs::copy_file(fs::path(VRIFAX_RUN_FIXTURES) / fixture / L"Vrifax.dll", dir / L"Vrifax.dll");
  }
  return dir;
}

std::wstring CorpusPath(const wchar_t* name) { return L"\"" + (fs::path(VRIFAX_RUN_CORPORA) / name).wstring() + L"\""; }

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& start) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(start, 0) == 0) lines.push_back(line);
  }
  return lines;
}

std::string TableRow(const std::string& out, const std::string& kind) {
  const std::vector<std::string> rows = LinesStartingWith(out, kind + " ");
  return rows.empty() ? "" : rows[0];
}

TEST(VrifaxRunExe, TheShippedLibraryDisagreesExactlyWhereTheCorpusIsWrong) {
  const fs::path dir = ToolFolder(L"shipped", L"");
  const Result r = RunTool(dir, CorpusPath(L"mixed.tsv"));
  EXPECT_EQ(r.code, 1u);
  EXPECT_EQ(LinesStartingWith(r.out, "line "),
            (std::vector<std::string>{
                "line 3: inn \"7707083894\": expected valid, library invalid",
                "line 6: snils \"112-233-445 95\": expected invalid, library valid",
                "line 16: ua_account \"UA213223130000026007233566001\" / \"\": expected invalid, library valid",
                "line 18: egn \"7523169264\": expected valid, library invalid",
            }));
  EXPECT_EQ(TableRow(r.out, "total"), "total             16        12         4         0");
  EXPECT_EQ(r.err, "") << "no progress when standard error is no terminal";
}

TEST(VrifaxRunExe, FaultsAreReportedAndTheRunGoesOn) {
  struct Case {
    const wchar_t* fixture;
    std::string faultStart;
  };
  const Case cases[] = {
      {L"crash", "Access violation at address "},
      {L"divide", "Division by zero at address "},
      {L"overflow", "Stack overflow at address "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture, c.fixture + wcslen(c.fixture)));
    const Result r = RunTool(ToolFolder(std::wstring(L"fault-") + c.fixture, c.fixture), CorpusPath(L"faults.tsv"));
    EXPECT_EQ(r.code, 1u) << r.err;
    // Lines 2 and 4 are INN checks, which fault; the others answer valid.
    const std::vector<std::string> faults = LinesStartingWith(r.out, "line ");
    ASSERT_EQ(faults.size(), 2u) << r.out;
    EXPECT_EQ(faults[0].rfind("line 2: inn \"7707083893\": " + c.faultStart, 0), 0u) << faults[0];
    EXPECT_EQ(faults[1].rfind("line 4: inn \"1234567894\": " + c.faultStart, 0), 0u) << faults[1];
    EXPECT_NE(faults[0].find(" in module 'Vrifax.dll'"), std::string::npos) << faults[0];
    EXPECT_EQ(TableRow(r.out, "inn"), "inn                2         0         0         2");
    EXPECT_EQ(TableRow(r.out, "total"), "total              5         3         0         2");
  }
}

TEST(VrifaxRunExe, AMissingEntryPointFaultsItsKindOnly) {
  const Result r = RunTool(ToolFolder(L"incomplete", L"incomplete"), CorpusPath(L"faults.tsv"));
  EXPECT_EQ(r.code, 1u);
  const std::vector<std::string> faults = LinesStartingWith(r.out, "line ");
  ASSERT_EQ(faults.size(), 2u) << r.out;
  EXPECT_EQ(faults[0].rfind("line 5: snils \"112-233-445 95\": The check library \"Vrifax.dll\" has no entry "
                            "point with ordinal 4. ", 0), 0u) << faults[0];
  EXPECT_EQ(faults[1].rfind("line 6: egn \"7523169263\": The check library \"Vrifax.dll\" has no entry "
                            "point with ordinal 10. ", 0), 0u) << faults[1];
  EXPECT_EQ(TableRow(r.out, "total"), "total              5         3         0         2");
}

// The recorder's line for one argument: header, code units, the two bytes after.
std::string Recorded(const std::u16string& text) {
  if (text.empty()) return "null";
  std::string hex = "B0040200" "01000000";
  char byte[3];
  for (int i = 0; i < 4; ++i) {
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>(text.size() >> (8 * i)) & 0xFF);
    hex += byte;
  }
  for (char16_t unit : text) {
    std::snprintf(byte, sizeof byte, "%02X", unit & 0xFF);
    hex += byte;
    std::snprintf(byte, sizeof byte, "%02X", unit >> 8);
    hex += byte;
  }
  return hex + " 0000";
}

TEST(VrifaxRunExe, ArgumentsReachTheLibraryByteForByte) {
  struct Case {
    const char* kind;
    int ordinal;
    const char* valueUtf8;
    const char* secondUtf8;
    std::u16string value;
    std::u16string second;
    bool twoFields;
  };
  const Case cases[] = {
      {"inn", 1, " 7707083893 ", "", u" 7707083893 ", u"", false},
      {"snils", 4, "112-233-445 95", "", u"112-233-445 95", u"", false},
      {"rs", 6, "40702810900000000025", "044514512", u"40702810900000000025", u"044514512", true},
      {"ks", 5, "30101810400000000225", "", u"30101810400000000225", u"", true},  // empty: null
      {"okpo", 7, "", "", u"", u"", false},                                         // empty: null
      {"ogrn", 8, "\xD0\x9E\xD0\x93\xD0\xA0\xD0\x9D", "", u"\u041E\u0413\u0420\u041D", u"", false},
      {"ua_account", 9, "ua21 3223", "\xF0\x9F\x98\x80", u"ua21 3223", u"\U0001F600", true},
      {"egn", 10, "7523169263", "", u"7523169263", u"", false},
  };
  const fs::path dir = ToolFolder(L"recorder", L"recorder");
  {
    std::ofstream corpus(dir / L"args.tsv", std::ios::binary);
    corpus << "kind\tvalue\tsecond\texpected\r\n";
    for (const Case& c : cases) corpus << c.kind << '\t' << c.valueUtf8 << '\t' << c.secondUtf8 << "\tvalid\r\n";
  }
  const Result r = RunTool(dir, L"args.tsv");
  EXPECT_EQ(r.code, 0u) << r.out << r.err;
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    std::string line = "ordinal=" + std::to_string(c.ordinal) + " count=" + (c.twoFields ? "2" : "1") +
                       " arg1=" + Recorded(c.value);
    if (c.twoFields) line += " arg2=" + Recorded(c.second);
    expected.push_back(line + "\r");
  }
  std::vector<std::string> recorded;
  std::istringstream lines(ReadWhole(dir / L"Vrifax.record.txt"));
  for (std::string line; std::getline(lines, line);) recorded.push_back(line);
  EXPECT_EQ(recorded, expected);
}

TEST(VrifaxRunExe, RunsThatCannotStartExitWithTwo) {
  struct Case {
    const wchar_t* tag;
    const wchar_t* fixture;
    std::wstring arguments;
    std::string err;  // standard error holds this
  };
  const std::wstring corpus = CorpusPath(L"faults.tsv");
  const Case cases[] = {
      {L"malformed", L"", CorpusPath(L"malformed.tsv"), "malformed.tsv: line 3: 3 fields, the header has 4\n"},
      {L"no-corpus", L"", L"absent.tsv", "vrifax-run: cannot open the corpus \"absent.tsv\": "},
      {L"no-library", L"none", corpus, "vrifax-run: no Vrifax.dll in the current directory\n"},
      {L"not-a-library", L"notalib", corpus, "vrifax-run: Cannot load the check library \"Vrifax.dll\". "},
      {L"library-path", L"", L"--library elsewhere\\Vrifax.dll " + corpus,
       "vrifax-run: no check library at \"elsewhere\\Vrifax.dll\"\n"},
      {L"usage", L"", L"--count 5 " + corpus, "vrifax-run: --seed and --count belong to --against-rules\nusage:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tag, c.tag + wcslen(c.tag)));
    const Result r = RunTool(ToolFolder(std::wstring(L"exit2-") + c.tag, c.fixture), c.arguments);
    EXPECT_EQ(r.code, 2u);
    EXPECT_EQ(r.out, "") << "no report of a run that did not start";
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
}

TEST(VrifaxRunExe, TheLibraryNamedIsTheOneCalled) {
  // The current directory holds the shipped library; --library names the
  // fixture that says "not valid" to everything.
  const fs::path dir = ToolFolder(L"named", L"");
  const std::wstring invalid = (fs::path(VRIFAX_RUN_FIXTURES) / L"invalid" / L"Vrifax.dll").wstring();
  const Result r = RunTool(dir, L"--library \"" + invalid + L"\" " + CorpusPath(L"faults.tsv"));
  EXPECT_EQ(r.code, 1u) << r.err;
  EXPECT_EQ(TableRow(r.out, "total"), "total              5         0         5         0");
}

TEST(VrifaxRunExe, AgainstTheRules) {
  const Result shipped = RunTool(ToolFolder(L"against-shipped", L""), L"--against-rules --seed 7 --count 20");
  EXPECT_EQ(shipped.code, 0u) << shipped.out;
  EXPECT_EQ(LinesStartingWith(shipped.out, "generated "), std::vector<std::string>{
                "generated inputs (--seed 7 --count 20): library against the rules"});
  EXPECT_NE(shipped.out.find("\nseed 7 (repeat with --against-rules --seed 7 --count 20)\n"), std::string::npos);

  const Result valid = RunTool(ToolFolder(L"against-valid", L"valid"), L"--against-rules --seed 7 --count 20");
  EXPECT_EQ(valid.code, 1u);
  EXPECT_NE(valid.out.find("\ndisagreements (the first 20 of "), std::string::npos) << valid.out;
  const std::vector<std::string> listed = LinesStartingWith(valid.out, "generated ");
  ASSERT_EQ(listed.size(), 21u) << "the heading and the first 20";
  for (std::size_t i = 1; i < listed.size(); ++i) {
    EXPECT_NE(listed[i].find(": rules invalid, library valid"), std::string::npos) << listed[i];
  }
  // The generated inputs are the same in both runs: the same totals.
  EXPECT_EQ(TableRow(valid.out, "total").substr(0, 20), TableRow(shipped.out, "total").substr(0, 20));
}

}  // namespace
