// The main window of the real Tessarin.exe under Wine: its layout at 96 and
// 120 dots per inch, built-in captions, first focus and Tab order per page,
// the close paths and their exit code, the registry left untouched, the Help
// button and the web link, and the taskbar window's caption.
//
// The expected rectangles and captions are written out here from the window's
// design, not read from the program's own layout table, so that a wrong table
// in the program shows up as a failure.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Driver.h"

namespace {

using e2e::Session;

// ---- Expected layout at 96 dots per inch -------------------------------------

constexpr int kAnyHeight = -1;  // the combo box's height is that of its font

struct Box {
  const wchar_t* name;
  const wchar_t* parent;  // L"" for the main window's client area
  int left, top, width, height;
  int page;  // the page that must be active for the control to be visible; -1 frame
  bool naturalSize = false;  // sized by its picture: the size does not scale
};

const Box kLayout[] = {
    {L"pc", L"", 0, 0, 553, 505, -1},
    {L"tsRus", L"pc", 0, 24, 553, 481, 0},
    {L"tsUkr", L"pc", 0, 24, 553, 481, 1},
    {L"tsBulg", L"pc", 0, 24, 553, 481, 2},
    {L"tsOptions", L"pc", 0, 24, 553, 481, 3},
    {L"Panel1", L"", 0, 511, 553, 66, -1},
    {L"Button6", L"Panel1", 465, 25, 75, 25, -1},
    {L"Button9", L"Panel1", 10, 25, 75, 25, -1},
    // tsRus
    {L"gbRasSchet", L"tsRus", 8, 158, 513, 75, 0},
    {L"Label1", L"gbRasSchet", 280, 14, 53, 13, 0},
    {L"Edit3", L"gbRasSchet", 16, 36, 233, 21, 0},
    {L"Button3", L"gbRasSchet", 418, 33, 75, 25, 0},
    {L"Edit6", L"gbRasSchet", 280, 35, 121, 21, 0},
    {L"gbCheckORGN", L"tsRus", 10, 390, 361, 75, 0},
    {L"Edit8", L"gbCheckORGN", 16, 32, 233, 21, 0},
    {L"Button7", L"gbCheckORGN", 266, 30, 75, 25, 0},
    {L"gbCheckOKPO", L"tsRus", 8, 311, 361, 73, 0},
    {L"Edit5", L"gbCheckOKPO", 16, 28, 233, 21, 0},
    {L"Button5", L"gbCheckOKPO", 266, 26, 75, 25, 0},
    {L"gbCorSchet", L"tsRus", 8, 239, 513, 66, 0},
    {L"Label2", L"gbCorSchet", 280, 9, 53, 13, 0},
    {L"Edit4", L"gbCorSchet", 16, 28, 233, 21, 0},
    {L"Button4", L"gbCorSchet", 418, 26, 75, 25, 0},
    {L"Edit7", L"gbCorSchet", 280, 28, 121, 21, 0},
    {L"gbCheckPU", L"tsRus", 8, 79, 361, 73, 0},
    {L"Edit2", L"gbCheckPU", 16, 28, 233, 21, 0},
    {L"Button2", L"gbCheckPU", 266, 26, 75, 25, 0},
    {L"gbCheckINN", L"tsRus", 8, 8, 361, 65, 0},
    {L"Edit1", L"gbCheckINN", 16, 30, 233, 21, 0},
    {L"Button1", L"gbCheckINN", 266, 28, 71, 25, 0},
    // tsUkr
    {L"gbRachSchetUkr", L"tsUkr", 8, 8, 513, 65, 1},
    {L"Label9", L"gbRachSchetUkr", 282, 13, 53, 13, 1},
    {L"Edit9", L"gbRachSchetUkr", 16, 32, 233, 21, 1},
    {L"Edit10", L"gbRachSchetUkr", 280, 32, 121, 21, 1},
    {L"Button8", L"gbRachSchetUkr", 418, 30, 75, 25, 1},
    // tsBulg
    {L"GroupBox1", L"tsBulg", 8, 8, 361, 65, 2},
    {L"Edit11", L"GroupBox1", 16, 30, 233, 21, 2},
    {L"Button10", L"GroupBox1", 266, 28, 71, 25, 2},
    // tsOptions
    {L"Image1", L"tsOptions", 416, 21, 32, 32, 3, true},
    {L"Label3", L"tsOptions", 454, 21, 73, 13, 3},
    {L"Label4", L"tsOptions", 454, 40, 67, 13, 3},
    {L"Label5", L"tsOptions", 454, 59, 67, 13, 3},
    {L"Label6", L"tsOptions", 454, 78, 82, 13, 3},
    {L"Label7", L"tsOptions", 454, 97, 66, 13, 3},
    {L"Label8", L"tsOptions", 416, 116, 111, 13, 3},
    {L"gbLang", L"tsOptions", 8, 3, 185, 50, 3},
    {L"CmbBxLang", L"gbLang", 16, 18, 153, kAnyHeight, 3},
};

constexpr int kClientWidth = 553, kClientHeight = 577;
constexpr int kDesignTextHeight = 13;

// ---- Expected captions --------------------------------------------------------

struct Caption {
  const wchar_t* name;
  const wchar_t* text;
};

const Caption kCaptions[] = {
    {L"Button6", L"Закрыть"},
    {L"Button9", L"Справка"},
    {L"gbRasSchet", L" Проверить номер расчетного счета "},
    {L"Label1", L"БИК банка"},
    {L"Button3", L"Проверить"},
    {L"gbCheckORGN", L" Проверить номер ОРГН "},
    {L"Button7", L"Проверить"},
    {L"gbCheckOKPO", L" Проверить номер ОКПО "},
    {L"Button5", L"Проверить"},
    {L"gbCorSchet", L" Проверить номер корреспондентского счета "},
    {L"Label2", L"БИК банка"},
    {L"Button4", L"Проверить"},
    {L"gbCheckPU", L" Проверить номер пенсионного удостоверения "},
    {L"Button2", L"Проверить"},
    {L"gbCheckINN", L" Проверить ИНН "},
    {L"Button1", L"Проверить"},
    {L"gbRachSchetUkr", L" Проверить номер расчетного счета"},  // no trailing space
    {L"Label9", L"БИК банка"},
    {L"Button8", L"Проверить"},
    {L"GroupBox1", L" Проверить ЕГН "},
    {L"Button10", L"Проверить"},
    {L"Label3", L"Проверка ИНН"},
    {L"Label4", L"Проверка р/с"},
    {L"Label5", L"Проверка к/с"},
    {L"Label6", L"Проверка ОКПО"},
    {L"Label7", L"Проверка ПУ"},
    {L"gbLang", L"Язык"},
    // Edits start empty.
    {L"Edit1", L""}, {L"Edit2", L""}, {L"Edit3", L""}, {L"Edit4", L""},
    {L"Edit5", L""}, {L"Edit6", L""}, {L"Edit7", L""}, {L"Edit8", L""},
    {L"Edit9", L""}, {L"Edit10", L""}, {L"Edit11", L""},
};

const wchar_t* const kTabCaptions[] = {L"Россия", L"Украина", L"Болгария", L"Настройки"};

// ---- Expected focus sequences --------------------------------------------------

struct TabSequence {
  int page;
  std::vector<const wchar_t*> focus;  // from pc, each Tab moves one on, then wraps
};

const TabSequence kTabSequences[] = {
    {0, {L"pc", L"Edit3", L"Button3", L"Edit6", L"Edit8", L"Button7", L"Edit5", L"Button5",
         L"Edit4", L"Button4", L"Edit7", L"Edit2", L"Button2", L"Edit1", L"Button1", L"Button6",
         L"Button9"}},
    {1, {L"pc", L"Edit9", L"Edit10", L"Button8", L"Button6", L"Button9"}},
    {2, {L"pc", L"Edit11", L"Button10", L"Button6", L"Button9"}},
    {3, {L"pc", L"CmbBxLang", L"Button6", L"Button9"}},
};

// ---- Helpers ---------------------------------------------------------------------

std::string Narrow(const std::wstring& s) { return e2e::Utf8(s); }

std::wstring Exe(const std::wstring& dir) { return dir + L"\\Tessarin.exe"; }

Session StartProduct() { return Session::Start(Exe(e2e::ProductDir()), e2e::ProductDir()); }

std::string Describe(const RECT& r) {
  std::ostringstream out;
  out << r.left << "," << r.top << " " << (r.right - r.left) << "x" << (r.bottom - r.top);
  return out.str();
}

// Owns an open registry key.
class Key {
 public:
  Key() = default;
  explicit Key(HKEY h) : h_(h) {}
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Out() { return &h_; }
  HKEY Get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

// Appends every key below root\path, with its last-write time and values, to out.
void Dump(HKEY root, const std::wstring& path, std::wstring& out) {
  Key key;
  const LSTATUS opened = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Out());
  if (opened != ERROR_SUCCESS) {
    out += path + L": absent (" + std::to_wstring(opened) + L")\n";
    return;
  }
  DWORD subkeys = 0, values = 0;
  FILETIME written{};
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
    e2e::Fail(L"RegQueryInfoKeyW failed for " + path);
  out += path + L": written " + std::to_wstring(written.dwHighDateTime) + L":" +
         std::to_wstring(written.dwLowDateTime) + L"\n";
  for (DWORD i = 0; i < values; ++i) {
    wchar_t name[256];
    DWORD nameLen = 256, type = 0, size = 4096;
    BYTE data[4096];
    if (RegEnumValueW(key.Get(), i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS)
      continue;  // a value too long to list here is still counted below
    out += L"  " + std::wstring(name, nameLen) + L" type " + std::to_wstring(type) + L" = " +
           std::wstring(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t)) + L"\n";
  }
  out += L"  values " + std::to_wstring(values) + L"\n";
  for (DWORD i = 0; i < subkeys; ++i) {
    wchar_t name[256];
    DWORD nameLen = 256;
    if (RegEnumKeyExW(key.Get(), i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      Dump(root, path + L"\\" + name, out);
  }
}

// Returns a description of everything the program could write: its maker's
// key in HKEY_CURRENT_USER, including the keys' last-write times.
std::wstring RegistrySnapshot() {
  std::wstring out;
  Dump(HKEY_CURRENT_USER, L"Software\\Orventa", out);
  return out;
}

// Sets a registry value for the life of the guard and puts back what was
// there before (or removes it).
class RegistryValueGuard {
 public:
  RegistryValueGuard(HKEY root, std::wstring path, std::wstring name)
      : root_(root), path_(std::move(path)), name_(std::move(name)) {
    Key key;
    if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, key.Out()) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExW(key.Get(), name_.c_str(), nullptr, &type_, nullptr, &size) ==
          ERROR_SUCCESS) {
        old_.resize(size);
        if (RegQueryValueExW(key.Get(), name_.c_str(), nullptr, &type_, old_.data(), &size) ==
            ERROR_SUCCESS)
          existed_ = true;
      }
    }
  }
  ~RegistryValueGuard() {
    Key key;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(),
                        nullptr) != ERROR_SUCCESS)
      return;  // nothing more can be done from a destructor
    if (existed_)
      RegSetValueExW(key.Get(), name_.c_str(), 0, type_, old_.data(),
                     static_cast<DWORD>(old_.size()));
    else
      RegDeleteValueW(key.Get(), name_.c_str());
  }
  RegistryValueGuard(const RegistryValueGuard&) = delete;
  RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

  void SetDword(DWORD value) { Set(REG_DWORD, &value, sizeof(value)); }
  void SetString(const std::wstring& value) {
    Set(REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }

 private:
  void Set(DWORD type, const void* data, DWORD size) {
    Key key;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(),
                        nullptr) != ERROR_SUCCESS)
      e2e::Fail(L"cannot create the registry key " + path_);
    if (RegSetValueExW(key.Get(), name_.c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
        ERROR_SUCCESS)
      e2e::Fail(L"cannot set the registry value " + path_ + L"\\" + name_);
  }

  HKEY root_;
  std::wstring path_, name_;
  bool existed_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> old_;
};

