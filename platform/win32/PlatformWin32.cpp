// Win32 implementation of the platform layer: the one the program ships with.
#include <windows.h>

#include <climits>
#include <string>

#include "platform/Errors.h"
#include "platform/Platform.h"

namespace platform {
namespace {

std::u16string g_exeDirOverride;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// Owns a file handle.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);  // read-only handle: a failed close loses nothing
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Owns a directory search handle.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);  // nothing to do on failure
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Returns true for the errors that mean "there is no such file".
bool MeansNoFile(DWORD err) {
  return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME ||
         err == ERROR_BAD_NETPATH || err == ERROR_BAD_PATHNAME;
}

// Returns the system's description of err, without its trailing line end.
std::u16string SystemMessage(DWORD err) {
  wchar_t* buf = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err,
      0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  if (n == 0 || !buf) {
    const std::string number = std::to_string(err);
    return u"System error " + std::u16string(number.begin(), number.end()) + u".";
  }
  std::u16string text(reinterpret_cast<const char16_t*>(buf), n);
  LocalFree(buf);  // returns null on success; nothing to do otherwise
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  return text;
}

// Returns the full path of path (or path itself when it cannot be made full).
std::u16string FullPath(const std::u16string& path) {
  const DWORD need = GetFullPathNameW(W(path), 0, nullptr, nullptr);
  if (need == 0) return path;
  std::u16string full(need, u'\0');
  const DWORD got = GetFullPathNameW(W(path), need, reinterpret_cast<wchar_t*>(&full[0]), nullptr);
  if (got == 0 || got >= need) return path;
  full.resize(got);
  return full;
}

[[noreturn]] void ThrowCannotOpen(const std::u16string& path, DWORD err) {
  throw EError(FormatText(u"Cannot open file \"%s\". %s", {FullPath(path), SystemMessage(err)}));
}

}  // namespace

bool ReadWholeFile(const std::u16string& path, FileContent& content) {
  content.units.clear();
  content.size = 0;
  const DWORD attrs = GetFileAttributesW(W(path));
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    if (MeansNoFile(GetLastError())) return false;
  } else if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    return false;
  }
  // Others may read the file while we do, but not write it.
  FileHandle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (MeansNoFile(err)) return false;  // gone since the attribute test
    ThrowCannotOpen(path, err);
  }
  // Read straight into the result: the size and a spare byte first (so that
  // the read that finds the end needs no larger buffer), then whatever more
  // or less the file turns out to hold.
  std::size_t have = 0;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
    content.units.resize(static_cast<std::size_t>(size.QuadPart) / 2 + 1);
  for (;;) {
    if (have == content.units.size() * 2) content.units.resize(content.units.size() + 32768);
    const std::size_t room = content.units.size() * 2 - have;
    const DWORD ask = room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room);
    DWORD got = 0;
    if (!ReadFile(file.get(), reinterpret_cast<char*>(&content.units[0]) + have, ask, &got, nullptr))
      ThrowCannotOpen(path, GetLastError());
    if (got == 0) break;
    have += got;
  }
  content.units.resize((have + 1) / 2);
  content.size = have;
  return true;
}

void SearchDirectory(const std::u16string& pattern, const std::function<void(const FoundEntry&)>& onEntry) {
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(W(pattern), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return;  // no folder or no match: nothing found
  do {
    FoundEntry found;
    found.name = reinterpret_cast<const char16_t*>(data.cFileName);
    found.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    found.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    found.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    onEntry(found);
  } while (FindNextFileW(find.get(), &data));  // false: no more names (or a failure, which ends the search too)
}

std::u16string DecodeAnsi(const char* data, std::size_t size) {
  if (size == 0) return std::u16string();
  const int n = size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
  const int need = MultiByteToWideChar(CP_ACP, 0, data, n, nullptr, 0);
  if (need <= 0) return std::u16string();  // undecodable: reads as empty
  std::u16string out(static_cast<std::size_t>(need), u'\0');
  const int got = MultiByteToWideChar(CP_ACP, 0, data, n, reinterpret_cast<wchar_t*>(&out[0]), need);
  out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return out;
}

void UpperCaseInPlace(char16_t* text, std::size_t length) {
  while (length > 0) {
    const DWORD chunk = length > 0x10000000u ? 0x10000000u : static_cast<DWORD>(length);
    CharUpperBuffW(reinterpret_cast<wchar_t*>(text), chunk);  // returns the count processed, always chunk
    text += chunk;
    length -= chunk;
  }
}

std::u16string ExecutableDirectory() {
  if (!g_exeDirOverride.empty()) return g_exeDirOverride;
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(&path[0]), static_cast<DWORD>(path.size()));
    if (got == 0) return u".\\";  // cannot happen for the running module; the current folder stands in
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
  path.erase(path.rfind(u'\\') + 1);
  return path;
}

void SetExecutableDirectoryForTesting(const std::u16string& dir) { g_exeDirOverride = dir; }

}  // namespace platform
