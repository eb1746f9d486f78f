// The language choice of the real Tessarin.exe under Wine: the language box,
// the setting "Lang" in the prefix's real registry, and the captions of the
// live window in every shipped language.
//
// The expected captions are read here from the shipped .lng files by a small
// reader of this test's own, not by the program's code, and the caption
// table is written out here, so that a wrong table or lookup in the program
// shows up as a failure. The settings key is removed before and after each
// test.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "Driver.h"
#include "resources/ControlIds.h"

namespace {

using e2e::Session;

constexpr wchar_t kProductKey[] = L"Software\\Orventa\\Tessarin";
constexpr wchar_t kVersionKey[] = L"Software\\Orventa\\Tessarin\\1.0";
constexpr wchar_t kSettingsKey[] = L"Software\\Orventa\\Tessarin\\1.0\\Settings";
constexpr wchar_t kGenericAddress[] = L"http://example.com/";

std::string Narrow(const std::wstring& s) { return e2e::Utf8(s); }
std::wstring Exe(const std::wstring& dir) { return dir + L"\\Tessarin.exe"; }

// ---- The registry of the prefix ------------------------------------------------

void ResetSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey); }  // absent is fine

bool SettingsKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The raw value "Lang"; present false when it is absent.
struct RawValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::vector<unsigned char> data;
  // The data as text, NUL included when written with it.
  std::wstring Units() const {
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
  }
};

RawValue ReadLang() {
  RawValue v;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExW(key, L"Lang", nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.resize(size);
    v.present =
        RegQueryValueExW(key, L"Lang", nullptr, &v.type, v.data.data(), &size) == ERROR_SUCCESS;
    v.data.resize(size);
  }
  RegCloseKey(key);
  return v;
}

// The text the program writes: REG_SZ, its units and one NUL.
bool IsWrittenText(const RawValue& v, const std::wstring& text) {
  return v.present && v.type == REG_SZ && v.Units() == text + std::wstring(1, L'\0');
}

void SetLangRaw(DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    e2e::Fail(L"cannot create the settings key");
  const LSTATUS set = RegSetValueExW(key, L"Lang", 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) e2e::Fail(L"cannot set the value Lang");
}

void SetLangText(const std::wstring& text, DWORD type = REG_SZ) {
  SetLangRaw(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteLang() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueW(key, L"Lang");  // absent is fine
  RegCloseKey(key);
}

// Waits until the value Lang satisfies pred; returns whether it did.
template <class Pred>
bool WaitLang(Pred pred, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  do {
    if (pred(ReadLang())) return true;
    Sleep(10);
  } while (GetTickCount() - start < timeoutMs);
  return pred(ReadLang());
}

class SettingsReset : public ::testing::Test {
 protected:
  void SetUp() override { ResetSettings(); }
  void TearDown() override { ResetSettings(); }
};

// ---- The language files, read by this test -------------------------------------

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::wstring Trim(const std::wstring& s) {
  const auto b = s.find_first_not_of(L" \t");
  if (b == std::wstring::npos) return L"";
  const auto e = s.find_last_not_of(L" \t");
  return s.substr(b, e - b + 1);
}

// Section -> key -> value, names in small letters, values trimmed. Enough
// for the plain files shipped and written here (UTF-16LE with the mark).
using LangFile = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

LangFile ReadLangFile(const std::wstring& path) {
  std::ifstream in(Narrow(path), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xFE)
    e2e::Fail(L"not a UTF-16LE file with the mark: " + path);
  std::wstring text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  LangFile file;
  std::wstring section;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", pos);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[' && line.back() == L']') {
      section = Lower(Trim(line.substr(1, line.size() - 2)));
      file[section];
      continue;
    }
    const auto eq = line.find(L'=');
    if (eq == std::wstring::npos) continue;
    const std::wstring key = Lower(Trim(line.substr(0, eq)));
    if (!file[section].count(key)) file[section][key] = Trim(line.substr(eq + 1));
  }
  return file;
}

