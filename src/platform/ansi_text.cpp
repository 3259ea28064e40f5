#include "platform/ansi_text.h"

#include <windows.h>

#include "platform/utf16.h"

namespace zingel {

namespace {

// `text` in `code_page` with these WideCharToMultiByte flags; "" on failure.
std::string Convert(const std::u16string& text, unsigned code_page, DWORD flags) {
  const wchar_t* wide = AsWide(text.data());
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(code_page, flags, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(code_page, flags, wide, length, bytes.data(), size, nullptr, nullptr) !=
      size)
    return {};
  return bytes;
}

}  // namespace

std::string ToCodePage(const std::u16string& text, unsigned code_page) {
  if (text.empty()) return {};
  // No best fit: a character the code page lacks becomes its default
  // character, not a look-alike. Code pages that refuse the flag (UTF-8, the
  // ANSI code page of a Windows set to "Use Unicode UTF-8", GB18030, ISO 2022,
  // UTF-7 and others) convert without it, and have no look-alikes to give.
  SetLastError(ERROR_SUCCESS);
  std::string bytes = Convert(text, code_page, WC_NO_BEST_FIT_CHARS);
  if (bytes.empty() && GetLastError() == ERROR_INVALID_FLAGS) bytes = Convert(text, code_page, 0);

  return bytes;
}

std::string ToAnsi(const std::u16string& text) {
  return ToCodePage(text, GetACP());
}

}  // namespace zingel
