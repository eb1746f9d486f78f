// The text taken from registry string data: cut at the first NUL, odd byte
// counts, data without a NUL, megabytes. Every buffer here is a heap block of
// exactly the size handed over, so that a read past its end is caught by
// the address sanitizer on the host (and would be a fault under Wine).
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "settings/RegistryText.h"

namespace {

// Little-endian bytes of text, with `extra` bytes appended.
std::vector<unsigned char> Bytes(const std::u16string& text, std::vector<unsigned char> extra = {}) {
  std::vector<unsigned char> out;
  for (char16_t c : text) {
    out.push_back(static_cast<unsigned char>(c & 0xFF));
    out.push_back(static_cast<unsigned char>(c >> 8));
  }
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
}

// Runs the helper on an exact-size heap copy of bytes.
std::u16string Read(const std::vector<unsigned char>& bytes) {
  if (bytes.empty()) return TextFromRegistryData(nullptr, 0);
  std::unique_ptr<unsigned char[]> block(new unsigned char[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), block.get());
  return TextFromRegistryData(block.get(), bytes.size());
}

struct Case {
  std::vector<unsigned char> data;
  std::u16string expected;
  const char* reason;
};

TEST(RegistryText, CasesOfOutsideData) {
  const Case cases[] = {
      {Bytes(u"Russian", {0, 0}), u"Russian", "REG_SZ as written: NUL counted"},
      {Bytes(u"Russian"), u"Russian", "no terminating NUL: up to the end"},
      {Bytes(u"Russian", {0x41}), u"Russian", "odd byte count: the last byte is no code unit"},
      {Bytes(u"Fr", {0, 0, 'x', 0, 0, 0}), u"Fr", "NUL inside: cut at it"},
      {Bytes(u"", {0, 0}), u"", "the empty text"},
      {Bytes(u"", {0x41}), u"", "a single byte"},
      {{}, u"", "no data at all"},
      {Bytes(u"\u0420\u0443\u0441\u0441\u043a\u0438\u0439", {0, 0}), u"Русский",
       "high bytes of the code units"},
      {Bytes(u"%USERPROFILE%", {0, 0}), u"%USERPROFILE%", "references are not expanded"},
      {Bytes(u"\U0001F600", {0, 0}), u"\U0001F600", "surrogate pairs pass unchanged"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.data), c.expected) << c.reason;
  }
}

TEST(RegistryText, BufferNeedNotBeAligned) {
  // Data at an odd address: the code units are assembled from bytes.
  const std::vector<unsigned char> bytes = Bytes(u"English", {0, 0});
  std::vector<unsigned char> shifted(bytes.size() + 1);
  std::copy(bytes.begin(), bytes.end(), shifted.begin() + 1);
  EXPECT_EQ(TextFromRegistryData(shifted.data() + 1, bytes.size()), u"English");
}

TEST(RegistryText, MegabytesWithAndWithoutNul) {
  const std::size_t units = 3 * 1024 * 1024;  // 6 MB of data
  const std::u16string big(units, u'z');
  EXPECT_EQ(Read(Bytes(big)), big) << "no NUL anywhere";
  EXPECT_EQ(Read(Bytes(big, {0x7A})), big) << "odd count at the end";
  std::vector<unsigned char> cut = Bytes(big);
  cut[2 * 1000] = 0;
  cut[2 * 1000 + 1] = 0;
  EXPECT_EQ(Read(cut), std::u16string(1000, u'z')) << "NUL after 1000 units";
}

TEST(RegistryText, SizeBoundsTheRead) {
  // Only `size` bytes count, even when the buffer holds more.
  const std::vector<unsigned char> bytes = Bytes(u"Bulgarian", {0, 0});
  for (std::size_t size = 0; size <= bytes.size(); ++size) {
    const std::u16string expected = u"Bulgarian";
    EXPECT_EQ(TextFromRegistryData(bytes.data(), size), expected.substr(0, size / 2))
        << "size " << size;
  }
}

}  // namespace
