// win_bench: the program's start-up, keystroke and check-command costs
// against floor programs (floor.exe), measured in one run from outside the
// processes, runs of the two alternating; prints medians, spreads and the
// ratios. A benchmark, not a test: it asserts nothing about the figures.
//
//   win_bench.exe --product Z:\...\product --floor Z:\...\floor.exe [--runs 15]
//
// Start-up: from just before CreateProcessW to the first visible top-level
// window of non-zero size of the new process (polled).
// Keystroke: WM_CHAR sent (SendMessageW) to the edit field of the language
// box, Backspace and "n" in turn over "Russian", time to return.
// Check: BM_CLICK posted to Button1 until the verdict dialog is visible; the
// dialog is then closed and the run waits until the window answers again
// (Wine blocks the thread for a while after a dialog closes under a bare
// X server; that wait is not counted).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "resources/ControlIds.h"

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Orventa\\Tessarin\\1.0\\Settings";
constexpr wchar_t kLangValue[] = L"Lang";

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);  // never fails on XP and later
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

// The spread of a sample: quartiles by nearest rank, extremes.
struct Spread {
  double median = 0, p25 = 0, p75 = 0, min = 0, max = 0;
  std::size_t n = 0;
};

Spread SpreadOf(std::vector<double> v) {
  Spread s;
  s.n = v.size();
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)]; };
  s.median = at(0.5), s.p25 = at(0.25), s.p75 = at(0.75), s.min = v.front(), s.max = v.back();
  return s;
}

void PrintSpread(const char* label, const Spread& s, const char* unit) {
  std::printf("  %-10s median %8.3f %s  [p25 %.3f  p75 %.3f  min %.3f  max %.3f]  n=%zu\n", label,
              s.median, unit, s.p25, s.p75, s.min, s.max, s.n);
}

// Prints both samples, the ratio of the medians and the spread of the ratios
// of paired (alternating) runs.
void Report(const char* title, const std::vector<double>& program, const std::vector<double>& floor,
            const char* unit, double goal) {
  std::printf("%s\n", title);
  const Spread p = SpreadOf(program), f = SpreadOf(floor);
  PrintSpread("program", p, unit);
  PrintSpread("floor", f, unit);
  std::vector<double> ratios;
  for (std::size_t i = 0; i < program.size() && i < floor.size(); ++i)
    if (floor[i] > 0) ratios.push_back(program[i] / floor[i]);
  const Spread r = SpreadOf(ratios);
  std::printf("  ratio      %.2fx of the floor (medians); paired runs p25 %.2fx  p75 %.2fx", f.median > 0 ? p.median / f.median : 0.0, r.p25, r.p75);
  if (goal > 0) std::printf("; goal <= %.2fx", goal);
  std::printf("\n\n");
  std::fflush(stdout);
}

// ---- the language setting of the prefix's registry ----------------------------

void SetLang(const wchar_t* text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;  // the program then starts as on a first start; the figures say which
  if (text == nullptr) {
    RegDeleteValueW(key, kLangValue);  // absent already: the same outcome
  } else {
    RegSetValueExW(key, kLangValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

// ---- processes and their windows ---------------------------------------------

struct FindArgs {
  DWORD pid;
  const wchar_t* cls;  // nullptr: any class
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<FindArgs*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != args->pid || !IsWindowVisible(hwnd)) return TRUE;
  RECT r;
  if (!GetWindowRect(hwnd, &r) || r.right <= r.left || r.bottom <= r.top) return TRUE;
  if (args->cls != nullptr) {
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    if (std::wcscmp(cls, args->cls) != 0) return TRUE;
  }
  args->found = hwnd;
  return FALSE;
}

// Returns a visible top-level window of non-zero size of pid (of class cls).
HWND VisibleWindowOf(DWORD pid, const wchar_t* cls = nullptr) {
  FindArgs args{pid, cls, nullptr};
  EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&args));  // FALSE when the callback stopped it
  return args.found;
}

struct IdArgs {
  int id;
  HWND found;
};

BOOL CALLBACK FindId(HWND hwnd, LPARAM lp) {
  auto* args = reinterpret_cast<IdArgs*>(lp);
  if (GetDlgCtrlID(hwnd) != args->id) return TRUE;
  args->found = hwnd;
  return FALSE;
}

