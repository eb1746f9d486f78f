// load_bench: what loading one language file costs, per byte of the file,
// at short and long line lengths: the time, and the growth of the peak
// working set and of the private bytes while the reader is alive. Each
// measurement runs in a fresh process (this program again, with --child),
// so that one case's peak does not hide the next one's; the cases are run
// in turn, several rounds, and the medians printed with their spread.
//
//   load_bench.exe [--mb 8] [--rounds 5]
//
// "load" is the reader alone (the file read, decoded, parsed, and the reads
// of the window's sections, whose indexes that builds); "start-up" is what
// the program's start-up does with the file installed as English.lng: the
// catalogue and the default language.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "localization/TMemIniFile.h"
#include "localization/uLocalize.h"
#include "platform/Platform.h"

namespace {

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);  // never fails on XP and later
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// One shape of language file: the bulk lines go into [String], the section
// the window reads most, so that its key index is part of the cost.
struct Case {
  const char* name;
  bool utf8;  // else UTF-16LE with the mark, as the shipped files
  // Returns bulk line i, without its line end.
  std::u16string (*line)(std::size_t i);
};

std::u16string Number(std::size_t i) {
  const std::string s = std::to_string(i);
  return std::u16string(s.begin(), s.end());
}

std::u16string OneChar(std::size_t) { return u"a"; }
std::u16string ShortEntry(std::size_t i) { return u"k" + Number(i) + u"=v"; }
std::u16string Entry80(std::size_t i) { return u"Key" + Number(i) + u" = " + std::u16string(70, u'x'); }
std::u16string Line1000(std::size_t i) { return u"Key" + Number(i) + u"=" + std::u16string(1000, u'y'); }
std::u16string Header(std::size_t i) { return u"[s" + Number(i) + u"]"; }

const Case kCases[] = {
    {"1-char lines", false, &OneChar},
    {"short entries k<n>=v", false, &ShortEntry},
    {"80-char entries", false, &Entry80},
    {"1000-char entries", false, &Line1000},
    {"short section headers", false, &Header},
    {"1-char lines, UTF-8", true, &OneChar},
};

// The window's keys, read after the load as the lookup does.
const char16_t* const kReads[][2] = {
    {u"main", u"LangName"},     {u"main", u"ShotLangName"}, {u"main", u"Flag"},
    {u"Caption", u"Tessarin_MainForm"}, {u"String", u"CheckINN"}, {u"String", u"BIC_Bank"},
    {u"Button", u"Check"},      {u"Menu", u"Exit"},
};

void AppendUtf8(std::string& out, const std::u16string& s) {
  for (char16_t c : s) out += static_cast<char>(c);  // the bulk text is ASCII
}

void AppendUtf16(std::string& out, const std::u16string& s) {
  for (char16_t c : s) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
}

// Writes the case's file of about targetBytes; returns its size.
std::size_t WriteCase(const Case& c, const std::wstring& path, std::size_t targetBytes) {
  std::string out = c.utf8 ? std::string("\xEF\xBB\xBF") : std::string("\xFF\xFE");
  auto add = [&](const std::u16string& line) {
    const std::u16string withEnd = line + (c.utf8 ? u"\n" : u"\r\n");
    if (c.utf8) AppendUtf8(out, withEnd);
    else AppendUtf16(out, withEnd);
  };
  add(u"[main]");
  add(u"LangName=English");
  add(u"LangID=0x0409");
  add(u"[Button]");
  add(u"Check=Check");
  add(u"[String]");
  add(u"CheckINN=Check the INN");
  for (std::size_t i = 0; out.size() < targetBytes; ++i) add(c.line(i));
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  DWORD wrote = 0;
  const BOOL ok = WriteFile(f, out.data(), static_cast<DWORD>(out.size()), &wrote, nullptr);
  CloseHandle(f);  // written through: a failed close loses nothing more than the write reported
  return ok && wrote == out.size() ? out.size() : 0;
}

struct Memory {
  double peakWorkingSet = 0, workingSet = 0, privateBytes = 0;
};

// Returns the committed private memory of the process, summed over its
// regions (Wine's counters leave PrivateUsage unchanged by heap growth).
double PrivateCommitted() {
  double total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof(info)) == sizeof(info);
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += static_cast<double>(info.RegionSize);
  }
  return total;
}

Memory MemoryNow() {
  PROCESS_MEMORY_COUNTERS m{};
  m.cb = sizeof(m);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof(m))) return {0, 0, PrivateCommitted()};
  return {static_cast<double>(m.PeakWorkingSetSize), static_cast<double>(m.WorkingSetSize), PrivateCommitted()};
}

std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

