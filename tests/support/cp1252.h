#pragma once

#include <string>

namespace zingel::test {

// Code page 1252, as the platform converts text at the window boundary:
// characters outside it become '?'.
std::string ToCp1252(const std::u16string& text);
std::u16string FromCp1252(const std::string& bytes);

}  // namespace zingel::test
