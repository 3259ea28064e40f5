#include "platform/ansi_text.h"

#include <windows.h>

#include "platform/utf16.h"

namespace zingel {

unsigned long ConversionFlags(unsigned code_page) {
  // UTF-8 (the ANSI code page of a Windows set to "Use Unicode UTF-8") and
  // GB18030 take WC_ERR_INVALID_CHARS alone, which would fail instead of
  // replacing; ISO 2022, HZ, ISCII, UTF-7 and the symbol page take no flags.
  const bool takes_none = code_page == CP_UTF8 || code_page == 54936 ||
                          (code_page >= 50220 && code_page <= 50229) || code_page == 52936 ||
                          (code_page >= 57002 && code_page <= 57011) || code_page == CP_UTF7 ||
                          code_page == CP_SYMBOL;
  return takes_none ? 0 : WC_NO_BEST_FIT_CHARS;
}

std::string ToCodePage(const std::u16string& text, unsigned code_page) {
  if (text.empty()) return {};
  const wchar_t* wide = AsWide(text.data());
  const int length = static_cast<int>(text.size());
  const DWORD flags = ConversionFlags(code_page);
  const int size =
      WideCharToMultiByte(code_page, flags, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(code_page, flags, wide, length, bytes.data(), size, nullptr, nullptr) !=
      size)
    return {};
  return bytes;
}

std::string ToAnsi(const std::u16string& text) {
  return ToCodePage(text, GetACP());
}

}  // namespace zingel
