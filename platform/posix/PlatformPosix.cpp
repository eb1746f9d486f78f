// POSIX implementation of the platform layer, for the host build.
//
// Choices where POSIX has no Windows counterpart (see docs/DESIGN.md):
//  - file names are UTF-8 on disk;
//  - the search pattern's last part is matched by fnmatch with letter case
//    (file names differ by case here, and the catalogue opens the name it
//    builds with ".lng"); a name that begins with "." is an ordinary
//    name: POSIX knows no hidden or system attribute, so none is reported;
//  - "share read, deny write" cannot be enforced; the file is opened
//    read-only and read whole at once;
//  - the ANSI code page is Windows-1252;
//  - upper-casing uses the generated table UpperTable.inc.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/Errors.h"
#include "platform/Utf8.h"
#include "platform/Platform.h"

namespace platform {
namespace {

std::u16string g_exeDirOverride;

// Owns a file descriptor.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);  // read-only: nothing to flush, the result changes nothing
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Owns a directory stream.
class DirStream {
 public:
  explicit DirStream(DIR* dir) : dir_(dir) {}
  ~DirStream() {
    if (dir_) ::closedir(dir_);  // nothing useful to do on failure
  }
  DirStream(const DirStream&) = delete;
  DirStream& operator=(const DirStream&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

// Decodes a UTF-8 file name; a malformed byte becomes U+FFFD.
std::u16string FromUtf8(const std::string& s) {
  std::u16string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    const std::size_t need = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 0;
    if (need == 0 || i + need >= s.size()) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    std::uint32_t cp = b & (0x3F >> need);
    bool ok = true;
    for (std::size_t j = 1; j <= need; ++j) {
      const unsigned char c = static_cast<unsigned char>(s[i + j]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += need + 1;
  }
  return out;
}

// Returns path made absolute against the current directory.
std::u16string FullPath(const std::u16string& path) {
  if (!path.empty() && path[0] == u'/') return path;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return path;  // no better name to show
  std::u16string dir = FromUtf8(buf);
  if (dir.empty() || dir.back() != u'/') dir += u'/';
  return dir + path;
}

[[noreturn]] void ThrowCannotOpen(const std::u16string& path, int err) {
  throw EError(FormatText(u"Cannot open file \"%s\". %s", {FullPath(path), FromUtf8(std::strerror(err))}));
}

struct UpperRow {
  char16_t lower;
  char16_t upper;
};

const UpperRow kUpperTable[] = {
#include "platform/posix/UpperTable.inc"
};

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes map to the C1
// control of the same number, as Windows does.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

bool ReadWholeFile(const std::u16string& path, FileContent& content) {
  content.units.clear();
  content.size = 0;
  const std::string name = platform::ToUtf8(path);
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || name.empty()) return false;  // names nothing
  } else if (S_ISDIR(st.st_mode)) {
    return false;
  }
  FileDescriptor fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) ThrowCannotOpen(path, errno);
  // Read straight into the result: the size and a spare byte first (so that
  // the read that finds the end needs no larger buffer), then whatever more
  // or less the file turns out to hold.
  std::size_t have = 0;
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    content.units.resize(static_cast<std::size_t>(st.st_size) / 2 + 1);
  for (;;) {
    if (have == content.units.size() * 2) content.units.resize(content.units.size() + 32768);
    char* at = reinterpret_cast<char*>(&content.units[0]) + have;
    const ssize_t got = ::read(fd.get(), at, content.units.size() * 2 - have);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowCannotOpen(path, errno);
    }
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  content.units.resize((have + 1) / 2);
  content.size = have;
  return true;
}

void SearchDirectory(const std::u16string& pattern, const std::function<void(const FoundEntry&)>& onEntry) {
  const std::size_t cut = pattern.rfind(u'/');
  const std::string dir = cut == std::u16string::npos ? std::string(".") : platform::ToUtf8(pattern.substr(0, cut + 1));
  const std::string mask = platform::ToUtf8(cut == std::u16string::npos ? pattern : pattern.substr(cut + 1));
  DirStream stream(::opendir(dir.c_str()));
  if (!stream.get()) return;  // no folder: nothing found
  while (const dirent* d = ::readdir(stream.get())) {
    if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
    if (::fnmatch(mask.c_str(), d->d_name, 0) != 0) continue;
    FoundEntry found;
    found.name = FromUtf8(d->d_name);
    struct stat st;
    const std::string full = dir + (dir.back() == '/' ? "" : "/") + d->d_name;
    found.directory = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    onEntry(found);
  }
}

std::u16string DecodeAnsi(const char* data, std::size_t size) {
  std::u16string out(size, u'\0');
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = static_cast<unsigned char>(data[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

void UpperCaseInPlace(char16_t* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      if (c >= u'a' && c <= u'z') text[i] = static_cast<char16_t>(c - 32);
      continue;
    }
    const UpperRow* row = std::lower_bound(std::begin(kUpperTable), std::end(kUpperTable), c,
                                           [](const UpperRow& r, char16_t v) { return r.lower < v; });
    if (row != std::end(kUpperTable) && row->lower == c) text[i] = row->upper;
  }
}

std::u16string ExecutableDirectory() {
  if (!g_exeDirOverride.empty()) return g_exeDirOverride;
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return u"./";  // no /proc: the current directory stands in
  std::string path(buf, static_cast<std::size_t>(n));
  path.erase(path.rfind('/') + 1);
  return FromUtf8(path);
}

void SetExecutableDirectoryForTesting(const std::u16string& dir) { g_exeDirOverride = dir; }

}  // namespace platform