void WriteLangFile(const std::wstring& path, const std::wstring& text) {
  std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
  out.put(static_cast<char>(0xFF));
  out.put(static_cast<char>(0xFE));
  for (wchar_t c : text) {
    out.put(static_cast<char>(c & 0xFF));
    out.put(static_cast<char>((c >> 8) & 0xFF));
  }
  if (!out) e2e::Fail(L"cannot write " + path);
}

// The text a key gives: the current file's, else the default's, else the marker.
std::wstring Expected(const LangFile& current, const LangFile& fallback, const std::wstring& key) {
  const auto dot = key.find(L'.');
  const std::wstring section = Lower(key.substr(0, dot)), ident = key.substr(dot + 1);
  for (const LangFile* f : {&current, &fallback}) {
    const auto s = f->find(section);
    if (s == f->end()) continue;
    const auto v = s->second.find(Lower(ident));
    if (v != s->second.end()) return v->second;
  }
  return L"NoTranslate:" + ident;
}


// ---- The window's 32 captions --------------------------------------------------

struct CaptionRow {
  const wchar_t* key;
  const wchar_t* control;  // L"" for the title bar
  int page;                // for a page: its tab index, else -1
};

const CaptionRow kCaptionRows[] = {
    {L"Caption.Tessarin_MainForm", L"", -1},
    {L"String.CheckINN", L"gbCheckINN", -1},
    {L"String.CheckNumberPU", L"gbCheckPU", -1},
    {L"String.CheckNmberOfSettlementAccounts", L"gbRasSchet", -1},
    {L"String.CheckNumberOfCorrespondentAccounts", L"gbCorSchet", -1},
    {L"String.CheckNumberOKPO", L"gbCheckOKPO", -1},
    {L"String.CheckORGN", L"gbCheckORGN", -1},
    {L"Button.Check", L"Button1", -1},
    {L"Button.Check", L"Button2", -1},
    {L"Button.Check", L"Button3", -1},
    {L"Button.Check", L"Button4", -1},
    {L"Button.Check", L"Button5", -1},
    {L"Button.Check", L"Button7", -1},
    {L"Button.Check", L"Button8", -1},
    {L"String.CheckNmberOfSettlementAccounts", L"gbRachSchetUkr", -1},
    {L"Menu.Exit", L"Button6", -1},
    {L"Menu.Help", L"Button9", -1},
    {L"String.Russia", L"tsRus", 0},
    {L"String.Ukraine", L"tsUkr", 1},
    {L"String.Bulgaria", L"tsBulg", 2},
    {L"Menu.Language", L"gbLang", -1},
    {L"String.CheckerINN", L"Label3", -1},
    {L"String.CheckerS_A", L"Label4", -1},
    {L"String.CheckerC_A", L"Label5", -1},
    {L"String.CheckerOKPO", L"Label6", -1},
    {L"String.CheckerR_C", L"Label7", -1},
    {L"String.BIC_Bank", L"Label1", -1},
    {L"String.BIC_Bank", L"Label2", -1},
    {L"String.BIC_Bank", L"Label9", -1},
    {L"Menu.Options", L"tsOptions", 3},
    {L"Button.Check", L"Button10", -1},
    {L"String.CheckEGN", L"GroupBox1", -1},
};

// A few built-in captions: the window shows them until a language applies.
struct BuiltIn {
  const wchar_t* control;
  const wchar_t* text;
};
const BuiltIn kBuiltIn[] = {
    {L"gbCheckINN", L" Проверить ИНН "},
    {L"gbRachSchetUkr", L" Проверить номер расчетного счета"},
    {L"Button1", L"Проверить"},
    {L"Label3", L"Проверка ИНН"},
    {L"Label8", L"http://example.com/"},
};

// Checks every caption of the live window against the expected texts; the
// pages both by their window text and by their tab.
void ExpectCaptions(const Session& s, const LangFile& current, const LangFile& fallback,
                    const std::wstring& what) {
  for (const CaptionRow& row : kCaptionRows) {
    const std::wstring want = Expected(current, fallback, row.key);
    const std::wstring shown =
        *row.control ? s.Text(row.control) : s.WindowText(s.MainWindow());
    EXPECT_EQ(shown, want) << Narrow(what) << ": " << Narrow(row.key) << " on "
                           << (*row.control ? Narrow(row.control) : "the title bar");
    if (row.page >= 0) {
      EXPECT_EQ(s.TabCaption(row.page), want) << Narrow(what) << ": tab of " << Narrow(row.control);
    }
  }
}

