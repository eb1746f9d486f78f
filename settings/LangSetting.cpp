// The language setting in the registry (see LangSetting.h).
#include "settings/LangSetting.h"

#include <limits>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "settings/RegistryText.h"

namespace {

// Owns an open registry key and closes it; the key is not flushed.
class RegKey {
 public:
  RegKey() = default;
  RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey& operator=(RegKey&&) = delete;
  ~RegKey() {
    if (key_ != nullptr) RegCloseKey(key_);  // nothing to do if closing fails
  }
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// Opens root\keyPath with full access, creating it and any missing key
// above it (non-volatile, no class, default security). Returns an empty
// wrapper when that fails.
RegKey OpenSettingsKey(HKEY root, const wchar_t* keyPath) {
  RegKey key;
  const LSTATUS status = RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) *key.out() = nullptr;
  return key;
}

std::u16string ToU16(const wchar_t* s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

[[noreturn]] void Raise(const char16_t* pattern, const wchar_t* name) {
  throw EError(FormatText(pattern, {ToU16(name)}));
}

}  // namespace

std::u16string ReadTextSetting(HKEY root, const wchar_t* keyPath, const wchar_t* name) {
  const RegKey key = OpenSettingsKey(root, keyPath);
  if (!key) return std::u16string();  // nothing to restore; no message
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size == 0) {
    return std::u16string();
  }
  std::vector<unsigned char> data(size);
  DWORD got = size;
  // Fails with ERROR_MORE_DATA when the value grew since the first query,
  // and with ERROR_FILE_NOT_FOUND when it vanished.
  if (RegQueryValueExW(key.get(), name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) {
    Raise(u"Failed to get data for '%s'", name);
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) Raise(u"Invalid data type for '%s'", name);
  // Only the bytes the registry reported as written are looked at.
  return TextFromRegistryData(data.data(), got < size ? got : size);
}

void WriteTextSetting(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                      const std::u16string& text) {
  const RegKey key = OpenSettingsKey(root, keyPath);
  if (!key) Raise(u"Failed to set data for '%s'", name);
  // A text too long for a DWORD byte count cannot be written.
  if (text.size() >= std::numeric_limits<DWORD>::max() / sizeof(char16_t)) {
    Raise(u"Failed to set data for '%s'", name);
  }
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
  // c_str() carries the terminating NUL that the byte count includes.
  if (RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     bytes) != ERROR_SUCCESS) {
    Raise(u"Failed to set data for '%s'", name);
  }
}