HWND DescendantById(HWND root, int id) {
  IdArgs args{id, nullptr};
  EnumChildWindows(root, &FindId, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

// Waits until hwnd answers a sent message; false when it has not in time.
bool WaitAnswer(HWND hwnd, DWORD timeoutMs) {
  const double until = NowMs() + timeoutMs;
  DWORD_PTR result = 0;
  while (NowMs() < until) {
    if (SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result)) return true;
    if (!IsWindow(hwnd)) return false;
  }
  return false;
}

class Process {
 public:
  // Starts exe with args from workDir; started() tells whether it ran.
  Process(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    startMs_ = NowMs();
    started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workDir.c_str(), &si, &pi_) != FALSE;
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { End(); }

  bool started() const { return started_; }
  // Waits for the first visible window; returns its time since the start
  // in ms, or a negative number when none came in time.
  double WaitWindow(DWORD timeoutMs = 30000) {
    while (started_ && NowMs() - startMs_ < timeoutMs) {
      if (HWND w = VisibleWindowOf(pi_.dwProcessId)) {
        const double t = NowMs() - startMs_;
        window_ = w;
        return t;
      }
      if (WaitForSingleObject(pi_.hProcess, 1) == WAIT_OBJECT_0) return -1;  // it ended
    }
    return -1;
  }
  HWND window() const { return window_; }
  DWORD pid() const { return pi_.dwProcessId; }

  // Asks the window to close and waits; ends the process if it does not.
  void End() {
    if (!started_) return;
    if (window_ != nullptr && WaitAnswer(window_, 10000)) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);  // our own child, hanging: nothing else to do
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    started_ = false;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  double startMs_ = 0;
  HWND window_ = nullptr;
};

struct Programs {
  std::wstring product;  // the product folder (also every run's current directory)
  std::wstring floor;    // floor.exe
  std::wstring Tessarin() const { return product + L"\\Tessarin.exe"; }
};

// Returns one start-up time of exe (ms), or a negative number.
double StartupOnce(const Programs& p, bool program, const wchar_t* floorMode) {
  Process proc(program ? p.Tessarin() : p.floor, program ? L"" : floorMode, p.product);
  const double t = proc.WaitWindow();
  return t;
}

void StartupBench(const Programs& p, int runs, const wchar_t* lang, const char* title) {
  SetLang(lang);
  StartupOnce(p, true, L"window");  // warm-up: file cache, wineserver
  StartupOnce(p, false, L"window");
  std::vector<double> program, floor;
  for (int i = 0; i < runs; ++i) {
    // Alternate which goes first, so that neither always follows the other.
    const bool programFirst = i % 2 == 0;
    for (int k = 0; k < 2; ++k) {
      const bool isProgram = (k == 0) == programFirst;
      const double t = StartupOnce(p, isProgram, L"window");
      if (t < 0) {
        std::printf("  %s did not show a window\n", isProgram ? "program" : "floor");
        continue;
      }
      (isProgram ? program : floor).push_back(t);
    }
  }
  Report(title, program, floor, "ms", 1.3);
}

// Returns the edit field of the language box of a window.
HWND LanguageEdit(HWND main) {
  HWND combo = DescendantById(main, ID_CmbBxLang);
  return combo != nullptr ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buf[256] = L"";
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, nullptr);
  return buf;
}

