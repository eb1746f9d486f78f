// The end-to-end driver: starts the program, finds its windows and controls,
// reads and works them from outside the process, and reports its exit code.
// Every wait polls with a deadline and throws a clear failure when it passes.
#include "Driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cwchar>
#include <stdexcept>
#include <utility>

#include "Screen.h"
#include "resources/ControlIds.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;

// Owns a block of memory inside another process.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, SIZE_T size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE)) {
    if (!address_) Fail(L"VirtualAllocEx failed in the program's process");
  }
  ~RemoteBuffer() {
    // Nothing to do on failure: the process may already have ended.
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* Address() const { return address_; }
  void Write(const void* data, SIZE_T size) const {
    SIZE_T done = 0;
    if (!WriteProcessMemory(process_, address_, data, size, &done) || done != size)
      Fail(L"WriteProcessMemory failed");
  }
  void Read(void* data, SIZE_T size, SIZE_T offset = 0) const {
    SIZE_T done = 0;
    if (!ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) ||
        done != size)
      Fail(L"ReadProcessMemory failed");
  }

 private:
  HANDLE process_;
  void* address_;
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  if (!GetClassNameW(hwnd, name, 256)) return L"";
  return name;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

struct TopLevelQuery {
  DWORD pid;
  const std::wstring* cls;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* q = reinterpret_cast<TopLevelQuery*>(lp);
  if (ProcessOf(hwnd) != q->pid) return TRUE;
  if (q->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
  if (!q->cls->empty() && ClassOf(hwnd) != *q->cls) return TRUE;
  q->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

// Returns the top-level windows of the process with this class (all when empty).
std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& cls, bool visibleOnly) {
  TopLevelQuery q{pid, &cls, visibleOnly, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&q));  // the callback never stops it
  return q.found;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

int IdOfName(const std::wstring& name) {
  for (const auto& c : kControlNames)
    if (name == c.name) return c.id;
  Fail(L"no control is named " + name);
}

const wchar_t* NameOfId(int id) {
  for (const auto& c : kControlNames)
    if (c.id == id) return c.name;
  return nullptr;
}

std::wstring GetText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length))
    Fail(L"WM_GETTEXTLENGTH got no answer");
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    Fail(L"WM_GETTEXT got no answer");
  text.resize(copied);
  return text;
}

std::wstring GetEnv(const wchar_t* name) {
  wchar_t value[2048] = {};
  DWORD n = GetEnvironmentVariableW(name, value, 2048);
  if (n == 0 || n >= 2048) Fail(std::wstring(L"the environment variable ") + name + L" is not set");
  return value;
}

// Sends keyboard or mouse input events; fails when the system refuses them.
void Send(std::vector<INPUT> inputs) {
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) Fail(L"SendInput refused the input");
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME ||
      vk == VK_END || vk == VK_DELETE || vk == VK_INSERT)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

INPUT Mouse(DWORD flags, int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
}

// Waits until pred() holds or the time is up; returns whether it held.
template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + ScaledWait(timeoutMs);
  for (;;) {
    if (pred()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
}

// Returns the window that has the keyboard focus in the GUI thread.
HWND FocusOfThread(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

// MapWindowPoints returns 0 both on failure and for a zero offset, so its
// result says nothing; the windows are known to exist at each call.
RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  if (!GetClientRect(hwnd, &r)) Fail(L"GetClientRect failed");
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Owns a directory search.
class Search {
 public:
  explicit Search(const std::wstring& pattern) : h_(FindFirstFileW(pattern.c_str(), &data_)) {}
  ~Search() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;
  bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& Data() const { return data_; }
  bool Next() { return FindNextFileW(h_, &data_) != 0; }

 private:
  WIN32_FIND_DATAW data_{};
  HANDLE h_;
};

bool IsDots(const wchar_t* name) { return !wcscmp(name, L".") || !wcscmp(name, L".."); }

// Removes the folder and everything in it; a missing folder is fine.
void RemoveTree(const std::wstring& dir) {
  {
    Search search(dir + L"\\*");
    if (!search.Ok()) return;
    do {
      const auto& d = search.Data();
      if (IsDots(d.cFileName)) continue;
      const std::wstring path = dir + L"\\" + d.cFileName;
      if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only fixture
        if (!DeleteFileW(path.c_str())) Fail(L"cannot delete " + path);
      }
    } while (search.Next());
  }
  if (!RemoveDirectoryW(dir.c_str())) Fail(L"cannot remove the folder " + dir);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  if (!CreateDirectoryW(to.c_str(), nullptr))
    Fail(L"cannot create " + to + L" (error " + std::to_wstring(GetLastError()) + L")");
  Search search(from + L"\\*");
  if (!search.Ok()) Fail(L"cannot list " + from);
  do {
    const auto& d = search.Data();
    if (IsDots(d.cFileName)) continue;
    const std::wstring src = from + L"\\" + d.cFileName, dst = to + L"\\" + d.cFileName;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(src, dst);
    } else if (!CopyFileW(src.c_str(), dst.c_str(), TRUE)) {
      Fail(L"cannot copy " + src + L" (error " + std::to_wstring(GetLastError()) + L")");
    }
  } while (search.Next());
}

}  // namespace

