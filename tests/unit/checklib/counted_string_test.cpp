// The counted UTF-16 string byte for byte: header, code units, terminator,
// null for an empty text, the block returned to its allocator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "checklib/CountedString.h"
#include "checklib/VrifaxApi.h"

namespace {

// An allocator over malloc that counts live blocks and remembers sizes.
int g_live = 0;
std::size_t g_lastSize = 0;
bool g_exhausted = false;

void* CountingAllocate(std::size_t bytes) {
  if (g_exhausted) return nullptr;
  g_lastSize = bytes;
  ++g_live;
  return std::malloc(bytes);
}

void CountingRelease(void* block) {
  --g_live;
  std::free(block);
}

const CountedStringAllocator kCounting{&CountingAllocate, &CountingRelease};

// The bytes a counted string of text must consist of.
std::vector<unsigned char> ExpectedBlock(const std::u16string& text) {
  std::vector<unsigned char> bytes = {0xB0, 0x04, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00};
  const auto length = static_cast<std::uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(length >> (8 * i)));
  for (char16_t unit : text) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

struct LayoutCase {
  std::u16string text;
  const char* reason;
};

const LayoutCase kLayoutCases[] = {
    {u"7707083893", "a plain INN"},
    {u"  77 07  ", "leading, inner and trailing spaces kept"},
    {u"   ", "only spaces: a text, not empty"},
    {u"a", "one code unit"},
    {u"\u0411\u0418\u041A 044525225", "Cyrillic text"},
    {u"\U0001F600x", "a surrogate pair counts as two code units"},
    {u"a\u0000b", "an inner zero code unit is part of the length"},
};

TEST(CountedString, LaysOutHeaderUnitsAndTerminator) {
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(c.reason);
    const std::vector<unsigned char> expected = ExpectedBlock(c.text);
    CountedString s(c.text, kCounting);
    ASSERT_NE(s.Text(), nullptr);
    EXPECT_EQ(g_lastSize, expected.size());
    EXPECT_EQ(CountedStringBlockSize(c.text.size()), expected.size());
    const auto* block = reinterpret_cast<const unsigned char*>(s.Text()) - 12;
    EXPECT_EQ(std::vector<unsigned char>(block, block + expected.size()), expected);
    EXPECT_EQ(CountedLength(s.Text()), static_cast<std::int32_t>(c.text.size()));
    EXPECT_EQ(CountedHeader(s.Text())->refCount, 1);
  }
  EXPECT_EQ(g_live, 0) << "every block goes back to its allocator";
}

TEST(CountedString, EmptyTextIsNullAndAllocatesNothing) {
  g_lastSize = 0;
  CountedString s(u"", kCounting);
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(g_lastSize, 0u);
  EXPECT_EQ(g_live, 0);
}

TEST(CountedString, ExhaustedAllocatorRaisesBadAlloc) {
  g_exhausted = true;
  EXPECT_THROW(CountedString(u"123", kCounting), std::bad_alloc);
  g_exhausted = false;
  EXPECT_EQ(g_live, 0);
}

TEST(CountedString, MovedStringReleasesOnce) {
  {
    CountedString first(u"044525225", kCounting);
    const char16_t* text = first.Text();
    CountedString second(std::move(first));
    EXPECT_EQ(first.Text(), nullptr);
    EXPECT_EQ(second.Text(), text);
    EXPECT_EQ(g_live, 1);
  }
  EXPECT_EQ(g_live, 0);
}

}  // namespace
