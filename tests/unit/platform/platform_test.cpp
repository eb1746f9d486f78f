// The platform layer: whole-file reads and their error, directory search,
// the ANSI code page, upper-casing and the executable's directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/Errors.h"
#include "platform/Platform.h"
#include "tests/unit/localization/TestFiles.h"

namespace {

using testfiles::Show;
using testfiles::TempDir;
namespace fs = std::filesystem;

std::string Bytes(const platform::FileContent& c) {
  return std::string(reinterpret_cast<const char*>(c.bytes()), c.size);
}

TEST(ReadWholeFile, ReadsEveryByteOfFilesOfAnyLength) {
  TempDir dir;
  std::string big(200000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
  const std::string contents[] = {"", "a", "ab", "abc", std::string("\0\xFF\xFE", 3), big, big + "x"};
  int n = 0;
  for (const std::string& bytes : contents) {
    const std::u16string path = dir.Write(u"f" + std::u16string(1, static_cast<char16_t>(u'0' + n++)), bytes);
    platform::FileContent content;
    ASSERT_TRUE(platform::ReadWholeFile(path, content)) << bytes.size();
    EXPECT_EQ(content.size, bytes.size());
    EXPECT_EQ(Bytes(content), bytes) << "length " << bytes.size();
  }
}

TEST(ReadWholeFile, NothingAndDirectoriesAreNoFile) {
  TempDir dir;
  fs::create_directories(dir.path() / "sub");
  const std::u16string paths[] = {dir.File(u"missing"), dir.File(u"sub"), dir.File(u"nofolder/x"), u""};
  for (const std::u16string& path : paths) {
    platform::FileContent content;
    content.units = u"stale";
    content.size = 10;
    EXPECT_FALSE(platform::ReadWholeFile(path, content)) << Show(path);
    EXPECT_EQ(content.size, 0u) << Show(path);
    EXPECT_TRUE(content.units.empty()) << Show(path);
  }
}

#ifdef _WIN32
// Opens path for writing, sharing reads only, as an editor saving it would.
HANDLE OpenForWriting(const std::u16string& path) {
  return CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::u16string SharingViolationText() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version")
             ? u"Sharing violation."
             : u"The process cannot access the file because it is being used by another process.";
}

TEST(ReadWholeFile, AFileOpenForWritingCannotBeRead) {
  TempDir dir;
  const std::u16string path = dir.Write(u"locked.lng", "[main]");
  const HANDLE writer = OpenForWriting(path);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  platform::FileContent content;
  try {
    platform::ReadWholeFile(path, content);
    ADD_FAILURE() << "no error raised";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), u"Cannot open file \"" + path + u"\". " + SharingViolationText()) << Show(e.Message());
  }
  CloseHandle(writer);
  EXPECT_TRUE(platform::ReadWholeFile(path, content)) << "readable again once the writer is gone";
}

TEST(ReadWholeFile, OthersMayReadButNotWriteWhileWeRead) {
  // A reader that shares reading and writing gets in; a writer does not,
  // checked through a handle opened with the same sharing as ours.
  TempDir dir;
  const std::u16string path = dir.Write(u"a.lng", "x");
  const HANDLE ours = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(ours, INVALID_HANDLE_VALUE);
  platform::FileContent content;
  EXPECT_TRUE(platform::ReadWholeFile(path, content)) << "a second reader is allowed";
  const HANDLE writer = OpenForWriting(path);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "a writer is refused";
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  CloseHandle(ours);
}

TEST(ReadWholeFile, TheErrorNamesTheFullPath) {
  TempDir dir;
  dir.Write(u"rel.lng", "x");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const HANDLE writer = OpenForWriting(dir.File(u"rel.lng"));
  platform::FileContent content;
  std::u16string message;
  try {
    platform::ReadWholeFile(u"rel.lng", content);
  } catch (const EError& e) {
    message = e.Message();
  }
  CloseHandle(writer);
  fs::current_path(before);
  EXPECT_EQ(message, u"Cannot open file \"" + dir.File(u"rel.lng") + u"\". " + SharingViolationText());
}
#else
TEST(ReadWholeFile, AFileThatCannotBeOpenedRaisesWithTheFullPath) {
  // A link to itself exists but never opens (a file without permissions
  // would open for root, who may run these tests).
  TempDir dir;
  fs::create_symlink("loop.lng", dir.path() / "loop.lng");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  const std::u16string paths[] = {dir.File(u"loop.lng"), u"loop.lng"};
  for (const std::u16string& path : paths) {
    platform::FileContent content;
    try {
      platform::ReadWholeFile(path, content);
      ADD_FAILURE() << "no error raised for " << Show(path);
    } catch (const EError& e) {
      EXPECT_EQ(e.Message(), u"Cannot open file \"" + fs::canonical(dir.path()).u16string() + u"/loop.lng\". " +
                                 u"Too many levels of symbolic links")
          << Show(e.Message());
    }
  }
  fs::current_path(before);
}
#endif