void Fail(const std::wstring& message) { throw std::runtime_error(Utf8(message)); }

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

// ---- Dialog -----------------------------------------------------------------

void Dialog::Close(const std::wstring& button) const {
  if (button.empty()) {
    if (!PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0))
      Fail(L"the dialog cannot be reached to close it");
  } else {
    HWND target = nullptr;
    for (HWND child : Descendants(hwnd))
      if (ClassOf(child) == L"Button" && GetText(child) == button) target = child;
    if (!target) Fail(L"the dialog has no button \"" + button + L"\"");
    if (!PostMessageW(target, BM_CLICK, 0, 0)) Fail(L"BM_CLICK could not be posted");
  }
  if (!WaitFor([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, 5000))
    Fail(L"the dialog \"" + title + L"\" did not close");
}

// ---- Session ----------------------------------------------------------------

Session Session::Start(const std::wstring& exe, const std::wstring& workDir, DWORD timeoutMs) {
  Session s = Launch(exe, workDir);
  s.WaitMainWindow(timeoutMs);
  return s;
}

Session Session::Launch(const std::wstring& exe, const std::wstring& workDir) {
  Session s;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(),
                      &si, &s.pi_))
    Fail(L"cannot start " + exe + L" (error " + std::to_wstring(GetLastError()) + L")");
  return s;
}

void Session::WaitMainWindow(DWORD timeoutMs) {
  const bool shown = WaitFor(
      [&] {
        auto found = TopLevelWindows(pi_.dwProcessId, kMainWindowClass, true);
        if (!found.empty()) main_ = found.front();
        return main_ != nullptr || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0;
      },
      timeoutMs);
  if (!main_) {
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    if (!shown) Fail(L"the main window did not appear in time");
    Fail(L"the program ended before its window appeared, exit code " + std::to_wstring(code));
  }
  // Let the start-up finish: the first activation and focus come after show.
  // A timeout here is no failure: every later read waits for what it needs.
  WaitForInputIdle(pi_.hProcess, 5000);
}

Session::Session(Session&& o) noexcept : pi_(o.pi_), main_(o.main_) {
  o.pi_ = PROCESS_INFORMATION{};
  o.main_ = nullptr;
}

Session& Session::operator=(Session&& o) noexcept {
  if (this != &o) {
    this->~Session();
    pi_ = std::exchange(o.pi_, PROCESS_INFORMATION{});
    main_ = std::exchange(o.main_, nullptr);
  }
  return *this;
}

Session::~Session() {
  if (pi_.hProcess) {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      // A test that failed midway; a destructor can do no more than try.
      TerminateProcess(pi_.hProcess, 99);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
  }
  if (pi_.hThread) CloseHandle(pi_.hThread);
}

HWND Session::MainWindow() const { return main_; }

HWND Session::ApplicationWindow() const {
  auto found = TopLevelWindows(pi_.dwProcessId, kApplicationWindowClass, false);
  if (found.empty()) Fail(L"the program has no window of class TApplication");
  if (found.size() > 1) Fail(L"the program has more than one TApplication window");
  return found.front();
}

