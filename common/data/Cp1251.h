#pragma once
// Code page 1251 <-> UTF-8. Stored and exchanged text (tag-stream strings, text
// files, the clipboard) is 8-bit code page 1251; inside the program text is UTF-8.
// The table is a bijection on all 256 bytes (the unassigned byte 0x98 maps to
// U+0098), so any stored byte string survives a round trip unchanged.
#include <cstdint>
#include <string>
#include <string_view>

// The Unicode code point of a code-page-1251 byte.
char32_t Cp1251ToUnicode(uint8_t byte);
// The byte of a code point; false when code page 1251 has no such character.
bool UnicodeToCp1251(char32_t code, uint8_t& byte);

// Converts 8-bit text to UTF-8.
std::string Cp1251ToUtf8(std::string_view cp1251);
// Converts UTF-8 to 8-bit text; characters the code page lacks and malformed
// UTF-8 sequences become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// Decodes one UTF-8 character at pos (advancing pos); malformed input yields
// U+FFFD and advances by one byte.
char32_t DecodeUtf8(std::string_view text, size_t& pos);
void AppendUtf8(std::string& out, char32_t code);