void ExpectBuiltIn(const Session& s, const std::string& what) {
  for (const BuiltIn& b : kBuiltIn)
    EXPECT_EQ(s.Text(b.control), b.text) << what << ": " << Narrow(b.control);
  EXPECT_EQ(s.WindowText(s.MainWindow()), L"Tessarin") << what;
}

LangFile Shipped(const std::wstring& language) {
  return ReadLangFile(e2e::ProductDir() + L"\\lang\\" + language + L".lng");
}

Session StartProduct() { return Session::Start(Exe(e2e::ProductDir()), e2e::ProductDir()); }

// ---- Working the language box ----------------------------------------------------

// Clicks into the box's field until it has the focus (the first click after
// start-up can arrive before the window takes input).
void ClickIntoBox(Session& s) {
  for (int i = 0; i < 3 && s.FocusName() != L"CmbBxLang"; ++i) {
    s.MouseClick(L"CmbBxLang");
    Sleep(100);
  }
  s.WaitFocus(L"CmbBxLang");
}

// Puts the focus into the box's field with its whole text selected.
void FocusBoxSelectAll(Session& s) {
  // A click on the tab would take the focus from the box (and commit it).
  if (s.ActivePage() != 3) s.SelectPage(3);
  ClickIntoBox(s);
  s.PressKey(VK_HOME);
  s.PressKey(VK_END, /*shift=*/true);
}

