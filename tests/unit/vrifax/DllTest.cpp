// The built Vrifax.dll from the product folder, as the program uses it:
// loaded with LoadLibraryW, entry points looked up by ordinal only, called
// with real counted strings. Also checks that nothing is exported by name
// and that ordinals 2 and 3 are not there. The test runs with the product
// folder as its current directory.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "tests/unit/vrifax/EntryCases.h"

namespace vrifax_test {
namespace {

struct LibraryDeleter {
  void operator()(HMODULE module) const {
    // Nothing to do if it fails: the test is over with the module anyway.
    FreeLibrary(module);
  }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

std::wstring ProductDllPath() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return L"";
  return std::wstring(folder, length) + L"\\Vrifax.dll";
}

FARPROC ByOrdinal(HMODULE module, WORD ordinal) {
  return GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)));
}

template <typename F>
F Entry(HMODULE module, CheckOrdinal ordinal) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(ByOrdinal(module, static_cast<WORD>(ordinal))));
}

class VrifaxDll : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = ProductDllPath();
    ASSERT_FALSE(path.empty());
    library_.reset(LoadLibraryW(path.c_str()));
    ASSERT_TRUE(library_) << "LoadLibraryW failed, error " << GetLastError();
    HMODULE m = library_.get();
    entries_ = {
        Entry<TCheckOne>(m, CheckOrdinal::INN),         Entry<TCheckOne>(m, CheckOrdinal::PensionNumber),
        Entry<TCheckTwo>(m, CheckOrdinal::CorrAccount), Entry<TCheckTwo>(m, CheckOrdinal::SettlementAccount),
        Entry<TCheckOne>(m, CheckOrdinal::OKPO),        Entry<TCheckOne>(m, CheckOrdinal::OGRN),
        Entry<TCheckTwo>(m, CheckOrdinal::UkrAccount),  Entry<TCheckOne>(m, CheckOrdinal::EGN)};
    ASSERT_TRUE(entries_.inn && entries_.pension && entries_.corr && entries_.settlement && entries_.okpo &&
                entries_.ogrn && entries_.ukr && entries_.egn)
        << "an entry point is missing";
  }

  Library library_;
  EntryPoints entries_{};
};

TEST_F(VrifaxDll, LoadedFromTheProductFolder) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(library_.get(), path, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::wstring file(path, length);
  EXPECT_EQ(file, ProductDllPath());
}

TEST_F(VrifaxDll, Verdicts) { ExpectEntryVerdicts(entries_); }
TEST_F(VrifaxDll, NullArguments) { ExpectNullArgumentsNotValid(entries_); }
TEST_F(VrifaxDll, ReadOnlyTheHeaderLength) { ExpectOnlyLengthRead(entries_); }
TEST_F(VrifaxDll, MalformedHeaders) { ExpectMalformedHeadersNotValid(entries_); }
TEST_F(VrifaxDll, ArgumentsUntouched) { ExpectArgumentsUntouched(entries_); }
TEST_F(VrifaxDll, AllSamples) { ExpectAllSamplesValid(entries_); }

TEST_F(VrifaxDll, NothingElseExported) {
  for (WORD ordinal : {0, 2, 3, 11, 12}) {
    EXPECT_EQ(ByOrdinal(library_.get(), ordinal), nullptr) << "ordinal " << ordinal;
  }
  const char* names[] = {"IsValidINN",
                         "IsValidPensionNumber",
                         "IsValidCorrAccount",
                         "IsValidSettlementAccount",
                         "IsValidOKPO",
                         "IsValidOGRN",
                         "IsValidUkrAccount",
                         "IsValidEGN",
                         "IsValidINN@4",
                         "_IsValidINN@4",
                         "DllMain"};
  for (const char* name : names) {
    EXPECT_EQ(GetProcAddress(library_.get(), name), nullptr) << name << " is exported by name";
  }
}

// The program loads and releases the library at every click.
TEST(VrifaxDllLoading, LoadsAndReleasesRepeatedly) {
  const std::wstring path = ProductDllPath();
  for (int i = 0; i < 50; ++i) {
    Library library(LoadLibraryW(path.c_str()));
    ASSERT_TRUE(library) << "load " << i;
    const auto inn = Entry<TCheckOne>(library.get(), CheckOrdinal::INN);
    ASSERT_NE(inn, nullptr);
    EXPECT_NE(inn(CountedString(u"7707083893").get()), 0);
  }
}

}  // namespace
}  // namespace vrifax_test
