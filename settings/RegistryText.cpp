// The safe reading of registry string data (see RegistryText.h).
#include "settings/RegistryText.h"

std::u16string TextFromRegistryData(const unsigned char* data, std::size_t size) {
  std::u16string text;
  if (data == nullptr) return text;
  const std::size_t units = size / 2;  // an odd last byte is no code unit
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    // Assembled byte by byte: the buffer need not be aligned for char16_t.
    const auto unit = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}