TEST(SearchDirectory, ReportsMatchingNamesWithTheirKind) {
  TempDir dir;
  dir.Write(u"English.lng", "");
  dir.Write(u"Russian.lng", "");
  dir.Write(u"notes.txt", "");
  dir.Write(u"English.lng.bak", "");
  fs::create_directories(dir.path() / "folder.lng");
  std::map<std::u16string, bool> found;  // name -> directory
  platform::SearchDirectory(dir.Dir() + u"*.lng", [&](const platform::FoundEntry& e) {
    EXPECT_TRUE(found.emplace(e.name, e.directory).second) << "reported twice: " << Show(e.name);
    EXPECT_FALSE(e.system) << Show(e.name);
  });
  const std::map<std::u16string, bool> expected = {{u"English.lng", false}, {u"Russian.lng", false}, {u"folder.lng", true}};
  EXPECT_EQ(found, expected);
}

TEST(SearchDirectory, AMissingFolderReportsNothing) {
  TempDir dir;
  int calls = 0;
  platform::SearchDirectory(dir.Dir() + u"absent" + platform::kPathSeparator + u"*.lng",
                            [&](const platform::FoundEntry&) { ++calls; });
  EXPECT_EQ(calls, 0);
}

struct UpperCase {
  char16_t in;
  char16_t out;
  const char* reason;
};

TEST(UpperCaseInPlace, LatinCyrillicAndGreekLetters) {
  const UpperCase cases[] = {
      {u'a', u'A', "ASCII"},          {u'z', u'Z', "ASCII"},         {u'é', u'É', "Latin-1"},
      {u'ÿ', u'Ÿ', "Latin-1 to Latin Extended-A"}, {u'ā', u'Ā', "Latin Extended-A"}, {u'ł', u'Ł', "Polish"},
      {u'ž', u'Ž', "Czech"},          {u'ő', u'Ő', "Hungarian"},     {u'ё', u'Ё', "Russian yo"},
      {u'я', u'Я', "Russian"},        {u'ъ', u'Ъ', "Bulgarian hard sign"}, {u'і', u'І', "Ukrainian i"},
      {u'ї', u'Ї', "Ukrainian yi"},   {u'є', u'Є', "Ukrainian ye"},  {u'ґ', u'Ґ', "Ukrainian ghe"},
      {u'ў', u'Ў', "Belarusian"},     {u'ђ', u'Ђ', "Serbian"},       {u'α', u'Α', "Greek"},
      {u'ω', u'Ω', "Greek"},          {u'ά', u'Ά', "Greek with tonos"},  // final sigma left out: Wine keeps it as it is
      {u'A', u'A', "already upper"},  {u'Я', u'Я', "already upper"}, {u'1', u'1', "digit"},
      {u'_', u'_', "punctuation"},    {u'€', u'€', "no case"},       {u'ß', u'ß', "no single upper-case form"},
  };
  for (const UpperCase& c : cases) {
    char16_t text[2] = {c.in, u'x'};
    platform::UpperCaseInPlace(text, 1);
    EXPECT_EQ(static_cast<int>(text[0]), static_cast<int>(c.out)) << c.reason << " " << Show(std::u16string(1, c.in));
    EXPECT_EQ(text[1], u'x') << "only the given length is touched";
  }
}

TEST(DecodeAnsi, AsciiAndLengths) {
  EXPECT_EQ(platform::DecodeAnsi("[main]\r\nA=1", 11), u"[main]\r\nA=1");
  EXPECT_EQ(platform::DecodeAnsi("", 0), u"");
}

#ifndef _WIN32
TEST(DecodeAnsi, HostCodePageIsWindows1252) {
  const struct {
    const char* in;
    const char16_t* out;
    const char* reason;
  } cases[] = {
      {"\x80", u"\u20AC", "euro sign"},
      {"\x8A\x9A", u"\u0160\u0161", "S with caron"},
      {"\x9F", u"\u0178", "Y with diaeresis"},
      {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D", "unassigned bytes keep their number"},
      {"\xE9\xFF\xA0", u"\u00E9\u00FF\u00A0", "Latin-1 half"},
      {"\xD0\xAF", u"\u00D0\u00AF", "UTF-8 bytes are read one by one"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::DecodeAnsi(c.in, std::strlen(c.in)), std::u16string(c.out)) << c.reason;
}
#endif

TEST(ExecutableDirectory, IsThisProgramsFolderUnlessOverridden) {
  const std::u16string dir = platform::ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), platform::kPathSeparator);
#ifdef _WIN32
  EXPECT_TRUE(fs::exists(fs::path(dir) / "platform_test.exe")) << Show(dir);
#else
  EXPECT_TRUE(fs::exists(fs::path(dir) / "platform_test")) << Show(dir);
#endif
  platform::SetExecutableDirectoryForTesting(u"elsewhere/");
  EXPECT_EQ(platform::ExecutableDirectory(), u"elsewhere/");
  platform::SetExecutableDirectoryForTesting(u"");
  EXPECT_EQ(platform::ExecutableDirectory(), dir);
}

}  // namespace
