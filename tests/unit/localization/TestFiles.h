// Helpers of the localisation and platform tests: a real temporary folder
// removed again at the end, and the byte forms of a text in each encoding.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace testfiles {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("tessarin-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);  // best effort: a test may have left a file locked
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  // Returns the folder with a trailing separator, as UTF-16.
  std::u16string Dir() const { return (path_ / "").u16string(); }
  // Returns the full path of name inside the folder, as UTF-16.
  std::u16string File(const std::u16string& name) const { return (path_ / fs::path(name)).u16string(); }

  // Writes bytes to name (folders created as needed); returns the full path.
  std::u16string Write(const std::u16string& name, const std::string& bytes) const {
    const fs::path p = path_ / fs::path(name);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    EXPECT_TRUE(out) << "cannot write " << p.string();
    return p.u16string();
  }

 private:
  fs::path path_;
};

// Returns text as UTF-16LE bytes, with the mark FF FE when bom is true.
inline std::string Utf16LE(const std::u16string& text, bool bom = true) {
  std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

// Returns text as UTF-16BE bytes with the mark FE FF.
inline std::string Utf16BE(const std::u16string& text) {
  std::string out("\xFE\xFF", 2);
  for (char16_t c : text) {
    out += static_cast<char>(c >> 8);
    out += static_cast<char>(c & 0xFF);
  }
  return out;
}

// Returns text as UTF-8 bytes (no surrogate pairs needed in these tests),
// with the mark EF BB BF when bom is true.
inline std::string Utf8(const std::u16string& text, bool bom = false) {
  std::string out = bom ? std::string("\xEF\xBB\xBF") : std::string();
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Returns a printable form of UTF-16 text for failure messages.
inline std::string Show(const std::u16string& text) { return Utf8(text); }

}  // namespace testfiles
