// Benchmarks of the language file reader: loading and reading a 10 MB file
// (generated at start into a temporary folder) against inih and SimpleIni on
// the same content, a bare read of the file, and the 32 lookups that
// applying a language to the main window makes.
//
//   build/<dir>/bench/reader_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>
#include <ini.h>

#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "localization/TMemIniFile.h"
#include "localization/uLocalize.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

// The benchmark files: one content, in UTF-8 for inih and SimpleIni and in
// the encodings a language file may have for our reader.
struct Files {
  fs::path dir;
  std::string utf8;         // no mark
  std::string utf8Marked;   // with EF BB BF
  std::string utf16;        // UTF-16LE with FF FE
  std::size_t contentBytes = 0;
  std::size_t sections = 0;
};

// The read made after each load: a key of the last section, so that the
// whole file must have been parsed.
const int kSections = 13000;
const char* const kLastSection = "Section12999";
const char16_t* const kLastSection16 = u"Section12999";

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += b;
      i += 1;
    } else if ((b >> 5) == 6) {
      out += static_cast<char16_t>(((b & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
      i += 2;
    } else {
      out += static_cast<char16_t>(((b & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F));
      i += 3;
    }
  }
  return out;
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Generates about 10 MB of UTF-8: 13 000 sections of 20 entries, a mix of
// Latin and Cyrillic texts, comments and blank lines, CR LF line ends.
const Files& BenchFiles() {
  static Files files = [] {
    Files f;
    f.dir = fs::temp_directory_path() / ("tessarin-bench-" + std::to_string(::getpid()));
    fs::create_directories(f.dir);
    std::string text;
    text.reserve(11 << 20);
    char line[256];
    for (int s = 0; s < kSections; ++s) {
      std::snprintf(line, sizeof line, "[Section%05d]\r\n; texts of group %d\r\n", s, s);
      text += line;
      for (int k = 0; k < 20; ++k) {
        const char* word = (k % 3 == 0) ? "Проверить номер" : (k % 3 == 1) ? "Check the number" : "Vérifier";
        std::snprintf(line, sizeof line, "Key%02d = %s %d-%d\r\n", k, word, s, k);
        text += line;
      }
      text += "\r\n";
    }
    f.sections = kSections;
    f.contentBytes = text.size();
    WriteBytes(f.dir / "content.ini", text);
    WriteBytes(f.dir / "content-utf8.lng", "\xEF\xBB\xBF" + text);
    std::u16string wide = Utf16(text);
    std::string le("\xFF\xFE", 2);
    le.reserve(2 + wide.size() * 2);
    for (char16_t c : wide) {
      le += static_cast<char>(c & 0xFF);
      le += static_cast<char>(c >> 8);
    }
    WriteBytes(f.dir / "content-utf16.lng", le);
    f.utf8 = (f.dir / "content.ini").string();
    f.utf8Marked = (f.dir / "content-utf8.lng").string();
    f.utf16 = (f.dir / "content-utf16.lng").string();
    return f;
  }();
  return files;
}

std::u16string U16Path(const std::string& p) { return std::u16string(p.begin(), p.end()); }  // ASCII temp paths

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BenchFiles().contentBytes));
}

void BM_BareRead(benchmark::State& state) {
  const std::u16string path = U16Path(BenchFiles().utf16);
  for (auto _ : state) {
    platform::FileContent content;
    platform::ReadWholeFile(path, content);
    benchmark::DoNotOptimize(content.units.data());
  }
  SetBytes(state);
}
BENCHMARK(BM_BareRead)->Unit(benchmark::kMillisecond);

void LoadAndRead(benchmark::State& state, const std::string& file) {
  const std::u16string path = U16Path(file);
  for (auto _ : state) {
    TMemIniFile ini(path);
    std::u16string v = ini.ReadText(kLastSection16, u"Key19", u"");
    if (v.empty()) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(v.data());
  }
  SetBytes(state);
}

void BM_TessarinLoadUtf16(benchmark::State& state) { LoadAndRead(state, BenchFiles().utf16); }
BENCHMARK(BM_TessarinLoadUtf16)->Unit(benchmark::kMillisecond);

void BM_TessarinLoadUtf8(benchmark::State& state) { LoadAndRead(state, BenchFiles().utf8Marked); }
BENCHMARK(BM_TessarinLoadUtf8)->Unit(benchmark::kMillisecond);

struct InihFind {
  std::string value;
};