// Window enumeration callbacks are named functions: the system calls them
// with its own calling convention, which a lambda cannot take on i686.
struct ListQuery {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindDroppedList(HWND h, LPARAM lp) {
  auto* q = reinterpret_cast<ListQuery*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (owner == q->pid && IsWindowVisible(h) && std::wstring(cls) == L"ComboLBox") {
    q->found = h;
    return FALSE;
  }
  return TRUE;
}

// Returns the dropped-down list (class ComboLBox) of the process, or null.
HWND DroppedList(DWORD pid) {
  ListQuery q{pid, nullptr};
  EnumWindows(&FindDroppedList, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// Keeps the text of a message box's Static that shows no icon.
BOOL CALLBACK ReadMessageStatic(HWND h, LPARAM lp) {
  wchar_t cls[32] = {};
  GetClassNameW(h, cls, 32);
  if (std::wstring(cls) == L"Static" && (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
    wchar_t text[512] = {};
    GetWindowTextW(h, text, 512);
    if (*text) reinterpret_cast<std::wstring*>(lp)->assign(text);
  }
  return TRUE;
}

// Picks an entry with the mouse: opens the list by a click on the box's
// drop-down button and clicks the row of the entry.
// A real left click at a point of the screen.
void ClickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT click[2] = {};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
}

// Drops the language box's list down with a click on its arrow and returns
// the list window; fails the test when it does not appear.
HWND DropDownList(Session& s) {
  const RECT r = s.ScreenRect(L"CmbBxLang");
  ClickAt(r.right - 6, (r.top + r.bottom) / 2);
  HWND list = nullptr;
  for (int i = 0; i < 200 && list == nullptr; ++i) {
    Sleep(10);
    list = DroppedList(s.ProcessId());
  }
  if (list == nullptr) e2e::Fail(L"the list did not drop down");
  return list;
}

void PickWithMouse(Session& s, const std::wstring& entry) {
  s.SelectPage(3);
  HWND box = s.Control(L"CmbBxLang");
  DWORD_PTR count = 0;
  SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  int index = -1;
  for (DWORD_PTR i = 0; i < count && index < 0; ++i) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(box, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
    if (length >= 256) continue;
    // CB_GETLBTEXT is marshalled: the text is copied back into this process.
    SendMessageTimeoutW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    if (entry == text) index = static_cast<int>(i);
  }
  if (index < 0) e2e::Fail(L"the list has no entry " + entry);
  const HWND list = DropDownList(s);
  DWORD_PTR rowHeight = 0, top = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &rowHeight);
  SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
  POINT p{10, static_cast<LONG>((index - static_cast<int>(top)) * static_cast<int>(rowHeight) +
                                static_cast<int>(rowHeight) / 2)};
  ClientToScreen(list, &p);
  SetCursorPos(p.x, p.y);
  Sleep(50);  // the list tracks the pointer before the click
  ClickAt(p.x, p.y);
  Sleep(200);
}

// Reads a message box of any process titled "Tessarin" on a thread of its
// own, for errors shown while the window is still being created (before
// Session::Start can return), and closes it.
class StartupMessage {
 public:
  StartupMessage()
      : thread_([this] {
          const DWORD start = GetTickCount();
          while (!stop_ && GetTickCount() - start < 20000) {
            HWND box = FindWindowW(L"#32770", L"Tessarin");
            if (box != nullptr && IsWindowVisible(box)) {
              Sleep(100);  // let it finish painting
              EnumChildWindows(box, &ReadMessageStatic, reinterpret_cast<LPARAM>(&text_));
              PostMessageW(box, WM_COMMAND, IDOK, 0);
              return;
            }
            Sleep(20);
          }
        }) {}
  ~StartupMessage() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Call once the window is shown, so any message of its creation has been
  // read: stops the reader and returns the text read ("" when none appeared).
  std::wstring Text() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return text_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::wstring text_;
  std::thread thread_;
};

// ---- Tests -----------------------------------------------------------------------

TEST_F(SettingsReset, FirstStartRestoresNothingAndWritesNothing) {
  Session s = StartProduct();
  EXPECT_EQ(s.Text(L"CmbBxLang"), L"");
  ExpectBuiltIn(s, "first start");
  EXPECT_TRUE(SettingsKeyExists()) << "the settings key is created at the first start";
  EXPECT_FALSE(ReadLang().present) << "no value Lang before the box's text changes";
  // The list: the language keys, not the display names, in the search's order.
  HWND box = s.Control(L"CmbBxLang");
  const std::vector<std::wstring> keys = e2e::LanguageKeys(e2e::ProductDir());
  DWORD_PTR count = 0;
  SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  ASSERT_EQ(count, keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    EXPECT_EQ(std::wstring(text), keys[i]) << "entry " << i;
  }
  EXPECT_EQ(s.Close(), 0u);
  EXPECT_FALSE(ReadLang().present) << "nothing is written at exit";
}

TEST_F(SettingsReset, RestoredRussianThenPicks) {
  // Saved as REG_EXPAND_SZ: the program's rewrite shows as REG_SZ.
  SetLangText(L"Russian", REG_EXPAND_SZ);
  Session s = StartProduct();
  EXPECT_EQ(s.Text(L"CmbBxLang"), L"Russian");
  ExpectCaptions(s, Shipped(L"Russian"), Shipped(L"English"), L"restored Russian");
  EXPECT_EQ(s.Text(L"Label8"), kGenericAddress) << "the restored text is not yet committed";
  EXPECT_TRUE(IsWrittenText(ReadLang(), L"Russian")) << "Lang rewritten as REG_SZ at start-up";

  // Picking the entry already shown writes nothing and changes nothing.
  DeleteLang();
  PickWithMouse(s, L"Russian");
  Sleep(300);
  EXPECT_FALSE(ReadLang().present) << "picking the shown entry wrote the setting";
  EXPECT_EQ(s.Text(L"Label8"), kGenericAddress);

  PickWithMouse(s, L"French");
  ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"French"); }));
  EXPECT_EQ(s.Text(L"CmbBxLang"), L"French");
  ExpectCaptions(s, Shipped(L"French"), Shipped(L"English"), L"picked French");
  EXPECT_EQ(s.Text(L"Label8"), L"http://example.net/fr");

  PickWithMouse(s, L"Russian");
  ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Russian"); }));
  ExpectCaptions(s, Shipped(L"Russian"), Shipped(L"English"), L"picked Russian");
  EXPECT_EQ(s.Text(L"Label8"), L"http://example.net/ru");

  PickWithMouse(s, L"Bulgarian");
  ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Bulgarian"); }));
  EXPECT_EQ(s.Text(L"Label8"), L"http://example.net/bg");
  PickWithMouse(s, L"English");
  ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"English"); }));
  EXPECT_EQ(s.Text(L"Label8"), kGenericAddress);
  EXPECT_EQ(s.Close(), 0u);
}

