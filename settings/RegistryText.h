// The text held by a registry string value, taken from the bytes that the
// registry returned, which are outside data: the byte count may be odd, the
// terminating NUL may be missing, and the value may be megabytes long.
//
//   std::u16string text = TextFromRegistryData(buffer.data(), bytesReturned);
//
// Portable: no <windows.h>, so the host build tests it under the sanitizers.
#pragma once

#include <cstddef>
#include <string>

// Returns the UTF-16 text of the first `size` bytes at `data` up to the
// first NUL code unit, or up to the last whole code unit when there is none;
// a trailing odd byte is dropped. Reads no byte at or past data + size;
// data may be null when size is 0. Code units are little-endian.
std::u16string TextFromRegistryData(const unsigned char* data, std::size_t size);
