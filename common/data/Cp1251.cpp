#include "data/Cp1251.h"

#include <algorithm>
#include <array>

namespace {

// Bytes 0x80..0xFF; 0x00..0x7F are ASCII.
constexpr char16_t kUpperHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

struct TReverseEntry {
  char16_t code;
  uint8_t byte;
};

// The upper half sorted by code point, for the reverse lookup.
const std::array<TReverseEntry, 128>& ReverseTable()
{
  static const std::array<TReverseEntry, 128> table = [] {
    std::array<TReverseEntry, 128> t{};
    for (int i = 0; i < 128; ++i)
      t[i] = {kUpperHalf[i], static_cast<uint8_t>(0x80 + i)};
    std::sort(t.begin(), t.end(), [](const TReverseEntry& a, const TReverseEntry& b) { return a.code < b.code; });
    return t;
  }();
  return table;
}

} // namespace

char32_t Cp1251ToUnicode(uint8_t byte)
{
  return byte < 0x80 ? byte : kUpperHalf[byte - 0x80];
}

bool UnicodeToCp1251(char32_t code, uint8_t& byte)
{
  if (code < 0x80) {
    byte = static_cast<uint8_t>(code);
    return true;
  }
  if (code > 0xFFFF)
    return false;
  const auto& table = ReverseTable();
  auto it = std::lower_bound(table.begin(), table.end(), code,
                             [](const TReverseEntry& e, char32_t c) { return e.code < c; });
  if (it == table.end() || it->code != code)
    return false;
  byte = it->byte;
  return true;
}

void AppendUtf8(std::string& out, char32_t code)
{
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

char32_t DecodeUtf8(std::string_view text, size_t& pos)
{
  const auto lead = static_cast<uint8_t>(text[pos]);
  int extra;
  char32_t code;
  char32_t minimum;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (pos + static_cast<size_t>(extra) >= text.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<uint8_t>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += static_cast<size_t>(extra) + 1;
  return code;
}

std::string Cp1251ToUtf8(std::string_view cp1251)
{
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (char c : cp1251)
    AppendUtf8(out, Cp1251ToUnicode(static_cast<uint8_t>(c)));
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8)
{
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    uint8_t byte;
    out += UnicodeToCp1251(DecodeUtf8(utf8, pos), byte) ? static_cast<char>(byte) : '?';
  }
  return out;
}