BOOL CALLBACK FindCheckInnBox(HWND h, LPARAM lp) {
  if (GetDlgCtrlID(h) != ID_gbCheckINN) return TRUE;
  *reinterpret_cast<HWND*>(lp) = h;
  return FALSE;
}

// The first caption of gbCheckINN that a watcher sees once the window is
// visible: read with a sent message, which the program answers before any
// message posted to it, so a localisation put off until after the window
// is shown would be caught showing the built-in caption.
std::wstring CaptionAtFirstShow() {
  std::wstring seen;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    HWND form = FindWindowW(kMainWindowClass, nullptr);
    if (form != nullptr && IsWindowVisible(form)) {
      HWND box = nullptr;
      EnumChildWindows(form, &FindCheckInnBox, reinterpret_cast<LPARAM>(&box));
      wchar_t text[256] = {};
      DWORD_PTR copied = 0;
      if (box != nullptr && SendMessageTimeoutW(box, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                                                SMTO_ABORTIFHUNG, 5000, &copied))
        seen = text;
      return seen;
    }
    Sleep(1);
  }
  return seen;
}

TEST_F(SettingsReset, RestoredLanguageBeforeTheWindowIsShown) {
  SetLangText(L"Russian");
  std::wstring first;
  std::thread watcher([&first] { first = CaptionAtFirstShow(); });
  Session s = StartProduct();
  watcher.join();
  const std::wstring want = Expected(Shipped(L"Russian"), Shipped(L"English"), L"String.CheckINN");
  ASSERT_NE(want, L" Проверить ИНН ") << "the Russian text must differ from the built-in one";
  EXPECT_EQ(first, want) << "the built-in caption was visible";
  EXPECT_EQ(s.Close(), 0u);
}

TEST_F(SettingsReset, TypingWritesEveryTextAndClearingUnlocalisesTheNextStart) {
  const std::wstring ru = L"http://example.net/ru";
  const std::wstring fr = L"http://example.net/fr";
  const std::wstring bg = L"http://example.net/bg";
  SetLangText(L"Russian");
  {
    Session s = StartProduct();
    const LangFile russian = Shipped(L"Russian"), english = Shipped(L"English");
    FocusBoxSelectAll(s);
    s.TypeText(L"F");
    EXPECT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"F"); }))
        << "typing F over the selection";
    s.TypeText(L"r");
    EXPECT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Fr"); }));
    EXPECT_EQ(s.Text(L"CmbBxLang"), L"Fr");
    ExpectCaptions(s, russian, english, L"after typing Fr");
    // The restored text was committed once start-up's handler had run.
    EXPECT_EQ(s.Text(L"Label8"), ru);

    s.TypeText(L"ench");
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"French"); }));
    ExpectCaptions(s, Shipped(L"French"), english, L"after typing French");
    EXPECT_EQ(s.Text(L"Label8"), ru) << "typing commits nothing";

    // Enter commits the typed text without a change: nothing is written,
    // and the next change finds "French" committed.
    DeleteLang();
    s.PressKey(VK_RETURN);
    Sleep(300);
    EXPECT_FALSE(ReadLang().present) << "Enter raised a change";
    s.TypeText(L"x");
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Frenchx"); }));
    EXPECT_EQ(s.Text(L"Label8"), fr) << "Enter committed the typed text";
    ExpectCaptions(s, Shipped(L"French"), english, L"after typing Frenchx");

    // The loss of the focus commits as well: typed over while the box keeps
    // the focus, the link still follows "French"; once the focus has gone
    // to the tab strip, the next change finds the typed text committed.
    FocusBoxSelectAll(s);
    s.TypeText(L"Bulgarian");
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Bulgarian"); }));
    EXPECT_EQ(s.Text(L"Label8"), fr);
    DeleteLang();
    s.SelectPage(0);  // a click on a tab: the tab strip takes the focus
    Sleep(200);
    EXPECT_EQ(s.FocusName(), L"pc");
    EXPECT_FALSE(ReadLang().present) << "the focus loss raised a change";
    s.SelectPage(3);
    ClickIntoBox(s);
    s.PressKey(VK_END);
    s.TypeText(L"x");
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Bulgarianx"); }));
    EXPECT_EQ(s.Text(L"Label8"), bg) << "the focus loss committed the typed text";

    FocusBoxSelectAll(s);
    s.PressKey(VK_DELETE);
    EXPECT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L""); }))
        << "clearing writes the empty text";
    EXPECT_EQ(s.Close(), 0u);
  }
  Session again = StartProduct();
  EXPECT_EQ(again.Text(L"CmbBxLang"), L"");
  ExpectBuiltIn(again, "start after clearing");
  EXPECT_TRUE(IsWrittenText(ReadLang(), L"")) << "the empty setting is not rewritten";
  EXPECT_EQ(again.Close(), 0u);
}

