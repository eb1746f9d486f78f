// Makes a language file that exists but cannot be opened, for as long as the
// object lives, and names the system's reason for the failure.
//  - Windows: a second process (lockhelper.exe, beside the test) holds the
//    file open for writing, so that opening it with read sharing only fails
//    with a sharing violation.
//  - POSIX: the file is replaced by a symbolic link to itself (a test run as
//    root could read a file without permissions, but never through a loop).
#pragma once

#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "tests/unit/localization/TestFiles.h"

namespace testfiles {

#ifdef _WIN32

// Owns a kernel handle in these tests.
class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);  // test clean-up: nothing to do on failure
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Returns the folder of this test executable, with a trailing backslash.
inline std::wstring TestExeFolder() {
  wchar_t buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 4);
  std::wstring path(buf, n);
  return path.substr(0, path.rfind(L'\\') + 1);
}

class Unopenable {
 public:
  // Returns the system's description of a sharing violation: Wine words
  // it differently from Windows.
  static std::u16string Reason() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return wine ? u"Sharing violation."
                : u"The process cannot access the file because it is being used by another process.";
  }

  explicit Unopenable(const std::u16string& path) {
    static unsigned counter = 0;
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    const std::wstring readyName = L"TessarinLockReady-" + tag, quitName = L"TessarinLockQuit-" + tag;
    ready_.reset(new Handle(CreateEventW(nullptr, TRUE, FALSE, readyName.c_str())));
    quit_.reset(new Handle(CreateEventW(nullptr, TRUE, FALSE, quitName.c_str())));
    EXPECT_TRUE(ready_->get() && quit_->get()) << "CreateEventW failed";
    std::wstring cmd = L"\"" + TestExeFolder() + L"lockhelper.exe\" \"" +
                       std::wstring(path.begin(), path.end()) + L"\" " + readyName + L" " + quitName;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      ADD_FAILURE() << "cannot start lockhelper.exe, error " << GetLastError();
      return;
    }
    CloseHandle(pi.hThread);  // only the process handle is needed
    process_.reset(new Handle(pi.hProcess));
    const HANDLE waitFor[2] = {ready_->get(), process_->get()};
    const DWORD got = WaitForMultipleObjects(2, waitFor, FALSE, 30000);
    EXPECT_EQ(got, WAIT_OBJECT_0) << "lockhelper.exe did not report the file open (wait result " << got << ")";
  }

  ~Unopenable() {
    if (!process_) return;
    SetEvent(quit_->get());  // the helper also ends by itself after a minute
    WaitForSingleObject(process_->get(), 30000);
  }

 private:
  std::unique_ptr<Handle> ready_, quit_, process_;
};

#else

class Unopenable {
 public:
  // Returns the system's description of the failure (glibc's wording).
  static std::u16string Reason() { return u"Too many levels of symbolic links"; }

  explicit Unopenable(const std::u16string& path) : path_(std::filesystem::path(path)) {
    std::error_code ec;
    std::filesystem::rename(path_, saved(), ec);
    EXPECT_FALSE(ec) << "cannot move " << path_.string() << " aside";
    std::filesystem::create_symlink(path_.filename(), path_, ec);
    EXPECT_FALSE(ec) << "cannot make the link " << path_.string();
  }

  ~Unopenable() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
    std::filesystem::rename(saved(), path_, ec);
  }

 private:
  std::filesystem::path saved() const { return path_.string() + ".saved"; }
  std::filesystem::path path_;
};

#endif

}  // namespace testfiles
