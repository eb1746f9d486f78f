// The eight check commands of the real Tessarin.exe under Wine, against the
// test check libraries of tests/fixtures/checklibs (built into
// <build>\checklib-fixtures\<name>\Vrifax.dll): both verdicts of every
// command with their exact texts, titles, buttons and icons; the arguments
// as the library receives them; the missing library; a library replaced
// between two clicks; faults inside the library, which the default exception
// display reports while the window keeps checking, and exceptions that the
// library handles itself, which keep its answer; the library loaded from the
// current directory, not from beside the program; and the program refusing
// to start without borlndmm.dll.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Driver.h"

namespace {

namespace fs = std::filesystem;
using e2e::Dialog;
using e2e::Session;

// The messages of the check commands, spaces included.
const std::wstring kAbsent = L" Не найдена библиотека. ";
const std::wstring kPlainValid = L"   Проверка пройдена.   ";
const std::wstring kPlainInvalid = L"   Проверка не пройдена.    ";
const std::wstring kReportValid = L"Проверка пройдена  ";
const std::wstring kReportInvalid = L"Проверка не пройдена  ";
const std::wstring kReportCaption = L"Отчет о проверке ";
const std::wstring kTitle = L"Tessarin";

// The command table as the window offers it, written out here.
struct Command {
  const wchar_t* button;
  int page;  // 0 tsRus, 1 tsUkr, 2 tsBulg
  const wchar_t* first;
  const wchar_t* second;  // null: a one-field command
  int ordinal;
  bool reportBox;
};

const Command kCommands[] = {
    {L"Button1", 0, L"Edit1", nullptr, 1, false},
    {L"Button2", 0, L"Edit2", nullptr, 4, false},
    {L"Button3", 0, L"Edit3", L"Edit6", 6, false},
    {L"Button4", 0, L"Edit4", L"Edit7", 5, false},
    {L"Button5", 0, L"Edit5", nullptr, 7, false},
    {L"Button7", 0, L"Edit8", nullptr, 8, false},
    {L"Button8", 1, L"Edit9", L"Edit10", 9, false},
    {L"Button10", 2, L"Edit11", nullptr, 10, true},
};

const Command& CommandOf(const std::wstring& button) {
  for (const Command& c : kCommands) {
    if (button == c.button) return c;
  }
  e2e::Fail(L"no check command " + button);
}

std::wstring FixtureLibrary(const std::wstring& name) {
  return e2e::BuildDir() + L"\\checklib-fixtures\\" + name + L"\\Vrifax.dll";
}

// Puts the named test library into dir as Vrifax.dll. Retries for a while:
// the program releases the previous one only after its dialog has closed,
// and under Wine the file can stay locked for a moment after that.
void UseLibrary(const std::wstring& dir, const std::wstring& fixture) {
  const std::wstring target = dir + L"\\Vrifax.dll";
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (CopyFileW(FixtureLibrary(fixture).c_str(), target.c_str(), FALSE)) return;
    Sleep(50);
  }
  e2e::Fail(L"cannot copy the test library " + fixture + L" to " + target + L" (error " +
            std::to_wstring(GetLastError()) + L")");
}

// A fresh copy of the product with the named test library as Vrifax.dll.
std::wstring ProductWith(const std::wstring& tag, const std::wstring& fixture) {
  const std::wstring dir = e2e::FreshProductCopy(L"checks-" + tag);
  UseLibrary(dir, fixture);
  return dir;
}

Session StartIn(const std::wstring& dir, const std::wstring& workDir = L"") {
  return Session::Start(dir + L"\\Tessarin.exe", workDir.empty() ? dir : workDir);
}

// Clicks the command's button on its page and returns the dialog it shows.
Dialog RunCommand(Session& s, const Command& c) {
  if (s.ActivePage() != c.page) s.SelectPage(c.page);
  s.Click(c.button);
  return s.WaitDialog();
}

void ExpectPlainDialog(const Dialog& d, const std::wstring& text) {
  EXPECT_EQ(d.title, kTitle);
  EXPECT_EQ(d.text, text);
  EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(d.hasIcon) << "the plain message dialog shows no icon";
}

void ExpectReportBox(const Dialog& d, bool valid) {
  EXPECT_EQ(d.title, kReportCaption);
  EXPECT_EQ(d.text, valid ? kReportValid : kReportInvalid);
  EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_EQ(d.iconKind, valid ? L"information" : L"error");
}