// What the window shows after start-up: the built-in captions (the handler
// did not run), the default language's texts (it ran, but no language of
// that name is installed), or Russian.
enum class Window { BuiltIn, Default, Russian };

void ExpectWindow(const Session& s, Window w, const char* reason) {
  switch (w) {
    case Window::BuiltIn: ExpectBuiltIn(s, reason); break;
    case Window::Default: ExpectCaptions(s, LangFile{}, Shipped(L"English"), L"no such language"); break;
    case Window::Russian: ExpectCaptions(s, Shipped(L"Russian"), Shipped(L"English"), L"restored"); break;
  }
}

TEST_F(SettingsReset, OutsideValuesAtStartUp) {
  struct Case {
    DWORD type;
    std::vector<unsigned char> data;
    std::wstring box;      // the box's text after start-up
    std::wstring message;  // the message shown, or ""
    Window window;
    const char* reason;
  };
  auto bytes = [](const std::wstring& s, std::vector<unsigned char> extra) {
    std::vector<unsigned char> out(reinterpret_cast<const unsigned char*>(s.data()),
                                   reinterpret_cast<const unsigned char*>(s.data() + s.size()));
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
  };
  std::vector<unsigned char> megabytes = bytes(L"Russian", {0, 0});
  megabytes.resize(4 * 1024 * 1024 + 1, 'x');  // junk after the NUL, odd count
  std::vector<unsigned char> bigText(2 * 1024 * 1024, 'R');  // no NUL at all: U+5252 x 1M
  const Case cases[] = {
      {REG_DWORD, {1, 0, 0, 0}, L"", L"Invalid data type for 'Lang'", Window::BuiltIn, "a number"},
      {REG_BINARY, bytes(L"Russian", {0, 0}), L"", L"Invalid data type for 'Lang'", Window::BuiltIn,
       "text stored as binary"},
      {REG_EXPAND_SZ, bytes(L"%USERPROFILE%", {0, 0}), L"%USERPROFILE%", L"", Window::Default,
       "taken literally, not expanded"},
      {REG_SZ, bytes(L"Russian", {0, 0, 'j', 0, 'u', 0, 0, 0}), L"Russian", L"", Window::Russian,
       "cut at the NUL inside"},
      {REG_SZ, bytes(L"Russian", {}), L"Russian", L"", Window::Russian, "no terminating NUL"},
      {REG_SZ, bytes(L"Russian", {'Q'}), L"Russian", L"", Window::Russian, "odd byte count"},
      {REG_SZ, megabytes, L"Russian", L"", Window::Russian, "4 MB, cut at the NUL"},
  };
  for (const Case& c : cases) {
    ResetSettings();
    SetLangRaw(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    StartupMessage message;
    Session s = StartProduct();
    EXPECT_EQ(message.Text(), c.message) << c.reason;
    EXPECT_EQ(s.Text(L"CmbBxLang"), c.box) << c.reason;
    ExpectWindow(s, c.window, c.reason);
    if (c.message.empty()) {
      EXPECT_TRUE(IsWrittenText(ReadLang(), c.box)) << c.reason << ": rewritten as read";
    } else {
      EXPECT_EQ(ReadLang().type, c.type) << c.reason << ": left as it was";
    }
    EXPECT_EQ(s.Close(), 0u) << c.reason;
  }

  // A megabyte-long text without a NUL: read whole, and written back whole.
  ResetSettings();
  SetLangRaw(REG_SZ, bigText.data(), static_cast<DWORD>(bigText.size()));
  StartupMessage none;
  Session s = StartProduct();
  EXPECT_EQ(none.Text(), L"");
  const RawValue after = ReadLang();
  EXPECT_EQ(after.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(after.data.size(), bigText.size() + 2) << "the text and one NUL";
  ExpectWindow(s, Window::Default, "no language of that name");
  EXPECT_EQ(s.Close(), 0u);
}

TEST_F(SettingsReset, FailedWriteShowsTheErrorAndKeepsTheCaptions) {
  SetLangText(L"Russian");
  Session s = StartProduct();
  const LangFile russian = Shipped(L"Russian"), english = Shipped(L"English");
  ExpectCaptions(s, russian, english, L"before");
  // A volatile parent: the non-volatile settings key below it cannot be made.
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kVersionKey), ERROR_SUCCESS);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kVersionKey, 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  FocusBoxSelectAll(s);
  s.TypeText(L"F");
  const e2e::Dialog d = s.WaitDialog();
  EXPECT_EQ(d.text, L"Failed to set data for 'Lang'") << "no full stop after the apostrophe";
  EXPECT_EQ(d.title, L"Tessarin");
  EXPECT_EQ(d.iconKind, L"error");
  d.Close();
  EXPECT_EQ(s.Text(L"CmbBxLang"), L"F") << "the box keeps the new text";
  ExpectCaptions(s, russian, english, L"after the failed write");
  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_EQ(s.Close(), 0u);
}

