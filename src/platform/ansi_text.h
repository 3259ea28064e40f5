#pragma once
// Text across the boundary to other programs' windows: UTF-16 inside zingel,
// the ANSI code page outside.

#include <string>

namespace zingel {

// The WideCharToMultiByte flags that `code_page` accepts: no best fit where it
// may be asked for (a character the code page lacks becomes the default
// character, not a look-alike), none where asking for it fails the call.
unsigned long ConversionFlags(unsigned code_page);

// `text` in `code_page`; characters it lacks become its default character.
std::string ToCodePage(const std::u16string& text, unsigned code_page);

// The same in the active ANSI code page, and back. NUL bytes come back as NUL
// characters instead of ending the text.
std::string ToAnsi(const std::u16string& text);
std::u16string FromAnsi(const std::string& ansi);

}  // namespace zingel
