// vrifax-run on Windows: a console program beside Tessarin.exe that runs
// the check library over a corpus through the window's own binding.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "checklib/CheckLibrary.h"
#include "checklib/LibraryFile.h"
#include "platform/Errors.h"
#include "tools/vrifax-run/Generator.h"
#include "tools/vrifax-run/LibraryChecker.h"
#include "tools/vrifax-run/Tool.h"

namespace {

constexpr wchar_t kLibraryName[] = L"Vrifax.dll";

std::wstring ToWide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  }
  return wide;
}

std::string ToUtf8(const std::wstring& wide) {
  return vrifax_run::ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode);
}

// Returns the full path of a path the user gave, resolved against the
// current directory.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  full.resize(length < size ? length : 0);
  return full.empty() ? path : full;
}

class WindowsSystem : public vrifax_run::System {
 public:
  WindowsSystem()
      : outConsole_(IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))),
        errConsole_(IsConsole(GetStdHandle(STD_ERROR_HANDLE))) {
    // UTF-8 bytes as written, no CR added: a pipe or a file gets exactly the report.
    (void)_setmode(_fileno(stdout), _O_BINARY);
    (void)_setmode(_fileno(stderr), _O_BINARY);
  }

  std::unique_ptr<std::istream> OpenCorpus(const std::string& path, std::string* error) override {
    if (path == "-") {
      (void)_setmode(_fileno(stdin), _O_BINARY);
      return std::make_unique<std::istream>(std::cin.rdbuf());
    }
    errno = 0;
    auto file = std::make_unique<std::ifstream>(std::filesystem::path(ToWide(path)), std::ios::binary);
    if (file->is_open()) return file;
    *error = errno ? std::strerror(errno) : "cannot be opened";
    return nullptr;
  }

  void Out(std::string_view text) override { Write(stdout, STD_OUTPUT_HANDLE, outConsole_, text); }
  void Err(std::string_view text) override { Write(stderr, STD_ERROR_HANDLE, errConsole_, text); }
  bool ErrIsTerminal() override { return errConsole_; }

  std::unique_ptr<vrifax_run::Checker> OpenLibrary(const std::string& path, std::string* error) override {
    // As the window: the existence test, then the file it found by its full path.
    const std::wstring wanted = path.empty() ? std::wstring(kLibraryName) : ToWide(path);
    if (!LibraryFileExists(wanted.c_str())) {
      *error = path.empty() ? "no Vrifax.dll in the current directory" : "no check library at \"" + path + "\"";
      return nullptr;
    }
    const std::wstring full = path.empty() ? InCurrentDirectory(kLibraryName) : FullPath(wanted);
    try {
      return std::make_unique<vrifax_run::LibraryChecker>(LoadCheckLibrary(full), full);
    } catch (const EError& e) {
      *error = vrifax_run::ToUtf8(e.Message());
      return nullptr;
    }
  }

  std::uint64_t FreshSeed() override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);  // never fails on Windows XP and later
    vrifax_run::Random mix(static_cast<std::uint64_t>(now.QuadPart) ^
                           (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40));
    return mix.Next();
  }

 private:
  // A console gets UTF-16 (its code page plays no part); anything else the
  // UTF-8 bytes.
  static void Write(std::FILE* stream, DWORD handleId, bool console, std::string_view text) {
    if (!console) {
      (void)std::fwrite(text.data(), 1, text.size(), stream);  // a closed pipe leaves nobody to tell
      return;
    }
    const std::wstring wide = ToWide(std::string(text));
    DWORD written = 0;
    (void)WriteConsoleW(GetStdHandle(handleId), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }

  bool outConsole_;
  bool errConsole_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  WindowsSystem system;
  try {
    const int code = vrifax_run::RunTool(args, system);
    return std::fflush(stdout) == 0 ? code : vrifax_run::kExitUsage;
  } catch (const EError& e) {
    system.Err("vrifax-run: " + vrifax_run::ToUtf8(e.Message()) + "\n");
  } catch (const std::exception& e) {
    system.Err(std::string("vrifax-run: ") + e.what() + "\n");
  }
  return vrifax_run::kExitUsage;
}