HWND Session::Control(const std::wstring& name) const {
  const int id = IdOfName(name);
  HWND match = nullptr;
  int count = 0;
  for (HWND child : Descendants(main_)) {
    if (GetDlgCtrlID(child) == id) {
      match = child;
      ++count;
    }
  }
  if (count == 0) Fail(L"the window has no control " + name);
  if (count > 1) Fail(L"the window has " + std::to_wstring(count) + L" controls with the id of " + name);
  return match;
}

std::wstring Session::Text(const std::wstring& name) const { return GetText(Control(name)); }

std::wstring Session::WindowText(HWND hwnd) const { return GetText(hwnd); }

RECT Session::ScreenRect(const std::wstring& name) const {
  RECT r{};
  if (!GetWindowRect(Control(name), &r)) Fail(L"GetWindowRect failed for " + name);
  return r;
}

RECT Session::Rect(const std::wstring& name) const {
  HWND hwnd = Control(name);
  RECT r{};
  if (!GetWindowRect(hwnd, &r)) Fail(L"GetWindowRect failed for " + name);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT Session::RectIn(const std::wstring& name, const std::wstring& parent) const {
  RECT r = ScreenRect(name);
  const RECT origin = ClientOnScreen(parent.empty() ? main_ : Control(parent));
  OffsetRect(&r, -origin.left, -origin.top);
  return r;
}

RECT Session::ClientRect() const {
  RECT r{};
  if (!GetClientRect(main_, &r)) Fail(L"GetClientRect failed for the main window");
  return r;
}

void Session::SetText(const std::wstring& name, const std::wstring& text) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    Fail(L"WM_SETTEXT got no answer from " + name);
}

void Session::Click(const std::wstring& name) {
  HWND hwnd = Control(name);
  if (ClassOf(hwnd) == L"Button") {
    if (!PostMessageW(hwnd, BM_CLICK, 0, 0)) Fail(L"BM_CLICK could not be posted to " + name);
  } else {
    MouseClick(name);
  }
}

void Session::MouseClick(const std::wstring& name) {
  const RECT r = ScreenRect(name);
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  Send({Mouse(MOUSEEVENTF_MOVE, x, y), Mouse(MOUSEEVENTF_LEFTDOWN, x, y),
        Mouse(MOUSEEVENTF_LEFTUP, x, y)});
  Sleep(100);
}

int Session::TabCount() const {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(Control(L"pc"), TCM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &n))
    Fail(L"TCM_GETITEMCOUNT got no answer");
  return static_cast<int>(n);
}

int Session::ActivePage() const {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(Control(L"pc"), TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &n))
    Fail(L"TCM_GETCURSEL got no answer");
  return static_cast<int>(static_cast<LONG_PTR>(n));
}

std::wstring Session::TabCaption(int index) const {
  HWND pc = Control(L"pc");
  if (ClassOf(pc) != WC_TABCONTROLW) Fail(L"pc is not a tab control but " + ClassOf(pc));
  constexpr int kChars = 256;
  RemoteBuffer buffer(pi_.hProcess, sizeof(TCITEMW) + kChars * sizeof(wchar_t));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.Address()) + sizeof(TCITEMW));
  item.cchTextMax = kChars;
  buffer.Write(&item, sizeof(item));
  DWORD_PTR ok = 0;
  if (!SendMessageTimeoutW(pc, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(buffer.Address()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &ok) ||
      !ok)
    Fail(L"TCM_GETITEMW failed for tab " + std::to_wstring(index));
  // The control may point pszText at its own copy instead of filling ours.
  buffer.Read(&item, sizeof(item));
  wchar_t text[kChars] = {};
  SIZE_T done = 0;
  if (!ReadProcessMemory(pi_.hProcess, item.pszText, text, sizeof(text) - sizeof(wchar_t), &done))
    Fail(L"ReadProcessMemory of the tab text failed");
  return text;
}

