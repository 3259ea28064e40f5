#pragma once
// Text for ANSI windows: a window registered with the A functions takes its text in the active
// code page.

#include <string>

namespace zingel {

// `text` in `code_page`; characters it lacks become its default character.
std::string ToCodePage(const std::u16string& text, unsigned code_page);

// The same in the active ANSI code page.
std::string ToAnsi(const std::u16string& text);

}  // namespace zingel
