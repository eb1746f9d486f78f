// The language setting: the registry value "Lang" under
// HKEY_CURRENT_USER\Software\Orventa\Tessarin\1.0\Settings.
//
//   WriteLangSetting(u"Russian");
//   std::u16string saved = ReadLangSetting();   // u"Russian"
//
// The key is opened (created when missing) with full access for every read
// and every write and closed right after, on every path. Errors are raised
// as EError (platform/Errors.h) with the value's name in the message.
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Orventa\\Tessarin\\1.0\\Settings";
inline constexpr wchar_t kLangValueName[] = L"Lang";

// Returns the text of the value `name` under root\keyPath, cut at its first
// NUL; the empty text when the key cannot be opened, the value is absent or
// its size is 0. REG_SZ and REG_EXPAND_SZ are accepted and not expanded.
// Raises "Failed to get data for '<name>'" when the data cannot be read and
// "Invalid data type for '<name>'" for a value that is no text.
std::u16string ReadTextSetting(HKEY root, const wchar_t* keyPath, const wchar_t* name);

// Writes text as REG_SZ with its terminating NUL ((length + 1) * 2 bytes).
// Raises "Failed to set data for '<name>'" when the key cannot be opened or
// the value cannot be written.
void WriteTextSetting(HKEY root, const wchar_t* keyPath, const wchar_t* name,
                      const std::u16string& text);

// Returns the saved language setting ("" when there is none).
inline std::u16string ReadLangSetting() {
  return ReadTextSetting(HKEY_CURRENT_USER, kSettingsKeyPath, kLangValueName);
}
// Saves the language setting.
inline void WriteLangSetting(const std::u16string& text) {
  WriteTextSetting(HKEY_CURRENT_USER, kSettingsKeyPath, kLangValueName, text);
}