TEST_F(SettingsReset, EveryCaptionInEveryShippedLanguage) {
  const LangFile english = Shipped(L"English");
  for (const std::wstring& language : e2e::LanguageKeys(e2e::ProductDir())) {
    ResetSettings();
    SetLangText(language);
    Session s = StartProduct();
    ExpectCaptions(s, Shipped(language), english, language);
    EXPECT_EQ(s.WindowText(s.ApplicationWindow()), L"Tessarin") << Narrow(language);
    EXPECT_EQ(s.Close(), 0u);
  }
}

TEST_F(SettingsReset, MissingButtonSectionFallsBackAndTitleFollows) {
  const std::wstring dir = e2e::FreshProductCopy(L"language-fallback");
  const std::wstring partial =
      L"[main]\r\nLangName=Partial\r\n[Caption]\r\nTessarin_MainForm=Partial title\r\n"
      L"[String]\r\nCheckINN=Partial INN\r\n[Menu]\r\nExit=Partial exit\r\n";
  WriteLangFile(dir + L"\\lang\\Partial.lng", partial);
  const LangFile partialFile = ReadLangFile(dir + L"\\lang\\Partial.lng");
  struct Case {
    bool defaultHasButton;
    std::wstring button;
    const char* reason;
  };
  const Case cases[] = {
      {true, Expected(partialFile, ReadLangFile(dir + L"\\lang\\English.lng"), L"Button.Check"),
       "the default language's text"},
      {false, L"NoTranslate:Check", "the marker when the default lacks it too"},
  };
  for (const Case& c : cases) {
    if (!c.defaultHasButton) {
      // The default language without its section Button.
      WriteLangFile(dir + L"\\lang\\English.lng",
                    L"[main]\r\nLangName=English\r\n[Menu]\r\nExit=Close\r\n");
    }
    const LangFile fallback = ReadLangFile(dir + L"\\lang\\English.lng");
    ResetSettings();
    SetLangText(L"Partial");
    Session s = Session::Start(Exe(dir), dir);
    ASSERT_NE(c.button, L"");
    for (const wchar_t* b : {L"Button1", L"Button2", L"Button3", L"Button4", L"Button5",
                             L"Button7", L"Button8", L"Button10"})
      EXPECT_EQ(s.Text(b), c.button) << c.reason << " on " << Narrow(b);
    ExpectCaptions(s, partialFile, fallback, L"partial file");
    EXPECT_EQ(s.WindowText(s.MainWindow()), L"Partial title") << "the title bar follows";
    EXPECT_EQ(s.WindowText(s.ApplicationWindow()), L"Tessarin") << "the taskbar keeps the title";
    EXPECT_EQ(s.Close(), 0u);
  }
}