// Returns the text height (tmHeight) of the window font, Tahoma of the given
// character height in pixels, as this system renders it.
int TahomaTextHeight(int charHeight) {
  HDC dc = GetDC(nullptr);
  if (!dc) e2e::Fail(L"GetDC failed");
  HFONT font = CreateFontW(-charHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH, L"Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  const BOOL ok = GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  if (!ok) e2e::Fail(L"GetTextMetricsW failed");
  return tm.tmHeight;
}

// Reads the UTF-16 records that the fixture program appended to the log.
std::vector<std::wstring> ReadLogLines(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
  std::vector<std::wstring> lines;
  std::wstringstream stream(text);
  for (std::wstring line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Waits until the log holds a whole record (two lines) and returns its lines.
std::vector<std::wstring> WaitLog(const std::wstring& path, DWORD timeoutMs = 10000) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    auto lines = ReadLogLines(path);
    if (lines.size() >= 2) return lines;
    if (GetTickCount64() >= end)
      e2e::Fail(L"no program was started through the shell within " +
                std::to_wstring(timeoutMs) + L" ms (nothing in " + path + L")");
    Sleep(50);
  }
}

// Returns the arguments of a command line: what follows the program's name.
std::wstring ArgumentsOf(const std::wstring& commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    i = commandLine.find(L'"', 1);
    i = i == std::wstring::npos ? commandLine.size() : i + 1;
  } else {
    i = commandLine.find(L' ');
    if (i == std::wstring::npos) i = commandLine.size();
  }
  while (i < commandLine.size() && commandLine[i] == L' ') ++i;
  return commandLine.substr(i);
}