void ExpectVerdict(const Dialog& d, const Command& c, bool valid) {
  if (c.reportBox) {
    ExpectReportBox(d, valid);
  } else {
    ExpectPlainDialog(d, valid ? kPlainValid : kPlainInvalid);
  }
}

// The default exception display: a message box titled with the application
// title, the error icon, one OK button; its text holds every part given.
void ExpectErrorDisplay(const Dialog& d, const std::vector<std::wstring>& parts) {
  EXPECT_EQ(d.title, kTitle);
  EXPECT_EQ(d.iconKind, L"error");
  EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
  for (const std::wstring& part : parts) {
    EXPECT_NE(d.text.find(part), std::wstring::npos)
        << "\"" << e2e::Utf8(part) << "\" not in \"" << e2e::Utf8(d.text) << "\"";
  }
  EXPECT_EQ(d.text.find(L"%1"), std::wstring::npos) << "an unfilled insert: " << e2e::Utf8(d.text);
}

bool WaitGone(HWND dialog) {
  for (int i = 0; i < 100; ++i) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    Sleep(50);
  }
  return false;
}

// ---- Verdicts -----------------------------------------------------------------

TEST(Checks, EveryCommandShowsBothVerdicts) {
  for (const bool valid : {true, false}) {
    const std::wstring fixture = valid ? L"valid" : L"invalid";
    SCOPED_TRACE(e2e::Utf8(fixture));
    const std::wstring dir = ProductWith(fixture, fixture);
    Session s = StartIn(dir);
    for (const Command& c : kCommands) {
      SCOPED_TRACE(e2e::Utf8(c.button));
      s.SetText(c.first, L"1234567890");
      if (c.second) s.SetText(c.second, L"044525225");
      const Dialog d = RunCommand(s, c);
      ExpectVerdict(d, c, valid);
      EXPECT_EQ(GetWindow(d.hwnd, GW_OWNER), s.MainWindow()) << "owned by the main window";
      d.Close();
    }
    EXPECT_EQ(s.Close(), 0u);
  }
}

TEST(Checks, PlainDialogIsCentredOnTheWorkAreaAndAnswersEnterAndEsc) {
  const std::wstring dir = ProductWith(L"keys", L"valid");
  Session s = StartIn(dir);
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  // The main window in a corner: the dialog is centred on the work area,
  // not on its owner.
  ASSERT_TRUE(SetWindowPos(s.MainWindow(), nullptr, work.left, work.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  for (const WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Esc");
    const Dialog d = RunCommand(s, CommandOf(L"Button1"));
    ExpectPlainDialog(d, kPlainValid);
    RECT frame{};
    ASSERT_TRUE(GetWindowRect(d.hwnd, &frame));
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
    EXPECT_FALSE(IsWindowEnabled(s.MainWindow())) << "the dialog is modal";
    s.PressKey(key);
    EXPECT_TRUE(WaitGone(d.hwnd));
  }
  EXPECT_EQ(s.Close(), 0u);
}

// ---- Arguments ----------------------------------------------------------------

// The line the recorder writes for one argument: null, or the 12 header
// bytes, the code units and the two bytes after them, in hex.
std::string RecordedArgument(const wchar_t* text) {
  if (!text || !*text) return "null";
  const std::wstring value = text;
  std::vector<unsigned char> bytes = {0xB0, 0x04, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value.size() >> (8 * i)));
  for (wchar_t unit : value) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  std::string out;
  char hex[3];
  for (unsigned char b : bytes) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    out += hex;
  }
  return out + " 0000";
}

std::string LastRecordedCall(const std::wstring& dir) {
  std::ifstream in(fs::path(dir) / L"Vrifax.record.txt", std::ios::binary);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) last = line;
  }
  return last;
}