RECT Session::TabRect(int index) const {
  HWND pc = Control(L"pc");
  RemoteBuffer buffer(pi_.hProcess, sizeof(RECT));
  DWORD_PTR ok = 0;
  if (!SendMessageTimeoutW(pc, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(buffer.Address()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &ok) ||
      !ok)
    Fail(L"TCM_GETITEMRECT failed for tab " + std::to_wstring(index));
  RECT r{};
  buffer.Read(&r, sizeof(r));
  return r;
}

void Session::SelectPage(int index) {
  HWND pc = Control(L"pc");
  RECT r = TabRect(index);
  MapWindowPoints(pc, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  Send({Mouse(MOUSEEVENTF_MOVE, x, y), Mouse(MOUSEEVENTF_LEFTDOWN, x, y),
        Mouse(MOUSEEVENTF_LEFTUP, x, y)});
  if (!WaitFor([&] { return ActivePage() == index; }, 5000))
    Fail(L"a click on tab " + std::to_wstring(index) + L" did not select it; page " +
         std::to_wstring(ActivePage()) + L" is active");
  if (!WaitFor([&] { return FocusName() == L"pc"; }, 2000))
    Fail(L"the tab strip did not take the focus after the click on tab " + std::to_wstring(index));
}

HWND Session::Focus() const { return FocusOfThread(pi_.dwThreadId); }

std::wstring Session::FocusName() const {
  for (HWND hwnd = Focus(); hwnd && hwnd != main_; hwnd = GetParent(hwnd)) {
    if (const wchar_t* name = NameOfId(GetDlgCtrlID(hwnd))) return name;
  }
  return L"";
}

void Session::WaitFocus(const std::wstring& name, DWORD timeoutMs) const {
  if (!WaitFor([&] { return FocusName() == name; }, timeoutMs)) {
    HWND f = Focus();
    Fail(L"focus expected on " + name + L", but it is on " +
         (f ? L"\"" + FocusName() + L"\" (class " + ClassOf(f) + L", id " +
                  std::to_wstring(GetDlgCtrlID(f)) + L")"
            : std::wstring(L"no window")));
  }
}

// Brings the main window to the foreground so that input reaches it; without
// a window manager nothing else competes for it.
static void MakeForeground(HWND main) {
  if (GetForegroundWindow() == main) return;
  SetForegroundWindow(main);  // checked below
  if (!WaitFor([&] { return GetForegroundWindow() == main; }, 3000))
    Fail(L"the main window did not come to the foreground for keyboard input");
}

void Session::WaitAnswer(DWORD timeoutMs) const {
  const bool answered = WaitFor(
      [&] {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, kPollMs * 10, &ignored) != 0;
      },
      timeoutMs);
  if (!answered) Fail(L"the program's window did not answer a sent message in time");
}

namespace {

// The index of entry in the combo box's list, or -1. CB_GETLBTEXT is
// marshalled: the text is copied back into this process.
int ListIndexOf(HWND box, const std::wstring& entry) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &count))
    Fail(L"CB_GETCOUNT got no answer");
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(box, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    if (length != entry.size()) continue;
    std::wstring text(length + 1, L'\0');
    SendMessageTimeoutW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, nullptr);
    text.resize(length);
    if (text == entry) return static_cast<int>(i);
  }
  return -1;
}

// The visible dropped-down list (class ComboLBox) of the process, or null.
HWND DroppedListOf(DWORD pid) {
  const std::vector<HWND> lists = TopLevelWindows(pid, L"ComboLBox", true);
  return lists.empty() ? nullptr : lists.front();
}

}  // namespace

void Session::PickFromList(const std::wstring& name, const std::wstring& entry) {
  HWND box = Control(name);
  const int index = ListIndexOf(box, entry);
  if (index < 0) Fail(L"the list of " + name + L" has no entry " + entry);
  MakeForeground(main_);
  const RECT r = ScreenRect(name);
  const int ax = r.right - 6, ay = (r.top + r.bottom) / 2;  // the drop-down arrow
  Send({Mouse(MOUSEEVENTF_MOVE, ax, ay), Mouse(MOUSEEVENTF_LEFTDOWN, ax, ay),
        Mouse(MOUSEEVENTF_LEFTUP, ax, ay)});
  HWND list = nullptr;
  if (!WaitFor([&] { return (list = DroppedListOf(pi_.dwProcessId)) != nullptr; }, 5000))
    Fail(L"the list of " + name + L" did not drop down");
  DWORD_PTR rowHeight = 0, top = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &rowHeight);
  SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &top);
  const int row = static_cast<int>(rowHeight);
  POINT p{10, (index - static_cast<int>(top)) * row + row / 2};
  ClientToScreen(list, &p);
  // The list follows the pointer before it takes the click.
  Send({Mouse(MOUSEEVENTF_MOVE, p.x, p.y)});
  Sleep(50);
  Send({Mouse(MOUSEEVENTF_LEFTDOWN, p.x, p.y), Mouse(MOUSEEVENTF_LEFTUP, p.x, p.y)});
  if (!WaitFor([&] { return GetText(box) == entry; }, 5000))
    Fail(L"picking " + entry + L" left " + name + L" showing " + GetText(box));
  WaitAnswer();
}

