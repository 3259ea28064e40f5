#include "protocol.h"

#include <charconv>
#include <cstdio>

namespace standin {

std::string_view Word(std::string_view line) {
  return line.substr(0, line.find(' '));
}

std::string_view Argument(std::string_view line) {
  const size_t space = line.find(' ');
  return space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
}

std::string Ok(std::string_view word) {
  return "ok " + std::string(word);
}

std::string Error(std::string_view why) {
  return "error " + std::string(why);
}

bool IsError(std::string_view answer) {
  return answer.starts_with("error ");
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
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(byte));
      out += hex;
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