void KeystrokeBench(const Programs& p, int batches, int keysPerBatch) {
  SetLang(L"Russian");
  Process program(p.Tessarin(), L"", p.product);
  Process floor(p.floor, L"combo", p.product);
  if (program.WaitWindow() < 0 || floor.WaitWindow() < 0 || !WaitAnswer(program.window(), 10000) ||
      !WaitAnswer(floor.window(), 10000)) {
    std::printf("keystroke: a window did not come up\n\n");
    return;
  }
  HWND edits[2] = {LanguageEdit(program.window()), LanguageEdit(floor.window())};
  if (edits[0] == nullptr || edits[1] == nullptr) {
    std::printf("keystroke: no language box edit found\n\n");
    return;
  }
  for (HWND e : edits) SendMessageW(e, EM_SETSEL, 7, 7);  // the caret after "Russian"
  std::vector<double> times[2];
  const int warmup = 4;
  for (int b = 0; b < batches + 1; ++b) {
    for (int k = 0; k < 2; ++k) {
      const int which = (b % 2 == 0) ? k : 1 - k;
      for (int i = 0; i < keysPerBatch; ++i) {
        const WPARAM ch = (i % 2 == 0) ? VK_BACK : L'n';
        const double t0 = NowMs();
        SendMessageW(edits[which], WM_CHAR, ch, 1);
        const double dt = NowMs() - t0;
        if (b > 0 || i >= warmup) times[which].push_back(dt);
      }
    }
  }
  const std::wstring shown[2] = {TextOf(edits[0]), TextOf(edits[1])};
  if (shown[0] != L"Russian" || shown[1] != L"Russian")
    std::printf("keystroke: the boxes show \"%ls\" and \"%ls\", not \"Russian\"\n", shown[0].c_str(),
                shown[1].c_str());
  Report("keystroke: WM_CHAR sent to the language box's edit (Backspace / \"n\" over \"Russian\")", times[0],
         times[1], "ms", 1.5);
}

// Clicks the button and returns the time until a dialog of pid is visible.
double ClickToDialog(HWND button, DWORD pid, HWND main) {
  const double t0 = NowMs();
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  while (NowMs() - t0 < 20000 && (dialog = VisibleWindowOf(pid, L"#32770")) == nullptr) Sleep(1);
  const double t = NowMs() - t0;
  if (dialog == nullptr) return -1;
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 10000 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(1);
  WaitAnswer(main, 20000);  // the thread may be blocked after the dialog closed: not counted
  return t;
}

void CheckBench(const Programs& p, int runs) {
  SetLang(nullptr);
  Process program(p.Tessarin(), L"", p.product);
  Process floor(p.floor, L"taskdialog", p.product);
  if (program.WaitWindow() < 0 || floor.WaitWindow() < 0 || !WaitAnswer(program.window(), 10000) ||
      !WaitAnswer(floor.window(), 10000)) {
    std::printf("check: a window did not come up\n\n");
    return;
  }
  HWND edit = DescendantById(program.window(), ID_Edit1);
  if (edit != nullptr) SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"7707083893"));
  HWND buttons[2] = {DescendantById(program.window(), ID_Button1), DescendantById(floor.window(), ID_Button1)};
  const DWORD pids[2] = {program.pid(), floor.pid()};
  const HWND mains[2] = {program.window(), floor.window()};
  if (buttons[0] == nullptr || buttons[1] == nullptr) {
    std::printf("check: no Button1 found\n\n");
    return;
  }
  std::vector<double> times[2];
  for (int i = 0; i < runs + 1; ++i) {
    for (int k = 0; k < 2; ++k) {
      const int which = (i % 2 == 0) ? k : 1 - k;
      const double t = ClickToDialog(buttons[which], pids[which], mains[which]);
      if (t < 0) std::printf("  %s showed no dialog\n", which == 0 ? "program" : "floor");
      else if (i > 0) times[which].push_back(t);  // the first round warms up
    }
  }
  Report("check command: click on Button1 to the verdict dialog visible", times[0], times[1], "ms", 0);
}

std::wstring Arg(int argc, wchar_t** argv, const wchar_t* name, const wchar_t* def) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wcscmp(argv[i], name) == 0) return argv[i + 1];
  return def;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Programs p{Arg(argc, argv, L"--product", L""), Arg(argc, argv, L"--floor", L"")};
  if (p.product.empty() || p.floor.empty()) {
    std::fprintf(stderr, "usage: win_bench --product DIR --floor FLOOR.EXE [--runs N] [--only startup|keys|check]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(Arg(argc, argv, L"--runs", L"15").c_str()));
  const std::wstring only = Arg(argc, argv, L"--only", L"");
  const bool all = only.empty();
  if (all || only == L"startup") {
    StartupBench(p, runs, nullptr, "start-up, first start (no saved language): creation to first visible window");
    StartupBench(p, runs, L"Russian", "start-up, \"Russian\" restored: creation to first visible window");
  }
  if (all || only == L"keys") KeystrokeBench(p, 6, 40);
  if (all || only == L"check") CheckBench(p, std::max(4, runs / 2));
  SetLang(nullptr);  // leave the prefix as on a first start
  return 0;
}
