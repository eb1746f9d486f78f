// The existence test of the check library file: over real files and
// folders, and the error rules over a probe that reports chosen errors.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "checklib/LibraryFile.h"

namespace {

// A fresh temporary folder, removed with what the test put in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, base);
    EXPECT_GT(length, 0u);
    path_ = std::wstring(base) + L"tessarin-libfile-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);  // may be left from an earlier run
  }
  ~TempFolder() {
    DeleteFileW((path_ + L"\\Vrifax.dll").c_str());
    RemoveDirectoryW((path_ + L"\\dir\\Vrifax.dll").c_str());
    RemoveDirectoryW((path_ + L"\\dir").c_str());
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

void WriteFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file, "MZ", 2, &written, nullptr));
  CloseHandle(file);
}

TEST(LibraryFile, RealEntries) {
  TempFolder folder;
  WriteFile(folder.Path() + L"\\Vrifax.dll");
  ASSERT_TRUE(CreateDirectoryW((folder.Path() + L"\\dir").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((folder.Path() + L"\\dir\\Vrifax.dll").c_str(), nullptr));
  struct Case {
    std::wstring name;
    bool exists;
    const char* reason;
  };
  const Case cases[] = {
      {folder.Path() + L"\\Vrifax.dll", true, "a file"},
      {folder.Path() + L"\\VRIFAX.DLL", true, "names are not case sensitive"},
      {folder.Path() + L"\\dir\\Vrifax.dll", false, "a directory of that name is absent"},
      {folder.Path() + L"\\none.dll", false, "no such file (error 2)"},
      {folder.Path() + L"\\missing\\Vrifax.dll", false, "no such folder (error 3)"},
      {folder.Path() + L"\\Vri<fax>.dll", false, "an invalid name (error 123)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    EXPECT_EQ(LibraryFileExists(c.name.c_str()), c.exists);
  }
}

TEST(LibraryFile, BareNameIsLookedUpInTheCurrentDirectory) {
  TempFolder folder;
  wchar_t previous[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
  const bool before = LibraryFileExists(L"Vrifax.dll");
  WriteFile(folder.Path() + L"\\Vrifax.dll");
  const bool after = LibraryFileExists(L"Vrifax.dll");
  ASSERT_TRUE(SetCurrentDirectoryW(previous));
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
}

// A probe whose attribute read fails with a chosen error and whose search
// finds a chosen entry; it counts the searches.
DWORD g_error = 0;
bool g_searchFinds = false;
DWORD g_searchAttributes = 0;
int g_searches = 0;

DWORD FailingAttributes(const wchar_t*, DWORD* error) {
  *error = g_error;
  return INVALID_FILE_ATTRIBUTES;
}

bool ChosenSearch(const wchar_t*, DWORD* attributes) {
  ++g_searches;
  *attributes = g_searchAttributes;
  return g_searchFinds;
}

TEST(LibraryFile, ErrorRules) {
  const FileProbe probe{&FailingAttributes, &ChosenSearch};
  struct Case {
    DWORD error;
    bool searchFinds;
    DWORD searchAttributes;
    bool exists;
    int searches;
    const char* reason;
  };
  const Case cases[] = {
      {ERROR_FILE_NOT_FOUND, true, FILE_ATTRIBUTE_NORMAL, false, 0, "2: absent, no search"},
      {ERROR_PATH_NOT_FOUND, true, FILE_ATTRIBUTE_NORMAL, false, 0, "3: absent, no search"},
      {ERROR_INVALID_NAME, true, FILE_ATTRIBUTE_NORMAL, false, 0, "123: absent, no search"},
      {ERROR_SHARING_VIOLATION, true, FILE_ATTRIBUTE_NORMAL, true, 1, "other error: search finds a file"},
      {ERROR_ACCESS_DENIED, true, FILE_ATTRIBUTE_ARCHIVE, true, 1, "other error: search finds a file"},
      {ERROR_ACCESS_DENIED, true, FILE_ATTRIBUTE_DIRECTORY, false, 1, "search finds a directory"},
      {ERROR_SHARING_VIOLATION, false, 0, false, 1, "search finds nothing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    g_error = c.error;
    g_searchFinds = c.searchFinds;
    g_searchAttributes = c.searchAttributes;
    g_searches = 0;
    EXPECT_EQ(LibraryFileExists(L"Vrifax.dll", probe), c.exists);
    EXPECT_EQ(g_searches, c.searches);
  }
}

}  // namespace