void Session::PressKey(WORD vk, bool shift, bool alt) {
  HWND owner = main_;
  // While a dialog of ours is open it is the window that takes the keys.
  auto dialogs = TopLevelWindows(pi_.dwProcessId, L"#32770", true);
  MakeForeground(dialogs.empty() ? owner : dialogs.front());
  std::vector<INPUT> in;
  if (shift) in.push_back(Key(VK_SHIFT, false));
  if (alt) in.push_back(Key(VK_MENU, false));
  in.push_back(Key(vk, false));
  in.push_back(Key(vk, true));
  if (alt) in.push_back(Key(VK_MENU, true));
  if (shift) in.push_back(Key(VK_SHIFT, true));
  Send(in);
  Sleep(50);
}

void Session::TypeText(const std::wstring& text) {
  MakeForeground(main_);
  std::vector<INPUT> in;
  for (wchar_t ch : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = ch;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(down);
    in.push_back(up);
  }
  if (!in.empty()) Send(in);
  Sleep(50);
}

Dialog Session::ReadDialog(HWND hwnd) const {
  Dialog d;
  d.hwnd = hwnd;
  d.title = GetText(hwnd);
  HWND messageStatic = nullptr;
  HWND iconStatic = nullptr;
  for (HWND child : Descendants(hwnd)) {
    const std::wstring cls = ClassOf(child);
    if (cls == L"Button") {
      d.buttons.push_back(GetText(child));
    } else if (cls == L"Static") {
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if ((style & SS_TYPEMASK) == SS_ICON) {
        iconStatic = child;
        continue;
      }
      d.statics.push_back(GetText(child));
      if (GetDlgCtrlID(child) == 0xFFFF) messageStatic = child;
    }
  }
  // A message box names its text 0xFFFF; a task dialog's content is its
  // first text.
  if (messageStatic) {
    d.text = GetText(messageStatic);
  } else {
    for (const auto& s : d.statics)
      if (!s.empty()) {
        d.text = s;
        break;
      }
  }
  if (iconStatic) {
    DWORD_PTR icon = 0;
    // No answer leaves icon null: the dialog then counts as showing none.
    SendMessageTimeoutW(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &icon);
    d.icon = reinterpret_cast<HICON>(icon);
    d.hasIcon = d.icon != nullptr;
    if (d.hasIcon) d.iconKind = IdentifySystemIcon(iconStatic);
  }
  return d;
}

Dialog Session::WaitDialog(DWORD timeoutMs) const {
  HWND found = nullptr;
  if (!WaitFor(
          [&] {
            auto all = TopLevelWindows(pi_.dwProcessId, L"#32770", true);
            if (!all.empty()) found = all.front();
            return found != nullptr;
          },
          timeoutMs))
    Fail(L"no dialog appeared within " + std::to_wstring(ScaledWait(timeoutMs)) + L" ms");
  // Let it finish creating and painting its contents.
  WaitFor([&] { return !Descendants(found).empty(); }, 2000);
  DWORD_PTR ignored = 0;
  // Only a pause for the dialog's thread; the reads below check themselves.
  SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  Sleep(200);
  return ReadDialog(found);
}

bool Session::HasDialog() const {
  return !TopLevelWindows(pi_.dwProcessId, L"#32770", true).empty();
}

DWORD Session::Close(DWORD timeoutMs) {
  if (!PostMessageW(main_, WM_CLOSE, 0, 0)) Fail(L"WM_CLOSE could not be posted");
  return WaitExit(timeoutMs);
}

DWORD Session::WaitExit(DWORD timeoutMs) {
  timeoutMs = ScaledWait(timeoutMs);
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0)
    Fail(L"the program did not end within " + std::to_wstring(timeoutMs) + L" ms");
  DWORD code = 0;
  if (!GetExitCodeProcess(pi_.hProcess, &code)) Fail(L"GetExitCodeProcess failed");
  return code;
}

