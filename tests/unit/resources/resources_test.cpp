// The resources of the built Tessarin.exe: version record, MAINICON's eight
// images and the manifest, read back through the system's own functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<BYTE> VersionBlock() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(TESSARIN_EXE, &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(TESSARIN_EXE, 0, size, block.data())) block.clear();
  return block;
}

TEST(VersionRecord, NumbersAndTranslation) {
  std::vector<BYTE> block = VersionBlock();
  ASSERT_FALSE(block.empty()) << "no version record";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &len));
  ASSERT_EQ(len, 4u);
  EXPECT_EQ(translation[0], 0x0419) << "Russian";
  EXPECT_EQ(translation[1], 1251) << "code page 1251";
}

TEST(VersionRecord, TextFields) {
  std::vector<BYTE> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  const std::pair<const wchar_t*, const wchar_t*> fields[] = {
      {L"CompanyName", L"Orventa"},
      {L"FileDescription", L"Test Vrifax.dll, проверка ИНН и др."},
      {L"Comments", L"Test Vrifax.dll, проверка ИНН и др."},
      {L"FileVersion", L"1.1.0.0"},
      {L"ProductVersion", L"1.0.0.0"},
      {L"ProductName", L""},
      {L"InternalName", L""},
      {L"LegalCopyright", L""},
      {L"OriginalFilename", L""},
  };
  for (const auto& [name, expected] : fields) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041904E3\\") + name;
    wchar_t* value = nullptr;
    UINT len = 0;
    const BOOL found = VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &len);
    const std::wstring text = found && value != nullptr ? std::wstring(value) : L"<absent>";
    EXPECT_EQ(text, expected) << std::wstring(name).size();
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

class ExeResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(TESSARIN_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot open the program's resources";
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  std::string Resource(const wchar_t* name, const wchar_t* type) {
    HRSRC info = FindResourceW(module_, name, type);
    if (info == nullptr) return {};
    HGLOBAL data = LoadResource(module_, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return bytes != nullptr ? std::string(bytes, SizeofResource(module_, info)) : std::string();
  }
  HMODULE module_ = nullptr;
};

TEST_F(ExeResources, MainIconHasEightImages) {
  const std::string group = Resource(L"MAINICON", RT_GROUP_ICON);
  ASSERT_GE(group.size(), sizeof(GroupIconHeader));
  const auto* header = reinterpret_cast<const GroupIconHeader*>(group.data());
  ASSERT_EQ(header->count, 8);
  ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + 8 * sizeof(GroupIconEntry));
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
  std::set<std::pair<int, int>> seen;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(entries[i].width, entries[i].height);
    seen.insert({entries[i].width, entries[i].bitCount});
  }
  const std::set<std::pair<int, int>> expected = {{16, 8},  {24, 8},  {32, 8},  {48, 8},
                                                  {16, 32}, {24, 32}, {32, 32}, {48, 32}};
  EXPECT_EQ(seen, expected);
}

TEST_F(ExeResources, ManifestAsksForCommonControls6AsInvoker) {
  const std::string manifest = Resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_FALSE(manifest.empty()) << "no manifest";
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                           "level=\"asInvoker\"", "uiAccess=\"false\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
