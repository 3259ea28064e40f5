#include "support/cp1252.h"

#include <array>

namespace zingel::test {

namespace {
// 0x80..0x9F differ from Latin-1; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}
}  // namespace

std::string ToCp1252(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes += static_cast<char>(c);
      continue;
    }
    char replacement = '?';
    for (std::size_t k = 0; k < kHighControls.size(); ++k) {
      if (kHighControls[k] != 0 && kHighControls[k] == c) replacement = static_cast<char>(0x80 + k);
    }
    // A surrogate pair is one character and becomes one '?'.
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    bytes += replacement;
  }
  return bytes;
}

std::u16string FromCp1252(const std::string& bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    const bool high_control = b >= 0x80 && b < 0xA0;
    const char16_t mapped = high_control ? kHighControls[b - 0x80u] : char16_t{b};
    // Unassigned bytes map to the matching C1 control, as Windows does.
    text += mapped != 0 ? mapped : char16_t{b};
  }
  return text;
}

}  // namespace zingel::test