bool SameFolder(std::wstring a, std::wstring b) {
  for (auto* s : {&a, &b}) {
    while (!s->empty() && s->back() == L'\\') s->pop_back();
    CharUpperBuffW(&(*s)[0], static_cast<DWORD>(s->size()));
  }
  return a == b;
}

void CopyFixture(const std::wstring& name, const std::wstring& targetDir,
                 const std::wstring& targetName) {
  const std::wstring from = e2e::FixtureDir() + L"\\" + name;
  const std::wstring to = targetDir + L"\\" + targetName;
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
    e2e::Fail(L"cannot copy " + from + L" to " + to);
}

// Sets an environment variable of this process (and so of the programs it
// starts) for the life of the guard.
class EnvGuard {
 public:
  EnvGuard(const wchar_t* name, const std::wstring& value) : name_(name) {
    if (!SetEnvironmentVariableW(name, value.c_str())) e2e::Fail(L"SetEnvironmentVariableW failed");
  }
  ~EnvGuard() { SetEnvironmentVariableW(name_, nullptr); }  // removal cannot fail usefully
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const wchar_t* name_;
};

// Checks every rectangle of the layout, scaled by num/den; a scaled value
// may be rounded either way.
void ExpectLayout(Session& s, int num, int den) {
  const int slack = num == den ? 0 : 1;
  auto fits = [&](int actual, int design, bool scaled = true) {
    const int expected = scaled ? MulDiv(design, num, den) : design;
    return actual >= expected - slack && actual <= expected + slack;
  };
  const RECT client = s.ClientRect();
  EXPECT_TRUE(fits(client.right, kClientWidth) && fits(client.bottom, kClientHeight))
      << "client area " << Describe(client);
  int page = 0;
  for (const Box& b : kLayout) {
    if (b.page >= 0 && b.page != page) {
      s.SelectPage(b.page);
      page = b.page;
    }
    const RECT r = s.RectIn(b.name, b.parent);
    const bool ok = fits(r.left, b.left) && fits(r.top, b.top) &&
                    fits(r.right - r.left, b.width, !b.naturalSize) &&
                    (b.height == kAnyHeight || fits(r.bottom - r.top, b.height, !b.naturalSize));
    EXPECT_TRUE(ok) << Narrow(b.name) << " in " << (*b.parent ? Narrow(b.parent) : "Form1")
                    << ": is " << Describe(r) << ", design " << b.left << "," << b.top << " "
                    << b.width << "x" << b.height << " scaled " << num << "/" << den;
    if (b.page >= 0) {
      EXPECT_TRUE(IsWindowVisible(s.Control(b.name))) << Narrow(b.name) << " is not visible";
    }
  }
}

