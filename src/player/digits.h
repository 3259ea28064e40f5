#pragma once

namespace zingel {

// The player writes playlist numbers and buffer percentages in ASCII digits
// only, whatever the language of the titles around them.
inline bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace zingel
