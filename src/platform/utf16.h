#pragma once
// zingel's UTF-16 text handed to the W functions as it is: wchar_t is 16 bits on Windows.

#include <string>

namespace zingel {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 crosses to the W functions as is");

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}

}  // namespace zingel