// The child: one measurement, printed as "ms peakDelta privateDelta".
int Child(const std::wstring& mode, const std::wstring& path) {
  const Memory before = MemoryNow();
  const double t0 = NowMs();
  Memory during;
  if (mode == L"load") {
    TMemIniFile ini(U16(path));
    std::size_t found = 0;
    for (const auto& r : kReads) found += ini.ReadText(r[0], r[1], u"").size();
    during = MemoryNow();
    if (found == 0) std::fprintf(stderr, "nothing read\n");
  } else {
    // path is the folder that holds lang\English.lng (without the
    // trailing separator, which would quote the command line's quote).
    platform::SetExecutableDirectoryForTesting(U16(path) + u"\\");
    KeepLangFilesOpen = true;
    if (!SetDefaultLang(u"English")) std::fprintf(stderr, "English not selected\n");
    for (const auto& r : kReads) static_cast<void>(GetLangString(std::u16string(r[0]) + u"." + r[1]));
    during = MemoryNow();
  }
  const double ms = NowMs() - t0;
  std::printf("%.3f %.0f %.0f\n", ms, during.peakWorkingSet - before.workingSet,
              during.privateBytes - before.privateBytes);
  return 0;
}

// Runs this program as a child and reads its line; false when it failed.
bool RunChild(const std::wstring& mode, const std::wstring& path, double out[3]) {
  wchar_t self[MAX_PATH];
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return false;
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);  // only the write end goes to the child
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring cmd = L"\"" + std::wstring(self) + L"\" --child " + mode + L" \"" + path + L"\"";
  PROCESS_INFORMATION pi{};
  const BOOL ok = CreateProcessW(self, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  std::string text;
  if (ok) {
    char buf[256];
    DWORD got = 0;
    while (ReadFile(readEnd, buf, sizeof(buf), &got, nullptr) && got > 0) text.append(buf, got);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(readEnd);
  return ok && std::sscanf(text.c_str(), "%lf %lf %lf", &out[0], &out[1], &out[2]) == 3;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::wstring Arg(int argc, wchar_t** argv, const wchar_t* name, const wchar_t* def) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wcscmp(argv[i], name) == 0) return argv[i + 1];
  return def;
}

struct Sample {
  std::vector<double> ms, peak, priv;
};

void PrintRow(const char* name, const char* what, std::size_t bytes, const Sample& s) {
  auto lohi = [](const std::vector<double>& v) {
    return std::make_pair(*std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
  };
  const auto ms = lohi(s.ms);
  const double mb = static_cast<double>(bytes) / 1e6;
  std::printf("  %-24s %-8s %6.2f MB  %8.1f ms [%.1f-%.1f]  peak WS %5.2f x size  private %5.2f x size\n",
              name, what, mb, Median(s.ms), ms.first, ms.second, Median(s.peak) / static_cast<double>(bytes),
              Median(s.priv) / static_cast<double>(bytes));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wcscmp(argv[1], L"--child") == 0) return Child(argv[2], argv[3]);
  const double mb = std::max(0.1, _wtof(Arg(argc, argv, L"--mb", L"8").c_str()));
  const int rounds = std::max(1, _wtoi(Arg(argc, argv, L"--rounds", L"5").c_str()));
  wchar_t tmp[MAX_PATH];
  if (GetTempPathW(MAX_PATH, tmp) == 0) return 1;
  const std::wstring root = std::wstring(tmp) + L"tessarin-load-bench\\";
  CreateDirectoryW(root.c_str(), nullptr);  // may exist from an earlier run
  const std::size_t count = sizeof(kCases) / sizeof(kCases[0]);
  std::vector<std::wstring> dirs(count), files(count);
  std::vector<std::size_t> sizes(count);
  for (std::size_t i = 0; i < count; ++i) {
    dirs[i] = root + L"case" + std::to_wstring(i) + L"\\";
    CreateDirectoryW(dirs[i].c_str(), nullptr);
    CreateDirectoryW((dirs[i] + L"lang").c_str(), nullptr);
    files[i] = dirs[i] + L"lang\\English.lng";
    sizes[i] = WriteCase(kCases[i], files[i], static_cast<std::size_t>(mb * 1e6));
    if (sizes[i] == 0) {
      std::fprintf(stderr, "cannot write %ls\n", files[i].c_str());
      return 1;
    }
  }
  std::vector<Sample> load(count), startup(count);
  for (int r = 0; r < rounds; ++r) {
    for (std::size_t i = 0; i < count; ++i) {
      double v[3];
      if (RunChild(L"load", files[i], v)) {
        load[i].ms.push_back(v[0]), load[i].peak.push_back(v[1]), load[i].priv.push_back(v[2]);
      }
      if (RunChild(L"startup", dirs[i].substr(0, dirs[i].size() - 1), v)) {
        startup[i].ms.push_back(v[0]), startup[i].peak.push_back(v[1]), startup[i].priv.push_back(v[2]);
      }
    }
  }
  std::printf("language file load: medians of %d rounds [min-max]; memory = growth while the reader lives / file size\n",
              rounds);
  for (std::size_t i = 0; i < count; ++i) {
    if (!load[i].ms.empty()) PrintRow(kCases[i].name, "load", sizes[i], load[i]);
    if (!startup[i].ms.empty()) PrintRow(kCases[i].name, "start-up", sizes[i], startup[i]);
  }
  std::printf("  goal: memory <= 3 x size + a fixed amount, at any line length\n");
  for (std::size_t i = 0; i < count; ++i) DeleteFileW(files[i].c_str());  // the folders stay for a rerun
  return 0;
}