// ---- Tests --------------------------------------------------------------------

TEST(Window, TitleStyleAndPlacement) {
  Session s = StartProduct();
  EXPECT_EQ(s.WindowText(s.MainWindow()), L"Tessarin");
  const LONG style = GetWindowLongW(s.MainWindow(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "the window must not be maximisable";
  EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";
  // Centred on the desktop, by integer halves of the sizes.
  RECT w{};
  ASSERT_TRUE(GetWindowRect(s.MainWindow(), &w));
  const int dw = GetSystemMetrics(SM_CXVIRTUALSCREEN), dh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int dx = GetSystemMetrics(SM_XVIRTUALSCREEN), dy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  EXPECT_NEAR(w.left, dx + dw / 2 - (w.right - w.left) / 2, 1) << Describe(w);
  EXPECT_NEAR(w.top, dy + dh / 2 - (w.bottom - w.top) / 2, 1) << Describe(w);
  EXPECT_EQ(s.ActivePage(), 0) << "the Russia page is active at start";
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Window, ApplicationWindowCarriesTheTitle) {
  Session s = StartProduct();
  HWND app = s.ApplicationWindow();
  EXPECT_EQ(s.WindowText(app), L"Tessarin");
  RECT r{};
  ASSERT_TRUE(GetWindowRect(app, &r));
  EXPECT_EQ(r.right - r.left, 0) << "the application window has no size";
  EXPECT_EQ(r.bottom - r.top, 0);
  EXPECT_EQ(GetWindow(s.MainWindow(), GW_OWNER), app) << "the taskbar entry owns the main window";
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Window, LayoutAt96Dpi) {
  // What this system's Tahoma gives at the design size; at 96 dpi nothing is
  // scaled whatever it is.
  std::cout << "Tahoma 11 px: text height " << TahomaTextHeight(11) << " px\n";
  Session s = StartProduct();
  ExpectLayout(s, 1, 1);
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Window, BuiltInCaptionsByteForByte) {
  Session s = StartProduct();
  for (const Caption& c : kCaptions) EXPECT_EQ(s.Text(c.name), c.text) << Narrow(c.name);
  ASSERT_EQ(s.TabCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.TabCaption(i), kTabCaptions[i]) << "tab " << i;
  EXPECT_EQ(s.Text(L"CmbBxLang"), L"") << "no language saved: the box starts empty";
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Window, FirstFocusAndTabSequenceOfEachPage) {
  Session s = StartProduct();
  s.WaitFocus(L"pc");  // first focus: the tab strip
  for (const TabSequence& t : kTabSequences) {
    SCOPED_TRACE("page " + std::to_string(t.page));
    if (t.page != 0) s.SelectPage(t.page);
    s.WaitFocus(L"pc");
    const size_t n = t.focus.size();
    for (size_t i = 1; i <= n; ++i) {  // forward, wrapping back to pc
      s.PressKey(VK_TAB);
      s.WaitFocus(t.focus[i % n]);
    }
    for (size_t i = n; i-- > 0;) {  // backward from pc, wrapping to the last
      s.PressKey(VK_TAB, /*shift=*/true);
      s.WaitFocus(t.focus[i]);
    }
  }
  EXPECT_EQ(s.Close(), 0u);
}

// An edit selects its whole text when it takes the focus from the keyboard,
// but a mouse click puts the caret where it clicks and selects nothing.
TEST(Window, EditSelectsAllWhenFocusedOtherThanByTheMouse) {
  struct Case {
    const char* how;
    bool byMouse;
    bool selectsAll;
  } const cases[] = {{"Tab", false, true}, {"mouse click", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    Session s = StartProduct();
    s.WaitFocus(L"pc");
    s.SetText(L"Edit3", L"40702810");
    if (c.byMouse) {
      s.MouseClick(L"Edit3");
    } else {
      s.PressKey(VK_TAB);
    }
    s.WaitFocus(L"Edit3");
    const DWORD_PTR sel = SendMessageW(s.Control(L"Edit3"), EM_GETSEL, 0, 0);
    if (c.selectsAll) {
      EXPECT_EQ(LOWORD(sel), 0);
      EXPECT_EQ(HIWORD(sel), 8) << "the whole text is selected";
    } else {
      EXPECT_EQ(LOWORD(sel), HIWORD(sel)) << "nothing is selected";
    }
    EXPECT_EQ(s.Close(), 0u);
  }
}

// Each way of closing ends the program with exit code 0 and writes nothing.
TEST(Window, ClosePathsExitWithZeroAndWriteNothing) {
  enum class Path { Button6, SysCommandClose, AltF4, WmClose, TaskbarClose };
  struct Case {
    Path path;
    const char* name;
  } const cases[] = {
      {Path::Button6, "Button6 (Close)"},
      {Path::SysCommandClose, "title bar / system menu: WM_SYSCOMMAND SC_CLOSE"},
      {Path::AltF4, "Alt+F4, real keys"},
      {Path::WmClose, "WM_CLOSE"},
      {Path::TaskbarClose, "taskbar entry's Close: WM_SYSCOMMAND SC_CLOSE to the application window"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s = StartProduct();
    s.WaitFocus(L"pc");
    const std::wstring running = RegistrySnapshot();
    switch (c.path) {
      case Path::Button6: s.Click(L"Button6"); break;
      case Path::SysCommandClose:
        ASSERT_TRUE(PostMessageW(s.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0));
        break;
      case Path::AltF4: s.PressKey(VK_F4, false, /*alt=*/true); break;
      case Path::WmClose: ASSERT_TRUE(PostMessageW(s.MainWindow(), WM_CLOSE, 0, 0)); break;
      case Path::TaskbarClose:
        ASSERT_TRUE(PostMessageW(s.ApplicationWindow(), WM_SYSCOMMAND, SC_CLOSE, 0));
        break;
    }
    EXPECT_EQ(s.WaitExit(), 0u);
    EXPECT_FALSE(s.HasDialog()) << "closing asks nothing";
    EXPECT_EQ(RegistrySnapshot(), running) << "written at exit";
  }
}

// Help starts "hh.exe" with the bare file name and no folder, in the
// program's current directory: the real viewer of the prefix is started, and
// its own command line and current directory are read from its process. The
// second case shows that the call does not depend on the help file being there.
TEST(Window, HelpStartsTheViewerWithTheBareFileName) {
  struct Case {
    const wchar_t* tag;
    bool removeHelpFile;
  } const cases[] = {{L"help", false}, {L"help-absent", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.tag));
    const std::wstring dir = e2e::FreshProductCopy(c.tag);
    if (c.removeHelpFile) DeleteFileW((dir + L"\\HelpTessarin.chm").c_str());  // may be absent
    Session s = Session::Start(Exe(dir), dir);
    s.Click(L"Button9");
    const e2e::ChildProcess hh = s.WaitChildProcess(L"hh.exe");
    e2e::EndProcess(hh.pid);  // the viewer would stay open
    std::cout << "viewer: " << Narrow(hh.commandLine) << " in " << Narrow(hh.currentDirectory)
              << "\n";
    EXPECT_EQ(ArgumentsOf(hh.commandLine), L"HelpTessarin.chm") << Narrow(hh.commandLine);
    EXPECT_TRUE(SameFolder(hh.currentDirectory, dir))
        << "the viewer runs in the program's current directory, not "
        << Narrow(hh.currentDirectory);
    Sleep(300);
    EXPECT_FALSE(s.HasDialog()) << "the program reports nothing of its own";
    EXPECT_TRUE(s.Running());
    EXPECT_EQ(s.Close(), 0u);
  }
}

// Moves a file aside for the life of the guard and puts it back.
class FileAside {
 public:
  explicit FileAside(std::wstring path) : path_(std::move(path)), aside_(path_ + L".e2e-aside") {
    moved_ = MoveFileExW(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  ~FileAside() {
    if (moved_) MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  FileAside(const FileAside&) = delete;
  FileAside& operator=(const FileAside&) = delete;
  bool Moved() const { return moved_; }

 private:
  std::wstring path_, aside_;
  bool moved_ = false;
};

// The viewer is named by its bare file name, not by a folder. With the
// prefix's own C:\\windows\\hh.exe moved aside for the test, the shell's
// search for a bare "hh.exe" reaches the program's folder, where a stand-in
// waits; a call that named C:\\windows\\hh.exe would start nothing.
TEST(Window, HelpNamesTheViewerWithoutAFolder) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  FileAside systemViewer(std::wstring(windows) + L"\\hh.exe");
  ASSERT_TRUE(systemViewer.Moved()) << "cannot move the prefix's hh.exe aside";
  const std::wstring dir = e2e::FreshProductCopy(L"help-standin");
  CopyFixture(L"hh.exe", dir, L"hh.exe");  // the recording program
  const std::wstring log = dir + L"\\started.log";
  EnvGuard env(L"TESSARIN_E2E_LOG", log);
  Session s = Session::Start(Exe(dir), dir);
  s.Click(L"Button9");
  const auto lines = WaitLog(log);
  std::cout << "started: " << Narrow(lines[0]) << " in " << Narrow(lines[1]) << "\n";
  EXPECT_EQ(ArgumentsOf(lines[0]), L"HelpTessarin.chm") << Narrow(lines[0]);
  EXPECT_TRUE(SameFolder(lines[1], dir)) << Narrow(lines[1]);
  EXPECT_EQ(s.Close(), 0u);
}

// Label8 opens the address it shows: the shell's "open" of that address runs
// the handler registered for its scheme, here the recording stand-in.
TEST(Window, Label8OpensItsCaption) {
  const std::wstring dir = e2e::FreshProductCopy(L"link");
  CopyFixture(L"hh.exe", dir, L"opener.exe");  // the recording program
  const std::wstring log = dir + L"\\opened.log";
  EnvGuard env(L"TESSARIN_E2E_LOG", log);
  Session s = Session::Start(Exe(dir), dir);
  s.SelectPage(3);
  const std::wstring address = s.Text(L"Label8");
  const size_t colon = address.find(L':');
  ASSERT_NE(colon, std::wstring::npos) << "Label8 shows no address: " << Narrow(address);
  const std::wstring scheme = address.substr(0, colon);
  // Wine's HKEY_CLASSES_ROOT is the machine's class key.
  RegistryValueGuard handler(HKEY_LOCAL_MACHINE,
                             L"Software\\Classes\\" + scheme + L"\\shell\\open\\command", L"");
  handler.SetString(L"\"" + dir + L"\\opener.exe\" \"%1\"");
  s.MouseClick(L"Label8");
  const auto lines = WaitLog(log);
  EXPECT_EQ(ArgumentsOf(lines[0]), L"\"" + address + L"\"") << Narrow(lines[0]);
  EXPECT_TRUE(s.Running());
  EXPECT_EQ(s.Close(), 0u);
}

// The default exception display, reached through a real path: a check
// library that faults inside the INN check. The fault's message is the
// program's own exception, shown in an error box captioned "Tessarin" with
// one OK button, after which the window keeps running. The program offers no
// way to raise a message of a test's choosing, so the whole table of endings
// is covered by the unit test of the rule (tests/unit/controls); here the
// rule is seen on the two endings these faults give.
TEST(Window, ExceptionDisplayShowsFaultsWithTheFullStopRule) {
  struct Case {
    const wchar_t* library;   // test check library put in place of Vrifax.dll
    const wchar_t* ending;    // how the shown text must end
    const wchar_t* notEnding; // what would show the rule broken
    const char* reason;
  } const cases[] = {
      {L"crash", L"10.", L"10..", "ends with the address read, a digit: one \".\" appended"},
      {L"divide", L"", L"'.", "ends with the quoted module name, U+0027: unchanged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const std::wstring dir = e2e::FreshProductCopy(std::wstring(L"fault-") + c.library);
    const std::wstring library =
        e2e::BuildDir() + L"\\checklib-fixtures\\" + c.library + L"\\Vrifax.dll";
    ASSERT_TRUE(CopyFileW(library.c_str(), (dir + L"\\Vrifax.dll").c_str(), FALSE))
        << "no test check library " << Narrow(library);
    Session s = Session::Start(Exe(dir), dir);
    s.SetText(L"Edit1", L"7707083893");
    for (int round = 0; round < 2; ++round) {  // the window keeps running
      s.Click(L"Button1");
      const e2e::Dialog d = s.WaitDialog();
      std::cout << "shown: " << Narrow(d.text) << "\n";
      EXPECT_EQ(d.title, L"Tessarin");
      EXPECT_EQ(d.iconKind, L"error");
      EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
      ASSERT_FALSE(d.text.empty());
      EXPECT_LE(static_cast<unsigned>(d.text.back()), 0x2Eu)
          << "after the rule the text never ends above U+002E";
      const std::wstring ending = c.ending, notEnding = c.notEnding;
      EXPECT_TRUE(d.text.size() >= ending.size() &&
                  d.text.compare(d.text.size() - ending.size(), ending.size(), ending) == 0)
          << Narrow(d.text);
      EXPECT_FALSE(d.text.size() >= notEnding.size() &&
                   d.text.compare(d.text.size() - notEnding.size(), notEnding.size(),
                                  notEnding) == 0)
          << Narrow(d.text);
      d.Close();
      EXPECT_TRUE(s.Running());
    }
    EXPECT_EQ(s.Close(), 0u);
  }
}

// After a language is applied the title bar follows it, while the taskbar
// entry, the application window, keeps "Tessarin". A language file of the
// test's own gives the main window a title that no shipped file has; the
// language is typed into the language box, as an operator would.
TEST(Window, TaskbarKeepsTheTitleAfterALanguageChange) {
  const std::wstring settings = L"Software\\Orventa\\Tessarin\\1.0\\Settings";
  RegistryValueGuard saved(HKEY_CURRENT_USER, settings, L"Lang");  // puts the choice back
  const std::wstring dir = e2e::FreshProductCopy(L"taskbar");
  const std::wstring file = L"\xFEFF[main]\r\nLangName=Zz\r\nShotLangName=ZZZ\r\nLangID=0x0409\r\n"
                            L"[Caption]\r\nTessarin_MainForm=Zz title\r\n";
  {
    std::ofstream out(std::filesystem::path(dir + L"\\lang\\Zz.lng"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size() * sizeof(wchar_t)));
    ASSERT_TRUE(out.good()) << "cannot write the test language file";
  }
  Session s = Session::Start(Exe(dir), dir);
  s.SelectPage(3);
  const LRESULT count = SendMessageW(s.Control(L"CmbBxLang"), CB_GETCOUNT, 0, 0);
  if (count <= 0) GTEST_SKIP() << "the language box lists no language: language choice not built";
  s.PressKey(VK_TAB);
  s.WaitFocus(L"CmbBxLang");
  s.TypeText(L"Zz");
  const ULONGLONG end = GetTickCount64() + 5000;
  while (s.WindowText(s.MainWindow()) != L"Zz title" && GetTickCount64() < end) Sleep(50);
  EXPECT_EQ(s.WindowText(s.MainWindow()), L"Zz title") << "the title bar follows the language";
  EXPECT_EQ(s.WindowText(s.ApplicationWindow()), L"Tessarin") << "the taskbar entry keeps it";
  EXPECT_EQ(s.Close(), 0u);
}

// At 120 dots per inch the layout scales by the window font's text height at
// that resolution over 13. Wine takes the resolution from the prefix's
// registry when a process starts; the guards put the old values back.
TEST(Window, LayoutScalesAt120Dpi) {
  constexpr DWORD kDpi = 120;
  RegistryValueGuard user(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
  RegistryValueGuard machine(HKEY_LOCAL_MACHINE,
                             L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                             L"LogPixels");
  user.SetDword(kDpi);
  machine.SetDword(kDpi);
  // The window font is 8 points: its character height at this resolution.
  const int textHeight = TahomaTextHeight(MulDiv(8, kDpi, 72));
  std::cout << "Tahoma 8 pt at " << kDpi << " dpi: text height " << textHeight << " px\n";
  ASSERT_NE(textHeight, kDesignTextHeight) << "no scaling to see at this resolution";
  Session s = StartProduct();
  ExpectLayout(s, textHeight, kDesignTextHeight);
  EXPECT_EQ(s.Close(), 0u);
}

}  // namespace
