#pragma once
// Text in a symbol font: the stored bytes are positions in the font's own
// encoding (a reper's default sign 0xA8 is a diamond), not code page 1251
// letters, so they decode through the Symbol encoding before drawing.
#include <cstdint>
#include <string>

// The Unicode character at a byte of the Symbol encoding; U+FFFD where the
// encoding has none.
char32_t SymbolToUnicode(std::uint8_t byte);

// A font record's text (UTF-8 of the stored code-page-1251 bytes) as the
// characters a symbol font shows, in UTF-8.
std::string SymbolTextToUtf8(const std::string& storedText);

// The byte of the Symbol encoding that shows the character; false when the
// encoding has none.
bool UnicodeToSymbol(char32_t code, std::uint8_t& byte);

// The reverse of SymbolTextToUtf8: shown characters back to the stored text;
// characters the encoding lacks become '?'.
std::string SymbolTextFromUtf8(const std::string& shownText);
