#include "protocol.h"

#include <windows.h>

#include <charconv>
#include <cstdio>

namespace standin {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string ToCodePage(std::wstring_view text, unsigned code_page) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string ToUtf8(std::wstring_view text) {
  return ToCodePage(text, CP_UTF8);
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring out(text.size(), L'\0');
  const int written = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), size);
  out.resize(static_cast<size_t>(written > 0 ? written : 0));
  return out;
}

std::pair<std::string_view, std::string_view> Split(std::string_view line) {
  const size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), line.substr(space + 1)};
}

std::string CommandLine(std::string_view word, std::string_view argument) {
  return std::string(word) + " " + std::string(argument);
}

std::string Escape(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (byte < 0x20) {
      out += {'\\', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'n') {
      out += '\n';
    } else if (code == 'r') {
      out += '\r';
    } else if (code == 'x' && i + 2 < text.size()) {
      unsigned byte = 0;
      std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16);
      out += static_cast<char>(byte);
      i += 2;
    } else {
      out += code;
    }
  }
  return out;
}

std::string LogLine(double seconds, std::string_view bytes) {
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%.7f ", seconds);
  return stamp + Escape(bytes) + "\n";
}

std::string ReadLogLine(std::string_view line, double* seconds) {
  *seconds = 0;
  std::from_chars(line.data(), line.data() + line.size(), *seconds);
  const size_t space = line.find(' ');
  return space == std::string_view::npos ? std::string() : Unescape(line.substr(space + 1));
}

}  // namespace standin