TEST_F(SettingsReset, ListDropsDownEightRows) {
  // Fifteen languages: the list shows eight rows and scrolls.
  const std::wstring dir = e2e::FreshProductCopy(L"language-rows");
  const std::wstring english = e2e::ProductDir() + L"\\lang\\English.lng";
  for (int i = 1; i <= 10; ++i) {
    const std::wstring name = dir + L"\\lang\\Extra" + std::to_wstring(i) + L".lng";
    ASSERT_TRUE(CopyFileW(english.c_str(), name.c_str(), FALSE)) << i;
  }
  Session s = Session::Start(Exe(dir), dir);
  s.SelectPage(3);
  const HWND list = DropDownList(s);
  DWORD_PTR rowHeight = 0, count = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &rowHeight);
  SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  RECT client{};
  GetClientRect(list, &client);
  EXPECT_EQ(count, 15u);
  ASSERT_GT(rowHeight, 0u);
  EXPECT_EQ((client.bottom - client.top) / static_cast<LONG>(rowHeight), 8)
      << "client height " << client.bottom - client.top << ", row " << rowHeight;
  s.PressKey(VK_ESCAPE);
  EXPECT_FALSE(ReadLang().present) << "opening and closing the list changes nothing";
  EXPECT_EQ(s.Close(), 0u);
}

// The cost of one keystroke in the box: Backspace and "n" in turn over
// "Russian", so that every other keystroke selects the installed language
// and reloads its file; a final "X" marks the end of the run.
TEST_F(SettingsReset, CostOfOneKeystroke) {
  SetLangText(L"Russian");
  Session s = StartProduct();
  s.SelectPage(3);
  ClickIntoBox(s);
  s.PressKey(VK_END);
  // Batches of 201 keystrokes, each timed from its input to its last write.
  constexpr int kPairs = 100, kBatches = 5;
  auto key = [](std::vector<INPUT>& in, WORD vk, wchar_t ch) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    if (ch) {
      down.ki.wScan = ch;
      down.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
      down.ki.wVk = vk;
    }
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(down);
    in.push_back(up);
  };
  double totalMs = 0;
  int keystrokes = 0;
  for (int batch = 0; batch < kBatches; ++batch) {
    std::vector<INPUT> in;
    for (int i = 0; i < kPairs; ++i) {
      key(in, VK_BACK, 0);
      key(in, 0, L'n');
    }
    key(in, 0, L'X');
    const auto start = std::chrono::steady_clock::now();
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"RussianX"); }, 60000))
        << "last written: " << Narrow(ReadLang().Units()) << ", box: " << Narrow(s.Text(L"CmbBxLang"));
    totalMs +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    keystrokes += 2 * kPairs + 1;
    s.PressKey(VK_BACK);  // back to "Russian" for the next batch
    ASSERT_TRUE(WaitLang([](const RawValue& v) { return IsWrittenText(v, L"Russian"); }));
  }
  std::cout << "[ COST     ] " << keystrokes << " keystrokes in " << totalMs << " ms: "
            << totalMs / keystrokes << " ms per keystroke (registry write + LoadLanguage)\n";
  ExpectCaptions(s, Shipped(L"Russian"), Shipped(L"English"), L"after the run");
  EXPECT_EQ(s.Close(), 0u);
}

}  // namespace