TEST(Checks, ArgumentsReachTheLibraryAsTyped) {
  struct Case {
    const wchar_t* button;
    const wchar_t* first;
    const wchar_t* second;
    const char* reason;
  };
  const Case cases[] = {
      {L"Button1", L"", nullptr, "an empty field is a null pointer"},
      {L"Button1", L"7707083893", nullptr, "a plain INN"},
      {L"Button2", L"  112 233 445 95  ", nullptr, "leading, inner and trailing spaces kept"},
      {L"Button5", L"   ", nullptr, "a field of only spaces is passed as text"},
      {L"Button7", L"1027700132195", nullptr, "OGRN"},
      {L"Button3", L"40702810900000000001", L"044525225", "account first, BIK second"},
      {L"Button3", L"40702810900000000001", L"", "an empty second field alone is null"},
      {L"Button4", L"", L"044525225", "an empty first field alone is null"},
      {L"Button4", L"30101810400000000225", L" 044525225", "correspondent account, BIK"},
      {L"Button8", L"26004000012345", L"300001", "Ukrainian account, bank code"},
      {L"Button10", L"7501010010", nullptr, "EGN"},
      {L"Button10", L"Ж ж", nullptr, "Cyrillic code units unchanged"},
  };
  const std::wstring dir = ProductWith(L"arguments", L"recorder");
  Session s = StartIn(dir);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const Command& command = CommandOf(c.button);
    s.SetText(command.first, c.first);
    if (command.second) s.SetText(command.second, c.second);
    const Dialog d = RunCommand(s, command);
    ExpectVerdict(d, command, true);
    d.Close();
    std::string expected = "ordinal=" + std::to_string(command.ordinal) +
                           " count=" + std::to_string(command.second ? 2 : 1) +
                           " arg1=" + RecordedArgument(c.first);
    if (command.second) expected += " arg2=" + RecordedArgument(c.second);
    EXPECT_EQ(LastRecordedCall(dir), expected);
  }
  EXPECT_EQ(s.Close(), 0u);
}

// ---- The missing library ------------------------------------------------------