int InihHandler(void* user, const char* section, const char* name, const char* value) {
  if (std::strcmp(section, kLastSection) == 0 && std::strcmp(name, "Key19") == 0)
    static_cast<InihFind*>(user)->value = value;
  return 1;
}

void BM_InihLoad(benchmark::State& state) {
  const std::string path = BenchFiles().utf8;
  for (auto _ : state) {
    InihFind find;
    if (ini_parse(path.c_str(), InihHandler, &find) != 0 || find.value.empty()) state.SkipWithError("inih failed");
    benchmark::DoNotOptimize(find.value.data());
  }
  SetBytes(state);
}
BENCHMARK(BM_InihLoad)->Unit(benchmark::kMillisecond);

void BM_SimpleIniLoad(benchmark::State& state) {
  const std::string path = BenchFiles().utf8;
  for (auto _ : state) {
    CSimpleIniW ini(true);
    if (ini.LoadFile(path.c_str()) < 0) state.SkipWithError("SimpleIni failed");
    const UChar* v = ini.GetValue(kLastSection16, u"Key19", nullptr);
    if (!v) state.SkipWithError("SimpleIni: key not found");
    benchmark::DoNotOptimize(v);
  }
  SetBytes(state);
}
BENCHMARK(BM_SimpleIniLoad)->Unit(benchmark::kMillisecond);

// The 32 text keys of the main window's caption table, in its order.
const char16_t* const kCaptionKeys[32] = {
    u"Caption.Tessarin_MainForm", u"String.CheckINN", u"String.CheckNumberPU",
    u"String.CheckNmberOfSettlementAccounts", u"String.CheckNumberOfCorrespondentAccounts",
    u"String.CheckNumberOKPO", u"String.CheckORGN", u"Button.Check", u"Button.Check", u"Button.Check",
    u"Button.Check", u"Button.Check", u"Button.Check", u"Button.Check",
    u"String.CheckNmberOfSettlementAccounts", u"Menu.Exit", u"Menu.Help", u"String.Russia", u"String.Ukraine",
    u"String.Bulgaria", u"Menu.Language", u"String.CheckerINN", u"String.CheckerS_A", u"String.CheckerC_A",
    u"String.CheckerOKPO", u"String.CheckerR_C", u"String.BIC_Bank", u"String.BIC_Bank", u"String.BIC_Bank",
    u"Menu.Options", u"Button.Check", u"String.CheckEGN"};

// Points the catalogue at the shipped language files (copied into a
// temporary lang/ folder) with the program's settings.
void SetUpShippedLanguages() {
  static bool done = false;
  if (done) return;
  done = true;
  const fs::path dir = BenchFiles().dir / "exe";
  fs::create_directories(dir / "lang");
  for (const char* name : {"English", "Russian"})
    fs::copy_file(fs::path(TESSARIN_LANG_SOURCE_DIR) / (std::string(name) + ".lng"), dir / "lang" / (std::string(name) + ".lng"),
                  fs::copy_options::overwrite_existing);
  platform::SetExecutableDirectoryForTesting(U16Path((dir / "").string()));
  KeepLangFilesOpen = true;
  SetDefaultLang(u"English");
}

void BM_Lookup32AfterLoad(benchmark::State& state) {
  SetUpShippedLanguages();
  if (!SetCurrentLang(u"Russian")) state.SkipWithError("Russian not installed");
  for (auto _ : state) {
    for (const char16_t* key : kCaptionKeys) {
      std::u16string text = GetLangString(key);
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 32);
}
BENCHMARK(BM_Lookup32AfterLoad)->Unit(benchmark::kMicrosecond);

// What one language change costs: the selection (which reloads the file)
// and the 32 lookups, the first of which builds the indexes.
void BM_SelectAndLookup32(benchmark::State& state) {
  SetUpShippedLanguages();
  for (auto _ : state) {
    if (!SetCurrentLang(u"Russian")) state.SkipWithError("Russian not installed");
    for (const char16_t* key : kCaptionKeys) {
      std::u16string text = GetLangString(key);
      benchmark::DoNotOptimize(text.data());
    }
  }
}
BENCHMARK(BM_SelectAndLookup32)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("content: %zu bytes of UTF-8 in %zu sections\n", BenchFiles().contentBytes, BenchFiles().sections);
  benchmark::RunSpecifiedBenchmarks();
  FinalizeLocalization();
  std::error_code ec;
  fs::remove_all(BenchFiles().dir, ec);
  return 0;
}
