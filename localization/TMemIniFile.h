// TMemIniFile: the reader of one language file, loaded whole into memory.
//
//   TMemIniFile ini(u"C:\\Tessarin\\lang\\English.lng");
//   std::u16string name = ini.ReadText(u"main", u"LangName", u"English");
//
// Loading decodes the file by its byte-order mark (UTF-16LE, UTF-16BE,
// UTF-8, else the system's ANSI code page), ends the text at the first NUL,
// and parses it into sections and lines in file order. Reads never touch the
// file again. Section names and keys are compared after upper-casing both
// sides; the last section of a name and the last occurrence of a key win.
//
// Contract:
//  - a path that names nothing, or names a directory, gives an empty reader
//    (every read yields its default);
//  - a file that exists but cannot be opened raises EError
//    "Cannot open file \"<full path>\". <system description>";
//  - content never makes a load fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TMemIniFile {
 public:
  // Loads the file at path (see the contract above).
  explicit TMemIniFile(const std::u16string& path);
  // Returns a reader of raw file content, as if a file held these bytes.
  static std::unique_ptr<TMemIniFile> FromBytes(const void* data, std::size_t size);
  // Returns a reader of already decoded text (no mark, no decoding).
  static std::unique_ptr<TMemIniFile> FromText(std::u16string text);
  // Returns an empty reader, as for a file that does not exist.
  static std::unique_ptr<TMemIniFile> Empty();

  ~TMemIniFile();
  TMemIniFile(const TMemIniFile&) = delete;
  TMemIniFile& operator=(const TMemIniFile&) = delete;

  // Returns the value of key in the last section named section, or def when
  // the section or the key is missing. An empty value counts as found.
  std::u16string ReadText(const std::u16string& section, const std::u16string& key,
                          const std::u16string& def) const;
  // Returns true and sets value when the last section named section holds
  // key (an empty value counts as found); false leaves value untouched.
  bool TryReadText(const std::u16string& section, const std::u16string& key,
                   std::u16string& value) const;
  // Returns the value of key read as a 32-bit integer (decimal, or
  // hexadecimal after "$", "x", "X", "0x", "0X", optional sign), or def when
  // the key is missing or its value is no valid integer.
  std::int32_t ReadInt(const std::u16string& section, const std::u16string& key,
                       std::int32_t def) const;

  // Returns the number of sections, duplicates included, in file order.
  std::size_t SectionCount() const;
  // Returns the name of section i (0-based, file order).
  std::u16string SectionName(std::size_t i) const;
  // Returns the stored lines of section i: entries as "key=value" (both
  // trimmed), other lines as they stood after trimming.
  std::vector<std::u16string> SectionLines(std::size_t i) const;

  struct Impl;

 private:
  TMemIniFile();
  std::unique_ptr<Impl> impl_;
};

// Returns text decoded from raw file bytes by the byte-order mark rules,
// cut at the first NUL character.
std::u16string DecodeLanguageFileBytes(const void* data, std::size_t size);

// Parses value by the integer syntax above; returns false (and leaves out
// untouched) when it is no valid integer.
bool TryParseIniInt(const std::u16string& value, std::int32_t& out);