bool Session::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Session::ProcessId() const { return pi_.dwProcessId; }

// ---- Free functions ---------------------------------------------------------

DWORD RunToExit(const std::wstring& exe, const std::wstring& workDir, DWORD timeoutMs) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(),
                      &si, &pi))
    Fail(L"cannot start " + exe + L" (error " + std::to_wstring(GetLastError()) + L")");
  struct Closer {
    PROCESS_INFORMATION& pi;
    ~Closer() {
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
  } closer{pi};
  bool ended = false, windowShown = false;
  WaitFor(
      [&] {
        ended = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
        windowShown = !TopLevelWindows(pi.dwProcessId, kMainWindowClass, true).empty();
        return ended || windowShown;
      },
      timeoutMs);
  if (!ended && windowShown) Fail(L"the program showed its window instead of ending");
  if (!ended) Fail(L"the program neither ended nor showed a window in time");
  DWORD code = 0;
  if (!GetExitCodeProcess(pi.hProcess, &code)) Fail(L"GetExitCodeProcess failed");
  return code;
}

namespace {

constexpr wchar_t kUserDpiKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kMachineDpiKey[] =
    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
constexpr wchar_t kDpiValue[] = L"LogPixels";

}  // namespace

ScopedDpi::ScopedDpi(DWORD dpi) {
  saved_[0].root = HKEY_CURRENT_USER;
  saved_[0].path = kUserDpiKey;
  saved_[1].root = HKEY_LOCAL_MACHINE;
  saved_[1].path = kMachineDpiKey;
  for (Saved& v : saved_) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(v.root, v.path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExW(key, kDpiValue, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.data.resize(size);
        v.existed = RegQueryValueExW(key, kDpiValue, nullptr, &v.type, v.data.data(), &size) ==
                    ERROR_SUCCESS;
        v.data.resize(size);
      }
      RegCloseKey(key);
    }
    if (RegCreateKeyExW(v.root, v.path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      Fail(std::wstring(L"cannot open the registry key ") + v.path);
    const LSTATUS set = RegSetValueExW(key, kDpiValue, 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    RegCloseKey(key);
    if (set != ERROR_SUCCESS) Fail(std::wstring(L"cannot set LogPixels under ") + v.path);
  }
}

ScopedDpi::~ScopedDpi() {
  for (const Saved& v : saved_) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(v.root, v.path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      continue;  // nothing more can be done from a destructor
    if (v.existed)
      RegSetValueExW(key, kDpiValue, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    else
      RegDeleteValueW(key, kDpiValue);
    RegCloseKey(key);
  }
}

std::wstring ProductDir() { return GetEnv(L"TESSARIN_PRODUCT_DIR"); }
std::wstring BuildDir() { return GetEnv(L"TESSARIN_BUILD_DIR"); }

DWORD ScaledWait(DWORD ms) {
  static const DWORD scale = [] {
    wchar_t value[16] = {};
    const DWORD n = GetEnvironmentVariableW(L"TESSARIN_E2E_WAIT_SCALE", value, 16);
    const unsigned long parsed = n > 0 && n < 16 ? wcstoul(value, nullptr, 10) : 0;
    return parsed >= 1 && parsed <= 100 ? static_cast<DWORD>(parsed) : 1u;
  }();
  return ms * scale;
}
std::wstring FixtureDir() { return GetEnv(L"TESSARIN_E2E_FIXTURE_DIR"); }

std::wstring FreshProductCopy(const std::wstring& tag) {
  const std::wstring target = BuildDir() + L"\\e2e-tmp\\" + tag;
  RemoveTree(target);
  CreateDirectoryW((BuildDir() + L"\\e2e-tmp").c_str(), nullptr);  // may exist already
  CopyTree(ProductDir(), target);
  return target;
}

std::vector<std::wstring> LanguageKeys(const std::wstring& dir) {
  std::vector<std::wstring> keys;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\lang\\*.lng").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return keys;
  do {
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                               FILE_ATTRIBUTE_SYSTEM))
      continue;
    const std::wstring name = fd.cFileName;
    keys.push_back(name.size() >= 4 ? name.substr(0, name.size() - 4) : name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);  // a search handle of our own; nothing to do if closing fails
  return keys;
}

}  // namespace e2e
