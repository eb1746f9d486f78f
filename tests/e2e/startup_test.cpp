// Start-up of the real program when a language file exists but cannot be
// opened: the error is shown once by the default exception display, and the
// program goes on to open its window with the catalogue as far as it got.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Driver.h"

namespace {

using e2e::Dialog;
using e2e::Session;

// Holds a file open for writing, as an editor would, until destroyed.
class WriterLock {
 public:
  explicit WriterLock(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (handle_ == INVALID_HANDLE_VALUE) e2e::Fail(L"cannot hold " + path + L" open");
  }
  ~WriterLock() { CloseHandle(handle_); }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  HANDLE handle_;
};

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Startup, LockedDefaultLanguageFileIsReportedOnceAndTheWindowOpens) {
  const std::wstring dir = e2e::FreshProductCopy(L"startup-locked");
  WriterLock lock(dir + L"\\lang\\English.lng");

  Session s = Session::Launch(dir + L"\\Tessarin.exe", dir);
  const Dialog error = s.WaitDialog(20000);
  EXPECT_EQ(error.title, L"Tessarin");
  EXPECT_EQ(error.iconKind, L"error");
  EXPECT_EQ(error.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_EQ(error.text.rfind(L"Cannot open file \"", 0), 0u) << e2e::Utf8(error.text);
  EXPECT_NE(error.text.find(L"\\lang\\English.lng\". "), std::wstring::npos) << e2e::Utf8(error.text);
  // The system's description ends in a full stop, so none is added.
  EXPECT_TRUE(EndsWith(error.text, L".") && !EndsWith(error.text, L".."))
      << e2e::Utf8(error.text);
  error.Close();

  s.WaitMainWindow();
  EXPECT_FALSE(s.HasDialog()) << "the error is shown once";
  EXPECT_EQ(s.WindowText(s.MainWindow()), L"Tessarin") << "built-in captions stay";
  EXPECT_EQ(s.Text(L"gbCheckINN"), L" Проверить ИНН ");
  EXPECT_EQ(s.Close(), 0u);
}

TEST(Startup, UnlockedLanguageFilesGiveNoMessage) {
  const std::wstring dir = e2e::FreshProductCopy(L"startup-free");
  Session s = Session::Start(dir + L"\\Tessarin.exe", dir);
  EXPECT_FALSE(s.HasDialog());
  EXPECT_EQ(s.Close(), 0u);
}

}  // namespace
