// The end-to-end driver: starts the real Tessarin.exe and works its window
// from outside, as an operator would.
//
//   Session s = Session::Start(productDir + L"\\Tessarin.exe", productDir);
//   s.SetText(L"Edit1", L"7707083893");
//   s.Click(L"Button1");
//   Dialog d = s.WaitDialog();          // the verdict
//   EXPECT_EQ(d.text, L"   Проверка пройдена.   ");
//   d.Close();
//   EXPECT_EQ(s.Close(), 0u);           // exit code
//
// Controls are found by their names (resources/ControlIds.h). Every wait has
// a timeout and fails the calling test with a clear message rather than hang.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A top-level dialog or message box of the program under test (#32770).
struct Dialog {
  HWND hwnd = nullptr;
  std::wstring title;                 // the caption
  std::wstring text;                  // the message text, spaces intact
  std::vector<std::wstring> buttons;  // button captions, in window order
  bool hasIcon = false;               // a static icon is shown
  HICON icon = nullptr;               // the icon shown (compare with LoadIcon(nullptr, IDI_...))
  // The system icon the dialog shows, found by comparing its pixels on the
  // screen with the system icons drawn here: "error", "information",
  // "warning", "question", or "" when none matches. Icon handles of another
  // process do not compare equal under Wine, so the pixels decide.
  std::wstring iconKind;
  std::vector<std::wstring> statics;  // texts of all Static children, in window order
  // Presses the button with this caption (default: the dialog's OK).
  void Close(const std::wstring& button = L"") const;
};

// A process that the program started (the help viewer, the browser).
struct ChildProcess {
  DWORD pid = 0;
  std::wstring exeName;           // file name, as the process list shows it
  std::wstring commandLine;       // read from the process itself
  std::wstring currentDirectory;  // likewise
};

class Session {
 public:
  // Starts exe with workDir as its current directory and waits until its
  // main window is visible. Fails the test when it does not appear in time.
  static Session Start(const std::wstring& exe, const std::wstring& workDir,
                       DWORD timeoutMs = 20000);
  // Starts exe without waiting for anything: for what the program shows
  // before its main window (an error at start-up).
  static Session Launch(const std::wstring& exe, const std::wstring& workDir);
  // Waits until the main window is visible; fails the test when it is not in time.
  void WaitMainWindow(DWORD timeoutMs = 20000);
  Session(Session&&) noexcept;
  Session& operator=(Session&&) noexcept;
  ~Session();  // kills the process if it still runs

  HWND MainWindow() const;
  HWND ApplicationWindow() const;  // the zero-size window of the taskbar entry
  HWND Control(const std::wstring& name) const;
  std::wstring Text(const std::wstring& name) const;  // WM_GETTEXT
  std::wstring WindowText(HWND hwnd) const;
  RECT Rect(const std::wstring& name) const;  // relative to the parent's client area
  // Relative to the client area of the named control (L"" for the main window),
  // whatever the platform parent of the control is.
  RECT RectIn(const std::wstring& name, const std::wstring& parent) const;
  RECT ScreenRect(const std::wstring& name) const;  // window rectangle on the screen
  RECT ClientRect() const;                    // of the main window
  void SetText(const std::wstring& name, const std::wstring& text);  // WM_SETTEXT
  void Click(const std::wstring& name);  // posted BM_CLICK / mouse click, returns at once
  void SelectPage(int index);            // the tab strip, as a click on the tab
  int ActivePage() const;                // index of the selected tab
  std::wstring TabCaption(int index) const;  // TCM_GETITEMW, read across processes
  RECT TabRect(int index) const;             // TCM_GETITEMRECT, in the tab strip's client area
  int TabCount() const;
  void MouseClick(const std::wstring& name);  // real mouse click in the middle
  // Picks an entry of a drop-down combo box's list with the mouse (the arrow,
  // then the entry's row) and waits until the box shows it and the program
  // has handled the pick. Fails when the list lacks the entry.
  void PickFromList(const std::wstring& name, const std::wstring& entry);
  // Waits until the program's thread answers a sent message, so everything
  // posted to it before has been handled.
  void WaitAnswer(DWORD timeoutMs = 10000) const;
  // Waits until the named control has the focus; fails with what has it.
  void WaitFocus(const std::wstring& name, DWORD timeoutMs = 5000) const;
  HWND Focus() const;                    // the focused control of the program
  std::wstring FocusName() const;        // its name, or L"" when none of ours
  void PressKey(WORD vk, bool shift = false, bool alt = false);  // real keyboard input
  void TypeText(const std::wstring& text);                      // real keyboard input
  // Waits for a new top-level dialog of the process and reads it.
  Dialog WaitDialog(DWORD timeoutMs = 10000) const;
  bool HasDialog() const;
  // Reads an open dialog of the process.
  Dialog ReadDialog(HWND dialog) const;
  // Asks the window to close with WM_CLOSE and returns the exit code.
  DWORD Close(DWORD timeoutMs = 10000);
  // Waits for the process to end and returns its exit code.
  DWORD WaitExit(DWORD timeoutMs = 10000);
  bool Running() const;
  DWORD ProcessId() const;
  // Waits for a process of the program's with this file name (case ignored)
  // and reads its command line and current directory.
  ChildProcess WaitChildProcess(const std::wstring& exeName, DWORD timeoutMs = 10000) const;

 private:
  Session() = default;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Starts exe from workDir and returns its exit code, or fails the test when
// it neither exits nor shows a window in time (a program that the loader
// refuses ends at once with a non-zero code).
DWORD RunToExit(const std::wstring& exe, const std::wstring& workDir, DWORD timeoutMs = 20000);

// Ends a process that a test caused to be started (by its id) and waits for it.
void EndProcess(DWORD pid);

// Sets the prefix's resolution (both LogPixels values Wine reads when a
// process starts) for its lifetime, and puts the old values back.
class ScopedDpi {
 public:
  explicit ScopedDpi(DWORD dpi);
  ~ScopedDpi();
  ScopedDpi(const ScopedDpi&) = delete;
  ScopedDpi& operator=(const ScopedDpi&) = delete;

 private:
  struct Saved {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    bool existed = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  Saved saved_[2];
};

// Folder helpers for fixtures: the product folder of this build and a fresh
// temporary copy of it that a test may change freely.
std::wstring ProductDir();
std::wstring FreshProductCopy(const std::wstring& tag);
std::wstring BuildDir();    // TESSARIN_BUILD_DIR
std::wstring FixtureDir();  // TESSARIN_E2E_FIXTURE_DIR: the driver's own fixture programs
// The language keys of dir\lang\*.lng in the order of the directory search,
// files only (no folders, hidden or system entries).
std::vector<std::wstring> LanguageKeys(const std::wstring& dir);

// A wait of ms as this machine needs it: ms times TESSARIN_E2E_WAIT_SCALE
// (a whole number, 1 when unset). Every timeout of the driver goes through
// it, so a slower machine (the emulated i386 one) waits longer for the same
// events; what the tests check stays the same.
DWORD ScaledWait(DWORD ms);

// Throws the failure that ends the calling test (GoogleTest reports the text).
[[noreturn]] void Fail(const std::wstring& message);
std::string Utf8(const std::wstring& text);

}  // namespace e2e
