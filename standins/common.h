#pragma once
// Pieces shared by the two stand-in programs: the command line, the log file
// and the command reader on standard input.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "protocol.h"

namespace standin {

// Options "--name value" and bare flags "--name".
class Args {
 public:
  Args(int argc, wchar_t** argv) : argc_(argc), argv_(argv) {}
  bool Has(std::wstring_view name) const { return Find(name) > 0; }
  std::wstring Text(std::wstring_view name, std::wstring_view fallback) const;
  int Number(std::wstring_view name, int fallback) const;

 private:
  int Find(std::wstring_view name) const;
  int argc_;
  wchar_t** argv_;
};

// Appends LogLine()s, their seconds from the performance counter.
class LogFile {
 public:
  explicit LogFile(const std::wstring& path);  // "" logs nothing
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  bool Failed() const { return failed_; }
  void Write(std::string_view bytes);

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool failed_ = false;
};

// Writes a line to standard output at once, without buffering or newline conversion.
void PrintLine(std::string_view text);

// Runs one command on the UI thread; false for an unknown command word.
using CommandHandler = std::function<bool(std::string_view word, std::string_view arg)>;

// Reads command lines from standard input on a thread of its own and runs
// them on the calling thread, which must run the message loop. "hang", "ping"
// and "quit" are handled here, and every command is answered.
bool StartCommandReader(CommandHandler handler);

int RunMessageLoop();

// The object a window was made for (CreateWindowEx's last argument), kept with it from
// WM_NCCREATE on.
template <typename T>
T* WindowObject(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace standin