TEST(Checks, MissingLibraryIsReportedInThePlainDialog) {
  struct Case {
    const wchar_t* tag;
    bool removeFile;
    bool directory;      // a directory named Vrifax.dll in the current directory
    bool elsewhere;      // started from another current directory
    const char* reason;
  };
  const Case cases[] = {
      {L"absent", true, false, false, "no file"},
      {L"directory", true, true, false, "a directory of that name"},
      {L"elsewhere", false, false, true, "the library beside the exe, another current directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const std::wstring dir = ProductWith(c.tag, L"valid");
    if (c.removeFile) {
      ASSERT_TRUE(DeleteFileW((dir + L"\\Vrifax.dll").c_str()));
    }
    if (c.directory) {
      ASSERT_TRUE(CreateDirectoryW((dir + L"\\Vrifax.dll").c_str(), nullptr));
    }
    std::wstring workDir = dir;
    if (c.elsewhere) {
      workDir = dir + L"\\elsewhere";
      ASSERT_TRUE(CreateDirectoryW(workDir.c_str(), nullptr));
    }
    Session s = StartIn(dir, workDir);
    for (const wchar_t* button : {L"Button1", L"Button3", L"Button10"}) {
      SCOPED_TRACE(e2e::Utf8(button));
      const Dialog d = RunCommand(s, CommandOf(button));
      ExpectPlainDialog(d, kAbsent);
      d.Close();
    }
    EXPECT_EQ(s.Close(), 0u);
  }
}

TEST(Checks, LibraryReplacedBetweenClicksIsLoadedAfresh) {
  const std::wstring dir = ProductWith(L"replaced", L"valid");
  Session s = StartIn(dir);
  const Command& inn = CommandOf(L"Button1");
  for (const bool valid : {true, false, true}) {
    SCOPED_TRACE(valid ? "valid library" : "invalid library");
    UseLibrary(dir, valid ? L"valid" : L"invalid");
    const Dialog d = RunCommand(s, inn);
    ExpectPlainDialog(d, valid ? kPlainValid : kPlainInvalid);
    d.Close();
  }
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Checks, TheLibraryInTheCurrentDirectoryIsTheOneCalled) {
  // Beside the program a library that says "invalid", in the current
  // directory one that says "valid": the verdict is the one that was found.
  const std::wstring dir = ProductWith(L"current-directory", L"invalid");
  const std::wstring workDir = dir + L"\\started-here";
  ASSERT_TRUE(CreateDirectoryW(workDir.c_str(), nullptr));
  UseLibrary(workDir, L"valid");
  Session s = StartIn(dir, workDir);
  for (const wchar_t* button : {L"Button1", L"Button8", L"Button10"}) {
    SCOPED_TRACE(e2e::Utf8(button));
    const Command& c = CommandOf(button);
    const Dialog d = RunCommand(s, c);
    ExpectVerdict(d, c, true);
    d.Close();
  }
  EXPECT_EQ(s.Close(), 0u);
}

// ---- Faults -------------------------------------------------------------------

TEST(Checks, FaultsInsideTheLibraryAreReportedAndTheWindowKeepsChecking) {
  const std::wstring address10(2 * sizeof(void*) - 2, L'0');
  struct Case {
    const wchar_t* fixture;
    const wchar_t* failing;    // the command that fails
    std::vector<std::wstring> parts;  // of the default exception display's text
    const wchar_t* following;  // a following command that works
    const wchar_t* replaceWith;  // library put in place before it, or null
    int clicks;                // on the failing command, each reported alike
    const char* reason;
  };
  const Case cases[] = {
      {L"crash", L"Button1",
       {L"Access violation at address ", L" in module 'Vrifax.dll'",
        L"Read of address " + address10 + L"10"},
       L"Button2", nullptr, 2, "access violation; the library stays loaded"},
      {L"divide", L"Button1", {L"Division by zero at address ", L" in module 'Vrifax.dll'"},
       L"Button5", nullptr, 2, "integer division by zero"},
      {L"foreign", L"Button1", {L"External exception E0465831 at address "}, L"Button10", nullptr,
       2, "an exception of the library's own run-time"},
      {L"overflow", L"Button1", {L"Stack overflow at address ", L" in module 'Vrifax.dll'"},
       L"Button2", nullptr, 3, "a stack overflow, every time a stack overflow"},
      {L"incomplete", L"Button2", {L"Vrifax.dll", L"ordinal 4"}, L"Button1", nullptr,
       2, "a missing entry point: nothing called, library released"},
      {L"incomplete", L"Button10", {L"Vrifax.dll", L"ordinal 10"}, L"Button10", L"valid",
       2, "released after a missing entry point, so it can be replaced"},
      {L"notalib", L"Button1", {L"Cannot load the check library \"Vrifax.dll\". "}, L"Button1",
       L"valid", 2, "a file that is no library"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const std::wstring dir = ProductWith(std::wstring(L"fault-") + c.fixture, c.fixture);
    Session s = StartIn(dir);
    const Command& failing = CommandOf(c.failing);
    for (int click = 1; click <= c.clicks; ++click) {
      SCOPED_TRACE("click " + std::to_string(click));
      const Dialog d = RunCommand(s, failing);
      ExpectErrorDisplay(d, c.parts);
      d.Close();
      EXPECT_FALSE(s.HasDialog()) << "no verdict after the fault";
    }
    ASSERT_TRUE(s.Running());
    s.SetText(L"Edit1", L"still answering");
    EXPECT_EQ(s.Text(L"Edit1"), L"still answering");
    if (c.replaceWith) UseLibrary(dir, c.replaceWith);
    const Command& following = CommandOf(c.following);
    const Dialog d = RunCommand(s, following);
    ExpectVerdict(d, following, true);
    d.Close();
    EXPECT_EQ(s.Close(), 0u);
  }
}

TEST(Checks, ExceptionsTheLibraryHandlesItselfKeepItsAnswer) {
  const std::wstring dir = ProductWith(L"handled", L"handled");
  Session s = StartIn(dir);
  // Button1: an access violation caught inside IsBadReadPtr; Button2: an
  // exception of the library's own, taken by its own frame handler.
  for (const wchar_t* button : {L"Button1", L"Button2", L"Button1"}) {
    SCOPED_TRACE(e2e::Utf8(button));
    const Dialog d = RunCommand(s, CommandOf(button));
    ExpectPlainDialog(d, kPlainValid);
    d.Close();
    EXPECT_TRUE(WaitGone(d.hwnd));
    EXPECT_FALSE(s.HasDialog()) << "no error after the verdict";
  }
  EXPECT_EQ(s.Close(), 0u);
}

// ---- The shared memory manager ------------------------------------------------

TEST(Checks, ProgramDoesNotStartWithoutSharedMemoryManager) {
  const std::wstring dir = ProductWith(L"no-borlndmm", L"valid");
  ASSERT_TRUE(DeleteFileW((dir + L"\\borlndmm.dll").c_str()));
  EXPECT_EQ(e2e::RunToExit(dir + L"\\Tessarin.exe", dir), static_cast<DWORD>(0xC0000135))
      << "STATUS_DLL_NOT_FOUND from the loader";
}

}  // namespace
