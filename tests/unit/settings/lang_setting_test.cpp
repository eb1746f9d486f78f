// The registry store of the language setting against Wine's real registry:
// absent values, what is written byte for byte, values of every kind read
// back, the three error texts, and a key that cannot be created. The tests
// work under a key of their own, removed before and after each test.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Errors.h"
#include "settings/LangSetting.h"

namespace {

constexpr wchar_t kBase[] = L"Software\\Orventa\\TessarinUnitTest";
constexpr wchar_t kParent[] = L"Software\\Orventa\\TessarinUnitTest\\1.0";
constexpr wchar_t kPath[] = L"Software\\Orventa\\TessarinUnitTest\\1.0\\Settings";

// Returns the message of the EError that f raises, or "(none)".
template <class F>
std::u16string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EError& e) {
    return e.Message();
  }
  return u"(none)";
}

class LangSetting : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kBase); }  // absent is fine
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kBase); }

  // Stores raw data of any type under the test key.
  static void SetRaw(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const LSTATUS set = RegSetValueExW(key, L"Lang", 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(set, ERROR_SUCCESS);
  }
  // Reads raw data and type back; false when the value is absent.
  static bool GetRaw(DWORD* type, std::vector<unsigned char>* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LSTATUS q = RegQueryValueExW(key, L"Lang", nullptr, type, nullptr, &size);
    if (q == ERROR_SUCCESS) {
      data->assign(size, 0);
      q = RegQueryValueExW(key, L"Lang", nullptr, type, data->data(), &size);
      data->resize(size);
    }
    RegCloseKey(key);
    return q == ERROR_SUCCESS;
  }
  static bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  static std::u16string Read() { return ReadTextSetting(HKEY_CURRENT_USER, kPath, L"Lang"); }
  static void Write(const std::u16string& text) {
    WriteTextSetting(HKEY_CURRENT_USER, kPath, L"Lang", text);
  }
  // Makes the parent of the settings key volatile, so that the non-volatile
  // settings key below it cannot be created.
  static void MakeParentVolatile() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kParent, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
};

TEST_F(LangSetting, AbsentValueReadsEmptyAndCreatesTheKey) {
  EXPECT_EQ(Read(), u"");
  EXPECT_TRUE(KeyExists()) << "the read opens the key with creation";
  DWORD type = 0;
  std::vector<unsigned char> data;
  EXPECT_FALSE(GetRaw(&type, &data)) << "a read writes no value";
}

TEST_F(LangSetting, WrittenAsRegSzWithItsNul) {
  struct Case {
    std::u16string text;
    const char* reason;
  };
  const Case cases[] = {
      {u"Russian", "a language key"},
      {u"F", "a partly typed name"},
      {u"", "the empty text: two bytes, the NUL alone"},
      {u"Рус ский", "any text, spaces and Cyrillic"},
      {std::u16string(100000, u'x'), "a long text"},
  };
  for (const Case& c : cases) {
    Write(c.text);
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(GetRaw(&type, &data)) << c.reason;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << c.reason;
    ASSERT_EQ(data.size(), (c.text.size() + 1) * 2) << c.reason;
    EXPECT_EQ(data[data.size() - 1], 0) << c.reason;
    EXPECT_EQ(data[data.size() - 2], 0) << c.reason;
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(data.data()), c.text.size()),
              c.text)
        << c.reason;
    EXPECT_EQ(Read(), c.text) << c.reason;
  }
}

TEST_F(LangSetting, ValuesOfEveryKindReadBack) {
  struct Case {
    DWORD type;
    std::vector<unsigned char> data;
    std::u16string expected;  // or the error text
    const char* reason;
  };
  auto bytes = [](const std::u16string& s, std::vector<unsigned char> extra) {
    std::vector<unsigned char> out(reinterpret_cast<const unsigned char*>(s.data()),
                                   reinterpret_cast<const unsigned char*>(s.data() + s.size()));
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
  };
  const Case cases[] = {
      {REG_SZ, bytes(u"English", {0, 0}), u"English", "as the program writes it"},
      {REG_EXPAND_SZ, bytes(u"%USERPROFILE%", {0, 0}), u"%USERPROFILE%", "not expanded"},
      {REG_SZ, bytes(u"Fr", {0, 0, 'x', 0, 0, 0}), u"Fr", "cut at the NUL inside"},
      {REG_SZ, bytes(u"French", {}), u"French", "no terminating NUL"},
      {REG_SZ, bytes(u"French", {'Z'}), u"French", "odd byte count"},
      {REG_SZ, {}, u"", "size 0: no setting"},
      {REG_DWORD, {}, u"", "size 0 of another type: no setting either"},
      {REG_DWORD, {1, 0, 0, 0}, u"Invalid data type for 'Lang'", "a number"},
      {REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, u"Invalid data type for 'Lang'", "a wide number"},
      {REG_BINARY, bytes(u"Russian", {0, 0}), u"Invalid data type for 'Lang'", "text as binary"},
      {REG_MULTI_SZ, bytes(u"Russian", {0, 0, 0, 0}), u"Invalid data type for 'Lang'",
       "a list of texts"},
  };
  for (const Case& c : cases) {
    SetRaw(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    std::u16string got;
    const std::u16string error = ErrorOf([&] { got = Read(); });
    EXPECT_EQ(error == u"(none)" ? got : error, c.expected) << c.reason;
  }
}

TEST_F(LangSetting, MegabytesReadSafely) {
  const std::u16string big(3 * 1024 * 1024, u'q');  // 6 MB
  SetRaw(REG_SZ, big.data(), static_cast<DWORD>(big.size() * 2));  // without a NUL
  EXPECT_EQ(Read(), big);
  std::vector<unsigned char> odd(big.size() * 2 + 1, 'q');
  SetRaw(REG_SZ, odd.data(), static_cast<DWORD>(odd.size()));
  EXPECT_EQ(Read(), std::u16string(big.size(), static_cast<char16_t>('q' | ('q' << 8))));
}

TEST_F(LangSetting, KeyThatCannotBeCreated) {
  MakeParentVolatile();
  // What the system says, so that the test shows it checks the right thing.
  HKEY key = nullptr;
  const LSTATUS direct = RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                         nullptr);
  if (direct == ERROR_SUCCESS) RegCloseKey(key);
  ASSERT_EQ(direct, ERROR_CHILD_MUST_BE_VOLATILE);

  EXPECT_EQ(ErrorOf([] { Write(u"Russian"); }), u"Failed to set data for 'Lang'");
  std::u16string got = u"unchanged";
  EXPECT_EQ(ErrorOf([&] { got = Read(); }), u"(none)") << "an unopenable key reads as no setting";
  EXPECT_EQ(got, u"");
}

}  // namespace
